#pragma once

// The template engine: opens a template in the spreadsheet program with its
// end block parked on the second sheet, places the report's values by the
// template's variables, puts blocks back and finishes the sheet.

#include "TemplateForm.h"

#include "automation/Spreadsheet.h"
#include "engine/RowWriter.h"

#include <QHash>

#include <memory>

namespace templates {

// Column of an A1-style reference, 1 for A: "A1" 1, "Z9" 26, "AA10" 27, "ZZ1" 702, "" 1.
int ColumnNumber(const QString& ref);
// Row of a reference: "B12" 12; an empty reference or one not ending in a digit gives 1.
int RowNumber(const QString& ref);
// The column letters of a reference ("F12" gives "F").
QString ColumnLetters(const QString& ref);

// How the row moves on after a variable is placed.
enum RowMode { RowStay = 0, RowNext = 1, RowNextWhenEnabled = 2 };

// Kinds of a value record (R_Field::Typ) the engine writes.
enum ValueKind { KindNone = 0, KindText = 1, KindInteger = 2, KindFloat = 3, KindDate = 4, KindTime = 5 };

// The template's spreadsheet in the cache folder (written, through a
// temporary file, when missing or not of the stored size); its path.
QString EnsureCacheFile(const QString& cacheFolder, const TemplateForm& form);

// Opens an untitled copy of the template's file, parks its end block at A1 of
// the second sheet, removes the rows below the header and locks the
// document's screen updates. Returns the first table row (the row after the
// header). Throws TemplateError when the office cannot be reached or the
// template cannot be opened.
int OpenPrintTemplate(automation::Office& office, const QString& cacheFolder, const TemplateForm& form,
                      std::unique_ptr<automation::Document>& document);

// Places the parked end block (A1 to the column of tail, tail − head rows)
// at the given row of the first sheet; moved, or copied when move is false.
// Returns row + rows of the end block + 1.
int MoveTemplateRange(automation::Document& document, const QString& tail, const QString& head, int row, bool move);

// Copies the block A1:ref of the first sheet to the given row. Returns
// row + RowNumber(ref) + 1.
int CopyTemplateRange(automation::Document& document, const QString& ref, int row);

// Outlines the table (the rows from the first table row to row − 1) when the
// template asks for a grid, removes every sheet but the first (the parking
// sheet among them), releases the locks, shows the document and ends the
// office connection.
void FinishTemplateSheet(automation::Office& office, automation::Document& document, const TemplateForm& form,
                         int row);

// After a failed run: releases the locks and closes the unfinished document.
void AbandonTemplateSheet(automation::Office& office, automation::Document& document);

// The number formats of the table's columns, by column (1 for A): those of
// the first table row's cells in the columns where enabled variables other
// than header ones are placed; a column in the standard format is left out.
// A template formats a number of rows in advance; the rows below them have
// no format of their own.
using ColumnFormats = QHash<int, QString>;
ColumnFormats ReadColumnFormats(automation::Document& document, const TemplateVariables& variables, int firstRow);

// Writes one value by its variable: cell, text around it, merge, wrap,
// alignment, font and the line under the row, then moves row by mode. When
// formats are given (the value goes into the table: a line, a heading, a
// subtotal), a number placed by any variable but a header one takes its
// column's format, whatever the row; a price or a quantity given its
// papers' format (figureFormat) takes that one instead where its column's
// shows fewer decimals than it has (a template made before prices showed
// their third and fourth). A name the template does not hold counts as a
// disabled variable.
void PutTemplateVariables(automation::Document& document, const R_Field& value, int mode, int& row,
                          const TemplateVariables& variables, const TemplateForm& form,
                          const ColumnFormats* formats = nullptr, const QString& figureFormat = QString());

// How many decimals a number format (Russian notation) shows at most: those
// of its first section; 18 for the standard format, which shows them all.
int ShownPlaces(const QString& code);

// A value as the engine writes it inside a text: floats with two decimals and
// the decimal comma, dates dd.MM.yyyy, times H:mm:ss; empty for other kinds.
QString ValueText(const R_Field& value);

} // namespace templates
