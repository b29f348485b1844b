/*
  DELETE_PROVODKA in its first form: it undoes the stock quantities of the
  document's lines whatever the document's posting state, with OTKAT 1 gives
  the stock rows back their former stock price (the selling price stays),
  and takes away the lines the posting made for inventories, production
  outputs and production write-offs (types 1, 2 and 7).
*/

SET TERM ^ ;

CREATE PROCEDURE DELETE_PROVODKA (
    KOD_DOC  BIGINT,
    OTKAT    SMALLINT)
AS
    DECLARE VARIABLE D_TYPE INTEGER;
    DECLARE VARIABLE L_ING BIGINT;
    DECLARE VARIABLE L_OTDEL BIGINT;
    DECLARE VARIABLE Q DOUBLE PRECISION;
    DECLARE VARIABLE TM SMALLINT;
    DECLARE VARIABLE OC DOUBLE PRECISION;
    DECLARE VARIABLE DELTA DOUBLE PRECISION;
BEGIN
    SELECT DOC_TYPE FROM DOCS WHERE KOD = :KOD_DOC INTO :D_TYPE;
    FOR SELECT KOD_ING, KOD_OTDEL, COALESCE(KOLVO, 0), TYPE_MOVES, OLD_CENA FROM MOVES
        WHERE KOD_DOC = :KOD_DOC ORDER BY KOD DESC
        INTO :L_ING, :L_OTDEL, :Q, :TM, :OC
    DO
    BEGIN
        IF (D_TYPE = 4 OR TM = 1) THEN
            DELTA = -Q;
        ELSE
            DELTA = Q;
        IF (COALESCE(OTKAT, 0) > 0 AND OC IS NOT NULL) THEN
            UPDATE ING_SKLAD SET KOLVO = COALESCE(KOLVO, 0) + :DELTA, CENA = :OC
                WHERE KOD_ING = :L_ING AND KOD_OTDEL = :L_OTDEL;
        ELSE
            UPDATE ING_SKLAD SET KOLVO = COALESCE(KOLVO, 0) + :DELTA
                WHERE KOD_ING = :L_ING AND KOD_OTDEL = :L_OTDEL;
    END
    IF (D_TYPE IN (1, 2, 7)) THEN
        DELETE FROM MOVES WHERE KOD_DOC = :KOD_DOC;
    UPDATE DOCS SET PROVODKA = 0 WHERE KOD = :KOD_DOC;
END^

SET TERM ; ^
