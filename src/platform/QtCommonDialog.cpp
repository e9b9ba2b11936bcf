#include "platform/QtCommonDialog.h"

#include "platform/FileDialog.h"
#include "platform/FileFilter.h"
#include "platform/FontColorDialog.h"

#include <QApplication>

std::optional<QString> QtCommonDialog::runOpenDialog() { return runFileDialog(false); }

std::optional<QString> QtCommonDialog::runSaveDialog() { return runFileDialog(true); }

std::optional<QString> QtCommonDialog::runFileDialog(bool save)
{
    FileDialog dialog(save ? FileDialog::Mode::Save : FileDialog::Mode::Open, messages_,
                      QApplication::activeWindow());
    const QStringList filters = nameFiltersFrom(filter());
    dialog.setNameFilters(filters);
    if (filterIndex() >= 1 && filterIndex() <= filters.size())
        dialog.selectNameFilter(filters[filterIndex() - 1]);
    if (!fileName().isEmpty())
        dialog.selectFile(fileName());
    if (dialog.exec() != QDialog::Accepted)
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
