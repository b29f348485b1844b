#include "Unit_Gauge.h"

#include "Scaling.h"

#include <QVBoxLayout>

#include <algorithm>

TForm_Gauge* Form_Gauge = nullptr;

void TGauge::setValue(int value) { QProgressBar::setValue(std::clamp(value, minimum(), maximum())); }

TForm_Gauge::TForm_Gauge(QWidget* parent) : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setWindowTitle(QStringLiteral("Ход выполнения"));
    auto* layout = new QVBoxLayout(this);
    Gauge1 = new TGauge(this);
    Gauge1->setRange(0, 100);
    Gauge1->setValue(0);
    Gauge1->setMinimumWidth(380);
    layout->addWidget(Gauge1);
    // Shown above every window, without taking the focus from the one at work.
    setAttribute(Qt::WA_ShowWithoutActivating);
    adjustSize();
    ScaleWindow(this, true);
}

TForm_Gauge::~TForm_Gauge()
{
    if (Form_Gauge == this)
        Form_Gauge = nullptr;
}

void TForm_Gauge::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    FormShow();
}

void TForm_Gauge::FormShow()
{
    // The window stays on top (its flags); it comes up without moving or taking the focus.
    raise();
}
