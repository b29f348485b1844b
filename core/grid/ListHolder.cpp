#include "ListHolder.h"

#include "DatasetModel.h"
#include "db/Query.h"
#include "engine/Changes.h"

#include <QEvent>
#include <QRegularExpression>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <optional>

namespace db {

namespace {

// More keys than this are read with the whole list.
constexpr int kMostKeys = 200;

struct Narrowed {
    QString sql;
    QStringList orderFields;
};

// The list's statement narrowed to the rows of some keys: the same columns
// (named anew, as a list may name two alike), without the closing ORDER BY,
// whose fields come back apart (a merged row whose order values changed would
// stand in the wrong place). Nothing when the order is not a plain list of fields.
std::optional<Narrowed> narrowed(const QString& sql, int columns, int keyColumn, const QSet<qint64>& keys)
{
    static const QRegularExpression orderBy(QStringLiteral(R"(\bORDER\s+BY\s+([^()]*?)\s*$)"),
                                            QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression field(QStringLiteral(R"(^(?:[A-Za-z_][A-Za-z0-9_$]*\.)?([A-Za-z_][A-Za-z0-9_$]*)(?:\s+(?:ASC|DESC))?$)"),
                                          QRegularExpression::CaseInsensitiveOption);
    Narrowed out;
    QString body = sql;
    const QRegularExpressionMatch m = orderBy.match(sql);
    if (m.hasMatch()) {
        for (const QString& item : m.captured(1).split(QLatin1Char(','))) {
            const QRegularExpressionMatch f = field.match(item.trimmed());
            if (!f.hasMatch())
                return std::nullopt;
            out.orderFields << f.captured(1);
        }
        body = sql.left(m.capturedStart());
    }
    QList<qint64> sorted(keys.begin(), keys.end());
    std::sort(sorted.begin(), sorted.end());
    QStringList list;
    for (qint64 k : sorted)
        list << QString::number(k);
    QStringList names;
    for (int c = 0; c < columns; ++c)
        names << QStringLiteral("C%1").arg(c);
    out.sql = QStringLiteral("SELECT * FROM (\n") + body + QStringLiteral("\n) LIST_ROWS (") + names.join(QLatin1Char(',')) +
              QStringLiteral(") WHERE LIST_ROWS.C%1 IN (").arg(keyColumn) + list.join(QLatin1Char(',')) + QLatin1Char(')');
    return out;
}

} // namespace

ListHolder::ListHolder(Database* database, Transaction* read, QObject* parent, int debounceMs)
    : QObject(parent), query_(new Query(database, read, this)), timer_(new QTimer(this))
{
    timer_->setSingleShot(true);
    timer_->setInterval(debounceMs);
    connect(timer_, &QTimer::timeout, this, &ListHolder::timerFired);
    connect(engine::ChangeSignal::instance(), &engine::ChangeSignal::committed, this, &ListHolder::changesCommitted);
    // A row asked for by a road that ended without reloading this list (rolled
    // back, or it changed none of its tables) is not kept for a later reload.
    connect(engine::ChangeSignal::instance(), &engine::ChangeSignal::ended, this, [this] { nextKey_ = QVariant(); });
    // However the list was opened or closed, it shows what it read then.
    connect(query_, &Query::opened, this, [this] {
        stale_ = false;
        staleKey_ = QVariant();
    });
    connect(query_, &Query::closed, this, [this] {
        if (!reopening_)
            stale_ = false;
    });
}

ListHolder::~ListHolder() = default;

void ListHolder::setGrid(DbGrid* grid)
{
    grid_ = grid;
    addView(grid);
}

void ListHolder::addView(QWidget* view)
{
    if (!view)
        return;
    for (const View& v : views_)
        if (v.widget == view)
            return;
    views_.append(View{view, view->isVisible()});
    view->installEventFilter(this);
}

bool ListHolder::hidden() const
{
    bool any = false;
    for (const View& v : views_) {
        if (!v.widget)
            continue;
        if (v.widget->isVisible())
            return false;
        // A window never shown yet (being built, or driven without a screen)
        // hides nothing: its lists follow the commits as they come.
        if (!v.widget->window()->isVisible() && !v.shown)
            return false;
        any = true;
    }
    return any;
}

bool ListHolder::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show) {
        for (View& v : views_)
            if (v.widget == watched)
                v.shown = true;
        // Shown again: the list reloads once the showing is done, unless the
        // window's own show handler reads it afresh first.
        if (stale_ && !staleReloadQueued_) {
            staleReloadQueued_ = true;
            QTimer::singleShot(0, this, &ListHolder::reloadIfStale);
        }
    }
    return QObject::eventFilter(watched, event);
}

void ListHolder::reloadIfStale()
{
    staleReloadQueued_ = false;
    if (!stale_ || !query_->active() || hidden())
        return;
    try {
        reopen();
    } catch (const std::exception&) {
        // The rows read before stay, greyed; the next commit or show tries again.
        if (grid_)
            grid_->greyOut();
    }
}

void ListHolder::changesCommitted(const engine::ChangeSet& changes)
{
    if (!changes.touches(tables_) || !query_->active())
        return;
    if (hidden()) {
        if (nextKey_.isValid())
            staleKey_ = nextKey_;
        stale_ = true;
        return;
    }
    bool merged = false;
    try {
        merged = mergeNoted(changes);
    } catch (const DbError&) {
        merged = false;  // read whole below, which says what went wrong
    }
    if (!merged)
        reopen();
}

bool ListHolder::mergeNoted(const engine::ChangeSet& changes)
{
    if (keyTable_.isEmpty() || stale_)
        return false;
    QSet<qint64> keys;
    for (auto it = changes.tables.constBegin(); it != changes.tables.constEnd(); ++it) {
        if (!tables_.contains(it.key(), Qt::CaseInsensitive))
            continue;
        if (it.key() != keyTable_ || it->isEmpty())
            return false;
        keys = *it;
    }
    if (keys.isEmpty() || keys.size() > kMostKeys || !query_->hasField(keyField_))
        return false;
    int columns = 0;  // the statement's own, before the calculated ones
    while (columns < query_->fieldCount() && !query_->fieldInfo(columns).calculated)
        ++columns;
    const int keyColumn = query_->fieldIndex(keyField_);
    if (keyColumn >= columns)
        return false;
    const std::optional<Narrowed> n = narrowed(query_->sql(), columns, keyColumn, keys);
    if (!n)
        return false;
    Query fresh(query_->database(), query_->transaction());
    fresh.setSql(n->sql);
    for (const QString& name : query_->paramNames())
        fresh.param(name).setValue(query_->param(name).value());
    fresh.open();
    if (!query_->mergeRows(keyField_, fresh, keys, n->orderFields))
        return false;
    // A handler's stand on a listed row moves there; on a row not listed the list is read whole.
    const QVariant stand = nextKey_;
    nextKey_ = QVariant();
    if (stand.isValid() && !stand.isNull() && currentKey() != stand)
        return query_->locate(keyField_, stand);
    return true;
}

void ListHolder::scheduleReload()
{
    if (!query_->active())
        return;
    if (grid_)
        grid_->greyOut();
    timer_->start();
}

bool ListHolder::reloadPending() const { return timer_->isActive(); }

void ListHolder::timerFired()
{
    // Closed while the reload waited (the window hid): there is nothing to show again.
    if (!query_->active()) {
        if (grid_)
            grid_->release();
        return;
    }
    reopen();
}

QVariant ListHolder::currentKey() const
{
    if (!query_->active() || query_->isEmpty() || query_->recNo() < 0 || !query_->hasField(keyField_))
        return QVariant();
    return query_->field(keyField_).value();
}

void ListHolder::reopen()
{
    timer_->stop();
    const QVariant before = currentKey();
    QVariant key = nextKey_.isValid() ? nextKey_ : staleKey_.isValid() ? staleKey_ : before;
    nextKey_ = QVariant();
    staleKey_ = QVariant();
    reopening_ = true;
    try {
        query_->close();
        query_->open();
        if (key.isValid() && !key.isNull() && !query_->isEmpty())
            query_->locate(keyField_, key);
    } catch (...) {
        reopening_ = false;
        throw;
    }
    reopening_ = false;
    if (grid_)
        grid_->release();
    const QVariant after = currentKey();
    emit reopened(before.isValid() && after.isValid() && before == after);
}

} // namespace db
