#pragma once

#include "platform/FontChoice.h"

#include <QDialog>

class QFontDialog;
class QPushButton;

// The font dialog: face, size, bold, italic, strikeout and underline from
// Qt's font dialog, with a colour button beside them in the same window.
class FontColorDialog : public QDialog {
    Q_OBJECT
public:
    explicit FontColorDialog(const FontChoice& initial, QWidget* parent = nullptr);

    FontChoice choice() const;
    QColor color() const { return color_; }
    void setColor(const QColor& color);

private:
    void chooseColor();

    FontChoice initial_;
    QFont shown_;
    QFontDialog* fonts_;
    QPushButton* colorButton_;
    QColor color_;
};
