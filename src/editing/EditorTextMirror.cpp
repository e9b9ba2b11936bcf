#include "editing/EditorTextMirror.h"

#include <QTextCursor>
#include <QTextDocument>

namespace {

// A change of this many characters that keeps the length is as likely to be
// formatting as text: it is read again only when the text is next needed.
constexpr int largeInPlaceChange = 4096;

} // namespace

EditorTextMirror& EditorTextMirror::of(QTextDocument& document)
{
    if (auto* mirror = document.findChild<EditorTextMirror*>(QString(), Qt::FindDirectChildrenOnly))
        return *mirror;
    return *new EditorTextMirror(document);
}

EditorTextMirror::EditorTextMirror(QTextDocument& document)
    : QObject(&document)
    , document_(document)
    , text_(document.toRawText())
{
    connect(&document, &QTextDocument::contentsChange, this, &EditorTextMirror::follow);
}

QStringView EditorTextMirror::text()
{
    if (stale_) {
        text_ = document_.toRawText();
        stale_ = false;
        pending_ = false;
    }
    applyPending();
    return text_;
}

qsizetype EditorTextMirror::size() const
{
    return pending_ ? text_.size() - pendingRemoved_ + pendingText_.size() : text_.size();
}

void EditorTextMirror::applyPending()
{
    if (!pending_)
        return;
    text_.replace(pendingAt_, pendingRemoved_, pendingText_);
    pending_ = false;
    pendingText_.clear();
}

QString EditorTextMirror::documentText(int from, int to) const
{
    QTextCursor cursor(&document_);
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    return cursor.selectedText();
}

// The document reports each change as a range that lost `removed` characters
// and now holds `added`. Counts may include the document's closing line
// break, which its raw text leaves out, so both are cut at the end.
void EditorTextMirror::follow(int position, int removed, int added)
{
    if (stale_)
        return;
    const int end = document_.characterCount() - 1;
    const qsizetype oldSize = size();
    if (position < 0 || position > oldSize || position > end) {
        stale_ = true;
        return;
    }
    removed = int(std::min<qsizetype>(removed, oldSize - position));
    added = std::min(added, end - position);
    if (removed == added && added > largeInPlaceChange) {
        stale_ = true;
        return;
    }
    if (added > end / 2) {
        // Most of the document is new (a file was read in): one copy is quicker.
        text_ = document_.toRawText();
        pending_ = false;
        return;
    }
    const QString inserted = documentText(position, position + added);
    const qsizetype pendingEnd = pendingAt_ + pendingText_.size();
    if (pending_ && position >= pendingAt_ && position + removed <= pendingEnd) {
        // Inside or right after the latest run: typing on, or deleting what was just typed.
        pendingText_.replace(position - pendingAt_, removed, inserted);
    } else if (pending_ && position + removed == pendingAt_) {
        // Deleting back past the start of the run: text_ still holds those characters.
        pendingAt_ = position;
        pendingRemoved_ += removed;
        pendingText_.prepend(inserted);
    } else {
        applyPending();
        pendingAt_ = position;
        pendingRemoved_ = removed;
        pendingText_ = inserted;
        pending_ = true;
    }
    if (size() != end)
        stale_ = true;
}
