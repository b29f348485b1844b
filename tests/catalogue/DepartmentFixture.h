#pragma once

// Two enterprises: "Кафе" with its kitchen and a bar, "Бистро" with its hall;
// raw onion and carrot and a salad made of them; helpers that read and set
// the products' department rows.

#include "CatalogueFixture.h"

#include "costing/DepartmentRows.h"
#include "costing/Recompute.h"

#include <QStringList>

#include <string>

// Messages as one text, for readable comparisons.
inline std::string shown(const QStringList& messages) { return messages.join(QStringLiteral(" | ")).toStdString(); }
inline std::string shown(const QString& text) { return text.toStdString(); }

struct DepartmentShop {
    explicit DepartmentShop(CatEnv& e) : env(e)
    {
        kg = env.unit();
        group = env.group(QStringLiteral("Овощи и салаты"));
        firma = env.firma(QStringLiteral("Кафе"));
        kitchen = env.mainOtdel(firma);
        bar = structure::CreateOtdel(firma, QStringLiteral("Кафе"), QStringLiteral("Бар"), QString());
        firma2 = env.firma(QStringLiteral("Бистро"), QStringLiteral("Зал"));
        hall = env.mainOtdel(firma2);
        onion = env.ing(QStringLiteral("Лук репчатый"), group, kg);
        carrot = env.ing(QStringLiteral("Морковь"), group, kg);
        salad = env.ing(QStringLiteral("Салат \"Весна\""), group, kg);
        // The salad: 0.5 of onion at a yield of 50 % and 0.2 of carrot, with a card markup of 10 %.
        exec(QStringLiteral("DELETE FROM KARTA WHERE KOD_ING_MASTER = %1").arg(salad));
        exec(QStringLiteral("INSERT INTO KARTA (KOD_ING_MASTER, KOD_ING, KOLVO, PERCENT, IS_ACTIVE) VALUES (%1, %2, 0.5, 50, 1)")
                 .arg(salad)
                 .arg(onion));
        exec(QStringLiteral("INSERT INTO KARTA (KOD_ING_MASTER, KOD_ING, KOLVO, PERCENT, IS_ACTIVE) VALUES (%1, %2, 0.2, 100, 1)")
                 .arg(salad)
                 .arg(carrot));
        exec(QStringLiteral("UPDATE ING SET MY_LEVEL = 1, PERCENT_PLUS = 10 WHERE KOD = %1").arg(salad));
        set(onion, kitchen, QStringLiteral("CENA = 20"));
        set(carrot, kitchen, QStringLiteral("CENA = 10"));
    }

    void exec(const QString& sql) { env.t().exec(sql); }
    qint64 row(qint64 ing, qint64 otdel) { return env.ingSklad(ing, otdel); }
    void set(qint64 ing, qint64 otdel, const QString& assignments)
    {
        exec(QStringLiteral("UPDATE ING_SKLAD SET ") + assignments + QStringLiteral(" WHERE KOD = %1").arg(row(ing, otdel)));
    }
    QVariant value(qint64 ing, qint64 otdel, const QString& column)
    {
        return env.t().scalar(QStringLiteral("SELECT ") + column + QStringLiteral(" FROM ING_SKLAD WHERE KOD = %1")
                                                                .arg(row(ing, otdel)));
    }
    double num(qint64 ing, qint64 otdel, const QString& column) { return value(ing, otdel, column).toDouble(); }

    static QString cell(const db::Field& f)
    {
        if (f.isNull())
            return QStringLiteral("<null>");
        const QVariant v = f.value();
        if (v.typeId() == QMetaType::Double)
            return QString::number(v.toDouble(), 'g', 17);
        return QString::fromLatin1(f.asBytes().toHex());
    }

    // Every column of every department row, and the protocol, as text: equal
    // snapshots mean nothing was written.
    std::string snapshot()
    {
        QStringList out;
        auto q = env.t().select(QStringLiteral("SELECT * FROM ING_SKLAD ORDER BY KOD"));
        for (q->first(); !q->eof(); q->next()) {
            QStringList cells;
            for (int c = 0; c < q->fieldCount(); ++c)
                cells << cell(q->field(c));
            out << cells.join(QLatin1Char('|'));
        }
        out << QString::number(env.count(QStringLiteral("LOG_TABLE"))) << QString::number(env.count(QStringLiteral("MY_PARAM")));
        return out.join(QLatin1Char('\n')).toStdString();
    }

    CatEnv& env;
    qint64 kg = 0, group = 0, firma = 0, kitchen = 0, bar = 0, firma2 = 0, hall = 0;
    qint64 onion = 0, carrot = 0, salad = 0;
};
