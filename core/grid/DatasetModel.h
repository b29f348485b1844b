#pragma once

#include "engine/PrintedPlaces.h"

#include <QAbstractTableModel>
#include <QPointer>
#include <QTableView>

#include <functional>

#include <QAbstractButton>

namespace db {

class Query;

// One column of a grid: the field it shows, its title and how it is shown.
struct GridColumn {
    QString field;
    QString title;
    int width = 0;             // pixels; 0 leaves the view's default
    QString displayFormat;     // "0.00", "#,##0.00", kQuantityDisplay, kPriceDisplay, "dd.mm.yyyy" ...; empty: plain
    Qt::Alignment alignment = {};
    bool visible = true;
};

// The grids' formats of a price and a quantity: the decimals they have, up
// to six, as the papers print them ("0.00####", "0.######").
inline const QString kPriceDisplay = engine::PriceFormat(QLatin1Char('.'));
inline const QString kQuantityDisplay = engine::QuantityFormat(QLatin1Char('.'));

// Formats a value with a display format of the grids ("0.00", "#,##0.00",
// kQuantityDisplay, kPriceDisplay): on its decimal, rounded to the format's
// places as the papers round.
QString formatNumber(double value, const QString& format);
QString displayText(const QVariant& value, const QString& format);

// A table model over a query: a row per record, a column per GridColumn.
class DatasetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DatasetModel(Query* query, QObject* parent = nullptr);

    void setColumns(const QList<GridColumn>& columns);
    const QList<GridColumn>& columns() const { return columns_; }
    // The view's column that shows the field; -1 when none does.
    int columnOf(const QString& field) const;
    Query* query() const { return query_; }

    // Per-cell background, font and text colour: called with the record, the
    // column's field and the role (Qt::BackgroundRole, Qt::FontRole, Qt::ForegroundRole).
    using CellStyle = std::function<QVariant(const Query& q, int row, const QString& field, int role)>;
    void setCellStyle(CellStyle style) { style_ = std::move(style); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    void reload();
    QList<GridColumn> visibleColumns() const;
    Query* query_;
    QList<GridColumn> columns_;
    QList<GridColumn> shown_;
    QVector<int> fieldCols_;
    CellStyle style_;
};

// A grid on a query: the current row follows the query's cursor and moves it;
// double-clicking a row clicks the edit button.
class DbGrid : public QTableView {
    Q_OBJECT
public:
    explicit DbGrid(QWidget* parent = nullptr);

    void setQuery(Query* query);
    Query* query() const { return model_ ? model_->query() : nullptr; }
    DatasetModel* datasetModel() const { return model_; }
    void setColumns(const QList<GridColumn>& columns);
    void setEditButton(QAbstractButton* button) { editButton_ = button; }

    // The grid stands on no row: its current row is gone and the user has
    // not chosen another, so nothing acts on one (a keypad's number goes
    // nowhere). It stays so through its holder's reloads, until the user
    // chooses a cell or the window reads the list afresh; atNextOpen: from
    // the list's next reading on (the lines of a document the user did not
    // choose).
    void standOnNoRow(bool atNextOpen = false);
    bool standsOnNoRow() const { return noRow_ == NoRow::On; }
    // The row the holder stands on in place of the one gone (its
    // neighbour) takes that row's place on the screen.
    void keepPlaceOf(const QVariant& goneKey);

    // Waiting for a reload: disabled and painted in the button-face colour.
    void greyOut();
    // Reloaded: enabled and painted in the window colour again.
    void release();
    bool greyed() const { return !isEnabled(); }

protected:
    void changeEvent(QEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void followCursor(int row);
    void fitRowsToFont();
    // A list closed and read again at once (a reload, a window reading its
    // list afresh) that stands on the row it stood on shows that row where it
    // was on the screen.
    void rememberPlace();
    void keepPlace(int row);
    struct Place {
        QVariant key;
        int offset = 0;  // rows between the top of the view and the row
        bool armed = false;
    };
    Place place_;
    enum class NoRow { Off, On, AtNextOpen };
    NoRow noRow_ = NoRow::Off;
    // The list's reading under way ends the no-row state but its holder's.
    void openedAfresh();
    DatasetModel* model_ = nullptr;
    QPointer<QAbstractButton> editButton_;
    int keptColumn_ = 0;  // the current column, kept while the list is read again
    bool syncing_ = false;
    double fontPoints_ = 0;  // the font the columns are laid out for
};

} // namespace db
