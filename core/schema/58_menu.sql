/*
  Deletion of a menu: its dish lines, its sections, then the menu itself.
  Runs in the write transaction of the caller, whose protocol line commits
  it together with the rest of the change.
*/

SET TERM ^ ;

CREATE OR ALTER PROCEDURE DELETE_MENU (
    KOD_MENU  BIGINT)
AS
BEGIN
    DELETE FROM MENU_STR
        WHERE KOD_MENU_RAZDEL IN (SELECT KOD FROM MENU_RAZDEL WHERE KOD_MENU = :KOD_MENU);
    DELETE FROM MENU_RAZDEL WHERE KOD_MENU = :KOD_MENU;
    DELETE FROM MENU WHERE KOD = :KOD_MENU;
END^

SET TERM ; ^
COMMIT;
