#include "Unit_SelectFirma.h"

#include "CatalogueUi.h"
#include "Structure.h"
#include "base/Unit_Base.h"
#include "grid/DatasetModel.h"
#include "db/Query.h"
#include "ui/Scaling.h"
#include "util/Unit_Util.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

TForm_SelectFirma* Form_SelectFirma = nullptr;

TForm_SelectFirma::TForm_SelectFirma(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Выбор предприятия"));
    auto* top = new QVBoxLayout(this);
    auto* search = new QHBoxLayout;
    CB_Context = new QCheckBox(QStringLiteral("Контекстный поиск =>"), this);
    E_Context = new QLineEdit(this);
    E_Context->setMaxLength(254);
    search->addWidget(CB_Context);
    search->addWidget(E_Context, 1);
    top->addLayout(search);
    GridFirma = new db::DbGrid(this);
    top->addWidget(GridFirma, 1);
    Btn_Ok = new QPushButton(QStringLiteral("OK"), this);
    Btn_Exit = new QPushButton(QStringLiteral("Выход (отмена)"), this);
    top->addLayout(cat::ButtonRow(Btn_Ok, {Btn_Exit}));

    E_Context->installEventFilter(this);
    connect(CB_Context, &QCheckBox::clicked, this, [this] { Guard([this] { CB_ContextClick(); }); });
    connect(Btn_Ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(Btn_Exit, &QPushButton::clicked, this, &QDialog::reject);
    GridFirma->setEditButton(Btn_Ok);
    Timer_Vibor = new QTimer(this);
    Timer_Vibor->setSingleShot(true);
    Timer_Vibor->setInterval(400);
    connect(Timer_Vibor, &QTimer::timeout, this, [this] { Guard([this] { Timer_ViborTimer(); }); });
    LocalFilter = 1;
    resize(460, 420);
    ScaleWindow(this, false);
}

void TForm_SelectFirma::AttachData()
{
    if (Q_Vibor)
        return;
    Q_Vibor = cat::NameList(this, GridFirma, QStringLiteral("Наименование"));
}

void TForm_SelectFirma::Timer_ViborTimer()
{
    Timer_Vibor->stop();
    CB_ContextClick();
}

void TForm_SelectFirma::Prepare(const QString& caption, int localFilter)
{
    setWindowTitle(caption);
    CB_Context->setChecked(false);
    CB_Context->setEnabled(true);
    E_Context->clear();
    cat::SetActive(E_Context, false);
    LocalFilter = localFilter;
    TableName = QStringLiteral("FIRMA");
    CB_ContextClick();
}

void TForm_SelectFirma::CB_ContextClick()
{
    AttachData();
    const bool context = CB_Context->isChecked();
    if (context) {
        cat::SetActive(E_Context, true);
    } else {
        E_Context->clear();
        cat::SetActive(E_Context, false);
    }
    structure::OpenFirmaPicker(Q_Vibor, TableName, LocalFilter, context, E_Context->text());
    GridFirma->viewport()->update();
}

void TForm_SelectFirma::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    GridFirma->viewport()->update();
}

bool TForm_SelectFirma::eventFilter(QObject* watched, QEvent* event)
{
    // The list follows the typing 400 ms after the last key.
    if (watched == E_Context) {
        if (event->type() == QEvent::KeyPress)
            Timer_Vibor->stop();
        else if (event->type() == QEvent::KeyRelease)
            Timer_Vibor->start();
    }
    return QDialog::eventFilter(watched, event);
}
