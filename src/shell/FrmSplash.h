#pragma once

#include <QTimer>
#include <QWidget>

class Form1;
class QLabel;

// The splash screen. It creates the main window and hands over to it: about
// one second alone, then three seconds above the visible but disabled main
// window, then it closes and the main window takes input. A click on its
// surface while the main window is visible ends the wait at once.
class FrmSplash : public QWidget {
    Q_OBJECT
public:
    explicit FrmSplash(QWidget* parent = nullptr);

    void Form_Load();
    void Timer1_Timer();
    void Form_Click();

    qint16 TickCount() const { return tickCount_; }
    QTimer& Timer1() { return timer1_; }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void handOver();

    Form1* MainWindow = nullptr;
    qint16 tickCount_ = 0;
    QLabel* Picture1;
    QTimer timer1_;
    QLabel* Label1;
    bool handedOver_ = false;
};
