#pragma once

#include <QString>
#include <QStringList>

// Turns a filter string of alternating labels and patterns separated by "|"
// ("Text files|*.txt|All Files|*.*|") into Qt's name filters
// ("Text files (*.txt)", "All Files (*)"). A trailing "|" is allowed. "*.*"
// stands for every file, as "*".
QStringList nameFiltersFrom(const QString& filter);

// The patterns of one of those name filters: "Scripts (*.vls *.scp)" gives
// "*.vls" and "*.scp".
QStringList patternsOf(const QString& nameFilter);
