#pragma once

#include "TestDb.h"

#include "util/Messages.h"

#include <QStringList>

#include <deque>

// The program's windows on a fresh database: Form_Main, Form_Util and
// Form_Base created as the program creates them, with Net.txt in the test's
// folder naming the test database. Every message is recorded; confirmations
// and choices take their answers from `answers` (OK when it is empty).
class AppEnv {
public:
    explicit AppEnv(bool runStartup = true);
    ~AppEnv();

    TestDb& testDb() { return db_; }
    // Logs in as the given user without the log-in dialog: globals and rights.
    void loginAs(const QString& login);

    QStringList messages;           // every text shown, in order
    std::deque<int> answers;        // 1 OK / 0 Cancel, or a choice index
    bool sawMessage(const QString& text) const { return messages.contains(text); }

private:
    TestDb db_;
};
