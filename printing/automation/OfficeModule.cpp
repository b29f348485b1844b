#include "OfficeModule.h"

#include <QLibrary>

namespace automation {

QString OfficeModuleFileName() { return QStringLiteral(TARELIA_OFFICE_MODULE); }

std::unique_ptr<Office> LoadOfficeModule(const QString& path, QString* error)
{
    using Make = Office* (*)();
    // Stays loaded for the rest of the run: the office object's code lives there.
    QLibrary library(path);
    library.setLoadHints(QLibrary::ResolveAllSymbolsHint);
    if (!library.load()) {
        if (error)
            *error = library.errorString();
        return nullptr;
    }
    const auto make = reinterpret_cast<Make>(library.resolve("tarelia_new_program_office"));
    if (!make) {
        if (error)
            *error = library.errorString();
        return nullptr;
    }
    try {
        return std::unique_ptr<Office>(make());
    } catch (const std::exception& e) {
        if (error)
            *error = QString::fromUtf8(e.what());
        return nullptr;
    }
}

} // namespace automation
