#pragma once

#include <QTime>
#include <QTimer>
#include <QWidget>

// The start page's analog clock: a dial with hour, minute and second hands
// showing the program's clock. It is stopped until started and then moves
// once a second.
class TAnalogClock : public QWidget {
    Q_OBJECT
public:
    explicit TAnalogClock(QWidget* parent = nullptr);

    void start();
    void stop();
    bool running() const { return timer_->isActive(); }
    // The time the hands show.
    QTime shownTime() const { return shown_; }

    QSize sizeHint() const override { return {140, 140}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void tick();
    QTimer* timer_;
    QTime shown_;
};
