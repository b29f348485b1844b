#pragma once

#include "db/Database.h"
#include "db/Query.h"
#include "db/Transaction.h"

#include <QObject>
#include <QTimer>

#include <functional>

// The data module: the single connection, its transactions, the scratch
// queries and the shared lists of every subsystem.
class TForm_Base : public QObject {
    Q_OBJECT
public:
    explicit TForm_Base(QObject* parent = nullptr);
    ~TForm_Base() override;

    // The connection and start-up sequence; runs again on reconnect.
    void FormCreate();
    void ReopenStartLists();
    void Timer_TimerTimer();
    // Steps 6a to 6g of the start-up sequence, on a connected database.
    void AfterConnect();
    // Removes "*.xls" files of the program's folder that no template names.
    void DeleteOrphanTemplateFiles();
    // Administrator bootstrap: returns true when the row had to be made.
    bool EnsureAdministrator();

    // Opens a query on the read transaction with the given text.
    void OpenRead(db::Query* q, const QString& sql);

    // Settings: copies every MY_PARAM row into MyParams (design defaults first).
    void LoadMyParams();

    // Scroll and calculated-field handlers of the shared lists (Unit_BaseLists.cpp).
    void InitListHandlers();
    void Q_FirmaAfterScroll();
    void Q_OtdelAfterScroll();
    void Q_SkladAfterScroll();
    void Q_GrIngBeforeScroll();
    void Q_GrIngAfterScroll();
    void Q_DvigBeforeScroll();
    void Q_DvigAfterScroll();
    void Q_DvigAfterClose();
    void Q_DocsBeforeScroll();
    void Q_DocsAfterScroll();
    void Q_Firma_MenuAfterScroll();
    void Q_MenuBeforeScroll();
    void Q_MenuAfterScroll();
    void Q_Menu_RazdelAfterScroll();
    void Q_Docs_RealAfterScroll();
    void QPersonAfterScroll();
    void QPrintSpisBeforeScroll();
    void QPrintSpisAfterScroll();
    void QPrintFormsBeforeScroll();
    void QPrintFormsAfterScroll();
    void QPrintVarBeforeScroll();
    void QPrintVarAfterScroll();
    void Q_MovesCalcFields(db::Query& q);
    void Q_DvigCalcFields(db::Query& q);
    void Q_DocsCalcFields(db::Query& q);
    void Q_Docs_RealCalcFields(db::Query& q);
    void Q_IngCalcFields(db::Query& q);
    void Q_Ing_SkladCalcFields(db::Query& q);

    db::Database* MyDB;
    db::Transaction* TransactionRead;
    db::Transaction* TransactionWrite;
    db::Transaction* TransactionPF;

    db::Query* QWrite1;
    db::Query* QRead1;
    db::Query* QRead2;
    db::Query* QRead3;
    db::Query* QRead4;
    db::Query* QRead5;
    db::Query* QRead6;
    db::Query* QRead7;
    db::Query* QRead8;
    db::Query* QRead9;
    db::Query* QReadCikle;
    db::Query* QReadO1;
    db::Query* QReadO2;
    db::Query* WriteProc;
    db::Query* QLog;
    db::Query* QPerson;
    db::Query* Q_Param;
    db::Query* Q_Timer;
    db::Query* Q_PF_Write;

    // Shared lists (their handlers live with the lists' owners).
    db::Query* Q_Firma;
    db::Query* Q_Otdel;
    db::Query* Q_Sklad;
    db::Query* Q_GrIng;
    db::Query* Q_Ing;
    db::Query* Q_Ing_Sklad;
    db::Query* Q_Dvig;
    db::Query* Q_Moves;
    db::Query* Q_Docs;
    db::Query* Q_Invent;
    db::Query* Q_Firma_Menu;
    db::Query* Q_Menu;
    db::Query* Q_Menu_Razdel;
    db::Query* Q_Menu_Str;
    db::Query* Q_Docs_Real;
    db::Query* Q_Real_Bludo;
    db::Query* Q_Ed;
    db::Query* Q_Protokol;
    db::Query* QPrintSpis;
    db::Query* QPrintForms;
    db::Query* QPrintVar;

    QTimer* Timer_Timer;

    // Saving flag of the print-template editor.
    std::uint8_t PrintSaving = 0;

    // Calls into windows of other subsystems; each is set by the subsystem that owns it.
    struct Hooks {
        std::function<void()> upgradeDatabase;      // schema upgrade (may end the program)
        std::function<void()> loadMyParams;         // settings loader
        std::function<void()> rerunProductList;     // the product list of the main window
        std::function<void(const QStringList&)> fillLoginList;  // the log-in dialog's list
        std::function<bool()> showConnectionDialog; // the connection settings dialog
        std::function<void()> closeMainWindow;      // ends the program after a failed connection
    } hooks;

    // Set when the database refused the program (newer schema): start-up stops.
    bool startupAborted = false;

private:
    db::Query* makeQuery(db::Transaction* tr);
};

extern TForm_Base* Form_Base;
