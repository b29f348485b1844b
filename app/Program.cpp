#include "Program.h"
#include "ShowOnScreen.h"
#include "SystemSignals.h"

#include "CatalogueWindows.h"
#include "DocumentsWindows.h"
#include "KartaWindows.h"
#include "PosExchange.h"
#include "CatalogueUi.h"
#include "Unit_MenusTab.h"
#include "entries/MenusTabRows.h"
#include "Printing.h"
#include "entries/Office.h"
#include "automation/ProgramFonts.h"
#include "Unit_DelDoc.h"
#include "Unit_DvigIng.h"
#include "Unit_Invent.h"
#include "Unit_Compute.h"
#include "base/Unit_Base.h"
#include "grid/DatasetModel.h"
#include "ui/CoreWiring.h"
#include "ui/Unit_Alarm.h"
#include "ui/Unit_Dice.h"
#include "ui/Unit_Gauge.h"
#include "ui/Unit_Main.h"
#include "ui/Unit_Name.h"
#include "ui/Unit_Net.h"
#include "ui/Unit_Person.h"
#include "ui/Unit_Personal.h"
#include "ui/Unit_Policy.h"
#include "ui/Unit_Psw.h"
#include "ui/Unit_Period.h"
#include "ui/Unit_ProtocolTab.h"
#include "ui/Unit_RG.h"
#include "ui/Unit_SettingsTab.h"
#include "ui/Unit_Sort.h"
#include "ui/Unit_Sutki.h"
#include "grid/Greying.h"
#include "ui/Unit_Vhod.h"
#include "util/Globals.h"
#include "util/Settings.h"
#include "util/Messages.h"
#include "util/OfficeSession.h"
#include "util/Unit_Util.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

// The kinds of the file dialogs' list ("Folder" beside each folder), which
// Qt's Russian translation leaves in English.
class FileKindTranslator : public QTranslator {
public:
    using QTranslator::QTranslator;
    QString translate(const char* context, const char* source, const char*, int) const override
    {
        if (qstrcmp(context, "QAbstractFileIconProvider") != 0)
            return {};
        static const struct {
            const char* source;
            const char* text;
        } kinds[] = {{"Folder", "Папка"}, {"Drive", "Диск"}, {"Shortcut", "Ярлык"}, {"Unknown", "Неизвестно"}};
        for (const auto& k : kinds)
            if (qstrcmp(source, k.source) == 0)
                return QString::fromUtf8(k.text);
        return {};
    }
    bool isEmpty() const override { return false; }
};

} // namespace

bool LoadQtTranslations(QCoreApplication& app)
{
    // Qt's own dialogs (the file dialogs' "Look in", "Open", "Cancel") speak Russian too.
    auto* qt = new QTranslator(&app);
    if (!qt->load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"), QStringLiteral("_"),
                  QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete qt;
        return false;
    }
    QCoreApplication::installTranslator(new FileKindTranslator(&app));
    return QCoreApplication::installTranslator(qt);
}

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    // The program works as on a Russian workstation whatever the machine's locale.
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    setApplicationName(QStringLiteral("Тарелия"));
    LoadQtTranslations(*this);
}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    bool handled = false;
    Guard([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}

// The core windows reach printing through the spreadsheet session.
static void WirePrintingToCore()
{
    OfficeSession.OfficeConnect = [] { return printing::OfficeConnect(); };
    OfficeSession.OfficeNewCalc = [] { return printing::OfficeNewCalc(); };
    OfficeSession.SetCellString = [](int c, int r, const QString& t) { printing::OfficeVariants().SetString(c, r, t); };
    OfficeSession.ShowDocument = [] { printing::OfficeVariants().ShowDocument(); };
    OfficeSession.OfficeDisconnect = [] { printing::OfficeDisconnect(); };
    // Both settings of the spreadsheet choice print through LibreOffice Calc.
    OfficeSession.ExcelWriteColumn = [](const QStringList& lines) { printing::WriteLinesToNewCalc(lines); };
}

namespace {

// The data module asked the program to end during its start-up sequence.
bool endNow = false;

} // namespace

void CreateMainWindow()
{
    StartupDone = 0;
    endNow = false;
    MyParams = new TSettings;
    Form_Main = new TForm_Main;
}

bool CreateOtherWindows(bool runStartup)
{
    // The attachment is made on a thread of its own while the windows are
    // built, once the start page is on the screen: loading the database engine
    // beside the start page's own loading would hold it back.
    if (runStartup)
        TForm_Base::AttachAhead();
    Form_Dice = new TForm_Dice;
    Form_Util = new TForm_Util;
    CreateCatalogueWindows();
    Form_Period.make();
    Form_Gauge = new TForm_Gauge;
    Form_Alarm = new TForm_Alarm;
    Form_Vhod = new TForm_Vhod;
    Form_Net.make();
    Form_Psw.make();
    CreateSelectOtdelWindow();
    CreatePrintingWindows();
    Form_Name.make();
    Form_RG.make();
    Form_Base = new TForm_Base;
    Form_Compute = new TForm_Compute;
    Form_Sutki.make();
    Form_Personal.make();
    Form_Person.make();
    Form_Policy.make();
    Form_User.make();
    Form_Sort.make();
    CreateNSectionWindow();
    CreateDocumentsWindows();
    Form_VhodHelp.make();
    WireCoreWindows();
    WirePrintingToCore();
    // The owners subscribe to their lists: the catalogue's tabs, the template window.
    AttachCatalogueWindows();
    // The menus tab's send button runs the point-of-sale export of the documents subsystem.
    QObject::disconnect(MenusTab->Btn_Sent_Menu, &QPushButton::clicked, MenusTab, nullptr);
    QObject::connect(MenusTab->Btn_Sent_Menu, &QPushButton::clicked, MenusTab, [] {
        if (const qint64 menu = catalogue::MenusTabMenu())
            SendMenu(menu);
    });
    Form_Print->ConnectLists();
    CreateInventoryWindows();
    CreateHistoryWindow();
    SettingsTab = new TSettingsTab(Form_Main);
    ProtocolTab = new TProtocolTab(Form_Main);
    // The protocol's "Печать" copies the rows the tab shows, as they are, and
    // leaves the list on its first row.
    QObject::connect(ProtocolTab->Btn_PrintLog, &QPushButton::clicked, ProtocolTab, [] {
        Guard([] {
            db::Query* shown = Form_Base->Q_Protokol;
            printing::Btn_PrintLogClick({reports::ProtocolPrint::LinesOf(*shown)});
            if (shown->active() && !shown->isEmpty())
                shown->first();
        });
    });
    CreateKartaWindows();
    AttachDocumentsWindows();
    CreateDeleteWindow();
    Form_Base->hooks.closeMainWindow = [] {
        endNow = true;
        Form_Main->close();
    };
    if (!runStartup)
        return true;
    Form_Base->FormCreate();
    if (endNow || Form_Base->startupAborted)
        return false;
    if (Form_Base->MyDB->connected())
        StartupDone = 1;
    return true;
}

bool CreateWindows(bool runStartup)
{
    CreateMainWindow();
    return CreateOtherWindows(runStartup);
}

void DestroyWindows()
{
    Form_VhodHelp.destroy();
    delete ProtocolTab;
    ProtocolTab = nullptr;
    delete SettingsTab;
    SettingsTab = nullptr;
    Form_Sort.destroy();
    Form_User.destroy();
    Form_Policy.destroy();
    Form_Person.destroy();
    Form_Personal.destroy();
    DestroyDeleteWindow();
    DestroyHistoryWindow();
    DestroyInventoryWindows();
    Form_Sutki.destroy();
    DestroyDocumentsWindows();
    DestroyKartaWindows();
    DestroyCatalogueWindows();
    delete Form_Compute;
    Form_Compute = nullptr;
    delete Form_Base;
    Form_Base = nullptr;
    Form_RG.destroy();
    Form_Name.destroy();
    DestroyPrintingWindows();
    Form_Psw.destroy();
    Form_Net.destroy();
    delete Form_Vhod;
    Form_Vhod = nullptr;
    delete Form_Alarm;
    Form_Alarm = nullptr;
    delete Form_Gauge;
    Form_Gauge = nullptr;
    Form_Period.destroy();
    delete Form_Util;
    Form_Util = nullptr;
    delete Form_Dice;
    Form_Dice = nullptr;
    delete Form_Main;
    Form_Main = nullptr;
    delete MyParams;
    MyParams = nullptr;
    StartupDone = 0;
}

int ProgramMain(QApplication& app)
{
    // The program's fonts where every office of the user finds them when it
    // starts, the user's own office among them.
    automation::InstallFonts(automation::ProgramFontFiles(), automation::UserFontFolder());
    // The start page is on the screen first; the other windows and the
    // connection follow while the user finds the mouse, whose clicks wait for them.
    bool ok = false;
    Guard([&] {
        CreateMainWindow();
        ShowOnScreen(Form_Main);
        // The system's requests to end are taken from the next turn of an
        // event loop on, the data module there to set their handler again
        // after each connection.
        EndOnSystemSignals();
        ok = CreateOtherWindows();
    });
    int rc = 0;
    if (ok && Form_Main)
        rc = app.exec();
    else if (Form_Main)
        Form_Main->close();
    // Everything goes in order while the program's runtimes are still there: the
    // windows, their lists and the connection to the spreadsheet program (whose
    // references must not outlive the office's runtime in a static destructor).
    Guard([] { DestroyWindows(); });
    return rc;
}
