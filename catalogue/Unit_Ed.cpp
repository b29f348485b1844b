#include "Unit_Ed.h"

#include "CatalogueUi.h"
#include "Structure.h"
#include "Unit_StructureBox.h"
#include "base/Unit_Base.h"
#include "ui/Scaling.h"
#include "util/Unit_Util.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

FirstUse<TForm_Ed> Form_Ed;

TForm_Ed::TForm_Ed(QWidget* parent) : TListEditDialog(parent)
{
    setWindowTitle(QStringLiteral("Единицы измерения"));
    auto* grid = new QGridLayout(this);
    E_Name = new QLineEdit(this);
    E_Name->setMaxLength(50);
    E_SName = new QLineEdit(this);
    E_SName->setMaxLength(10);
    auto* nameLabel = new QLabel(QStringLiteral("Полное наименование единицы"), this);
    auto* shortLabel = new QLabel(QStringLiteral("Сокращённое наименование -->"), this);
    nameLabel->setBuddy(E_Name);  // the labels name their fields for a screen reader
    shortLabel->setBuddy(E_SName);
    grid->addWidget(nameLabel, 0, 0, 1, 2);
    grid->addWidget(E_Name, 1, 0, 1, 2);
    grid->addWidget(shortLabel, 2, 0);
    grid->addWidget(E_SName, 2, 1);
    Btn_Ok = new QPushButton(QStringLiteral("OK"), this);
    Btn_Exit = new QPushButton(QStringLiteral("Выход"), this);
    addButtonRow(grid, 3, Btn_Ok, Btn_Exit, [this] { Btn_OkClick(); });
    resize(380, 150);
    ScaleWindow(this, false);
}

void TForm_Ed::FormShow()
{
    if (NewMode == 1) {
        E_Name->clear();
        E_SName->clear();
        Shown = {};
    } else {
        db::Query* q = StructureBox->Q_Ed;
        E_Name->setText(q->field(QStringLiteral("NAME")).asString());
        E_SName->setText(q->field(QStringLiteral("SHORT_NAME")).asString());
        Shown = engine::ShownRow::of(*q, QStringLiteral("ED_IZM"), E_Name->text(),
                                     {{QStringLiteral("NAME"), QStringLiteral("полное наименование")},
                                      {QStringLiteral("SHORT_NAME"), QStringLiteral("сокращённое наименование")}});
    }
    E_Name->setFocus();
}

void TForm_Ed::Btn_OkClick()
{
    if (!cat::Filled(E_Name, QStringLiteral("Нет полного наименования единицы !")) ||
        !cat::Filled(E_SName, QStringLiteral("Нет сокращённого наименования единицы !")))
        return;
    if (NewMode == 1) {
        SavedKod = structure::CreateEd(E_Name->text(), E_SName->text());
    } else {
        SavedKod = StructureBox->Q_Ed->field(QStringLiteral("KOD")).asInt64();
        structure::UpdateEd(SavedKod, E_Name->text(), E_SName->text(), Shown);
    }
    accept();
}
