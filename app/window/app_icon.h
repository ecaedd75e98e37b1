#pragma once
// The program's icon: a stack of layers, drawn at any size.

#include <QIcon>
#include <QPixmap>

namespace app::window {

QPixmap quillaryIconPixmap(int size);
QIcon quillaryIcon();

}  // namespace app::window
