#include "DocumentTabs.h"

#include "db/Query.h"
#include "grid/DatasetModel.h"
#include "grid/ListHolder.h"
#include "ui/Unit_Name.h"
#include "util/Messages.h"

#include <QHBoxLayout>

namespace doctabs {

QPushButton* AddButton(const QString& text, const QString& hint, QWidget* parent, QHBoxLayout* row)
{
    auto* b = new QPushButton(text, parent);
    if (!hint.isEmpty())
        b->setToolTip(hint);
    row->addWidget(b);
    return b;
}

void FollowDocuments(db::ListHolder* documents, QObject* window, const std::function<void()>& showState,
                     const std::function<void()>& linesFollow, db::DbGrid* lines)
{
    db::Query* q = documents->query();
    QObject::connect(documents, &db::ListHolder::reopened, window, [=](bool sameRow) {
        if (sameRow) {
            if (showState)
                showState();
            return;
        }
        if (lines && documents->lostItsRow())
            lines->standOnNoRow(true);
        linesFollow();
    });
    if (showState)
        QObject::connect(q, &db::Query::rowRefreshed, window, [q, showState](int row) {
            if (row == q->recNo())
                showState();
        });
}

QString DocTypeName(qint64 type)
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

void SetStatement(db::Query* q, const movement::ListQuery& lq)
{
    q->close();
    q->setSql(lq.lines);
    for (const auto& [name, value] : lq.params)
        q->param(name).setValue(value);
}

void OpenStatement(db::Query* q, const movement::ListQuery& lq)
{
    SetStatement(q, lq);
    q->prepare();
    q->open();
}

std::optional<QString> AskNewDocNumber()
{
    Form_Name->setWindowTitle(QStringLiteral("Номер нового документа"));
    Form_Name->Edit1->clear();
    Form_Name->DateTimePicker1->hide();
    Form_Name->Panel2->hide();
    if (Msg::execModal(Form_Name) != QDialog::Accepted)
        return std::nullopt;
    const QString name = Form_Name->Edit1->text();
    if (const QString bad = movement::CharsOutsideCp1251(name); !bad.isEmpty()) {
        Msg::notice(movement::Cp1251Refusal(bad));
        return std::nullopt;
    }
    return name;
}

} // namespace doctabs
