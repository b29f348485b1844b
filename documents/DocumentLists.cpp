#include "DocumentLists.h"

#include "base/Unit_Base.h"
#include "db/Query.h"
#include "grid/DatasetModel.h"
#include "ui/Unit_Main.h"
#include "ui/Unit_Timers.h"
#include "util/Globals.h"
#include "util/Settings.h"
#include "util/Unit_Util.h"

#include <QPushButton>
#include <QTimer>

TDocumentLists* DocumentLists = nullptr;

namespace {

bool inside(const db::Query* q) { return !q->bof() && !q->eof(); }

bool hasRows(const db::Query* q) { return q && q->active() && !q->isEmpty(); }

// A column of the current row, 0 when there is none (an empty list, a NULL).
qint64 intOf(const db::Query* q, const char* name)
{
    const QString f = QString::fromLatin1(name);
    if (!hasRows(q) || q->recNo() < 0 || !q->hasField(f))
        return 0;
    const db::Field v = q->field(f);
    return v.isNull() ? 0 : v.asInt64();
}

bool moveTabShown()
{
    return Form_Main->ActivePage() == Form_Main->Sheet_Ing && Form_Main->ActiveInnerPage() == Form_Main->Sheet_Move;
}

QString docTypeName(qint64 type)
{
    switch (type) {
    case 1:
        return QStringLiteral("Инв");
    case 2:
        return QStringLiteral("Произв");
    case 3:
        return QStringLiteral("Реал");
    case 4:
        return QStringLiteral("Вн.пер");
    case 5:
        return QStringLiteral("Прих");
    case 6:
        return QStringLiteral("Расх");
    case 7:
        return QStringLiteral("РасхП");
    default:
        return QStringLiteral("???");
    }
}

void run(const std::function<void()>& f)
{
    if (f)
        f();
}

} // namespace

void AttachDocumentLists()
{
    if (!DocumentLists)
        DocumentLists = new TDocumentLists;
}

void DetachDocumentLists()
{
    delete DocumentLists;
    DocumentLists = nullptr;
}

TDocumentLists::TDocumentLists(QObject* parent) : QObject(parent)
{
    TForm_Base* b = Form_Base;
    connect(b->Q_Dvig, &db::Query::beforeScroll, this, &TDocumentLists::Q_DvigBeforeScroll);
    connect(b->Q_Dvig, &db::Query::afterScroll, this, &TDocumentLists::Q_DvigAfterScroll);
    connect(b->Q_Dvig, &db::Query::afterClose, this, &TDocumentLists::Q_DvigAfterClose);
    connect(b->Q_Docs, &db::Query::beforeScroll, this, &TDocumentLists::Q_DocsBeforeScroll);
    connect(b->Q_Docs, &db::Query::afterScroll, this, &TDocumentLists::Q_DocsAfterScroll);
    const struct {
        QTimer* timer;
        void (TDocumentLists::*body)();
    } timers[] = {{Form_Timers->Timer_Moves, &TDocumentLists::Timer_MovesTimer},
                  {Form_Timers->Timer_Invent, &TDocumentLists::Timer_InventTimer},
                  {Form_Timers->Timer_IngToDoc, &TDocumentLists::Timer_IngToDocTimer}};
    for (const auto& x : timers) {
        auto body = x.body;
        connect(x.timer, &QTimer::timeout, this, [this, body] { Guard([this, body] { (this->*body)(); }); });
    }
    b->Q_Moves->addCalcField(QStringLiteral("TypDvig"));
    b->Q_Moves->onCalcFields = &TDocumentLists::Q_MovesCalcFields;
    b->Q_Dvig->addCalcField(QStringLiteral("TD"));
    b->Q_Dvig->onCalcFields = &TDocumentLists::Q_DvigCalcFields;
    b->Q_Docs->addCalcField(QStringLiteral("TD"));
    b->Q_Docs->onCalcFields = &TDocumentLists::Q_DocsCalcFields;
}

bool TDocumentLists::inventShown() const { return inventWindow && inventWindow->isVisible(); }

// ---- movement documents ----

void TDocumentLists::Q_DvigBeforeScroll()
{
    if (!inside(Form_Base->Q_Dvig))
        return;
    Form_Timers->Timer_Moves->stop();
    GreyOut(Grid_DvigIng);
}

void TDocumentLists::Q_DvigAfterScroll()
{
    Form_Timers->Timer_Moves->start();
    QPushButton* b = Btn_Provodka;
    if (!b)
        return;
    const qint64 provodka = intOf(Form_Base->Q_Dvig, "PROVODKA");
    const qint64 type = intOf(Form_Base->Q_Dvig, "DOC_TYPE");
    b->setText(provodka > 10 ? QStringLiteral("Снять пр.") : QStringLiteral("Провести"));
    // A posted inventory stays posted while un-posting inventories is forbidden.
    b->setEnabled(!(provodka > 10 && type == 1 && MyParams->v.InvProvodka));
}

void TDocumentLists::Q_DvigAfterClose()
{
    if (!moveTabShown())
        return;
    Form_Timers->Timer_Moves->stop();
    GreyOut(Grid_DvigIng);
    Form_Base->Q_Moves->close();
}

void TDocumentLists::Timer_MovesTimer()
{
    Form_Timers->Timer_Moves->stop();
    db::Query* dvig = Form_Base->Q_Dvig;
    if (!hasRows(dvig))
        return;
    Form_Base->OpenRead(Form_Base->Q_Moves,
                        QStringList{QStringLiteral("SELECT MOVES.*, ING.NAME, ED_IZM.SHORT_NAME AS ED_IZM FROM MOVES"),
                                    QStringLiteral("LEFT OUTER JOIN ING ON MOVES.KOD_ING = ING.KOD"),
                                    QStringLiteral("LEFT OUTER JOIN ED_IZM ON ING.ED_IZM = ED_IZM.KOD"),
                                    QStringLiteral("WHERE MOVES.KOD_DOC = ") + Key(dvig->field(QStringLiteral("KOD")).asInt64()),
                                    QStringLiteral("ORDER BY KOD")}
                            .join(QLatin1Char('\n')));
    Release(Grid_DvigIng);
}

// ---- inventory documents ----

void TDocumentLists::Q_DocsBeforeScroll()
{
    if (!StartupDone || !inside(Form_Base->Q_Docs))
        return;
    Form_Timers->Timer_Invent->stop();
    if (inventShown() && inventWindow->isActiveWindow())
        GreyOut(inventGrid);
}

void TDocumentLists::Q_DocsAfterScroll()
{
    if (!StartupDone || !inventShown())
        return;
    Form_Timers->Timer_Invent->start();
    const bool open = intOf(Form_Base->Q_Docs, "PROVODKA") < 11;
    for (const QPointer<QWidget>& b : inventButtons)
        if (b)
            b->setEnabled(open);
}

void TDocumentLists::Timer_InventTimer()
{
    Form_Timers->Timer_Invent->stop();
    Release(inventGrid);
    run(LoadInvLines);
}

// ---- document filling ----

void TDocumentLists::Timer_IngToDocTimer()
{
    Form_Timers->Timer_IngToDoc->stop();
    run(IngToDocContextClick);
}

// ---- calculated fields ----

void TDocumentLists::Q_MovesCalcFields(db::Query& q)
{
    const qint64 t = q.hasField(QStringLiteral("TYPE_MOVES")) ? q.field(QStringLiteral("TYPE_MOVES")).asInt64() : 0;
    q.setCalc(QStringLiteral("TypDvig"), t == 1 ? QStringLiteral(" +") : t == 2 ? QStringLiteral(" -") : QString());
}

void TDocumentLists::Q_DvigCalcFields(db::Query& q)
{
    const qint64 t = q.hasField(QStringLiteral("DOC_TYPE")) ? q.field(QStringLiteral("DOC_TYPE")).asInt64() : 0;
    q.setCalc(QStringLiteral("TD"), docTypeName(t));
}

void TDocumentLists::Q_DocsCalcFields(db::Query& q) { Q_DvigCalcFields(q); }
