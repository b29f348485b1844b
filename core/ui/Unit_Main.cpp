#include "Unit_Main.h"

#include "AnalogClock.h"
#include "Scaling.h"
#include "base/Unit_Base.h"
#include "engine/WriteRoad.h"
#include "schema/Schema.h"
#include "util/Globals.h"
#include "util/Messages.h"
#include "util/ProgramFiles.h"
#include "util/Unit_Util.h"

#include "util/Clock.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QFile>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPainter>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>

TForm_Main* Form_Main = nullptr;

namespace {

// A die face for the decorative images of the start page.
QPixmap diePixmap(int pips, int size)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(250, 250, 245));
    p.setPen(QPen(QColor(90, 90, 90), 1.5));
    p.drawRoundedRect(QRectF(1.5, 1.5, size - 3, size - 3), size / 6.0, size / 6.0);
    p.setBrush(QColor(160, 20, 20));
    p.setPen(Qt::NoPen);
    const double c = size / 2.0, d = size / 4.0, r = size / 11.0;
    auto pip = [&](double x, double y) { p.drawEllipse(QPointF(x, y), r, r); };
    if (pips % 2)
        pip(c, c);
    if (pips >= 2) {
        pip(c - d, c - d);
        pip(c + d, c + d);
    }
    if (pips >= 4) {
        pip(c + d, c - d);
        pip(c - d, c + d);
    }
    if (pips == 6) {
        pip(c - d, c);
        pip(c + d, c);
    }
    return pm;
}

QWidget* page(QWidget* parent)
{
    auto* w = new QWidget(parent);
    new QVBoxLayout(w);
    return w;
}

} // namespace

QString TForm_Main::ContactMail() { return QStringLiteral("support@tarelia.local"); }

TForm_Main::TForm_Main(QWidget* parent) : QMainWindow(parent)
{
    QFont f = font();
    f.setPointSizeF(8.25);
    setFont(f);
    resize(800, 600);

    Stack = new QStackedWidget(this);
    setCentralWidget(Stack);
    Sheet_Hello = new QWidget(Stack);
    Sheet_Hello->setObjectName(QStringLiteral("Sheet_Hello"));
    Stack->addWidget(Sheet_Hello);

    PageControl1 = new QTabWidget(Stack);
    Stack->addWidget(PageControl1);
    Sheet_Ing = new QWidget(PageControl1);
    auto* ingLayout = new QVBoxLayout(Sheet_Ing);
    ingLayout->setContentsMargins(2, 2, 2, 2);
    PageControl2 = new QTabWidget(Sheet_Ing);
    ingLayout->addWidget(PageControl2);
    Sheet_All_Ing = page(PageControl2);
    Sheet_Sklad_Ing = page(PageControl2);
    Sheet_Move = page(PageControl2);
    PageControl2->addTab(Sheet_All_Ing, QStringLiteral("Номенклатура продуктов и блюд"));
    PageControl2->addTab(Sheet_Sklad_Ing, QStringLiteral("Наличие на складах и цены"));
    PageControl2->addTab(Sheet_Move, QStringLiteral("Движение"));
    Sheet_Menu = page(PageControl1);
    Sheet_Real = page(PageControl1);
    Sheet_Setup = page(PageControl1);
    Sheet_Reg = page(PageControl1);
    PageControl1->addTab(Sheet_Ing, QStringLiteral("Продукты и блюда"));
    PageControl1->addTab(Sheet_Menu, QStringLiteral("Меню/Наряды"));
    PageControl1->addTab(Sheet_Real, QStringLiteral("Производство и реализация"));
    PageControl1->addTab(Sheet_Setup, QStringLiteral("Настройка"));
    PageControl1->addTab(Sheet_Reg, QStringLiteral("Протокол работы"));

    buildStartPage();
    FormCreate();
}

TForm_Main::~TForm_Main()
{
    if (Form_Main == this)
        Form_Main = nullptr;
}

void TForm_Main::buildStartPage()
{
    // A palette, not a style sheet: style sheets stop the window's scaled font reaching the controls.
    Sheet_Hello->setAutoFillBackground(true);
    QPalette pal = Sheet_Hello->palette();
    pal.setColor(QPalette::Window, QColor(0xf4, 0xef, 0xe4));
    Sheet_Hello->setPalette(pal);
    auto* grid = new QGridLayout(Sheet_Hello);
    grid->setContentsMargins(24, 18, 24, 18);

    JvxLabel1 = new QLabel(QStringLiteral("Тарелия"), Sheet_Hello);
    QFont tf = JvxLabel1->font();
    tf.setPointSizeF(tf.pointSizeF() * 4);
    tf.setBold(true);
    tf.setItalic(true);
    JvxLabel1->setFont(tf);
    QPalette tp = JvxLabel1->palette();
    tp.setColor(QPalette::WindowText, QColor(0x7a, 0x1f, 0x1f));
    JvxLabel1->setPalette(tp);
    JvxLabel1->setAlignment(Qt::AlignCenter);

    auto* subtitle = new QLabel(QStringLiteral("Калькуляция, меню, склад и реализация для предприятий общественного питания"),
                                Sheet_Hello);
    subtitle->setAlignment(Qt::AlignCenter);
    subtitle->setWordWrap(true);

    JvAnalogClock1 = new TAnalogClock(Sheet_Hello);
    JvAnalogClock1->setMinimumSize(140, 140);
    Sheet_Hello->installEventFilter(this);

    Image1 = new QLabel(Sheet_Hello);
    Image1->setPixmap(diePixmap(5, 64));
    auto dice = new QHBoxLayout;
    Image2 = new QLabel(Sheet_Hello);
    Image3 = new QLabel(Sheet_Hello);
    Image4 = new QLabel(Sheet_Hello);
    Image5 = new QLabel(Sheet_Hello);
    int pips = 1;
    for (QLabel* im : {Image2, Image3, Image4, Image5}) {
        // The design width of the dice images; a window the system rescaled shows them wider.
        im->setFixedSize(49, 49);
        im->setPixmap(diePixmap(pips, 49));
        pips += 1;
        dice->addWidget(im);
    }
    dice->addStretch();

    // The log-in comes first in the focus order: the window's first focus is
    // on it, and Enter presses the button that has the focus.
    Btn_Vhod = new QPushButton(QStringLiteral("Вход в систему"), Sheet_Hello);
    Btn_Net = new QPushButton(QStringLiteral("Подключения"), Sheet_Hello);
    for (QPushButton* b : {Btn_Net, Btn_Vhod}) {
        b->setMinimumHeight(32);
        b->setAutoDefault(true);
    }
    connect(Btn_Vhod, &QPushButton::clicked, this, [this] { Guard([this] { Btn_VhodClick(); }); });
    connect(Btn_Net, &QPushButton::clicked, this, [this] { Guard([this] { Btn_NetClick(); }); });

    Label_Mail = new QLabel(QStringLiteral("<a href=\"mailto:%1\">%1</a>").arg(ContactMail()), Sheet_Hello);
    Label_Mail->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    connect(Label_Mail, &QLabel::linkActivated, this, [this] { Label_MailClick(); });
    Label_Web = new QLabel(QStringLiteral("Связь с разработчиками:"), Sheet_Hello);

    grid->addWidget(JvxLabel1, 0, 0, 1, 3);
    grid->addWidget(subtitle, 1, 0, 1, 3);
    grid->addWidget(JvAnalogClock1, 2, 0, Qt::AlignCenter);
    grid->addWidget(Image1, 2, 1, Qt::AlignCenter);
    auto* buttons = new QVBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Btn_Vhod);
    buttons->addWidget(Btn_Net);
    buttons->addStretch();
    grid->addLayout(buttons, 2, 2);
    grid->addLayout(dice, 3, 0, 1, 3);
    auto* contact = new QHBoxLayout;
    contact->addWidget(Label_Web);
    contact->addWidget(Label_Mail);
    contact->addStretch();
    grid->addLayout(contact, 4, 0, 1, 3);
    grid->setRowStretch(2, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);
}

void TForm_Main::FormCreate()
{
    // The reference image keeps its design width unless the system draws the
    // program larger on its own; then the program adds no zoom of its own.
    WindowZoom = Image2->width() == 49 && !SystemScalesFonts() ? 1 : 0;
    if (hidenetPresent())
        Btn_Net->hide();
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect g = screen ? screen->geometry() : QRect(0, 0, 800, 600);
    NarrowScreen = IsNarrowScreen(g.width(), g.height()) ? 1 : 0;
    ScaleWindow(this, true);
    ZoomPopupsFromNowOn();
    setWindowTitle(QStringLiteral("Тарелия (v%1)").arg(QString::fromLatin1(schema::kVersionText)));
    SetActivePage(Sheet_Hello);
    ensureDefaultNetTxt();
    Hide_AllTabs();
    SetActivePage(Sheet_Hello);
    const double today = Clock::today().toJulianDay() - 2415019.0;  // days since 30.12.1899
    ProtokolDateFrom = ProtokolDateTo = today;
    ProtokolTimeFrom = ProtokolTimeTo = -1.0;
    ProtokolUser = -1;
}

QWidget* TForm_Main::ActivePage() const
{
    if (Stack->currentWidget() == Sheet_Hello)
        return Sheet_Hello;
    return PageControl1->currentWidget();
}

QWidget* TForm_Main::ActiveInnerPage() const { return PageControl2->currentWidget(); }

void TForm_Main::SetActivePage(QWidget* page)
{
    if (page == Sheet_Hello) {
        Stack->setCurrentWidget(Sheet_Hello);
        return;
    }
    if (PageControl2->indexOf(page) >= 0) {
        PageControl2->setCurrentWidget(page);
        page = Sheet_Ing;
    }
    PageControl1->setCurrentWidget(page);
    Stack->setCurrentWidget(PageControl1);
}

bool TForm_Main::TabShown(QWidget* page) const
{
    if (page == Sheet_Hello)
        return false;  // the start page never has a tab
    if (int i = PageControl2->indexOf(page); i >= 0)
        return PageControl2->isTabVisible(i);
    const int i = PageControl1->indexOf(page);
    return i >= 0 && PageControl1->isTabVisible(i);
}


void TForm_Main::Hide_AllTabs()
{
    for (QWidget* p : {Sheet_Ing, Sheet_Menu, Sheet_Real, Sheet_Setup, Sheet_Reg}) {
        PageControl1->setTabVisible(PageControl1->indexOf(p), false);
        p->setEnabled(false);
    }
    for (QWidget* p : {Sheet_All_Ing, Sheet_Sklad_Ing, Sheet_Move}) {
        PageControl2->setTabVisible(PageControl2->indexOf(p), false);
        p->setEnabled(false);
    }
}

void TForm_Main::Apply_UserRights()
{
    auto show = [this](QWidget* p) {
        if (int i = PageControl2->indexOf(p); i >= 0)
            PageControl2->setTabVisible(i, true);
        else
            PageControl1->setTabVisible(PageControl1->indexOf(p), true);
        p->setEnabled(true);
    };
    const struct {
        int bit;
        QWidget* page;
    } map[] = {{Right::Ing, Sheet_Ing},   {Right::AllIng, Sheet_All_Ing}, {Right::SkladIng, Sheet_Sklad_Ing},
               {Right::Move, Sheet_Move}, {Right::Menu, Sheet_Menu},      {Right::Real, Sheet_Real},
               {Right::Setup, Sheet_Setup}, {Right::Reg, Sheet_Reg}};
    for (const auto& m : map)
        if (HasRight(m.bit))
            show(m.page);

    if (HasRight(Right::Ing)) {
        if (HasRight(Right::AllIng))
            PageControl2->setCurrentWidget(Sheet_All_Ing);
        else if (HasRight(Right::SkladIng))
            PageControl2->setCurrentWidget(Sheet_Sklad_Ing);
        else if (HasRight(Right::Move))
            PageControl2->setCurrentWidget(Sheet_Move);
        SetActivePage(Sheet_Ing);
    } else if (HasRight(Right::Menu)) {
        SetActivePage(Sheet_Menu);
    } else if (HasRight(Right::Real)) {
        SetActivePage(Sheet_Real);
    } else if (HasRight(Right::Reg)) {
        SetActivePage(Sheet_Reg);
    } else if (HasRight(Right::Setup)) {
        SetActivePage(Sheet_Setup);
    } else {
        SetActivePage(Sheet_Hello);
    }
}

void TForm_Main::Btn_VhodClick()
{
    if (!hooks.showLogin || !hooks.showLogin())
        return;
    // A second log-in must not keep the earlier user's tabs.
    Hide_AllTabs();
    Apply_UserRights();
    Form_Base->Timer_Timer->start();
}

void TForm_Main::Btn_NetClick()
{
    StartupDone = 1;
    if (Form_Base->MyDB->connected())
        Form_Base->MyDB->close();
    if (hooks.showConnection)
        hooks.showConnection();
    Form_Base->FormCreate();
    // Connected again after a loss: back to the page the work stopped on.
    if (Form_Base->MyDB->connected() && pageBeforeLoss_ && pageBeforeLoss_->isEnabled())
        SetActivePage(pageBeforeLoss_);
    pageBeforeLoss_ = nullptr;
}

void TForm_Main::ConnectionLost()
{
    if (ActivePage() != Sheet_Hello)
        pageBeforeLoss_ = ActivePage();
    SetActivePage(Sheet_Hello);
    // Without the connection button (hidenet.txt) only a new start connects again.
    if (Btn_Net->isHidden())
        Msg::notice(QStringLiteral("Чтобы подключиться к базе данных заново, закройте программу и запустите её снова."));
}

void TForm_Main::Btn_PersonClick()
{
    if (hooks.reloadUserRights)
        hooks.reloadUserRights();
    if (hooks.showUsers)
        hooks.showUsers();
}

void TForm_Main::Sheet_HelloShow() { JvAnalogClock1->start(); }

void TForm_Main::Sheet_HelloHide() { JvAnalogClock1->stop(); }

bool TForm_Main::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Sheet_Hello && event->type() == QEvent::Show)
        Sheet_HelloShow();
    else if (watched == Sheet_Hello && event->type() == QEvent::Hide)
        Sheet_HelloHide();
    return QMainWindow::eventFilter(watched, event);
}

void TForm_Main::Label_MailClick() { QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:") + ContactMail())); }

void TForm_Main::FormClose()
{
    if (!Form_Base || !Form_Base->MyDB->connected())
        return;
    try {
        db::Transaction* pending = Form_Base->TransactionWrite;
        if (pending->active())
            pending->rollback();
        WriteTransaction w(WriteTransaction::Reserve::Protocol);
        w.commit(QStringLiteral("Система"), QStringLiteral("Закрытие программы"));
    } catch (...) {
        // The server may be gone: the program closes all the same.
    }
    Form_Base->Timer_Timer->stop();
    Form_Base->MyDB->close();
}

void TForm_Main::closeEvent(QCloseEvent* event)
{
    if (!closing_) {
        closing_ = true;
        FormClose();
    }
    event->accept();
}
