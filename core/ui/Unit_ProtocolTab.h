#pragma once

#include "engine/ProtocolFilter.h"

#include <QObject>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
namespace db {
class DbGrid;
}

// The protocol tab (Form_Main->Sheet_Reg): the protocol of user actions
// filtered by period, time of day, user and a text in the action, in one of
// three orders, and the deletion of the rows the filters select.
class TProtocolTab : public QObject {
    Q_OBJECT
public:
    explicit TProtocolTab(QObject* parent = nullptr);

    // Builds and opens the list from the filters in force.
    void Open_Protokol();
    void Sheet_RegShow();
    void Sheet_RegHide();
    void Btn_PeriodClick();
    void Btn_TimeClick();
    void Btn_UserClick();
    void Btn_SortClick();
    void CB_ParContextClick();
    void E_ParContextKeyUp();
    void Timer_OpenLogTimer();
    void Btn_DelClick();

    // The filters in force: the program-wide values, the text box and the sort choice.
    protocol::Filter CurrentFilter() const;

    QLabel* L_Parametr;
    QPushButton* Btn_Period;
    QPushButton* Btn_Time;
    QPushButton* Btn_User;
    QPushButton* Btn_Sort;
    QCheckBox* CB_ParContext;
    QLineEdit* E_ParContext;
    QPushButton* Btn_Del;
    // "Печать": the program block connects it to the printing subsystem.
    QPushButton* Btn_PrintLog;
    db::DbGrid* Grid_Protokol1;
    db::DbGrid* Grid_Protokol2;
    QTimer* Timer_OpenLog;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void greyGrids();
    void releaseGrids();
};

extern TProtocolTab* ProtocolTab;
