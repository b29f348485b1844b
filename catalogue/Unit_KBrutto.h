#pragma once

#include "util/FirstUse.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

// The gross coefficient from a gross and a net weight: the opener clears
// both edits, shows the window and on OK reads both.
class TForm_KBrutto : public QDialog {
    Q_OBJECT
public:
    explicit TForm_KBrutto(QWidget* parent = nullptr);
    ~TForm_KBrutto() override;

    void BitBtn1Click();
    // The edits' input filter: digits and one decimal separator.
    static bool AcceptsKey(const QString& current, const QString& typed);

    // The product dialog's opener: true on OK with both weights.
    static bool Execute(double& brutto, double& netto);

    QLineEdit* E_Netto;
    QLineEdit* E_Brutto;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
    QPushButton* BitBtn3;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

extern FirstUse<TForm_KBrutto> Form_KBrutto;
