/*
  MY_ROUND as it stood before the rounding steps of 10 and 50 roubles: the
  step is 10, 50, 100 or 500 kopecks for okrugl1 0 to 3, and 10 kopecks for
  any other value.  Otherwise as the shipped procedure.
*/

SET TERM ^ ;

ALTER PROCEDURE MY_ROUND (
    KOD_ING_SKLAD  BIGINT,
    CENA           DOUBLE PRECISION)
RETURNS (
    NEW_CENA       DOUBLE PRECISION)
AS
    DECLARE VARIABLE OKR1 SMALLINT;
    DECLARE VARIABLE OKR2 SMALLINT;
    DECLARE VARIABLE PERCENT INTEGER;
    DECLARE VARIABLE METOD_CENA SMALLINT;
    DECLARE VARIABLE U BIGINT;
    DECLARE VARIABLE L BIGINT;
    DECLARE VARIABLE K BIGINT;
    DECLARE VARIABLE OLD_MY_CENA DOUBLE PRECISION;
BEGIN
    PERCENT = NULL;
    METOD_CENA = NULL;
    OLD_MY_CENA = NULL;
    select percent, metod_cena, my_cena from ing_sklad where kod = :kod_ing_sklad
      into :percent, :metod_cena, :old_my_cena;
    CENA = COALESCE(CENA, 0);
    PERCENT = COALESCE(PERCENT, 0);
    METOD_CENA = COALESCE(METOD_CENA, 0);

    IF (METOD_CENA = 2) THEN
    BEGIN
        NEW_CENA = COALESCE(OLD_MY_CENA, 0);
        EXIT;
    END

    IF (METOD_CENA = 1) THEN
    BEGIN
        NEW_CENA = CENA * (100 + PERCENT) / 100.00;
        EXIT;
    END

    OKR2 = NULL;
    select first 1 integer_param from my_param where name_param = 'okrugl2' into :okr2;
    OKR2 = COALESCE(OKR2, 0);
    IF (OKR2 = 3) THEN
    BEGIN
        NEW_CENA = CENA * (100 + PERCENT) / 100.00;
        EXIT;
    END

    OKR1 = NULL;
    select first 1 integer_param from my_param where name_param = 'okrugl1' into :okr1;
    U = CASE COALESCE(OKR1, 0)
            WHEN 0 THEN 10
            WHEN 1 THEN 50
            WHEN 2 THEN 100
            WHEN 3 THEN 500
            ELSE 10
        END;
    L = cast(cena * (100 + percent) as bigint);
    K = L - cast(L / U as bigint) * U;
    IF ((OKR2 = 0 AND K > U / 2) OR (OKR2 = 1 AND K <> 0)) THEN
        L = L + U;
    NEW_CENA = (L - K) / 100.00;
END^

SET TERM ; ^
