#pragma once
// The colour behind every occurrence of the search text in the topic view:
// taken from the palette, so that it suits a light and a dark theme alike.
// It is a warm yellow (a mint green where the theme's selection is itself
// yellow), as light or as dark as the palette's text needs to stay readable
// on it (a contrast of at least 4.5 to 1), and set apart from the page.

#include <QColor>
#include <QPalette>

namespace vtome::platform::qt {

QColor hitHighlightColour(const QPalette& palette);

// The contrast of two colours as readability is measured: 1 (none) to 21.
double contrastRatio(const QColor& a, const QColor& b);

}  // namespace vtome::platform::qt
