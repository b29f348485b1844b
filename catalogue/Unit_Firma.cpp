#include "Unit_Firma.h"

#include "CatalogueUi.h"
#include "Structure.h"
#include "Unit_StructureBox.h"
#include "base/Unit_Base.h"
#include "ui/Scaling.h"
#include "util/Unit_Util.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

FirstUse<TForm_Firma> Form_Firma;

TForm_Firma::TForm_Firma(QWidget* parent) : TListEditDialog(parent)
{
    setWindowTitle(QStringLiteral("Реквизиты предприятия "));
    auto* top = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    auto edit = [this, form](const QString& caption, int maxLen) {
        auto* e = new QLineEdit(this);
        e->setMaxLength(maxLen);
        form->addRow(caption, e);
        return e;
    };
    E_Name = edit(QStringLiteral("Наименование предприятия"), 254);
    M_DInfo = new QPlainTextEdit(this);
    M_DInfo->setFixedHeight(60);
    form->addRow(QStringLiteral("Дополнительная информация"), M_DInfo);
    E_Bank = edit(QStringLiteral("Наименование банка"), 254);
    E_Bik = edit(QStringLiteral("БИК"), 15);
    E_RS = edit(QStringLiteral("Р/Сч"), 30);
    E_KS = edit(QStringLiteral("К/Сч"), 30);
    E_INN = edit(QStringLiteral("ИНН"), 15);
    E_KPP = edit(QStringLiteral("КПП"), 15);
    E_Phone = edit(QStringLiteral("Телефон"), 20);
    E_Jur_Addr = edit(QStringLiteral("Юридический адрес"), 254);
    E_Real_Addr = edit(QStringLiteral("Почтовый адрес"), 254);
    top->addLayout(form);

    CB_Local = new QCheckBox(
        QStringLiteral("Своё предприятие (если отмечено, то будет отображаться в окне \"Продукты и блюда\")"), this);
    top->addWidget(CB_Local);
    auto* form2 = new QFormLayout;
    form2->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    E_Otdel = new QLineEdit(this);
    E_Otdel->setMaxLength(254);
    E_Sklad = new QLineEdit(this);
    E_Sklad->setMaxLength(100);
    form2->addRow(QStringLiteral("Наименование основного подразделения (отдела)"), E_Otdel);
    form2->addRow(QStringLiteral("Наименование основного склада"), E_Sklad);
    top->addLayout(form2);
    top->addStretch();

    Btn_Ok = new QPushButton(QStringLiteral("OK"), this);
    Btn_Otmena = new QPushButton(QStringLiteral("Отменить изменения"), this);
    Btn_Exit = new QPushButton(QStringLiteral("Выход без сохранения"), this);
    top->addLayout(cat::ButtonRow(Btn_Ok, {Btn_Otmena, Btn_Exit}));

    connect(CB_Local, &QCheckBox::toggled, this, [this] { Guard([this] { CB_LocalClick(); }); });
    connect(Btn_Ok, &QPushButton::clicked, this, [this] { Guard([this] { Btn_OkClick(); }); });
    connect(Btn_Otmena, &QPushButton::clicked, this, [this] { Guard([this] { Btn_OtmenaClick(); }); });
    connect(Btn_Exit, &QPushButton::clicked, this, &QDialog::reject);

    resize(600, 460);
    ScaleWindow(this, false);
}

void TForm_Firma::setMainNamesActive(bool on)
{
    E_Otdel->clear();
    E_Sklad->clear();
    cat::SetActive(E_Otdel, on);
    cat::SetActive(E_Sklad, on);
}

void TForm_Firma::FormShow()
{
    if (NewMode == 1) {
        for (QLineEdit* e : {E_Name, E_Bank, E_Bik, E_RS, E_KS, E_INN, E_KPP, E_Phone, E_Jur_Addr, E_Real_Addr})
            e->clear();
        M_DInfo->clear();
        CB_Local->setChecked(false);
        CB_Local->setEnabled(true);
        Shown = {};
    } else {
        db::Query* q = StructureBox->Q_Firma;
        auto text = [q](const char* f) { return q->field(QString::fromLatin1(f)).asString(); };
        E_Name->setText(text("NAME"));
        M_DInfo->setPlainText(text("INFO"));
        E_Bank->setText(text("BANK"));
        E_Bik->setText(text("BIK"));
        E_RS->setText(text("RS"));
        E_KS->setText(text("KS"));
        E_INN->setText(text("INN"));
        E_KPP->setText(text("KPP"));
        E_Phone->setText(text("PHONE"));
        E_Jur_Addr->setText(text("ADDR_JUR"));
        E_Real_Addr->setText(text("ADDR_REAL"));
        CB_Local->setChecked(q->field(QStringLiteral("LOCAL_FIRMA")).asInt() != 0);
        CB_Local->setEnabled(false);
        Shown = engine::ShownRow::of(*q, QStringLiteral("FIRMA"), E_Name->text(),
                                     {{QStringLiteral("NAME"), QStringLiteral("наименование предприятия")},
                                      {QStringLiteral("INFO"), QStringLiteral("дополнительная информация")},
                                      {QStringLiteral("BANK"), QStringLiteral("наименование банка")},
                                      {QStringLiteral("BIK"), QStringLiteral("БИК")},
                                      {QStringLiteral("RS"), QStringLiteral("Р/Сч")},
                                      {QStringLiteral("KS"), QStringLiteral("К/Сч")},
                                      {QStringLiteral("INN"), QStringLiteral("ИНН")},
                                      {QStringLiteral("KPP"), QStringLiteral("КПП")},
                                      {QStringLiteral("PHONE"), QStringLiteral("телефон")},
                                      {QStringLiteral("ADDR_JUR"), QStringLiteral("юридический адрес")},
                                      {QStringLiteral("ADDR_REAL"), QStringLiteral("почтовый адрес")},
                                      {QStringLiteral("LOCAL_FIRMA"), QStringLiteral("своё предприятие")}});
    }
    setMainNamesActive(false);
    E_Name->setFocus();
}

void TForm_Firma::CB_LocalClick()
{
    if (NewMode != 1)
        return;
    setMainNamesActive(CB_Local->isChecked());
}

void TForm_Firma::Btn_OtmenaClick() { FormShow(); }

void TForm_Firma::Btn_OkClick()
{
    if (!cat::Filled(E_Name, QStringLiteral("Нет наименования предприятия !")))
        return;
    const bool newLocal = NewMode == 1 && CB_Local->isChecked();
    if (newLocal && (!cat::Filled(E_Otdel, QStringLiteral("Нет наименования основного подразделения (отдела) предприятия !")) ||
                     !cat::Filled(E_Sklad, QStringLiteral("Нет наименования основного склада предприятия !"))))
        return;
    structure::FirmaData d;
    d.name = E_Name->text();
    d.info = M_DInfo->toPlainText();
    d.bank = E_Bank->text();
    d.bik = E_Bik->text();
    d.rs = E_RS->text();
    d.ks = E_KS->text();
    d.inn = E_INN->text();
    d.kpp = E_KPP->text();
    d.phone = E_Phone->text();
    d.addrJur = E_Jur_Addr->text();
    d.addrReal = E_Real_Addr->text();
    d.local = CB_Local->isChecked();
    if (NewMode == 1) {
        SavedKod = structure::CreateFirma(d, E_Otdel->text(), E_Sklad->text());
    } else {
        SavedKod = StructureBox->Q_Firma->field(QStringLiteral("KOD")).asInt64();
        structure::UpdateFirma(SavedKod, d, Shown);
    }
    accept();
}
