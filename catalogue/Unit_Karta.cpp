#include "Unit_Karta.h"

#include "CatalogueUi.h"
#include "Printing.h"
#include "Unit_ProductsTab.h"
#include "Unit_Recept.h"
#include "Unit_SelectFirma.h"
#include "Unit_SelectOtdel.h"
#include "Unit_StructureBox.h"
#include "base/Unit_Base.h"
#include "grid/ListHolder.h"
#include "costing/CardEdit.h"
#include "costing/Recompute.h"
#include "grid/DatasetModel.h"
#include "db/Query.h"
#include "engine/EngineDb.h"
#include "ui/Keypad.h"
#include "ui/RadioGroup.h"
#include "ui/Scaling.h"
#include "ui/Unit_Alarm.h"
#include "util/Globals.h"
#include "util/Messages.h"
#include "util/Settings.h"
#include "util/SettingsStore.h"
#include "util/Unit_Util.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <stdexcept>

FirstUse<TForm_Karta> Form_Karta;

namespace {

const QString kArea = QStringLiteral("Продукты и блюда");

// The card rows' columns a number is typed on: the net, the yield shown (its
// percent or its gross coefficient, as the setting shows it) and the gross.
const QString kNet = QStringLiteral("KOLVO");
const QString kGross = QStringLiteral("BRUTTO");
QString yieldField() { return MyParams->v.brutto == 1 ? QStringLiteral("K_BRUTTO") : QStringLiteral("PERCENT"); }

// A number typed on one of them is that column's figure.
costing::CardFigure figureOf(const QString& field)
{
    if (field == kNet)
        return costing::CardFigure::Net;
    if (field == kGross)
        return costing::CardFigure::Gross;
    return field == QLatin1String("PERCENT") ? costing::CardFigure::Yield : costing::CardFigure::Coefficient;
}

QPushButton* button(const QString& text, const QString& hint, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setAutoDefault(false);
    if (!hint.isEmpty())
        b->setToolTip(hint);
    return b;
}

// An edit with its caption of one or two lines above it.
QLineEdit* captionedEdit(const QString& caption, QGridLayout* grid, int column, QWidget* parent)
{
    auto* label = new QLabel(caption, parent);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    auto* edit = new QLineEdit(parent);
    grid->addWidget(label, 0, column);
    grid->addWidget(edit, 1, column);
    return edit;
}

double number(const db::Query& q, int row, const char* field)
{
    const int col = q.fieldIndex(QString::fromLatin1(field));
    return col < 0 ? 0.0 : q.valueAt(row, col).toDouble();
}

// The warning window of a price computation, modal.
void showWarnings(const QStringList& lines)
{
    if (!Form_Alarm) {
        Msg::warning(lines.join(QLatin1Char('\n')), QStringLiteral("Внимание ! ! !"));
        return;
    }
    Form_Alarm->Memo1->setPlainText(lines.join(QLatin1Char('\n')));
    Msg::execModal(Form_Alarm);
    Form_Alarm->Memo1->clear();
}

// The picker's names keep their room: where the other columns' titles on one
// line leave too little of it (a narrow window), those titles go on two lines.
void fitPickerTitles(db::DbGrid* grid)
{
    QHeaderView* h = grid->horizontalHeader();
    const QAbstractItemModel* m = grid->model();
    if (!m || h->count() < 2)
        return;
    const QFontMetrics fm(h->font());
    const int headerMargin = h->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, h);
    const int pad = 2 * headerMargin + fm.averageCharWidth();
    auto titleWidth = [&](int i, bool twoLines) {
        const QString title = m->headerData(i, Qt::Horizontal).toString();
        int text = fm.horizontalAdvance(title);
        if (twoLines)
            for (int at = title.indexOf(QLatin1Char(' ')); at > 0; at = title.indexOf(QLatin1Char(' '), at + 1))
                text = std::min(text, std::max(fm.horizontalAdvance(title.left(at)), fm.horizontalAdvance(title.mid(at + 1))));
        return text + pad;
    };
    int others = 0;
    for (int i = 1; i < h->count(); ++i)
        others += titleWidth(i, false);
    const bool wrap = titleWidth(0, false) + others > grid->viewport()->width();
    h->setTextElideMode(wrap ? Qt::ElideNone : Qt::ElideRight);
    h->setDefaultAlignment(wrap ? Qt::Alignment(Qt::AlignCenter | Qt::TextWordWrap) : Qt::Alignment(Qt::AlignCenter));
    h->setMinimumHeight(wrap ? 2 * fm.lineSpacing() + 2 * headerMargin : 0);
    for (int i = 1; i < h->count(); ++i)
        h->resizeSection(i, titleWidth(i, wrap));
}

} // namespace

TForm_Karta::TForm_Karta(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setWindowTitle(QStringLiteral("Калькуляционная карта продукта"));
    auto* root = new QHBoxLayout(this);

    // Left: groups, search and the ingredient picker.
    auto* left = new QVBoxLayout;
    Grid_G = new db::DbGrid(this);
    left->addWidget(Grid_G, 2);
    auto* search = new QHBoxLayout;
    CB_Context = new QCheckBox(QStringLiteral("Контекстный поиск =>"), this);
    E_Context = new QLineEdit(this);
    E_Context->setMaxLength(100);
    search->addWidget(CB_Context);
    search->addWidget(E_Context, 1);
    left->addLayout(search);
    CB_Closed = new QCheckBox(QStringLiteral("Показать скрытое"), this);
    left->addWidget(CB_Closed);
    Grid_I = new db::DbGrid(this);
    left->addWidget(Grid_I, 5);
    for (const QString& text :
         {QStringLiteral("Добавляйте выбранные ингредиенты в таблицу состава двойным щелчком мыши, или нажатием клавиши."),
          QStringLiteral("Используйте во время работы не только цифровые клавиши, но и клавиши Enter, Insert, Delete и стрелки.")}) {
        auto* hint = new QLabel(text, this);
        hint->setWordWrap(true);
        left->addWidget(hint);
    }
    root->addLayout(left, 4);

    // Right: the card, its header, the options, the keypad and the buttons.
    auto* right = new QVBoxLayout;
    auto* sostav = new QGroupBox(QStringLiteral("Состав"), this);
    auto* sostavLay = new QVBoxLayout(sostav);
    Grid_Sostav = new db::DbGrid(sostav);
    sostavLay->addWidget(Grid_Sostav);
    right->addWidget(sostav, 5);

    GB_Param = new QGroupBox(QStringLiteral("Параметры составного продукта"), this);
    auto* params = new QGridLayout(GB_Param);
    E_Kolvo = captionedEdit(QStringLiteral("На какое кол-во\nединиц продукта"), params, 0, GB_Param);
    E_Percent = captionedEdit(QStringLiteral("Процент\nнадбавки"), params, 1, GB_Param);
    E_Vihod = captionedEdit(QStringLiteral("Выход"), params, 2, GB_Param);
    E_EdIzm = captionedEdit(QStringLiteral("Ед.\nизм."), params, 3, GB_Param);
    E_Vihod->setMaxLength(25);
    E_EdIzm->setReadOnly(true);
    E_EdIzm->setFocusPolicy(Qt::NoFocus);
    params->setColumnStretch(2, 2);
    right->addWidget(GB_Param);

    auto* options = new QHBoxLayout;
    auto* radios = new QVBoxLayout;
    RG_Cena = new TRadioGroup(QStringLiteral("При расчётах берём цены ингредиентов"),
                              {QStringLiteral("Складские"), QStringLiteral("Продажные")}, this);
    RG_Cena->setColumns(2);
    RG_Manual = new TRadioGroup(QStringLiteral("Коэф. перевода в брутто (или % выхода) ингредиентов "),
                                {QStringLiteral("Из нормы ингредиента"), QStringLiteral("Вручную")}, this);
    RG_Manual->setColumns(2);
    RG_Kolonka = new TRadioGroup(QStringLiteral("Изменяемая колонка"), BruttoColumnItems(), this);
    RG_Kolonka->setColumns(2);
    CB_Next = new QCheckBox(QStringLiteral("Сдвигать позицию курсора"), this);
    CB_Next->setChecked(true);
    radios->addWidget(RG_Cena);
    radios->addWidget(RG_Manual);
    radios->addWidget(RG_Kolonka);
    radios->addWidget(CB_Next);
    radios->addStretch();
    options->addLayout(radios, 3);
    Keypad = new TKeypad(this);
    Keypad->setMinimumWidth(190);
    options->addWidget(Keypad, 2);
    right->addLayout(options);

    auto* buttons = new QGridLayout;
    Btn_Edit = button(QStringLiteral("Разрешить изменения"), QStringLiteral("Разрешает производить изменения в калькуляционной карте"), this);
    Btn_Add = button(QStringLiteral("Добавить"), QStringLiteral("Добавить ингредиент в калькуляционную карту"), this);
    Btn_Delete = button(QStringLiteral("Удалить"), QStringLiteral("Удалить ингредиент из калькуляционной карты"), this);
    Btn_Vkl = button(QStringLiteral("Вкл/Выкл"), QStringLiteral("Временное включение или исключение ингредиента из расчёта"), this);
    Btn_Clear = button(QStringLiteral("Отмена"), QStringLiteral("Отмена всех внесённых в калькуляционную карту изменений"), this);
    Btn_Ok = button(QStringLiteral("Запись"), QStringLiteral("Записать изменения и пересчитать цену"), this);
    Btn_Exit = button(QStringLiteral("Выход"), QStringLiteral("Отменить все изменения и закрыть окно"), this);
    Btn_Print = button(QStringLiteral("Печать"), QStringLiteral("Печать калькуляционной карты"), this);
    Btn_Recept = button(QStringLiteral("Рецепт"), QString(), this);
    buttons->addWidget(Btn_Edit, 0, 0, 1, 2);
    buttons->addWidget(Btn_Add, 0, 2);
    buttons->addWidget(Btn_Delete, 0, 3);
    buttons->addWidget(Btn_Vkl, 0, 4);
    buttons->addWidget(Btn_Recept, 1, 0);
    buttons->addWidget(Btn_Print, 1, 1);
    buttons->addWidget(Btn_Clear, 1, 2);
    buttons->addWidget(Btn_Ok, 1, 3);
    buttons->addWidget(Btn_Exit, 1, 4);
    right->addLayout(buttons);
    root->addLayout(right, 6);

    // The picker's typing delay and its wait for the group list to rest.
    Timer_KK = new QTimer(this);
    Timer_KK->setSingleShot(true);
    Timer_KK->setInterval(400);
    connect(Timer_KK, &QTimer::timeout, this, [this] { Guard([this] { Timer_KKTimer(); }); });

    buildLists();

    const struct {
        QPushButton* b;
        void (TForm_Karta::*h)();
    } handlers[] = {{Btn_Edit, &TForm_Karta::Btn_EditClick},   {Btn_Add, &TForm_Karta::Btn_AddClick},
                    {Btn_Delete, &TForm_Karta::Btn_DeleteClick}, {Btn_Vkl, &TForm_Karta::Btn_VklClick},
                    {Btn_Clear, &TForm_Karta::Btn_ClearClick},   {Btn_Ok, &TForm_Karta::Btn_OkClick},
                    {Btn_Exit, &TForm_Karta::Btn_ExitClick},     {Btn_Print, &TForm_Karta::Btn_PrintClick},
                    {Btn_Recept, &TForm_Karta::Btn_ReceptClick}};
    for (const auto& h : handlers) {
        auto handler = h.h;
        connect(h.b, &QPushButton::clicked, this, [this, handler] { Guard([this, handler] { (this->*handler)(); }); });
    }
    TKeypad::bindSearch(CB_Context, E_Context, CB_Closed, [this] { CB_ContextClick(); });
    connect(RG_Manual, &TRadioGroup::clicked, this, [this] { Guard([this] { RG_ManualClick(); }); });
    BindSetting(CB_Next, QStringLiteral("pkkk"));

    // The keypad writes into the current card row while the card is edited.
    Keypad->guard = [this] { return EditFlag && cat::HasRow(QS); };
    Keypad->apply = [this](double v) { ApplyValue(v); };
    Keypad->takesQuantity = [this] { return RG_Kolonka->itemIndex() != 1; };  // not the yield
    Keypad->focusTarget = Grid_Sostav;
    Keypad->addButton = Btn_Add;
    Keypad->removeButton = Btn_Delete;
    Keypad->signKeys = false;
    Keypad->Timer_rg->setInterval(90);
    Keypad->watchRadioGroup(RG_Kolonka->buttonGroup());
    Keypad->keepCellOf(Grid_Sostav);
    Keypad->entryGrid = Grid_Sostav;
    Keypad->entryColumn = [this] { return Grid_Sostav->datasetModel()->columnOf(typedField()); };
    Keypad->keepToEntryCells([this] {
        QList<int> columns;
        for (const QString& field : entryFields())
            columns << Grid_Sostav->datasetModel()->columnOf(field);
        return columns;
    });
    KeepEnterInControls(this);
    for (QWidget* w : {static_cast<QWidget*>(this), static_cast<QWidget*>(Grid_Sostav), static_cast<QWidget*>(Grid_I),
                       static_cast<QWidget*>(Grid_G)})
        Keypad->attachKeys(w);
    // Installed after the keypad's, so these filters see a key first.
    for (QWidget* w : {static_cast<QWidget*>(this), static_cast<QWidget*>(Grid_Sostav), static_cast<QWidget*>(Grid_I),
                       static_cast<QWidget*>(Grid_G), static_cast<QWidget*>(E_Context)})
        w->installEventFilter(this);

    resize(1024, 700);
    ScaleWindow(this, true);
}

TForm_Karta::~TForm_Karta()
{
    if (Form_Karta.made() == this)
        Form_Karta = nullptr;
}

void TForm_Karta::buildLists()
{
    db::Database* base = Form_Base->MyDB;
    db::Transaction* read = Form_Base->TransactionRead;
    QG = new db::Query(base, read, this);
    QG->setSql(QStringLiteral("select * from GROUP_ING ORDER BY  NAME"));
    QI = new db::Query(base, read, this);
    List_QS = new db::ListHolder(base, read, this);
    List_QS->setTables({QStringLiteral("KARTA"), QStringLiteral("ING"), QStringLiteral("ED_IZM")});
    QS = List_QS->query();
    QS->addCalcField(QStringLiteral("K_BRUTTO"), db::FieldKind::Float);
    QS->addCalcField(QStringLiteral("BRUTTO"), db::FieldKind::Float);
    QS->onCalcFields = [](db::Query& q) {
        // A row without a yield has no gross coefficient and no gross amount: the cells stay empty.
        const db::Field percent = q.field(QStringLiteral("PERCENT"));
        if (percent.isNull() || percent.asDouble() == 0) {
            q.setCalc(QStringLiteral("K_BRUTTO"), QVariant());
            q.setCalc(QStringLiteral("BRUTTO"), QVariant());
            return;
        }
        const double k = 100.0 / percent.asDouble();
        q.setCalc(QStringLiteral("K_BRUTTO"), k);
        q.setCalc(QStringLiteral("BRUTTO"), q.field(QStringLiteral("KOLVO")).asDouble() * k);
    };

    Grid_G->setQuery(QG);
    cat::SetColumns(Grid_G, {{QStringLiteral("NAME"), QStringLiteral("Наименование группы"), 200}});
    Grid_G->horizontalHeader()->setStretchLastSection(true);
    Grid_I->setQuery(QI);
    cat::SetColumns(Grid_I, {{QStringLiteral("NAME"), QStringLiteral("Наименование"), 200},
                             {QStringLiteral("DOP_INFO"), QStringLiteral("Доп. информация"), 110},
                             {QStringLiteral("SHORT_NAME"), QStringLiteral("Ед.изм."), 50}});
    Grid_I->datasetModel()->setCellStyle(&cat::HiddenRowStyle);
    Grid_I->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    Grid_I->viewport()->installEventFilter(this);  // its width decides the titles' lines
    Grid_I->setEditButton(Btn_Add);
    Grid_Sostav->setQuery(QS);
    // The rows' figures show whole in the window's font, a zoomed one too; the names take the rest.
    auto figure = [this](const QString& format, int design) { return cat::FigureColumnWidth(Grid_Sostav, format, design); };
    cat::SetColumns(Grid_Sostav, {{QStringLiteral("NAME"), QStringLiteral("Наименование"), 220},
                                  {QStringLiteral("SHORT_NAME"), QStringLiteral("Ед.изм."), 50},
                                  {QStringLiteral("KOLVO"), QStringLiteral("Нетто"), figure(db::kQuantityDisplay, 70), db::kQuantityDisplay},
                                  {QStringLiteral("PERCENT"), QStringLiteral("%вых."), figure(QStringLiteral("0.###"), 55), QStringLiteral("0.###")},
                                  {QStringLiteral("K_BRUTTO"), QStringLiteral("К.брутто"), figure(QStringLiteral("0.###"), 60), QStringLiteral("0.###")},
                                  {QStringLiteral("BRUTTO"), QStringLiteral("Брутто"), figure(db::kQuantityDisplay, 70), db::kQuantityDisplay}});
    Grid_Sostav->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    Grid_Sostav->datasetModel()->setCellStyle([](const db::Query& q, int row, const QString&, int role) -> QVariant {
        if (role == Qt::ForegroundRole)
            return QPalette().color(QPalette::ButtonText);
        if (role == Qt::BackgroundRole && number(q, row, "IS_ACTIVE") < 1)
            return QPalette().color(QPalette::Button);
        return {};
    });
    Grid_Sostav->setEditButton(Btn_Vkl);
    BindBruttoColumns(Grid_Sostav, QStringLiteral("PERCENT"), QStringLiteral("K_BRUTTO"));
    connect(MyParams, &TSettings::changed, this, [this](const QString& key) {
        if (key == QLatin1String("brutto")) {
            const int index = RG_Kolonka->itemIndex();
            RG_Kolonka->setItems(BruttoColumnItems());
            RG_Kolonka->setItemIndex(index);
        }
    });
    connect(Grid_Sostav->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { cellEntered(current); });
    connect(Form_Base, &TForm_Base::connectionLost, this, &TForm_Karta::ConnectionLost);
    // Moving through the groups greys the picker out until the list settles.
    connect(QG, &db::Query::currentChanged, this, [this] {
        if (!EditFlag || CB_Context->isChecked() || !QG->active())
            return;
        Grid_I->greyOut();
        Timer_KK->start();
    });
}

// ---- opening and modes ----

void TForm_Karta::Btn_KartaClick()
{
    if (!CheckRight(Right::Karta))
        return;
    const qint64 kod = ProductsTab ? ProductsTab->CurrentIng() : 0;
    if (kod == 0)
        return;
    if (!Form_Karta)
        Form_Karta = new TForm_Karta;
    Form_Karta->Prepare(kod);
    Msg::execModal(Form_Karta);
}

void TForm_Karta::Prepare(qint64 product)
{
    KodIng = product;
    db::Query head(Form_Base->MyDB, Form_Base->TransactionRead);
    db::Query* q = &head;
    q->setSql(QStringLiteral("SELECT ING.*, ED_IZM.SHORT_NAME FROM ING LEFT OUTER JOIN ED_IZM ON ED_IZM.KOD = ING.ED_IZM "
                             "WHERE ING.KOD = ") +
              Key(product));
    q->open();
    NameIng = q->field(QStringLiteral("NAME")).asString();
    setWindowTitle(QStringLiteral("Калькуляционная карта продукта <<") + NameIng +
                   QStringLiteral(">>  (Калькуляционные параметры)"));
    E_EdIzm->setText(q->field(QStringLiteral("SHORT_NAME")).asString());
    SavedCena = q->field(QStringLiteral("CENA_COMPUTE")).asInt() == 1 ? 1 : 0;
    SavedManual = q->field(QStringLiteral("MANUAL_BRUTTO")).asInt() == 1 ? 1 : 0;
    SavedKolvo = q->field(QStringLiteral("KVO_PORC")).asString();
    SavedPercent = q->field(QStringLiteral("PERCENT_PLUS")).asString();
    SavedVihod = q->field(QStringLiteral("VIHOD_BLUDA")).asString();
    Disable_Edit_Karta();
    QG->close();
    QG->open();
    Timer_KKTimer();
    Open_Karta();
}

void TForm_Karta::Open_Karta()
{
    SavedCena = RG_Cena->itemIndex() < 0 ? SavedCena : RG_Cena->itemIndex();
    SavedManual = RG_Manual->itemIndex() < 0 ? SavedManual : RG_Manual->itemIndex();
    SavedKolvo = E_Kolvo->text();
    SavedPercent = E_Percent->text();
    SavedVihod = E_Vihod->text();
    reloadQS(0);
}

void TForm_Karta::reloadQS(qint64 key)
{
    QS->close();
    QS->setSql(QStringList{QStringLiteral("select Karta.*, ED_IZM.SHORT_NAME, ING.NAME from KARTA"),
                           QStringLiteral("LEFT OUTER JOIN ING ON KARTA.KOD_ING = ING.KOD"),
                           QStringLiteral("LEFT OUTER JOIN ED_IZM ON ING.ED_IZM = ED_IZM.KOD"),
                           QStringLiteral("WHERE KARTA.KOD_ING_MASTER = ") + Key(KodIng),
                           QStringLiteral("ORDER BY KARTA.KOD")});
    QS->open();
    if (key != 0)
        QS->locate(QStringLiteral("KOD"), QVariant::fromValue<qint64>(key));
}

void TForm_Karta::Disable_Edit_Karta()
{
    Btn_Edit->setEnabled(true);
    for (QWidget* w : std::initializer_list<QWidget*>{Btn_Add, Btn_Delete, Btn_Clear, Btn_Ok, RG_Kolonka, RG_Cena, GB_Param,
                                                      CB_Next, CB_Context, Btn_Vkl, RG_Manual, CB_Closed, Btn_Recept})
        w->setEnabled(false);
    cat::SetActive(Grid_G, false);
    cat::SetActive(Grid_I, false);
    cat::SetActive(E_Context, false);
    EditFlag = false;
    RG_Cena->setItemIndex(SavedCena);
    E_Kolvo->setText(SavedKolvo);
    E_Percent->setText(SavedPercent);
    E_Vihod->setText(SavedVihod);
    RG_Manual->setItemIndex(SavedManual);
    RG_Kolonka->setItemIndex(0);
}

void TForm_Karta::Enable_Edit_Karta()
{
    Btn_Edit->setEnabled(false);
    for (QWidget* w : std::initializer_list<QWidget*>{Btn_Add, Btn_Delete, Btn_Clear, Btn_Ok, RG_Cena, GB_Param, CB_Next,
                                                      CB_Context, Btn_Vkl, RG_Manual, CB_Closed, Btn_Recept})
        w->setEnabled(true);
    cat::SetActive(Grid_G, !CB_Context->isChecked());
    cat::SetActive(Grid_I, true);
    cat::SetActive(E_Context, CB_Context->isChecked());
    EditFlag = true;
    RG_Kolonka->setEnabled(RG_Manual->itemIndex() == 1);
    RG_Kolonka->setItemIndex(0);
}

void TForm_Karta::showEvent(QShowEvent* event)
{
    closing_ = false;
    RG_Kolonka->setItemIndex(0);
    Disable_Edit_Karta();
    QDialog::showEvent(event);
}

void TForm_Karta::hideEvent(QHideEvent* event)
{
    Timer_KK->stop();
    QG->close();
    QI->close();
    QS->close();
    QDialog::hideEvent(event);
}

void TForm_Karta::closeEvent(QCloseEvent* event)
{
    // Closed by other means than its buttons: an open cycle is cancelled first.
    if (!closing_ && Btn_Clear->isEnabled()) {
        if (!Guard([this] { Btn_ClearClick(); })) {
            event->ignore();
            return;
        }
    }
    QDialog::closeEvent(event);
}

void TForm_Karta::keyPressEvent(QKeyEvent* event)
{
    // Enter and Escape belong to the keypad, never to the dialog's default buttons.
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TForm_Karta::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type t = event->type();
    if (watched == Grid_I->viewport()) {
        if (t == QEvent::Resize)
            fitPickerTitles(Grid_I);
        return QDialog::eventFilter(watched, event);
    }
    if (watched == E_Context && (t == QEvent::KeyPress || t == QEvent::KeyRelease)) {
        auto* ke = static_cast<QKeyEvent*>(event);
        const int key = ke->key();
        if (t == QEvent::KeyRelease) {
            if (TKeypad::RestartsSearch(key))
                Timer_KK->start();
            return false;
        }
        const bool listBehind = Timer_KK->isActive();
        Timer_KK->stop();
        if (Keypad->SearchKey(key))
            return true;
        switch (key) {
        case Qt::Key_Insert:
            Guard([&] { cat::InsertFromSearch(QI, Btn_Add, Grid_Sostav, listBehind, [this] { Timer_KKTimer(); }); });
            return true;
        case Qt::Key_Up:
            if (QI->active())
                QI->prior();
            return true;
        case Qt::Key_Down:
            if (QI->active())
                QI->next();
            return true;
        default:
            return false;
        }
    }
    if (t == QEvent::KeyPress && watched != E_Context && Btn_Add->isEnabled()) {
        auto* ke = static_cast<QKeyEvent*>(event);
        if (Keypad->EntryKey(ke->key()))
            return true;
        switch (ke->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
            if (!Grid_Sostav->hasFocus() && QI->active()) {
                ke->key() == Qt::Key_Up ? QI->prior() : QI->next();
                return true;
            }
            return false;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

QStringList TForm_Karta::entryFields() const
{
    // With the yields from the norm only net quantities are typed.
    if (RG_Manual->itemIndex() != 1)
        return {kNet};
    return {kNet, yieldField(), kGross};
}

QString TForm_Karta::fieldAt(int column) const
{
    int shown = -1;
    for (const db::GridColumn& c : Grid_Sostav->datasetModel()->columns())
        if (c.visible && ++shown == column)
            return c.field;
    return {};
}

QString TForm_Karta::typedField() const
{
    if (RG_Manual->itemIndex() != 1 || RG_Kolonka->itemIndex() != 1)
        return kNet;
    // The second choice is the yield's column, or the gross where the cursor stands on it.
    return fieldAt(Grid_Sostav->currentIndex().column()) == kGross ? kGross : yieldField();
}

void TForm_Karta::cellEntered(const QModelIndex& current)
{
    if (!current.isValid() || !Grid_Sostav->datasetModel())
        return;
    const QString field = fieldAt(current.column());
    if (entryFields().contains(field))
        RG_Kolonka->setItemIndex(field == kNet ? 0 : 1);
}

// ---- picker ----

void TForm_Karta::CB_ContextClick()
{
    const bool context = CB_Context->isChecked();
    cat::SetActive(E_Context, context && EditFlag);
    cat::SetActive(Grid_G, !context && EditFlag);
    QI->close();
    QI->clearSql();
    QI->addSql(QStringLiteral("SELECT ING.*, ED_IZM.SHORT_NAME, ING_SKLAD.OPEN_CLOSE from ING"));
    QI->addSql(QStringLiteral("LEFT OUTER JOIN ED_IZM ON ING.ED_IZM = ED_IZM.KOD"));
    QI->addSql(QStringLiteral("LEFT OUTER JOIN ING_SKLAD ON ING_SKLAD.KOD_ING = ING.KOD"));
    // The typed text is a parameter, searched for as it stands.
    if (context)
        QI->addSql(QStringLiteral("WHERE ") + engine::NameContains(QStringLiteral("ING.NAME"), QStringLiteral("S")));
    else
        QI->addSql(QStringLiteral("WHERE ING.KOD_GROUP = ") + Key(cat::KeyOf(QG)));
    QI->addSql(QStringLiteral("AND ING_SKLAD.KOD_OTDEL = ") + Key(cat::KeyOf(StructureBox->Q_Otdel)));
    QI->addSql(QStringLiteral("AND ING.KOD <> ") + Key(KodIng));
    if (!CB_Closed->isChecked())
        QI->addSql(QStringLiteral("AND ING_SKLAD.OPEN_CLOSE = 0"));
    QI->addSql(QStringLiteral("ORDER BY ING.NAME"));
    if (context)
        QI->param(QStringLiteral("S")).setString(engine::NameSearchText(E_Context->text()));
    QI->open();
    cat::SetActive(Grid_I, true);
    Grid_I->release();
}

void TForm_Karta::Timer_KKTimer()
{
    Timer_KK->stop();
    if (!EditFlag)
        return;
    QI->close();
    if (cat::HasRow(QG))
        CB_ContextClick();
}

// ---- the edit cycle ----

qint64 TForm_Karta::currentRowKey() const { return cat::KeyOf(QS); }

QString TForm_Karta::currentRowName() const
{
    return cat::HasRow(QS) ? QS->field(QStringLiteral("NAME")).asString() : QString();
}

void TForm_Karta::Btn_EditClick()
{
    const costing::Context ctx = engine::ProgramContext();
    if (costing::InUnpostedDocuments(ctx, KodIng)) {
        Msg::notice(QStringLiteral("Данный продукт имеется в непроведённых документах, поэтому корректировка запрещена до "
                                   "проведения или удаления этих документов."));
        return;
    }
    // Taking the cycle over continues it here with its backup: the other
    // workstation can neither save nor cancel it any more, and a cancel here
    // gives back the card from before that cycle began. No is the default.
    if (costing::EditCycleOpen(ctx, KodIng) &&
        !Msg::confirmDestructive(
            QStringLiteral("Калькуляционная карта этого продукта уже открыта для изменений: на другом рабочем месте или "
                           "с прошлого раза, когда работа программы прервалась. Перехватить эти изменения и продолжить "
                           "их здесь ? Там их тогда нельзя будет ни записать, ни отменить. Уже внесённое там остаётся в "
                           "карте: \"Запись\" здесь сохранит его вместе с вашими изменениями, а \"Отмена\" или "
                           "\"Выход\" вернёт карту к виду до начала тех изменений."),
            QStringLiteral("Изменение калькуляционной карты")))
        return;
    {
        WriteTransaction w(costing::kRoad);
        Cycle = costing::StartEditCycle(w.context(), KodIng);
        w.commit(kArea, QStringLiteral("Разрешены изменения в К/карте продукта <<") + NameIng + QStringLiteral(">>"));
    }
    Enable_Edit_Karta();
    Timer_KKTimer();
}

void TForm_Karta::Btn_AddClick()
{
    if (!EditFlag)
        return;
    if (!cat::HasRow(QI)) {
        Msg::notice(cat::NothingFoundText(CB_Context->isChecked(), E_Context->text(),
                                          QStringLiteral("В калькуляционную карту ничего не добавлено.")));
        return;
    }
    const qint64 ingredient = cat::KeyOf(QI);
    const QString name = QI->field(QStringLiteral("NAME")).asString();
    const costing::Context ctx = engine::ProgramContext();
    if (costing::MakesCycle(ctx, KodIng, ingredient)) {
        Msg::notice(QStringLiteral("Этот ингредиент нелзя включить в калькуляционную карту продукта, так как он сам является "
                                   "составляющей добавляемого ингредиента (циклическая ссылка) !"));
        return;
    }
    const double percent = RG_Manual->itemIndex() == 1 ? 100.0 : QI->field(QStringLiteral("VIHOD")).asDouble();
    qint64 row = 0;
    {
        WriteTransaction w(costing::kRoad);
        if (!holdsCycle(w))
            return;
        row = costing::AddCardRow(w.context(), KodIng, ingredient, percent);
        List_QS->standOn(row);
        w.commit(kArea, QStringLiteral("В К/карту продукта <<") + NameIng + QStringLiteral(">> добавлен продукт <<") + name +
            QStringLiteral(">>"));
    }
    Keypad->Clear();
    if (E_Context->hasFocus())
        E_Context->selectAll();
    else
        Grid_Sostav->setFocus();
}

void TForm_Karta::Btn_DeleteClick()
{
    if (!EditFlag || !cat::HasRow(QS))
        return;
    if (!Msg::confirmDestructive(QStringLiteral("Вы действительно желаете убрать этот продукт из раскладки ?"),
                                 QStringLiteral("Удаление продукта")))
        return;
    const qint64 row = currentRowKey();
    const QString name = currentRowName();
    const qint64 back = cat::StepBackKey(QS);
    {
        WriteTransaction w(costing::kRoad);
        if (!holdsCycle(w))
            return;
        costing::DeleteCardRow(w.context(), row);
        // The row before stands (the first row, when the first one went).
        List_QS->standOn(back);
        w.commit(kArea, QStringLiteral("Из К/карты продукта <<") + NameIng + QStringLiteral(">> удалён продукт <<") + name +
            QStringLiteral(">>"));
    }
    Keypad->Clear();
}

void TForm_Karta::Btn_VklClick()
{
    if (!EditFlag || !cat::HasRow(QS))
        return;
    const qint64 row = currentRowKey();
    const bool on = QS->field(QStringLiteral("IS_ACTIVE")).asInt() == 0;
    {
        WriteTransaction w(costing::kRoad);
        if (!holdsCycle(w))
            return;
        costing::SetCardRowActive(w.context(), row, on);
        w.commit(kArea, QStringLiteral("В К/картt продукта <<") + NameIng +
            (on ? QStringLiteral(">> включен продукт <<") : QStringLiteral(">> отключен продукт <<")) + currentRowName() +
            QStringLiteral(">>"));
    }
}

void TForm_Karta::ApplyValue(double v)
{
    // Refused by throwing: the keypad tells it and keeps the user on the cell.
    if (v <= 0)
        throw std::runtime_error(QStringLiteral("В поле \"Количество\" должно стоять число больше нуля !").toStdString());
    const qint64 row = currentRowKey();
    const costing::CardFigure figure = figureOf(typedField());
    {
        WriteTransaction w(costing::kRoad);
        if (!holdsCycle(w))
            return;
        costing::SetCardRowValue(w.context(), row, figure, v);
        w.commit();
    }
    Keypad->Clear();
    if (Keypad->LeavingCell())
        return;
    if (CB_Next->isChecked() && QS->recNo() < QS->recordCount() - 1)
        QS->next();
    focusAfterValue();
}

void TForm_Karta::focusAfterValue()
{
    if (E_Context->isEnabled())
        E_Context->setFocus();
    else
        Grid_Sostav->setFocus();
}

void TForm_Karta::RG_ManualClick()
{
    // Only a change made in edit mode is written; view mode merely shows the saved choice.
    if (!EditFlag || !QS->active())
        return;
    const QString head = QStringLiteral("В К/картt продукта <<") + NameIng +
                         QStringLiteral(">> коэффициент перевода в брутто поставлен в положение ");
    if (RG_Manual->itemIndex() == 1) {
        if (Btn_Add->isEnabled())
            RG_Kolonka->setEnabled(true);
        WriteTransaction w(costing::kRoad);
        if (!holdsCycle(w))
            return;
        w.commit(kArea, head + QStringLiteral("\"Вручную\""));
        return;
    }
    RG_Kolonka->setItemIndex(0);
    RG_Kolonka->setEnabled(false);
    {
        WriteTransaction w(costing::kRoad);
        if (!holdsCycle(w))
            return;
        costing::ResetYieldsFromNorm(w.context(), KodIng);
        w.commit(kArea, head + QStringLiteral("\"Из нормы ингредиента\""));
    }
}

void TForm_Karta::Btn_OkClick()
{
    Keypad->Clear();
    const QString kolvo = E_Kolvo->text();
    if (kolvo.isEmpty())
        return cat::Refuse(QStringLiteral("На какое количество единиц продекта составлена эта раскладка ?"), E_Kolvo);
    if (!cat::AllDigits(kolvo))
        return cat::Refuse(QStringLiteral("В опле \"Количество единиц\" должно стоять целое положительное число !"), E_Kolvo);
    bool ok = false;
    const int units = kolvo.toInt(&ok);
    if (!ok || units == 0)
        return cat::Refuse(QStringLiteral("В поле \"Количество единиц\" должно стоять целое положительное число !"), E_Kolvo);
    const QString percent = E_Percent->text();
    const int markup = percent.toInt(&ok);
    if (percent.isEmpty() || !cat::AllDigits(percent) || !ok)
        return cat::Refuse(QStringLiteral("В поле \"Процент надбавки\" должно стоять целое положительное число или 0 !"),
                           E_Percent);
    const QString refusal = costing::UnstorableTextRefusal(E_Vihod->text());
    if (!refusal.isEmpty())
        return cat::Refuse(refusal, E_Vihod);
    if (!cat::HasRow(QS))
        RG_Cena->setItemIndex(0);

    costing::CardHeader h;
    h.kvoPorc = units;
    h.percentPlus = markup;
    h.vihod = E_Vihod->text();
    h.cenaCompute = RG_Cena->itemIndex() == 1 ? 1 : 0;
    h.manualBrutto = RG_Manual->itemIndex() == 1 ? 1 : 0;
    costing::SaveResult r;
    {
        WriteTransaction w(costing::kRoad);
        if (!holdsCycle(w))
            return;
        r = costing::SaveCard(w.context(), KodIng, h);
        w.commit(kArea, QStringLiteral("Записаны изменения в К/карту продукта <<") + NameIng + QStringLiteral(">>"));
    }
    if (r.hasStock)
        Msg::notice(QStringLiteral("Данный продукт на одном из складов имеет не нулевые остатки. В связи с этим "
                                   "автоматический перерасчёт цены не производился. В случае необходимости для перерасчёта "
                                   "цены продукта воспользуйтесь кнопкой \"Расчёт цен\" в окне \"Продукты и Блюда\" => "
                                   "\"Наличие на складах и цены\""));
    else if (r.prices.aborted || r.prices.manualPriceWarning)
        showWarnings(r.prices.warnings);
    EditFlag = false;
    closing_ = true;
    accept();
}

bool TForm_Karta::holdsCycle(WriteTransaction& w)
{
    if (costing::HoldsEditCycle(w.context(), KodIng, Cycle))
        return true;
    w.rollback();
    Cycle = 0;
    Disable_Edit_Karta();
    reloadQS(currentRowKey());
    Keypad->Clear();
    Msg::notice(QStringLiteral("Изменения калькуляционной карты продукта <<") + NameIng +
                QStringLiteral(">> перехвачены на другом рабочем месте. Здесь ничего не записано и не отменено: "
                               "запишите или отмените изменения там, где они продолжаются."));
    return false;
}

void TForm_Karta::Btn_ClearClick()
{
    {
        WriteTransaction w(costing::kRoad);
        if (!holdsCycle(w))
            return;
        costing::CancelEditCycle(w.context(), KodIng);
        w.commit(kArea, QStringLiteral("Отменены изменения в К/карте продукта <<") + NameIng + QStringLiteral(">>"));
    }
    // The window leaves edit mode only once the card is back, so a failure leaves "Отмена" at hand.
    Disable_Edit_Karta();
    Keypad->Clear();
}

void TForm_Karta::Btn_ExitClick()
{
    Keypad->Clear();
    if (Btn_Clear->isEnabled())
        Btn_ClearClick();
    closing_ = true;
    reject();
}

void TForm_Karta::ConnectionLost()
{
    if (!isVisible())
        return;
    // Nothing here works without the connection, not even "Отмена": the window
    // closes, and an open edit cycle stays in the database for the next start.
    const bool editing = EditFlag;
    Timer_KK->stop();
    Keypad->Clear();
    EditFlag = false;
    closing_ = true;
    reject();
    if (editing)
        Msg::notice(QStringLiteral("Окно калькуляционной карты продукта <<") + NameIng +
                    QStringLiteral(">> закрыто: без связи с сервером базы данных в нём нельзя работать. Строки, уже "
                                   "записанные в карту, сохранены, а начатые изменения карты ждут продолжения: когда связь "
                                   "восстановится, откройте карту снова и нажмите \"Разрешить изменения\" - программа "
                                   "предложит продолжить их, после чего изменения можно записать или отменить."));
}

void TForm_Karta::Btn_PrintClick()
{
    Keypad->Clear();
    printing::ShowPrintKarta(KodIng, RG_Cena->itemIndex() == 1 ? 1 : 0);
}

void TForm_Karta::Btn_ReceptClick()
{
    if (!Form_Recept)
        Form_Recept = new TForm_Recept;
    Form_Recept->Load(KodIng);
    Msg::execModal(Form_Recept);
}
