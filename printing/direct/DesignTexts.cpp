#include "DesignTexts.h"

#include "schema/Upgrade.h"
#include "db/Codec.h"
#include "db/Query.h"
#include "engine/EngineDb.h"

#include <QFile>
#include <QSaveFile>

#include <stdexcept>

namespace direct {

namespace {

QString WithCrLf(const QString& memo) { return MemoLines(memo).join(QStringLiteral("\r\n")); }

} // namespace

DesignTexts ReadDesignTexts(const engine::Context& ctx)
{
    DesignTexts t;
    auto q = engine::Reader(ctx, QStringLiteral("SELECT NAME_PARAM, STRING_PARAM, MEMO_PARAM FROM MY_PARAM "
                                                "WHERE NAME_PARAM IN ('DisMenuHead', 'DisMenuTab', 'DisMenuTail')"));
    q->open();
    for (; !q->eof(); q->next()) {
        const QString name = q->field(QStringLiteral("NAME_PARAM")).asString();
        if (name == QStringLiteral("DisMenuTab"))
            t.tab = q->field(QStringLiteral("STRING_PARAM")).asString();
        else if (name == QStringLiteral("DisMenuHead"))
            t.head = q->field(QStringLiteral("MEMO_PARAM")).asString();
        else if (name == QStringLiteral("DisMenuTail"))
            t.tail = q->field(QStringLiteral("MEMO_PARAM")).asString();
    }
    return t;
}

DesignTexts ShippedDesignTexts(const engine::Context& ctx)
{
    auto value = [&ctx](const char* key) {
        auto q = engine::Reader(ctx, QStringLiteral("SELECT ") + schema::shippedSettingSql(QString::fromLatin1(key)) +
                                         QStringLiteral(" AS S FROM RDB$DATABASE"));
        q->open();
        return q->field(QStringLiteral("S")).asString();
    };
    return {value("DisMenuHead"), value("DisMenuTab"), value("DisMenuTail")};
}

void StoreDesignTexts(const engine::Context& ctx, const DesignTexts& texts)
{
    auto memo = engine::Writer(ctx, QStringLiteral("UPDATE MY_PARAM SET MEMO_PARAM = :S WHERE NAME_PARAM = :N"));
    memo->param(QStringLiteral("S")).setString(WithCrLf(texts.head));
    memo->param(QStringLiteral("N")).setString(QStringLiteral("DisMenuHead"));
    memo->execSql();
    memo->close();
    memo->param(QStringLiteral("S")).setString(WithCrLf(texts.tail));
    memo->param(QStringLiteral("N")).setString(QStringLiteral("DisMenuTail"));
    memo->execSql();
    auto line = engine::Writer(ctx, QStringLiteral("UPDATE MY_PARAM SET STRING_PARAM = :S WHERE NAME_PARAM = :N"));
    line->param(QStringLiteral("S")).setString(texts.tab);
    line->param(QStringLiteral("N")).setString(QStringLiteral("DisMenuTab"));
    line->execSql();
}

QByteArray PrtParBytes(const PrtParLines& l)
{
    const QStringList lines{QString::number(l.road), l.leftMargin, l.topMargin, l.scaleWidth, l.scaleHeight,
                            l.linePitch, l.lines ? QStringLiteral("1") : QStringLiteral("0"), l.fontName,
                            QString::number(l.fontPoints)};
    QByteArray out;
    for (const QString& s : lines)
        out += db::toCp1251Lossy(s) + "\r\n";
    return out;
}

void WritePrtPar(const QString& path, const PrtParLines& l)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(PrtParBytes(l)) < 0 || !f.commit())
        throw std::runtime_error(QStringLiteral("Не удалось записать файл %1: %2").arg(path, f.errorString()).toStdString());
}

} // namespace direct
