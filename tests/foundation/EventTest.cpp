#include <tnUI/foundation/Event.h>

#include <gtest/gtest.h>

#include <memory>

namespace {

using tnLinear::Point2;
using tnUI::MouseEvent;
using tnUI::TabletEvent;

const Point2 local(1, 2), window(3, 4), screen(5, 6);

struct MouseCase {
    int button;
    int clicks;
    bool press, held, active;
};

class MouseKinds : public ::testing::TestWithParam<MouseCase> {};

TEST_P(MouseKinds, AnswerTests)
{
    const MouseCase& c = GetParam();
    const MouseEvent e(local, window, screen, static_cast<MouseEvent::Button>(c.button), c.clicks, 0, 0);
    EXPECT_EQ(e.isPress(), c.press);
    EXPECT_EQ(e.isButtonHeld(), c.held);
    EXPECT_EQ(e.isButtonActive(), c.active);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MouseKinds,
    ::testing::Values(
        // Built by the command controller with three zero integers: 0 is a
        // motion with no button, 1 the end of a press.
        MouseCase{0, 0, false, false, false}, MouseCase{1, 0, false, false, true},
        // The same whatever the click count.
        MouseCase{MouseEvent::NoButton, 1, false, false, false}, MouseCase{MouseEvent::ButtonUp, 2, false, false, true},
        // Presses.
        MouseCase{MouseEvent::Left, 1, true, true, true}, MouseCase{MouseEvent::Middle, 1, true, true, true},
        MouseCase{MouseEvent::Right, 2, true, true, true}, MouseCase{MouseEvent::Forward, 1, true, true, true},
        // Drags with a button held.
        MouseCase{MouseEvent::Left, 0, false, true, true}, MouseCase{MouseEvent::Right, 0, false, true, true},
        MouseCase{MouseEvent::Back, -1, false, true, true},
        // Outside the enumeration: further buttons, or none.
        MouseCase{9, 1, true, true, true}, MouseCase{-3, 1, false, false, false}));

TEST(MouseEvent, DefaultIsMotionWithoutButton)
{
    const MouseEvent e;
    EXPECT_EQ(e.getButton(), MouseEvent::NoButton);
    EXPECT_FALSE(e.isPress());
    EXPECT_FALSE(e.isButtonHeld());
    EXPECT_FALSE(e.isButtonActive());
    EXPECT_EQ(e.getLocalXY(), Point2::origin);
    EXPECT_EQ(e.getScreenXY(), Point2::origin);
}

TEST(MouseEvent, KeepsWhatItWasBuiltFrom)
{
    const MouseEvent e(local, window, screen, MouseEvent::Right, 2, tnUI::KeyModifier::Ctrl | tnUI::KeyModifier::Alt,
                       MouseEvent::RightMask | MouseEvent::LeftMask);
    EXPECT_EQ(e.getLocalXY(), local);
    EXPECT_EQ(e.getWindowXY(), window);
    EXPECT_EQ(e.getScreenXY(), screen);
    EXPECT_EQ(e.getButton(), MouseEvent::Right);
    EXPECT_EQ(e.getClickCount(), 2);
    EXPECT_EQ(e.getModifiers(), 6);
    EXPECT_EQ(e.getButtons(), 5);

    // Assignment replaces everything, positions included.
    MouseEvent copy;
    copy = e;
    EXPECT_EQ(copy.getWindowXY(), window);
    EXPECT_EQ(copy.getButton(), MouseEvent::Right);
    EXPECT_TRUE(copy.isPress());
    copy = MouseEvent(screen, local, window, MouseEvent::ButtonUp, 0, 0, 0);
    EXPECT_EQ(copy.getLocalXY(), screen);
    EXPECT_FALSE(copy.isButtonHeld());
}

TEST(PositionEvent, AssignmentCopiesPositions)
{
    tnUI::PositionEvent a(local, window, screen);
    tnUI::PositionEvent b;
    b = a;
    EXPECT_EQ(b.getLocalXY(), local);
    EXPECT_EQ(b.getWindowXY(), window);
    EXPECT_EQ(b.getScreenXY(), screen);
}

struct TabletCase {
    int type;
    bool press, held, release;
};

class TabletKinds : public ::testing::TestWithParam<TabletCase> {};

TEST_P(TabletKinds, AnswerTests)
{
    const TabletCase& c = GetParam();
    const TabletEvent e(static_cast<TabletEvent::Type>(c.type), TabletEvent::Stylus, TabletEvent::Pen, local, window,
                        screen, tnLinear::Vector2(0, 0), 0.5, 0.0, false, 0, 0);
    EXPECT_EQ(e.isPress(), c.press);
    EXPECT_EQ(e.isButtonHeld(), c.held);
    EXPECT_EQ(e.isRelease(), c.release);
}

INSTANTIATE_TEST_SUITE_P(Cases, TabletKinds,
                         ::testing::Values(TabletCase{TabletEvent::Press, true, true, false},
                                           TabletCase{TabletEvent::Drag, false, true, false},
                                           // 2 and 3 are what the command controller builds.
                                           TabletCase{2, false, false, false}, TabletCase{3, false, false, true},
                                           TabletCase{TabletEvent::Enter, false, false, false},
                                           TabletCase{TabletEvent::Leave, false, false, false}));

TEST(TabletEvent, DefaultIsMotionOfNoDevice)
{
    const TabletEvent e;
    EXPECT_EQ(e.getType(), TabletEvent::Motion);
    EXPECT_EQ(static_cast<int>(e.getDevice()), 1);
    EXPECT_FALSE(e.isPress());
    EXPECT_FALSE(e.isButtonHeld());
    EXPECT_FALSE(e.isRelease());
    EXPECT_EQ(e.getPressure(), 0.0);
    EXPECT_EQ(e.getTilt(), tnLinear::Vector2::zero);
}

TEST(TabletEvent, RebuiltFromItsPartsKeepsThem)
{
    const TabletEvent drag(TabletEvent::Drag, TabletEvent::Airbrush, TabletEvent::Eraser, local, window, screen,
                           tnLinear::Vector2(-20, 35), 0.75, 90.0, true, tnUI::KeyModifier::Shift, 4711);
    EXPECT_EQ(drag.getDevice(), TabletEvent::Airbrush);
    EXPECT_EQ(drag.getPointerType(), TabletEvent::Eraser);
    EXPECT_EQ(drag.getTilt(), tnLinear::Vector2(-20, 35));
    EXPECT_EQ(drag.getPressure(), 0.75);
    EXPECT_EQ(drag.getRotation(), 90.0);
    EXPECT_TRUE(drag.isSideButtonDown());
    EXPECT_EQ(drag.getModifiers(), 1);
    EXPECT_EQ(drag.getSerial(), 4711);

    // The way a drag is ended and rewritten: a new event of another type from
    // the parts of the old one, assigned over a stored copy.
    TabletEvent stored;
    stored = drag;
    const TabletEvent release(TabletEvent::Release, stored.getDevice(), stored.getPointerType(), stored.getLocalXY(),
                              stored.getWindowXY(), stored.getScreenXY(), stored.getTilt(), stored.getPressure(),
                              stored.getRotation(), false, 0, 0);
    EXPECT_TRUE(release.isRelease());
    EXPECT_EQ(release.getDevice(), TabletEvent::Airbrush);
    EXPECT_EQ(release.getScreenXY(), screen);
    EXPECT_EQ(release.getTilt(), drag.getTilt());
}

TEST(Event, DestroyedThroughBase)
{
    std::unique_ptr<tnUI::Event> e = std::make_unique<TabletEvent>();
    EXPECT_NE(dynamic_cast<tnUI::PositionEvent*>(e.get()), nullptr);
    e = std::make_unique<tnUI::KeyEvent>(tnUI::KeyName::Q, tnUI::KeyModifier::Ctrl, true, local, window, screen);
    const auto* key = dynamic_cast<tnUI::KeyEvent*>(e.get());
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->getKey(), tnUI::KeyName::Q);
    EXPECT_EQ(key->getModifiers(), tnUI::KeyModifier::Ctrl);
    EXPECT_TRUE(key->isPressed());
    EXPECT_EQ(key->getWindowXY(), window);
}

TEST(WheelEvent, KeepsWhatItWasBuiltFrom)
{
    const tnUI::WheelEvent e(local, window, screen, -240, tnUI::WheelEvent::Horizontal, tnUI::KeyModifier::Meta);
    EXPECT_EQ(e.getDelta(), -240);
    EXPECT_EQ(e.getOrientation(), tnUI::WheelEvent::Horizontal);
    EXPECT_EQ(e.getModifiers(), 8);
    EXPECT_EQ(e.getLocalXY(), local);
    const tnUI::WheelEvent none;
    EXPECT_EQ(none.getDelta(), 0);
}

} // namespace
