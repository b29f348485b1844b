#pragma once

// What the movement tab, the production and sales tab and the inventories
// build and ask alike: their button rows and handlers, their list
// statements, how the lines follow the documents and the number of a
// document made by copying.

#include "MovementDb.h"

#include "util/Unit_Util.h"

#include <QPushButton>
#include <QString>

#include <functional>
#include <initializer_list>
#include <optional>
#include <type_traits>
#include <utility>

class QHBoxLayout;
class QWidget;
namespace db {
class DbGrid;
class ListHolder;
class Query;
} // namespace db

namespace doctabs {

// A button added to the row, with its hint when it has one.
QPushButton* AddButton(const QString& text, const QString& hint, QWidget* parent, QHBoxLayout* row);

// Each button runs its handler on the tab, guarded.
template <class Tab>
void ConnectButtons(Tab* tab, std::initializer_list<std::pair<QPushButton*, std::type_identity_t<void (Tab::*)()>>> handlers)
{
    for (const auto& h : handlers) {
        auto handler = h.second;
        QObject::connect(h.first, &QPushButton::clicked, tab, [tab, handler] { Guard([tab, handler] { (tab->*handler)(); }); });
    }
}

// Closes the list and gives it the statement with its parameters.
void SetStatement(db::Query* q, const movement::ListQuery& lq);
// The same, then prepared and opened.
void OpenStatement(db::Query* q, const movement::ListQuery& lq);

// The lines follow the document list's reloads. One that stands on the same
// document, or reads its row again in place (posted or un-posted
// elsewhere, say), shows the document's state again (showState); one that
// moved follows as after a move (linesFollow). When its document went
// elsewhere the list stands on its neighbour, and the lines (when numbers
// are typed on them) on no line: the user chooses the line of a document
// they did not choose.
void FollowDocuments(db::ListHolder* documents, QObject* window, const std::function<void()>& showState,
                     const std::function<void()>& linesFollow, db::DbGrid* lines = nullptr);

// The short name of a document type in the lists ("Инв", "Прих", ...; "???" for an unknown one).
QString DocTypeName(qint64 type);

// Asks for the number of a new document. Nothing when the user cancels or
// when the number has characters the database cannot store (the user is told
// which).
std::optional<QString> AskNewDocNumber();

} // namespace doctabs
