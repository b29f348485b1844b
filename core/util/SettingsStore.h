#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <optional>

class QButtonGroup;
class QCheckBox;
class QDateEdit;
class QLineEdit;
class QPlainTextEdit;
namespace db {
class DbGrid;
}

// The settings of MY_PARAM by key: their kinds, the in-memory values of
// MyParams, the writers that store a change at once, and the binding of
// the controls that show a setting.

enum class SettingKind {
    Integer,   // INTEGER_PARAM, an item index or a number
    Check,     // INTEGER_PARAM, checked when above 0 (written 1 or 0)
    String,    // STRING_PARAM
    Memo,      // MEMO_PARAM
    Presence,  // on while a row with the key exists
    Date,      // DATE_PARAM, stored by deleting and re-inserting the row
};

struct SettingKey {
    const char* name;
    SettingKind kind;
};

// Every key, in the order the loader compares them.
const QList<SettingKey>& SettingKeys();
// The kind of a key; std::nullopt for an unknown key.
std::optional<SettingKind> SettingKindOf(const QString& key);
// Whether a writer of the key stores now: the keys rod, rub, kop, brutto,
// pkdd, mkdd, pkkk and pkpr always, the others only after start-up.
bool SettingWritesNow(const QString& key);

// The in-memory value: int, bool, QString or QDate by the key's kind.
QVariant SettingValue(const QString& key);
// Changes the in-memory value; MyParams->changed(key) fires when it differs.
void SetSettingValue(const QString& key, const QVariant& value);

// The protocol line of a writer; a writer without one commits by itself.
struct SettingLog {
    QString area;
    QString action;
};

// Writers: each sets the in-memory value, then (when SettingWritesNow) stores
// it on a fresh write transaction and ends with the protocol line or a
// commit, and reopens the settings list Q_Param. A value row that is missing
// is inserted, so a change is never lost. They return whether they stored.
bool WriteIntegerSetting(const QString& key, int value, const std::optional<SettingLog>& log = std::nullopt);
bool WriteCheckSetting(const QString& key, bool checked, const std::optional<SettingLog>& log = std::nullopt);
bool WriteStringSetting(const QString& key, const QString& value, const std::optional<SettingLog>& log = std::nullopt);
bool WriteMemoSetting(const QString& key, const QString& value, const std::optional<SettingLog>& log = std::nullopt);
bool WriteDateSetting(const QString& key, const QDate& value, const std::optional<SettingLog>& log = std::nullopt);
// Presence: inserts the row (when none exists) or deletes every row of the key.
bool SetPresenceSetting(const QString& key, bool on, const std::optional<SettingLog>& log = std::nullopt);
// Stores the in-memory value of the key with the writer of its kind.
bool StoreSetting(const QString& key, const std::optional<SettingLog>& log = std::nullopt);

// Binding of a control to a setting: the control shows the setting whenever
// it is loaded or changed; a user's change sets the in-memory value and then
// runs `store` (empty: StoreSetting(key) without a protocol line; NoStore():
// memory only). Check boxes follow Check and Presence keys; a button group
// (ids = item indexes) follows Integer keys, and Presence keys as items 0/1;
// line edits store when editing finishes.
using SettingStore = std::function<void()>;
SettingStore NoStore();
void BindSetting(QCheckBox* box, const QString& key, SettingStore store = {});
void BindSetting(QButtonGroup* group, const QString& key, SettingStore store = {});
void BindSetting(QLineEdit* edit, const QString& key, SettingStore store = {});
void BindSetting(QPlainTextEdit* memo, const QString& key, SettingStore store = {});
void BindSetting(QDateEdit* edit, const QString& key, SettingStore store = {});

// The gross column rule (setting brutto): 0 shows the yield-percent column
// and hides the gross-coefficient column, 1 the other way round. The grid
// follows every load and change of the setting.
void BindBruttoColumns(db::DbGrid* grid, const QString& yieldField, const QString& coefField);
// Items of the costing card's column chooser: "Количество" and "% Выхода" or "Коэф. Брутто".
QStringList BruttoColumnItems();
