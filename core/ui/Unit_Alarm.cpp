#include "Unit_Alarm.h"

#include "Scaling.h"
#include "util/Messages.h"
#include "util/OfficeSession.h"
#include "util/Settings.h"
#include "util/Unit_Util.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include <stdexcept>

TForm_Alarm* Form_Alarm = nullptr;

void PrintLinesToSpreadsheet(const QStringList& lines)
{
    TOfficeSession& s = OfficeSession;
    if (!MyParams->v.PrintPrgOpenOffice) {
        if (!s.ExcelWriteColumn)
            throw std::runtime_error("Не удалось запустить Excel.");
        s.ExcelWriteColumn(lines);
        return;
    }
    if (!s.OfficeConnect || !s.OfficeNewCalc || !s.OfficeConnect() || !s.OfficeNewCalc()) {
        Msg::notice(QStringLiteral("Проверте установлен ли у Вас OpenOffice верссии не ниже 3.2 !"));
        return;
    }
    for (int i = 0; i < lines.size(); ++i)
        s.SetCellString(0, i, lines[i]);
    if (s.ShowDocument)
        s.ShowDocument();
    if (s.OfficeDisconnect)
        s.OfficeDisconnect();
}

TForm_Alarm::TForm_Alarm(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Внимание ! ! !"));
    auto* layout = new QVBoxLayout(this);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setMinimumSize(520, 300);
    layout->addWidget(Memo1);
    auto* buttons = new QHBoxLayout;
    BitBtn1 = new QPushButton(QStringLiteral("Печать"), this);
    Btn_Exit = new QPushButton(QStringLiteral("Выход"), this);
    buttons->addWidget(BitBtn1);
    buttons->addStretch();
    buttons->addWidget(Btn_Exit);
    layout->addLayout(buttons);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { Guard([this] { BitBtn1Click(); }); });
    connect(Btn_Exit, &QPushButton::clicked, this, &QDialog::reject);
    adjustSize();
    ScaleWindow(this, true);
}

TForm_Alarm::~TForm_Alarm()
{
    if (Form_Alarm == this)
        Form_Alarm = nullptr;
}

void TForm_Alarm::BitBtn1Click()
{
    QStringList lines = Memo1->toPlainText().split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();  // a closing line break starts no line of its own
    PrintLinesToSpreadsheet(lines);
}
