#include <tnUI/foundation/Event.h>

#include <gtest/gtest.h>

namespace {

using tnLinear::Point2;
using tnUI::MouseEvent;
using tnUI::TabletEvent;

const Point2 local(1, 2), window(3, 4), screen(5, 6);

TEST(MouseEvent, ButtonTests)
{
    struct Case {
        int button, clicks;
        bool press, held, active;
    };
    const Case cases[] = {
        // Built by the command controller with three zero integers: 0 is a
        // motion with no button, 1 the end of a press, whatever the clicks.
        {0, 0, false, false, false},
        {1, 0, false, false, true},
        {MouseEvent::ButtonUp, 2, false, false, true},
        {MouseEvent::Left, 1, true, true, true},
        {MouseEvent::Right, 2, true, true, true},
        {MouseEvent::Forward, 1, true, true, true},
        // Drags with a button held.
        {MouseEvent::Left, 0, false, true, true},
        {MouseEvent::Back, -1, false, true, true},
        // Outside the enumeration: further buttons, or none.
        {9, 1, true, true, true},
        {-3, 1, false, false, false},
    };
    for (const Case& c : cases) {
        const MouseEvent e(local, window, screen, static_cast<MouseEvent::Button>(c.button), c.clicks, 0, 0);
        EXPECT_EQ(e.isPress(), c.press) << c.button << "/" << c.clicks;
        EXPECT_EQ(e.isButtonHeld(), c.held) << c.button << "/" << c.clicks;
        EXPECT_EQ(e.isButtonActive(), c.active) << c.button << "/" << c.clicks;
    }
    const MouseEvent none;
    EXPECT_FALSE(none.isButtonActive());
    EXPECT_EQ(none.getScreenXY(), Point2::origin);
}

TEST(MouseEvent, AssignmentReplacesEverything)
{
    const MouseEvent e(local, window, screen, MouseEvent::Right, 2, tnUI::KeyModifier::Ctrl | tnUI::KeyModifier::Alt,
                       MouseEvent::RightMask | MouseEvent::LeftMask);
    MouseEvent copy;
    copy = e;
    EXPECT_EQ(copy.getLocalXY(), local);
    EXPECT_EQ(copy.getWindowXY(), window);
    EXPECT_EQ(copy.getScreenXY(), screen);
    EXPECT_EQ(copy.getButton(), MouseEvent::Right);
    EXPECT_EQ(copy.getClickCount(), 2);
    EXPECT_EQ(copy.getModifiers(), 6);
    EXPECT_EQ(copy.getButtons(), 5);
    copy = MouseEvent(screen, local, window, MouseEvent::ButtonUp, 0, 0, 0);
    EXPECT_EQ(copy.getLocalXY(), screen);
    EXPECT_FALSE(copy.isButtonHeld());
}

TEST(TabletEvent, TypeTests)
{
    struct Case {
        int type;
        bool press, held, release;
    };
    // 2 and 3 are what the command controller builds.
    const Case cases[] = {{TabletEvent::Press, true, true, false},
                          {TabletEvent::Drag, false, true, false},
                          {2, false, false, false},
                          {3, false, false, true},
                          {TabletEvent::Enter, false, false, false},
                          {TabletEvent::Leave, false, false, false}};
    for (const Case& c : cases) {
        const TabletEvent e(static_cast<TabletEvent::Type>(c.type), TabletEvent::Stylus, TabletEvent::Pen, local,
                            window, screen, tnLinear::Vector2(0, 0), 0.5, 0.0, false, 0, 0);
        EXPECT_EQ(e.isPress(), c.press) << c.type;
        EXPECT_EQ(e.isButtonHeld(), c.held) << c.type;
        EXPECT_EQ(e.isRelease(), c.release) << c.type;
    }
    const TabletEvent none;
    EXPECT_EQ(none.getType(), TabletEvent::Motion);
    EXPECT_EQ(static_cast<int>(none.getDevice()), 1);
}

TEST(TabletEvent, RebuiltFromItsPartsKeepsThem)
{
    const TabletEvent drag(TabletEvent::Drag, TabletEvent::Airbrush, TabletEvent::Eraser, local, window, screen,
                           tnLinear::Vector2(-20, 35), 0.75, 90.0, true, tnUI::KeyModifier::Shift, 4711);
    // The way a drag is ended and rewritten: a new event of another type from
    // the parts of the old one, assigned over a stored copy.
    TabletEvent stored;
    stored = drag;
    EXPECT_TRUE(stored.isSideButtonDown());
    EXPECT_EQ(stored.getModifiers(), 1);
    EXPECT_EQ(stored.getSerial(), 4711);
    const TabletEvent release(TabletEvent::Release, stored.getDevice(), stored.getPointerType(), stored.getLocalXY(),
                              stored.getWindowXY(), stored.getScreenXY(), stored.getTilt(), stored.getPressure(),
                              stored.getRotation(), false, 0, 0);
    EXPECT_TRUE(release.isRelease());
    EXPECT_EQ(release.getDevice(), TabletEvent::Airbrush);
    EXPECT_EQ(release.getPointerType(), TabletEvent::Eraser);
    EXPECT_EQ(release.getScreenXY(), screen);
    EXPECT_EQ(release.getTilt(), tnLinear::Vector2(-20, 35));
    EXPECT_EQ(release.getPressure(), 0.75);
    EXPECT_EQ(release.getRotation(), 90.0);
}

} // namespace
