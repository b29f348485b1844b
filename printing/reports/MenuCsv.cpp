#include "MenuCsv.h"

#include "db/Codec.h"

#include <QSaveFile>

#include <stdexcept>

namespace reports {

namespace {

QString field(const QString& text)
{
    QString s = OneLine(text);
    s.replace(QLatin1Char(';'), QLatin1Char(' '));
    return s;
}

} // namespace

QString MenuCsvPrice(const std::optional<double>& price)
{
    if (!price)
        return {};
    if (*price == 0)
        return QStringLiteral("0");
    QString s = QString::number(*price, 'g', 15);
    const qsizetype e = s.indexOf(QLatin1Char('e'));
    if (e >= 0)
        s = s.left(e) + QLatin1Char('E') + QString::number(s.mid(e + 1).toInt());
    s.replace(QLatin1Char('.'), QLatin1Char(','));
    return s;
}

QByteArray MenuCsvBytes(const QVector<MenuSectionLine>& sections)
{
    QString out;
    const QString eol = QStringLiteral("\r\n");
    for (const MenuSectionLine& s : sections) {
        out += field(s.name) + QStringLiteral(";0;0;0;0") + eol;
        for (const MenuDishLine& d : s.dishes)
            out += field(d.name) + QLatin1Char(';') + QString::number(d.kodIngSklad) + QLatin1Char(';') +
                   field(d.sKod) + QLatin1Char(';') + MenuCsvPrice(d.cenaMenu) + QLatin1Char(';') + field(d.dopInfo) +
                   eol;
    }
    // The texts came from the database, so Windows-1251 holds them.
    return db::toCp1251(out);
}

void WriteMenuCsv(const QString& path, const QVector<MenuSectionLine>& sections)
{
    const QByteArray bytes = MenuCsvBytes(sections);
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit())
        throw std::runtime_error(
            QStringLiteral("Файл \"%1\" не записан: %2").arg(path, f.errorString()).toStdString());
}

} // namespace reports
