#include "editor/PlainTextMime.h"

#include "platform/LineBreaks.h"

#include <QGuiApplication>
#include <QMimeData>

#include <algorithm>

bool offersPlainText(const QMimeData& offered)
{
    const QStringList formats = offered.formats();
    return std::any_of(formats.cbegin(), formats.cend(), [](const QString& format) {
        return format == u"text/plain" || format.startsWith(u"text/plain;");
    });
}

QString plainTextOffered(const QMimeData* offered)
{
    return offered && offersPlainText(*offered) ? offered->text() : QString();
}

QString plainTextOnClipboard(QClipboard::Mode mode)
{
    return plainTextOffered(QGuiApplication::clipboard()->mimeData(mode));
}

QString withPlatformLineBreaks(const QString& text)
{
#ifdef Q_OS_WIN
    return text;
#else
    return withLfLineBreaks(text);
#endif
}

QMimeData* plainTextData(const QString& editorText)
{
    auto* data = new QMimeData;
    data->setText(withPlatformLineBreaks(editorText));
    return data;
}

void offerPlainText(const QString& editorText)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setMimeData(plainTextData(editorText));
}
