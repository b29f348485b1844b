#include "Unit_Personal.h"
#include "engine/EngineDb.h"
#include "engine/ShownRow.h"

#include "InputDialogs.h"
#include "Scaling.h"
#include "Unit_Name.h"
#include "Unit_Person.h"
#include "Unit_Policy.h"
#include "UserLists.h"
#include "base/Unit_Base.h"
#include "grid/ListHolder.h"
#include "db/Codec.h"
#include "util/Globals.h"
#include "util/Messages.h"
#include "util/Unit_Util.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

FirstUse<TForm_Personal> Form_Personal;
FirstUse<TForm_User> Form_User;

namespace {
const QString kAdmin = QStringLiteral("Администратор");

QList<db::GridColumn> personColumns()
{
    return {{QStringLiteral("LOGIN"), QStringLiteral("Логин"), 140}, {QStringLiteral("FIO"), QStringLiteral("Ф.И.О."), 260}};
}

bool hasRows(const db::Query* q) { return q && q->active() && !q->isEmpty(); }
} // namespace

TForm_Personal::TForm_Personal(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setWindowTitle(QStringLiteral("Персонал"));
    QPolicy = new db::Query(Form_Base->MyDB, Form_Base->TransactionRead, this);
    auto* layout = new QHBoxLayout(this);

    auto* left = new QVBoxLayout;
    Grid_Person = new db::DbGrid(this);
    Grid_Person->setQuery(Form_Base->QPerson);
    Grid_Person->setColumns(personColumns());
    Grid_Person->setAccessibleName(QStringLiteral("Пользователи"));
    left->addWidget(Grid_Person);
    auto* userButtons = new QHBoxLayout;
    Btn_Add = new QPushButton(QStringLiteral("Создать"), this);
    Btn_Upd = new QPushButton(QStringLiteral("Изменить"), this);
    Btn_Del = new QPushButton(QStringLiteral("Удалить"), this);
    for (QPushButton* b : {Btn_Add, Btn_Upd, Btn_Del})
        userButtons->addWidget(b);
    left->addLayout(userButtons);
    layout->addLayout(left, 3);

    auto* right = new QVBoxLayout;
    Grid_Policy = new db::DbGrid(this);
    Grid_Policy->setQuery(QPolicy);
    Grid_Policy->setColumns({{QStringLiteral("PARAM3"), QStringLiteral("Доступные права пользователя"), 260}});
    right->addWidget(Grid_Policy);
    Btn_Edit_Policy = new QPushButton(QStringLiteral("Изменить"), this);
    Btn_Edit_Policy->setAccessibleName(QStringLiteral("Изменить права"));
    right->addWidget(Btn_Edit_Policy);
    layout->addLayout(right, 2);

    Grid_Person->horizontalHeader()->setStretchLastSection(true);
    Grid_Policy->horizontalHeader()->setStretchLastSection(true);
    Grid_Person->setEditButton(Btn_Upd);
    Grid_Policy->setEditButton(Btn_Edit_Policy);
    connect(Btn_Add, &QPushButton::clicked, this, [this] { Guard([this] { Btn_AddClick(); }); });
    connect(Btn_Upd, &QPushButton::clicked, this, [this] { Guard([this] { Btn_UpdClick(); }); });
    connect(Btn_Del, &QPushButton::clicked, this, [this] { Guard([this] { Btn_DelClick(); }); });
    connect(Btn_Edit_Policy, &QPushButton::clicked, this, [this] { Guard([this] { Btn_Edit_PolicyClick(); }); });

    resize(720, 420);
    ScaleWindow(this, false);
}

TForm_Personal::~TForm_Personal()
{
    if (Form_Personal.made() == this)
        Form_Personal = nullptr;
}

void TForm_Personal::ReloadRights()
{
    QPolicy->close();
    db::Query* person = Form_Base->QPerson;
    if (hasRows(person))
        Form_Base->OpenRead(QPolicy, QStringLiteral("SELECT * FROM PERSON_POLICY WHERE KOD_PERSON = ") +
                                         Key(person->field(QStringLiteral("KOD")).asInt64()) +
                                         QStringLiteral(" ORDER BY PARAM1"));
    Grid_Policy->release();
}

void TForm_Personal::Btn_AddClick()
{
    TForm_Person* card = Form_Person;
    for (QLineEdit* e : {card->E_FIO, card->E_Login, card->E_Pass1, card->E_Pass2})
        e->clear();
    card->newUser = true;
    card->editKod = 0;
    card->editLogin.clear();
    card->Shown = {};
    if (Msg::execModal(card) == QDialog::Accepted)
        ReloadRights();
}

void TForm_Personal::Btn_UpdClick()
{
    db::Query* person = Form_Base->QPerson;
    if (!hasRows(person))
        return;
    const QString login = person->field(QStringLiteral("LOGIN")).asString();
    const QByteArray stored = Form_Util->UnscrambleString(person->field(QStringLiteral("PASSW")).asBytes());
    if (login.toUpper() == kAdmin.toUpper()) {
        if (CurrentUserFio.toUpper() != kAdmin.toUpper()) {
            Msg::notice(QStringLiteral("Пароль Администратора может изменить только Администратор !!!"));
            return;
        }
        TForm_Name* input = Form_Name;
        input->setWindowTitle(QStringLiteral("Введите пароль администратора"));
        input->Edit1->clear();
        input->Edit1->setEchoMode(QLineEdit::Password);
        input->DateTimePicker1->hide();
        input->Panel2->hide();
        input->acceptsEmpty = true;  // the administrator may have no password
        const bool ok = Msg::execModal(input) == QDialog::Accepted;
        const QString entry = input->Edit1->text();
        input->acceptsEmpty = false;
        input->Edit1->setEchoMode(QLineEdit::Normal);
        input->Edit1->clear();
        if (!ok)
            return;
        // A password no user could have been given (characters outside Windows-1251) is simply wrong.
        const bool storable = db::unstorableCharacters(entry).isEmpty();
        const QByteArray entered = !storable ? QByteArray() : entry.isEmpty() ? QByteArray(kNoPasswordMarker) : db::toCp1251(entry);
        if (!storable || entered != stored) {
            Msg::notice(QStringLiteral("Неверный пароль !"));
            return;
        }
    }
    TForm_Person* card = Form_Person;
    card->E_FIO->setText(person->field(QStringLiteral("FIO")).asString());
    card->E_Login->setText(login);
    const QString pass = stored == QByteArray(kNoPasswordMarker) ? QString() : db::fromCp1251(stored);
    card->E_Pass1->setText(pass);
    card->E_Pass2->setText(pass);
    card->newUser = false;
    card->editKod = person->field(QStringLiteral("KOD")).asInt64();
    card->editLogin = login;
    card->Shown = PersonShown(*person);
    Msg::execModal(card);
}

void TForm_Personal::Btn_DelClick()
{
    db::Query* person = Form_Base->QPerson;
    if (!hasRows(person))
        return;
    const QString login = person->field(QStringLiteral("LOGIN")).asString();
    const QString fio = person->field(QStringLiteral("FIO")).asString();
    const qint64 kod = person->field(QStringLiteral("KOD")).asInt64();
    if (login == kAdmin) {
        Msg::notice(QStringLiteral("Нелзя удалить запись \"Администратор\" !!!"));
        return;
    }
    if (!Msg::confirmDestructive(QStringLiteral("Вы действительно желаете удалить этого пользователя из системы ?"),
                                 QStringLiteral("Удаление пользователя")))
        return;
    // The row before the deleted one keeps the cursor (the one after, for the first row).
    const qint64 keep = db::KeyBefore(person);
    WriteTransaction w(WriteTransaction::Reserve::Users);
    engine::ClaimRow(w.context(), QStringLiteral("PERSON"), kod, fio);
    const auto writer = engine::Writer(w.context());
    db::Query* q = writer.get();
    q->setSql(QStringLiteral("DELETE FROM PERSON_POLICY WHERE KOD_PERSON = ") + Key(kod));
    q->execSql();
    q->setSql(QStringLiteral("DELETE FROM PERSON WHERE KOD = ") + Key(kod));
    q->execSql();
    Form_Base->List_Person->standOn(keep);
    w.commit(QStringLiteral("Настройка"),
             QStringLiteral("Удалён пользователь <<") + fio + QStringLiteral(">> Логин <<") + login +
                            QStringLiteral(">>"));
    ReloadRights();
}

void TForm_Personal::Btn_Edit_PolicyClick()
{
    db::Query* person = Form_Base->QPerson;
    if (!hasRows(person))
        return;
    const QString login = person->field(QStringLiteral("LOGIN")).asString();
    const qint64 kod = person->field(QStringLiteral("KOD")).asInt64();
    if (login.toUpper() == kAdmin.toUpper()) {
        Msg::notice(QStringLiteral("Нельзя поменять права пользователю \"Администратор\" !!!"));
        return;
    }
    if (kod == CurrentUserKod) {
        Msg::notice(QStringLiteral("Нельзя поменять права самому себе !!!"));
        return;
    }
    ReloadRights();
    QList<int> numbers;
    for (QPolicy->first(); !QPolicy->eof(); QPolicy->next())
        numbers.append(QPolicy->field(QStringLiteral("PARAM1")).asInt());
    QPolicy->first();
    TForm_Policy* editor = Form_Policy;
    editor->ShowRights(numbers);
    editor->personKod = kod;
    editor->personFio = person->field(QStringLiteral("FIO")).asString();
    editor->personLogin = login;
    Msg::execModal(editor);
    ReloadRights();
}

// ---- TForm_User ----

TForm_User::TForm_User(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setWindowTitle(QStringLiteral("Выбор пользователя"));
    auto* layout = new QVBoxLayout(this);
    CB_All = new QCheckBox(QStringLiteral("Выбрать данные за всех пользователей"), this);
    CB_All->setChecked(true);
    layout->addWidget(CB_All);
    Grid_User = new db::DbGrid(this);
    Grid_User->setQuery(Form_Base->QPerson);
    Grid_User->setColumns(personColumns());
    Grid_User->setAccessibleName(QStringLiteral("Пользователи"));
    Grid_User->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(Grid_User);
    const InputButtons buttons = AddInputButtons(this, layout, true);
    BitBtn1 = buttons.ok;
    BitBtn2 = buttons.cancel;
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(CB_All, &QCheckBox::toggled, this, [this] { CB_AllClick(); });
    CB_AllClick();
    resize(460, 360);
    ScaleWindow(this, false);
}

TForm_User::~TForm_User()
{
    if (Form_User.made() == this)
        Form_User = nullptr;
}

void TForm_User::CB_AllClick() { SetFieldEnabled(Grid_User, !CB_All->isChecked()); }
