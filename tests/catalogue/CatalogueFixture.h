#pragma once

// The program on a fresh database, logged in as the administrator, with
// helpers that build a catalogue through the program's own writers, and a
// script for the modal dialogs a handler opens.

#include "support/AppEnv.h"

#include "CatalogueUi.h"
#include "Products.h"
#include "Structure.h"
#include "base/Unit_Base.h"
#include "db/Query.h"
#include "ui/Unit_Main.h"
#include "util/Messages.h"
#include "util/Unit_Util.h"
#include "Unit_ProductsTab.h"
#include "Unit_SelectFirma.h"
#include "Unit_StructureBox.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QVariant>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <tuple>
#include <vector>

class CatEnv : public AppEnv {
public:
    CatEnv()
    {
        loginAs(QStringLiteral("Администратор"));
        Form_Main->Apply_UserRights();
    }

    TestDb& t() { return testDb(); }
    qint64 num(const QString& sql) { return t().scalar(sql).toLongLong(); }
    QString text(const QString& sql) { return t().scalar(sql).toString(); }
    int count(const QString& table, const QString& where = {})
    {
        return static_cast<int>(
            num(QStringLiteral("SELECT COUNT(*) FROM ") + table + (where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where)));
    }
    int logLines(const QString& action)
    {
        auto q = t().select(QStringLiteral("SELECT WHAT_ACTION FROM LOG_TABLE"));
        int n = 0;
        for (q->first(); !q->eof(); q->next())
            n += q->field(0).asString() == action ? 1 : 0;
        return n;
    }

    qint64 firma(const QString& name, const QString& otdel = QStringLiteral("Кухня"),
                 const QString& sklad = QStringLiteral("Основной склад"), bool local = true)
    {
        structure::FirmaData d;
        d.name = name;
        d.local = local;
        return structure::CreateFirma(d, otdel, sklad);
    }
    qint64 mainOtdel(qint64 firma)
    {
        return num(QStringLiteral("SELECT KOD FROM OTDEL WHERE FIRST_OTDEL = '1' AND KOD_FIRMA = %1").arg(firma));
    }
    qint64 mainSklad(qint64 otdel)
    {
        return num(QStringLiteral("SELECT KOD FROM SKLAD WHERE FIRST_SKLAD = '1' AND KOD_OTDEL = %1").arg(otdel));
    }
    qint64 unit(const QString& name = QStringLiteral("килограмм"), const QString& shortName = QStringLiteral("кг"))
    {
        return structure::CreateEd(name, shortName);
    }
    qint64 group(const QString& name) { return products::CreateGroup(name); }
    qint64 ing(const QString& name, qint64 group, qint64 unit)
    {
        products::IngData d;
        d.name = name;
        d.group = group;
        d.edIzm = unit;
        return products::CreateIng(d, {}, {});
    }
    qint64 ingSklad(qint64 ing, qint64 otdel)
    {
        return num(QStringLiteral("SELECT KOD FROM ING_SKLAD WHERE KOD_ING = %1 AND KOD_OTDEL = %2").arg(ing).arg(otdel));
    }

    // Stands a shared list on the row with the key.
    static void at(db::Query* q, qint64 kod) { q->locate(QStringLiteral("KOD"), QVariant::fromValue<qint64>(kod)); }

    // A row of a product's costing card, written straight into the table.
    void cardRow(qint64 master, qint64 ing, double kolvo, double percent, int active)
    {
        t().exec(QStringLiteral("INSERT INTO KARTA (KOD_ING_MASTER, KOD_ING, KOLVO, PERCENT, IS_ACTIVE) "
                                "VALUES (%1, %2, %3, %4, %5)")
                     .arg(master)
                     .arg(ing)
                     .arg(kolvo, 0, 'g', 17)
                     .arg(percent, 0, 'g', 17)
                     .arg(active));
    }
    // A card's rows in their order: ingredient, quantity, yield, active.
    using CardRow = std::tuple<qint64, double, double, int>;
    std::vector<CardRow> cardRows(qint64 master)
    {
        std::vector<CardRow> out;
        auto q = t().select(
            QStringLiteral("SELECT KOD_ING, KOLVO, PERCENT, IS_ACTIVE FROM KARTA WHERE KOD_ING_MASTER = %1 ORDER BY KOD")
                .arg(master));
        for (q->first(); !q->eof(); q->next())
            out.emplace_back(q->field(0).asInt64(), q->field(1).asDouble(), q->field(2).asDouble(), q->field(3).asInt());
        return out;
    }
    // The products tab on the enterprise, the department and the group.
    static void showProducts(qint64 firma, qint64 otdel, qint64 group)
    {
        Form_Main->SetActivePage(Form_Main->Sheet_All_Ing);
        ProductsTab->Sheet_IngShow();
        at(StructureBox->Q_Firma, firma);
        StructureBox->Timer_OtdelTimer();
        at(StructureBox->Q_Otdel, otdel);
        StructureBox->Timer_SkladTimer();
        ProductsTab->Timer_GrIngTimer();
        at(ProductsTab->Q_GrIng, group);
    }
};

// Acts on the modal dialogs a handler opens, in the order they open: each
// step gets the dialog (shown, in place of its event loop, through the dialog
// service's modal handler) and closes it. A dialog that opens with no step
// left, or that a step leaves open, is cancelled and counted, so a test never
// waits on a dialog.
class ModalScript {
public:
    ModalScript()
    {
        Msg::setModalHandler([this](QDialog* d) { return run(d); });
    }
    ~ModalScript()
    {
        Msg::setModalHandler({});
        EXPECT_EQ(unexpected_, 0) << "a dialog opened with no step for it, or a step left it open";
        EXPECT_TRUE(steps_.empty()) << "an expected dialog did not open";
    }
    ModalScript& then(std::function<void(QWidget*)> step)
    {
        steps_.push_back(std::move(step));
        return *this;
    }
    size_t pending() const { return steps_.size(); }
    int unexpected() const { return unexpected_; }

private:
    int run(QDialog* d)
    {
        d->setResult(QDialog::Rejected);
        if (steps_.empty()) {
            ++unexpected_;
            return QDialog::Rejected;
        }
        auto step = std::move(steps_.front());
        steps_.pop_front();
        QPointer<QDialog> shown = d;
        d->show();
        step(d);
        if (shown && shown->isVisible()) {
            ++unexpected_;
            shown->reject();
        }
        return shown ? shown->result() : int(QDialog::Rejected);
    }
    std::deque<std::function<void(QWidget*)>> steps_;
    int unexpected_ = 0;
};
