#include "MenuStore.h"

#include "CatalogueUi.h"
#include "db/Codec.h"
#include "db/Query.h"
#include "engine/Clock.h"
#include "engine/EngineDb.h"
#include "engine/WriteRoad.h"
#include "util/SettingsStore.h"

#include <QLineEdit>

namespace menus {

const QString kArea = QStringLiteral("Меню/Наряды");

namespace {

QString Day(const QDate& d) { return d.toString(QStringLiteral("dd.MM.yyyy")); }

QString Quoted(const QString& s) { return QStringLiteral("<<") + s + QStringLiteral(">>"); }

} // namespace

QString CharsOutside1251(const QString& text)
{
    return db::unstorableCharacters(text);
}

bool TextFits(QLineEdit* edit)
{
    const QString bad = CharsOutside1251(edit->text());
    if (bad.isEmpty())
        return true;
    cat::Refuse(QStringLiteral("Текст содержит символы, которые нельзя сохранить в базе данных (вне кодировки Windows-1251): ") +
                    bad,
                edit);
    return false;
}

bool NameGiven(QLineEdit* edit, const QString& missing) { return cat::Filled(edit, missing) && TextFits(edit); }

// ---- menus ----

qint64 SaveMenu(const MenuData& d, qint64 kod, const engine::ShownRow& shown, const QString& firmaName)
{
    WriteTransaction w(menus::kRoad);
    if (kod == 0)
        engine::ClaimRow(w.context(), QStringLiteral("FIRMA"), d.firma, firmaName);
    else
        engine::ClaimShownRow(w.context(), shown, QStringLiteral("MENU"), kod);
    const qint64 saved = SaveMenu(w.context(), d, kod);
    w.commit(kArea, (kod == 0 ? QStringLiteral("Создано меню ") : QStringLiteral("Изменены параметры меню ")) + Quoted(d.name));
    return saved;
}

void DeleteMenu(qint64 kod, const QString& name, const QDate& date)
{
    WriteTransaction w(menus::kRoad);
    engine::ClaimRow(w.context(), QStringLiteral("MENU"), kod, name);
    DeleteMenu(w.context(), kod);
    w.commit(kArea, QStringLiteral("Удаление меню ") + Quoted(name) + QStringLiteral(" от ") + Day(date));
}

int DeleteMenusOfPeriod(bool all, const QDate& from, const QDate& to)
{
    WriteTransaction w(menus::kRoad);
    const int n = DeleteMenusOfPeriod(w.context(), all, from, to);
    // No menu in the period: nothing was deleted, and nothing is logged.
    if (n > 0)
        w.commit(kArea, QStringLiteral("Удаление меню за период с ") + Day(from) + QStringLiteral(" по ") + Day(to));
    return n;
}

qint64 CopyMenu(qint64 source, const QString& shownName, const QString& newName)
{
    WriteTransaction w(menus::kRoad);
    engine::ClaimRow(w.context(), QStringLiteral("MENU"), source, shownName);
    auto src = engine::Reader(w.context(), QStringLiteral("SELECT NAME, DATE_MENU FROM MENU WHERE KOD = ") + Key(source));
    src->open();
    const QString sourceName = src->field(QStringLiteral("NAME")).asString();
    const QDate sourceDate = src->field(QStringLiteral("DATE_MENU")).asDate();
    const qint64 kod = CopyMenu(w.context(), source, newName, Clock::today());
    w.commit(kArea, QStringLiteral("Копирование меню ") + Quoted(sourceName) + QStringLiteral(" от ") + Day(sourceDate) +
                        QStringLiteral(" в ") + Quoted(newName));
    return kod;
}

void SetPercentAfterRounding(bool after)
{
    SetPresenceSetting(QStringLiteral("DOiliPOSLE"), after,
                       SettingLog{kArea, after ? QStringLiteral("Применять процент повышения цены меню после округления "
                                                                "продажных цен")
                                               : QStringLiteral("Применять процент повышения цены меню до округления "
                                                                "продажных цен")});
}

// ---- sections ----

qint64 SaveRazdel(const RazdelData& d, qint64 kod, const engine::ShownRow& shown, const QString& otdelName,
                  const QString& menuName, const QDate& menuDate)
{
    WriteTransaction w(menus::kRoad);
    if (kod == 0) {
        engine::ClaimRow(w.context(), QStringLiteral("MENU"), d.menu, menuName);
        engine::ClaimRow(w.context(), QStringLiteral("OTDEL"), d.otdel, otdelName);
    } else
        engine::ClaimShownRow(w.context(), shown, QStringLiteral("MENU_RAZDEL"), kod);
    const qint64 saved = SaveRazdel(w.context(), d, kod);
    w.commit(kArea, QStringLiteral("В меню ") + Quoted(menuName) + QStringLiteral(" от ") + Day(menuDate) +
                        (kod == 0 ? QStringLiteral(" добавлен раздел ") : QStringLiteral(" отредактирован раздел ")) +
                        Quoted(d.name));
    return saved;
}

void DeleteRazdel(qint64 kod, const QString& name, const QString& menuName, const QDate& menuDate)
{
    WriteTransaction w(menus::kRoad);
    engine::ClaimRow(w.context(), QStringLiteral("MENU_RAZDEL"), kod, name);
    DeleteRazdel(w.context(), kod);
    w.commit(kArea, QStringLiteral("Удаление раздела ") + Quoted(name) + QStringLiteral(" из меню ") + Quoted(menuName) +
                        QStringLiteral(" от ") + Day(menuDate));
}

void SwitchRazdel(qint64 kod, int isActive, const QString& name, const QString& menuName)
{
    WriteTransaction w(menus::kRoad);
    engine::ClaimRow(w.context(), QStringLiteral("MENU_RAZDEL"), kod, name);
    SwitchRazdel(w.context(), kod, isActive);
    w.commit(kArea, QStringLiteral("Открытие/Закрытие раздела ") + Quoted(name) + QStringLiteral(" в меню ") + Quoted(menuName));
}

// ---- dishes ----

bool DishInRazdel(qint64 razdel, qint64 ing) { return DishInRazdel(engine::ProgramContext(), razdel, ing); }

qint64 AddDish(qint64 razdel, qint64 ing, int noRound, const QString& dishName, const QString& razdelName,
               const QString& menuName, const QDate& menuDate)
{
    WriteTransaction w(menus::kRoad);
    engine::ClaimRow(w.context(), QStringLiteral("MENU_RAZDEL"), razdel, razdelName);
    engine::ClaimRow(w.context(), QStringLiteral("ING"), ing, dishName);
    const qint64 kod = AddDish(w.context(), razdel, ing, noRound);
    w.commit(kArea, QStringLiteral("В меню ") + Quoted(menuName) + QStringLiteral(" от ") + Day(menuDate) +
                        QStringLiteral(" в раздел ") + Quoted(razdelName) + QStringLiteral(" добавлено блюдо ") + Quoted(dishName));
    return kod;
}

void RemoveDish(qint64 kod, const QString& dishName, const QString& razdelName, const QString& menuName,
                const QDate& menuDate)
{
    WriteTransaction w(menus::kRoad);
    engine::ClaimRow(w.context(), QStringLiteral("MENU_STR"), kod, dishName);
    RemoveDish(w.context(), kod);
    // The protocol has always begun this line with a Latin B; searches of the protocol rely on it.
    w.commit(kArea, QStringLiteral("B меню ") + Quoted(menuName) + QStringLiteral(" от ") + Day(menuDate) +
                        QStringLiteral(" из раздела ") + Quoted(razdelName) + QStringLiteral(" удалено блюдо ") + Quoted(dishName));
}

void SwitchDish(qint64 kod, const QVariant& myActive, const QString& dishName)
{
    WriteTransaction w(menus::kRoad);
    engine::ClaimRow(w.context(), QStringLiteral("MENU_STR"), kod, dishName);
    SwitchDish(w.context(), kod, myActive);
    w.commit(kArea, QStringLiteral("Включение/Отключение блюда ") + Quoted(dishName));
}

void MoveDish(qint64 kod, qint64 targetRazdel, const QString& dishName, const QString& targetName)
{
    WriteTransaction w(menus::kRoad);
    engine::ClaimRow(w.context(), QStringLiteral("MENU_STR"), kod, dishName);
    engine::ClaimRow(w.context(), QStringLiteral("MENU_RAZDEL"), targetRazdel, targetName);
    MoveDish(w.context(), kod, targetRazdel);
    w.commit(kArea, QStringLiteral("Перемещение блюда ") + Quoted(dishName) + QStringLiteral(" из одного раздела меню в другой."));
}

} // namespace menus
