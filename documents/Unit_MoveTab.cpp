#include "Unit_MoveTab.h"

#include "Unit_DelDoc.h"

#include "CatalogueUi.h"
#include "DocumentTabs.h"
#include "MovementDb.h"
#include "Printing.h"
#include "Unit_DocMove.h"
#include "Unit_IngToDoc.h"
#include "Unit_ProductsTab.h"
#include "base/Unit_Base.h"
#include "entries/CurrentStructure.h"
#include "grid/DatasetModel.h"
#include "db/Query.h"
#include "engine/EngineDb.h"
#include "engine/WriteRoad.h"
#include "grid/ListHolder.h"
#include "ui/RadioGroup.h"
#include "ui/Unit_Main.h"
#include "ui/Unit_Period.h"
#include "ui/Unit_RG.h"
#include "grid/Greying.h"
#include "util/Clock.h"
#include "util/Globals.h"
#include "util/Messages.h"
#include "util/Settings.h"
#include "util/Unit_Util.h"

#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPalette>
#include <QPushButton>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

TMoveTab* MoveTab = nullptr;

namespace {

bool inside(const db::Query* q) { return !q->bof() && !q->eof(); }

bool moveTabShown()
{
    return Form_Main->ActivePage() == Form_Main->Sheet_Ing && Form_Main->ActiveInnerPage() == Form_Main->Sheet_Move;
}

// A column of the current row, 0 when there is none (an empty list, a NULL).
qint64 intOf(const db::Query* q, const char* name)
{
    const QString column = QString::fromLatin1(name);
    if (!cat::HasRow(q) || q->recNo() < 0 || !q->hasField(column))
        return 0;
    const db::Field f = q->field(column);
    return f.isNull() ? 0 : f.asInt64();
}

} // namespace

TMoveTab::TMoveTab(QObject* parent) : QObject(parent)
{
    QWidget* sheet = Form_Main->Sheet_Move;
    auto* lay = static_cast<QVBoxLayout*>(sheet->layout());
    auto* buttons = new QHBoxLayout;
    using doctabs::AddButton;
    Btn_NewDocMove = AddButton(QStringLiteral("Создать"), QStringLiteral("Создать документ движения"), sheet, buttons);
    Btn_UpdDocMove = AddButton(QStringLiteral("Изменить"), QStringLiteral("Изменить заголовок документа"), sheet, buttons);
    Btn_Zapol = AddButton(QStringLiteral("Заполнить"), QStringLiteral("Заполнить документ продуктами"), sheet, buttons);
    Btn_Provodka = AddButton(QStringLiteral("Провести"), {}, sheet, buttons);
    Btn_PrintDocMove = AddButton(QStringLiteral("Печать"), {}, sheet, buttons);
    Btn_DelDocMove = AddButton(QStringLiteral("Удалить"), {}, sheet, buttons);
    buttons->addStretch();
    lay->addLayout(buttons);

    auto* filters = new QHBoxLayout;
    Btn_CangePeriod = new QPushButton(QStringLiteral("Выбор периода"), sheet);
    L_Period = new QLabel(QStringLiteral("Любая дата документа"), sheet);
    Combo_TypeDoc = new QComboBox(sheet);
    Combo_TypeDoc->addItems({QStringLiteral("Все документы"), QStringLiteral("Инветнтаризации"), QStringLiteral("Производство"),
                             QStringLiteral("Реализации"), QStringLiteral("Внутреннее перемещение"), QStringLiteral("Приход"),
                             QStringLiteral("Расход"), QStringLiteral("Расход при производстве"),
                             QStringLiteral("Приход + Расход")});
    Combo_TypeDoc->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    filters->addWidget(Btn_CangePeriod);
    filters->addWidget(L_Period, 1);
    filters->addWidget(Combo_TypeDoc);
    lay->addLayout(filters);
    R_Detail = new TRadioGroup(QStringLiteral("Детализация выборки"),
                               {QStringLiteral("Все предприятия"), QStringLiteral("Предприятие"),
                                QStringLiteral("Подразделение (Отдел)")},
                               sheet);
    R_Detail->setColumns(3);
    R_Detail->setItemIndex(1);
    lay->addWidget(R_Detail);

    auto* split = new QSplitter(Qt::Vertical, sheet);
    Grid_Dvig = new db::DbGrid(split);
    Grid_DvigIng = new db::DbGrid(split);
    split->addWidget(Grid_Dvig);
    split->addWidget(Grid_DvigIng);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    lay->addWidget(split, 1);

    // The lists follow what write roads commit to the tables they read.
    List_Dvig = new db::ListHolder(Form_Base->MyDB, Form_Base->TransactionRead, this);
    List_Dvig->setTables({QStringLiteral("DOCS"), QStringLiteral("FIRMA"), QStringLiteral("OTDEL")});
    List_Dvig->setKeyTable(QStringLiteral("DOCS"));
    Q_Dvig = List_Dvig->query();
    Q_Dvig->addCalcField(QStringLiteral("TD"));
    Q_Dvig->onCalcFields = &TMoveTab::Q_DvigCalcFields;
    List_Moves = new db::ListHolder(Form_Base->MyDB, Form_Base->TransactionRead, this);
    List_Moves->setTables({QStringLiteral("MOVES"), QStringLiteral("ING"), QStringLiteral("ED_IZM")});
    List_Moves->setKeyTable(QStringLiteral("MOVES"));
    Q_Moves = List_Moves->query();
    Q_Moves->addCalcField(QStringLiteral("TypDvig"));
    Q_Moves->onCalcFields = &TMoveTab::Q_MovesCalcFields;
    Timer_Moves = new QTimer(this);
    Timer_Moves->setSingleShot(true);
    Timer_Moves->setInterval(400);

    Grid_Dvig->setQuery(Q_Dvig);
    cat::SetColumns(Grid_Dvig, {{QStringLiteral("DATE_DOC"), QStringLiteral("Дата"), cat::DateColumnWidth(Grid_Dvig)},
                                {QStringLiteral("NAME"), QStringLiteral("№ документа"), 110},
                                {QStringLiteral("TD"), QStringLiteral("Тип"), cat::ValueColumnWidth(Grid_Dvig, QStringLiteral("Произв"), 60)},
                                {QStringLiteral("F_FROM"), QStringLiteral("Предприятие"), 150},
                                {QStringLiteral("O_FROM"), QStringLiteral("Отдел"), 130},
                                {QStringLiteral("F_TO"), QStringLiteral("Контрагент"), 150}});
    Grid_Dvig->datasetModel()->setCellStyle(&TMoveTab::Grid_DvigGetCellParams);
    Grid_Dvig->setEditButton(Btn_UpdDocMove);
    Grid_Dvig->horizontalHeader()->setStretchLastSection(true);
    Grid_DvigIng->setQuery(Q_Moves);
    // Quantities and prices with six decimals and sums show whole in the tab's font, a zoomed one too.
    auto figure = [this](const QString& format, int design) { return cat::FigureColumnWidth(Grid_DvigIng, format, design); };
    cat::SetColumns(Grid_DvigIng, {{QStringLiteral("NAME"), QStringLiteral("Наименование"), 260},
                                   {QStringLiteral("ED_IZM"), QStringLiteral("Ед.изм."), 55},
                                   {QStringLiteral("KOLVO"), QStringLiteral("Кол-во"), figure(db::kQuantityDisplay, 75), db::kQuantityDisplay},
                                   {QStringLiteral("CENA"), QStringLiteral("Цена"), figure(db::kPriceDisplay, 75), db::kPriceDisplay},
                                   {QStringLiteral("SUMMA"), QStringLiteral("Сумма"), figure(QStringLiteral("#.00"), 85), QStringLiteral("#.00")},
                                   {QStringLiteral("TypDvig"), QStringLiteral("+ -"), 30}});
    Grid_DvigIng->horizontalHeader()->setStretchLastSection(true);

    // The document list's scroll handlers set the posting button and grey the lines.
    connect(Q_Dvig, &db::Query::beforeScroll, this, &TMoveTab::Q_DvigBeforeScroll);
    connect(Q_Dvig, &db::Query::afterScroll, this, &TMoveTab::Q_DvigAfterScroll);
    connect(Q_Dvig, &db::Query::afterClose, this, &TMoveTab::Q_DvigAfterClose);
    // The lines follow their own tables; a document gone moves the list and they follow as after a move.
    doctabs::FollowDocuments(List_Dvig, this, [this] { showPostingState(); },
                             [this] {
                                 Q_DvigBeforeScroll();
                                 Q_DvigAfterScroll();
                             });
    connect(Timer_Moves, &QTimer::timeout, this, [this] { Guard([this] { Timer_MovesTimer(); }); });

    doctabs::ConnectButtons(this, {{Btn_NewDocMove, &TMoveTab::Btn_NewDocMoveClick},
                                   {Btn_UpdDocMove, &TMoveTab::Btn_UpdDocMoveClick},
                                   {Btn_Zapol, &TMoveTab::Btn_ZapolClick},
                                   {Btn_Provodka, &TMoveTab::Btn_ProvodkaClick},
                                   {Btn_PrintDocMove, &TMoveTab::Btn_PrintDocMoveClick},
                                   {Btn_DelDocMove, &TMoveTab::Btn_DelDocMoveClick},
                                   {Btn_CangePeriod, &TMoveTab::Btn_CangePeriodClick}});
    connect(R_Detail, &TRadioGroup::clicked, this, [this] { Guard([this] { R_DetailClick(); }); });
    connect(Combo_TypeDoc, &QComboBox::currentIndexChanged, this, [this] { Guard([this] { Combo_TypeDocChange(); }); });
    sheet->installEventFilter(this);
    if (ProductsTab)
        ProductsTab->hooks.syncMoveSelectors = [this] { Sync_MoveSelectors(); };
}

TMoveTab::~TMoveTab()
{
    if (ProductsTab)
        ProductsTab->hooks.syncMoveSelectors = nullptr;
    if (MoveTab == this)
        MoveTab = nullptr;
}

bool TMoveTab::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Form_Main->Sheet_Move && !event->spontaneous()) {
        if (event->type() == QEvent::Show)
            Guard([this] { Sheet_MoveShow(); });
        else if (event->type() == QEvent::Hide)
            Guard([this] { Sheet_MoveHide(); });
    }
    return QObject::eventFilter(watched, event);
}

QVariant TMoveTab::Grid_DvigGetCellParams(const db::Query& q, int row, const QString&, int role)
{
    if (role != Qt::BackgroundRole)
        return {};
    const int col = q.fieldIndex(QStringLiteral("PROVODKA"));
    if (col >= 0 && q.valueAt(row, col).toLongLong() > 10)
        return QPalette().color(QPalette::Button);
    return {};
}

// ---- lists ----

void TMoveTab::Q_DvigBeforeScroll()
{
    if (List_Dvig->reopening() || !inside(Q_Dvig))
        return;
    Timer_Moves->stop();
    GreyOut(Grid_DvigIng);
}

void TMoveTab::Q_DvigAfterScroll()
{
    if (List_Dvig->reopening())
        return;
    Timer_Moves->start();
    showPostingState();
}

void TMoveTab::showPostingState()
{
    const qint64 provodka = intOf(Q_Dvig, "PROVODKA");
    const qint64 type = intOf(Q_Dvig, "DOC_TYPE");
    Btn_Provodka->setText(provodka > 10 ? QStringLiteral("Снять пр.") : QStringLiteral("Провести"));
    // A posted inventory stays posted while un-posting inventories is forbidden.
    Btn_Provodka->setEnabled(!(provodka > 10 && type == 1 && MyParams->v.InvProvodka));
}

void TMoveTab::Q_DvigAfterClose()
{
    if (List_Dvig->reopening() || !moveTabShown())
        return;
    Timer_Moves->stop();
    GreyOut(Grid_DvigIng);
    Q_Moves->close();
}

void TMoveTab::Timer_MovesTimer()
{
    Timer_Moves->stop();
    if (!cat::HasRow(Q_Dvig))
        return;
    Form_Base->OpenRead(Q_Moves, QStringList{QStringLiteral("SELECT MOVES.*, ING.NAME, ED_IZM.SHORT_NAME AS ED_IZM FROM MOVES"),
                                             QStringLiteral("LEFT OUTER JOIN ING ON MOVES.KOD_ING = ING.KOD"),
                                             QStringLiteral("LEFT OUTER JOIN ED_IZM ON ING.ED_IZM = ED_IZM.KOD"),
                                             QStringLiteral("WHERE MOVES.KOD_DOC = ") + Key(cat::KeyOf(Q_Dvig)),
                                             QStringLiteral("ORDER BY KOD")}
                                     .join(QLatin1Char('\n')));
    Release(Grid_DvigIng);
}

void TMoveTab::Q_MovesCalcFields(db::Query& q)
{
    const qint64 t = q.hasField(QStringLiteral("TYPE_MOVES")) ? q.field(QStringLiteral("TYPE_MOVES")).asInt64() : 0;
    q.setCalc(QStringLiteral("TypDvig"), t == 1 ? QStringLiteral(" +") : t == 2 ? QStringLiteral(" -") : QString());
}

void TMoveTab::Q_DvigCalcFields(db::Query& q)
{
    const qint64 t = q.hasField(QStringLiteral("DOC_TYPE")) ? q.field(QStringLiteral("DOC_TYPE")).asInt64() : 0;
    q.setCalc(QStringLiteral("TD"), doctabs::DocTypeName(t));
}

// ---- tab ----

void TMoveTab::Sheet_MoveShow()
{
    if (!StartupDone)
        return;
    if (ProductsTab && !ProductsTab->PopupMenu_Group->actions().isEmpty())
        ProductsTab->PopupMenu_Group->actions().first()->setEnabled(false);
    // Shown by a change of sub-tab or of tab: the selector grids follow, and the list with them.
    Sync_MoveSelectors();
    if (!Q_Dvig->active())
        Open_DocsMove();
}

void TMoveTab::Sheet_MoveHide()
{
    if (!ProductsTab)
        return;
    cat::SetActive(ProductsTab->Grid_GrIng, true);
    if (!ProductsTab->PopupMenu_Group->actions().isEmpty())
        ProductsTab->PopupMenu_Group->actions().first()->setEnabled(true);
}

void TMoveTab::Btn_CangePeriodClick()
{
    if (Msg::execModal(Form_Period) != QDialog::Accepted)
        return;
    L_Period->setText(movement::PeriodCaption(Form_Period->AllDates != 0, Form_Period->Date_Start->date(),
                                              Form_Period->Date_Finish->date()));
    Open_DocsMove();
}

void TMoveTab::Open_DocsMove()
{
    movement::ListFilter f;
    f.allDates = Form_Period->AllDates != 0;
    f.start = Form_Period->Date_Start->date();
    f.finish = Form_Period->Date_Finish->date();
    f.lockOn = MyParams->v.DateDocEdit;
    f.lockDate = MyParams->v.MyDateDocEdit;
    f.type = Combo_TypeDoc->currentIndex();
    f.detail = R_Detail->itemIndex();
    const catalogue::CurrentStructure at = catalogue::CurrentStructureRows();
    f.firma = at.firma;
    f.otdel = at.otdel;
    // Read again (a tab shown, a filter changed), the list stays on its
    // document while it is listed.
    const qint64 current = intOf(Q_Dvig, "KOD");
    doctabs::OpenStatement(Q_Dvig, movement::DocsMoveQuery(f));
    LocateDoc(current);
}

void TMoveTab::R_DetailClick()
{
    Open_DocsMove();
    Sync_MoveSelectors();
}

void TMoveTab::Combo_TypeDocChange() { Open_DocsMove(); }

void TMoveTab::Sync_MoveSelectors()
{
    if (!ProductsTab)
        return;
    syncSelectorGrids();
    if (StartupDone)
        Open_DocsMove();
}

void TMoveTab::syncSelectorGrids()
{
    if (!ProductsTab)
        return;
    const int detail = R_Detail->itemIndex();
    cat::SetActive(ProductsTab->Grid_GrIng, false);
    cat::SetActive(ProductsTab->Grid_Firma1, detail >= 1);
    cat::SetActive(ProductsTab->Grid_Otdel1, detail >= 2);
    cat::SetActive(ProductsTab->Grid_Sklad1, false);
}

void TMoveTab::LocateDoc(qint64 kod)
{
    if (kod != 0)
        Q_Dvig->locate(QStringLiteral("KOD"), QVariant::fromValue<qint64>(kod));
}

// ---- documents ----

void TMoveTab::Btn_NewDocMoveClick()
{
    const QStringList items{QStringLiteral("Создаём новый пустой документ"),
                            QStringLiteral("Делаем копию выбранного без количества"),
                            QStringLiteral("Делаем копию выбранного c количеством")};
    auto q = engine::Reader(engine::ProgramContext(), QStringLiteral("SELECT COUNT(KOD) FROM DOCS WHERE DOC_TYPE = 1 AND PROVODKA < 11"));
    q->open();
    const qint64 open = q->field(0).asInt64();
    if (open >= 1) {
        Msg::notice(QStringLiteral("Нельзя создать документ ДВИЖЕНИЯ пока имеются непроведённые документы "
                                   "ИНВЕНТАРИЗАЦИИ ! Сначала нужно эти документы провести или удалить."));
        return;
    }
    const int choice = cat::ChooseRG(QStringLiteral("Наши действия"), items);
    if (choice < 0)
        return;
    Form_DocMove->SetEditable(true);
    if (choice == 0)
        New_DocMove();
    else
        Copy_DocMove(choice == 2);
}

void TMoveTab::New_DocMove()
{
    const catalogue::CurrentStructure at = catalogue::CurrentStructureRows();
    if (at.firma == 0)
        return;
    TForm_DocMove* f = Form_DocMove;
    f->PrepareNew(at.firma, at.firmaName, at.otdel, at.otdelName);
    if (Msg::execModal(f) != QDialog::Accepted)
        return;
    // The saved document's commit reloaded the list; it stands on the document.
    syncSelectorGrids();
    if (!Q_Dvig->active())
        Open_DocsMove();
    LocateDoc(f->SavedKod);
    Grid_Dvig->setFocus();
}

void TMoveTab::Copy_DocMove(bool withQuantity)
{
    db::Query* d = Q_Dvig;
    if (!cat::HasRow(d)) {
        Msg::notice(QStringLiteral("Нет исходного документа !"));
        return;
    }
    const qint64 type = intOf(d, "DOC_TYPE");
    if (type != 4 && type != 5 && type != 6) {
        Msg::notice(QStringLiteral("Создание документов при помощи копирования допускается только для документов типа: "
                                   "\"Внутреннее перемещение\", \"Приход\", \"Расход\" !"));
        return;
    }
    const std::optional<QString> name = doctabs::AskNewDocNumber();
    if (!name)
        return;
    QDate date = Clock::today();
    if (MyParams->v.DateDocEdit && MyParams->v.MyDateDocEdit.isValid() && date < MyParams->v.MyDateDocEdit)
        date = MyParams->v.MyDateDocEdit;
    WriteTransaction w(movement::kRoad);
    const qint64 kod = movement::CopyDocument(w.context(), cat::KeyOf(d), *name, date, Clock::timeOfDay(), withQuantity);
    List_Dvig->standOn(kod);
    w.commit(QStringLiteral("Движение"), QStringLiteral("Создание нового документа движения копированием"));
    Grid_Dvig->setFocus();
}

void TMoveTab::Btn_UpdDocMoveClick()
{
    db::Query* d = Q_Dvig;
    if (!cat::HasRow(d) || catalogue::CurrentStructureRows().firma == 0)
        return;
    const qint64 type = intOf(d, "DOC_TYPE");
    if (type != 4 && type != 5 && type != 6)
        return;
    TForm_DocMove* f = Form_DocMove;
    f->PrepareEdit(*d, cat::HasRow(Q_Moves));
    if (Msg::execModal(f) != QDialog::Accepted)
        return;
    syncSelectorGrids();
    if (!Q_Dvig->active())
        Open_DocsMove();
    LocateDoc(f->SavedKod);
}

void TMoveTab::Btn_ZapolClick()
{
    db::Query* d = Q_Dvig;
    if (!cat::HasRow(d))
        return;
    const qint64 type = intOf(d, "DOC_TYPE");
    // A production write-off (7) is made by posting its production document and goes with it.
    if (type == 2 || type == 3 || type == 7) {
        Msg::notice(QStringLiteral("Документы реализации и производства заполняются в окне \"Поризводство и реализация\" !"));
        return;
    }
    if (type == 1) {
        Msg::notice(QStringLiteral("Документы инвентаризации заполняются в окне \"Инвентаризация\" !"));
        return;
    }
    if (intOf(d, "PROVODKA") > 10) {
        Msg::notice(QStringLiteral("Нельзя вносить изменения в проведённый документ !!!"));
        return;
    }
    Form_IngToDoc->OpenFor(cat::KeyOf(d));
    Msg::execModal(Form_IngToDoc);
    Form_IngToDoc->CloseLists();
}

void TMoveTab::Btn_PrintDocMoveClick()
{
    db::Query* d = Q_Dvig;
    if (!cat::HasRow(d))
        return printing::ShowPrtDvig(0, 0);
    printing::ShowPrtDvig(cat::KeyOf(d), static_cast<int>(intOf(d, "DOC_TYPE")));
}

void TMoveTab::Btn_DelDocMoveClick()
{
    if (!CheckRight(Right::DeleteDocs))
        return;
    if (!cat::HasRow(Q_Dvig))
        return;
    DeleteListInfo info;
    info.period = L_Period->text();
    info.types = Combo_TypeDoc->currentText();
    info.detail = R_Detail->itemIndex();
    const catalogue::CurrentStructure at = catalogue::CurrentStructureRows();
    info.firma = at.firmaName;
    info.otdel = at.otdelName;
    ShowDeleteDocs(Q_Dvig, false, info);
}
