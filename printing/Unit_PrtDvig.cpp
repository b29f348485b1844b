#include "Unit_PrtDvig.h"

#include "ReportGauge.h"
#include "entries/PrtDvig.h"

#include "ProgramOffice.h"
#include "engine/Context.h"
#include "exchange/Obmen.h"
#include "reports/Waybill.h"
#include "ui/InputDialogs.h"
#include "ui/Scaling.h"
#include "ui/Unit_Alarm.h"
#include "util/Messages.h"
#include "util/Unit_Util.h"

#include <QButtonGroup>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

TForm_PrtDvig* Form_PrtDvig = nullptr;

std::function<QString(QWidget*)> TForm_PrtDvig::SaveDialog1 = [](QWidget* parent) {
    QFileDialog d(parent, QString(), QString(), QStringLiteral("DBF (*.dbf)"));
    d.setAcceptMode(QFileDialog::AcceptSave);
    d.setDefaultSuffix(QStringLiteral("dbf"));
    d.selectFile(QStringLiteral("obmen.dbf"));
    d.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty())
        return QString();
    return d.selectedFiles().first();
};

TForm_PrtDvig::TForm_PrtDvig(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form_PrtDvig"));
    setWindowTitle(QStringLiteral("Печать"));
    auto* lay = new QVBoxLayout(this);
    RG = new QGroupBox(QStringLiteral("Выбор формы печати"), this);
    RG_Group = new QButtonGroup(this);
    auto* rgLay = new QVBoxLayout(RG);
    const QString items[3] = {QStringLiteral("Документ движения"), QStringLiteral("Оборотная ведомость"),
                              QStringLiteral("Статистика")};
    for (int i = 0; i < 3; ++i) {
        RG_Items[i] = new QRadioButton(items[i], RG);
        RG_Group->addButton(RG_Items[i], i);
        rgLay->addWidget(RG_Items[i]);
    }
    RG_Items[0]->setChecked(true);
    lay->addWidget(RG);
    CB_Export = new QCheckBox(QStringLiteral("Экспорт в DBF (для 1С)"), this);
    lay->addWidget(CB_Export);
    const OkCancelRow buttons = AddOkCancelRow(this, lay);
    BitBtn1 = buttons.ok;
    BitBtn2 = buttons.cancel;

    connect(RG_Group, &QButtonGroup::idClicked, this, [this](int) { RGClick(); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] {
        Guard([this] { BitBtn1Click(); });
        accept();  // closes with OK whatever the dispatch did
    });
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

int TForm_PrtDvig::itemIndex() const { return RG_Group->checkedId(); }

void TForm_PrtDvig::setItemIndex(int item)
{
    if (item >= 0 && item < 3)
        RG_Items[item]->setChecked(true);
    RGClick();
}

void TForm_PrtDvig::showEvent(QShowEvent* e)
{
    FormShow();
    QDialog::showEvent(e);
}

void TForm_PrtDvig::FormShow()
{
    CB_Export->setChecked(false);
    ObmenPath.clear();
}

void TForm_PrtDvig::RGClick()
{
    if (itemIndex() == 2) {
        CB_Export->setChecked(false);
        CB_Export->setEnabled(false);
    } else {
        CB_Export->setEnabled(true);
    }
}

void TForm_PrtDvig::PrepareObmenDbf()
{
    ObmenPath.clear();
    const QString path = SaveDialog1(this);
    if (path.isEmpty()) {
        CB_Export->setChecked(false);
        return;
    }
    exchange::obmen::CreateTable(path);
    ObmenPath = path;
}

void TForm_PrtDvig::BitBtn1Click()
{
    ObmenPath.clear();
    switch (itemIndex()) {
    case 0:
        if (document == 0) {
            Msg::notice(QStringLiteral("Не выбран документ движения !"));
            return;
        }
        if (documentType == 1) {
            Msg::notice(QStringLiteral("Ведомость инвнтаризации печатается в окне \"Продукты и блюда => Наличие на "
                                       "складах и цены => Инвентаризация\""));
            return;
        }
        if (CB_Export->isChecked())
            PrepareObmenDbf();
        printing::Prt_DocMove(document, CB_Export->isChecked() ? ObmenPath : QString());
        break;
    case 1: {
        const bool exportAsked = CB_Export->isChecked();
        if (exportAsked)
            PrepareObmenDbf();
        printing::ShowOborotka(ObmenPath, exportAsked);
        break;
    }
    default:
        printing::ShowStat();
        break;
    }
}

namespace printing {

TForm_PrtDvig* PrtDvigForm()
{
    if (!Form_PrtDvig) {
        Form_PrtDvig = new TForm_PrtDvig;
        Form_PrtDvig->resize(Form_PrtDvig->sizeHint());
        ScaleWindow(Form_PrtDvig, false);
    }
    return Form_PrtDvig;
}

void ShowPrtDvig(qint64 doc, int docType)
{
    TForm_PrtDvig* f = PrtDvigForm();
    f->document = doc;
    f->documentType = docType;
    Msg::execModal(f);
}

void Prt_DocMove(qint64 doc, const QString& obmenPath)
{
    const engine::Context ctx = engine::ProgramContext();
    std::unique_ptr<exchange::obmen::Export> exchange;
    if (!obmenPath.isEmpty())
        exchange = std::make_unique<exchange::obmen::Export>(ctx, obmenPath);
    RunProgramReport(reports::waybill::Build(ctx, {doc}, exchange.get()));
    if (!exchange)
        return;
    exchange->close();
    if (exchange->missingCodes()) {
        if (Form_Alarm) {
            Form_Alarm->Memo1->setPlainText(exchange->warningText());
            Msg::execModal(Form_Alarm);
        } else {
            Msg::warning(exchange->warningText());
        }
    }
}

} // namespace printing
