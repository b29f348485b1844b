#include "CatalogueUi.h"
#include "Unit_MoveIng.h"

#include "Products.h"
#include "Unit_ProductsTab.h"
#include "base/Unit_Base.h"
#include "grid/DatasetModel.h"
#include "db/Query.h"
#include "ui/Scaling.h"
#include "util/Unit_Util.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TForm_MoveIng* Form_MoveIng = nullptr;

TForm_MoveIng::TForm_MoveIng(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Перемещение продукта в другую группу"));
    auto* top = new QVBoxLayout(this);
    Panel1 = cat::CaptionPanel(this);
    top->addWidget(Panel1);
    Grid_MoveIng = new db::DbGrid(this);
    top->addWidget(Grid_MoveIng, 1);
    Btn_Ok = new QPushButton(QStringLiteral("OK"), this);
    Btn_Exit = new QPushButton(QStringLiteral("Выход (отмена)"), this);
    top->addLayout(cat::ButtonRow(Btn_Ok, {Btn_Exit}));
    connect(Btn_Ok, &QPushButton::clicked, this, [this] { Guard([this] { Btn_OkClick(); }); });
    connect(Btn_Exit, &QPushButton::clicked, this, &QDialog::reject);
    resize(420, 420);
    ScaleWindow(this, false);
}

void TForm_MoveIng::AttachData()
{
    if (Q_MoveIng)
        return;
    Q_MoveIng = cat::NameList(this, Grid_MoveIng, QStringLiteral("Группа продуктов"));
}

void TForm_MoveIng::Btn_OkClick()
{
    if (Q_MoveIng && Q_MoveIng->active() && !Q_MoveIng->isEmpty())
        products::MoveIngToGroup(ProductsTab ? ProductsTab->CurrentIng() : 0,
                                 Q_MoveIng->field(QStringLiteral("KOD")).asInt64(), Panel1->text(),
                                 Q_MoveIng->field(QStringLiteral("NAME")).asString());
    accept();
}
