#include "Unit_IngSklad.h"

#include "CatalogueUi.h"
#include "IngSkladDialog.h"
#include "Unit_Compute.h"
#include "db/Codec.h"
#include "engine/WriteRoad.h"
#include "grid/DatasetModel.h"
#include "db/Query.h"
#include "ui/RadioGroup.h"
#include "ui/Scaling.h"
#include "util/Globals.h"
#include "util/Messages.h"
#include "util/Settings.h"
#include "util/SettingsStore.h"
#include "util/Unit_Util.h"

#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

FirstUse<TForm_IngSklad> Form_IngSklad;

namespace {

const QString kCaption = QStringLiteral("Индивидуальные параметры продукта");
const QString kArea = QStringLiteral("Продукты и блюда");

// A price shows the decimals it has, up to six, as in the lists: what is shown
// is what the save stores, so a stock price of 3,333333 is never cut to 3,33.
QString price(double v) { return db::formatNumber(v, db::kPriceDisplay); }

bool isSeparator(QChar c) { return c == QLatin1Char(',') || c == QLatin1Char('.'); }

// Digits with at most one decimal separator (and at least one digit).
bool isNumberText(const QString& s)
{
    int separators = 0;
    int digits = 0;
    for (QChar c : s) {
        if (c.unicode() >= '0' && c.unicode() <= '9')
            ++digits;
        else if (isSeparator(c))
            ++separators;
        else
            return false;
    }
    return digits > 0 && separators <= 1;
}

// Digits only, small enough for an integer column.
bool isIntegerText(const QString& s)
{
    if (s.isEmpty() || !cat::AllDigits(s))
        return false;
    bool ok = false;
    const qlonglong v = s.toLongLong(&ok);
    return ok && v <= std::numeric_limits<int>::max();
}

double number(const QLineEdit* e) { return cat::ParseDecimal(e->text()); }

// Read-only edits are painted in the button-face colour.
void setWritable(QLineEdit* e, bool writable)
{
    e->setReadOnly(!writable);
    QPalette p = e->palette();
    p.setColor(QPalette::Base, writable ? QPalette().color(QPalette::Base) : QPalette().color(QPalette::Button));
    e->setPalette(p);
}

// The characters of a text that Windows-1251 cannot hold.
QString foreignChars(const QString& s)
{
    return db::unstorableCharacters(s);
}

QLabel* caption(const QString& text, QWidget* parent)
{
    auto* l = new QLabel(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")), parent);
    l->setAlignment(Qt::AlignCenter);
    return l;
}

} // namespace

TForm_IngSklad::TForm_IngSklad(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(kCaption);
    auto* top = new QVBoxLayout(this);
    Panel1 = cat::CaptionPanel(this);
    QFont bold = Panel1->font();
    bold.setBold(true);
    Panel1->setFont(bold);
    Panel1->setWordWrap(true);
    top->addWidget(Panel1);

    auto* columns = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    auto* prices = new QGridLayout;
    E_Cena = new QLineEdit(this);
    E_Cena_Raschot = new QLineEdit(this);
    E_CenaProd = new QLineEdit(this);
    E_Proc = new QLineEdit(this);
    L_Proc = new QLabel(this);
    L_Proc->setAlignment(Qt::AlignCenter);
    prices->addWidget(caption(QStringLiteral("Цена \r\nскладская"), this), 0, 0);
    prices->addWidget(caption(QStringLiteral("% надбавки"), this), 0, 1);
    prices->addWidget(caption(QStringLiteral("Расчётная\r\nцена продажи"), this), 0, 2);
    prices->addWidget(caption(QStringLiteral("Цена \r\nпродажи"), this), 0, 3);
    prices->addWidget(E_Cena, 1, 0);
    prices->addWidget(E_Proc, 1, 1);
    prices->addWidget(E_Cena_Raschot, 1, 2);
    prices->addWidget(E_CenaProd, 1, 3);
    prices->addWidget(L_Proc, 2, 3);
    for (QLineEdit* e : {E_Cena, E_Proc, E_Cena_Raschot, E_CenaProd}) {
        e->setMaxLength(15);
        e->setAlignment(Qt::AlignRight);
    }
    E_Proc->setMaxLength(9);
    setWritable(E_Cena_Raschot, false);
    left->addLayout(prices);
    R_Metod = new TRadioGroup(QStringLiteral("Метод расчёта цены продажи"),
                              {QStringLiteral("Автоматически использует % надбавки с округлением"),
                               QStringLiteral("Автоматически использует % надбавки без округления"),
                               QStringLiteral("Цена продажи устанавливается вручную")},
                              this);
    left->addWidget(R_Metod);
    auto* note = caption(QStringLiteral("Если расчёт с округлением, оно производится по правилам\r\nописанным в общих "
                                        "настройках программы."),
                         this);
    note->setAlignment(Qt::AlignLeft);
    left->addWidget(note);
    RG_All = new TRadioGroup(QStringLiteral("Установить ли цены в других подразделениях в соответствии с этой"),
                             {QStringLiteral("Нет, цена изменится только в этом подразделении"),
                              QStringLiteral("Изменить цену во всех подразделениях предприятия"),
                              QStringLiteral("Изменить цену во всех предприятиях")},
                             this);
    RG_All->setWrappedCaption(RG_All->title());  // the two long captions wrap: the window fits the screen
    left->addWidget(RG_All);
    left->addStretch();

    auto* right = new QVBoxLayout;
    RG_NoIng = new TRadioGroup(QStringLiteral("Каким методом списывать продукт при производстве или реализации"),
                               {QStringLiteral("Раскладывать на составляющие по правилам документа"),
                                QStringLiteral("Всегда списывать без разложения на составляющие")},
                               this);
    RG_NoIng->setWrappedCaption(RG_NoIng->title());
    right->addWidget(RG_NoIng);
    RG_OpenClose = new TRadioGroup(QStringLiteral("Видимость продукта в подразделении"),
                                   {QStringLiteral("Видимый"), QStringLiteral("Скрытый")}, this);
    RG_OpenClose->setColumns(2);
    right->addWidget(RG_OpenClose);
    auto* codes = new QGridLayout;
    E_Kassa = new QLineEdit(this);
    E_Kassa->setMaxLength(9);
    E_Skod = new QLineEdit(this);
    E_Skod->setMaxLength(50);
    CB_ShtrihKod = new QCheckBox(QStringLiteral("Изменять во всех подразделениях"), this);
    E_1S = new QLineEdit(this);
    E_1S->setMaxLength(50);
    CB_Kod1S = new QCheckBox(QStringLiteral("Изменять во всех подразделениях"), this);
    E_Limit = new QLineEdit(this);
    E_Limit->setMaxLength(15);
    int row = 0;
    codes->addWidget(new QLabel(QStringLiteral("Код для кассы (TorgService)"), this), row, 0);
    codes->addWidget(E_Kassa, row++, 1);
    codes->addWidget(new QLabel(QStringLiteral("Штрих-код :"), this), row, 0);
    codes->addWidget(E_Skod, row++, 1);
    codes->addWidget(CB_ShtrihKod, row++, 1);
    codes->addWidget(new QLabel(QStringLiteral("Код в 1С :"), this), row, 0);
    codes->addWidget(E_1S, row++, 1);
    codes->addWidget(CB_Kod1S, row++, 1);
    codes->addWidget(new QLabel(QStringLiteral("Мин. к-во на складе (лимит):"), this), row, 0);
    codes->addWidget(E_Limit, row++, 1);
    codes->setColumnStretch(1, 1);
    right->addLayout(codes);
    right->addStretch();
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);
    top->addLayout(columns, 1);

    Btn_Ok = new QPushButton(QStringLiteral("OK"), this);
    Btn_Exit = new QPushButton(QStringLiteral("Выход (отмена)"), this);
    top->addLayout(cat::ButtonRow(Btn_Ok, {Btn_Exit}));

    connect(R_Metod, &TRadioGroup::clicked, this, [this] {
        if (!loading_)
            Guard([this] { R_MetodClick(); });
    });
    connect(E_CenaProd, &QLineEdit::textEdited, this, [this] { E_CenaProdKeyUp(); });
    connect(CB_ShtrihKod, &QCheckBox::clicked, this, [this] { Guard([this] { CB_ShtrihKodClick(); }); });
    connect(CB_Kod1S, &QCheckBox::clicked, this, [this] { Guard([this] { CB_Kod1SClick(); }); });
    connect(Btn_Ok, &QPushButton::clicked, this, [this] { Guard([this] { Btn_OkClick(); }); });
    connect(Btn_Exit, &QPushButton::clicked, this, &QDialog::reject);
    for (QLineEdit* e : {E_Cena, E_Proc, E_CenaProd})
        e->installEventFilter(this);

    resize(std::max(880, sizeHint().width()), sizeHint().height());
    ScaleWindow(this, true, 700, 900);
}

TForm_IngSklad::~TForm_IngSklad()
{
    if (Form_IngSklad.made() == this)
        Form_IngSklad = nullptr;
}

void TForm_IngSklad::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        Guard([this] { FormShow(); });
}

bool TForm_IngSklad::eventFilter(QObject* watched, QEvent* event)
{
    // Leaving a price or the markup checks it, unless the dialog is being left
    // by its exit button or another window (a message) takes the focus.
    if (event->type() == QEvent::FocusOut && isVisible()) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        const bool moved = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                           reason == Qt::MouseFocusReason || reason == Qt::ShortcutFocusReason;
        if (moved && QApplication::focusWidget() != Btn_Exit) {
            if (watched == E_Cena)
                Guard([this] { E_CenaExit(); });
            else if (watched == E_Proc)
                Guard([this] { E_ProcExit(); });
            else if (watched == E_CenaProd)
                Guard([this] { E_CenaProdExit(); });
        }
    }
    // The selling price takes digits and one decimal separator.
    if (watched == E_CenaProd && event->type() == QEvent::KeyPress) {
        const QString t = static_cast<QKeyEvent*>(event)->text();
        if (t.size() == 1 && t[0].isPrint()) {
            const QChar c = t[0];
            if (c.unicode() >= '0' && c.unicode() <= '9')
                return false;
            if (isSeparator(c) && !E_CenaProd->isReadOnly()) {
                const QString selected = E_CenaProd->selectedText();
                const QString rest = QString(E_CenaProd->text()).remove(selected);
                if (!rest.contains(QLatin1Char(',')) && !rest.contains(QLatin1Char('.'))) {
                    E_CenaProd->insert(QStringLiteral(","));
                    E_CenaProdKeyUp();
                }
            }
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TForm_IngSklad::Preset_RG_All(int myLevel, int)
{
    RG_All->setItemIndex(0);
    RG_All->setEnabled(myLevel > 0);
}

void TForm_IngSklad::FormShow()
{
    Load_IngSklad();
    R_MetodClick();
    E_CenaProd->setFocus();
    OkPressed = 0;
}

void TForm_IngSklad::Load_IngSklad()
{
    const auto row = costing::ReadDepartmentRow(engine::ProgramContext(), RowKod);
    Row = row ? *row : costing::DepartmentRow{};
    loading_ = true;
    Panel1->setText(Row.name);
    E_Proc->setText(QString::number(Row.percent));
    E_Cena->setText(price(Row.cena));
    E_CenaProd->setText(price(Row.myCena));
    E_Skod->setText(Row.sKod);
    showMarkup(Row.myCena, Row.cena);
    R_Metod->setItemIndex(Row.metod);
    RG_NoIng->setItemIndex(Row.noIng);
    RG_OpenClose->setItemIndex(Row.openClose);
    E_Kassa->setText(QString::number(Row.kodKassa));
    E_1S->setText(Row.kod1S);
    E_Limit->setText(db::formatFloat(Row.limit));
    CB_ShtrihKod->setChecked(MyParams && MyParams->v.ShtrihKodAllOtdel);
    CB_Kod1S->setChecked(MyParams && MyParams->v.Kod1SAllOtdel);
    loading_ = false;
    Calc_Cena_IngSklad();
}

void TForm_IngSklad::showMarkup(double selling, double cost)
{
    const auto markup = costing::MarkupOverStock(selling, cost);
    L_Proc->setText(markup ? cat::FormatDecimal(*markup, 2) + QStringLiteral(" % от скл.") : QString());
}

void TForm_IngSklad::Calc_Cena_IngSklad()
{
    double cost = 0;
    if (composite()) {
        cost = costing::CompositeCost(engine::ProgramContext(), Row);
        E_Cena->setText(price(cost));
    } else {
        cost = costing::RowCost(Row.myLevel, number(E_Cena), Row.percentPlus);
    }
    const int metod = R_Metod->itemIndex();
    const costing::MethodPrices p = costing::PricesByMethod(engine::ProgramContext(), cost, E_Proc->text().toInt(), metod, Row.myCena);
    E_Cena_Raschot->setText(price(p.calculated));
    if (metod == 2 && Row.myCena == 0)
        E_CenaProd->setText(E_Cena_Raschot->text());
    else
        E_CenaProd->setText(price(p.selling));
    showMarkup(p.selling, cost);
}

void TForm_IngSklad::R_MetodClick()
{
    Calc_Cena_IngSklad();
    const bool byHand = R_Metod->itemIndex() == 2;
    setWritable(E_CenaProd, byHand);
    setWritable(E_Cena, byHand || !composite());
    RG_All->setItemIndex(0);
    RG_All->setEnabled(byHand || !composite());
}

bool TForm_IngSklad::E_CenaExit()
{
    if (E_Cena->text().isEmpty()) {
        cat::Refuse(QStringLiteral("Нет цены !"), E_Cena);
        return false;
    }
    if (!isNumberText(E_Cena->text())) {
        cat::Refuse(QStringLiteral("В поле цены должно стоять положительное число !"), E_Cena);
        return false;
    }
    Calc_Cena_IngSklad();
    return true;
}

bool TForm_IngSklad::E_ProcExit()
{
    if (E_Proc->text().isEmpty()) {
        cat::Refuse(QStringLiteral("Нет процента надбавки !"), E_Proc);
        return false;
    }
    if (!isIntegerText(E_Proc->text())) {
        cat::Refuse(QStringLiteral("В поле процента выхода должно стоять целое положительное число или ноль !"), E_Proc);
        return false;
    }
    Calc_Cena_IngSklad();
    return true;
}

bool TForm_IngSklad::E_CenaProdExit()
{
    if (E_CenaProd->text().isEmpty()) {
        cat::Refuse(QStringLiteral("Нет цены продажи !"), E_CenaProd);
        return false;
    }
    if (!isNumberText(E_CenaProd->text())) {
        cat::Refuse(QStringLiteral("В поле цены продажи должно стоять положительное число !"), E_CenaProd);
        return false;
    }
    return true;
}

void TForm_IngSklad::E_CenaProdKeyUp()
{
    const double cost = number(E_Cena);
    if (E_CenaProd->text().isEmpty() || cost == 0)
        L_Proc->clear();
    else
        showMarkup(number(E_CenaProd), cost);
}

namespace {

// A spread switch: ticking asks first (Cancel unticks it); the setting is stored with its protocol line.
void spreadSwitch(QCheckBox* box, const QString& key, const QString& what, const QString& on, const QString& off)
{
    if (!StartupDone)
        return;
    if (box->isChecked() &&
        !Msg::confirmDestructive(QStringLiteral("Внимание !!!, Если параметр включен, то при нажатии кнопки Ok, ") + what +
                                     QStringLiteral(" который Вы видите в этом окне будет записан данному продукту во всех "
                                                    "остальных подразделениях предприятия. В этом случае Вам нужно самостоятельно "
                                                    "следить за тем, чтоб в одном меню небыло одного и того же продукта из разных "
                                                    "подразделений."),
                                 QStringLiteral("ВНИМАНИЕ !!!")))
        box->setChecked(false);
    const bool checked = box->isChecked();
    SetPresenceSetting(key, checked, SettingLog{kArea, checked ? on : off});
}

} // namespace

void TForm_IngSklad::CB_ShtrihKodClick()
{
    spreadSwitch(CB_ShtrihKod, QStringLiteral("ShtrihKodAllOtdel"), QStringLiteral("ШтрихКод"),
                 QStringLiteral("Разрешено иметь единый ШтрихКод во всех подразделениях"),
                 QStringLiteral("Запрещено иметь единый ШтрихКод во всех подразделениях"));
}

void TForm_IngSklad::CB_Kod1SClick()
{
    spreadSwitch(CB_Kod1S, QStringLiteral("Kod1SAllOtdel"), QStringLiteral("Код 1С"),
                 QStringLiteral("Разрешено иметь единый код 1С во всех подразделениях"),
                 QStringLiteral("Запрещено иметь единый код 1С во всех подразделениях"));
}

bool TForm_IngSklad::checkFields()
{
    const auto refuse = [](const QString& text, QWidget* focus) {
        cat::Refuse(text, focus);
        return false;
    };
    if (E_Cena->text().isEmpty())
        return refuse(QStringLiteral("Нет Цены !"), E_Cena);
    if (E_CenaProd->text().isEmpty())
        return refuse(QStringLiteral("Нет цены продажи !"), E_CenaProd);
    if (E_Proc->text().isEmpty())
        return refuse(QStringLiteral("Нет процента надбавки !"), E_Proc);
    if (!isNumberText(E_Cena->text()))
        return refuse(QStringLiteral("В поле цены должно стоять положительное число !"), E_Cena);
    if (!isNumberText(E_CenaProd->text()))
        return refuse(QStringLiteral("В поле цены продажи должно стоять положительное число !"), E_CenaProd);
    if (!isIntegerText(E_Proc->text()))
        return refuse(QStringLiteral("В поле процента выхода должно стоять целое положительное число или ноль !"), E_Proc);
    if (!isIntegerText(E_Kassa->text()))
        return refuse(QStringLiteral("В поле кода кассы должно стоять целое положительное число или ноль !"), E_Kassa);
    const costing::Context ctx = engine::ProgramContext();
    const int kassa = E_Kassa->text().toInt();
    if (kassa > 0) {
        if (const auto holder = costing::KassaCodeHolder(ctx, kassa, Row.kod))
            return refuse(QStringLiteral("Такой код для кассы уже присвоен блюду < ") + *holder +
                              QStringLiteral(" >  Поставте блюду уникальный код для кассы или ноль!"),
                          E_Kassa);
    }
    if (!E_Limit->text().isEmpty() && !isNumberText(E_Limit->text()))
        return refuse(QStringLiteral("В поле минимального количества на складе должно стоять положительное число или ноль !"),
                      E_Limit);
    for (QLineEdit* e : {E_1S, E_Skod}) {
        const QString foreign = foreignChars(e->text());
        if (!foreign.isEmpty())
            return refuse(QStringLiteral("Код содержит символы, которые нельзя сохранить в базе данных: ") + foreign, e);
    }
    if (!E_1S->text().isEmpty()) {
        if (const auto holder = costing::CodeHolder(ctx, costing::CodeKind::Accounting, E_1S->text(), Row.kod, Row.kodIng,
                                                    CB_Kod1S->isChecked()))
            return refuse(QStringLiteral("Такой код для 1C уже присвоен блюду < ") + *holder +
                              QStringLiteral(" >  Поставте блюду уникальный код для 1C !"),
                          E_1S);
    }
    QString skod = E_Skod->text();
    while (skod.startsWith(QLatin1Char(' ')))
        skod.remove(0, 1);
    E_Skod->setText(skod);
    if (!skod.isEmpty()) {
        if (const auto holder = costing::CodeHolder(ctx, costing::CodeKind::Barcode, skod, Row.kod, Row.kodIng,
                                                    CB_ShtrihKod->isChecked()))
            return refuse(QStringLiteral("Такой Штрих-Код код присвоен блюду < ") + *holder +
                              QStringLiteral(" >  Поставте блюду уникальный Штрих/Код или удалите его!"),
                          E_Skod);
    }
    return true;
}

void TForm_IngSklad::Btn_OkClick()
{
    if (!checkFields())
        return;
    showAsSaved();
    OkPressed = 1;
    struct Clear {
        std::uint8_t& flag;
        ~Clear() { flag = 0; }
    } clear{OkPressed};
    Save_IngSklad();
    accept();
}

void TForm_IngSklad::showAsSaved()
{
    // OK may come straight from a field the user typed into (Enter, a key),
    // which no exit check has followed: the prices shown follow what is saved.
    if (!composite())
        E_Cena->setText(price(number(E_Cena)));
    const QString selling = price(number(E_CenaProd));
    Calc_Cena_IngSklad();
    if (R_Metod->itemIndex() == 2) {
        // A selling price by hand is the user's, never the one read on showing.
        E_CenaProd->setText(selling);
        E_CenaProdKeyUp();
    }
}

void TForm_IngSklad::Save_IngSklad()
{
    const int metod = R_Metod->itemIndex();
    const int where = RG_All->itemIndex();
    costing::DepartmentEdit e;
    e.kod = Row.kod;
    e.writeCena = !(composite() && metod == 2);
    // Prices are stored as they are shown.
    e.cena = cat::ParseDecimal(price(number(E_Cena)));
    e.myCena = cat::ParseDecimal(price(number(E_CenaProd)));
    e.percent = E_Proc->text().toInt();
    e.metod = metod;
    e.noIng = RG_NoIng->itemIndex();
    e.openClose = RG_OpenClose->itemIndex();
    e.kodKassa = E_Kassa->text().toInt();
    e.sKod = E_Skod->text();
    e.kod1S = E_1S->text();
    e.limit = number(E_Limit);  // an empty field stores 0

    // Asked before the write starts, so that no transaction waits on the user.
    const bool spreadHand =
        where > 0 && metod == 2 &&
        Msg::confirmDestructive(QStringLiteral("У продукта цена установлена вручную а так же выбрана опция замены цен в других "
                                               "подразделениях. Менять ли в них продажные цены, если они тоже ручные ?"),
                                QStringLiteral("Замена продажных цен"));

    WriteTransaction w(costing::kRoad);
    const costing::Context& ctx = w.context();
    // What another workstation saved or hid meanwhile is not written over.
    engine::ShownRow shown = Row.shown;
    if (!e.writeCena)
        shown.drop(QStringLiteral("CENA"));
    engine::ClaimShownRow(ctx, shown, QStringLiteral("ING_SKLAD"), Row.kod);
    costing::WriteDepartmentRow(ctx, e);
    QString notes;
    if (CB_ShtrihKod->isChecked()) {
        costing::SpreadCode(ctx, Row.kodIng, costing::CodeKind::Barcode, e.sKod);
        notes += QStringLiteral(" Этот продукт получил единый ШтрихКод ") + e.sKod;
    }
    if (CB_Kod1S->isChecked()) {
        costing::SpreadCode(ctx, Row.kodIng, costing::CodeKind::Accounting, e.kod1S);
        notes += QStringLiteral(" Этот продукт получил единый код 1С ") + e.kod1S;
    }
    if (where > 0) {
        costing::SpreadStockPrice(ctx, Row.kodIng, where, Row.kodFirma, e.cena);
        if (spreadHand)
            costing::SpreadHandPrice(ctx, Row.kodIng, where, Row.kodFirma, e.myCena);
    }
    // A raw product's new prices reach every card it is in, in every department.
    costing::RecomputeResult prices;
    if (costing::ProductLevel(ctx, Row.kodIng) == 0)
        prices = ComputePrices(false, 0, 0, Row.kodIng);
    // The line tells the prices as the row holds them now, the recomputation's included.
    costing::Context written = ctx;
    written.read = ctx.write;
    const auto saved = costing::ReadDepartmentRow(written, Row.kod);
    w.commit(kArea, costing::PriceChangeLogText(Row.name, price(saved ? saved->cena : e.cena), QString::number(e.percent),
                                                E_Cena_Raschot->text(), price(saved ? saved->myCena : e.myCena), metod,
                                                notes));
    // Its warnings wait for the commit: nobody else waits while the user reads them.
    ShowPriceWarnings(prices);
    if (where > 0)
        Msg::notice(QStringLiteral("Производилась замена цен в нескольких подразделениях. После завершения замен всех "
                                   "цен, незабудте сделать перерасчёт (кнопка \"Расчёт цен\")"));
}

// ---- the entry of the other windows ----

namespace ingsklad {

Outcome EditDepartmentRow(qint64 rowKod)
{
    Outcome out;
    // The right that guards prices on the stock tab guards them wherever the dialog is opened.
    if (!CheckRight(Right::PriceProps))
        return out;
    const auto row = costing::ReadDepartmentRow(engine::ProgramContext(), rowKod);
    if (!row || !Form_IngSklad)
        return out;
    TForm_IngSklad* f = Form_IngSklad;
    f->Preset_RG_All(row->myLevel, row->metod);
    f->RowKod = rowKod;
    f->setWindowTitle(kCaption + QStringLiteral(".  Код: ") + QString::number(rowKod));
    out.accepted = Msg::execModal(f) == QDialog::Accepted;
    f->setWindowTitle(kCaption);
    out.hidden = out.accepted && f->RG_OpenClose->itemIndex() == 1;
    return out;
}

Outcome EditProductInDepartment(qint64 ing, qint64 otdel)
{
    const qint64 kod = costing::FindDepartmentRow(engine::ProgramContext(), ing, otdel);
    return kod == 0 ? Outcome{} : EditDepartmentRow(kod);
}

} // namespace ingsklad
