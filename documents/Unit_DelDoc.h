#pragma once

#include "util/FirstUse.h"

#include "ui/RadioGroup.h"

#include <QCheckBox>
#include <QDialog>
#include <QPushButton>

namespace db {
class Query;
}

// What the movement tab tells the deletion about its list, for the protocol
// line of a deletion by the list's conditions.
struct DeleteListInfo {
    QString period;   // the tab's period caption
    QString types;    // the type filter's text
    int detail = 0;   // "Детализация выборки": 0 every enterprise, 1 the enterprise's departments, 2 one department
    QString firma;    // names of the current enterprise and department
    QString otdel;
};

// The document deletion dialog: the current document or every listed one,
// with or without undoing their effect on stock.
class TForm_DelDoc : public QDialog {
    Q_OBJECT
public:
    explicit TForm_DelDoc(QWidget* parent = nullptr);
    ~TForm_DelDoc() override;

    TRadioGroup* RG;
    QCheckBox* CB_Otkat;
    TRadioGroup* RadioGroup1;
    QPushButton* Btn_Ok;
    QPushButton* Btn_Cancel;
    QPushButton* BitBtn1;  // hidden OK

    // The list the documents are deleted from and what the caller says of it.
    db::Query* List = nullptr;
    bool SalesTab = false;
    DeleteListInfo Info;

    void FormCreate();
    void FormShow();
    void CB_OtkatClick();
    void RGClick();
    void RadioGroup1Click();
    void Btn_OkClick();
    void DeleteDocs(db::Query* list);

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Set while the dialog itself changes CB_Otkat: that click is skipped.
    bool suppress_ = false;
    void setOtkat(bool checked);
};

extern FirstUse<TForm_DelDoc> Form_DelDoc;

// Shows the deletion for a list (the movement list, or the production and
// sales list when salesTab); true when documents were deleted. The list is
// one a list holder keeps: the deletion's commit reloads it.
bool ShowDeleteDocs(db::Query* list, bool salesTab, const DeleteListInfo& info = {});

void CreateDeleteWindow();
void DestroyDeleteWindow();
