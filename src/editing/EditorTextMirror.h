#pragma once

#include <QObject>
#include <QString>
#include <QStringView>

class QTextDocument;

// A copy of an editor document's raw text (one character per line break,
// positions as the editor counts them), kept in step with every change.
// Reading a 10 MB document out of QTextDocument takes about 100 ms however it
// is done; kept up to date edit by edit, the text is at hand for a search.
// Owned by its document through Qt parent ownership.
class EditorTextMirror : public QObject {
    Q_OBJECT
public:
    // The document's mirror, made on first use.
    static EditorTextMirror& of(QTextDocument& document);

    QStringView text();

private:
    explicit EditorTextMirror(QTextDocument& document);
    void follow(int position, int removed, int added);
    QString documentText(int from, int to) const;
    qsizetype size() const;
    void applyPending();

    QTextDocument& document_;
    QString text_;
    // The latest run of edits, not yet written into text_: the characters
    // [pendingAt_, pendingAt_ + pendingRemoved_) of text_ are to become
    // pendingText_. Typing keeps growing it, so a key costs no move of the
    // whole text; it is written in when the text is read or the user edits
    // somewhere else.
    qsizetype pendingAt_ = 0;
    qsizetype pendingRemoved_ = 0;
    QString pendingText_;
    bool pending_ = false;
    // Set when the copy cannot be brought up to date cheaply; the next read
    // copies the whole document again.
    bool stale_ = false;
};
