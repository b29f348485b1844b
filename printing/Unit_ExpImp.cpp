#include "Unit_ExpImp.h"

#include "Unit_Print.h"
#include "entries/Office.h"

#include "base/Unit_Base.h"
#include "engine/WriteRoad.h"
#include "templates/TemplateAdmin.h"
#include "templates/TemplateContainer.h"
#include "ui/Scaling.h"
#include "ui/Unit_Name.h"
#include "util/Messages.h"
#include "util/Unit_Util.h"

#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QSaveFile>
#include <QStyle>
#include <QVBoxLayout>

FirstUse<TForm_ExpImp> Form_ExpImp;

TForm_ExpImp::TForm_ExpImp(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Экспорт/Импорт шаблонов печати"));
    auto* lay = new QVBoxLayout(this);
    Btn_Import = new QPushButton(QStringLiteral("Импортировать шаблон из файла"), this);
    Btn_Export = new QPushButton(QStringLiteral("Экспортировать шаблон в файл"), this);
    Btn_Exit = new QPushButton(this);
    Btn_Exit->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    Btn_Exit->setToolTip(QStringLiteral("Закрыть"));
    Btn_Exit->setAccessibleName(QStringLiteral("Закрыть"));
    for (QPushButton* b : {Btn_Import, Btn_Export}) {
        b->setMinimumWidth(b->sizeHint().width() + 40);
        b->setAutoDefault(false);
        lay->addWidget(b);
    }
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(Btn_Exit);
    lay->addLayout(row);
    connect(Btn_Import, &QPushButton::clicked, this, [this] { Guard([this] { Btn_ImportClick(); }); });
    connect(Btn_Export, &QPushButton::clicked, this, [this] { Guard([this] { Btn_ExportClick(); }); });
    connect(Btn_Exit, &QPushButton::clicked, this, &QDialog::reject);
    adjustSize();
    resize(sizeHint());
    ScaleWindow(this, false);
}

void TForm_ExpImp::Btn_ExportClick()
{
    if (!Form_Print)
        return;
    // What is exported is the stored template: unsaved edits are offered for saving first.
    Form_Print->AskToSave();
    const qint64 formKod = Form_Print->FormKod();
    if (formKod == 0)
        return;
    QString path = TForm_Print::pickSaveFile(this, QStringLiteral("Экспорт шаблона печати тарелии"), QString(),
                                             QStringLiteral("Экспорт шаблона печати тарелии (*.trz)"));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".trz");
    QByteArray bytes;
    try {
        bytes = templates::WriteContainer(templates::ExportTemplate(engine::ProgramContext(), formKod));
    } catch (const templates::TemplateError& e) {
        Msg::notice(e.text());
        return;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        Msg::notice(QStringLiteral("Не удалось записать файл < ") + path + QStringLiteral(" >."));
        return;
    }
    Msg::notice(QStringLiteral("Экспорт шаблона в файл  < ") + path + QStringLiteral(" >  успешно закончен !"));
    accept();
}

void TForm_ExpImp::Btn_ImportClick()
{
    const QString path = TForm_Print::pickOpenFile(this, QStringLiteral("Импорт шаблона печати тарелии"), QString(),
                                                   QStringLiteral("Импорт шаблона печати тарелии (*.trz)"));
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Msg::notice(QStringLiteral("Не удалось прочитать файл < ") + path + QStringLiteral(" >."));
        return;
    }
    templates::TemplateContainer c;
    QString unchecked;  // what could not be checked without the office
    try {
        c = templates::ReadContainer(file.readAll());
        // The spreadsheet and the cell references are checked before anything is written.
        unchecked = templates::CheckUploadable(printing::ProgramOffice(), c.spreadsheet, QFileInfo(path).fileName(),
                                   templates::ContainerTemplateForm(c), templates::ContainerTemplateVariables(c));
    } catch (const templates::TemplateError& e) {
        Msg::notice(e.text());
        return;
    }
    Form_Name->setWindowTitle(QStringLiteral("Наименование нового шаблона"));
    Form_Name->DateTimePicker1->hide();
    Form_Name->Panel2->hide();
    Form_Name->Edit2->clear();
    Form_Name->Edit1->setText(c.form.name);
    if (Msg::execModal(Form_Name) != QDialog::Accepted || Form_Name->Edit1->text().isEmpty())
        return;
    const QString name = Form_Name->Edit1->text();
    const QString bad = templates::UnstorableChars(name);
    if (!bad.isEmpty()) {
        Msg::notice(QStringLiteral("Текст содержит символы, которые нельзя сохранить в базе данных (вне кодировки "
                                   "Windows-1251): ") +
                    bad);
        return;
    }
    {
        WriteTransaction w(templates::kRoad);
        templates::ImportTemplate(w.context(), c, name);
        w.commit(QStringLiteral("Настройка"), QStringLiteral("Импортирован шаблон печати: \"") + name + QStringLiteral("\""));
    }
    if (!unchecked.isEmpty())
        Msg::notice(unchecked);
    Msg::notice(QStringLiteral("Импорт шаблона успешно закончен ! Для печати этого шаблона, сделайте его шаблоном по "
                               "умолчанию."));
    accept();
}
