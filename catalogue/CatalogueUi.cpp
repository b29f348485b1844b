#include "CatalogueUi.h"

#include "base/Unit_Base.h"
#include "grid/DatasetModel.h"
#include "grid/ListHolder.h"
#include "db/Query.h"
#include "ui/Unit_Name.h"
#include "ui/Unit_RG.h"
#include "util/Messages.h"

#include <QStyle>

#include <algorithm>

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QScrollBar>
#include <QWidget>

namespace cat {

QVariant HiddenRowStyle(const db::Query& q, int row, const QString&, int role)
{
    if (role != Qt::BackgroundRole)
        return {};
    const int col = q.fieldIndex(QStringLiteral("OPEN_CLOSE"));
    if (col >= 0 && q.valueAt(row, col).toLongLong() > 0)
        return QPalette().color(QPalette::Button);
    return {};
}

void SetActive(QWidget* w, bool on)
{
    if (!w)
        return;
    w->setEnabled(on);
    if (on) {
        w->setPalette(QPalette());
        return;
    }
    QPalette p = w->palette();
    p.setColor(QPalette::Base, p.color(QPalette::Button));
    w->setPalette(p);
}

bool AllDigits(const QString& s) { return IsPlainDigits(s); }

void Refuse(const QString& text, QWidget* focus)
{
    Msg::notice(text);
    if (focus)
        focus->setFocus();
}

bool Filled(QLineEdit* edit, const QString& refusal)
{
    if (!edit->text().isEmpty())
        return true;
    Refuse(refusal, edit);
    return false;
}

QHBoxLayout* ButtonRow(QPushButton* left, std::initializer_list<QPushButton*> right)
{
    auto* row = new QHBoxLayout;
    row->addWidget(left);
    row->addStretch();
    for (QPushButton* b : right)
        row->addWidget(b);
    return row;
}

QLabel* CaptionPanel(QWidget* parent)
{
    auto* panel = new QLabel(parent);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setAlignment(Qt::AlignCenter);
    panel->setMinimumHeight(26);
    return panel;
}

db::Query* NameList(QObject* owner, db::DbGrid* grid, const QString& title)
{
    auto* q = new db::Query(Form_Base->MyDB, Form_Base->TransactionRead, owner);
    grid->setQuery(q);
    SetColumns(grid, {db::GridColumn{QStringLiteral("NAME"), title, 300}});
    grid->horizontalHeader()->setStretchLastSection(true);
    return q;
}

double ParseDecimal(const QString& s, bool* ok)
{
    QString t = s.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool good = !t.isEmpty();
    for (QChar c : t)
        if (!(c.isDigit() || c == QLatin1Char('.') || c == QLatin1Char('-')))
            good = false;
    double v = good ? t.toDouble(&good) : 0.0;
    if (ok)
        *ok = good;
    return good ? v : 0.0;
}

QString FormatDecimal(double v, int decimals)
{
    return db::formatNumber(v, QStringLiteral("0.") + QString(decimals, QLatin1Char('#')));
}

void ShowNamesFromStart(QLineEdit* field)
{
    QObject::connect(field, &QLineEdit::textChanged, field, [field] { field->setCursorPosition(0); });
}

int ValueColumnWidth(const QWidget* grid, const QString& sample, int designWidth)
{
    const QFontMetrics fm(grid->font());
    return std::max(designWidth, fm.horizontalAdvance(sample) + 3 * fm.averageCharWidth());
}

int FigureColumnWidth(const QWidget* grid, const QString& displayFormat, int designWidth)
{
    static const struct {
        QString format;
        const char* sample;
    } samples[] = {{db::kPriceDisplay, "0000000,0000"}, {db::kQuantityDisplay, "0000,000000"},
                   {QStringLiteral("0.00"), "000000000,00"}, {QStringLiteral("#.00"), "000000000,00"},
                   {QStringLiteral("0.###"), "0000,000"}};
    QString sample = QStringLiteral("0000,000000");
    for (const auto& s : samples)
        if (displayFormat == s.format)
            sample = QString::fromLatin1(s.sample);
    return ValueColumnWidth(grid, sample, designWidth);
}

int DateColumnWidth(const QWidget* grid, int designWidth)
{
    return ValueColumnWidth(grid, QStringLiteral("00.00.0000"), designWidth);
}

int TimeColumnWidth(const QWidget* grid, int designWidth)
{
    return ValueColumnWidth(grid, QStringLiteral("00:00:00"), designWidth);
}

void SetColumns(db::DbGrid* grid, QList<db::GridColumn> columns, bool keepWide)
{
    QHeaderView* header = grid->horizontalHeader();
    const QFontMetrics fm(header->font());
    const int margin = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header) + 8;
    int shown = 0;
    int total = 0;
    for (db::GridColumn& c : columns) {
        c.width = std::max(c.width, fm.horizontalAdvance(c.title) + margin);
        if (c.visible) {
            ++shown;
            total += c.width;
        }
    }
    grid->setColumns(columns);
    if (keepWide || shown == 1)
        grid->setMinimumWidth(total + 2 * grid->frameWidth() + grid->verticalScrollBar()->sizeHint().width());
}

int ChooseRG(const QString& caption, const QStringList& items)
{
    Form_RG->RG->setTitle(caption);
    Form_RG->RG->setItems(items);
    Form_RG->RG->setItemIndex(0);
    Form_RG->adjustSize();
    if (Msg::execModal(Form_RG) != QDialog::Accepted)
        return -1;
    return Form_RG->RG->itemIndex();
}

bool HasRow(const db::Query* q) { return q && q->active() && !q->isEmpty(); }

void InsertFromSearch(const db::Query* found, QAbstractButton* add, QWidget* entry, bool listBehind,
                      const std::function<void()>& refill)
{
    if (listBehind && refill)
        refill();
    if (!add->isEnabled()) {
        entry->setFocus();
        return;
    }
    const bool nothing = !HasRow(found);
    add->click();
    if (!nothing)
        entry->setFocus();
}

QString NothingFoundText(bool searching, const QString& typed, const QString& nothingAdded)
{
    return (searching ? QStringLiteral("Поиск \"") + typed + QStringLiteral("\" не нашёл ни одного продукта. ")
                      : QStringLiteral("В списке нет ни одного продукта. ")) +
           nothingAdded;
}

qint64 KeyOf(const db::Query* q) { return HasRow(q) ? q->field(QStringLiteral("KOD")).asInt64() : 0; }

void StandAgain(db::Query* q, qint64 key)
{
    if (key != 0 && q->active() && !q->isEmpty() && KeyOf(q) != key)
        q->locate(QStringLiteral("KOD"), QVariant::fromValue<qint64>(key));
}

qint64 StepBackKey(db::Query* q)
{
    const qint64 back = db::KeyBefore(q);
    StandAgain(q, back);
    return back;
}

QVariant RazdelCellStyle(const db::Query& q, int row, const QString&, int role)
{
    if (role != Qt::BackgroundRole)
        return {};
    const int col = q.fieldIndex(QStringLiteral("IS_ACTIVE"));
    const QVariant on = col < 0 ? QVariant() : q.valueAt(row, col);
    if (on.isValid() && on.toLongLong() == 0)
        return QPalette().color(QPalette::Button);
    return {};
}

} // namespace cat
