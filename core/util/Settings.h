#pragma once

#include "engine/Settings.h"

#include <QDate>
#include <QObject>
#include <QString>

// The settings of MY_PARAM in memory, one member per key. Loaded at start-up
// and on reconnect; the controls that show a setting are bound to it, and the
// code that needs a setting reads it here.
class TSettings : public QObject {
    Q_OBJECT
public:
    explicit TSettings(QObject* parent = nullptr) : QObject(parent) {}

    // Design defaults, as the controls show them before anything is loaded.
    void resetToDefaults() { *this = TSettings::Values{}; }

    using Values = engine::Settings;
    Values v;

signals:
    // A setting changed (loaded or edited); key as in MY_PARAM.
    void changed(const QString& key);

private:
    TSettings& operator=(const Values& values)
    {
        v = values;
        return *this;
    }
};

extern TSettings* MyParams;
