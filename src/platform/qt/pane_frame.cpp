#include "platform/qt/pane_frame.h"

#include <QLabel>
#include <QVBoxLayout>

namespace vtome::platform::qt {

PaneFrame::PaneFrame(QWidget* parent, const QString& caption, bool withCaption) : QFrame(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    if (withCaption) {
        setFrameStyle(QFrame::Panel | QFrame::Raised);
        setLineWidth(1);
        layout->setContentsMargins(1, 1, 1, 1);

        caption_ = new QLabel(caption, this);
        caption_->setTextFormat(Qt::PlainText);
        QFont font = caption_->font();
        font.setPointSize(8);
        caption_->setFont(font);
        caption_->setContentsMargins(3, 1, 3, 1);
        caption_->setFixedHeight(QFontMetrics(font).height() + 4);
        // The inactive caption colours of a tool window: a grey bar.
        caption_->setAutoFillBackground(true);
        QPalette palette = caption_->palette();
        palette.setColor(QPalette::Window, palette.color(QPalette::Mid));
        palette.setColor(QPalette::WindowText, palette.color(QPalette::BrightText));
        caption_->setPalette(palette);
        layout->addWidget(caption_);
    }
    client_ = new QWidget(this);
    layout->addWidget(client_, 1);
}

void PaneFrame::setCaptionVisible(bool visible) {
    if (caption_ != nullptr) caption_->setVisible(visible);
}

}  // namespace vtome::platform::qt
