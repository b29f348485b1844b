#include "Unit_PrintOstatki.h"

#include "ReportGauge.h"
#include "entries/Prt_Ostatki.h"

#include "ProgramOffice.h"
#include "engine/Context.h"
#include "entries/Office.h"
#include "ui/InputDialogs.h"
#include "ui/Scaling.h"
#include "util/Messages.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QPalette>
#include <QVBoxLayout>

TForm_PrintOstatki* Form_PrintOstatki = nullptr;

TForm_PrintOstatki::TForm_PrintOstatki(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form_PrintOstatki"));
    setWindowTitle(QStringLiteral("Печать остатков"));
    auto* lay = new QVBoxLayout(this);
    RG = new QGroupBox(QStringLiteral("Выводить на печать"), this);
    RG_Group = new QButtonGroup(this);
    auto* rgLay = new QVBoxLayout(RG);
    const QString items[4] = {QStringLiteral("Данные выбранного склада"),
                              QStringLiteral("За все склады подразделения/отдела"),
                              QStringLiteral("За выбранное предприятие"), QStringLiteral("За все предприятия")};
    for (int i = 0; i < 4; ++i) {
        RG_Items[i] = new QRadioButton(items[i], RG);
        RG_Group->addButton(RG_Items[i], i);
        rgLay->addWidget(RG_Items[i]);
    }
    RG_Items[0]->setChecked(true);
    lay->addWidget(RG);

    CB_Minus = new QCheckBox(QStringLiteral("Не печатать отрицательные остатки"), this);
    CB_Zero = new QCheckBox(QStringLiteral("Не печатать нулевые остатки"), this);
    CB_Plus = new QCheckBox(QStringLiteral("Не печатать положительные остатки"), this);
    CB_OpenClose = new QCheckBox(QStringLiteral("Не печатать скрытые продукты"), this);
    CB_Minus->setChecked(true);
    CB_Zero->setChecked(true);
    CB_OpenClose->setChecked(true);
    for (QCheckBox* b : {CB_Minus, CB_Zero, CB_Plus, CB_OpenClose})
        lay->addWidget(b);

    GroupBox1 = new QGroupBox(QStringLiteral("Не разбивать на подразделения и склады"), this);
    auto* gLay = new QVBoxLayout(GroupBox1);
    Label1 = new QLabel(QStringLiteral("При выборе этой опции будет просуммировано\n"
                                       "обшее количество продуктов во всех выбранных\n"
                                       "Вами подразделениях. Цены будут усреднены."),
                        GroupBox1);
    CB_Sum = new QCheckBox(QStringLiteral("Включить эту опцию"), GroupBox1);
    gLay->addWidget(Label1);
    gLay->addWidget(CB_Sum);
    // The frame's caption in blue, its contents in the usual colours.
    QPalette blue = palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    GroupBox1->setPalette(blue);
    QPalette usual = palette();
    usual.setColor(QPalette::WindowText, palette().color(QPalette::WindowText));
    Label1->setPalette(usual);
    CB_Sum->setPalette(usual);
    lay->addWidget(GroupBox1);

    const OkCancelRow buttons = AddOkCancelRow(this, lay);
    Btn_Ok = buttons.ok;
    Btn_Cancel = buttons.cancel;

    connect(CB_Sum, &QCheckBox::toggled, this, [this] { CB_SumClick(); });
    connect(Btn_Ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);
}

int TForm_PrintOstatki::itemIndex() const { return RG_Group->checkedId(); }

void TForm_PrintOstatki::setItemIndex(int item)
{
    if (item >= 0 && item < 4)
        RG_Items[item]->setChecked(true);
}

void TForm_PrintOstatki::CB_SumClick()
{
    if (CB_Sum->isChecked()) {
        CB_Zero->setChecked(true);
        CB_Zero->setEnabled(false);
        CB_OpenClose->setChecked(false);
        CB_OpenClose->setEnabled(false);
    } else {
        CB_Zero->setEnabled(true);
        CB_OpenClose->setEnabled(true);
    }
}

reports::ostatki::Options TForm_PrintOstatki::options(qint64 firma, qint64 otdel, qint64 sklad) const
{
    reports::ostatki::Options o;
    o.scope = itemIndex();
    o.firma = firma;
    o.otdel = otdel;
    o.sklad = sklad;
    o.noMinus = CB_Minus->isChecked();
    o.noZero = CB_Zero->isChecked();
    o.noPlus = CB_Plus->isChecked();
    o.noHidden = CB_OpenClose->isChecked();
    return o;
}

namespace printing {

TForm_PrintOstatki* PrintOstatkiForm()
{
    if (!Form_PrintOstatki) {
        Form_PrintOstatki = new TForm_PrintOstatki;
        Form_PrintOstatki->resize(Form_PrintOstatki->sizeHint());
        ScaleWindow(Form_PrintOstatki, false);
    }
    return Form_PrintOstatki;
}

void ShowPrintOstatki(qint64 firma, qint64 otdel, qint64 sklad)
{
    TForm_PrintOstatki* f = PrintOstatkiForm();
    if (Msg::execModal(f) != QDialog::Accepted)
        return;
    const reports::ostatki::Options o = f->options(firma, otdel, sklad);
    if (f->CB_Sum->isChecked())
        Prt_OstatkiSvod(o);
    else
        Prt_Ostatki(o);
}

void Prt_Ostatki(const reports::ostatki::Options& o)
{
    const engine::Context ctx = engine::ProgramContext();
    RunProgramReport(reports::ostatki::Build(ctx, o));
}

void Prt_OstatkiSvod(const reports::ostatki::Options& o)
{
    reports::ostatki::Options svod = o;
    svod.svod = true;
    RunProgramReport(reports::ostatki::Build(engine::ProgramContext(), svod));
}

} // namespace printing
