#pragma once

#include <QtGlobal>

// The department parameters of a product ("Индивидуальные параметры
// продукта"): prices, markup and price method, write-off, visibility, codes
// and minimum stock of its row in one department, edited in a modal dialog
// that writes only on OK. The caller checks the user's rights.
namespace ingsklad {

struct Outcome {
    bool accepted = false;  // closed with OK, the row saved
    bool hidden = false;    // the row is now hidden in its department
};

// The row of the product in the department; nothing happens without one.
Outcome EditProductInDepartment(qint64 ing, qint64 otdel);
// The row by its key (ING_SKLAD.KOD).
Outcome EditDepartmentRow(qint64 rowKod);

} // namespace ingsklad
