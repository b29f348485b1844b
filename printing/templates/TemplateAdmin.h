#pragma once

// The changes the template window makes to PRINT_FORMS and PRINT_VARIABLES:
// save of the two panels, upload of a spreadsheet, copy, delete, and the
// developer's rename, new sample and variable store. Every function writes on
// ctx.write and never commits: the handler ends with its protocol line.

#include "engine/WriteRoad.h"
#include "TemplateForm.h"

#include "automation/Spreadsheet.h"

#include <optional>

namespace templates {

// The reservation of every road that runs these writers (engine/WriteRoad.h).
inline constexpr WriteTransaction::Reserve kRoad = WriteTransaction::Reserve::Templates;

// The template panel as the window holds it.
struct FormPanel {
    QString name;
    QString headYX;
    QString tailYX;
    QString startLine;
    QString endLine;
    int zoom = 100;
    int setka = 0;
    bool defaul = false;
};

// The variable panel as the window holds it.
struct VarPanel {
    qint64 kod = 0;
    bool enabled = false;
    QString opis;
    QString xStart;
    QString xEnd;
    bool setka = false;       // the line under a group row
    bool wrapp = false;
    bool mergee = false;
    int alignment = 0;        // 0 left, 1 centre, 2 right; stored as + 2
    bool myAlignment = false;
    QString textAfter;
    QString textBefore;
    QString textStatic;
    bool myFont = false;
    QString fontName;
    int fontSize = 0;
    bool fontBold = false;
    bool fontItalic = false;
    bool fontUnderline = false;
};

// Saves the template and its current variable (none when the template has
// no variables). A ticked default clears the list's other default; a list
// left without one gets its sample back as the default.
void SaveTemplate(const engine::Context& ctx, int listNo, qint64 formKod, const FormPanel& form,
                  const std::optional<VarPanel>& variable);

// The template row as stored, with its variables in their order (MY_SORT, KOD).
std::optional<TemplateForm> ReadStoredForm(const engine::Context& ctx, qint64 formKod);
TemplateVariables ReadStoredVariables(const engine::Context& ctx, qint64 formKod);

// Refuses (TemplateError) a file that is not a spreadsheet the office opens,
// and a template whose cell references the engine could not use. Nothing is
// written; the document opened for the check is closed again. When the office
// cannot be reached, what can be checked without it still is (the file looks
// like a spreadsheet, the cell references): CheckSpreadsheet then returns
// false, CheckUploadable the text telling what could not be checked (empty
// when everything was).
bool CheckSpreadsheet(automation::Office& office, const QByteArray& bytes, const QString& fileName);
QString CheckUploadable(automation::Office& office, const QByteArray& bytes, const QString& fileName,
                        const TemplateForm& form, const TemplateVariables& variables);

// Stores the spreadsheet into the template under a fresh cache number; returns the number.
qint32 UploadSpreadsheet(const engine::Context& ctx, qint64 formKod, const QByteArray& bytes);

// Copies the template with its variables into the list under a new name; the
// copy keeps the cache number, is no sample and no default. Throws
// TemplateError when the source row is gone.
qint64 CopyTemplate(const engine::Context& ctx, qint64 sourceKod, int listNo, const QString& name);

// Deletes the template and its variables; a deleted default hands the list's
// default to its sample. Returns whether it was the default.
bool DeleteTemplate(const engine::Context& ctx, qint64 formKod, int listNo);

// Developer mode: renames the template and attaches it to the list.
void RenameTemplate(const engine::Context& ctx, qint64 formKod, int listNo, const QString& name);
// Developer mode: an empty sample "Образец" in the list; returns its key.
qint64 AddSampleTemplate(const engine::Context& ctx, int listNo);

// Developer mode: a variable's program name, caption, place, kind and sort
// number; a new one (varKod 0) gets a fresh key, which is returned.
struct VarDefinition {
    QString namevar;
    QString name;
    int location = 0;
    int staticType = 0;
    int sort = 0;
};
qint64 StoreVariable(const engine::Context& ctx, qint64 formKod, qint64 varKod, const VarDefinition& v);

// Steps a cell reference: mode 0 column left (not before A), 1 column right
// (not past ZZ), 2 row up (not above 1), 3 row down. A column-only reference
// ("A") keeps having no row.
QString StepCellRef(const QString& ref, int mode);

// The characters of a text the database's Windows-1251 cannot hold, each once.
QString UnstorableChars(const QString& text);

} // namespace templates
