#include "ProtocolWorkbook.h"

namespace workbooks {

namespace {

// Keeps the document's locks while it is filled; releases them on the way out.
class Locked {
public:
    explicit Locked(automation::Document& d) : d_(d)
    {
        d_.lockControllers();
        d_.addActionLock();
    }
    ~Locked()
    {
        try {
            d_.removeActionLock();
            d_.unlockControllers();
        } catch (...) {
        }
    }

private:
    automation::Document& d_;
};

} // namespace

bool WriteProtocolWorkbook(automation::Office& office, const QList<ProtocolLine>& lines,
                           const std::function<void(int)>& progress)
{
    if (!office.connect())
        return false;
    std::unique_ptr<automation::Document> doc;
    try {
        doc = office.newCalc();
    } catch (const automation::OfficeError&) {
        doc.reset();
    }
    if (!doc) {
        office.disconnect();
        return false;
    }
    try {
        Locked locked(*doc);
        static const int widths[] = {2200, 1600, 3000, 3000, 8500};
        for (int i = 0; i < 5; ++i)
            doc->setColumnWidth(0, i, widths[i]);
        doc->setBlockValues({0, 0, 0}, {QVariantList{QStringLiteral("Дата"), QStringLiteral("Время"), QStringLiteral("Фио"),
                                                     QStringLiteral("Окно программы"), QStringLiteral("Действия")}});
        // The action column wraps down to the last written row; the heights
        // are fitted once the document is unlocked.
        doc->setWrapped({0, 4, 0, 4, static_cast<int>(lines.size())}, true);

        QList<QVariantList> block;
        block.reserve(kProtocolBlockRows);
        int written = 0;
        const auto send = [&] {
            if (block.isEmpty())
                return;
            doc->setBlockValues({0, 0, 1 + written}, block);
            written += static_cast<int>(block.size());
            block.clear();
            if (progress)
                progress(written);
        };
        for (const ProtocolLine& l : lines) {
            block.append(QVariantList{l.date, l.time, l.fio, l.arm, l.action});
            if (block.size() == kProtocolBlockRows)
                send();
        }
        send();

        automation::BorderLine line;
        line.outerWidth = 35;
        line.innerWidth = 0;
        line.color = 1;
        automation::TableBorder border;
        border.top = border.bottom = border.left = border.right = border.horizontal = border.vertical = line;
        border.isTopValid = border.isBottomValid = border.isLeftValid = border.isRightValid = border.isHorizontalValid =
            border.isVerticalValid = true;
        doc->setTableBorder({0, 0, 0, 4, static_cast<int>(lines.size())}, border);
    } catch (...) {
        // An unfinished workbook is not left to the user.
        try {
            doc->close();
            office.disconnect();
        } catch (...) {
        }
        throw;
    }
    doc->fitRowHeights(0, 0, static_cast<int>(lines.size()));
    doc->show();
    office.disconnect();
    return true;
}

} // namespace workbooks
