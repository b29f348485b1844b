#include "UserLists.h"

#include "grid/Greying.h"
#include "base/Unit_Base.h"
#include "db/Query.h"
#include "grid/DatasetModel.h"
#include "util/Unit_Util.h"

#include <QTimer>
#include <QWidget>

TUserLists* UserLists = nullptr;

TUserLists::TUserLists(QObject* parent) : QObject(parent)
{
    connect(Form_Base->QPerson, &db::Query::afterScroll, this, &TUserLists::QPersonAfterScroll);
    Timer_PersonPolicy = new QTimer(this);
    Timer_PersonPolicy->setSingleShot(true);
    Timer_PersonPolicy->setInterval(400);
    connect(Timer_PersonPolicy, &QTimer::timeout, this, [this] { Guard([this] { Timer_PersonPolicyTimer(); }); });
}

TUserLists::~TUserLists()
{
    if (UserLists == this)
        UserLists = nullptr;
}

void TUserLists::AttachPersonalWindow(QWidget* window, db::DbGrid* rightsGrid, db::Query* rightsQuery)
{
    personalWindow = window;
    personalRightsGrid = rightsGrid;
    personalRightsQuery = rightsQuery;
}

bool TUserLists::personalShown() const { return personalWindow && personalWindow->isVisible(); }

void TUserLists::QPersonAfterScroll()
{
    if (!personalShown())
        return;
    Timer_PersonPolicy->stop();
    GreyOut(personalRightsGrid);
    Timer_PersonPolicy->start();
}

void TUserLists::Timer_PersonPolicyTimer()
{
    Timer_PersonPolicy->stop();
    db::Query* person = Form_Base->QPerson;
    if (!personalRightsQuery)
        return;
    personalRightsQuery->close();
    if (person->active() && !person->isEmpty())
        Form_Base->OpenRead(personalRightsQuery, QStringLiteral("SELECT * FROM PERSON_POLICY WHERE KOD_PERSON = ") +
                                                     Key(person->field(QStringLiteral("KOD")).asInt64()) +
                                                     QStringLiteral(" ORDER BY PARAM1"));
    Release(personalRightsGrid);
}
