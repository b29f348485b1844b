#pragma once

#include "RowWriter.h"
#include "Scrambler.h"

#include <QObject>

#include <functional>

// The utility window: the generic row writer, the protocol writer, the
// rights loader and the program's one scrambler register.
class TForm_Util : public QObject {
    Q_OBJECT
public:
    explicit TForm_Util(QObject* parent = nullptr);

    // Inserts a row with a fresh key from MY_GEN and returns the key. The caller
    // has started TransactionWrite; nothing is committed.
    qint64 InsertRecord(const R_Record& r);
    // Updates the row whose KOD is r.KOD. Nothing is committed.
    void UpdateRecord(const R_Record& r);

    // Appends the protocol line and commits TransactionWrite, so the change and
    // its line commit together. Texts longer than their columns are cut.
    void WriteLog(const QString& fio, const QString& login, const QString& area, const QString& action);

    // Replaces UserRights from the user's PERSON_POLICY rows.
    void LoadUserRights(qint64 personKod);

    Scrambler& scrambler() { return scrambler_; }
    std::uint8_t NextKeyByte() { return scrambler_.NextKeyByte(); }
    QByteArray SeedFromStamp(const QByteArray& stamp) { return scrambler_.SeedFromStamp(stamp); }
    QByteArray ScrambleString(const QByteArray& text) { return scrambler_.ScrambleString(text); }
    QByteArray UnscrambleString(const QByteArray& s) { return scrambler_.UnscrambleString(s); }

    // The value the price recomputation keeps between runs.
    int ComputeState = 50;

private:
    Scrambler scrambler_;
};

extern TForm_Util* Form_Util;

// The write road: rolls back whatever a window left pending, starts the write
// transaction, and rolls it back on leaving the scope unless WriteLog (or an
// explicit commit) has committed it.
class WriteTransaction {
public:
    WriteTransaction();
    ~WriteTransaction();
    WriteTransaction(const WriteTransaction&) = delete;
    WriteTransaction& operator=(const WriteTransaction&) = delete;
    void commit();
    void rollback();
};

// Runs a handler; any failure rolls the write transaction back at once and
// shows the error's text. Returns false when the handler failed.
bool Guard(const std::function<void()>& handler);

// The decimal text of a key, for statements built by concatenation.
inline QString Key(qint64 kod) { return QString::number(kod); }
