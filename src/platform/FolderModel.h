#pragma once

#include <QAbstractListModel>
#include <QIcon>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <vector>

// The folders and files of one folder, folders first, for the file dialog.
// It reads the folder's names as the bytes they are (see decodeFileName):
// Qt's own folder listing leaves out every name that is not UTF-8, so a file
// such as "caf\xE9.vls" could neither be seen nor picked. Hidden names (those
// starting with a dot) are left out, as Qt's dialog leaves them out.
class FolderModel : public QAbstractListModel {
public:
    explicit FolderModel(QObject* parent = nullptr);

    // Reads the folder; false, and nothing listed, when it cannot be read.
    bool setFolder(const QString& folder);
    QString folder() const { return folder_; }
    // Files must match one of the wildcard patterns ("*.vls"); folders show
    // whatever their names. No patterns: every file shows.
    void setPatterns(const QStringList& patterns);

    bool isFolder(const QModelIndex& index) const;
    // The entry's full path, which encodeFileName turns back into its bytes.
    QString path(const QModelIndex& index) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    struct Entry {
        QString name;     // as decodeFileName gives it
        QString readable; // as readableFileName gives it
        bool folder = false;
    };

    bool passes(const Entry& entry) const;
    void refilter();

    QString folder_;
    std::vector<Entry> entries_;     // sorted, folders first
    std::vector<std::size_t> shown_; // indices into entries_
    std::vector<QRegularExpression> patterns_;
    QIcon folderIcon_;
    QIcon fileIcon_;
};
