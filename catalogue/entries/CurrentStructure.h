#pragma once

#include <QString>

namespace catalogue {

// The enterprise, department and warehouse the structure lists stand on (the
// settings tab's structure box, whose lists the products tab shows too). A
// list without a row gives key 0 and an empty name.
struct CurrentStructure {
    qint64 firma = 0;
    QString firmaName;
    bool firmaOwn = false;
    qint64 otdel = 0;
    QString otdelName;
    qint64 sklad = 0;
    QString skladName;
};

CurrentStructure CurrentStructureRows();

} // namespace catalogue
