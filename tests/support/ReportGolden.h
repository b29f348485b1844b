#pragma once

// Golden workbooks of the reports. Every folder tests/fixtures/report_<case>/
// holds:
//   options.json  {"report": "<runner>", ...}: the runner that prints the
//                 case and the options it reads (any other keys are the
//                 runner's own);
//   data.sql      optional: statements run, committed, on a fresh test
//                 database (with the program's sample templates) before the
//                 runner; statements are separated as in the schema sources;
//   NAME.fods     optional: a template of the case's own (useTemplate(NAME));
//   expected.txt  the dump of every workbook the runner made (DumpBooks),
//                 followed by the runner's notes; with options "dumpRows": N
//                 only each sheet's first N rows (a long paper's layout, the
//                 runner reading the whole).
// One data-driven test (tests/engines/ReportGoldenTest.cpp) runs every
// folder. A missing or different expected.txt fails with a diff; with
// TARELIA_REWRITE_GOLDEN=1 in the environment the dumps are written instead.
//
// A report's test file registers its runner once, by name:
//
//   TARELIA_GOLDEN_RUNNER(waybill)
//   {
//       reports::WaybillOptions o;
//       o.document = golden.options.value("document").toInteger();
//       reports::PrintWaybill(golden.ctx(), golden.office, golden.cache(), o);
//   }
//
// The clock stands at options "today" (dd.MM.yyyy, default 07.12.2026 10:00).

#include "support/TestDb.h"

#include "automation/RecordingOffice.h"
#include "engine/Context.h"

#include <QJsonObject>
#include <QStringList>

#include <functional>

struct GoldenCase {
    QString folder;        // the case's folder, with a trailing '/'
    QJsonObject options;   // options.json
    TestDb t{TestDb::WithSamples};
    engine::Settings settings;  // "settings" of options.json: rub, kop, rod, my_language, okrugl1, okrugl2
    engine::User user{QStringLiteral("Иванова Мария"), QStringLiteral("ivanova"), 7};
    automation::RecordingOffice office;  // connected-to, reachable unless options "office" is "unreachable"
    QStringList notes;     // lines printed after the workbooks (messages, results)

    engine::Context ctx();
    // The template cache folder of the test database (created).
    QString cache();
    // Lays the office's loaded templates out from a flat OpenDocument file:
    // a sample of printing/templates/samples, a test template of
    // tests/fixtures/templates or one of the case's folder, by name without
    // ".fods".
    void useTemplate(const QString& name);
};

using GoldenRunner = std::function<void(GoldenCase&)>;

bool RegisterGoldenRunner(const QString& name, GoldenRunner runner);
const GoldenRunner* FindGoldenRunner(const QString& name);
QStringList GoldenRunnerNames();

#define TARELIA_GOLDEN_RUNNER(name)                                                                      \
    static void tareliaGoldenRunner_##name(GoldenCase& golden);                                          \
    [[maybe_unused]] static const bool tareliaGoldenRegistered_##name =                                  \
        RegisterGoldenRunner(QStringLiteral(#name), tareliaGoldenRunner_##name);                         \
    static void tareliaGoldenRunner_##name([[maybe_unused]] GoldenCase& golden)
