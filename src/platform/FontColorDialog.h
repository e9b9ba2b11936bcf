#pragma once

#include "platform/FontChoice.h"

#include <QDialog>

class QFontDialog;
class QLineEdit;
class QListView;
class QPushButton;

// The font dialog: face, size, bold, italic, strikeout and underline from
// Qt's font dialog, with a colour button beside them in the same window.
// Enter anywhere in it is OK and Esc is Cancel; the sample shows the colour.
class FontColorDialog : public QDialog {
    Q_OBJECT
public:
    explicit FontColorDialog(const FontChoice& initial, QWidget* parent = nullptr);

    FontChoice choice() const;
    QColor color() const { return color_; }
    void setColor(const QColor& color);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void chooseColor();
    void offerDrawableStyles();
    void familyChosen();
    void styleChosen();
    void offerSizes();
    void showSample();

    FontChoice initial_;
    QFont shown_;
    QFontDialog* fonts_;
    QPushButton* colorButton_;
    QColor color_;
    // Parts of Qt's dialog; null where its make-up differs from the one known.
    QListView* familyList_ = nullptr;
    QListView* styleList_ = nullptr;
    QListView* sizeList_ = nullptr;
    QLineEdit* sample_ = nullptr;
    QString family_;
    // The style the user chose last, kept from face to face where it exists.
    QString chosenStyle_;
    bool choosingStyle_ = false;
};
