#pragma once

// The program on a fresh database with an own enterprise of two departments
// (kitchen and bar), a partner, a group and a unit, and the movement tab
// listing every document.

#include "../catalogue/CatalogueFixture.h"
#include "PostingFixture.h"

#include "Unit_MoveTab.h"
#include "ui/RadioGroup.h"
#include "db/Query.h"

class MoveEnv : public CatEnv {
public:
    MoveEnv()
    {
        firmaKod = firma(QStringLiteral("Столовая"));
        kitchen = mainOtdel(firmaKod);
        bar = structure::CreateOtdel(firmaKod, QStringLiteral("Столовая"), QStringLiteral("Бар"), QString());
        partnerKod = firma(QStringLiteral("ООО \"Поставщик\""), QStringLiteral("Склад"), QStringLiteral("Склад"), false);
        ed = unit();
        gr = group(QStringLiteral("Овощи"));
        // Every document of any enterprise is listed.
        MoveTab->R_Detail->setItemIndex(0);
    }

    // A product with its stock in the kitchen (and optionally the bar).
    qint64 product(const QString& name, double kolvo = 0, double cena = 0, double myCena = 0, double barKolvo = 0,
                   double barCena = 0)
    {
        const qint64 k = ing(name, gr, ed);
        setStock(k, kitchen, kolvo, cena, myCena);
        setStock(k, bar, barKolvo, barCena, barCena);
        return k;
    }
    void setStock(qint64 ing, qint64 otdel, double kolvo, double cena, double myCena)
    {
        t().exec(QStringLiteral("UPDATE ING_SKLAD SET KOLVO = %1, CENA = %2, MY_CENA = %3 WHERE KOD_ING = %4 AND KOD_OTDEL = %5")
                     .arg(kolvo, 0, 'g', 17)
                     .arg(cena, 0, 'g', 17)
                     .arg(myCena, 0, 'g', 17)
                     .arg(ing)
                     .arg(otdel));
    }
    // A dish of the given card rows (ingredient, net quantity).
    qint64 dish(const QString& name, const QList<QPair<qint64, double>>& card)
    {
        const qint64 k = ing(name, gr, ed);
        t().exec(QStringLiteral("UPDATE ING SET MY_LEVEL = 1 WHERE KOD = %1").arg(k));
        t().exec(QStringLiteral("DELETE FROM KARTA WHERE KOD_ING_MASTER = %1").arg(k));
        for (const auto& [ingredient, kolvo] : card)
            t().exec(QStringLiteral("INSERT INTO KARTA (KOD_ING_MASTER, KOD_ING, KOLVO, PERCENT, IS_ACTIVE) VALUES (%1, %2, %3, 100, 1)")
                         .arg(k)
                         .arg(ingredient)
                         .arg(kolvo, 0, 'g', 17));
        return k;
    }
    qint64 doc(int type, qint64 otdel1, qint64 otdel2 = 0, int p = 0, int typeCena = 0,
               const QString& name = QStringLiteral("П-1"))
    {
        const qint64 k = num(QStringLiteral("SELECT GEN_ID(MY_GEN, 1) FROM RDB$DATABASE"));
        const qint64 partner = type == 4 ? firmaKod : partnerKod;
        t().exec(QStringLiteral("INSERT INTO DOCS (KOD, NAME, DATE_DOC, TIME_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, KOD_PARTNER_IMPORT, "
                                "INT_PARAM1, INT_PARAM2, TYPE_CENA, P) VALUES (%1, '%2', '2026-12-07', '10:30:00', %3, %4, %5, %6, %7, %8, %9)")
                     .arg(k)
                     .arg(name)
                     .arg(type)
                     .arg(firmaKod)
                     .arg(partner)
                     .arg(otdel1)
                     .arg(otdel2)
                     .arg(typeCena)
                     .arg(p));
        return k;
    }
    qint64 line(qint64 doc, qint64 ing, double kolvo, double cena)
    {
        const qint64 k = num(QStringLiteral("SELECT GEN_ID(MY_GEN, 1) FROM RDB$DATABASE"));
        // In the document's own department, as the lines window adds it.
        t().exec(QStringLiteral("INSERT INTO MOVES (KOD, KOD_DOC, KOD_ING, KOLVO, CENA, KOD_OTDEL) "
                                "SELECT %1, %2, %3, %4, %5, INT_PARAM1 FROM DOCS WHERE KOD = %2")
                     .arg(k)
                     .arg(doc)
                     .arg(ing)
                     .arg(kolvo, 0, 'g', 17)
                     .arg(cena, 0, 'g', 17));
        return k;
    }
    double kolvo(qint64 ing, qint64 otdel)
    {
        return t().scalar(QStringLiteral("SELECT KOLVO FROM ING_SKLAD WHERE KOD_ING = %1 AND KOD_OTDEL = %2").arg(ing).arg(otdel)).toDouble();
    }
    double cena(qint64 ing, qint64 otdel)
    {
        return t().scalar(QStringLiteral("SELECT CENA FROM ING_SKLAD WHERE KOD_ING = %1 AND KOD_OTDEL = %2").arg(ing).arg(otdel)).toDouble();
    }
    qint64 docField(qint64 doc, const char* column)
    {
        return num(QStringLiteral("SELECT %1 FROM DOCS WHERE KOD = %2").arg(QLatin1String(column)).arg(doc));
    }

    // The list reopened and standing on the document.
    void select(qint64 doc)
    {
        if (!StructureBox->Q_Firma->active())
            Form_Base->OpenRead(StructureBox->Q_Firma, QStringLiteral("SELECT * FROM FIRMA WHERE LOCAL_FIRMA = 1 ORDER BY NAME"));
        MoveTab->Open_DocsMove();
        at(MoveTab->Q_Dvig, doc);
    }
    qint64 current() { return cat::KeyOf(MoveTab->Q_Dvig); }
    PostingSnapshot snapshot() { return TakeSnapshot(t()); }

    qint64 firmaKod = 0, partnerKod = 0, kitchen = 0, bar = 0, ed = 0, gr = 0;
};

// A step of a ModalScript: the radio group's item, then OK.
template <typename Dialog>
std::function<void(QWidget*)> choose(int item)
{
    return [item](QWidget* w) {
        auto* d = qobject_cast<Dialog*>(w);
        ASSERT_NE(d, nullptr) << "another dialog opened";
        d->RadioGroup1->setItemIndex(item);
        d->Btn_Ok->click();
    };
}
