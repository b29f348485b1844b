#!/bin/sh
# Quick check of the schema sources with Firebird's isql.
#
# Builds two scratch databases from the *.sql files of this folder, in name
# order: one read as UTF-8, one after conversion to Windows-1251 (as the
# program's script runner sees them), and checks the result: keys filled by
# the triggers, the generator, computed sums, Cyrillic text, the version rows,
# the print lists, the settings rows and the procedure declarations.
#
# Usage: check_schema.sh [work-folder]      (default: a new folder in /tmp)
# Environment: ISQL (default isql-fb).  Prints FAIL lines and exits 1 on error.

set -u
ISQL=${ISQL:-isql-fb}
SRC=$(cd "$(dirname "$0")" && pwd)
WORK=${1:-$(mktemp -d "${TMPDIR:-/tmp}/schema-check.XXXXXX")}
mkdir -p "$WORK" || exit 1
FAILED=0

fail() { echo "FAIL: $*"; FAILED=1; }

# create_db FILE CHARSET: creates FILE and runs every script into it,
# converted to Windows-1251 first when CHARSET is WIN1251.
create_db() {
    rm -f "$1"
    echo "CREATE DATABASE '$1' USER 'SYSDBA' PASSWORD 'masterkey' PAGE_SIZE 8192 DEFAULT CHARACTER SET WIN1251;" \
        | "$ISQL" -q -ch UTF8 || return 1
    for f in "$SRC"/*.sql; do
        if [ "$2" = WIN1251 ]; then
            iconv -f UTF-8 -t CP1251 "$f" > "$WORK/script.sql" || return 1
        else
            cp "$f" "$WORK/script.sql"
        fi
        "$ISQL" -q -bail -ch "$2" "$1" -i "$WORK/script.sql" > "$WORK/out.txt" 2>&1
        if [ $? -ne 0 ] || [ -s "$WORK/out.txt" ]; then
            fail "$(basename "$f") ($2):"; cat "$WORK/out.txt"; return 1
        fi
    done
}

# sql DB: runs standard input as UTF-8 against DB, no headings.
sql() { "$ISQL" -q -ch UTF8 "$1" 2>&1; }

DB=$WORK/utf8.fdb
DB1251=$WORK/win1251.fdb
create_db "$DB" UTF8 || exit 1
create_db "$DB1251" WIN1251 || exit 1

# Both ways of reading the scripts must give the same rows.
DUMP="SET HEADING OFF;
SELECT NUMBER_VER, NAME_VER, OPIS FROM MY_VERSION ORDER BY NUMBER_VER;
SELECT KOD_SPISOK, NAME_SPISOK FROM PRINT_SPISOK ORDER BY KOD_SPISOK;
SELECT NAME_PARAM, INTEGER_PARAM, STRING_PARAM, DATE_PARAM FROM MY_PARAM ORDER BY NAME_PARAM;
SET BLOB ALL;
SELECT NAME_PARAM, MEMO_PARAM FROM MY_PARAM WHERE MEMO_PARAM IS NOT NULL ORDER BY NAME_PARAM;"
echo "$DUMP" | sql "$DB" > "$WORK/dump_utf8.txt"
echo "$DUMP" | sql "$DB1251" > "$WORK/dump_1251.txt"
cmp -s "$WORK/dump_utf8.txt" "$WORK/dump_1251.txt" \
    || fail "rows differ between the UTF-8 and the Windows-1251 reading ($WORK/dump_*.txt)"
grep -q "Оборотная ведомость по продуктам" "$WORK/dump_1251.txt" \
    || fail "Cyrillic text of the first rows is not read back"

# Checks inside the database: every query returns FAIL lines only.
sql "$DB" > "$WORK/checks.txt" <<'EOF'
SET HEADING OFF;

/* every table but MY_VERSION: KOD as primary key and an active key trigger */
SELECT 'FAIL: no primary key KOD on ' || TRIM(r.RDB$RELATION_NAME)
FROM RDB$RELATIONS r
WHERE COALESCE(r.RDB$SYSTEM_FLAG, 0) = 0 AND r.RDB$RELATION_NAME <> 'MY_VERSION'
  AND NOT EXISTS (SELECT 1 FROM RDB$RELATION_CONSTRAINTS c
                  JOIN RDB$INDEX_SEGMENTS s ON s.RDB$INDEX_NAME = c.RDB$INDEX_NAME
                  WHERE c.RDB$RELATION_NAME = r.RDB$RELATION_NAME
                    AND c.RDB$CONSTRAINT_TYPE = 'PRIMARY KEY' AND s.RDB$FIELD_NAME = 'KOD');
SELECT 'FAIL: no key trigger on ' || TRIM(r.RDB$RELATION_NAME)
FROM RDB$RELATIONS r
WHERE COALESCE(r.RDB$SYSTEM_FLAG, 0) = 0 AND r.RDB$RELATION_NAME <> 'MY_VERSION'
  AND NOT EXISTS (SELECT 1 FROM RDB$TRIGGERS t
                  WHERE t.RDB$RELATION_NAME = r.RDB$RELATION_NAME
                    AND t.RDB$TRIGGER_TYPE = 1 AND COALESCE(t.RDB$TRIGGER_INACTIVE, 0) = 0);

/* version, print lists, settings */
SELECT 'FAIL: schema version ' || COALESCE(MAX(NUMBER_VER), 0) || ' with ' || COUNT(*) || ' rows'
FROM MY_VERSION HAVING MAX(NUMBER_VER) IS DISTINCT FROM 42 OR COUNT(*) <> 42;
SELECT 'FAIL: print lists' FROM RDB$DATABASE
WHERE (SELECT COUNT(DISTINCT KOD_SPISOK) FROM PRINT_SPISOK WHERE KOD_SPISOK BETWEEN 1 AND 10
         AND NAME_SPISOK > '') <> 10
   OR (SELECT COUNT(*) FROM PRINT_SPISOK) <> 10;
SELECT 'FAIL: settings rows ' || COUNT(*) FROM MY_PARAM HAVING COUNT(*) <> 16;
SELECT 'FAIL: setting ' || TRIM(NAME_PARAM) || ' has no value' FROM MY_PARAM
WHERE INTEGER_PARAM IS NULL AND STRING_PARAM IS NULL AND MEMO_PARAM IS NULL AND DATE_PARAM IS NULL;
SELECT 'FAIL: switch setting ' || TRIM(NAME_PARAM) || ' is on' FROM MY_PARAM
WHERE NAME_PARAM IN ('DOiliPOSLE', 'ShtrihKodAllOtdel', 'Kod1SAllOtdel', 'PrintPrgOpenOffice',
                     'InvProvodka', 'DelOtkatOnly', 'PrintForGroup', 'DateDocEdit');
SELECT 'FAIL: rounding defaults' FROM RDB$DATABASE
WHERE (SELECT INTEGER_PARAM FROM MY_PARAM WHERE NAME_PARAM = 'okrugl1') IS DISTINCT FROM 1
   OR (SELECT INTEGER_PARAM FROM MY_PARAM WHERE NAME_PARAM = 'okrugl2') IS DISTINCT FROM 0;

/* procedures: name, number of inputs and outputs */
SELECT 'FAIL: procedure ' || e.N FROM (
          SELECT 'MY_ROUND' N, 2 I, 1 O FROM RDB$DATABASE
    UNION ALL SELECT 'START_EDIT_KALK', 3, 0 FROM RDB$DATABASE
    UNION ALL SELECT 'END_EDIT_KALK', 2, 0 FROM RDB$DATABASE
    UNION ALL SELECT 'CLEAR_EDIT_KALK', 2, 0 FROM RDB$DATABASE
    UNION ALL SELECT 'ADD_TO_KALK', 4, 1 FROM RDB$DATABASE
    UNION ALL SELECT 'ADD_ING_TO_ING_SKLAD', 2, 0 FROM RDB$DATABASE
    UNION ALL SELECT 'CREATE_FIRST_OTDEL', 3, 0 FROM RDB$DATABASE
    UNION ALL SELECT 'ALL_ING_TO_SKLAD', 3, 0 FROM RDB$DATABASE
    UNION ALL SELECT 'DELETE_FIRMA', 1, 0 FROM RDB$DATABASE
    UNION ALL SELECT 'DELETE_OTDEL', 1, 0 FROM RDB$DATABASE
    UNION ALL SELECT 'DELETE_SKLAD', 1, 0 FROM RDB$DATABASE
    UNION ALL SELECT 'DELETE_MENU', 1, 0 FROM RDB$DATABASE
    UNION ALL SELECT 'PROVODKA_MOVE', 1, 0 FROM RDB$DATABASE
    UNION ALL SELECT 'DELETE_PROVODKA', 2, 0 FROM RDB$DATABASE
    UNION ALL SELECT 'DEL_DOC', 2, 0 FROM RDB$DATABASE
    UNION ALL SELECT 'ADD_ING_TO_INV', 6, 0 FROM RDB$DATABASE
    UNION ALL SELECT 'INVENT_PROVODKA', 2, 0 FROM RDB$DATABASE) e
WHERE NOT EXISTS (SELECT 1 FROM RDB$PROCEDURES p
                  WHERE p.RDB$PROCEDURE_NAME = e.N
                    AND COALESCE(p.RDB$PROCEDURE_INPUTS, 0) = e.I
                    AND COALESCE(p.RDB$PROCEDURE_OUTPUTS, 0) = e.O);

/* keys: a row inserted without KOD takes the generator's next value, and a
   key drawn afterwards by the program never meets it */
SET TERM ^ ;
EXECUTE BLOCK RETURNS (MSG VARCHAR(100))
AS
    DECLARE T VARCHAR(31);
    DECLARE K BIGINT;
    DECLARE G BIGINT;
BEGIN
    FOR SELECT TRIM(RDB$RELATION_NAME) FROM RDB$RELATIONS
        WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 AND RDB$RELATION_NAME <> 'MY_VERSION'
        INTO :T
    DO BEGIN
        EXECUTE STATEMENT 'INSERT INTO ' || T || ' DEFAULT VALUES RETURNING KOD' INTO :K;
        IF (K IS DISTINCT FROM GEN_ID(MY_GEN, 0)) THEN
        BEGIN
            MSG = 'FAIL: key of ' || T || ' not from MY_GEN';
            SUSPEND;
        END
        G = GEN_ID(MY_GEN, 1);
        EXECUTE STATEMENT 'INSERT INTO ' || T || ' (KOD) VALUES (' || G || ')';
        EXECUTE STATEMENT 'INSERT INTO ' || T || ' DEFAULT VALUES RETURNING KOD' INTO :K;
        IF (K <= G) THEN
        BEGIN
            MSG = 'FAIL: key of ' || T || ' repeats a drawn key';
            SUSPEND;
        END
    END
END^
SET TERM ; ^

/* defaults that inserts naming few columns rely on */
INSERT INTO ING (KOD, NAME) VALUES (-1, 'Борщ «Украинский» с зеленью, ёЁ');
INSERT INTO KARTA (KOD_ING_MASTER, KOD_ING, KOLVO) VALUES (-1, -1, 1);
INSERT INTO ING_SKLAD (KOD_ING, KOD_OTDEL) VALUES (-1, -2);
INSERT INTO MENU_STR (KOD, KOD_MENU_RAZDEL, KOD_ING) VALUES (-1, -3, -1);
INSERT INTO DOCS (KOD, NAME) VALUES (-1, '№ 1');
INSERT INTO MOVES (KOD, KOD_DOC, KOD_ING, KOLVO, CENA) VALUES (-1, -1, -1, 2.5, 4);
INSERT INTO REAL_BLUDO (KOD, KOD_DOC, KOD_ING, KOLVO, CENA) VALUES (-1, -1, -1, 3, 1.5);
SELECT 'FAIL: ING defaults' FROM ING WHERE KOD = -1
  AND (MY_LEVEL <> 0 OR MANUAL_BRUTTO <> 0 OR KALORIES <> 0 OR FLAG_UPDATE <> 0
       OR CENA_COMPUTE <> 0 OR PERCENT_PLUS <> 0 OR VIHOD <> 100 OR KVO_PORC <> 1);
SELECT 'FAIL: KARTA defaults' FROM KARTA WHERE KOD_ING_MASTER = -1
  AND (IS_ACTIVE IS DISTINCT FROM 1 OR PERCENT IS DISTINCT FROM 100);
SELECT 'FAIL: ING_SKLAD defaults' FROM ING_SKLAD WHERE KOD_ING = -1
  AND (KOLVO <> 0 OR CENA <> 0 OR MY_CENA <> 0 OR PERCENT <> 0 OR METOD_CENA <> 0
       OR NO_ING <> 0 OR OPEN_CLOSE <> 0 OR KOD_KASSA <> 0 OR LIMIT <> 0);
SELECT 'FAIL: MENU_STR defaults' FROM MENU_STR WHERE KOD = -1
  AND (MY_ACTIVE IS DISTINCT FROM 1 OR NO_ROUND IS NOT NULL);
SELECT 'FAIL: DOCS defaults' FROM DOCS WHERE KOD = -1
  AND (PROVODKA IS DISTINCT FROM 0 OR P IS DISTINCT FROM 0 OR EDIT_CENA IS DISTINCT FROM 0);
SELECT 'FAIL: MOVES line' FROM MOVES WHERE KOD = -1
  AND (SUMMA IS DISTINCT FROM 10 OR TYPE_MOVES IS NOT NULL OR OLD_CENA IS NOT NULL);
SELECT 'FAIL: REAL_BLUDO sum' FROM REAL_BLUDO WHERE KOD = -1 AND SUMMA IS DISTINCT FROM 4.5;
SELECT 'FAIL: Cyrillic stored as one byte a letter' FROM ING
WHERE KOD = -1 AND OCTET_LENGTH(NAME) <> CHAR_LENGTH(NAME);
SET LIST ON;
SELECT NAME AS CYRILLIC FROM ING WHERE KOD = -1;
SET LIST OFF;

/* the price procedure is executable and leaves its result empty for now */
EXECUTE PROCEDURE MY_ROUND (1, 10.0);
ROLLBACK;
EOF
grep "^FAIL" "$WORK/checks.txt" | sed 's/ *$//'
grep -q "^FAIL" "$WORK/checks.txt" && FAILED=1
grep -q "^CYRILLIC *Борщ «Украинский» с зеленью, ёЁ$" "$WORK/checks.txt" \
    || fail "Cyrillic text does not round-trip"
if grep -q "^Statement failed" "$WORK/checks.txt"; then
    grep -A3 "^Statement failed" "$WORK/checks.txt"
    fail "a check statement failed"
fi

if [ $FAILED -eq 0 ]; then echo "schema OK ($WORK)"; fi
exit $FAILED
