#include "Unit_Print.h"

#include "base/Unit_Base.h"
#include "grid/DatasetModel.h"
#include "templates/TemplateAdmin.h"
#include "ui/RadioGroup.h"
#include "ui/Scaling.h"
#include "util/Globals.h"
#include "util/Messages.h"
#include "util/Unit_Util.h"

#include <QEvent>
#include <QKeyEvent>
#include <QFileDialog>
#include <QFontDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QShowEvent>
#include <QStyle>
#include <QVBoxLayout>

TForm_Print* Form_Print = nullptr;
FirstUse<TForm_PrintHelp> Form_PrintHelp;

std::function<QString(QWidget*, const QString&, const QString&, const QString&)> TForm_Print::pickOpenFile =
    [](QWidget* parent, const QString& caption, const QString& folder, const QString& filter) {
        return QFileDialog::getOpenFileName(parent, caption, folder, filter);
    };
std::function<QString(QWidget*, const QString&, const QString&, const QString&)> TForm_Print::pickSaveFile =
    [](QWidget* parent, const QString& caption, const QString& folder, const QString& filter) {
        return QFileDialog::getSaveFileName(parent, caption, folder, filter);
    };
std::function<std::optional<QFont>(QWidget*, const QFont&)> TForm_Print::pickFont = [](QWidget* parent, const QFont& initial) {
    bool ok = false;
    const QFont f = QFontDialog::getFont(&ok, initial, parent, QStringLiteral("Выбор шрифта переменной"));
    return ok ? std::optional<QFont>(f) : std::nullopt;
};

namespace {

QLabel* caption(const QString& text, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setWordWrap(false);
    return l;
}

// A read-only cell field with its arrow buttons: left and right step the
// column, the lower and upper buttons the row (0: no such button).
QWidget* cellField(TForm_Print* w, QLineEdit* field, int left, int right, int lower, int upper, QWidget* parent)
{
    auto* box = new QWidget(parent);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    field->setReadOnly(true);
    field->setFixedWidth(64);
    field->setAlignment(Qt::AlignCenter);
    const auto arrow = [&](int number, Qt::ArrowType type, int mode) {
        auto* b = new QToolButton(box);
        b->setArrowType(type);
        b->setObjectName(QStringLiteral("SpeedButton%1").arg(number));
        b->setAutoRepeat(true);
        w->SpeedButton[number] = b;
        QObject::connect(b, &QToolButton::clicked, w, [w, field, mode] { Guard([&] { w->StepField(field, mode); }); });
        return b;
    };
    row->addWidget(arrow(left, Qt::LeftArrow, 0));
    row->addWidget(field);
    row->addWidget(arrow(right, Qt::RightArrow, 1));
    if (lower > 0) {
        row->addWidget(arrow(upper, Qt::UpArrow, 3));
        row->addWidget(arrow(lower, Qt::DownArrow, 2));
    }
    row->addStretch();
    return box;
}

QString textOf(const db::Query* q, const char* name)
{
    if (!q->active() || q->isEmpty() || q->recNo() < 0)
        return QString();
    return q->field(QString::fromLatin1(name)).asString();
}

int intOf(const db::Query* q, const char* name)
{
    if (!q->active() || q->isEmpty() || q->recNo() < 0)
        return 0;
    const db::Field f = q->field(QString::fromLatin1(name));
    return f.isNull() ? 0 : f.asInt();
}

QString orDefault(const QString& s, const QString& d) { return s.trimmed().isEmpty() ? d : s.trimmed(); }

// The columns the panels show of a template and of a variable, named as the panels name them.
const QList<engine::ShownRow::Column> kFormColumns = {
    {QStringLiteral("NAME_SHABLON"), QStringLiteral("наименование шаблона")},
    {QStringLiteral("HEAD_YX"), QStringLiteral("граница шапки документа")},
    {QStringLiteral("TAIL_YX"), QStringLiteral("граница окончания документа")},
    {QStringLiteral("START_LINE"), QStringLiteral("начало сетки")},
    {QStringLiteral("END_LINE"), QStringLiteral("окончание сетки")},
    {QStringLiteral("ZOOM"), QStringLiteral("масштаб")},
    {QStringLiteral("SETKA"), QStringLiteral("обрисовка таблицы")},
    {QStringLiteral("DEFAUL"), QStringLiteral("шаблон по умолчанию")}};
const QList<engine::ShownRow::Column> kVarColumns = {
    {QStringLiteral("ENABLED"), QStringLiteral("активна")},
    {QStringLiteral("OPIS"), QStringLiteral("описание")},
    {QStringLiteral("X_START"), QStringLiteral("начало поля")},
    {QStringLiteral("X_END"), QStringLiteral("конец поля")},
    {QStringLiteral("SETKA"), QStringLiteral("подчёркивание")},
    {QStringLiteral("WRAPP"), QStringLiteral("перенос по словам")},
    {QStringLiteral("MERGEE"), QStringLiteral("объединение ячеек")},
    {QStringLiteral("HORIZONTAL_ALIGNMENT"), QStringLiteral("выравнивание")},
    {QStringLiteral("MY_HORIZONTAL_ALIGNMENT"), QStringLiteral("своё выравнивание")},
    {QStringLiteral("TEXT_AFTER_VALUE"), QStringLiteral("текст после значения")},
    {QStringLiteral("TEXT_BEFORE_VALUE"), QStringLiteral("текст перед значением")},
    {QStringLiteral("TEXT_STATIC"), QStringLiteral("текст статической переменной")},
    {QStringLiteral("MY_FONT"), QStringLiteral("свой шрифт")},
    {QStringLiteral("FONT_NAME"), QStringLiteral("шрифт")},
    {QStringLiteral("FONT_SIZE"), QStringLiteral("шрифт")},
    {QStringLiteral("FONT_BOLD"), QStringLiteral("шрифт")},
    {QStringLiteral("FONT_ITALIC"), QStringLiteral("шрифт")},
    {QStringLiteral("FONT_UNDERLINE"), QStringLiteral("шрифт")}};

// What a panel shows of the current row of its list; nothing without one.
engine::ShownRow shownRow(const db::Query* q, const QString& table, const QString& name,
                          const QList<engine::ShownRow::Column>& columns)
{
    if (!q->active() || q->isEmpty() || q->recNo() < 0)
        return {};
    return engine::ShownRow::of(*q, table, name, columns);
}

} // namespace

TForm_Print::TForm_Print(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Настройка шаблонов печати"));
    // No title-bar buttons: "Выход" is the way out.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    Timer_Open_Forms = new QTimer(this);
    Timer_Open_Forms->setSingleShot(true);
    Timer_Open_Forms->setInterval(350);
    Timer_Open_Var = new QTimer(this);
    Timer_Open_Var->setSingleShot(true);
    Timer_Open_Var->setInterval(400);
    connect(Timer_Open_Forms, &QTimer::timeout, this, [this] { Guard([this] { Timer_Open_FormsTimer(); }); });
    connect(Timer_Open_Var, &QTimer::timeout, this, [this] { Guard([this] { Timer_Open_VarTimer(); }); });

    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(2, 2, 2, 2);
    auto* grids = new QHBoxLayout;
    GridSpis = new db::DbGrid(this);
    GridForms = new db::DbGrid(this);
    GridVar = new db::DbGrid(this);
    for (db::DbGrid* g : {GridSpis, GridForms, GridVar}) {
        g->setMinimumHeight(170);
        g->horizontalHeader()->setStretchLastSection(true);
        grids->addWidget(g, 1);
    }
    lay->addLayout(grids, 1);

    auto* panels = new QHBoxLayout;
    panels->setSpacing(4);
    GroupBox1 = new QGroupBox(QStringLiteral("Общие параметры шаблона"), this);
    GroupBox2 = new QGroupBox(QStringLiteral("Параметры переменных шаблона"), this);
    buildTemplatePanel();
    buildVariablePanel();
    panels->addWidget(GroupBox1, 0);
    panels->addWidget(GroupBox2, 1);
    lay->addLayout(panels);
    buildButtons();
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {Btn_ExpImp, BtnNewSab, BtnSave, BtnCancel, BtnDelete, Btn_Constructor, Btn_Add_V, Btn_Add_F,
                           Btn_Prt_Value})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(BtnExit);
    lay->addLayout(buttons);

    // Enter or a double click in a list reloads the next one at once.
    GridSpis->installEventFilter(this);
    GridForms->installEventFilter(this);
    GridSpis->viewport()->installEventFilter(this);
    GridForms->viewport()->installEventFilter(this);
    makeLists();
    resize(1060, 760);
    ScaleWindow(this, false);
    // The buttons' room round their text, measured in the window's scaled font.
    for (QPushButton* b : {Btn_ExpImp, BtnNewSab, BtnSave, BtnCancel, BtnDelete, BtnExit}) {
        b->setMinimumWidth(0);
        b->setMinimumWidth(b->sizeHint().width() + 16);
    }
}

void TForm_Print::buildTemplatePanel()
{
    auto* g = new QGridLayout(GroupBox1);
    g->setContentsMargins(4, 4, 4, 4);
    g->setHorizontalSpacing(4);
    E_Name = new QLineEdit(GroupBox1);
    E_Name->setMaxLength(100);
    E_Name->setMinimumWidth(260);
    BitBtn1 = new QPushButton(GroupBox1);
    BitBtn1->setIcon(style()->standardIcon(QStyle::SP_MessageBoxQuestion));
    BitBtn1->setToolTip(QStringLiteral("Правила настройки шаблонов"));
    BitBtn1->setAccessibleName(QStringLiteral("Правила настройки шаблонов"));
    E_XY_Head = new QLineEdit(GroupBox1);
    E_XY_Tail = new QLineEdit(GroupBox1);
    E_Start_Bord = new QLineEdit(GroupBox1);
    E_End_Bord = new QLineEdit(GroupBox1);
    E_Zoom = new QLineEdit(GroupBox1);
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(E_Name, 1);
    nameRow->addWidget(BitBtn1);
    g->addWidget(caption(QStringLiteral("Наименование шаблона"), GroupBox1), 0, 0, 1, 2);
    g->addLayout(nameRow, 1, 0, 1, 2);
    g->addWidget(caption(QStringLiteral("Правая нижняя граница \nшапки документа"), GroupBox1), 2, 0);
    g->addWidget(cellField(this, E_XY_Head, 5, 4, 2, 3, GroupBox1), 2, 1);
    g->addWidget(caption(QStringLiteral("Правая нижняя граница \nокончания документа"), GroupBox1), 3, 0);
    g->addWidget(cellField(this, E_XY_Tail, 6, 7, 9, 8, GroupBox1), 3, 1);
    g->addWidget(caption(QStringLiteral("Начало \nсетки"), GroupBox1), 4, 0);
    g->addWidget(cellField(this, E_Start_Bord, 11, 10, 0, 0, GroupBox1), 4, 1);
    g->addWidget(caption(QStringLiteral("Окончание \nсетки"), GroupBox1), 5, 0);
    g->addWidget(cellField(this, E_End_Bord, 13, 12, 0, 0, GroupBox1), 5, 1);

    // The zoom steps by one between 9 and 401.
    auto* zoom = new QWidget(GroupBox1);
    auto* zr = new QHBoxLayout(zoom);
    zr->setContentsMargins(0, 0, 0, 0);
    zr->setSpacing(2);
    E_Zoom->setReadOnly(true);
    E_Zoom->setFixedWidth(64);
    E_Zoom->setAlignment(Qt::AlignCenter);
    SpeedButton[18] = new QToolButton(zoom);
    SpeedButton[18]->setArrowType(Qt::UpArrow);
    SpeedButton[19] = new QToolButton(zoom);
    SpeedButton[19]->setArrowType(Qt::DownArrow);
    for (int n : {18, 19}) {
        SpeedButton[n]->setObjectName(QStringLiteral("SpeedButton%1").arg(n));
        SpeedButton[n]->setAutoRepeat(true);
    }
    connect(SpeedButton[18], &QToolButton::clicked, this, [this] { Guard([this] { StepZoom(1); }); });
    connect(SpeedButton[19], &QToolButton::clicked, this, [this] { Guard([this] { StepZoom(-1); }); });
    zr->addWidget(E_Zoom);
    zr->addWidget(SpeedButton[18]);
    zr->addWidget(SpeedButton[19]);
    zr->addStretch();
    g->addWidget(caption(QStringLiteral("Масштаб в %"), GroupBox1), 6, 0);
    g->addWidget(zoom, 6, 1);

    RG_Setka = new TRadioGroup(QStringLiteral("Обрисовка таблицы"),
                               {QStringLiteral("Сетка"), QStringLiteral("Линии"), QStringLiteral("Нет")}, GroupBox1);
    RG_Setka->setColumns(3);
    g->addWidget(RG_Setka, 7, 0, 1, 2);
    DefaultForm = new QCheckBox(QStringLiteral("Этот шаблон используется по умолчанию"), GroupBox1);
    g->addWidget(DefaultForm, 8, 0, 1, 2);
    SpeedButton1 = new QPushButton(QStringLiteral("Загрузить в базу Excel шаблон"), GroupBox1);
    SpeedButton1->setToolTip(QStringLiteral("Загрузить Excel шаблон в базу данных"));
    BitBtn5 = new QPushButton(QStringLiteral("Выгрузить для редактирования"), GroupBox1);
    BitBtn5->setToolTip(QStringLiteral("Выгрузить Excel шаблон на диск для редактирования"));
    g->addWidget(SpeedButton1, 9, 0, 1, 2);
    g->addWidget(BitBtn5, 10, 0, 1, 2);
    L_Show_Edit = new QLabel(QStringLiteral("Внесены измененения в шаблон"), GroupBox1);
    QPalette red = L_Show_Edit->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    L_Show_Edit->setPalette(red);
    // The label keeps its room while hidden, so the panel does not jump.
    QSizePolicy keep = L_Show_Edit->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    L_Show_Edit->setSizePolicy(keep);
    L_Show_Edit->hide();
    g->addWidget(L_Show_Edit, 11, 0, 1, 2);
    g->setRowStretch(12, 1);

    connect(E_Name, &QLineEdit::textEdited, this, [this] { SE(); });
    connect(RG_Setka, &TRadioGroup::clicked, this, [this] { SE(); });
    connect(DefaultForm, &QCheckBox::clicked, this, [this] { SE(); });
    connect(SpeedButton1, &QPushButton::clicked, this, [this] { Guard([this] { SpeedButton1Click(); }); });
    connect(BitBtn5, &QPushButton::clicked, this, [this] { Guard([this] { BitBtn5Click(); }); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { Guard([this] { BitBtn1Click(); }); });
}

void TForm_Print::buildVariablePanel()
{
    auto* g = new QGridLayout(GroupBox2);
    g->setContentsMargins(4, 4, 4, 4);
    g->setHorizontalSpacing(4);
    L_Name_Var = new QLabel(GroupBox2);
    L_Location = new QLabel(GroupBox2);
    L_Static = new QLabel(GroupBox2);
    QFont bold = L_Name_Var->font();
    bold.setBold(true);
    // A long variable name wraps under its caption instead of widening the window past the screen.
    for (QLabel* l : {L_Name_Var, L_Location, L_Static}) {
        l->setFont(bold);
        l->setWordWrap(true);
    }
    Enabled_Var = new QCheckBox(QStringLiteral("Активна/Неактивна"), GroupBox2);
    CB_LineOnOff = new QCheckBox(QStringLiteral("Подчеркнуть или нет"), GroupBox2);
    Memo1 = new QPlainTextEdit(GroupBox2);
    Memo1->setReadOnly(true);
    Memo1->setMinimumHeight(70);
    E_Start_Field = new QLineEdit(GroupBox2);
    E_End_Field = new QLineEdit(GroupBox2);
    Merge_Field = new QCheckBox(QStringLiteral("Объединить ячейки"), GroupBox2);
    Wrap_Text = new QCheckBox(QStringLiteral("Перенос по словам"), GroupBox2);
    E_Text_Static = new QLineEdit(GroupBox2);
    E_Text_Before = new QLineEdit(GroupBox2);
    E_Text_After = new QLineEdit(GroupBox2);
    for (QLineEdit* e : {E_Text_Static, E_Text_Before, E_Text_After})
        e->setMaxLength(50);
    My_Font = new QCheckBox(QStringLiteral("Свой шрифт"), GroupBox2);
    BtnFont1 = new QPushButton(QStringLiteral("Выбор шрифта переменной"), GroupBox2);
    L_Sample1 = new QLabel(QStringLiteral("Пример!  Sample!"), GroupBox2);
    L_Sample1->setMinimumHeight(28);
    // The sample shows what room is left: a variable's large font never widens the window past the screen.
    L_Sample1->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    My_Align = new QCheckBox(QStringLiteral("Своё выравнивание"), GroupBox2);
    RG_Alignment = new TRadioGroup(QStringLiteral("Выравнивание"),
                                   {QStringLiteral("Лево"), QStringLiteral("Центр"), QStringLiteral("Право")}, GroupBox2);
    RG_Alignment->setColumns(3);

    auto* top = new QGridLayout;
    top->setHorizontalSpacing(12);  // the three captions stand apart on a narrow panel
    top->addWidget(caption(QStringLiteral("Наименование переменной"), GroupBox2), 0, 0);
    top->addWidget(L_Name_Var, 1, 0);
    top->addWidget(caption(QStringLiteral("Где  используется"), GroupBox2), 0, 1);
    top->addWidget(L_Location, 1, 1);
    top->addWidget(caption(QStringLiteral("Тип переменной"), GroupBox2), 0, 2);
    top->addWidget(L_Static, 1, 2);
    g->addLayout(top, 0, 0, 1, 4);
    g->addWidget(Enabled_Var, 1, 0, 1, 2);
    g->addWidget(CB_LineOnOff, 1, 2, 1, 2);
    g->addWidget(caption(QStringLiteral("Описание переменной и правил её использования"), GroupBox2), 2, 0, 1, 4);
    g->addWidget(Memo1, 3, 0, 1, 4);
    g->addWidget(caption(QStringLiteral("Начало \nполя"), GroupBox2), 4, 0);
    g->addWidget(cellField(this, E_Start_Field, 14, 15, 22, 21, GroupBox2), 4, 1);
    g->addWidget(caption(QStringLiteral("Конец\nполя"), GroupBox2), 4, 2);
    g->addWidget(cellField(this, E_End_Field, 16, 17, 23, 24, GroupBox2), 4, 3);
    g->addWidget(Merge_Field, 5, 0, 1, 2);
    g->addWidget(Wrap_Text, 5, 2, 1, 2);
    g->addWidget(caption(QStringLiteral("Текст - значение\nстатической переменной"), GroupBox2), 6, 0);
    g->addWidget(E_Text_Static, 6, 1, 1, 3);
    g->addWidget(caption(QStringLiteral("Текст выводимый перед\nзначением переменной"), GroupBox2), 7, 0);
    g->addWidget(E_Text_Before, 7, 1, 1, 3);
    g->addWidget(caption(QStringLiteral("Текст выводимый после\nзначения переменной"), GroupBox2), 8, 0);
    g->addWidget(E_Text_After, 8, 1, 1, 3);
    g->addWidget(My_Font, 9, 0);
    g->addWidget(BtnFont1, 9, 1, 1, 2);  // over the narrow column of "Конец поля": the panel fits a narrow screen
    g->addWidget(L_Sample1, 9, 3);
    g->addWidget(My_Align, 10, 0);
    g->addWidget(RG_Alignment, 10, 1, 1, 3);
    g->setColumnStretch(3, 1);

    for (QLineEdit* e : {E_Text_Static, E_Text_Before, E_Text_After})
        connect(e, &QLineEdit::textEdited, this, [this] { SE(); });
    for (QCheckBox* c : {Enabled_Var, CB_LineOnOff, Wrap_Text})
        connect(c, &QCheckBox::clicked, this, [this] { SE(); });
    connect(Enabled_Var, &QCheckBox::clicked, this, [this] { colourEnabledVar(); });
    connect(Merge_Field, &QCheckBox::clicked, this, [this] {
        SE();
        Merge_FieldClick();
    });
    connect(My_Font, &QCheckBox::clicked, this, [this] {
        SE();
        BtnFont1->setEnabled(My_Font->isChecked());
    });
    connect(My_Align, &QCheckBox::clicked, this, [this] {
        SE();
        RG_Alignment->setEnabled(My_Align->isChecked());
    });
    connect(RG_Alignment, &TRadioGroup::clicked, this, [this] { SE(); });
    connect(BtnFont1, &QPushButton::clicked, this, [this] { Guard([this] { BtnFont1Click(); }); });
    // The description is typed only while the memo is editable (developer mode).
    connect(Memo1, &QPlainTextEdit::textChanged, this, [this] {
        if (!Memo1->isReadOnly())
            SE();
    });

    // Developer mode: double clicks on the panels.
    for (QWidget* w : std::initializer_list<QWidget*>{E_Name, E_XY_Head, E_XY_Tail, E_Start_Bord, E_End_Bord})
        w->installEventFilter(this);
    for (QWidget* w : std::initializer_list<QWidget*>{L_Name_Var, L_Location, L_Static, L_Sample1, E_Start_Field,
                                                      E_End_Field, E_Text_Static, E_Text_Before, E_Text_After, E_Zoom})
        w->installEventFilter(this);
    Memo1->viewport()->installEventFilter(this);
}

void TForm_Print::buildButtons()
{
    Btn_ExpImp = new QPushButton(QStringLiteral("Экспорт/Импорт"), this);
    Btn_ExpImp->setToolTip(QStringLiteral("Экспорт и импорт шаблонов печати"));
    BtnNewSab = new QPushButton(QStringLiteral("Копия шаблона"), this);
    BtnSave = new QPushButton(QStringLiteral("Сохранить"), this);
    BtnCancel = new QPushButton(QStringLiteral("Отмена"), this);
    BtnCancel->setEnabled(false);
    BtnDelete = new QPushButton(QStringLiteral("Удалить"), this);
    BtnExit = new QPushButton(QStringLiteral("Выход"), this);
    // The developer mode's buttons: hidden and disabled as delivered.
    Btn_Constructor = new QPushButton(QStringLiteral("Секретная кнопка"), this);
    Btn_Add_V = new QPushButton(QStringLiteral("Добавить переменную"), this);
    Btn_Add_F = new QPushButton(QStringLiteral("Добавить форму"), this);
    Btn_Prt_Value = new QPushButton(QStringLiteral("Печать"), this);
    for (QPushButton* b : {Btn_Constructor, Btn_Add_V, Btn_Add_F, Btn_Prt_Value}) {
        b->hide();
        b->setEnabled(false);
    }
    BtnExit->setDefault(false);
    BtnExit->setAutoDefault(false);

    const struct {
        QPushButton* b;
        void (TForm_Print::*h)();
    } handlers[] = {{Btn_ExpImp, &TForm_Print::Btn_ExpImpClick},   {BtnNewSab, &TForm_Print::BtnNewSabClick},
                    {BtnSave, &TForm_Print::BtnSaveClick},         {BtnCancel, &TForm_Print::BtnCancelClick},
                    {BtnDelete, &TForm_Print::BtnDeleteClick},     {BtnExit, &TForm_Print::BtnExitClick},
                    {Btn_Constructor, &TForm_Print::Btn_ConstructorClick}, {Btn_Add_V, &TForm_Print::Btn_Add_VClick},
                    {Btn_Add_F, &TForm_Print::Btn_Add_FClick},     {Btn_Prt_Value, &TForm_Print::Btn_Prt_ValueClick}};
    for (const auto& h : handlers) {
        auto handler = h.h;
        h.b->setAutoDefault(false);
        connect(h.b, &QPushButton::clicked, this, [this, handler] { Guard([this, handler] { (this->*handler)(); }); });
    }
}

bool TForm_Print::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched == GridSpis->viewport()) {
            Guard([this] { Timer_Open_FormsTimer(); });
            return true;
        }
        if (watched == GridForms->viewport()) {
            Guard([this] { Timer_Open_VarTimer(); });
            return true;
        }
        if (watched == E_Name || watched == E_XY_Head || watched == E_XY_Tail || watched == E_Start_Bord ||
            watched == E_End_Bord) {
            Guard([this] { E_NameDblClick(); });
            return ConstructorMode;
        }
        if (watched != GridSpis && watched != GridForms) {
            Guard([this] { L_Name_VarDblClick(); });
            return ConstructorMode;
        }
    }
    if (event->type() == QEvent::KeyPress && (watched == GridSpis || watched == GridForms)) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Guard([this, watched] {
                if (watched == GridSpis)
                    Timer_Open_FormsTimer();
                else
                    Timer_Open_VarTimer();
            });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TForm_Print::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        Guard([this] { FormShow(); });
}

void TForm_Print::reject() { BtnExitClick(); }

// ---- state ----

void TForm_Print::SE()
{
    if (loading_)
        return;
    Modified = true;
    L_Show_Edit->show();
    BtnSave->setEnabled(true);
    BtnCancel->setEnabled(true);
}

void TForm_Print::MarkUnmodified()
{
    Modified = false;
    L_Show_Edit->hide();
    BtnSave->setEnabled(false);
    BtnCancel->setEnabled(false);
}

void TForm_Print::DisableShablon()
{
    GroupBox1->setEnabled(false);
    GroupBox2->setEnabled(false);
    BtnSave->setEnabled(false);
    BtnCancel->setEnabled(false);
}

int TForm_Print::ListNo() const { return QPrintSpis ? intOf(QPrintSpis, "KOD_SPISOK") : 0; }

qint64 TForm_Print::FormKod() const
{
    const db::Query* q = QPrintForms;
    if (!q || !q->active() || q->isEmpty() || q->recNo() < 0)
        return 0;
    return q->field(QStringLiteral("KOD")).asInt64();
}

qint64 TForm_Print::VarKod() const
{
    const db::Query* q = QPrintVar;
    if (!q || !q->active() || q->isEmpty() || q->recNo() < 0)
        return 0;
    return q->field(QStringLiteral("KOD")).asInt64();
}

QString TForm_Print::listName() const { return textOf(QPrintSpis, "NAME_SPISOK"); }
QString TForm_Print::formName() const { return textOf(QPrintForms, "NAME_SHABLON"); }

void TForm_Print::colourEnabledVar()
{
    QPalette p = Enabled_Var->palette();
    const QColor c = Enabled_Var->isChecked() ? QColor(Qt::red) : QColor(Qt::black);
    p.setColor(QPalette::WindowText, c);
    p.setColor(QPalette::ButtonText, c);
    p.setColor(QPalette::Text, c);
    Enabled_Var->setPalette(p);
}

void TForm_Print::Zap_Forma()
{
    const db::Query* q = QPrintForms;
    loading_ = true;
    E_Name->setText(textOf(q, "NAME_SHABLON"));
    E_XY_Head->setText(orDefault(textOf(q, "HEAD_YX"), QStringLiteral("A1")));
    E_XY_Tail->setText(orDefault(textOf(q, "TAIL_YX"), QStringLiteral("A1")));
    E_Start_Bord->setText(orDefault(textOf(q, "START_LINE"), QStringLiteral("A")));
    E_End_Bord->setText(orDefault(textOf(q, "END_LINE"), QStringLiteral("A")));
    E_Zoom->setText(orDefault(textOf(q, "ZOOM"), QStringLiteral("100")));
    RG_Setka->setItemIndex(intOf(q, "SETKA"));
    DefaultForm->setChecked(intOf(q, "DEFAUL") != 0);
    ShownForm = shownRow(q, QStringLiteral("PRINT_FORMS"), textOf(q, "NAME_SHABLON"), kFormColumns);
    loading_ = false;
    MarkUnmodified();
}

void TForm_Print::Zap_Var()
{
    const db::Query* q = QPrintVar;
    static const QStringList locations{QStringLiteral("Строка таблицы"), QStringLiteral("Группа / раздел"),
                                       QStringLiteral("Итоги таблицы"), QStringLiteral("Шапка документа"),
                                       QStringLiteral("Окончание документа")};
    loading_ = true;
    const bool any = q->active() && !q->isEmpty() && q->recNo() >= 0;
    const int location = intOf(q, "LOCATION");
    L_Name_Var->setText(textOf(q, "NAME"));
    L_Location->setText(any && location >= 0 && location < locations.size() ? locations[location] : QString());
    Enabled_Var->setChecked(intOf(q, "ENABLED") == 1);
    CB_LineOnOff->setChecked(intOf(q, "SETKA") == 1);
    CB_LineOnOff->setEnabled(location == 1);
    Memo1->setPlainText(textOf(q, "OPIS"));
    L_Static->setText(!any ? QString()
                           : intOf(q, "STATIC_TYPE") == 0 ? QStringLiteral("ДИНАМИЧЕСКАЯ") : QStringLiteral("СТАТИЧЕСКАЯ"));
    E_Start_Field->setText(orDefault(textOf(q, "X_START"), QStringLiteral("A1")));
    E_End_Field->setText(orDefault(textOf(q, "X_END"), QStringLiteral("A1")));
    Merge_Field->setChecked(intOf(q, "MERGEE") == 1);
    Wrap_Text->setChecked(intOf(q, "WRAPP") == 1);
    E_Text_Static->setText(textOf(q, "TEXT_STATIC"));
    E_Text_Before->setText(textOf(q, "TEXT_BEFORE_VALUE"));
    E_Text_After->setText(textOf(q, "TEXT_AFTER_VALUE"));
    My_Font->setChecked(intOf(q, "MY_FONT") == 1);
    BtnFont1->setEnabled(My_Font->isChecked());
    QFont f = font();
    const QString fontName = textOf(q, "FONT_NAME").trimmed();
    if (!fontName.isEmpty())
        f.setFamily(fontName);
    const int size = intOf(q, "FONT_SIZE");
    if (size > 0)
        f.setPointSize(size);
    f.setBold(intOf(q, "FONT_BOLD") == 1);
    f.setItalic(intOf(q, "FONT_ITALIC") == 1);
    f.setUnderline(intOf(q, "FONT_UNDERLINE") == 1);
    L_Sample1->setFont(f);
    My_Align->setChecked(intOf(q, "MY_HORIZONTAL_ALIGNMENT") == 1);
    const int align = intOf(q, "HORIZONTAL_ALIGNMENT") - 2;
    RG_Alignment->setItemIndex(align >= 0 && align <= 2 ? align : 0);
    RG_Alignment->setEnabled(My_Align->isChecked());
    Merge_FieldClick();
    colourEnabledVar();
    ShownVar = shownRow(q, QStringLiteral("PRINT_VARIABLES"), textOf(q, "NAME"), kVarColumns);
    loading_ = false;
    MarkUnmodified();
}

void TForm_Print::Merge_FieldClick()
{
    for (int n : {16, 17, 23, 24})
        SpeedButton[n]->setEnabled(Merge_Field->isChecked());
}

void TForm_Print::StepField(QLineEdit* field, int mode)
{
    SE();
    field->setText(templates::StepCellRef(field->text(), mode));
    if (field == E_Start_Field && !Merge_Field->isChecked())
        E_End_Field->setText(E_Start_Field->text());
}

void TForm_Print::StepZoom(int delta)
{
    SE();
    int zoom = E_Zoom->text().toInt();
    if (delta > 0 && zoom < 401)
        ++zoom;
    else if (delta < 0 && zoom > 9)
        --zoom;
    E_Zoom->setText(QString::number(zoom));
}

void TForm_Print::BtnFont1Click()
{
    const std::optional<QFont> f = pickFont(this, L_Sample1->font());
    if (!f)
        return;
    L_Sample1->setFont(*f);
    SE();
}

// ---- lists ----

void TForm_Print::openTemplates(const QString& order)
{
    Form_Base->OpenRead(QPrintForms, QStringList{QStringLiteral("select *  from PRINT_FORMS"),
                                                            QStringLiteral("where KOD_SPISKA = %1").arg(ListNo()),
                                                            QStringLiteral("order by ") + order}
                                                    .join(QLatin1Char('\n')));
}

void TForm_Print::openVariables(const QString& order)
{
    Form_Base->OpenRead(QPrintVar, QStringList{QStringLiteral("select *  from PRINT_VARIABLES"),
                                                          QStringLiteral("where KOD_FORMA = %1").arg(FormKod()),
                                                          QStringLiteral("order by ") + order}
                                                  .join(QLatin1Char('\n')));
}

void TForm_Print::FormShow()
{
    if (!Form_Base || !Form_Base->MyDB || !Form_Base->MyDB->connected() || !QPrintSpis)
        return;
    QPrintVar->close();
    QPrintForms->close();
    QPrintSpis->close();
    BtnSave->setEnabled(false);
    Timer_Open_Forms->stop();
    Timer_Open_Var->stop();
    Form_Base->OpenRead(QPrintSpis, QStringLiteral("select * from PRINT_SPISOK order by KOD"));
    QPrintSpis->first();
    Timer_Open_Forms->stop();
    openTemplates(QStringLiteral("NAME_SHABLON"));
    QPrintForms->first();
    Timer_Open_Var->stop();
    openVariables(QStringLiteral("KOD"));
    QPrintVar->first();
    if (QPrintForms->isEmpty() || QPrintVar->isEmpty())
        DisableShablon();
    if (QPrintForms->isEmpty())
        Zap_Forma();
    if (QPrintVar->isEmpty())
        Zap_Var();
    GridForms->release();
    GridVar->release();
}

void TForm_Print::Timer_Open_FormsTimer()
{
    Timer_Open_Forms->stop();
    Timer_Open_Var->stop();
    QPrintVar->close();
    QPrintForms->close();
    openTemplates(QStringLiteral("KOD"));
    QPrintForms->first();
    if (QPrintForms->isEmpty()) {
        Zap_Forma();
        DisableShablon();
    }
    GridForms->release();
    Timer_Open_VarTimer();
}

void TForm_Print::Timer_Open_VarTimer()
{
    Timer_Open_Var->stop();
    QPrintVar->close();
    openVariables(QStringLiteral("MY_SORT, KOD"));
    QPrintVar->first();
    if (QPrintVar->isEmpty()) {
        Zap_Var();
        DisableShablon();
    }
    GridVar->release();
}

void TForm_Print::showCurrentTemplate()
{
    MarkUnmodified();
    QPrintFormsAfterScroll();
    if (QPrintForms->isEmpty()) {
        Zap_Forma();
        DisableShablon();
    }
    Timer_Open_Var->stop();
    Timer_Open_VarTimer();
}

void TForm_Print::BtnCancelClick()
{
    Zap_Forma();
    Zap_Var();
    MarkUnmodified();
    colourEnabledVar();
}

void TForm_Print::BtnExitClick()
{
    if (Modified && Msg::confirm(QStringLiteral("Данные шаблона были изменены, сохранить изменения?"),
                                 QStringLiteral("Изменения шаблона")))
        Guard([this] { BtnSaveClick(); });
    MarkUnmodified();
    Timer_Open_Forms->stop();
    Timer_Open_Var->stop();
    QDialog::reject();
}

void TForm_Print::BitBtn1Click()
{
    if (Form_PrintHelp)
        Msg::execModal(Form_PrintHelp);
}

// ---- the rules window ----

TForm_PrintHelp::TForm_PrintHelp(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Правила настройки шаблонов"));
    auto* lay = new QVBoxLayout(this);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setReadOnly(true);
    Memo1->setPlainText(QStringLiteral(
        "Прежде чем создавать свои шаблоны, изучите шаблоны, поставляемые вместе с программой.\n\n"
        "Свой шаблон начинается с копии существующего: кнопка \"Копия шаблона\". Шаблон рисуется в программе "
        "электронных таблиц (или правится после кнопки \"Выгрузить для редактирования\") и состоит из трёх частей: "
        "шапки, тела (таблицы) и окончания документа. Рисуются только шапка и, сразу под её нижней границей, "
        "окончание: таблицу программа вставляет между ними сама и сдвигает окончание вниз.\n\n"
        "Готовый файл загружается в базу кнопкой \"Загрузить в базу Excel шаблон\". Затем указываются правые нижние "
        "ячейки шапки и окончания, границы \"Начало сетки\" и \"Окончание сетки\", ограничивающие таблицу по "
        "горизонтали, когда выбрана обрисовка \"Линии\" или \"Сетка\", и отметка \"Этот шаблон используется по "
        "умолчанию\", по которой отчёты берут этот шаблон.\n\n"
        "Значения переменных составляют таблицу и остальные части документа. Переменные различаются местом: шапка "
        "документа, строка таблицы, строка раздела или группы, строка итогов, окончание документа. Для переменной "
        "можно задать свой шрифт и своё выравнивание, но в строках таблицы это замедляет печать: лучше оставить их "
        "для разделов, итогов, шапки и окончания. Переменные разделов и групп можно подчёркивать независимо от общей "
        "обрисовки таблицы. Переменная не попадает в документ, когда отметка \"Активна/Неактивна\" снята.\n\n"
        "Шаблоны с названием \"Образец\" защищены от изменений."));
    Memo1->setMinimumSize(520, 380);
    lay->addWidget(Memo1);
    adjustSize();
    ScaleWindow(this, false);
}
