#include "Unit_DocReal.h"

#include "CatalogueUi.h"
#include "MovementDb.h"
#include "RealDocs.h"
#include "Unit_SelectFirma.h"
#include "Unit_SelectMenu.h"
#include "base/Unit_Base.h"
#include "db/Query.h"
#include "engine/DocumentClaim.h"
#include "engine/WriteRoad.h"
#include "ui/RadioGroup.h"
#include "ui/Scaling.h"
#include "util/Clock.h"
#include "util/Messages.h"
#include "util/Settings.h"
#include "util/Unit_Util.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>
#include <QVBoxLayout>

FirstUse<TForm_DocReal> Form_DocReal;

namespace {

const QString kArea = QStringLiteral("Производство и реализация");

QLineEdit* shownName(QWidget* parent)
{
    auto* e = new QLineEdit(parent);
    e->setReadOnly(true);
    cat::ShowNamesFromStart(e);
    e->setMinimumWidth(320);
    return e;
}

} // namespace

TForm_DocReal::TForm_DocReal(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Документ реализации/производства"));
    auto* top = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    Date_Doc = new QDateEdit(this);
    Date_Doc->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    Date_Doc->setCalendarPopup(true);
    Time_Doc = new QTimeEdit(this);
    Time_Doc->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    E_Name = new QLineEdit(this);
    E_Name->setMaxLength(200);
    auto* head = new QHBoxLayout;
    head->addWidget(new QLabel(QStringLiteral("Дата"), this));
    head->addWidget(Date_Doc);
    head->addWidget(new QLabel(QStringLiteral("Время"), this));
    head->addWidget(Time_Doc);
    head->addWidget(new QLabel(QStringLiteral("№ документа"), this));
    head->addWidget(E_Name, 1);
    top->addLayout(head);

    E_Firma = shownName(this);
    Btn_SelectFirma = new QPushButton(QStringLiteral("Выбор"), this);
    E_Menu = shownName(this);
    Btn_SelectMenu = new QPushButton(QStringLiteral("Выбор"), this);
    grid->addWidget(new QLabel(QStringLiteral("Предприятие"), this), 0, 0);
    grid->addWidget(E_Firma, 0, 1);
    grid->addWidget(Btn_SelectFirma, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Используемое меню / наряд"), this), 1, 0);
    grid->addWidget(E_Menu, 1, 1);
    grid->addWidget(Btn_SelectMenu, 1, 2);
    grid->setColumnStretch(1, 1);
    top->addLayout(grid);

    auto* kinds = new QHBoxLayout;
    RG_TypeDoc = new TRadioGroup(QStringLiteral("Тип документа"),
                                 {QStringLiteral("Производство"), QStringLiteral("Реализация")}, this);
    RG_TypeDoc->setItemIndex(1);
    RG_PF = new TRadioGroup(QStringLiteral("При проводке документа списываем :"),
                            {QStringLiteral("Ингредиенты"), QStringLiteral("Готовые продукты"),
                             QStringLiteral("Готовые продукты и ПФ с допроизводством"),
                             QStringLiteral("Готовые продукты и ПФ без допроизводства")},
                            this);
    RG_PF->setItemIndex(0);
    kinds->addWidget(RG_TypeDoc);
    kinds->addWidget(RG_PF, 1);
    top->addLayout(kinds);

    Btn_Ok = new QPushButton(QStringLiteral("OK"), this);
    Btn_Cancel = new QPushButton(QStringLiteral("Отмена"), this);
    Btn_Ok->setDefault(true);
    top->addLayout(cat::ButtonRow(Btn_Ok, {Btn_Cancel}));

    connect(RG_TypeDoc, &TRadioGroup::clicked, this, [this] { Guard([this] { RG_TypeDocClick(); }); });
    connect(RG_PF, &TRadioGroup::clicked, this, [this] { Guard([this] { RG_PFClick(); }); });
    connect(Btn_SelectFirma, &QPushButton::clicked, this, [this] { Guard([this] { Btn_SelectFirmaClick(); }); });
    connect(Btn_SelectMenu, &QPushButton::clicked, this, [this] { Guard([this] { Btn_SelectMenuClick(); }); });
    connect(Btn_Ok, &QPushButton::clicked, this, [this] { Guard([this] { Btn_OkClick(); }); });
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);

    IsNewDoc = false;
    adjustSize();
    ScaleWindow(this, false);
}

TForm_DocReal::~TForm_DocReal()
{
    if (Form_DocReal.made() == this)
        Form_DocReal = nullptr;
}

void TForm_DocReal::PrepareNew(qint64 firma, const QString& firmaName)
{
    KodFirma = firma;
    KodMenu = 0;
    DocKod = 0;
    Shown = {};
    E_Firma->setText(firma ? firmaName : QString());
    E_Menu->clear();
    E_Name->clear();
    Date_Doc->setDate(Clock::today());
    Time_Doc->setTime(Clock::timeOfDay());
    RG_PF->setItemIndex(0);
    IsNewDoc = true;
}

void TForm_DocReal::PrepareEdit(const db::Query& doc)
{
    auto intOf = [&doc](const char* name) -> qint64 {
        const db::Field f = doc.field(QString::fromLatin1(name));
        return f.isNull() ? 0 : f.asInt64();
    };
    DocKod = intOf("KOD");
    Shown = engine::ShownRow::of(doc, QStringLiteral("DOCS"), doc.field(QStringLiteral("NAME")).asString(),
                                 {{QStringLiteral("NAME"), QStringLiteral("№ документа")},
                                  {QStringLiteral("DATE_DOC"), QStringLiteral("дата")},
                                  {QStringLiteral("TIME_DOC"), QStringLiteral("время")},
                                  {QStringLiteral("DOC_TYPE"), QStringLiteral("тип документа")},
                                  {QStringLiteral("KOD_PARTNER_EXPORT"), QStringLiteral("предприятие")},
                                  {QStringLiteral("P"), QStringLiteral("что списываем при проводке")}});
    KodFirma = intOf("KOD_PARTNER_EXPORT");
    E_Firma->setText(doc.field(QStringLiteral("NAME_F")).asString());
    KodMenu = 0;
    E_Menu->clear();
    E_Name->setText(doc.field(QStringLiteral("NAME")).asString());
    Date_Doc->setDate(doc.field(QStringLiteral("DATE_DOC")).asDate());
    Time_Doc->setTime(doc.field(QStringLiteral("TIME_DOC")).asTime());
    RG_TypeDoc->setItemIndex(intOf("DOC_TYPE") == 7 ? 0 : 1);
    RG_PF->setItemIndex(static_cast<int>(intOf("P")));
    IsNewDoc = false;
}

void TForm_DocReal::RG_TypeDocClick()
{
    if (RG_TypeDoc->itemIndex() == 0)
        RG_PF->setItemIndex(0);
}

void TForm_DocReal::RG_PFClick()
{
    if (RG_PF->itemIndex() == 1 && RG_TypeDoc->itemIndex() == 0) {
        RG_PF->setItemIndex(0);
        Msg::notice(QStringLiteral("При производстве можно списывать только составляющие ингредиенты или полуфабрикаты!"));
    }
}

void TForm_DocReal::Btn_SelectFirmaClick()
{
    Form_SelectFirma->Prepare(QStringLiteral("Выбор предприятия"), 1);
    if (Msg::execModal(Form_SelectFirma) == QDialog::Accepted && cat::HasRow(Form_SelectFirma->Q_Vibor)) {
        db::Query* q = Form_SelectFirma->Q_Vibor;
        KodFirma = q->field(QStringLiteral("KOD")).asInt64();
        E_Firma->setText(q->field(QStringLiteral("NAME")).asString());
    }
    Form_SelectFirma->Q_Vibor->close();
}

void TForm_DocReal::Btn_SelectMenuClick()
{
    if (KodFirma == 0) {
        Msg::notice(QStringLiteral("Сначала необходимо выбрать предприятие !"));
        return;
    }
    db::Query* q = Form_SelectMenu->Q_Vibor;
    q->close();
    q->setSql(QStringLiteral("SELECT * FROM MENU WHERE KOD_FIRMA = ") + Key(KodFirma) + QStringLiteral(" ORDER BY DATE_MENU"));
    q->open();
    if (Msg::execModal(Form_SelectMenu) == QDialog::Accepted && cat::HasRow(q)) {
        KodMenu = q->field(QStringLiteral("KOD")).asInt64();
        E_Menu->setText(q->field(QStringLiteral("NAME")).asString());
    }
    q->close();
}

void TForm_DocReal::Btn_OkClick()
{
    const QDate lock = MyParams->v.MyDateDocEdit;
    if (MyParams->v.DateDocEdit && lock.isValid() && Date_Doc->date() < lock)
        return cat::Refuse(QStringLiteral("Администратор установил запрет на создание и корректировку документов ранше даты: ") +
                               lock.toString(QStringLiteral("dd.MM.yyyy")),
                           Date_Doc);
    if (KodFirma == 0)
        return cat::Refuse(QStringLiteral("Не выбрано предприятие !"), Btn_SelectFirma);
    if (IsNewDoc && KodMenu == 0)
        return cat::Refuse(QStringLiteral("Не выбрано меню !"), Btn_SelectMenu);
    const QString name = E_Name->text();
    if (name.isEmpty())
        return cat::Refuse(QStringLiteral("Нет номера документа !"), E_Name);
    if (const QString bad = movement::CharsOutsideCp1251(name); !bad.isEmpty())
        return cat::Refuse(movement::Cp1251Refusal(bad), E_Name);

    realdocs::Header h;
    h.kod = IsNewDoc ? 0 : DocKod;
    h.name = name;
    h.date = Date_Doc->date();
    h.time = Time_Doc->time();
    h.type = RG_TypeDoc->itemIndex() == 0 ? 7 : 3;
    h.firma = KodFirma;
    h.p = RG_PF->itemIndex();
    WriteTransaction w(realdocs::kRoad);
    const qint64 kod = engine::NamingDocument(name, [&] { return realdocs::SaveHeader(w.context(), h, Shown); });
    if (!IsNewDoc && KodMenu == 0) {
        w.commit(kArea, QStringLiteral("Отредактирован документ № ") + name);
    } else {
        realdocs::FillFromMenu(w.context(), realdocs::Claim(w.context(), kod), KodMenu, !IsNewDoc);
        w.commit(kArea, QStringLiteral("Создан документ № ") + name);
    }
    SavedKod = kod;
    accept();
}
