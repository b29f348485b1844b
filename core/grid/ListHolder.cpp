#include "ListHolder.h"

#include "DatasetModel.h"
#include "db/Query.h"
#include "engine/Changes.h"

#include <QApplication>
#include <QTimer>

#include <exception>
#include <utility>

namespace db {

namespace {

std::function<void(const QString&)>& reloadFailureNotice()
{
    static std::function<void(const QString&)> notice;
    return notice;
}

std::function<void(ListHolder&)>& openedCheck()
{
    static std::function<void(ListHolder&)> check;
    return check;
}

// Set once a road's failed reload was told; the road's end clears it.
bool toldThisRoad = false;

} // namespace

void ListHolder::setReloadFailureNotice(std::function<void(const QString&)> notice)
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
    connect(engine::ChangeSignal::instance(), &engine::ChangeSignal::committed, this, &ListHolder::changesCommitted);
    // A row asked for by a road that ended without reloading this list (rolled
    // back, or it changed none of its tables) is not kept for a later reload.
    connect(engine::ChangeSignal::instance(), &engine::ChangeSignal::ended, this, [this] {
        nextKey_ = QVariant();
        toldThisRoad = false;
    });
}

ListHolder::~ListHolder() = default;

void ListHolder::setGrid(DbGrid* grid) { grid_ = grid; }

void ListHolder::changesCommitted(const engine::ChangeSet& changes)
{
    if (!changes.touches(tables_))
        return;
    if (!query_->active())
        return;
    // The change is saved whatever happens here: a failure stays with this
    // list, and every other list still hears the commit.
    try {
        reopen();
    } catch (const DbError& e) {
        reloadFailed(e.message(), IsConnectionLost(e.gdsCode()));
    } catch (const std::exception& e) {
        reloadFailed(QString::fromUtf8(e.what()), false);
    } catch (...) {
        reloadFailed(QStringLiteral("неизвестная ошибка"), false);
    }
}

void ListHolder::reloadFailed(const QString& failure, bool connectionLost)
{
    // Every grid that shows the list greys: its rows are no longer the stored ones.
    const QList<QWidget*> widgets = QApplication::allWidgets();
    for (QWidget* w : widgets) {
        auto* g = qobject_cast<DbGrid*>(w);
        if (g && (g == grid_ || g->query() == query_)) {
            g->greyOut();
            stale_.append(g);
        }
    }
    if (toldThisRoad)
        return;
    toldThisRoad = true;
    const QString text = connectionLost ? ConnectionLostAfterSaveText() : ListNotReadAgainText(failure);
    if (reloadFailureNotice())
        reloadFailureNotice()(text);
    else
        qWarning("%s", qPrintable(text));
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

void ListHolder::reopen()
{
    timer_->stop();
    QVariant key = nextKey_;
    nextKey_ = QVariant();
    if (!key.isValid() && query_->active() && !query_->isEmpty() && query_->hasField(keyField_))
        key = query_->field(keyField_).value();
    reopening_ = true;
    try {
        query_->refresh();
        if (key.isValid() && !key.isNull() && !query_->isEmpty())
            query_->locate(keyField_, key);
    } catch (...) {
        reopening_ = false;
        throw;
    }
    reopening_ = false;
    if (grid_)
        grid_->release();
    for (const QPointer<DbGrid>& g : std::exchange(stale_, {}))
        if (g)
            g->release();
    emit reopened();
}

} // namespace db
