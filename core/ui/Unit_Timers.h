#pragma once

#include <QObject>
#include <QTimer>

class QWidget;

// The one-shot refresh timers of the master-detail lists. A move in a master
// list greys its detail grids and (re)starts a timer; only when the cursor
// rests for the timer's interval does the detail list reload. The timers live
// here; the window that owns a list connects the timer's timeout to its own
// body.
class TForm_Timers : public QObject {
    Q_OBJECT
public:
    explicit TForm_Timers(QObject* parent = nullptr);
    ~TForm_Timers() override;


private:
    QTimer* makeTimer(int interval);
};

extern TForm_Timers* Form_Timers;

// Greying of a grid that waits for its reload, and its release; both accept null.
void GreyOut(QWidget* grid);
void Release(QWidget* grid);
