#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class EditorControl;

// The Find dialog: a search text and two buttons. It has no owner window and
// searches the editor it was opened for. A search closes it; whoever shows it
// decides whether closing also destroys it.
class FindDialog : public QWidget {
    Q_OBJECT
public:
    explicit FindDialog(EditorControl& editor, QWidget* parent = nullptr);

    // Searches forward from the editor's selection and closes the dialog;
    // with an empty search text it does nothing and the dialog stays open.
    void find();
    // Closes the dialog without touching the editor.
    void cancel();

private:
    EditorControl& editor_;
    QLineEdit* searchText_;
    QLabel* searchLabel_;
    QPushButton* findButton_;
    QPushButton* cancelButton_;
};
