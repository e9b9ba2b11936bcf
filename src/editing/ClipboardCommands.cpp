#include "editing/ClipboardCommands.h"

#include "editor/EditorControl.h"
#include "editor/LineBreaks.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <algorithm>

namespace {

// The editor's text has CR LF between lines; plain text on the clipboard has
// the platform's own line break, so a paste into a terminal gets no stray CR.
QString platformLineBreaks(const QString& text) {
#ifdef Q_OS_WIN
    return text;
#else
    return withLfLineBreaks(text);
#endif
}

// Plain text is offered as "text/plain", sometimes only with its charset
// ("text/plain;charset=utf-8"). QMimeData::hasText() would also accept a list
// of links, which is another format.
bool offersPlainText(const QMimeData& offered) {
    const QStringList formats = offered.formats();
    return std::any_of(formats.cbegin(), formats.cend(), [](const QString& format) {
        return format == u"text/plain" || format.startsWith(u"text/plain;");
    });
}

} // namespace

ClipboardCommands::ClipboardCommands(EditorControl& text)
    : text_(text) {}

void ClipboardCommands::Cut() {
    Copy();
    text_.setSelectedText(QString());
}

// Also with nothing selected: the clipboard then holds "" as its only text.
void ClipboardCommands::Copy() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(platformLineBreaks(text_.SelectedText()));
}

void ClipboardCommands::Paste() {
    const QMimeData* offered = QGuiApplication::clipboard()->mimeData();
    text_.setSelectedText(offered && offersPlainText(*offered) ? offered->text() : QString());
}
