#pragma once

#include <QProgressBar>
#include <QWidget>

// The bar of the progress window: a value past either end shows as that end
// (the plain bar would ignore it and stay where it was).
class TGauge : public QProgressBar {
    Q_OBJECT
public:
    using QProgressBar::QProgressBar;
    void setValue(int value);
};

// The progress window of long operations: the caller sets Gauge1's maximum
// and progress, shows the window and hides it at the end.
class TForm_Gauge : public QWidget {
    Q_OBJECT
public:
    explicit TForm_Gauge(QWidget* parent = nullptr);
    ~TForm_Gauge() override;

    TGauge* Gauge1;

    void FormShow();

protected:
    void showEvent(QShowEvent* event) override;
};

extern TForm_Gauge* Form_Gauge;
