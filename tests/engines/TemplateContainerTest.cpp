// The template container file: its bytes against a container laid out here
// field by field, a template carried from one database into another, and the
// containers that must be refused.

#include "support/EngineEnv.h"
#include "support/TemplateFixture.h"

#include "db/Codec.h"
#include "engine/WriteRoad.h"
#include "templates/TemplateAdmin.h"
#include "templates/TemplateContainer.h"

#include <QtEndian>

#include <cstring>
#include <limits>
#include <utility>

#include <gtest/gtest.h>

using namespace templates;

namespace {

const QByteArray kXls = QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray("\x00\x01\xFFsheet", 8);

// A field laid out as the file keeps it, independently of the writer.
void putInt(QByteArray& b, int at, qint32 v) { qToLittleEndian<qint32>(v, b.data() + at); }
void putText(QByteArray& b, int at, const QByteArray& cp1251)
{
    b[at] = static_cast<char>(cp1251.size());
    std::memcpy(b.data() + at + 1, cp1251.constData(), static_cast<size_t>(cp1251.size()));
}

TemplateContainer sampleContainer()
{
    TemplateContainer c;
    c.form.listNo = 6;
    c.form.name = QStringLiteral("Меню на день");
    c.form.headYX = QStringLiteral("F7");
    c.form.tailYX = QStringLiteral("F12");
    c.form.startLine = QStringLiteral("A");
    c.form.endLine = QStringLiteral("F");
    c.form.setka = 1;
    c.form.defaul = 1;
    c.form.zoom = 85;
    for (int i = 0; i < 3; ++i) {
        ContainerVariable v;
        v.namevar = QStringLiteral("var%1").arg(i);
        v.sort = (i + 1) * 10;
        v.enabled = 1;
        v.location = i;
        v.name = QStringLiteral("Переменная номер %1").arg(i);
        v.xStart = QStringLiteral("B8");
        v.xEnd = QStringLiteral("D8");
        v.mergee = 1;
        v.alignment = 3;
        v.myAlignment = 1;
        v.textAfter = QStringLiteral(" руб.");
        v.textStatic = QStringLiteral("Итого");
        v.myFont = 1;
        v.fontName = QStringLiteral("Arial");
        v.fontSize = 12;
        v.fontBold = 1;
        v.staticType = i == 2 ? 1 : 0;
        v.setka = i == 1 ? 1 : 0;
        c.variables.append(v);
    }
    c.spreadsheet = kXls;
    return c;
}

TEST(TemplateContainer, BytesFollowTheLayoutFieldByField)
{
    const TemplateContainer c = sampleContainer();
    QByteArray form(204, '\0');
    putInt(form, 0, 6);
    putText(form, 4, db::toCp1251(QStringLiteral("Меню на день")));
    putText(form, 105, "F7");
    putText(form, 126, "F12");
    putText(form, 147, "A");
    putText(form, 168, "F");
    putInt(form, 192, 1);
    putInt(form, 196, 1);
    putInt(form, 200, 85);
    QByteArray vars;
    for (int i = 0; i < 3; ++i) {
        QByteArray r(400, '\0');
        putText(r, 0, QByteArray("var") + QByteArray::number(i));
        putInt(r, 28, (i + 1) * 10);
        putInt(r, 32, 1);
        putInt(r, 36, i);
        putText(r, 40, db::toCp1251(QStringLiteral("Переменная номер %1").arg(i)));
        putText(r, 66, "B8");
        putText(r, 77, "D8");
        putInt(r, 92, 1);
        putInt(r, 96, 1);
        putInt(r, 100, 3);
        putText(r, 104, db::toCp1251(QStringLiteral(" руб.")));
        putText(r, 206, db::toCp1251(QStringLiteral("Итого")));
        putInt(r, 260, 1);
        putText(r, 264, "Arial");
        const double size = 12;
        quint64 bits;
        std::memcpy(&bits, &size, 8);
        qToLittleEndian<quint64>(bits, r.data() + 368);
        putInt(r, 376, 1);
        putInt(r, 388, i == 2 ? 1 : 0);
        putInt(r, 392, i == 1 ? 1 : 0);
        vars += r;
    }
    const QByteArray expected = QByteArray(1, '\x2A') + QByteArray("\0\0\0\0\0\0\0\2\0\4", 10) + form +
                                QByteArray("\0\0\0\0\0\0\1\2\0\0", 10) + vars + kXls;
    const QByteArray written = WriteContainer(c);
    EXPECT_EQ(written.size(), 1 + 10 + 204 + 10 + 1200 + kXls.size());
    EXPECT_EQ(written.toHex(), expected.toHex());
    // Read back, field for field.
    const TemplateContainer back = ReadContainer(written);
    EXPECT_EQ(back.form.name, c.form.name);
    EXPECT_EQ(back.form.zoom, 85);
    ASSERT_EQ(back.variables.size(), 3);
    EXPECT_EQ(back.variables[2].staticType, 1);
    EXPECT_EQ(back.variables[1].fontSize, 12.0);
    EXPECT_EQ(back.variables[0].textAfter, QStringLiteral(" руб."));
    EXPECT_EQ(back.spreadsheet, kXls);
}

TEST(TemplateContainer, LongTextsAreCutToTheirFieldsAndNoVariablesGiveAnEmptyPart)
{
    TemplateContainer c = sampleContainer();
    c.variables.resize(1);
    c.variables[0].name = QString(50, QChar(0x0416));  // Ж × 50: the column holds 50, the file 25
    c.variables[0].fontName = QString(120, QLatin1Char('x'));
    const TemplateContainer back = ReadContainer(WriteContainer(c));
    EXPECT_EQ(back.variables[0].name, QString(25, QChar(0x0416)));
    EXPECT_EQ(back.variables[0].fontName.size(), 100);

    c.variables.clear();
    const QByteArray none = WriteContainer(c);
    EXPECT_EQ(none.mid(215, 10), QByteArray(10, '\0'));
    EXPECT_TRUE(ReadContainer(none).variables.isEmpty());
}

TEST(TemplateContainer, OtherVersionsAndDamagedFilesAreRefused)
{
    QByteArray file = WriteContainer(sampleContainer());
    const auto refusal = [](const QByteArray& bytes) {
        try {
            ReadContainer(bytes);
        } catch (const TemplateError& e) {
            return e.text();
        }
        return QString();
    };
    file[0] = 43;
    EXPECT_EQ(refusal(file), QStringLiteral("Загружаемая Форма печати экспортирована из программы с более высокой версией "
                                            "чем Ваша. Обновите свою программу до версии экспортёра !"));
    file[0] = 41;
    EXPECT_EQ(refusal(file), QStringLiteral("Загружаемая Форма печати экспортирована из программы с более низкой версией "
                                            "чем Ваша. Попросите экспортёра чтоб обновил свою версию программы !"));
    file[0] = 42;
    const QString damaged = QStringLiteral("повреждён");
    EXPECT_TRUE(refusal(file.left(5)).contains(damaged));
    EXPECT_TRUE(refusal(file.left(300)).contains(damaged));           // cut inside the variables
    // No spreadsheet left: said as it is.
    EXPECT_EQ(refusal(file.left(21 + 204 + 1200)),
              QStringLiteral("В файле шаблона печати нет таблицы шаблона: импортировать нечего. Шаблон не загружен."));
    QByteArray wrongForm = file;
    wrongForm[10] = 5;  // 205: not a form record
    EXPECT_TRUE(refusal(wrongForm).contains(damaged));
    QByteArray wrongVars = file;
    wrongVars[11 + 204 + 9] = 1;  // 1201: not whole records
    EXPECT_TRUE(refusal(wrongVars).contains(damaged));
    QByteArray longer = file;
    longer[11 + 204 + 6] = 9;  // 9200 bytes said, 1200 there
    EXPECT_TRUE(refusal(longer).contains(damaged));
    QByteArray notDigit = file;
    notDigit[3] = '0';  // a character, not a digit value
    EXPECT_TRUE(refusal(notDigit).contains(damaged));
    QByteArray textTooLong = file;
    textTooLong[11 + 105] = 30;  // a cell reference of 30 in a field of 20
    EXPECT_TRUE(refusal(textTooLong).contains(damaged));

    // Bytes that still parse but give numbers no column holds: refused before the database sees them.
    const auto withInt = [&file](int at, qint32 value) {
        QByteArray b = file;
        qToLittleEndian<qint32>(value, b.data() + at);
        return b;
    };
    const int form = 11, firstVar = 11 + 204 + 10;
    EXPECT_TRUE(refusal(withInt(form + 200, 100000)).contains(damaged)) << "zoom";
    EXPECT_TRUE(refusal(withInt(firstVar + 32, -40000)).contains(damaged)) << "enabled";
    EXPECT_TRUE(refusal(withInt(firstVar + 392, 1 << 20)).contains(damaged)) << "grid";
    EXPECT_TRUE(refusal(withInt(firstVar + 28, 1 << 20)).isEmpty()) << "the order is a whole integer";
    QByteArray nan = file;
    std::memset(nan.data() + firstVar + 368, 0xFF, 8);
    EXPECT_TRUE(refusal(nan).contains(damaged)) << "font size";
}

// A list number beyond the ten print lists would make a template no list
// shows, a font size beyond any font one no office can set: both are refused
// in words before anything is written.
TEST(TemplateContainer, ListNumbersAndFontSizesNoProgramWritesAreRefusedInWords)
{
    const QByteArray file = WriteContainer(sampleContainer());
    const auto refusal = [](const QByteArray& bytes) {
        try {
            ReadContainer(bytes);
        } catch (const TemplateError& e) {
            return e.text();
        }
        return QString();
    };
    const int form = 11, secondVar = 11 + 204 + 10 + 400;
    for (const qint32 list : {1, 10, 0, 11, -1, std::numeric_limits<qint32>::min()}) {
        QByteArray b = file;
        qToLittleEndian<qint32>(list, b.data() + form);
        const QString expected = list >= 1 && list <= 10
                                     ? QString()
                                     : QStringLiteral("Шаблон в файле относится к форме печати № %1, а формы печати есть "
                                                      "только с 1 по 10. Шаблон не загружен.")
                                           .arg(list);
        EXPECT_EQ(refusal(b).toStdString(), expected.toStdString()) << list;
    }
    const std::pair<double, const char*> sizes[] = {{0, nullptr},     {1, nullptr},       {999, nullptr},
                                                    {-1, "-1"},       {999.6, "999.6"},   {-2147483648.0, "-2147483648"},
                                                    {1e308, "1e+308"},  {0.5, "0.5"},       {0.0001, "1e-04"},
                                                    {1e-320, "1e-320"}};
    for (const auto& [size, shown] : sizes) {
        QByteArray b = file;
        quint64 bits = 0;
        std::memcpy(&bits, &size, sizeof bits);
        qToLittleEndian<quint64>(bits, b.data() + secondVar + 368);
        const QString expected = shown ? QStringLiteral("У переменной < var1 > в файле шаблона размер шрифта %1, а он "
                                                        "бывает от 1 до 999 (0: шрифт не задан). Шаблон не загружен.")
                                             .arg(QLatin1String(shown))
                                       : QString();
        EXPECT_EQ(refusal(b).toStdString(), expected.toStdString()) << size;
    }
}

TEST(TemplateContainer, ExportedAndImportedIntoAnotherDatabaseGivesAnEqualTemplate)
{
    EngineEnv from;
    TemplateForm f;
    f.NAME_SHABLON = QStringLiteral("Накладная «Север»");
    f.HEAD_YX = QStringLiteral("F7");
    f.TAIL_YX = QStringLiteral("F12");
    f.START_LINE = QStringLiteral("A");
    f.END_LINE = QStringLiteral("F");
    f.SETKA = 1;
    f.UNICNAME = 4242;
    f.SHABLON = kXls;
    const qint64 kod = InsertTemplate(from.t, 1, f, 1);
    InsertVariable(from.t, kod, PlacedVariable(QStringLiteral("nstr"), 0, QStringLiteral("A8")));
    TemplateVariable head = PlacedVariable(QStringLiteral("nomer"), 3, QStringLiteral("C2"), QStringLiteral("E2"));
    head.MERGEE = 1;
    head.TEXT_BEFORE_VALUE = QStringLiteral("№ ");
    head.MY_FONT = 1;
    head.FONT_NAME = QStringLiteral("DejaVu Sans");
    head.FONT_SIZE = 14;
    InsertVariable(from.t, kod, head);
    from.t.exec(QStringLiteral("UPDATE PRINT_VARIABLES SET MY_SORT = 20, OPIS = 'описание', "
                               "NAME = 'Номер документа с очень длинным названием' WHERE NAMEVAR = 'nomer'"));
    from.t.exec(QStringLiteral("UPDATE PRINT_VARIABLES SET MY_SORT = 10 WHERE NAMEVAR = 'nstr'"));
    RefreshRead(from.t);
    const QByteArray file = WriteContainer(ExportTemplate(from.ctx(), kod));

    EngineEnv to;
    const qint64 keyAhead = to.t.scalar(QStringLiteral("SELECT GEN_ID(MY_GEN, 1) FROM RDB$DATABASE")).toLongLong();
    qint64 imported = 0;
    {
        WriteTransaction w(to.ctx(), templates::kRoad);
        imported = ImportTemplate(w.context(), ReadContainer(file), QStringLiteral("Накладная с севера"));
        w.commit(QStringLiteral("Настройка"), QStringLiteral("test"));
    }
    RefreshRead(to.t);
    EXPECT_GT(imported, keyAhead);
    auto q = to.t.select(QStringLiteral("SELECT * FROM PRINT_FORMS WHERE KOD = %1").arg(imported));
    EXPECT_EQ(q->field(QStringLiteral("NAME_SHABLON")).asString(), QStringLiteral("Накладная с севера"));
    EXPECT_EQ(q->field(QStringLiteral("KOD_SPISKA")).asInt(), 1);
    EXPECT_EQ(q->field(QStringLiteral("OBRAZ")).asInt(), 0);
    EXPECT_EQ(q->field(QStringLiteral("DEFAUL")).asInt(), 0);  // not the default
    EXPECT_EQ(q->field(QStringLiteral("UNICNAME")).asInt64(), imported);
    EXPECT_EQ(q->field(QStringLiteral("SHABLON")).asBytes(), kXls);
    EXPECT_EQ(q->field(QStringLiteral("TAIL_YX")).asString(), QStringLiteral("F12"));
    EXPECT_EQ(q->field(QStringLiteral("SETKA")).asInt(), 1);

    auto v = to.t.select(QStringLiteral("SELECT * FROM PRINT_VARIABLES WHERE KOD_FORMA = %1 ORDER BY MY_SORT").arg(imported));
    ASSERT_EQ(v->recordCount(), 2);
    EXPECT_EQ(v->field(QStringLiteral("NAMEVAR")).asString(), QStringLiteral("nstr"));
    EXPECT_EQ(v->field(QStringLiteral("MY_SORT")).asInt(), 10);
    v->next();
    EXPECT_EQ(v->field(QStringLiteral("NAMEVAR")).asString(), QStringLiteral("nomer"));
    EXPECT_EQ(v->field(QStringLiteral("MY_SORT")).asInt(), 20);
    EXPECT_EQ(v->field(QStringLiteral("NAME")).asString(), QStringLiteral("Номер документа с очень д"));
    EXPECT_EQ(v->field(QStringLiteral("X_END")).asString(), QStringLiteral("E2"));
    EXPECT_EQ(v->field(QStringLiteral("MERGEE")).asInt(), 1);
    EXPECT_EQ(v->field(QStringLiteral("TEXT_BEFORE_VALUE")).asString(), QStringLiteral("№ "));
    EXPECT_EQ(v->field(QStringLiteral("FONT_SIZE")).asDouble(), 14.0);
    EXPECT_TRUE(v->field(QStringLiteral("OPIS")).isNull());
}

// A template without its spreadsheet is not exported into a file that no
// installation could import.
TEST(TemplateContainer, ATemplateWithoutItsSpreadsheetIsNotExported)
{
    EngineEnv env;
    TemplateForm f = TableLayout(QStringLiteral("Пустой"), 4343);
    f.SHABLON.clear();
    const qint64 kod = InsertTemplate(env.t, 1, f, 0);
    RefreshRead(env.t);
    try {
        ExportTemplate(env.ctx(), kod);
        FAIL() << "exported";
    } catch (const TemplateError& e) {
        EXPECT_TRUE(e.text().contains(QStringLiteral("< Пустой > нет файла таблицы"))) << e.text().toStdString();
    }
}

} // namespace

TEST(TemplateContainer, ARoundTripKeepsEveryVariablesGridSetting)
{
    TemplateContainer c = sampleContainer();
    for (int mask = 0; mask < 8; ++mask) {
        for (int i = 0; i < 3; ++i)
            c.variables[i].setka = (mask >> i) & 1;
        const TemplateContainer back = ReadContainer(WriteContainer(c));
        ASSERT_EQ(back.variables.size(), 3);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(back.variables[i].setka, (mask >> i) & 1) << "mask " << mask << " variable " << i;
    }
}

TEST(TemplateContainer, DamagedContainersAreRefusedForTheirExactReason)
{
    const QByteArray file = WriteContainer(sampleContainer());
    const auto refusal = [](const QByteArray& bytes) {
        try {
            ReadContainer(bytes);
        } catch (const TemplateError& e) {
            return e.text();
        }
        return QString();
    };
    const auto why = [](const char* reason) {
        return QStringLiteral("Файл шаблона печати повреждён (%1). Шаблон не загружен.").arg(QString::fromUtf8(reason));
    };
    QByteArray shortForm = file;
    shortForm[10] = 3;  // 203: one byte under the form record
    EXPECT_EQ(refusal(shortForm), why("неверная длина описания шаблона"));
    QByteArray partial = file;
    // 0000001199 in place of 0000001200: the last variable record one byte short.
    partial[11 + 204 + 7] = 1;
    partial[11 + 204 + 8] = 9;
    partial[11 + 204 + 9] = 9;
    EXPECT_EQ(refusal(partial), why("неверная длина списка переменных"));
    // A text of its field's length is read; one byte more is refused.
    QByteArray full = file;
    full[11 + 105] = 20;
    EXPECT_EQ(refusal(full), QString());
    full[11 + 105] = 21;
    EXPECT_EQ(refusal(full), why("текст длиннее своего поля"));
    QByteArray variableText = file;
    variableText[11 + 204 + 10 + 66] = 11;  // a cell reference of 11 in a field of 10
    EXPECT_EQ(refusal(variableText), why("текст длиннее своего поля"));
}
