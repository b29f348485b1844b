// Calls on a document that go on in the background (copies of blocks, column
// widths): those that share cells keep their order, a failure is told at the
// next call that waits, and in a real office a call of another kind made
// right after a copy finds the copy done.

#include "OfficeEnvironment.h"
#include "automation/uno/CallLane.h"

#include <QThread>

#include <atomic>
#include <stdexcept>

#include <gtest/gtest.h>

using automation::CallLane;
using automation::CellAddress;
using automation::RangeAddress;

namespace {

TEST(CallLane, CallsSharingCellsKeepTheirOrderAndAFailureIsToldOnce)
{
    const RangeAddress a{0, 0, 0, 4, 6}, b{0, 0, 10, 4, 16}, c{0, 0, 20, 4, 26};
    struct Case {
        const char* what;
        RangeAddress firstFrom, firstTo, secondFrom, secondTo;
    };
    for (const Case& k : {Case{"reads what the first writes", a, b, b, c}, Case{"writes what the first reads", a, b, c, a},
                          Case{"writes what the first writes", a, b, c, b}}) {
        CallLane lane;
        std::atomic<bool> firstDone{false}, secondSawIt{false};
        lane.add(k.firstFrom, k.firstTo, [&] {
            QThread::msleep(30);
            firstDone = true;
        });
        lane.add(k.secondFrom, k.secondTo, [&] { secondSawIt = firstDone.load(); });
        lane.settle();
        EXPECT_TRUE(secondSawIt) << k.what;
    }

    CallLane lane;
    lane.add(a, b, [] { throw std::runtime_error("first"); });
    lane.add(b, c, [] { throw std::runtime_error("second"); });  // after the first
    try {
        lane.settle();
        ADD_FAILURE() << "a failed call is told";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "first");
    }
    EXPECT_NO_THROW(lane.settle());  // told once
    lane.add(a, b, [] { throw std::runtime_error("dropped"); });
    EXPECT_NO_THROW(lane.settleQuietly());
}

// A block of 40 x 300 cells copied behind eight others of its size (it waits
// for a free hand), then at once a call of each other kind on its target:
// every one finds the copy there.
TEST(BackgroundCallsOffice, ACallRightAfterACopyFindsItDone)
{
    ASSERT_TRUE(TestOffice().connect());
    auto d = TestOffice().newCalc();
    QList<QVariantList> rows;
    for (int r = 0; r < 300; ++r) {
        QVariantList row;
        for (int col = 0; col < 40; ++col)
            row.append(QStringLiteral("исходная %1").arg(r * 40 + col));
        rows.append(row);
    }
    d->setBlockValues({0, 0, 0}, rows);
    const RangeAddress block{0, 0, 0, 39, 299};
    struct Case {
        const char* what;
        std::function<void(automation::Document&, int row)> write;
        QVariant expected;  // in the target's first cell; invalid: the copied text
    };
    const QString written = QStringLiteral("записано");
    const Case cases[] = {
        {"a text", [&](automation::Document& x, int r) { x.setString({0, 0, r}, written); }, written},
        {"a block", [&](automation::Document& x, int r) { x.setBlockValues({0, 0, r}, {{written}}); }, written},
        {"a width", [](automation::Document& x, int) { x.setColumnWidth(0, 1, 3000); }, QVariant()},
        {"a read", [](automation::Document&, int) {}, QVariant()},
    };
    int target = 400;
    for (const Case& c : cases) {
        for (int i = 0; i < 8; ++i)
            d->copyRange({0, 50, target + 400 * i}, block);
        d->copyRange({0, 0, target}, block);
        c.write(*d, target);
        const auto back = d->contents({0, 0, target, 1, target + 299});
        ASSERT_TRUE(back) << c.what;
        const QVariant expected = c.expected.isValid() ? c.expected : QVariant(QStringLiteral("исходная 0"));
        EXPECT_EQ(back->rows.front().front(), expected) << c.what;
        EXPECT_EQ(back->rows.back().back(), QStringLiteral("исходная 11961")) << c.what;
        target += 3600;
    }
    d->close();
}

} // namespace
