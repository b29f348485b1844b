#pragma once

#include <QDate>
#include <QString>

namespace engine {

// The values of MY_PARAM, one member per key, with the design defaults. The
// program keeps the live copy in MyParams; an engine reads them through its
// context.
struct Settings {
    int okrugl1 = 1;        // rounding step: 0 "10 к.", 1 "50 к.", 2 "1 р.", 3 "5 р.", 4 "10 р.", 5 "50 р."
    int okrugl2 = 0;        // rounding rule: 0 "Математическое", 1 "Больше", 2 "Меньше", 3 "Не округлять"
    int rod = 0;            // gender of the currency unit
    QString rub;            // whole currency unit
    QString kop;            // hundredth unit
    bool pkdd = true;       // document filling: cursor to the next row
    bool mkdd = false;      // document filling: swap entry columns
    bool pkkk = true;       // costing card: cursor to the next row
    bool pkpr = true;       // production/sales keypad: cursor to the next row
    int brutto = 1;         // 0 yield percent, 1 gross coefficient
    int obmen = 0;          // 0 the companion program, 1 TorgService
    int my_language = 0;    // 0 Russian, 1 Ukrainian
    bool DOiliPOSLE = false;
    QString DisMenuTab;
    QString DisMenuHead;
    QString DisMenuTail;
    bool ShtrihKodAllOtdel = false;
    bool Kod1SAllOtdel = false;
    bool PrintPrgOpenOffice = false;
    bool InvProvodka = false;
    bool DelOtkatOnly = false;
    bool PrintForGroup = false;
    bool DateDocEdit = false;
    QDate MyDateDocEdit;
};

} // namespace engine
