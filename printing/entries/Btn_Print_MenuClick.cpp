#include "Btn_Print_MenuClick.h"

#include "DirectPrint.h"
#include "Office.h"

#include "ReportGauge.h"
#include "ProgramOffice.h"
#include "db/Query.h"
#include "engine/EngineDb.h"
#include "exchange/MenuExport.h"
#include "reports/MenuCsv.h"
#include "reports/MenuReport.h"
#include "ui/Unit_RG.h"
#include "util/Messages.h"
#include "workbooks/MenuCodesWorkbook.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace printing {

std::function<QString(const QString&)> PickMenuCsvPath = [](const QString& proposed) {
    QFileDialog d(nullptr, QString(), proposed, QStringLiteral("CSV (*.csv)"));
    d.setAcceptMode(QFileDialog::AcceptSave);
    d.setDefaultSuffix(QStringLiteral("csv"));
    d.setOption(QFileDialog::DontConfirmOverwrite);
    if (!proposed.isEmpty())
        d.selectFile(proposed);
    if (Msg::execModal(&d) != QDialog::Accepted || d.selectedFiles().isEmpty())
        return QString();
    return d.selectedFiles().constFirst();
};

namespace {

// The file chosen last time, for the rest of the run: its folder is offered again.
QString& lastCsvPath()
{
    static QString path;
    return path;
}

void PrintCodes(qint64 menu)
{
    const QList<workbooks::MenuCodeLine> lines = reports::LoadMenuCodes(engine::ProgramContext(), menu);
    // No active section with an active dish: nothing at all.
    if (lines.isEmpty())
        return;
    if (DirectPrintChosen()) {
        QVector<direct::CodeLine> rows;
        rows.reserve(lines.size());
        for (const workbooks::MenuCodeLine& l : lines)
            rows.append({l.kodRazdel.toLongLong(), l.nameRazdel, l.name, l.kod1s, l.sKod});
        PrintCodesDirect(rows);
        return;
    }
    // An office that was running before the program installed the bar-code
    // font does not know it until it starts again.
    bool noBars = false;
    WriteWorkbook([&](const reports::Progress& gauge) {
        const bool made = workbooks::menucodes::Print(ProgramOffice(), {lines}, gauge);
        noBars = made && !ProgramOffice().hasFont(workbooks::BarCodeFontName());
        return made;
    });
    if (noBars)
        Msg::notice(workbooks::BarCodeFontMissingText());
}

bool WriteCsv(qint64 menu)
{
    // The dialog proposes the menu's name as a file name, in the folder chosen last time.
    auto q = engine::Reader(engine::ProgramContext(), QStringLiteral("SELECT NAME FROM MENU WHERE KOD = ") +
                                                          QString::number(menu));
    q->open();
    QString proposed = exchange::MenuFileName(q->isEmpty() ? QString() : q->field(0).asString(), QStringLiteral("csv"));
    q->close();
    if (!lastCsvPath().isEmpty())
        proposed = QFileInfo(lastCsvPath()).dir().filePath(proposed);
    const QString path = PickMenuCsvPath(proposed);
    if (path.isEmpty())
        return false;
    lastCsvPath() = path;
    reports::WriteMenuCsv(path, reports::LoadMenuSections(engine::ProgramContext(), menu));
    return true;
}

} // namespace

void Prt_MenuExcel(qint64 menu)
{
    reports::menu::Options o;
    o.menu = menu;
    reports::menu::Print(engine::ProgramContext(), o, ProgramOffice(), ProgramTemplateCache(), GaugeProgress());
}

void Prt_Menu(qint64 menu)
{
    if (DirectPrintChosen())
        Prt_MenuDirect(menu);
    else
        Prt_MenuExcel(menu);
}

bool Btn_Print_MenuClick(qint64 menu)
{
    if (!engine::Exists(engine::ProgramContext(),
                        QStringLiteral("SELECT KOD FROM MENU_RAZDEL WHERE KOD_MENU = ") + QString::number(menu)))
        return false;
    Form_RG->RG->setTitle(QString());
    Form_RG->RG->setItems({QStringLiteral("Печать меню"), QStringLiteral("Печать кодов выбранного меню"),
                           QStringLiteral("Печать выбранного меню в формате CSV")});
    Form_RG->RG->setItemIndex(0);
    Form_RG->adjustSize();
    if (Msg::execModal(Form_RG) != QDialog::Accepted)
        return false;
    switch (Form_RG->RG->itemIndex()) {
    case 0:
        Prt_Menu(menu);
        return true;
    case 1:
        PrintCodes(menu);
        return false;
    case 2:
        return WriteCsv(menu);
    default:
        return false;
    }
}

} // namespace printing
