#pragma once
// Qt key events in the terms the application's tables use: virtual-key
// codes and modifier flags.

#include <QKeyEvent>

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

// The keys a dialog handles itself: Tab, Enter and Escape, without Ctrl or Alt.
bool isDialogKey(const KeyPress& key);

}  // namespace vtome::platform::qt
