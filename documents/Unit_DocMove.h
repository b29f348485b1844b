#pragma once

#include "engine/ShownRow.h"
#include "util/FirstUse.h"

#include <QDialog>
#include <QList>

#include <cstdint>

class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimeEdit;
class TRadioGroup;
namespace db {
class Query;
}

// "Документ движения": the header of a receipt, issue or internal transfer.
// Created once and reused; the creation and the edit set it up before showing.
class TForm_DocMove : public QDialog {
    Q_OBJECT
public:
    explicit TForm_DocMove(QWidget* parent = nullptr);
    ~TForm_DocMove() override;

    void FormCreate();
    // A new receipt of today in the given enterprise and department.
    void PrepareNew(qint64 firma, const QString& firmaName, qint64 otdel, const QString& otdelName);
    // The current document of the list and whether its lines list shows
    // any; a posted one is shown read-only.
    void PrepareEdit(const db::Query& doc, bool hasLines);
    // Every editable control on or off.
    void SetEditable(bool on);

    void RG_TypClick();
    void Btn_FirmaClick();
    void Btn_OtdelClick();
    void Btn_Firma1Click();
    void Btn_Otdel1Click();
    void Btn_OkClick();
    void RG_TypeCenaEnter();
    void RG_TypeCenaClick();

    QLabel* L_Firma;
    QPushButton* Btn_Firma;
    QLabel* L_OtdelCaption;
    QLabel* L_Otdel;
    QPushButton* Btn_Otdel;
    QLineEdit* E_Name;
    QDateEdit* DateDoc;
    QTimeEdit* TimeDoc;
    TRadioGroup* RG_Typ;
    TRadioGroup* RG_TypeCena;
    QLabel* L_Firma1;
    QPushButton* Btn_Firma1;
    QLabel* L_Otdel1Caption;
    QLabel* L_Otdel1;
    QPushButton* Btn_Otdel1;
    TRadioGroup* RG_Proizv;
    QPushButton* Btn_Ok;
    QPushButton* Btn_Cancel;

    qint64 KodFirma = 0;
    qint64 KodOtdel = 0;
    qint64 KodFirma1 = 0;
    qint64 KodOtdel1 = 0;
    qint64 DocKod = 0;       // the document being edited
    QString DocName;         // its number as the list shows it
    // What the dialog showed of the edited document: its save refuses a
    // header another workstation changed since.
    engine::ShownRow Shown;
    bool HasLines = false;   // the lines list showed lines of it
    int PrevType = 0;        // RG_Typ's item before the last change
    std::uint8_t NewDoc = 0;
    std::uint8_t PriceKindGiven = 0;
    std::uint8_t TypeChange = 0;
    // Key of the document the last save wrote.
    qint64 SavedKod = 0;

    // The DOC_TYPE of an RG_Typ item and back.
    static int TypeOfItem(int item);
    static int ItemOfType(int type);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // The captions of both picker blocks share one column as wide as the
    // widest of their texts in the dialog's font, the zoomed one too.
    void fitCaptions();
    QList<QLabel*> Captions;
    void setFirma(qint64 kod, const QString& name);
    void setOtdel(qint64 kod, const QString& name);
    void setFirma1(qint64 kod, const QString& name);
    void setOtdel1(qint64 kod, const QString& name);
};

extern FirstUse<TForm_DocMove> Form_DocMove;
