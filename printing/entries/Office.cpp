#include "Office.h"

#include "automation/ProgramOffice.h"
#include "util/Messages.h"

#ifdef TARELIA_HAVE_UNO
#include "automation/uno/UnoOffice.h"
#endif

namespace printing {

automation::Office& ProgramOffice()
{
#ifdef TARELIA_HAVE_UNO
    if (!automation::ProgramOfficeInstalled())
        automation::SetProgramOffice(std::make_unique<automation::UnoOffice>(automation::ProgramUnoOptions()));
#endif
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
