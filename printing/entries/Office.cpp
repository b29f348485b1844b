#include "Office.h"

#include "ProgramOffice.h"
#include "util/Messages.h"

#include "automation/OfficeModule.h"

#include <QCoreApplication>

namespace printing {

automation::Office& ProgramOffice()
{
    // Loaded on the first print; while it cannot be (no LibreOffice on this
    // computer), every print says the office cannot be reached, and the next
    // print tries again.
    if (!automation::ProgramOfficeInstalled()) {
        const QString module = QCoreApplication::applicationDirPath() + QLatin1Char('/') + automation::OfficeModuleFileName();
        if (std::unique_ptr<automation::Office> office = automation::LoadOfficeModule(module))
            automation::SetProgramOffice(std::move(office));
    }
    return automation::ProgramOffice();
}

bool OfficeConnect()
{
    ProgramOffice();
    OfficeVariants().connected = automation::OfficeConnect();
    return OfficeVariants().connected;
}

bool OfficeNewCalc() { return automation::OfficeNewCalc(); }

void OfficeDisconnect()
{
    OfficeVariants().connected = false;
    automation::OfficeDisconnect();
}

void OfficeVariantsT::SetString(int column, int row, const QString& text)
{
    if (auto& doc = automation::OfficeVariants().OfficeDocument)
        doc->setString({0, column, row}, text);
}

void OfficeVariantsT::ShowDocument()
{
    if (auto& doc = automation::OfficeVariants().OfficeDocument)
        doc->show();
}

OfficeVariantsT& OfficeVariants()
{
    static OfficeVariantsT v;
    return v;
}

void WriteLinesToNewCalc(const QStringList& lines)
{
    if (!OfficeConnect() || !OfficeNewCalc()) {
        Msg::notice(automation::OfficeUnreachableText());
        return;
    }
    for (int i = 0; i < lines.size(); ++i)
        OfficeVariants().SetString(0, i, lines[i]);
    OfficeVariants().ShowDocument();
    OfficeDisconnect();
}

} // namespace printing
