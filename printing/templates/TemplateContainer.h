#pragma once

// The template container file (.trz): one template with its layout, its
// variables and its spreadsheet, to carry it to another installation.
//
//   0        1   version, 42
//   1       10   length F of the form part, ten digit values 0..9 (not characters)
//   11       F   one form record of 204 bytes
//   11+F    10   length V of the variable part, coded the same way
//   21+F     V   V / 400 variable records of 400 bytes
//   21+F+V ...   the spreadsheet file byte for byte
//
// Integers are 32-bit little-endian, the font size an 8-byte little-endian
// double; a text is a length byte and that many Windows-1251 characters in a
// field of its maximum + 1 bytes. Keys and descriptions stay out.

#include "TemplateForm.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace templates {

constexpr quint8 kContainerVersion = 42;
constexpr int kFormRecordSize = 204;
constexpr int kVariableRecordSize = 400;
// The print lists are numbered 1 to 10.
constexpr int kLastPrintList = 10;
// A variable's font size in points: 0 when it sets none, else up to the
// largest size a spreadsheet cell's font takes.
constexpr double kMaxFontSize = 999;

struct ContainerForm {
    int listNo = 0;
    QString name;
    QString headYX;
    QString tailYX;
    QString startLine;
    QString endLine;
    int setka = 0;
    int defaul = 0;
    int zoom = 0;
};

struct ContainerVariable {
    QString namevar;
    int sort = 0;
    int enabled = 0;
    int location = 0;
    QString name;
    QString xStart;
    QString xEnd;
    int wrapp = 0;
    int mergee = 0;
    int myAlignment = 0;
    int alignment = 0;
    QString textAfter;
    QString textBefore;
    QString textStatic;
    int myFont = 0;
    QString fontName;
    double fontSize = 0;
    int fontBold = 0;
    int fontItalic = 0;
    int fontUnderline = 0;
    int staticType = 0;
    int setka = 0;
};

struct TemplateContainer {
    ContainerForm form;
    QList<ContainerVariable> variables;
    QByteArray spreadsheet;
};

// The bytes of a container. Texts longer than their fields are cut.
QByteArray WriteContainer(const TemplateContainer& c);

// Reads a container; a wrong version, a damaged file (lengths that do not
// match the file, a text longer than its field), a list number beyond the ten
// print lists or a font size no font has throws TemplateError with the text
// for the user.
TemplateContainer ReadContainer(const QByteArray& bytes);

// The stored template with its variables (in the order MY_SORT, KOD), read on
// the reading transaction; TemplateError when the template is gone.
TemplateContainer ExportTemplate(const engine::Context& ctx, qint64 formKod);

// The layout and variables of a container as the engine would read them, for
// the checks made before an import.
TemplateForm ContainerTemplateForm(const TemplateContainer& c);
TemplateVariables ContainerTemplateVariables(const TemplateContainer& c);

// Inserts the container as a new template of its own print list under the
// given name: not a sample, not the default, its key as its cache number.
// Writes on ctx.write without committing; returns the new key.
qint64 ImportTemplate(const engine::Context& ctx, const TemplateContainer& c, const QString& name);

} // namespace templates
