#pragma once

#include "help/ProductSite.h"

#include <QUrl>
#include <QWidget>

class QLabel;
class QPushButton;
class QWebEngineView;

// The trigger help window: an embedded browser that shows the trigger help
// page from the product's web site, loaded only when the user asks for it.
// The browser is a child of the window and is destroyed with it.
class Form4 : public QWidget {
    Q_OBJECT
public:
    // helpAddress is the page "Load The Page" goes to; only tests pass another.
    explicit Form4(const QUrl& helpAddress = triggerHelpAddress(), QWidget* parent = nullptr);

    QUrl helpAddress() const { return helpAddress_; }

    void Command1_Click();
    void Command2_Click();

    QWebEngineView* const WebBrowser1;
    QPushButton* const Command1;
    QPushButton* const Command2;
    QLabel* const Label1;

private:
    QUrl helpAddress_;
};
