#include "CatalogueUi.h"

#include "db/DatasetModel.h"
#include "db/Query.h"
#include "ui/Unit_RG.h"

#include <QStyle>

#include <algorithm>

#include <QHeaderView>
#include <QPalette>
#include <QScrollBar>
#include <QWidget>

namespace cat {

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

bool AllDigits(const QString& s)
{
    for (QChar c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
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
    if (Form_RG->exec() != QDialog::Accepted)
        return -1;
    return Form_RG->RG->itemIndex();
}

bool HasRow(const db::Query* q) { return q && q->active() && !q->isEmpty(); }

qint64 KeyOf(const db::Query* q) { return HasRow(q) ? q->field(QStringLiteral("KOD")).asInt64() : 0; }

qint64 StepBackKey(db::Query* q)
{
    if (!HasRow(q))
        return 0;
    if (q->recNo() > 0)
        q->prior();
    return KeyOf(q);
}

void ReopenAt(db::Query* q, qint64 key)
{
    q->close();
    q->open();
    if (key != 0 && !q->isEmpty())
        q->locate(QStringLiteral("KOD"), QVariant::fromValue<qint64>(key));
}

} // namespace cat
