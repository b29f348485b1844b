#include "Unit_GrIng.h"

#include "CatalogueUi.h"
#include "Products.h"
#include "Unit_ProductsTab.h"
#include "db/Query.h"
#include "ui/Scaling.h"
#include "util/Messages.h"
#include "util/Unit_Util.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

FirstUse<TForm_GrIng> Form_GrIng;

TForm_GrIng::TForm_GrIng(QWidget* parent) : TListEditDialog(parent)
{
    setWindowTitle(QStringLiteral("Группы продуктов и блюд"));
    auto* top = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("Наименование группы"), this);
    top->addWidget(label);
    E_Name = new QLineEdit(this);
    label->setBuddy(E_Name);  // the field's accessible name
    E_Name->setMaxLength(100);
    top->addWidget(E_Name);
    top->addStretch();
    Btn_Ok = new QPushButton(QStringLiteral("OK"), this);
    Btn_Exit = new QPushButton(QStringLiteral("Выход"), this);
    top->addLayout(cat::ButtonRow(Btn_Ok, {Btn_Exit}));
    connect(Btn_Ok, &QPushButton::clicked, this, [this] { Guard([this] { Btn_OkClick(); }); });
    connect(Btn_Exit, &QPushButton::clicked, this, &QDialog::reject);
    resize(420, 110);
    ScaleWindow(this, false);
}

void TForm_GrIng::FormShow()
{
    Shown = {};
    if (NewMode == 1) {
        E_Name->clear();
    } else if (ProductsTab) {
        E_Name->setText(ProductsTab->CurrentGroupName());
        Shown = engine::ShownRow::of(*ProductsTab->Q_GrIng, QStringLiteral("GROUP_ING"), E_Name->text(),
                                     {{QStringLiteral("NAME"), QStringLiteral("наименование группы")}});
    }
    E_Name->setFocus();
}

void TForm_GrIng::Btn_OkClick()
{
    if (!cat::Filled(E_Name, QStringLiteral("Нет наименования группы !")))
        return;
    const QString name = E_Name->text();
    if (NewMode == 1) {
        SavedKod = products::CreateGroup(name, ProductsTab ? ProductsTab->List_GrIng : nullptr);
        Msg::notice(QStringLiteral("Группа << ") + name +
                    QStringLiteral(" >> добавлена в основной склад подразделений. Для перемещения её в другой склад "
                                   "воспользуйтесь кнопкой \"Переместить\" "));
    } else {
        SavedKod = ProductsTab ? ProductsTab->CurrentGroup() : 0;
        products::RenameGroup(SavedKod, name, Shown);
    }
    accept();
}
