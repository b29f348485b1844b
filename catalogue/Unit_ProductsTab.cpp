#include "Unit_ProductsTab.h"

#include "CatalogueUi.h"
#include "IngSkladDialog.h"
#include "Unit_StructureBox.h"
#include "KartaWindows.h"
#include "Printing.h"
#include "entries/Prt_Ostatki.h"
#include "Products.h"
#include "Unit_Compute.h"
#include "Unit_GrIng.h"
#include "Unit_GrToSklad.h"
#include "Unit_Ing.h"
#include "Unit_Karta.h"
#include "Unit_MoveIng.h"
#include "Unit_NSection.h"
#include "base/Unit_Base.h"
#include "grid/DatasetModel.h"
#include "grid/ListHolder.h"
#include "db/Query.h"
#include "ui/Unit_Main.h"
#include "grid/Greying.h"
#include "util/Globals.h"
#include "util/Messages.h"
#include "util/SettingsStore.h"
#include "util/Unit_Util.h"

#include <QCheckBox>
#include <QEvent>
#include <QFont>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPalette>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>

TProductsTab* ProductsTab = nullptr;

namespace {

QPushButton* addButton(const QString& text, QWidget* parent, QHBoxLayout* row, const QString& hint = {})
{
    auto* b = new QPushButton(text, parent);
    if (!hint.isEmpty())
        b->setToolTip(hint);
    row->addWidget(b);
    return b;
}

// The search row of a product list: the search box, its edit (off until the
// box is ticked) and the box that shows hidden products too.
void addSearchRow(QWidget* sheet, QVBoxLayout* lay, QCheckBox*& context, QLineEdit*& edit, QCheckBox*& closed)
{
    auto* search = new QHBoxLayout;
    context = new QCheckBox(QStringLiteral("Контекстный поиск  -->"), sheet);
    edit = new QLineEdit(sheet);
    edit->setMaxLength(100);
    closed = new QCheckBox(QStringLiteral("Показывать скрытые продукты"), sheet);
    search->addWidget(context);
    search->addWidget(edit, 1);
    search->addWidget(closed);
    lay->addLayout(search);
    cat::SetActive(edit, false);
}

double number(const db::Query& q, int row, const char* field)
{
    const int col = q.fieldIndex(QString::fromLatin1(field));
    return col < 0 ? 0.0 : q.valueAt(row, col).toDouble();
}

QVariant hiddenBackground(const db::Query& q, int row)
{
    if (number(q, row, "OPEN_CLOSE") > 0)
        return QPalette().color(QPalette::Button);
    return {};
}

QString textField(const db::Query* q, const char* field)
{
    return cat::HasRow(q) ? q->field(QString::fromLatin1(field)).asString() : QString();
}

bool isShown(QWidget* page) { return Form_Main->ActiveInnerPage() == page; }

} // namespace

QVariant TProductsTab::IngCellStyle(const db::Query& q, int row, const QString&, int role)
{
    if (role == Qt::FontRole && number(q, row, "MY_LEVEL") > 0) {
        QFont f;
        f.setBold(true);
        return f;
    }
    if (role == Qt::BackgroundRole)
        return hiddenBackground(q, row);
    return {};
}

QVariant TProductsTab::StockCellStyle(const db::Query& q, int row, const QString&, int role)
{
    const int col = q.fieldIndex(QStringLiteral("KOLVO"));
    const QVariant kolvo = col < 0 ? QVariant() : q.valueAt(row, col);
    if (role == Qt::FontRole) {
        const bool zero = kolvo.isValid() && kolvo.toDouble() == 0.0;
        const bool composite = number(q, row, "MY_LEVEL") > 0;
        if (!zero && !composite)
            return {};
        QFont f;
        f.setItalic(zero);
        f.setBold(composite);
        return f;
    }
    if (role == Qt::ForegroundRole && kolvo.isValid() && kolvo.toDouble() < 0)
        return QColor(Qt::red);
    if (role == Qt::BackgroundRole)
        return hiddenBackground(q, row);
    return {};
}

TProductsTab::TProductsTab(QObject* parent) : QObject(parent)
{
    makeLists();
    buildSelectors();
    buildAllIng();
    buildSkladIng();

    ConnectLists();

    const struct {
        QPushButton* b;
        void (TProductsTab::*h)();
    } handlers[] = {{Btn_Add_GR, &TProductsTab::Btn_Add_GRClick},
                    {Btn_Upd_GR, &TProductsTab::Btn_Upd_GRClick},
                    {Btn_Del_GR, &TProductsTab::Btn_Del_GRClick},
                    {Btn_Add_Ing, &TProductsTab::Btn_Add_IngClick},
                    {Btn_Upd_Ing, &TProductsTab::Btn_Upd_IngClick},
                    {Btn_Del_Ing, &TProductsTab::Btn_Del_IngClick},
                    {Btn_Karta, &TProductsTab::Btn_KartaClick},
                    {Btn_Move_Ing, &TProductsTab::Btn_Move_IngClick},
                    {Btn_Copy_Ing, &TProductsTab::Btn_Copy_IngClick},
                    {Btn_DvigIng, &TProductsTab::Btn_DvigIngClick},
                    {Btn_Upd_IngSklad, &TProductsTab::Btn_Upd_IngSkladClick},
                    {Btn_Inv, &TProductsTab::Btn_InvClick},
                    {Btn_Print_IngSklad, &TProductsTab::Btn_Print_IngSkladClick},
                    {Btn_Calc, &TProductsTab::Btn_CalcClick},
                    {Btn_DvigIng2, &TProductsTab::Btn_DvigIng2Click},
                    {BitBtn1, &TProductsTab::BitBtn1Click}};
    for (const auto& h : handlers) {
        auto handler = h.h;
        connect(h.b, &QPushButton::clicked, this, [this, handler] { Guard([this, handler] { (this->*handler)(); }); });
    }
    // The boxes rebuild their list at once; a ticked search box hands the focus to its edit.
    const auto connectSearchRow = [this](QCheckBox* context, QLineEdit* edit, QCheckBox* closed,
                                         void (TProductsTab::*rebuild)()) {
        connect(context, &QCheckBox::clicked, this, [this, context, edit, rebuild] {
            Guard([this, rebuild] { (this->*rebuild)(); });
            if (context->isChecked())
                edit->setFocus();
        });
        connect(closed, &QCheckBox::clicked, this, [this, rebuild] { Guard([this, rebuild] { (this->*rebuild)(); }); });
    };
    connectSearchRow(CB_Context_Ing, E_Context_Ing, CB_Closed1, &TProductsTab::CB_Context_IngClick);
    connectSearchRow(CB_Context_IngSklad, E_Context_IngSklad, CB_Closed2, &TProductsTab::CB_Context_IngSkladClick);
    E_Context_Ing->installEventFilter(this);
    E_Context_IngSklad->installEventFilter(this);
    for (QWidget* page : {Form_Main->Sheet_Ing, Form_Main->Sheet_All_Ing, Form_Main->Sheet_Sklad_Ing})
        page->installEventFilter(this);

    db::Query* ing = Q_Ing;
    connect(ing, &db::Query::opened, this, &TProductsTab::showIngDetails);
    connect(ing, &db::Query::closed, this, &TProductsTab::showIngDetails);
    connect(ing, &db::Query::currentChanged, this, &TProductsTab::showIngDetails);
}

void TProductsTab::buildSelectors()
{
    QWidget* sheet = Form_Main->Sheet_Ing;
    QTabWidget* pages = Form_Main->PageControl2;
    auto* split = new QSplitter(Qt::Horizontal, sheet);
    sheet->layout()->removeWidget(pages);
    auto* left = new QWidget(split);
    auto* col = new QVBoxLayout(left);
    col->setContentsMargins(0, 0, 0, 0);
    Grid_Firma1 = new db::DbGrid(left);
    Grid_Otdel1 = new db::DbGrid(left);
    Grid_Sklad1 = new db::DbGrid(left);
    col->addWidget(Grid_Firma1, 2);
    col->addWidget(Grid_Otdel1, 2);
    col->addWidget(Grid_Sklad1, 2);
    auto* groups = new QGroupBox(left);
    auto* gcol = new QVBoxLayout(groups);
    gcol->setContentsMargins(2, 2, 2, 2);
    Grid_GrIng = new db::DbGrid(groups);
    gcol->addWidget(Grid_GrIng, 1);
    auto* grow = new QHBoxLayout;
    Btn_Add_GR = addButton(QStringLiteral("Добавить"), groups, grow, QStringLiteral("Добавить группу"));
    Btn_Upd_GR = addButton(QStringLiteral("Изменить"), groups, grow, QStringLiteral("Изменить название группы"));
    Btn_Del_GR = addButton(QStringLiteral("Удалить"), groups, grow, QStringLiteral("Удалить пустую группу"));
    gcol->addLayout(grow);
    col->addWidget(groups, 5);
    split->addWidget(left);
    split->addWidget(pages);
    split->setStretchFactor(0, 0);
    split->setStretchFactor(1, 1);
    split->setSizes({250, 550});
    sheet->layout()->addWidget(split);

    Grid_Firma1->setQuery(StructureBox->Q_Firma);
    cat::SetColumns(Grid_Firma1, {{QStringLiteral("NAME"), QStringLiteral("Предприятие"), 180}});
    Grid_Otdel1->setQuery(StructureBox->Q_Otdel);
    cat::SetColumns(Grid_Otdel1, {{QStringLiteral("NAME"), QStringLiteral("Подразделение (Отдел)"), 180}});
    Grid_Sklad1->setQuery(StructureBox->Q_Sklad);
    cat::SetColumns(Grid_Sklad1, {{QStringLiteral("NAME"), QStringLiteral("Склад"), 180}});
    Grid_GrIng->setQuery(Q_GrIng);
    cat::SetColumns(Grid_GrIng, {{QStringLiteral("NAME"), QStringLiteral("Наименование группы"), 180}});
    Grid_GrIng->setEditButton(Btn_Upd_GR);
    for (db::DbGrid* g : {Grid_Firma1, Grid_Otdel1, Grid_Sklad1, Grid_GrIng})
        g->horizontalHeader()->setStretchLastSection(true);

    PopupMenu_Group = new QMenu(Grid_GrIng);
    QAction* n9 = PopupMenu_Group->addAction(QStringLiteral("Выставить № секции выбранной группе"));
    connect(n9, &QAction::triggered, this, [this] { Guard([this] { N9Click(); }); });
    Grid_GrIng->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Grid_GrIng, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { PopupMenu_Group->popup(Grid_GrIng->viewport()->mapToGlobal(p)); });
}

void TProductsTab::buildAllIng()
{
    QWidget* sheet = Form_Main->Sheet_All_Ing;
    auto* lay = static_cast<QVBoxLayout*>(sheet->layout());
    auto* buttons = new QHBoxLayout;
    Btn_Add_Ing = addButton(QStringLiteral("Создать"), sheet, buttons);
    Btn_Upd_Ing = addButton(QStringLiteral("Изменить"), sheet, buttons);
    Btn_Del_Ing = addButton(QStringLiteral("Удалить"), sheet, buttons);
    Btn_Karta = addButton(QStringLiteral("К/Карта"), sheet, buttons);
    Btn_Move_Ing = addButton(QStringLiteral("Переместить"), sheet, buttons);
    Btn_Copy_Ing = addButton(QStringLiteral("Копия"), sheet, buttons,
                             QStringLiteral("Добавить продукт с калькуляционной картой копируемого продукта"));
    Btn_DvigIng = addButton(QStringLiteral("Движение"), sheet, buttons, QStringLiteral("Движение продукта"));
    buttons->addStretch();
    lay->addLayout(buttons);
    addSearchRow(sheet, lay, CB_Context_Ing, E_Context_Ing, CB_Closed1);

    Grid_Ing = new db::DbGrid(sheet);
    lay->addWidget(Grid_Ing, 1);
    Grid_Ing->setQuery(Q_Ing);
    cat::SetColumns(Grid_Ing, {{QStringLiteral("NAME"), QStringLiteral("Наименование"), 240},
                          {QStringLiteral("SHORT_NAME"), QStringLiteral("Ед.изм."), 55},
                          {QStringLiteral("VIHOD"), QStringLiteral("%Вых."), 55, QStringLiteral("0.###")},
                          {QStringLiteral("K_Brutto"), QStringLiteral("К.брутто"), 60, QStringLiteral("0.###")},
                          {QStringLiteral("KALORIES"), QStringLiteral("К.Кал"), 55, QStringLiteral("0.#")},
                          {QStringLiteral("PERCENT_SKIDKA"), QStringLiteral("max%скид"), 65},
                          {QStringLiteral("USE_MENU"), QStringLiteral("М"), 25},
                          {QStringLiteral("MY_SECTION"), QStringLiteral("C"), 25},
                          {QStringLiteral("MY_LEVEL"), QStringLiteral(" + "), 30},
                          {QStringLiteral("KVO_PORC"), QStringLiteral("Единиц"), 55},
                          {QStringLiteral("PERCENT_PLUS"), QStringLiteral("%Надб"), 50},
                          {QStringLiteral("VIHOD_BLUDA"), QStringLiteral("Выход"), 100}});
    Grid_Ing->datasetModel()->setCellStyle(&TProductsTab::IngCellStyle);
    Grid_Ing->setEditButton(Btn_Upd_Ing);
    BindBruttoColumns(Grid_Ing, QStringLiteral("VIHOD"), QStringLiteral("K_Brutto"));

    auto* details = new QFormLayout;
    DBEdit1 = new QLineEdit(sheet);
    DBEdit1->setReadOnly(true);
    DBEdit3 = new QLineEdit(sheet);
    DBEdit3->setReadOnly(true);
    details->addRow(QStringLiteral("Дополнительная информация"), DBEdit1);
    details->addRow(QStringLiteral("Наименование группы"), DBEdit3);
    lay->addLayout(details);
}

void TProductsTab::buildSkladIng()
{
    QWidget* sheet = Form_Main->Sheet_Sklad_Ing;
    auto* lay = static_cast<QVBoxLayout*>(sheet->layout());
    auto* buttons = new QHBoxLayout;
    Btn_Upd_IngSklad = addButton(QStringLiteral("Изменить"), sheet, buttons);
    Btn_Inv = addButton(QStringLiteral("Инвентаризация"), sheet, buttons);
    Btn_Print_IngSklad = addButton(QStringLiteral("Остатки"), sheet, buttons);
    Btn_Calc = addButton(QStringLiteral("Расчёт цен"), sheet, buttons, QStringLiteral("Расчёт цен продуктов"));
    Btn_DvigIng2 = addButton(QStringLiteral("Движение"), sheet, buttons, QStringLiteral("Движение продукта"));
    BitBtn1 = addButton(QStringLiteral("Лимиты"), sheet, buttons);
    buttons->addStretch();
    lay->addLayout(buttons);
    addSearchRow(sheet, lay, CB_Context_IngSklad, E_Context_IngSklad, CB_Closed2);

    Grid_Ing_Sklad = new db::DbGrid(sheet);
    lay->addWidget(Grid_Ing_Sklad, 1);
    Grid_Ing_Sklad->setQuery(Q_Ing_Sklad);
    // Prices and quantities with six decimals show whole in the tab's font, a zoomed one too.
    const int figure = cat::ValueColumnWidth(Grid_Ing_Sklad, QStringLiteral("0000,000000"), 75);
    cat::SetColumns(Grid_Ing_Sklad, {{QStringLiteral("NAME"), QStringLiteral("Наименование"), 300},
                                {QStringLiteral("SHORT_NAME"), QStringLiteral("Ед.изм."), 55},
                                {QStringLiteral("CENA"), QStringLiteral("Цена"), figure, db::kPriceDisplay},
                                {QStringLiteral("MY_CENA"), QStringLiteral("Цена прод."), figure, db::kPriceDisplay},
                                {QStringLiteral("PPPP"), QStringLiteral(" % "), 60, QStringLiteral("0.#")},
                                {QStringLiteral("KOLVO"), QStringLiteral("Кол-во"), figure, db::kQuantityDisplay},
                                {QStringLiteral("LIMIT"), QStringLiteral("Лимит"), 60},
                                {QStringLiteral("PERCENT"), QStringLiteral("% надб"), 50}});
    // The names take the room the figures leave: the limit and the markup stay in sight.
    Grid_Ing_Sklad->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    Grid_Ing_Sklad->datasetModel()->setCellStyle(&TProductsTab::StockCellStyle);
    Grid_Ing_Sklad->setEditButton(Btn_Upd_IngSklad);
    buildTestPanel(sheet, lay);
}

bool TProductsTab::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type t = event->type();
    // The lists follow the typing 400 ms after the last key.
    if (t == QEvent::KeyPress || t == QEvent::KeyRelease) {
        QTimer* timer = watched == E_Context_Ing        ? Timer_Context_Ing
                        : watched == E_Context_IngSklad ? Timer_Context_IngSklad
                                                        : nullptr;
        if (timer) {
            if (t == QEvent::KeyPress)
                timer->stop();
            else
                timer->start();
        }
    }
    if ((t == QEvent::Show || t == QEvent::Hide) && !event->spontaneous()) {
        const bool show = t == QEvent::Show;
        if (watched == Form_Main->Sheet_Ing) {
            ingSheetShown_ = show;
            if (show)
                Guard([this] { Sheet_IngShow(); });
        } else if (watched == Form_Main->Sheet_All_Ing) {
            Guard([this, show] { show ? Sheet_All_IngShow() : Sheet_All_IngHide(); });
        } else if (watched == Form_Main->Sheet_Sklad_Ing) {
            // Shown with the tab, the stock sub-tab leaves its list to the tab's show.
            if (show && !ingSheetShown_)
                return QObject::eventFilter(watched, event);
            Guard([this, show] { show ? Sheet_Sklad_IngShow() : Sheet_Sklad_IngHide(); });
        }
    }
    return QObject::eventFilter(watched, event);
}

void TProductsTab::showIngDetails()
{
    db::Query* q = Q_Ing;
    DBEdit1->setText(textField(q, "DOP_INFO"));
    DBEdit3->setText(textField(q, "NAME_GR"));
    DBEdit1->home(false);
    DBEdit3->home(false);
}

// ---- tab and sub-tabs ----

void TProductsTab::Sheet_IngShow()
{
    if (!StartupDone)
        return;
    Timer_Ing_Sklad->stop();
    StructureBox->OpenFirma(QStringLiteral("SELECT * FROM FIRMA WHERE LOCAL_FIRMA = 1 ORDER BY NAME"));
    const int builds = stockBuilds_;
    StructureBox->Timer_OtdelTimer();
    // The structure's reload brings the groups of a warehouse it finds; without one they open as they stand.
    if (!Q_GrIng->active())
        Q_GrIng->open();
    // A stock list built by that reload after the groups' last move is current.
    const bool stockCurrent = stockBuilds_ > builds && groupMoves_ == groupMovesAtBuild_ &&
                              !Timer_Ing_Sklad->isActive();
    if (isShown(Form_Main->Sheet_Sklad_Ing) && !stockCurrent)
        Timer_Ing_SkladTimer();
}

void TProductsTab::Sheet_All_IngShow()
{
    Timer_Ing->stop();
    Timer_IngTimer();
}

void TProductsTab::Sheet_Sklad_IngShow()
{
    Timer_Ing_Sklad->stop();
    Timer_Ing_SkladTimer();
}

void TProductsTab::Sheet_All_IngHide()
{
    if (!CB_Context_Ing->isChecked())
        return;
    CB_Context_Ing->setChecked(false);
    CB_Context_IngClick();
}

void TProductsTab::Sheet_Sklad_IngHide()
{
    if (!CB_Context_IngSklad->isChecked())
        return;
    CB_Context_IngSklad->setChecked(false);
    CB_Context_IngSkladClick();
}

void TProductsTab::Sync_SelectorGrids()
{
    if (isShown(Form_Main->Sheet_Move)) {
        if (hooks.syncMoveSelectors)
            hooks.syncMoveSelectors();
        return;
    }
    // A ticked search box of the visible sub-tab spans every group: its group
    // and warehouse grids stay off.
    const bool searching = isShown(Form_Main->Sheet_All_Ing) ? CB_Context_Ing->isChecked()
                                                             : CB_Context_IngSklad->isChecked();
    cat::SetActive(Grid_Firma1, true);
    cat::SetActive(Grid_Otdel1, true);
    cat::SetActive(Grid_Sklad1, !searching);
    cat::SetActive(Grid_GrIng, !searching);
}

// ---- list builders ----

void TProductsTab::CB_Context_IngClick()
{
    db::Query* q = Q_Ing;
    if (!Grid_Sklad1->isEnabled())
        cat::SetActive(Grid_Sklad1, true);
    if (!cat::HasRow(Q_GrIng)) {
        q->close();
        cat::SetActive(Grid_Ing, false);
        return;
    }
    products::IngListFilter f;
    f.search = CB_Context_Ing->isChecked();
    cat::SetActive(Grid_GrIng, !f.search);
    cat::SetActive(Grid_Sklad1, !f.search);
    cat::SetActive(E_Context_Ing, f.search);
    f.text = E_Context_Ing->text();
    f.group = cat::KeyOf(Q_GrIng);
    f.showHidden = CB_Closed1->isChecked();
    db::Query* otdel = StructureBox->Q_Otdel;
    f.otdel = otdel->active() && !otdel->isEmpty() ? cat::KeyOf(otdel) : 0;
    const qint64 stood = cat::KeyOf(q);
    products::OpenIngList(q, f);
    cat::StandAgain(q, stood);
    cat::SetActive(Grid_Ing, true);
}

void TProductsTab::CB_Context_IngSkladClick()
{
    db::Query* q = Q_Ing_Sklad;
    if (!cat::HasRow(StructureBox->Q_Sklad) || !cat::HasRow(Q_GrIng)) {
        q->close();
        cat::SetActive(Grid_Ing_Sklad, false);
        return;
    }
    products::StockListFilter f;
    f.search = CB_Context_IngSklad->isChecked();
    cat::SetActive(Grid_GrIng, !f.search);
    cat::SetActive(Grid_Sklad1, !f.search);
    cat::SetActive(E_Context_IngSklad, f.search);
    f.text = E_Context_IngSklad->text();
    f.otdel = cat::KeyOf(StructureBox->Q_Otdel);
    f.sklad = cat::KeyOf(StructureBox->Q_Sklad);
    f.group = cat::KeyOf(Q_GrIng);
    f.showHidden = CB_Closed2->isChecked();
    const qint64 stood = cat::KeyOf(q);
    products::OpenStockList(q, f);
    cat::StandAgain(q, stood);
    cat::SetActive(Grid_Ing_Sklad, true);
    ++stockBuilds_;
    groupMovesAtBuild_ = groupMoves_;
}

void TProductsTab::showIngOnce(qint64 key)
{
    // A list that was never built (the tab not shown yet) is built to show the product.
    if (Q_Ing->active())
        return;
    CB_Context_IngClick();
    if (Q_Ing->active() && key != 0)
        Q_Ing->locate(QStringLiteral("KOD"), QVariant::fromValue<qint64>(key));
}

// ---- groups ----

// The dialog's commit brings the written group into the list (TForm_GrIng::Btn_OkClick).
void TProductsTab::Btn_Add_GRClick()
{
    if (!isShown(Form_Main->Sheet_All_Ing))
        return;
    EditListRow(Form_GrIng, Q_GrIng, Grid_GrIng, true);
}

void TProductsTab::Btn_Upd_GRClick()
{
    if (!isShown(Form_Main->Sheet_All_Ing))
        return;
    EditListRow(Form_GrIng, Q_GrIng, Grid_GrIng, false);
}

void TProductsTab::Btn_Del_GRClick()
{
    if (!CheckRight(Right::DeleteGroups))
        return;
    db::Query* gr = Q_GrIng;
    if (!isShown(Form_Main->Sheet_All_Ing) || !cat::HasRow(gr))
        return;
    const qint64 kod = cat::KeyOf(gr);
    const QString name = gr->field(QStringLiteral("NAME")).asString();
    const QString refusal = products::GroupDeleteRefusal(kod);
    if (!refusal.isEmpty()) {
        Msg::notice(refusal);
        return;
    }
    if (!Msg::confirmDestructive(QStringLiteral("Вы уверены что желаете удалить группу <<") + name + QStringLiteral(">> ?"),
                                 QStringLiteral("Удаление группы")))
        return;
    ListStandsOn back(List_GrIng, db::KeyBefore(gr));
    products::DeleteGroup(kod, name);
}

void TProductsTab::N9Click()
{
    db::Query* gr = Q_GrIng;
    if (!cat::HasRow(gr))
        return;
    if (Msg::execModal(Form_NSection) != QDialog::Accepted)
        return;
    products::SetGroupSection(cat::KeyOf(gr), Form_NSection->ItemIndex() + 1, gr->field(QStringLiteral("NAME")).asString());
}

// ---- products ----

void TProductsTab::Btn_Add_IngClick()
{
    if (!CheckRight(Right::CreateProduct))
        return;
    if (!cat::HasRow(Q_GrIng)) {
        Msg::notice(QStringLiteral("Создать новый продукт можно только в существующей группе продуктов. На этом складе нет "
                                   "ни одной группы продуктов. Если это основной склад, то создайте новую группу, если не "
                                   "основной - то переместите сюда группу из другого склада."));
        return;
    }
    Form_Ing->NewMode = 1;
    Form_Ing->E_Time->setText(QStringLiteral("0"));
    Form_Ing->E_Alarm->setText(QStringLiteral("0"));
    cat::SetActive(Form_Ing->E_Kalories, true);
    if (Msg::execModal(Form_Ing) != QDialog::Accepted)
        return;
    const qint64 kod = Form_Ing->SavedKod;
    const int choice = cat::ChooseRG(QString(), {QStringLiteral("Продукт видим во всех предприятиях и отделах"),
                                                 QStringLiteral("Для других предприятий и отделов продукт скрыт")});
    if (choice == 1)
        products::HideIngElsewhere(kod, cat::KeyOf(StructureBox->Q_Otdel));
    showIngOnce(kod);
    Grid_Ing->setFocus();
}

void TProductsTab::Btn_Upd_IngClick()
{
    db::Query* q = Q_Ing;
    if (!cat::HasRow(q))
        return;
    Form_Ing->SavedKod = cat::KeyOf(q);
    Form_Ing->NewMode = 0;
    // A composite's calories come from its card.
    if (q->field(QStringLiteral("MY_LEVEL")).asInt() > 0)
        cat::SetActive(Form_Ing->E_Kalories, false);
    if (Msg::execModal(Form_Ing) != QDialog::Accepted)
        return;
    Grid_Ing->setFocus();
}

void TProductsTab::Btn_Del_IngClick()
{
    if (!CheckRight(Right::DeleteProduct))
        return;
    if (!cat::HasRow(Q_Ing))
        return;
    const int choice = cat::ChooseRG(QString(), {QStringLiteral("Удалить выбранный продукт"),
                                                 QStringLiteral("Удалить все продукты из выбранной группы")});
    if (choice == 0) {
        Del_Ing_One();
    } else if (choice == 1) {
        const QString caption = QStringLiteral("Удаление продуктоов");
        if (Msg::confirmDestructive(QStringLiteral("Вы уверены что желаете удалить все продукты из этой группы ?"),
                                    caption) &&
            Msg::confirmDestructive(QStringLiteral("Удаляем из группы всё или одумаемся ?"), caption))
            Del_Ing_All();
    }
}

void TProductsTab::Del_Ing_One()
{
    db::Query* q = Q_Ing;
    if (!cat::HasRow(q))
        return;
    const qint64 kod = cat::KeyOf(q);
    const QString name = q->field(QStringLiteral("NAME")).asString();
    const products::IngUse use = products::IngInUse(kod);
    if (use != products::IngUse::None) {
        Msg::notice(products::IngUseText(use));
        return;
    }
    if (!Msg::confirmDestructive(QStringLiteral("Вы уверены что желаете удалить этот продукт ?"),
                                 QStringLiteral("Удаление продукта")))
        return;
    ListStandsOn back(List_Ing, db::KeyBefore(q));
    products::DeleteIng(kod, name);
}

void TProductsTab::Del_Ing_All()
{
    db::Query* q = Q_Ing;
    if (!cat::HasRow(q))
        return;
    QList<qint64> keys;
    for (int r = 0; r < q->recordCount(); ++r)
        keys << q->valueAt(r, q->fieldIndex(QStringLiteral("KOD"))).toLongLong();
    products::DeletedIngs result;
    {
        ListStandsOn top(List_Ing, 0);
        result = products::DeleteAllIng(keys, textField(Q_GrIng, "NAME"));
    }
    const QString reasons = QStringLiteral("Возможные причины: 1. Находится в раскладках блюд;  2. Имеется в документах "
                                           "инвентаризации;  3. В документах реализации;   4. В документах движения;   5. В "
                                           "Меню;   6. Имеет не нулевые остатки на складах.   Проверте и удалите такие "
                                           "документы и поставте нулевые остатки. ");
    if (result.deleted == 0)
        Msg::notice(QStringLiteral("Ничего не удалено: ни один продукт этой группы удалить не удалось. ") + reasons);
    else if (result.skipped == 0)
        Msg::notice(QStringLiteral("Все продукты из группы удалены"));
    else
        Msg::notice(QStringLiteral("Оставшиеся в этой группе продукты удалить не удалось, ") + reasons);
}

void TProductsTab::Btn_Move_IngClick()
{
    if (!cat::HasRow(Q_GrIng))
        return;
    const int choice = cat::ChooseRG(QStringLiteral("Переместить"), {QStringLiteral("Продукт в другую группу"),
                                                                    QStringLiteral("Группу на другой склад")});
    if (choice == 0) {
        if (cat::HasRow(Q_Ing))
            Move_IngToGroup();
        else
            Msg::notice(QStringLiteral("Не выбран продукт !"));
    } else if (choice == 1) {
        Move_GroupToSklad();
    }
}

void TProductsTab::Move_IngToGroup()
{
    Form_MoveIng->AttachData();
    Form_MoveIng->Panel1->setText(textField(Q_Ing, "NAME"));
    db::Query* groups = Form_MoveIng->Q_MoveIng;
    groups->close();
    groups->setSql(QStringLiteral("SELECT * FROM GROUP_ING ORDER BY NAME"));
    groups->open();
    Msg::execModal(Form_MoveIng);
    groups->close();
}

void TProductsTab::Move_GroupToSklad()
{
    db::Query* gr = Q_GrIng;
    if (!cat::HasRow(gr) || !cat::HasRow(StructureBox->Q_Otdel) || !cat::HasRow(StructureBox->Q_Sklad))
        return;
    Form_GrToSklad->AttachData();
    Form_GrToSklad->KodGroup = cat::KeyOf(gr);
    Form_GrToSklad->Panel1->setText(gr->field(QStringLiteral("NAME")).asString());
    db::Query* sklady = Form_GrToSklad->Q_GrToSklad;
    sklady->close();
    sklady->setSql(QStringLiteral("SELECT * FROM SKLAD WHERE KOD_OTDEL = ") + Key(cat::KeyOf(StructureBox->Q_Otdel)) +
                   QStringLiteral(" ORDER BY NAME"));
    sklady->open();
    // The moved group leaves this warehouse.
    ListStandsOn back(List_GrIng, db::KeyBefore(gr));
    Msg::execModal(Form_GrToSklad);
}

// ---- stock and prices ----

void TProductsTab::Btn_Upd_IngSkladClick()
{
    if (!CheckRight(Right::PriceProps))
        return;
    db::Query* q = Q_Ing_Sklad;
    if (!cat::HasRow(q))
        return;
    const bool first = q->recNo() == 0;
    const qint64 before = db::KeyBefore(q);
    const ingsklad::Outcome done = ingsklad::EditDepartmentRow(cat::KeyOf(q));
    if (!done.accepted)
        return;
    // The commit reloaded the list; a row just hidden leaves it on the row before.
    if (done.hidden && !first && q->active())
        q->locate(QStringLiteral("KOD"), QVariant::fromValue<qint64>(before));
    Grid_Ing_Sklad->setFocus();
}

void TProductsTab::Btn_InvClick()
{
    if (!CheckRight(Right::Invent))
        return;
    if (!hooks.invent)
        return Msg::notBuilt(Btn_Inv->text());
    hooks.invent();
}

void TProductsTab::Btn_Print_IngSkladClick()
{
    if (!cat::HasRow(StructureBox->Q_Sklad))
        return;
    printing::ShowPrintOstatki(cat::KeyOf(StructureBox->Q_Firma), cat::KeyOf(StructureBox->Q_Otdel),
                               cat::KeyOf(StructureBox->Q_Sklad));
}

void TProductsTab::BitBtn1Click()
{
    printing::ShowLimits(cat::KeyOf(StructureBox->Q_Firma), cat::KeyOf(StructureBox->Q_Otdel), cat::KeyOf(StructureBox->Q_Sklad));
}

void TProductsTab::Btn_KartaClick() { TForm_Karta::Btn_KartaClick(); }

void TProductsTab::Btn_Copy_IngClick() { CopyIngClick(); }

void TProductsTab::Btn_DvigIngClick()
{
    if (!hooks.dvigIngClick)
        Msg::notBuilt(Btn_DvigIng->text());
    else if (cat::HasRow(Q_Ing))
        hooks.dvigIngClick(cat::KeyOf(Q_Ing), textField(Q_Ing, "NAME"));
}

void TProductsTab::Btn_DvigIng2Click()
{
    if (!hooks.dvigIng2Click)
        Msg::notBuilt(Btn_DvigIng2->text());
    else if (cat::HasRow(Q_Ing_Sklad))
        hooks.dvigIng2Click(CurrentStockIng(), textField(Q_Ing_Sklad, "NAME"));
}

void TProductsTab::Btn_CalcClick() { TForm_Compute::Execute(); }
