#include "TemplateAdmin.h"

#include "db/Codec.h"
#include "db/Query.h"
#include "db/Transaction.h"
#include "engine/EngineDb.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QFile>

#include <algorithm>

namespace templates {

namespace {

using engine::FreshKey;

int flag(bool b) { return b ? 1 : 0; }

void setDefaultToSample(const engine::Context& ctx, int listNo)
{
    engine::Exec(ctx, QStringLiteral("UPDATE PRINT_FORMS SET DEFAUL = 1 WHERE KOD_SPISKA = %1 AND OBRAZ = 1").arg(listNo));
}

} // namespace

void SaveTemplate(const engine::Context& ctx, int listNo, qint64 formKod, const FormPanel& f,
                  const std::optional<VarPanel>& variable)
{
    if (f.defaul)
        engine::Exec(ctx, QStringLiteral("UPDATE PRINT_FORMS SET DEFAUL = 0 WHERE KOD_SPISKA = %1 AND DEFAUL = 1").arg(listNo));

    auto q = engine::Writer(ctx);
    q->setSql(QStringList{QStringLiteral("UPDATE PRINT_FORMS SET NAME_SHABLON = :NS, HEAD_YX = :HEAD, TAIL_YX = :TAIL,"),
                          QStringLiteral("  START_LINE = :SL, END_LINE = :EL, SETKA = :SETKA, DEFAUL = :PDEFAUL, ZOOM = :ZM"),
                          QStringLiteral("  Where KOD = ") + Key(formKod)});
    q->param(QStringLiteral("NS")).setString(f.name);
    q->param(QStringLiteral("HEAD")).setString(f.headYX);
    q->param(QStringLiteral("TAIL")).setString(f.tailYX);
    q->param(QStringLiteral("SL")).setString(f.startLine);
    q->param(QStringLiteral("EL")).setString(f.endLine);
    q->param(QStringLiteral("SETKA")).setInt(f.setka);
    q->param(QStringLiteral("PDEFAUL")).setInt(flag(f.defaul));
    q->param(QStringLiteral("ZM")).setInt(f.zoom);
    q->execSql();

    if (variable) {
        const VarPanel& v = *variable;
        auto w = engine::Writer(ctx);
        w->setSql(QStringList{
            QStringLiteral("UPDATE PRINT_VARIABLES SET"), QStringLiteral("   ENABLED = :EN,"), QStringLiteral("   OPIS = :OPI,"),
            QStringLiteral("   X_START = :XS,"), QStringLiteral("   X_END = :XE,"), QStringLiteral("   SETKA = :ST,"),
            QStringLiteral("   WRAPP = :WR,"), QStringLiteral("   MERGEE = :ME,"),
            QStringLiteral("   HORIZONTAL_ALIGNMENT = :HA,"), QStringLiteral("   MY_HORIZONTAL_ALIGNMENT = :MHA,"),
            QStringLiteral("   TEXT_AFTER_VALUE = :TAV,"), QStringLiteral("   TEXT_BEFORE_VALUE = :TBV,"),
            QStringLiteral("   TEXT_STATIC = :TS,"), QStringLiteral("   MY_FONT = :MF,"), QStringLiteral("   FONT_NAME = :FN,"),
            QStringLiteral("   FONT_SIZE = :FS,"), QStringLiteral("   FONT_BOLD = :FB,"), QStringLiteral("   FONT_ITALIC = :FI,"),
            QStringLiteral("   FONT_UNDERLINE = :FU"), QStringLiteral("   WHERE KOD = ") + Key(v.kod)});
        w->param(QStringLiteral("EN")).setInt(flag(v.enabled));
        w->param(QStringLiteral("OPI")).setString(v.opis);
        w->param(QStringLiteral("XS")).setString(v.xStart);
        w->param(QStringLiteral("XE")).setString(v.xEnd);
        w->param(QStringLiteral("ST")).setInt(flag(v.setka));
        w->param(QStringLiteral("WR")).setInt(flag(v.wrapp));
        w->param(QStringLiteral("ME")).setInt(flag(v.mergee));
        w->param(QStringLiteral("HA")).setInt(v.alignment + 2);
        w->param(QStringLiteral("MHA")).setInt(flag(v.myAlignment));
        w->param(QStringLiteral("TAV")).setString(v.textAfter);
        w->param(QStringLiteral("TBV")).setString(v.textBefore);
        w->param(QStringLiteral("TS")).setString(v.textStatic);
        w->param(QStringLiteral("MF")).setInt(flag(v.myFont));
        w->param(QStringLiteral("FN")).setString(v.fontName);
        w->param(QStringLiteral("FS")).setDouble(v.fontSize);
        w->param(QStringLiteral("FB")).setInt(flag(v.fontBold));
        w->param(QStringLiteral("FI")).setInt(flag(v.fontItalic));
        w->param(QStringLiteral("FU")).setInt(flag(v.fontUnderline));
        w->execSql();
    }

    if (!f.defaul) {
        // Read on the write transaction: the row just saved counts.
        auto d = engine::Writer(ctx, QStringLiteral("Select * from PRINT_FORMS WHERE KOD_SPISKA = %1 AND DEFAUL = 1").arg(listNo));
        d->open();
        if (d->isEmpty())
            setDefaultToSample(ctx, listNo);
    }
}

std::optional<TemplateForm> ReadStoredForm(const engine::Context& ctx, qint64 formKod)
{
    const QString sql = QStringLiteral("Select * from Print_Forms Where KOD = ") + Key(formKod);
    auto q = ctx.write && ctx.write->active() ? engine::Writer(ctx, sql) : engine::Reader(ctx, sql);
    q->open();
    if (q->isEmpty())
        return std::nullopt;
    return ReadTemplateForm(*q);
}

TemplateVariables ReadStoredVariables(const engine::Context& ctx, qint64 formKod)
{
    const QString sql = QStringLiteral("Select * from Print_Variables Where KOD_FORMA = %1 Order by MY_SORT, KOD").arg(formKod);
    auto q = ctx.write && ctx.write->active() ? engine::Writer(ctx, sql) : engine::Reader(ctx, sql);
    q->open();
    TemplateVariables vars;
    for (q->first(); !q->eof(); q->next())
        vars.add(ReadTemplateVariable(*q));
    return vars;
}

namespace {

// Excel 97 files are OLE compound documents; the newer formats are zip packages.
bool looksLikeSpreadsheet(const QByteArray& bytes)
{
    static const QByteArray ole("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    static const QByteArray zip("PK\x03\x04", 4);
    return bytes.startsWith(ole) || bytes.startsWith(zip);
}

} // namespace

bool CheckSpreadsheet(automation::Office& office, const QByteArray& bytes, const QString& fileName)
{
    const QString refused = QStringLiteral("Файл < %1 > не является таблицей, которую может открыть программа "
                                           "электронных таблиц. Шаблон не загружен.")
                                .arg(fileName);
    if (!looksLikeSpreadsheet(bytes))
        throw TemplateError(refused);
    try {
        if (!office.connect())
            return false;
    } catch (const automation::OfficeStopped& e) {
        throw TemplateError(QString::fromUtf8(e.what()));
    }
    QTemporaryDir dir;
    if (!dir.isValid())
        throw TemplateError(QStringLiteral("Не удалось создать временную папку для проверки шаблона."));
    const QString path = dir.filePath(QStringLiteral("check.xls"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        throw TemplateError(QStringLiteral("Не удалось записать временный файл для проверки шаблона."));
    file.close();
    try {
        std::unique_ptr<automation::Document> doc = office.loadDocument(path);
        const int sheets = doc->sheetCount();
        doc->close();
        if (sheets < 1)
            throw TemplateError(refused);
    } catch (const automation::OfficeStopped& e) {
        throw TemplateError(QString::fromUtf8(e.what()));
    } catch (const automation::OfficeError&) {
        throw TemplateError(refused);
    }
    return true;
}

QString CheckUploadable(automation::Office& office, const QByteArray& bytes, const QString& fileName,
                        const TemplateForm& form, const TemplateVariables& variables)
{
    ValidateTemplate(form, variables);
    if (CheckSpreadsheet(office, bytes, fileName))
        return {};
    return QStringLiteral("Программа электронных таблиц недоступна, поэтому файл < %1 > не открывался для проверки: "
                          "проверено только, что он похож на таблицу и что ячейки шаблона заданы верно.\n%2")
        .arg(fileName, automation::OfficeUnreachableText());
}

qint32 UploadSpreadsheet(const engine::Context& ctx, qint64 formKod, const QByteArray& bytes)
{
    const qint32 unicname = UnicnameFromKey(FreshKey(ctx));
    auto q = engine::Writer(ctx, QStringLiteral("UPDATE PRINT_FORMS SET SHABLON = :S, UNICNAME = %1 WHERE KOD = %2")
                                     .arg(unicname)
                                     .arg(formKod));
    q->param(QStringLiteral("S")).setBytes(bytes);
    q->execSql();
    return unicname;
}

qint64 CopyTemplate(const engine::Context& ctx, qint64 sourceKod, int listNo, const QString& name)
{
    auto src = engine::Writer(ctx, QStringList{QStringLiteral("Select * from Print_Forms"),
                                               QStringLiteral("Where KOD = ") + Key(sourceKod)}.join(QLatin1Char('\n')));
    src->open();
    if (src->isEmpty())
        throw TemplateError(QStringLiteral("Нет оразца, новый шаблон не может быть создан. Обратитесь к разработчику !"));
    const qint64 kod = FreshKey(ctx);
    auto ins = engine::Writer(ctx);
    ins->setSql(QStringList{QStringLiteral("Insert into PRINT_FORMS (KOD, OBRAZ, KOD_SPISKA, NAME_SHABLON, HEAD_YX, TAIL_YX, "
                                           "START_LINE, END_LINE, ZOOM, SETKA, UNICNAME, SHABLON)"),
                            QStringLiteral("VALUES (:ID, :O, :K, :N, :H, :T, :S, :E, :Z, :SS, :UN, :SH)")});
    ins->param(QStringLiteral("ID")).setInt64(kod);
    ins->param(QStringLiteral("O")).setInt(0);
    ins->param(QStringLiteral("K")).setInt(listNo);
    ins->param(QStringLiteral("N")).setString(name);
    const auto copy = [&](const char* param, const char* field) {
        const db::Field f = src->field(QString::fromLatin1(field));
        if (f.isNull())
            ins->param(QString::fromLatin1(param)).setNull();
        else
            ins->param(QString::fromLatin1(param)).setValue(f.value());
    };
    copy("H", "HEAD_YX");
    copy("T", "TAIL_YX");
    copy("S", "START_LINE");
    copy("E", "END_LINE");
    copy("Z", "ZOOM");
    copy("SS", "SETKA");
    copy("UN", "UNICNAME");
    if (src->field(QStringLiteral("SHABLON")).isNull())
        ins->param(QStringLiteral("SH")).setNull();
    else
        ins->param(QStringLiteral("SH")).setBytes(src->field(QStringLiteral("SHABLON")).asBytes());
    ins->execSql();

    auto vars = engine::Writer(ctx, QStringList{QStringLiteral("Select * from Print_Variables"),
                                                QStringLiteral("Where KOD_FORMA = ") + Key(sourceKod),
                                                QStringLiteral("Order by KOD")}.join(QLatin1Char('\n')));
    vars->open();
    auto put = engine::Writer(ctx);
    put->setSql(QStringList{
        QStringLiteral("Insert into PRINT_VARIABLES (KOD_FORMA, ENABLED, LOCATION, NAME, X_START, X_END, WRAPP, MERGEE,"),
        QStringLiteral("   MY_HORIZONTAL_ALIGNMENT, HORIZONTAL_ALIGNMENT, TEXT_AFTER_VALUE, TEXT_BEFORE_VALUE, TEXT_STATIC, MY_FONT,"),
        QStringLiteral("   FONT_NAME, FONT_SIZE, FONT_BOLD, FONT_ITALIC, FONT_UNDERLINE, OPIS, STATIC_TYPE, NAMEVAR, SETKA, MY_SORT)"),
        QStringLiteral("VALUES (:KF, :EN, :LOC, :NM, :XS, :XE, :WR, :MR, :MHA, :HA, :TAV, :TBV, :TS, :MF, :FN, :FS, :FB, :FI, "
                       ":FU, :OP, :ST, :NV, :STT, :MS)")});
    static const struct {
        const char* param;
        const char* field;
    } columns[] = {{"EN", "ENABLED"},       {"LOC", "LOCATION"},
                   {"NM", "NAME"},          {"XS", "X_START"},
                   {"XE", "X_END"},         {"WR", "WRAPP"},
                   {"MR", "MERGEE"},        {"MHA", "MY_HORIZONTAL_ALIGNMENT"},
                   {"HA", "HORIZONTAL_ALIGNMENT"}, {"TAV", "TEXT_AFTER_VALUE"},
                   {"TBV", "TEXT_BEFORE_VALUE"},   {"TS", "TEXT_STATIC"},
                   {"MF", "MY_FONT"},       {"FN", "FONT_NAME"},
                   {"FS", "FONT_SIZE"},     {"FB", "FONT_BOLD"},
                   {"FI", "FONT_ITALIC"},   {"FU", "FONT_UNDERLINE"},
                   {"OP", "OPIS"},          {"ST", "STATIC_TYPE"},
                   {"NV", "NAMEVAR"},       {"STT", "SETKA"},
                   {"MS", "MY_SORT"}};
    for (vars->first(); !vars->eof(); vars->next()) {
        put->param(QStringLiteral("KF")).setInt64(kod);
        for (const auto& c : columns) {
            const db::Field f = vars->field(QString::fromLatin1(c.field));
            if (f.isNull())
                put->param(QString::fromLatin1(c.param)).setNull();
            else
                put->param(QString::fromLatin1(c.param)).setValue(f.value());
        }
        put->execSql();
    }
    return kod;
}

bool DeleteTemplate(const engine::Context& ctx, qint64 formKod, int listNo)
{
    auto q = engine::Writer(ctx, QStringLiteral("Select DEFAUL from PRINT_FORMS where KOD = ") + Key(formKod));
    q->open();
    const bool wasDefault = !q->isEmpty() && q->field(0).asInt() == 1;
    q->close();
    engine::Exec(ctx, QStringLiteral("Delete from PRINT_FORMS where KOD = ") + Key(formKod));
    engine::Exec(ctx, QStringLiteral("Delete from PRINT_VARIABLES where KOD_FORMA = ") + Key(formKod));
    if (wasDefault)
        setDefaultToSample(ctx, listNo);
    return wasDefault;
}

void RenameTemplate(const engine::Context& ctx, qint64 formKod, int listNo, const QString& name)
{
    auto q = engine::Writer(ctx, QStringLiteral("UPDATE PRINT_FORMS SET KOD_SPISKA = :K, NAME_SHABLON = :N WHERE KOD = ") +
                                     Key(formKod));
    q->param(QStringLiteral("K")).setInt(listNo);
    q->param(QStringLiteral("N")).setString(name);
    q->execSql();
}

qint64 AddSampleTemplate(const engine::Context& ctx, int listNo)
{
    const qint64 kod = FreshKey(ctx);
    auto q = engine::Writer(ctx, QStringLiteral("Insert into PRINT_FORMS (KOD, KOD_SPISKA, NAME_SHABLON, OBRAZ) "
                                                "VALUES(:ID, :K, 'Образец', 1)"));
    q->param(QStringLiteral("ID")).setInt64(kod);
    q->param(QStringLiteral("K")).setInt(listNo);
    q->execSql();
    return kod;
}

qint64 StoreVariable(const engine::Context& ctx, qint64 formKod, qint64 varKod, const VarDefinition& v)
{
    R_Record r(QStringLiteral("PRINT_VARIABLES"), varKod);
    r.addString(QStringLiteral("NAMEVAR"), v.namevar)
        .addString(QStringLiteral("NAME"), v.name)
        .addInt(QStringLiteral("LOCATION"), v.location)
        .addInt(QStringLiteral("Static_Type"), v.staticType)
        .addInt(QStringLiteral("KOD_FORMA"), formKod)
        .addInt(QStringLiteral("MY_SORT"), v.sort);
    if (varKod == 0)
        return engine::InsertRecord(ctx, r);
    engine::UpdateRecord(ctx, r);
    return varKod;
}

QString StepCellRef(const QString& ref, int mode)
{
    QString letters = ref;
    QString row;
    if (!ref.isEmpty() && ref.back().isDigit()) {
        int first = 0;
        while (first < ref.size() && !ref[first].isDigit())
            ++first;
        letters = ref.left(first);
        row = ref.mid(first);
    }
    letters = letters.toUpper();
    int column = 0;
    for (const QChar c : letters)
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            column = column * 26 + (c.unicode() - 'A' + 1);
    column = std::clamp(column, 1, 702);
    switch (mode) {
    case 0:
        column = std::max(1, column - 1);
        break;
    case 1:
        column = std::min(702, column + 1);  // ZZ is the last column a reference names
        break;
    case 2:
        if (!row.isEmpty())
            row = QString::number(std::max(1, row.toInt() - 1));
        break;
    case 3:
        if (!row.isEmpty())
            row = QString::number(row.toInt() + 1);
        break;
    default:
        break;
    }
    QString out;
    if (column > 26)
        out += QChar('A' + (column - 1) / 26 - 1);
    out += QChar('A' + (column - 1) % 26);
    return out + row;
}

QString UnstorableChars(const QString& text)
{
    QString out;
    for (char32_t c : text.toUcs4()) {
        const QString one = QString::fromUcs4(&c, 1);
        bool fits = false;
        try {
            fits = db::fromCp1251(db::toCp1251(one)) == one;
        } catch (const std::exception&) {
            fits = false;  // the codec may refuse such a character outright
        }
        if (!fits && !out.contains(one))
            out += one;
    }
    return out;
}

} // namespace templates
