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
class TriggerHelpWindow : public QWidget {
    Q_OBJECT
public:
    // helpAddress is the page "Load The Page" goes to; only tests pass another.
    explicit TriggerHelpWindow(QUrl helpAddress = triggerHelpAddress(), QWidget* parent = nullptr);

    QUrl helpAddress() const { return helpAddress_; }

    // "Load The Page": starts loading the help page into the browser.
    void loadPage();

    QWebEngineView* const browser;
    QPushButton* const loadButton;
    QPushButton* const closeButton;
    QLabel* const onlineNote;

private:
    QUrl helpAddress_;
};
