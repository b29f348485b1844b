#pragma once

#include "automation/uno/UnoOffice.h"

#include <QString>

#include <memory>

// The one headless office of the binary and its scratch folder.
automation::UnoOffice& TestOffice();
QString TestOfficeFolder();

// Stores the document in the scratch folder as `fileName` (the format by its
// ending: .xls or .ods), closes it and loads the stored file back in the
// binary's office. When the environment variable `lookVariable` names a
// folder, a PDF of the document is kept there first, to be looked at.
std::unique_ptr<automation::Document> StoreAndReload(automation::Document& d, const QString& fileName,
                                                     const char* lookVariable = nullptr);

// Every number in the first rows x columns cells of the first sheet has a
// number format: none prints in the office's standard form (13.92857).
void ExpectNumbersFormatted(automation::Document& d, int rows, int columns);

// A printed page as poppler's pdftotext reads it from the office's PDF: its
// size and words, each with its box in points from the page's top left.
struct PdfWord {
    QString text;
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
};
struct PdfPage {
    double width = 0, height = 0;
    QList<PdfWord> words;
    int count(const QString& word) const;
};

// The document exported as `name`.pdf into the scratch folder (and into
// TARELIA_OFFICE_OUT when set, to be looked at), its pages read back.
QList<PdfPage> PdfPages(automation::Document& d, const QString& name);

// Every text of the pages printed whole: no number stands as "###", no word
// reaches past the page's printable width (`margin` points from its right
// edge) and no two words overlap, as a text cut by its neighbour cell, a row
// too low for it or the page's edge does in the PDF.
void ExpectWholeOnPaper(const QList<PdfPage>& pages, const QString& name, double margin = 14);
