#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

// The Find dialog: a search text and two buttons. It has no owner window and
// searches the editor of the program's one main window. A search closes it;
// whoever shows it decides whether closing also destroys it.
class Form3 : public QWidget {
    Q_OBJECT
public:
    explicit Form3(QWidget* parent = nullptr);

    // Searches forward from the editor's selection and closes the dialog;
    // with an empty search text it does nothing and the dialog stays open.
    void cmdFind_Click();
    // Closes the dialog without touching the editor.
    void Command2_Click();

private:
    QLineEdit* Text1_;
    QLabel* Label1_;
    QPushButton* cmdFind_;
    QPushButton* Command2_;
};
