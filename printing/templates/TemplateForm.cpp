#include "TemplateForm.h"

#include "TemplateEngine.h"

#include "db/Query.h"

#include <QRegularExpression>

#include <limits>
#include <memory>

namespace templates {

void TemplateVariables::add(const TemplateVariable& v)
{
    const QString key = v.NAMEVAR.trimmed().toLower();
    if (!index_.contains(key))
        index_.insert(key, static_cast<int>(list_.size()));
    list_.append(v);
}

const TemplateVariable* TemplateVariables::find(const QString& name) const
{
    const auto it = index_.constFind(name.trimmed().toLower());
    return it == index_.constEnd() ? nullptr : &list_[*it];
}

namespace {

QString text(const db::Query& q, const char* name) { return q.field(QString::fromLatin1(name)).asString().trimmed(); }
int integer(const db::Query& q, const char* name) { return q.field(QString::fromLatin1(name)).asInt(); }

} // namespace

TemplateForm ReadTemplateForm(const db::Query& q)
{
    TemplateForm f;
    f.KOD = q.field(QStringLiteral("KOD")).asInt64();
    f.NAME_SHABLON = text(q, "NAME_SHABLON");
    f.HEAD_YX = text(q, "Head_YX");
    f.TAIL_YX = text(q, "Tail_YX");
    f.START_LINE = text(q, "START_LINE");
    f.END_LINE = text(q, "END_LINE");
    f.SETKA = integer(q, "SETKA");
    f.ZOOM = integer(q, "ZOOM");
    f.UNICNAME = q.field(QStringLiteral("UNICNAME")).asInt64();
    f.SHABLON = q.field(QStringLiteral("SHABLON")).asBytes();
    return f;
}

TemplateVariable ReadTemplateVariable(const db::Query& q)
{
    TemplateVariable v;
    v.NAMEVAR = text(q, "NAMEVAR");
    v.ENABLED = integer(q, "Enabled");
    v.LOCATION = integer(q, "LOCATION");
    v.STATIC_TYPE = integer(q, "STATIC_TYPE");
    v.TEXT_STATIC = q.field(QStringLiteral("TEXT_STATIC")).asString();
    v.X_START = text(q, "X_Start");
    v.X_END = text(q, "X_END");
    v.SETKA = integer(q, "SETKA");
    v.WRAPP = integer(q, "WRAPP");
    v.MERGEE = integer(q, "MERGEE");
    v.HORIZONTAL_ALIGNMENT = integer(q, "HORIZONTAL_ALIGNMENT");
    v.MY_HORIZONTAL_ALIGNMENT = integer(q, "MY_HORIZONTAL_ALIGNMENT");
    v.TEXT_BEFORE_VALUE = q.field(QStringLiteral("TEXT_BEFORE_VALUE")).asString();
    v.TEXT_AFTER_VALUE = q.field(QStringLiteral("TEXT_AFTER_VALUE")).asString();
    v.MY_FONT = integer(q, "MY_FONT");
    v.FONT_NAME = text(q, "FONT_NAME");
    v.FONT_SIZE = q.field(QStringLiteral("FONT_SIZE")).asDouble();
    v.FONT_BOLD = integer(q, "FONT_BOLD");
    v.FONT_ITALIC = integer(q, "FONT_ITALIC");
    v.FONT_UNDERLINE = integer(q, "FONT_UNDERLINE");
    return v;
}

QString DefaultTemplateSql(int listNo)
{
    return QStringLiteral("SELECT * FROM PRINT_FORMS WHERE KOD_SPISKA = %1 AND DEFAUL = 1").arg(listNo);
}

QString TemplateVariablesSql(qint64 formKod)
{
    return QStringLiteral("SELECT * FROM PRINT_VARIABLES WHERE KOD_FORMA = %1").arg(formKod);
}

LoadedTemplate LoadDefaultTemplate(const engine::Context& ctx, int listNo)
{
    LoadedTemplate t;
    db::Query q(ctx.database, ctx.read);
    q.setSql(DefaultTemplateSql(listNo));
    q.prepare();
    q.open();
    if (q.isEmpty())
        throw TemplateError(QStringLiteral("Для этого списка печати не назначен шаблон по умолчанию !"));
    q.first();
    t.form = ReadTemplateForm(q);
    q.close();
    q.setSql(TemplateVariablesSql(t.form.KOD));
    q.prepare();
    q.open();
    for (q.first(); !q.eof(); q.next())
        t.variables.add(ReadTemplateVariable(q));
    q.close();
    ValidateTemplate(t.form, t.variables);
    return t;
}

namespace {

bool isCell(const QString& ref)
{
    static const QRegularExpression re(QStringLiteral("^[A-Z]{1,2}[1-9][0-9]{0,6}$"));
    return re.match(ref).hasMatch();
}

bool isColumnOrCell(const QString& ref)
{
    static const QRegularExpression re(QStringLiteral("^[A-Z]{1,2}([1-9][0-9]{0,6})?$"));
    return re.match(ref).hasMatch();
}

bool isColumn(const QString& ref)
{
    static const QRegularExpression re(QStringLiteral("^[A-Z]{1,2}$"));
    return re.match(ref).hasMatch();
}

[[noreturn]] void badReference(const QString& templateName, const QString& ref, const QString& where)
{
    throw TemplateError(QStringLiteral("В шаблоне \"%1\" неверная ссылка на ячейку \"%2\" (%3).\n"
                                       "Ссылка пишется заглавными латинскими буквами столбца (не более двух) "
                                       "и номером строки, например F12.")
                            .arg(templateName, ref, where));
}

// Rows of a sheet in the office (1,048,576); a reference below them names no cell.
constexpr int kSheetRows = 1 << 20;

void checkRow(const QString& templateName, const QString& ref, const QString& where)
{
    if (RowNumber(ref) > kSheetRows)
        throw TemplateError(QStringLiteral("В шаблоне \"%1\" ссылка на ячейку \"%2\" (%3) выходит за пределы листа: "
                                           "на листе %4 строк.")
                                .arg(templateName, ref, where)
                                .arg(kSheetRows));
}

} // namespace

void ValidateTemplate(const TemplateForm& form, const TemplateVariables& variables)
{
    const QString& name = form.NAME_SHABLON;
    if (!isCell(form.HEAD_YX))
        badReference(name, form.HEAD_YX, QStringLiteral("конец шапки"));
    if (!isCell(form.TAIL_YX))
        badReference(name, form.TAIL_YX, QStringLiteral("конец подвала"));
    checkRow(name, form.HEAD_YX, QStringLiteral("конец шапки"));
    checkRow(name, form.TAIL_YX, QStringLiteral("конец подвала"));
    if (RowNumber(form.TAIL_YX) <= RowNumber(form.HEAD_YX))
        throw TemplateError(QStringLiteral("В шаблоне \"%1\" конец подвала (%2) должен стоять ниже конца шапки (%3).")
                                .arg(name, form.TAIL_YX, form.HEAD_YX));
    if (form.SETKA == OutlineGrid || form.SETKA == OutlineLines) {
        if (!isColumn(form.START_LINE))
            badReference(name, form.START_LINE, QStringLiteral("первый столбец таблицы"));
        if (!isColumn(form.END_LINE))
            badReference(name, form.END_LINE, QStringLiteral("последний столбец таблицы"));
    }
    for (const TemplateVariable& v : variables.all()) {
        if (v.ENABLED != 1)
            continue;
        // Header and end variables count rows; table rows take the report's row.
        const bool rowCounts = v.LOCATION >= LocHeader;
        for (const QString& ref : {v.X_START, v.X_END}) {
            if (rowCounts ? !isCell(ref) : !isColumnOrCell(ref))
                badReference(name, ref, QStringLiteral("переменная %1").arg(v.NAMEVAR));
            if (rowCounts)
                checkRow(name, ref, QStringLiteral("переменная %1").arg(v.NAMEVAR));
        }
        if (v.LOCATION == LocGroup && v.SETKA == 1 && (!isColumn(form.START_LINE) || !isColumn(form.END_LINE)))
            badReference(name, form.START_LINE + QLatin1Char(':') + form.END_LINE,
                         QStringLiteral("столбцы таблицы для линии под строкой"));
    }
}

qint32 UnicnameFromKey(qint64 key)
{
    if (key <= 0 || key > std::numeric_limits<qint32>::max())
        throw TemplateError(QStringLiteral("Номер файла шаблона %1 не помещается в поле UNICNAME. "
                                           "Шаблон не сохранён.")
                                .arg(key));
    return static_cast<qint32>(key);
}

} // namespace templates
