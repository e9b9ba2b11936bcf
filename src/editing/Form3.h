#pragma once

#include <QWidget>

// The Find dialog.
class Form3 : public QWidget {
    Q_OBJECT
public:
    explicit Form3(QWidget* parent = nullptr);
};
