#pragma once

// The movement documents' statements that the movement tab and its dialogs
// run: the list query, copying a document, re-pricing its lines and the
// lines' own changes. Each writer works on the context of the calling
// handler's write road and commits nothing.

#include "engine/WriteRoad.h"
#include "engine/Context.h"
#include "engine/DocumentClaim.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QVariant>
#include <QVector>

namespace movement {

// The reservation of every road that runs these writers (engine/WriteRoad.h).
inline constexpr WriteTransaction::Reserve kRoad = WriteTransaction::Reserve::Documents;

// What the movement list shows.
struct ListFilter {
    bool allDates = true;
    QDate start;
    QDate finish;
    bool lockOn = false;  // documents dated before the lock date are never listed
    QDate lockDate;
    int type = 0;         // 0 all, 1..7 one type, 8 receipts, issues and production write-offs
    int detail = 1;       // 0 every enterprise, 1 the enterprise, 2 the department
    qint64 firma = 0;
    qint64 otdel = 0;
};

struct ListQuery {
    QStringList lines;
    QVector<QPair<QString, QVariant>> params;  // name, value
};
ListQuery DocsMoveQuery(const ListFilter& f);

// The text of the list's period caption.
QString PeriodCaption(bool allDates, const QDate& start, const QDate& finish);

// A copy of a receipt, issue or transfer with the given number, dated as
// given, with the lines whose product still has a row in its department,
// priced at that row's current stock or selling price (by the source's price
// kind) and with the source quantities or none. Returns the new key.
qint64 CopyDocument(const engine::Context& ctx, qint64 source, const QString& name, const QDate& date, const QTime& time, bool withQuantity);

// The writers of a document's header and lines claim the document first
// (engine/DocumentClaim.h) and refuse one posted or deleted by another
// workstation since the window read it (engine::DocumentRefusal), so a value
// typed into a stale window never lands on a posted document.

// The refusal of a change to a posted movement document.
QString PostedRefusal();

// Claims the movement document for a change of its lines (refused as
// engine::ClaimUnposted refuses); the line writers below take what it returns.
engine::UnpostedDocument Claim(const engine::Context& ctx, qint64 doc);

// Every line of the document gets the stock (kind 0) or selling price of its
// product in the department; a product without a row there gets 0.
void RepriceLines(const engine::Context& ctx, const engine::UnpostedDocument& doc, qint64 otdel, int kind);

// A new line of the product with quantity 0 at its stock or selling price
// in the department (by the document's price kind) rounded to the kopeck;
// 0 without a stock row there. Returns its key.
qint64 AddLine(const engine::Context& ctx, const engine::UnpostedDocument& doc, qint64 otdel, qint64 ing, int priceKind);

// One value of one line of the document: KOLVO or CENA. A line removed
// meanwhile is refused in words.
void SetLineValue(const engine::Context& ctx, const engine::UnpostedDocument& doc, qint64 line, const QString& column,
                  double value);
// A sum typed for a line: its price becomes the sum over its quantity, or,
// with no quantity, its quantity the sum over its price, either to six
// decimals; refused in words when both are 0 or the line was removed meanwhile.
void SetLineSum(const engine::Context& ctx, const engine::UnpostedDocument& doc, qint64 line, double sum);
// One line (one removed meanwhile is refused in words), or every line of a
// document.
void DeleteLine(const engine::Context& ctx, const engine::UnpostedDocument& doc, qint64 line);
void DeleteLines(const engine::Context& ctx, const engine::UnpostedDocument& doc);


} // namespace movement

namespace movement {

// The characters of a typed text that Windows-1251 cannot hold, each once;
// empty when the database can store the text.
QString CharsOutsideCp1251(const QString& text);
// The refusal naming them.
QString Cp1251Refusal(const QString& chars);

} // namespace movement
