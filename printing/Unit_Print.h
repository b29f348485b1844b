#pragma once

#include "engine/ShownRow.h"
#include "util/FirstUse.h"

// The print-template window: the print lists, their templates and the
// templates' variables, with the panels that edit a template's layout and a
// variable's cell, text and format; upload, download, copy and delete of
// templates; the developer mode (switched off as delivered).

#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <optional>

namespace db {
class DbGrid;
class ListHolder;
class Query;
}
namespace templates {
struct FormPanel;
struct VarPanel;
}
class TRadioGroup;

class TForm_Print : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Print(QWidget* parent = nullptr);

    // The file dialogs and the font dialog; tests replace them. An empty
    // name or no font means the dialog was cancelled.
    static std::function<QString(QWidget*, const QString& caption, const QString& folder, const QString& filter)> pickOpenFile;
    static std::function<QString(QWidget*, const QString& caption, const QString& folder, const QString& filter)> pickSaveFile;
    static std::function<std::optional<QFont>(QWidget*, const QFont& initial)> pickFont;

    // Modified state: SE shows the template edited (the mark, Save and
    // Cancel); MarkUnmodified takes them away again once saved or undone.
    void SE();
    void MarkUnmodified();
    void DisableShablon();
    void Zap_Forma();
    void Zap_Var();

    void FormShow();
    void Timer_Open_FormsTimer();
    void Timer_Open_VarTimer();
    void BtnSaveClick();
    void BtnCancelClick();
    void BtnExitClick();
    void BtnNewSabClick();
    void BtnDeleteClick();
    void SpeedButton1Click();  // upload
    void BitBtn5Click();       // download for editing
    void BitBtn1Click();       // the rules window
    void Btn_ExpImpClick();
    void BtnFont1Click();
    // Steps the field by the arrow button's mode (0 left, 1 right, 2 up, 3 down).
    void StepField(QLineEdit* field, int mode);
    void StepZoom(int delta);
    void Merge_FieldClick();

    // Developer mode.
    void Btn_ConstructorClick();
    void E_NameDblClick();
    void L_Name_VarDblClick();
    void Btn_Add_VClick();
    void Btn_Add_FClick();
    void Btn_Prt_ValueClick();

    // The window's lists (PrintEditorLists.cpp): makes QPrintSpis, QPrintForms
    // and QPrintVar once the data module exists and subscribes its handlers.
    void ConnectLists();
    void QPrintSpisBeforeScroll();
    void QPrintSpisAfterScroll();
    void QPrintFormsBeforeScroll();
    void QPrintFormsAfterScroll();
    void QPrintVarBeforeScroll();
    void QPrintVarAfterScroll();
    void AskToSave();

    // The current rows: list number (KOD_SPISOK), template and variable keys, 0 for none.
    int ListNo() const;
    qint64 FormKod() const;
    qint64 VarKod() const;

    bool Modified = false;         // a template or variable was edited and not saved
    // Set while a save asked for on leaving a row runs: the panels stay as the move leaves them.
    std::uint8_t PrintSaving = 0;
    bool ConstructorMode = false;  // developer mode: samples editable, variables defined
    // What the panels show of the template and of its variable: the save
    // writes those rows, refused when another workstation changed or deleted
    // them since.
    engine::ShownRow ShownForm;
    engine::ShownRow ShownVar;

    // The print lists, the templates of the current list and the variables of
    // the current template; each holder reloads its list after a commit to its table.
    db::ListHolder* List_Spis = nullptr;
    db::ListHolder* List_Forms = nullptr;
    db::ListHolder* List_Var = nullptr;
    db::Query* QPrintSpis = nullptr;
    db::Query* QPrintForms = nullptr;
    db::Query* QPrintVar = nullptr;

    QTimer* Timer_Open_Forms;
    QTimer* Timer_Open_Var;
    db::DbGrid* GridSpis;
    db::DbGrid* GridForms;
    db::DbGrid* GridVar;

    QGroupBox* GroupBox1;  // "Общие параметры шаблона"
    QLineEdit* E_Name;
    QPushButton* BitBtn1;
    QLineEdit* E_XY_Head;
    QLineEdit* E_XY_Tail;
    QLineEdit* E_Start_Bord;
    QLineEdit* E_End_Bord;
    QLineEdit* E_Zoom;
    TRadioGroup* RG_Setka;
    QCheckBox* DefaultForm;
    QPushButton* SpeedButton1;
    QPushButton* BitBtn5;
    QLabel* L_Show_Edit;
    QToolButton* SpeedButton[25] = {};  // the arrow buttons, by their number

    QGroupBox* GroupBox2;  // "Параметры переменных шаблона"
    QLabel* L_Name_Var;
    QLabel* L_Location;
    QCheckBox* Enabled_Var;
    QCheckBox* CB_LineOnOff;
    QPlainTextEdit* Memo1;
    QLabel* L_Static;
    QLineEdit* E_Start_Field;
    QLineEdit* E_End_Field;
    QCheckBox* Merge_Field;
    QCheckBox* Wrap_Text;
    QLineEdit* E_Text_Static;
    QLineEdit* E_Text_Before;
    QLineEdit* E_Text_After;
    QCheckBox* My_Font;
    QPushButton* BtnFont1;
    QLabel* L_Sample1;
    QCheckBox* My_Align;
    TRadioGroup* RG_Alignment;

    QPushButton* Btn_ExpImp;
    QPushButton* BtnNewSab;
    QPushButton* BtnSave;
    QPushButton* BtnCancel;
    QPushButton* BtnDelete;
    QPushButton* BtnExit;
    QPushButton* Btn_Constructor;
    QPushButton* Btn_Add_V;
    QPushButton* Btn_Add_F;
    QPushButton* Btn_Prt_Value;

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void makeLists();
    void buildTemplatePanel();
    void buildVariablePanel();
    void buildButtons();
    void colourEnabledVar();
    void openTemplates(const QString& order);
    void openVariables(const QString& order);
    // After the list's holder has moved it to another template (a copy, a
    // deletion): the panel, the lock and the variables of that template.
    void showCurrentTemplate();
    templates::FormPanel formPanel() const;
    templates::VarPanel varPanel() const;
    // Refuses texts the database cannot hold, naming the characters.
    bool textsStorable();
    QString listName() const;
    QString formName() const;
    bool loading_ = false;  // panels being filled: no modified state
};

extern TForm_Print* Form_Print;

// The rules of setting up templates.
class TForm_PrintHelp : public QDialog {
    Q_OBJECT
public:
    explicit TForm_PrintHelp(QWidget* parent = nullptr);
    QPlainTextEdit* Memo1;
};

extern FirstUse<TForm_PrintHelp> Form_PrintHelp;
