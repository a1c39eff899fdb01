#include <tnUI/foundation/Event.h>

#include <gtest/gtest.h>

#include <tuple>

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
        EXPECT_EQ(std::tuple(e.isPress(), e.isButtonHeld(), e.isButtonActive()), std::tuple(c.press, c.held, c.active))
            << c.button << "/" << c.clicks;
    }
    const MouseEvent none;
    EXPECT_FALSE(none.isButtonActive());
    EXPECT_EQ(none.getScreenXY(), Point2::origin);
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
        EXPECT_EQ(std::tuple(e.isPress(), e.isButtonHeld(), e.isRelease()), std::tuple(c.press, c.held, c.release))
            << c.type;
    }
    const TabletEvent none;
    EXPECT_EQ(none.getType(), TabletEvent::Motion);
    EXPECT_EQ(static_cast<int>(none.getDevice()), 1);
}

} // namespace
