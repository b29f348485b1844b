#pragma once

// What a user sees of the main windows on the screen the test runs on: the
// main window's tabs and the main dialogs fit it, and every list's titles
// take its font.

#include "Unit_DocMove.h"
#include "Unit_DvigIng.h"
#include "Unit_GrIng.h"
#include "Unit_Ing.h"
#include "Unit_IngSklad.h"
#include "Unit_IngToDoc.h"
#include "Unit_Invent.h"
#include "Unit_Karta.h"
#include "Unit_Menu_S.h"
#include "Unit_Otdel.h"
#include "Unit_Print.h"
#include "Unit_SelectMenu.h"
#include "grid/DatasetModel.h"
#include "ui/Unit_Main.h"
#include "ui/Unit_Person.h"
#include "ui/Unit_Personal.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QScreen>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace windowsfit {

inline QRect screen() { return QGuiApplication::primaryScreen()->availableGeometry(); }

// Saves the window as a picture in the folder TARELIA_SHOTS names, if any.
inline void shoot(QWidget* w, const QString& name)
{
    const QString folder = qEnvironmentVariable("TARELIA_SHOTS");
    if (!folder.isEmpty())
        w->grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
}

// The column of a field in the grid as shown, -1 when it shows none.
inline int columnOf(db::DbGrid* grid, const char* field) { return grid->datasetModel()->columnOf(QLatin1String(field)); }

// Every shown text of the column fits its width in the font the grid draws it with.
inline void expectValuesWhole(db::DbGrid* grid, const char* field)
{
    const int col = columnOf(grid, field);
    ASSERT_GE(col, 0) << field;
    QAbstractItemModel* m = grid->model();
    ASSERT_GT(m->rowCount(), 0) << field;
    for (int r = 0; r < m->rowCount(); ++r) {
        const QModelIndex i = m->index(r, col);
        const QVariant f = i.data(Qt::FontRole);
        const QFontMetrics fm(f.isValid() ? f.value<QFont>() : grid->font());
        const QString text = i.data().toString();
        EXPECT_GE(grid->columnWidth(col), fm.horizontalAdvance(text) + 2 * fm.averageCharWidth())
            << field << " \"" << text.toStdString() << "\"";
    }
}

// The column is within the list's sight without scrolling, and holds its
// title: on one line, or within the header's height where it wraps its titles.
inline void expectColumnInSight(db::DbGrid* grid, const char* field)
{
    const int col = columnOf(grid, field);
    ASSERT_GE(col, 0) << field;
    EXPECT_LE(grid->columnViewportPosition(col) + grid->columnWidth(col), grid->viewport()->width()) << field;
    QHeaderView* h = grid->horizontalHeader();
    const QString title = grid->model()->headerData(col, Qt::Horizontal).toString();
    const int pad = h->fontMetrics().averageCharWidth();
    if (h->defaultAlignment() & Qt::TextWordWrap) {
        const QRect text = h->fontMetrics().boundingRect(QRect(0, 0, h->sectionSize(col) - pad, 10000), Qt::TextWordWrap, title);
        EXPECT_LE(text.width() + pad, h->sectionSize(col)) << field << " \"" << title.toStdString() << "\"";
        EXPECT_LE(text.height(), h->height()) << field << " \"" << title.toStdString() << "\"";
        return;
    }
    EXPECT_GE(h->sectionSize(col), h->fontMetrics().horizontalAdvance(title) + pad) << field << " \"" << title.toStdString() << "\"";
}

// Every caption of the window reads whole (a framed panel showing a chosen
// name may cut a long one).
inline void expectCaptionsWhole(QWidget* w, const std::string& name)
{
    for (QLabel* l : w->findChildren<QLabel*>()) {
        if (!l->isVisibleTo(w) || l->wordWrap() || l->frameShape() != QFrame::NoFrame || l->text().isEmpty())
            continue;
        int widest = 0;
        for (const QString& line : l->text().split(QLatin1Char('\n')))
            widest = std::max(widest, l->fontMetrics().horizontalAdvance(line.trimmed()));
        EXPECT_GE(l->width(), widest) << name << ": " << l->text().toStdString();
    }
}

inline void expectFits(QWidget* w, const std::string& name)
{
    const QRect s = screen();
    const QSize need = w->minimumSizeHint().expandedTo(w->minimumSize());
    EXPECT_LE(need.width(), s.width()) << name;
    EXPECT_LE(need.height(), s.height()) << name;
    EXPECT_LE(w->width(), s.width()) << name;
    EXPECT_LE(w->height(), s.height()) << name;
}

inline void expectTabsFit()
{
    QTabWidget* tabs = Form_Main->PageControl1;
    Form_Main->show();
    for (int i = 0; i < tabs->count(); ++i) {
        const QSize need = tabs->widget(i)->minimumSizeHint();
        EXPECT_LE(need.width(), screen().width()) << tabs->tabText(i).toStdString();
        EXPECT_LE(need.height(), screen().height()) << tabs->tabText(i).toStdString();
        tabs->setCurrentIndex(i);
        QApplication::processEvents();
        expectCaptionsWhole(tabs->widget(i), tabs->tabText(i).toStdString());
    }
    expectFits(Form_Main, "main window");
}

inline std::vector<std::pair<QWidget*, std::string>> mainDialogs()
{
    return {{Form_Ing, "product"},          {Form_GrIng, "group"},          {Form_Karta, "card editor"},
            {Form_Otdel, "department"},     {Form_IngSklad, "stock row"},   {Form_DocMove, "movement document"},
            {Form_DvigIng, "product moves"}, {Form_IngToDoc, "document lines"}, {Form_Invent, "inventory"},
            {Form_SelectMenu, "menu choice"}, {Form_Print, "templates"},     {Form_Personal, "users"},
            {Form_Person, "user"},          {Form_Menu_S, "menu section dishes"}};
}

// Each dialog, shown as the program shows it, fits the screen; its lists'
// titles are drawn in the dialog's font.
inline void expectDialogsFit(const std::vector<std::pair<QWidget*, std::string>>& dialogs = mainDialogs())
{
    for (auto& [w, name] : dialogs) {
        ASSERT_NE(w, nullptr) << name;
        w->show();
        QApplication::processEvents();
        // Laid out again as a text put in it since asks (a name chosen, a list filled).
        if (QLayout* lay = w->layout()) {
            lay->invalidate();
            lay->activate();
        }
        expectFits(w, name);
        shoot(w, QString::fromStdString(name).replace(QLatin1Char(' '), QLatin1Char('-')));
        expectCaptionsWhole(w, name);
        for (db::DbGrid* grid : w->findChildren<db::DbGrid*>()) {
            QHeaderView* h = grid->horizontalHeader();
            EXPECT_DOUBLE_EQ(h->font().pointSizeF(), grid->font().pointSizeF()) << name;
            // A column laid out for the dialog's design font still holds its title,
            // on one line or, where the header wraps its titles, within its height.
            const bool wraps = h->defaultAlignment() & Qt::TextWordWrap;
            for (int i = 0; i < h->count(); ++i) {
                const QString title = grid->model()->headerData(i, Qt::Horizontal).toString();
                if (h->sectionResizeMode(i) != QHeaderView::Interactive || h->isSectionHidden(i))
                    continue;
                if (!wraps) {
                    EXPECT_GE(h->sectionSize(i), h->fontMetrics().horizontalAdvance(title)) << name << ": " << title.toStdString();
                    continue;
                }
                const QRect text = h->fontMetrics().boundingRect(QRect(0, 0, h->sectionSize(i), 10000), Qt::TextWordWrap, title);
                EXPECT_LE(text.width(), h->sectionSize(i)) << name << ": " << title.toStdString();
                EXPECT_LE(text.height(), h->height()) << name << ": " << title.toStdString();
            }
        }
        w->hide();
    }
}

} // namespace windowsfit
