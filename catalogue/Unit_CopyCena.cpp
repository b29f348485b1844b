#include "Unit_CopyCena.h"

#include "CatalogueUi.h"
#include "Unit_SelectFirma.h"
#include "Unit_StructureBox.h"
#include "base/Unit_Base.h"
#include "costing/DepartmentRows.h"
#include "db/Query.h"
#include "engine/WriteRoad.h"
#include "ui/Scaling.h"
#include "ReportGauge.h"
#include "util/Messages.h"
#include "util/Unit_Util.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

FirstUse<TForm_CopyCena> Form_CopyCena;

namespace {

QString nameOf(const db::Query* q) { return cat::HasRow(q) ? q->field(QStringLiteral("NAME")).asString() : QString(); }

} // namespace

TForm_CopyCena::TForm_CopyCena(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Выбор предприятия, отдела и склада для копирования цен"));
    auto* top = new QVBoxLayout(this);
    Label1 = new QLabel(QStringLiteral("Эта процедура сменит складские цены, процент надбавки, метод расчёта\nпродажных цен "
                                       "и продажные цены в выбраном отделе или складе \nпредприятия выбранного в основном "
                                       "окне программы,  взяв за основу \nданные в выбранном Вами в этом окне "
                                       "подразделении (отделе)."),
                        this);
    top->addWidget(Label1);
    auto* grid = new QGridLayout;
    P_Firma = cat::CaptionPanel(this);
    P_Otdel = cat::CaptionPanel(this);
    Btn_Firma = new QPushButton(QStringLiteral("Выбрать"), this);
    Btn_Otdel = new QPushButton(QStringLiteral("Выбрать"), this);
    grid->addWidget(new QLabel(QStringLiteral("Предприятие"), this), 0, 0);
    grid->addWidget(P_Firma, 0, 1);
    grid->addWidget(Btn_Firma, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Подразделение (Отдел)"), this), 1, 0);
    grid->addWidget(P_Otdel, 1, 1);
    grid->addWidget(Btn_Otdel, 1, 2);
    grid->setColumnStretch(1, 1);
    top->addLayout(grid);
    CB_Zero = new QCheckBox(QStringLiteral("Смена цен и параметров расчёта только у продуктов с нулевыми ценами продажи"),
                            this);
    CB_Zero->setChecked(true);
    top->addWidget(CB_Zero);
    top->addStretch();
    Btn_Ok = new QPushButton(QStringLiteral("OK"), this);
    Btn_Exit = new QPushButton(QStringLiteral("Выход (отмена)"), this);
    top->addLayout(cat::ButtonRow(Btn_Ok, {Btn_Exit}));

    connect(Btn_Firma, &QPushButton::clicked, this, [this] { Guard([this] { Btn_FirmaClick(); }); });
    connect(Btn_Otdel, &QPushButton::clicked, this, [this] { Guard([this] { Btn_OtdelClick(); }); });
    connect(Btn_Ok, &QPushButton::clicked, this, [this] { Guard([this] { Btn_OkClick(); }); });
    connect(Btn_Exit, &QPushButton::clicked, this, &QDialog::reject);

    KodFirma = 0;
    KodOtdel = 0;
    resize(std::max(560, sizeHint().width()), sizeHint().height());
    ScaleWindow(this, false);
}

TForm_CopyCena::~TForm_CopyCena()
{
    if (Form_CopyCena.made() == this)
        Form_CopyCena = nullptr;
}

void TForm_CopyCena::Btn_FirmaClick()
{
    TForm_SelectFirma* p = Form_SelectFirma;
    p->Prepare(QStringLiteral("Выбор предприятия"), 1);
    const bool chosen = Msg::execModal(p) == QDialog::Accepted && cat::HasRow(p->Q_Vibor);
    if (chosen) {
        P_Firma->setText(nameOf(p->Q_Vibor));
        KodFirma = cat::KeyOf(p->Q_Vibor);
        KodOtdel = 0;
        P_Otdel->clear();
    }
    p->Q_Vibor->close();
}

void TForm_CopyCena::Btn_OtdelClick()
{
    if (KodFirma == 0) {
        Msg::notice(QStringLiteral("Не выбрано предприятие !"));
        return;
    }
    TForm_SelectFirma* p = Form_SelectFirma;
    p->AttachData();
    p->setWindowTitle(QStringLiteral("Выбор подразделения (Отдела)"));
    p->CB_Context->setChecked(false);
    p->CB_Context->setEnabled(false);
    p->E_Context->clear();
    cat::SetActive(p->E_Context, false);
    db::Query* q = p->Q_Vibor;
    q->close();
    q->setSql(QStringLiteral("SELECT KOD, NAME FROM OTDEL WHERE KOD_FIRMA = ") + Key(KodFirma) +
              QStringLiteral(" ORDER BY NAME"));
    q->open();
    if (Msg::execModal(p) == QDialog::Accepted && cat::HasRow(q)) {
        P_Otdel->setText(nameOf(q));
        KodOtdel = cat::KeyOf(q);
    }
    q->close();
    p->CB_Context->setEnabled(true);
}

void TForm_CopyCena::Btn_OkClick()
{
    if (KodOtdel == 0) {
        Msg::notice(QStringLiteral("Не выбрано подразделение (отдел)"));
        return;
    }
    const QString from = QStringLiteral(" >>   цены продуктов отдела   << ") + P_Otdel->text() +
                         QStringLiteral(" >>   предприятия   << ") + P_Firma->text() + QStringLiteral(" >>  ?");
    const QString target = Tag == 2 ? QStringLiteral("Вы действительно желаете присвоить продуктам склада   << ") +
                                          nameOf(StructureBox->Q_Sklad) + QStringLiteral(" >>   отдела   << ") +
                                          nameOf(StructureBox->Q_Otdel) + QStringLiteral(" >>   предприятия   << ") +
                                          nameOf(StructureBox->Q_Firma)
                                    : QStringLiteral("Вы действительно желаете присвоить продуктам отдела   << ") +
                                          nameOf(StructureBox->Q_Otdel) + QStringLiteral(" >>   предприятия <<") +
                                          nameOf(StructureBox->Q_Firma);
    if (Msg::confirmDestructive(target + from, QStringLiteral("Замена цен"))) {
        costing::PriceCopy copy;
        copy.sourceOtdel = KodOtdel;
        copy.targetOtdel = cat::KeyOf(StructureBox->Q_Otdel);
        copy.targetSklad = Tag == 2 ? cat::KeyOf(StructureBox->Q_Sklad) : 0;
        copy.onlyZero = CB_Zero->isChecked();
        const reports::Progress progress = printing::GaugeProgress();
        reports::ProgressShown gauge(progress, 1);
        WriteTransaction w(costing::kRoad);
        costing::CopyPrices(w.context(), copy, progress);
        w.commit();
    }
    accept();
}
