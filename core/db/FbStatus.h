#pragma once

// A status vector that turns errors into DbError, for the client layer and
// the few writers that call the client interface directly.

#include "Database.h"

#include <firebird/Interface.h>

namespace db {

class FbStatus : public Firebird::CheckStatusWrapper {
public:
    FbStatus() : Firebird::CheckStatusWrapper(Database::master()->getStatus()) {}
    ~FbStatus() { dispose(); }
    FbStatus(const FbStatus&) = delete;
    FbStatus& operator=(const FbStatus&) = delete;
    bool failed() { return getState() & Firebird::IStatus::STATE_ERRORS; }
    void check()
    {
        if (failed())
            throwStatus(this);
    }
};

} // namespace db
