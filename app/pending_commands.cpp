// The workflow commands whose work belongs to other subsystems. Each handler is wired to its
// button already; a subsystem that implements one removes it here and defines it in its folder.

#include "app/form1.h"

namespace app {

void Form1::CloneButtons_Click() {}
void Form1::BuildCompositeLayers_Click() {}
void Form1::FinalPSDDocument_Click() {}
void Form1::PreviewMenu_Click() {}
void Form1::LinkBtnLyrs_Click() {}

}  // namespace app
