#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

// The copy of a file's old content that an in-place save writes first (see
// SafeFileWriter): "<name>.backup-XXXXXX", written as
// "<name>.backup-XXXXXX.unfinished" and renamed once it is whole and on disk.
// A finished copy stays behind only when the save did not end, so its
// presence beside a file tells that the file may hold a mix of new and old
// text.
struct InterruptedSave {
    static constexpr char backupInfix[] = ".backup-";
    static constexpr char unfinishedSuffix[] = ".unfinished";
    static constexpr qsizetype unfinishedSuffixSize = sizeof unfinishedSuffix - 1;

    QString copyPath;
    QDateTime copyTime;

    // What to tell the user who opens the file at path.
    QString notice(const QString& path) const;
};

// The newest finished copy beside the file at path (a symbolic link is
// followed, as Save does); nullopt when there is none.
std::optional<InterruptedSave> findInterruptedSave(const QString& path);
