#pragma once

// A document open in the office, reached through the spreadsheet interface:
// cells, blocks, formats and sheets, the locks held while it is filled (the
// rows given wrapped text meanwhile are fitted when the last lock comes off)
// and showing it to the user.

#include "automation/Spreadsheet.h"

#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include <memory>

namespace automation::unodoc {

// The loaded component as a document. `office` is the office's own context;
// a headless office shows nothing, and an office without windows says so
// when the document is to be shown.
std::unique_ptr<Document> Wrap(const com::sun::star::uno::Reference<com::sun::star::lang::XComponent>& component,
                               const com::sun::star::uno::Reference<com::sun::star::uno::XComponentContext>& office,
                               bool headless, bool windowsAvailable);

// Every page style of a document made by Wrap prints without the office's
// own header and footer (the sheet's name, "Page 1" in its interface language).
void PlainPages(Document& document);

} // namespace automation::unodoc
