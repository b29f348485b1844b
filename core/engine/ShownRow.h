#pragma once

// An edit dialog that saves a whole row writes every column it showed. When
// another workstation changed one of them (or deleted the row) while the
// dialog was open, writing them all would put back what the dialog showed
// over what the other committed. The dialog keeps what it showed of the row;
// its save's road claims the row and compares before it writes, and refuses
// in words naming what changed.
//
//     shown_ = engine::ShownRow::of(*list, QStringLiteral("ED_IZM"), name, {{"NAME", "полное наименование"}, ...});
//     ...
//     WriteTransaction w(structure::kRoad);
//     engine::ClaimShownRow(w.context(), shown_, QStringLiteral("ED_IZM"), kod);   // refuses with engine::RowRefusal
//     structure::UpdateEd(w.context(), ...);

#include "Context.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>

#include <functional>

namespace db {
class Query;
}

namespace engine {

class ShownRow {
public:
    // A column's name and the words that name it for the user.
    using Column = QPair<QString, QString>;

    ShownRow() = default;
    // The values of the columns in the current row of q (the list the dialog
    // shows, or the dialog's own reading of the row), whose key is in KOD;
    // `name` names the row for the user.
    static ShownRow of(const db::Query& q, const QString& table, const QString& name, const QList<Column>& columns);
    // A row known by its key alone (the menu a new section goes under):
    // claimed, it refuses only its deletion.
    static ShownRow byKey(const QString& table, qint64 key, const QString& name);

    // A column this save leaves as it stands: another's change of it is no collision.
    void drop(const QString& column);
    // A column whose stored form changes with every save of the same value
    // (a scrambled password): the shown and the stored values are compared
    // as `reading` reads them.
    void readAs(const QString& column, std::function<QVariant(const QVariant&)> reading);

    const QString& table() const { return table_; }
    qint64 key() const { return key_; }
    const QString& name() const { return name_; }
    bool isEmpty() const { return key_ == 0; }

private:
    friend void ClaimShownRow(const Context& ctx, const ShownRow& shown);
    struct Value {
        QString column;
        QString title;
        QVariant value;
        std::function<QVariant(const QVariant&)> reading;
    };
    QString table_;
    qint64 key_ = 0;
    QString name_;
    QList<Value> values_;
};

// Takes the row in the road's write transaction and compares its columns
// with what the dialog showed: a row gone, or one whose shown columns
// another workstation changed since, is refused (engine::RowRefusal) naming
// what changed, and nothing is written; a column that holds nothing and one
// that holds its empty value (an empty text, a number 0) are alike. An empty
// ShownRow (a new row) passes.
void ClaimShownRow(const Context& ctx, const ShownRow& shown);

// The same for the save of row `key` of `table` that its dialog showed as
// `shown`. A dialog that edits a row writes back every field it shows:
// without what it showed of that row it would put back the values it read
// over another's committed change, so a save without them (or with another
// row's) is a programming error (std::logic_error).
void ClaimShownRow(const Context& ctx, const ShownRow& shown, const QString& table, qint64 key);

// Takes row `key` of `table` (`name`: the row as the user knows it) for a
// road that changes or deletes it, or moves something into it: a row another
// workstation deleted is refused (engine::RowRefusal), and nothing of the
// road is kept, its protocol line neither. Taken, the row stays until the
// road ends. Every road on a row a list showed claims it this way first,
// also where its statement could not tell a row gone (a procedure, a row it
// only names).
void ClaimRow(const Context& ctx, const QString& table, qint64 key, const QString& name);

// The refusal's words for a row (`name`, as the user knows it) another
// workstation deleted.
QString RowGoneText(const QString& name);

} // namespace engine
