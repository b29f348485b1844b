#pragma once

#include "db/Database.h"
#include "db/Query.h"
#include "db/Transaction.h"

#include <QObject>
#include <QTimer>

#include <functional>

namespace db {
class ListHolder;
}

// The data module: the single connection, its transactions, core's own
// scratch queries for the start-up steps and core's own lists (users,
// settings, protocol). A subsystem's list belongs to the window that shows
// it; on a reconnect the windows reopen theirs on startListsReopened().
class TForm_Base : public QObject {
    Q_OBJECT
public:
    explicit TForm_Base(QObject* parent = nullptr);
    ~TForm_Base() override;

    // The connection and start-up sequence; runs again on reconnect.
    void FormCreate();
    // Starts attaching the database the program's files name, so that the
    // engine loads while the windows are built; FormCreate's open takes the
    // attachment. Nothing when the files cannot be read or the local
    // database is not there yet: FormCreate says so or makes it.
    static void AttachAhead();
    void ReopenStartLists();
    void Timer_TimerTimer();
    // Steps 6a to 6g of the start-up sequence, on a connected database.
    void AfterConnect();
    // Removes the cached template files of this database that no template names.
    void DeleteOrphanTemplateFiles();
    // Administrator bootstrap: returns true when the row had to be made.
    bool EnsureAdministrator();

    // Tells the user that the connection to the database is lost (text) and
    // then emits connectionLost. A read that finds it lost (a list's timer, a
    // row clicked, the keep-alive; `reading`) is told once: until the
    // database is connected again (FormCreate) the reads after it say
    // nothing. A road's outcome (nothing saved, saved, maybe saved) is told
    // each time. whenHandlerEnds: told from inside a handler that goes on
    // (the lists its commit reads again), connectionLost is emitted once the
    // handler has returned.
    void TellConnectionLost(const QString& text, bool reading, bool whenHandlerEnds = false);

    // Opens a query on the read transaction with the given text.
    void OpenRead(db::Query* q, const QString& sql);

    // Settings: copies every MY_PARAM row into MyParams (design defaults first).
    void LoadMyParams();

    // Brings the database to the program's schema step, one step per
    // transaction. A database newer than the program, or a step that fails,
    // is reported, the connection closes and start-up stops (startupAborted).
    void UpgradeDatabase();

    db::Database* MyDB;
    db::Transaction* TransactionRead;
    db::Transaction* TransactionWrite;

    // The start-up steps' own queries (administrator, template cache).
    db::Query* QWrite1;
    db::Query* QRead1;
    // The users and the settings: lists that follow what write roads commit.
    db::ListHolder* List_Person;
    db::ListHolder* List_Param;
    db::Query* QPerson;  // List_Person's query
    db::Query* Q_Param;  // List_Param's query
    db::Query* Q_Timer;

    db::ListHolder* List_Protokol;  // the protocol tab's list, open while the tab shows
    db::Query* Q_Protokol;

    QTimer* Timer_Timer;

    // Calls into the core's own windows and start-up steps (settings, log-in
    // list, connection settings, main window).
    struct Hooks {
        std::function<void()> loadMyParams;         // settings loader
        std::function<void(const QStringList&)> fillLoginList;  // the log-in dialog's list
        std::function<bool()> showConnectionDialog; // the connection settings dialog
        std::function<void()> closeMainWindow;      // ends the program after a failed connection
    } hooks;

    // Set when the database refused the program (newer schema, failed upgrade): start-up stops.
    bool startupAborted = false;

signals:
    // The start lists were reopened after a reconnect; the lists' owners rebuild theirs.
    void startListsReopened();
    // A handler failed because the connection to the database is gone; the
    // user has just been told so.
    void connectionLost();

private:
    db::Query* makeQuery(db::Transaction* tr);

    bool lossTold_ = false;  // a lost connection told since the database was last connected
};

extern TForm_Base* Form_Base;
