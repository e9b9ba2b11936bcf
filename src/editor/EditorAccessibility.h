#pragma once

#include <QAccessible>
#include <QString>
#include <optional>

class Engine;
class QWidget;

// Tells a screen reader what changes in the editor that owns it: text
// inserted or deleted, the caret moved, the selection changed. Without a
// screen reader each notice costs the test of a flag.
class EditorAccessibility {
public:
    EditorAccessibility(QWidget& editor, const Engine& engine);
    EditorAccessibility(const EditorAccessibility&) = delete;
    EditorAccessibility& operator=(const EditorAccessibility&) = delete;

    // Whether anything listens: a screen reader, or a test after
    // QAccessible::setActive(true).
    static bool active();

    // Hands the events of every editor to listener instead of Qt; nullptr
    // hands them to Qt again. For tests: Qt passes an event on, to its update
    // handler too, only where the platform has a screen reader.
    using Listener = void (*)(QAccessibleEvent* event);
    static void setListener(Listener listener);

    // The editor passes on the engine's notices: a change it is about to
    // make (SCN_MODIFIED), and an update of the view (SCN_UPDATEUI).
    void changing(int offset, int type, int length);
    void viewUpdated(int updated);

private:
    // A change the engine announced before making it.
    struct Change {
        // Where, in the engine and in editor positions.
        qsizetype offset;
        int position;
        // Bytes inserted, or the text removed.
        qsizetype inserted;
        QString removed;
    };

    static void tell(QAccessibleEvent* event);
    void tellChange();

    QWidget& editor_;
    const Engine& engine_;
    // The engine tells the editor of a change only before making it, and
    // hands out inserted text only once it is in. A screen reader hears of
    // a change once it is made: before the next change, before the caret's
    // move, or when the editor is idle again, whichever comes first.
    std::optional<Change> change_;
    bool changeQueued_ = false;
    // The caret and the selection as last told, -1 before that.
    int caret_ = -1;
    int selectionStart_ = -1;
    int selectionEnd_ = -1;
};
