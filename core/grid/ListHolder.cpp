#include "ListHolder.h"

#include "DatasetModel.h"
#include "db/Query.h"
#include "engine/Changes.h"

#include <QTimer>

namespace db {

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
}

ListHolder::~ListHolder() = default;

void ListHolder::setGrid(DbGrid* grid) { grid_ = grid; }

void ListHolder::changesCommitted(const engine::ChangeSet& changes)
{
    if (!changes.touches(tables_))
        return;
    if (query_->active())
        reopen();
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
    emit reopened();
}

} // namespace db
