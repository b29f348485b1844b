#pragma once

// An enterprise's requisites as the papers print them: only the parts the
// enterprise has, so a partner without bank details or a second tax number
// prints no lone separator or caption.

#include <QString>

namespace reports {

class TemplateRun;

struct Party {
    QString name, taxNumbers, address, account, bank, bankCode, all, accountAtBank;
};

// taxNumbers "INN/KPP" (either alone when the other is missing); all: the
// name, "ИНН/КПП: INN/KPP" ("ИНН: INN", "КПП: KPP" when one is missing) and
// the address, those that exist, joined by ", "; accountAtBank "RS в BANK"
// (either alone). Blank fields count as missing.
Party PartyOf(const QString& name, const QString& inn, const QString& kpp, const QString& addr, const QString& rs,
              const QString& bank, const QString& bik);

// Places the party's variables with the given suffix ("pok", "prod"):
// name, addr_, inn_, all_, rs_, bank_, rs_b_, bik_. An empty text is not
// placed, so its cell keeps what the template holds and a caption before
// or after the value is not printed alone.
void PutParty(TemplateRun& run, const QString& suffix, const Party& p);

} // namespace reports
