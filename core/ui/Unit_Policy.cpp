#include "Unit_Policy.h"
#include "engine/EngineDb.h"
#include "engine/ShownRow.h"

#include "Scaling.h"
#include "base/Unit_Base.h"
#include "util/Globals.h"
#include "util/Unit_Util.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

FirstUse<TForm_Policy> Form_Policy;

const QList<UserRightInfo>& UserRightsTable()
{
    static const QList<UserRightInfo> table = {
        {1, "CB_All", "Все права"},
        {6, "CB_Menu", "Меню / Наряды"},
        {5, "CB_Move", "Движение"},
        {4, "CB_Sklad", "Наличие на складах и цены"},
        {3, "CB_Nomen", "Номенклатура продуктов и блюд"},
        {2, "CB_Ing", "Продукты и блюда"},
        {16, "CB_Setup", "Настройка"},
        {9, "CB_DelDoc", "Удаление документов"},
        {8, "CB_Inv", "Инвентаризация"},
        {15, "CB_Protokol", "Протокол работы программы"},
        {7, "CB_Real", "Производство и реализация"},
        {13, "CB_Kard", "Калькуляционная карта"},
        {10, "CB_DelGroup", "Удаление групп продуктов"},
        {11, "CB_NewIng", "Создание продукта"},
        {12, "CB_DelIng", "Удаление продукта"},
        {14, "CB_CenaIng", "Ценовые свойства продукта"},
    };
    return table;
}

TForm_Policy::TForm_Policy(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setWindowTitle(QStringLiteral("Перечень регулируемых прав пользователей"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    QList<QCheckBox**> members = {&CB_All,    &CB_Menu,     &CB_Move,  &CB_Sklad,    &CB_Nomen,  &CB_Ing,
                                  &CB_Setup,  &CB_DelDoc,   &CB_Inv,   &CB_Protokol, &CB_Real,   &CB_Kard,
                                  &CB_DelGroup, &CB_NewIng, &CB_DelIng, &CB_CenaIng};
    const QList<UserRightInfo>& table = UserRightsTable();
    for (int i = 0; i < members.size(); ++i) {
        const QString text = i == 0 ? QStringLiteral("Доступны все права") : QString::fromUtf8(table[i].caption);
        *members[i] = new QCheckBox(text, this);
        (*members[i])->setObjectName(QString::fromLatin1(table[i].box));
    }
    layout->addWidget(CB_All);
    auto* grid = new QGridLayout;
    // Shown by subject: the tabs first, then the functions.
    const QList<QCheckBox*> shown = {CB_Ing,  CB_Nomen,    CB_Sklad, CB_Move,    CB_Menu,   CB_Real,
                                     CB_Inv,  CB_Protokol, CB_Setup, CB_DelDoc,  CB_DelGroup, CB_NewIng,
                                     CB_DelIng, CB_Kard,   CB_CenaIng};
    for (int i = 0; i < shown.size(); ++i)
        grid->addWidget(shown[i], i % 8, i / 8);
    grid->setContentsMargins(16, 0, 0, 0);
    layout->addLayout(grid);
    layout->addSpacing(6);
    auto* row = new QHBoxLayout;
    Btn_Ok = new QPushButton(QStringLiteral("OK"), this);
    Btn_Ok->setDefault(true);
    Btn_Cancel = new QPushButton(QStringLiteral("Отмена"), this);
    row->addStretch();
    row->addWidget(Btn_Ok);
    row->addWidget(Btn_Cancel);
    row->addStretch();
    layout->addLayout(row);
    connect(CB_All, &QCheckBox::toggled, this, [this] { CB_AllClick(); });
    connect(Btn_Ok, &QPushButton::clicked, this, [this] {
        if (Guard([this] { Btn_OkClick(); }))
            accept();
    });
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    adjustSize();
    ScaleWindow(this, false);
}

TForm_Policy::~TForm_Policy()
{
    if (Form_Policy.made() == this)
        Form_Policy = nullptr;
}

QList<QCheckBox*> TForm_Policy::boxes() const
{
    return {CB_All,  CB_Menu,     CB_Move, CB_Sklad, CB_Nomen,    CB_Ing,   CB_Setup,  CB_DelDoc,
            CB_Inv,  CB_Protokol, CB_Real, CB_Kard,  CB_DelGroup, CB_NewIng, CB_DelIng, CB_CenaIng};
}

QCheckBox* TForm_Policy::boxOf(int number) const
{
    const QList<UserRightInfo>& table = UserRightsTable();
    const QList<QCheckBox*> all = boxes();
    for (int i = 0; i < table.size(); ++i)
        if (table[i].number == number)
            return all[i];
    return nullptr;
}

void TForm_Policy::CB_AllClick()
{
    const bool all = CB_All->isChecked();
    for (QCheckBox* b : boxes())
        if (b != CB_All)
            b->setEnabled(!all);
}

void TForm_Policy::ShowRights(const QList<int>& numbers)
{
    for (QCheckBox* b : boxes())
        b->setChecked(false);
    CB_AllClick();
    if (!numbers.isEmpty() && numbers.first() == 1) {
        CB_All->setChecked(true);
        CB_AllClick();
        return;
    }
    for (int n : numbers)
        if (n >= 2 && n <= 16)
            boxOf(n)->setChecked(true);
}

void TForm_Policy::Btn_OkClick()
{
    WriteTransaction w(WriteTransaction::Reserve::Users);
    engine::ClaimRow(w.context(), QStringLiteral("PERSON"), personKod, personFio);
    if (!CB_Nomen->isChecked() && !CB_Sklad->isChecked() && !CB_Move->isChecked())
        CB_Ing->setChecked(false);
    const QString key = Key(personKod);
    const auto writer = engine::Writer(w.context());
    db::Query* q = writer.get();
    q->setSql(QStringLiteral("DELETE FROM PERSON_POLICY WHERE KOD_PERSON = ") + key);
    q->execSql();
    const QList<UserRightInfo>& table = UserRightsTable();
    const QList<QCheckBox*> all = boxes();
    for (int i = 0; i < table.size(); ++i) {
        if (!all[i]->isChecked())
            continue;
        q->setSql(QStringList{QStringLiteral("INSERT INTO PERSON_POLICY (KOD_PERSON, PARAM1, PARAM3)"),
                              QStringLiteral("VALUES (:KP, :P1, :P3)")});
        q->param(QStringLiteral("KP")).setInt64(personKod);
        q->param(QStringLiteral("P1")).setInt(table[i].number);
        q->param(QStringLiteral("P3")).setString(QString::fromUtf8(table[i].caption));
        q->execSql();
        if (all[i] == CB_All) {
            q->setSql(QStringLiteral("DELETE FROM PERSON_POLICY WHERE KOD_PERSON = ") + key +
                      QStringLiteral(" AND PARAM1 <> 1"));
            q->execSql();
            break;
        }
    }
    w.commit(QStringLiteral("Настройка"),
             QStringLiteral("Отредактированы права пользователя <<") + personFio +
                            QStringLiteral(">> Логин <<") + personLogin + QStringLiteral(">>"));
}
