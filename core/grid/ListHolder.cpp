#include "ListHolder.h"

#include "DatasetModel.h"
#include "db/Query.h"
#include "engine/Changes.h"

#include <QApplication>
#include <QEvent>
#include <QRegularExpression>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <exception>
#include <memory>
#include <utility>

namespace db {

namespace {

ListHolder::ReloadFailureNotice& reloadFailureNotice()
{
    static ListHolder::ReloadFailureNotice notice;
    return notice;
}

std::function<void(ListHolder&)>& openedCheck()
{
    static std::function<void(ListHolder&)> check;
    return check;
}

// Set once a road's failed reload was told; the road's end clears it.
bool toldThisRoad = false;

// More keys than this are read with the whole list.
constexpr int kMostKeys = 200;

// The narrowed statement takes this many keys (the rest repeat the last), so
// that a few prepared forms serve every count.
int keyWidth(int keys)
{
    for (int width : {1, 8, 64})
        if (keys <= width)
            return width;
    return kMostKeys;
}

const QString kKeyParam = QStringLiteral("LIST_KEY%1");

} // namespace

// The list's statement narrowed to the rows of some keys: the same columns
// (named anew, as a list may name two alike), without the closing ORDER BY,
// whose fields come back apart (a merged row whose order values changed would
// stand in the wrong place). Kept prepared while the list's statement stays.
struct ListHolder::RowReader {
    QStringList listSql;
    int width = 0;
    QStringList orderFields;
    QStringList params;  // the list's own
    QStringList keyParams;
    std::unique_ptr<Query> query;
};

std::unique_ptr<ListHolder::RowReader> ListHolder::rowReader(int columns, int keyColumn, int width) const
{
    static const QRegularExpression orderBy(QStringLiteral(R"(\bORDER\s+BY\s+([^()]*?)\s*$)"),
                                            QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression field(QStringLiteral(R"(^(?:[A-Za-z_][A-Za-z0-9_$]*\.)?([A-Za-z_][A-Za-z0-9_$]*)(?:\s+(?:ASC|DESC))?$)"),
                                          QRegularExpression::CaseInsensitiveOption);
    auto r = std::make_unique<RowReader>();
    r->listSql = query_->sqlLines();
    r->width = width;
    QString body = query_->sql();
    const QRegularExpressionMatch m = orderBy.match(body);
    if (m.hasMatch()) {
        for (const QString& item : m.captured(1).split(QLatin1Char(','))) {
            const QRegularExpressionMatch f = field.match(item.trimmed());
            if (!f.hasMatch())
                return nullptr;
            r->orderFields << f.captured(1);
        }
        body = body.left(m.capturedStart());
    }
    QStringList names, keys;
    for (int c = 0; c < columns; ++c)
        names << QStringLiteral("C%1").arg(c);
    for (int k = 0; k < width; ++k) {
        r->keyParams << kKeyParam.arg(k);
        keys << QLatin1Char(':') + r->keyParams.last();
    }
    r->params = query_->paramNames();
    r->query = std::make_unique<Query>(query_->database(), query_->transaction());
    r->query->setSql(QStringLiteral("SELECT * FROM (\n") + body + QStringLiteral("\n) LIST_ROWS (") + names.join(QLatin1Char(',')) +
                     QStringLiteral(") WHERE LIST_ROWS.C%1 IN (").arg(keyColumn) + keys.join(QLatin1Char(',')) + QLatin1Char(')'));
    return r;
}

qint64 KeyBefore(const Query* q, const QString& keyField)
{
    if (!q || !q->active() || q->isEmpty() || q->recNo() < 0 || !q->hasField(keyField))
        return 0;
    const int row = q->recNo() > 0 ? q->recNo() - 1 : q->recNo();
    return q->valueAt(row, q->fieldIndex(keyField)).toLongLong();
}

void ListHolder::setReloadFailureNotice(ReloadFailureNotice notice)
{
    reloadFailureNotice() = std::move(notice);
}

void ListHolder::setOpenedCheck(std::function<void(ListHolder&)> check) { openedCheck() = std::move(check); }

ListHolder::ListHolder(Database* database, Transaction* read, QObject* parent, int debounceMs)
    : QObject(parent), query_(new Query(database, read, this)), timer_(new QTimer(this))
{
    timer_->setSingleShot(true);
    timer_->setInterval(debounceMs);
    connect(timer_, &QTimer::timeout, this, &ListHolder::timerFired);
    connect(query_, &Query::opened, this, [this] {
        if (openedCheck())
            openedCheck()(*this);
    });
    connect(engine::ChangeSignal::instance(), &engine::ChangeSignal::committed, this,
            [this](const engine::ChangeSet& changes) { follow(changes, true); });
    connect(engine::ChangeSignal::instance(), &engine::ChangeSignal::changedElsewhere, this,
            [this](const engine::ChangeSet& changes) { follow(changes, false); });
    // A row asked for by a road that ended without reloading this list (rolled
    // back, or it changed none of its tables) is not kept for a later reload.
    connect(engine::ChangeSignal::instance(), &engine::ChangeSignal::ended, this, [this] {
        nextKey_ = QVariant();
        toldThisRoad = false;
    });
    // However the list was opened or closed, it shows what it read then: a
    // list read afresh by its window (after a reconnect, say) is no longer
    // greyed for a read that failed before.
    connect(query_, &Query::opened, this, [this] {
        stale_ = false;
        staleKey_ = QVariant();
        for (const QPointer<DbGrid>& g : std::exchange(failed_, {}))
            if (g)
                g->release();
    });
    connect(query_, &Query::closed, this, [this] {
        if (!reopening_)
            stale_ = false;
    });
}

ListHolder::~ListHolder() = default;

void ListHolder::setTables(const QStringList& tables)
{
    tables_ = tables;
    upperTables_.clear();
    for (const QString& t : tables)
        upperTables_.insert(t.toUpper());
}

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
    // A failure to read it now is told as after a commit only when what it
    // waited for were this workstation's saved changes; a list marked by a
    // refused road speaks of no change.
    const bool saved = staleSaved_;
    try {
        reopen();
    } catch (const DbError& e) {
        reloadFailed(e.message(), IsConnectionLost(e.gdsCode()), saved, false);
    } catch (const std::exception& e) {
        reloadFailed(QString::fromUtf8(e.what()), false, saved, false);
    }
}

void ListHolder::follow(const engine::ChangeSet& changes, bool saved)
{
    if (!query_->active())
        return;
    bool touched = false;
    for (auto it = changes.tables.constBegin(); !touched && it != changes.tables.constEnd(); ++it)
        touched = upperTables_.contains(it.key());
    if (!touched)
        return;
    if (hidden()) {
        if (nextKey_.isValid())
            staleKey_ = nextKey_;
        staleSaved_ = (stale_ ? staleSaved_ : true) && saved;
        stale_ = true;
        return;
    }
    // The change is saved whatever happens here: a failure stays with this
    // list, and every other list still hears the commit.
    try {
        bool merged = false;
        try {
            merged = mergeNoted(changes);
        } catch (const DbError&) {
            merged = false;  // read whole below, which says what went wrong
        }
        if (!merged)
            reopen();
    } catch (const DbError& e) {
        reloadFailed(e.message(), IsConnectionLost(e.gdsCode()), saved, saved);
    } catch (const std::exception& e) {
        reloadFailed(QString::fromUtf8(e.what()), false, saved, saved);
    } catch (...) {
        reloadFailed(QStringLiteral("неизвестная ошибка"), false, saved, saved);
    }
}

void ListHolder::reloadFailed(const QString& failure, bool connectionLost, bool saved, bool inRoad)
{
    // Every grid that shows the list greys: its rows are no longer the stored ones.
    const QList<QWidget*> widgets = QApplication::allWidgets();
    for (QWidget* w : widgets) {
        auto* g = qobject_cast<DbGrid*>(w);
        if (g && (g == grid_ || g->query() == query_)) {
            g->greyOut();
            failed_.append(g);
        }
    }
    // A road's lists are told once; a list read outside a road (shown after a
    // change, or after a refusal) tells its own, and leaves the road's mark be.
    if (inRoad && toldThisRoad)
        return;
    if (inRoad)
        toldThisRoad = true;
    // Read again after another workstation's change, the list speaks of no change of this one.
    const QString notSaved = connectionLost ? QStringLiteral("Связь с сервером базы данных потеряна: список на экране не удалось "
                                                             "прочитать заново. Проверьте сеть и сервер и подключитесь к "
                                                             "базе данных заново.")
                                            : QStringLiteral("Список на экране не удалось прочитать заново (") + failure +
                                                  QStringLiteral("). Его прежние строки показаны серым.");
    const QString text = !saved ? notSaved : connectionLost ? ConnectionLostAfterSaveText() : ListNotReadAgainText(failure);
    if (reloadFailureNotice())
        reloadFailureNotice()(text, connectionLost, inRoad);
    else
        qWarning("%s", qPrintable(text));
}

bool ListHolder::mergeNoted(const engine::ChangeSet& changes)
{
    if (keyTable_.isEmpty() || stale_)
        return false;
    QSet<qint64> keys;
    for (auto it = changes.tables.constBegin(); it != changes.tables.constEnd(); ++it) {
        if (!upperTables_.contains(it.key()))
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
    const int width = keyWidth(static_cast<int>(keys.size()));
    if (!reader_ || reader_->listSql != query_->sqlLines() || reader_->width != width ||
        reader_->query->transaction() != query_->transaction()) {
        reader_ = rowReader(columns, keyColumn, width);
        if (!reader_)
            return false;
    }
    Query& fresh = *reader_->query;
    fresh.close();
    for (const QString& name : reader_->params)
        fresh.param(name).setValue(query_->param(name).value());
    QList<qint64> sorted(keys.begin(), keys.end());
    std::sort(sorted.begin(), sorted.end());
    for (int k = 0; k < width; ++k)
        fresh.param(reader_->keyParams[k]).setInt64(sorted[std::min<int>(k, static_cast<int>(sorted.size()) - 1)]);
    fresh.open();
    const bool merged = query_->mergeRows(keyField_, fresh, keys, reader_->orderFields);
    fresh.close();
    if (!merged)
        return false;
    // A handler's stand on a listed row moves there; on a row not listed the
    // list is read whole, standing on it.
    const QVariant stand = nextKey_;
    if (stand.isValid() && !stand.isNull() && currentKey() != stand && !query_->locate(keyField_, stand))
        return false;
    nextKey_ = QVariant();
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

QList<int> ListHolder::linesOf(const QList<QVariant>& values) const
{
    QList<int> columns;
    for (int i = 0; i < lineFields_.size(); ++i) {
        if (i >= values.size() || !values[i].isValid() || values[i].isNull() || !query_->hasField(lineFields_[i]))
            return {};
        columns << query_->fieldIndex(lineFields_[i]);
    }
    QList<int> rows;
    for (int r = 0; r < query_->recordCount(); ++r) {
        bool same = true;
        for (int i = 0; same && i < columns.size(); ++i)
            same = query_->valueAt(r, columns[i]).toLongLong() == values[i].toLongLong();
        if (same)
            rows << r;
    }
    return rows;
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
    // Where the list stands when the row it stood on is gone: a line on its
    // product's line, another row on its neighbour.
    const bool standsOnItsRow = key.isValid() && key == before;
    QList<QVariant> product;
    if (standsOnItsRow)
        for (const QString& f : std::as_const(lineFields_))
            product << (query_->hasField(f) ? query_->field(f).value() : QVariant());
    // A product of several lines gives no line to stand on: which one the
    // user meant is not known.
    const bool oneLineBefore = !product.isEmpty() && linesOf(product).size() == 1;
    QList<QVariant> neighbours;
    if (standsOnItsRow && lineFields_.isEmpty()) {
        neighbours << QVariant::fromValue(KeyBefore(query_, keyField_));
        if (query_->recNo() + 1 < query_->recordCount())
            neighbours << query_->valueAt(query_->recNo() + 1, query_->fieldIndex(keyField_));
    }
    bool noRow = false;
    QVariant standIn;
    lostRow_ = false;
    reopening_ = true;
    try {
        query_->refresh();
        const bool found = key.isValid() && !key.isNull() && !query_->isEmpty() && query_->locate(keyField_, key);
        lostRow_ = standsOnItsRow && !key.isNull() && !found;
        if (lostRow_ && !query_->isEmpty()) {
            if (!lineFields_.isEmpty()) {
                const QList<int> lines = oneLineBefore ? linesOf(product) : QList<int>{};
                noRow = lines.size() != 1;
                if (!noRow)
                    query_->setRecNo(lines.first());
            }
            for (const QVariant& k : std::as_const(neighbours))
                if (!standIn.isValid() && k.toLongLong() != 0 && query_->locate(keyField_, k))
                    standIn = k;
        }
    } catch (...) {
        reopening_ = false;
        throw;
    }
    for (const View& v : std::as_const(views_))
        if (auto* g = qobject_cast<DbGrid*>(v.widget.data())) {
            if (noRow)
                g->standOnNoRow();
            else if (standIn.isValid())
                g->keepPlaceOf(before);
        }
    reopening_ = false;
    if (grid_)
        grid_->release();
    for (const QPointer<DbGrid>& g : std::exchange(failed_, {}))
        if (g)
            g->release();
    const QVariant after = currentKey();
    emit reopened(before.isValid() && after.isValid() && before == after);
}

} // namespace db
