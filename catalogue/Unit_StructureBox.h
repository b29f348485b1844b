#pragma once

#include "grid/ListHolder.h"

#include <QObject>

class QGroupBox;
class QPushButton;
namespace db {
class DbGrid;
class Query;
} // namespace db

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

    // The box's lists (StructureBoxLists.cpp): creates the enterprise,
    // department, warehouse and unit lists and subscribes its handlers to the
    // enterprise and department lists and the timers that reload their details.
    void ConnectLists();
    void Q_FirmaAfterScroll();
    void Q_OtdelAfterScroll();
    // Reruns the enterprises with `sql`, back on the enterprise the list stood
    // on when it is among them.
    void OpenFirma(const QString& sql);
    // Load the departments of the current enterprise (and then its
    // warehouses), the warehouses of the current department, at once; each
    // stays on the row it stood on when its master is the same.
    void Timer_OtdelTimer();
    void Timer_SkladTimer();

    // The lists the box shows; the products tab's selector grids show the
    // same enterprise, department and warehouse lists. Q_Xxx is List_Xxx's query.
    db::ListHolder* List_Firma;
    db::ListHolder* List_Otdel;
    db::ListHolder* List_Sklad;
    db::ListHolder* List_Ed;
    db::Query* Q_Firma;
    db::Query* Q_Otdel;
    db::Query* Q_Sklad;
    db::Query* Q_Ed;

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

private:
    // The departments' (warehouses') reload after a move of the enterprise
    // (department) has come: the grids are released and the chain goes on.
    void Otdel_Reloaded();
    void Sklad_Reloaded();
    void Sklad_Loaded();

    // A reload after a move of the master is due.
    bool otdelDue_ = false;
    bool skladDue_ = false;
};

extern TStructureBox* StructureBox;
