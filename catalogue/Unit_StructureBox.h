#pragma once

#include <QObject>

class QGroupBox;
class QPushButton;
namespace db {
class DbGrid;
}

// The settings tab's structure box ("Структура предприятия и контрагенты":
// enterprises, their departments and warehouses) and units box ("Единицы
// измерения"), with the handlers of their buttons. Built into
// Form_Main->Sheet_Setup; the rest of the tab belongs to the settings.
class TStructureBox : public QObject {
    Q_OBJECT
public:
    explicit TStructureBox(QObject* parent = nullptr);

    void Sheet_SetupShow();
    void Btn_Add_FirmaClick();
    void Btn_Upd_FirmaClick();
    void Btn_Del_FirmaClick();
    void Btn_Add_OtdelClick();
    void Btn_Upd_OtdelClick();
    void Btn_Del_OtdelClick();
    void Btn_Add_SkladClick();
    void Btn_Upd_SkladClick();
    void Btn_Del_SkladClick();
    void Btn_Add_EdClick();
    void Btn_Upd_EdClick();
    void Btn_Del_EdClick();
    void Btn_ShabClick();

    // The box's lists (StructureBoxLists.cpp): subscribes its handlers to the
    // enterprise and department lists and the timers that reload their details.
    void ConnectLists();
    void Q_FirmaAfterScroll();
    void Q_OtdelAfterScroll();
    void Timer_OtdelTimer();
    void Timer_SkladTimer();

    QGroupBox* GroupBox_Structure;
    QGroupBox* GroupBox_Ed;
    db::DbGrid* Grid_Firma;
    db::DbGrid* Grid_Otdel;
    db::DbGrid* Grid_Sklad;
    db::DbGrid* Grid_Ed;
    QPushButton* Btn_Add_Firma;
    QPushButton* Btn_Upd_Firma;
    QPushButton* Btn_Del_Firma;
    QPushButton* Btn_Add_Otdel;
    QPushButton* Btn_Upd_Otdel;
    QPushButton* Btn_Del_Otdel;
    QPushButton* Btn_Add_Sklad;
    QPushButton* Btn_Upd_Sklad;
    QPushButton* Btn_Del_Sklad;
    QPushButton* Btn_Add_Ed;
    QPushButton* Btn_Upd_Ed;
    QPushButton* Btn_Del_Ed;
    QPushButton* Btn_Shab;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

extern TStructureBox* StructureBox;
