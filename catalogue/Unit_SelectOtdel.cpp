#include "CatalogueUi.h"
#include "Unit_SelectOtdel.h"

#include "grid/DatasetModel.h"
#include "db/Query.h"
#include "ui/Scaling.h"

#include <QPushButton>
#include <QVBoxLayout>

TForm_SelectOtdel* Form_SelectOtdel = nullptr;

TForm_SelectOtdel::TForm_SelectOtdel(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Выбор подразделения/отдела"));
    auto* top = new QVBoxLayout(this);
    Grid_Firma_M = new db::DbGrid(this);
    top->addWidget(Grid_Firma_M, 1);
    Btn_Ok = new QPushButton(QStringLiteral("OK"), this);
    Btn_Cancel = new QPushButton(QStringLiteral("Отмена"), this);
    top->addLayout(cat::ButtonRow(Btn_Ok, {Btn_Cancel}));
    connect(Btn_Ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    Grid_Firma_M->setEditButton(Btn_Ok);
    resize(420, 380);
    ScaleWindow(this, false);
}

void TForm_SelectOtdel::AttachData()
{
    if (Q_O)
        return;
    Q_O = cat::NameList(this, Grid_Firma_M, QStringLiteral("Подразделение (Отдел)"));
}
