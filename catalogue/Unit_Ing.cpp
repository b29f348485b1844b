#include "Unit_Ing.h"

#include "CatalogueUi.h"
#include "Products.h"
#include "Unit_ProductsTab.h"
#include "base/Unit_Base.h"
#include "db/Query.h"
#include "grid/DatasetModel.h"
#include "ui/Scaling.h"
#include "util/Messages.h"
#include "util/Settings.h"
#include "util/Unit_Util.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

FirstUse<TForm_Ing> Form_Ing;

namespace {

// Decimal text with up to six places, or empty for a yield or coefficient of 0.
QString Reciprocal100(double v, int decimals) { return v == 0 ? QString() : cat::FormatDecimal(100.0 / v, decimals); }

// The yield percent and the gross coefficient follow each other: the one not
// typed in becomes 100 / the typed value, and "0" empties both. True when the
// other was recomputed.
bool FollowTyped(QLineEdit* typed, QLineEdit* other)
{
    const QString t = typed->text();
    if (t.isEmpty()) {
        other->clear();
        return false;
    }
    if (t == QStringLiteral("0")) {
        typed->clear();
        other->clear();
        return false;
    }
    bool ok = false;
    const double v = cat::ParseDecimal(t, &ok);
    other->setText(ok ? Reciprocal100(v, 6) : QString());
    return true;
}

} // namespace

TForm_Ing::TForm_Ing(QWidget* parent) : TListEditDialog(parent)
{
    setWindowTitle(QStringLiteral("Описание продукта (общие параметры)"));
    auto* top = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    int row = 0;
    auto add = [this, grid, &row](const QString& caption, QWidget* w, int span = 1) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(w);  // the field's accessible name
        grid->addWidget(label, row, 0);
        grid->addWidget(w, row, 1, 1, span);
        ++row;
    };
    E_Name = new QLineEdit(this);
    E_Name->setMaxLength(100);
    add(QStringLiteral("Наименование"), E_Name, 2);
    L_Ed = new QComboBox(this);
    L_Ed->setMinimumWidth(180);
    add(QStringLiteral("Ед. Изм."), L_Ed);
    E_Proc = new QLineEdit(this);
    add(QStringLiteral("Для автоматического расчёта брутто % выхода =>"), E_Proc);
    E_Koef = new QLineEdit(this);
    add(QStringLiteral("Или коэффициент пересчёта в брутто  =>"), E_Koef);
    Button1 = new QPushButton(QStringLiteral("Расчитать \"Норму БРУТТО\" зная брутто и нетто продукта"), this);
    grid->addWidget(Button1, row++, 0, 1, 3);
    Label8 = new QLabel(QStringLiteral("Норма брутто действует в калькуляционных картах, которые используют этот продукт "
                                       "в качестве ингредиента и у которых пересчёт в брутто установлен \"Из нормы "
                                       "ингредиента\"."),
                        this);
    Label8->setWordWrap(true);
    grid->addWidget(Label8, row++, 0, 1, 3);
    E_Kalories = new QLineEdit(this);
    E_Kalories->setMaxLength(15);
    add(QStringLiteral("Кол-во килокалорий на единицу продукта  =>"), E_Kalories);
    E_DInfo = new QLineEdit(this);
    E_DInfo->setMaxLength(200);
    add(QStringLiteral("Доп. информация  =>"), E_DInfo, 2);
    E_Section = new QLineEdit(this);
    E_Section->setMaxLength(4);
    add(QStringLiteral("№ секции (для \"Подавальни\" и TorgService) =>"), E_Section);
    E_Max = new QLineEdit(this);
    E_Max->setMaxLength(9);
    add(QStringLiteral("Макс. % скидки (для \"Подавальни\")  =>"), E_Max);
    E_Time = new QLineEdit(this);
    E_Time->setMaxLength(9);
    add(QStringLiteral("Макс. время приготовления блюда в минутах =>"), E_Time);
    E_Alarm = new QLineEdit(this);
    E_Alarm->setMaxLength(9);
    add(QStringLiteral("За сколько минут предупреждать о времени  =>"), E_Alarm);
    CB_UseMenu = new QCheckBox(QStringLiteral("Можно выбирать в меню"), this);
    grid->addWidget(CB_UseMenu, row++, 1, 1, 2);
    grid->setColumnStretch(2, 1);
    top->addLayout(grid);
    top->addStretch();
    Btn_Ok = new QPushButton(QStringLiteral("OK"), this);
    Btn_Exit = new QPushButton(QStringLiteral("Выход"), this);
    top->addLayout(cat::ButtonRow(Btn_Ok, {Btn_Exit}));
    // Enter in any field presses OK, never the calculator's button between the fields.
    Btn_Ok->setDefault(true);

    E_Proc->installEventFilter(this);
    E_Koef->installEventFilter(this);
    connect(E_Proc, &QLineEdit::textEdited, this, [this] { Guard([this] { E_ProcKeyUp(); }); });
    connect(E_Koef, &QLineEdit::textEdited, this, [this] { Guard([this] { E_KoefKeyUp(); }); });
    connect(L_Ed, qOverload<int>(&QComboBox::activated), this, [this] { Guard([this] { L_EdCloseUp(); }); });
    connect(Button1, &QPushButton::clicked, this, [this] { Guard([this] { Button1Click(); }); });
    connect(Btn_Ok, &QPushButton::clicked, this, [this] { Guard([this] { Btn_OkClick(); }); });
    connect(Btn_Exit, &QPushButton::clicked, this, &QDialog::reject);
    resize(540, 420);
    ScaleWindow(this, true);
}

void TForm_Ing::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    if (!event->spontaneous())
        FormHide();
}

bool TForm_Ing::eventFilter(QObject* watched, QEvent* event)
{
    // Yield and coefficient take digits and one decimal separator.
    if ((watched == E_Proc || watched == E_Koef) && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const QString t = key->text();
        if (t.size() == 1 && t[0].isPrint()) {
            auto* edit = static_cast<QLineEdit*>(watched);
            const QChar c = t[0];
            if (c.isDigit() && c.unicode() < 128)
                return false;
            if (c == QLatin1Char(',') || c == QLatin1Char('.')) {
                if (!edit->text().contains(QLatin1Char(','))) {
                    edit->insert(QStringLiteral(","));
                    Guard([this, edit] { edit == E_Proc ? E_ProcKeyUp() : E_KoefKeyUp(); });
                }
                return true;
            }
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TForm_Ing::openUnits()
{
    if (!units_)
        units_ = new db::Query(Form_Base->MyDB, Form_Base->TransactionRead, this);
    units_->close();
    units_->setSql(QStringLiteral("select * from ED_IZM"));
    units_->open();
    L_Ed->clear();
    for (units_->first(); !units_->eof(); units_->next())
        L_Ed->addItem(units_->field(QStringLiteral("NAME")).asString(), units_->field(QStringLiteral("KOD")).asInt64());
    L_Ed->setCurrentIndex(-1);
}

void TForm_Ing::FormShow()
{
    openUnits();
    NormChanged = 0;
    if (NewMode == 1)
        Clear_Ing();
    else
        Load_Ing();
    bool ok = false;
    const double yield = E_Proc->text().isEmpty() ? 0.0 : cat::ParseDecimal(E_Proc->text(), &ok);
    E_Koef->setText(Reciprocal100(ok ? yield : 0.0, 5));
    E_Name->setFocus();
}

void TForm_Ing::FormHide()
{
    if (units_)
        units_->close();
    cat::SetActive(E_Kalories, true);
}

void TForm_Ing::Load_Ing()
{
    db::Query row(Form_Base->MyDB, Form_Base->TransactionRead);
    row.setSql(QStringLiteral("SELECT * FROM ING WHERE KOD = ") + QString::number(ProductsTab ? ProductsTab->CurrentIng() : 0));
    row.open();
    db::Query* q = &row;
    Shown = {};
    if (q->isEmpty())
        return Clear_Ing();
    // Every column the dialog writes back.
    Shown = engine::ShownRow::of(*q, QStringLiteral("ING"), q->field(QStringLiteral("NAME")).asString(),
                                 {{QStringLiteral("NAME"), QStringLiteral("наименование")},
                                  {QStringLiteral("KOD_GROUP"), QStringLiteral("группа")},
                                  {QStringLiteral("ED_IZM"), QStringLiteral("единица измерения")},
                                  {QStringLiteral("DOP_INFO"), QStringLiteral("дополнительная информация")},
                                  {QStringLiteral("USE_MENU"), QStringLiteral("выбор в меню")},
                                  {QStringLiteral("MY_SECTION"), QStringLiteral("номер секции")},
                                  {QStringLiteral("PERCENT_SKIDKA"), QStringLiteral("максимальный процент скидки")},
                                  {QStringLiteral("KVO_PORC"), QStringLiteral("количество порций")},
                                  {QStringLiteral("VIHOD"), QStringLiteral("процент выхода")},
                                  {QStringLiteral("MY_TIME"), QStringLiteral("время приготовления")},
                                  {QStringLiteral("MY_ALARM"), QStringLiteral("время предупреждения")},
                                  {QStringLiteral("KALORIES"), QStringLiteral("килокалории")}});
    KodEd = q->field(QStringLiteral("ED_IZM")).asInt64();
    KodGroup = q->field(QStringLiteral("KOD_GROUP")).asInt64();
    L_Ed->setCurrentIndex(L_Ed->findData(KodEd));
    E_Name->setText(q->field(QStringLiteral("NAME")).asString());
    E_Proc->setText(q->field(QStringLiteral("VIHOD")).asString());
    const db::Field kalories = q->field(QStringLiteral("KALORIES"));
    kalories_ = kalories.asDouble();
    kaloriesShown_ = kalories.isNull() ? QString() : db::formatNumber(kalories_, QStringLiteral("0.#"));
    E_Kalories->setText(kaloriesShown_);
    E_DInfo->setText(q->field(QStringLiteral("DOP_INFO")).asString());
    const auto intText = [q](const char* f) {
        const db::Field v = q->field(QString::fromLatin1(f));
        return v.isNull() ? QStringLiteral("0") : QString::number(v.asInt64());
    };
    E_Time->setText(intText("MY_TIME"));
    E_Alarm->setText(intText("MY_ALARM"));
    const int section = q->field(QStringLiteral("MY_SECTION")).asInt();
    E_Section->setText(section <= 0 ? QStringLiteral("0") : QString::number(section));
    E_Max->setText(intText("PERCENT_SKIDKA"));
    KvoPorc = q->field(QStringLiteral("KVO_PORC")).asInt();
    CB_UseMenu->setChecked(q->field(QStringLiteral("USE_MENU")).asString() == QStringLiteral("+"));
}

void TForm_Ing::Clear_Ing()
{
    Shown = {};
    KodEd = 0;
    KodGroup = 0;
    L_Ed->setCurrentIndex(-1);
    E_Name->clear();
    E_Proc->setText(QStringLiteral("100"));
    E_DInfo->clear();
    E_Section->setText(QStringLiteral("1"));
    E_Max->setText(QStringLiteral("10"));
    CB_UseMenu->setChecked(false);
    kalories_ = 0;
    kaloriesShown_ = QStringLiteral("0");
    E_Kalories->setText(kaloriesShown_);
    KvoPorc = 1;
}

void TForm_Ing::E_ProcKeyUp()
{
    if (FollowTyped(E_Proc, E_Koef))
        NormChanged = 1;
}

void TForm_Ing::E_KoefKeyUp()
{
    if (FollowTyped(E_Koef, E_Proc))
        NormChanged = 1;
}

void TForm_Ing::L_EdCloseUp()
{
    if (L_Ed->currentIndex() >= 0)
        KodEd = L_Ed->currentData().toLongLong();
}

void TForm_Ing::Button1Click()
{
    if (!showKBrutto)
        return;
    double brutto = 0, netto = 0;
    if (!showKBrutto(brutto, netto))
        return;
    // On to the next field: Enter there saves, it does not open the calculator again.
    (E_Kalories->isEnabled() ? E_Kalories : E_DInfo)->setFocus();
    E_Koef->setText(netto != 0 ? db::formatFloat(brutto / netto) : QString());
    bool ok = false;
    const double k = cat::ParseDecimal(E_Koef->text(), &ok);
    if (!E_Koef->text().isEmpty() && ok && k != 0) {
        E_Proc->setText(cat::FormatDecimal(100.0 / k, 6));
        NormChanged = 1;
    } else {
        E_Proc->clear();
    }
}

void TForm_Ing::Btn_OkClick()
{
    if (E_Name->text().isEmpty())
        return cat::Refuse(QStringLiteral("Нет наименования !"), E_Name);
    if (L_Ed->currentIndex() < 0 || L_Ed->currentText().isEmpty())
        return cat::Refuse(QStringLiteral("Не выбрана единица измерения !"), L_Ed);
    // An empty field is told as such before its value is judged.
    if (E_Proc->text().isEmpty())
        return cat::Refuse(QStringLiteral("Нет процента выхода !"), E_Proc);
    bool ok = false;
    const double yield = cat::ParseDecimal(E_Proc->text(), &ok);
    if (!ok || yield <= 0)
        return cat::Refuse(QStringLiteral("Процент выхода должен быть > 0 !"), E_Proc);
    if (E_Koef->text().isEmpty())
        return cat::Refuse(QStringLiteral("Нет коэффициента брутто !"), E_Koef);
    const double koef = cat::ParseDecimal(E_Koef->text(), &ok);
    if (!ok || koef <= 0)
        return cat::Refuse(QStringLiteral("Коэффициент брутто должен быть > 0 !"), E_Koef);
    if (E_Kalories->text().isEmpty())
        E_Kalories->setText(QStringLiteral("0"));
    if (E_Kalories->isEnabled() && !cat::AllDigits(E_Kalories->text()))
        return cat::Refuse(QStringLiteral("В поле количества калорий должно стоять целое положительное число или 0 !"),
                      E_Kalories);
    if (!cat::AllDigits(E_Section->text()))
        return cat::Refuse(QStringLiteral("В поле номера секции должно стоять целое положительное число или 0 !"), E_Section);
    const int section = E_Section->text().toInt();
    if (MyParams && MyParams->v.obmen == 0 && (section < 1 || section > 5))
        return cat::Refuse(QStringLiteral("При обмене с программой \"Подавальня\" номер секции должен быть в пределах от 1 до 5 !"),
                      nullptr);
    if (!cat::AllDigits(E_Max->text()))
        return cat::Refuse(QStringLiteral("В поле максимального процента скидки должно стоять целое положительное число или "
                                     "ноль !"),
                      E_Max);
    if (E_Time->text().isEmpty())
        E_Time->setText(QStringLiteral("0"));
    if (!cat::AllDigits(E_Time->text()))
        return cat::Refuse(QStringLiteral("В поле максимального времени приготовления блюда должно стоять целое положительное "
                                     "число или ноль !"),
                      E_Time);
    if (E_Alarm->text().isEmpty())
        E_Alarm->setText(QStringLiteral("0"));
    if (!cat::AllDigits(E_Alarm->text()))
        return cat::Refuse(QStringLiteral("В поле времени предупреждения об окончании приготовления блюда должно стоять целое "
                                     "положительное число или ноль !"),
                      E_Alarm);
    if (E_Time->text().toLongLong() > 0 && E_Alarm->text().toLongLong() == 0)
        return cat::Refuse(QStringLiteral("Если Вы установили у блюда максимальное время приготовления, необходимо установить "
                                     "также параметр \"За сколько минут предупреждать о времени готовности\" !"),
                      E_Alarm);
    if (NewMode != 1 && NormChanged)
        Msg::notice(QStringLiteral("Изменилась норма \"Брутто\". Во все блюда, которые используют данный продукт в качестве "
                                   "ингредента и имеют переключатель \"Коэффициент перевода в брутто\" в положении \"Из "
                                   "нормы ингредиента\", будут внесены соответствующие изменения."));
    products::IngData d;
    d.name = E_Name->text();
    d.group = NewMode == 1 ? (ProductsTab ? ProductsTab->CurrentGroup() : 0) : KodGroup;
    d.edIzm = L_Ed->currentData().toLongLong();
    d.dopInfo = E_DInfo->text();
    d.useMenu = CB_UseMenu->isChecked();
    d.section = section;
    d.maxDiscount = E_Max->text().toInt();
    d.portions = KvoPorc;
    d.vihod = yield;
    d.time = E_Time->text().toInt();
    d.alarm = E_Alarm->text().toInt();
    d.kalories = E_Kalories->text() == kaloriesShown_ ? kalories_ : cat::ParseDecimal(E_Kalories->text());
    if (NewMode == 1) {
        SavedKod = products::CreateIng(d, ProductsTab ? ProductsTab->CurrentGroupName() : QString(), L_Ed->currentText(),
                                       ProductsTab ? ProductsTab->List_Ing : nullptr);
    } else {
        SavedKod = ProductsTab ? ProductsTab->CurrentIng() : 0;
        products::UpdateIng(SavedKod, d, NormChanged != 0, Shown);
    }
    accept();
}
