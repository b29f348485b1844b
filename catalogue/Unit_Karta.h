#pragma once

#include "util/FirstUse.h"

#include <QDialog>
#include <QString>
#include <QStringList>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QModelIndex;
class QPushButton;
class QTimer;
class TKeypad;
class TRadioGroup;
namespace db {
class DbGrid;
class ListHolder;
class Query;
} // namespace db

// The costing card of a product: its ingredients with net quantity and
// yield, and the card's header. In view mode it only shows; "Разрешить
// изменения" opens an edit cycle in which every change of a row is written at
// once, and "Запись" or "Отмена" ends it keeping or undoing the changes.
class WriteTransaction;

class TForm_Karta : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Karta(QWidget* parent = nullptr);
    ~TForm_Karta() override;

    // The products tab's "К/Карта": the card of the tab's current product,
    // modal; the card's commits reload the product list on that product.
    static void Btn_KartaClick();

    // Prepares the window for the product (caption, unit, header, lists).
    void Prepare(qint64 product);
    void Open_Karta();
    void Enable_Edit_Karta();
    void Disable_Edit_Karta();

    void Btn_EditClick();
    void Btn_AddClick();
    void Btn_DeleteClick();
    void Btn_VklClick();
    void Btn_OkClick();
    void Btn_ClearClick();
    void Btn_ExitClick();
    void Btn_PrintClick();
    void Btn_ReceptClick();
    void CB_ContextClick();
    void Timer_KKTimer();
    void RG_ManualClick();
    // The keypad's number for the current card row.
    void ApplyValue(double v);
    // The connection is gone: the window closes and says what stays of an open edit cycle.
    void ConnectionLost();

    bool Editing() const { return EditFlag; }
    qint64 Product() const { return KodIng; }

    db::Query* QG;
    db::Query* QI;
    // The card's rows: they follow the commits that change them (held by List_QS).
    db::ListHolder* List_QS;
    db::Query* QS;

    db::DbGrid* Grid_G;
    db::DbGrid* Grid_I;
    QCheckBox* CB_Context;
    QLineEdit* E_Context;
    QCheckBox* CB_Closed;
    db::DbGrid* Grid_Sostav;
    QGroupBox* GB_Param;
    QLineEdit* E_Kolvo;
    QLineEdit* E_Percent;
    QLineEdit* E_Vihod;
    QLineEdit* E_EdIzm;
    TRadioGroup* RG_Cena;
    TRadioGroup* RG_Manual;
    TRadioGroup* RG_Kolonka;
    QCheckBox* CB_Next;
    TKeypad* Keypad;
    QPushButton* Btn_Edit;
    QPushButton* Btn_Add;
    QPushButton* Btn_Delete;
    QPushButton* Btn_Vkl;
    QPushButton* Btn_Clear;
    QPushButton* Btn_Ok;
    QPushButton* Btn_Exit;
    QPushButton* Btn_Print;
    QPushButton* Btn_Recept;
    QTimer* Timer_KK;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLists();
    void reloadQS(qint64 key);
    void focusAfterValue();
    // The cells that take typing: the net quantity, and by hand also the
    // yield (or its coefficient) and the gross; the fields in the grid's order.
    QStringList entryFields() const;
    QString fieldAt(int column) const;
    // The field the next number is written to: the cell the cursor stands on.
    QString typedField() const;
    // The cursor entered a cell: an entry cell sets the column choice (the
    // keypad puts it from any other on the line's cell the choice names).
    void cellEntered(const QModelIndex& current);
    qint64 currentRowKey() const;
    QString currentRowName() const;

    // Whether this window still holds the card's edit cycle, checked inside the
    // write road; when another workstation took it over, says so, rolls back
    // and leaves edit mode.
    bool holdsCycle(WriteTransaction& w);

    qint64 KodIng = 0;
    QString NameIng;
    qint64 Cycle = 0;  // the key of the edit cycle this window opened
    bool EditFlag = false;
    bool closing_ = false;
    // The header as the card was opened with; view mode shows it again.
    int SavedCena = 0;
    int SavedManual = 0;
    QString SavedKolvo;
    QString SavedPercent;
    QString SavedVihod;
};

extern FirstUse<TForm_Karta> Form_Karta;
