#include "Unit_IngToDoc.h"

#include "CatalogueUi.h"
#include "MovementDb.h"
#include "base/Unit_Base.h"
#include "grid/DatasetModel.h"
#include "db/Query.h"
#include "engine/DocumentClaim.h"
#include "engine/WriteRoad.h"
#include "engine/EngineDb.h"
#include "grid/ListHolder.h"
#include "ui/Keypad.h"
#include "ui/RadioGroup.h"
#include "ui/Scaling.h"
#include "util/Globals.h"
#include "util/Messages.h"
#include "util/Settings.h"
#include "util/SettingsStore.h"
#include "util/Unit_Util.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>


FirstUse<TForm_IngToDoc> Form_IngToDoc;

namespace {

// The lines' fields a typed number goes to, in the order of "Изменяемая колонка".
constexpr const char* kEntryFields[] = {"KOLVO", "CENA", "SUMMA"};

} // namespace

TForm_IngToDoc::TForm_IngToDoc(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Заполнение документа движения"));
    Q_GrIng = new db::Query(Form_Base->MyDB, Form_Base->TransactionRead, this);
    Q_GrIng->setSql(QStringLiteral("SELECT * FROM GROUP_ING ORDER BY NAME"));
    Q_Ing_Sklad = new db::Query(Form_Base->MyDB, Form_Base->TransactionRead, this);
    List_Moves = new db::ListHolder(Form_Base->MyDB, Form_Base->TransactionRead, this);
    List_Moves->setTables({QStringLiteral("MOVES"), QStringLiteral("ING"), QStringLiteral("ED_IZM")});
    // A typed value's commit reads its line again in place.
    List_Moves->setKeyTable(QStringLiteral("MOVES"));
    // A line removed elsewhere leaves the list on another line of its product, or on none.
    List_Moves->setLineFields({QStringLiteral("KOD_ING")});
    Q_Moves = List_Moves->query();

    auto* top = new QVBoxLayout(this);
    auto* hint = new QLabel(
        QStringLiteral("Используйте во время работы не только цифровые клавиши, но и клавиши Enter, Insert, Delete и стрелки"), this);
    hint->setWordWrap(true);
    top->addWidget(hint);

    auto* split = new QSplitter(Qt::Vertical, this);
    auto* upper = new QWidget(split);
    auto* upperLay = new QHBoxLayout(upper);
    upperLay->setContentsMargins(0, 0, 0, 0);
    Grid_GrIng = new db::DbGrid(upper);
    Grid_GrIng->setQuery(Q_GrIng);
    cat::SetColumns(Grid_GrIng, {{QStringLiteral("NAME"), QStringLiteral("Наименование группы"), 200}});
    Grid_GrIng->horizontalHeader()->setStretchLastSection(true);
    upperLay->addWidget(Grid_GrIng, 1);
    auto* products = new QVBoxLayout;
    auto* search = new QHBoxLayout;
    CB_Context = new QCheckBox(QStringLiteral("Контекстный поиск =>"), upper);
    E_Context = new QLineEdit(upper);
    E_Context->setMaxLength(100);
    CB_Closed = new QCheckBox(QStringLiteral("Показать скрытое"), upper);
    search->addWidget(CB_Context);
    search->addWidget(E_Context, 1);
    search->addWidget(CB_Closed);
    products->addLayout(search);
    Grid_Ing_Sklad = new db::DbGrid(upper);
    Grid_Ing_Sklad->setQuery(Q_Ing_Sklad);
    // Prices, quantities and sums show whole in the window's font, a zoomed one too; the
    // names take the room the figures leave.
    const QString price = db::kPriceDisplay;
    const QString quantity = db::kQuantityDisplay;
    const int priceWidth = cat::FigureColumnWidth(Grid_Ing_Sklad, price, 75);
    const int quantityWidth = cat::FigureColumnWidth(Grid_Ing_Sklad, quantity, 75);
    cat::SetColumns(Grid_Ing_Sklad, {{QStringLiteral("NAME"), QStringLiteral("Наименование"), 260},
                                     {QStringLiteral("SHORT_NAME"), QStringLiteral("Ед.изм."), 55},
                                     {QStringLiteral("CENA"), QStringLiteral("Цена"), priceWidth, price},
                                     {QStringLiteral("MY_CENA"), QStringLiteral("Цена прод."), priceWidth, price},
                                     {QStringLiteral("KOLVO"), QStringLiteral("Кол-во"), quantityWidth, quantity}});
    Grid_Ing_Sklad->datasetModel()->setCellStyle(&cat::HiddenRowStyle);
    products->addWidget(Grid_Ing_Sklad, 1);
    upperLay->addLayout(products, 3);
    split->addWidget(upper);

    auto* lower = new QWidget(split);
    auto* lowerLay = new QHBoxLayout(lower);
    lowerLay->setContentsMargins(0, 0, 0, 0);
    Grid_Moves = new db::DbGrid(lower);
    Grid_Moves->setQuery(Q_Moves);
    cat::SetColumns(Grid_Moves, {{QStringLiteral("NAME"), QStringLiteral("Наименование"), 220},
                                 {QStringLiteral("ED_IZM"), QStringLiteral("Ед.изм."), 55},
                                 {QStringLiteral("KOLVO"), QStringLiteral("Кол-во"), quantityWidth, quantity},
                                 {QStringLiteral("CENA"), QStringLiteral("Цена"), priceWidth, price},
                                 {QStringLiteral("SUMMA"), QStringLiteral("Сумма"),
                                  cat::FigureColumnWidth(Grid_Moves, QStringLiteral("#.00"), 85), QStringLiteral("#.00")}});
    for (db::DbGrid* g : {Grid_Moves, Grid_Ing_Sklad})
        g->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    lowerLay->addWidget(Grid_Moves, 3);
    auto* side = new QVBoxLayout;
    Keypad = new TKeypad(lower);
    side->addWidget(Keypad);
    RadioGroup1 = new TRadioGroup(QStringLiteral("Изменяемая колонка"),
                                  {QStringLiteral("Кол-во"), QStringLiteral("Цена"), QStringLiteral("Сумма")}, lower);
    RadioGroup1->setColumns(3);
    side->addWidget(RadioGroup1);
    CB_Next = new QCheckBox(QStringLiteral("Сдвигать позицию курсора"), lower);
    CB_Next->setChecked(true);
    CB_Kol = new QCheckBox(QStringLiteral("Менять колонки ввода"), lower);
    side->addWidget(CB_Next);
    side->addWidget(CB_Kol);
    auto* lineButtons = new QHBoxLayout;
    Btn_Add = new QPushButton(QStringLiteral("Добавить"), lower);
    Btn_Delete = new QPushButton(QStringLiteral("Убрать"), lower);
    Btn_Clear = new QPushButton(QStringLiteral("Очистить"), lower);
    lineButtons->addWidget(Btn_Add);
    lineButtons->addWidget(Btn_Delete);
    lineButtons->addWidget(Btn_Clear);
    side->addLayout(lineButtons);
    side->addStretch();
    Btn_Ok = new QPushButton(QStringLiteral("Выход"), lower);
    side->addWidget(Btn_Ok);
    lowerLay->addLayout(side);
    split->addWidget(lower);
    top->addWidget(split, 1);

    Timer_IngToDoc = new QTimer(this);
    Timer_IngToDoc->setSingleShot(true);
    Timer_IngToDoc->setInterval(400);
    connect(Timer_IngToDoc, &QTimer::timeout, this, [this] { Guard([this] { CB_ContextClick(); }); });

    // The keypad: a number goes to the current line while the document can change.
    Keypad->guard = [this] { return cat::HasRow(Q_Moves) && Btn_Add->isEnabled(); };
    Keypad->apply = [this](double v) { ApplyValue(v); };
    Keypad->takesQuantity = [this] { return RadioGroup1->itemIndex() == 0; };
    Keypad->focusTarget = Grid_Moves;
    Keypad->addButton = Btn_Add;
    Keypad->removeButton = Btn_Delete;
    Keypad->signKeys = true;
    Keypad->applyPlacesFocus = true;  // a stored value sends the focus back to the search field
    Keypad->keepCellOf(Grid_Moves);
    Keypad->entryGrid = Grid_Moves;
    Keypad->entryColumn = [this] {
        const int i = RadioGroup1->itemIndex();
        return i < 0 || i > 2 ? -1 : Grid_Moves->datasetModel()->columnOf(QLatin1String(kEntryFields[i]));
    };
    // Quantity, price and sum take typing, whichever the column choice names.
    Keypad->keepToEntryCells([this] {
        QList<int> columns;
        for (const char* f : kEntryFields)
            columns << Grid_Moves->datasetModel()->columnOf(QLatin1String(f));
        return columns;
    });
    Keypad->watchRadioGroup(RadioGroup1->buttonGroup());
    KeepEnterInControls(this);
    // The keypad's own buttons pass the keys they ignore up to the window.
    for (QWidget* w : std::initializer_list<QWidget*>{this, Grid_GrIng, Grid_Ing_Sklad, Btn_Add, Btn_Delete, Btn_Clear,
                                                      Btn_Ok, CB_Context, Grid_Moves, CB_Next, CB_Kol, CB_Closed})
        Keypad->attachKeys(w);

    TKeypad::bindSearch(CB_Context, E_Context, CB_Closed, [this] { CB_ContextClick(); });
    connect(Btn_Add, &QPushButton::clicked, this, [this] { Guard([this] { Btn_AddClick(); }); });
    connect(Btn_Delete, &QPushButton::clicked, this, [this] { Guard([this] { Btn_DeleteClick(); }); });
    connect(Btn_Clear, &QPushButton::clicked, this, [this] { Guard([this] { Btn_ClearClick(); }); });
    connect(Btn_Ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(CB_Next, &QCheckBox::clicked, this, [this] { Guard([this] { CB_NextClick(); }); });
    connect(CB_Kol, &QCheckBox::clicked, this, [this] { Guard([this] { CB_KolClick(); }); });
    Grid_Ing_Sklad->setEditButton(Btn_Add);
    Grid_Moves->setEditButton(Btn_Delete);
    connect(Grid_Moves->selectionModel(), &QItemSelectionModel::currentColumnChanged, this,
            [this](const QModelIndex& current) { Grid_MovesColEnter(current.column()); });
    // The product list follows the group 400 ms after the group list rests.
    connect(Q_GrIng, &db::Query::currentChanged, this, [this] {
        if (!Q_GrIng->active() || CB_Context->isChecked())
            return;
        cat::SetActive(Grid_Ing_Sklad, false);
        Timer_IngToDoc->start();
    });
    E_Context->installEventFilter(this);

    FormCreate();
}

TForm_IngToDoc::~TForm_IngToDoc()
{
    if (Form_IngToDoc.made() == this)
        Form_IngToDoc = nullptr;
}

void TForm_IngToDoc::FormCreate()
{
    Keypad->CommaTyped = false;
    resize(1040, 680);
    ScaleWindow(this, true);
}

void TForm_IngToDoc::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TForm_IngToDoc::FormShow()
{
    const bool open = DocProvodka < 11;
    Btn_Add->setEnabled(open);
    Btn_Delete->setEnabled(open);
    Btn_Clear->setEnabled(open);
    RadioGroup1->setItemIndex(0);
}

void TForm_IngToDoc::OpenFor(qint64 doc)
{
    {
        auto q = engine::Reader(engine::ProgramContext(),
                                QStringLiteral("SELECT NAME, INT_PARAM1, TYPE_CENA, PROVODKA FROM DOCS WHERE KOD = ") + Key(doc));
        q->open();
        DocKod = doc;
        DocName = q->field(0).asString();
        DocOtdel = q->field(1).isNull() ? 0 : q->field(1).asInt64();
        DocTypeCena = q->field(2).isNull() ? 0 : q->field(2).asInt();
        DocProvodka = q->field(3).isNull() ? 0 : q->field(3).asInt();
    }
    CB_Next->setChecked(MyParams->v.pkdd);
    CB_Kol->setChecked(MyParams->v.mkdd);
    Q_GrIng->close();
    Q_GrIng->open();
    CB_ContextClick();
    ReopenLines(0);
}

void TForm_IngToDoc::CloseLists()
{
    Timer_IngToDoc->stop();
    Q_GrIng->close();
    Q_Moves->close();
}

void TForm_IngToDoc::CB_ContextClick()
{
    db::Query* q = Q_Ing_Sklad;
    q->close();
    q->clearSql();
    q->addSql(QStringLiteral("SELECT ING_SKLAD.*, ING.KOD_GROUP, ING.NAME, ING.ED_IZM, ING.MY_LEVEL, ING.PERCENT_PLUS, "
                             "ED_IZM.SHORT_NAME FROM ING_SKLAD"));
    q->addSql(QStringLiteral("JOIN ING ON ING_SKLAD.KOD_ING = ING.KOD"));
    q->addSql(QStringLiteral("LEFT OUTER JOIN ED_IZM ON ING.ED_IZM = ED_IZM.KOD"));
    q->addSql(QStringLiteral("WHERE ING_SKLAD.KOD_OTDEL = ") + Key(DocOtdel));
    const bool context = CB_Context->isChecked();
    cat::SetActive(Grid_GrIng, !context);
    cat::SetActive(E_Context, context);
    if (context) {
        // The typed text is bound, never pasted into the statement.
        q->addSql(QStringLiteral("AND ") + engine::NameContains(QStringLiteral("ING.NAME"), QStringLiteral("S")));
    } else {
        q->addSql(QStringLiteral("AND ING.KOD_GROUP = ") + Key(cat::KeyOf(Q_GrIng)));
    }
    if (!CB_Closed->isChecked())
        q->addSql(QStringLiteral("AND ING_SKLAD.OPEN_CLOSE = 0"));
    q->addSql(QStringLiteral("order by ING.name"));
    if (context)
        q->param(QStringLiteral("S")).setString(engine::NameSearchText(E_Context->text()));
    q->prepare();
    q->open();
    cat::SetActive(Grid_Ing_Sklad, true);
}

void TForm_IngToDoc::ReopenLines(qint64 kod)
{
    db::Query* l = Q_Moves;
    l->close();
    l->setSql(QStringList{QStringLiteral("SELECT MOVES.*, ING.NAME, ED_IZM.SHORT_NAME AS ED_IZM FROM MOVES"),
                          QStringLiteral("LEFT OUTER JOIN ING ON MOVES.KOD_ING = ING.KOD"),
                          QStringLiteral("LEFT OUTER JOIN ED_IZM ON ING.ED_IZM = ED_IZM.KOD"),
                          QStringLiteral("WHERE MOVES.KOD_DOC = ") + Key(DocKod), QStringLiteral("ORDER BY KOD")});
    l->open();
    if (kod != 0)
        l->locate(QStringLiteral("KOD"), QVariant::fromValue<qint64>(kod));
}

void TForm_IngToDoc::Btn_AddClick()
{
    if (!cat::HasRow(Q_Ing_Sklad)) {
        // Said in words; the search text stays, to be put right.
        Msg::notice(cat::NothingFoundText(CB_Context->isChecked(), E_Context->text(),
                                          QStringLiteral("В документ ничего не добавлено.")));
        return;
    }
    E_Context->clear();
    const qint64 ing = Q_Ing_Sklad->field(QStringLiteral("KOD_ING")).asInt64();
    const QString name = Q_Ing_Sklad->field(QStringLiteral("NAME")).asString();
    WriteTransaction w(movement::kRoad);
    const qint64 kod = engine::NamingDocument(DocName, [&] {
        return movement::AddLine(w.context(), movement::Claim(w.context(), DocKod), DocOtdel, ing, DocTypeCena);
    });
    List_Moves->standOn(kod);
    w.commit(QStringLiteral("Движение"),
             QStringLiteral("В документ № ") + DocName + QStringLiteral(" добавлен продукт <<") + name + QStringLiteral(">>"));
    // A new line is entered from its quantity on.
    RadioGroup1->setItemIndex(0);
    if (E_Context->hasFocus())
        E_Context->selectAll();
    else
        Grid_Moves->setFocus();
}

void TForm_IngToDoc::Btn_DeleteClick()
{
    E_Context->clear();
    // Nothing to remove, or no line chosen: no question asked.
    if (!cat::HasRow(Q_Moves) || Grid_Moves->standsOnNoRow())
        return;
    if (!Msg::confirmDestructive(QStringLiteral("Убрать продукт из списка ?"), QStringLiteral("Удаление")))
        return;
    const QString name = Q_Moves->field(QStringLiteral("NAME")).asString();
    const qint64 kod = cat::KeyOf(Q_Moves);
    WriteTransaction w(movement::kRoad);
    engine::NamingDocument(DocName, [&] { movement::DeleteLine(w.context(), movement::Claim(w.context(), DocKod), kod); });
    w.commit(QStringLiteral("Движение"),
             QStringLiteral("Из документа № ") + DocName + QStringLiteral(" удалён продукт <<") + name + QStringLiteral(">>"));
}

void TForm_IngToDoc::Btn_ClearClick()
{
    E_Context->clear();
    if (!Msg::confirmDestructive(QStringLiteral("Вы действительно собираетесь полностью очистить список продуктов в этом документе ?"),
                                 QStringLiteral("Очистка списка")))
        return;
    WriteTransaction w(movement::kRoad);
    engine::NamingDocument(DocName, [&] { movement::DeleteLines(w.context(), movement::Claim(w.context(), DocKod)); });
    w.commit(QStringLiteral("Движение"), QStringLiteral("Табличная часть документа № ") + DocName + QStringLiteral(" очищена."));
}

void TForm_IngToDoc::ApplyValue(double value)
{
    const int column = RadioGroup1->itemIndex();
    const qint64 kod = cat::KeyOf(Q_Moves);
    Keypad->Clear();
    {
        WriteTransaction w(movement::kRoad);
        engine::NamingDocument(DocName, [&] {
            const engine::UnpostedDocument doc = movement::Claim(w.context(), DocKod);
            if (column == 2)
                movement::SetLineSum(w.context(), doc, kod, value);
            else
                movement::SetLineValue(w.context(), doc, kod, column == 0 ? QStringLiteral("KOLVO") : QStringLiteral("CENA"),
                                       value);
        });
        w.commit();  // the lines reload on the line just changed
    }
    if (Keypad->LeavingCell())
        return;
    const bool next = CB_Next->isChecked();
    const bool swap = CB_Kol->isChecked();
    const bool toNextLine = next && (!swap || column != 0);
    if (swap)
        RadioGroup1->setItemIndex(column == 0 ? 1 : 0);
    if (toNextLine && Q_Moves->recNo() + 1 < Q_Moves->recordCount())
        Q_Moves->next();
    // The search takes the next product's name; a number typed there before
    // any letter goes to the line (its price, after a quantity with the
    // columns swapped).
    if (E_Context->isEnabled())
        E_Context->setFocus();
    else
        Grid_Moves->setFocus();
}

// The writers start and commit their own short transaction.
void TForm_IngToDoc::CB_NextClick() { WriteCheckSetting(QStringLiteral("pkdd"), CB_Next->isChecked()); }

void TForm_IngToDoc::CB_KolClick() { WriteCheckSetting(QStringLiteral("mkdd"), CB_Kol->isChecked()); }

void TForm_IngToDoc::Grid_MovesColEnter(int column)
{
    const QList<db::GridColumn>& cols = Grid_Moves->datasetModel()->columns();
    if (column < 0 || column >= cols.size())
        return;
    const QString f = cols[column].field;
    if (f == QLatin1String("KOLVO"))
        RadioGroup1->setItemIndex(0);
    else if (f == QLatin1String("CENA"))
        RadioGroup1->setItemIndex(1);
    else if (f == QLatin1String("SUMMA"))
        RadioGroup1->setItemIndex(2);
}

bool TForm_IngToDoc::contextKey(int key, const QString& text, bool listBehind)
{
    // A number is no search text: typed before any word, it goes to the keypad.
    static const QRegularExpression letter(QStringLiteral("\\p{L}"));
    const bool figure = text.size() == 1 && (text[0].isDigit() || text[0] == QLatin1Char(',') || text[0] == QLatin1Char('.'));
    if (figure && !E_Context->text().contains(letter))
        return Keypad->KeyDown(key);
    if (Keypad->SearchKey(key))
        return true;
    switch (key) {
    case Qt::Key_Insert:
        cat::InsertFromSearch(Q_Ing_Sklad, Btn_Add, Grid_Moves, listBehind, [this] { CB_ContextClick(); });
        return true;
    case Qt::Key_Up:
        if (Q_Ing_Sklad->active() && Q_Ing_Sklad->recNo() > 0)
            Q_Ing_Sklad->prior();
        return true;
    case Qt::Key_Down:
        if (Q_Ing_Sklad->active() && Q_Ing_Sklad->recNo() + 1 < Q_Ing_Sklad->recordCount())
            Q_Ing_Sklad->next();
        return true;
    default:
        return false;
    }
}

bool TForm_IngToDoc::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == E_Context) {
        if (event->type() == QEvent::KeyPress) {
            const bool listBehind = Timer_IngToDoc->isActive();
            Timer_IngToDoc->stop();
            bool handled = false;
            auto* ke = static_cast<QKeyEvent*>(event);
            Guard([&] { handled = contextKey(ke->key(), ke->text(), listBehind); });
            if (handled)
                return true;
        } else if (event->type() == QEvent::KeyRelease) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (TKeypad::RestartsSearch(key))
                Timer_IngToDoc->start();
        }
    }
    return QDialog::eventFilter(watched, event);
}
