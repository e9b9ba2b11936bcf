#pragma once

#include "platform/FontChoice.h"

#include <QDialog>

class QFontDialog;

// The font dialog: face, size, bold, italic, strikeout and underline from
// Qt's font dialog, with a colour choice beside them.
class FontColorDialog : public QDialog {
    Q_OBJECT
public:
    explicit FontColorDialog(const FontChoice& initial, QWidget* parent = nullptr);
    FontChoice choice() const;

private:
    QFontDialog* fonts_;
    QColor color_;
};
