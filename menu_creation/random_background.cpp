#include "app/form1.h"

namespace app {

void Form1::AnotherRandomBkgnd_Click() {}

}  // namespace app
