#pragma once

#include "DicePainter.h"

#include <QColor>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

class QLabel;
class QWidget;

// The dice window: never shown itself, it turns the dice and draws them into
// the decorative images of whichever of their pages is visible. Its timers
// run only while one of those pages is shown.
class TForm_Dice : public QObject {
    Q_OBJECT
public:
    // Which of the three angles (A, B, C) a die gets as its first, second and
    // third angle: (signA * A, C, signB * B).
    struct Die {
        QPointer<QWidget> page;
        QPointer<QLabel> image;
        QColor pip;
        QColor face;
        int signA = 1;
        int signB = 1;
    };

    explicit TForm_Dice(QObject* parent = nullptr);
    ~TForm_Dice() override;

    void FormCreate();
    // One animation step (every 40 ms).
    void Timer1Timer();
    // New speeds (every 3200 ms) while a page with dice is visible.
    void Timer2Timer();
    // Draws one die into its image.
    void Dice(QLabel* image, double first, double second, double third, const QColor& pip, const QColor& face);

    // A die in an image of a page; the page's owner adds its own (the menus
    // and the production and sales tabs one each). The start page's four are
    // added at creation.
    void AddDie(const Die& die);
    const QList<Die>& dice() const { return dice_; }

    // Replaces the random source of the speeds (tests).
    void setRandomSource(dice::RandomSource random) { random_ = std::move(random); }

    dice::Motion motion;
    QTimer* Timer1;
    QTimer* Timer2;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool anyPageVisible(const QWidget* leaving = nullptr) const;
    void drawVisible();
    void updateTimers(const QWidget* leaving = nullptr);

    QList<Die> dice_;
    dice::RandomSource random_;
};

extern TForm_Dice* Form_Dice;
