#include "platform/FolderModel.h"

#include "platform/FileName.h"

#include <QCollator>
#include <QFileIconProvider>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>

namespace {

struct CloseFolder {
    void operator()(DIR* dir) const { closedir(dir); }
};

} // namespace

FolderModel::FolderModel(QObject* parent)
    : QAbstractListModel(parent)
    , folderIcon_(QFileIconProvider().icon(QFileIconProvider::Folder))
    , fileIcon_(QFileIconProvider().icon(QFileIconProvider::File))
{
}

bool FolderModel::setFolder(const QString& folder)
{
    beginResetModel();
    folder_ = folder;
    entries_.clear();
    const std::unique_ptr<DIR, CloseFolder> dir(opendir(encodeFileName(folder).constData()));
    if (dir) {
        while (const dirent* entry = readdir(dir.get())) {
            const QByteArray name(entry->d_name);
            if (name.startsWith('.'))
                continue;
            // A link counts as what it leads to; a broken one as a file.
            struct stat status {};
            const bool folder = fstatat(dirfd(dir.get()), entry->d_name, &status, 0) == 0
                                && S_ISDIR(status.st_mode);
            const QString decoded = decodeFileName(name);
            entries_.push_back({decoded, readableFileName(decoded), folder});
        }
    }
    QCollator collator;
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::ranges::sort(entries_, [&collator](const Entry& a, const Entry& b) {
        if (a.folder != b.folder)
            return a.folder;
        const int order = collator.compare(a.readable, b.readable);
        return order != 0 ? order < 0 : a.name < b.name;
    });
    refilter();
    endResetModel();
    return dir != nullptr;
}

void FolderModel::setPatterns(const QStringList& patterns)
{
    beginResetModel();
    patterns_.clear();
    for (const QString& pattern : patterns)
        patterns_.push_back(QRegularExpression::fromWildcard(pattern, Qt::CaseInsensitive));
    refilter();
    endResetModel();
}

bool FolderModel::passes(const Entry& entry) const
{
    // Matched on the readable name: a regular expression wants valid UTF-16.
    return entry.folder || patterns_.empty()
           || std::ranges::any_of(patterns_, [&entry](const QRegularExpression& pattern) {
                  return pattern.match(entry.readable).hasMatch();
              });
}

void FolderModel::refilter()
{
    shown_.clear();
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (passes(entries_[i]))
            shown_.push_back(i);
    }
}

bool FolderModel::isFolder(const QModelIndex& index) const
{
    return index.isValid() && entries_[shown_[std::size_t(index.row())]].folder;
}

QString FolderModel::path(const QModelIndex& index) const
{
    if (!index.isValid())
        return {};
    const QString& name = entries_[shown_[std::size_t(index.row())]].name;
    return folder_.endsWith(u'/') ? folder_ + name : folder_ + u'/' + name;
}

int FolderModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(shown_.size());
}

QVariant FolderModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const Entry& entry = entries_[shown_[std::size_t(index.row())]];
    switch (role) {
    case Qt::DisplayRole:
        return entry.readable;
    case Qt::DecorationRole:
        return entry.folder ? folderIcon_ : fileIcon_;
    default:
        return {};
    }
}
