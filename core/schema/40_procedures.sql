/*
  Stored procedures: declarations only.

  This file fixes the name and parameters of each procedure and gives it
  an empty body, so that every procedure exists before any body refers to
  another.
  The working bodies come in the later files (50_*.sql and on), each as
  CREATE OR ALTER PROCEDURE with exactly the parameters declared here.
  Keys are BIGINT, the program binds them as decimal text.
  None of the procedures commits, they run in the transaction of the caller.
*/

SET TERM ^ ;

/* ---------- Prices ---------- */

/* Selling price for the ING_SKLAD row KOD_ING_SKLAD from the stock price
   CENA, by the markup and price method of that row and the rounding
   settings.  Called by the other procedures with EXECUTE PROCEDURE ... RETURNING_VALUES. */
CREATE PROCEDURE MY_ROUND (
    KOD_ING_SKLAD  BIGINT,
    CENA           DOUBLE PRECISION)
RETURNS (
    NEW_CENA       DOUBLE PRECISION)
AS
BEGIN
END^

/* ---------- Costing cards ---------- */

/* Opens the edit cycle of a card: backs up its rows under KOD_UPDATE. */
CREATE PROCEDURE START_EDIT_KALK (
    KOD_ING_MASTER  BIGINT,
    KOD_UPDATE      BIGINT,
    MY_LEVEL        INTEGER)
AS
BEGIN
END^

/* Ends the edit cycle keeping the card as it is now. */
CREATE PROCEDURE END_EDIT_KALK (
    KOD_ING_MASTER  BIGINT,
    KOD_UPDATE      BIGINT)
AS
BEGIN
END^

/* Ends the edit cycle restoring the card from its backup. */
CREATE PROCEDURE CLEAR_EDIT_KALK (
    KOD_ING_MASTER  BIGINT,
    KOD_UPDATE      BIGINT)
AS
BEGIN
END^

/* Adds one card row and returns its key. */
CREATE PROCEDURE ADD_TO_KALK (
    KOD_ING_MASTER  BIGINT,
    KOD_ING         BIGINT,
    KOLVO           DOUBLE PRECISION,
    PERCENT         DOUBLE PRECISION)
RETURNS (
    KOD_NEW_RECORD  BIGINT)
AS
BEGIN
END^

/* ---------- Catalogue and structure ---------- */

/* Gives a new product its ING_SKLAD row in every department. */
CREATE PROCEDURE ADD_ING_TO_ING_SKLAD (
    KOD_ING    BIGINT,
    KOD_GROUP  BIGINT)
AS
BEGIN
END^

/* Main department and first warehouse of a new own enterprise, with the
   group bindings and the product rows. */
CREATE PROCEDURE CREATE_FIRST_OTDEL (
    KOD_FIRMA   BIGINT,
    NAME_OTDEL  VARCHAR(254),
    NAME_SKLAD  VARCHAR(100))
AS
BEGIN
END^

/* Product rows and group bindings of a new department and its warehouse. */
CREATE PROCEDURE ALL_ING_TO_SKLAD (
    KOD_FIRMA  BIGINT,
    KOD_OTDEL  BIGINT,
    KOD_SKLAD  BIGINT)
AS
BEGIN
END^

/* Removes an enterprise with its departments, warehouses and product rows. */
CREATE PROCEDURE DELETE_FIRMA (
    KOD_FIRMA  BIGINT)
AS
BEGIN
END^

/* Removes a department with its warehouses and product rows. */
CREATE PROCEDURE DELETE_OTDEL (
    KOD_OTDEL  BIGINT)
AS
BEGIN
END^

/* Removes a warehouse and its group bindings. */
CREATE PROCEDURE DELETE_SKLAD (
    KOD_SKLAD  BIGINT)
AS
BEGIN
END^

/* Removes a menu with its sections and their dishes. */
CREATE PROCEDURE DELETE_MENU (
    KOD_MENU  BIGINT)
AS
BEGIN
END^

/* ---------- Posting ---------- */

/* Posts a movement, production or sales document. */
CREATE PROCEDURE PROVODKA_MOVE (
    KOD_DOC  BIGINT)
AS
BEGIN
END^

/* Cancels the posting of a posted document.
   OTKAT: 0 keep prices, 1 restore the old prices. */
CREATE PROCEDURE DELETE_PROVODKA (
    KOD_DOC  BIGINT,
    OTKAT    SMALLINT)
AS
BEGIN
END^

/* Removes the lines of a document, optionally undoing their effect on stock.
   OTKAT: 0 no rollback, 1 quantities, 2 quantities and old stock prices. */
CREATE PROCEDURE DEL_DOC (
    KOD_DOC  BIGINT,
    OTKAT    SMALLINT)
AS
BEGIN
END^

/* ---------- Inventories ---------- */

/* Fills an inventory with the products of a department or warehouse.
   FLAG: counted quantity 0 zero, 1 book quantity.  KOD_SKLAD 0: the whole
   department.  MY_ZERO 1: a negative book quantity is counted as 0.
   OPEN_CLOSE: take rows whose OPEN_CLOSE is not above it (0 leaves hidden
   products out, 1 takes all). */
CREATE PROCEDURE ADD_ING_TO_INV (
    FLAG        SMALLINT,
    KOD_OTDEL   BIGINT,
    KOD_SKLAD   BIGINT,
    KOD_DOC     BIGINT,
    MY_ZERO     SMALLINT,
    OPEN_CLOSE  SMALLINT)
AS
BEGIN
END^

/* Posts an inventory: stock takes the counted values. */
CREATE PROCEDURE INVENT_PROVODKA (
    KOD_DOC    BIGINT,
    KOD_OTDEL  BIGINT)
AS
BEGIN
END^

SET TERM ; ^

COMMIT;
