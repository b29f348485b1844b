#include "AnalogClock.h"

#include "util/Clock.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

TAnalogClock::TAnalogClock(QWidget* parent) : QWidget(parent)
{
    timer_ = new QTimer(this);
    timer_->setInterval(1000);
    connect(timer_, &QTimer::timeout, this, [this] { tick(); });
    setMinimumSize(110, 110);
    shown_ = Clock::timeOfDay();
}

void TAnalogClock::start()
{
    tick();
    timer_->start();
}

void TAnalogClock::stop() { timer_->stop(); }

void TAnalogClock::tick()
{
    shown_ = Clock::timeOfDay();
    update();
}

void TAnalogClock::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const int side = std::min(width(), height());
    p.translate(width() / 2.0, height() / 2.0);
    p.scale(side / 200.0, side / 200.0);

    // Dial.
    p.setPen(QPen(QColor(0x5a, 0x3e, 0x2b), 4));
    p.setBrush(QColor(0xfb, 0xf8, 0xf1));
    p.drawEllipse(QPointF(0, 0), 94, 94);
    for (int i = 0; i < 60; ++i) {
        const bool hour = i % 5 == 0;
        p.setPen(QPen(QColor(0x3a, 0x2a, 0x20), hour ? 4 : 1.5));
        p.drawLine(QPointF(0, hour ? -76 : -82), QPointF(0, -88));
        p.rotate(6);
    }

    auto hand = [&p](double degrees, double length, double width, const QColor& colour) {
        p.save();
        p.rotate(degrees);
        p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(0, 12), QPointF(0, -length));
        p.restore();
    };
    const QTime t = shown_;
    hand(30.0 * ((t.hour() % 12) + t.minute() / 60.0), 48, 7, QColor(0x2b, 0x20, 0x18));
    hand(6.0 * (t.minute() + t.second() / 60.0), 72, 4.5, QColor(0x2b, 0x20, 0x18));
    hand(6.0 * t.second(), 80, 1.8, QColor(0x9a, 0x1f, 0x1f));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x9a, 0x1f, 0x1f));
    p.drawEllipse(QPointF(0, 0), 5, 5);
}
