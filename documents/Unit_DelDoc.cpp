#include "Unit_DelDoc.h"

#include "db/Query.h"
#include "deletion/Deletion.h"
#include "engine/DocumentClaim.h"
#include "engine/WriteRoad.h"
#include "ui/InputDialogs.h"
#include "ui/Scaling.h"
#include "util/Messages.h"
#include "util/Settings.h"
#include "util/Unit_Util.h"

#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

FirstUse<TForm_DelDoc> Form_DelDoc;

TForm_DelDoc::TForm_DelDoc(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setWindowTitle(QStringLiteral("Удаление документов"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    RG = new TRadioGroup(QString(), {QStringLiteral("Удалить текущий документ"),
                                      QStringLiteral("Удалить все выбранные документы")}, this);
    RG->setItemIndex(0);
    layout->addWidget(RG);
    auto* warning = new QLabel(QStringLiteral("ВНИМАНИЕ !  Если в выбранных на удаление \n"
                                              "документах имеются парные, типа \n"
                                              "\"Внутреннее перемещение\" или \"Производство\"\n"
                                              "то будут удалены оба документа пары, даже\n"
                                              "если второй документ в выборку не попал."),
                               this);
    layout->addWidget(warning);
    auto* box = new QGroupBox(this);
    auto* boxLayout = new QVBoxLayout(box);
    CB_Otkat = new QCheckBox(QStringLiteral("Произвести откат"), box);
    boxLayout->addWidget(CB_Otkat);
    boxLayout->addWidget(new QLabel(QStringLiteral("ВНИМАНИЕ !  Этот параметр восстановит\n"
                                                   "остатки на складах, как если-бы этого\n"
                                                   "документа небыло вовсе. "),
                                    box));
    RadioGroup1 = new TRadioGroup(QStringLiteral("Если документ изменял цены на складе то :"),
                                  {QStringLiteral("Цены НЕ трогать !!!"), QStringLiteral("Восстановить старые цены")}, box);
    RadioGroup1->setItemIndex(0);
    RadioGroup1->setEnabled(false);
    boxLayout->addWidget(RadioGroup1);
    layout->addWidget(box);
    layout->addSpacing(6);
    const InputButtons buttons = AddInputButtons(this, layout, true);
    Btn_Ok = buttons.ok;
    Btn_Cancel = buttons.cancel;
    BitBtn1 = buttons.hiddenOk;

    connect(CB_Otkat, &QCheckBox::toggled, this, [this] { CB_OtkatClick(); });
    connect(RG, &TRadioGroup::clicked, this, [this](int) { RGClick(); });
    connect(RadioGroup1, &TRadioGroup::clicked, this, [this](int) { RadioGroup1Click(); });
    connect(Btn_Ok, &QPushButton::clicked, this, [this] { Guard([this] { Btn_OkClick(); }); });
    FormCreate();
}

TForm_DelDoc::~TForm_DelDoc()
{
    if (Form_DelDoc.made() == this)
        Form_DelDoc = nullptr;
}

void TForm_DelDoc::FormCreate()
{
    suppress_ = false;
    adjustSize();
    ScaleWindow(this, false);
}

void TForm_DelDoc::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
}

void TForm_DelDoc::setOtkat(bool checked)
{
    if (CB_Otkat->isChecked() == checked)
        return;
    suppress_ = true;
    CB_Otkat->setChecked(checked);
}

void TForm_DelDoc::FormShow()
{
    if (MyParams->v.DelOtkatOnly) {
        setOtkat(true);
        CB_Otkat->setEnabled(false);
    } else {
        setOtkat(false);
        CB_Otkat->setEnabled(true);
    }
    // A document that is not posted has nothing to roll back.
    if (List && List->active() && !List->isEmpty() && List->field(QStringLiteral("PROVODKA")).asInt64() < 10) {
        CB_Otkat->setChecked(false);
        CB_Otkat->setEnabled(false);
        RadioGroup1->setEnabled(false);
    }
    RadioGroup1->setItemIndex(0);
    RG->setItemIndex(0);
}

void TForm_DelDoc::CB_OtkatClick()
{
    if (suppress_) {
        suppress_ = false;
        return;
    }
    // The rollback only chooses how the documents go, and the safer way: OK is the default.
    if (CB_Otkat->isChecked() &&
        !Msg::confirm(QStringLiteral("Вы уверены что желаете удалить документы с откатом результатов их проведения ?"),
                      QStringLiteral("Откат"))) {
        suppress_ = true;
        CB_Otkat->setChecked(false);
        suppress_ = false;
    }
    RadioGroup1->setEnabled(CB_Otkat->isChecked());
    RadioGroup1->setItemIndex(0);
}

void TForm_DelDoc::RGClick()
{
    if (RG->itemIndex() == 1 && SalesTab) {
        Msg::notice(QStringLiteral("Удаление нескольких документов возможно в окне Продукты и блюда ==> Движение !"));
        RG->setItemIndex(0);
        return;
    }
    if (RG->itemIndex() == 1)
        RadioGroup1->setItemIndex(0);
}

void TForm_DelDoc::RadioGroup1Click()
{
    if (RadioGroup1->itemIndex() == 1 && RG->itemIndex() == 1) {
        Msg::notice(QStringLiteral("Опцию восстановления цен можно применять только при удалении одного документа. "
                                   "При удалении списком эта опция не работает !"));
        RadioGroup1->setItemIndex(0);
    }
}

void TForm_DelDoc::Btn_OkClick()
{
    if (List)
        DeleteDocs(List);
}

void TForm_DelDoc::DeleteDocs(db::Query* list)
{
    // The last question says which deletion it confirms.
    if (!Msg::confirmDestructive(QStringLiteral("ВНИМАНИЕ !!! После удаления, данные документы не будут учитываться в оборотной "
                                                "ведомости. Подтвердите удаление выбранных документов ") +
                                     (CB_Otkat->isChecked() ? QStringLiteral("с откатом ?") : QStringLiteral("без отката ?")),
                                 QStringLiteral("Удаление документов")))
        return;
    deletion::Options options;
    options.rollback = CB_Otkat->isChecked();
    options.restorePrices = options.rollback && RadioGroup1->itemIndex() == 1;
    WriteTransaction w(deletion::kRoad);
    QString text;
    if (RG->itemIndex() == 0) {
        if (!list->active() || list->isEmpty())
            return;
        const QString name = list->field(QStringLiteral("NAME")).asString();
        const qint64 kod = list->field(QStringLiteral("KOD")).asInt64();
        text = QStringLiteral("Удалён документ № ") + name + QStringLiteral(" от ") +
               list->field(QStringLiteral("DATE_DOC")).asDate().toString(QStringLiteral("dd.MM.yyyy")) + QStringLiteral("; ");
        const bool deleted = deletion::DeleteWithPair(w.context(), kod, options);
        // Deleted or not here, the list stands on the row above the document.
        if (list->recNo() > 0)
            list->prior();
        if (!deleted) {
            // Deleted on another workstation meanwhile: nothing is written,
            // and the list drops the row as it reads it again.
            reject();
            throw engine::DocumentRefusal(kod, true, engine::DocumentGoneText(name));
        }
    } else {
        text = QStringLiteral("Удалены документы по условию: Период = ") + Info.period +
               QStringLiteral(" Тип документов - ") + Info.types + QStringLiteral("; ");
        if (Info.detail == 0)
            text += QStringLiteral("все предприятия; ");
        else if (Info.detail == 1)
            text += QStringLiteral("все подразделения предприятия <<") + Info.firma + QStringLiteral(">>; ");
        else
            text += QStringLiteral("подразделение <<") + Info.otdel + QStringLiteral(">> предприятия <<") + Info.firma +
                    QStringLiteral(">>; ");
        QList<qint64> keys;
        for (list->first(); !list->eof(); list->next())
            keys.append(list->field(QStringLiteral("KOD")).asInt64());
        int deleted = 0;
        for (qint64 kod : keys)
            deleted += deletion::DeleteWithPair(w.context(), kod, options) ? 1 : 0;
        if (deleted == 0 && !keys.isEmpty()) {
            reject();
            // The row the list stands on is read again: gone, the list is read whole.
            throw engine::DocumentRefusal(keys.last(), true,
                                          QStringLiteral("Документы удалены на другом рабочем месте. Ничего не записано."));
        }
    }
    if (options.rollback)
        text += QStringLiteral("Откат; ");
    if (options.restorePrices)
        text += QStringLiteral("Восстановление цен");
    // The list reloads with the commit on the row it stands on: the one above a deleted document.
    w.commit(QStringLiteral("Движение"), text);
    BitBtn1->click();
}

bool ShowDeleteDocs(db::Query* list, bool salesTab, const DeleteListInfo& info)
{
    TForm_DelDoc* d = Form_DelDoc;
    d->List = list;
    d->SalesTab = salesTab;
    d->Info = info;
    d->FormShow();
    return Msg::execModal(d) == QDialog::Accepted;
}

void CreateDeleteWindow() { Form_DelDoc.make(); }

void DestroyDeleteWindow() { Form_DelDoc.destroy(); }
