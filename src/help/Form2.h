#pragma once

#include "shell/Version.h"

#include <QWidget>

class QLabel;
class QPushButton;

// The About box: the program's name and version, what it is, the copyright
// and the product's web address, above the "Alright!" button and a banner.
class Form2 : public QWidget {
    Q_OBJECT
public:
    explicit Form2(QWidget* parent = nullptr);

    // The four lines of the About text, CR LF between them.
    static QString aboutText(Version version);

    void Form_Load();
    void Command1_Click();

    QLabel* const Label1;
    QPushButton* const Command1;
    QLabel* const Picture1;
};
