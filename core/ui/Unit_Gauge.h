#pragma once

#include <QProgressBar>
#include <QWidget>

// The progress window of long operations: the caller sets Gauge1's maximum
// and progress, shows the window and hides it at the end.
class TForm_Gauge : public QWidget {
    Q_OBJECT
public:
    explicit TForm_Gauge(QWidget* parent = nullptr);
    ~TForm_Gauge() override;

    QProgressBar* Gauge1;

    void FormShow();

protected:
    void showEvent(QShowEvent* event) override;
};

extern TForm_Gauge* Form_Gauge;
