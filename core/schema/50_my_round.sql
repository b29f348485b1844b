/*
  MY_ROUND: the selling price of the ING_SKLAD row KOD_ING_SKLAD for the new
  stock price CENA, by the row's price method and markup and the rounding
  settings okrugl1 (step) and okrugl2 (rule) of MY_PARAM.

  Price method 2 (by hand) keeps the row's MY_CENA; method 1 applies the
  markup without rounding; method 0, and any other value, applies the markup
  and brings the price to the step: rule 0 to the nearest step (an exact
  half goes down), 1 up, 2 down, 3 no rounding (the markup still applies).
  The step is 10, 50, 100, 500, 1000 or 5000 kopecks for okrugl1 0 to 5,
  and 10 kopecks for any other value.  The result is never NULL.
*/

SET TERM ^ ;

CREATE OR ALTER PROCEDURE MY_ROUND (
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
            WHEN 4 THEN 1000
            WHEN 5 THEN 5000
            ELSE 10
        END;
    L = cast(cena * (100 + percent) as bigint);
    K = L - cast(L / U as bigint) * U;
    IF ((OKR2 = 0 AND K > U / 2) OR (OKR2 = 1 AND K <> 0)) THEN
        L = L + U;
    NEW_CENA = (L - K) / 100.00;
END^

SET TERM ; ^
