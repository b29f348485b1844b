#include "Unit_ProtocolTab.h"

#include "InputDialogs.h"
#include "RadioGroup.h"
#include "Unit_Main.h"
#include "Unit_Period.h"
#include "Unit_Sort.h"
#include "Unit_Sutki.h"
#include "Unit_Personal.h"
#include "base/Unit_Base.h"
#include "grid/DatasetModel.h"
#include "util/Globals.h"
#include "util/Messages.h"
#include "util/Unit_Util.h"

#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

TProtocolTab* ProtocolTab = nullptr;

namespace {

void bind(db::Query* q, const protocol::Statement& st)
{
    for (auto it = st.params.begin(); it != st.params.end(); ++it)
        q->param(it.key()).setValue(it.value());
}

} // namespace

TProtocolTab::TProtocolTab(QObject* parent) : QObject(parent)
{
    QWidget* sheet = Form_Main->Sheet_Reg;
    auto* panel = new QWidget(sheet);
    panel->setObjectName(QStringLiteral("Panel_Protokol"));
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);

    auto* filters = new QHBoxLayout;
    Btn_Period = new QPushButton(QStringLiteral("Выбор периода"), panel);
    Btn_Time = new QPushButton(QStringLiteral("Время"), panel);
    Btn_User = new QPushButton(QStringLiteral("Пользователь"), panel);
    Btn_Sort = new QPushButton(QStringLiteral("Сортировка"), panel);
    for (QPushButton* b : {Btn_Period, Btn_Time, Btn_User, Btn_Sort})
        filters->addWidget(b);
    filters->addStretch();
    Btn_Del = new QPushButton(QStringLiteral("Удалить"), panel);
    Btn_PrintLog = new QPushButton(QStringLiteral("Печать"), panel);
    filters->addWidget(Btn_Del);
    filters->addWidget(Btn_PrintLog);
    // Room round the captions.
    for (QPushButton* b : {Btn_Period, Btn_Time, Btn_User, Btn_Sort, Btn_Del, Btn_PrintLog})
        b->setMinimumWidth(b->sizeHint().width() + 16);
    column->addLayout(filters);

    // The text filter on a row of its own, so the tab fits a narrow screen.
    auto* search = new QHBoxLayout;
    CB_ParContext = new QCheckBox(QStringLiteral("Контекстный поиск (регистроЗАвисимый) -->"), panel);
    E_ParContext = new QLineEdit(panel);
    E_ParContext->setAccessibleName(QStringLiteral("Контекстный поиск"));
    E_ParContext->setMaxLength(220);
    SetFieldEnabled(E_ParContext, false);
    search->addWidget(CB_ParContext);
    search->addWidget(E_ParContext, 1);
    column->addLayout(search);

    auto* params = new QHBoxLayout;
    auto* caption = new QLabel(QStringLiteral("Параметры выборки:"), panel);
    QFont bold = caption->font();
    bold.setBold(true);
    caption->setFont(bold);
    L_Parametr = new QLabel(panel);
    L_Parametr->setWordWrap(true);
    params->addWidget(caption);
    params->addWidget(L_Parametr, 1);
    column->addLayout(params);

    auto* grids = new QSplitter(Qt::Horizontal, panel);
    Grid_Protokol1 = new db::DbGrid(grids);
    Grid_Protokol2 = new db::DbGrid(grids);
    db::Query* q = Form_Base->Q_Protokol;
    Grid_Protokol1->setQuery(q);
    // The date and the time show whole in the list's font.
    const QFontMetrics fm(Grid_Protokol1->font());
    const int pad = 3 * fm.averageCharWidth();
    Grid_Protokol1->setColumns({{QStringLiteral("MY_DATE"), QStringLiteral("Дата"),
                                 std::max(80, fm.horizontalAdvance(QStringLiteral("00.00.0000")) + pad)},
                                {QStringLiteral("MY_TIME"), QStringLiteral("Время"),
                                 std::max(70, fm.horizontalAdvance(QStringLiteral("00:00:00")) + pad)},
                                {QStringLiteral("P_LOGIN"), QStringLiteral("Логин"), 90},
                                {QStringLiteral("P_FIO"), QStringLiteral("Ф.И.О."), 150},
                                {QStringLiteral("ARM"), QStringLiteral("Функция"), 130}});
    Grid_Protokol2->setQuery(q);
    Grid_Protokol2->setColumns({{QStringLiteral("WHAT_ACTION"), QStringLiteral("Произведённые действия"), 0}});
    Grid_Protokol1->horizontalHeader()->setStretchLastSection(true);
    Grid_Protokol2->horizontalHeader()->setStretchLastSection(true);
    grids->addWidget(Grid_Protokol1);
    grids->addWidget(Grid_Protokol2);
    grids->setStretchFactor(0, 1);
    grids->setStretchFactor(1, 1);
    column->addWidget(grids, 1);
    sheet->layout()->addWidget(panel);

    Timer_OpenLog = new QTimer(this);
    Timer_OpenLog->setSingleShot(true);
    Timer_OpenLog->setInterval(1250);
    connect(Timer_OpenLog, &QTimer::timeout, this, [this] { Guard([this] { Timer_OpenLogTimer(); }); });

    const struct {
        QPushButton* b;
        void (TProtocolTab::*h)();
    } handlers[] = {{Btn_Period, &TProtocolTab::Btn_PeriodClick}, {Btn_Time, &TProtocolTab::Btn_TimeClick},
                    {Btn_User, &TProtocolTab::Btn_UserClick},     {Btn_Sort, &TProtocolTab::Btn_SortClick},
                    {Btn_Del, &TProtocolTab::Btn_DelClick}};
    for (const auto& h : handlers) {
        auto handler = h.h;
        connect(h.b, &QPushButton::clicked, this, [this, handler] { Guard([this, handler] { (this->*handler)(); }); });
    }
    connect(CB_ParContext, &QCheckBox::clicked, this, [this] { Guard([this] { CB_ParContextClick(); }); });
    E_ParContext->installEventFilter(this);
    sheet->installEventFilter(this);
}

bool TProtocolTab::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Form_Main->Sheet_Reg && !event->spontaneous()) {
        if (event->type() == QEvent::Show)
            Guard([this] { Sheet_RegShow(); });
        else if (event->type() == QEvent::Hide)
            Guard([this] { Sheet_RegHide(); });
    } else if (watched == E_ParContext && event->type() == QEvent::KeyRelease) {
        Guard([this] { E_ParContextKeyUp(); });
    }
    return QObject::eventFilter(watched, event);
}

protocol::Filter TProtocolTab::CurrentFilter() const
{
    protocol::Filter f;
    f.dateFrom = ProtokolDateFrom;
    f.dateTo = ProtokolDateTo;
    f.timeFrom = ProtokolTimeFrom;
    f.timeTo = ProtokolTimeTo;
    f.user = ProtokolUser;
    f.textOn = CB_ParContext->isChecked();
    f.text = E_ParContext->text();
    f.order = Form_Sort.made() ? Form_Sort->RadioGroup1->itemIndex() : protocol::ByDateTime;
    return f;
}

void TProtocolTab::Open_Protokol()
{
    if (!StartupDone)
        return;
    db::Query* q = Form_Base->Q_Protokol;
    q->close();
    protocol::Filter f = CurrentFilter();
    if (f.user > 0) {
        db::Query person(Form_Base->MyDB, Form_Base->TransactionRead);
        person.setSql(QStringLiteral("SELECT * FROM PERSON WHERE KOD = ") + Key(f.user));
        person.open();
        if (!person.isEmpty())
            f.userFio = person.field(QStringLiteral("FIO")).asString();
    }
    const protocol::Statement st = protocol::Select(f);
    L_Parametr->setText(st.label);
    q->setSql(st.sql);
    bind(q, st);
    q->open();
}

void TProtocolTab::Sheet_RegShow()
{
    if (StartupDone)
        Open_Protokol();
}

void TProtocolTab::Sheet_RegHide() { Form_Base->Q_Protokol->close(); }

void TProtocolTab::Btn_PeriodClick()
{
    if (Msg::execModal(Form_Period) != QDialog::Accepted)
        return;
    if (Form_Period->CB_AllDate->isChecked()) {
        ProtokolDateFrom = -1.0;
    } else {
        ProtokolDateFrom = protocol::DateToSerial(Form_Period->Date_Start->date());
        ProtokolDateTo = protocol::DateToSerial(Form_Period->Date_Finish->date());
    }
    Open_Protokol();
}

void TProtocolTab::Btn_TimeClick()
{
    if (Msg::execModal(Form_Sutki) != QDialog::Accepted)
        return;
    if (Form_Sutki->CB_All->isChecked()) {
        ProtokolTimeFrom = -1.0;
    } else {
        ProtokolTimeFrom = protocol::TimeToFraction(Form_Sutki->Time_Start->time());
        ProtokolTimeTo = protocol::TimeToFraction(Form_Sutki->Time_End->time());
    }
    Open_Protokol();
}

void TProtocolTab::Btn_UserClick()
{
    if (Msg::execModal(Form_User) != QDialog::Accepted)
        return;
    // All users, or the one standing current in the chooser's list.
    const db::Query* person = Form_Base->QPerson;
    if (Form_User->CB_All->isChecked() || !person->active() || person->isEmpty())
        ProtokolUser = -1;
    else
        ProtokolUser = person->field(QStringLiteral("KOD")).asInt64();
    Open_Protokol();
}

void TProtocolTab::Btn_SortClick()
{
    Msg::execModal(Form_Sort);
    Open_Protokol();
}

void TProtocolTab::greyGrids()
{
    Grid_Protokol1->greyOut();
    Grid_Protokol2->greyOut();
}

void TProtocolTab::releaseGrids()
{
    Grid_Protokol1->release();
    Grid_Protokol2->release();
}

void TProtocolTab::CB_ParContextClick()
{
    if (!StartupDone)
        return;
    greyGrids();
    const bool on = CB_ParContext->isChecked();
    SetFieldEnabled(E_ParContext, on);
    if (on)
        E_ParContext->setFocus();
    Open_Protokol();
    releaseGrids();
}

void TProtocolTab::E_ParContextKeyUp()
{
    // The list is rebuilt a moment after the last key; the grids wait greyed.
    Timer_OpenLog->stop();
    greyGrids();
    Timer_OpenLog->start();
}

void TProtocolTab::Timer_OpenLogTimer()
{
    Timer_OpenLog->stop();
    Open_Protokol();
    releaseGrids();
}

void TProtocolTab::Btn_DelClick()
{
    if (!Msg::confirmDestructive(QStringLiteral("Вы уверены что хотите удалить все выбранные Вами записи из протокола ?"),
                                 QStringLiteral("Удаление")))
        return;
    const protocol::Statement st = protocol::Delete(CurrentFilter());
    {
        WriteTransaction w(WriteTransaction::Reserve::Protocol);
        const auto q = engine::Writer(w.context(), st.sql.join(QLatin1Char('\n')));
        bind(q.get(), st);
        q->execSql();
        w.commit(QStringLiteral("Протокол"), QStringLiteral("Удаление по условию: ") + L_Parametr->text());
    }
    Msg::notice(QStringLiteral("Выбранные записи удалены !"));
}
