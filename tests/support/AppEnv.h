#pragma once

#include "TestDb.h"

#include "util/Messages.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <deque>
#include <functional>

class NetworkRelay;

// The texts shown, in order. Asking for the last one when none was shown is
// a failed expectation of the test that asked, not a crash of the test binary.
class ShownMessages : public QStringList {
public:
    using QStringList::QStringList;
    using QStringList::operator=;
    QString last() const
    {
        EXPECT_FALSE(isEmpty()) << "a message was expected, none was shown";
        return isEmpty() ? QString() : QStringList::last();
    }
};

// The program's windows on a fresh database: Form_Main, Form_Util and
// Form_Base created as the program creates them, with Net.txt in the test's
// folder naming the test database. Every message is recorded; confirmations
// and choices take their answers from `answers` (OK when it is empty).
class AppEnv {
public:
    explicit AppEnv(bool runStartup = true);
    // The program's start in its two steps, `onStartPage` run between them
    // with only the main window made, where the program shows its start page.
    AppEnv(bool runStartup, const std::function<void()>& onStartPage);
    ~AppEnv();

    TestDb& testDb() { return db_; }
    // Logs in as the given user without the log-in dialog: globals and rights.
    void loginAs(const QString& login);
    // Moves the program's connection and the test's own from the embedded
    // engine to the test server (TARELIA_TEST_SERVER), as a workstation in
    // network mode has them, the program's through the relay when one is
    // given; false when there is no test server.
    bool moveToTestServer(const NetworkRelay* relay = nullptr);

    ShownMessages messages;         // every text shown, in order
    std::deque<int> answers;        // 1 OK / 0 Cancel, or a choice index
    bool sawMessage(const QString& text) const { return messages.contains(text); }

private:
    TestDb db_;
};
