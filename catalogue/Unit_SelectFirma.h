#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTimer;
namespace db {
class DbGrid;
class Query;
} // namespace db

// The shared enterprise picker. A caller sets the caption, unticks and
// enables CB_Context, empties and greys E_Context, sets LocalFilter and
// TableName (Prepare does all of it), runs CB_ContextClick, shows the window
// modally and on OK reads KOD and NAME of Q_Vibor's current row, then closes Q_Vibor.
class TForm_SelectFirma : public QDialog {
    Q_OBJECT
public:
    explicit TForm_SelectFirma(QWidget* parent = nullptr);

    // Creates the picker's query on the data module (once it exists).
    void AttachData();

    // Steps 1 to 4 of the callers' contract.
    void Prepare(const QString& caption, int localFilter);
    // Rebuilds and opens Q_Vibor: own enterprises, partners or all, narrowed by the typed text when ticked.
    void CB_ContextClick();
    // The typing delay Timer_Vibor: the list follows the typed text.
    void Timer_ViborTimer();

    // 0 partners only, 1 own enterprises only, 2 or more all.
    int LocalFilter = 1;
    QString TableName = QStringLiteral("FIRMA");

    db::Query* Q_Vibor = nullptr;
    // 400 ms after the last key of the typed text.
    QTimer* Timer_Vibor;
    db::DbGrid* GridFirma;
    QCheckBox* CB_Context;
    QLineEdit* E_Context;
    QPushButton* Btn_Ok;
    QPushButton* Btn_Exit;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

extern TForm_SelectFirma* Form_SelectFirma;
