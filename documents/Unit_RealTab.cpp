#include "Unit_RealTab.h"

#include "CatalogueUi.h"
#include "DocumentTabs.h"
#include "MovementDb.h"
#include "PosExchange.h"
#include "Printing.h"
#include "RealDocs.h"
#include "Unit_DelDoc.h"
#include "Unit_DocReal.h"
#include "base/Unit_Base.h"
#include "db/Query.h"
#include "engine/EngineDb.h"
#include "engine/DocumentClaim.h"
#include "engine/WriteRoad.h"
#include "entries/CurrentStructure.h"
#include "grid/DatasetModel.h"
#include "grid/ListHolder.h"
#include "ui/Keypad.h"
#include "ui/Unit_Dice.h"
#include "ui/Unit_Main.h"
#include "ui/Unit_Period.h"
#include "grid/Greying.h"
#include "util/Clock.h"
#include "util/Globals.h"
#include "util/Messages.h"
#include "util/SettingsStore.h"
#include "util/Unit_Util.h"

#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPalette>
#include <QPushButton>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

TRealTab* RealTab = nullptr;

namespace {

const QString kArea = QStringLiteral("Производство и реализация");
const QString kInventoryOpen = QStringLiteral(
    "Нельзя создать документ РЕАЛИЗАЦИИ/ПРОИЗВОДСТВА пока имеются непроведённые документы ИНВЕНТАРИЗАЦИИ ! "
    "Сначала нужно эти документы провести или удалить.");

// The current document for its print: its key and posting, and its lines as
// the tab shows them (the products statement prints these).
printing::RealPrintDocument printDocument(db::Query* d, db::Query* q)
{
    printing::RealPrintDocument doc;
    if (!d || !d->active() || d->isEmpty() || d->recNo() < 0)
        return doc;
    doc.kod = d->field(QStringLiteral("KOD")).asInt64();
    doc.posted = d->field(QStringLiteral("PROVODKA")).asInt() > 0;
    if (!q || !q->active())
        return doc;
    const int fName = q->fieldIndex(QStringLiteral("NAME"));
    const int fUnit = q->fieldIndex(QStringLiteral("SHORT_NAME"));
    const int fKolvo = q->fieldIndex(QStringLiteral("KOLVO"));
    const int fCena = q->fieldIndex(QStringLiteral("CENA"));
    const int fSklad = q->fieldIndex(QStringLiteral("CENA_SKLAD"));
    const int fGroup = q->fieldIndex(QStringLiteral("GROUP_KOD"));
    const int fGroupName = q->fieldIndex(QStringLiteral("GROUP_NAME"));
    auto num = [q](int row, int f) { return f < 0 ? 0.0 : q->valueAt(row, f).toDouble(); };
    for (int r = 0; r < q->recordCount(); ++r) {
        reports::ProductLine l;
        l.name = fName < 0 ? QString() : q->valueAt(r, fName).toString();
        l.shortName = fUnit < 0 ? QString() : q->valueAt(r, fUnit).toString();
        l.kolvo = num(r, fKolvo);
        l.cena = num(r, fCena);
        l.cenaSklad = num(r, fSklad);
        l.groupKod = fGroup < 0 ? 0 : q->valueAt(r, fGroup).toLongLong();
        l.groupName = fGroupName < 0 ? QString() : q->valueAt(r, fGroupName).toString();
        doc.lines.append(l);
    }
    return doc;
}

} // namespace

TRealTab::TRealTab(QObject* parent) : QObject(parent)
{
    QWidget* sheet = Form_Main->Sheet_Real;
    auto* lay = qobject_cast<QVBoxLayout*>(sheet->layout());
    if (!lay)
        lay = new QVBoxLayout(sheet);

    auto* top = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    auto* buttons = new QHBoxLayout;
    using doctabs::AddButton;
    Btn_Add_Real = AddButton(QStringLiteral("Создать"), QStringLiteral("Создать документ реализации / производства"), sheet, buttons);
    Btn_Upd_Real = AddButton(QStringLiteral("Изменить"), QStringLiteral("Редактировать документ"), sheet, buttons);
    Btn_Copy_Real = AddButton(QStringLiteral("Копировать"), QStringLiteral("Создать документ реализации / производства"), sheet, buttons);
    Btn_Del_Real = AddButton(QStringLiteral("Удалить"), QStringLiteral("Удалить документ"), sheet, buttons);
    Btn_Print_Real = AddButton(QStringLiteral("Печать"), QStringLiteral("Печать документа реализации"), sheet, buttons);
    Btn_Provodka_Real = AddButton(QStringLiteral("Провести"), QStringLiteral("Провести документ"), sheet, buttons);
    buttons->addStretch();
    left->addLayout(buttons);
    auto* period = new QHBoxLayout;
    Btn_Period_Real = new QPushButton(QStringLiteral("Выбор периода"), sheet);
    L_Period_Real = new QLabel(QStringLiteral("Любая дата документа"), sheet);
    period->addWidget(Btn_Period_Real);
    period->addWidget(L_Period_Real, 1);
    left->addLayout(period);
    top->addLayout(left, 1);

    // The import button is a raised panel with a die and two lines of text.
    Btn_Take_Real = new QFrame(sheet);
    Btn_Take_Real->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Btn_Take_Real->setLineWidth(2);
    Btn_Take_Real->setToolTip(QStringLiteral("Принять итоги из \"Подавальни\" или \"TorgService\""));
    Btn_Take_Real->setCursor(Qt::PointingHandCursor);
    auto* take = new QHBoxLayout(Btn_Take_Real);
    Image7 = new QLabel(Btn_Take_Real);
    Image7->setFixedSize(48, 48);
    Label3 = new QLabel(QStringLiteral("Принять итоги\nиз реализации"), Btn_Take_Real);
    take->addWidget(Image7);
    take->addWidget(Label3);
    top->addWidget(Btn_Take_Real);
    lay->addLayout(top);

    auto* split = new QSplitter(Qt::Vertical, sheet);
    Grid_DocReal = new db::DbGrid(split);
    auto* bottom = new QWidget(split);
    auto* bottomLay = new QHBoxLayout(bottom);
    bottomLay->setContentsMargins(0, 0, 0, 0);
    auto* linesSide = new QVBoxLayout;
    auto* search = new QHBoxLayout;
    CB_Context_Real = new QCheckBox(QStringLiteral("Поиск по контексту =>"), bottom);
    E_Context_Real = new QLineEdit(bottom);
    E_Context_Real->setMaxLength(100);  // a product's name
    search->addWidget(CB_Context_Real);
    search->addWidget(E_Context_Real, 1);
    linesSide->addLayout(search);
    Grid_RealBludo = new db::DbGrid(bottom);
    linesSide->addWidget(Grid_RealBludo, 1);
    bottomLay->addLayout(linesSide, 1);
    auto* padSide = new QVBoxLayout;
    auto* hint = new QLabel(QStringLiteral("При вводе количества можно использовать клавитуру компьютера или наборное поле"), bottom);
    hint->setWordWrap(true);
    hint->setMaximumWidth(230);
    padSide->addWidget(hint);
    Keypad = new TKeypad(bottom);
    Keypad->setMaximumWidth(hint->maximumWidth());  // no wider than its hint: the lines keep the room
    padSide->addWidget(Keypad);
    CB_Next = new QCheckBox(QStringLiteral("Сдвигать курсор"), bottom);
    CB_Next->setChecked(true);
    padSide->addWidget(CB_Next);
    padSide->addStretch();
    bottomLay->addLayout(padSide);
    split->addWidget(Grid_DocReal);
    split->addWidget(bottom);
    split->setStretchFactor(0, 2);
    split->setStretchFactor(1, 3);
    lay->addWidget(split, 1);

    List_Docs_Real = new db::ListHolder(Form_Base->MyDB, Form_Base->TransactionRead, this);
    List_Docs_Real->setTables({QStringLiteral("DOCS"), QStringLiteral("FIRMA")});
    List_Docs_Real->setKeyTable(QStringLiteral("DOCS"));
    Q_Docs_Real = List_Docs_Real->query();
    List_Real_Bludo = new db::ListHolder(Form_Base->MyDB, Form_Base->TransactionRead, this);
    List_Real_Bludo->setTables({QStringLiteral("REAL_BLUDO"), QStringLiteral("OTDEL"), QStringLiteral("ING"),
                                QStringLiteral("GROUP_ING"), QStringLiteral("ED_IZM")});
    // A quantity's commit reads its line again in place; a line filled anew
    // elsewhere is found again by its dish and department.
    List_Real_Bludo->setKeyTable(QStringLiteral("REAL_BLUDO"));
    List_Real_Bludo->setLineFields({QStringLiteral("KOD_ING"), QStringLiteral("KOD_OTDEL")});
    Q_Real_Bludo = List_Real_Bludo->query();
    Timer_Real = new QTimer(this);
    Timer_Real->setSingleShot(true);
    Timer_Real->setInterval(400);

    Grid_DocReal->setQuery(Q_Docs_Real);
    cat::SetColumns(Grid_DocReal, {{QStringLiteral("DATE_DOC"), QStringLiteral("Дата"), cat::DateColumnWidth(Grid_DocReal)},
                                   {QStringLiteral("TIME_DOC"), QStringLiteral("Время"), cat::TimeColumnWidth(Grid_DocReal)},
                                   {QStringLiteral("NAME"), QStringLiteral("№ документа"), 120},
                                   {QStringLiteral("TD"), QStringLiteral("Тип"), cat::ValueColumnWidth(Grid_DocReal, QStringLiteral("Произв"), 60)},
                                   {QStringLiteral("NAME_F"), QStringLiteral("Предприятие"), 200}});
    Grid_DocReal->datasetModel()->setCellStyle(&TRealTab::Grid_DocRealGetCellParams);
    Grid_DocReal->horizontalHeader()->setStretchLastSection(true);
    Grid_DocReal->setEditButton(Btn_Upd_Real);
    Grid_RealBludo->setQuery(Q_Real_Bludo);
    // Figures of a line show whole in the tab's font, a zoomed one too: a
    // quantity of a thousand with six decimals, a price of a hundred with six,
    // a sum of seven figures. The list keeps the room its columns need, the
    // dish's name at least its title; the keypad beside it takes what is left.
    auto figure = [this](const char* sample, int design) {
        return cat::ValueColumnWidth(Grid_RealBludo, QString::fromLatin1(sample), design);
    };
    cat::SetColumns(Grid_RealBludo,
                    {{QStringLiteral("NAME"), QStringLiteral("Наименование"), 0},
                     {QStringLiteral("SHORT_NAME"), QStringLiteral("Ед.изм."), 55},
                     {QStringLiteral("KOLVO"), QStringLiteral("Кол-во"), figure("0000,000000", 70), db::kQuantityDisplay},
                     {QStringLiteral("CENA_SKLAD"), QStringLiteral("Цена скл."), figure("000,000000", 75), db::kPriceDisplay},
                     {QStringLiteral("CENA"), QStringLiteral("Цена"), figure("000,000000", 70), db::kPriceDisplay},
                     {QStringLiteral("SUMMA"), QStringLiteral("Сумма"), figure("0000000,00", 80), QStringLiteral("0.00")},
                     {QStringLiteral("NAME_O"), QStringLiteral("Подразделение/отдел"), 150}},
                    true);
    // The dish's name takes the room the figures leave, so the department stays in sight.
    Grid_RealBludo->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    cat::SetActive(E_Context_Real, false);

    Keypad->guard = [this] { return KeypadAllowed(); };
    Keypad->apply = [this](double v) { SetQuantity(v); };
    Keypad->takesQuantity = [] { return true; };
    Keypad->signKeys = true;
    Keypad->emptyOkIgnored = true;
    Keypad->addButton = Btn_Add_Real;
    Keypad->removeButton = Btn_Del_Real;
    Keypad->focusTarget = Keypad->Btn_OKS;
    Keypad->keepCellOf(Grid_RealBludo);
    Keypad->keepCellOf(Grid_DocReal);
    Keypad->entryGrid = Grid_RealBludo;
    Keypad->entryColumn = [this] { return Grid_RealBludo->datasetModel()->columnOf(QStringLiteral("KOLVO")); };
    // The quantity is the one column typed on: Tab goes to the next line's.
    Keypad->keepToEntryCells([this] { return QList<int>{Keypad->entryColumn()}; });
    keyed_ = {Grid_DocReal, Grid_RealBludo, Keypad->E_Klava, Keypad->Btn_Koma, Keypad->Btn_Back, Keypad->Btn_OKS,
              Btn_Add_Real, Btn_Upd_Real, Btn_Provodka_Real, Btn_Print_Real, Btn_Del_Real, Btn_Copy_Real};
    for (int d = 0; d < 10; ++d)
        keyed_.append(Keypad->digitButton(d));
    for (QWidget* w : keyed_)
        w->installEventFilter(this);

    doctabs::ConnectButtons(this, {{Btn_Add_Real, &TRealTab::Btn_Add_RealClick},
                                   {Btn_Upd_Real, &TRealTab::Btn_Upd_RealClick},
                                   {Btn_Copy_Real, &TRealTab::Btn_Copy_RealClick},
                                   {Btn_Del_Real, &TRealTab::Btn_Del_RealClick},
                                   {Btn_Print_Real, &TRealTab::Btn_Print_RealClick},
                                   {Btn_Provodka_Real, &TRealTab::Btn_Provodka_RealClick},
                                   {Btn_Period_Real, &TRealTab::Btn_Period_RealClick}});
    connect(CB_Context_Real, &QCheckBox::clicked, this, [this] {
        Guard([this] {
            CB_Context_RealClick();
            if (CB_Context_Real->isChecked())
                E_Context_Real->setFocus();
        });
    });
    BindSetting(CB_Next, QStringLiteral("pkpr"));
    for (QObject* o : std::initializer_list<QObject*>{Btn_Take_Real, Image7, Label3, E_Context_Real, sheet})
        o->installEventFilter(this);

    // The tab's lists: the documents' scroll reloads the lines after a pause.
    connect(Q_Docs_Real, &db::Query::afterScroll, this, &TRealTab::Q_Docs_RealAfterScroll);
    doctabs::FollowDocuments(List_Docs_Real, this, nullptr, [this] { Q_Docs_RealAfterScroll(); }, Grid_RealBludo);
    connect(Timer_Real, &QTimer::timeout, this, [this] { Guard([this] { Timer_RealTimer(); }); });
    Q_Docs_Real->addCalcField(QStringLiteral("TD"));
    Q_Docs_Real->onCalcFields = &TRealTab::Q_Docs_RealCalcFields;

    if (Form_Dice)
        Form_Dice->AddDie({sheet, Image7, Qt::yellow, Qt::blue, 1, -1});
}

TRealTab::~TRealTab()
{
    if (RealTab == this)
        RealTab = nullptr;
}

bool TRealTab::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type t = event->type();
    if (watched == Form_Main->Sheet_Real) {
        if (t == QEvent::Show && !event->spontaneous())
            Guard([this] { Sheet_RealShow(); });
    } else if (t == QEvent::KeyPress && keyed_.contains(static_cast<QWidget*>(watched))) {
        // A key the keypad takes reaches neither grid: a digit would move its current row.
        const auto* ke = static_cast<QKeyEvent*>(event);
        bool taken = false;
        Guard([&] { taken = Real_Bludo_KeyDown(ke->key(), ke->modifiers()); });
        if (taken)
            return true;
    } else if (watched == E_Context_Real) {
        if (t == QEvent::KeyPress)
            Timer_Real->stop();
        else if (t == QEvent::KeyRelease)
            Timer_Real->start();
    } else if (watched != Btn_Take_Real && watched != Image7 && watched != Label3) {
        // Only the import panel and what it shows are a button here; every other control keeps its mouse.
    } else if (t == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        pressTake(true);
        return true;
    } else if (t == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        pressTake(false);
        if (Btn_Take_Real->rect().contains(Btn_Take_Real->mapFromGlobal(static_cast<QMouseEvent*>(event)->globalPosition().toPoint())))
            Guard([this] { Btn_Take_RealClick(); });
        return true;
    }
    return QObject::eventFilter(watched, event);
}

bool TRealTab::Real_Bludo_KeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    // A digit or a sign goes to the keypad, which then waits for Enter on its OK.
    Keypad->focusTarget = Keypad->Btn_OKS;
    return Keypad->KeyDown(key, modifiers);
}

void TRealTab::pressTake(bool down)
{
    // The panel sinks while pressed: its picture and text move with it.
    Btn_Take_Real->setFrameShadow(down ? QFrame::Sunken : QFrame::Raised);
    Btn_Take_Real->layout()->setContentsMargins(down ? QMargins(11, 11, 9, 9) : QMargins(9, 9, 9, 9));
}

// ---- lists ----

void TRealTab::Q_Docs_RealCalcFields(db::Query& q)
{
    const qint64 t = q.hasField(QStringLiteral("DOC_TYPE")) ? q.field(QStringLiteral("DOC_TYPE")).asInt64() : 0;
    static const QStringList names{QStringLiteral("Инв"),  QStringLiteral("Произв"), QStringLiteral("Реал"),
                                   QStringLiteral("Вн.пер"), QStringLiteral("Прих"), QStringLiteral("Расх"),
                                   QStringLiteral("Произв")};
    q.setCalc(QStringLiteral("TD"), t >= 1 && t <= 7 ? names[static_cast<int>(t) - 1] : QStringLiteral("???"));
}

QVariant TRealTab::Grid_DocRealGetCellParams(const db::Query& q, int row, const QString&, int role)
{
    if (role == Qt::ForegroundRole)
        return QPalette().color(QPalette::ButtonText);
    if (role != Qt::BackgroundRole)
        return {};
    const int col = q.fieldIndex(QStringLiteral("PROVODKA"));
    const bool posted = col >= 0 && q.valueAt(row, col).toLongLong() > 0;
    return QPalette().color(posted ? QPalette::Button : QPalette::Base);
}

void TRealTab::Q_Docs_RealAfterScroll()
{
    if (!StartupDone || List_Docs_Real->reopening())
        return;
    Timer_Real->stop();
    GreyOut(Grid_RealBludo);
    Q_Real_Bludo->close();
    Timer_Real->start();
}

void TRealTab::Timer_RealTimer()
{
    Timer_Real->stop();
    Release(Grid_RealBludo);
    Open_RealBludo();
}

void TRealTab::Sheet_RealShow()
{
    if (!StartupDone)
        return;
    // Read again as the tab is shown, the list stays on its document.
    const qint64 current = cat::HasRow(Q_Docs_Real) ? cat::KeyOf(Q_Docs_Real) : 0;
    Open_DocsReal();
    Q_Docs_Real->prepare();
    Q_Docs_Real->open();
    if (current != 0)
        Q_Docs_Real->locate(QStringLiteral("KOD"), QVariant::fromValue<qint64>(current));
    Open_RealBludo();
    // The lines are read now; the reload the list's move started is not needed.
    Timer_Real->stop();
    Release(Grid_RealBludo);
}

void TRealTab::Open_DocsReal()
{
    const movement::ListQuery q = realdocs::DocsRealQuery(RealPeriodFilter, Form_Period->Date_Start->date(),
                                                          Form_Period->Date_Finish->date());
    doctabs::SetStatement(Q_Docs_Real, q);
}

void TRealTab::Open_RealBludo()
{
    Q_Real_Bludo->close();
    if (!cat::HasRow(Q_Docs_Real))
        return;
    doctabs::OpenStatement(Q_Real_Bludo, realdocs::RealBludoQuery(cat::KeyOf(Q_Docs_Real), CB_Context_Real->isChecked(), E_Context_Real->text()));
}

void TRealTab::periodOff()
{
    RealPeriodFilter = false;
    L_Period_Real->setText(QStringLiteral("Любая дата документа"));
}

void TRealTab::reopenAt(qint64 kod)
{
    Open_DocsReal();
    Q_Docs_Real->prepare();
    Q_Docs_Real->open();
    if (kod != 0)
        Q_Docs_Real->locate(QStringLiteral("KOD"), QVariant::fromValue<qint64>(kod));
    Open_RealBludo();
    Grid_DocReal->setFocus();
}

void TRealTab::ShowDocument(qint64 kod)
{
    periodOff();
    reopenAt(kod);
}

void TRealTab::standOnSaved(qint64 kod, bool filtered)
{
    periodOff();
    if (filtered || !Q_Docs_Real->active()) {
        reopenAt(kod);
        return;
    }
    if (kod != 0)
        Q_Docs_Real->locate(QStringLiteral("KOD"), QVariant::fromValue<qint64>(kod));
    Open_RealBludo();
    Grid_DocReal->setFocus();
}

void TRealTab::Btn_Period_RealClick()
{
    if (Msg::execModal(Form_Period) != QDialog::Accepted)
        return;
    const bool all = Form_Period->AllDates != 0;
    RealPeriodFilter = !all;
    L_Period_Real->setText(movement::PeriodCaption(all, Form_Period->Date_Start->date(), Form_Period->Date_Finish->date()));
    Open_DocsReal();
    Q_Docs_Real->prepare();
    Q_Docs_Real->open();
}

void TRealTab::CB_Context_RealClick()
{
    cat::SetActive(E_Context_Real, CB_Context_Real->isChecked());
    Open_RealBludo();
}


// ---- documents ----

void TRealTab::Btn_Add_RealClick()
{
    {
        WriteTransaction w(realdocs::kRoad);
        const bool locked = realdocs::InventoryOpen(w.context());
        w.rollback();
        if (locked) {
            Msg::notice(kInventoryOpen);
            return;
        }
    }
    const catalogue::CurrentStructure at = catalogue::CurrentStructureRows();
    Form_DocReal->PrepareNew(at.firma, at.firmaName);
    if (Msg::execModal(Form_DocReal) != QDialog::Accepted)
        return;
    standOnSaved(Form_DocReal->SavedKod, RealPeriodFilter);
}

void TRealTab::Btn_Upd_RealClick()
{
    if (!cat::HasRow(Q_Docs_Real))
        return;
    const db::Field p = Q_Docs_Real->field(QStringLiteral("PROVODKA"));
    if (!p.isNull() && p.asInt() > 0) {
        Msg::notice(QStringLiteral("Документ уже проведён, изменения невозможны !"));
        return;
    }
    Form_DocReal->PrepareEdit(*Q_Docs_Real);
    if (Msg::execModal(Form_DocReal) != QDialog::Accepted)
        return;
    standOnSaved(Form_DocReal->SavedKod, RealPeriodFilter);
}

void TRealTab::Btn_Copy_RealClick()
{
    if (!cat::HasRow(Q_Docs_Real)) {
        Msg::notice(QStringLiteral("Нет исходного документа !"));
        return;
    }
    // A copy is a new document: an open inventory holds it back as it does creation.
    {
        WriteTransaction w(realdocs::kRoad);
        const bool locked = realdocs::InventoryOpen(w.context());
        w.rollback();
        if (locked) {
            Msg::notice(kInventoryOpen);
            return;
        }
    }
    const std::optional<QString> name = doctabs::AskNewDocNumber();
    if (!name)
        return;
    const bool filtered = RealPeriodFilter;
    periodOff();
    const int choice = cat::ChooseRG(QString(), {QStringLiteral("Копировать с количеством"), QStringLiteral("Копировать без количества")});
    if (choice < 0)
        return;
    const qint64 source = cat::KeyOf(Q_Docs_Real);
    const QString sourceName = Q_Docs_Real->field(QStringLiteral("NAME")).asString();
    // The lines as listed: with the search on, only those shown.
    QList<qint64> keys;
    db::Query* l = Q_Real_Bludo;
    if (cat::HasRow(l)) {
        const int col = l->fieldIndex(QStringLiteral("KOD"));
        for (int r = 0; r < l->recordCount(); ++r)
            keys << l->valueAt(r, col).toLongLong();
    }
    WriteTransaction w(realdocs::kRoad);
    const qint64 kod = realdocs::CopyDocument(w.context(), source, *name, Clock::today(), Clock::timeOfDay(), choice == 0, keys);
    List_Docs_Real->standOn(kod);
    w.commit(kArea, QStringLiteral("Копирование документа № <<") + sourceName + QStringLiteral(">> в документ № <<") + *name +
                        QStringLiteral(">>"));
    standOnSaved(kod, filtered);
}

void TRealTab::Btn_Del_RealClick()
{
    if (!CheckRight(Right::DeleteDocs))
        return;
    if (!cat::HasRow(Q_Docs_Real))
        return;
    ShowDeleteDocs(Q_Docs_Real, true);
}

void TRealTab::Btn_Print_RealClick()
{
    // The statements of a period need no document in the list.
    printing::ShowPrintReal(printDocument(Q_Docs_Real, Q_Real_Bludo));
}

void TRealTab::Btn_Take_RealClick()
{
    TakeShiftTotals([this](qint64 kod) { standOnSaved(kod, RealPeriodFilter); });
}

// ---- quantities ----

bool TRealTab::KeypadAllowed() const
{
    if (!cat::HasRow(Q_Docs_Real) || !cat::HasRow(Q_Real_Bludo))
        return false;
    const db::Field p = Q_Docs_Real->field(QStringLiteral("PROVODKA"));
    return p.isNull() || p.asInt() <= 0;
}

void TRealTab::SetQuantity(double value)
{
    const qint64 line = cat::KeyOf(Q_Real_Bludo);
    const qint64 doc = cat::KeyOf(Q_Docs_Real);
    const QString name = Q_Docs_Real->field(QStringLiteral("NAME")).asString();
    {
        WriteTransaction w(realdocs::kRoad);
        engine::NamingDocument(name, [&] { realdocs::SetLineQuantity(w.context(), realdocs::Claim(w.context(), doc), line, value); });
        w.commit();  // the lines reload on the line just changed
    }
    if (Keypad->LeavingCell())
        return;
    db::Query* l = Q_Real_Bludo;
    if (CB_Next->isChecked() && l->recNo() + 1 < l->recordCount())
        l->next();
    QTimer::singleShot(0, Grid_RealBludo, [g = Grid_RealBludo] { g->setFocus(); });
}
