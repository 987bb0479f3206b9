#include "platform/qt/pictures.h"

#include <QPainter>
#include <QPainterPath>

namespace vtome::platform::qt {

namespace {

// A closed book seen from the front: a blue cover, the page edges on the
// right and a spine band, drawn on a grid of 32 units for any size.
QPixmap bookPixmap(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xF4, 0xF0, 0xE0));
    painter.drawRect(QRectF(8, 4, 21, 25));  // pages
    painter.setPen(QPen(QColor(0xB0, 0xA8, 0x90), 0.8));
    for (qreal y = 8; y < 28; y += 3) painter.drawLine(QPointF(26, y), QPointF(28.5, y));

    painter.setPen(QPen(QColor(0x10, 0x28, 0x60), 1.2));
    painter.setBrush(QColor(0x20, 0x50, 0xA8));
    painter.drawRoundedRect(QRectF(3, 2, 22, 27), 2, 2);  // cover
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x12, 0x30, 0x70));
    painter.drawRect(QRectF(3.6, 2.6, 4, 25.8));  // spine
    painter.setBrush(QColor(0xE8, 0xC0, 0x40));
    painter.drawRect(QRectF(11, 9, 10, 2));  // title plate
    painter.drawRect(QRectF(11, 13, 7, 1.4));
    return pixmap;
}

}  // namespace

QIcon bookIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48}) icon.addPixmap(bookPixmap(size));
    return icon;
}

QPixmap notePicture(const QPalette& palette) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);

    // A yellow sheet with a folded corner at the bottom right.
    QPainterPath sheet;
    sheet.moveTo(1.5, 1.5);
    sheet.lineTo(14.5, 1.5);
    sheet.lineTo(14.5, 10.5);
    sheet.lineTo(10.5, 14.5);
    sheet.lineTo(1.5, 14.5);
    sheet.closeSubpath();
    const QColor outline = palette.color(QPalette::WindowText);
    painter.setPen(outline);
    painter.setBrush(QColor(0xFF, 0xEE, 0x60));
    painter.drawPath(sheet);

    QPainterPath fold;
    fold.moveTo(14.5, 10.5);
    fold.lineTo(10.5, 10.5);
    fold.lineTo(10.5, 14.5);
    painter.setBrush(QColor(0xE0, 0xC8, 0x30));
    painter.drawPath(fold);

    // Lines of writing, dark on the yellow sheet whatever the theme.
    painter.setPen(QColor(0x60, 0x60, 0x80));
    for (const int y : {4, 6, 8, 10}) painter.drawLine(3, y, y < 10 ? 12 : 8, y);
    return pixmap;
}

}  // namespace vtome::platform::qt
