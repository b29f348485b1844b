#include "Unit_DocInv.h"

#include "CatalogueUi.h"
#include "Unit_SelectFirma.h"
#include "base/Unit_Base.h"
#include "db/Query.h"
#include "ui/InputDialogs.h"
#include "ui/Scaling.h"
#include "util/Clock.h"
#include "util/Globals.h"
#include "util/Messages.h"
#include "util/Settings.h"
#include "engine/EngineDb.h"
#include "engine/DocumentClaim.h"
#include "inventory/Inventory.h"
#include "engine/WriteRoad.h"
#include "util/Unit_Util.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

FirstUse<TForm_DocInv> Form_DocInv;

namespace {

QHBoxLayout* pickRow(QWidget* parent, QLineEdit*& text, QPushButton*& button, const QString& name)
{
    auto* row = new QHBoxLayout;
    text = new QLineEdit(parent);
    text->setReadOnly(true);
    cat::ShowNamesFromStart(text);
    text->setAccessibleName(name);
    text->setMinimumWidth(text->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 36);
    button = new QPushButton(QStringLiteral("Выбор"), parent);
    button->setAccessibleName(name + QStringLiteral(": выбор"));
    row->addWidget(text, 1);
    row->addWidget(button);
    return row;
}

// Shows the shared picker on a list of the caller's; on OK the chosen key and name.
bool pickFromList(const QString& caption, const QString& sql, qint64& kod, QString& name)
{
    TForm_SelectFirma* p = Form_SelectFirma;
    p->AttachData();
    p->setWindowTitle(caption);
    p->CB_Context->setChecked(false);
    p->CB_Context->setEnabled(false);
    p->E_Context->clear();
    cat::SetActive(p->E_Context, false);
    Form_Base->OpenRead(p->Q_Vibor, sql);
    const bool ok = Msg::execModal(p) == QDialog::Accepted && !p->Q_Vibor->isEmpty();
    if (ok) {
        kod = p->Q_Vibor->field(QStringLiteral("KOD")).asInt64();
        name = p->Q_Vibor->field(QStringLiteral("NAME")).asString();
    }
    p->Q_Vibor->close();
    return ok;
}

} // namespace

TForm_DocInv::TForm_DocInv(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setWindowTitle(QStringLiteral("Документ инвентаризации"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Предприятие"), pickRow(this, P_NameFirma, Btn_Firma, QStringLiteral("Предприятие")));
    form->addRow(QStringLiteral("Подразделение (Отдел)"),
                 pickRow(this, P_NameOtdel, Btn_Otdel, QStringLiteral("Подразделение (Отдел)")));
    auto* skladRow = pickRow(this, P_NameSklad, Btn_Sklad, QStringLiteral("Склад"));
    CB_AllSklads = new QCheckBox(QStringLiteral("Все склады"), this);
    skladRow->addWidget(CB_AllSklads);
    form->addRow(QStringLiteral("Склад"), skladRow);
    E_Name = new QLineEdit(this);
    E_Name->setMaxLength(200);
    E_Name->setAccessibleName(QStringLiteral("Наименование документа"));
    form->addRow(QStringLiteral("Наименование документа"), E_Name);
    DateTimePicker1 = new QDateEdit(this);
    DateTimePicker1->setCalendarPopup(true);
    DateTimePicker1->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    DateTimePicker1->setAccessibleName(QStringLiteral("Дата документа"));
    form->addRow(QStringLiteral("Дата документа"), DateTimePicker1);
    DateTimePicker2 = new QTimeEdit(this);
    DateTimePicker2->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    DateTimePicker2->setAccessibleName(QStringLiteral("Время документа"));
    form->addRow(QStringLiteral("Время документа"), DateTimePicker2);
    layout->addLayout(form);
    layout->addSpacing(6);
    const InputButtons buttons = AddInputButtons(this, layout, true);
    Btn_Ok = buttons.ok;
    Btn_Exit = buttons.cancel;
    Btn_Exit->setText(QStringLiteral("Выход"));
    BitBtn1 = buttons.hiddenOk;

    connect(Btn_Firma, &QPushButton::clicked, this, [this] { Guard([this] { Btn_FirmaClick(); }); });
    connect(Btn_Otdel, &QPushButton::clicked, this, [this] { Guard([this] { Btn_OtdelClick(); }); });
    connect(Btn_Sklad, &QPushButton::clicked, this, [this] { Guard([this] { Btn_SkladClick(); }); });
    connect(CB_AllSklads, &QCheckBox::toggled, this, [this] { CB_AllSkladsClick(); });
    connect(Btn_Ok, &QPushButton::clicked, this, [this] { Guard([this] { Btn_OkClick(); }); });
    FormCreate();
}

TForm_DocInv::~TForm_DocInv()
{
    if (Form_DocInv.made() == this)
        Form_DocInv = nullptr;
}

void TForm_DocInv::FormCreate()
{
    NewDoc = false;
    adjustSize();
    ScaleWindow(this, false);
}

void TForm_DocInv::PrepareNew(qint64 firma, const QString& firmaName, qint64 otdel, const QString& otdelName)
{
    NewDoc = true;
    KodDoc = 0;
    Shown = {};
    KodFirma = firma;
    P_NameFirma->setText(firmaName);
    KodOtdel = otdel;
    P_NameOtdel->setText(otdelName);
    CB_AllSklads->setChecked(true);
    CB_AllSkladsClick();
    DateTimePicker1->setDate(Clock::today());
    DateTimePicker2->setTime(Clock::now().time());
    E_Name->setText(QStringLiteral("Инвентаризация"));
}

void TForm_DocInv::LoadDoc(const db::Query& doc)
{
    NewDoc = false;
    const db::Query* d = &doc;
    KodDoc = d->field(QStringLiteral("KOD")).asInt64();
    ShownName = d->field(QStringLiteral("NAME")).asString();
    Shown = engine::ShownRow::of(doc, QStringLiteral("DOCS"), ShownName,
                                 {{QStringLiteral("NAME"), QStringLiteral("наименование документа")},
                                  {QStringLiteral("DATE_DOC"), QStringLiteral("дата документа")},
                                  {QStringLiteral("TIME_DOC"), QStringLiteral("время документа")},
                                  {QStringLiteral("KOD_PARTNER_EXPORT"), QStringLiteral("предприятие")},
                                  {QStringLiteral("INT_PARAM1"), QStringLiteral("подразделение (отдел)")},
                                  {QStringLiteral("INT_PARAM2"), QStringLiteral("склад")}});
    KodFirma = d->field(QStringLiteral("KOD_PARTNER_EXPORT")).asInt64();
    P_NameFirma->setText(d->field(QStringLiteral("NAME_1")).asString());
    KodOtdel = d->field(QStringLiteral("INT_PARAM1")).asInt64();
    P_NameOtdel->setText(d->field(QStringLiteral("NAME_2")).asString());
    const qint64 sklad = d->field(QStringLiteral("INT_PARAM2")).asInt64();
    CB_AllSklads->setChecked(sklad == 0);
    CB_AllSkladsClick();
    KodSklad = sklad;
    if (sklad != 0)
        P_NameSklad->setText(d->field(QStringLiteral("NAME_3")).asString());
    E_Name->setText(d->field(QStringLiteral("NAME")).asString());
    DateTimePicker1->setDate(d->field(QStringLiteral("DATE_DOC")).asDate());
    DateTimePicker2->setTime(d->field(QStringLiteral("TIME_DOC")).asTime());
}

void TForm_DocInv::Btn_FirmaClick()
{
    TForm_SelectFirma* p = Form_SelectFirma;
    p->Prepare(QStringLiteral("Выбор предприятия"), 1);
    if (Msg::execModal(p) == QDialog::Accepted && !p->Q_Vibor->isEmpty()) {
        KodFirma = p->Q_Vibor->field(QStringLiteral("KOD")).asInt64();
        P_NameFirma->setText(p->Q_Vibor->field(QStringLiteral("NAME")).asString());
        p->Q_Vibor->close();
        KodOtdel = 0;
        P_NameOtdel->clear();
        CB_AllSklads->setChecked(true);
        CB_AllSkladsClick();
        return;
    }
    p->Q_Vibor->close();
}

void TForm_DocInv::Btn_OtdelClick()
{
    if (KodFirma == 0) {
        Msg::notice(QStringLiteral("Не выбрано предприятие !"));
        return;
    }
    QString name;
    if (pickFromList(QStringLiteral("Выбор подразделения (Отдела)"),
                     QStringLiteral("SELECT KOD, NAME FROM OTDEL WHERE KOD_FIRMA = ") + Key(KodFirma) +
                         QStringLiteral(" ORDER BY NAME"),
                     KodOtdel, name)) {
        P_NameOtdel->setText(name);
        CB_AllSklads->setChecked(true);
        CB_AllSkladsClick();
    }
}

void TForm_DocInv::Btn_SkladClick()
{
    if (KodOtdel == 0) {
        Msg::notice(QStringLiteral("Не выбрано подразделение (отдел) !"));
        return;
    }
    QString name;
    if (pickFromList(QStringLiteral("Выбор склада"),
                     QStringLiteral("SELECT KOD, NAME FROM SKLAD WHERE KOD_OTDEL = ") + Key(KodOtdel) +
                         QStringLiteral(" ORDER BY NAME"),
                     KodSklad, name))
        P_NameSklad->setText(name);
}

void TForm_DocInv::CB_AllSkladsClick()
{
    KodSklad = 0;
    if (CB_AllSklads->isChecked()) {
        P_NameSklad->setText(QStringLiteral("Все склады"));
        Btn_Sklad->setEnabled(false);
    } else {
        P_NameSklad->clear();
        Btn_Sklad->setEnabled(true);
    }
}

void TForm_DocInv::Btn_OkClick()
{
    const QDate lock = MyParams->v.MyDateDocEdit;
    if (MyParams->v.DateDocEdit && lock.isValid() && DateTimePicker1->date() < lock) {
        Msg::notice(QStringLiteral("Администратор установил запрет на создание и корректировку документов ранше даты: ") +
                    lock.toString(QStringLiteral("dd.MM.yyyy")));
        DateTimePicker1->setFocus();
        return;
    }
    if (!NewDoc && !Msg::confirmDestructive(QStringLiteral("Будет обновлена табличная часть документа в соответствии с "
                                                           "изменениями внесёнными в документ. Продолжать ?"),
                                            QStringLiteral("Изменение шапки документа инвентаризации")))
        return;
    if (KodFirma == 0) {
        Msg::notice(QStringLiteral("Не выбрано предприятие !"));
        Btn_Firma->setFocus();
        return;
    }
    if (KodOtdel == 0) {
        Msg::notice(QStringLiteral("Не выбрано подразделение (отдел) !"));
        Btn_Otdel->setFocus();
        return;
    }
    if (!CB_AllSklads->isChecked() && KodSklad == 0) {
        Msg::notice(QStringLiteral("Не выбран склад !"));
        Btn_Sklad->setFocus();
        return;
    }
    if (E_Name->text().isEmpty()) {
        Msg::notice(QStringLiteral("Нет наименования документа !"));
        E_Name->setFocus();
        return;
    }
    R_Record r(QStringLiteral("DOCS"), NewDoc ? 0 : KodDoc);
    r.addString(QStringLiteral("NAME"), E_Name->text())
        .addDate(QStringLiteral("DATE_DOC"), DateTimePicker1->date())
        .addInt(QStringLiteral("DOC_TYPE"), 1)
        .addInt(QStringLiteral("KOD_PARTNER_EXPORT"), KodFirma)
        .addInt(QStringLiteral("KOD_PARTNER_IMPORT"), KodFirma)
        .addInt(QStringLiteral("INT_PARAM1"), KodOtdel)
        .addInt(QStringLiteral("INT_PARAM2"), CB_AllSklads->isChecked() ? 0 : KodSklad)
        .addTime(QStringLiteral("TIME_DOC"), DateTimePicker2->time())
        .addInt(QStringLiteral("EDIT_CENA"), 2);
    WriteTransaction w(inventory::kRoad);
    if (NewDoc)
        inventory::RefuseNewWhileUnposted(w.context());
    KodDoc = engine::NamingDocument(E_Name->text(), [&] {
        return engine::SaveDocumentHeader(w.context(), r, Shown,
                                          QStringLiteral("Нельзя вносить изменения в проведённые акты инвентаризации !"));
    });
    if (!NewDoc) {
        // The new header's lines are filled anew: the old ones go with the
        // header's change, or neither does.
        inventory::ClearLines(w.context(), KodDoc);
        engine::WriteLogLine(w.context(), QStringLiteral("Инвентаризация"),
                             QStringLiteral("Очищена табличная часть документа № ") + ShownName);
    }
    w.commit(QStringLiteral("Инвентаризация"), (NewDoc ? QStringLiteral("Создан документ инвентаризации № ")
                                                        : QStringLiteral("Изменён документ инвентаризации № ")) +
                                                   E_Name->text());
    BitBtn1->click();
}
