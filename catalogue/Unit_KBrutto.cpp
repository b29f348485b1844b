#include "Unit_KBrutto.h"

#include "CatalogueUi.h"
#include "ui/Keypad.h"
#include "ui/Scaling.h"
#include "util/Messages.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

FirstUse<TForm_KBrutto> Form_KBrutto;

TForm_KBrutto::TForm_KBrutto(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setWindowTitle(QStringLiteral("Расчёт \"Коэффициента БРУТТО\""));
    auto* lay = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    E_Netto = new QLineEdit(this);
    E_Brutto = new QLineEdit(this);
    form->addRow(QStringLiteral("Нетто продукта"), E_Netto);
    form->addRow(QStringLiteral("Брутто продукта"), E_Brutto);
    lay->addLayout(form);
    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn2 = new QPushButton(QStringLiteral("Отмена"), this);
    BitBtn3 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn3->hide();
    BitBtn1->setDefault(true);
    BitBtn2->setAutoDefault(false);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(BitBtn1);
    row->addWidget(BitBtn2);
    lay->addLayout(row);
    connect(BitBtn1, &QPushButton::clicked, this, &TForm_KBrutto::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    connect(BitBtn3, &QPushButton::clicked, this, &QDialog::accept);
    E_Netto->installEventFilter(this);
    E_Brutto->installEventFilter(this);
    setMinimumWidth(fontMetrics().horizontalAdvance(windowTitle()) + 120);
    adjustSize();
    ScaleWindow(this, false);
}

TForm_KBrutto::~TForm_KBrutto()
{
    if (Form_KBrutto.made() == this)
        Form_KBrutto = nullptr;
}

bool TForm_KBrutto::AcceptsKey(const QString& current, const QString& typed)
{
    if (typed.size() != 1)
        return typed.isEmpty();
    const QChar c = typed.front();
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
        return true;
    return c == TKeypad::DecimalSeparator() && !current.contains(c);
}

bool TForm_KBrutto::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && (watched == E_Netto || watched == E_Brutto)) {
        auto* ke = static_cast<QKeyEvent*>(event);
        const QString typed = ke->text();
        // Keys that type nothing (arrows, Backspace, Delete, Enter) pass.
        if (!typed.isEmpty() && typed.front().isPrint() &&
            !AcceptsKey(static_cast<QLineEdit*>(watched)->text(), typed))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TForm_KBrutto::BitBtn1Click()
{
    // A weight of 0 is no weight: the coefficient would divide by it.
    const auto empty = [](QLineEdit* e) {
        bool ok = false;
        const double v = cat::ParseDecimal(e->text(), &ok);
        return !ok || v <= 0;
    };
    if (empty(E_Brutto))
        return cat::Refuse(QStringLiteral("Нет веса брутто !"), E_Brutto);
    if (empty(E_Netto))
        return cat::Refuse(QStringLiteral("Нет веса нетто !"), E_Netto);
    BitBtn3->click();
}

bool TForm_KBrutto::Execute(double& brutto, double& netto)
{
    if (!Form_KBrutto)
        Form_KBrutto = new TForm_KBrutto;
    TForm_KBrutto* f = Form_KBrutto;
    f->E_Netto->clear();
    f->E_Brutto->clear();
    if (Msg::execModal(f) != QDialog::Accepted)
        return false;
    brutto = cat::ParseDecimal(f->E_Brutto->text());
    netto = cat::ParseDecimal(f->E_Netto->text());
    return true;
}
