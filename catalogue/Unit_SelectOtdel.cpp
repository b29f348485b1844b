#include "CatalogueUi.h"
#include "Unit_SelectOtdel.h"

#include "base/Unit_Base.h"
#include "db/DatasetModel.h"
#include "db/Query.h"
#include "ui/Scaling.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QVBoxLayout>

TForm_SelectOtdel* Form_SelectOtdel = nullptr;

TForm_SelectOtdel::TForm_SelectOtdel(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Выбор подразделения/отдела"));
    auto* top = new QVBoxLayout(this);
    Grid_Firma_M = new db::DbGrid(this);
    top->addWidget(Grid_Firma_M, 1);
    auto* buttons = new QHBoxLayout;
    Btn_Ok = new QPushButton(QStringLiteral("OK"), this);
    Btn_Cancel = new QPushButton(QStringLiteral("Отмена"), this);
    buttons->addWidget(Btn_Ok);
    buttons->addStretch();
    buttons->addWidget(Btn_Cancel);
    top->addLayout(buttons);
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
    Q_O = new db::Query(Form_Base->MyDB, Form_Base->TransactionRead, this);
    Grid_Firma_M->setQuery(Q_O);
    cat::SetColumns(Grid_Firma_M, {db::GridColumn{QStringLiteral("NAME"), QStringLiteral("Предприятие"), 300}});
    Grid_Firma_M->horizontalHeader()->setStretchLastSection(true);
}
