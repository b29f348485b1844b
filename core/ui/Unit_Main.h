#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QPointer>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>

#include <functional>

class TAnalogClock;
namespace db {
class DbGrid;
}

// The main window: the start page, the tabs shown by the user's rights and
// the orderly shut-down. The tabs' contents belong to their subsystems.
class TForm_Main : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm_Main(QWidget* parent = nullptr);
    ~TForm_Main() override;

    void FormCreate();
    void Hide_AllTabs();
    void Apply_UserRights();
    void Btn_VhodClick();
    void Btn_NetClick();
    // The connection to the database is gone (the user has been told): the
    // start page with "Подключения" comes to the front; the page the user was
    // on comes back once the connection is made again.
    void ConnectionLost();
    void Btn_PersonClick();
    void Label_MailClick();
    // The start page's clock runs only while the page is shown.
    void Sheet_HelloShow();
    void Sheet_HelloHide();
    // Shut-down: the closing protocol line when connected; returns when the database is closed.
    void FormClose();

    // Pages: the start page is shown without a tab; the other pages are tabs.
    QWidget* ActivePage() const;
    void SetActivePage(QWidget* page);
    bool TabShown(QWidget* page) const;
    QWidget* ActiveInnerPage() const;

    QStackedWidget* Stack;
    QTabWidget* PageControl1;
    QTabWidget* PageControl2;
    QWidget* Sheet_Hello;
    QWidget* Sheet_Ing;
    QWidget* Sheet_All_Ing;
    QWidget* Sheet_Sklad_Ing;
    QWidget* Sheet_Move;
    QWidget* Sheet_Menu;
    QWidget* Sheet_Real;
    QWidget* Sheet_Setup;
    QWidget* Sheet_Reg;

    // Start page.
    QLabel* JvxLabel1;
    TAnalogClock* JvAnalogClock1;
    QLabel* Image1;
    QLabel* Image2;
    QLabel* Image3;
    QLabel* Image4;
    QLabel* Image5;
    QPushButton* Btn_Net;
    QPushButton* Btn_Vhod;
    QLabel* Label_Mail;
    QLabel* Label_Web;

    // The users button, set by the tab that shows it.
    QPointer<QPushButton> Btn_Person;

    // Calls into the core's own dialogs (log-in, connection settings, users window).
    struct Hooks {
        std::function<bool()> showLogin;       // the log-in dialog; true when it closed with OK
        std::function<bool()> showConnection;  // the connection settings dialog
        std::function<void()> showUsers;       // the users window
        std::function<void()> reloadUserRights;  // rights reload of the users window
    } hooks;

    static QString ContactMail();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildStartPage();
    bool closing_ = false;
    QPointer<QWidget> pageBeforeLoss_;
};

extern TForm_Main* Form_Main;
