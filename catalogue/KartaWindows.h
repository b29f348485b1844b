#pragma once

// The costing card's windows: the card editor, the card view, the recipe and
// the gross-coefficient calculator, created after the catalogue's windows
// (the calculator is the product dialog's).
void CreateKartaWindows();
void DestroyKartaWindows();

// The products tab's "Копия": a new dish under a typed name with the general
// parameters, the card and the department rows of the current product, its
// prices computed, selected in the list.
void CopyIngClick();
