#pragma once

// Private to the client layer: a status vector that turns errors into DbError.

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
