#include "editor/EditorAccessibility.h"

#include "editor/ActivityWatch.h"
#include "editor/Engine.h"

#include <QWidget>
#include <algorithm>
#include <utility>

namespace {

EditorAccessibility::Listener listener = nullptr;

ActivityWatch& activityWatch()
{
    static ActivityWatch watch;
    return watch;
}

} // namespace

EditorAccessibility::EditorAccessibility(QWidget& editor, const Engine& engine)
    : editor_(editor)
    , engine_(engine)
{
    activityWatch();
}

bool EditorAccessibility::active() { return activityWatch().active() || QAccessible::isActive(); }

void EditorAccessibility::setListener(Listener listener) { ::listener = listener; }

void EditorAccessibility::tell(QAccessibleEvent* event)
{
    if (listener)
        listener(event);
    else
        QAccessible::updateAccessibility(event);
}

// The editor hears of an insertion or a deletion only before it happens.
void EditorAccessibility::changing(int offset, int type, int length)
{
    if (!active()) {
        change_.reset();
        return;
    }
    const bool inserts = Engine::announcesInsertion(type);
    if (length <= 0 || (!inserts && !Engine::announcesDeletion(type)))
        return;
    tellChange();
    // The text before the change stays as it is, and so does the position.
    change_ = Change{.offset = offset,
                     .position = int(engine_.positionOfOffset(offset)),
                     .inserted = inserts ? length : 0,
                     .removed = inserts ? QString() : engine_.textBetween(offset, offset + length)};
    if (!changeQueued_) {
        changeQueued_ = true;
        QMetaObject::invokeMethod(
            &editor_,
            [this] {
                changeQueued_ = false;
                tellChange();
            },
            Qt::QueuedConnection);
    }
}

// Nothing changed since the change was announced but the change itself.
void EditorAccessibility::tellChange()
{
    if (!change_)
        return;
    const Change change = *std::exchange(change_, std::nullopt);
    if (change.inserted == 0) {
        QAccessibleTextRemoveEvent event(&editor_, change.position, change.removed);
        tell(&event);
        return;
    }
    const qsizetype end = std::min(change.offset + change.inserted, engine_.length());
    QAccessibleTextInsertEvent event(&editor_, change.position,
                                     engine_.textBetween(change.offset, end));
    tell(&event);
}

void EditorAccessibility::viewUpdated(int updated)
{
    if (!Engine::updatesTextOrSelection(updated))
        return;
    if (!active()) {
        caret_ = selectionStart_ = selectionEnd_ = -1;
        return;
    }
    tellChange();
    const int caret = int(engine_.positionOfOffset(engine_.caret()));
    const int anchor = int(engine_.positionOfOffset(engine_.anchor()));
    const int start = std::min(caret, anchor);
    const int end = std::max(caret, anchor);
    if (start != selectionStart_ || end != selectionEnd_) {
        // A caret that moves selects nothing: the cursor event tells it.
        const bool wasEmpty = selectionStart_ == selectionEnd_;
        selectionStart_ = start;
        selectionEnd_ = end;
        if (start != end || !wasEmpty) {
            QAccessibleTextSelectionEvent event(&editor_, start, end);
            tell(&event);
        }
    }
    if (caret != caret_) {
        caret_ = caret;
        QAccessibleTextCursorEvent event(&editor_, caret);
        tell(&event);
    }
}
