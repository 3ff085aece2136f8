#pragma once
// The program's icon, drawn in code (the installed SVG shows the same picture).
#include <QIcon>

namespace galerion::ui {

QIcon AppIcon();

}  // namespace galerion::ui
