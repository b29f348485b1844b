#include "Unit_Vhod.h"
#include "engine/EngineDb.h"

#include "InputDialogs.h"
#include "Scaling.h"
#include "Unit_Main.h"
#include "base/Unit_Base.h"
#include "db/Codec.h"
#include "util/Globals.h"
#include "util/Messages.h"
#include "util/Unit_Util.h"

#include <QCompleter>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

TForm_Vhod* Form_Vhod = nullptr;
FirstUse<TForm_VhodHelp> Form_VhodHelp;

namespace {
// PERSON.LOGIN holds at most this many characters.
constexpr int kLoginLength = 20;
} // namespace

LoginUser CheckLogin(const QString& login, const QString& password)
{
    LoginUser user;
    if (login.isEmpty())
        return user;
    user.result = LoginCheck::NoSuchUser;
    if (login.size() > kLoginLength)
        return user;  // longer than any stored login
    const auto reader = engine::Reader(engine::ProgramContext());
    db::Query* q = reader.get();
    q->setSql(QStringLiteral("SELECT * FROM PERSON WHERE LOGIN = :LO"));
    q->param(QStringLiteral("LO")).setString(login);
    q->open();
    // The server ignores trailing blanks in the comparison; the login must match exactly.
    bool found = false;
    for (q->first(); !q->eof(); q->next())
        if (q->field(QStringLiteral("LOGIN")).asString() == login) {
            found = true;
            break;
        }
    if (!found) {
        q->close();
        return user;
    }
    // A password no user could have been given (characters outside Windows-1251) is simply wrong.
    if (!db::unstorableCharacters(password).isEmpty()) {
        q->close();
        user.result = LoginCheck::WrongPassword;
        return user;
    }
    const QByteArray entered = password.isEmpty() ? QByteArray(kNoPasswordMarker) : db::toCp1251(password);
    const QByteArray stored = Form_Util->UnscrambleString(q->field(QStringLiteral("PASSW")).asBytes());
    if (entered != stored) {
        q->close();
        user.result = LoginCheck::WrongPassword;
        return user;
    }
    user.result = LoginCheck::Ok;
    user.kod = q->field(QStringLiteral("KOD")).asInt64();
    user.fio = q->field(QStringLiteral("FIO")).asString();
    q->close();
    return user;
}

void LogInUser(const LoginUser& user, const QString& login)
{
    CurrentUserFio = user.fio;
    CurrentUserLogin = login;
    CurrentUserKod = user.kod;
    Form_Util->LoadUserRights(CurrentUserKod);
    WriteTransaction w(WriteTransaction::Reserve::Protocol);
    w.commit(QStringLiteral("Система"), QStringLiteral("Открытие программы"));
}

// ---- TForm_Vhod ----

TForm_Vhod::TForm_Vhod(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setWindowTitle(QStringLiteral("Вход в систему"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    Label1 = new QLabel(QStringLiteral("Введите или выберите мышкой\nлогин пользователя\nи наберите его пароль"), this);
    Label1->setAlignment(Qt::AlignCenter);
    layout->addWidget(Label1);

    auto* loginLabel = new QLabel(QStringLiteral("Логин"), this);
    layout->addWidget(loginLabel);
    ComboBox1 = new QComboBox(this);
    loginLabel->setBuddy(ComboBox1);  // the labels name their fields for a screen reader
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->setMinimumWidth(240);
    // Logins differing only in case are different users: match them exactly.
    ComboBox1->completer()->setCaseSensitivity(Qt::CaseSensitive);
    // Typing the start of a login completes it in the field, so Enter logs in with the whole login.
    ComboBox1->completer()->setCompletionMode(QCompleter::InlineCompletion);
    ComboBox1->lineEdit()->installEventFilter(this);
    layout->addWidget(ComboBox1);

    auto* passwordLabel = new QLabel(QStringLiteral("Пароль"), this);
    layout->addWidget(passwordLabel);
    auto* pass = new QHBoxLayout;
    Edit1 = new QLineEdit(this);
    passwordLabel->setBuddy(Edit1);
    Edit1->setEchoMode(QLineEdit::Password);
    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setText(QStringLiteral("?"));
    SpeedButton1->setToolTip(QStringLiteral("Сразу после установки паролей нет !!!"));
    pass->addWidget(Edit1);
    pass->addWidget(SpeedButton1);
    layout->addLayout(pass);

    layout->addSpacing(6);
    const InputButtons buttons = AddInputButtons(this, layout, true);
    BitBtn1 = buttons.ok;
    BitBtn2 = buttons.cancel;
    BitBtn4 = buttons.hiddenOk;

    connect(BitBtn1, &QPushButton::clicked, this, [this] { Guard([this] { BitBtn1Click(); }); });
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });
    FormCreate();
}

TForm_Vhod::~TForm_Vhod()
{
    if (Form_Vhod == this)
        Form_Vhod = nullptr;
}

void TForm_Vhod::FormCreate()
{
    // The help button stands level with the password field.
    SpeedButton1->setFixedHeight(Edit1->sizeHint().height());
    SpeedButton1->setFixedWidth(Edit1->sizeHint().height());
    adjustSize();
    ScaleWindow(this, false);
}

void TForm_Vhod::showEvent(QShowEvent* event)
{
    // Each log-in starts with both fields empty: nothing typed for an earlier
    // one, a password least of all, is offered again.
    ComboBox1->setCurrentIndex(-1);
    ComboBox1->setEditText(QString());
    Edit1->clear();
    ComboBox1->setFocus();
    // The dialog comes up in the middle of the screen.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect g = screen->availableGeometry();
        move(g.center() - QPoint(width() / 2, height() / 2));
    }
    QDialog::showEvent(event);
}

bool TForm_Vhod::eventFilter(QObject* watched, QEvent* event)
{
    // Enter in the login field is OK with the login as completed: the field
    // itself would only take the completion and keep the dialog open.
    if (watched == ComboBox1->lineEdit() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && isVisible()) {
            ComboBox1->lineEdit()->deselect();
            BitBtn1->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TForm_Vhod::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    FormHide();
}

void TForm_Vhod::FormHide()
{
    if (Form_VhodHelp.made())
        Form_VhodHelp->hide();
}

void TForm_Vhod::FillLogins(const QStringList& logins)
{
    ComboBox1->clear();
    ComboBox1->addItems(logins);
    ComboBox1->setCurrentIndex(-1);
    ComboBox1->setEditText(QString());
}

void TForm_Vhod::SpeedButton1Click()
{
    if (!Form_VhodHelp)
        return;
    if (Form_Main)
        Form_VhodHelp->move(Form_Main->pos());
    Form_VhodHelp->setVisible(!Form_VhodHelp->isVisible());
}

void TForm_Vhod::BitBtn1Click()
{
    const QString login = ComboBox1->currentText();
    const LoginUser user = CheckLogin(login, Edit1->text());
    switch (user.result) {
    case LoginCheck::NoLogin:
        Msg::notice(QStringLiteral("Вы не ввели Логин пользователя !!"));
        ComboBox1->setFocus();
        return;
    case LoginCheck::NoSuchUser:
        Msg::notice(QStringLiteral("Нет такого пользователя !"));
        ComboBox1->setFocus();
        return;
    case LoginCheck::WrongPassword:
        Msg::notice(QStringLiteral("Неверный пароль !"));
        return;
    case LoginCheck::Ok:
        break;
    }
    LogInUser(user, login);
    BitBtn4->click();
}

// ---- TForm_VhodHelp ----

namespace {

// A log-in form drawn with the administrator's login and an empty password.
QPixmap helpPicture()
{
    const int w = 360, h = 170;
    QPixmap pm(w, h);
    pm.fill(QColor(0xf4, 0xef, 0xe4));
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QFont f = p.font();
    f.setPointSizeF(10);
    p.setFont(f);
    p.setPen(QColor(60, 60, 60));
    p.drawText(QRect(20, 14, 120, 20), Qt::AlignVCenter, QStringLiteral("Логин"));
    p.drawText(QRect(20, 70, 120, 20), Qt::AlignVCenter, QStringLiteral("Пароль"));
    p.setBrush(Qt::white);
    p.setPen(QColor(120, 120, 120));
    p.drawRect(20, 36, 200, 24);
    p.drawRect(20, 92, 200, 24);
    p.setPen(Qt::black);
    p.drawText(QRect(26, 36, 190, 24), Qt::AlignVCenter, QStringLiteral("Администратор"));
    p.setPen(QColor(0x7a, 0x1f, 0x1f));
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRect(232, 92, 120, 24), Qt::AlignVCenter, QStringLiteral("← пусто"));
    f.setBold(false);
    p.setFont(f);
    p.drawText(QRect(20, 126, 330, 36), Qt::AlignLeft | Qt::TextWordWrap,
               QStringLiteral("Выберите \"Администратор\" и оставьте пароль пустым."));
    return pm;
}

} // namespace

TForm_VhodHelp::TForm_VhodHelp(QWidget* parent) : QWidget(parent, Qt::Tool)
{
    setWindowTitle(QStringLiteral("Сразу после установки паролей нет !!!"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    Image1 = new QLabel(this);
    Image1->setPixmap(helpPicture());
    layout->addWidget(Image1);
    adjustSize();
}

TForm_VhodHelp::~TForm_VhodHelp()
{
    if (Form_VhodHelp.made() == this)
        Form_VhodHelp = nullptr;
}
