#include "editing/EditorTextMirror.h"

#include <QTextCursor>
#include <QTextDocument>

namespace {

// A change of this many characters that keeps the length is as likely to be
// formatting as text: it is read again only when the text is next needed.
constexpr int LargeInPlaceChange = 4096;

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
    }
    return text_;
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
    const qsizetype oldSize = text_.size();
    if (position < 0 || position > oldSize || position > end) {
        stale_ = true;
        return;
    }
    removed = int(std::min<qsizetype>(removed, oldSize - position));
    added = std::min(added, end - position);
    if (removed == added && added > LargeInPlaceChange) {
        stale_ = true;
        return;
    }
    if (added > end / 2) {
        // Most of the document is new (a file was read in): one copy is quicker.
        text_ = document_.toRawText();
        return;
    }
    text_.replace(position, removed, documentText(position, position + added));
    if (text_.size() != end)
        stale_ = true;
}
