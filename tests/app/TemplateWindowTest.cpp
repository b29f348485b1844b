// The template window headless on a real database with the in-memory office:
// the sample's lock, variable edits and their protocol lines, copy, delete and
// the list's one default, upload and container import refusing bad files
// with nothing written, and the developer mode switched off as delivered.

#include "support/AppEnv.h"
#include "support/HeldTables.h"
#include "util/ProgramFiles.h"
#include "support/TemplateFixture.h"

#include "Printing.h"
#include "ProgramOffice.h"
#include "automation/RecordingOffice.h"
#include "base/Unit_Base.h"
#include "engine/WriteRoad.h"
#include "grid/DatasetModel.h"
#include "grid/ListHolder.h"
#include "templates/TemplateAdmin.h"
#include "templates/TemplateContainer.h"
#include "ui/RadioGroup.h"
#include "ui/Unit_Name.h"
#include "util/Globals.h"
#include "util/Messages.h"

#include <QDir>
#include <QFile>
#include <QPixmap>

#include <gtest/gtest.h>

using namespace templates;

namespace {

const QByteArray kXls = XlsBytes();

TemplateForm layout(const QString& name) { return TableLayout(name, 777); }

// A look at a window, when the run asks for screenshots.
void shot(QWidget* w, const QString& name)
{
    if (const QByteArray dir = qgetenv("TARELIA_SCREENSHOTS"); !dir.isEmpty())
        w->grab().save(QDir(QString::fromLocal8Bit(dir)).filePath(name + QStringLiteral(".png")));
}

// The next modal dialog is shown and handed to `f` in place of its event loop.
void answerModal(std::function<void(QDialog*)> f)
{
    Msg::setModalHandler([f](QDialog* d) {
        const auto step = f;
        Msg::setModalHandler({});
        d->setResult(QDialog::Rejected);
        d->show();
        step(d);
        if (d->isVisible())
            d->reject();
        return d->result();
    });
}

void answerName(const QString& name)
{
    answerModal([name](QDialog*) {
        Form_Name->Edit1->setText(name);
        Form_Name->BitBtn1->click();
    });
}

class TemplateWindowTest : public ::testing::Test {
protected:
    AppEnv env;
    automation::RecordingOffice* office = nullptr;
    qint64 sample = 0;  // the sample of the stock list, its default
    qint64 own = 0;     // the user's template of that list
    QString chosenFile;

    void SetUp() override
    {
        auto o = std::make_unique<automation::RecordingOffice>();
        office = o.get();
        automation::SetProgramOffice(std::move(o));
        TestDb& t = env.testDb();
        sample = InsertTemplate(t, 2, layout(QStringLiteral("Образец")), 1);
        InsertVariable(t, sample, PlacedVariable(QStringLiteral("nstr"), 0, QStringLiteral("A8")));
        own = InsertTemplate(t, 2, layout(QStringLiteral("Остатки по группам")), 0);
        t.exec(QStringLiteral("UPDATE PRINT_FORMS SET OBRAZ = 0 WHERE KOD = %1").arg(own));
        TemplateVariable name = PlacedVariable(QStringLiteral("name"), 0, QStringLiteral("B8"));
        name.ENABLED = 0;
        InsertVariable(t, own, name);
        InsertVariable(t, own, PlacedVariable(QStringLiteral("kolvo"), 0, QStringLiteral("C8")));
        t.exec(QStringLiteral("UPDATE PRINT_VARIABLES SET NAME = 'Наименование продукта', MY_SORT = 10, "
                              "OPIS = 'Название продукта в строке таблицы' WHERE NAMEVAR = 'name'"));
        t.exec(QStringLiteral("UPDATE PRINT_VARIABLES SET NAME = 'Количество', MY_SORT = 20 WHERE NAMEVAR = 'kolvo'"));
        for (int list : {1, 3, 5, 6, 7})
            InsertVariable(t, InsertTemplate(t, list, layout(QStringLiteral("Образец")), 1),
                           PlacedVariable(QStringLiteral("nstr"), 0, QStringLiteral("A8")));
        env.loginAs(QStringLiteral("Администратор"));
        TForm_Print::pickOpenFile = [this](QWidget*, const QString&, const QString&, const QString&) { return chosenFile; };
        TForm_Print::pickSaveFile = [this](QWidget*, const QString&, const QString&, const QString&) { return chosenFile; };
        Form_Print->show();
        toList(2);
    }

    void TearDown() override
    {
        Form_Print->hide();
        Msg::setModalHandler({});
        automation::SetProgramOffice(nullptr);
    }

    void toList(int listNo)
    {
        Form_Print->QPrintSpis->locate(QStringLiteral("KOD_SPISOK"), listNo);
        Form_Print->Timer_Open_FormsTimer();
    }
    void toTemplate(qint64 kod)
    {
        Form_Print->QPrintForms->locate(QStringLiteral("KOD"), kod);
        Form_Print->Timer_Open_VarTimer();
    }

    QVariant scalar(const QString& sql) { return env.testDb().scalar(sql); }
    int count(const QString& sql) { return scalar(QStringLiteral("SELECT COUNT(*) FROM ") + sql).toInt(); }
    QStringList log()
    {
        QStringList out;
        auto q = env.testDb().select(QStringLiteral("SELECT ARM, WHAT_ACTION FROM LOG_TABLE ORDER BY KOD"));
        for (q->first(); !q->eof(); q->next())
            out << q->field(0).asString() + QStringLiteral(" | ") + q->field(1).asString();
        return out;
    }
    QString file(const QString& name, const QByteArray& bytes)
    {
        const QString path = QDir(env.testDb().folder()).filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return path;
    }
};

TEST_F(TemplateWindowTest, TheSampleIsLockedTheUsersTemplateIsEditable)
{
    EXPECT_EQ(Form_Print->GridSpis->model()->rowCount(), 10);
    EXPECT_EQ(Form_Print->GridForms->model()->rowCount(), 2);
    // The list stands on the sample.
    EXPECT_EQ(Form_Print->FormKod(), sample);
    EXPECT_EQ(Form_Print->E_Name->text(), QStringLiteral("Образец"));
    EXPECT_TRUE(Form_Print->DefaultForm->isChecked());
    EXPECT_FALSE(Form_Print->GroupBox1->isEnabled());
    EXPECT_FALSE(Form_Print->GroupBox2->isEnabled());
    EXPECT_FALSE(Form_Print->BtnDelete->isEnabled());
    shot(Form_Print, QStringLiteral("template_window_sample"));
    EXPECT_TRUE(Form_Print->BtnNewSab->isEnabled());
    EXPECT_TRUE(Form_Print->Btn_ExpImp->isEnabled());

    toTemplate(own);
    EXPECT_TRUE(Form_Print->GroupBox1->isEnabled());
    EXPECT_TRUE(Form_Print->BtnDelete->isEnabled());
    EXPECT_EQ(Form_Print->E_Name->text(), QStringLiteral("Остатки по группам"));
    // Variables in sort order; the panel shows the first.
    EXPECT_EQ(Form_Print->L_Name_Var->text(), QStringLiteral("Наименование продукта"));
    EXPECT_EQ(Form_Print->L_Location->text(), QStringLiteral("Строка таблицы"));
    EXPECT_EQ(Form_Print->L_Static->text(), QStringLiteral("ДИНАМИЧЕСКАЯ"));
    EXPECT_FALSE(Form_Print->Enabled_Var->isChecked());
    EXPECT_FALSE(Form_Print->CB_LineOnOff->isEnabled());  // only group rows are underlined
    EXPECT_FALSE(Form_Print->SpeedButton[16]->isEnabled());  // end cell follows the start cell
    EXPECT_FALSE(Form_Print->BtnSave->isEnabled());
    EXPECT_TRUE(Form_Print->L_Show_Edit->isHidden());

    shot(Form_Print, QStringLiteral("template_window"));
}

TEST_F(TemplateWindowTest, EachVariableEditIsStoredWithItsProtocolLine)
{
    toTemplate(own);
    const int before = log().size();
    Form_Print->Enabled_Var->click();
    EXPECT_TRUE(Form_Print->BtnSave->isEnabled());
    EXPECT_FALSE(Form_Print->L_Show_Edit->isHidden());
    Form_Print->SpeedButton[15]->click();  // start cell right: B8 to C8, the end cell with it
    EXPECT_EQ(Form_Print->E_End_Field->text(), QStringLiteral("C8"));
    Form_Print->E_Text_After->setText(QStringLiteral(" кг (О'Нил)"));
    Form_Print->SpeedButton[18]->click();  // zoom 100 to 101
    Form_Print->BtnSave->click();

    auto v = env.testDb().select(QStringLiteral("SELECT * FROM PRINT_VARIABLES WHERE KOD_FORMA = %1 AND NAMEVAR = 'name'").arg(own));
    EXPECT_EQ(v->field(QStringLiteral("ENABLED")).asInt(), 1);
    EXPECT_EQ(v->field(QStringLiteral("X_START")).asString(), QStringLiteral("C8"));
    EXPECT_EQ(v->field(QStringLiteral("X_END")).asString(), QStringLiteral("C8"));
    EXPECT_EQ(v->field(QStringLiteral("TEXT_AFTER_VALUE")).asString(), QStringLiteral(" кг (О'Нил)"));
    EXPECT_EQ(v->field(QStringLiteral("OPIS")).asString(), QStringLiteral("Название продукта в строке таблицы"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT ZOOM FROM PRINT_FORMS WHERE KOD = %1").arg(own)).toInt(), 101);
    const QStringList lines = log();
    ASSERT_EQ(lines.size(), before + 1);
    EXPECT_EQ(lines.last(), QStringLiteral("Настройка | Сохранение шаблона печати. Форма печати: Остатки на складе; Шаблон: "
                                           "Остатки по группам; Переменная: Наименование продукта"));
    // The window stands on the saved template and variable, unmodified.
    EXPECT_EQ(Form_Print->FormKod(), own);
    EXPECT_EQ(Form_Print->L_Name_Var->text(), QStringLiteral("Наименование продукта"));
    EXPECT_FALSE(Form_Print->Modified);

    // Text the database cannot hold: refused, nothing written.
    Form_Print->E_Text_After->setText(QStringLiteral("😀"));
    Form_Print->SE();
    Form_Print->BtnSave->click();
    EXPECT_TRUE(env.messages.last().contains(QStringLiteral("Windows-1251")));
    EXPECT_EQ(log().size(), before + 1);
}

TEST_F(TemplateWindowTest, MakingATemplateTheDefaultClearsTheListsOtherDefault)
{
    toTemplate(own);
    Form_Print->DefaultForm->click();
    Form_Print->BtnSave->click();
    EXPECT_EQ(scalar(QStringLiteral("SELECT LIST(KOD) FROM PRINT_FORMS WHERE KOD_SPISKA = 2 AND DEFAUL = 1")).toString(),
              QString::number(own));
    // The other lists keep theirs.
    EXPECT_EQ(count(QStringLiteral("PRINT_FORMS WHERE DEFAUL = 1")), 6);
}

TEST_F(TemplateWindowTest, CopyKeepsTheCacheNumberAndTheVariables)
{
    answerName(QStringLiteral("Копия образца"));
    Form_Print->BtnNewSab->click();
    auto q = env.testDb().select(QStringLiteral("SELECT * FROM PRINT_FORMS WHERE NAME_SHABLON = 'Копия образца'"));
    ASSERT_EQ(q->recordCount(), 1);
    const qint64 copy = q->field(QStringLiteral("KOD")).asInt64();
    EXPECT_EQ(q->field(QStringLiteral("UNICNAME")).asInt(), 777);
    EXPECT_EQ(q->field(QStringLiteral("OBRAZ")).asInt(), 0);
    EXPECT_EQ(q->field(QStringLiteral("KOD_SPISKA")).asInt(), 2);
    EXPECT_EQ(count(QStringLiteral("PRINT_VARIABLES WHERE KOD_FORMA = %1").arg(copy)), 1);
    EXPECT_EQ(log().last(), QStringLiteral("Настройка | Создание шаблона печати. Форма печати: Остатки на складе; Шаблон: Образец"));
    // The window stands on the copy, which can be edited.
    EXPECT_EQ(Form_Print->FormKod(), copy);
    EXPECT_TRUE(Form_Print->GroupBox1->isEnabled());

    // A cancelled name copies nothing.
    answerModal([](QDialog* d) { d->reject(); });
    Form_Print->BtnNewSab->click();
    EXPECT_EQ(count(QStringLiteral("PRINT_FORMS WHERE KOD_SPISKA = 2")), 3);
}

TEST_F(TemplateWindowTest, DeleteRefusesTheSampleAndADeletedDefaultGoesBackToTheSample)
{
    const int before = log().size();
    Form_Print->BtnDeleteClick();  // the button is disabled on a sample; the handler refuses as well
    EXPECT_EQ(env.messages.last(), QStringLiteral("Образец шаблона удалить нельзя."));
    EXPECT_EQ(count(QStringLiteral("PRINT_FORMS WHERE KOD = %1").arg(sample)), 1);

    toTemplate(own);
    Form_Print->DefaultForm->click();
    Form_Print->BtnSave->click();
    env.answers.push_back(0);  // Cancel: nothing deleted
    Form_Print->BtnDelete->click();
    EXPECT_EQ(count(QStringLiteral("PRINT_FORMS WHERE KOD = %1").arg(own)), 1);
    Form_Print->BtnDelete->click();  // OK
    EXPECT_EQ(env.messages.last(), QStringLiteral("Вы действительно хотите удалить этот шаблон ?"));
    EXPECT_EQ(count(QStringLiteral("PRINT_FORMS WHERE KOD = %1").arg(own)), 0);
    EXPECT_EQ(count(QStringLiteral("PRINT_VARIABLES WHERE KOD_FORMA = %1").arg(own)), 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT DEFAUL FROM PRINT_FORMS WHERE KOD = %1").arg(sample)).toInt(), 1);
    const QStringList lines = log();
    ASSERT_EQ(lines.size(), before + 2);
    EXPECT_EQ(lines.last(), QStringLiteral("Настройка | Удаление шаблона печати. Форма печати: Остатки на складе; Шаблон: "
                                           "Остатки по группам"));
}

TEST_F(TemplateWindowTest, UploadRefusesAFileThatIsNoSpreadsheetAndStoresAGoodOne)
{
    toTemplate(own);
    const int before = log().size();
    chosenFile = file(QStringLiteral("notes.xls"), QByteArray("Это не таблица"));
    Form_Print->SpeedButton1->click();
    EXPECT_TRUE(env.messages.last().contains(QStringLiteral("не является таблицей")));
    EXPECT_EQ(scalar(QStringLiteral("SELECT UNICNAME FROM PRINT_FORMS WHERE KOD = %1").arg(own)).toInt(), 777);
    EXPECT_EQ(log().size(), before);

    chosenFile = file(QStringLiteral("good.xls"), kXls + "new");
    Form_Print->SpeedButton1->click();
    auto q = env.testDb().select(QStringLiteral("SELECT * FROM PRINT_FORMS WHERE KOD = %1").arg(own));
    EXPECT_NE(q->field(QStringLiteral("UNICNAME")).asInt(), 777);
    EXPECT_EQ(q->field(QStringLiteral("SHABLON")).asBytes(), kXls + "new");
    EXPECT_EQ(log().last(), QStringLiteral("Настройка | Настройка шаблона печати. Форма печати: Остатки на складе; Шаблон: "
                                           "Остатки по группам"));
    // The sample keeps its file and number.
    EXPECT_EQ(scalar(QStringLiteral("SELECT UNICNAME FROM PRINT_FORMS WHERE KOD = %1").arg(sample)).toInt(), 777);
}

// Downloading for editing writes the stored spreadsheet and opens it in the
// office; a name typed without an extension gets the templates' own.
TEST_F(TemplateWindowTest, DownloadedTemplateKeepsItsExtension)
{
    toTemplate(own);
    const QDir dir(env.testDb().folder());
    for (const auto& [typed, written] : {std::pair{"правка", "правка.xls"}, std::pair{"копия.xls", "копия.xls"}}) {
        chosenFile = dir.filePath(QString::fromUtf8(typed));
        Form_Print->BitBtn5->click();
        ASSERT_FALSE(office->books.isEmpty());
        EXPECT_EQ(office->last().sourcePath, dir.filePath(QString::fromUtf8(written)));
        QFile f(dir.filePath(QString::fromUtf8(written)));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << written;
        EXPECT_EQ(f.readAll(), kXls);
    }
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("правка"))));

    // The file the typed name becomes is there already: replaced only when confirmed.
    file(QStringLiteral("правка.xls"), "мои правки");
    chosenFile = dir.filePath(QStringLiteral("правка"));
    env.answers = {0};
    Form_Print->BitBtn5->click();
    EXPECT_TRUE(env.messages.last().contains(QStringLiteral("уже существует")));
    QFile kept(dir.filePath(QStringLiteral("правка.xls")));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("мои правки"));
}

TEST_F(TemplateWindowTest, ContainerExportThenImportAndADamagedContainerWritesNothing)
{
    toTemplate(own);
    Form_ExpImp->show();
    shot(Form_ExpImp, QStringLiteral("container_dialog"));
    Form_ExpImp->hide();
    Form_PrintHelp->show();
    shot(Form_PrintHelp, QStringLiteral("rules_window"));
    Form_PrintHelp->hide();
    chosenFile = QDir(env.testDb().folder()).filePath(QStringLiteral("ostatki.trz"));
    Form_ExpImp->Btn_Export->click();
    EXPECT_EQ(env.messages.last(), QStringLiteral("Экспорт шаблона в файл  < ") + chosenFile +
                                       QStringLiteral(" >  успешно закончен !"));
    QFile f(chosenFile);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray container = f.readAll();
    EXPECT_EQ(container.size(), 1 + 10 + 204 + 10 + 800 + kXls.size());

    const int forms = count(QStringLiteral("PRINT_FORMS"));
    const int lines = log().size();
    chosenFile = file(QStringLiteral("cut.trz"), container.left(500));
    Form_ExpImp->Btn_Import->click();
    EXPECT_TRUE(env.messages.last().contains(QStringLiteral("повреждён")));
    QByteArray newer = container;
    newer[0] = 43;
    chosenFile = file(QStringLiteral("newer.trz"), newer);
    Form_ExpImp->Btn_Import->click();
    EXPECT_TRUE(env.messages.last().contains(QStringLiteral("более высокой версией")));
    // A container whose template cannot be used by a report.
    TemplateContainer broken = ReadContainer(container);
    broken.form.headYX = QStringLiteral("7F");
    chosenFile = file(QStringLiteral("broken.trz"), WriteContainer(broken));
    Form_ExpImp->Btn_Import->click();
    EXPECT_TRUE(env.messages.last().contains(QStringLiteral("неверная ссылка")));
    EXPECT_EQ(count(QStringLiteral("PRINT_FORMS")), forms);
    EXPECT_EQ(log().size(), lines);

    toList(6);  // the import goes to the file's own list whatever the window shows
    chosenFile = QDir(env.testDb().folder()).filePath(QStringLiteral("ostatki.trz"));
    answerName(QStringLiteral("Остатки из другой базы"));
    Form_ExpImp->Btn_Import->click();
    EXPECT_EQ(env.messages.last(), QStringLiteral("Импорт шаблона успешно закончен ! Для печати этого шаблона, сделайте "
                                                  "его шаблоном по умолчанию."));
    auto q = env.testDb().select(QStringLiteral("SELECT * FROM PRINT_FORMS WHERE NAME_SHABLON = 'Остатки из другой базы'"));
    ASSERT_EQ(q->recordCount(), 1);
    EXPECT_EQ(q->field(QStringLiteral("KOD_SPISKA")).asInt(), 2);
    EXPECT_EQ(q->field(QStringLiteral("UNICNAME")).asInt64(), q->field(QStringLiteral("KOD")).asInt64());
    EXPECT_EQ(count(QStringLiteral("PRINT_VARIABLES WHERE KOD_FORMA = %1").arg(q->field(QStringLiteral("KOD")).asInt64())), 2);
    EXPECT_EQ(log().last(), QStringLiteral("Настройка | Импортирован шаблон печати: \"Остатки из другой базы\""));
}

TEST_F(TemplateWindowTest, DeveloperModeIsOffAsDeliveredAndWorksWhenSwitchedOn)
{
    for (QPushButton* b : {Form_Print->Btn_Constructor, Form_Print->Btn_Add_V, Form_Print->Btn_Add_F, Form_Print->Btn_Prt_Value}) {
        EXPECT_TRUE(b->isHidden());
        EXPECT_FALSE(b->isEnabled());
    }
    toTemplate(own);
    Form_Print->L_Name_VarDblClick();
    Form_Print->E_NameDblClick();
    EXPECT_TRUE(env.messages.isEmpty());
    EXPECT_TRUE(Form_Print->Memo1->isReadOnly());

    Form_Print->Btn_ConstructorClick();
    EXPECT_EQ(Form_Print->Btn_Constructor->text(), QStringLiteral("Конструктор"));
    EXPECT_FALSE(Form_Print->Memo1->isReadOnly());
    toTemplate(sample);
    EXPECT_TRUE(Form_Print->GroupBox1->isEnabled());  // samples lose their lock

    toTemplate(own);
    // A new variable: proposed sort number after the last one; the program name is checked first.
    answerModal([](QDialog*) {
        shot(Form_Var, QStringLiteral("variable_dialog"));
        EXPECT_EQ(Form_Var->E_Sort->text(), QStringLiteral("30"));
        Form_Var->BitBtn1->click();
        Form_Var->E_Name->setText(QStringLiteral("itogo"));
        Form_Var->E_Sort->clear();
        Form_Var->BitBtn1->click();
        Form_Var->E_Caption->setText(QStringLiteral("Итого"));
        Form_Var->BitBtn1->click();
        Form_Var->E_Sort->setText(QStringLiteral("30"));
        Form_Var->CB_Location->setCurrentIndex(2);
        Form_Var->BitBtn1->click();
    });
    Form_Print->Btn_Add_VClick();
    EXPECT_EQ(env.messages.mid(env.messages.size() - 3),
              (QStringList{QStringLiteral("Нет названия переменной !"), QStringLiteral("Нет Наименования !"),
                           QStringLiteral("Нет сортировки !")}));
    auto v = env.testDb().select(QStringLiteral("SELECT * FROM PRINT_VARIABLES WHERE NAMEVAR = 'itogo'"));
    ASSERT_EQ(v->recordCount(), 1);
    EXPECT_EQ(v->field(QStringLiteral("KOD_FORMA")).asInt64(), own);
    EXPECT_EQ(v->field(QStringLiteral("LOCATION")).asInt(), 2);
    EXPECT_EQ(Form_Print->L_Name_Var->text(), QStringLiteral("Итого"));  // the list stands on it
    EXPECT_TRUE(log().last().startsWith(QStringLiteral("Настройка | Добавлена переменная шаблона печати: itogo")));

    Form_Print->Btn_ConstructorClick();
    EXPECT_FALSE(Form_Print->GroupBox1->isEnabled());
    toTemplate(sample);
    EXPECT_FALSE(Form_Print->GroupBox1->isEnabled());
    toTemplate(own);
    EXPECT_TRUE(Form_Print->GroupBox1->isEnabled());
}

TEST_F(TemplateWindowTest, LeavingAnEditedTemplateAsksOnlyFromInsideTheList)
{
    const qint64 extra = InsertTemplate(env.testDb(), 2, layout(QStringLiteral("Третий")), 0);
    env.testDb().exec(QStringLiteral("UPDATE PRINT_FORMS SET OBRAZ = 0 WHERE KOD = %1").arg(extra));
    toList(2);
    ASSERT_EQ(Form_Print->FormKod(), sample);
    // From the first row of a freshly opened list: the edit is dropped without a question.
    Form_Print->SE();
    Form_Print->QPrintForms->next();
    EXPECT_TRUE(env.messages.isEmpty());
    EXPECT_FALSE(Form_Print->Modified);
    Form_Print->Timer_Open_VarTimer();

    // From a row reached inside the list: asked, and OK saves under the old name in the line.
    ASSERT_EQ(Form_Print->FormKod(), own);
    Form_Print->E_Name->setText(QStringLiteral("Остатки (новое имя)"));
    Form_Print->SE();
    Form_Print->QPrintForms->next();
    EXPECT_EQ(env.messages, QStringList{QStringLiteral("Сохранить изменения ?")});
    EXPECT_EQ(Form_Print->FormKod(), extra);  // the move went on
    EXPECT_EQ(scalar(QStringLiteral("SELECT NAME_SHABLON FROM PRINT_FORMS WHERE KOD = %1").arg(own)).toString(),
              QStringLiteral("Остатки (новое имя)"));
    EXPECT_TRUE(log().last().contains(QStringLiteral("Шаблон: Остатки по группам; Переменная: ")));

    // Exit with an edit: asked under its own caption; Cancel leaves the row as stored.
    Form_Print->E_Name->setText(QStringLiteral("Не сохранять"));
    Form_Print->SE();
    env.answers.push_back(0);
    Form_Print->BtnExit->click();
    EXPECT_EQ(env.messages.last(), QStringLiteral("Данные шаблона были изменены, сохранить изменения?"));
    EXPECT_FALSE(Form_Print->isVisible());
    EXPECT_EQ(scalar(QStringLiteral("SELECT NAME_SHABLON FROM PRINT_FORMS WHERE KOD = %1").arg(extra)).toString(),
              QStringLiteral("Третий"));
}

TEST_F(TemplateWindowTest, ACommittedWriteReloadsTheTemplatesOnTheirRowAndKeepsAnUnsavedEdit)
{
    toTemplate(own);
    Form_Print->E_Name->setText(QStringLiteral("Моя правка"));
    Form_Print->SE();
    {
        WriteTransaction w(templates::kRoad);
        RenameTemplate(w.context(), own, 2, QStringLiteral("Остатки (переименован)"));
        w.commit(QStringLiteral("Настройка"), QStringLiteral("Переименован шаблон"));
    }
    // Reloaded by the commit itself, back on the same template with the stored name; the edit in the panel is
    // the user's still, and nobody was asked to save it.
    EXPECT_EQ(Form_Print->FormKod(), own);
    EXPECT_EQ(Form_Print->QPrintForms->field(QStringLiteral("NAME_SHABLON")).asString(),
              QStringLiteral("Остатки (переименован)"));
    EXPECT_EQ(Form_Print->E_Name->text(), QStringLiteral("Моя правка"));
    EXPECT_TRUE(Form_Print->Modified);
    EXPECT_TRUE(env.messages.isEmpty());
}

// The window's own writes leave it where the user was (a renamed template), on
// the new row (a copy) or on the one that is left (a deletion), with that
// template's panel and variables.
TEST_F(TemplateWindowTest, OwnWritesLeaveTheWindowOnTheTemplateTheyConcernWithItsPanelAndVariables)
{
    auto shown = [] {
        EXPECT_EQ(Form_Print->E_Name->text(), Form_Print->QPrintForms->field(QStringLiteral("NAME_SHABLON")).asString());
        for (Form_Print->QPrintVar->first(); !Form_Print->QPrintVar->eof(); Form_Print->QPrintVar->next())
            EXPECT_EQ(Form_Print->QPrintVar->field(QStringLiteral("KOD_FORMA")).asInt64(), Form_Print->FormKod());
    };
    Form_Print->Btn_ConstructorClick();
    toTemplate(own);
    answerName(QStringLiteral("Остатки (новое имя)"));
    Form_Print->E_NameDblClick();
    EXPECT_EQ(Form_Print->FormKod(), own);
    EXPECT_EQ(Form_Print->E_Name->text(), QStringLiteral("Остатки (новое имя)"));
    shown();

    toTemplate(sample);
    answerName(QStringLiteral("Копия"));
    Form_Print->BtnNewSab->click();
    EXPECT_EQ(Form_Print->E_Name->text(), QStringLiteral("Копия"));
    EXPECT_EQ(Form_Print->QPrintVar->recordCount(), 1);
    shown();

    toTemplate(own);
    Form_Print->BtnDelete->click();
    ASSERT_NE(Form_Print->FormKod(), 0);
    EXPECT_NE(Form_Print->FormKod(), own);
    shown();
    Form_Print->Btn_ConstructorClick();
}

TEST_F(TemplateWindowTest, ArrowButtonsStepCellsAndTheZoomWithinTheirBounds)
{
    toTemplate(own);
    Form_Print->E_Zoom->setText(QStringLiteral("400"));
    Form_Print->SpeedButton[18]->click();
    Form_Print->SpeedButton[18]->click();
    EXPECT_EQ(Form_Print->E_Zoom->text(), QStringLiteral("401"));
    Form_Print->E_Zoom->setText(QStringLiteral("10"));
    Form_Print->SpeedButton[19]->click();
    Form_Print->SpeedButton[19]->click();
    EXPECT_EQ(Form_Print->E_Zoom->text(), QStringLiteral("9"));

    Form_Print->SpeedButton[3]->click();  // header row + 1
    Form_Print->SpeedButton[4]->click();  // header column right
    EXPECT_EQ(Form_Print->E_XY_Head->text(), QStringLiteral("G8"));
    Form_Print->SpeedButton[11]->click();  // grid start left of A stays A
    EXPECT_EQ(Form_Print->E_Start_Bord->text(), QStringLiteral("A"));

    // Merged: the end cell has buttons of its own and stays when the start moves.
    Form_Print->Merge_Field->click();
    EXPECT_TRUE(Form_Print->SpeedButton[17]->isEnabled());
    Form_Print->SpeedButton[17]->click();
    Form_Print->SpeedButton[17]->click();
    Form_Print->SpeedButton[22]->click();  // start row − 1
    EXPECT_EQ(Form_Print->E_Start_Field->text(), QStringLiteral("B7"));
    EXPECT_EQ(Form_Print->E_End_Field->text(), QStringLiteral("D8"));
    EXPECT_TRUE(Form_Print->Modified);

    // Cancel puts the stored values back.
    Form_Print->BtnCancel->click();
    EXPECT_EQ(Form_Print->E_XY_Head->text(), QStringLiteral("F7"));
    EXPECT_EQ(Form_Print->E_Start_Field->text(), QStringLiteral("B8"));
    EXPECT_FALSE(Form_Print->Merge_Field->isChecked());
    EXPECT_FALSE(Form_Print->Modified);
}

// Each of the window's writers holds the lists, the templates and their
// variables from its road's first step.
TEST_F(TemplateWindowTest, EachRoadHoldsTheTemplatesAndTheirVariables)
{
    const QStringList all{QStringLiteral("PRINT_SPISOK"), QStringLiteral("PRINT_FORMS"), QStringLiteral("PRINT_VARIABLES")};
    const QString container = QDir(env.testDb().folder()).filePath(QStringLiteral("ostatki.trz"));
    toTemplate(own);
    chosenFile = container;
    Form_ExpImp->Btn_Export->click();
    Form_Print->Btn_ConstructorClick();
    ExpectEachHolds({
        {"template saved", all,
         [&] {
             Form_Print->Enabled_Var->click();
             Form_Print->BtnSave->click();
         }},
        {"spreadsheet uploaded", all,
         [&] {
             chosenFile = file(QStringLiteral("good.xls"), kXls + "new");
             Form_Print->SpeedButton1->click();
         }},
        {"template renamed", all,
         [&] {
             answerName(QStringLiteral("Остатки (новое имя)"));
             Form_Print->E_NameDblClick();
         }},
        {"variable added", all,
         [&] {
             answerModal([](QDialog*) {
                 Form_Var->E_Name->setText(QStringLiteral("itogo"));
                 Form_Var->E_Caption->setText(QStringLiteral("Итого"));
                 Form_Var->BitBtn1->click();
             });
             Form_Print->Btn_Add_VClick();
         }},
        {"variable changed", all,
         [&] {
             answerModal([](QDialog*) {
                 Form_Var->E_Caption->setText(QStringLiteral("Итого по документу"));
                 Form_Var->BitBtn1->click();
             });
             Form_Print->L_Name_VarDblClick();
         }},
        {"sample added", all, [&] { Form_Print->Btn_Add_FClick(); }},
        {"template copied", all,
         [&] {
             answerName(QStringLiteral("Копия"));
             Form_Print->BtnNewSab->click();
         }},
        {"template deleted", all, [&] { Form_Print->BtnDelete->click(); }},
        {"template imported", all,
         [&] {
             chosenFile = container;
             answerName(QStringLiteral("Остатки из другой базы"));
             Form_ExpImp->Btn_Import->click();
         }},
    });
    Form_Print->Btn_ConstructorClick();
    EXPECT_EQ(count(QStringLiteral("PRINT_VARIABLES WHERE NAME = 'Итого по документу'")), 1);
    EXPECT_EQ(count(QStringLiteral("PRINT_FORMS WHERE NAME_SHABLON = 'Копия'")), 0);
    EXPECT_EQ(count(QStringLiteral("PRINT_FORMS WHERE NAME_SHABLON = 'Остатки из другой базы'")), 1);
}

} // namespace

TEST_F(TemplateWindowTest, WithoutATemplateCopyAndDeleteSayWhyAndTheUploadStartsInPatterns)
{
    toList(4);  // a list without templates
    ASSERT_EQ(Form_Print->FormKod(), 0);
    env.messages.clear();
    Form_Print->BtnNewSabClick();
    Form_Print->BtnDeleteClick();
    EXPECT_EQ(env.messages, (QStringList{QStringLiteral("Не выбран шаблон, копию которого надо создать."),
                                         QStringLiteral("Не выбран шаблон, который надо удалить.")}));

    // The upload dialog opens in the templates folder beside the program, there even on a first use.
    toList(2);
    toTemplate(own);
    QString folder;
    TForm_Print::pickOpenFile = [&folder](QWidget*, const QString&, const QString& f, const QString&) {
        folder = f;
        return QString();
    };
    Form_Print->SpeedButton1->click();
    EXPECT_EQ(QDir(folder), QDir(programFolder() + QStringLiteral("Patterns")));
    EXPECT_TRUE(QDir(folder).exists());
}
