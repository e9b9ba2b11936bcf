#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

class FolderModel;
class MessageBox;
class QComboBox;
class QLineEdit;
class QListView;
class QModelIndex;

// The Open and Save As dialog: a folder's files, a "File name" box and the
// "Files of type" list, laid out as Qt's own file dialog lays them out. It
// lists and returns file names as the bytes they are (see FolderModel), which
// Qt's dialog cannot. Its questions (file not found, replace?) go through
// the MessageBox it is given.
class FileDialog : public QDialog {
public:
    enum class Mode { Open, Save };

    FileDialog(Mode mode, MessageBox& messages, QWidget* parent = nullptr);

    void setNameFilters(const QStringList& filters);
    void selectNameFilter(const QString& filter);
    void setFolder(const QString& folder);
    // Shows the file's folder with the file picked.
    void selectFile(const QString& path);
    // The full path accepted; encodeFileName gives the name's own bytes.
    QString chosenPath() const { return chosen_; }

    void accept() override;

private:
    void enterFolder(const QString& folder);
    void pick(const QModelIndex& index);
    void pickPath(const QString& path);
    void openItem(const QModelIndex& index);
    QString typedPath() const;

    Mode mode_;
    MessageBox& messages_;
    FolderModel* model_;
    QComboBox* lookIn_;
    QListView* list_;
    QLineEdit* fileName_;
    QComboBox* fileTypes_;
    // The file last picked; the box shows its name as people read it.
    QString picked_;
    QString chosen_;
};
