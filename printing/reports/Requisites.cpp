#include "Requisites.h"

#include "TemplateReport.h"

#include <QStringList>

namespace reports {

namespace {

// The two parts that exist, joined by the separator; either alone; or nothing.
QString both(const QString& a, const QString& separator, const QString& b)
{
    if (a.isEmpty())
        return b;
    if (b.isEmpty())
        return a;
    return a + separator + b;
}

} // namespace

Party PartyOf(const QString& name, const QString& inn, const QString& kpp, const QString& addr, const QString& rs,
              const QString& bank, const QString& bik)
{
    Party p;
    p.name = name.trimmed();
    p.address = addr.trimmed();
    p.account = rs.trimmed();
    p.bank = bank.trimmed();
    p.bankCode = bik.trimmed();
    const QString i = inn.trimmed();
    const QString k = kpp.trimmed();
    p.taxNumbers = both(i, QStringLiteral("/"), k);

    QStringList all;
    if (!p.name.isEmpty())
        all << p.name;
    if (!i.isEmpty() && !k.isEmpty())
        all << QStringLiteral("ИНН/КПП: ") + p.taxNumbers;
    else if (!i.isEmpty())
        all << QStringLiteral("ИНН: ") + i;
    else if (!k.isEmpty())
        all << QStringLiteral("КПП: ") + k;
    if (!p.address.isEmpty())
        all << p.address;
    p.all = all.join(QStringLiteral(", "));
    p.accountAtBank = both(p.account, QStringLiteral(" в "), p.bank);
    return p;
}

void PutParty(TemplateRun& run, const QString& suffix, const Party& p)
{
    auto put = [&](const QString& prefix, const QString& text) {
        if (!text.isEmpty())
            run.putText(prefix + suffix, text);
    };
    put(QString(), p.name);
    put(QStringLiteral("addr_"), p.address);
    put(QStringLiteral("inn_"), p.taxNumbers);
    put(QStringLiteral("all_"), p.all);
    put(QStringLiteral("rs_"), p.account);
    put(QStringLiteral("bank_"), p.bank);
    put(QStringLiteral("rs_b_"), p.accountAtBank);
    put(QStringLiteral("bik_"), p.bankCode);
}

} // namespace reports
