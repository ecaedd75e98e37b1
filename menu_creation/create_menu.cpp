#include "app/form1.h"

namespace app {

void Form1::CreateNewMenuDoc_Click() {}

}  // namespace app
