/*
  Structure of an enterprise: the main department of a new own enterprise,
  the rows of a new department, and the deletions of enterprises,
  departments and warehouses.

  None of them commits: they run in the write transaction of the caller,
  whose protocol line commits them together with the rest of the change.
  The client has already refused what must not be deleted (documents,
  menus, main departments and warehouses, warehouses holding products).
*/

SET TERM ^ ;

/* Main department and main warehouse of a new own enterprise.  Every
   product group is kept in the new warehouse and every product gets its
   row in the new department, with zero stock and prices. */
CREATE OR ALTER PROCEDURE CREATE_FIRST_OTDEL (
    KOD_FIRMA   BIGINT,
    NAME_OTDEL  VARCHAR(254),
    NAME_SKLAD  VARCHAR(100))
AS
DECLARE VARIABLE K_OTDEL BIGINT;
DECLARE VARIABLE K_SKLAD BIGINT;
DECLARE VARIABLE K_GROUP BIGINT;
DECLARE VARIABLE K_ING BIGINT;
BEGIN
    K_OTDEL = GEN_ID(MY_GEN, 1);
    INSERT INTO OTDEL (KOD, KOD_FIRMA, NAME, FIRST_OTDEL)
        VALUES (:K_OTDEL, :KOD_FIRMA, :NAME_OTDEL, '1');

    K_SKLAD = GEN_ID(MY_GEN, 1);
    INSERT INTO SKLAD (KOD, KOD_FIRMA, KOD_OTDEL, NAME, FIRST_SKLAD)
        VALUES (:K_SKLAD, :KOD_FIRMA, :K_OTDEL, :NAME_SKLAD, '1');

    FOR SELECT KOD FROM GROUP_ING INTO :K_GROUP DO
        INSERT INTO SKLAD_GRING (KOD_SKLAD, KOD_GRING) VALUES (:K_SKLAD, :K_GROUP);

    FOR SELECT KOD, KOD_GROUP FROM ING INTO :K_ING, :K_GROUP DO
        INSERT INTO ING_SKLAD (KOD_ING, KOD_FIRMA, KOD_OTDEL, KOD_SKLAD, KOD_GROUP, PERCENT, KOLVO, CENA)
            VALUES (:K_ING, :KOD_FIRMA, :K_OTDEL, :K_SKLAD, :K_GROUP, 0, 0, 0);
END^

/* Rows of a new department whose main warehouse KOD_SKLAD was just made:
   every product group is kept in that warehouse, and every product gets
   its row there with the prices, markup and price method it has in the
   enterprise's main department (stock 0, visible). */
CREATE OR ALTER PROCEDURE ALL_ING_TO_SKLAD (
    KOD_FIRMA  BIGINT,
    KOD_OTDEL  BIGINT,
    KOD_SKLAD  BIGINT)
AS
DECLARE VARIABLE K_MAIN BIGINT;
DECLARE VARIABLE K_GROUP BIGINT;
DECLARE VARIABLE K_ING BIGINT;
DECLARE VARIABLE V_CENA DOUBLE PRECISION;
DECLARE VARIABLE V_MY_CENA DOUBLE PRECISION;
DECLARE VARIABLE V_PERCENT INTEGER;
DECLARE VARIABLE V_METOD SMALLINT;
BEGIN
    K_MAIN = NULL;
    SELECT FIRST 1 KOD FROM OTDEL
        WHERE KOD_FIRMA = :KOD_FIRMA AND FIRST_OTDEL = '1' AND KOD <> :KOD_OTDEL
        ORDER BY KOD
        INTO :K_MAIN;

    FOR SELECT KOD FROM GROUP_ING INTO :K_GROUP DO
        IF (NOT EXISTS (SELECT 1 FROM SKLAD_GRING G JOIN SKLAD S ON S.KOD = G.KOD_SKLAD
                        WHERE S.KOD_OTDEL = :KOD_OTDEL AND G.KOD_GRING = :K_GROUP)) THEN
            INSERT INTO SKLAD_GRING (KOD_SKLAD, KOD_GRING) VALUES (:KOD_SKLAD, :K_GROUP);

    FOR SELECT KOD, KOD_GROUP FROM ING INTO :K_ING, :K_GROUP DO
    BEGIN
        IF (NOT EXISTS (SELECT 1 FROM ING_SKLAD WHERE KOD_ING = :K_ING AND KOD_OTDEL = :KOD_OTDEL)) THEN
        BEGIN
            V_CENA = 0;
            V_MY_CENA = 0;
            V_PERCENT = 0;
            V_METOD = 0;
            IF (K_MAIN IS NOT NULL) THEN
                SELECT FIRST 1 COALESCE(CENA, 0), COALESCE(MY_CENA, 0), COALESCE(PERCENT, 0), COALESCE(METOD_CENA, 0)
                    FROM ING_SKLAD WHERE KOD_ING = :K_ING AND KOD_OTDEL = :K_MAIN
                    ORDER BY KOD
                    INTO :V_CENA, :V_MY_CENA, :V_PERCENT, :V_METOD;
            INSERT INTO ING_SKLAD (KOD_ING, KOD_FIRMA, KOD_OTDEL, KOD_SKLAD, KOD_GROUP,
                                   KOLVO, CENA, MY_CENA, PERCENT, METOD_CENA)
                VALUES (:K_ING, :KOD_FIRMA, :KOD_OTDEL, :KOD_SKLAD, :K_GROUP,
                        0, :V_CENA, :V_MY_CENA, :V_PERCENT, :V_METOD);
        END
    END
END^

/* An enterprise with its departments, warehouses, group bindings and
   product rows. */
CREATE OR ALTER PROCEDURE DELETE_FIRMA (
    KOD_FIRMA  BIGINT)
AS
BEGIN
    DELETE FROM ING_SKLAD WHERE KOD_FIRMA = :KOD_FIRMA
        OR KOD_OTDEL IN (SELECT KOD FROM OTDEL WHERE KOD_FIRMA = :KOD_FIRMA);
    DELETE FROM SKLAD_GRING WHERE KOD_SKLAD IN
        (SELECT KOD FROM SKLAD WHERE KOD_FIRMA = :KOD_FIRMA
            OR KOD_OTDEL IN (SELECT KOD FROM OTDEL WHERE KOD_FIRMA = :KOD_FIRMA));
    DELETE FROM SKLAD WHERE KOD_FIRMA = :KOD_FIRMA
        OR KOD_OTDEL IN (SELECT KOD FROM OTDEL WHERE KOD_FIRMA = :KOD_FIRMA);
    DELETE FROM OTDEL WHERE KOD_FIRMA = :KOD_FIRMA;
    DELETE FROM FIRMA WHERE KOD = :KOD_FIRMA;
END^

/* A department with its warehouses, group bindings and product rows. */
CREATE OR ALTER PROCEDURE DELETE_OTDEL (
    KOD_OTDEL  BIGINT)
AS
BEGIN
    DELETE FROM ING_SKLAD WHERE KOD_OTDEL = :KOD_OTDEL;
    DELETE FROM SKLAD_GRING WHERE KOD_SKLAD IN (SELECT KOD FROM SKLAD WHERE KOD_OTDEL = :KOD_OTDEL);
    DELETE FROM SKLAD WHERE KOD_OTDEL = :KOD_OTDEL;
    DELETE FROM OTDEL WHERE KOD = :KOD_OTDEL;
END^

/* A warehouse that holds no product rows, with whatever group bindings
   are still left on it. */
CREATE OR ALTER PROCEDURE DELETE_SKLAD (
    KOD_SKLAD  BIGINT)
AS
BEGIN
    DELETE FROM SKLAD_GRING WHERE KOD_SKLAD = :KOD_SKLAD;
    DELETE FROM SKLAD WHERE KOD = :KOD_SKLAD;
END^

SET TERM ; ^

COMMIT;
