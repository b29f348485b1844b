#include "Unit_Dice.h"

#include "Unit_Main.h"
#include "util/Unit_Util.h"

#include <QEvent>
#include <QLabel>
#include <QPixmap>
#include <QWidget>

TForm_Dice* Form_Dice = nullptr;

TForm_Dice::TForm_Dice(QObject* parent) : QObject(parent), random_(dice::SystemRandom())
{
    Timer1 = new QTimer(this);
    Timer1->setInterval(40);
    Timer2 = new QTimer(this);
    Timer2->setInterval(3200);
    connect(Timer1, &QTimer::timeout, this, [this] { Guard([this] { Timer1Timer(); }); });
    connect(Timer2, &QTimer::timeout, this, [this] { Guard([this] { Timer2Timer(); }); });
    FormCreate();

    if (Form_Main) {
        // The start page's four dice: white on red, black on yellow, black on green, white on black.
        QWidget* hello = Form_Main->Sheet_Hello;
        AddDie({hello, Form_Main->Image2, Qt::white, Qt::red, 1, -1});
        AddDie({hello, Form_Main->Image3, Qt::black, Qt::yellow, -1, 1});
        AddDie({hello, Form_Main->Image4, Qt::black, Qt::green, 1, 1});
        AddDie({hello, Form_Main->Image5, Qt::white, Qt::black, -1, -1});
    }
}

TForm_Dice::~TForm_Dice()
{
    if (Form_Dice == this)
        Form_Dice = nullptr;
}

void TForm_Dice::FormCreate()
{
    motion = dice::Motion{};
    updateTimers();
}

void TForm_Dice::AddDie(const Die& die)
{
    dice_.append(die);
    if (die.page)
        die.page->installEventFilter(this);
    updateTimers();
}

void TForm_Dice::Timer1Timer()
{
    dice::Step(motion);
    drawVisible();
}

void TForm_Dice::Timer2Timer()
{
    if (anyPageVisible())
        dice::NewSpeeds(motion, random_);
}

void TForm_Dice::Dice(QLabel* image, double first, double second, double third, const QColor& pip, const QColor& face)
{
    if (!image || image->width() <= 0 || image->height() <= 0)
        return;
    QImage canvas(image->size(), QImage::Format_RGB32);
    // The button face of the page the die stands on, so that it blends in.
    dice::Draw(canvas, first, second, third, pip, face, image->palette().color(image->backgroundRole()));
    image->setPixmap(QPixmap::fromImage(canvas));
}

void TForm_Dice::drawVisible()
{
    const int a = motion.angle[0], b = motion.angle[1], c = motion.angle[2];
    for (const Die& d : dice_)
        if (d.page && d.page->isVisible())
            Dice(d.image, d.signA * a, c, d.signB * b, d.pip, d.face);
}

bool TForm_Dice::anyPageVisible(const QWidget* leaving) const
{
    for (const Die& d : dice_)
        if (d.page && d.page != leaving && d.page->isVisible())
            return true;
    return false;
}

void TForm_Dice::updateTimers(const QWidget* leaving)
{
    if (anyPageVisible(leaving)) {
        if (!Timer1->isActive())
            Timer1->start();
        if (!Timer2->isActive())
            Timer2->start();
    } else {
        Timer1->stop();
        Timer2->stop();
    }
}

bool TForm_Dice::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show || event->type() == QEvent::Hide) {
        const auto* page = static_cast<QWidget*>(watched);
        updateTimers(event->type() == QEvent::Hide ? page : nullptr);
        if (event->type() == QEvent::Show)
            drawVisible();
    }
    return QObject::eventFilter(watched, event);
}
