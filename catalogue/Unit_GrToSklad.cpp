#include "CatalogueUi.h"
#include "Unit_GrToSklad.h"

#include "Products.h"
#include "Unit_StructureBox.h"
#include "base/Unit_Base.h"
#include "grid/DatasetModel.h"
#include "db/Query.h"
#include "ui/Scaling.h"
#include "util/Unit_Util.h"

#include <QHideEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TForm_GrToSklad* Form_GrToSklad = nullptr;

TForm_GrToSklad::TForm_GrToSklad(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Закрепление группы продуктов за складом"));
    auto* top = new QVBoxLayout(this);
    Panel1 = cat::CaptionPanel(this);
    top->addWidget(Panel1);
    Grid_GrToSklad = new db::DbGrid(this);
    top->addWidget(Grid_GrToSklad, 1);
    Btn_Ok = new QPushButton(QStringLiteral("OK"), this);
    Btn_Exit = new QPushButton(QStringLiteral("Выход (отмена)"), this);
    top->addLayout(cat::ButtonRow(Btn_Ok, {Btn_Exit}));
    connect(Btn_Ok, &QPushButton::clicked, this, [this] { Guard([this] { Btn_OkClick(); }); });
    connect(Btn_Exit, &QPushButton::clicked, this, &QDialog::reject);
    resize(420, 360);
    ScaleWindow(this, false);
}

void TForm_GrToSklad::AttachData()
{
    if (Q_GrToSklad)
        return;
    Q_GrToSklad = cat::NameList(this, Grid_GrToSklad, QStringLiteral("Склад"));
}

void TForm_GrToSklad::Btn_OkClick()
{
    if (Q_GrToSklad && Q_GrToSklad->active() && !Q_GrToSklad->isEmpty())
        products::MoveGroupToSklad(KodGroup, Q_GrToSklad->field(QStringLiteral("KOD")).asInt64(),
                                   StructureBox->Q_Otdel->field(QStringLiteral("KOD")).asInt64(),
                                   StructureBox->Q_Sklad->field(QStringLiteral("KOD")).asInt64(), Panel1->text(),
                                   Q_GrToSklad->field(QStringLiteral("NAME")).asString());
    accept();
}

void TForm_GrToSklad::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    if (Q_GrToSklad && !event->spontaneous())
        Q_GrToSklad->close();
}
