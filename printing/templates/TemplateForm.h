#pragma once

// The print templates as the engine reads them: the template row of
// PRINT_FORMS, its variables of PRINT_VARIABLES, and the repository that
// finds the default template of a print list.

#include "engine/Context.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <stdexcept>

namespace db {
class Query;
} // namespace db

namespace templates {

// A template cannot be used; the text is for the user.
class TemplateError : public std::runtime_error {
public:
    explicit TemplateError(const QString& text) : std::runtime_error(text.toStdString()), text_(text) {}
    const QString& text() const { return text_; }

private:
    QString text_;
};

// Outline of the table: 0 grid, 1 a line under each row, 2 none.
enum TableOutline { OutlineGrid = 0, OutlineLines = 1, OutlineNone = 2 };

// Where a variable is written.
enum VarLocation { LocTable = 0, LocGroup = 1, LocTotals = 2, LocHeader = 3, LocEnd = 4 };

struct TemplateForm {
    qint64 KOD = 0;
    QString NAME_SHABLON;
    QString HEAD_YX;
    QString TAIL_YX;
    QString START_LINE;
    QString END_LINE;
    int SETKA = 0;
    int ZOOM = 0;
    qint64 UNICNAME = 0;
    QByteArray SHABLON;
};

struct TemplateVariable {
    QString NAMEVAR;
    int ENABLED = 0;
    int LOCATION = 0;
    int STATIC_TYPE = 0;
    QString TEXT_STATIC;
    QString X_START;
    QString X_END;
    int SETKA = 0;
    int WRAPP = 0;
    int MERGEE = 0;
    int HORIZONTAL_ALIGNMENT = 0;
    int MY_HORIZONTAL_ALIGNMENT = 0;
    QString TEXT_BEFORE_VALUE;
    QString TEXT_AFTER_VALUE;
    int MY_FONT = 0;
    QString FONT_NAME;
    double FONT_SIZE = 0;
    int FONT_BOLD = 0;
    int FONT_ITALIC = 0;
    int FONT_UNDERLINE = 0;
};

// The variables of one template, found by NAMEVAR without regard to case.
class TemplateVariables {
public:
    void add(const TemplateVariable& v);
    // Nothing when the template has no variable of that name.
    const TemplateVariable* find(const QString& name) const;
    const QList<TemplateVariable>& all() const { return list_; }

private:
    QList<TemplateVariable> list_;
    QHash<QString, int> index_;
};

// The current row of a PRINT_FORMS / PRINT_VARIABLES query.
TemplateForm ReadTemplateForm(const db::Query& q);
TemplateVariable ReadTemplateVariable(const db::Query& q);

// The statements the reports read their template with.
QString DefaultTemplateSql(int listNo);
QString TemplateVariablesSql(qint64 formKod);

struct LoadedTemplate {
    TemplateForm form;
    TemplateVariables variables;
};

// The default template of print list listNo with its variables. A list
// without a default template, or a template whose cell references are not
// usable, throws TemplateError before anything is opened.
LoadedTemplate LoadDefaultTemplate(const engine::Context& ctx, int listNo);

// Checks the cell references of a template (one or two capital letters, then
// the row; the end block below the header) and of its enabled variables.
void ValidateTemplate(const TemplateForm& form, const TemplateVariables& variables);

// A key drawn for UNICNAME must fit its 32-bit column.
qint32 UnicnameFromKey(qint64 key);

} // namespace templates
