#include "PosExchange.h"

#include "exchange/Dbf.h"
#include "exchange/MenuExport.h"
#include "exchange/ShiftTotals.h"
#include "entries/MenusTabRows.h"

#include "base/Unit_Base.h"
#include "ui/Unit_Alarm.h"
#include "ui/Unit_RG.h"
#include "util/Clock.h"
#include "util/Globals.h"
#include "util/Messages.h"
#include "util/Settings.h"
#include "util/Unit_Util.h"
#include "db/Query.h"
#include "engine/EngineDb.h"
#include "engine/FileCause.h"
#include "engine/WriteRoad.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

namespace {

const QString kMenuArea = QStringLiteral("Меню / Наряды");
const QString kRealArea = QStringLiteral("Производство и реализация");
const QString kDamagedTotals =
    QStringLiteral("Выбранный файл повреждён или не является итоговым файлом модуля \"Подавальния\". Обработка завершена.");
const QString kDamagedTorgTable =
    QStringLiteral("Выбранный файл повреждён или не является итоговой таблицей программы \"TorgService\". Обработка завершена.");
const QString kNoKnownDish =
    QStringLiteral("В принимаемых итогах нет ниодного блюда из Вашей базы данных. Приём итогов закончен.");
const QString kTorgUnknownDish =
    QStringLiteral("В принимаемом файле имеются блюда, которые отсутствуют в Вашей базе. Операция производиться не будет.");

// A file whose value no kitchen sells: the line and the value, nothing written.
QString totalsRefused(const QString& refusal)
{
    return QStringLiteral("Итоги смены не приняты. ") + refusal + QStringLiteral(" Обработка завершена.");
}

ExchangeFileDialogs& dialogs()
{
    static ExchangeFileDialogs d;
    return d;
}

QString askSave(const QString& proposed, const QString& filter, const QString& suffix)
{
    if (dialogs().save)
        return dialogs().save(proposed, filter, suffix);
    QFileDialog d;
    d.setAcceptMode(QFileDialog::AcceptSave);
    d.setNameFilter(filter);
    d.setDefaultSuffix(suffix);
    d.selectFile(proposed);
    return Msg::execModal(&d) == QDialog::Accepted && !d.selectedFiles().isEmpty() ? d.selectedFiles().first() : QString();
}

QString askOpen(const QString& filter)
{
    if (dialogs().open)
        return dialogs().open(filter);
    return QFileDialog::getOpenFileName(nullptr, QString(), QString(), filter);
}

exchange::Context programContext() { return engine::ProgramContext(); }

// The choice dialog with the first item selected; -1 unless OK.
int choose(const QStringList& items)
{
    Form_RG->RG->setTitle(QString());
    Form_RG->RG->setItems(items);
    Form_RG->RG->setItemIndex(0);
    Form_RG->adjustSize();
    return Msg::execModal(Form_RG) == QDialog::Accepted ? Form_RG->RG->itemIndex() : -1;
}

void showAlarm(const QStringList& lines)
{
    Form_Alarm->Memo1->setPlainText(lines.join(QLatin1Char('\n')));
    Msg::execModal(Form_Alarm);
}

bool readWhole(const QString& path, QByteArray* bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        Msg::error(QStringLiteral("Не удалось открыть файл ") + QDir::toNativeSeparators(path) + QStringLiteral(": ") +
                   engine::ReadFailureCause(path));
        return false;
    }
    *bytes = f.readAll();
    return true;
}

bool writeWhole(const QString& path, const QByteArray& bytes)
{
    QString why;
    if (exchange::WriteWhole(path, bytes, &why))
        return true;
    Msg::error(QStringLiteral("Не удалось записать файл ") + QDir::toNativeSeparators(path) + QStringLiteral(": ") + why);
    return false;
}

QString exportAction(const exchange::Menu& menu, const QString& program)
{
    return QStringLiteral("Выгрузка меню <<") + menu.name + QStringLiteral(">> от ") +
           menu.date.toString(QStringLiteral("dd.MM.yyyy")) + QStringLiteral(" для программы \"") + program + QLatin1Char('"');
}

// The menus tab's section list after an export: on the given section, or on
// the first one (a finished export); its dishes follow the section.
void standOnSection(qint64 section = 0) { catalogue::StandMenusTabOnSection(section); }

// The protocol line of a finished export, alone on the write road.
void logExport(const exchange::Menu& menu, const QString& program)
{
    WriteTransaction w(WriteTransaction::Reserve::Protocol);
    w.commit(kMenuArea, exportAction(menu, program));
    Msg::notice(QStringLiteral("Выгрузка меню закончена."));
}

// The new document and its protocol line commit together.
qint64 writeDocument(const exchange::SalesDocument& doc, const QString& program, const ShowNewDocument& show)
{
    qint64 kod = 0;
    {
        WriteTransaction w(exchange::kRoad);
        kod = exchange::WriteSalesDocument(w.context(), doc);
        w.commit(kRealArea, QStringLiteral("Приём итогов из программы \"") + program + QLatin1Char('"'));
    }
    if (show)
        show(kod);
    Msg::notice(QStringLiteral("Прием документа закончен!"));
    return kod;
}

} // namespace

void SetExchangeFileDialogs(ExchangeFileDialogs d) { dialogs() = std::move(d); }

// ---- menu export ----

void SendMenu(qint64 menuKey)
{
    if (MyParams && MyParams->v.obmen != 0)
        ExportMenuTorgService(menuKey);
    else
        ExportMenuFile(menuKey);
}

bool ExportMenuFile(qint64 menuKey)
{
    bool done = false;
    Guard([&] {
        const auto menu = exchange::LoadMenu(programContext(), menuKey);
        if (!menu)
            return;
        QString path = askSave(exchange::MenuFileName(menu->name, QStringLiteral("mnu")),
                               QStringLiteral("Меню для \"Подавальни\" (*.mnu)"), QStringLiteral("mnu"));
        if (path.isEmpty())
            return;
        // A name chosen without the extension gets it; the dialog asked about the name as chosen.
        if (!path.endsWith(QStringLiteral(".mnu"), Qt::CaseInsensitive)) {
            path += QStringLiteral(".mnu");
            if (QFile::exists(path) &&
                !Msg::confirmDestructive(QStringLiteral("Файл < ") + QDir::toNativeSeparators(path) +
                                             QStringLiteral(" > уже существует. Заменить его?"),
                                         QStringLiteral("Выгрузка меню")))
                return;
        }
        const exchange::MenuText text = exchange::MenuFileText(*menu);
        if (text.missingPrice) {
            standOnSection(text.missingPrice->sectionKod);
            Msg::notice(QStringLiteral("Нет продажной цены блюда <<") + text.missingPrice->dish +
                        QStringLiteral(">>. Выгрузка меню прервана."));
            return;
        }
        if (!writeWhole(path, exchange::PackContainer(text.text, Form_Util->scrambler())))
            return;
        standOnSection();
        logExport(*menu, QStringLiteral("Подавальня"));
        done = true;
    });
    return done;
}

bool ExportMenuTorgService(qint64 menuKey)
{
    bool done = false;
    Guard([&] {
        const exchange::Context ctx = programContext();
        const auto menu = exchange::LoadMenu(ctx, menuKey);
        if (!menu)
            return;
        const QString path = askSave(QStringLiteral("Products.dbf"), QStringLiteral("TorgService (*.dbf)"), QString());
        if (path.isEmpty())
            return;
        const int item = choose({QStringLiteral("Передавать уникальные коды блюд"), QStringLiteral("Передавать коды для кассы")});
        if (item < 0)
            return;
        const auto kind = item == 1 ? exchange::CodeKind::Till : exchange::CodeKind::Unique;
        if (kind == exchange::CodeKind::Till) {
            const auto gaps = exchange::DishesWithoutTillCode(ctx, menuKey);
            if (!gaps.isEmpty()) {
                showAlarm(exchange::TillCodeWarningLines(gaps));
                return;
            }
        }
        const exchange::TorgTables t = exchange::BuildTorgServiceTables(*menu, kind, Clock::today());
        if (!t.unfitDish.isEmpty()) {
            Msg::notice(QStringLiteral("Код или секция блюда <<") + t.unfitDish +
                        QStringLiteral(">> не помещается в таблицу TorgService. Выгрузка меню прервана."));
            return;
        }
        const QDir folder = QFileInfo(path).absoluteDir();
        if (!writeWhole(path, t.products) || !writeWhole(folder.filePath(QStringLiteral("Names.dbf")), t.names) ||
            !writeWhole(folder.filePath(QStringLiteral("Zimp.zfl")), exchange::ZimpCommand()))
            return;
        standOnSection();
        logExport(*menu, QStringLiteral("TorgService"));
        done = true;
    });
    return done;
}

// ---- shift totals ----

qint64 TakeShiftTotals(const ShowNewDocument& show)
{
    qint64 unposted = 0;
    if (!Guard([&] {
            auto q = engine::Reader(programContext(),
                                    QStringLiteral("SELECT COUNT(KOD) FROM DOCS WHERE DOC_TYPE = 1 AND PROVODKA < 11"));
            q->open();
            unposted = q->field(0).asInt64();
        }))
        return 0;
    if (unposted > 0) {
        Msg::notice(QStringLiteral("Нельзя принять документ РЕАЛИЗАЦИИ/ПРОИЗВОДСТВА пока имеются непроведённые документы "
                                   "ИНВЕНТАРИЗАЦИИ ! Сначала нужно эти документы провести или удалить."));
        return 0;
    }
    return MyParams && MyParams->v.obmen != 0 ? ImportTorgServiceTotals(show) : ImportShiftTotals(show);
}

qint64 ImportShiftTotals(const ShowNewDocument& show)
{
    qint64 kod = 0;
    Guard([&] {
        const QString path = askOpen(QStringLiteral("Итоги программы \"Подавалня\" (*.pdz)"));
        if (path.isEmpty())
            return;
        QByteArray bytes;
        if (!readWhole(path, &bytes))
            return;
        const exchange::ShiftTotals totals = exchange::ParseShiftTotals(bytes, Form_Util->scrambler());
        if (totals.status == exchange::TotalsStatus::OldVersion) {
            Msg::notice(QStringLiteral("Выбранный файл повреждён или скорее всего он из версии \"Подавальни v1.X.X.\", "
                                       "а требуется v5.X.X. Обработка завершена."));
            return;
        }
        if (totals.status == exchange::TotalsStatus::OutOfRange) {
            Msg::notice(totalsRefused(totals.refusal));
            return;
        }
        if (totals.status != exchange::TotalsStatus::Ok) {
            Msg::notice(kDamagedTotals);
            return;
        }
        const exchange::TotalsPlan plan = exchange::PlanShiftTotals(programContext(), totals);
        if (!plan.unknownCodes.isEmpty()) {
            showAlarm(QStringList{QStringLiteral("Коды блюд необнаруженные в Вашей базе."),
                                  QStringLiteral("Узнать наименования этих блюд вы можете"),
                                  QStringLiteral("в программе \"Подавальня\"."), QStringLiteral(" ")} +
                      plan.unknownCodes);
            if (!Msg::confirm(QStringLiteral("Продолжить приём итогов смены без этих блюд?"),
                              QStringLiteral("Ошибки при приёме итогов смены")))
                return;
        }
        if (!plan.anyKnown) {
            Msg::notice(kNoKnownDish);
            return;
        }
        kod = writeDocument(plan.document, QStringLiteral("Подавальни"), show);
    });
    return kod;
}

qint64 ImportTorgServiceTotals(const ShowNewDocument& show)
{
    qint64 kod = 0;
    Guard([&] {
        const QString path = askOpen(QStringLiteral("Итоги программы \"TorgService\" (*.dbf)"));
        if (path.isEmpty())
            return;
        const int item = choose({QStringLiteral("Принимать по уникальным кодам блюд"), QStringLiteral("Принимать по кодам для кассы")});
        if (item < 0)
            return;
        QByteArray bytes;
        if (!readWhole(path, &bytes))
            return;
        const exchange::TorgPlan plan = exchange::PlanTorgServiceTotals(
            programContext(), bytes, item == 1 ? exchange::CodeKind::Till : exchange::CodeKind::Unique);
        switch (plan.status) {
        case exchange::TorgStatus::Damaged:
            Msg::notice(kDamagedTorgTable);
            return;
        case exchange::TorgStatus::UnknownCode:
            Msg::notice(kTorgUnknownDish);
            return;
        case exchange::TorgStatus::NoCodes:
            Msg::notice(kNoKnownDish);
            return;
        case exchange::TorgStatus::OutOfRange:
            Msg::notice(totalsRefused(plan.refusal));
            return;
        case exchange::TorgStatus::Ok:
            break;
        }
        kod = writeDocument(plan.document, QStringLiteral("TorgService"), show);
    });
    return kod;
}
