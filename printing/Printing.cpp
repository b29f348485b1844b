#include "Printing.h"

#include "automation/ProgramOffice.h"

#include "base/Unit_Base.h"
#include "grid/DatasetModel.h"
#include "ui/Scaling.h"
#include "util/Messages.h"
#include "util/Settings.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QVBoxLayout>

TForm_Print* Form_Print = nullptr;
TForm_DesignMenu* Form_DesignMenu = nullptr;
TForm_Svod* Form_Svod = nullptr;
TForm_PrintKarta* Form_PrintKarta = nullptr;
TForm_PrintOstatki* Form_PrintOstatki = nullptr;
TForm_Limit* Form_Limit = nullptr;
TForm_PrtDvig* Form_PrtDvig = nullptr;
TForm_PrintReal* Form_PrintReal = nullptr;


TForm_Print::TForm_Print(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Настройка шаблонов печати"));
    Timer_Open_Forms = new QTimer(this);
    Timer_Open_Forms->setSingleShot(true);
    Timer_Open_Forms->setInterval(400);
    Timer_Open_Var = new QTimer(this);
    Timer_Open_Var->setSingleShot(true);
    Timer_Open_Var->setInterval(400);
    auto* lay = new QVBoxLayout(this);
    GridForms = new db::DbGrid(this);
    GridVar = new db::DbGrid(this);
    GroupBox1 = new QGroupBox(QStringLiteral("Шаблон"), this);
    GroupBox2 = new QGroupBox(QStringLiteral("Переменная"), this);
    BtnSave = new QPushButton(QStringLiteral("Сохранить"), this);
    BtnDelete = new QPushButton(QStringLiteral("Удалить"), this);
    Enabled_Var = new QLabel(this);
    lay->addWidget(new QLabel(printing::NotBuiltText(), this));
    for (QWidget* w : {static_cast<QWidget*>(GridForms), static_cast<QWidget*>(GridVar), static_cast<QWidget*>(GroupBox1),
                       static_cast<QWidget*>(GroupBox2), static_cast<QWidget*>(Enabled_Var)})
        w->hide();
    auto* box = new QDialogButtonBox(QDialogButtonBox::Close, this);
    box->button(QDialogButtonBox::Close)->setText(QStringLiteral("Закрыть"));
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    BtnSave->hide();
    BtnDelete->hide();
    lay->addWidget(box);
}

int TForm_Print::exec()
{
    printing::OfficeConnect();
    Msg::notice(printing::NotBuiltText(), QStringLiteral("Настройка шаблонов печати"));
    return QDialog::Rejected;
}

void TForm_Print::BtnSaveClick()
{
    if (Form_Base)
        Form_Base->PrintSaving = 0;
    Modified = false;
}

void TForm_Print::HE() { Modified = false; }
void TForm_Print::Zap_Forma() {}
void TForm_Print::Zap_Var() {}

TForm_DesignMenu::TForm_DesignMenu(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Прямая печать меню"));
    auto* lay = new QFormLayout(this);
    M_Z = new QPlainTextEdit(this);
    M_E = new QPlainTextEdit(this);
    E_T = new QLineEdit(this);
    lay->addRow(QStringLiteral("Заголовок меню:"), M_Z);
    lay->addRow(QStringLiteral("Шапка таблицы:"), E_T);
    lay->addRow(QStringLiteral("Окончание меню:"), M_E);
    if (MyParams) {
        // The texts follow the settings the loader fills.
        auto load = [this] {
            M_Z->setPlainText(MyParams->v.DisMenuHead);
            M_E->setPlainText(MyParams->v.DisMenuTail);
            E_T->setText(MyParams->v.DisMenuTab);
        };
        connect(MyParams, &TSettings::changed, this, [load](const QString& key) {
            if (key.startsWith(QStringLiteral("DisMenu")))
                load();
        });
        load();
    }
}

TForm_Svod::TForm_Svod(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Ведомость производства и реализации"));
    auto* lay = new QVBoxLayout(this);
    CB_PrintForGroup = new QCheckBox(QStringLiteral("Группировать блюда по группам продуктов"), this);
    lay->addWidget(CB_PrintForGroup);
    if (MyParams) {
        connect(MyParams, &TSettings::changed, this, [this](const QString& key) {
            if (key == QStringLiteral("PrintForGroup"))
                CB_PrintForGroup->setChecked(MyParams->v.PrintForGroup);
        });
        CB_PrintForGroup->setChecked(MyParams->v.PrintForGroup);
    }
}

TPrintStubDialog::TPrintStubDialog(const QString& caption, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(caption);
    auto* lay = new QVBoxLayout(this);
    lay->addWidget(new QLabel(printing::NotBuiltText(), this));
}

int TPrintStubDialog::exec()
{
    Msg::notice(printing::NotBuiltText(), windowTitle());
    return QDialog::Rejected;
}

TForm_PrintKarta::TForm_PrintKarta(QWidget* parent)
    : TPrintStubDialog(QStringLiteral("Печать калькуляционной карты"), parent)
{
}

TForm_PrintOstatki::TForm_PrintOstatki(QWidget* parent) : TPrintStubDialog(QStringLiteral("Печать остатков"), parent)
{
    CB_Sum = new QCheckBox(this);
    RG = new QRadioButton(this);
    CB_Minus = new QCheckBox(this);
    CB_Zero = new QCheckBox(this);
    CB_Plus = new QCheckBox(this);
    CB_OpenClose = new QCheckBox(this);
    for (QWidget* w : {static_cast<QWidget*>(CB_Sum), static_cast<QWidget*>(RG), static_cast<QWidget*>(CB_Minus),
                       static_cast<QWidget*>(CB_Zero), static_cast<QWidget*>(CB_Plus), static_cast<QWidget*>(CB_OpenClose)})
        w->hide();
}

TForm_Limit::TForm_Limit(QWidget* parent) : TPrintStubDialog(QStringLiteral("Лимиты"), parent) {}

TForm_PrtDvig::TForm_PrtDvig(QWidget* parent) : TPrintStubDialog(QStringLiteral("Печать"), parent) {}

TForm_PrintReal::TForm_PrintReal(QWidget* parent)
    : TPrintStubDialog(QStringLiteral("Печать документов реализации"), parent)
{
}

void CreatePrintingWindows()
{
    Form_Print = new TForm_Print;
    Form_PrtDvig = new TForm_PrtDvig;
    Form_PrintKarta = new TForm_PrintKarta;
    Form_PrintReal = new TForm_PrintReal;
    Form_PrintOstatki = new TForm_PrintOstatki;
    Form_Svod = new TForm_Svod;
    Form_DesignMenu = new TForm_DesignMenu;
    Form_Limit = new TForm_Limit;
}

void DestroyPrintingWindows()
{
    // The office connection goes while the program still runs; the office
    // and the documents shown in it stay with the user.
    automation::SetProgramOffice(nullptr);
    delete Form_Print;
    Form_Print = nullptr;
    delete Form_PrtDvig;
    Form_PrtDvig = nullptr;
    delete Form_PrintKarta;
    Form_PrintKarta = nullptr;
    delete Form_PrintReal;
    Form_PrintReal = nullptr;
    delete Form_PrintOstatki;
    Form_PrintOstatki = nullptr;
    delete Form_Svod;
    Form_Svod = nullptr;
    delete Form_DesignMenu;
    Form_DesignMenu = nullptr;
    delete Form_Limit;
    Form_Limit = nullptr;
}
