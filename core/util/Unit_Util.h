#pragma once

#include "RowWriter.h"
#include "engine/EngineDb.h"
#include "engine/WriteRoad.h"
#include "Scrambler.h"

#include <QObject>

#include <functional>

// The utility window: the generic row writer, the rights loader and the
// program's one scrambler register.
class TForm_Util : public QObject {
    Q_OBJECT
public:
    explicit TForm_Util(QObject* parent = nullptr);

    // The row writer on the program's context (engine::InsertRecord /
    // engine::UpdateRecord). The caller has opened the write road; nothing is committed.
    qint64 InsertRecord(const R_Record& r);
    void UpdateRecord(const R_Record& r);

    // Replaces UserRights from the user's PERSON_POLICY rows.
    void LoadUserRights(qint64 personKod);

    Scrambler& scrambler() { return scrambler_; }
    std::uint8_t NextKeyByte() { return scrambler_.NextKeyByte(); }
    QByteArray SeedFromStamp(const QByteArray& stamp) { return scrambler_.SeedFromStamp(stamp); }
    QByteArray ScrambleString(const QByteArray& text) { return scrambler_.ScrambleString(text); }
    QByteArray UnscrambleString(const QByteArray& s) { return scrambler_.UnscrambleString(s); }

private:
    Scrambler scrambler_;
};

extern TForm_Util* Form_Util;

// Runs a handler; any failure rolls the write transaction back at once and
// shows the error's text: a lost connection and another workstation's lock in
// words, a failure after a commit had returned as a change that is saved, a
// connection lost during the commit itself as a change that may have been
// saved. A road refused because another workstation changed or deleted its
// row (engine::RowRefusal) has the lists showing that row read it again.
// Returns false when the handler failed.
bool Guard(const std::function<void()>& handler);

