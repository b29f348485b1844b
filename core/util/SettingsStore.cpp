#include "SettingsStore.h"
#include "engine/EngineDb.h"

#include "Globals.h"
#include "Settings.h"
#include "Unit_Util.h"
#include "base/Unit_Base.h"
#include "grid/DatasetModel.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>

namespace {

struct Accessor {
    std::function<QVariant(const TSettings::Values&)> get;
    std::function<void(TSettings::Values&, const QVariant&)> set;
};

template <typename T>
Accessor member(T TSettings::Values::*m)
{
    return {[m](const TSettings::Values& v) { return QVariant::fromValue(v.*m); },
            [m](TSettings::Values& v, const QVariant& x) { v.*m = x.value<T>(); }};
}

const QHash<QString, Accessor>& accessors()
{
    using V = TSettings::Values;
    static const QHash<QString, Accessor> table = {
        {QStringLiteral("okrugl1"), member(&V::okrugl1)},
        {QStringLiteral("okrugl2"), member(&V::okrugl2)},
        {QStringLiteral("rod"), member(&V::rod)},
        {QStringLiteral("rub"), member(&V::rub)},
        {QStringLiteral("kop"), member(&V::kop)},
        {QStringLiteral("pkdd"), member(&V::pkdd)},
        {QStringLiteral("mkdd"), member(&V::mkdd)},
        {QStringLiteral("pkkk"), member(&V::pkkk)},
        {QStringLiteral("pkpr"), member(&V::pkpr)},
        {QStringLiteral("brutto"), member(&V::brutto)},
        {QStringLiteral("obmen"), member(&V::obmen)},
        {QStringLiteral("my_language"), member(&V::my_language)},
        {QStringLiteral("DOiliPOSLE"), member(&V::DOiliPOSLE)},
        {QStringLiteral("DisMenuTab"), member(&V::DisMenuTab)},
        {QStringLiteral("DisMenuHead"), member(&V::DisMenuHead)},
        {QStringLiteral("DisMenuTail"), member(&V::DisMenuTail)},
        {QStringLiteral("ShtrihKodAllOtdel"), member(&V::ShtrihKodAllOtdel)},
        {QStringLiteral("Kod1SAllOtdel"), member(&V::Kod1SAllOtdel)},
        {QStringLiteral("PrintPrgOpenOffice"), member(&V::PrintPrgOpenOffice)},
        {QStringLiteral("InvProvodka"), member(&V::InvProvodka)},
        {QStringLiteral("DelOtkatOnly"), member(&V::DelOtkatOnly)},
        {QStringLiteral("PrintForGroup"), member(&V::PrintForGroup)},
        {QStringLiteral("DateDocEdit"), member(&V::DateDocEdit)},
        {QStringLiteral("MyDateDocEdit"), member(&V::MyDateDocEdit)},
    };
    return table;
}

const Accessor& accessor(const QString& key)
{
    const auto it = accessors().find(key);
    if (it == accessors().end())
        throw std::logic_error("unknown setting " + key.toStdString());
    return *it;
}

void checkKind(const QString& key, std::initializer_list<SettingKind> kinds)
{
    const auto k = SettingKindOf(key);
    if (!k || std::find(kinds.begin(), kinds.end(), *k) == kinds.end())
        throw std::logic_error("setting " + key.toStdString() + " has another kind");
}

// The write idiom of the settings: a fresh write transaction, the
// statements, then the protocol line (which commits) or a commit; the
// settings list follows the commit (it reads MY_PARAM) and holds the new value.
void runWrite(const std::function<void(db::Query*)>& statements, const std::optional<SettingLog>& log)
{
    WriteTransaction w(WriteTransaction::Reserve::Settings);
    const auto writer = engine::Writer(w.context());
    statements(writer.get());
    writer->close();
    if (log)
        w.commit(log->area, log->action);
    else
        w.commit();
}

// UPDATE of one value column ("UPDATE MY_PARAM SET INTEGER_PARAM = :I WHERE
// NAME_PARAM = :N", :S for the texts); the row is inserted when the update found none.
void updateOrInsert(db::Query* q, const QString& key, const QString& column, const std::function<void(db::Param&)>& bind)
{
    const QString value = column == QLatin1String("INTEGER_PARAM") ? QStringLiteral("I") : QStringLiteral("S");
    q->setSql(QStringLiteral("UPDATE MY_PARAM SET ") + column + QStringLiteral(" = :") + value +
              QStringLiteral(" WHERE NAME_PARAM = :N"));
    bind(q->param(value));
    q->param(QStringLiteral("N")).setString(key);
    q->execSql();
    if (q->rowsAffected() > 0)
        return;
    q->setSql(QStringLiteral("INSERT INTO MY_PARAM (NAME_PARAM, ") + column + QStringLiteral(") VALUES (:N, :") + value +
              QStringLiteral(")"));
    bind(q->param(value));
    q->param(QStringLiteral("N")).setString(key);
    q->execSql();
}

bool writeValue(const QString& key, const QVariant& value, const QString& column,
                const std::function<void(db::Param&)>& bind, const std::optional<SettingLog>& log)
{
    const QVariant before = SettingValue(key);
    SetSettingValue(key, value);
    if (!SettingWritesNow(key))
        return false;
    try {
        runWrite([&](db::Query* q) { updateOrInsert(q, key, column, bind); }, log);
    } catch (...) {
        SetSettingValue(key, before);
        throw;
    }
    return true;
}

} // namespace

const QList<SettingKey>& SettingKeys()
{
    static const QList<SettingKey> keys = {
        {"okrugl1", SettingKind::Integer},        {"okrugl2", SettingKind::Integer},
        {"rod", SettingKind::Integer},            {"rub", SettingKind::String},
        {"kop", SettingKind::String},             {"pkdd", SettingKind::Check},
        {"mkdd", SettingKind::Check},             {"pkkk", SettingKind::Check},
        {"pkpr", SettingKind::Check},             {"brutto", SettingKind::Integer},
        {"obmen", SettingKind::Integer},          {"my_language", SettingKind::Integer},
        {"DOiliPOSLE", SettingKind::Presence},    {"DisMenuTab", SettingKind::String},
        {"DisMenuHead", SettingKind::Memo},       {"DisMenuTail", SettingKind::Memo},
        {"ShtrihKodAllOtdel", SettingKind::Presence}, {"Kod1SAllOtdel", SettingKind::Presence},
        {"PrintPrgOpenOffice", SettingKind::Presence}, {"InvProvodka", SettingKind::Presence},
        {"DelOtkatOnly", SettingKind::Presence},  {"PrintForGroup", SettingKind::Presence},
        {"DateDocEdit", SettingKind::Presence},   {"MyDateDocEdit", SettingKind::Date},
    };
    return keys;
}

std::optional<SettingKind> SettingKindOf(const QString& key)
{
    for (const SettingKey& k : SettingKeys())
        if (key == QLatin1String(k.name))
            return k.kind;
    return std::nullopt;
}

bool SettingWritesNow(const QString& key)
{
    static const QStringList always = {QStringLiteral("rod"),  QStringLiteral("rub"),  QStringLiteral("kop"),
                                       QStringLiteral("brutto"), QStringLiteral("pkdd"), QStringLiteral("mkdd"),
                                       QStringLiteral("pkkk"), QStringLiteral("pkpr")};
    return StartupDone || always.contains(key);
}

QVariant SettingValue(const QString& key) { return accessor(key).get(MyParams->v); }

void SetSettingValue(const QString& key, const QVariant& value)
{
    const Accessor& a = accessor(key);
    if (a.get(MyParams->v) == value)
        return;
    a.set(MyParams->v, value);
    emit MyParams->changed(key);
}

bool WriteIntegerSetting(const QString& key, int value, const std::optional<SettingLog>& log)
{
    checkKind(key, {SettingKind::Integer});
    return writeValue(key, value, QStringLiteral("INTEGER_PARAM"), [value](db::Param& p) { p.setInt(value); }, log);
}

bool WriteCheckSetting(const QString& key, bool checked, const std::optional<SettingLog>& log)
{
    checkKind(key, {SettingKind::Check});
    return writeValue(key, checked, QStringLiteral("INTEGER_PARAM"), [checked](db::Param& p) { p.setInt(checked ? 1 : 0); },
                      log);
}

bool WriteStringSetting(const QString& key, const QString& value, const std::optional<SettingLog>& log)
{
    checkKind(key, {SettingKind::String});
    return writeValue(key, value, QStringLiteral("STRING_PARAM"), [value](db::Param& p) { p.setString(value); }, log);
}

bool WriteMemoSetting(const QString& key, const QString& value, const std::optional<SettingLog>& log)
{
    checkKind(key, {SettingKind::Memo});
    return writeValue(key, value, QStringLiteral("MEMO_PARAM"), [value](db::Param& p) { p.setString(value); }, log);
}

bool WriteDateSetting(const QString& key, const QDate& value, const std::optional<SettingLog>& log)
{
    checkKind(key, {SettingKind::Date});
    SetSettingValue(key, value);
    if (!SettingWritesNow(key))
        return false;
    runWrite(
        [&](db::Query* q) {
            q->setSql(QStringLiteral("DELETE FROM MY_PARAM WHERE NAME_PARAM = :N"));
            q->param(QStringLiteral("N")).setString(key);
            q->execSql();
            q->setSql(QStringLiteral("INSERT INTO MY_PARAM (NAME_PARAM, DATE_PARAM) VALUES (:N, :D)"));
            q->param(QStringLiteral("N")).setString(key);
            q->param(QStringLiteral("D")).setDate(value);
            q->execSql();
        },
        log);
    return true;
}

bool SetPresenceSetting(const QString& key, bool on, const std::optional<SettingLog>& log)
{
    checkKind(key, {SettingKind::Presence});
    SetSettingValue(key, on);
    if (!SettingWritesNow(key))
        return false;
    runWrite(
        [&](db::Query* q) {
            if (on) {
                // One row is enough: a second switch-on adds none.
                q->setSql(QStringLiteral("INSERT INTO MY_PARAM (NAME_PARAM) SELECT CAST(:N AS VARCHAR(20)) FROM RDB$DATABASE "
                                         "WHERE NOT EXISTS (SELECT 1 FROM MY_PARAM WHERE NAME_PARAM = :N)"));
            } else {
                q->setSql(QStringLiteral("DELETE FROM MY_PARAM WHERE NAME_PARAM = :N"));
            }
            q->param(QStringLiteral("N")).setString(key);
            q->execSql();
        },
        log);
    return true;
}

bool StoreSetting(const QString& key, const std::optional<SettingLog>& log)
{
    const auto kind = SettingKindOf(key);
    if (!kind)
        throw std::logic_error("unknown setting " + key.toStdString());
    const QVariant v = SettingValue(key);
    switch (*kind) {
    case SettingKind::Integer:
        return WriteIntegerSetting(key, v.toInt(), log);
    case SettingKind::Check:
        return WriteCheckSetting(key, v.toBool(), log);
    case SettingKind::String:
        return WriteStringSetting(key, v.toString(), log);
    case SettingKind::Memo:
        return WriteMemoSetting(key, v.toString(), log);
    case SettingKind::Presence:
        return SetPresenceSetting(key, v.toBool(), log);
    case SettingKind::Date:
        return WriteDateSetting(key, v.toDate(), log);
    }
    return false;
}

// ---- binding ----

SettingStore NoStore()
{
    return [] {};
}

namespace {

// Shows the setting in the control now and on every change; a change the
// binding itself makes is not taken for the user's.
template <typename Control>
void bindControl(Control* control, const QString& key, SettingStore store, const std::function<void(Control*, const QVariant&)>& show,
          const std::function<void(const std::function<void()>&)>& onUserChange, const std::function<QVariant(Control*)>& read)
{
    auto busy = std::make_shared<bool>(false);
    QPointer<Control> c(control);
    auto apply = [c, key, show, busy] {
        if (!c)
            return;
        *busy = true;
        show(c, SettingValue(key));
        *busy = false;
    };
    apply();
    QObject::connect(MyParams, &TSettings::changed, control, [apply, key](const QString& k) {
        if (k == key)
            apply();
    });
    if (!store)
        store = [key] { StoreSetting(key); };
    onUserChange([c, key, store, read, busy] {
        if (*busy || !c)
            return;
        Guard([&] {
            // A value the database refuses is not kept in memory either: the old one comes back.
            const QVariant before = SettingValue(key);
            SetSettingValue(key, read(c));
            try {
                store();
            } catch (...) {
                SetSettingValue(key, before);
                throw;
            }
        });
    });
}

} // namespace

void BindSetting(QCheckBox* box, const QString& key, SettingStore store)
{
    checkKind(key, {SettingKind::Check, SettingKind::Presence});
    bindControl<QCheckBox>(
        box, key, std::move(store), [](QCheckBox* b, const QVariant& v) { b->setChecked(v.toBool()); },
        [box](const std::function<void()>& f) { QObject::connect(box, &QCheckBox::toggled, box, f); },
        [](QCheckBox* b) { return QVariant(b->isChecked()); });
}

void BindSetting(QButtonGroup* group, const QString& key, SettingStore store)
{
    checkKind(key, {SettingKind::Integer, SettingKind::Presence});
    const bool presence = SettingKindOf(key) == SettingKind::Presence;
    bindControl<QButtonGroup>(
        group, key, std::move(store),
        [presence](QButtonGroup* g, const QVariant& v) {
            const int id = presence ? (v.toBool() ? 1 : 0) : v.toInt();
            if (QAbstractButton* b = g->button(id)) {
                b->setChecked(true);
            } else if (QAbstractButton* on = g->checkedButton()) {
                // An index the group does not have selects nothing.
                const bool exclusive = g->exclusive();
                g->setExclusive(false);
                on->setChecked(false);
                g->setExclusive(exclusive);
            }
        },
        [group](const std::function<void()>& f) {
            QObject::connect(group, &QButtonGroup::idToggled, group, [f](int, bool checked) {
                if (checked)
                    f();
            });
        },
        [presence](QButtonGroup* g) { return presence ? QVariant(g->checkedId() == 1) : QVariant(g->checkedId()); });
}

void BindSetting(QLineEdit* edit, const QString& key, SettingStore store)
{
    checkKind(key, {SettingKind::String});
    bindControl<QLineEdit>(
        edit, key, std::move(store), [](QLineEdit* e, const QVariant& v) { e->setText(v.toString()); },
        [edit](const std::function<void()>& f) { QObject::connect(edit, &QLineEdit::editingFinished, edit, f); },
        [](QLineEdit* e) { return QVariant(e->text()); });
}

void BindSetting(QPlainTextEdit* memo, const QString& key, SettingStore store)
{
    checkKind(key, {SettingKind::Memo, SettingKind::String});
    bindControl<QPlainTextEdit>(
        memo, key, std::move(store),
        [](QPlainTextEdit* m, const QVariant& v) {
            if (m->toPlainText() != v.toString())
                m->setPlainText(v.toString());
        },
        [memo](const std::function<void()>& f) { QObject::connect(memo, &QPlainTextEdit::textChanged, memo, f); },
        [](QPlainTextEdit* m) { return QVariant(m->toPlainText()); });
}

void BindSetting(QDateEdit* edit, const QString& key, SettingStore store)
{
    checkKind(key, {SettingKind::Date});
    bindControl<QDateEdit>(
        edit, key, std::move(store),
        [](QDateEdit* e, const QVariant& v) {
            if (v.toDate().isValid())
                e->setDate(v.toDate());
        },
        [edit](const std::function<void()>& f) { QObject::connect(edit, &QDateEdit::dateChanged, edit, f); },
        [](QDateEdit* e) { return QVariant(e->date()); });
}

void BindBruttoColumns(db::DbGrid* grid, const QString& yieldField, const QString& coefField)
{
    QPointer<db::DbGrid> g(grid);
    auto apply = [g, yieldField, coefField] {
        if (!g || !g->datasetModel())
            return;
        const bool coef = MyParams->v.brutto != 0;
        QList<db::GridColumn> cols = g->datasetModel()->columns();
        bool touched = false;
        for (db::GridColumn& c : cols) {
            if (c.field.compare(yieldField, Qt::CaseInsensitive) == 0) {
                touched |= c.visible == coef;
                c.visible = !coef;
            } else if (c.field.compare(coefField, Qt::CaseInsensitive) == 0) {
                touched |= c.visible != coef;
                c.visible = coef;
            }
        }
        if (touched)
            g->setColumns(cols);
    };
    apply();
    QObject::connect(MyParams, &TSettings::changed, grid, [apply](const QString& k) {
        if (k == QLatin1String("brutto"))
            apply();
    });
}

QStringList BruttoColumnItems()
{
    return {QStringLiteral("Количество"),
            MyParams->v.brutto == 0 ? QStringLiteral("% Выхода") : QStringLiteral("Коэф. Брутто")};
}
