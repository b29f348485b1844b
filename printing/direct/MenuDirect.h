#pragma once

// The menu and its codes list drawn straight on a printer's canvas: the
// heading, the table caption, the active sections with their active dishes
// and the end text; or one line per dish with its accounting code and
// barcode.

#include "Sheet.h"

#include "engine/Context.h"
#include "reports/TemplateReport.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

namespace direct {

struct MenuDish {
    QString name;                // ING.NAME
    QString yield;               // VIHOD_BLUDA as the dish shows it
    std::optional<double> price; // the menu price; none prints as 00к
    bool active = true;          // MENU_STR.MY_ACTIVE = 1
};

struct MenuSection {
    QString name;
    bool active = true;          // MENU_RAZDEL.IS_ACTIVE = 1
    QVector<MenuDish> dishes;    // by name
};

// The texts of the printed menu (settings DisMenuHead, DisMenuTab, DisMenuTail).
struct DesignTexts {
    QString head;
    QString tab;
    QString tail;
};

// One dish of the codes list, in the order of the codes query.
struct CodeLine {
    qint64 section = 0;
    QString sectionName;
    QString name;
    QString kod1s;
    QString sKod;
};

// The menu's sections by their sort number, each with its dishes and their
// menu prices by the list's rule.
QVector<MenuSection> ReadMenu(const engine::Context& ctx, qint64 menu);

// The lines of a memo as the user typed them (CR LF, LF or CR between them).
QStringList MemoLines(const QString& text);

} // namespace direct

namespace direct::menu {

struct Options {
    PrintParams params;              // the print parameters dialog's choices
    DesignTexts texts;
    QVector<MenuSection> sections;   // the menu as ReadMenu gives it
};

// Draws the menu as one print job; the progress advances once per section row.
void Print(Canvas& canvas, const Options& options, const reports::Progress& progress = {});

} // namespace direct::menu

namespace direct::codes {

struct Options {
    PrintParams params;
    QVector<CodeLine> rows;
};

// Draws the codes list as one print job; the progress shows the row being printed.
void Print(Canvas& canvas, const Options& options, const reports::Progress& progress = {});

} // namespace direct::codes
