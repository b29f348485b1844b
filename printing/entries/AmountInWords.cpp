#include "AmountInWords.h"

#include "engine/Context.h"
#include "reports/TemplateReport.h"
#include "words/AmountInWords.h"

namespace printing {

QString AmountInWords(double amount)
{
    return words::AmountInWords(amount, reports::MoneyNamesOf(engine::ProgramContext()));
}

} // namespace printing
