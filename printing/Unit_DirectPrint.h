#pragma once

// Direct printing's windows: the print-variant choice (hidden: the program
// prints through spreadsheet templates), the parameters of the printer road
// and the design texts of the printed menu.

#include "direct/MenuDirect.h"

#include <QCheckBox>
#include <QDialog>
#include <QFont>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

#include <functional>
#include <memory>

#include <cmath>
#ifdef M_E
#undef M_E
#endif

class QPrinter;
class QToolButton;
class TRadioGroup;

// An up-down control: two arrow buttons over a whole number within a range,
// without wrap-around.
class TUpDown : public QWidget {
    Q_OBJECT
public:
    TUpDown(Qt::Orientation orientation, int min, int max, int position, QWidget* parent = nullptr);
    int position() const { return position_; }
    void setPosition(int position);
    // The arrows (tests press them).
    QToolButton* up;
    QToolButton* down;
signals:
    void changingEx(int newValue);

private:
    int min_, max_, position_;
};

class TForm_DesignMenu : public QDialog {
    Q_OBJECT
public:
    explicit TForm_DesignMenu(QWidget* parent = nullptr);
    void FormCreate();
    // OK: stores the three texts with a protocol line; Cancel: reloads them.
    void BitBtn1Click();
    void BitBtn2Click();
    direct::DesignTexts texts() const;
    void setTexts(const direct::DesignTexts& t);

    QPlainTextEdit* M_Z;
    QLineEdit* E_T;
    QPlainTextEdit* M_E;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
};

class TForm_PrintParam : public QDialog {
    Q_OBJECT
public:
    explicit TForm_PrintParam(QWidget* parent = nullptr);
    ~TForm_PrintParam() override;
    void FormCreate();
    void BitBtn1Click();  // printer setup
    void BitBtn2Click();  // font
    void BitBtn4Click();  // the menu's design texts

    // The parameters as the up-downs, the tick and the font dialog hold them.
    direct::PrintParams params() const;
    // The nine lines of MyPrtPar.txt for a road, from the edits.
    void writeParFile(int road) const;

    // Runs a print job on the chosen printer (or the one tests install).
    void print(const std::function<void(direct::Canvas&, const direct::PrintParams&)>& job);
    // The cell printer on the current job's canvas.
    void PrintCell(int x, int& line, int sizeCap, const QString& text, bool rule);

    TUpDown *MWidth, *MHeight, *OWidth, *OHeight, *HStr;
    QLineEdit *E_MWidth, *E_MHeight, *E_OWidth, *E_OHeight, *E_HStr;
    QCheckBox* LineExist;
    QPushButton *BitBtn1, *BitBtn2, *BitBtn4;
    QFont font;             // the font dialog's choice
    QPrinter* printer;      // the printer and page used
    // Tests replace the dialogs.
    std::function<bool(QPrinter*)> printerSetup;
    std::function<bool(QFont&)> fontDialog;

private:
    direct::FontStyle canvasStyle_;  // kept from one job to the next
    direct::Canvas* job_ = nullptr;
};

class TForm_VariantsPrint : public QDialog {
    Q_OBJECT
public:
    explicit TForm_VariantsPrint(QWidget* parent = nullptr);
    void FormShow();
    void RadioGroup1Click();
    void BitBtn1Click();
    void BitBtn2Click();

    TRadioGroup* RadioGroup1;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;

protected:
    void showEvent(QShowEvent* e) override;
};

// Created on first use and kept for the run.
TForm_VariantsPrint* VariantsPrint();
TForm_PrintParam* PrintParam();
TForm_DesignMenu* DesignMenu();

extern TForm_VariantsPrint* Form_VariantsPrint;
extern TForm_PrintParam* Form_PrintParam;
extern TForm_DesignMenu* Form_DesignMenu;
