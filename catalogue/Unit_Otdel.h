#pragma once

#include "util/FirstUse.h"

#include "NameInfoDialog.h"

// A department of the current enterprise (the structure box's Q_Firma): a new one or the current row of its Q_Otdel.
class TForm_Otdel : public TNameInfoDialog {
    Q_OBJECT
public:
    explicit TForm_Otdel(QWidget* parent = nullptr);

    void Btn_OkClick() override;

protected:
    db::Query* List() const override;
};

extern FirstUse<TForm_Otdel> Form_Otdel;
