#pragma once

#include "help/Version.h"

#include <QWidget>

class QLabel;
class QPushButton;

// The About box: the program's name and version, what it is, the copyright
// and the product's web address, above the "Alright!" button and a banner.
class AboutBox : public QWidget {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* parent = nullptr);

    // The four lines of the About text, CR LF between them.
    static QString aboutText(Version version);

    QLabel* const textLabel;
    QPushButton* const alrightButton;
    QLabel* const banner;
};
