/*
  First rows of the shipped database: the schema version, the print lists
  and the settings.  Keys are left to the triggers.  No user rows: the
  program creates the administrator on its first start.  No templates.
*/

/* ---------- Schema version ----------
   Rows 1 and 2 stand for the base schema.  Rows 3 to 42 record the upgrade
   steps whose changes the tables above already contain, their texts are
   the ones the upgrade writes, character for character. */

INSERT INTO MY_VERSION (NUMBER_VER, NAME_VER, OPIS) VALUES (1, '5.0.0',
    'Базовая структура базы данных');
INSERT INTO MY_VERSION (NUMBER_VER, NAME_VER, OPIS) VALUES (2, '5.0.1',
    'Начальное заполнение: списки печатных форм и параметры');
INSERT INTO MY_VERSION (NUMBER_VER, NAME_VER, OPIS) VALUES (3, '5.0.2 Beta',
    'Добавление поля "P" в DOCS для организации производства во время внутреннего перемещения');
INSERT INTO MY_VERSION (NUMBER_VER, NAME_VER, OPIS) VALUES (4, '5.0.5',
    'Исправление ХП MY_ROUND');
INSERT INTO MY_VERSION (NUMBER_VER, NAME_VER, OPIS) VALUES (5, '5.0.7',
    'Исправление пропадания ингредиента в пустой группе и удаление пропавших');
INSERT INTO MY_VERSION (NUMBER_VER, NAME_VER, OPIS) VALUES (6, '5.0.10',
    'Добавление поля "NO_ROUND" в MENU и MENU_STR - Запрет округления в меню');
INSERT INTO MY_VERSION (NUMBER_VER, NAME_VER, OPIS) VALUES (7, '5.0.12',
    'Добавление поля "IS_ACTIVE" в MENU_RAZDEL Вкл/Выкл раздела');
INSERT INTO MY_VERSION (NUMBER_VER, NAME_VER, OPIS) VALUES (8, '5.0.14',
    'Добавление НЕТТО в калькуляционную карту');
INSERT INTO MY_VERSION (NUMBER_VER, NAME_VER, OPIS) VALUES (9, '5.0.15',
    'Исправление ХП DEL_DOC');
INSERT INTO MY_VERSION (NUMBER_VER, NAME_VER, OPIS) VALUES (10, '5.1.1',
    'Исправление неправильного переноса продукта в другую группу');
INSERT INTO MY_VERSION (NUMBER_VER, NAME_VER, OPIS) VALUES (11, '5.1.2',
    'Ведение протокола изменений, расширены поля ARM и WHAT_ACTION таблицы LOG_TABLE');
INSERT INTO MY_VERSION (NUMBER_VER, NAME_VER, OPIS) VALUES (12, '5.1.3',
    'Первый шаг. Добавление переменных в форму печати инвентаризации');
INSERT INTO MY_VERSION (NUMBER_VER, NAME_VER, OPIS) VALUES (13, '5.1.3',
    'Второй шаг. Исправление ХП ADD_ING_TO_INV');
INSERT INTO MY_VERSION (NUMBER_VER, NAME_VER, OPIS) VALUES (14, '5.1.5',
    'Исправление ХП INVENT_PROVODKA + новая ХП DELETE_PROVODKA');
INSERT INTO MY_VERSION (NUMBER_VER, NAME_VER, OPIS) VALUES (15, '5.1.6',
    'Добавление поля NO_ING в таблицу ING_SKLAD');
INSERT INTO MY_VERSION (NUMBER_VER, NAME_VER, OPIS) VALUES (16, '5.2.3',
    'Добавление поля OPEN_CLOSE в таблицу ING_SKLAD');
INSERT INTO MY_VERSION (NUMBER_VER, NAME_VER, OPIS) VALUES (17, '5.2.4',
    'Исправление ХП ADD_ING_TO_INV');
INSERT INTO MY_VERSION (NUMBER_VER, NAME_VER, OPIS) VALUES (18, '5.2.5',
    'Исправление ХП CREATE_FIRST_OTDEL');
INSERT INTO MY_VERSION (NUMBER_VER, NAME_VER, OPIS) VALUES (19, '5.2.8',
    'Исправление ХП DELETE_PROVODKA');
INSERT INTO MY_VERSION (NUMBER_VER, NAME_VER, OPIS) VALUES (20, '5.2.12',
    'Добавление поля KOD_KASSA в таблицу ING_SKLAD');
INSERT INTO MY_VERSION (NUMBER_VER, NAME_VER, OPIS) VALUES (21, '5.2.14',
    'Установка параметра "При расчётах берём цены ингредиентов" в положение "Складские" для всех элементарных продуктов');
INSERT INTO MY_VERSION (NUMBER_VER, NAME_VER, OPIS) VALUES (22, '5.2.15',
    'Исправление ХП START_EDIT_KALK');
INSERT INTO MY_VERSION (NUMBER_VER, NAME_VER, OPIS) VALUES (23, '5.2.16',
    'Добавление поля RECEPT в таблицу ING');
INSERT INTO MY_VERSION (NUMBER_VER, NAME_VER, OPIS) VALUES (24, '5.2.16',
    'Добавление переменной recept в форму печати калькуляционной карты');
INSERT INTO MY_VERSION (NUMBER_VER, NAME_VER, OPIS) VALUES (25, '5.2.17',
    'Исправление ХП PROVODKA_MOVE (расчёт средней цены при отрицательных остатках)');
INSERT INTO MY_VERSION (NUMBER_VER, NAME_VER, OPIS) VALUES (26, '5.2.17',
    'Исправление ХП DELETE_PROVODKA (Чтоб продажная цена при снятии проводки тоже возвращалась)');
INSERT INTO MY_VERSION (NUMBER_VER, NAME_VER, OPIS) VALUES (27, '5.2.18',
    'Добавление параметра my_language');
INSERT INTO MY_VERSION (NUMBER_VER, NAME_VER, OPIS) VALUES (28, '5.4.3',
    'Добавление переменной recept в форму печати технологической карты');
INSERT INTO MY_VERSION (NUMBER_VER, NAME_VER, OPIS) VALUES (29, '5.5.1',
    'Добавление поля S_KOD в таблицу ING_SKLAD');
INSERT INTO MY_VERSION (NUMBER_VER, NAME_VER, OPIS) VALUES (30, '5.5.2',
    'Добавление поля KOD_1S в таблицу ING_SKLAD');
INSERT INTO MY_VERSION (NUMBER_VER, NAME_VER, OPIS) VALUES (31, '5.5.4',
    'Добавление поля MY_TIME в таблицу ING (время приготовления блюда в минутах)');
INSERT INTO MY_VERSION (NUMBER_VER, NAME_VER, OPIS) VALUES (32, '5.5.5',
    'Добавление поля MY_ALARM в таблицу ING (время предупреждения о сроке готовности)');
INSERT INTO MY_VERSION (NUMBER_VER, NAME_VER, OPIS) VALUES (33, '5.5.7 Retail',
    'Пар-ры прямой печати меню DisMenuHead DisMenuTail DisMenuTab');
INSERT INTO MY_VERSION (NUMBER_VER, NAME_VER, OPIS) VALUES (34, '5.5.8',
    'Добавлено округление до 10 и 50 рублей');
INSERT INTO MY_VERSION (NUMBER_VER, NAME_VER, OPIS) VALUES (35, '5.5.9',
    'Добавление поля CENA_SKLAD в таблицу REAL_BLUDO для печати складских цен в ведомости реализации');
INSERT INTO MY_VERSION (NUMBER_VER, NAME_VER, OPIS) VALUES (36, '5.5.9',
    'Добавление переменнных cena_skl, sum_skl и sum_skl_doc в форму печати ведомости реализации');
INSERT INTO MY_VERSION (NUMBER_VER, NAME_VER, OPIS) VALUES (37, '5.5.10',
    'Добавление поля LIMIT в таблицу ING_SKLAD');
INSERT INTO MY_VERSION (NUMBER_VER, NAME_VER, OPIS) VALUES (38, '5.6.3',
    'Добавление переменнных ost_start и ost_end в форму печати оборотки');
INSERT INTO MY_VERSION (NUMBER_VER, NAME_VER, OPIS) VALUES (39, '5.6.8',
    'Добавление поля KALORIES в таблицу ING для расчёта кол-ва калорий блюда');
INSERT INTO MY_VERSION (NUMBER_VER, NAME_VER, OPIS) VALUES (40, '5.6.8',
    'Добавление переменнных kalories_kk в форму печати К/Карты');
INSERT INTO MY_VERSION (NUMBER_VER, NAME_VER, OPIS) VALUES (41, '5.6.8',
    'Добавление переменнных kalories_menu в форму печати меню');
INSERT INTO MY_VERSION (NUMBER_VER, NAME_VER, OPIS) VALUES (42, '5.6.11',
    '01/11/2012. Добавлена возможность запрета корректировки документов до определённой даты');

COMMIT;

/* ---------- Print lists ----------
   KOD_SPISOK is the list number that PRINT_FORMS.KOD_SPISKA holds. */

INSERT INTO PRINT_SPISOK (KOD_SPISOK, NAME_SPISOK) VALUES (1, 'Документ движения (накладная)');
INSERT INTO PRINT_SPISOK (KOD_SPISOK, NAME_SPISOK) VALUES (2, 'Остатки на складе');
INSERT INTO PRINT_SPISOK (KOD_SPISOK, NAME_SPISOK) VALUES (3, 'Оборотная ведомость по операциям');
INSERT INTO PRINT_SPISOK (KOD_SPISOK, NAME_SPISOK) VALUES (4, 'Оборотная ведомость по продуктам');
INSERT INTO PRINT_SPISOK (KOD_SPISOK, NAME_SPISOK) VALUES (5, 'Инвентаризация');
INSERT INTO PRINT_SPISOK (KOD_SPISOK, NAME_SPISOK) VALUES (6, 'Меню');
INSERT INTO PRINT_SPISOK (KOD_SPISOK, NAME_SPISOK) VALUES (7, 'Калькуляционная карта');
INSERT INTO PRINT_SPISOK (KOD_SPISOK, NAME_SPISOK) VALUES (8, 'Ведомость реализованных блюд');
INSERT INTO PRINT_SPISOK (KOD_SPISOK, NAME_SPISOK) VALUES (9, 'Расход ингредиентов');
INSERT INTO PRINT_SPISOK (KOD_SPISOK, NAME_SPISOK) VALUES (10, 'Технологические карты');

COMMIT;

/* ---------- Settings ----------
   Value settings are only ever updated in place, so each has its row here
   with its default.  Switch settings (DOiliPOSLE, ShtrihKodAllOtdel,
   Kod1SAllOtdel, PrintPrgOpenOffice, InvProvodka, DelOtkatOnly,
   PrintForGroup, DateDocEdit) are on when their row exists: they ship off,
   without a row. */

/* Rounding step: 0 10 к., 1 50 к., 2 1 р., 3 5 р., 4 10 р., 5 50 р. */
INSERT INTO MY_PARAM (NAME_PARAM, INTEGER_PARAM) VALUES ('okrugl1', 1);
/* Rounding rule: 0 nearest, 1 up, 2 down, 3 no rounding */
INSERT INTO MY_PARAM (NAME_PARAM, INTEGER_PARAM) VALUES ('okrugl2', 0);

/* Amounts in words: gender of the currency unit (0 masculine, 1 feminine,
   2 neuter), the unit and hundredth names, the language (0 Russian,
   1 Ukrainian) */
INSERT INTO MY_PARAM (NAME_PARAM, INTEGER_PARAM) VALUES ('rod', 0);
INSERT INTO MY_PARAM (NAME_PARAM, STRING_PARAM) VALUES ('rub', 'руб.');
INSERT INTO MY_PARAM (NAME_PARAM, STRING_PARAM) VALUES ('kop', 'коп.');
INSERT INTO MY_PARAM (NAME_PARAM, INTEGER_PARAM) VALUES ('my_language', 0);

/* Quantity entry: move to the next row after an entry in the document lines
   (pkdd), the costing card (pkkk) and the production/sales tab (pkpr),
   swap the entry columns of the document lines (mkdd) */
INSERT INTO MY_PARAM (NAME_PARAM, INTEGER_PARAM) VALUES ('pkdd', 1);
INSERT INTO MY_PARAM (NAME_PARAM, INTEGER_PARAM) VALUES ('mkdd', 0);
INSERT INTO MY_PARAM (NAME_PARAM, INTEGER_PARAM) VALUES ('pkkk', 1);
INSERT INTO MY_PARAM (NAME_PARAM, INTEGER_PARAM) VALUES ('pkpr', 1);

/* Gross amount of an ingredient given as 0 yield percent, 1 gross coefficient */
INSERT INTO MY_PARAM (NAME_PARAM, INTEGER_PARAM) VALUES ('brutto', 1);

/* Point-of-sale program for the exchange: 0 Подавальня, 1 TorgService */
INSERT INTO MY_PARAM (NAME_PARAM, INTEGER_PARAM) VALUES ('obmen', 0);

/* Direct menu print: table caption, heading and end text (lines separated
   by CR LF) */
INSERT INTO MY_PARAM (NAME_PARAM, STRING_PARAM) VALUES ('DisMenuTab',
    'Наименование' || RPAD('', 80) || 'Выход' || RPAD('', 10) || 'Цена');
INSERT INTO MY_PARAM (NAME_PARAM, MEMO_PARAM) VALUES ('DisMenuHead',
    'Кафе "Ромашка"'
    || ASCII_CHAR(13) || ASCII_CHAR(10)
    || ASCII_CHAR(13) || ASCII_CHAR(10)
    || ASCII_CHAR(13) || ASCII_CHAR(10)
    || RPAD('', 62) || 'М Е Н Ю');
INSERT INTO MY_PARAM (NAME_PARAM, MEMO_PARAM) VALUES ('DisMenuTail',
    ''
    || ASCII_CHAR(13) || ASCII_CHAR(10)
    || RPAD('', 53) || 'Приятного аппетита'
    || ASCII_CHAR(13) || ASCII_CHAR(10)
    || ASCII_CHAR(13) || ASCII_CHAR(10)
    || 'телефон администрации: Х-ХХХ-ХХХ'
    || ASCII_CHAR(13) || ASCII_CHAR(10)
    || 'www.example.com'
    || ASCII_CHAR(13) || ASCII_CHAR(10)
    || 'info@example.com');

/* Edit-lock date: documents dated before it cannot be changed while the
   switch DateDocEdit is on */
INSERT INTO MY_PARAM (NAME_PARAM, DATE_PARAM) VALUES ('MyDateDocEdit', DATE '2000-01-01');

COMMIT;
