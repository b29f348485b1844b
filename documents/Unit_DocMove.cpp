#include "Unit_DocMove.h"

#include "CatalogueUi.h"
#include "MovementDb.h"
#include "Unit_SelectFirma.h"
#include "Unit_SelectOtdel.h"
#include "base/Unit_Base.h"
#include "db/Query.h"
#include "engine/EngineDb.h"
#include "engine/DocumentClaim.h"
#include "engine/WriteRoad.h"
#include "ui/RadioGroup.h"
#include "ui/Scaling.h"
#include "util/Clock.h"
#include "util/Globals.h"
#include "util/Messages.h"
#include "util/RowWriter.h"
#include "util/Settings.h"
#include "util/Unit_Util.h"

#include <QDateEdit>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>
#include <QVBoxLayout>

#include <algorithm>

FirstUse<TForm_DocMove> Form_DocMove;

namespace {

// A sunken panel that shows a chosen name.
QLabel* namePanel(QWidget* parent)
{
    auto* l = new QLabel(parent);
    l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    l->setMinimumWidth(300);
    l->setTextInteractionFlags(Qt::NoTextInteraction);
    return l;
}

qint64 intOf(const db::Query& q, const char* name)
{
    const db::Field f = q.field(QString::fromLatin1(name));
    return f.isNull() ? 0 : f.asInt64();
}

QString nameOf(const db::Query& q, const char* name) { return q.field(QString::fromLatin1(name)).asString(); }

} // namespace

int TForm_DocMove::TypeOfItem(int item) { return item == 1 ? 6 : item == 2 ? 4 : 5; }

int TForm_DocMove::ItemOfType(int type) { return type == 6 ? 1 : type == 4 ? 2 : 0; }

TForm_DocMove::TForm_DocMove(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Документ движения"));
    auto* top = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    int row = 0;
    auto addPicker = [&](QLabel*& caption, const QString& text, QLabel*& panel, QPushButton*& button) {
        caption = new QLabel(text, this);
        panel = namePanel(this);
        button = new QPushButton(QStringLiteral("Выбор"), this);
        grid->addWidget(caption, row, 0);
        grid->addWidget(panel, row, 1);
        grid->addWidget(button, row, 2);
        ++row;
    };
    QLabel* firmaCaption = nullptr;
    addPicker(firmaCaption, QStringLiteral("Предприятие"), L_Firma, Btn_Firma);
    addPicker(L_OtdelCaption, QStringLiteral("Подразделение (отдел)"), L_Otdel, Btn_Otdel);
    top->addLayout(grid);

    auto* head = new QHBoxLayout;
    E_Name = new QLineEdit(this);
    E_Name->setMaxLength(200);
    DateDoc = new QDateEdit(this);
    DateDoc->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    DateDoc->setCalendarPopup(true);
    TimeDoc = new QTimeEdit(this);
    TimeDoc->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    head->addWidget(new QLabel(QStringLiteral("№ документа"), this));
    head->addWidget(E_Name, 1);
    head->addWidget(new QLabel(QStringLiteral("Дата"), this));
    head->addWidget(DateDoc);
    head->addWidget(new QLabel(QStringLiteral("Время"), this));
    head->addWidget(TimeDoc);
    top->addLayout(head);

    auto* kinds = new QHBoxLayout;
    RG_Typ = new TRadioGroup(QStringLiteral("Действие"),
                             {QStringLiteral("Принять на склад"), QStringLiteral("Отгрузить со склада"),
                              QStringLiteral("Внутреннее перемещение")},
                             this);
    RG_TypeCena = new TRadioGroup(QStringLiteral("Какие цены использовать при заполнении документа"),
                                  {QStringLiteral("Складские "), QStringLiteral("Продажные")}, this);
    kinds->addWidget(RG_Typ);
    kinds->addWidget(RG_TypeCena, 1);
    top->addLayout(kinds);

    auto* partner = new QGridLayout;
    row = 0;
    grid = partner;
    QLabel* firma1Caption = nullptr;
    addPicker(firma1Caption, QStringLiteral("Предприятие контрагент"), L_Firma1, Btn_Firma1);
    addPicker(L_Otdel1Caption, QStringLiteral("Принимающее подразделение (Отдел)"), L_Otdel1, Btn_Otdel1);
    top->addLayout(partner);

    Captions = {firmaCaption, L_OtdelCaption, firma1Caption, L_Otdel1Caption};
    fitCaptions();
    RG_Proizv = new TRadioGroup(QStringLiteral("Производство перед внутренним перемещением. Что списываем :"),
                                {QStringLiteral("Ингредиенты"), QStringLiteral("Готовые продукты"),
                                 QStringLiteral("Готовые продукты и ПФ с допроизводством"),
                                 QStringLiteral("Готовые продукты и ПФ без допроизводства")},
                                this);
    RG_Proizv->setColumns(2);
    top->addWidget(RG_Proizv);

    Btn_Ok = new QPushButton(QStringLiteral("OK"), this);
    Btn_Cancel = new QPushButton(QStringLiteral("Выход"), this);
    Btn_Ok->setDefault(true);
    top->addLayout(cat::ButtonRow(Btn_Ok, {Btn_Cancel}));

    connect(RG_Typ, &TRadioGroup::clicked, this, [this] { Guard([this] { RG_TypClick(); }); });
    connect(RG_TypeCena, &TRadioGroup::clicked, this, [this] { Guard([this] { RG_TypeCenaClick(); }); });
    connect(Btn_Firma, &QPushButton::clicked, this, [this] { Guard([this] { Btn_FirmaClick(); }); });
    connect(Btn_Otdel, &QPushButton::clicked, this, [this] { Guard([this] { Btn_OtdelClick(); }); });
    connect(Btn_Firma1, &QPushButton::clicked, this, [this] { Guard([this] { Btn_Firma1Click(); }); });
    connect(Btn_Otdel1, &QPushButton::clicked, this, [this] { Guard([this] { Btn_Otdel1Click(); }); });
    connect(Btn_Ok, &QPushButton::clicked, this, [this] { Guard([this] { Btn_OkClick(); }); });
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    for (int i = 0; i < 2; ++i)
        RG_TypeCena->button(i)->installEventFilter(this);

    FormCreate();
}

TForm_DocMove::~TForm_DocMove()
{
    if (Form_DocMove.made() == this)
        Form_DocMove = nullptr;
}

void TForm_DocMove::FormCreate()
{
    NewDoc = 0;
    PriceKindGiven = 0;
    TypeChange = 0;
    RG_Typ->setItemIndex(0);
    RG_TypeCena->setItemIndex(0);
    RG_Proizv->setItemIndex(0);
    adjustSize();
    ScaleWindow(this, false);
}

bool TForm_DocMove::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn)
        RG_TypeCenaEnter();
    return QDialog::eventFilter(watched, event);
}

void TForm_DocMove::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // The dialog opens on the document's number, not on the button last pressed in it.
    if (E_Name->isEnabled())
        E_Name->setFocus();
}

void TForm_DocMove::setFirma(qint64 kod, const QString& name)
{
    KodFirma = kod;
    L_Firma->setText(name);
}

void TForm_DocMove::setOtdel(qint64 kod, const QString& name)
{
    KodOtdel = kod;
    L_Otdel->setText(name);
}

void TForm_DocMove::setFirma1(qint64 kod, const QString& name)
{
    KodFirma1 = kod;
    L_Firma1->setText(name);
}

void TForm_DocMove::setOtdel1(qint64 kod, const QString& name)
{
    KodOtdel1 = kod;
    L_Otdel1->setText(name);
}

void TForm_DocMove::SetEditable(bool on)
{
    for (QWidget* w : std::initializer_list<QWidget*>{Btn_Firma, Btn_Otdel, Btn_Firma1, Btn_Otdel1, RG_Typ, RG_TypeCena,
                                                      E_Name, DateDoc, TimeDoc, RG_Proizv})
        w->setEnabled(on);
}

void TForm_DocMove::PrepareNew(qint64 firma, const QString& firmaName, qint64 otdel, const QString& otdelName)
{
    DocKod = 0;
    DocName.clear();
    Shown = {};
    HasLines = false;
    DateDoc->setDate(Clock::today());
    TimeDoc->setTime(Clock::timeOfDay());
    setFirma(firma, firmaName);
    setOtdel(otdel, otdelName);
    setFirma1(0, QString());
    setOtdel1(0, QString());
    PriceKindGiven = 0;
    RG_Typ->setItemIndex(0);
    RG_TypClick();
    E_Name->clear();
    RG_TypeCena->setItemIndex(0);
    NewDoc = 1;
    PriceKindGiven = 0;
}

void TForm_DocMove::PrepareEdit(const db::Query& doc, bool hasLines)
{
    NewDoc = 0;
    HasLines = hasLines;
    PriceKindGiven = 1;
    const int type = static_cast<int>(intOf(doc, "DOC_TYPE"));
    TypeChange = 1;
    RG_Typ->setItemIndex(ItemOfType(type));
    TypeChange = 0;
    PrevType = ItemOfType(type);
    RG_TypeCena->setItemIndex(intOf(doc, "TYPE_CENA") == 1 ? 1 : 0);
    SetEditable(intOf(doc, "PROVODKA") <= 0);
    DocKod = intOf(doc, "KOD");
    DocName = nameOf(doc, "NAME");
    Shown = engine::ShownRow::of(doc, QStringLiteral("DOCS"), DocName,
                                 {{QStringLiteral("NAME"), QStringLiteral("№ документа")},
                                  {QStringLiteral("DATE_DOC"), QStringLiteral("дата")},
                                  {QStringLiteral("TIME_DOC"), QStringLiteral("время")},
                                  {QStringLiteral("DOC_TYPE"), QStringLiteral("действие")},
                                  {QStringLiteral("KOD_PARTNER_EXPORT"), QStringLiteral("предприятие")},
                                  {QStringLiteral("INT_PARAM1"), QStringLiteral("подразделение (отдел)")},
                                  {QStringLiteral("KOD_PARTNER_IMPORT"), QStringLiteral("предприятие контрагент")},
                                  {QStringLiteral("INT_PARAM2"), QStringLiteral("принимающее подразделение (отдел)")},
                                  {QStringLiteral("TYPE_CENA"), QStringLiteral("цены для заполнения документа")},
                                  {QStringLiteral("P"), QStringLiteral("что списываем")}});
    DateDoc->setDate(doc.field(QStringLiteral("DATE_DOC")).asDate());
    TimeDoc->setTime(doc.field(QStringLiteral("TIME_DOC")).asTime());
    setFirma(intOf(doc, "KOD_PARTNER_EXPORT"), nameOf(doc, "F_FROM"));
    setOtdel(intOf(doc, "INT_PARAM1"), nameOf(doc, "O_FROM"));
    setFirma1(intOf(doc, "KOD_PARTNER_IMPORT"), nameOf(doc, "F_TO"));
    setOtdel1(intOf(doc, "INT_PARAM2"), nameOf(doc, "O_TO"));
    // The pickers' visibility follows the type without clearing what the document holds.
    const bool transfer = type == 4;
    for (QWidget* w : std::initializer_list<QWidget*>{L_Otdel1Caption, L_Otdel1, Btn_Otdel1, RG_Proizv})
        w->setVisible(transfer);
    L_OtdelCaption->setText(transfer ? QStringLiteral("Передающее подразделение (отдел)")
                                     : QStringLiteral("Подразделение (отдел)"));
    TypeChange = 1;
    RG_Proizv->setItemIndex(transfer ? static_cast<int>(intOf(doc, "P")) : 0);
    TypeChange = 0;
    E_Name->setText(DocName);
    E_Name->setCursorPosition(0);
}

void TForm_DocMove::fitCaptions()
{
    const QFontMetrics fm(font());
    // The department's caption changes with the kind: room for the longer one.
    int width = fm.horizontalAdvance(QStringLiteral("Передающее подразделение (отдел)"));
    for (QLabel* l : Captions)
        width = std::max(width, fm.horizontalAdvance(l->text()));
    for (QLabel* l : Captions)
        l->setMinimumWidth(width + fm.averageCharWidth() / 2);
}

void TForm_DocMove::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::FontChange && !Captions.isEmpty())
        fitCaptions();
}

void TForm_DocMove::RG_TypClick()
{
    TypeChange = 1;
    const int item = RG_Typ->itemIndex();
    if (PrevType == 2 || item == 2) {
        setFirma1(0, QString());
        setOtdel1(0, QString());
    }
    PrevType = item;
    const bool transfer = item == 2;
    for (QWidget* w : std::initializer_list<QWidget*>{L_Otdel1Caption, L_Otdel1, Btn_Otdel1, RG_Proizv})
        w->setVisible(transfer);
    if (transfer) {
        L_OtdelCaption->setText(QStringLiteral("Передающее подразделение (отдел)"));
    } else {
        RG_Proizv->setItemIndex(0);
        L_OtdelCaption->setText(QStringLiteral("Подразделение (отдел)"));
    }
    if (!PriceKindGiven)
        RG_TypeCena->setItemIndex(item == 1 ? 1 : 0);
    TypeChange = 0;
}

void TForm_DocMove::Btn_FirmaClick()
{
    Form_SelectFirma->Prepare(QStringLiteral("Выбор предприятия"), 1);
    if (Msg::execModal(Form_SelectFirma) == QDialog::Accepted && cat::HasRow(Form_SelectFirma->Q_Vibor)) {
        db::Query* q = Form_SelectFirma->Q_Vibor;
        setFirma(q->field(QStringLiteral("KOD")).asInt64(), q->field(QStringLiteral("NAME")).asString());
        setOtdel(0, QString());
    }
    Form_SelectFirma->Q_Vibor->close();
}

void TForm_DocMove::Btn_OtdelClick()
{
    if (KodFirma == 0) {
        Msg::notice(QStringLiteral("Не выбрано предприятие !"));
        return;
    }
    db::Query* q = Form_SelectOtdel->Q_O;
    Form_Base->OpenRead(q, QStringLiteral("SELECT * FROM OTDEL WHERE KOD_FIRMA = ") + Key(KodFirma) +
                               QStringLiteral(" ORDER BY NAME"));
    if (Msg::execModal(Form_SelectOtdel) == QDialog::Accepted && cat::HasRow(q))
        setOtdel(q->field(QStringLiteral("KOD")).asInt64(), q->field(QStringLiteral("NAME")).asString());
    q->close();
}

void TForm_DocMove::Btn_Firma1Click()
{
    Form_SelectFirma->Prepare(QStringLiteral("Выбор предприятия"), RG_Typ->itemIndex() == 2 ? 1 : 2);
    if (Msg::execModal(Form_SelectFirma) == QDialog::Accepted && cat::HasRow(Form_SelectFirma->Q_Vibor)) {
        db::Query* q = Form_SelectFirma->Q_Vibor;
        setFirma1(q->field(QStringLiteral("KOD")).asInt64(), q->field(QStringLiteral("NAME")).asString());
        setOtdel1(0, QString());
    }
    Form_SelectFirma->Q_Vibor->close();
}

void TForm_DocMove::Btn_Otdel1Click()
{
    if (KodFirma1 == 0) {
        Msg::notice(QStringLiteral("Не выбрано предприятие !"));
        return;
    }
    db::Query* q = Form_SelectOtdel->Q_O;
    Form_SelectOtdel->setWindowTitle(QStringLiteral("Выбор подразделения (Отдела)"));
    Form_Base->OpenRead(q, QStringLiteral("SELECT KOD, NAME FROM OTDEL WHERE KOD_FIRMA = ") + Key(KodFirma1) +
                               QStringLiteral(" ORDER BY NAME"));
    if (Msg::execModal(Form_SelectOtdel) == QDialog::Accepted && cat::HasRow(q))
        setOtdel1(q->field(QStringLiteral("KOD")).asInt64(), q->field(QStringLiteral("NAME")).asString());
    q->close();
}

void TForm_DocMove::Btn_OkClick()
{
    const bool transfer = RG_Typ->itemIndex() == 2;
    const QDate lock = MyParams->v.MyDateDocEdit;
    if (MyParams->v.DateDocEdit && lock.isValid() && DateDoc->date() < lock) {
        cat::Refuse(QStringLiteral("Администратором установлен запрет на создание и корректировку документов до : ") +
                        lock.toString(QStringLiteral("dd.MM.yyyy")),
                    DateDoc);
        return;
    }
    if (KodFirma == 0)
        return cat::Refuse(QStringLiteral("Не выбрано предприятие !"), Btn_Firma);
    if (KodOtdel == 0)
        return cat::Refuse(QStringLiteral("Не выбрано подразделение (отдел) !"), Btn_Otdel);
    if (KodFirma1 == 0)
        return cat::Refuse(QStringLiteral("Не выбрано предприятие контрагент !"), Btn_Firma1);
    if (transfer && KodOtdel1 == 0)
        return cat::Refuse(QStringLiteral("Не выбрано принимающее подразделение (отдел) для документа внутреннего перемещения !"),
                           Btn_Otdel1);
    if (transfer && KodOtdel == KodOtdel1)
        return cat::Refuse(QStringLiteral("Нельзя сделать внутреннее перемещение внутри одного и тогоже подразделения !"),
                           Btn_Otdel1);
    const QString name = E_Name->text();
    if (name.isEmpty())
        return cat::Refuse(QStringLiteral("Нет номера документа !"), E_Name);
    if (const QString bad = movement::CharsOutsideCp1251(name); !bad.isEmpty())
        return cat::Refuse(movement::Cp1251Refusal(bad), E_Name);

    R_Record r(QStringLiteral("DOCS"), NewDoc ? 0 : DocKod);
    r.addString(QStringLiteral("NAME"), name)
        .addDate(QStringLiteral("DATE_DOC"), DateDoc->date())
        .addInt(QStringLiteral("DOC_TYPE"), TypeOfItem(RG_Typ->itemIndex()))
        .addInt(QStringLiteral("KOD_PARTNER_EXPORT"), KodFirma)
        .addInt(QStringLiteral("KOD_PARTNER_IMPORT"), KodFirma1)
        .addInt(QStringLiteral("INT_PARAM1"), KodOtdel)
        .addInt(QStringLiteral("INT_PARAM2"), transfer ? KodOtdel1 : 0)
        .addTime(QStringLiteral("TIME_DOC"), TimeDoc->time())
        .addInt(QStringLiteral("TYPE_CENA"), RG_TypeCena->itemIndex())
        .addInt(QStringLiteral("P"), transfer ? RG_Proizv->itemIndex() : 0);
    WriteTransaction w(movement::kRoad);
    const qint64 kod = engine::NamingDocument(name, [&] {
        return engine::SaveDocumentHeader(w.context(), r, Shown, movement::PostedRefusal());
    });
    w.commit(QStringLiteral("Движение"),
             (NewDoc ? QStringLiteral("Создан документ движения № ") : QStringLiteral("Изменён документ движения № ")) + name);
    SavedKod = kod;
    accept();
}

void TForm_DocMove::RG_TypeCenaEnter() { PriceKindGiven = 1; }

void TForm_DocMove::RG_TypeCenaClick()
{
    if (NewDoc || KodFirma == 0 || KodOtdel == 0 || !isVisible() || TypeChange)
        return;
    if (!HasLines)
        return;
    const int kind = RG_TypeCena->itemIndex();
    const QString word = kind == 0 ? QStringLiteral("СКЛАДСКИЕ") : QStringLiteral("ПРОДАЖНЫЕ");
    if (!Msg::confirmDestructive(QStringLiteral("Поменять ли цены выбранных в документе продуктах на ") + word + QStringLiteral("?"),
                                 QStringLiteral("Изменение цен")))
        return;
    WriteTransaction w(movement::kRoad);
    engine::NamingDocument(E_Name->text(), [&] { movement::RepriceLines(w.context(), movement::Claim(w.context(), DocKod), KodOtdel, kind); });
    w.commit(QStringLiteral("Движение"), QStringLiteral("Цены продуктов в документе движения № ") + E_Name->text() +
                                             QStringLiteral(", изменены на ") + word + QStringLiteral("."));
}
