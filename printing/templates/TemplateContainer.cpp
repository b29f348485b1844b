#include "TemplateContainer.h"

#include "db/Codec.h"
#include "db/Query.h"
#include "engine/EngineDb.h"

#include <QLocale>
#include <QtEndian>

#include <cstring>
#include <limits>
#include <cmath>

namespace templates {

namespace {

// ---- writing ----

class Record {
public:
    explicit Record(int size) : bytes_(size, '\0') {}
    void integer(int offset, qint32 v) { qToLittleEndian<qint32>(v, bytes_.data() + offset); }
    void real(int offset, double v)
    {
        quint64 bits = 0;
        std::memcpy(&bits, &v, sizeof bits);
        qToLittleEndian<quint64>(bits, bytes_.data() + offset);
    }
    void text(int offset, int maximum, const QString& s)
    {
        const QByteArray b = db::toCp1251(s).left(maximum);
        bytes_[offset] = static_cast<char>(b.size());
        std::memcpy(bytes_.data() + offset + 1, b.constData(), static_cast<size_t>(b.size()));
    }
    const QByteArray& bytes() const { return bytes_; }

private:
    QByteArray bytes_;
};

QByteArray lengthDigits(qint64 length)
{
    QByteArray d(10, '\0');
    for (int i = 9; i >= 0; --i) {
        d[i] = static_cast<char>(length % 10);
        length /= 10;
    }
    return d;
}

// ---- reading ----

[[noreturn]] void damaged(const QString& why)
{
    throw TemplateError(QStringLiteral("Файл шаблона печати повреждён (%1). Шаблон не загружен.").arg(why));
}

class Reader {
public:
    Reader(const QByteArray& bytes, int offset, int size) : bytes_(bytes), base_(offset), size_(size) {}
    qint32 integer(int offset) const { return qFromLittleEndian<qint32>(bytes_.constData() + base_ + offset); }
    double real(int offset) const
    {
        const quint64 bits = qFromLittleEndian<quint64>(bytes_.constData() + base_ + offset);
        double v = 0;
        std::memcpy(&v, &bits, sizeof v);
        return v;
    }
    // A value of a SMALLINT column of the database: anything wider is a damaged file.
    qint32 small(int offset) const
    {
        const qint32 v = integer(offset);
        if (v < std::numeric_limits<qint16>::min() || v > std::numeric_limits<qint16>::max())
            damaged(QStringLiteral("число вне своего поля"));
        return v;
    }
    QString text(int offset, int maximum) const
    {
        const int length = static_cast<quint8>(bytes_[base_ + offset]);
        if (length > maximum)
            damaged(QStringLiteral("текст длиннее своего поля"));
        return db::fromCp1251(bytes_.mid(base_ + offset + 1, length));
    }

private:
    const QByteArray& bytes_;
    int base_;
    int size_;
};

qint64 readLength(const QByteArray& bytes, int offset)
{
    if (bytes.size() < offset + 10)
        damaged(QStringLiteral("файл обрезан"));
    qint64 v = 0;
    for (int i = 0; i < 10; ++i) {
        const int digit = static_cast<quint8>(bytes[offset + i]);
        if (digit > 9)
            damaged(QStringLiteral("неверная запись длины"));
        v = v * 10 + digit;
    }
    return v;
}

QString textOf(const db::Query& q, const char* name) { return q.field(QString::fromLatin1(name)).asString(); }
int intOf(const db::Query& q, const char* name) { return q.field(QString::fromLatin1(name)).asInt(); }

} // namespace

QByteArray WriteContainer(const TemplateContainer& c)
{
    Record form(kFormRecordSize);
    form.integer(0, c.form.listNo);
    form.text(4, 100, c.form.name);
    form.text(105, 20, c.form.headYX);
    form.text(126, 20, c.form.tailYX);
    form.text(147, 20, c.form.startLine);
    form.text(168, 20, c.form.endLine);
    form.integer(192, c.form.setka);
    form.integer(196, c.form.defaul);
    form.integer(200, c.form.zoom);

    QByteArray vars;
    for (const ContainerVariable& v : c.variables) {
        Record r(kVariableRecordSize);
        r.text(0, 25, v.namevar);
        r.integer(28, v.sort);
        r.integer(32, v.enabled);
        r.integer(36, v.location);
        r.text(40, 25, v.name);
        r.text(66, 10, v.xStart);
        r.text(77, 10, v.xEnd);
        r.integer(88, v.wrapp);
        r.integer(92, v.mergee);
        r.integer(96, v.myAlignment);
        r.integer(100, v.alignment);
        r.text(104, 50, v.textAfter);
        r.text(155, 50, v.textBefore);
        r.text(206, 50, v.textStatic);
        r.integer(260, v.myFont);
        r.text(264, 100, v.fontName);
        r.real(368, v.fontSize);
        r.integer(376, v.fontBold);
        r.integer(380, v.fontItalic);
        r.integer(384, v.fontUnderline);
        r.integer(388, v.staticType);
        r.integer(392, v.setka);
        r.integer(396, 0);
        vars += r.bytes();
    }

    QByteArray out;
    out.reserve(21 + form.bytes().size() + vars.size() + c.spreadsheet.size());
    out.append(static_cast<char>(kContainerVersion));
    out += lengthDigits(form.bytes().size());
    out += form.bytes();
    out += lengthDigits(vars.size());
    out += vars;
    out += c.spreadsheet;
    return out;
}

TemplateContainer ReadContainer(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        damaged(QStringLiteral("файл пуст"));
    const int version = static_cast<quint8>(bytes[0]);
    if (version > kContainerVersion)
        throw TemplateError(QStringLiteral("Загружаемая Форма печати экспортирована из программы с более высокой версией чем "
                                           "Ваша. Обновите свою программу до версии экспортёра !"));
    if (version < kContainerVersion)
        throw TemplateError(QStringLiteral("Загружаемая Форма печати экспортирована из программы с более низкой версией чем "
                                           "Ваша. Попросите экспортёра чтоб обновил свою версию программы !"));
    const qint64 formLength = readLength(bytes, 1);
    if (formLength != kFormRecordSize)
        damaged(QStringLiteral("неверная длина описания шаблона"));
    if (bytes.size() < 11 + formLength)
        damaged(QStringLiteral("файл обрезан"));
    const qint64 varLength = readLength(bytes, 11 + static_cast<int>(formLength));
    if (varLength % kVariableRecordSize != 0)
        damaged(QStringLiteral("неверная длина списка переменных"));
    const qint64 varStart = 21 + formLength;
    if (bytes.size() < varStart + varLength)
        damaged(QStringLiteral("файл обрезан"));
    if (bytes.size() == varStart + varLength)
        throw TemplateError(QStringLiteral("В файле шаблона печати нет таблицы шаблона: импортировать нечего. "
                                           "Шаблон не загружен."));

    TemplateContainer c;
    const Reader f(bytes, 11, kFormRecordSize);
    c.form.listNo = f.integer(0);
    if (c.form.listNo < 1 || c.form.listNo > kLastPrintList)
        throw TemplateError(QStringLiteral("Шаблон в файле относится к форме печати № %1, а формы печати есть только с 1 "
                                           "по %2. Шаблон не загружен.")
                                .arg(c.form.listNo)
                                .arg(kLastPrintList));
    c.form.name = f.text(4, 100);
    c.form.headYX = f.text(105, 20);
    c.form.tailYX = f.text(126, 20);
    c.form.startLine = f.text(147, 20);
    c.form.endLine = f.text(168, 20);
    c.form.setka = f.small(192);
    c.form.defaul = f.small(196);
    c.form.zoom = f.small(200);

    for (qint64 at = varStart; at < varStart + varLength; at += kVariableRecordSize) {
        const Reader r(bytes, static_cast<int>(at), kVariableRecordSize);
        ContainerVariable v;
        v.namevar = r.text(0, 25);
        v.sort = r.integer(28);
        v.enabled = r.small(32);
        v.location = r.small(36);
        v.name = r.text(40, 25);
        v.xStart = r.text(66, 10);
        v.xEnd = r.text(77, 10);
        v.wrapp = r.small(88);
        v.mergee = r.small(92);
        v.myAlignment = r.small(96);
        v.alignment = r.small(100);
        v.textAfter = r.text(104, 50);
        v.textBefore = r.text(155, 50);
        v.textStatic = r.text(206, 50);
        v.myFont = r.small(260);
        v.fontName = r.text(264, 100);
        v.fontSize = r.real(368);
        if (!std::isfinite(v.fontSize))
            damaged(QStringLiteral("число вне своего поля"));
        // 0 means no font of its own; any other size is a whole point size or near one.
        if (v.fontSize < 0 || (v.fontSize > 0 && v.fontSize < 1) || v.fontSize > kMaxFontSize)
            throw TemplateError(QStringLiteral("У переменной < %1 > в файле шаблона размер шрифта %2, а он бывает от 1 до "
                                               "%3 (0: шрифт не задан). Шаблон не загружен.")
                                    .arg(v.namevar, QString::number(v.fontSize, 'g', QLocale::FloatingPointShortest),
                                         QString::number(kMaxFontSize)));
        v.fontBold = r.small(376);
        v.fontItalic = r.small(380);
        v.fontUnderline = r.small(384);
        v.staticType = r.small(388);
        v.setka = r.small(392);
        c.variables.append(v);
    }
    c.spreadsheet = bytes.mid(static_cast<int>(varStart + varLength));
    return c;
}

TemplateContainer ExportTemplate(const engine::Context& ctx, qint64 formKod)
{
    TemplateContainer c;
    auto q = engine::Reader(ctx, QStringLiteral("Select * from Print_Forms Where KOD = ") + Key(formKod));
    q->open();
    if (q->isEmpty())
        throw TemplateError(QStringLiteral("Шаблон не найден в базе данных. Экспорт не выполнен."));
    c.form.listNo = intOf(*q, "KOD_SPISKA");
    c.form.name = textOf(*q, "NAME_SHABLON");
    c.form.headYX = textOf(*q, "HEAD_YX");
    c.form.tailYX = textOf(*q, "TAIL_YX");
    c.form.startLine = textOf(*q, "START_LINE");
    c.form.endLine = textOf(*q, "END_LINE");
    c.form.setka = intOf(*q, "SETKA");
    c.form.defaul = intOf(*q, "DEFAUL");
    c.form.zoom = intOf(*q, "ZOOM");
    c.spreadsheet = q->field(QStringLiteral("SHABLON")).asBytes();
    q->close();
    // Such a file could never be imported again.
    if (c.spreadsheet.isEmpty())
        throw TemplateError(QStringLiteral("В шаблоне < %1 > нет файла таблицы: экспортировать нечего. Сначала "
                                           "загрузите в шаблон файл таблицы. Экспорт не выполнен.")
                                .arg(c.form.name));

    q->setSql(QStringLiteral("Select * from Print_Variables Where KOD_FORMA = %1 Order by MY_SORT, KOD").arg(formKod));
    q->open();
    for (q->first(); !q->eof(); q->next()) {
        ContainerVariable v;
        v.namevar = textOf(*q, "NAMEVAR");
        v.sort = intOf(*q, "MY_SORT");
        v.enabled = intOf(*q, "ENABLED");
        v.location = intOf(*q, "LOCATION");
        v.name = textOf(*q, "NAME");
        v.xStart = textOf(*q, "X_START");
        v.xEnd = textOf(*q, "X_END");
        v.wrapp = intOf(*q, "WRAPP");
        v.mergee = intOf(*q, "MERGEE");
        v.myAlignment = intOf(*q, "MY_HORIZONTAL_ALIGNMENT");
        v.alignment = intOf(*q, "HORIZONTAL_ALIGNMENT");
        v.textAfter = textOf(*q, "TEXT_AFTER_VALUE");
        v.textBefore = textOf(*q, "TEXT_BEFORE_VALUE");
        v.textStatic = textOf(*q, "TEXT_STATIC");
        v.myFont = intOf(*q, "MY_FONT");
        v.fontName = textOf(*q, "FONT_NAME");
        v.fontSize = q->field(QStringLiteral("FONT_SIZE")).asDouble();
        v.fontBold = intOf(*q, "FONT_BOLD");
        v.fontItalic = intOf(*q, "FONT_ITALIC");
        v.fontUnderline = intOf(*q, "FONT_UNDERLINE");
        v.staticType = intOf(*q, "STATIC_TYPE");
        v.setka = intOf(*q, "SETKA");
        c.variables.append(v);
    }
    return c;
}

TemplateForm ContainerTemplateForm(const TemplateContainer& c)
{
    TemplateForm f;
    f.NAME_SHABLON = c.form.name;
    f.HEAD_YX = c.form.headYX.trimmed();
    f.TAIL_YX = c.form.tailYX.trimmed();
    f.START_LINE = c.form.startLine.trimmed();
    f.END_LINE = c.form.endLine.trimmed();
    f.SETKA = c.form.setka;
    f.ZOOM = c.form.zoom;
    f.SHABLON = c.spreadsheet;
    return f;
}

TemplateVariables ContainerTemplateVariables(const TemplateContainer& c)
{
    TemplateVariables vars;
    for (const ContainerVariable& cv : c.variables) {
        TemplateVariable v;
        v.NAMEVAR = cv.namevar.trimmed();
        v.ENABLED = cv.enabled;
        v.LOCATION = cv.location;
        v.STATIC_TYPE = cv.staticType;
        v.TEXT_STATIC = cv.textStatic;
        v.X_START = cv.xStart.trimmed();
        v.X_END = cv.xEnd.trimmed();
        v.SETKA = cv.setka;
        v.WRAPP = cv.wrapp;
        v.MERGEE = cv.mergee;
        v.HORIZONTAL_ALIGNMENT = cv.alignment;
        v.MY_HORIZONTAL_ALIGNMENT = cv.myAlignment;
        v.TEXT_BEFORE_VALUE = cv.textBefore;
        v.TEXT_AFTER_VALUE = cv.textAfter;
        v.MY_FONT = cv.myFont;
        v.FONT_NAME = cv.fontName;
        v.FONT_SIZE = cv.fontSize;
        v.FONT_BOLD = cv.fontBold;
        v.FONT_ITALIC = cv.fontItalic;
        v.FONT_UNDERLINE = cv.fontUnderline;
        vars.add(v);
    }
    return vars;
}

qint64 ImportTemplate(const engine::Context& ctx, const TemplateContainer& c, const QString& name)
{
    auto gen = engine::Reader(ctx, QStringLiteral("SELECT GEN_ID(MY_GEN, 1) FROM RDB$DATABASE"));
    gen->open();
    const qint64 kod = gen->field(0).asInt64();
    const qint32 unicname = UnicnameFromKey(kod);

    auto q = engine::Writer(ctx);
    q->setSql(QStringList{QStringLiteral("Insert into PRINT_FORMS (KOD, OBRAZ, KOD_SPISKA, NAME_SHABLON, HEAD_YX, TAIL_YX, "
                                         "START_LINE, END_LINE, ZOOM, SETKA, UNICNAME, SHABLON)"),
                          QStringLiteral("VALUES (:ID, :O, :K, :N, :H, :T, :S, :E, :Z, :SS, :UN, :SH)")});
    q->param(QStringLiteral("ID")).setInt64(kod);
    q->param(QStringLiteral("O")).setInt(0);
    q->param(QStringLiteral("K")).setInt(c.form.listNo);
    q->param(QStringLiteral("N")).setString(name);
    q->param(QStringLiteral("H")).setString(c.form.headYX);
    q->param(QStringLiteral("T")).setString(c.form.tailYX);
    q->param(QStringLiteral("S")).setString(c.form.startLine);
    q->param(QStringLiteral("E")).setString(c.form.endLine);
    q->param(QStringLiteral("Z")).setInt(c.form.zoom);
    q->param(QStringLiteral("SS")).setInt(c.form.setka);
    q->param(QStringLiteral("UN")).setInt(unicname);
    q->param(QStringLiteral("SH")).setBytes(c.spreadsheet);
    q->execSql();

    auto v = engine::Writer(ctx);
    v->setSql(QStringList{
        QStringLiteral("Insert into PRINT_VARIABLES (KOD_FORMA, ENABLED, LOCATION, NAME, X_START, X_END, WRAPP, MERGEE,"),
        QStringLiteral("   MY_HORIZONTAL_ALIGNMENT, HORIZONTAL_ALIGNMENT, TEXT_AFTER_VALUE, TEXT_BEFORE_VALUE, TEXT_STATIC, MY_FONT,"),
        QStringLiteral("   FONT_NAME, FONT_SIZE, FONT_BOLD, FONT_ITALIC, FONT_UNDERLINE, STATIC_TYPE, NAMEVAR, SETKA, MY_SORT)"),
        QStringLiteral("VALUES (:KF, :EN, :LOC, :NM, :XS, :XE, :WR, :MR, :MHA, :HA, :TAV, :TBV, :TS, :MF, :FN, :FS, :FB, :FI, "
                       ":FU, :ST, :NV, :STT, :MS)")});
    for (const ContainerVariable& r : c.variables) {
        v->param(QStringLiteral("KF")).setInt64(kod);
        v->param(QStringLiteral("EN")).setInt(r.enabled);
        v->param(QStringLiteral("LOC")).setInt(r.location);
        v->param(QStringLiteral("NM")).setString(r.name);
        v->param(QStringLiteral("XS")).setString(r.xStart);
        v->param(QStringLiteral("XE")).setString(r.xEnd);
        v->param(QStringLiteral("WR")).setInt(r.wrapp);
        v->param(QStringLiteral("MR")).setInt(r.mergee);
        v->param(QStringLiteral("MHA")).setInt(r.myAlignment);
        v->param(QStringLiteral("HA")).setInt(r.alignment);
        v->param(QStringLiteral("TAV")).setString(r.textAfter);
        v->param(QStringLiteral("TBV")).setString(r.textBefore);
        v->param(QStringLiteral("TS")).setString(r.textStatic);
        v->param(QStringLiteral("MF")).setInt(r.myFont);
        v->param(QStringLiteral("FN")).setString(r.fontName);
        v->param(QStringLiteral("FS")).setDouble(r.fontSize);
        v->param(QStringLiteral("FB")).setInt(r.fontBold);
        v->param(QStringLiteral("FI")).setInt(r.fontItalic);
        v->param(QStringLiteral("FU")).setInt(r.fontUnderline);
        v->param(QStringLiteral("ST")).setInt(r.staticType);
        v->param(QStringLiteral("NV")).setString(r.namevar);
        v->param(QStringLiteral("STT")).setInt(r.setka);
        v->param(QStringLiteral("MS")).setInt(r.sort);
        v->execSql();
    }
    return kod;
}

} // namespace templates
