#include "DatasetModel.h"

#include "ListHolder.h"
#include "db/Query.h"
#include "engine/Kopecks.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace db {

namespace {

// The value to `places` decimals as the papers print it: on its decimal, an
// exact half to the even neighbour (a quantity 0.36749999999999994 shows
// 0.3675, money 2.675 shows 2.68). A value the count cannot hold at that
// many places is written from the double as it stands.
QString fixedText(double value, int places)
{
    const qint64 units = engine::Units(value, places);
    if (!std::isfinite(value) || (units == 0 && std::fabs(value) >= 1) || places > 18)
        return QString::number(value, 'f', places);
    QString digits = QString::number(units < 0 ? -units : units).rightJustified(places + 1, QLatin1Char('0'));
    if (places > 0)
        digits.insert(digits.size() - places, QLatin1Char('.'));
    return units < 0 ? QLatin1Char('-') + digits : digits;
}

} // namespace

QString formatNumber(double value, const QString& format)
{
    if (format.isEmpty())
        return formatFloat(value);
    const int dot = format.indexOf(QLatin1Char('.'));
    int fixed = 0;
    int optional = 0;
    if (dot >= 0) {
        for (int i = dot + 1; i < format.size(); ++i) {
            if (format[i] == QLatin1Char('0'))
                ++fixed;
            else if (format[i] == QLatin1Char('#'))
                ++optional;
        }
    }
    const bool grouping = format.contains(QLatin1Char(','));
    QString s = fixedText(value, fixed + optional);
    if (optional > 0 && s.contains(QLatin1Char('.'))) {
        int keep = s.indexOf(QLatin1Char('.')) + fixed;
        while (s.size() - 1 > keep && s.endsWith(QLatin1Char('0')))
            s.chop(1);
        if (s.endsWith(QLatin1Char('.')))
            s.chop(1);
    }
    if (s == QStringLiteral("-0") || (s.startsWith(QLatin1String("-0.")) && QString(s).remove(QLatin1Char('-')).remove(QLatin1Char('0')).remove(QLatin1Char('.')).isEmpty()))
        s.remove(0, 1);
    QString intPart = s.section(QLatin1Char('.'), 0, 0);
    QString frac = s.contains(QLatin1Char('.')) ? s.section(QLatin1Char('.'), 1) : QString();
    if (grouping) {
        const bool neg = intPart.startsWith(QLatin1Char('-'));
        QString digits = neg ? intPart.mid(1) : intPart;
        for (int i = digits.size() - 3; i > 0; i -= 3)
            digits.insert(i, QChar(0x00A0));
        intPart = neg ? QStringLiteral("-") + digits : digits;
    }
    return frac.isEmpty() ? intPart : intPart + QLatin1Char(',') + frac;
}

QString displayText(const QVariant& v, const QString& format)
{
    if (!v.isValid() || v.isNull())
        return QString();
    switch (v.typeId()) {
    case QMetaType::Double:
        return formatNumber(v.toDouble(), format);
    case QMetaType::LongLong:
        return format.isEmpty() ? QString::number(v.toLongLong()) : formatNumber(static_cast<double>(v.toLongLong()), format);
    case QMetaType::QDate:
        return v.toDate().toString(QStringLiteral("dd.MM.yyyy"));
    case QMetaType::QTime:
        return v.toTime().toString(format.isEmpty() ? QStringLiteral("hh:mm:ss") : QString(format).replace(QLatin1String("nn"), QLatin1String("mm")));
    case QMetaType::QDateTime:
        return v.toDateTime().toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"));
    default:
        return v.toString();
    }
}

DatasetModel::DatasetModel(Query* query, QObject* parent) : QAbstractTableModel(parent), query_(query)
{
    connect(query_, &Query::opened, this, &DatasetModel::reload);
    connect(query_, &Query::closed, this, &DatasetModel::reload);
    // Rows read again in place keep the view's current row and scroll position.
    connect(query_, &Query::rowRefreshed, this, [this](int row) {
        if (!shown_.isEmpty())
            emit dataChanged(index(row, 0), index(row, static_cast<int>(shown_.size()) - 1));
    });
    connect(query_, &Query::rowAboutToBeRemoved, this, [this](int row) { beginRemoveRows({}, row, row); });
    connect(query_, &Query::rowRemoved, this, [this] { endRemoveRows(); });
    reload();
}

void DatasetModel::setColumns(const QList<GridColumn>& columns)
{
    columns_ = columns;
    reload();
}

QList<GridColumn> DatasetModel::visibleColumns() const
{
    QList<GridColumn> out;
    if (columns_.isEmpty()) {
        for (int i = 0; i < query_->fieldCount(); ++i)
            out.append(GridColumn{query_->fieldInfo(i).name, query_->fieldInfo(i).name});
        return out;
    }
    for (const GridColumn& c : columns_)
        if (c.visible)
            out.append(c);
    return out;
}

void DatasetModel::reload()
{
    beginResetModel();
    shown_ = visibleColumns();
    fieldCols_.clear();
    for (const GridColumn& c : shown_)
        fieldCols_.append(query_->active() ? query_->fieldIndex(c.field) : -1);
    endResetModel();
}

int DatasetModel::columnOf(const QString& field) const
{
    for (int i = 0; i < shown_.size(); ++i)
        if (shown_[i].field == field)
            return i;
    return -1;
}

int DatasetModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !query_->active())
        return 0;
    return query_->recordCount();
}

int DatasetModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : static_cast<int>(shown_.size()); }

QVariant DatasetModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !query_->active() || index.row() >= query_->recordCount())
        return {};
    const GridColumn& c = shown_[index.column()];
    const int col = fieldCols_[index.column()];
    switch (role) {
    case Qt::DisplayRole:
        return col < 0 ? QVariant() : displayText(query_->valueAt(index.row(), col), c.displayFormat);
    case Qt::TextAlignmentRole: {
        if (c.alignment)
            return QVariant::fromValue(c.alignment | Qt::AlignVCenter);
        if (col >= 0) {
            const FieldKind k = query_->fieldInfo(col).kind;
            if (k == FieldKind::Integer || k == FieldKind::Float)
                return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        }
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    }
    case Qt::BackgroundRole:
    case Qt::ForegroundRole:
    case Qt::FontRole:
        return style_ ? style_(*query_, index.row(), c.field, role) : QVariant();
    default:
        return {};
    }
}

QVariant DatasetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Horizontal && section < shown_.size())
        return shown_[section].title;
    return {};
}

DbGrid::DbGrid(QWidget* parent) : QTableView(parent)
{
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->setVisible(false);
    fitRowsToFont();
    horizontalHeader()->setHighlightSections(false);
    setAlternatingRowColors(false);
    fontPoints_ = font().pointSizeF();
}

void DbGrid::fitRowsToFont()
{
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
}

void DbGrid::changeEvent(QEvent* event)
{
    QTableView::changeEvent(event);
    // A scaled window sets its font after the grid was made: the rows follow it.
    if (event->type() == QEvent::FontChange) {
        fitRowsToFont();
        // The header keeps the grid's font: a dialog's titles grow with its rows.
        if (horizontalHeader()->font() != font())
            horizontalHeader()->setFont(font());
        // Columns laid out for the former font grow or shrink with it, so their titles stay whole.
        const double points = font().pointSizeF();
        if (fontPoints_ > 0 && points > 0 && std::abs(points - fontPoints_) > 0.01) {
            const double k = points / fontPoints_;
            QHeaderView* h = horizontalHeader();
            for (int i = 0; i < h->count(); ++i)
                if (h->sectionResizeMode(i) == QHeaderView::Interactive)
                    h->resizeSection(i, static_cast<int>(std::lround(h->sectionSize(i) * k)));
        }
        fontPoints_ = points;
    }
}

void DbGrid::setQuery(Query* query)
{
    // A held list counts as shown while one of its grids is.
    if (auto* holder = qobject_cast<ListHolder*>(query->parent()))
        holder->addView(this);
    model_ = new DatasetModel(query, this);
    setModel(model_);
    connect(query, &Query::currentChanged, this, &DbGrid::followCursor);
    // A list read again keeps the column the user stood in, not only the row.
    connect(model_, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        if (currentIndex().isValid())
            keptColumn_ = currentIndex().column();
    });
    connect(model_, &QAbstractItemModel::modelReset, this, [this] {
        openedAfresh();
        followCursor(this->query()->recNo());
    });
    connect(query, &Query::beforeClose, this, &DbGrid::rememberPlace);
}

namespace {

// The field of a list's row key: its holder's, or KOD.
QString keyFieldOf(const Query* q)
{
    if (auto* holder = qobject_cast<ListHolder*>(q->parent()))
        return holder->keyField();
    return QStringLiteral("KOD");
}

} // namespace

void DbGrid::rememberPlace()
{
    place_ = Place{};
    const Query* q = query();
    const int row = currentIndex().row();
    const int top = rowAt(0);
    if (!q || !q->active() || row < 0 || top < 0 || row != q->recNo() || !q->hasField(keyFieldOf(q)))
        return;
    place_.key = q->field(keyFieldOf(q)).value();
    place_.offset = row - top;
    place_.armed = true;
    // Only a reading done before the user acts again keeps the place.
    QTimer::singleShot(0, this, [this] { place_.armed = false; });
}

void DbGrid::keepPlace(int row)
{
    const Query* q = query();
    if (!place_.armed || !q->active() || !q->hasField(keyFieldOf(q)) || q->field(keyFieldOf(q)).value() != place_.key)
        return;
    place_.armed = false;
    // The scroll range follows the rows just read before the view moves.
    updateGeometries();
    const int top = std::max(0, row - place_.offset);
    if (verticalScrollMode() == ScrollPerItem)
        verticalScrollBar()->setValue(top);
    else
        verticalScrollBar()->setValue(rowViewportPosition(top) + verticalScrollBar()->value());
}

void DbGrid::setColumns(const QList<GridColumn>& columns)
{
    model_->setColumns(columns);
    int i = 0;
    for (const GridColumn& c : columns) {
        if (!c.visible)
            continue;
        if (c.width > 0)
            setColumnWidth(i, c.width);
        ++i;
    }
}

void DbGrid::standOnNoRow(bool atNextOpen)
{
    noRow_ = atNextOpen ? NoRow::AtNextOpen : NoRow::On;
    if (noRow_ == NoRow::On) {
        syncing_ = true;
        setCurrentIndex(QModelIndex());
        clearSelection();
        syncing_ = false;
    }
}

void DbGrid::openedAfresh()
{
    const Query* q = query();
    if (!q || !q->active() || noRow_ == NoRow::Off)
        return;
    auto* holder = qobject_cast<ListHolder*>(q->parent());
    if (holder && holder->reopening())
        return;
    noRow_ = noRow_ == NoRow::AtNextOpen ? NoRow::On : NoRow::Off;
}

void DbGrid::keepPlaceOf(const QVariant& goneKey)
{
    const Query* q = query();
    if (!place_.armed || !q || !q->active() || q->isEmpty() || place_.key != goneKey || !q->hasField(keyFieldOf(q)))
        return;
    place_.key = q->field(keyFieldOf(q)).value();
    keepPlace(q->recNo());
}

void DbGrid::followCursor(int row)
{
    if (syncing_ || !model_)
        return;
    if (noRow_ == NoRow::On) {
        syncing_ = true;
        setCurrentIndex(QModelIndex());
        clearSelection();
        syncing_ = false;
        return;
    }
    syncing_ = true;
    if (row >= 0 && row < model_->rowCount()) {
        const int column = currentIndex().isValid() ? currentIndex().column() : keptColumn_;
        const QModelIndex idx = model_->index(row, std::clamp(column, 0, std::max(0, model_->columnCount() - 1)));
        setCurrentIndex(idx);
        scrollTo(idx);
        keepPlace(row);
    }
    syncing_ = false;
}

void DbGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    if (syncing_ || !current.isValid() || !query())
        return;
    noRow_ = NoRow::Off;  // the user chose a cell
    if (current.row() != query()->recNo()) {
        syncing_ = true;
        query()->setRecNo(current.row());
        syncing_ = false;
    }
}

void DbGrid::focusInEvent(QFocusEvent* event)
{
    if (noRow_ != NoRow::On) {
        QTableView::focusInEvent(event);
        return;
    }
    // Focused on no row, the view would take its first row as current: that
    // is no row the user chose.
    syncing_ = true;
    QTableView::focusInEvent(event);
    setCurrentIndex(QModelIndex());
    clearSelection();
    syncing_ = false;
}

void DbGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTableView::mouseDoubleClickEvent(event);
    if (editButton_ && editButton_->isEnabled() && indexAt(event->pos()).isValid())
        editButton_->click();
}

void DbGrid::greyOut()
{
    setEnabled(false);
    QPalette p = palette();
    p.setColor(QPalette::Base, p.color(QPalette::Button));
    setPalette(p);
}

void DbGrid::release()
{
    setEnabled(true);
    setPalette(QPalette());
}

} // namespace db
