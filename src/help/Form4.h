#pragma once

#include <QWidget>

// The trigger help window.
class Form4 : public QWidget {
    Q_OBJECT
public:
    explicit Form4(QWidget* parent = nullptr);
};
