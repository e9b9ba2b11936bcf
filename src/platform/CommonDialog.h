#pragma once

#include "platform/FontChoice.h"

#include <QString>
#include <optional>

// The main window's one common-dialog component: the file-open, file-save and
// font dialogs share it, and whatever a command sets on it (filter, filter
// index, font values) stays set for the next command. Subclasses only
// run the dialogs; the real program shows its windows, tests answer from a
// script.
class CommonDialog {
public:
    virtual ~CommonDialog() = default;

    QString filter() const { return filter_; }
    void setFilter(const QString& filter) { filter_ = filter; }
    // 1-based, as the filter string counts its entries.
    int filterIndex() const { return filterIndex_; }
    void setFilterIndex(int index) { filterIndex_ = index; }
    // The full path chosen in the last accepted file dialog.
    QString fileName() const { return fileName_; }
    FontChoice font() const { return font_; }
    void setFont(const FontChoice& font) { font_ = font; }

    // The full path chosen, or nothing when the user cancelled; fileName()
    // then stays as it was.
    std::optional<QString> showOpen();
    std::optional<QString> showSave();
    // False when the user cancelled; the font then stays as it was.
    bool showFont();

protected:
    virtual std::optional<QString> runOpenDialog() = 0;
    virtual std::optional<QString> runSaveDialog() = 0;
    virtual std::optional<FontChoice> runFontDialog() = 0;

private:
    QString filter_;
    int filterIndex_ = 0;
    QString fileName_;
    FontChoice font_;
};
