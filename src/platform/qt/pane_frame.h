#pragma once
// A child pane of the main window with an optional small caption, as a
// child dialog with a tool-window caption looks ("Contents").

#include <QFrame>
#include <QString>

class QLabel;

namespace vtome::platform::qt {

class PaneFrame : public QFrame {
public:
    // Without a caption the frame is invisible and `client()` fills it.
    PaneFrame(QWidget* parent, const QString& caption, bool withCaption);
    // The area below the caption, where the pane's controls live.
    QWidget* client() const { return client_; }
    // Hides the caption where the client shows its own (tabs that name it).
    void setCaptionVisible(bool visible);

private:
    QLabel* caption_ = nullptr;
    QWidget* client_ = nullptr;
};

}  // namespace vtome::platform::qt
