#include "Unit_Invent.h"

#include "CatalogueUi.h"
#include "DocumentTabs.h"
#include "entries/CurrentStructure.h"
#include "entries/Prt_Invent.h"
#include "Unit_ProductsTab.h"
#include "Unit_DocInv.h"
#include "Unit_ZaprosInv.h"
#include "base/Unit_Base.h"
#include "engine/EngineDb.h"
#include "engine/DocumentClaim.h"
#include "engine/WriteRoad.h"
#include "grid/ListHolder.h"
#include "inventory/Inventory.h"
#include "ui/InputDialogs.h"
#include "ui/Scaling.h"
#include "ui/Unit_RG.h"
#include "grid/Greying.h"
#include "util/Globals.h"
#include "util/Messages.h"
#include "util/Unit_Util.h"

#include <QApplication>
#include <QStyle>
#include <QHeaderView>
#include <QBrush>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollBar>
#include <QPalette>
#include <QTimer>
#include <QVBoxLayout>

#include <numeric>
#include <stdexcept>

FirstUse<TForm_Invent> Form_Invent;

namespace {
const QString kArea = QStringLiteral("Инвентаризация");

// Whether the document has lines, asked of the database: the search may
// hide every line of a document that has some.
bool docHasLines(qint64 doc)
{
    auto q = engine::Reader(engine::ProgramContext(), QStringLiteral("SELECT FIRST 1 KOD FROM INVENT WHERE KOD_DOC = ") + Key(doc));
    q->open();
    return !q->isEmpty();
}

bool inside(const db::Query* q) { return !q->bof() && !q->eof(); }
} // namespace

TForm_Invent::TForm_Invent(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setWindowTitle(QStringLiteral("Инвентаризация    (Клавиши стрелок, Tab, для перемещения. Клавиатура или "
                                  "наборное поле для количества и цены)"));
    List_Docs = new db::ListHolder(Form_Base->MyDB, Form_Base->TransactionRead, this);
    List_Docs->setTables({QStringLiteral("DOCS"), QStringLiteral("FIRMA"), QStringLiteral("OTDEL"), QStringLiteral("SKLAD")});
    // The documents' rows are read again by the keys a road notes.
    List_Docs->setKeyTable(QStringLiteral("DOCS"));
    Q_Docs = List_Docs->query();
    Q_Docs->addCalcField(QStringLiteral("TD"));
    Q_Docs->onCalcFields = &TForm_Invent::Q_DocsCalcFields;
    List_Inv = new db::ListHolder(Form_Base->MyDB, Form_Base->TransactionRead, this);
    List_Inv->setTables({QStringLiteral("INVENT"), QStringLiteral("ING"), QStringLiteral("ED_IZM")});
    List_Inv->setKeyTable(QStringLiteral("INVENT"));
    // A line filled anew elsewhere is found again by its product.
    List_Inv->setLineFields({QStringLiteral("KOD_ING")});
    Q_Inv = List_Inv->query();
    Timer_Invent = new QTimer(this);
    Timer_Invent->setSingleShot(true);
    Timer_Invent->setInterval(400);
    auto* layout = new QVBoxLayout(this);
    // Narrow edges: the lines and the keypad take the screen's width.
    const QMargins edges = layout->contentsMargins();
    layout->setContentsMargins(6, edges.top(), 6, edges.bottom());

    Grid_Doc = new db::DbGrid(this);
    Grid_Doc->setAccessibleName(QStringLiteral("Документы инвентаризации"));
    Grid_Doc->setQuery(Q_Docs);
    Grid_Doc->setColumns({{QStringLiteral("DATE_DOC"), QStringLiteral("Дата"), cat::DateColumnWidth(Grid_Doc),
                           QStringLiteral("dd.mm.yyyy")},
                          {QStringLiteral("TIME_DOC"), QStringLiteral("Время"), cat::TimeColumnWidth(Grid_Doc, 70)},
                          {QStringLiteral("NAME"), QStringLiteral("№ документа"), 140},
                          {QStringLiteral("NAME_1"), QStringLiteral("Предприятие"), 160},
                          {QStringLiteral("NAME_2"), QStringLiteral("Подразделение (Отдел)"), 170},
                          {QStringLiteral("NAME_3"), QStringLiteral("Склад"), 120}});
    // The warehouse takes the rest of the row: every column stays in sight in a zoomed window.
    Grid_Doc->horizontalHeader()->setStretchLastSection(true);
    Grid_Doc->datasetModel()->setCellStyle([](const db::Query& q, int row, const QString&, int role) -> QVariant {
        if (role == Qt::BackgroundRole && q.valueAt(row, q.fieldIndex(QStringLiteral("PROVODKA"))).toLongLong() > 10)
            return QBrush(QApplication::palette().color(QPalette::Button));
        return {};
    });
    layout->addWidget(Grid_Doc, 2);

    auto* docButtons = new QHBoxLayout;
    Btn_Add = new QPushButton(QStringLiteral("Создать"), this);
    Btn_Upd = new QPushButton(QStringLiteral("Изменить"), this);
    Btn_Zapolnit = new QPushButton(QStringLiteral("Заполнить"), this);
    Btn_Refresh = new QPushButton(QStringLiteral("Обновить"), this);
    Btn_Provodka = new QPushButton(QStringLiteral("Провести"), this);
    Btn_Print = new QPushButton(QStringLiteral("Печать"), this);
    Btn_Exit = new QPushButton(QStringLiteral("Выход"), this);
    for (QPushButton* b : {Btn_Add, Btn_Upd, Btn_Zapolnit, Btn_Refresh, Btn_Provodka, Btn_Print})
        docButtons->addWidget(b);
    docButtons->addStretch();
    docButtons->addWidget(Btn_Exit);
    layout->addLayout(docButtons);

    auto* search = new QHBoxLayout;
    CB_Context_Inv = new QCheckBox(QStringLiteral("Контекстный поиск -->"), this);
    E_Context_Inv = new QLineEdit(this);
    E_Context_Inv->setAccessibleName(QStringLiteral("Контекстный поиск"));
    E_Context_Inv->setMaxLength(100);
    search->addWidget(CB_Context_Inv);
    search->addWidget(E_Context_Inv, 1);
    layout->addLayout(search);

    auto* bottom = new QHBoxLayout;
    Grid_Inv = new db::DbGrid(this);
    Grid_Inv->setAccessibleName(QStringLiteral("Строки документа"));
    Grid_Inv->setQuery(Q_Inv);
    Grid_Inv->setColumns({{QStringLiteral("NAME"), QStringLiteral("Наименование"), 220},
                          {QStringLiteral("SHORT_NAME"), QStringLiteral("Ед.изм."), 60},
                          {QStringLiteral("KOLVO"), QStringLiteral("Кол-во по докум."), 120, db::kQuantityDisplay, Qt::AlignRight},
                          {QStringLiteral("CENA"), QStringLiteral("Цена по докум."), 100, db::kPriceDisplay, Qt::AlignRight},
                          {QStringLiteral("MY_KOLVO"), QStringLiteral("Факт. кол-во"), 90, db::kQuantityDisplay, Qt::AlignRight},
                          {QStringLiteral("MY_CENA"), QStringLiteral("Факт. цена"), 80, db::kPriceDisplay, Qt::AlignRight},
                          {QStringLiteral("CENA_P"), QStringLiteral("Цена прод."), 80, db::kPriceDisplay, Qt::AlignRight}});
    Grid_Inv->datasetModel()->setCellStyle([grid = Grid_Inv](const db::Query& q, int row, const QString&, int role) -> QVariant {
        const double book = q.valueAt(row, q.fieldIndex(QStringLiteral("KOLVO"))).toDouble();
        if (role == Qt::FontRole && book != 0) {
            QFont f = grid->font();  // the list's own, zoomed with its window
            f.setBold(true);
            return f;
        }
        if (role == Qt::ForegroundRole && book < 0)
            return QBrush(Qt::red);
        return {};
    });
    // The column choice and the cursor's move stand under the lines, so the
    // keypad beside them leaves the lines the room of their figures.
    auto* lines = new QVBoxLayout;
    lines->addWidget(Grid_Inv, 1);
    auto* entry = new QHBoxLayout;
    RadioGroup1 = new TRadioGroup(QStringLiteral("Изменяемая колонка"),
                                  {QStringLiteral("Фактическое количество"), QStringLiteral("Фактическая цена")}, this);
    RadioGroup1->setColumns(2);
    RadioGroup1->setItemIndex(0);
    entry->addWidget(RadioGroup1);
    CB_Next = new QCheckBox(QStringLiteral("Сдвигать позицию курсора"), this);
    CB_Next->setChecked(true);
    auto* next = new QVBoxLayout;  // level with the choice's buttons
    next->addStretch();
    next->addWidget(CB_Next);
    next->addSpacing(RadioGroup1->layout()->contentsMargins().bottom());
    entry->addLayout(next);
    entry->addStretch();
    lines->addLayout(entry);
    bottom->addLayout(lines, 1);

    auto* side = new QVBoxLayout;
    Keypad = new TKeypad(this);
    side->addWidget(Keypad);
    side->addStretch();
    bottom->addLayout(side);
    bottom->setSpacing(3);  // the keypad's own
    layout->addLayout(bottom, 3);

    Keypad->guard = [this] { return linesHaveRow() && Btn_Upd->isEnabled(); };
    Keypad->apply = [this](double v) { Btn_OKSClick(v); };
    Keypad->takesQuantity = [this] { return RadioGroup1->itemIndex() == 0; };
    Keypad->signKeys = false;
    Keypad->emptyOkIgnored = true;
    Keypad->addButton = Btn_Add;
    Keypad->focusTarget = Grid_Inv;
    Keypad->watchRadioGroup(RadioGroup1->buttonGroup());
    Keypad->keepCellOf(Grid_Inv);
    Keypad->keepCellOf(Grid_Doc);
    Keypad->entryGrid = Grid_Inv;
    Keypad->entryColumn = [this] {
        return Grid_Inv->datasetModel()->columnOf(RadioGroup1->itemIndex() == 1 ? QStringLiteral("MY_CENA")
                                                                                 : QStringLiteral("MY_KOLVO"));
    };
    // The counted quantity and price take typing.
    Keypad->keepToEntryCells([this] {
        const db::DatasetModel* m = Grid_Inv->datasetModel();
        return QList<int>{m->columnOf(QStringLiteral("MY_KOLVO")), m->columnOf(QStringLiteral("MY_CENA"))};
    });
    KeepEnterInControls(this);
    keyed_ = {Grid_Doc, Grid_Inv, CB_Next, Btn_Add, Btn_Upd, Btn_Zapolnit, Btn_Refresh, Btn_Provodka, Btn_Print, Btn_Exit,
              Keypad->Btn_OKS, Keypad->Btn_Koma, Keypad->Btn_Back};
    for (int d = 0; d < 10; ++d)
        keyed_.append(Keypad->digitButton(d));
    for (QWidget* w : keyed_)
        w->installEventFilter(this);
    E_Context_Inv->installEventFilter(this);
    Grid_Inv->viewport()->installEventFilter(this);  // its width decides the columns

    Grid_Doc->setEditButton(Btn_Upd);
    Grid_Inv->setEditButton(Btn_Upd);
    auto on = [this](QPushButton* b, void (TForm_Invent::*h)()) {
        connect(b, &QPushButton::clicked, this, [this, h] { Guard([this, h] { (this->*h)(); }); });
    };
    on(Btn_Add, &TForm_Invent::Btn_AddClick);
    on(Btn_Upd, &TForm_Invent::Btn_UpdClick);
    on(Btn_Zapolnit, &TForm_Invent::Btn_ZapolnitClick);
    on(Btn_Refresh, &TForm_Invent::Btn_RefreshClick);
    on(Btn_Provodka, &TForm_Invent::Btn_ProvodkaClick);
    on(Btn_Print, &TForm_Invent::Btn_PrintClick);
    connect(Btn_Exit, &QPushButton::clicked, this, &QDialog::reject);
    connect(CB_Context_Inv, &QCheckBox::clicked, this, [this] {
        Guard([this] { CB_Context_InvClick(); });
        // The letters typed next go to the search.
        if (CB_Context_Inv->isChecked())
            E_Context_Inv->setFocus();
    });
    connect(RadioGroup1, &TRadioGroup::clicked, this, [this](int) { RadioGroup1Click(); });
    connect(Grid_Inv->selectionModel(), &QItemSelectionModel::currentColumnChanged, this,
            [this](const QModelIndex& current) {
                const QList<db::GridColumn>& cols = Grid_Inv->datasetModel()->columns();
                if (current.isValid() && current.column() < cols.size())
                    Grid_InvColEnter(cols[current.column()].field);
            });
    // After a count the focus returns to the search: a figure typed there
    // next is the next count, a letter or an edit searches again.
    connect(E_Context_Inv, &QLineEdit::textEdited, this, [this] { countedFromSearch_ = false; });

    // A move in the document list greys the lines and reloads them once it rests.
    connect(Q_Docs, &db::Query::beforeScroll, this, &TForm_Invent::docsBeforeScroll);
    connect(Q_Docs, &db::Query::afterScroll, this, &TForm_Invent::docsScrolled);
    doctabs::FollowDocuments(
        List_Docs, this, [this] { Q_DocsAfterScroll(); },
        [this] {
            docsBeforeScroll();
            docsScrolled();
        },
        Grid_Inv);
    connect(Timer_Invent, &QTimer::timeout, this, [this] { Guard([this] { Timer_InventTimer(); }); });
    FormCreate();
}

TForm_Invent::~TForm_Invent()
{
    if (Form_Invent.made() == this)
        Form_Invent = nullptr;
}

void TForm_Invent::OpenDocs()
{
    Form_Base->OpenRead(Q_Docs, QStringList{QStringLiteral("SELECT DOCS.*, FIRMA.NAME AS NAME_1, OTDEL.NAME AS NAME_2, "
                                                           "SKLAD.NAME AS NAME_3 FROM DOCS"),
                                            QStringLiteral("JOIN FIRMA ON DOCS.KOD_PARTNER_EXPORT = FIRMA.KOD"),
                                            QStringLiteral("JOIN OTDEL ON DOCS.INT_PARAM1 = OTDEL.KOD"),
                                            QStringLiteral("LEFT OUTER JOIN SKLAD ON DOCS.INT_PARAM2 = SKLAD.KOD"),
                                            QStringLiteral("WHERE DOC_TYPE = 1 ORDER BY DATE_DOC, TIME_DOC")}
                                    .join(QLatin1Char('\n')));
}

void TForm_Invent::Execute()
{
    OpenDocs();
    Msg::execModal(this);
    // A closed window's lists follow no commits.
    Q_Inv->close();
    Q_Docs->close();
}

void TForm_Invent::FormCreate()
{
    SetFieldEnabled(E_Context_Inv, false);
    resize(1100, 680);
    ScaleWindow(this, true);
    FitInvColumns();  // in the font the window took
}

void TForm_Invent::FitInvColumns()
{
    QHeaderView* h = Grid_Inv->horizontalHeader();
    if (h->count() == 0)
        return;
    const QFontMetrics fm(h->font());
    const int margin = 2 * h->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, h) + fm.averageCharWidth();
    // A figure of a bold line (a book quantity) shows whole: a quantity of a
    // thousand with six decimals, a price of a hundred with six.
    QFont bold = Grid_Inv->font();
    bold.setBold(true);
    const QFontMetrics fb(bold);
    auto figureWidth = [&fb](const QString& format) {
        const QString sample = format == db::kQuantityDisplay ? QStringLiteral("0000,000000") : QStringLiteral("000,000000");
        return fb.horizontalAdvance(sample) + 2 * fb.averageCharWidth();
    };
    QAbstractItemModel* m = Grid_Inv->model();
    const int least = fm.horizontalAdvance(m->headerData(0, Qt::Horizontal).toString()) + margin;
    // The titles on one line, or, where the columns then overflow the list
    // (a zoomed font), on two: every column stays in sight.
    const QList<db::GridColumn>& columns = Grid_Inv->datasetModel()->columns();
    auto widths = [&](bool twoLines) {
        QList<int> w;
        for (int i = 1; i < h->count(); ++i) {
            const QString format = i < columns.size() ? columns[i].displayFormat : QString();
            const QString title = m->headerData(i, Qt::Horizontal).toString();
            int text = fm.horizontalAdvance(title);
            if (twoLines)
                for (int at = title.indexOf(QLatin1Char(' ')); at > 0; at = title.indexOf(QLatin1Char(' '), at + 1))
                    text = std::min(text, std::max(fm.horizontalAdvance(title.left(at)), fm.horizontalAdvance(title.mid(at + 1))));
            w << std::max(text + margin, format.isEmpty() ? 0 : figureWidth(format));
        }
        return w;
    };
    auto sum = [](const QList<int>& w) { return std::accumulate(w.begin(), w.end(), 0); };
    // The list keeps the room its columns need, a scroll bar's beside them;
    // the keypad takes what is left.
    const int scrollBar = Grid_Inv->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, Grid_Inv->verticalScrollBar());
    Grid_Inv->setMinimumWidth(least + sum(widths(true)) + 2 * Grid_Inv->frameWidth() + scrollBar);
    QList<int> w = widths(false);
    const bool wrap = least + sum(w) > Grid_Inv->viewport()->width();
    if (wrap)
        w = widths(true);
    h->setTextElideMode(wrap ? Qt::ElideNone : Qt::ElideRight);
    h->setDefaultAlignment(wrap ? Qt::Alignment(Qt::AlignCenter | Qt::TextWordWrap) : Qt::Alignment(Qt::AlignCenter));
    h->setMinimumHeight(wrap ? 2 * fm.lineSpacing() + 2 * h->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, h) : 0);
    for (int i = 1; i < h->count(); ++i)
        h->resizeSection(i, w[i - 1]);
    h->resizeSection(0, std::max(least, Grid_Inv->viewport()->width() - sum(w)));
}

void TForm_Invent::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Guard([this] { FormShow(); });
}

void TForm_Invent::FormShow()
{
    db::Query* d = Q_Docs;
    if (d->active())
        d->first();
    Q_DocsAfterScroll();
    LoadInvLines();
    // The lines are read now: the reload the move to the first document
    // started would put a line the user chooses meanwhile back to the first.
    Timer_Invent->stop();
    Release(Grid_Inv);
}

bool TForm_Invent::hasDoc() const
{
    const db::Query* d = Q_Docs;
    return d->active() && !d->isEmpty();
}

bool TForm_Invent::linesHaveRow() const { return Q_Inv->active() && !Q_Inv->isEmpty(); }

inventory::InvDoc TForm_Invent::currentDoc() const
{
    const db::Query* d = Q_Docs;
    inventory::InvDoc doc;
    doc.kod = d->field(QStringLiteral("KOD")).asInt64();
    doc.otdel = d->field(QStringLiteral("INT_PARAM1")).asInt64();
    doc.sklad = d->field(QStringLiteral("INT_PARAM2")).asInt64();
    doc.date = d->field(QStringLiteral("DATE_DOC")).asDate();
    doc.time = d->field(QStringLiteral("TIME_DOC")).asTime();
    return doc;
}

void TForm_Invent::docsBeforeScroll()
{
    if (!StartupDone || List_Docs->reopening() || !inside(Q_Docs))
        return;
    Timer_Invent->stop();
    if (isVisible() && isActiveWindow())
        GreyOut(Grid_Inv);
}

void TForm_Invent::docsScrolled()
{
    if (!StartupDone || List_Docs->reopening() || !isVisible())
        return;
    Timer_Invent->start();
    Q_DocsAfterScroll();
}

void TForm_Invent::Timer_InventTimer()
{
    Timer_Invent->stop();
    Release(Grid_Inv);
    LoadInvLines();
}

void TForm_Invent::Q_DocsCalcFields(db::Query& q)
{
    const qint64 t = q.hasField(QStringLiteral("DOC_TYPE")) ? q.field(QStringLiteral("DOC_TYPE")).asInt64() : 0;
    q.setCalc(QStringLiteral("TD"), doctabs::DocTypeName(t));
}

void TForm_Invent::Q_DocsAfterScroll()
{
    const bool open = !hasDoc() || Q_Docs->field(QStringLiteral("PROVODKA")).asInt64() < 11;
    for (QPushButton* b : {Btn_Provodka, Btn_Upd, Btn_Zapolnit, Btn_Refresh})
        b->setEnabled(open);
}

void TForm_Invent::LoadInvLines()
{
    if (!hasDoc()) {
        Q_Inv->close();
        return;
    }
    Q_Inv->close();
    QStringList sql{QStringLiteral("SELECT ING.NAME, ED_IZM.SHORT_NAME, INVENT.KOLVO, INVENT.MY_KOLVO, INVENT.CENA, "
                                   "INVENT.MY_CENA, INVENT.KOD, INVENT.KOD_ING, INVENT.CENA_P FROM INVENT"),
                    QStringLiteral("JOIN ING ON INVENT.KOD_ING = ING.KOD"),
                    QStringLiteral("LEFT OUTER JOIN ED_IZM ON ING.ED_IZM = ED_IZM.KOD"),
                    QStringLiteral("WHERE INVENT.KOD_DOC = ") + Key(Q_Docs->field(QStringLiteral("KOD")).asInt64())};
    const bool filter = CB_Context_Inv->isChecked();
    if (filter)
        sql << QStringLiteral("AND ") + engine::NameContains(QStringLiteral("ING.NAME"), QStringLiteral("S"));
    sql << QStringLiteral("ORDER BY ING.NAME");
    Q_Inv->setSql(sql);
    if (filter)
        Q_Inv->param(QStringLiteral("S")).setString(engine::NameSearchText(E_Context_Inv->text()));
    Q_Inv->open();
    Grid_Inv->release();
}

void TForm_Invent::reopenDocs(qint64 kod)
{
    db::Query* d = Q_Docs;
    d->close();
    d->open();
    d->fetchAll();
    d->locate(QStringLiteral("KOD"), QVariant::fromValue<qint64>(kod));
    Q_DocsAfterScroll();
}

void TForm_Invent::Btn_AddClick()
{
    const catalogue::CurrentStructure at = catalogue::CurrentStructureRows();
    if (at.firma == 0)
        return;
    inventory::RefuseNewWhileUnposted(engine::ProgramContext());
    Form_DocInv->PrepareNew(at.firma, at.firmaName, at.otdel, at.otdelName);
    if (Msg::execModal(Form_DocInv) != QDialog::Accepted)
        return;
    // The new document's commit reloaded the list; it stands on the document.
    Q_Docs->locate(QStringLiteral("KOD"), QVariant::fromValue<qint64>(Form_DocInv->KodDoc));
    Q_DocsAfterScroll();
    Grid_Doc->setFocus();
    LoadInvLines();
    Btn_Zapolnit->click();
}

void TForm_Invent::Btn_UpdClick()
{
    if (!hasDoc())
        return;
    // The header's road empties the lines with it.
    Form_DocInv->LoadDoc(*Q_Docs);
    if (Msg::execModal(Form_DocInv) != QDialog::Accepted)
        return;
    Q_DocsAfterScroll();
    Grid_Doc->setFocus();
    Btn_Zapolnit->click();
}

void TForm_Invent::Btn_ZapolnitClick()
{
    if (!hasDoc())
        return;
    if (Q_Docs->field(QStringLiteral("PROVODKA")).asInt64() > 10) {
        Msg::notice(QStringLiteral("Нельзя вносить изменения в проведённые акты инвентаризации !"));
        return;
    }
    const bool notEmpty = linesHaveRow() || docHasLines(Q_Docs->field(QStringLiteral("KOD")).asInt64());
    if (notEmpty && !Msg::confirmDestructive(QStringLiteral("Документ не пустой. Вы действительно желаете заново перенести "
                                                            "состояние склада в документ ?"),
                                             QStringLiteral("Документ не пустой")))
        return;
    TForm_ZaprosInv* z = Form_ZaprosInv;
    z->RadioGroup1->setItemIndex(1);
    z->CheckBox1->setChecked(true);
    z->RadioGroup1Click();
    if (Msg::execModal(z) != QDialog::Accepted)
        return;
    inventory::FillOptions options;
    options.bookQuantity = z->RadioGroup1->itemIndex() == 1;
    options.zeroNegative = z->CheckBox1->isChecked();
    options.hiddenToo = z->RadioGroup2->itemIndex() == 1;
    const inventory::InvDoc doc = currentDoc();
    const QString name = Q_Docs->field(QStringLiteral("NAME")).asString();
    {
        WriteTransaction w(inventory::kRoad);
        inventory::Fill(w.context(), doc, options, notEmpty);
        w.commit(kArea, QStringLiteral("Заполнена табличная часть документа № ") + name);
    }
    Q_DocsAfterScroll();
}

void TForm_Invent::Btn_OKSClick(double value)
{
    const qint64 line = Q_Inv->field(QStringLiteral("KOD")).asInt64();
    const bool price = RadioGroup1->itemIndex() == 1;
    // Refused by throwing: the keypad tells it, clears its display and keeps
    // the user on the cell (a line gone meanwhile too: the lines are read
    // again, and the number typed for it goes to no other line).
    if (price && inventory::IsComposite(engine::ProgramContext(), Q_Inv->field(QStringLiteral("KOD_ING")).asInt64()))
        throw std::runtime_error(QStringLiteral("Продукт является составным, его складская цена расчитывается на основе цен "
                                                "сотавляющих !")
                                     .toStdString());
    {
        WriteTransaction w(inventory::kRoad);
        const engine::Context& ctx = w.context();
        inventory::SetCounted(ctx, inventory::ClaimUnposted(ctx, Q_Docs->field(QStringLiteral("KOD")).asInt64()), line,
                              price ? inventory::Column::Price : inventory::Column::Quantity, value);
        w.commit();  // the lines reload on the line just counted
    }
    if (Keypad->LeavingCell())
        return;
    if (CB_Next->isChecked() && Q_Inv->recNo() + 1 < Q_Inv->recordCount())
        Q_Inv->next();
    Grid_Inv->setFocus();
}

void TForm_Invent::Btn_RefreshClick()
{
    if (!linesHaveRow())
        return;
    TForm_RG* rg = Form_RG;
    rg->RG->setItems({QStringLiteral("Обновить значение в выбранной строке"),
                               QStringLiteral("Обновить значения во всём документе")});
    rg->RG->setItemIndex(0);
    if (Msg::execModal(rg) != QDialog::Accepted)
        return;
    const qint64 docKod = Q_Docs->field(QStringLiteral("KOD")).asInt64();
    if (rg->RG->itemIndex() == 0) {
        if (Grid_Inv->standsOnNoRow())
            return;  // no line chosen
        const qint64 line = Q_Inv->field(QStringLiteral("KOD")).asInt64();
        WriteTransaction w(inventory::kRoad);
        inventory::RefreshBookValues(w.context(), docKod, line);
        w.commit();
        return;
    }
    CB_Context_Inv->setChecked(false);
    SetFieldEnabled(E_Context_Inv, false);
    LoadInvLines();
    {
        WriteTransaction w(inventory::kRoad);
        inventory::RefreshBookValues(w.context(), docKod, 0);
        w.commit();
    }
    Q_Inv->first();
}

void TForm_Invent::Btn_ProvodkaClick()
{
    if (!hasDoc())
        return;
    if (!linesHaveRow() && !docHasLines(Q_Docs->field(QStringLiteral("KOD")).asInt64())) {
        Msg::notice(QStringLiteral("Документ не содержит записей, воспользуйтесь кнопкой \"Заполнить\" "));
        return;
    }
    if (Q_Docs->field(QStringLiteral("PROVODKA")).asInt64() > 10) {
        Msg::notice(QStringLiteral("Документ уже проведён !!!"));
        return;
    }
    const inventory::InvDoc doc = currentDoc();
    const QString name = Q_Docs->field(QStringLiteral("NAME")).asString();
    const engine::Context reading = engine::ProgramContext();
    if (inventory::LaterPostedInventory(reading, doc)) {
        Msg::notice(QStringLiteral("Нельзя провести документ инветаризации подразделения, так - как имеются более "
                                   "поздние документы движения по этому подразделению !"));
        return;
    }
    const bool dropUnchanged = Msg::confirmDestructive(QStringLiteral("Удалить из документа строки в которых нет изменений ?"),
                                                       QStringLiteral("Удаление строк"));
    const QString emptyText = QStringLiteral("Документ пустой. Фактические количества и цены абсолютно совпадают с ценами и "
                                             "количествами по документам. Так-как Вы выбрали удаление строк без изменений, то в "
                                             "документе не останется ни одной строчки. Такой документ провести нельзя. Либо "
                                             "откажитесь от проводки, либо не выбирайте опцию удаления строк");
    // Both questions are asked before the write road opens: a user thinking
    // over an answer never keeps other workstations waiting on these rows.
    if (inventory::LinesToPost(reading, doc.kod, dropUnchanged) == 0) {
        Msg::notice(emptyText);
        return;
    }
    // The differences are taken from the stock as it stands: where a document
    // of the department was posted or un-posted since the fill, the user sees
    // both figures and agrees first; Enter posts nothing.
    const QList<inventory::BookChange> moved = inventory::BookChanges(reading, doc, dropUnchanged);
    if (!moved.isEmpty() &&
        !Msg::confirmDestructive(inventory::BookChangesQuestion(moved), QStringLiteral("Остатки по учёту изменились")))
        return;
    if (!Msg::confirm(QStringLiteral("После проводки любые изменения в документе будут невозможны! Продолжить?"),
                      QStringLiteral("Проводка документа инвентаризации")))
        return;
    WriteTransaction w(inventory::kRoad);
    const engine::Context& ctx = w.context();
    // The document is claimed before its lines are touched; posted meanwhile
    // on another workstation, it is refused whole.
    const inventory::Claimed claimed = inventory::Claim(ctx, doc.kod);
    if (!claimed.exists || claimed.posted) {
        w.rollback();
        reopenDocs(doc.kod);
        LoadInvLines();
        Msg::notice(claimed.exists ? QStringLiteral("Документ уже проведён !!!") : engine::DocumentGoneText(name));
        return;
    }
    const int kept = dropUnchanged ? inventory::DeleteUnchangedLines(ctx, doc.kod) : inventory::LineCount(ctx, doc.kod);
    if (kept == 0) {
        w.rollback();
        Msg::notice(emptyText);
        return;
    }
    inventory::Post(ctx, doc, moved);
    w.commit(kArea, QStringLiteral("Проведён документ инвентаризации № ") + name);
    Q_DocsAfterScroll();
    Msg::notice(QStringLiteral("Если в документе инвентаризации Вы изменяли фактические цены продуктов, то не забудте "
                               "после проводки произвести перерасчёт цен всех продуктов! (Окно \"Продукты и блюда\" -> "
                               "\"Наличие на складах и цены\" -> кнопка \"Расчёт цен\")"));
}

void TForm_Invent::Btn_PrintClick()
{
    if (!hasDoc())
        return;
    printing::Prt_Invent(Q_Docs->field(QStringLiteral("KOD")).asInt64());
}

void TForm_Invent::CB_Context_InvClick()
{
    SetFieldEnabled(E_Context_Inv, CB_Context_Inv->isChecked());
    LoadInvLines();
}

void TForm_Invent::RadioGroup1Click() { Keypad->Timer_rg->start(); }

void TForm_Invent::Grid_InvColEnter(const QString& field)
{
    if (field == QLatin1String("MY_KOLVO"))
        RadioGroup1->setItemIndex(0);
    else if (field == QLatin1String("MY_CENA"))
        RadioGroup1->setItemIndex(1);
}

bool TForm_Invent::My_Key_Down(int key, Qt::KeyboardModifiers modifiers)
{
    switch (key) {
    case Qt::Key_Escape: {
        const bool typed = !Keypad->E_Klava->text().isEmpty();
        Keypad->Clear();
        return typed;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        const bool search = CB_Context_Inv->isChecked();
        Keypad->focusTarget = search ? static_cast<QWidget*>(E_Context_Inv) : Grid_Inv;
        const bool typed = !Keypad->E_Klava->text().isEmpty();
        const bool taken = Keypad->KeyDown(key);
        countedFromSearch_ = typed && search && E_Context_Inv->hasFocus();
        return taken;
    }
    case Qt::Key_Delete:
        return false;
    default:
        Keypad->focusTarget = Keypad->Btn_OKS;
        break;
    }
    return Keypad->KeyDown(key, modifiers);
}

void TForm_Invent::keyPressEvent(QKeyEvent* event)
{
    // Escape clears the display, from whichever control; it never closes the
    // window ("Выход" and the close box do).
    if (event->key() == Qt::Key_Escape) {
        Keypad->Clear();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TForm_Invent::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Grid_Inv->viewport()) {
        if (event->type() == QEvent::Resize)
            FitInvColumns();
        return QDialog::eventFilter(watched, event);
    }
    if (watched == E_Context_Inv) {
        if (event->type() == QEvent::FocusOut)
            countedFromSearch_ = false;
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            const QString text = static_cast<QKeyEvent*>(event)->text();
            const bool figure = text.size() == 1 && (text[0].isDigit() || text[0] == QLatin1Char(',') || text[0] == QLatin1Char('.'));
            if (figure && countedFromSearch_) {
                bool taken = false;
                Guard([&] { taken = My_Key_Down(key); });
                if (taken)
                    return true;
            }
            Timer_Invent->stop();
            if ((key == Qt::Key_Up || key == Qt::Key_Down) && linesHaveRow()) {
                if (!Keypad->TakeBeforeLeaving())
                    return true;
                if (key == Qt::Key_Up && Q_Inv->recNo() > 0)
                    Q_Inv->prior();
                else if (key == Qt::Key_Down && Q_Inv->recNo() + 1 < Q_Inv->recordCount())
                    Q_Inv->next();
                Grid_Inv->setFocus();
                return true;
            }
        } else if (event->type() == QEvent::KeyRelease) {
            Timer_Invent->start();
        }
    } else if (event->type() == QEvent::KeyPress && keyed_.contains(static_cast<QWidget*>(watched))) {
        // A key the keypad takes reaches neither grid: a digit would move its current row.
        const auto* ke = static_cast<QKeyEvent*>(event);
        bool taken = false;
        Guard([&] { taken = My_Key_Down(ke->key(), ke->modifiers()); });
        if (taken)
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

void CreateInventoryWindows()
{
    Form_DocInv.make();
    Form_ZaprosInv.make();
    Form_Invent.make();
    if (ProductsTab)
        ProductsTab->hooks.invent = [] { Form_Invent->Execute(); };
}

void DestroyInventoryWindows()
{
    Form_Invent.destroy();
    Form_ZaprosInv.destroy();
    Form_DocInv.destroy();
}
