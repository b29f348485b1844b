#pragma once

#include "util/FirstUse.h"

#include "RadioGroup.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include <functional>
#include <optional>

// The connection settings dialog: the working mode, the server's address and
// the database path, written to Net.txt beside the program. It never touches
// the database; the caller reconnects (or ends the program) on an OK result.
class TForm_Net : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Net(QWidget* parent = nullptr);
    ~TForm_Net() override;

    TRadioGroup* RadioGroup1;
    QLineEdit* E_IP1;
    QLineEdit* E_IP2;
    QLineEdit* E_IP3;
    QLineEdit* E_IP4;
    QLineEdit* E_Port;  // the server's port; empty: the standard one
    QLineEdit* E_Path;
    QToolButton* SpeedButton1;
    QPushButton* Btn_Default;
    QPushButton* BtnOK;
    QPushButton* BtnCancel;
    QPushButton* BitBtn1;  // hidden OK
    QPushButton* BitBtn2;  // the database password dialog

    void FormCreate();
    void FormShow();
    void RadioGroup1Click();
    void Btn_DefaultClick();
    void SpeedButton1Click();
    void BtnOKClick();
    void BitBtn2Click();

    // The file-open dialog of SpeedButton1; tests replace it.
    static std::function<QString(QWidget*)> pickDatabaseFile;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QList<QLineEdit*> ipEdits() const { return {E_IP1, E_IP2, E_IP3, E_IP4}; }
    // The local mode's host as Net.txt named it ("localhost", "127.0.0.1"), written back as it was.
    QString localHost_ = QStringLiteral("localhost");
};

extern FirstUse<TForm_Net> Form_Net;

// ---- the dialog's rules, without the dialog ----

struct NetForm {
    int mode = 0;     // 0 local, 1 network
    QString ip[4];
    QString path;
    QString port;     // empty: the server's standard port
    QString host = QStringLiteral("localhost");  // the local mode's
};

struct NetRefusal {
    QString text;
    int field;        // 0..3 the address parts, 4 the path, 5 the port
};

// The default database path: the program's folder and "basecalc.fdb".
QString DefaultDatabasePath();
// The dialog's fields from the two lines of Net.txt; nothing for an unknown mode.
std::optional<NetForm> NetFormFromLines(const QString& mode, const QString& connection);
// The first refusal of the OK button, in the order the dialog checks.
std::optional<NetRefusal> CheckNetForm(const NetForm& form, const std::function<bool(const QString&)>& fileExists);
// The two lines Net.txt receives for accepted fields.
std::pair<QString, QString> NetLinesFromForm(const NetForm& form);
