#pragma once
// vTome's own pictures, drawn rather than shipped as image files: the main
// window's book icon and the note indicator's 16 x 16 note sheet.

#include <QIcon>
#include <QPalette>
#include <QPixmap>

namespace vtome::platform::qt {

QIcon bookIcon();
// The sheet is a note's yellow on any theme; its outline and fold take the
// palette's text colour, so that it stands out on a dark bar as on a light one.
QPixmap notePicture(const QPalette& palette);

}  // namespace vtome::platform::qt
