#include "Unit_Var.h"

#include "engine/ShownRow.h"
#include "engine/WriteRoad.h"
#include "templates/TemplateAdmin.h"
#include "util/Messages.h"
#include "util/Unit_Util.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

FirstUse<TForm_Var> Form_Var;

TForm_Var::TForm_Var(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Переменная для печати"));
    auto* lay = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    E_Caption = new QLineEdit(this);
    E_Caption->setMaxLength(50);
    E_Caption->setMinimumWidth(300);
    E_Name = new QLineEdit(this);
    E_Name->setMaxLength(25);
    CB_Location = new QComboBox(this);
    CB_Location->addItems({QStringLiteral("Строка таблицы"), QStringLiteral("Группа / раздел"),
                           QStringLiteral("Итоги таблицы"), QStringLiteral("Шапка таблицы"),
                           QStringLiteral("Окончание таблицы")});
    CB_Type = new QComboBox(this);
    CB_Type->addItems({QStringLiteral("Динамическая"), QStringLiteral("Статическая")});
    E_Sort = new QLineEdit(this);
    form->addRow(QStringLiteral("Название переменной"), E_Caption);
    form->addRow(QStringLiteral("Имя переменной"), E_Name);
    form->addRow(QStringLiteral("Где используется"), CB_Location);
    form->addRow(QStringLiteral("Тип"), CB_Type);
    form->addRow(QStringLiteral("Номер по порядку"), E_Sort);
    lay->addLayout(form);
    auto* buttons = new QHBoxLayout;
    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(QStringLiteral("Отмена"), this);
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    lay->addLayout(buttons);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { Guard([this] { BitBtn1Click(); }); });
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    FormCreate();
}

void TForm_Var::FormCreate() { AddMode = false; }

void TForm_Var::BitBtn1Click()
{
    const auto refuse = [](const QString& text, QLineEdit* field) {
        Msg::notice(text);
        field->setFocus();
    };
    if (E_Name->text().isEmpty())
        return refuse(QStringLiteral("Нет названия переменной !"), E_Name);
    if (E_Caption->text().isEmpty())
        return refuse(QStringLiteral("Нет Наименования !"), E_Caption);
    if (E_Sort->text().isEmpty())
        return refuse(QStringLiteral("Нет сортировки !"), E_Sort);
    bool whole = false;
    const int sort = E_Sort->text().trimmed().toInt(&whole);
    if (!whole)
        return refuse(QStringLiteral("Номер по порядку должен быть целым числом !"), E_Sort);
    for (QLineEdit* e : {E_Name, E_Caption}) {
        const QString bad = templates::UnstorableChars(e->text());
        if (!bad.isEmpty())
            return refuse(QStringLiteral("Текст содержит символы, которые нельзя сохранить в базе данных (вне кодировки "
                                         "Windows-1251): ") +
                              bad,
                          e);
    }
    templates::VarDefinition v;
    v.namevar = E_Name->text();
    v.name = E_Caption->text();
    v.location = CB_Location->currentIndex();
    v.staticType = CB_Type->currentIndex();
    v.sort = sort;
    {
        WriteTransaction w(templates::kRoad);
        // A template another workstation deleted meanwhile takes no variable.
        engine::ClaimRow(w.context(), QStringLiteral("PRINT_FORMS"), FormKod, FormName);
        StoredKod = templates::StoreVariable(w.context(), FormKod, AddMode ? 0 : VarKod, v);
        w.commit(QStringLiteral("Настройка"), (AddMode ? QStringLiteral("Добавлена переменная шаблона печати: ")
                                                       : QStringLiteral("Изменена переменная шаблона печати: ")) +
                                                  v.namevar + QStringLiteral("; ") + v.name);
    }
    accept();
}
