#include "editor/PlainTextMime.h"

#include "platform/LineBreaks.h"

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

QString withPlatformLineBreaks(const QString& text)
{
#ifdef Q_OS_WIN
    return text;
#else
    return withLfLineBreaks(text);
#endif
}
