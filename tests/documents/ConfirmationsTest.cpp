// Every question whose OK deletes, clears, fills anew or writes over stands
// on Cancel, and one that only chooses the safer way stands on OK: each is
// asked through its handler, as the user sets it off, on one set of data that
// the cancelled answers leave standing for the next.

#include "MoveEnv.h"
#include "../catalogue/MenuFixture.h"

#include "IngSkladDialog.h"
#include "PosExchange.h"
#include "Unit_CopyCena.h"
#include "Unit_DelDoc.h"
#include "Unit_DocInv.h"
#include "Unit_DocMove.h"
#include "Unit_IngSklad.h"
#include "Unit_IngToDoc.h"
#include "Unit_Invent.h"
#include "Unit_Karta.h"
#include "Unit_Menu_S.h"
#include "Unit_Print.h"
#include "Unit_Recept.h"
#include "costing/DepartmentRows.h"
#include "inventory/Inventory.h"
#include "support/TemplateFixture.h"
#include "ui/Unit_Period.h"
#include "ui/Unit_Personal.h"
#include "ui/Unit_ProtocolTab.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>

#include <algorithm>
#include <numeric>

namespace {

struct Question {
    QStringList texts;          // the starts of the questions it asks
    std::function<void()> ask;  // the handler, set off as the user sets it off
    std::deque<int> before;     // the answers to its first questions; Cancel to the rest
    QStringList safer;          // the starts of its questions that choose the safer way: they stand on OK
};

// A modal dialog's step; the dialog is closed after it if a cancelled question left it open.
std::function<void(QWidget*)> in(std::function<void()> step)
{
    return [step](QWidget* w) {
        step();
        if (w->isVisible())
            static_cast<QDialog*>(w)->reject();
    };
}

} // namespace

TEST(Confirmations, EveryQuestionThatDestroysStandsOnCancel)
{
    MoveEnv env;
    const qint64 potato = env.product(QStringLiteral("Картофель"), 10, 21, 30);
    const qint64 soup = env.dish(QStringLiteral("Суп"), {{potato, 0.25}});
    const qint64 empty = env.group(QStringLiteral("Пустая"));
    const qint64 doc = env.doc(5, env.kitchen);
    env.line(doc, potato, 4, 21);
    const qint64 posted = env.doc(5, env.kitchen, 0, 0, 0, QStringLiteral("П-2"));
    env.line(posted, potato, 1, 21);
    env.t().exec(QStringLiteral("EXECUTE PROCEDURE PROVODKA_MOVE (%1)").arg(posted));
    // An enterprise, department and warehouse that may be deleted, with stock.
    const qint64 bistro = env.firma(QStringLiteral("Бистро"));
    const qint64 hall = env.mainOtdel(bistro);
    const qint64 buffet = structure::CreateOtdel(bistro, QStringLiteral("Бистро"), QStringLiteral("Буфет"), QString());
    const qint64 cellar =
        structure::CreateSklad(bistro, hall, QStringLiteral("Бистро"), QStringLiteral("Кухня"), QStringLiteral("Погреб"), QString());
    env.t().exec(QStringLiteral("UPDATE ING_SKLAD SET KOLVO = 3 WHERE KOD_OTDEL IN (%1, %2)").arg(hall).arg(buffet));
    const qint64 menu = newMenu(env.firmaKod, QStringLiteral("Обед"), QDate(2026, 12, 7));
    const qint64 razdel = newRazdel(menu, env.kitchen, QStringLiteral("Первое"), 1);
    newDish(razdel, soup);
    env.t().exec(QStringLiteral("INSERT INTO PERSON (FIO, LOGIN) VALUES ('Петров', 'petrov')"));
    env.t().exec(QStringLiteral("INSERT INTO DOCS (NAME, DATE_DOC, TIME_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, KOD_PARTNER_IMPORT, "
                                "INT_PARAM1, EDIT_CENA, PROVODKA) VALUES ('Инв', '2026-12-08', '12:00', 1, %1, %1, %2, 2, 0)")
                     .arg(env.firmaKod)
                     .arg(env.kitchen));
    {
        WriteTransaction w(inventory::kRoad);
        inventory::InvDoc inv{env.num(QStringLiteral("SELECT MAX(KOD) FROM DOCS")), env.kitchen, 0, QDate(2026, 12, 8), QTime(12, 0)};
        inventory::Fill(w.context(), inv, {}, false);
        w.commit();
    }
    const qint64 salt = env.product(QStringLiteral("Соль"));  // after the inventory: in no document
    const qint64 own = InsertTemplate(env.t(), 2, TableLayout(QStringLiteral("Остатки по группам"), 777), 0);
    env.t().exec(QStringLiteral("UPDATE PRINT_FORMS SET OBRAZ = 0 WHERE KOD = %1").arg(own));
    const QString folder = env.t().folder();
    QFile(folder + QStringLiteral("правка.xls")).open(QIODevice::WriteOnly);
    QFile(folder + QStringLiteral("Обед.mnu")).open(QIODevice::WriteOnly);

    const auto standOn = [](qint64 firma, qint64 otdel = 0, qint64 sklad = 0) {
        StructureBox->Sheet_SetupShow();
        CatEnv::at(StructureBox->Q_Firma, firma);
        StructureBox->Timer_OtdelTimer();
        CatEnv::at(StructureBox->Q_Otdel, otdel);
        StructureBox->Timer_SkladTimer();
        CatEnv::at(StructureBox->Q_Sklad, sklad);
    };
    const auto stockRow = [&](qint64 ing) {
        TForm_IngSklad* f = Form_IngSklad;
        const auto row = costing::ReadDepartmentRow(engine::ProgramContext(), env.ingSklad(ing, env.kitchen));
        f->Preset_RG_All(row->myLevel, row->metod);
        f->RowKod = row->kod;
        f->FormShow();
        return f;
    };
    const auto pickSaveFile = TForm_Print::pickSaveFile;
    TForm_Print::pickSaveFile = [&](QWidget*, const QString&, const QString&, const QString&) { return folder + QStringLiteral("правка"); };
    SetExchangeFileDialogs({[&](const QString&, const QString&, const QString&) { return folder + QStringLiteral("Обед"); }, {}});

    // One row a window; `before` answers OK where a question leads to the next.
    const std::vector<Question> questions = {
        {{QStringLiteral("Вы уверены что хотите удалить предприятие ?"), QStringLiteral("У данного предприятие имеются не нулевые остатки"),
          QStringLiteral("Вы уверены что хотите удалить это подразделение"), QStringLiteral("У данного подразделения имеются не нулевые"),
          QStringLiteral("Вы уверены что хотите удалить этот склад ?"), QStringLiteral("Вы действительно желаете удалить эту единицу измерения ?")},
         [&] {
             standOn(bistro);
             StructureBox->Btn_Del_FirmaClick();
             standOn(bistro, buffet);
             StructureBox->Btn_Del_OtdelClick();
             standOn(bistro, hall, cellar);
             StructureBox->Btn_Del_SkladClick();
             CatEnv::at(StructureBox->Q_Ed, env.ed);
             StructureBox->Btn_Del_EdClick();
         },
         {1, 0, 1}},
        {{QStringLiteral("Вы уверены что желаете удалить группу <<Пустая>> ?"), QStringLiteral("Вы уверены что желаете удалить этот продукт ?"),
          QStringLiteral("Вы уверены что желаете удалить все продукты из этой группы ?"), QStringLiteral("Удаляем из группы всё или одумаемся ?")},
         [&] {
             CatEnv::showProducts(env.firmaKod, env.kitchen, empty);
             ProductsTab->Btn_Del_GRClick();
             CatEnv::showProducts(env.firmaKod, env.kitchen, env.gr);
             ProductsTab->Timer_IngTimer();
             CatEnv::at(ProductsTab->Q_Ing, salt);
             ProductsTab->Del_Ing_One();
             ModalScript script;
             script.then(chooseItem(1));
             ProductsTab->Btn_Del_IngClick();
         },
         {0, 0, 1}},
        {{QStringLiteral("Внимание !!!, Если параметр включен"), QStringLiteral("У продукта цена установлена вручную")},
         [&] {
             stockRow(salt)->CB_ShtrihKod->click();
             env.t().exec(QStringLiteral("UPDATE ING_SKLAD SET METOD_CENA = 2, MY_CENA = 100 WHERE KOD_ING = %1").arg(salt));
             TForm_IngSklad* f = stockRow(salt);
             f->RG_All->setItemIndex(1);
             Msg::setModalHandler([](QDialog*) { return int(QDialog::Rejected); });  // the warnings after the save
             f->Btn_OkClick();
             Msg::setModalHandler({});
         }},
        {{QStringLiteral("Вы действительно желаете присвоить продуктам отдела")},
         [&] {
             standOn(env.firmaKod, env.kitchen);
             TForm_CopyCena* f = Form_CopyCena;
             f->Tag = 1;
             f->KodFirma = env.firmaKod;
             f->KodOtdel = env.bar;
             f->P_Firma->setText(QStringLiteral("Столовая"));
             f->P_Otdel->setText(QStringLiteral("Бар"));
             f->Btn_OkClick();
         }},
        {{QStringLiteral("Вы действительно желаете убрать этот продукт из раскладки ?"),
          QStringLiteral("Калькуляционная карта этого продукта уже открыта для изменений"),
          QStringLiteral("Вы действительно хотите удалить все строки из текста рецепта !")},
         [&] {
             Form_Karta->Prepare(soup);
             Form_Karta->Btn_EditClick();
             Form_Karta->Btn_DeleteClick();
             // The cycle left open is taken over at the second asking, and cancelled.
             Form_Karta->Prepare(soup);
             Form_Karta->Btn_EditClick();
             Form_Karta->Btn_EditClick();
             Form_Karta->Btn_ExitClick();
             Form_Recept->Load(soup);
             Form_Recept->Btn_ClearClick();
         },
         {0, 0, 1}},
        {{QStringLiteral("Вы уверены что хотите удалить все выбранные Вами записи из протокола ?"),
          QStringLiteral("Вы действительно желаете удалить этого пользователя из системы ?")},
         [] {
             ProtocolTab->Btn_DelClick();
             Form_Base->QPerson->close();
             Form_Base->QPerson->open();
             Form_Base->QPerson->locate(QStringLiteral("LOGIN"), QStringLiteral("petrov"));
             Form_Personal->Btn_DelClick();
         }},
        // The last question of a deletion says whether it rolls back; the rollback, chosen (OK), stays.
        {{QStringLiteral("ВНИМАНИЕ !!! После удаления, данные документы не будут учитываться в оборотной ведомости. Подтвердите "
                         "удаление выбранных документов с откатом ?"),
          QStringLiteral("ВНИМАНИЕ !!! После удаления, данные документы не будут учитываться в оборотной ведомости. Подтвердите "
                         "удаление выбранных документов без отката ?"),
          QStringLiteral("Поменять ли цены выбранных в документе продуктах на"), QStringLiteral("Убрать продукт из списка ?"),
          QStringLiteral("Вы действительно собираетесь полностью очистить список продуктов")},
         [&] {
             ModalScript script;
             script.then(in([] {
                 Form_DelDoc->CB_Otkat->click();
                 Form_DelDoc->Btn_Ok->click();
             }));
             script.then(in([] { Form_DelDoc->Btn_Ok->click(); }));
             script.then(in([] { Form_DocMove->RG_TypeCena->setItemIndex(1); }));
             env.select(posted);
             MoveTab->Btn_DelDocMove->click();
             env.select(doc);
             MoveTab->Btn_DelDocMove->click();
             MoveTab->Timer_MovesTimer();
             MoveTab->Btn_UpdDocMoveClick();
             Form_IngToDoc->OpenFor(doc);
             Form_IngToDoc->FormShow();
             Form_IngToDoc->Btn_DeleteClick();
             Form_IngToDoc->Btn_ClearClick();
         },
         {1},
         {QStringLiteral("Вы уверены что желаете удалить документы с откатом")}},
        {{QStringLiteral("Документ не пустой. Вы действительно желаете заново перенести"),
          QStringLiteral("Удалить из документа строки в которых нет изменений ?"), QStringLiteral("Будет обновлена табличная часть документа")},
         [&] {
             Form_Invent->OpenDocs();
             Form_Invent->FormShow();
             Form_Invent->Btn_ZapolnitClick();
             Form_Invent->Btn_ProvodkaClick();
             ModalScript script;
             script.then(in([] { Form_DocInv->Btn_Ok->click(); }));
             Form_Invent->Btn_UpdClick();
         }},
        {{QStringLiteral("Вы действительно хотите удалить этот шаблон ?"),
          QStringLiteral("Файл < ") + folder + QStringLiteral("правка.xls > уже существует. Заменить его?")},
         [&] {
             Form_Print->show();
             Form_Print->QPrintSpis->locate(QStringLiteral("KOD_SPISOK"), 2);
             Form_Print->Timer_Open_FormsTimer();
             CatEnv::at(Form_Print->QPrintForms, own);
             Form_Print->Timer_Open_VarTimer();
             Form_Print->BtnDeleteClick();
             Form_Print->BitBtn5Click();
             Form_Print->hide();
         }},
        // Last: the period dialog's dates stay for the lists read after it.
        {{QStringLiteral("Вы действительно желаете убрать блюдо из меню ?"), QStringLiteral("Вы действительно желаете удалить раздел ?"),
          QStringLiteral("Вы действительно желаете удалить это меню ?"),
          QStringLiteral("Вы уверены что желаете удалить все меню из базы данных за период"),
          QStringLiteral("Файл < ") + folder + QStringLiteral("Обед.mnu > уже существует.")},
         [&] {
             openMenus(env.firmaKod, menu, razdel);
             Form_Menu_S->Btn_DelClick();
             MenusTab->Btn_Del_R_MenuClick();
             ModalScript script;
             script.then(chooseItem(0)).then(chooseItem(1)).then([](QWidget*) { Form_Period->accept(); });
             MenusTab->Btn_Del_MenuClick();
             MenusTab->Btn_Del_MenuClick();
             ExportMenuFile(menu);
         }},
    };

    std::vector<Msg::Request> asked;
    std::deque<int> answers;
    Msg::setResponder([&](const Msg::Request& r) {
        asked.push_back(r);
        if (r.kind != Msg::Kind::Confirm || answers.empty())
            return 0;
        const int a = answers.front();
        answers.pop_front();
        return a;
    });
    for (const Question& q : questions) {
        SCOPED_TRACE(q.texts.first().toStdString());
        asked.clear();
        answers = q.before;
        Guard(q.ask);
        for (const QString& text : q.texts + q.safer) {
            const auto r = std::find_if(asked.begin(), asked.end(), [&](const Msg::Request& a) { return a.text.startsWith(text); });
            if (r == asked.end()) {
                ADD_FAILURE() << "not asked: " << text.toStdString() << "; shown: "
                              << std::accumulate(asked.begin(), asked.end(), std::string(),
                                                 [](const std::string& s, const Msg::Request& a) { return s + a.text.toStdString() + " | "; });
                continue;
            }
            EXPECT_EQ(r->kind, Msg::Kind::Confirm);
            EXPECT_EQ(r->cancelDefault, !q.safer.contains(text)) << text.toStdString();
        }
    }
    SetExchangeFileDialogs({});
    TForm_Print::pickSaveFile = pickSaveFile;
}
