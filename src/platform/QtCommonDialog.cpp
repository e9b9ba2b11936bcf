#include "platform/QtCommonDialog.h"

#include "platform/FileDialog.h"
#include "platform/FileFilter.h"
#include "platform/FontColorDialog.h"

#include <QApplication>

std::optional<QString> QtCommonDialog::runOpenDialog() { return runFileDialog(false); }

std::optional<QString> QtCommonDialog::runSaveDialog() { return runFileDialog(true); }

std::optional<QString> QtCommonDialog::runFileDialog(bool save)
{
    QWidget* owner = QApplication::activeWindow();
    FileDialog dialog(save ? FileDialog::Mode::Save : FileDialog::Mode::Open, messages_, owner);
    const QStringList filters = nameFiltersFrom(filter());
    dialog.setNameFilters(filters);
    if (filterIndex() >= 1 && filterIndex() <= filters.size())
        dialog.selectNameFilter(filters[filterIndex() - 1]);
    if (!fileName().isEmpty())
        dialog.selectFile(fileName());
    const bool accepted = dialog.exec() == QDialog::Accepted;
    // When a question over the dialog (replace the file?) closes just before
    // the dialog does, the window manager hands the keyboard back to the
    // closing dialog and then to no window at all: the owner takes it back.
    if (owner)
        owner->activateWindow();
    if (!accepted)
        return std::nullopt;
    return dialog.chosenPath();
}

std::optional<FontChoice> QtCommonDialog::runFontDialog()
{
    FontColorDialog dialog(font(), QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.choice();
}
