#pragma once

#include "util/FirstUse.h"

#include "NameInfoDialog.h"

// A warehouse of the current department (the structure box's Q_Otdel): a new one or the current row of its Q_Sklad.
class TForm_Sklad : public TNameInfoDialog {
    Q_OBJECT
public:
    explicit TForm_Sklad(QWidget* parent = nullptr);

    void Btn_OkClick() override;

protected:
    db::Query* List() const override;
};

extern FirstUse<TForm_Sklad> Form_Sklad;
