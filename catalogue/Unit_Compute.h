#pragma once

#include "costing/Recompute.h"

#include <QDialog>

class QPushButton;
class TRadioGroup;

// Options of the price recomputation: where, what, whether rows with stock
// keep their stock price and whether hidden dishes are recomputed. The
// choices stay between showings, except RadioGroup2, which every showing
// sets back to "НЕ пересчитывать".
class TForm_Compute : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Compute(QWidget* parent = nullptr);
    ~TForm_Compute() override;

    TRadioGroup* RadioGroup1;  // 0 the department, 1 the enterprise, 2 every enterprise
    TRadioGroup* RG_Ing;       // 0 the selected product, 1 the selected group, 2 every product
    TRadioGroup* RadioGroup2;  // rows with stock: 0 recompute the stock price, 1 keep it
    TRadioGroup* RG_Shadow;    // hidden dishes: 0 recompute, 1 skip
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;

    // The products tab's "Расчёт цен" (Btn_CalcClick): the recomputation with
    // this dialog for the current enterprise and department (the structure box's Q_Firma, Q_Otdel),
    // with its protocol line. Shows any failure itself.
    static void Execute();

protected:
    void showEvent(QShowEvent* event) override;
};

extern TForm_Compute* Form_Compute;

// Levels, cost and selling prices and calories. Product 0: the dialog decides
// the scope, firma and otdel being the selected enterprise and department;
// otherwise every department row of the product, without the dialog. With
// log set the operation owns the write transaction, commits it with the
// protocol line and then shows the run's warnings; without, it works inside
// the caller's write transaction, commits nothing and shows nothing: the
// caller shows the warnings it returns once its own road has committed
// (ShowPriceWarnings). A fault of the cards throws (CardError) with nothing written.
costing::RecomputeResult ComputePrices(bool log, qint64 firma, qint64 otdel, qint64 product);

// The warning window of a run that stopped at a product without a price or
// found a price set by hand below the cost; nothing for a run without them.
void ShowPriceWarnings(const costing::RecomputeResult& result);
