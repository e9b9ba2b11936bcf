#pragma once

#include <QTimer>
#include <QWidget>

class MainWindow;
class QLabel;

// The splash screen. It loads the main window and hands over to it: about
// one second alone, then three seconds above the visible but disabled main
// window, then it closes and the main window takes input. A click on its
// surface while the main window is visible ends the wait at once.
class SplashScreen : public QWidget {
    Q_OBJECT
public:
    explicit SplashScreen(MainWindow& mainWindow, QWidget* parent = nullptr);

    // One step of the sequence; the timer calls it.
    void onTick();

    qint16 tickCount() const { return tickCount_; }
    QTimer& timer() { return timer_; }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // A click: loads the main window, and hands over at once if it is showing.
    void handOverNow();
    void handOver();

    MainWindow& mainWindow_;
    qint16 tickCount_ = 0;
    QLabel* picture_;
    QTimer timer_;
    QLabel* versionLabel_;
    bool handedOver_ = false;
};
