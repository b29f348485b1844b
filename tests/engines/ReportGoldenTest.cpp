// The golden workbooks of the reports: one case per folder
// tests/fixtures/report_<case>/ (see support/ReportGolden.h), each run by
// the runner its options name on a fresh database, its dump compared with
// the folder's expected.txt.

#include "support/ReportGolden.h"

#include "automation/BookDump.h"
#include "db/Script.h"
#include "engine/Clock.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>

#include <gtest/gtest.h>

namespace {

QString fixtures() { return QStringLiteral(TARELIA_FIXTURES) + QLatin1Char('/'); }

std::vector<std::string> caseFolders()
{
    std::vector<std::string> names;
    for (const QString& n : QDir(fixtures()).entryList({QStringLiteral("report_*")}, QDir::Dirs, QDir::Name))
        names.push_back(n.toStdString());
    return names;
}

QString readText(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

// The lines that differ, with two lines of context around each change.
QString lineDiff(const QString& expected, const QString& actual)
{
    const QStringList a = expected.split(QLatin1Char('\n'));
    const QStringList b = actual.split(QLatin1Char('\n'));
    const qsizetype n = a.size(), m = b.size();
    QStringList ops;  // " x", "-x", "+x"
    if (n * m <= 40'000'000) {
        std::vector<std::vector<int>> lcs(n + 1, std::vector<int>(m + 1, 0));
        for (qsizetype i = n - 1; i >= 0; --i)
            for (qsizetype j = m - 1; j >= 0; --j)
                lcs[i][j] = a[i] == b[j] ? lcs[i + 1][j + 1] + 1 : std::max(lcs[i + 1][j], lcs[i][j + 1]);
        qsizetype i = 0, j = 0;
        while (i < n || j < m) {
            if (i < n && j < m && a[i] == b[j]) {
                ops << QLatin1Char(' ') + a[i++];
                ++j;
            } else if (i < n && (j == m || lcs[i + 1][j] >= lcs[i][j + 1])) {
                ops << QLatin1Char('-') + a[i++];
            } else {
                ops << QLatin1Char('+') + b[j++];
            }
        }
    } else {
        for (const QString& l : a)
            ops << QLatin1Char('-') + l;
        for (const QString& l : b)
            ops << QLatin1Char('+') + l;
    }
    QStringList out;
    qsizetype lastShown = -1;
    for (qsizetype k = 0; k < ops.size(); ++k) {
        if (ops[k].startsWith(QLatin1Char(' ')))
            continue;
        const qsizetype from = std::max(lastShown + 1, k - 2);
        if (lastShown >= 0 && from > lastShown + 1)
            out << QStringLiteral("...");
        const qsizetype to = std::min(ops.size() - 1, k + 2);
        for (qsizetype s = from; s <= to; ++s)
            out << ops[s];
        lastShown = to;
    }
    return out.join(QLatin1Char('\n'));
}

// The book's sheets cut after their first `rows` rows.
std::shared_ptr<automation::RecordedBook> firstRows(const automation::RecordedBook& book, int rows)
{
    auto cut = std::make_shared<automation::RecordedBook>(book);
    for (automation::RecordedSheet& sheet : cut->sheets) {
        std::erase_if(sheet.cells, [rows](const auto& cell) { return cell.first.first >= rows; });
        sheet.merges.removeIf([rows](const automation::RangeAddress& r) { return r.startRow >= rows; });
        std::erase_if(sheet.fittedRows, [rows](int row) { return row >= rows; });
        std::erase_if(sheet.grownRows, [rows](int row) { return row >= rows; });
        sheet.keptTogether.removeIf([rows](const std::pair<int, int>& block) { return block.first >= rows; });
    }
    return cut;
}

class ReportGolden : public ::testing::TestWithParam<std::string> {
protected:
    void TearDown() override { Clock::setSource({}); }
};

TEST_P(ReportGolden, DumpIsAsExpected)
{
    const QString name = QString::fromStdString(GetParam());
    const QString folder = fixtures() + name + QLatin1Char('/');
    QJsonParseError error{};
    const QJsonDocument json = QJsonDocument::fromJson(readText(folder + QStringLiteral("options.json")).toUtf8(), &error);
    ASSERT_TRUE(json.isObject()) << "options.json of " << GetParam() << ": "
                                 << error.errorString().toStdString();
    const QString runnerName = json.object().value(QStringLiteral("report")).toString();
    const GoldenRunner* runner = FindGoldenRunner(runnerName);
    ASSERT_TRUE(runner) << "no runner registered as \"" << runnerName.toStdString()
                        << "\"; known: " << GoldenRunnerNames().join(QStringLiteral(", ")).toStdString();

    GoldenCase c;
    c.folder = folder;
    c.options = json.object();
    const QJsonObject settings = c.options.value(QStringLiteral("settings")).toObject();
    c.settings.rub = settings.value(QStringLiteral("rub")).toString(c.settings.rub);
    c.settings.kop = settings.value(QStringLiteral("kop")).toString(c.settings.kop);
    c.settings.rod = settings.value(QStringLiteral("rod")).toInt(c.settings.rod);
    c.settings.my_language = settings.value(QStringLiteral("my_language")).toInt(c.settings.my_language);
    c.settings.okrugl1 = settings.value(QStringLiteral("okrugl1")).toInt(c.settings.okrugl1);
    c.settings.okrugl2 = settings.value(QStringLiteral("okrugl2")).toInt(c.settings.okrugl2);
    c.office.reachable = c.options.value(QStringLiteral("office")).toString() != QStringLiteral("unreachable");
    const QDateTime today = QDateTime::fromString(c.options.value(QStringLiteral("today")).toString(QStringLiteral("07.12.2026")),
                                                  QStringLiteral("dd.MM.yyyy"))
                                .addSecs(10 * 3600);
    ASSERT_TRUE(today.isValid()) << "options \"today\" is not dd.MM.yyyy";
    Clock::setSource([today] { return today; });

    const QString data = readText(folder + QStringLiteral("data.sql"));
    if (!data.trimmed().isEmpty()) {
        c.t.write().start();
        db::runScript(c.t.db(), c.t.write(), data);
        c.t.write().commit();
        c.t.read().commit();
        c.t.read().start();
    }

    (*runner)(c);

    // A long paper keeps only its first rows in the dump: its layout. The
    // runner reads the whole of it.
    const int dumpRows = c.options.value(QStringLiteral("dumpRows")).toInt(0);
    if (dumpRows > 0)
        for (std::shared_ptr<automation::RecordedBook>& book : c.office.books)
            book = firstRows(*book, dumpRows);
    QString dump = automation::DumpBooks(c.office);
    for (const QString& note : c.notes)
        dump += QStringLiteral("note: ") + note + QLatin1Char('\n');

    const QString expectedPath = folder + QStringLiteral("expected.txt");
    if (qEnvironmentVariable("TARELIA_REWRITE_GOLDEN") == QStringLiteral("1")) {
        QFile f(expectedPath);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << expectedPath.toStdString();
        f.write(dump.toUtf8());
        return;
    }
    if (!QFile::exists(expectedPath))
        FAIL() << expectedPath.toStdString() << " is missing; the dump is:\n"
               << dump.toStdString() << "(run with TARELIA_REWRITE_GOLDEN=1 to write it)";
    const QString expected = readText(expectedPath);
    EXPECT_TRUE(expected == dump) << "the workbook differs from " << expectedPath.toStdString()
                                  << " (- expected, + printed now; TARELIA_REWRITE_GOLDEN=1 rewrites it):\n"
                                  << lineDiff(expected, dump).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Folders, ReportGolden, ::testing::ValuesIn(caseFolders()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             QString name = QString::fromStdString(info.param).mid(QStringLiteral("report_").size());
                             for (QChar& ch : name)
                                 if (!ch.isLetterOrNumber() || ch.unicode() > 127)
                                     ch = QLatin1Char('_');
                             return name.toStdString();
                         });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(ReportGolden);

} // namespace
