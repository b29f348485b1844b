// Printed pages read back from the office's PDF through poppler's pdftotext.

#include "OfficeEnvironment.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// A word's box, a little inside, so that words merely touching do not count.
bool overlap(const PdfWord& a, const PdfWord& b)
{
    constexpr double slackX = 0.5, slackY = 2;
    return a.xMin + slackX < b.xMax && b.xMin + slackX < a.xMax && a.yMin + slackY < b.yMax && b.yMin + slackY < a.yMax;
}

} // namespace

int PdfPage::count(const QString& word) const
{
    return static_cast<int>(std::count_if(words.begin(), words.end(), [&](const PdfWord& w) { return w.text == word; }));
}

QList<PdfPage> PdfPages(automation::Document& d, const QString& name)
{
    const QString pdf = QDir(TestOfficeFolder()).filePath(name + QStringLiteral(".pdf"));
    d.storeToFile(pdf, QStringLiteral("calc_pdf_Export"));
    if (const QString look = qEnvironmentVariable("TARELIA_OFFICE_OUT"); !look.isEmpty())
        QFile::copy(pdf, QDir(look).filePath(name + QStringLiteral(".pdf")));
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(30000) || p.exitCode() != 0) {
        ADD_FAILURE() << "pdftotext failed on " << pdf.toStdString();
        return {};
    }
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression page(QStringLiteral("<page width=\"([0-9.]+)\" height=\"([0-9.]+)\">"));
    static const QRegularExpression word(QStringLiteral(
        "<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">([^<]*)</word>"));
    QList<PdfPage> pages;
    for (const QString& part : html.split(QStringLiteral("<page "), Qt::SkipEmptyParts).mid(1)) {
        const auto m = page.match(QStringLiteral("<page ") + part);
        if (!m.hasMatch())
            continue;
        PdfPage pg;
        pg.width = m.captured(1).toDouble();
        pg.height = m.captured(2).toDouble();
        for (auto it = word.globalMatch(part); it.hasNext();) {
            const auto w = it.next();
            pg.words.append({w.captured(5), w.captured(1).toDouble(), w.captured(2).toDouble(),
                             w.captured(3).toDouble(), w.captured(4).toDouble()});
        }
        pages.append(pg);
    }
    return pages;
}

void ExpectWholeOnPaper(const QList<PdfPage>& pages, const QString& name, double margin)
{
    QStringList faults;
    for (int n = 0; n < pages.size(); ++n) {
        const PdfPage& pg = pages[n];
        const QString page = QStringLiteral("page %1: ").arg(n + 1);
        for (int i = 0; i < pg.words.size(); ++i) {
            const PdfWord& w = pg.words[i];
            if (w.text.contains(QStringLiteral("###")))
                faults << page + QStringLiteral("a figure shown as ") + w.text;
            if (w.xMax > pg.width - margin + 0.5)
                faults << page + QStringLiteral("\"%1\" past the edge").arg(w.text);
            for (int j = i + 1; j < pg.words.size(); ++j)
                if (overlap(w, pg.words[j]))
                    faults << page + QStringLiteral("\"%1\" and \"%2\" overlap").arg(w.text, pg.words[j].text);
        }
    }
    EXPECT_TRUE(faults.isEmpty()) << name.toStdString() << "\n" << faults.join(QLatin1Char('\n')).toStdString();
}
