#include "Unit_Oborotka.h"

#include "ReportGauge.h"
#include "exchange/Obmen.h"
#include "reports/TurnoverReports.h"

#include "base/Unit_Base.h"
#include "db/Query.h"
#include "engine/Clock.h"
#include "engine/EngineDb.h"
#include "grid/DatasetModel.h"
#include "ui/InputDialogs.h"
#include "ui/RadioGroup.h"
#include "ui/Scaling.h"
#include "ui/Unit_Alarm.h"
#include "ui/Unit_Gauge.h"
#include "entries/Office.h"
#include "entries/ReportPickers.h"
#include "util/Messages.h"
#include "util/Unit_Util.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTimer>
#include <QVBoxLayout>

TForm_Oborotka* Form_Oborotka = nullptr;
TForm_SelectIng* Form_SelectIng = nullptr;

namespace {

// Enabled and white, or disabled and painted in the button-face colour.
void setActive(QWidget* w, bool on)
{
    w->setEnabled(on);
    QPalette p = w->palette();
    p.setColor(QPalette::Base, on ? QPalette().color(QPalette::Base) : p.color(QPalette::Button));
    w->setPalette(p);
}

QLabel* panel(QWidget* parent, const QString& text = {})
{
    auto* l = new QLabel(text, parent);
    l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    l->setMinimumWidth(220);
    // A long name is cut at the panel's edge rather than widening the window.
    l->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    return l;
}

// The typed search of a list: the name's upper case containing the text,
// % and _ matched as themselves. The pattern is bound as :CTX, wide enough
// for the longest text the box takes with every character escaped.
QString likeCondition(const QString& column, const QLineEdit* e)
{
    return QStringLiteral("WHERE UPPER(%1 collate win1251) LIKE CAST(:CTX AS VARCHAR(%2)) ESCAPE '\\'")
        .arg(column)
        .arg(2 * e->maxLength() + 2);
}

QString likePattern(const QLineEdit* e)
{
    return QLatin1Char('%') + engine::LikeLiteral(e->text().toUpper()) + QLatin1Char('%');
}

db::Query* listOn(QObject* owner, db::DbGrid* grid, const QList<db::GridColumn>& columns)
{
    auto* q = new db::Query(Form_Base ? Form_Base->MyDB : nullptr, Form_Base ? Form_Base->TransactionRead : nullptr,
                            owner);
    grid->setQuery(q);
    grid->setColumns(columns);
    return q;
}

} // namespace

// ---- the product-or-group chooser ----

TForm_SelectIng::TForm_SelectIng(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Выбор продукта или группы для оборотной ведомости"));
    RG = new TRadioGroup(QStringLiteral("Детализация выборки до:"),
                         {QStringLiteral("Группы"), QStringLiteral("Продукта")}, this);
    RG->setColumns(2);
    RG->setItemIndex(1);
    Grid_GrIng = new db::DbGrid(this);
    Grid_Ing = new db::DbGrid(this);
    CB_Context = new QCheckBox(QStringLiteral("Поиск по контексту =>"), this);
    E_Context = new QLineEdit(this);
    // No product name is longer than 100 characters: a longer text could not match.
    E_Context->setMaxLength(98);
    Timer1 = new QTimer(this);
    Timer1->setInterval(400);
    Btn_Ok = NewRowButton(QStringLiteral("OK"), this);
    Btn_Ok->setDefault(true);
    Btn_Cancel = NewRowButton(QStringLiteral("Отмена"), this);
    BitBtn1 = new QPushButton(this);
    BitBtn1->hide();

    auto* lay = new QVBoxLayout(this);
    lay->addWidget(RG);
    auto* lists = new QHBoxLayout;
    lists->addWidget(Grid_GrIng, 2);
    lists->addWidget(Grid_Ing, 3);
    lay->addLayout(lists, 1);
    auto* search = new QHBoxLayout;
    search->addWidget(CB_Context);
    search->addWidget(E_Context, 1);
    lay->addLayout(search);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Btn_Ok);
    buttons->addWidget(Btn_Cancel);
    lay->addLayout(buttons);

    GR = listOn(this, Grid_GrIng, {db::GridColumn{QStringLiteral("NAME"), QStringLiteral("Группа"), 200}});
    ING = listOn(this, Grid_Ing,
                 {db::GridColumn{QStringLiteral("NAME"), QStringLiteral("Продукт"), 240},
                  db::GridColumn{QStringLiteral("SHORT_NAME"), QStringLiteral("Ед."), 50}});
    GR->setSql(QStringLiteral("select * from GROUP_ING ORDER BY NAME"));

    connect(RG, &TRadioGroup::clicked, this, [this] { Guard([this] { RGClick(); }); });
    connect(CB_Context, &QCheckBox::clicked, this, [this] { Guard([this] { CB_ContextClick(); }); });
    connect(Timer1, &QTimer::timeout, this, [this] { Guard([this] { Timer1Timer(); }); });
    connect(GR, &db::Query::afterScroll, this, [this] { GRAfterScroll(); });
    connect(Btn_Ok, &QPushButton::clicked, this, [this] { Guard([this] { Btn_OkClick(); }); });
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    Grid_Ing->setEditButton(Btn_Ok);
    E_Context->installEventFilter(this);
    setActive(E_Context, false);
    resize(620, 460);
    ScaleWindow(this, true);
}

void TForm_SelectIng::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Guard([this] { FormShow(); });
}

bool TForm_SelectIng::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == E_Context) {
        if (event->type() == QEvent::KeyPress)
            Timer1->stop();
        else if (event->type() == QEvent::KeyRelease)
            Timer1->start();
    }
    return QDialog::eventFilter(watched, event);
}

void TForm_SelectIng::FormShow()
{
    GR->close();
    GR->open();
    RG->setItemIndex(1);
    RGClick();
}

void TForm_SelectIng::CB_ContextClick()
{
    if (RG->itemIndex() != 1)
        return;
    if (CB_Context->isChecked()) {
        setActive(E_Context, true);
        ING->close();
        ING->setSql(QStringList{QStringLiteral("SELECT ING.*, ED_IZM.SHORT_NAME FROM ING"),
                                QStringLiteral("LEFT OUTER JOIN ED_IZM ON ED_IZM.KOD = ING.ED_IZM"),
                                QStringLiteral("WHERE ") + engine::NameContains(QStringLiteral("ING.NAME"), QStringLiteral("CTX")),
                                QStringLiteral("ORDER BY ING.NAME")});
        ING->param(QStringLiteral("CTX")).setString(engine::NameSearchText(E_Context->text()));
        ING->open();
    } else {
        setActive(E_Context, false);
        ING->close();
        if (GR->active() && !GR->isEmpty()) {
            ING->setSql(QStringList{QStringLiteral("SELECT ING.*, ED_IZM.SHORT_NAME FROM ING"),
                                    QStringLiteral("LEFT OUTER JOIN ED_IZM ON ED_IZM.KOD = ING.ED_IZM"),
                                    QStringLiteral("WHERE ING.KOD_GROUP = ") +
                                        Key(GR->field(QStringLiteral("KOD")).asInt64()),
                                    QStringLiteral("ORDER BY ING.NAME")});
            ING->open();
        }
    }
    Grid_Ing->release();
}

void TForm_SelectIng::RGClick()
{
    if (RG->itemIndex() == 1) {
        CB_Context->setEnabled(true);
        CB_ContextClick();
        return;
    }
    ING->close();
    CB_Context->setEnabled(false);
    setActive(E_Context, false);
    Grid_Ing->greyOut();
}

void TForm_SelectIng::GRAfterScroll()
{
    Timer1->stop();
    Grid_Ing->greyOut();
    ING->close();
    Timer1->start();
}

void TForm_SelectIng::Timer1Timer()
{
    Timer1->stop();
    CB_ContextClick();
}

void TForm_SelectIng::Btn_OkClick()
{
    if (RG->itemIndex() == 1 && (!ING->active() || ING->isEmpty())) {
        Msg::notice(QStringLiteral("Не выбран ниодин продукт !"));
        return;
    }
    if (RG->itemIndex() != 1 && (!GR->active() || GR->isEmpty())) {
        Msg::notice(QStringLiteral("Не выбрана ниодна группа продуктов !"));
        return;
    }
    BitBtn1->click();
}

// ---- the options window ----

TForm_Oborotka::TForm_Oborotka(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Оборотная ведомость"));
    CB_AllFirma = new QCheckBox(QStringLiteral("Все предприятия     "), this);
    CB_AllFirma->setChecked(true);
    P_NameFirma = panel(this);
    Btn_Firma = new QPushButton(QStringLiteral("Выбор"), this);
    Btn_Firma->setEnabled(false);
    CB_AllOtdel = new QCheckBox(QStringLiteral("Все подразделения"), this);
    CB_AllOtdel->setChecked(true);
    P_NameOtdel = panel(this);
    Btn_Otdel = new QPushButton(QStringLiteral("Выбор"), this);
    Btn_Otdel->setEnabled(false);
    Date_Start = new QDateEdit(this);
    Date_End = new QDateEdit(this);
    for (QDateEdit* d : {Date_Start, Date_End}) {
        d->setCalendarPopup(true);
        d->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
        d->setDate(Clock::today());
    }
    CB_Ing = new QCheckBox(QStringLiteral("Все продукты"), this);
    CB_Ing->setChecked(true);
    P_Ing = panel(this, QStringLiteral("Все продукты"));
    Btn_Ing = new QPushButton(QStringLiteral("Выбор"), this);
    Btn_Ing->setEnabled(false);
    Combo_TypeDoc = new QComboBox(this);
    Combo_TypeDoc->addItems({QStringLiteral("Все документы"), QStringLiteral("Инветнтаризации"),
                             QStringLiteral("Производство"), QStringLiteral("Реализации"),
                             QStringLiteral("Внутреннее перемещение"), QStringLiteral("Приход"),
                             QStringLiteral("Расход"), QStringLiteral("Расход при производстве"),
                             QStringLiteral("Приход + Расход")});
    RG_Provodka = new TRadioGroup(QStringLiteral("Обрабатывать документы :"),
                                  {QStringLiteral("Только проведённые"), QStringLiteral("Только непроведённые"),
                                   QStringLiteral("Все документы")},
                                  this);
    RG_Provodka->setColumns(3);
    RG_Provodka->setItemIndex(0);
    RG = new TRadioGroup(QStringLiteral("Обрабатывать документы"),
                         {QStringLiteral("Всех контрагентов"), QStringLiteral("Выбранных контрагентов")}, this);
    RG->setItemIndex(0);
    RG2 = new TRadioGroup(QStringLiteral("Документы выбранных контрагентов"),
                          {QStringLiteral("Включаются в отчёт"), QStringLiteral("Исключаются из отчёта")}, this);
    RG2->setItemIndex(0);
    RG2->setEnabled(false);
    GridFirma = new db::DbGrid(this);
    CB_Context = new QCheckBox(QStringLiteral("Контекстный поиск =>"), this);
    CB_Context->setEnabled(false);
    E_Context = new QLineEdit(this);
    // No counterparty's name is longer than 254 characters (see the product search).
    E_Context->setMaxLength(252);
    Timer_Context = new QTimer(this);
    Timer_Context->setInterval(400);
    Btn_Add = new QPushButton(QStringLiteral(">"), this);
    Btn_Del = new QPushButton(QStringLiteral("<"), this);
    Btn_All_Add = new QPushButton(QStringLiteral(">>"), this);
    Btn_All_Del = new QPushButton(QStringLiteral("<<"), this);
    Memo_Filter = new QPlainTextEdit(this);
    Memo_Filter->setReadOnly(true);
    Memo2 = new QPlainTextEdit(this);
    Memo2->hide();
    Memo3 = new QPlainTextEdit(this);
    Memo3->hide();
    CB_Short = new QCheckBox(QStringLiteral("Сокращённая форма документа"), this);
    CB_Ostatki = new QCheckBox(
        QStringLiteral("Остатки на начало и конец  (замедляет выполнение запроса к базе данных)"), this);
    CB_Ostatki->setEnabled(false);
    Btn_Ok = NewRowButton(QStringLiteral("OK"), this);
    Btn_Ok->setDefault(true);
    Btn_Cancel = NewRowButton(QStringLiteral("Отмена"), this);
    BitBtn1 = new QPushButton(this);
    BitBtn1->hide();

    auto* lay = new QVBoxLayout(this);
    auto* top = new QGridLayout;
    top->addWidget(CB_AllFirma, 0, 0);
    top->addWidget(P_NameFirma, 0, 1);
    top->addWidget(Btn_Firma, 0, 2);
    top->addWidget(CB_AllOtdel, 1, 0);
    top->addWidget(P_NameOtdel, 1, 1);
    top->addWidget(Btn_Otdel, 1, 2);
    top->addWidget(CB_Ing, 2, 0);
    top->addWidget(P_Ing, 2, 1);
    top->addWidget(Btn_Ing, 2, 2);
    top->setColumnStretch(1, 1);
    lay->addLayout(top);
    auto* dates = new QHBoxLayout;
    dates->addWidget(new QLabel(QStringLiteral("Начало периода"), this));
    dates->addWidget(Date_Start);
    dates->addWidget(new QLabel(QStringLiteral("Конец периода"), this));
    dates->addWidget(Date_End);
    dates->addWidget(new QLabel(QStringLiteral("Выборка по документам"), this));
    dates->addWidget(Combo_TypeDoc, 1);
    lay->addLayout(dates);
    lay->addWidget(RG_Provodka);
    auto* partnersRow = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(RG);
    left->addWidget(RG2);
    left->addStretch();
    partnersRow->addLayout(left);
    auto* pick = new QVBoxLayout;
    pick->addWidget(GridFirma, 1);
    auto* search = new QHBoxLayout;
    search->addWidget(CB_Context);
    search->addWidget(E_Context, 1);
    pick->addLayout(search);
    partnersRow->addLayout(pick, 2);
    auto* moves = new QVBoxLayout;
    moves->addStretch();
    for (QPushButton* b : {Btn_Add, Btn_Del, Btn_All_Add, Btn_All_Del}) {
        b->setFixedWidth(40);
        moves->addWidget(b);
    }
    moves->addStretch();
    partnersRow->addLayout(moves);
    partnersRow->addWidget(Memo_Filter, 2);
    lay->addLayout(partnersRow, 1);
    lay->addWidget(CB_Short);
    lay->addWidget(CB_Ostatki);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Btn_Ok);
    buttons->addWidget(Btn_Cancel);
    lay->addLayout(buttons);

    Q_Vibor = listOn(this, GridFirma, {db::GridColumn{QStringLiteral("NAME"), QStringLiteral("Контрагент"), 220}});
    GridFirma->setEditButton(Btn_Add);

    auto on = [this](auto* sender, auto signal, void (TForm_Oborotka::*handler)()) {
        connect(sender, signal, this, [this, handler] { Guard([this, handler] { (this->*handler)(); }); });
    };
    // Boxes that set other controls follow their state, however it changed.
    on(CB_AllFirma, &QCheckBox::toggled, &TForm_Oborotka::CB_AllFirmaClick);
    on(CB_AllOtdel, &QCheckBox::toggled, &TForm_Oborotka::CB_AllOtdelClick);
    on(CB_Ing, &QCheckBox::toggled, &TForm_Oborotka::CB_IngClick);
    on(CB_Short, &QCheckBox::toggled, &TForm_Oborotka::CB_ShortClick);
    on(RG, &TRadioGroup::clicked, &TForm_Oborotka::RGClick);
    on(CB_Context, &QCheckBox::clicked, &TForm_Oborotka::CB_ContextClick);
    on(Timer_Context, &QTimer::timeout, &TForm_Oborotka::Timer_ContextTimer);
    on(Btn_Firma, &QPushButton::clicked, &TForm_Oborotka::Btn_FirmaClick);
    on(Btn_Otdel, &QPushButton::clicked, &TForm_Oborotka::Btn_OtdelClick);
    on(Btn_Ing, &QPushButton::clicked, &TForm_Oborotka::Btn_IngClick);
    on(Btn_Add, &QPushButton::clicked, &TForm_Oborotka::Btn_AddClick);
    on(Btn_All_Add, &QPushButton::clicked, &TForm_Oborotka::Btn_All_AddClick);
    on(Btn_Del, &QPushButton::clicked, &TForm_Oborotka::Btn_DelClick);
    on(Btn_All_Del, &QPushButton::clicked, &TForm_Oborotka::Btn_All_DelClick);
    on(Btn_Ok, &QPushButton::clicked, &TForm_Oborotka::Btn_OkClick);
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    E_Context->installEventFilter(this);
    Memo_Filter->viewport()->installEventFilter(this);
    setActive(E_Context, false);
    setActive(GridFirma, false);
    setActive(Memo_Filter, false);
    resize(760, 560);
    ScaleWindow(this, false);
    // Room to see what is typed in the search box, in the grown font.
    E_Context->setMinimumWidth(E_Context->fontMetrics().averageCharWidth() * 12);
}

void TForm_Oborotka::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Guard([this] { FormShow(); });
}

void TForm_Oborotka::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    FormHide();
}

bool TForm_Oborotka::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == E_Context) {
        if (event->type() == QEvent::KeyPress)
            Timer_Context->stop();
        else if (event->type() == QEvent::KeyRelease)
            Timer_Context->start();
    } else if (watched == Memo_Filter->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        Guard([this] { Btn_DelClick(); });
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TForm_Oborotka::FormShow()
{
    firmaKod = 0;
    otdelKod = 0;
    P_NameFirma->clear();
    P_NameOtdel->clear();
    CB_AllFirma->setChecked(true);
    CB_AllFirmaClick();
    CB_Ing->setChecked(true);
    CB_IngClick();
    RG->setItemIndex(0);
    RGClick();
    Btn_All_DelClick();
    Combo_TypeDoc->setCurrentIndex(0);
}

void TForm_Oborotka::FormHide()
{
    CB_Short->setEnabled(true);
    exportPath.clear();
}

void TForm_Oborotka::CB_AllFirmaClick()
{
    if (!CB_AllFirma->isChecked()) {
        Btn_Firma->setEnabled(true);
        CB_AllOtdel->setEnabled(true);
        return;
    }
    Btn_Firma->setEnabled(false);
    CB_AllOtdel->setChecked(true);
    CB_AllOtdel->setEnabled(false);
    CB_AllOtdelClick();
    P_NameFirma->clear();
    firmaKod = 0;
}

void TForm_Oborotka::CB_AllOtdelClick()
{
    if (!CB_AllOtdel->isChecked()) {
        Btn_Otdel->setEnabled(true);
        return;
    }
    Btn_Otdel->setEnabled(false);
    P_NameOtdel->clear();
    otdelKod = 0;
}

void TForm_Oborotka::CB_IngClick()
{
    ingKod = 0;
    ingIsGroup = false;
    if (!CB_Ing->isChecked()) {
        Btn_Ing->setEnabled(true);
        P_Ing->clear();
        return;
    }
    Btn_Ing->setEnabled(false);
    P_Ing->setText(QStringLiteral("Все продукты"));
}

void TForm_Oborotka::CB_ShortClick()
{
    CB_Ostatki->setEnabled(CB_Short->isChecked());
    if (!CB_Short->isChecked())
        CB_Ostatki->setChecked(false);
}

void TForm_Oborotka::RGClick()
{
    const bool chosen = RG->itemIndex() == 1;
    if (chosen) {
        RG2->setEnabled(true);
        setActive(GridFirma, true);
        setActive(Memo_Filter, true);
        CB_Context->setEnabled(true);
        CB_ContextClick();
        return;
    }
    RG2->setItemIndex(0);
    RG2->setEnabled(false);
    setActive(GridFirma, false);
    setActive(Memo_Filter, false);
    CB_Context->setChecked(false);
    CB_Context->setEnabled(false);
    setActive(E_Context, false);
    Q_Vibor->close();
}

void TForm_Oborotka::CB_ContextClick()
{
    Q_Vibor->close();
    QStringList sql{QStringLiteral("SELECT * FROM FIRMA")};
    const bool context = CB_Context->isChecked();
    if (context)
        sql << likeCondition(QStringLiteral("FIRMA.NAME"), E_Context);
    sql << QStringLiteral("ORDER BY FIRMA.NAME");
    Q_Vibor->setSql(sql);
    if (context)
        Q_Vibor->param(QStringLiteral("CTX")).setString(likePattern(E_Context));
    setActive(E_Context, context);
    Q_Vibor->prepare();
    Q_Vibor->open();
}

void TForm_Oborotka::Timer_ContextTimer()
{
    Timer_Context->stop();
    CB_ContextClick();
}

void TForm_Oborotka::Btn_FirmaClick()
{
    printing::ReportPickers* pickers = printing::RegisteredReportPickers();
    if (!pickers) {
        Msg::notBuilt(windowTitle());
        return;
    }
    qint64 kod = 0;
    QString name;
    if (!pickers->firma(kod, name))
        return;
    P_NameFirma->setText(name);
    firmaKod = kod;
    otdelKod = 0;
    P_NameOtdel->clear();
}

void TForm_Oborotka::Btn_OtdelClick()
{
    if (firmaKod == 0) {
        Msg::notice(QStringLiteral("Не выбрано предприятие !"));
        return;
    }
    printing::ReportPickers* pickers = printing::RegisteredReportPickers();
    if (!pickers) {
        Msg::notBuilt(windowTitle());
        return;
    }
    qint64 kod = 0;
    QString name;
    if (!pickers->otdel(firmaKod, printing::ReportPickers::Order::ByName, kod, name))
        return;
    P_NameOtdel->setText(name);
    otdelKod = kod;
}

void TForm_Oborotka::Btn_IngClick()
{
    TForm_SelectIng* s = SelectIngWindow();
    if (Msg::execModal(s) == QDialog::Accepted) {
        if (s->RG->itemIndex() == 1) {
            ingKod = s->ING->field(QStringLiteral("KOD")).asInt64();
            ingIsGroup = false;
            P_Ing->setText(QStringLiteral("Продукт << ") + s->ING->field(QStringLiteral("NAME")).asString() +
                           QStringLiteral(" >>"));
        } else {
            ingKod = s->GR->field(QStringLiteral("KOD")).asInt64();
            ingIsGroup = true;
            P_Ing->setText(QStringLiteral("Группа << ") + s->GR->field(QStringLiteral("NAME")).asString() +
                           QStringLiteral(" >>"));
        }
    }
    s->GR->close();
    s->ING->close();
}

void TForm_Oborotka::addPartner(int row)
{
    Q_Vibor->setRecNo(row);
    const qint64 kod = Q_Vibor->field(QStringLiteral("KOD")).asInt64();
    partners << kod;
    Memo_Filter->appendPlainText(Q_Vibor->field(QStringLiteral("NAME")).asString());
    Memo2->appendPlainText(reports::PartnerCondition(kod, false));
    Memo3->appendPlainText(reports::PartnerCondition(kod, true));
}

void TForm_Oborotka::Btn_AddClick()
{
    if (!Q_Vibor->active() || Q_Vibor->isEmpty())
        return;
    addPartner(Q_Vibor->recNo());
}

void TForm_Oborotka::Btn_All_AddClick()
{
    if (!Q_Vibor->active() || Q_Vibor->isEmpty())
        return;
    for (int r = 0; r < Q_Vibor->recordCount(); ++r)
        addPartner(r);
}

void TForm_Oborotka::Btn_DelClick()
{
    if (partners.isEmpty())
        return;
    const int line = std::min(Memo_Filter->textCursor().blockNumber(), static_cast<int>(partners.size()) - 1);
    for (QPlainTextEdit* m : {Memo_Filter, Memo2, Memo3}) {
        QStringList lines = m->toPlainText().split(QLatin1Char('\n'));
        if (line < lines.size())
            lines.removeAt(line);
        m->setPlainText(lines.join(QLatin1Char('\n')));
    }
    partners.removeAt(line);
    QTextCursor c(Memo_Filter->document()->findBlockByNumber(std::min(line, static_cast<int>(partners.size()) - 1)));
    if (!partners.isEmpty())
        Memo_Filter->setTextCursor(c);
}

void TForm_Oborotka::Btn_All_DelClick()
{
    partners.clear();
    Memo_Filter->clear();
    Memo2->clear();
    Memo3->clear();
}

reports::TurnoverOptions TForm_Oborotka::Options() const
{
    reports::TurnoverOptions o;
    o.allFirma = CB_AllFirma->isChecked();
    o.firma = firmaKod;
    o.firmaName = P_NameFirma->text();
    o.allOtdel = CB_AllOtdel->isChecked();
    o.otdel = otdelKod;
    o.otdelName = P_NameOtdel->text();
    o.start = Date_Start->date();
    o.end = Date_End->date();
    o.allIng = CB_Ing->isChecked();
    o.ing = ingKod;
    o.ingIsGroup = ingIsGroup;
    o.ingCaption = P_Ing->text();
    o.docType = Combo_TypeDoc->currentIndex();
    o.provodka = RG_Provodka->itemIndex();
    o.selectedPartners = RG->itemIndex() == 1;
    o.excludePartners = RG2->itemIndex() == 1;
    o.partners = partners;
    o.partnerNames = Memo_Filter->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    o.shortForm = CB_Short->isChecked();
    o.balances = o.shortForm && CB_Ostatki->isChecked();
    return o;
}

void TForm_Oborotka::Btn_OkClick() { BuildTurnoverQuery(); }

void TForm_Oborotka::BuildTurnoverQuery()
{
    const reports::TurnoverOptions o = Options();
    if (const auto refusal = reports::CheckTurnoverOptions(o)) {
        Msg::notice(refusal->message);
        QWidget* focus = nullptr;
        switch (refusal->focus) {
        case reports::TurnoverFocus::Firma:
            focus = Btn_Firma;
            break;
        case reports::TurnoverFocus::Otdel:
            focus = Btn_Otdel;
            break;
        case reports::TurnoverFocus::Ing:
            focus = Btn_Ing;
            break;
        case reports::TurnoverFocus::DateStart:
            focus = Date_Start;
            break;
        case reports::TurnoverFocus::Partners:
            focus = GridFirma;
            break;
        }
        focus->setFocus();
        return;
    }
    const engine::Context ctx = engine::ProgramContext();
    if (o.shortForm) {
        QVector<reports::TurnoverRow> rows;
        if (o.balances && Form_Gauge) {
            // The balances make the query slow: the progress window says so while it runs.
            Form_Gauge->setWindowTitle(QStringLiteral("Ожидайте, выполняется сложный запрос к базе данных !"));
            Form_Gauge->Gauge1->setValue(0);
            Form_Gauge->show();
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            try {
                rows = reports::ReadTurnoverRows(ctx, o);
            } catch (...) {
                Form_Gauge->hide();
                Form_Gauge->setWindowTitle(QStringLiteral("Ход выполнения"));
                throw;
            }
            Form_Gauge->setWindowTitle(QStringLiteral("Ход выполнения"));
        } else {
            rows = reports::ReadTurnoverRows(ctx, o);
        }
        printing::RunProgramReport(reports::turnover::Report(o, std::move(rows)));
    } else {
        std::unique_ptr<exchange::obmen::Export> exported;
        if (!exportPath.isEmpty())
            exported = std::make_unique<exchange::obmen::Export>(ctx, exportPath);
        printing::RunProgramReport(reports::turnover::Build(ctx, o, exported.get()));
        if (exported)
            exported->close();
        if (exported && exported->missingCodes() && Form_Alarm) {
            Form_Alarm->Memo1->setPlainText(exported->warningText());
            Msg::execModal(Form_Alarm);
            Form_Alarm->Memo1->clear();
        }
    }
    BitBtn1->click();
}

TForm_Oborotka* OborotkaWindow()
{
    if (!Form_Oborotka)
        Form_Oborotka = new TForm_Oborotka;
    return Form_Oborotka;
}

TForm_SelectIng* SelectIngWindow()
{
    if (!Form_SelectIng)
        Form_SelectIng = new TForm_SelectIng;
    return Form_SelectIng;
}

void DestroyOborotkaWindows()
{
    delete Form_SelectIng;
    Form_SelectIng = nullptr;
    delete Form_Oborotka;
    Form_Oborotka = nullptr;
}
