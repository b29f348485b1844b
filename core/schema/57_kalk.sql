/*
  The edit cycle of a costing card.

  While a card is edited, every change of its rows is committed at once; a
  copy of the rows as they were when the cycle opened is kept under the
  product's ING.KOD_UPDATE, a key drawn from MY_GEN that no product has.
  Ending the cycle either drops that copy (the card keeps its rows) or puts
  the card back from it.  Either way the copy is removed and FLAG_UPDATE
  cleared, so a cycle that a crash or another workstation left open never
  leaves rows behind or doubles the card.

  None of them commits: they run in the write transaction of the caller,
  whose protocol line commits them together with the rest of the change.
  A KOD_UPDATE that is missing or names a product is refused, so the copy
  can never be taken for a real card.
*/

CREATE EXCEPTION E_KALK_BACKUP_KEY 'Недопустимый ключ резервной копии калькуляционной карты';

COMMIT;

SET TERM ^ ;

/* Opens the cycle: the rows of an earlier cycle's copy are removed, the
   card is copied under KOD_UPDATE, and FLAG_UPDATE is set.  A raw product
   (MY_LEVEL 0) also loses its self row, so that its card can be written;
   the copy brings the self row back when the cycle is cancelled. */
CREATE OR ALTER PROCEDURE START_EDIT_KALK (
    KOD_ING_MASTER  BIGINT,
    KOD_UPDATE      BIGINT,
    MY_LEVEL        INTEGER)
AS
BEGIN
    IF (KOD_UPDATE IS NULL OR KOD_UPDATE = KOD_ING_MASTER
        OR EXISTS (SELECT 1 FROM ING WHERE KOD = :KOD_UPDATE)) THEN
        EXCEPTION E_KALK_BACKUP_KEY;

    DELETE FROM KARTA WHERE KOD_ING_MASTER = :KOD_UPDATE;

    INSERT INTO KARTA (KOD_ING_MASTER, KOD_ING, KOLVO, PERCENT, IS_ACTIVE)
        SELECT :KOD_UPDATE, KOD_ING, KOLVO, PERCENT, IS_ACTIVE
        FROM KARTA WHERE KOD_ING_MASTER = :KOD_ING_MASTER
        ORDER BY KOD;

    IF (COALESCE(MY_LEVEL, 0) = 0) THEN
        DELETE FROM KARTA
            WHERE KOD_ING_MASTER = :KOD_ING_MASTER AND KOD_ING = :KOD_ING_MASTER;

    UPDATE ING SET FLAG_UPDATE = 1 WHERE KOD = :KOD_ING_MASTER;
END^

/* Ends the cycle keeping the card as it is now. */
CREATE OR ALTER PROCEDURE END_EDIT_KALK (
    KOD_ING_MASTER  BIGINT,
    KOD_UPDATE      BIGINT)
AS
BEGIN
    IF (KOD_UPDATE IS NOT NULL) THEN
    BEGIN
        IF (KOD_UPDATE = KOD_ING_MASTER OR EXISTS (SELECT 1 FROM ING WHERE KOD = :KOD_UPDATE)) THEN
            EXCEPTION E_KALK_BACKUP_KEY;
        DELETE FROM KARTA WHERE KOD_ING_MASTER = :KOD_UPDATE;
    END
    UPDATE ING SET FLAG_UPDATE = 0 WHERE KOD = :KOD_ING_MASTER;
END^

/* Ends the cycle putting the card back as it was when the cycle opened.
   Without an open cycle the card is left alone. */
CREATE OR ALTER PROCEDURE CLEAR_EDIT_KALK (
    KOD_ING_MASTER  BIGINT,
    KOD_UPDATE      BIGINT)
AS
DECLARE VARIABLE V_FLAG SMALLINT;
BEGIN
    IF (KOD_UPDATE IS NULL OR KOD_UPDATE = KOD_ING_MASTER
        OR EXISTS (SELECT 1 FROM ING WHERE KOD = :KOD_UPDATE)) THEN
        EXCEPTION E_KALK_BACKUP_KEY;

    V_FLAG = 0;
    SELECT COALESCE(FLAG_UPDATE, 0) FROM ING WHERE KOD = :KOD_ING_MASTER INTO :V_FLAG;
    IF (V_FLAG = 1) THEN
    BEGIN
        DELETE FROM KARTA WHERE KOD_ING_MASTER = :KOD_ING_MASTER;
        INSERT INTO KARTA (KOD_ING_MASTER, KOD_ING, KOLVO, PERCENT, IS_ACTIVE)
            SELECT :KOD_ING_MASTER, KOD_ING, KOLVO, PERCENT, IS_ACTIVE
            FROM KARTA WHERE KOD_ING_MASTER = :KOD_UPDATE
            ORDER BY KOD;
    END

    DELETE FROM KARTA WHERE KOD_ING_MASTER = :KOD_UPDATE;
    UPDATE ING SET FLAG_UPDATE = 0 WHERE KOD = :KOD_ING_MASTER;
END^

/* One active card row of the master; its key comes back in KOD_NEW_RECORD. */
CREATE OR ALTER PROCEDURE ADD_TO_KALK (
    KOD_ING_MASTER  BIGINT,
    KOD_ING         BIGINT,
    KOLVO           DOUBLE PRECISION,
    PERCENT         DOUBLE PRECISION)
RETURNS (
    KOD_NEW_RECORD  BIGINT)
AS
BEGIN
    KOD_NEW_RECORD = GEN_ID(MY_GEN, 1);
    INSERT INTO KARTA (KOD, KOD_ING_MASTER, KOD_ING, KOLVO, PERCENT, IS_ACTIVE)
        VALUES (:KOD_NEW_RECORD, :KOD_ING_MASTER, :KOD_ING, :KOLVO, :PERCENT, 1);
END^

SET TERM ; ^

COMMIT;
