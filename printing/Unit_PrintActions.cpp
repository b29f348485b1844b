// The template window's writers: save, upload, download, copy, delete, and
// the developer mode's rename, new sample, variable dialog and variable list.

#include "Unit_Print.h"
#include "Unit_ExpImp.h"
#include "Unit_Var.h"

#include "entries/Office.h"

#include "base/Unit_Base.h"
#include "engine/RowRefusal.h"
#include "engine/ShownRow.h"
#include "engine/WriteRoad.h"
#include "grid/DatasetModel.h"
#include "grid/ListHolder.h"
#include "templates/TemplateAdmin.h"
#include "ui/RadioGroup.h"
#include "ui/Unit_Name.h"
#include "util/Messages.h"
#include "util/ProgramFiles.h"
#include "util/Unit_Util.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString kArea = QStringLiteral("Настройка");
const QString kFilter = QStringLiteral("Excel шаблоны (*.xls)");

QString fieldText(const db::Query* q, const char* name)
{
    if (!q->active() || q->isEmpty() || q->recNo() < 0)
        return QString();
    return q->field(QString::fromLatin1(name)).asString();
}

// The name dialog as the copy and the rename show it; the entered name, or
// nothing when cancelled.
std::optional<QString> askName(const QString& caption, const QString& text)
{
    Form_Name->setWindowTitle(caption);
    Form_Name->DateTimePicker1->hide();
    Form_Name->Panel2->hide();
    Form_Name->Edit2->clear();
    Form_Name->Edit1->setText(text);
    if (Msg::execModal(Form_Name) != QDialog::Accepted || Form_Name->Edit1->text().isEmpty())
        return std::nullopt;
    return Form_Name->Edit1->text();
}

bool refuseUnstorable(const QString& text)
{
    const QString bad = templates::UnstorableChars(text);
    if (bad.isEmpty())
        return false;
    Msg::notice(QStringLiteral("Текст содержит символы, которые нельзя сохранить в базе данных (вне кодировки "
                               "Windows-1251): ") +
                bad);
    return true;
}

} // namespace

templates::FormPanel TForm_Print::formPanel() const
{
    templates::FormPanel f;
    f.name = E_Name->text();
    f.headYX = E_XY_Head->text();
    f.tailYX = E_XY_Tail->text();
    f.startLine = E_Start_Bord->text();
    f.endLine = E_End_Bord->text();
    f.zoom = E_Zoom->text().toInt();
    f.setka = RG_Setka->itemIndex();
    f.defaul = DefaultForm->isChecked();
    return f;
}

templates::VarPanel TForm_Print::varPanel() const
{
    templates::VarPanel v;
    v.kod = VarKod();
    v.enabled = Enabled_Var->isChecked();
    v.opis = Memo1->toPlainText();
    v.xStart = E_Start_Field->text();
    v.xEnd = E_End_Field->text();
    v.setka = CB_LineOnOff->isChecked();
    v.wrapp = Wrap_Text->isChecked();
    v.mergee = Merge_Field->isChecked();
    v.alignment = std::max(0, RG_Alignment->itemIndex());
    v.myAlignment = My_Align->isChecked();
    v.textAfter = E_Text_After->text();
    v.textBefore = E_Text_Before->text();
    v.textStatic = E_Text_Static->text();
    v.myFont = My_Font->isChecked();
    const QFont f = L_Sample1->font();
    v.fontName = f.family();
    v.fontSize = f.pointSize();
    v.fontBold = f.bold();
    v.fontItalic = f.italic();
    v.fontUnderline = f.underline();
    return v;
}

bool TForm_Print::textsStorable()
{
    for (const QString& t : {E_Name->text(), E_Text_Static->text(), E_Text_Before->text(), E_Text_After->text(),
                             Memo1->toPlainText()})
        if (refuseUnstorable(t))
            return false;
    return true;
}

void TForm_Print::BtnSaveClick()
{
    const bool onScroll = PrintSaving != 0;
    PrintSaving = 0;
    // The panels are saved into the rows they show, whatever row the lists stand on by now.
    const qint64 formKod = ShownForm.key();
    if (formKod == 0) {
        MarkUnmodified();
        return;
    }
    if (!textsStorable())
        return;
    const qint64 varKod = ShownVar.key();
    const QString line = QStringLiteral("Сохранение шаблона печати. Форма печати: ") + listName() +
                         QStringLiteral("; Шаблон: ") + ShownForm.name() + QStringLiteral("; Переменная: ") +
                         ShownVar.name();
    std::optional<templates::VarPanel> variable;
    if (varKod != 0) {
        variable = varPanel();
        variable->kod = varKod;
    }
    {
        WriteTransaction w(templates::kRoad);
        engine::ClaimShownRow(w.context(), ShownForm, QStringLiteral("PRINT_FORMS"), formKod);
        if (varKod != 0)
            engine::ClaimShownRow(w.context(), ShownVar, QStringLiteral("PRINT_VARIABLES"), varKod);
        templates::SaveTemplate(w.context(), ListNo(), formKod, formPanel(), variable);
        w.commit(kArea, line);
    }
    // The commit has reloaded the lists on their rows; the panels show what is stored.
    if (!onScroll) {
        Zap_Forma();
        Zap_Var();
        colourEnabledVar();
    }
    MarkUnmodified();
}

// The folder beside the program where templates are edited: the upload and
// download dialogs start there, made when it is missing.
static QString patternsFolder()
{
    const QString folder = programFolder() + QStringLiteral("Patterns");
    QDir().mkpath(folder);
    return folder;
}

void TForm_Print::SpeedButton1Click()
{
    const qint64 formKod = FormKod();
    if (formKod == 0)
        return;
    const QString path = pickOpenFile(this, QStringLiteral("Загрузить Excel шаблон в базу данных"),
                                      patternsFolder(), kFilter);
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Msg::notice(QStringLiteral("Не удалось прочитать файл < ") + path + QStringLiteral(" >."));
        return;
    }
    const QByteArray bytes = file.readAll();
    const engine::Context ctx = engine::ProgramContext();
    const std::optional<templates::TemplateForm> stored = templates::ReadStoredForm(ctx, formKod);
    if (!stored)
        throw engine::RowRefusal(QStringLiteral("PRINT_FORMS"), formKod, engine::RowGoneText(formName()));
    QString unchecked;  // what could not be checked without the office
    try {
        unchecked = templates::CheckUploadable(printing::ProgramOffice(), bytes, QFileInfo(path).fileName(), *stored,
                                               templates::ReadStoredVariables(ctx, formKod));
    } catch (const templates::TemplateError& e) {
        Msg::notice(e.text());
        return;
    }
    {
        WriteTransaction w(templates::kRoad);
        engine::ClaimRow(w.context(), QStringLiteral("PRINT_FORMS"), formKod, formName());
        templates::UploadSpreadsheet(w.context(), formKod, bytes);
        w.commit(kArea, QStringLiteral("Настройка шаблона печати. Форма печати: ") + listName() +
                            QStringLiteral("; Шаблон: ") + formName());
    }
    if (!unchecked.isEmpty())
        Msg::notice(unchecked);
}

void TForm_Print::BitBtn5Click()
{
    const qint64 formKod = FormKod();
    if (formKod == 0)
        return;
    QString path = pickSaveFile(this, QStringLiteral("Выгрузить Excel шаблон на диск для редактирования"),
                                patternsFolder(), kFilter);
    if (path.isEmpty())
        return;
    // A name typed without an extension gets the templates' own, so the office
    // opens it by its name and the upload dialog offers it again. The dialog
    // asked about replacing the name as typed, so the name written is asked about here.
    if (QFileInfo(path).suffix().isEmpty()) {
        path += QStringLiteral(".xls");
        if (QFile::exists(path) && !Msg::confirmDestructive(QStringLiteral("Файл < ") + path +
                                                                QStringLiteral(" > уже существует. Заменить его?"),
                                                            QStringLiteral("Выгрузка шаблона")))
            return;
    }
    const std::optional<templates::TemplateForm> stored = templates::ReadStoredForm(engine::ProgramContext(), formKod);
    if (!stored)
        return;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(stored->SHABLON) != stored->SHABLON.size()) {
        Msg::notice(QStringLiteral("Не удалось записать файл < ") + path + QStringLiteral(" >."));
        return;
    }
    file.close();
    automation::Office& office = printing::ProgramOffice();
    if (!office.connect()) {
        Msg::notice(QStringLiteral("Проверте установлен ли у Вас OpenOffice версии не ниже 3.2 !"));
        return;
    }
    try {
        office.editDocument(path);
    } catch (const automation::OfficeStopped& e) {
        office.disconnect();
        Msg::notice(QString::fromUtf8(e.what()));
        return;
    } catch (const automation::OfficeError&) {
        office.disconnect();
        Msg::notice(QStringLiteral("Ошибка открытия шаблона !"));
        return;
    }
    office.disconnect();
}

void TForm_Print::BtnNewSabClick()
{
    const qint64 source = FormKod();
    if (source == 0) {
        Msg::notice(QStringLiteral("Не выбран шаблон, копию которого надо создать."));
        return;
    }
    const std::optional<QString> name = askName(QStringLiteral("Наименование нового шаблона"), QString());
    if (!name || refuseUnstorable(*name))
        return;
    const QString line = QStringLiteral("Создание шаблона печати. Форма печати: ") + listName() +
                         QStringLiteral("; Шаблон: ") + formName();
    qint64 copy = 0;
    {
        WriteTransaction w(templates::kRoad);
        try {
            copy = templates::CopyTemplate(w.context(), source, ListNo(), *name);
        } catch (const templates::TemplateError& e) {
            w.rollback();
            Msg::notice(e.text());
            return;
        }
        List_Forms->standOn(copy);
        w.commit(kArea, line);
    }
    showCurrentTemplate();
}

void TForm_Print::BtnDeleteClick()
{
    const qint64 formKod = FormKod();
    if (formKod == 0) {
        Msg::notice(QStringLiteral("Не выбран шаблон, который надо удалить."));
        return;
    }
    // The sample of a list and its default stay: a list always keeps a template to print with.
    if (fieldText(QPrintForms, "OBRAZ").toInt() == 1 && !ConstructorMode) {
        Msg::notice(QStringLiteral("Образец шаблона удалить нельзя."));
        return;
    }
    if (!Msg::confirmDestructive(QStringLiteral("Вы действительно хотите удалить этот шаблон ?"),
                                 QStringLiteral("Удаление шаблона")))
        return;
    const QString line = QStringLiteral("Удаление шаблона печати. Форма печати: ") + listName() +
                         QStringLiteral("; Шаблон: ") + formName();
    {
        WriteTransaction w(templates::kRoad);
        engine::ClaimRow(w.context(), QStringLiteral("PRINT_FORMS"), formKod, formName());
        templates::DeleteTemplate(w.context(), formKod, ListNo());
        w.commit(kArea, line);
    }
    showCurrentTemplate();
}

void TForm_Print::Btn_ExpImpClick()
{
    if (Form_ExpImp)
        Msg::execModal(Form_ExpImp);
}

// ---- developer mode ----

void TForm_Print::Btn_ConstructorClick()
{
    ConstructorMode = !ConstructorMode;
    Btn_Constructor->setText(ConstructorMode ? QStringLiteral("Конструктор") : QStringLiteral("Секретная кнопка"));
    GroupBox1->setEnabled(ConstructorMode);
    GroupBox2->setEnabled(ConstructorMode);
    Memo1->setReadOnly(!ConstructorMode);
}

void TForm_Print::E_NameDblClick()
{
    if (!ConstructorMode)
        return;
    const qint64 formKod = FormKod();
    if (formKod == 0)
        return;
    const std::optional<QString> name = askName(QStringLiteral("Редактирование Формы"), formName());
    if (!name || refuseUnstorable(*name))
        return;
    {
        WriteTransaction w(templates::kRoad);
        engine::ClaimRow(w.context(), QStringLiteral("PRINT_FORMS"), formKod, formName());
        templates::RenameTemplate(w.context(), formKod, ListNo(), *name);
        w.commit(kArea, QStringLiteral("Настройка шаблона печати. Форма печати: ") + listName() +
                            QStringLiteral("; Шаблон: ") + *name);
    }
    Zap_Forma();
}

void TForm_Print::Btn_Add_FClick()
{
    if (ListNo() == 0)
        return;
    {
        WriteTransaction w(templates::kRoad);
        templates::AddSampleTemplate(w.context(), ListNo());
        w.commit(kArea, QStringLiteral("Добавлен образец шаблона печати. Форма печати: ") + listName());
    }
}

void TForm_Print::Btn_Add_VClick()
{
    if (FormKod() == 0 || !Form_Var)
        return;
    db::Query* vars = QPrintVar;
    int sort = 10;
    if (vars->active() && !vars->isEmpty()) {
        vars->last();
        sort = vars->field(QStringLiteral("MY_SORT")).asInt() + 10;
    }
    Form_Var->E_Sort->setText(QString::number(sort));
    Form_Var->E_Caption->clear();
    Form_Var->E_Name->clear();
    Form_Var->CB_Location->setCurrentIndex(0);
    Form_Var->CB_Type->setCurrentIndex(0);
    Form_Var->AddMode = true;
    Form_Var->FormKod = FormKod();
    Form_Var->FormName = formName();
    Form_Var->VarKod = 0;
    Form_Var->StoredKod = 0;
    Msg::execModal(Form_Var);
    // The variable's commit has reloaded the list; the panel shows the new one.
    if (Form_Var->StoredKod != 0 && vars->locate(QStringLiteral("KOD"), Form_Var->StoredKod)) {
        Zap_Var();
        colourEnabledVar();
    }
}

void TForm_Print::L_Name_VarDblClick()
{
    if (!ConstructorMode || !Form_Var)
        return;
    const qint64 varKod = VarKod();
    if (varKod == 0)
        return;
    const db::Query* q = QPrintVar;
    Form_Var->E_Name->setText(fieldText(q, "NAMEVAR"));
    Form_Var->E_Caption->setText(fieldText(q, "NAME"));
    Form_Var->E_Sort->setText(fieldText(q, "MY_SORT"));
    Form_Var->CB_Location->setCurrentIndex(fieldText(q, "LOCATION").toInt());
    Form_Var->CB_Type->setCurrentIndex(fieldText(q, "STATIC_TYPE").toInt());
    Form_Var->AddMode = false;
    Form_Var->FormKod = FormKod();
    Form_Var->FormName = formName();
    Form_Var->VarKod = varKod;
    Msg::execModal(Form_Var);
    // The variable's commit has reloaded the list on its row.
    Zap_Var();
    colourEnabledVar();
}

void TForm_Print::Btn_Prt_ValueClick()
{
    // The variables' names, one a line, into a new workbook.
    QStringList names;
    db::Query* q = QPrintVar;
    if (q->active())
        for (q->first(); !q->eof(); q->next())
            names << q->field(QStringLiteral("NAME")).asString();
    if (q->active() && !q->isEmpty())
        q->first();
    printing::WriteLinesToNewCalc(names);
}
