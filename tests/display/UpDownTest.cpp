// The up-down spinner: stepping with and without wrap, one report per step naming the arrow, the
// buddy edit box, the keyboard.

#include "display/UpDown.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <climits>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using namespace mirel;

namespace {

// Records every clicked() of a spinner.
struct Clicks {
    explicit Clicks(UpDown& spinner)
    {
        QObject::connect(&spinner, &UpDown::clicked, [this](UpDown::Button b) { buttons.push_back(b); });
    }
    std::vector<UpDown::Button> buttons;
};

QToolButton* Arrow(UpDown& spinner, Qt::ArrowType type)
{
    for (QToolButton* button : spinner.findChildren<QToolButton*>())
        if (button->arrowType() == type)
            return button;
    return nullptr;
}

void Key(QWidget& target, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(&target, &press);
}

// The launcher's line-width spinner: 1..3, wrapping.
std::unique_ptr<UpDown> LineWidthSpinner()
{
    auto spinner = std::make_unique<UpDown>();
    spinner->setRange(1, 3);
    spinner->setWrap(true);
    spinner->setPosition(1);
    return spinner;
}

}  // namespace

using B = UpDown::Button;

// --- Stepping -----------------------------------------------------------------------------------

TEST(UpDownStep, WrapsAroundBothWays)
{
    auto spinner = LineWidthSpinner();
    Clicks clicks(*spinner);
    std::vector<int> seen;
    for (int i = 0; i < 4; ++i) {
        spinner->stepUp();
        seen.push_back(spinner->position());
    }
    EXPECT_EQ(seen, (std::vector<int>{2, 3, 1, 2}));
    seen.clear();
    for (int i = 0; i < 4; ++i) {
        spinner->stepDown();
        seen.push_back(spinner->position());
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 3, 2, 1}));
    EXPECT_EQ(clicks.buttons, (std::vector<B>{B::Up, B::Up, B::Up, B::Up, B::Down, B::Down, B::Down, B::Down}));
}

TEST(UpDownStep, WithoutWrapStopsAtTheEndsSilently)
{
    UpDown spinner;
    spinner.setRange(0, 2);
    Clicks clicks(spinner);
    spinner.stepUp();
    spinner.stepUp();
    spinner.stepUp();
    EXPECT_EQ(spinner.position(), 2);
    EXPECT_EQ(clicks.buttons, (std::vector<B>{B::Up, B::Up}));
    for (int i = 0; i < 4; ++i)
        spinner.stepDown();
    EXPECT_EQ(spinner.position(), 0);
    EXPECT_EQ(clicks.buttons.size(), 4u);
}

TEST(UpDownStep, IncrementOvershootClampsOrWrapsToTheEnd)
{
    UpDown spinner;
    spinner.setRange(0, 10);
    spinner.setIncrement(3);
    spinner.setPosition(9);
    spinner.stepUp();
    EXPECT_EQ(spinner.position(), 10);
    spinner.setWrap(true);
    spinner.stepUp();
    EXPECT_EQ(spinner.position(), 0);
    spinner.stepDown();
    EXPECT_EQ(spinner.position(), 10);
    spinner.setIncrement(0);
    EXPECT_EQ(spinner.increment(), 1);
}

TEST(UpDownStep, ExtremeRangeDoesNotOverflow)
{
    UpDown spinner;
    spinner.setRange(INT_MIN, INT_MAX);
    spinner.setPosition(INT_MAX);
    spinner.stepUp();
    EXPECT_EQ(spinner.position(), INT_MAX);
    spinner.setWrap(true);
    spinner.stepUp();
    EXPECT_EQ(spinner.position(), INT_MIN);
    spinner.stepDown();
    EXPECT_EQ(spinner.position(), INT_MAX);
}

TEST(UpDownStep, PositionIsKeptInsideTheRange)
{
    UpDown spinner;
    Clicks clicks(spinner);
    std::vector<int> changes;
    QObject::connect(&spinner, &UpDown::positionChanged, [&](int p) { changes.push_back(p); });
    spinner.setRange(0, 11);
    spinner.setPosition(10);
    spinner.setPosition(42);
    EXPECT_EQ(spinner.position(), 11);
    spinner.setPosition(-3);
    EXPECT_EQ(spinner.position(), 0);
    spinner.setPosition(12);
    spinner.setRange(3, 5);  // moves the position along
    EXPECT_EQ(spinner.position(), 5);
    spinner.setMaximum(1);  // the minimum follows
    EXPECT_EQ(spinner.minimum(), 1);
    EXPECT_EQ(spinner.position(), 1);
    EXPECT_TRUE(clicks.buttons.empty()) << "setting the position is not a click";
    EXPECT_EQ(changes, (std::vector<int>{10, 11, 0, 11, 5, 1}));
}

// --- Arrow buttons ------------------------------------------------------------------------------

TEST(UpDownArrows, VerticalArrowsStepUpAndDownOncePerClick)
{
    auto spinner = LineWidthSpinner();
    Clicks clicks(*spinner);
    QToolButton* up = Arrow(*spinner, Qt::UpArrow);
    QToolButton* down = Arrow(*spinner, Qt::DownArrow);
    ASSERT_TRUE(up && down);
    up->click();
    EXPECT_EQ(spinner->position(), 2);
    down->click();
    down->click();
    EXPECT_EQ(spinner->position(), 3);
    EXPECT_EQ(clicks.buttons, (std::vector<B>{B::Up, B::Down, B::Down}));
}

TEST(UpDownArrows, HorizontalRightArrowIsUp)
{
    UpDown spinner(Qt::Horizontal);
    spinner.setRange(0, 13);
    spinner.setWrap(true);
    spinner.setPosition(6);
    Clicks clicks(spinner);
    EXPECT_EQ(Arrow(spinner, Qt::UpArrow), nullptr);
    QToolButton* right = Arrow(spinner, Qt::RightArrow);
    QToolButton* left = Arrow(spinner, Qt::LeftArrow);
    ASSERT_TRUE(right && left);
    right->click();
    EXPECT_EQ(spinner.position(), 7);
    left->click();
    left->click();
    EXPECT_EQ(spinner.position(), 5);
    EXPECT_EQ(clicks.buttons, (std::vector<B>{B::Up, B::Down, B::Down}));
    // Left button left of right button.
    spinner.resize(spinner.sizeHint());
    EXPECT_LT(left->geometry().right(), right->geometry().left() + 1);
}

TEST(UpDownArrows, SizeOfASmallPairOfArrows)
{
    UpDown vertical(Qt::Vertical);
    UpDown horizontal(Qt::Horizontal);
    EXPECT_EQ(vertical.sizeHint(), QSize(16, 24));
    EXPECT_EQ(horizontal.sizeHint(), QSize(32, 16));
    EXPECT_EQ(vertical.size(), QSize(16, 24));
    horizontal.setOrientation(Qt::Vertical);
    EXPECT_EQ(horizontal.sizeHint(), QSize(16, 24));
    EXPECT_NE(Arrow(horizontal, Qt::UpArrow), nullptr);
    EXPECT_NE(Arrow(horizontal, Qt::DownArrow), nullptr);
}

// --- Buddy edit box -----------------------------------------------------------------------------

TEST(UpDownBuddy, EditShowsThePositionThroughEveryChange)
{
    auto spinner = LineWidthSpinner();
    QLineEdit edit;
    edit.setReadOnly(true);
    spinner->setAssociate(&edit);
    EXPECT_EQ(spinner->associate(), &edit);
    EXPECT_EQ(edit.text(), QStringLiteral("1"));
    spinner->stepUp();
    EXPECT_EQ(edit.text(), QStringLiteral("2"));
    spinner->stepDown();
    spinner->stepDown();
    EXPECT_EQ(edit.text(), QStringLiteral("3"));
    spinner->setPosition(1);
    EXPECT_EQ(edit.text(), QStringLiteral("1"));

    spinner->setAssociate(nullptr);
    spinner->stepUp();
    EXPECT_EQ(edit.text(), QStringLiteral("1"));
}

TEST(UpDownBuddy, ClickedHandlerReadsTheSteppedValueFromTheEdit)
{
    // A handler of clicked() reads the number from the buddy: it must already show the new position.
    auto spinner = LineWidthSpinner();
    QLineEdit edit;
    spinner->setAssociate(&edit);
    QString seen;
    QObject::connect(spinner.get(), &UpDown::clicked, [&] { seen = edit.text(); });
    spinner->stepDown();
    EXPECT_EQ(seen, QStringLiteral("3"));
}

TEST(UpDownBuddy, DeletedEditIsForgotten)
{
    auto spinner = LineWidthSpinner();
    auto edit = std::make_unique<QLineEdit>();
    spinner->setAssociate(edit.get());
    edit.reset();
    EXPECT_EQ(spinner->associate(), nullptr);
    spinner->stepUp();
    EXPECT_EQ(spinner->position(), 2);
}

// --- Keyboard -----------------------------------------------------------------------------------

TEST(UpDownKeys, ArrowKeysStepTheSpinner)
{
    auto spinner = LineWidthSpinner();
    Clicks clicks(*spinner);
    Key(*spinner, Qt::Key_Up);
    Key(*spinner, Qt::Key_Right);
    Key(*spinner, Qt::Key_Down);
    Key(*spinner, Qt::Key_Left);
    Key(*spinner, Qt::Key_Left);
    Key(*spinner, Qt::Key_A);
    EXPECT_EQ(clicks.buttons, (std::vector<B>{B::Up, B::Up, B::Down, B::Down, B::Down}));
    EXPECT_EQ(spinner->position(), 3);
}

TEST(UpDownKeys, UpAndDownInTheBuddyStepLeftAndRightDoNot)
{
    auto spinner = LineWidthSpinner();
    QLineEdit edit;
    spinner->setAssociate(&edit);
    Clicks clicks(*spinner);
    Key(edit, Qt::Key_Up);
    EXPECT_EQ(edit.text(), QStringLiteral("2"));
    Key(edit, Qt::Key_Left);
    Key(edit, Qt::Key_Right);
    Key(edit, Qt::Key_Down);
    EXPECT_EQ(edit.text(), QStringLiteral("1"));
    EXPECT_EQ(clicks.buttons, (std::vector<B>{B::Up, B::Down}));
}

TEST(UpDownKeys, DisabledSpinnerIgnoresKeysAndArrows)
{
    auto spinner = LineWidthSpinner();
    QLineEdit edit;
    spinner->setAssociate(&edit);
    spinner->setEnabled(false);
    Clicks clicks(*spinner);
    Key(*spinner, Qt::Key_Up);
    Key(edit, Qt::Key_Up);
    Arrow(*spinner, Qt::UpArrow)->click();
    EXPECT_EQ(spinner->position(), 1);
    EXPECT_TRUE(clicks.buttons.empty());
}

// --- Tag ----------------------------------------------------------------------------------------

TEST(UpDownTag, TellsSpinnersApartInASharedHandler)
{
    UpDown a, b;
    a.setTag(1);
    b.setProperty("Tag", 2);
    EXPECT_EQ(a.property("Tag").toInt(), 1);
    EXPECT_EQ(b.tag(), 2);
    int lastTag = 0;
    for (UpDown* s : {&a, &b})
        QObject::connect(s, &UpDown::clicked, [&, s] { lastTag = s->tag(); });
    b.stepUp();
    EXPECT_EQ(lastTag, 2);
    a.stepUp();
    EXPECT_EQ(lastTag, 1);
}
