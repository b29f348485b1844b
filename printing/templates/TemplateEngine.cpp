#include "TemplateEngine.h"

#include "engine/TemplateCacheName.h"
#include "engine/Kopecks.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cmath>

namespace templates {

using automation::CellAddress;
using automation::Document;
using automation::RangeAddress;

namespace {

bool isAsciiDigit(QChar c) { return c.unicode() >= u'0' && c.unicode() <= u'9'; }

// Where the digits at the end of ref begin (its size when there are none).
qsizetype digitsStart(const QString& ref)
{
    qsizetype end = ref.size();
    while (end > 0 && ref.at(end - 1).isDigit())
        --end;
    return end;
}

} // namespace

// Called for every value written: both read the reference in place.
int ColumnNumber(const QString& ref)
{
    const qsizetype letters = digitsStart(ref);
    if (letters == 0)
        return 1;
    int n = ref.at(0).unicode() - u'A' + 1;
    if (letters == 2)
        n = n * 26 + ref.at(1).unicode() - u'A' + 1;
    return n;
}

int RowNumber(const QString& ref)
{
    if (ref.isEmpty() || !ref.back().isDigit())
        return 1;
    qsizetype i = 0;
    while (i < ref.size() && !ref.at(i).isDigit())
        ++i;
    // Up to nine plain digits read here; anything else as a number text.
    if (ref.size() - i <= 9) {
        int n = 0;
        qsizetype j = i;
        for (; j < ref.size() && isAsciiDigit(ref.at(j)); ++j)
            n = n * 10 + (ref.at(j).unicode() - u'0');
        if (j == ref.size())
            return n;
    }
    return ref.mid(i).toInt();
}

QString ColumnLetters(const QString& ref) { return ref.left(digitsStart(ref)); }

QString EnsureCacheFile(const QString& cacheFolder, const TemplateForm& form)
{
    const QString path = cacheFolder + TemplateCacheFileName(form.UNICNAME);
    const QFileInfo info(path);
    if (info.exists() && info.size() == form.SHABLON.size())
        return path;
    // Any failure here leaves no file, and opening it fails with a message.
    QDir().mkpath(cacheFolder);
    if (info.exists()) {
        QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::WriteOwner);
        QFile::remove(path);
    }
    QSaveFile out(path);
    if (out.open(QIODevice::WriteOnly)) {
        out.write(form.SHABLON);
        if (out.commit())
            QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    }
    return path;
}

int OpenPrintTemplate(automation::Office& office, const QString& cacheFolder, const TemplateForm& form,
                      std::unique_ptr<Document>& document)
{
    const int headRow = RowNumber(form.HEAD_YX);
    const int tailRow = RowNumber(form.TAIL_YX);
    const int first = headRow + 1;
    // Without a spreadsheet the office would open the empty cache file as a
    // new, bare workbook.
    if (form.SHABLON.isEmpty())
        throw TemplateError(QStringLiteral("В шаблоне \"%1\" нет файла электронной таблицы: загрузите его в окне "
                                           "шаблонов печати.")
                                .arg(form.NAME_SHABLON));
    if (!office.connect())
        throw TemplateError(automation::OfficeUnreachableText());
    const QString path = EnsureCacheFile(cacheFolder, form);
    try {
        document = office.loadDocument(path);
    } catch (const automation::OfficeStopped&) {
        throw;  // the template is sound; the office is gone
    } catch (const automation::OfficeError&) {
        document.reset();
    }
    if (!document)
        throw TemplateError(QStringLiteral("Ошибка открытия шаблона !"));
    document->lockControllers();
    document->addActionLock();
    document->moveRange({1, 0, 0}, {0, 0, first - 1, ColumnNumber(form.TAIL_YX) - 1, tailRow - 1});
    document->removeRows(0, first - 1, tailRow + first + 5);
    return first;
}

int MoveTemplateRange(Document& document, const QString& tail, const QString& head, int row, bool move)
{
    const int n = RowNumber(tail) - RowNumber(head);
    const RangeAddress from{1, 0, 0, ColumnNumber(ColumnLetters(tail)) - 1, n - 1};
    const CellAddress to{0, 0, row - 1};
    if (move)
        document.moveRange(to, from);
    else
        document.copyRange(to, from);
    return row + n + 1;
}

int CopyTemplateRange(Document& document, const QString& ref, int row)
{
    document.copyRange({0, 0, row - 1}, {0, 0, 0, ColumnNumber(ref) - 1, RowNumber(ref) - 1});
    return row + RowNumber(ref) + 1;
}

namespace {

automation::BorderLine gridLine() { return {1, 0, 35}; }

} // namespace

void FinishTemplateSheet(automation::Office& office, Document& document, const TemplateForm& form, int row)
{
    const int first = RowNumber(form.HEAD_YX) + 1;
    // With no table row there is nothing to outline.
    if (form.SETKA == OutlineGrid && row - 1 >= first) {
        automation::TableBorder b;
        b.top = b.bottom = b.left = b.right = b.horizontal = b.vertical = gridLine();
        b.isTopValid = b.isBottomValid = b.isLeftValid = b.isRightValid = b.isHorizontalValid = b.isVerticalValid =
            true;
        document.setTableBorder({0, ColumnNumber(form.START_LINE) - 1, first - 1, ColumnNumber(form.END_LINE) - 1,
                                 row - 2},
                                b);
    }
    // The workbook holds only the sheet the report fills: the parking sheet
    // goes, with whatever end block a copy left on it, and so does any other.
    for (int n = document.sheetCount(); n > 1; --n)
        document.removeSheet(n - 1);
    // Released in the reverse order of taking them; the unlock fits the rows
    // given wrapped text while the document was locked.
    document.removeActionLock();
    document.unlockControllers();
    document.show();
    office.disconnect();
}

void AbandonTemplateSheet(automation::Office& office, Document& document)
{
    try {
        document.removeActionLock();
        document.unlockControllers();
    } catch (...) {
    }
    try {
        document.close();
    } catch (...) {
    }
    office.disconnect();
}

QString ValueText(const R_Field& value)
{
    switch (value.Typ) {
    case KindText:
        return value.S;
    case KindInteger:
        return QString::number(static_cast<qint32>(value.I));
    case KindFloat: {
        // Hundredths rounded to nearest, ties to even, as amounts in words
        // round them: one document never shows 0,13 beside "12 коп." for one total.
        QString s = QString::number(engine::ToKopeck(value.F), 'f', 2);
        if (s == QStringLiteral("-0.00"))
            s = QStringLiteral("0.00");
        return s.replace(QLatin1Char('.'), QLatin1Char(','));
    }
    case KindDate:
        return value.D.date().toString(QStringLiteral("dd.MM.yyyy"));
    case KindTime:
        return value.T.time().toString(QStringLiteral("H:mm:ss"));
    default:
        return QString();
    }
}

ColumnFormats ReadColumnFormats(Document& document, const TemplateVariables& variables, int firstRow)
{
    ColumnFormats formats;
    QList<int> asked;
    for (const TemplateVariable& v : variables.all()) {
        if (v.ENABLED != 1 || v.LOCATION == LocHeader)
            continue;
        const int c = ColumnNumber(v.X_START);
        if (asked.contains(c))
            continue;
        asked.append(c);
        const QString code = document.numberFormat({0, c - 1, firstRow - 1});
        if (!code.isEmpty())
            formats.insert(c, code);
    }
    return formats;
}

int ShownPlaces(const QString& code)
{
    // The first section, without its quoted texts, escaped characters and
    // bracketed colours and conditions.
    QString s;
    bool quoted = false;
    int bracket = 0;
    for (int i = 0; i < code.size(); ++i) {
        const QChar ch = code[i];
        if (ch == QLatin1Char('"'))
            quoted = !quoted;
        else if (quoted)
            continue;
        else if (ch == QLatin1Char('\\'))
            ++i;
        else if (ch == QLatin1Char('['))
            ++bracket;
        else if (ch == QLatin1Char(']'))
            bracket = std::max(0, bracket - 1);
        else if (bracket > 0)
            continue;
        else if (ch == QLatin1Char(';'))
            break;
        else
            s += ch;
    }
    auto placeholder = [](QChar ch) { return ch == QLatin1Char('0') || ch == QLatin1Char('#') || ch == QLatin1Char('?'); };
    if (std::none_of(s.cbegin(), s.cend(), placeholder))
        return 18;
    int places = 0;
    for (int i = s.indexOf(QLatin1Char(',')) + 1; i > 0 && i < s.size() && placeholder(s[i]); ++i)
        ++places;
    return places;
}

namespace {

// The decimals a figure has, up to six.
int PlacesOf(double v)
{
    qint64 units = engine::Units(v, engine::kPrintedPlaces);
    int places = engine::kPrintedPlaces;
    while (places > 0 && units % 10 == 0) {
        units /= 10;
        --places;
    }
    return places;
}

} // namespace

void PutTemplateVariables(Document& document, const R_Field& given, int mode, int& row,
                          const TemplateVariables& variables, const TemplateForm& form, const ColumnFormats* formats,
                          const QString& figureFormat)
{
    const TemplateVariable* v = variables.find(given.Name);
    const bool enabled = v && v->ENABLED == 1;
    if (enabled) {
        // A static variable writes its own text whatever it is given.
        R_Field fixed;
        if (v->STATIC_TYPE == 1) {
            fixed.Typ = KindText;
            fixed.S = v->TEXT_STATIC;
        }
        const R_Field& value = v->STATIC_TYPE == 1 ? fixed : given;
        int startOffset = 0;
        int endOffset = 0;
        if (v->LOCATION >= LocHeader) {
            startOffset = RowNumber(v->X_START) - 1;
            endOffset = RowNumber(v->X_END) - 1;
        }
        const int r = row + startOffset;
        const int c = ColumnNumber(v->X_START);
        const int endRow = row + endOffset;
        const int endColumn = ColumnNumber(v->X_END);
        const RangeAddress range{0, std::min(c, endColumn) - 1, std::min(r, endRow) - 1, std::max(c, endColumn) - 1,
                                 std::max(r, endRow) - 1};

        if (v->MERGEE == 1)
            document.merge(range);

        const CellAddress cell{0, c - 1, r - 1};
        if (v->TEXT_BEFORE_VALUE.isEmpty() && v->TEXT_AFTER_VALUE.isEmpty()) {
            switch (value.Typ) {
            case KindText:
                document.setString(cell, value.S);
                break;
            case KindInteger:
                document.setValue(cell, static_cast<qint32>(value.I));
                break;
            case KindFloat:
                document.setValue(cell, value.F);
                break;
            case KindDate:
            case KindTime:
                document.setString(cell, ValueText(value));
                break;
            default:
                break;
            }
            const bool number = value.Typ == KindInteger || value.Typ == KindFloat;
            if (number && formats && v->LOCATION != LocHeader) {
                const auto code = formats->constFind(c);
                if (code != formats->cend()) {
                    const bool fewer = !figureFormat.isEmpty() && value.Typ == KindFloat &&
                                       ShownPlaces(*code) < PlacesOf(value.F);
                    document.setNumberFormat({0, c - 1, r - 1, c - 1, r - 1}, fewer ? figureFormat : *code);
                }
            }
        } else if (value.Typ >= KindText && value.Typ <= KindTime) {
            QString t;
            if (!v->TEXT_BEFORE_VALUE.isEmpty())
                t = v->TEXT_BEFORE_VALUE + QLatin1Char(' ');
            t += ValueText(value);
            if (!v->TEXT_AFTER_VALUE.isEmpty())
                t += QLatin1Char(' ') + v->TEXT_AFTER_VALUE;
            document.setString(cell, t);
        }

        if (v->WRAPP == 1)
            document.setWrapped(range, true);
        if (v->MY_HORIZONTAL_ALIGNMENT == 1)
            document.setHoriJustify(range, v->HORIZONTAL_ALIGNMENT - 1);
        if (v->MY_FONT == 1) {
            automation::Font f;
            f.name = v->FONT_NAME;
            f.height = std::nearbyint(v->FONT_SIZE);
            f.weight = v->FONT_BOLD == 1 ? automation::kWeightBold : automation::kWeightNormal;
            f.posture = v->FONT_ITALIC == 1 ? 1 : 0;
            f.underline = v->FONT_UNDERLINE == 1 ? 1 : 0;  // single underline
            document.setFont(range, f);
        }
        if ((form.SETKA == OutlineLines && v->LOCATION == LocTable) || (v->LOCATION == LocGroup && v->SETKA == 1)) {
            automation::TableBorder b;
            b.top = b.bottom = b.left = b.right = b.horizontal = b.vertical = gridLine();
            b.isBottomValid = true;
            document.setTableBorder(
                {0, ColumnNumber(form.START_LINE) - 1, row - 1, ColumnNumber(form.END_LINE) - 1, row - 1}, b);
        }
    }
    if (mode == RowNext || (mode == RowNextWhenEnabled && enabled))
        row += 1;
}

} // namespace templates
