#include "Unit_Net.h"

#include "InputDialogs.h"
#include "Scaling.h"
#include "Unit_Psw.h"
#include "util/Messages.h"
#include "util/ProgramFiles.h"
#include "util/Unit_Util.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

FirstUse<TForm_Net> Form_Net;

std::function<QString(QWidget*)> TForm_Net::pickDatabaseFile = [](QWidget* parent) {
    return QFileDialog::getOpenFileName(parent, QStringLiteral("База данных"), QString(),
                                        QStringLiteral("База данных FireBird (*.fdb)"));
};

namespace {
const QString kDigitsText = QStringLiteral("В поле должно быть не менее одной и не более трёх цифр");
const QString kDatabaseFile = QStringLiteral("basecalc.fdb");
} // namespace

QString DefaultDatabasePath() { return programFolder() + kDatabaseFile; }

namespace {

// "HOST/PORT" of a connection's head: the host, and the port when one is named.
QString cutPort(const QString& head, QString* port)
{
    const int slash = static_cast<int>(head.indexOf(QLatin1Char('/')));
    if (slash < 0)
        return head;
    *port = head.mid(slash + 1);
    return head.left(slash);
}

} // namespace

std::optional<NetForm> NetFormFromLines(const QString& mode, const QString& connection)
{
    NetForm f;
    const QString m = mode.toUpper();
    const int colon = static_cast<int>(connection.indexOf(QLatin1Char(':')));
    if (m == QLatin1String("LOCAL")) {
        f.mode = 0;
        if (colon < 0)
            return f;
        const QString host = cutPort(connection.left(colon), &f.port);
        if (!host.isEmpty())
            f.host = host;
        f.path = connection.mid(colon + 1);
        return f;
    }
    if (m == QLatin1String("NET-IP")) {
        f.mode = 1;
        QString rest = cutPort(colon < 0 ? connection : connection.left(colon), &f.port);
        for (int i = 0; i < 4; ++i) {
            const int at = i < 3 ? static_cast<int>(rest.indexOf(QLatin1Char('.'))) : -1;
            if (at < 0) {
                f.ip[i] = rest;
                rest.clear();
                continue;
            }
            f.ip[i] = rest.left(at);
            rest = rest.mid(at + 1);
        }
        f.path = colon < 0 ? QString() : connection.mid(colon + 1);
        return f;
    }
    return std::nullopt;
}

namespace {

// Empty (the standard port) or a number from 1 to 65535, digits only.
bool PortFits(const QString& port)
{
    if (port.isEmpty())
        return true;
    for (QChar c : port)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return port.size() <= 5 && port.toInt() >= 1 && port.toInt() <= 65535;
}

const NetRefusal kPortRefusal{QStringLiteral("Порт сервера должен быть числом от 1 до 65535 или не указан !"), 5};

} // namespace

std::optional<NetRefusal> CheckNetForm(const NetForm& f, const std::function<bool(const QString&)>& fileExists)
{
    if (f.mode == 0) {
        if (f.path.size() < 15)
            return NetRefusal{QStringLiteral("Укажите путь к базе данных !!!"), 4};
        if (!fileExists(f.path))
            return NetRefusal{QStringLiteral("По указанному пути файл не найден !!!"), 4};
        if (!PortFits(f.port))
            return kPortRefusal;
        return std::nullopt;
    }
    for (int i = 0; i < 4; ++i)
        if (f.ip[i].isEmpty() || f.ip[i].size() > 3)
            return NetRefusal{kDigitsText, i};
    for (int i = 0; i < 4; ++i)
        for (QChar c : f.ip[i])
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return NetRefusal{kDigitsText, i};
    if (!PortFits(f.port))
        return kPortRefusal;
    // The path as the server sees it: a drive path ("D:\Data\basecalc.fdb") or
    // an absolute path of the server's file system.
    const QString& p = f.path;
    const bool drivePath = p.size() >= 3 && p.mid(1, 2) == QLatin1String(":\\");
    const bool serverPath = p.startsWith(QLatin1Char('/'));
    if (p.size() < 15 || !(drivePath || serverPath) || p.right(12).toUpper() != kDatabaseFile.toUpper())
        return NetRefusal{QStringLiteral("Путь к базе данных указан неверно !"), 4};
    return std::nullopt;
}

std::pair<QString, QString> NetLinesFromForm(const NetForm& f)
{
    const QString port = f.port.isEmpty() ? QString() : QLatin1Char('/') + f.port;
    if (f.mode == 0)
        return {QStringLiteral("Local"), f.host + port + QLatin1Char(':') + f.path};
    return {QStringLiteral("Net-IP"),
            f.ip[0] + QLatin1Char('.') + f.ip[1] + QLatin1Char('.') + f.ip[2] + QLatin1Char('.') + f.ip[3] + port +
                QLatin1Char(':') + f.path};
}

// ---- TForm_Net ----

TForm_Net::TForm_Net(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setWindowTitle(QStringLiteral("Настройка программы для работы в сети"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);

    RadioGroup1 = new TRadioGroup(QStringLiteral("Режим работы программы"),
                                  {QStringLiteral("Локальный (программа и база на одном компьютере)"),
                                   QStringLiteral("Сетевой   (необходимо знать IP адрес сервера)")},
                                  this);
    RadioGroup1->setItemIndex(0);
    layout->addWidget(RadioGroup1);

    auto* ipLabel = new QLabel(QStringLiteral("IP Адрес сервера"), this);
    layout->addWidget(ipLabel);
    auto* ipRow = new QHBoxLayout;
    E_IP1 = new QLineEdit(this);
    E_IP2 = new QLineEdit(this);
    E_IP3 = new QLineEdit(this);
    E_IP4 = new QLineEdit(this);
    int part = 1;
    for (QLineEdit* e : ipEdits()) {
        e->setMaxLength(3);
        e->setFixedWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 12);
        e->setAccessibleName(QStringLiteral("IP Адрес сервера, часть %1").arg(part));
        ipRow->addWidget(e);
        if (part < 4)
            ipRow->addWidget(new QLabel(QStringLiteral("."), this));
        ++part;
    }
    ipRow->addStretch();
    layout->addLayout(ipRow);
    auto* portRow = new QHBoxLayout;
    auto* portLabel = new QLabel(QStringLiteral("Порт сервера (не указан: 3050)"), this);
    E_Port = new QLineEdit(this);
    E_Port->setMaxLength(5);
    E_Port->setFixedWidth(E_Port->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 12);
    E_Port->setAccessibleName(portLabel->text());
    portRow->addWidget(portLabel);
    portRow->addWidget(E_Port);
    portRow->addStretch();
    layout->addLayout(portRow);
    layout->addWidget(new QLabel(QStringLiteral("Проверте, установлен ли протокол TCP/IP"), this));

    auto* pathLabel = new QLabel(QStringLiteral("Путь к базе данных"), this);
    layout->addWidget(pathLabel);
    auto* pathRow = new QHBoxLayout;
    E_Path = new QLineEdit(DefaultDatabasePath(), this);
    E_Path->setAccessibleName(pathLabel->text());
    E_Path->setMinimumWidth(E_Path->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 48);
    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setText(QStringLiteral("..."));
    SpeedButton1->setToolTip(QStringLiteral("Выбрать файл базы данных"));
    pathRow->addWidget(E_Path);
    pathRow->addWidget(SpeedButton1);
    layout->addLayout(pathRow);
    auto* note = new QLabel(QStringLiteral("Путь к базе данных всегда указывается так, как он виден на компьютере, "
                                           "где лежит база, а не через сетевой диск. Например:\n") +
                                DefaultDatabasePath() +
                                QStringLiteral("\nили, на сервере, D:\\Data\\basecalc.fdb или /var/lib/firebird/data/basecalc.fdb"),
                            this);
    note->setWordWrap(true);
    layout->addWidget(note);

    Btn_Default = new QPushButton(QStringLiteral("Восстановить установки по умолчанию"), this);
    BitBtn2 = new QPushButton(QStringLiteral("Системный пароль для соединения с базой данных"), this);
    layout->addWidget(Btn_Default);
    layout->addWidget(BitBtn2);
    layout->addSpacing(6);
    const InputButtons buttons = AddInputButtons(this, layout, true);
    BtnOK = buttons.ok;
    BtnCancel = buttons.cancel;
    BitBtn1 = buttons.hiddenOk;

    connect(RadioGroup1, &TRadioGroup::clicked, this, [this](int) { RadioGroup1Click(); });
    connect(Btn_Default, &QPushButton::clicked, this, [this] { Btn_DefaultClick(); });
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });
    connect(BtnOK, &QPushButton::clicked, this, [this] { Guard([this] { BtnOKClick(); }); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { BitBtn2Click(); });
    FormCreate();
}

TForm_Net::~TForm_Net()
{
    if (Form_Net.made() == this)
        Form_Net = nullptr;
}

void TForm_Net::FormCreate()
{
    RadioGroup1Click();
    adjustSize();
    ScaleWindow(this, false);
}

void TForm_Net::showEvent(QShowEvent* event)
{
    Guard([this] { FormShow(); });
    QDialog::showEvent(event);
}

void TForm_Net::FormShow()
{
    const NetSettings s = readNetTxt();
    const std::optional<NetForm> f = NetFormFromLines(s.mode, s.connection);
    if (!f)
        return;
    E_Path->setText(f->path);
    E_Port->setText(f->port);
    localHost_ = f->host;
    if (f->mode == 1) {
        E_IP1->setText(f->ip[0]);
        E_IP2->setText(f->ip[1]);
        E_IP3->setText(f->ip[2]);
        E_IP4->setText(f->ip[3]);
    }
    RadioGroup1->setItemIndex(f->mode);
    RadioGroup1Click();
}

void TForm_Net::RadioGroup1Click()
{
    const bool network = RadioGroup1->itemIndex() == 1;
    for (QLineEdit* e : ipEdits())
        SetFieldEnabled(e, network);
}

void TForm_Net::Btn_DefaultClick()
{
    RadioGroup1->setItemIndex(0);
    RadioGroup1Click();
    E_Path->setText(DefaultDatabasePath());
    E_Port->clear();
    localHost_ = QStringLiteral("localhost");
}

void TForm_Net::SpeedButton1Click()
{
    const QString file = pickDatabaseFile ? pickDatabaseFile(this) : QString();
    if (!file.isEmpty())
        E_Path->setText(file);
}

void TForm_Net::BtnOKClick()
{
    NetForm f;
    f.mode = RadioGroup1->itemIndex() == 1 ? 1 : 0;
    const QList<QLineEdit*> ip = ipEdits();
    for (int i = 0; i < 4; ++i)
        f.ip[i] = ip[i]->text();
    f.path = E_Path->text();
    f.port = E_Port->text().trimmed();
    f.host = localHost_;
    if (const auto refusal = CheckNetForm(f, [](const QString& p) { return QFileInfo(p).isFile(); })) {
        Msg::notice(refusal->text);
        (refusal->field < 4 ? ip[refusal->field] : refusal->field == 4 ? E_Path : E_Port)->setFocus();
        return;
    }
    const auto lines = NetLinesFromForm(f);
    writeNetTxt({lines.first, lines.second});
    BitBtn1->click();
}

void TForm_Net::BitBtn2Click()
{
    if (Form_Psw)
        Msg::execModal(Form_Psw);
}
