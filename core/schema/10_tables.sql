/*
  Tables of the shipped database (schema version 42) and the key generator.

  Conventions:
  - Every table but MY_VERSION has the 64-bit key KOD.  Keys come from the
    generator MY_GEN: the program draws them itself where it needs the key
    at once, otherwise the BI_<TABLE> triggers (30_triggers.sql) fill KOD.
  - Links between tables are plain KOD values in KOD_... columns. There are
    no foreign keys and no cascades, the program keeps the links itself.
  - Text columns are VARCHAR in the database character set (WIN1251), long
    texts BLOB SUB_TYPE 1, money and quantities are DOUBLE PRECISION.
  - Numeric defaults are what inserts that leave a column out rely on:
    0 for levels, quantities, prices, markups and methods, 1 for switches
    that are on by default, 100 for a yield percent and 1 for a number of
    portions (both are divisors in the costing computations).
*/

CREATE SEQUENCE MY_GEN;

COMMIT;

/* ---------- Structure: enterprises, departments, warehouses ---------- */

/* Enterprises, own (LOCAL_FIRMA 1) or partners. */
CREATE TABLE FIRMA (
    KOD          BIGINT NOT NULL,
    NAME         VARCHAR(254),
    INFO         BLOB SUB_TYPE 1,
    BANK         VARCHAR(254),
    BIK          VARCHAR(15),
    RS           VARCHAR(30),
    KS           VARCHAR(30),
    INN          VARCHAR(15),
    KPP          VARCHAR(15),
    PHONE        VARCHAR(20),
    ADDR_JUR     VARCHAR(254),
    ADDR_REAL    VARCHAR(254),
    LOCAL_FIRMA  SMALLINT DEFAULT 0,
    CONSTRAINT PK_FIRMA PRIMARY KEY (KOD)
);

/* Departments of an enterprise.  FIRST_OTDEL = 1 marks the main one. */
CREATE TABLE OTDEL (
    KOD          BIGINT NOT NULL,
    KOD_FIRMA    BIGINT,
    NAME         VARCHAR(254),
    DOP_INFO     BLOB SUB_TYPE 1,
    FIRST_OTDEL  VARCHAR(1),
    CONSTRAINT PK_OTDEL PRIMARY KEY (KOD)
);

/* Warehouses of a department.  FIRST_SKLAD = 1 marks the first one. */
CREATE TABLE SKLAD (
    KOD          BIGINT NOT NULL,
    KOD_FIRMA    BIGINT,
    KOD_OTDEL    BIGINT,
    NAME         VARCHAR(100),
    DOP_INFO     BLOB SUB_TYPE 1,
    FIRST_SKLAD  VARCHAR(1),
    CONSTRAINT PK_SKLAD PRIMARY KEY (KOD)
);

/* Which warehouse of a department keeps a product group. */
CREATE TABLE SKLAD_GRING (
    KOD          BIGINT NOT NULL,
    KOD_SKLAD    BIGINT,
    KOD_GRING    BIGINT,
    CONSTRAINT PK_SKLAD_GRING PRIMARY KEY (KOD)
);

/* ---------- Catalogue ---------- */

/* Units of measure. */
CREATE TABLE ED_IZM (
    KOD          BIGINT NOT NULL,
    NAME         VARCHAR(50),
    SHORT_NAME   VARCHAR(10),
    GR           INTEGER,
    CONSTRAINT PK_ED_IZM PRIMARY KEY (KOD)
);

/* Product and dish groups. */
CREATE TABLE GROUP_ING (
    KOD          BIGINT NOT NULL,
    NAME         VARCHAR(100),
    CONSTRAINT PK_GROUP_ING PRIMARY KEY (KOD)
);

/* Products, semi-finished products and dishes.
   MY_LEVEL: 0 raw product, n > 0 depth of the costing card.
   USE_MENU: plus sign: may be put on a menu, blank: not.
   CENA_COMPUTE: ingredient prices taken in computations, 0 stock, 1 selling.
   MANUAL_BRUTTO: 0 gross amounts from the yield of the ingredients, 1 by hand.
   FLAG_UPDATE / KOD_UPDATE: edit session of the card. */
CREATE TABLE ING (
    KOD             BIGINT NOT NULL,
    KOD_GROUP       BIGINT,
    NAME            VARCHAR(100),
    ED_IZM          BIGINT,
    MY_LEVEL        SMALLINT DEFAULT 0,
    USE_MENU        VARCHAR(1),
    VIHOD           DOUBLE PRECISION DEFAULT 100,
    PERCENT_PLUS    INTEGER DEFAULT 0,
    PERCENT_SKIDKA  INTEGER DEFAULT 0,
    VIHOD_BLUDA     VARCHAR(25),
    DOP_INFO        VARCHAR(200),
    KVO_PORC        INTEGER DEFAULT 1,
    MY_SECTION      SMALLINT DEFAULT 0,
    CENA_COMPUTE    SMALLINT DEFAULT 0,
    MANUAL_BRUTTO   SMALLINT DEFAULT 0 NOT NULL,
    FLAG_UPDATE     SMALLINT DEFAULT 0,
    KOD_UPDATE      BIGINT,
    RECEPT          BLOB SUB_TYPE 1 SEGMENT SIZE 10,
    MY_TIME         INTEGER,
    MY_ALARM        INTEGER,
    KALORIES        DOUBLE PRECISION DEFAULT 0 NOT NULL,
    CONSTRAINT PK_ING PRIMARY KEY (KOD)
);

/* A product in one department: stock, prices and per-department settings.
   METOD_CENA: 0 markup then rounding, 1 markup without rounding, 2 by hand.
   OPEN_CLOSE: 0 shown, 1 hidden.  KOD_KASSA: point-of-sale code, 0 none. */
CREATE TABLE ING_SKLAD (
    KOD          BIGINT NOT NULL,
    KOD_ING      BIGINT,
    KOD_FIRMA    BIGINT,
    KOD_OTDEL    BIGINT,
    KOD_SKLAD    BIGINT,
    KOD_GROUP    BIGINT,
    KOLVO        DOUBLE PRECISION DEFAULT 0,
    CENA         DOUBLE PRECISION DEFAULT 0,
    MY_CENA      DOUBLE PRECISION DEFAULT 0,
    PERCENT      INTEGER DEFAULT 0,
    METOD_CENA   SMALLINT DEFAULT 0,
    NO_ING       SMALLINT DEFAULT 0 NOT NULL,
    OPEN_CLOSE   SMALLINT DEFAULT 0 NOT NULL,
    KOD_KASSA    INTEGER DEFAULT 0 NOT NULL,
    S_KOD        VARCHAR(50),
    KOD_1S       VARCHAR(50),
    LIMIT        DOUBLE PRECISION DEFAULT 0 NOT NULL,
    CONSTRAINT PK_ING_SKLAD PRIMARY KEY (KOD)
);

/* Costing-card rows: KOD_ING is an ingredient of KOD_ING_MASTER.
   KOLVO is the net quantity, PERCENT the yield (gross = KOLVO * 100 / PERCENT).
   Every product also has a self row (master = ingredient, KOLVO 1). */
CREATE TABLE KARTA (
    KOD             BIGINT NOT NULL,
    KOD_ING_MASTER  BIGINT,
    KOD_ING         BIGINT,
    KOLVO           DOUBLE PRECISION DEFAULT 0,
    PERCENT         DOUBLE PRECISION DEFAULT 100,
    IS_ACTIVE       SMALLINT DEFAULT 1,
    CONSTRAINT PK_KARTA PRIMARY KEY (KOD)
);

/* ---------- Menus ---------- */

/* Menus of an enterprise.  PERCENT: price increase, may be negative.
   NO_ROUND: 0 all prices rounded, 1 manual prices not rounded, 2 none. */
CREATE TABLE MENU (
    KOD          BIGINT NOT NULL,
    KOD_FIRMA    BIGINT,
    NAME         VARCHAR(100),
    DATE_MENU    DATE,
    PERCENT      INTEGER DEFAULT 0,
    NO_ROUND     SMALLINT DEFAULT 0,
    CONSTRAINT PK_MENU PRIMARY KEY (KOD)
);

/* Sections of a menu, each showing the prices of one department. */
CREATE TABLE MENU_RAZDEL (
    KOD          BIGINT NOT NULL,
    KOD_MENU     BIGINT,
    KOD_OTDEL    BIGINT,
    MY_SORT      INTEGER DEFAULT 0,
    NAME         VARCHAR(100),
    IS_ACTIVE    SMALLINT DEFAULT 1 NOT NULL,
    CONSTRAINT PK_MENU_RAZDEL PRIMARY KEY (KOD)
);

/* Dishes in a menu section.  NO_ROUND is copied from MENU.NO_ROUND. */
CREATE TABLE MENU_STR (
    KOD              BIGINT NOT NULL,
    KOD_MENU_RAZDEL  BIGINT,
    KOD_ING          BIGINT,
    MY_ACTIVE        SMALLINT DEFAULT 1,
    NO_ROUND         SMALLINT,
    CONSTRAINT PK_MENU_STR PRIMARY KEY (KOD)
);

/* ---------- Stock documents ---------- */

/* Document headers.
   DOC_TYPE: 1 inventory, 2 production output, 3 sales, 4 internal transfer,
             5 receipt, 6 issue, 7 production write-off.
   INT_PARAM1: department (of the sender for transfers), INT_PARAM2: the
   receiving department, or the warehouse of an inventory (0 all),
   INT_PARAM3: the paired document.
   PROVODKA: 0 not posted, 1 inventory filled, 11 posted.
   TYPE_CENA: 0 stock prices, 1 selling prices.
   EDIT_CENA: receiving price on posting, 0 keep, 1 average, 2 document price.
   P: what is written off, 0 ingredients, 1 finished products, 2 finished and
      semi-finished with further production, 3 without it. */
CREATE TABLE DOCS (
    KOD                 BIGINT NOT NULL,
    NAME                VARCHAR(200),
    DATE_DOC            DATE,
    TIME_DOC            TIME,
    DOC_TYPE            INTEGER,
    KOD_PARTNER_EXPORT  BIGINT,
    KOD_PARTNER_IMPORT  BIGINT,
    INT_PARAM1          BIGINT,
    INT_PARAM2          BIGINT,
    INT_PARAM3          BIGINT,
    PROVODKA            SMALLINT DEFAULT 0,
    TYPE_CENA           SMALLINT DEFAULT 0,
    EDIT_CENA           SMALLINT DEFAULT 0,
    P                   SMALLINT DEFAULT 0,
    CONSTRAINT PK_DOCS PRIMARY KEY (KOD)
);

/* Movement lines.  TYPE_MOVES (1 into stock, 2 out of stock) and OLD_CENA
   (stock price before posting) stay null until the document is posted;
   un-posting a transfer clears the direction again. */
CREATE TABLE MOVES (
    KOD          BIGINT NOT NULL,
    KOD_DOC      BIGINT,
    KOD_ING      BIGINT,
    KOD_OTDEL    BIGINT,
    KOLVO        DOUBLE PRECISION DEFAULT 0,
    CENA         DOUBLE PRECISION DEFAULT 0,
    SUMMA        COMPUTED BY (KOLVO * CENA),
    TYPE_MOVES   SMALLINT,
    OLD_CENA     DOUBLE PRECISION,
    CONSTRAINT PK_MOVES PRIMARY KEY (KOD)
);

/* Inventory lines: book (KOLVO, CENA) against counted (MY_KOLVO, MY_CENA). */
CREATE TABLE INVENT (
    KOD          BIGINT NOT NULL,
    KOD_DOC      BIGINT,
    KOD_ING      BIGINT,
    KOLVO        DOUBLE PRECISION DEFAULT 0,
    MY_KOLVO     DOUBLE PRECISION DEFAULT 0,
    CENA         DOUBLE PRECISION DEFAULT 0,
    MY_CENA      DOUBLE PRECISION DEFAULT 0,
    CENA_P       DOUBLE PRECISION DEFAULT 0 NOT NULL,
    CONSTRAINT PK_INVENT PRIMARY KEY (KOD)
);

/* Production and sales lines.  CENA is the selling price, CENA_SKLAD the
   stock price for the sales statement. */
CREATE TABLE REAL_BLUDO (
    KOD          BIGINT NOT NULL,
    KOD_DOC      BIGINT,
    KOD_ING      BIGINT,
    KOD_OTDEL    BIGINT,
    KOLVO        DOUBLE PRECISION DEFAULT 0,
    CENA         DOUBLE PRECISION DEFAULT 0,
    SUMMA        COMPUTED BY (KOLVO * CENA),
    CENA_SKLAD   DOUBLE PRECISION,
    CONSTRAINT PK_REAL_BLUDO PRIMARY KEY (KOD)
);

/* ---------- Users, protocol, settings, version ---------- */

/* Users.  PASSW and F hold scrambled byte strings. */
CREATE TABLE PERSON (
    KOD          BIGINT NOT NULL,
    FIO          VARCHAR(50),
    LOGIN        VARCHAR(20),
    PASSW        VARCHAR(100),
    F            VARCHAR(100),
    SCANCODE     VARCHAR(100),
    STATUS       SMALLINT,
    CONSTRAINT PK_PERSON PRIMARY KEY (KOD)
);

/* One row per right (PARAM1, 1 to 16) granted to a user. */
CREATE TABLE PERSON_POLICY (
    KOD          BIGINT NOT NULL,
    KOD_PERSON   BIGINT,
    PARAM1       INTEGER,
    PARAM2       INTEGER,
    PARAM3       VARCHAR(50),
    CONSTRAINT PK_PERSON_POLICY PRIMARY KEY (KOD)
);

/* Protocol of user actions.  ARM and WHAT_ACTION carry no character set:
   their bytes are stored as the client sends them. */
CREATE TABLE LOG_TABLE (
    KOD          BIGINT NOT NULL,
    MY_DATE      DATE,
    MY_TIME      TIME,
    P_LOGIN      VARCHAR(20),
    P_FIO        VARCHAR(50),
    ARM          VARCHAR(40) CHARACTER SET NONE,
    WHAT_ACTION  VARCHAR(220) CHARACTER SET NONE,
    K_LOGIN      BIGINT,
    CONSTRAINT PK_LOG_TABLE PRIMARY KEY (KOD)
);

/* Settings, one row per key NAME_PARAM (case-sensitive).  Value keys keep
   their value in one of the columns, a switch key is on when its row exists. */
CREATE TABLE MY_PARAM (
    KOD            BIGINT NOT NULL,
    NAME_PARAM     VARCHAR(20),
    INTEGER_PARAM  INTEGER,
    FLOAT_PARAM    DOUBLE PRECISION,
    STRING_PARAM   VARCHAR(250),
    MEMO_PARAM     BLOB SUB_TYPE 1,
    DATE_PARAM     DATE,
    CONSTRAINT PK_MY_PARAM PRIMARY KEY (KOD)
);

/* Applied schema-upgrade steps, rows 1 and 2 are the base schema. */
CREATE TABLE MY_VERSION (
    NUMBER_VER   INTEGER NOT NULL,
    NAME_VER     VARCHAR(20),
    OPIS         VARCHAR(200),
    CONSTRAINT PK_MY_VERSION PRIMARY KEY (NUMBER_VER)
);

/* ---------- Print templates ---------- */

/* The ten print lists (KOD_SPISOK 1 to 10). */
CREATE TABLE PRINT_SPISOK (
    KOD          BIGINT NOT NULL,
    KOD_SPISOK   INTEGER,
    NAME_SPISOK  VARCHAR(100),
    CONSTRAINT PK_PRINT_SPISOK PRIMARY KEY (KOD)
);

/* Print templates.  KOD_SPISKA holds PRINT_SPISOK.KOD_SPISOK (1 to 10).
   OBRAZ 1: sample template of the list, DEFAUL 1: default of the list.
   SETKA: table outline, 0 grid, 1 lines, 2 none.
   UNICNAME: number naming the cache file of the template (fits 32 bits).
   SHABLON: the spreadsheet file. */
CREATE TABLE PRINT_FORMS (
    KOD           BIGINT NOT NULL,
    OBRAZ         SMALLINT DEFAULT 0,
    KOD_SPISKA    BIGINT,
    NAME_SHABLON  VARCHAR(100),
    HEAD_YX       VARCHAR(20),
    TAIL_YX       VARCHAR(20),
    START_LINE    VARCHAR(20),
    END_LINE      VARCHAR(20),
    SETKA         SMALLINT,
    DEFAUL        SMALLINT DEFAULT 0,
    ZOOM          SMALLINT,
    UNICNAME      INTEGER,
    SHABLON       BLOB SUB_TYPE 0,
    CONSTRAINT PK_PRINT_FORMS PRIMARY KEY (KOD)
);

/* Program variables of a template: whether, where and how each is written.
   LOCATION: 0 table row, 1 group row, 2 totals, 3 header, 4 end block.
   STATIC_TYPE: 0 value from the report, 1 the static text TEXT_STATIC.
   HORIZONTAL_ALIGNMENT: 2 left, 3 centre, 4 right. */
CREATE TABLE PRINT_VARIABLES (
    KOD                      BIGINT NOT NULL,
    KOD_FORMA                BIGINT,
    NAMEVAR                  VARCHAR(25),
    NAME                     VARCHAR(50),
    OPIS                     BLOB SUB_TYPE 1,
    MY_SORT                  INTEGER,
    ENABLED                  SMALLINT DEFAULT 0,
    LOCATION                 SMALLINT,
    STATIC_TYPE              SMALLINT DEFAULT 0,
    TEXT_STATIC              VARCHAR(50),
    X_START                  VARCHAR(10),
    X_END                    VARCHAR(10),
    SETKA                    SMALLINT DEFAULT 0,
    WRAPP                    SMALLINT DEFAULT 0,
    MERGEE                   SMALLINT DEFAULT 0,
    HORIZONTAL_ALIGNMENT     SMALLINT,
    MY_HORIZONTAL_ALIGNMENT  SMALLINT DEFAULT 0,
    TEXT_BEFORE_VALUE        VARCHAR(50),
    TEXT_AFTER_VALUE         VARCHAR(50),
    MY_FONT                  SMALLINT DEFAULT 0,
    FONT_NAME                VARCHAR(100),
    FONT_SIZE                DOUBLE PRECISION,
    FONT_BOLD                SMALLINT DEFAULT 0,
    FONT_ITALIC              SMALLINT DEFAULT 0,
    FONT_UNDERLINE           SMALLINT DEFAULT 0,
    CONSTRAINT PK_PRINT_VARIABLES PRIMARY KEY (KOD)
);

COMMIT;
