#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>

class QTimer;
class QWidget;

namespace engine {
struct ChangeSet;
}

namespace db {

class Database;
class DbGrid;
class Query;
class Transaction;

// The key of the row before the current one (the current one's on the first
// row, so that a list that loses it finds the next one), without moving the
// cursor: where a list stands once its current row is gone. 0 for no row.
qint64 KeyBefore(const Query* q, const QString& keyField = QStringLiteral("KOD"));

// One list of a window: its query, the debounce timer of its reload, the
// grid it greys while the reload waits, and its reopen at the current key.
// The list subscribes to the tables it reads: when a write road commits a
// change to one of them, an open list reloads at once, back on the row it
// stood on (or on the row the writer asked for with standOn). A list that
// knows the table of its rows (setKeyTable) and is told the keys the road
// changed there re-reads only those rows, in place. A list whose grids are
// hidden (a hidden tab, a closed window) is only marked stale and reloads
// when one of them is shown again. A move in a master list reloads its
// details through scheduleReload: the grid greys and the reload waits until
// the cursor rests for the timer's interval. A list that is closed waits for
// nothing; a road that is rolled back announces nothing. A reload after a
// commit never fails the road: a list that cannot be read again keeps its
// former rows greyed, and the user is told once, in words, that the change
// is saved and the list is not fresh. A list read again for a row a refused
// road found changed elsewhere (at once, or when shown after it) speaks of no
// saved change.
//
//     list = new db::ListHolder(Form_Base->MyDB, Form_Base->TransactionRead, this);
//     list->setTables({QStringLiteral("KARTA"), QStringLiteral("ING")});
//     list->setGrid(Grid_Sostav);
//     list->query()->setSql(...);  list->query()->open();
class ListHolder : public QObject {
    Q_OBJECT
public:
    // The list reads on `read` (a read-committed transaction sees each commit).
    ListHolder(Database* database, Transaction* read, QObject* parent = nullptr, int debounceMs = 400);
    ~ListHolder() override;

    Query* query() const { return query_; }
    QTimer* timer() const { return timer_; }

    // The tables the list reads; a commit that changed none of them leaves it be.
    void setTables(const QStringList& tables);
    const QStringList& tables() const { return tables_; }
    // The grid that greys while a reload waits (may be null).
    void setGrid(DbGrid* grid);
    // A widget that shows the list; every grid set on the list's query is one.
    void addView(QWidget* view);
    // The field of the current row's key, "KOD" unless set.
    void setKeyField(const QString& field) { keyField_ = field; }
    const QString& keyField() const { return keyField_; }
    // The table whose rows the list lists, one row each, by the key field: a
    // commit that noted the keys it changed there, and changed no other table
    // the list reads, has those rows read again and put in place.
    void setKeyTable(const QString& table) { keyTable_ = table.toUpper(); }
    // The lines of a document a number is typed on: a reload that finds the
    // current line gone (removed, or the document filled anew elsewhere)
    // stands on the line of the same product (these fields' values: KOD_ING,
    // and the department where a document has a product in several) when
    // the product had that one line and the document holds one again, else
    // on no line (DbGrid::standOnNoRow), never on a line the user did not
    // choose. Without them a list whose current row went stands on its
    // neighbour (KeyBefore), its view kept.
    void setLineFields(const QStringList& fields) { lineFields_ = fields; }

    // Greys the grid and (re)starts the timer; nothing for a closed list.
    void scheduleReload();
    // Reopens the list now on the row of the current key (the first row
    // when that row is gone) and releases the grid.
    void reopen();
    bool reloadPending() const;
    // True while a commit's change waits for a grid of the list to be shown.
    bool stale() const { return stale_; }
    // The next reload stands on this key instead of the current row's (a row
    // the handler has just added). Set inside a write road; forgotten when the
    // road ends without reloading the list (rolled back, or it changed none
    // of the list's tables).
    void standOn(const QVariant& key) { nextKey_ = key; }
    // The last reopen found the row the list stood on gone (deleted or
    // filled anew elsewhere) and stands in its place.
    bool lostItsRow() const { return lostRow_; }
    // True while reopen() closes, reopens and finds the row again: the
    // list's scroll handlers can tell this from a move of the user's.
    bool reopening() const { return reopening_; }

    // How the user is told that a list could not be read again (the
    // program's dialog service, installed by the data module);
    // connectionLost: the connection is lost; inRoad: the list was read again
    // after a commit of this workstation's, whose outcome the text tells (a
    // list shown or read again outside a commit only read). One road's failed
    // lists are told once.
    using ReloadFailureNotice = std::function<void(const QString& text, bool connectionLost, bool inRoad)>;
    static void setReloadFailureNotice(ReloadFailureNotice notice);
    // Called each time a held list opens (the tests check that its statement
    // reads the tables it subscribes to); none in the program.
    static void setOpenedCheck(std::function<void(ListHolder&)> check);

signals:
    // The list was reopened by its holder; sameRow: it stands on the key it
    // stood on before (its details need not follow).
    void reopened(bool sameRow);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct RowReader;
    struct View {
        QPointer<QWidget> widget;
        bool shown = false;  // has been on screen: hidden now, its window was closed
    };
    // A commit's change (saved) or another workstation's a road found
    // (engine::ChangeSignal::changedElsewhere): the list reads its rows again.
    void follow(const engine::ChangeSet& changes, bool saved);
    // Reads again the rows of the noted keys and puts them in place; false
    // when the list must be read whole.
    bool mergeNoted(const engine::ChangeSet& changes);
    std::unique_ptr<RowReader> rowReader(int columns, int keyColumn, int width) const;
    bool hidden() const;
    void reloadIfStale();
    // saved: what the list was read for is a change this workstation saved;
    // inRoad: it is read inside that change's road (its commit announced).
    void reloadFailed(const QString& failure, bool connectionLost, bool saved, bool inRoad);
    void timerFired();
    QVariant currentKey() const;
    // The rows whose line fields hold these values.
    QList<int> linesOf(const QList<QVariant>& values) const;

    Query* query_;
    QTimer* timer_;
    QPointer<DbGrid> grid_;
    QList<View> views_;
    QList<QPointer<DbGrid>> failed_;  // greyed by a reload that failed, released by the next one
    QStringList tables_;
    QSet<QString> upperTables_;
    QString keyField_ = QStringLiteral("KOD");
    QString keyTable_;
    QStringList lineFields_;
    bool reopening_ = false;
    bool lostRow_ = false;
    bool stale_ = false;
    // Every change the stale list waits for is one this workstation saved (a
    // commit), none a row a refused road found changed elsewhere: a failed
    // read may speak of a saved change only then.
    bool staleSaved_ = false;
    bool staleReloadQueued_ = false;
    QVariant nextKey_;
    QVariant staleKey_;  // a stand asked for while the list was hidden
    std::unique_ptr<RowReader> reader_;
};

} // namespace db
