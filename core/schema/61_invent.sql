/*
  Inventories: filling a document with the book stock and posting the
  counted values.  Both run in the caller's write transaction and commit
  nothing.  Both refuse a posted inventory: filling it again or posting it
  twice would count its differences twice.
*/

CREATE EXCEPTION E_INVENT_POSTED 'Документ инвентаризации уже проведён';

COMMIT;

SET TERM ^ ;

/* Fills inventory KOD_DOC with the products of department KOD_OTDEL, or of
   warehouse KOD_SKLAD when that is neither 0 nor null (a posted inventory
   keeps a null warehouse: it counted the whole department).
   FLAG: counted quantity 0 zero, 1 the book quantity (0 for a negative one
   when MY_ZERO is 1).  OPEN_CLOSE: rows whose OPEN_CLOSE is not above it
   (0 leaves hidden products out, 1 takes all).  Marks the document filled. */
CREATE OR ALTER PROCEDURE ADD_ING_TO_INV (
    FLAG        SMALLINT,
    KOD_OTDEL   BIGINT,
    KOD_SKLAD   BIGINT,
    KOD_DOC     BIGINT,
    MY_ZERO     SMALLINT,
    OPEN_CLOSE  SMALLINT)
AS
DECLARE VARIABLE K_ING BIGINT;
DECLARE VARIABLE Q DOUBLE PRECISION;
DECLARE VARIABLE C DOUBLE PRECISION;
DECLARE VARIABLE CP DOUBLE PRECISION;
DECLARE VARIABLE COUNTED DOUBLE PRECISION;
DECLARE VARIABLE WHOLE SMALLINT;
BEGIN
    IF (EXISTS (SELECT 1 FROM DOCS WHERE KOD = :KOD_DOC AND PROVODKA > 10)) THEN
        EXCEPTION E_INVENT_POSTED;
    WHOLE = IIF(COALESCE(KOD_SKLAD, 0) = 0, 1, 0);
    FOR SELECT S.KOD_ING, COALESCE(S.KOLVO, 0), COALESCE(S.CENA, 0), COALESCE(S.MY_CENA, 0)
        FROM ING_SKLAD S JOIN ING I ON I.KOD = S.KOD_ING
        WHERE ((:WHOLE = 1 AND S.KOD_OTDEL = :KOD_OTDEL) OR (:WHOLE = 0 AND S.KOD_SKLAD = :KOD_SKLAD))
          AND S.OPEN_CLOSE <= COALESCE(:OPEN_CLOSE, 0)
        INTO :K_ING, :Q, :C, :CP
    DO
    BEGIN
        IF (COALESCE(FLAG, 0) = 0) THEN
            COUNTED = 0;
        ELSE IF (Q < 0 AND COALESCE(MY_ZERO, 0) = 1) THEN
            COUNTED = 0;
        ELSE
            COUNTED = Q;
        INSERT INTO INVENT (KOD_DOC, KOD_ING, KOLVO, MY_KOLVO, CENA, MY_CENA, CENA_P)
            VALUES (:KOD_DOC, :K_ING, :Q, :COUNTED, :C, :C, :CP);
    END
    UPDATE DOCS SET PROVODKA = 1 WHERE KOD = :KOD_DOC;
END^

/* Posts inventory KOD_DOC of department KOD_OTDEL: the department's stock
   takes the counted quantity and price, and every difference becomes a
   movement line (out of stock when less was counted, into stock when more).
   Each difference is taken from the stock the count replaces, read here in
   the posting's own transaction and kept on the line as its book values:
   what was posted since the fill is part of the book, so the lines are
   exactly the change made and un-posting gives back the stock as it was.  A
   counted price nobody typed (the book price the fill copied, still equal to
   the line's) follows the stock price: a re-pricing posted since the fill
   stays.  A product without a stock row in the department changes nothing
   and gets no line.  The selling price stays.  The document is marked posted
   and forgets its warehouse. */
CREATE OR ALTER PROCEDURE INVENT_PROVODKA (
    KOD_DOC    BIGINT,
    KOD_OTDEL  BIGINT)
AS
DECLARE VARIABLE L_KOD BIGINT;
DECLARE VARIABLE K_ING BIGINT;
DECLARE VARIABLE LQ DOUBLE PRECISION;
DECLARE VARIABLE LC DOUBLE PRECISION;
DECLARE VARIABLE Q DOUBLE PRECISION;
DECLARE VARIABLE MQ DOUBLE PRECISION;
DECLARE VARIABLE C DOUBLE PRECISION;
DECLARE VARIABLE MC DOUBLE PRECISION;
DECLARE VARIABLE S_KOD BIGINT;
DECLARE VARIABLE UNTYPED SMALLINT;
BEGIN
    IF (EXISTS (SELECT 1 FROM DOCS WHERE KOD = :KOD_DOC AND PROVODKA > 10)) THEN
        EXCEPTION E_INVENT_POSTED;
    FOR SELECT KOD, KOD_ING, KOLVO, CENA, COALESCE(MY_KOLVO, 0), COALESCE(MY_CENA, 0)
        FROM INVENT WHERE KOD_DOC = :KOD_DOC
        INTO :L_KOD, :K_ING, :LQ, :LC, :MQ, :MC
    DO
    BEGIN
        S_KOD = NULL;
        SELECT FIRST 1 KOD, COALESCE(KOLVO, 0), COALESCE(CENA, 0) FROM ING_SKLAD
            WHERE KOD_ING = :K_ING AND KOD_OTDEL = :KOD_OTDEL
            ORDER BY KOD + 0
            INTO :S_KOD, :Q, :C;
        IF (S_KOD IS NOT NULL) THEN
        BEGIN
            /* Nothing moved since the fill (the usual case): the line stays unwritten. */
            IF (LQ IS DISTINCT FROM Q OR LC IS DISTINCT FROM C) THEN
            BEGIN
                UNTYPED = IIF(MC = COALESCE(LC, 0), 1, 0);
                IF (UNTYPED = 1) THEN
                    MC = C;
                UPDATE INVENT SET MY_CENA = IIF(:UNTYPED = 1, :C, MY_CENA), KOLVO = :Q, CENA = :C
                    WHERE KOD = :L_KOD;
            END
            IF (Q > MQ) THEN
                INSERT INTO MOVES (KOD_DOC, KOD_ING, TYPE_MOVES, CENA, OLD_CENA, KOLVO, KOD_OTDEL)
                    VALUES (:KOD_DOC, :K_ING, 2, :MC, :C, :Q - :MQ, :KOD_OTDEL);
            ELSE IF (Q < MQ) THEN
                INSERT INTO MOVES (KOD_DOC, KOD_ING, TYPE_MOVES, CENA, OLD_CENA, KOLVO, KOD_OTDEL)
                    VALUES (:KOD_DOC, :K_ING, 1, :MC, :C, :MQ - :Q, :KOD_OTDEL);
            IF (Q <> MQ OR C <> MC) THEN
                UPDATE ING_SKLAD SET KOLVO = :MQ, CENA = :MC
                    WHERE KOD_ING = :K_ING AND KOD_OTDEL = :KOD_OTDEL;
        END
    END
    UPDATE DOCS SET PROVODKA = 11, INT_PARAM2 = NULL WHERE KOD = :KOD_DOC;
END^

SET TERM ; ^

COMMIT;
