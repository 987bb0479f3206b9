#include "platform/qt/dialog_renderer.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QToolButton>
#include <QTreeWidget>

#include <algorithm>
#include <limits>

#include "platform/qt/pictures.h"
#include "platform/qt/text_codec.h"
#include "resources/ids.h"

namespace vtome::platform::qt {

namespace {

using resources::ControlKind;
namespace style = resources::style;

constexpr std::uint32_t kNoPosition = std::numeric_limits<std::uint32_t>::max();

// Restores the flag on every way out, exceptions included.
class QuietScope {
public:
    explicit QuietScope(bool& flag) : flag_(flag), before_(flag) { flag_ = true; }
    ~QuietScope() { flag_ = before_; }

private:
    bool& flag_;
    bool before_;
};

bool isLineBreak(QChar c) { return c == QChar::ParagraphSeparator || c == QChar::LineSeparator || c == QChar(u'\n'); }

// The document's characters; blocks are separated by U+2029 and line
// separators (Shift+Enter) are U+2028, both one character each.
QString rawText(const QPlainTextEdit& edit) { return edit.document()->toRawText(); }

int toDocumentPosition(const QString& raw, std::uint32_t position) {
    std::uint64_t counted = 0;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const std::uint64_t width = isLineBreak(raw[i]) ? 2 : 1;
        if (counted + width > position) return static_cast<int>(i);
        counted += width;
    }
    return static_cast<int>(raw.size());
}

std::uint32_t toOuterPosition(const QString& raw, int documentPosition) {
    std::uint32_t position = 0;
    for (qsizetype i = 0; i < raw.size() && i < documentPosition; ++i) position += isLineBreak(raw[i]) ? 2 : 1;
    return position;
}

QString withCrLf(const QString& raw) {
    QString text;
    text.reserve(raw.size());
    for (const QChar c : raw) {
        if (isLineBreak(c)) {
            text.append(QStringLiteral("\r\n"));
        } else {
            text.append(c);
        }
    }
    return text;
}

bool equalIgnoringAsciiCase(const QString& a, const QString& b) {
    if (a.size() != b.size()) return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        char16_t x = a[i].unicode();
        char16_t y = b[i].unicode();
        if (x >= u'A' && x <= u'Z') x = static_cast<char16_t>(x - u'A' + u'a');
        if (y >= u'A' && y <= u'Z') y = static_cast<char16_t>(y - u'A' + u'a');
        if (x != y) return false;
    }
    return true;
}

QLineEdit* lineEditOf(QWidget* widget) {
    if (auto* line = qobject_cast<QLineEdit*>(widget)) return line;
    if (auto* combo = qobject_cast<QComboBox*>(widget)) return combo->lineEdit();
    return nullptr;
}

QFont navigationTitleFont() {
    // A bold, variable-pitch sans-serif face, 16 pixels high: the desktop's
    // own face for text, or the system's sans-serif face when that is of
    // fixed pitch. An empty family would take whichever face is listed
    // first, often a serif one.
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    if (QFontInfo(font).fixedPitch()) font = QFont(QStringLiteral("sans-serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setBold(true);
    font.setPixelSize(16);
    return font;
}

}  // namespace

DialogMetrics dialogMetrics(int pointSize) {
    DialogMetrics metrics;
    metrics.font = QFont(QStringLiteral("Sans Serif"));
    metrics.font.setStyleHint(QFont::SansSerif);
    metrics.font.setPointSize(pointSize > 0 ? pointSize : 8);
    const QFontMetrics fm(metrics.font);
    // The average width of the Latin letters, rounded the way dialog base
    // units are measured, so that layouts keep their proportions.
    const int letters = fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    metrics.baseWidth = std::max(1, (letters / 26 + 1) / 2);
    metrics.baseHeight = std::max(1, fm.height());
    return metrics;
}

RenderedDialog::RenderedDialog(const resources::DialogTemplate& layout, QWidget& surface, DialogEvents& events,
                               CallGuard& guard)
    : layout_(layout),
      surface_(surface),
      events_(events),
      guard_(guard),
      metrics_(dialogMetrics(layout.fontPointSize)) {
    QuietScope quiet(quiet_);
    surface_.setFont(metrics_.font);
    QWidget* previousTabStop = nullptr;
    for (const resources::ControlTemplate& control : layout_.controls) {
        QWidget* widget = createControl(control);
        controls_.push_back({&control, widget});
        widget->setEnabled((control.style & style::kDisabled) == 0);
        widget->setVisible((control.style & style::kHidden) == 0);
        if ((control.style & style::kTabStop) != 0) {
            // Qt's own chain in template order too: it picks the first
            // control a new window focuses.
            if (previousTabStop != nullptr) QWidget::setTabOrder(previousTabStop, widget);
            previousTabStop = widget;
        }
    }
}

QWidget* RenderedDialog::createControl(const resources::ControlTemplate& control) {
    const std::uint32_t id = control.id;
    const bool tabStop = (control.style & style::kTabStop) != 0;
    const Qt::FocusPolicy inputFocus = tabStop ? Qt::StrongFocus : Qt::ClickFocus;
    const QRect place = metrics_.rect(control.x, control.y, control.width, control.height);
    QWidget* widget = nullptr;

    switch (control.kind) {
        case ControlKind::PushButton: {
            auto* button = new QPushButton(fromBytes(control.caption), &surface_);
            // Enter is the dialog's to interpret, not Qt's default button.
            button->setAutoDefault(false);
            button->setDefault(false);
            QObject::connect(button, &QPushButton::clicked, button, [this, id] { notify(id, notify::kButtonClicked); });
            widget = button;
            break;
        }
        case ControlKind::BitmapButton: {
            auto* button = new QToolButton(&surface_);
            button->setAutoRaise(true);
            button->setIcon(QIcon(notePicture(surface_.palette())));
            button->setIconSize(QSize(16, 16));
            QObject::connect(button, &QToolButton::clicked, button, [this, id] { notify(id, notify::kButtonClicked); });
            widget = button;
            break;
        }
        case ControlKind::ComboBoxDropDown: {
            auto* combo = new QComboBox(&surface_);
            combo->setEditable(true);
            combo->setInsertPolicy(QComboBox::NoInsert);
            combo->setCompleter(nullptr);
            combo->setDuplicatesEnabled(true);
            // When its edit loses the focus, Qt takes a typed text that matches
            // a line of the list for a choice of that line. Only a line really
            // chosen restarts the search; a focus change must not.
            QObject::disconnect(combo->lineEdit(), SIGNAL(editingFinished()), combo, nullptr);
            // The template's height is that of the dropped-down list.
            const int rowHeight = std::max(1, QFontMetrics(metrics_.font).height() + 2);
            combo->setMaxVisibleItems(std::max(1, (place.height() - combo->sizeHint().height()) / rowHeight));
            QObject::connect(combo->lineEdit(), &QLineEdit::textEdited, combo,
                             [this, id] { notify(id, notify::kComboEditChange); });
            QObject::connect(combo, &QComboBox::activated, combo, [this, id] { notify(id, notify::kComboSelEndOk); });
            combo->setGeometry(place.x(), place.y(), place.width(), combo->sizeHint().height());
            combo->setFocusPolicy(inputFocus);
            return combo;
        }
        case ControlKind::StaticText: {
            auto* label = new QLabel(fromBytes(control.caption), &surface_);
            label->setTextFormat(Qt::PlainText);
            label->setWordWrap(false);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            QRect area = place;
            if (layout_.id == ids::kDialogNavigationBar && id == ids::kNavTitle) {
                label->setFont(navigationTitleFont());
                // Tall enough for the descenders of j, g, q, p and y.
                area.setHeight(std::max(area.height(), QFontMetrics(label->font()).height()));
            }
            label->setFocusPolicy(Qt::NoFocus);
            label->setGeometry(area);
            return label;
        }
        case ControlKind::EtchedVertical:
        case ControlKind::EtchedHorizontal: {
            const bool vertical = control.kind == ControlKind::EtchedVertical;
            auto* line = new QFrame(&surface_);
            line->setFrameShape(vertical ? QFrame::VLine : QFrame::HLine);
            line->setFrameShadow(QFrame::Sunken);
            line->setFocusPolicy(Qt::NoFocus);
            // An etched line is two pixels, light under dark.
            line->setGeometry(place.x(), place.y(), vertical ? 2 : place.width(), vertical ? place.height() : 2);
            return line;
        }
        case ControlKind::Edit: {
            if ((control.style & style::kMultiLine) == 0) {
                auto* edit = new QLineEdit(&surface_);
                if ((control.style & style::kClientEdge) == 0) edit->setFrame(false);
                QObject::connect(edit, &QLineEdit::textEdited, edit, [this, id] { notify(id, notify::kEditChange); });
                widget = edit;
                break;
            }
            auto* edit = new QPlainTextEdit(&surface_);
            edit->setTabChangesFocus(true);
            edit->setUndoRedoEnabled(true);
            edit->setLineWrapMode((control.style & style::kAutoHScroll) != 0 ? QPlainTextEdit::NoWrap
                                                                             : QPlainTextEdit::WidgetWidth);
            edit->setVerticalScrollBarPolicy((control.style & style::kVScroll) != 0 ? Qt::ScrollBarAlwaysOn
                                                                                    : Qt::ScrollBarAlwaysOff);
            edit->setHorizontalScrollBarPolicy((control.style & style::kHScroll) != 0 ? Qt::ScrollBarAlwaysOn
                                                                                      : Qt::ScrollBarAlwaysOff);
            if ((control.style & style::kClientEdge) == 0) edit->setFrameShape(QFrame::NoFrame);
            QObject::connect(edit, &QPlainTextEdit::textChanged, edit, [this, id] { notify(id, notify::kEditChange); });
            widget = edit;
            break;
        }
        case ControlKind::ListBox: {
            auto* list = new QListWidget(&surface_);
            list->setSelectionMode(QAbstractItemView::SingleSelection);
            list->setHorizontalScrollBarPolicy((control.style & style::kHScroll) != 0 ? Qt::ScrollBarAsNeeded
                                                                                      : Qt::ScrollBarAlwaysOff);
            if ((control.style & style::kNotify) != 0) {
                QObject::connect(list, &QListWidget::itemDoubleClicked, list,
                                 [this, id] { notify(id, notify::kListDoubleClick); });
            }
            widget = list;
            break;
        }
        case ControlKind::TreeView: {
            auto* tree = new QTreeWidget(&surface_);
            tree->setHeaderHidden(true);
            widget = tree;
            break;
        }
    }
    widget->setFocusPolicy(inputFocus);
    widget->setGeometry(place);
    return widget;
}

void RenderedDialog::initialize() {
    if (initialized_) return;
    initialized_ = true;
    guard_.run([this] { events_.onInit(*this); });
}

const RenderedDialog::Control* RenderedDialog::find(std::uint32_t id) const {
    for (const Control& control : controls_) {
        if (control.layout->id == id) return &control;
    }
    return nullptr;
}

const RenderedDialog::Control* RenderedDialog::controlContaining(const QWidget* widget) const {
    if (widget == nullptr) return nullptr;
    for (const Control& control : controls_) {
        if (control.widget == widget || control.widget->isAncestorOf(widget)) return &control;
    }
    return nullptr;
}

QWidget* RenderedDialog::controlWidget(std::uint32_t control) const {
    const Control* found = find(control);
    return found != nullptr ? found->widget : nullptr;
}

bool RenderedDialog::contains(const QWidget* widget) const {
    return widget != nullptr && (widget == &surface_ || surface_.isAncestorOf(widget));
}

bool RenderedDialog::hasFocus() const { return contains(surface_.window()->focusWidget()); }

void RenderedDialog::notify(std::uint32_t control, std::uint32_t notification) {
    if (quiet_ || !initialized_) return;
    guard_.run([&] { events_.onCommand(*this, control, notification); });
}

bool RenderedDialog::handleDialogKey(const KeyPress& key) {
    if (key.key == vk::kTab) {
        moveFocus((key.modifiers & modifier::kShift) == 0);
        return true;
    }
    if (key.key == vk::kEscape) {
        notify(kIdCancel, 0);
        return true;
    }
    if (key.key != vk::kReturn) return false;

    const Control* focused = controlContaining(surface_.window()->focusWidget());
    if (focused != nullptr) {
        const auto kind = focused->layout->kind;
        const auto wanted = style::kMultiLine | style::kWantReturn;
        if (kind == ControlKind::Edit && (focused->layout->style & wanted) == wanted) return false;
        if (kind == ControlKind::PushButton || kind == ControlKind::BitmapButton) {
            // Enter presses the focused button, like Space.
            if (focused->widget->isEnabled()) static_cast<QAbstractButton*>(focused->widget)->click();
            return true;
        }
    }
    notify(kIdOk, 0);
    return true;
}

void RenderedDialog::moveFocus(bool forward) {
    std::vector<const Control*> stops;
    for (const Control& control : controls_) {
        if ((control.layout->style & style::kTabStop) != 0 && control.widget->isEnabled() &&
            control.widget->isVisibleTo(&surface_)) {
            stops.push_back(&control);
        }
    }
    if (stops.empty()) return;

    const Control* current = controlContaining(surface_.window()->focusWidget());
    std::size_t target = forward ? 0 : stops.size() - 1;
    if (current != nullptr) {
        // Position of the focused control among all controls, so that a
        // focused control without a tab stop still has a place in the order.
        const auto at = static_cast<std::size_t>(current - controls_.data());
        if (forward) {
            const auto next = std::find_if(stops.begin(), stops.end(), [&](const Control* c) {
                return static_cast<std::size_t>(c - controls_.data()) > at;
            });
            target = next != stops.end() ? static_cast<std::size_t>(next - stops.begin()) : 0;
        } else {
            const auto previous = std::find_if(stops.rbegin(), stops.rend(), [&](const Control* c) {
                return static_cast<std::size_t>(c - controls_.data()) < at;
            });
            target = previous != stops.rend() ? stops.size() - 1 - static_cast<std::size_t>(previous - stops.rbegin())
                                              : stops.size() - 1;
        }
    }
    QWidget* widget = stops[target]->widget;
    widget->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    // Tabbing into an edit selects its text, as dialogs do.
    if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) edit->selectAll();
}

void RenderedDialog::setEnabled(std::uint32_t control, bool enabled) {
    if (const Control* found = find(control)) found->widget->setEnabled(enabled);
}

bool RenderedDialog::isEnabled(std::uint32_t control) const {
    const Control* found = find(control);
    return found != nullptr && found->widget->isEnabledTo(&surface_);
}

void RenderedDialog::setVisible(std::uint32_t control, bool visible) {
    if (const Control* found = find(control)) found->widget->setVisible(visible);
}

bool RenderedDialog::isVisible(std::uint32_t control) const {
    const Control* found = find(control);
    return found != nullptr && found->widget->isVisibleTo(&surface_);
}

void RenderedDialog::setText(std::uint32_t control, std::string_view text) {
    const Control* found = find(control);
    if (found == nullptr) return;
    QuietScope quiet(quiet_);
    QWidget* widget = found->widget;
    if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) {
        edit->setPlainText(fromBytesAsLines(text));
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        combo->setEditText(fromBytes(text));
    } else if (auto* line = qobject_cast<QLineEdit*>(widget)) {
        line->setText(fromBytes(text));
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(fromBytes(text));
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(fromBytes(text));
    }
}

std::string RenderedDialog::text(std::uint32_t control) const {
    const Control* found = find(control);
    if (found == nullptr) return {};
    QWidget* widget = found->widget;
    if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) return toBytes(withCrLf(rawText(*edit)));
    if (auto* combo = qobject_cast<QComboBox*>(widget)) return toBytes(combo->currentText());
    if (auto* line = qobject_cast<QLineEdit*>(widget)) return toBytes(line->text());
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) return toBytes(button->text());
    if (auto* label = qobject_cast<QLabel*>(widget)) return toBytes(label->text());
    return {};
}

void RenderedDialog::focus(std::uint32_t control) {
    if (const Control* found = find(control)) found->widget->setFocus(Qt::OtherFocusReason);
}

void RenderedDialog::focusDialog() { surface_.setFocus(Qt::OtherFocusReason); }

EditSelection RenderedDialog::selection(std::uint32_t control) const {
    const Control* found = find(control);
    if (found == nullptr) return {};
    if (auto* edit = qobject_cast<QPlainTextEdit*>(found->widget)) {
        const QString raw = rawText(*edit);
        const QTextCursor cursor = edit->textCursor();
        return {toOuterPosition(raw, cursor.selectionStart()), toOuterPosition(raw, cursor.selectionEnd())};
    }
    if (QLineEdit* line = lineEditOf(found->widget)) {
        if (!line->hasSelectedText()) {
            const auto caret = static_cast<std::uint32_t>(line->cursorPosition());
            return {caret, caret};
        }
        return {static_cast<std::uint32_t>(line->selectionStart()), static_cast<std::uint32_t>(line->selectionEnd())};
    }
    return {};
}

void RenderedDialog::select(std::uint32_t control, std::uint32_t start, std::uint32_t end) {
    const Control* found = find(control);
    if (found == nullptr) return;
    if (auto* edit = qobject_cast<QPlainTextEdit*>(found->widget)) {
        QTextCursor cursor = edit->textCursor();
        if (start == kNoPosition) {
            cursor.clearSelection();
        } else {
            const QString raw = rawText(*edit);
            cursor.setPosition(toDocumentPosition(raw, start));
            cursor.setPosition(toDocumentPosition(raw, end), QTextCursor::KeepAnchor);
        }
        edit->setTextCursor(cursor);
        return;
    }
    if (QLineEdit* line = lineEditOf(found->widget)) {
        if (start == kNoPosition) {
            line->deselect();
            return;
        }
        const auto length = static_cast<std::uint32_t>(line->text().size());
        const int from = static_cast<int>(std::min(start, length));
        const int to = static_cast<int>(std::min(end, length));
        line->setSelection(from, to - from);
    }
}

void RenderedDialog::copySelection(std::uint32_t control) {
    const Control* found = find(control);
    if (found == nullptr) return;
    if (auto* edit = qobject_cast<QPlainTextEdit*>(found->widget)) {
        edit->copy();
    } else if (QLineEdit* line = lineEditOf(found->widget)) {
        line->copy();
    }
}

void RenderedDialog::paste(std::uint32_t control) {
    const Control* found = find(control);
    if (found == nullptr) return;
    QuietScope quiet(quiet_);
    if (auto* edit = qobject_cast<QPlainTextEdit*>(found->widget)) {
        edit->paste();
    } else if (QLineEdit* line = lineEditOf(found->widget)) {
        line->paste();
    }
}

std::uint32_t RenderedDialog::itemCount(std::uint32_t control) const {
    const Control* found = find(control);
    if (found == nullptr) return 0;
    if (auto* combo = qobject_cast<QComboBox*>(found->widget)) return static_cast<std::uint32_t>(combo->count());
    if (auto* list = qobject_cast<QListWidget*>(found->widget)) return static_cast<std::uint32_t>(list->count());
    return 0;
}

void RenderedDialog::addItem(std::uint32_t control, std::string_view text) {
    const Control* found = find(control);
    if (found == nullptr) return;
    QuietScope quiet(quiet_);
    if (auto* combo = qobject_cast<QComboBox*>(found->widget)) {
        // Adding the first line makes it current in Qt; the edit text stays.
        const QString edited = combo->currentText();
        combo->addItem(fromBytes(text));
        if (combo->count() == 1) combo->setCurrentIndex(-1);
        combo->setEditText(edited);
    } else if (auto* list = qobject_cast<QListWidget*>(found->widget)) {
        list->addItem(fromBytes(text));
    }
}

void RenderedDialog::removeItem(std::uint32_t control, std::uint32_t index) {
    const Control* found = find(control);
    if (found == nullptr) return;
    QuietScope quiet(quiet_);
    if (auto* combo = qobject_cast<QComboBox*>(found->widget)) {
        if (index >= static_cast<std::uint32_t>(combo->count())) return;
        // Removing the current line would put another line's text in the
        // edit part; the edit text belongs to the user.
        const QString edited = combo->currentText();
        combo->removeItem(static_cast<int>(index));
        combo->setEditText(edited);
    } else if (auto* list = qobject_cast<QListWidget*>(found->widget)) {
        if (index < static_cast<std::uint32_t>(list->count())) delete list->takeItem(static_cast<int>(index));
    }
}

std::string RenderedDialog::itemText(std::uint32_t control, std::uint32_t index) const {
    const Control* found = find(control);
    if (found == nullptr) return {};
    if (auto* combo = qobject_cast<QComboBox*>(found->widget)) {
        if (index < static_cast<std::uint32_t>(combo->count()))
            return toBytes(combo->itemText(static_cast<int>(index)));
    } else if (auto* list = qobject_cast<QListWidget*>(found->widget)) {
        if (index < static_cast<std::uint32_t>(list->count()))
            return toBytes(list->item(static_cast<int>(index))->text());
    }
    return {};
}

std::optional<std::uint32_t> RenderedDialog::findItemExact(std::uint32_t control, std::string_view text) const {
    const QString wanted = fromBytes(text);
    const std::uint32_t count = itemCount(control);
    const Control* found = find(control);
    for (std::uint32_t i = 0; i < count; ++i) {
        QString item;
        if (auto* combo = qobject_cast<QComboBox*>(found->widget)) {
            item = combo->itemText(static_cast<int>(i));
        } else if (auto* list = qobject_cast<QListWidget*>(found->widget)) {
            item = list->item(static_cast<int>(i))->text();
        }
        if (equalIgnoringAsciiCase(item, wanted)) return i;
    }
    return std::nullopt;
}

std::optional<std::uint32_t> RenderedDialog::selectedItem(std::uint32_t control) const {
    const Control* found = find(control);
    if (found == nullptr) return std::nullopt;
    int row = -1;
    if (auto* combo = qobject_cast<QComboBox*>(found->widget)) row = combo->currentIndex();
    if (auto* list = qobject_cast<QListWidget*>(found->widget)) row = list->currentRow();
    if (row < 0) return std::nullopt;
    return static_cast<std::uint32_t>(row);
}

void RenderedDialog::selectItem(std::uint32_t control, std::optional<std::uint32_t> index) {
    const Control* found = find(control);
    if (found == nullptr) return;
    QuietScope quiet(quiet_);
    const int row = index.has_value() ? static_cast<int>(*index) : -1;
    if (auto* combo = qobject_cast<QComboBox*>(found->widget)) {
        // A line outside the list selects nothing and empties the edit part.
        combo->setCurrentIndex(row < combo->count() ? row : -1);
        if (combo->currentIndex() < 0) combo->setEditText(QString());
    } else if (auto* list = qobject_cast<QListWidget*>(found->widget)) {
        list->setCurrentRow(row < list->count() ? row : -1);
        if (QListWidgetItem* item = list->currentItem()) list->scrollToItem(item);
    }
}

void RenderedDialog::close(int result) {
    if (closer_) closer_(result);
}

}  // namespace vtome::platform::qt
