/*
  Posting of stock documents: PROVODKA_MOVE posts a document against
  ING_SKLAD, DELETE_PROVODKA cancels a posting, DEL_DOC takes a document's
  lines away and can undo their effect on stock first.

  None of them commits or writes a protocol line: they run in the write
  transaction of the caller, whose protocol line commits them together with
  the rest of the change.

  A missing quantity, price or price rule counts as 0 everywhere, so a NULL
  can never turn a stock quantity or a price into NULL.  A stock row takes
  the lines of a document in the order of their keys and gives them back in
  the reverse order, so a product that appears on several lines of one
  document gets back the price it had before the first of them.

  Posting writes OLD_CENA on every line of the document, the former stock
  price where the line changes it and NULL elsewhere: a line that kept its old
  price from an earlier posting (a document un-posted, changed and posted
  again) would otherwise give a later restore a price from before that
  earlier posting, or a price for a row this posting never repriced.  Each
  line is written once, together with its direction: a row written twice in
  one transaction costs the server far more than one written once.

  Rows are put in key order with "ORDER BY KOD + 0" (and the first row of a
  product found with "MIN(KOD + 0)"): asked for the bare key, the server
  walks the whole primary-key index in order instead of taking the few rows
  of one product and department (or of one document) by their own index.
*/

SET TERM ^ ;

/* Posts a movement, production or sales document.
   Receipts (5) and production output (2) bring their lines into stock by the
   document's price rule EDIT_CENA: 0 keeps the stock price, 1 takes the
   weighted average in whole kopecks, 2 takes the line's price; 1 and 2 keep
   the row's former stock price in the line's OLD_CENA and recompute the
   selling price through MY_ROUND.  Issues (6), sales (3) and production
   write-offs (7) take their lines out of stock.  An internal transfer (4)
   takes its lines out of the sending department and makes the receiver's
   document, whose copies of the lines come in by the price rule. */
CREATE OR ALTER PROCEDURE PROVODKA_MOVE (
    KOD_DOC  BIGINT)
AS
    DECLARE VARIABLE D_DATE DATE;
    DECLARE VARIABLE D_TIME TIME;
    DECLARE VARIABLE D_TYPE INTEGER;
    DECLARE VARIABLE F_EXP BIGINT;
    DECLARE VARIABLE F_IMP BIGINT;
    DECLARE VARIABLE O_1 BIGINT;
    DECLARE VARIABLE O_2 BIGINT;
    DECLARE VARIABLE D_NAME VARCHAR(200);
    DECLARE VARIABLE EC SMALLINT;
    DECLARE VARIABLE TC SMALLINT;
    DECLARE VARIABLE PP SMALLINT;
    DECLARE VARIABLE N BIGINT;
    DECLARE VARIABLE M BIGINT;
    DECLARE VARIABLE L_KOD BIGINT;
    DECLARE VARIABLE L_ING BIGINT;
    DECLARE VARIABLE L_OTDEL BIGINT;
    DECLARE VARIABLE Q DOUBLE PRECISION;
    DECLARE VARIABLE C DOUBLE PRECISION;
    DECLARE VARIABLE OC DOUBLE PRECISION;

    DECLARE VARIABLE S_KOD BIGINT;
    DECLARE VARIABLE S_FIRST BIGINT;
    DECLARE VARIABLE S_PREV BIGINT;
    DECLARE VARIABLE Q0 DOUBLE PRECISION;
    DECLARE VARIABLE C0 DOUBLE PRECISION;
    DECLARE VARIABLE FIRST_ROW SMALLINT;
    DECLARE VARIABLE P DOUBLE PRECISION;
    DECLARE VARIABLE MC DOUBLE PRECISION;

    /* A line of quantity A_Q and price A_C into the stock row S_KOD, which
       holds Q0 at the price C0, by the price rule A_EC (1 or 2). */
    DECLARE PROCEDURE RECEIVE_ROW (
        S_KOD     BIGINT,
        Q0        DOUBLE PRECISION,
        C0        DOUBLE PRECISION,
        A_Q       DOUBLE PRECISION,
        A_C       DOUBLE PRECISION,
        A_EC      SMALLINT)
    AS
        DECLARE VARIABLE P DOUBLE PRECISION;
        DECLARE VARIABLE MC DOUBLE PRECISION;
    BEGIN
        /* Without stock on hand, or when the line would leave none, the
           average means nothing: the line's price is taken. */
        IF (A_EC = 1 AND Q0 > 0 AND A_Q + Q0 > 0) THEN
            P = CAST((A_Q * A_C + Q0 * C0) / (A_Q + Q0) * 100 AS BIGINT) / 100.00;
        ELSE
            P = A_C;
        MC = NULL;
        EXECUTE PROCEDURE MY_ROUND :S_KOD, :P RETURNING_VALUES :MC;
        UPDATE ING_SKLAD SET CENA = :P, MY_CENA = :MC, KOLVO = :A_Q + :Q0 WHERE KOD = :S_KOD;
    END

BEGIN
    D_TYPE = NULL;
    SELECT DATE_DOC, TIME_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, KOD_PARTNER_IMPORT,
           INT_PARAM1, INT_PARAM2, NAME, COALESCE(EDIT_CENA, 0), TYPE_CENA, P
        FROM DOCS WHERE KOD = :KOD_DOC
        INTO :D_DATE, :D_TIME, :D_TYPE, :F_EXP, :F_IMP, :O_1, :O_2, :D_NAME, :EC, :TC, :PP;
    IF (D_TYPE IS NULL) THEN
        EXIT;

    IF (D_TYPE = 4) THEN
    BEGIN
        N = GEN_ID(MY_GEN, 1);
        UPDATE DOCS SET PROVODKA = 11, INT_PARAM3 = :N WHERE KOD = :KOD_DOC;
        UPDATE MOVES SET TYPE_MOVES = 2, OLD_CENA = NULL WHERE KOD_DOC = :KOD_DOC;
        /* The receiver's document keeps the price kind and the write-off mode,
           so cancelling and posting it again moves the same goods. */
        INSERT INTO DOCS (KOD, DATE_DOC, TIME_DOC, DOC_TYPE, NAME, KOD_PARTNER_EXPORT, KOD_PARTNER_IMPORT,
                          INT_PARAM1, INT_PARAM2, PROVODKA, INT_PARAM3, EDIT_CENA, TYPE_CENA, P)
            VALUES (:N, :D_DATE, :D_TIME, 4, :D_NAME, :F_IMP, :F_EXP,
                    :O_2, :O_1, 11, :KOD_DOC, :EC, :TC, :PP);
        FOR SELECT KOD_ING, COALESCE(KOLVO, 0), COALESCE(CENA, 0) FROM MOVES
            WHERE KOD_DOC = :KOD_DOC ORDER BY KOD + 0
            INTO :L_ING, :Q, :C
        DO
        BEGIN
            M = GEN_ID(MY_GEN, 1);
            UPDATE ING_SKLAD SET KOLVO = COALESCE(KOLVO, 0) - :Q
                WHERE KOD_ING = :L_ING AND KOD_OTDEL = :O_1;
            /* The line comes into the receiver's rows; it keeps the price
               its first row had before it where it reprices them.  A rule
               the program does not know keeps the price, like 0: the
               quantity must come in, or cancelling the posting would take
               out what never came in. */
            OC = NULL;
            IF (EC NOT IN (1, 2)) THEN
                UPDATE ING_SKLAD SET KOLVO = COALESCE(KOLVO, 0) + :Q
                    WHERE KOD_ING = :L_ING AND KOD_OTDEL = :O_2;
            ELSE
            BEGIN
                FIRST_ROW = 1;
                FOR SELECT KOD, COALESCE(KOLVO, 0), COALESCE(CENA, 0) FROM ING_SKLAD
                    WHERE KOD_ING = :L_ING AND KOD_OTDEL = :O_2
                    ORDER BY KOD + 0
                    INTO :S_KOD, :Q0, :C0
                DO
                BEGIN
                    IF (FIRST_ROW = 1) THEN
                        OC = C0;
                    FIRST_ROW = 0;
                    EXECUTE PROCEDURE RECEIVE_ROW :S_KOD, :Q0, :C0, :Q, :C, :EC;
                END
            END
            INSERT INTO MOVES (KOD, KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, TYPE_MOVES, OLD_CENA)
                VALUES (:M, :N, :L_ING, :O_2, :Q, :C, 1, :OC);
        END
        EXIT;
    END

    UPDATE DOCS SET PROVODKA = 11 WHERE KOD = :KOD_DOC;

    IF (D_TYPE = 2 OR D_TYPE = 5) THEN
    BEGIN
        /* A receipt comes into its own department, production output into
           the department of each line.  The lines go in stock row by stock
           row in the order of the rows' keys, and into one row in the order
           of the lines' keys: every row ends as it would line by line, and
           the rows are taken in the order every change of stock takes them,
           so the posting needs no separate taking.  A row's values come from
           the reading of the lines until the row has taken its first line.
           S_FIRST is the first row of the line's product and department,
           whose price before the line the line keeps. */
        S_PREV = NULL;
        FOR SELECT M.KOD, COALESCE(M.KOLVO, 0), COALESCE(M.CENA, 0),
                   S.KOD, COALESCE(S.KOLVO, 0), COALESCE(S.CENA, 0),
                   (SELECT MIN(F.KOD + 0) FROM ING_SKLAD F
                        WHERE F.KOD_ING = S.KOD_ING AND F.KOD_OTDEL = S.KOD_OTDEL)
            FROM MOVES M
            LEFT JOIN ING_SKLAD S ON S.KOD_ING = M.KOD_ING
                AND S.KOD_OTDEL = IIF(:D_TYPE = 5, :O_1, M.KOD_OTDEL)
            WHERE M.KOD_DOC = :KOD_DOC
            ORDER BY S.KOD + 0, M.KOD + 0
            INTO :L_KOD, :Q, :C, :S_KOD, :Q0, :C0, :S_FIRST
        DO
        BEGIN
            OC = NULL;
            IF (S_KOD IS NOT NULL) THEN
            BEGIN
                IF (S_KOD = S_PREV) THEN
                    SELECT COALESCE(KOLVO, 0), COALESCE(CENA, 0) FROM ING_SKLAD WHERE KOD = :S_KOD
                        INTO :Q0, :C0;
                S_PREV = S_KOD;
                /* A rule the program does not know keeps the price, like 0. */
                IF (EC NOT IN (1, 2)) THEN
                    UPDATE ING_SKLAD SET KOLVO = COALESCE(KOLVO, 0) + :Q WHERE KOD = :S_KOD;
                ELSE
                BEGIN
                    IF (S_KOD = S_FIRST) THEN
                        OC = C0;
                    /* RECEIVE_ROW written out: here it runs once a line, and
                       a call costs more than its work. */
                    IF (EC = 1 AND Q0 > 0 AND Q + Q0 > 0) THEN
                        P = CAST((Q * C + Q0 * C0) / (Q + Q0) * 100 AS BIGINT) / 100.00;
                    ELSE
                        P = C;
                    MC = NULL;
                    EXECUTE PROCEDURE MY_ROUND :S_KOD, :P RETURNING_VALUES :MC;
                    UPDATE ING_SKLAD SET CENA = :P, MY_CENA = :MC, KOLVO = :Q + :Q0 WHERE KOD = :S_KOD;
                END
            END
            IF (S_KOD IS NULL OR S_KOD = S_FIRST) THEN
                UPDATE MOVES SET TYPE_MOVES = 1, OLD_CENA = :OC WHERE KOD = :L_KOD;
        END
    END
    ELSE IF (D_TYPE = 3 OR D_TYPE = 6 OR D_TYPE = 7) THEN
    BEGIN
        UPDATE MOVES SET TYPE_MOVES = 2, OLD_CENA = NULL WHERE KOD_DOC = :KOD_DOC;
        FOR SELECT KOD_ING, KOD_OTDEL, COALESCE(KOLVO, 0) FROM MOVES
            WHERE KOD_DOC = :KOD_DOC ORDER BY KOD + 0
            INTO :L_ING, :L_OTDEL, :Q
        DO
        BEGIN
            IF (D_TYPE = 6) THEN
                L_OTDEL = O_1;
            UPDATE ING_SKLAD SET KOLVO = COALESCE(KOLVO, 0) - :Q
                WHERE KOD_ING = :L_ING AND KOD_OTDEL = :L_OTDEL;
        END
    END
END^

/* Cancels the posting of a posted document (PROVODKA above 10; any other
   document is left alone).  OTKAT 1 gives the stock rows back the prices
   they had before a posting that changed prices (EDIT_CENA above 0).
   A transfer is taken as the receiver's document of its pair: its incoming
   quantities leave the receiving department and it becomes the sender's
   unposted transfer again, with its lines in the sending department and
   without the direction the posting gave them, as lines never posted have
   none: the receiver's incoming direction on the sender's transfer would
   tell every reader that the goods came in. */
CREATE OR ALTER PROCEDURE DELETE_PROVODKA (
    KOD_DOC  BIGINT,
    OTKAT    SMALLINT)
AS
    DECLARE VARIABLE D_TYPE INTEGER;
    DECLARE VARIABLE F_EXP BIGINT;
    DECLARE VARIABLE F_IMP BIGINT;
    DECLARE VARIABLE O_1 BIGINT;
    DECLARE VARIABLE O_2 BIGINT;
    DECLARE VARIABLE EC SMALLINT;
    DECLARE VARIABLE PR SMALLINT;
    DECLARE VARIABLE RESTORE SMALLINT;
    DECLARE VARIABLE L_ING BIGINT;
    DECLARE VARIABLE L_OTDEL BIGINT;
    DECLARE VARIABLE Q DOUBLE PRECISION;
    DECLARE VARIABLE TM SMALLINT;
    DECLARE VARIABLE OC DOUBLE PRECISION;
    DECLARE VARIABLE DELTA DOUBLE PRECISION;
    DECLARE VARIABLE S_KOD BIGINT;
    DECLARE VARIABLE MC DOUBLE PRECISION;
BEGIN
    PR = NULL;
    SELECT DOC_TYPE, KOD_PARTNER_EXPORT, KOD_PARTNER_IMPORT, INT_PARAM1, INT_PARAM2,
           COALESCE(EDIT_CENA, 0), COALESCE(PROVODKA, 0)
        FROM DOCS WHERE KOD = :KOD_DOC
        INTO :D_TYPE, :F_EXP, :F_IMP, :O_1, :O_2, :EC, :PR;
    IF (PR IS NULL OR PR <= 10) THEN
        EXIT;

    RESTORE = 0;
    IF (COALESCE(OTKAT, 0) > 0 AND EC > 0) THEN
        RESTORE = 1;

    FOR SELECT KOD_ING, KOD_OTDEL, COALESCE(KOLVO, 0), TYPE_MOVES, OLD_CENA FROM MOVES
        WHERE KOD_DOC = :KOD_DOC ORDER BY KOD + 0 DESC
        INTO :L_ING, :L_OTDEL, :Q, :TM, :OC
    DO
    BEGIN
        /* The receiver's half of a transfer always gives back what came in. */
        IF (D_TYPE = 4 OR TM = 1) THEN
            DELTA = -Q;
        ELSE
            DELTA = Q;
        IF (RESTORE = 1 AND OC IS NOT NULL) THEN
        BEGIN
            FOR SELECT KOD FROM ING_SKLAD
                WHERE KOD_ING = :L_ING AND KOD_OTDEL = :L_OTDEL
                INTO :S_KOD
            DO
            BEGIN
                MC = NULL;
                EXECUTE PROCEDURE MY_ROUND :S_KOD, :OC RETURNING_VALUES :MC;
                UPDATE ING_SKLAD SET KOLVO = COALESCE(KOLVO, 0) + :DELTA, CENA = :OC, MY_CENA = :MC
                    WHERE KOD = :S_KOD;
            END
        END
        ELSE
            UPDATE ING_SKLAD SET KOLVO = COALESCE(KOLVO, 0) + :DELTA
                WHERE KOD_ING = :L_ING AND KOD_OTDEL = :L_OTDEL;
    END

    IF (D_TYPE = 4) THEN
    BEGIN
        UPDATE DOCS SET PROVODKA = 0,
                        KOD_PARTNER_EXPORT = :F_IMP, KOD_PARTNER_IMPORT = :F_EXP,
                        INT_PARAM1 = :O_2, INT_PARAM2 = :O_1, INT_PARAM3 = NULL
            WHERE KOD = :KOD_DOC;
        UPDATE MOVES SET KOD_OTDEL = :O_2, TYPE_MOVES = NULL WHERE KOD_DOC = :KOD_DOC;
        EXIT;
    END

    /* Lines that the posting itself made go with it; an inventory keeps its
       counted lines, receipts and issues the lines the user entered. */
    IF (D_TYPE IN (1, 2, 3, 7)) THEN
        DELETE FROM MOVES WHERE KOD_DOC = :KOD_DOC;
    UPDATE DOCS SET PROVODKA = 0 WHERE KOD = :KOD_DOC;
END^

/* Removes the lines of a document.  OTKAT 1 first undoes their effect on
   stock quantities, 2 also gives the stock rows their former stock price
   (the selling price stays); 0 leaves stock alone.  The header stays: the
   caller deletes it. */
CREATE OR ALTER PROCEDURE DEL_DOC (
    KOD_DOC  BIGINT,
    OTKAT    SMALLINT)
AS
    DECLARE VARIABLE L_ING BIGINT;
    DECLARE VARIABLE L_OTDEL BIGINT;
    DECLARE VARIABLE Q DOUBLE PRECISION;
    DECLARE VARIABLE TM SMALLINT;
    DECLARE VARIABLE OC DOUBLE PRECISION;
    DECLARE VARIABLE DELTA DOUBLE PRECISION;
BEGIN
    IF (COALESCE(OTKAT, 0) > 0) THEN
        FOR SELECT KOD_ING, KOD_OTDEL, COALESCE(KOLVO, 0), TYPE_MOVES, OLD_CENA FROM MOVES
            WHERE KOD_DOC = :KOD_DOC ORDER BY KOD + 0 DESC
            INTO :L_ING, :L_OTDEL, :Q, :TM, :OC
        DO
        BEGIN
            IF (TM = 1) THEN
                DELTA = -Q;
            ELSE
                DELTA = Q;
            IF (OTKAT > 1 AND OC IS NOT NULL) THEN
                UPDATE ING_SKLAD SET KOLVO = COALESCE(KOLVO, 0) + :DELTA, CENA = :OC
                    WHERE KOD_ING = :L_ING AND KOD_OTDEL = :L_OTDEL;
            ELSE
                UPDATE ING_SKLAD SET KOLVO = COALESCE(KOLVO, 0) + :DELTA
                    WHERE KOD_ING = :L_ING AND KOD_OTDEL = :L_OTDEL;
        END

    DELETE FROM MOVES WHERE KOD_DOC = :KOD_DOC;
    DELETE FROM REAL_BLUDO WHERE KOD_DOC = :KOD_DOC;
    DELETE FROM INVENT WHERE KOD_DOC = :KOD_DOC;
END^

SET TERM ; ^
