#pragma once
// Qt key events in the terms the application's tables use: virtual-key
// codes and modifier flags.

#include <QKeyEvent>

#include "platform/key_routing.h"
#include "resources/messages.h"

class QObject;
class QWidget;

namespace vtome::platform::qt {

// The virtual key and modifiers of a key press; key 0 when the key has no
// virtual-key code vTome knows.
KeyPress toKeyPress(const QKeyEvent& event);

// A key event is offered to the focus widget first and then, when ignored,
// to its parents; an application-wide filter sees every one of these
// deliveries. Only the first one is the key press itself.
QWidget* firstKeyReceiver(QObject* receiver);

// What kind of pane control a widget is for the key routing (a text field
// or a list keeps some keys for itself); Other unless marked.
void markFocusedControlKind(QWidget& widget, FocusedControlKind kind);
FocusedControlKind focusedControlKind(const QWidget* widget);

// The keys a dialog handles itself: Tab, Enter and Escape, without Ctrl or Alt.
bool isDialogKey(const KeyPress& key);

}  // namespace vtome::platform::qt
