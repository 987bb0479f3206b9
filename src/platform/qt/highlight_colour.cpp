#include "platform/qt/highlight_colour.h"

#include <algorithm>
#include <cmath>

namespace vtome::platform::qt {

namespace {

double channel(double value) {
    return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

double luminance(const QColor& c) {
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

constexpr double kReadable = 4.5;
// Enough for the highlight to stand out from the page it is drawn on.
constexpr double kApart = 1.25;

}  // namespace

double contrastRatio(const QColor& a, const QColor& b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor hitHighlightColour(const QPalette& palette) {
    const QColor text = palette.color(QPalette::Active, QPalette::Text);
    const QColor base = palette.color(QPalette::Active, QPalette::Base);
    const QColor selection = palette.color(QPalette::Active, QPalette::Highlight);
    const int selectionHue = selection.hslHue();
    const bool yellowSelection = selectionHue >= 25 && selectionHue <= 80 && selection.hslSaturationF() > 0.2;
    const int hue = yellowSelection ? 160 : 48;
    const bool lightText = luminance(text) > luminance(base);
    // From the lightness nearest the page towards the far side, the first
    // that keeps the text readable and still stands apart from the page.
    QColor best;
    double bestContrast = 0;
    for (int step = 0; step <= 40; ++step) {
        const double lightness = lightText ? 0.34 - step * 0.008 : 0.82 - step * 0.012;
        const QColor candidate = QColor::fromHslF(hue / 360.0, 1.0, std::clamp(lightness, 0.0, 1.0));
        const double readable = contrastRatio(text, candidate);
        if (readable >= kReadable && contrastRatio(base, candidate) >= kApart) return candidate;
        if (readable > bestContrast) {
            bestContrast = readable;
            best = candidate;
        }
    }
    return best;
}

}  // namespace vtome::platform::qt
