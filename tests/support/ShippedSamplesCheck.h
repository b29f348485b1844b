#pragma once

// Checks that a database holds every sample template of the repository
// (printing/templates/samples/NAME.sql) as the protected default of its
// print list, with its spreadsheet and variables.

#include "db/Database.h"
#include "db/Query.h"
#include "db/Transaction.h"
#include "templates/SampleTemplates.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

inline QStringList RepositorySampleNames()
{
    QStringList names;
    const QDir dir(QStringLiteral(TARELIA_FIXTURES "/../../printing/templates/samples"));
    for (const QString& f : dir.entryList({QStringLiteral("*.sql")}, QDir::Files, QDir::Name))
        if (QFileInfo::exists(dir.filePath(QFileInfo(f).completeBaseName() + QStringLiteral(".fods"))))
            names.append(QFileInfo(f).completeBaseName());
    return names;
}

inline void ExpectEverySampleInstalled(db::Database& database)
{
    // The program carries every sample of the repository.
    QFile index(templates::ShippedSamplesFolder() + QStringLiteral("/index.txt"));
    ASSERT_TRUE(index.open(QIODevice::ReadOnly));
    QStringList built = QString::fromUtf8(index.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    built.sort();
    EXPECT_EQ(built, RepositorySampleNames()) << "rebuild: the program's samples differ from the repository's";

    db::Transaction read(&database, db::Transaction::readParams());
    read.start();
    db::Query q(&database, &read);
    q.setSql(QStringLiteral("SELECT F.KOD_SPISKA, F.DEFAUL, F.NAME_SHABLON, OCTET_LENGTH(F.SHABLON), "
                            "(SELECT COUNT(*) FROM PRINT_VARIABLES V WHERE V.KOD_FORMA = F.KOD), "
                            "(SELECT COUNT(*) FROM PRINT_FORMS D WHERE D.KOD_SPISKA = F.KOD_SPISKA AND D.DEFAUL = 1) "
                            "FROM PRINT_FORMS F WHERE F.OBRAZ = 1 ORDER BY F.KOD_SPISKA"));
    q.open();
    int samples = 0;
    QList<qint64> lists;
    for (; !q.eof(); q.next()) {
        ++samples;
        const QString name = q.field(2).asString();
        lists.append(q.field(0).asInt64());
        EXPECT_EQ(q.field(1).asInt(), 1) << name.toStdString() << " is not the default of its list";
        EXPECT_GT(q.field(3).asInt64(), 0) << name.toStdString() << " has no spreadsheet";
        EXPECT_GT(q.field(4).asInt(), 0) << name.toStdString() << " has no variables";
        EXPECT_EQ(q.field(5).asInt(), 1) << "list " << lists.back() << " has more than one default";
    }
    EXPECT_EQ(samples, RepositorySampleNames().size());
    EXPECT_EQ(QSet<qint64>(lists.begin(), lists.end()).size(), lists.size()) << "two samples of one list";
}
