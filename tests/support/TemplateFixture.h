#pragma once

// Print templates written into a test database: the template row of a list
// and its variables, as the template administration would leave them.

#include "support/TestDb.h"
#include "templates/TemplateForm.h"

#include "db/Query.h"

// Bytes that start like an Excel 97 file.
inline QByteArray XlsBytes() { return QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray("sheet", 5); }

// A table layout on those bytes: header at F7, tail at F12, lines from A to F.
inline templates::TemplateForm TableLayout(const QString& name, qint64 unicName)
{
    templates::TemplateForm f;
    f.NAME_SHABLON = name;
    f.HEAD_YX = QStringLiteral("F7");
    f.TAIL_YX = QStringLiteral("F12");
    f.START_LINE = QStringLiteral("A");
    f.END_LINE = QStringLiteral("F");
    f.UNICNAME = unicName;
    f.SHABLON = XlsBytes();
    return f;
}

inline qint64 InsertTemplate(TestDb& t, int listNo, const templates::TemplateForm& f, int defaul = 1)
{
    if (t.write().active())
        t.write().rollback();
    t.write().start();
    db::Query q(&t.db(), &t.write());
    q.setSql(QStringLiteral("SELECT GEN_ID(MY_GEN, 1) FROM RDB$DATABASE"));
    q.open();
    const qint64 kod = q.field(0).asInt64();
    q.close();
    q.setSql(QStringLiteral("INSERT INTO PRINT_FORMS (KOD, OBRAZ, KOD_SPISKA, NAME_SHABLON, HEAD_YX, TAIL_YX, START_LINE, "
                            "END_LINE, SETKA, DEFAUL, ZOOM, UNICNAME, SHABLON) VALUES (:K, 1, :L, :N, :H, :T, :S, :E, "
                            ":G, :D, 100, :U, :B)"));
    q.param(QStringLiteral("K")).setInt64(kod);
    q.param(QStringLiteral("L")).setInt(listNo);
    q.param(QStringLiteral("N")).setString(f.NAME_SHABLON);
    q.param(QStringLiteral("H")).setString(f.HEAD_YX);
    q.param(QStringLiteral("T")).setString(f.TAIL_YX);
    q.param(QStringLiteral("S")).setString(f.START_LINE);
    q.param(QStringLiteral("E")).setString(f.END_LINE);
    q.param(QStringLiteral("G")).setInt(f.SETKA);
    q.param(QStringLiteral("D")).setInt(defaul);
    q.param(QStringLiteral("U")).setInt64(f.UNICNAME);
    q.param(QStringLiteral("B")).setBytes(f.SHABLON);
    q.execSql();
    t.write().commit();
    return kod;
}

inline void InsertVariable(TestDb& t, qint64 form, const templates::TemplateVariable& v)
{
    if (t.write().active())
        t.write().rollback();
    t.write().start();
    db::Query q(&t.db(), &t.write());
    q.setSql(QStringLiteral(
        "INSERT INTO PRINT_VARIABLES (KOD_FORMA, NAMEVAR, NAME, ENABLED, LOCATION, STATIC_TYPE, TEXT_STATIC, X_START, "
        "X_END, SETKA, WRAPP, MERGEE, HORIZONTAL_ALIGNMENT, MY_HORIZONTAL_ALIGNMENT, TEXT_BEFORE_VALUE, "
        "TEXT_AFTER_VALUE, MY_FONT, FONT_NAME, FONT_SIZE, FONT_BOLD, FONT_ITALIC, FONT_UNDERLINE) VALUES (:F, :NV, :NV, "
        ":EN, :LO, :ST, :TS, :XS, :XE, :SE, :WR, :ME, :HA, :MHA, :TB, :TA, :MF, :FN, :FS, :FB, :FI, :FU)"));
    q.param(QStringLiteral("F")).setInt64(form);
    q.param(QStringLiteral("NV")).setString(v.NAMEVAR);
    q.param(QStringLiteral("EN")).setInt(v.ENABLED);
    q.param(QStringLiteral("LO")).setInt(v.LOCATION);
    q.param(QStringLiteral("ST")).setInt(v.STATIC_TYPE);
    q.param(QStringLiteral("TS")).setString(v.TEXT_STATIC);
    q.param(QStringLiteral("XS")).setString(v.X_START);
    q.param(QStringLiteral("XE")).setString(v.X_END);
    q.param(QStringLiteral("SE")).setInt(v.SETKA);
    q.param(QStringLiteral("WR")).setInt(v.WRAPP);
    q.param(QStringLiteral("ME")).setInt(v.MERGEE);
    q.param(QStringLiteral("HA")).setInt(v.HORIZONTAL_ALIGNMENT);
    q.param(QStringLiteral("MHA")).setInt(v.MY_HORIZONTAL_ALIGNMENT);
    q.param(QStringLiteral("TB")).setString(v.TEXT_BEFORE_VALUE);
    q.param(QStringLiteral("TA")).setString(v.TEXT_AFTER_VALUE);
    q.param(QStringLiteral("MF")).setInt(v.MY_FONT);
    q.param(QStringLiteral("FN")).setString(v.FONT_NAME);
    q.param(QStringLiteral("FS")).setDouble(v.FONT_SIZE);
    q.param(QStringLiteral("FB")).setInt(v.FONT_BOLD);
    q.param(QStringLiteral("FI")).setInt(v.FONT_ITALIC);
    q.param(QStringLiteral("FU")).setInt(v.FONT_UNDERLINE);
    q.execSql();
    t.write().commit();
}

// A variable placed at a cell, enabled.
inline templates::TemplateVariable PlacedVariable(const QString& name, int location, const QString& xStart,
                                                  const QString& xEnd = QString())
{
    templates::TemplateVariable v;
    v.NAMEVAR = name;
    v.ENABLED = 1;
    v.LOCATION = location;
    v.X_START = xStart;
    v.X_END = xEnd.isEmpty() ? xStart : xEnd;
    return v;
}

// The read transaction sees what was written since it started.
inline void RefreshRead(TestDb& t)
{
    if (t.read().active())
        t.read().commit();
    t.read().start();
}
