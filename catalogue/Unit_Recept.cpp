#include "Unit_Recept.h"

#include "CatalogueUi.h"
#include "base/Unit_Base.h"
#include "costing/CardEdit.h"
#include "db/Query.h"
#include "ui/Scaling.h"
#include "util/Messages.h"
#include "util/Unit_Util.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

FirstUse<TForm_Recept> Form_Recept;

TForm_Recept::TForm_Recept(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setWindowTitle(QStringLiteral("Описание рецепта приготовления"));
    auto* lay = new QVBoxLayout(this);
    RichEdit1 = new QTextEdit(this);
    RichEdit1->setAcceptRichText(false);
    lay->addWidget(RichEdit1, 1);
    Btn_Clear = new QPushButton(QStringLiteral("Удалить все строки"), this);
    Btn_Ok = new QPushButton(QStringLiteral("OK"), this);
    Btn_Cancel = new QPushButton(QStringLiteral("Отмена"), this);
    for (QPushButton* b : {Btn_Clear, Btn_Ok, Btn_Cancel})
        b->setAutoDefault(false);
    lay->addLayout(cat::ButtonRow(Btn_Clear, {Btn_Ok, Btn_Cancel}));
    connect(Btn_Ok, &QPushButton::clicked, this, [this] { Guard([this] { Btn_OkClick(); }); });
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(Btn_Clear, &QPushButton::clicked, this, [this] { Guard([this] { Btn_ClearClick(); }); });
    resize(600, 450);
    ScaleWindow(this, true);
}

TForm_Recept::~TForm_Recept()
{
    if (Form_Recept.made() == this)
        Form_Recept = nullptr;
}

void TForm_Recept::Load(qint64 product)
{
    KodIng = product;
    db::Query q(Form_Base->MyDB, Form_Base->TransactionRead);
    q.setSql(QStringLiteral("SELECT RECEPT FROM ING WHERE KOD = ") + Key(product));
    q.open();
    RichEdit1->setPlainText(q.isEmpty() ? QString() : q.field(QStringLiteral("RECEPT")).asString());
}

void TForm_Recept::Btn_OkClick()
{
    const QString text = RichEdit1->toPlainText();
    const QString refusal = costing::UnstorableTextRefusal(text);
    if (!refusal.isEmpty())
        return cat::Refuse(refusal, RichEdit1);
    WriteTransaction w(costing::kRoad);
    costing::SaveRecipe(w.context(), KodIng, text);
    w.commit();
    accept();
}

void TForm_Recept::Btn_ClearClick()
{
    if (Msg::confirmDestructive(QStringLiteral("Вы действительно хотите удалить все строки из текста рецепта !"),
                                QStringLiteral("Рецепт")))
        RichEdit1->clear();
}
