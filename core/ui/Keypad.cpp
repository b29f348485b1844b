#include "Keypad.h"

#include "engine/LineBounds.h"
#include "util/Unit_Util.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QGridLayout>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

// The Cyrillic letters on the physical ',' and '.' keys of a Russian layout.
constexpr int kKeyCyrillicBe = 0x0411;  // 'Б'
constexpr int kKeyCyrillicYu = 0x042E;  // 'Ю'

// The keys that move between the cells taking typing, where the entry grid keeps to them.
bool StepsAmongEntryCells(int key)
{
    return key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Left || key == Qt::Key_Right ||
           key == Qt::Key_Home || key == Qt::Key_End;
}

// Swallows Enter once it has travelled up to the window, where the dialog
// would click its default button. A focused push button that acts on Enter
// has taken the key before it gets there.
class EnterKeeper : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == parent() && event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                event->accept();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void KeepEnterInControls(QDialog* window)
{
    window->installEventFilter(new EnterKeeper(window));
}

TKeypad::TKeypad(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    E_Klava = new QLineEdit(this);
    E_Klava->setReadOnly(true);
    E_Klava->setFocusPolicy(Qt::NoFocus);
    E_Klava->setAlignment(Qt::AlignRight);
    QFont big = E_Klava->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    E_Klava->setFont(big);
    QPalette p = E_Klava->palette();
    p.setColor(QPalette::Base, p.color(QPalette::Button));
    E_Klava->setPalette(p);
    layout->addWidget(E_Klava);

    auto* grid = new QGridLayout;
    grid->setSpacing(3);
    auto makeButton = [this](const QString& text) {
        auto* b = new QPushButton(text, this);
        b->setMinimumSize(40, 34);
        b->setAutoDefault(false);
        return b;
    };
    for (int d = 0; d < 10; ++d) {
        QPushButton* b = makeButton(QString::number(d));
        digits_[static_cast<size_t>(d)] = b;
        connect(b, &QPushButton::clicked, this, [this, d] { Guard([this, d] { DigitClick(d); }); });
    }
    Btn_Zero = digits_[0];
    Btn_One = digits_[1];
    Btn_Two = digits_[2];
    Btn_Three = digits_[3];
    Btn_Four = digits_[4];
    Btn_Five = digits_[5];
    Btn_Six = digits_[6];
    Btn_Seven = digits_[7];
    Btn_Eight = digits_[8];
    Btn_Nine = digits_[9];
    Btn_Koma = makeButton(QStringLiteral(","));
    Btn_Back = makeButton(QStringLiteral("←"));
    Btn_OKS = makeButton(QStringLiteral("OK"));
    for (int d = 1; d <= 9; ++d)
        grid->addWidget(digits_[static_cast<size_t>(d)], 2 - (d - 1) / 3, (d - 1) % 3);
    grid->addWidget(Btn_Zero, 3, 0);
    grid->addWidget(Btn_Koma, 3, 1);
    grid->addWidget(Btn_Back, 3, 2);
    grid->addWidget(Btn_OKS, 0, 3, 4, 1);
    Btn_OKS->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    layout->addLayout(grid);
    connect(Btn_Koma, &QPushButton::clicked, this, [this] { Guard([this] { Btn_KomaClick(); }); });
    connect(Btn_Back, &QPushButton::clicked, this, [this] { Guard([this] { Btn_BackClick(); }); });
    connect(Btn_OKS, &QPushButton::clicked, this, [this] { Guard([this] { Btn_OKSClick(); }); });

    Timer_rg = new QTimer(this);
    Timer_rg->setSingleShot(true);
    Timer_rg->setInterval(80);
    connect(Timer_rg, &QTimer::timeout, this, [this] {
        Timer_rg->stop();
        focusTargetNow();
    });
}

double TKeypad::TextToFloat(const QString& text)
{
    static const QRegularExpression number(QStringLiteral("^\\s*[+-]?(\\d+(,\\d*)?|,\\d+)([eE][+-]?\\d+)?\\s*$"));
    if (!number.match(text).hasMatch())
        throw std::runtime_error(("'" + text + "' не является правильным числом").toStdString());
    QString t = text.trimmed();
    t.replace(DecimalSeparator(), QLatin1Char('.'));
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok)
        throw std::runtime_error(("'" + text + "' не является правильным числом").toStdString());
    return v;
}

TKeypad::~TKeypad()
{
    // The keypad's own buttons die after this body, while the widget base
    // deletes its children: their destruction must not reach attached_ then.
    for (QObject* o : std::as_const(attached_))
        disconnect(o, &QObject::destroyed, this, nullptr);
    for (QObject* o : std::as_const(cellWatched_))
        disconnect(o, &QObject::destroyed, this, nullptr);
    attached_.clear();
    cellWatched_.clear();
}

void TKeypad::Clear()
{
    E_Klava->clear();
    CommaTyped = false;
}

void TKeypad::DigitClick(int digit)
{
    if (!guardOk()) {
        Clear();
        return;
    }
    E_Klava->setText(E_Klava->text() + QString::number(digit));
    Btn_OKS->setFocus();
}

void TKeypad::Btn_KomaClick()
{
    if (!guardOk()) {
        Clear();
        return;
    }
    if (!CommaTyped) {
        E_Klava->setText(E_Klava->text() + DecimalSeparator());
        CommaTyped = true;
    }
    Btn_OKS->setFocus();
}

void TKeypad::Btn_BackClick()
{
    if (!guardOk()) {
        Clear();
        return;
    }
    QString t = E_Klava->text();
    if (t.isEmpty())
        return;
    if (t.endsWith(DecimalSeparator()))
        CommaTyped = false;
    t.chop(1);
    E_Klava->setText(t);
}

void TKeypad::Btn_OKSClick()
{
    taken_ = false;
    if (emptyOkIgnored && E_Klava->text().isEmpty())
        return;
    if (!guardOk()) {
        Clear();
        return;
    }
    // A refused number (no number, out of bounds, refused by the window) is
    // told and gone: digits typed after it start a number of their own.
    try {
        const double value = TextToFloat(E_Klava->text());
        if (takesQuantity && takesQuantity() && std::abs(value) > engine::kMaxLineQuantity)
            throw std::runtime_error((QStringLiteral("Количество ") + E_Klava->text().trimmed() +
                                      QStringLiteral(" вне допустимых пределов (по модулю не больше %1).")
                                          .arg(QString::number(engine::kMaxLineQuantity, 'f', 0)))
                                         .toStdString());
        if (apply)
            apply(value);
    } catch (...) {
        Clear();
        throw;
    }
    Clear();
    taken_ = true;
}

bool TKeypad::guardOk() const
{
    // A number goes only on a line the user stands on.
    if (entryGrid && !entryGrid->currentIndex().isValid())
        return false;
    return !guard || guard();
}

void TKeypad::focusTargetNow()
{
    if (focusTarget)
        focusTarget->setFocus();
}

bool TKeypad::KeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        digits_[static_cast<size_t>(key - Qt::Key_0)]->click();
        focusTargetNow();
        return true;
    }
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        const bool typed = !E_Klava->text().isEmpty();
        taken_ = false;
        if (typed)
            Btn_OKS->click();
        if (!(typed && applyPlacesFocus && taken_))
            focusTargetNow();
        return typed;
    }
    case Qt::Key_Tab:
    case Qt::Key_Backtab: {
        const QWidget* focus = QApplication::focusWidget();
        const bool onLines = entryGrid && focus && (focus == entryGrid || isAncestorOf(focus));
        if (E_Klava->text().isEmpty() && !(entryColumns_ && onLines))
            return false;
        // A number typed and left goes to its cell, and Tab moves on from there.
        if (entryGrid)
            return moveInEntryGrid(key, modifiers);
        Btn_OKS->click();
        return false;
    }
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        // On the keypad's own buttons the arrows move through the lines, not
        // from one button to another; on the grid the side arrows, Home and
        // End keep to the cells that take typing.
        const QWidget* focus = QApplication::focusWidget();
        const bool keptToEntryCells = entryColumns_ && focus == entryGrid && StepsAmongEntryCells(key);
        if (!entryGrid || !focus || !(isAncestorOf(focus) || keptToEntryCells))
            return false;
        return moveInEntryGrid(key, modifiers);
    }
    case Qt::Key_Backspace:
        Btn_Back->click();
        focusTargetNow();
        return true;
    case Qt::Key_Period:
    case Qt::Key_Comma:
    case Qt::Key_Slash:
    case Qt::Key_Question:
    case Qt::Key_Less:
    case Qt::Key_Greater:
    case kKeyCyrillicBe:
    case kKeyCyrillicYu:
        Btn_Koma->click();
        focusTargetNow();
        return true;
    case Qt::Key_Plus:
    case Qt::Key_Equal: {
        if (!signKeys)
            return false;
        QString t = E_Klava->text();
        if (t.isEmpty())
            return false;
        if (t.startsWith(QLatin1Char('-')))
            E_Klava->setText(t.mid(1));
        focusTargetNow();
        return true;
    }
    case Qt::Key_Minus:
    case Qt::Key_Underscore: {
        if (!signKeys)
            return false;
        const QString t = E_Klava->text();
        if (t.isEmpty()) {
            E_Klava->setText(QStringLiteral("-"));
            return true;
        }
        if (t.startsWith(QLatin1Char('+')))
            E_Klava->setText(QLatin1Char('-') + t.mid(1));
        else if (t.startsWith(QLatin1Char('-')))
            E_Klava->setText(t.mid(1));
        else
            E_Klava->setText(QLatin1Char('-') + t);
        focusTargetNow();
        return true;
    }
    case Qt::Key_Insert:
        if (!addButton)
            return false;
        addButton->click();
        return true;
    case Qt::Key_Delete:
        if (!removeButton)
            return false;
        removeButton->click();
        return true;
    case Qt::Key_Escape: {
        // An empty display leaves Escape to the window.
        const bool typed = !E_Klava->text().isEmpty();
        Clear();
        focusTargetNow();
        return typed;
    }
    default:
        return false;
    }
}

bool TKeypad::EntryKey(int key)
{
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!E_Klava->text().isEmpty())
            Btn_OKS->click();
        return true;
    case Qt::Key_Escape:
        Clear();
        return true;
    default:
        return false;
    }
}

bool TKeypad::SearchKey(int key)
{
    if (key == Qt::Key_Delete) {
        if (removeButton && removeButton->isEnabled())
            removeButton->click();
        return true;
    }
    return EntryKey(key);
}

bool TKeypad::RestartsSearch(int key)
{
    return key != Qt::Key_Up && key != Qt::Key_Down && key != Qt::Key_Left && key != Qt::Key_Right;
}

void TKeypad::bindSearch(QCheckBox* context, QLineEdit* field, QCheckBox* closed, std::function<void()> refill)
{
    connect(context, &QCheckBox::clicked, context, [context, field, refill] {
        Guard([&] { refill(); });
        if (context->isChecked())
            field->setFocus();
    });
    connect(closed, &QCheckBox::clicked, closed, [refill] { Guard([&] { refill(); }); });
}

void TKeypad::attachKeys(QWidget* control)
{
    if (!control || attached_.contains(control))
        return;
    attached_.insert(control);
    connect(control, &QObject::destroyed, this, [this](QObject* o) { attached_.remove(o); });
    if (!cellWatched_.contains(control))
        control->installEventFilter(this);
}

void TKeypad::keepCellOf(QAbstractItemView* grid)
{
    for (QObject* o : {static_cast<QObject*>(grid), static_cast<QObject*>(grid->viewport())}) {
        if (cellWatched_.contains(o))
            continue;
        cellWatched_.insert(o);
        connect(o, &QObject::destroyed, this, [this](QObject* gone) { cellWatched_.remove(gone); });
        // Installed once: a second installation would put this filter before the window's own.
        if (!attached_.contains(o))
            o->installEventFilter(this);
    }
}

bool TKeypad::TakeBeforeLeaving()
{
    if (E_Klava->text().isEmpty())
        return true;
    leaving_ = true;
    const bool taken = Guard([this] { Btn_OKSClick(); });
    leaving_ = false;
    return taken;
}

void TKeypad::standOnEntryCell()
{
    const int column = entryColumn ? entryColumn() : -1;
    const QModelIndex at = entryGrid->currentIndex();
    if (column >= 0 && at.isValid() && at.column() != column)
        entryGrid->setCurrentIndex(entryGrid->model()->index(at.row(), column));
}

bool TKeypad::moveInEntryGrid(int key, Qt::KeyboardModifiers modifiers)
{
    // A refused number keeps the user on its cell.
    if (!TakeBeforeLeaving())
        return true;
    QAbstractItemView* grid = entryGrid;
    if (!grid)
        return true;
    standOnEntryCell();
    grid->setFocus(Qt::OtherFocusReason);
    if (entryColumns_ && StepsAmongEntryCells(key)) {
        stepBetweenEntryCells(key, modifiers);
        return true;
    }
    // The grid moves as the key moves it there: Tab one column on, the arrows one cell.
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(grid, &press);
    return true;
}

void TKeypad::stepBetweenEntryCells(int key, Qt::KeyboardModifiers modifiers)
{
    QAbstractItemView* grid = entryGrid;
    const QModelIndex at = grid->currentIndex();
    QList<int> columns = entryColumns_();
    columns.removeAll(-1);
    const int lastRow = grid->model()->rowCount() - 1;
    if (columns.isEmpty() || lastRow < 0)
        return;
    std::sort(columns.begin(), columns.end());
    // From no line a key stands on the first line's chosen cell, as the grid's own arrows do.
    if (!at.isValid()) {
        const int chosen = entryColumn ? entryColumn() : -1;
        grid->setCurrentIndex(grid->model()->index(0, columns.contains(chosen) ? chosen : columns.first()));
        return;
    }
    int row = at.row();
    int column = at.column();
    // Tab and Shift+Tab wrap to the next or previous line; the side arrows keep to theirs.
    const bool wraps = key == Qt::Key_Tab || key == Qt::Key_Backtab;
    const bool back = key == Qt::Key_Backtab || key == Qt::Key_Left || (key == Qt::Key_Tab && (modifiers & Qt::ShiftModifier));
    if (key == Qt::Key_Home || key == Qt::Key_End) {
        column = key == Qt::Key_Home ? columns.first() : columns.last();
        if (modifiers & Qt::ControlModifier)
            row = key == Qt::Key_Home ? 0 : lastRow;
    } else if (!back) {
        const auto right = std::upper_bound(columns.cbegin(), columns.cend(), column);
        if (right != columns.cend())
            column = *right;
        else if (wraps && row < lastRow) {
            ++row;
            column = columns.first();
        }
    } else {
        const auto left = std::lower_bound(columns.cbegin(), columns.cend(), column);
        if (left != columns.cbegin())
            column = *std::prev(left);
        else if (wraps && row > 0) {
            --row;
            column = columns.last();
        }
    }
    grid->setCurrentIndex(grid->model()->index(row, column));
}

void TKeypad::keepToEntryCells(std::function<QList<int>()> columns)
{
    entryColumns_ = std::move(columns);
    if (!entryGrid || !entryGrid->selectionModel())
        return;
    connect(entryGrid->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
        if (snapping_ || !entryGrid || !current.isValid())
            return;
        QList<int> typed = entryColumns_();
        typed.removeAll(-1);
        if (typed.isEmpty() || typed.contains(current.column()))
            return;
        const int chosen = entryColumn ? entryColumn() : -1;
        snapping_ = true;
        entryGrid->setCurrentIndex(current.sibling(current.row(), typed.contains(chosen) ? chosen : typed.first()));
        snapping_ = false;
    });
}

bool TKeypad::leavesCell(QObject* watched, QEvent* event) const
{
    if (E_Klava->text().isEmpty())
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        auto* view = qobject_cast<QAbstractItemView*>(watched->parent());
        if (!view || view->viewport() != watched)
            return false;
        const QModelIndex at = view->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint());
        return at.isValid() && at != view->currentIndex();
    }
    case QEvent::KeyPress:
        if (!qobject_cast<QAbstractItemView*>(watched))
            return false;
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Home:
        case Qt::Key_End:
            return true;
        default:
            return false;
        }
    default:
        return false;
    }
}

void TKeypad::watchRadioGroup(QButtonGroup* group)
{
    // Another choice leaves the cell a number was typed on: the number goes
    // there first. Refused, it keeps the choice and the cursor where they were.
    connect(group, &QButtonGroup::buttonPressed, this, [this](QAbstractButton* button) {
        if (button->isChecked() || TakeBeforeLeaving())
            return;
        button->setDown(false);  // no click follows the press
        Timer_rg->start();
    });
    connect(group, &QButtonGroup::buttonClicked, this, [this] { Timer_rg->start(); });
    connect(group, &QButtonGroup::idToggled, this, [this](int, bool on) {
        if (on && entryGrid)
            standOnEntryCell();
    });
}

bool TKeypad::eventFilter(QObject* watched, QEvent* event)
{
    if (cellWatched_.contains(watched) && leavesCell(watched, event)) {
        QAbstractItemView* clicked = nullptr;
        int row = -1;
        int column = -1;
        if (event->type() != QEvent::KeyPress) {
            clicked = qobject_cast<QAbstractItemView*>(watched->parent());
            const QModelIndex at = clicked->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint());
            row = at.row();
            column = at.column();
        }
        // A refused number keeps the user on its cell.
        if (!TakeBeforeLeaving())
            return true;
        // A key moves from the cell the number went to.
        if (!clicked && entryGrid == watched)
            standOnEntryCell();
        if (clicked) {
            // The lists reloaded with the number may have scrolled the grid under the
            // pointer: the click goes to the cell it was aimed at.
            const QModelIndex target = clicked->model()->index(row, column);
            if (target.isValid())
                clicked->setCurrentIndex(target);
            clicked->setFocus(Qt::MouseFocusReason);
            return true;
        }
    }
    if (event->type() == QEvent::KeyPress && attached_.contains(watched)) {
        // A key the focused control ignores travels up to its parents: it is
        // handled once, by the first control of this keypad on its way.
        bool handledBelow = false;
        for (QWidget* w = QApplication::focusWidget(); w && w != watched; w = w->parentWidget())
            if (attached_.contains(w)) {
                handledBelow = true;
                break;
            }
        if (handledBelow) {
            bool ancestor = false;
            for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget())
                if (w == watched)
                    ancestor = true;
            handledBelow = ancestor;
        }
        if (!handledBelow) {
            // A key the keypad takes goes nowhere else: a digit reaching a
            // grid would move its current row to a line starting with it.
            auto* ke = static_cast<QKeyEvent*>(event);
            bool taken = false;
            Guard([&] { taken = KeyDown(ke->key(), ke->modifiers()); });
            if (taken)
                return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
