// The settings loader: every MY_PARAM row into MyParams.

#include "Unit_Base.h"

#include "util/Settings.h"
#include "util/SettingsStore.h"

#include <QSignalBlocker>

void TForm_Base::LoadMyParams()
{
    // A reload starts from the design state, so a switch whose row is gone
    // is off again and a missing value row shows its design default.
    MyParams->resetToDefaults();

    // Read afresh: a writer that adds or removes a switch row leaves the list as it was.
    Q_Param->close();
    Q_Param->open();
    for (Q_Param->first(); !Q_Param->eof(); Q_Param->next()) {
        const QString name = Q_Param->field(QStringLiteral("NAME_PARAM")).asString();
        const auto kind = SettingKindOf(name);
        if (!kind)
            continue;  // unknown keys are ignored
        QVariant value;
        switch (*kind) {
        case SettingKind::Integer:
            value = Q_Param->field(QStringLiteral("INTEGER_PARAM")).asInt();
            break;
        case SettingKind::Check:
            value = Q_Param->field(QStringLiteral("INTEGER_PARAM")).asInt() > 0;
            break;
        case SettingKind::String:
            value = Q_Param->field(QStringLiteral("STRING_PARAM")).asString();
            break;
        case SettingKind::Memo:
            value = Q_Param->field(QStringLiteral("MEMO_PARAM")).asString();
            break;
        case SettingKind::Presence:
            value = true;
            break;
        case SettingKind::Date:
            value = Q_Param->field(QStringLiteral("DATE_PARAM")).asDate();
            break;
        }
        // Loading is not a change of the user's: set the value without the signal.
        const QSignalBlocker quiet(MyParams);
        SetSettingValue(name, value);
    }
    Q_Param->first();
    // Every control bound to a setting follows the loaded state, the grids
    // that depend on the gross column setting included.
    for (const SettingKey& k : SettingKeys())
        emit MyParams->changed(QString::fromLatin1(k.name));
}
