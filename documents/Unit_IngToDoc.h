#pragma once

#include "util/FirstUse.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTimer;
class TKeypad;
class TRadioGroup;
namespace db {
class DbGrid;
class ListHolder;
class Query;
} // namespace db

// "Заполнение документа движения": products of the document's department
// picked by group or by a search on the name, above the document's lines,
// whose quantity, price or sum is typed on the keypad.
class TForm_IngToDoc : public QDialog {
    Q_OBJECT
public:
    explicit TForm_IngToDoc(QWidget* parent = nullptr);
    ~TForm_IngToDoc() override;

    // The document (the current row of the movement list): opens the groups,
    // fills the product list and reloads the lines, ready to be shown.
    void OpenFor(qint64 doc);
    // Closes the window's lists after it was shown.
    void CloseLists();

    void FormCreate();
    void FormShow();
    void CB_ContextClick();
    void Btn_AddClick();
    void Btn_DeleteClick();
    void Btn_ClearClick();
    // A number taken by the keypad goes to the column RadioGroup1 names.
    void ApplyValue(double value);
    void CB_NextClick();
    void CB_KolClick();
    void Grid_MovesColEnter(int column);
    // Stands the lines on the key after reopening them.
    void ReopenLines(qint64 kod);

    // The document's lines, held with the tables they read.
    db::ListHolder* List_Moves;
    db::Query* Q_Moves;  // List_Moves's query
    db::Query* Q_GrIng;
    db::Query* Q_Ing_Sklad;
    db::DbGrid* Grid_GrIng;
    db::DbGrid* Grid_Ing_Sklad;
    QCheckBox* CB_Context;
    QLineEdit* E_Context;
    QCheckBox* CB_Closed;
    db::DbGrid* Grid_Moves;
    TKeypad* Keypad;
    TRadioGroup* RadioGroup1;
    QCheckBox* CB_Next;
    QCheckBox* CB_Kol;
    QPushButton* Btn_Add;
    QPushButton* Btn_Delete;
    QPushButton* Btn_Clear;
    QPushButton* Btn_Ok;
    QTimer* Timer_IngToDoc;  // the product list follows the group once it rests

    qint64 DocKod = 0;
    QString DocName;
    qint64 DocOtdel = 0;
    int DocTypeCena = 0;
    int DocProvodka = 0;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A key of the search field (its text typed); listBehind: the product
    // list has not yet followed the typed text.
    bool contextKey(int key, const QString& text, bool listBehind);
};

extern FirstUse<TForm_IngToDoc> Form_IngToDoc;
