#include "platform/FileFilter.h"

using namespace Qt::StringLiterals;

QStringList nameFiltersFrom(const QString& filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty() && parts[i + 1].isEmpty())
            continue;
        QString patterns = parts[i + 1];
        patterns.replace(u';', u' ');
        result << u"%1 (%2)"_s.arg(parts[i], patterns);
    }
    return result;
}
