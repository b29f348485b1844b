#pragma once

#include "util/FirstUse.h"

#include "grid/DatasetModel.h"
#include "db/Query.h"

#include <QCheckBox>
#include <QDate>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

// The movement history of one product: the lines of posted documents,
// filtered by own enterprise, department, partner and period. It only reads.
class TForm_DvigIng : public QDialog {
    Q_OBJECT
public:
    explicit TForm_DvigIng(QWidget* parent = nullptr);
    ~TForm_DvigIng() override;

    QLineEdit* P_F;
    QCheckBox* CB_F;
    QPushButton* Btn_SelectF;
    QLineEdit* P_O;
    QCheckBox* CB_O;
    QPushButton* Btn_SelectO;
    QLineEdit* P_K;
    QCheckBox* CB_K;
    QPushButton* Btn_SelectK;
    QLineEdit* P_D;
    QCheckBox* CB_D;
    QPushButton* Btn_SelectD;
    QPushButton* BitBtn1;
    db::DbGrid* DBGrid1;
    db::DbGrid* DBGrid2;
    db::Query* QMyMoves;

    // The window's state besides its controls.
    qint64 KodIng = 0;
    qint64 KodFirma = 0;
    qint64 KodOtdel = 0;
    qint64 KodKontragent = 0;
    QString NameFirma;
    QString NameOtdel;
    QString NameKontragent;
    QDate DateStart;
    QDate DateEnd;

    void FormCreate();
    void ShowMoves();
    void BitBtn1Click();
    void CB_FClick();
    void CB_OClick();
    void CB_KClick();
    void CB_DClick();
    void Btn_SelectFClick();
    void Btn_SelectOClick();
    void Btn_SelectKClick();
    void Btn_SelectDClick();
    static void QMyMovesCalcFields(db::Query& q);

    // Presets the filters for one product from the current enterprise and
    // department, keeps the period, builds the list and names the window.
    void Prepare(qint64 ing, const QString& ingName, qint64 firma, const QString& firmaName, qint64 otdel,
                 const QString& otdelName);

protected:
    void hideEvent(QHideEvent* event) override;

private:
    void resetDepartment();
    void showPeriod();
};

extern FirstUse<TForm_DvigIng> Form_DvigIng;

// Creates the window and wires the products tab's two history buttons to it.
void CreateHistoryWindow();
void DestroyHistoryWindow();
