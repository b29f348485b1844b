#include "CurrentStructure.h"

#include "CatalogueUi.h"
#include "Unit_StructureBox.h"
#include "db/Query.h"

namespace catalogue {

namespace {

QString nameOf(const db::Query* q) { return cat::HasRow(q) ? q->field(QStringLiteral("NAME")).asString() : QString(); }

} // namespace

CurrentStructure CurrentStructureRows()
{
    CurrentStructure c;
    if (!StructureBox)
        return c;
    const db::Query* firma = StructureBox->Q_Firma;
    c.firma = cat::KeyOf(firma);
    c.firmaName = nameOf(firma);
    c.firmaOwn = cat::HasRow(firma) && firma->hasField(QStringLiteral("LOCAL_FIRMA")) &&
                 !firma->field(QStringLiteral("LOCAL_FIRMA")).isNull() &&
                 firma->field(QStringLiteral("LOCAL_FIRMA")).asInt64() != 0;
    c.otdel = cat::KeyOf(StructureBox->Q_Otdel);
    c.otdelName = nameOf(StructureBox->Q_Otdel);
    c.sklad = cat::KeyOf(StructureBox->Q_Sklad);
    c.skladName = nameOf(StructureBox->Q_Sklad);
    return c;
}

} // namespace catalogue
