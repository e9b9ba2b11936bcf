#include "platform/FileFilter.h"

#include <algorithm>

using namespace Qt::StringLiterals;

QStringList nameFiltersFrom(const QString& filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty() && parts[i + 1].isEmpty())
            continue;
        QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
        // "*.*" means every file, but Qt would only show names with a dot.
        std::replace(patterns.begin(), patterns.end(), u"*.*"_s, u"*"_s);
        result << u"%1 (%2)"_s.arg(parts[i], patterns.join(u' '));
    }
    return result;
}

QStringList patternsOf(const QString& nameFilter)
{
    const qsizetype open = nameFilter.lastIndexOf(u'(');
    if (open < 0 || !nameFilter.endsWith(u')'))
        return {};
    return nameFilter.sliced(open + 1, nameFilter.size() - open - 2)
        .split(u' ', Qt::SkipEmptyParts);
}
