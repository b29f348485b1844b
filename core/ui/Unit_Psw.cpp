#include "Unit_Psw.h"

#include "InputDialogs.h"
#include "Scaling.h"
#include "Unit_Main.h"
#include "db/Database.h"
#include "util/Messages.h"
#include "util/ProgramFiles.h"
#include "util/Unit_Util.h"

#include <QGridLayout>
#include <QVBoxLayout>

FirstUse<TForm_Psw> Form_Psw;

std::optional<PswRefusal> CheckOwnPassword(const QString& password, const QString& confirmation)
{
    if (password.isEmpty())
        return PswRefusal{QStringLiteral("Вы не ввели пароль !!!"), false};
    if (password != confirmation)
        return PswRefusal{QStringLiteral("Пароль и подтверждение пароля не совпадают !!!"), true};
    if (password.size() < 6 || password.size() > 8)
        return PswRefusal{QStringLiteral("Длинна пароля должна быть не меньше 6 и не больше 8 символов !!!"), true};
    for (QChar c : password) {
        const bool latin = (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
                           (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
                           (c >= QLatin1Char('0') && c <= QLatin1Char('9'));
        if (!latin)
            return PswRefusal{QStringLiteral("Пароль должен состоять только из латинских букв и цифр без пробелов !!!"),
                              true};
    }
    return std::nullopt;
}

TForm_Psw::TForm_Psw(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setWindowTitle(QStringLiteral("Системный пароль доступа к базе данных"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    Label1 = new QLabel(QStringLiteral("В Н И М А Н И Е !!!\n"
                                       "Системный пароль меняйте в программе только после того,\n"
                                       "как он изменён в самой базе данных средствами сервера.\n"
                                       "Прочтите инструкцию."),
                        this);
    Label1->setAlignment(Qt::AlignCenter);
    layout->addWidget(Label1);

    RadioGroup1 = new TRadioGroup(QStringLiteral("Какой пароль используется для доступа к Б/Д"),
                                  {QStringLiteral("Системный пароль по умолчанию"), QStringLiteral("Собственный пароль")},
                                  this);
    RadioGroup1->setItemIndex(0);
    layout->addWidget(RadioGroup1);

    auto* grid = new QGridLayout;
    Label2 = new QLabel(QStringLiteral("Пароль"), this);
    EPsw = new QLineEdit(this);
    EPsw->setEchoMode(QLineEdit::Password);
    EPsw->setAccessibleName(Label2->text());
    Label3 = new QLabel(QStringLiteral("Подтверждение пароля"), this);
    EPsw2 = new QLineEdit(this);
    EPsw2->setEchoMode(QLineEdit::Password);
    EPsw2->setAccessibleName(Label3->text());
    grid->addWidget(Label2, 0, 0);
    grid->addWidget(EPsw, 0, 1);
    grid->addWidget(Label3, 1, 0);
    grid->addWidget(EPsw2, 1, 1);
    layout->addLayout(grid);
    layout->addSpacing(6);

    const InputButtons buttons = AddInputButtons(this, layout, true);
    BitBtn1 = buttons.ok;
    BitBtn2 = buttons.cancel;
    BitBtn3 = buttons.hiddenOk;

    connect(RadioGroup1, &TRadioGroup::clicked, this, [this](int) { RadioGroup1Click(); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { Guard([this] { BitBtn1Click(); }); });
    FormCreate();
}

TForm_Psw::~TForm_Psw()
{
    if (Form_Psw.made() == this)
        Form_Psw = nullptr;
}

void TForm_Psw::FormCreate()
{
    RadioGroup1Click();
    adjustSize();
    ScaleWindow(this, false);
    // The warning stands in the middle of the dialog.
    Label1->setMinimumWidth(Label1->sizeHint().width());
}

void TForm_Psw::RadioGroup1Click()
{
    const bool own = RadioGroup1->itemIndex() == 1;
    for (QWidget* w : {static_cast<QWidget*>(Label2), static_cast<QWidget*>(EPsw), static_cast<QWidget*>(Label3),
                       static_cast<QWidget*>(EPsw2)})
        w->setVisible(own);
}

void TForm_Psw::BitBtn1Click()
{
    if (RadioGroup1->itemIndex() != 1) {
        if (!Msg::confirm(QStringLiteral("Вы действительно желаете чтобы программа обращалась к базе данных с "
                                         "системным паролем по умолчанию ?"),
                          QStringLiteral("Смена системного пароля")))
            return;
        EPsw->setText(QString::fromLatin1(db::ConnectParams().password));
    } else if (const auto refusal = CheckOwnPassword(EPsw->text(), EPsw2->text())) {
        Msg::notice(refusal->text);
        if (refusal->clearEdits) {
            EPsw->clear();
            EPsw2->clear();
        }
        EPsw->setFocus();
        return;
    }
    writePswTxt(EPsw->text().toLatin1(), Form_Util->scrambler());
    BitBtn3->click();
    Msg::notice(QStringLiteral("Для того чтоб изменения вступили в силу, необходимо перезапустить программу !"));
    if (Form_Main)
        Form_Main->close();
}
