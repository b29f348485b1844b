#pragma once

// The catalogue's windows in the program's order of creation: the structure
// and product dialogs and the pickers come before the data module, the tabs
// and the data they bind to after it.
void CreateCatalogueWindows();
// The two that come later in that order: the department picker (after the
// log-in dialog) and the section-number dialog (among the windows after the
// data module).
void CreateSelectOtdelWindow();
void CreateNSectionWindow();
// After Form_Base exists: builds the settings tab's structure box, the
// products tab and the menus tab with its dish picker, which subscribe to
// their lists, and binds the dialogs' own lists.
void AttachCatalogueWindows();
void DestroyCatalogueWindows();
