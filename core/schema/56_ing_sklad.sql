/*
  The department rows of a new product.  Runs in the caller's write
  transaction, commits nothing.
*/

SET TERM ^ ;

/* Gives the product KOD_ING of group KOD_GROUP one visible row in every
   department that has none yet: the department's enterprise, the warehouse
   that keeps the group there (the main warehouse when none does), stock,
   prices and markup 0. */
CREATE OR ALTER PROCEDURE ADD_ING_TO_ING_SKLAD (
    KOD_ING    BIGINT,
    KOD_GROUP  BIGINT)
AS
DECLARE VARIABLE K_OTDEL BIGINT;
DECLARE VARIABLE K_FIRMA BIGINT;
DECLARE VARIABLE K_SKLAD BIGINT;
BEGIN
    FOR SELECT KOD, KOD_FIRMA FROM OTDEL INTO :K_OTDEL, :K_FIRMA DO
    BEGIN
        IF (NOT EXISTS (SELECT 1 FROM ING_SKLAD WHERE KOD_ING = :KOD_ING AND KOD_OTDEL = :K_OTDEL)) THEN
        BEGIN
            K_SKLAD = NULL;
            SELECT FIRST 1 S.KOD FROM SKLAD_GRING G JOIN SKLAD S ON S.KOD = G.KOD_SKLAD
                WHERE S.KOD_OTDEL = :K_OTDEL AND G.KOD_GRING = :KOD_GROUP
                ORDER BY G.KOD
                INTO :K_SKLAD;
            IF (K_SKLAD IS NULL) THEN
                SELECT FIRST 1 KOD FROM SKLAD
                    WHERE KOD_OTDEL = :K_OTDEL
                    ORDER BY FIRST_SKLAD DESC, KOD
                    INTO :K_SKLAD;
            INSERT INTO ING_SKLAD (KOD_ING, KOD_FIRMA, KOD_OTDEL, KOD_SKLAD, KOD_GROUP,
                                   KOLVO, CENA, MY_CENA, PERCENT, OPEN_CLOSE)
                VALUES (:KOD_ING, :K_FIRMA, :K_OTDEL, :K_SKLAD, :KOD_GROUP,
                        0, 0, 0, 0, 0);
        END
    END
END^

SET TERM ; ^

COMMIT;
