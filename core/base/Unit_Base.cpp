#include "Unit_Base.h"

#include "grid/ListHolder.h"

#include "util/TemplateCacheFiles.h"

#include "shipped/ShippedDatabase.h"
#include "util/Globals.h"
#include "util/Messages.h"
#include "util/ProgramFiles.h"
#include "util/Settings.h"
#include "util/Unit_Util.h"

#include <QDir>
#include <QFile>
#include <QSet>

#include <stdexcept>

TForm_Base* Form_Base = nullptr;

namespace {

const char* kNoConnection =
    "Программа не смогла подключится к базе данных \"basecalc.fdb\".  Проверте:   1) Установлен ли SQL сервер "
    "FireBird на компьютере на котором установлена база данных.    2) Правильность указания пути к файлу, и/или "
    "включен ли сервер если у Вас сетевой режим !    3) Какой пароль используется для подключения к базе данных. "
    "Сервер FireBird входит в пакеты Вашего дистрибутива Linux (firebird3.0-server). "
    "FireBird - бесплатный но мощьный SQL сервер";

} // namespace


TForm_Base::TForm_Base(QObject* parent) : QObject(parent)
{
    MyDB = new db::Database(this);
    TransactionRead = new db::Transaction(MyDB, db::Transaction::readParams(), this);
    TransactionWrite = new db::Transaction(MyDB, db::Transaction::writeParams(), this);

    QWrite1 = makeQuery(TransactionWrite);
    QRead1 = makeQuery(TransactionRead);
    List_Person = new db::ListHolder(MyDB, TransactionRead, this);
    List_Person->setTables({QStringLiteral("PERSON")});
    QPerson = List_Person->query();
    QPerson->setSql(QStringLiteral("SELECT * FROM PERSON ORDER BY FIO"));
    List_Param = new db::ListHolder(MyDB, TransactionRead, this);
    List_Param->setTables({QStringLiteral("MY_PARAM")});
    List_Param->setKeyField(QStringLiteral("NAME_PARAM"));
    Q_Param = List_Param->query();
    Q_Param->setSql(QStringLiteral("select * from MY_PARAM"));
    Q_Timer = makeQuery(TransactionRead);
    Q_Timer->setSql(QStringLiteral("SELECT * FROM MY_VERSION"));

    List_Protokol = new db::ListHolder(MyDB, TransactionRead, this);
    List_Protokol->setTables({QStringLiteral("LOG_TABLE")});
    Q_Protokol = List_Protokol->query();

    // The program's context is always the current data module's, with the live
    // settings and whoever is logged in at the moment it is asked for.
    engine::SetProgramContext([] {
        if (!Form_Base)
            throw std::logic_error("the data module is gone");
        engine::Context c;
        c.database = Form_Base->MyDB;
        c.read = Form_Base->TransactionRead;
        c.write = Form_Base->TransactionWrite;
        c.settings = MyParams ? &MyParams->v : nullptr;
        c.user = engine::User{CurrentUserFio, CurrentUserLogin, CurrentUserKod};
        return c;
    });

    // A list that cannot be read again says so through the dialog service; a
    // lost connection found by a read, as every read's. Found by the lists a
    // road's commit reads again, it is the road's outcome, told inside the
    // handler: the reads after it say nothing more, and the windows step
    // aside once the handler has finished.
    db::ListHolder::setReloadFailureNotice([this](const QString& text, bool connectionLost, bool inRoad) {
        if (!connectionLost)
            Msg::error(text);
        else
            TellConnectionLost(text, !inRoad, inRoad);
    });
    // No message waits on the user while the write transaction is open.
    Msg::setRoadProbe([] { return Form_Base && Form_Base->TransactionWrite->active(); });
    // A road's slip is told where the program's other faults are.
    WriteTransaction::reportSlip = [](const QString& text) { Msg::error(text); };

    Timer_Timer = new QTimer(this);
    Timer_Timer->setInterval(900000);
    connect(Timer_Timer, &QTimer::timeout, this, [this] { Guard([this] { Timer_TimerTimer(); }); });
}

TForm_Base::~TForm_Base()
{
    if (Form_Base == this)
        Form_Base = nullptr;
}

db::Query* TForm_Base::makeQuery(db::Transaction* tr) { return new db::Query(MyDB, tr, this); }

void TForm_Base::TellConnectionLost(const QString& text, bool reading, bool whenHandlerEnds)
{
    if (reading && lossTold_)
        return;
    lossTold_ = true;
    Msg::error(text);
    if (!whenHandlerEnds) {
        emit connectionLost();
        return;
    }
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (lossTold_)  // not connected again meanwhile
                emit connectionLost();
        },
        Qt::QueuedConnection);
}

void TForm_Base::OpenRead(db::Query* q, const QString& sql)
{
    q->close();
    q->setSql(sql);
    q->open();
}

namespace {

// The connection the program's files name: Net.txt's line, psw.txt's password.
void ReadConnection(NetSettings& net, db::ConnectParams& params, Scrambler& scrambler)
{
    net = readNetTxt();
    if (auto psw = readPswTxt(scrambler))
        params.password = *psw;
}

// The file a server of this computer serves through `connection`
// ("localhost" or "127.0.0.1", with or without a port); empty for any other.
QString ThisComputersFile(const QString& connection)
{
    const int colon = static_cast<int>(connection.indexOf(QLatin1Char(':')));
    QString host = connection.left(colon);
    if (colon < 2)  // no host, or a drive letter
        return {};
    host = host.left(host.indexOf(QLatin1Char('/')));
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) != 0 && host != QLatin1String("127.0.0.1"))
        return {};
    return connection.mid(colon + 1);
}

// Whether a server is expected to serve the database: the network mode is
// chosen, the connection names the server's port, or this workstation had
// the file from a server of this computer before. Such a file is shared, and
// the embedded engine would take it from every other workstation.
bool ServerExpected(const NetSettings& net, const db::LocalServerName& local)
{
    return net.mode.trimmed().compare(QLatin1String("Net-IP"), Qt::CaseInsensitive) == 0 || local.portNamed ||
           servedByLocalServer(local.path);
}

// A server of this computer is expected and does not answer: the database
// opens through the embedded engine only when the user agrees to take it
// from the other workstations meanwhile.
bool OpenAloneAgreed(const db::LocalServerName& local)
{
    const QString retry = hidenetPresent()
                              ? QStringLiteral("закройте программу и запустите её снова")
                              : QStringLiteral("подключитесь к ней кнопкой \"Подключения\"");
    return Msg::confirmDestructive(
        QStringLiteral("Сервер Firebird на этом компьютере (порт %1) не отвечает: возможно, он ещё запускается или "
                       "перезапускается. База данных \"%2\" должна открываться через него: с ней работают и другие "
                       "рабочие места.\n\nПрограмма может открыть файл базы данных сама, но пока она работает с ним, "
                       "другие рабочие места не смогут подключиться к базе данных.\n\nOK: открыть базу данных только на "
                       "этом рабочем месте. Отмена: не открывать её; когда сервер заработает, %3.")
            .arg(local.port)
            .arg(QDir::toNativeSeparators(local.path), retry),
        QStringLiteral("Сервер базы данных не отвечает"));
}

} // namespace

void TForm_Base::AttachAhead()
{
    try {
        NetSettings net;
        db::ConnectParams params;
        Scrambler scrambler;  // every use reseeds it: the program's own gives the same password
        ReadConnection(net, params, scrambler);
        // A server expected but silent asks the user first: nothing is attached before the answer.
        const std::optional<db::LocalServerName> local = db::Database::localServerName(net.connection);
        const bool expected = local && ServerExpected(net, *local);
        if (expected && !db::Database::localServerListens(local->port))
            return;
        const QString file = LocalDatabaseFile(net.connection, !expected);
        if (file.isEmpty() || QFileInfo::exists(file))
            db::Database::attachAhead(net.connection, params, !expected);
    } catch (...) {
        // FormCreate reads the files again and says what is wrong with them.
    }
}

void TForm_Base::FormCreate()
{
    startupAborted = false;
    // Connected anew: a connection lost from now on is told again.
    lossTold_ = false;
    if (MyDB->connected())
        MyDB->close();

    // A connection file that cannot be read is told, and the program stays up
    // without a database, so that "Подключения" can still put it right.
    NetSettings net;
    db::ConnectParams params;
    try {
        ReadConnection(net, params, Form_Util->scrambler());
    } catch (const std::exception& e) {
        Msg::error(QString::fromUtf8(e.what()));
        return;
    }
    MyDB->setDatabaseName(net.connection);
    MyDB->setParams(params);

    // The embedded engine serves a single workstation's file; a file a server
    // is expected to serve opens in-process only with the user's word, and
    // the program stays up without it otherwise.
    const std::optional<db::LocalServerName> localName = db::Database::localServerName(net.connection);
    const bool expected = localName && ServerExpected(net, *localName);
    bool embedded = !expected;
    if (expected && !db::Database::localServerListens(localName->port)) {
        if (!OpenAloneAgreed(*localName))
            return;
        embedded = true;
    }
    MyDB->setEmbeddedFallback(embedded);

    // A first start finds no database in the program's folder and gets the shipped one there.
    const QString local = LocalDatabaseFile(net.connection, embedded);
    try {
        if (!expected && !local.isEmpty() && !QFileInfo::exists(local) &&
            QFileInfo(local).absoluteDir() == QDir(programFolder()))
            CreateShippedDatabase(local, params);
        MyDB->open();
    } catch (const std::exception& e) {
        if (local.isEmpty())
            Msg::notice(QString::fromUtf8(kNoConnection));
        else
            Msg::notice(QStringLiteral("Программа не смогла открыть базу данных \"%1\": %2\nПроверьте, что файл есть, что "
                                       "программе разрешено читать и записывать его и папку, в которой он лежит, и что "
                                       "его не держит открытым другая программа.")
                            .arg(QDir::toNativeSeparators(local), QString::fromUtf8(e.what()).trimmed()));
        if (hooks.showConnectionDialog)
            hooks.showConnectionDialog();
        // Changed or not, the settings take effect at the next start: the program says so before it ends.
        Msg::notice(QStringLiteral("Для вступления изменений настроек в силу, программу необходимо перезагрузить !"));
        if (hooks.closeMainWindow)
            hooks.closeMainWindow();
        return;
    }
    // A file this computer's server gave is shared from now on.
    if (MyDB->attachedName() == net.connection)
        rememberServedByLocalServer(ThisComputersFile(net.connection));
    if (MyDB->connected())
        AfterConnect();
}

void TForm_Base::AfterConnect()
{
    if (TransactionWrite->active())
        TransactionWrite->rollback();
    if (!TransactionRead->active())
        TransactionRead->start();
    UpgradeDatabase();
    if (startupAborted || !MyDB->connected())
        return;
    if (hooks.loadMyParams)
        hooks.loadMyParams();
    if (EnsureAdministrator())
        Msg::information(QStringLiteral("Пользователь \"Администратор\" не был найден в базе данных. В список "
                                        "пользователей внесена запись пользователя \"Администратор\" без пароля !"));
    QRead1->close();
    ReopenStartLists();
    QStringList logins;
    if (QPerson->active()) {
        for (QPerson->first(); !QPerson->eof(); QPerson->next())
            logins.append(QPerson->field(QStringLiteral("LOGIN")).asString());
        QPerson->first();
    }
    if (hooks.fillLoginList)
        hooks.fillLoginList(logins);
    DeleteOrphanTemplateFiles();
}

bool TForm_Base::EnsureAdministrator()
{
    const QString admin = QStringLiteral("Администратор");
    QRead1->close();
    QRead1->setSql(QStringLiteral("SELECT KOD FROM PERSON WHERE LOGIN = :LO"));
    QRead1->param(QStringLiteral("LO")).setString(admin);
    QRead1->open();
    const bool present = !QRead1->isEmpty();
    QRead1->close();
    if (present)
        return false;
    WriteTransaction w(WriteTransaction::Reserve::Users);
    InsertAdministrator(*QWrite1, Form_Util->scrambler());
    w.commit();
    return true;
}

void TForm_Base::DeleteOrphanTemplateFiles()
{
    try {
        QRead1->close();
        QRead1->setSql(QStringLiteral("Select UNICNAME from PRINT_FORMS"));
        QRead1->open();
        QSet<QString> names;
        for (QRead1->first(); !QRead1->eof(); QRead1->next())
            if (!QRead1->field(0).isNull())
                names.insert(TemplateCacheFileName(QRead1->field(0).asInt64()));
        QRead1->close();
        // Only the template cache of this database is cleaned; other files of
        // the program's folder are the user's.
        RemoveStaleTemplateFiles(TemplateCacheFolder(MyDB->databaseName()), names);
    } catch (...) {
        QRead1->close();
    }
}

void TForm_Base::ReopenStartLists()
{
    emit startListsReopened();
    QPerson->close();
    QPerson->open();
}

void TForm_Base::Timer_TimerTimer()
{
    Q_Timer->close();
    Q_Timer->open();
    Q_Timer->fetchAll();
    Q_Timer->close();
}
