#include "platform/FileDialog.h"

#include "platform/FileFilter.h"
#include "platform/FileName.h"
#include "platform/FolderModel.h"
#include "platform/MessageBox.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

#include <sys/stat.h>

#include <filesystem>

using namespace Qt::StringLiterals;

namespace {

enum class Kind { Missing, File, Folder };

Kind kindOf(const QString& path)
{
    struct stat status {};
    if (::stat(encodeFileName(path).constData(), &status) != 0)
        return Kind::Missing;
    return S_ISDIR(status.st_mode) ? Kind::Folder : Kind::File;
}

QString lastPart(const QString& path) { return path.sliced(path.lastIndexOf(u'/') + 1); }

QString parentOf(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash <= 0 ? u"/"_s : path.first(slash);
}

} // namespace

FileDialog::FileDialog(Mode mode, MessageBox& messages, QWidget* parent)
    : QDialog(parent)
    , mode_(mode)
    , messages_(messages)
    , model_(new FolderModel(this))
    , lookIn_(new QComboBox(this))
    , list_(new QListView(this))
    , fileName_(new QLineEdit(this))
    , fileTypes_(new QComboBox(this))
{
    setWindowTitle(mode == Mode::Open ? u"Open"_s : u"Save As"_s);
    setSizeGripEnabled(true);

    auto* up = new QToolButton(this);
    up->setIcon(style()->standardIcon(QStyle::SP_FileDialogToParent));
    up->setToolTip(u"Parent folder"_s);
    up->setAutoRaise(true);
    auto* lookInRow = new QHBoxLayout;
    auto* lookInLabel = new QLabel(u"Look &in:"_s, this);
    lookInLabel->setBuddy(lookIn_);
    lookInRow->addWidget(lookInLabel);
    lookInRow->addWidget(lookIn_, 1);
    lookInRow->addWidget(up);

    list_->setModel(model_);
    list_->setFlow(QListView::TopToBottom);
    list_->setWrapping(true);
    list_->setResizeMode(QListView::Adjust);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);

    auto* buttons = new QDialogButtonBox(Qt::Vertical, this);
    buttons->addButton(mode == Mode::Open ? QDialogButtonBox::Open : QDialogButtonBox::Save);
    buttons->addButton(QDialogButtonBox::Cancel);
    auto* fileNameLabel = new QLabel(u"File &name:"_s, this);
    fileNameLabel->setBuddy(fileName_);
    auto* fileTypesLabel = new QLabel(u"Files of type:"_s, this);
    fileTypesLabel->setBuddy(fileTypes_);

    auto* grid = new QGridLayout(this);
    grid->addLayout(lookInRow, 0, 0, 1, 3);
    grid->addWidget(list_, 1, 0, 1, 3);
    grid->addWidget(fileNameLabel, 2, 0);
    grid->addWidget(fileName_, 2, 1);
    grid->addWidget(fileTypesLabel, 3, 0);
    grid->addWidget(fileTypes_, 3, 1);
    grid->addWidget(buttons, 2, 2, 2, 1);
    resize(540, 340);

    setTabOrder(lookIn_, up);
    setTabOrder(up, list_);
    setTabOrder(list_, fileName_);
    setTabOrder(fileName_, fileTypes_);
    setTabOrder(fileTypes_, buttons);
    fileName_->setFocus();

    connect(buttons, &QDialogButtonBox::accepted, this, &FileDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &FileDialog::reject);
    connect(up, &QToolButton::clicked, this, [this] { enterFolder(parentOf(model_->folder())); });
    connect(lookIn_, &QComboBox::activated, this,
            [this](int index) { enterFolder(lookIn_->itemData(index).toString()); });
    connect(fileTypes_, &QComboBox::currentIndexChanged, this,
            [this](int index) { model_->setPatterns(patternsOf(fileTypes_->itemText(index))); });
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected) { pick(selected.indexes().value(0)); });
    connect(list_, &QListView::doubleClicked, this, &FileDialog::openItem);

    std::error_code error;
    setFolder(decodeFileName(std::filesystem::current_path(error).native()));
}

void FileDialog::setNameFilters(const QStringList& filters)
{
    fileTypes_->clear();
    fileTypes_->addItems(filters);
}

void FileDialog::selectNameFilter(const QString& filter)
{
    if (const int index = fileTypes_->findText(filter); index >= 0)
        fileTypes_->setCurrentIndex(index);
}

void FileDialog::setFolder(const QString& folder)
{
    // An unreadable folder shows empty, as in Qt's dialog.
    model_->setFolder(folder);
    picked_.clear();
    lookIn_->clear();
    // The folder and each folder above it, as Qt's dialog offers them.
    for (QString step = folder;; step = parentOf(step)) {
        lookIn_->addItem(readableFileName(step), step);
        if (step == u"/"_s)
            break;
    }
}

void FileDialog::selectFile(const QString& path)
{
    const QString full = QDir::isAbsolutePath(path) ? path : model_->folder() + u'/' + path;
    setFolder(parentOf(full));
    pickPath(full);
    for (int row = 0; row < model_->rowCount(); ++row) {
        if (model_->path(model_->index(row)) == full)
            list_->setCurrentIndex(model_->index(row));
    }
}

void FileDialog::enterFolder(const QString& folder)
{
    const QString clean = QDir::cleanPath(folder);
    if (kindOf(clean) == Kind::Folder)
        setFolder(clean);
}

void FileDialog::pick(const QModelIndex& index)
{
    if (!index.isValid() || model_->isFolder(index))
        return;
    pickPath(model_->path(index));
}

void FileDialog::pickPath(const QString& path)
{
    picked_ = path;
    fileName_->setText(readableFileName(lastPart(path)));
}

void FileDialog::openItem(const QModelIndex& index)
{
    if (model_->isFolder(index))
        enterFolder(model_->path(index));
    else if (index.isValid())
        accept();
}

QString FileDialog::typedPath() const
{
    const QString typed = fileName_->text();
    // The box shows a picked name as people read it; the name itself may hold
    // bytes that the box cannot.
    if (!picked_.isEmpty() && typed == readableFileName(lastPart(picked_)))
        return picked_;
    return QDir::cleanPath(QDir::isAbsolutePath(typed) ? typed : model_->folder() + u'/' + typed);
}

void FileDialog::accept()
{
    // Return on a folder in the list goes into it.
    if (list_->hasFocus() && model_->isFolder(list_->currentIndex())) {
        enterFolder(model_->path(list_->currentIndex()));
        return;
    }
    if (fileName_->text().isEmpty())
        return;
    const QString path = typedPath();
    const QString shown = readableFileName(lastPart(path));
    switch (kindOf(path)) {
    case Kind::Folder:
        enterFolder(path);
        fileName_->clear();
        return;
    case Kind::Missing:
        if (mode_ == Mode::Open) {
            messages_.ask(u"\"%1\" was not found.\nCheck the name and try again."_s.arg(shown),
                          windowTitle(), MessageBox::Buttons::Ok, MessageBox::Icon::Warning);
            return;
        }
        break;
    case Kind::File:
        if (mode_ == Mode::Save
            && messages_.ask(u"\"%1\" already exists.\nDo you want to replace it?"_s.arg(shown),
                             windowTitle(), MessageBox::Buttons::YesNoDefaultNo,
                             MessageBox::Icon::Warning)
                   != MessageBox::Answer::Yes)
            return;
        break;
    }
    chosen_ = path;
    QDialog::accept();
}
