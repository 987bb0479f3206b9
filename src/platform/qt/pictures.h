#pragma once
// vTome's own pictures, drawn rather than shipped as image files: the main
// window's book icon and the note indicator's 16 x 16 note sheet.

#include <QIcon>
#include <QPixmap>

namespace vtome::platform::qt {

QIcon bookIcon();
QPixmap notePicture();

}  // namespace vtome::platform::qt
