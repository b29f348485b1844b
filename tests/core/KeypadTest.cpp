// The quantity keypad: buttons, keyboard mapping, sign keys and conversion.

#include "ui/Keypad.h"
#include "util/Messages.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>

#include <gtest/gtest.h>

namespace {

class Keypad : public ::testing::Test {
protected:
    void SetUp() override
    {
        Msg::setResponder([this](const Msg::Request& r) {
            messages << r.text;
            return 0;
        });
        pad.apply = [this](double v) { taken << v; };
    }
    void TearDown() override { Msg::setResponder({}); }

    void keys(std::initializer_list<int> ks)
    {
        for (int k : ks)
            pad.KeyDown(k);
    }
    QString shown() const { return pad.E_Klava->text(); }

    TKeypad pad;
    QStringList messages;
    QList<double> taken;
};

} // namespace

TEST_F(Keypad, ButtonsBuildTheNumberWithOneComma)
{
    pad.Btn_One->click();
    pad.Btn_Koma->click();
    pad.Btn_Koma->click();  // a second comma is ignored
    pad.Btn_Five->click();
    EXPECT_EQ(shown(), QStringLiteral("1,5"));
    EXPECT_TRUE(pad.CommaTyped);

    pad.Btn_Back->click();
    pad.Btn_Back->click();  // over the separator
    EXPECT_FALSE(pad.CommaTyped);
    pad.Btn_Koma->click();
    pad.Btn_Two->click();
    pad.Btn_Five->click();
    EXPECT_EQ(shown(), QStringLiteral("1,25"));
    pad.Btn_OKS->click();
    EXPECT_EQ(taken, QList<double>{1.25});
    EXPECT_TRUE(shown().isEmpty());
    EXPECT_FALSE(pad.CommaTyped);
}

// A refused text is told and gone from the display: the next digits make a
// number of their own instead of lengthening the refused one.
TEST_F(Keypad, TextsThatAreNoNumberShowTheConversionErrorAndLeaveTheDisplay)
{
    for (const char* text : {"", "-", ","}) {
        messages.clear();
        pad.E_Klava->setText(QString::fromLatin1(text));
        pad.CommaTyped = true;
        pad.Btn_OKS->click();
        EXPECT_EQ(messages.size(), 1) << text;
        EXPECT_EQ(shown(), QString()) << text;
        EXPECT_FALSE(pad.CommaTyped);
    }
    EXPECT_TRUE(taken.isEmpty());
    pad.DigitClick(5);
    pad.Btn_OKS->click();
    EXPECT_EQ(taken, QList<double>{5});
    EXPECT_DOUBLE_EQ(TKeypad::TextToFloat(QStringLiteral("-2,25")), -2.25);
    EXPECT_DOUBLE_EQ(TKeypad::TextToFloat(QStringLiteral("7,")), 7);
    EXPECT_DOUBLE_EQ(TKeypad::TextToFloat(QStringLiteral(",5")), 0.5);
    EXPECT_THROW(TKeypad::TextToFloat(QStringLiteral("1.5")), std::runtime_error);  // only the program's separator
    EXPECT_THROW(TKeypad::TextToFloat(QStringLiteral("1,2,3")), std::runtime_error);
}

TEST_F(Keypad, SignKeys)
{
    keys({Qt::Key_Plus});
    EXPECT_TRUE(shown().isEmpty());
    keys({Qt::Key_Minus});
    EXPECT_EQ(shown(), QStringLiteral("-"));
    keys({Qt::Key_5});
    EXPECT_EQ(shown(), QStringLiteral("-5"));
    keys({Qt::Key_Minus});
    EXPECT_EQ(shown(), QStringLiteral("5"));
    keys({Qt::Key_Minus});
    EXPECT_EQ(shown(), QStringLiteral("-5"));
    keys({Qt::Key_Plus});
    EXPECT_EQ(shown(), QStringLiteral("5"));
    pad.E_Klava->setText(QStringLiteral("+5"));
    keys({Qt::Key_Minus});
    EXPECT_EQ(shown(), QStringLiteral("-5"));
    keys({Qt::Key_Equal});  // the '=+' key of the main row
    EXPECT_EQ(shown(), QStringLiteral("5"));

    // A window without sign keys ignores them; the value is checked when taken.
    pad.signKeys = false;
    keys({Qt::Key_Minus});
    EXPECT_EQ(shown(), QStringLiteral("5"));
}

TEST_F(Keypad, KeyboardMapping)
{
    QPushButton add, remove;
    int added = 0, removed = 0;
    QObject::connect(&add, &QPushButton::clicked, [&] { ++added; });
    QObject::connect(&remove, &QPushButton::clicked, [&] { ++removed; });
    pad.addButton = &add;
    pad.removeButton = &remove;

    keys({Qt::Key_1, Qt::Key_Period, Qt::Key_Comma, Qt::Key_7});
    EXPECT_EQ(shown(), QStringLiteral("1,7"));
    keys({Qt::Key_Return});
    EXPECT_EQ(taken, QList<double>{1.7});
    // '/', the Russian layout's letters on the ',' and '.' keys all give the comma.
    for (int k : {int(Qt::Key_Slash), 0x0411, 0x042E}) {
        keys({Qt::Key_Escape, Qt::Key_2, k, Qt::Key_5});
        EXPECT_EQ(shown(), QStringLiteral("2,5")) << k;
    }
    keys({Qt::Key_Backspace});
    EXPECT_EQ(shown(), QStringLiteral("2,"));
    keys({Qt::Key_Escape});
    EXPECT_TRUE(shown().isEmpty());
    EXPECT_FALSE(pad.CommaTyped);
    keys({Qt::Key_Enter});  // nothing to take: no error
    EXPECT_TRUE(messages.isEmpty());
    keys({Qt::Key_Insert, Qt::Key_Delete, Qt::Key_Delete});
    EXPECT_EQ(added, 1);
    EXPECT_EQ(removed, 2);
}

TEST_F(Keypad, TheGuardClearsTheDisplay)
{
    bool open = true;
    pad.guard = [&open] { return open; };
    keys({Qt::Key_4, Qt::Key_Comma});
    open = false;
    keys({Qt::Key_2});
    EXPECT_TRUE(shown().isEmpty());
    EXPECT_FALSE(pad.CommaTyped);
    keys({Qt::Key_Minus});  // the sign works without the guard
    EXPECT_EQ(shown(), QStringLiteral("-"));
    pad.Btn_OKS->click();
    EXPECT_TRUE(shown().isEmpty());
    EXPECT_TRUE(taken.isEmpty());
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(Keypad, AKeyTheKeypadTakesReachesNoOtherControl)
{
    QLineEdit field;
    pad.attachKeys(&field);
    QTest::keyClick(&field, Qt::Key_3);
    QTest::keyClick(&field, Qt::Key_4, Qt::KeypadModifier);
    QTest::keyClick(&field, Qt::Key_A);  // not the keypad's: the control's own
    EXPECT_EQ(shown(), QStringLiteral("34"));
    EXPECT_EQ(field.text(), QStringLiteral("a"));
    // Escape on an empty display is left to the window.
    pad.Clear();
    EXPECT_FALSE(pad.KeyDown(Qt::Key_Escape));
}

TEST_F(Keypad, ItsOwnAttachedControlsDieWithItSafely)
{
    // Attaching the keypad's own buttons and display, then destroying it,
    // must not touch the keypad's state after its members are gone.
    auto* k = new TKeypad;
    k->attachKeys(k->Btn_OKS);
    k->attachKeys(k->E_Klava);
    k->attachKeys(k->digitButton(3));
    delete k;
    SUCCEED();
}

TEST_F(Keypad, ASearchFieldHandsOverEnterEscapeAndDelete)
{
    QPushButton remove;
    int removed = 0;
    QObject::connect(&remove, &QPushButton::clicked, [&] { ++removed; });
    pad.removeButton = &remove;

    // Enter with an empty display takes nothing but is still the keypad's.
    EXPECT_TRUE(pad.SearchKey(Qt::Key_Return));
    EXPECT_TRUE(taken.isEmpty());
    pad.E_Klava->setText(QStringLiteral("2,5"));
    EXPECT_TRUE(pad.SearchKey(Qt::Key_Enter));
    EXPECT_EQ(taken, QList<double>{2.5});
    pad.E_Klava->setText(QStringLiteral("7"));
    EXPECT_TRUE(pad.EntryKey(Qt::Key_Escape));
    EXPECT_TRUE(shown().isEmpty());

    // Delete clicks the remove button only while it is enabled; EntryKey leaves it alone.
    EXPECT_TRUE(pad.SearchKey(Qt::Key_Delete));
    remove.setEnabled(false);
    EXPECT_TRUE(pad.SearchKey(Qt::Key_Delete));
    EXPECT_FALSE(pad.EntryKey(Qt::Key_Delete));
    EXPECT_EQ(removed, 1);

    EXPECT_FALSE(pad.SearchKey(Qt::Key_Insert));
    EXPECT_FALSE(pad.SearchKey(Qt::Key_Up));
    EXPECT_FALSE(TKeypad::RestartsSearch(Qt::Key_Left));
    EXPECT_FALSE(TKeypad::RestartsSearch(Qt::Key_Down));
    EXPECT_TRUE(TKeypad::RestartsSearch(Qt::Key_A));
    EXPECT_TRUE(TKeypad::RestartsSearch(Qt::Key_Backspace));
}

TEST_F(Keypad, SearchBoxesRefillTheListAndTheContextOneFocusesItsField)
{
    QWidget window;
    auto* context = new QCheckBox(&window);
    auto* field = new QLineEdit(&window);
    auto* closed = new QCheckBox(&window);
    auto* other = new QLineEdit(&window);
    int refills = 0;
    TKeypad::bindSearch(context, field, closed, [&] { ++refills; });
    window.show();
    QApplication::setActiveWindow(&window);
    other->setFocus();

    closed->click();
    EXPECT_EQ(refills, 1);
    EXPECT_FALSE(field->hasFocus());
    context->click();  // ticked
    EXPECT_EQ(refills, 2);
    EXPECT_TRUE(field->hasFocus());
    other->setFocus();
    context->click();  // unticked: the focus stays
    EXPECT_EQ(refills, 3);
    EXPECT_FALSE(field->hasFocus());
}

// A number typed while the cursor stands on a cell that takes no typing goes
// to the entry cell, and Tab moves on from there, not from the cell clicked.
TEST_F(Keypad, TabFromACellThatTakesNoTypingMovesOnFromTheEntryCell)
{
    QStandardItemModel model(2, 4);
    QTableView grid;
    grid.setModel(&model);
    pad.entryGrid = &grid;
    pad.entryColumn = [] { return 1; };
    pad.attachKeys(&grid);
    grid.show();
    QApplication::setActiveWindow(&grid);
    grid.setFocus();
    grid.setCurrentIndex(model.index(0, 0));
    QTest::keyClick(&grid, Qt::Key_4);
    QTest::keyClick(&grid, Qt::Key_Tab);
    EXPECT_EQ(taken, QList<double>{4});
    EXPECT_EQ(grid.currentIndex().row(), 0);
    EXPECT_EQ(grid.currentIndex().column(), 2);
}
