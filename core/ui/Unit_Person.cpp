#include "Unit_Person.h"
#include "engine/EngineDb.h"
#include "engine/RowRefusal.h"

#include "InputDialogs.h"
#include "Scaling.h"
#include "base/Unit_Base.h"
#include "grid/ListHolder.h"
#include "db/Codec.h"
#include "util/Globals.h"
#include "util/Messages.h"
#include "util/Unit_Util.h"

#include <QFormLayout>
#include <QVBoxLayout>

FirstUse<TForm_Person> Form_Person;

namespace {
const QString kAdmin = QStringLiteral("Администратор");

// A fresh key from MY_GEN, drawn outside the write transaction as the row writer does.
qint64 NewKey()
{
    const auto reader = engine::Reader(engine::ProgramContext());
    db::Query* q = reader.get();
    q->setSql(QStringLiteral("SELECT GEN_ID(MY_GEN, 1) AS K FROM RDB$DATABASE"));
    q->open();
    const qint64 kod = q->field(QStringLiteral("K")).asInt64();
    q->close();
    return kod;
}

// The key of another user than `self` whose login is exactly `login` (letter
// case counts), 0 when none; read on the transaction of `q`.
qint64 LoginHolder(db::Query* q, const QString& login, qint64 self)
{
    q->setSql(QStringLiteral("SELECT KOD, LOGIN FROM PERSON WHERE LOGIN = :LO"));
    q->param(QStringLiteral("LO")).setString(login);
    q->open();
    qint64 holder = 0;
    for (q->first(); !q->eof(); q->next())
        if (q->field(QStringLiteral("LOGIN")).asString() == login && q->field(QStringLiteral("KOD")).asInt64() != self)
            holder = q->field(QStringLiteral("KOD")).asInt64();
    q->close();
    return holder;
}
} // namespace

engine::ShownRow PersonShown(const db::Query& person)
{
    engine::ShownRow shown = engine::ShownRow::of(person, QStringLiteral("PERSON"), person.field(QStringLiteral("FIO")).asString(),
                                                  {{QStringLiteral("FIO"), QStringLiteral("Ф.И.О.")},
                                                   {QStringLiteral("LOGIN"), QStringLiteral("логин")},
                                                   {QStringLiteral("PASSW"), QStringLiteral("пароль")}});
    // Every save scrambles the password anew: the same password saved again is no change.
    shown.readAs(QStringLiteral("PASSW"), [](const QVariant& stored) {
        return QVariant(db::fromCp1251(Form_Util->UnscrambleString(db::toCp1251Lossy(stored.toString()))));
    });
    return shown;
}

QString PersonSavedText(bool newUser, const QString& fio, const QString& login)
{
    return (newUser ? QStringLiteral("Введён новый пользователь <<") : QStringLiteral("Отредактирован пользователь <<")) +
           fio + QStringLiteral(">> Логин <<") + login + QStringLiteral(">>");
}

TForm_Person::TForm_Person(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setWindowTitle(QStringLiteral("Сведения о сотруднике"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    auto* form = new QFormLayout;
    E_FIO = new QLineEdit(this);
    E_FIO->setMaxLength(kFioLength);
    E_FIO->setMinimumWidth(E_FIO->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 40);
    E_Login = new QLineEdit(this);
    E_Login->setMaxLength(kLoginLength);
    E_Pass1 = new QLineEdit(this);
    E_Pass2 = new QLineEdit(this);
    for (QLineEdit* e : {E_Pass1, E_Pass2}) {
        e->setEchoMode(QLineEdit::Password);
        e->setMaxLength(kPasswordLength);
    }
    const QList<QPair<QString, QLineEdit*>> rows = {{QStringLiteral("Ф.И.О. пользователя"), E_FIO},
                                                    {QStringLiteral("Логин"), E_Login},
                                                    {QStringLiteral("Пароль"), E_Pass1},
                                                    {QStringLiteral("Подтверждение пароля"), E_Pass2}};
    for (const auto& r : rows) {
        r.second->setAccessibleName(r.first);
        form->addRow(r.first, r.second);
    }
    layout->addLayout(form);
    layout->addSpacing(6);
    const InputButtons buttons = AddInputButtons(this, layout, true);
    BitBtn2 = buttons.ok;
    BitBtn3 = buttons.cancel;
    BitBtn4 = buttons.hiddenOk;
    connect(BitBtn2, &QPushButton::clicked, this, [this] { Guard([this] { BitBtn2Click(); }); });
    adjustSize();
    ScaleWindow(this, false);
}

TForm_Person::~TForm_Person()
{
    if (Form_Person.made() == this)
        Form_Person = nullptr;
}

void TForm_Person::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TForm_Person::FormShow()
{
    E_FIO->setFocus();
    const bool admin = E_Login->text() == kAdmin;
    E_FIO->setReadOnly(admin);
    E_Login->setReadOnly(admin);
}

void TForm_Person::BitBtn2Click()
{
    const QString fio = E_FIO->text();
    const QString login = E_Login->text();
    if (fio.isEmpty()) {
        Msg::notice(QStringLiteral("Не указаны Ф.И.О. сотрудника!"));
        E_FIO->setFocus();
        return;
    }
    if (login.isEmpty()) {
        Msg::notice(QStringLiteral("Не указан логин сотрудника!"));
        E_Login->setFocus();
        return;
    }
    if (newUser && login.toUpper() == kAdmin.toUpper()) {
        Msg::notice(QStringLiteral("Нельзя создавать логин \"Администратор\""));
        E_Login->setFocus();
        return;
    }
    // An unchanged login needs no test; one changed only in letter case is
    // still compared with the other users' exact logins.
    const bool loginToTest = newUser || login != editLogin;
    const qint64 self = newUser ? 0 : editKod;
    if (loginToTest && LoginHolder(engine::Reader(engine::ProgramContext()).get(), login, self) != 0) {
        Msg::notice(QStringLiteral("Такой Логин уже имеется в базе !"));
        E_Login->setFocus();
        return;
    }
    if (E_Pass1->text().isEmpty() &&
        !Msg::confirm(QStringLiteral("Вы действительно не хотите этому сотруднику присвоить пароль?"),
                      QStringLiteral("Отсутствие пароля"))) {
        E_Pass1->setFocus();
        return;
    }
    if (E_Pass1->text() != E_Pass2->text()) {
        Msg::notice(QStringLiteral("Несовпадают пароли в первом и втором поле. Повторите ввод!"));
        E_Pass1->clear();
        E_Pass2->clear();
        E_Pass1->setFocus();
        return;
    }
    const QByteArray password = db::toCp1251(E_Pass1->text());
    Scrambler& s = Form_Util->scrambler();
    WriteTransaction w(WriteTransaction::Reserve::Users);
    if (!newUser)
        engine::ClaimShownRow(w.context(), Shown, QStringLiteral("PERSON"), editKod);
    const auto writer = engine::Writer(w.context());
    db::Query* q = writer.get();
    // Tested again where it counts: another workstation may have given the
    // login to someone else since.
    if (const qint64 holder = loginToTest ? LoginHolder(q, login, self) : 0)
        throw engine::RowRefusal(QStringLiteral("PERSON"), holder,
                                 QStringLiteral("Логин «") + login +
                                     QStringLiteral("» уже имеется в базе: его дали другому сотруднику на другом "
                                                    "рабочем месте. Ничего не записано."));
    q->setSql(newUser ? QStringLiteral("INSERT INTO PERSON (KOD, FIO, LOGIN, PASSW, F) VALUES (:K, :FI, :LO, :PA, :FF)")
                      : QStringLiteral("UPDATE PERSON SET FIO = :FI, LOGIN = :LO, PASSW = :PA, F = :FF WHERE KOD = :K"));
    const qint64 kod = newUser ? NewKey() : editKod;
    q->param(QStringLiteral("K")).setInt64(kod);
    q->param(QStringLiteral("FI")).setString(fio);
    q->param(QStringLiteral("LO")).setString(login);
    q->param(QStringLiteral("PA")).setBytes(s.ScrambleString(password.isEmpty() ? QByteArray(kNoPasswordMarker) : password));
    q->param(QStringLiteral("FF")).setBytes(s.ScrambleString(password + db::toCp1251(login)));
    q->execSql();
    if (newUser) {
        q->setSql(QStringLiteral("INSERT INTO PERSON_POLICY (KOD_PERSON, PARAM1, PARAM3) VALUES (:KP, :P1, :P3)"));
        q->param(QStringLiteral("KP")).setInt64(kod);
        q->param(QStringLiteral("P1")).setInt(1);
        q->param(QStringLiteral("P3")).setString(QStringLiteral("Все права"));
        q->execSql();
    }
    // The users' list follows the commit, standing on the saved user.
    Form_Base->List_Person->standOn(kod);
    w.commit(QStringLiteral("Настройка"), PersonSavedText(newUser, fio, login));
    BitBtn4->click();
}
