// Marking menus run on screen: each test schedules real mouse or tablet
// events from timers, pops a menu (which blocks in its own loop) and checks
// what it returned and what was observed while it ran.
#include <tnUI/entity/Error.h>
#include <tnUI/markingmenus/MarkGeometry.h>
#include <tnUI/markingmenus/MarkLinearMenu.h>
#include <tnUI/markingmenus/qt/QmarkLinearMenu.h>
#include <tnUI/markingmenus/qt/QmarkMenu.h>
#include <tnUI/markingmenus/qt/QmarkMenuView.h>

#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QPointer>
#include <QPointingDevice>
#include <QScreen>
#include <QTabletEvent>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <cmath>
#include <functional>
#include <memory>
#include <string>

namespace {

const tnMarkFont Font("Sans", 0, 12);
const QPoint Center(400, 300);

// A screen-sized widget that counts the input it receives.
class Host : public QWidget {
public:
    int inputEvents = 0;
    int keyPresses = 0;

protected:
    void mousePressEvent(QMouseEvent*) override { ++inputEvents; }
    void mouseReleaseEvent(QMouseEvent*) override { ++inputEvents; }
    void mouseMoveEvent(QMouseEvent*) override { ++inputEvents; }
    void tabletEvent(QTabletEvent*) override { ++inputEvents; }
    void keyPressEvent(QKeyEvent*) override { ++keyPresses; }
};

// What a running popup looked like at one moment.
struct Probe {
    tnMarkMenu* menu = nullptr;
    QPoint center;
    bool itemsVisible = false;
};

// A pointer move scheduled ms after the popup starts.
struct Step {
    int ms;
    QPoint p;
};

class QmarkMenuViewTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_host.setWindowFlags(Qt::FramelessWindowHint);
        m_host.setGeometry(QGuiApplication::primaryScreen()->geometry());
        m_host.show();
        // Long enough by default that nothing shows unless a test wants it.
        QmarkMenuView::setShowItemsDelay(5000);
        QmarkMenuView::setPopParentDelay(600);
        QmarkMenuView::setSubmenuRestartDelay(600);
        QmarkMenuView::setGestureFeedbackTime(100);
    }
    void TearDown() override
    {
        QmarkMenuView::setShowItemsDelay(100);
        EXPECT_EQ(QmarkMenuView::findView(), nullptr);
    }

    // Runs action ms after now, unless the test is over by then.
    void at(int ms, std::function<void()> action)
    {
        ++m_pending;
        QTimer::singleShot(ms, Qt::PreciseTimer, &m_host, [this, action = std::move(action)] {
            --m_pending;
            action();
        });
    }
    // Runs events until every action scheduled with at() has run.
    void settle()
    {
        for (int waited = 0; m_pending > 0 && waited < 10000; waited += 10)
            QTest::qWait(10);
    }
    QPoint local(QPoint global) const { return m_host.mapFromGlobal(global); }
    void press(QPoint p) { QTest::mousePress(&m_host, Qt::LeftButton, {}, local(p)); }
    void move(QPoint p) { QTest::mouseMove(&m_host, local(p)); }
    void release(QPoint p) { QTest::mouseRelease(&m_host, Qt::LeftButton, {}, local(p)); }
    // A quick mark: press at the centre, the moves, release at the last.
    void mark(std::initializer_list<QPoint> points)
    {
        press(Center);
        QPoint last = Center;
        for (QPoint p : points)
            move(last = p);
        release(last);
    }
    // Presses at from after 10 ms, makes the moves and releases where the
    // last one went at releaseAt.
    void drag(const std::vector<Step>& moves, int releaseAt, QPoint from = Center)
    {
        at(10, [this, from] { press(from); });
        for (const Step& s : moves)
            at(s.ms, [this, p = s.p] { move(p); });
        at(releaseAt, [this, last = moves.empty() ? from : moves.back().p] { release(last); });
    }
    // Records the running popup's state at ms.
    void probe(int ms, Probe& out)
    {
        at(ms, [&out] {
            QmarkMenuView* view = QmarkMenuView::findView();
            ASSERT_NE(view, nullptr);
            out = {view->getCurrentMenu(), view->getCenter(), view->getCurrentMenu()->areItemsVisible()};
        });
    }
    // Pops menu at p; a late release ends a popup that would not end, and
    // only that popup.
    int run(tnMarkMenu& menu, QPoint p = Center, void** data = nullptr)
    {
        QTimer late;
        late.setSingleShot(true);
        QObject::connect(&late, &QTimer::timeout, &m_host, [this] { release(Center); });
        late.start(8000);
        int id = -2;
        void* chosenData = nullptr;
        menu.popup(static_cast<float>(p.x()), static_cast<float>(p.y()), &id, &chosenData, false);
        if (data)
            *data = chosenData;
        return id;
    }

    Host m_host;
    int m_pending = 0;
};

// East (1), North (2), West (3); East opens a radial submenu with North (42)
// and East (43).
struct Menus {
    Menus()
    {
        east = top.addSubmenuTextItem("East", "", &sub, tnMarkPosition::East, Font, nullptr);
        top.addTextItem("North", "", 2, tnMarkPosition::North, Font, nullptr);
        top.addTextItem("West", "", 3, tnMarkPosition::West, Font, nullptr);
        sub.addTextItem("Up", "", 42, tnMarkPosition::North, Font, nullptr);
        sub.addTextItem("Right", "", 43, tnMarkPosition::East, Font, nullptr);
    }
    QmarkMenu top;
    QmarkMenu sub;
    tnMarkMenuItem* east;
};

// The box of an item of a menu shown at Center, in screen pixels.
QRect screenBox(const tnMarkItem& item)
{
    float left, bottom, right, top;
    item.getBox(left, bottom, right, top);
    return QRectF(QPointF(left, -top), QPointF(right, -bottom)).translated(Center).toRect();
}

TEST_F(QmarkMenuViewTest, QuickMarkChoosesByTheStrokeWithoutShowingTheItems)
{
    QmarkMenu menu;
    int data = 0;
    menu.addTextItem("East", "", 1, tnMarkPosition::East, Font, &data);
    menu.addTextItem("North", "", 2, tnMarkPosition::North, Font, nullptr);
    menu.addTextItem("West", "", 3, tnMarkPosition::West, Font, nullptr)->setState(tnMarkItem::Disabled);
    int hovers = 0;
    QObject::connect(&menu, &QmarkMenu::hovered, [&hovers](tnMarkItem*) { ++hovers; });
    Probe feedback;

    at(20, [this] { mark({{410, 300}, {430, 300}, {460, 302}}); });
    probe(60, feedback);
    void* chosen = nullptr;
    EXPECT_EQ(run(menu, Center, &chosen), 1);
    EXPECT_EQ(chosen, &data);
    // Still in the gesture phase with the stroke on screen after the release;
    // the maximum radius lifted for the gesture is back.
    EXPECT_TRUE(tnMarkMenu::isGesturePhase());
    EXPECT_EQ(feedback.menu, &menu);
    EXPECT_FALSE(feedback.itemsVisible);
    EXPECT_GT(hovers, 0);
    EXPECT_EQ(menu.getMaxRadius(), 250.0f);

    // A release without movement lands in the centre zone: nothing.
    at(20, [this] { mark({}); });
    EXPECT_EQ(run(menu), -1);
    // A disabled item is never chosen, by a mark or once displayed.
    at(20, [this] { mark({{370, 300}, {340, 300}}); });
    EXPECT_EQ(run(menu), -1);
    QmarkMenuView::setShowItemsDelay(40);
    drag({{200, {340, 300}}}, 350);
    EXPECT_EQ(run(menu), -1);
    EXPECT_EQ(m_host.inputEvents, 0);
    // Without the view the host gets its input again.
    press(Center);
    release(Center);
    EXPECT_EQ(m_host.inputEvents, 2);
}

TEST_F(QmarkMenuViewTest, CompoundMarkReplaysThroughSubmenus)
{
    Menus menus;
    QmarkMenuView::setGestureFeedbackTime(300);
    Probe feedback;
    tnMarkMenuItem* announced = nullptr;
    QObject::connect(&menus.top, &QmarkMenu::aboutToShowSubmenu,
                     [&announced](tnMarkMenuItem* item) { announced = item; });

    // East then North: the corner is the submenu's centre.
    at(20, [this] { mark({{460, 300}, {460, 240}}); });
    probe(150, feedback);
    EXPECT_EQ(run(menus.top), 42);
    EXPECT_EQ(announced, menus.east);
    EXPECT_EQ(feedback.menu, &menus.sub);
    EXPECT_EQ(feedback.center, QPoint(460, 300));

    // A straight mark onto the submenu item enters the submenu, where
    // nothing is highlighted.
    announced = nullptr;
    at(20, [this] { mark({{460, 300}}); });
    EXPECT_EQ(run(menus.top), -1);
    EXPECT_EQ(announced, menus.east);
}

TEST(QmarkMenuViewStroke, SlowTurnsAreNoCorners)
{
    // A quarter turn East then North in steps: only steps longer than the
    // centre radius (25) make a corner, and only when turning by more than
    // 20 degrees.
    const auto quarterTurn = [](int step) {
        QPainterPath stroke(QPointF(0, 0));
        for (int x = step; x <= 120; x += step)
            stroke.lineTo(x, 0);
        for (int y = step; y <= 120; y += step)
            stroke.lineTo(120, -y);
        return stroke;
    };
    QPainterPath shallow(QPointF(0, 0));
    shallow.lineTo(100, 0);
    shallow.lineTo(200, 30);
    const struct {
        QPainterPath stroke;
        int vertices;
    } cases[] = {{quarterTurn(5), 2}, {quarterTurn(20), 2}, {quarterTurn(30), 3}, {shallow, 2}, {QPainterPath(), 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stroke.elementCount());
        const QPainterPath simple = QmarkMenuView::simplifyStroke(c.stroke, 25.0f);
        ASSERT_EQ(simple.elementCount(), c.vertices);
        if (c.vertices > 0) {
            EXPECT_EQ(QPointF(simple.elementAt(0)), QPointF(0, 0));
            EXPECT_EQ(simple.currentPosition(), c.stroke.currentPosition());
        }
    }
}

TEST_F(QmarkMenuViewTest, MovingDrawsOnlyTheStrokeAndRestingShowsTheItems)
{
    QmarkMenu menu;
    menu.addTextItem("East", "", 1, tnMarkPosition::East, Font, nullptr);
    const tnMarkItem* west = menu.addTextItem("West", "", 3, tnMarkPosition::West, Font, nullptr);
    const QRect westBox = screenBox(*west).adjusted(2, 2, -2, -2);
    tnMarkItem* hovered = nullptr;
    QObject::connect(&menu, &QmarkMenu::hovered, [&hovered](tnMarkItem* item) { hovered = item; });
    // Areas are in logical pixels; the picture may have more per pixel.
    const auto painted = [](const QImage& image, const QRect& area) {
        const qreal ratio = image.devicePixelRatio();
        const QRect pixels(area.topLeft() * ratio, area.size() * ratio);
        QImage clear(pixels.size(), image.format());
        clear.fill(Qt::transparent);
        return image.copy(pixels) != clear;
    };
    Probe moving, rested;
    QImage gesture, displayed;

    // Moves every 80 ms for 640 ms keep the items hidden, a shorter delay set
    // on the way taking effect with the next move; 400 ms of rest shows them.
    std::vector<Step> moves;
    for (int i = 1; i <= 8; ++i)
        moves.push_back({80 * i, Center + QPoint(4 * i, 0)});
    moves.push_back({1550, {320, 300}});
    drag(moves, 1700);
    at(300, [] { QmarkMenuView::setShowItemsDelay(400); });
    probe(700, moving);
    at(700, [&gesture] { gesture = QmarkMenuView::findView()->grab().toImage(); });
    probe(1500, rested);
    at(1500, [&displayed] { displayed = QmarkMenuView::findView()->grab().toImage(); });
    EXPECT_EQ(run(menu), 3);
    EXPECT_FALSE(moving.itemsVisible);
    EXPECT_TRUE(rested.itemsVisible);
    ASSERT_FALSE(gesture.isNull());
    EXPECT_TRUE(painted(gesture, QRect(410, 298, 20, 5)));
    EXPECT_FALSE(painted(gesture, westBox));
    EXPECT_TRUE(painted(displayed, westBox));
    EXPECT_FALSE(tnMarkMenu::isGesturePhase());
    EXPECT_EQ(hovered, west);
    EXPECT_EQ(m_host.inputEvents, 0);
}

TEST_F(QmarkMenuViewTest, ListSubmenusOpenAfterAQuarterOfTheDelay)
{
    QmarkMenu top, radial;
    QmarkLinearMenu list;
    top.addSubmenuTextItem("East", "", &list, tnMarkPosition::East, Font, nullptr);
    top.addSubmenuTextItem("West", "", &radial, tnMarkPosition::West, Font, nullptr);
    list.addItem("One", "", 7, Font, nullptr);
    radial.addTextItem("One", "", 7, tnMarkPosition::East, Font, nullptr);
    // Once the items show, hovering waits 800 ms for a radial submenu and
    // 200 ms for a list.
    for (const auto& [to, opened] : {std::pair<QPoint, tnMarkMenu*>{{460, 300}, &list}, {{340, 300}, &top}}) {
        QmarkMenuView::setShowItemsDelay(40);
        Probe later;
        at(200, [] { QmarkMenuView::setShowItemsDelay(800); });
        drag({{250, to}}, 750);
        probe(700, later);
        run(top);
        EXPECT_EQ(later.menu, opened) << to.x();
    }
}

// Run on every screen; the ctest run with two screens (see CMakeLists.txt)
// has a second one whose origin is not (0, 0).
TEST_F(QmarkMenuViewTest, HoveringOpensTheSubmenuOnEveryScreen)
{
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect geometry = screen->geometry();
        SCOPED_TRACE(geometry.x());
        Menus menus;
        QmarkMenuView::setShowItemsDelay(40);
        const QPoint c = geometry.center();
        Probe inSub;
        drag({{200, c + QPoint(60, 0)}, {550, c + QPoint(60, -60)}}, 700, c);
        probe(500, inSub);
        EXPECT_EQ(run(menus.top, c), 42);
        EXPECT_EQ(inSub.menu, &menus.sub);
        EXPECT_TRUE(inSub.itemsVisible);
        // The view covers the screen: its pixels start at the screen's origin.
        EXPECT_EQ(inSub.center, c + QPoint(60, 0) - geometry.topLeft());
        float x = 0, y = 0;
        menus.sub.getParentOffset(x, y);
        EXPECT_EQ(menus.sub.getParentMenu(), &menus.top);
        EXPECT_EQ(QPointF(x, y), QPointF(-60.0, 0.0));
    }
}

TEST_F(QmarkMenuViewTest, ReturningToTheParentCentreGoesBack)
{
    // From a radial submenu on the parent's centre: the full delay.
    Menus menus;
    QmarkMenuView::setShowItemsDelay(40);
    QmarkMenuView::setPopParentDelay(800);
    Probe early, late;
    drag({{200, {460, 300}}, {400, {405, 300}}, {1700, {400, 240}}}, 1850);
    probe(900, early);
    probe(1600, late);
    EXPECT_EQ(run(menus.top), 2);
    EXPECT_EQ(early.menu, &menus.sub);
    EXPECT_EQ(late.menu, &menus.top);
    EXPECT_TRUE(late.itemsVisible);
    EXPECT_EQ(late.center, Center);

    // From a list hanging off a list, pointing back into the parent list: a
    // quarter of the delay.
    QmarkLinearMenu parent, child;
    tnMarkMenuItem* opener = parent.addSubmenuItem("Opens a list", "", &child, Font, nullptr);
    parent.addItem("Second", "", 5, Font, nullptr);
    child.addItem("Inner", "", 9, Font, nullptr);
    float left, bottom, right, top;
    opener->getBox(left, bottom, right, top);
    const QPoint onSecond = Center + QPoint(10, static_cast<int>(top - bottom) + 10);
    drag({{200, Center + QPoint(10, -static_cast<int>(top + bottom) / 2)}, {650, onSecond}}, 1100);
    probe(600, early);
    probe(1000, late);
    EXPECT_EQ(run(parent), 5);
    EXPECT_EQ(early.menu, &child);
    EXPECT_EQ(early.center, Center - QPoint(static_cast<int>(std::ceil(-right)), static_cast<int>(std::ceil(top))));
    EXPECT_EQ(late.menu, &parent);
}

TEST_F(QmarkMenuViewTest, ParentCentreMarkerMovesOffTheSubmenuItems)
{
    // The parent's centre lies 60 pixels West of the submenu's, under the
    // submenu's West item: the displayed submenu moves it off.
    QmarkMenu top, sub;
    top.addSubmenuTextItem("East", "", &sub, tnMarkPosition::East, Font, nullptr);
    sub.addTextItem("A long label here", "", 1, tnMarkPosition::West, Font, nullptr);
    QmarkMenuView::setShowItemsDelay(40);
    drag({{200, {460, 300}}}, 500);
    run(top);
    float x, y;
    sub.getParentOffset(x, y);
    const tnLinear::Point2 moved = tnMarkGeometry::moveParentMarker(sub, {-60.0, 0.0});
    EXPECT_NE(moved, tnLinear::Point2(-60.0, 0.0));
    EXPECT_EQ(tnLinear::Point2(x, y), moved);
}

TEST_F(QmarkMenuViewTest, TabletInputWorksLikeTheMouse)
{
    QmarkMenu menu;
    menu.addTextItem("North", "", 2, tnMarkPosition::North, Font, nullptr);
    const auto send = [this](QEvent::Type type, QPoint p) {
        QTabletEvent event(type, QPointingDevice::primaryPointingDevice(), QPointF(local(p)), QPointF(p), 0.5, 0, 0, 0,
                           0, 0, {}, Qt::LeftButton, type == QEvent::TabletRelease ? Qt::NoButton : Qt::LeftButton);
        // Accepted, so that Qt makes no mouse event of it.
        event.setAccepted(false);
        QApplication::sendEvent(&m_host, &event);
        EXPECT_TRUE(event.isAccepted());
    };
    at(20, [send] {
        send(QEvent::TabletPress, Center);
        send(QEvent::TabletMove, {400, 280});
        send(QEvent::TabletMove, {400, 240});
        send(QEvent::TabletRelease, {400, 240});
    });
    EXPECT_EQ(run(menu), 2);
    EXPECT_EQ(m_host.inputEvents, 0);
}

TEST_F(QmarkMenuViewTest, EscapeCancelsAtEveryPhase)
{
    Menus menus;
    struct Phase {
        const char* name;
        int showItemsDelay;
        int feedbackTime;
        std::vector<Step> moves;
        int escapeAt;
        int releaseAt;
        int chosenWithoutEscape;
    };
    const Phase phases[] = {
        // Items hidden, the stroke heading North.
        {"gesture", 5000, 100, {{60, {400, 270}}, {100, {400, 230}}}, 200, 300, 2},
        // Items shown, North highlighted.
        {"display", 40, 100, {{200, {400, 240}}}, 400, 500, 2},
        // In the East item's submenu, its North item highlighted.
        {"submenu", 40, 100, {{200, {460, 300}}, {550, {460, 240}}}, 700, 800, 42},
        // A quick mark North, its item shown for a moment after the release.
        {"gesture feedback", 5000, 1500, {{40, {400, 270}}, {60, {400, 230}}}, 300, 80, 2},
    };
    for (const Phase& phase : phases) {
        SCOPED_TRACE(phase.name);
        for (const bool cancel : {false, true}) {
            QmarkMenuView::setShowItemsDelay(phase.showItemsDelay);
            QmarkMenuView::setGestureFeedbackTime(phase.feedbackTime);
            drag(phase.moves, phase.releaseAt);
            // Other keys pass on to the host and leave the menu as it is.
            at(phase.escapeAt - 20, [this] { QTest::keyClick(&m_host, Qt::Key_A); });
            // Escape hides the view at once; the popup ends when control is
            // back in its loop.
            bool cancelled = false;
            if (cancel) {
                at(phase.escapeAt, [&cancelled] {
                    const QPointer<QmarkMenuView> view = QmarkMenuView::findView();
                    QTest::keyClick(view, Qt::Key_Escape);
                    cancelled = view && view->isCancelled() && !view->isVisible();
                });
            }
            const int keysBefore = m_host.keyPresses;
            EXPECT_EQ(run(menus.top), cancel ? -1 : phase.chosenWithoutEscape) << cancel;
            EXPECT_EQ(cancelled, cancel);
            EXPECT_EQ(m_host.keyPresses, keysBefore + 1);
            // The release after Escape reaches the host: its input is back.
            settle();
        }
    }
}

TEST_F(QmarkMenuViewTest, ClosingTheViewCancelsThePopup)
{
    Menus menus;
    QmarkMenuView::setShowItemsDelay(40);
    drag({{200, {400, 240}}}, 600);
    at(400, [] { QmarkMenuView::findView()->close(); });
    EXPECT_EQ(run(menus.top), -1);
}

// A menu popped near an edge or corner is moved inside the screen. The mouse
// pointer moves with it and a pen's positions are corrected, so a press and
// release without movement stays in the centre and chooses nothing.
TEST_F(QmarkMenuViewTest, PressAndReleaseWithoutMovingChoosesNothingAtTheScreenEdges)
{
    QmarkMenu menu;
    for (int i = 0; i < 8; ++i)
        menu.addTextItem(("Item " + std::to_string(i)).c_str(), "", i, 2 * i, Font, nullptr);
    // A list hangs from the pointer: its first item's corner is right there.
    QmarkLinearMenu list;
    list.addItem("First", "", 1, Font, nullptr);
    list.addItem("Second", "", 2, Font, nullptr);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const auto tablet = [this](QEvent::Type type, QPoint p) {
        QTabletEvent event(type, QPointingDevice::primaryPointingDevice(), QPointF(local(p)), QPointF(p), 0.5, 0, 0, 0,
                           0, 0, {}, Qt::LeftButton, type == QEvent::TabletRelease ? Qt::NoButton : Qt::LeftButton);
        QApplication::sendEvent(&m_host, &event);
    };
    QmarkMenuView::setShowItemsDelay(40);
    const QPoint inset(5, 5);
    const QPoint edges[] = {screen.center(),
                            screen.topLeft() + inset,
                            {screen.center().x(), screen.top() + 5},
                            screen.topRight() + QPoint(-5, 5),
                            {screen.right() - 5, screen.center().y()},
                            screen.bottomRight() - inset,
                            {screen.center().x(), screen.bottom() - 5},
                            screen.bottomLeft() + QPoint(5, -5),
                            {screen.left() + 5, screen.center().y()}};
    for (const QPoint p : edges) {
        for (tnMarkMenu* m : {static_cast<tnMarkMenu*>(&menu), static_cast<tnMarkMenu*>(&list)}) {
            SCOPED_TRACE(testing::Message() << p.x() << "," << p.y() << (m->isLinear() ? " list" : " radial"));
            // The mouse: pressed where the cursor is, released where it is
            // then.
            QCursor::setPos(p);
            Probe shown;
            QPoint cursor;
            at(10, [this, p] { press(p); });
            probe(300, shown);
            at(350, [this, &cursor] { release(cursor = QCursor::pos()); });
            EXPECT_EQ(run(*m, p), -1);
            EXPECT_TRUE(shown.itemsVisible);
            EXPECT_EQ(cursor - p, shown.center - p);
            // Only the centre of the screen leaves the radial menu in place.
            if (!m->isLinear()) {
                EXPECT_EQ(shown.center == p, p == screen.center());
            }

            // A pen stays where it was pressed.
            at(10, [&tablet, p] { tablet(QEvent::TabletPress, p); });
            at(350, [&tablet, p] { tablet(QEvent::TabletRelease, p); });
            EXPECT_EQ(run(*m, p), -1);
        }
    }
    // From the shifted centre, a move still points at an item: East of the
    // left edge's press is the East item.
    const QPoint left = edges[8];
    QCursor::setPos(left);
    at(10, [this, left] { press(left); });
    at(300, [this] { move(QCursor::pos() + QPoint(70, 0)); });
    at(400, [this] { release(QCursor::pos() + QPoint(70, 0)); });
    EXPECT_EQ(run(menu, left), 0);
}

TEST_F(QmarkMenuViewTest, RefusedPointsLeaveNoView)
{
    QmarkMenu menu;
    menu.addTextItem("East", "", 1, tnMarkPosition::East, Font, nullptr);
    int id = 0;
    EXPECT_THROW(menu.popup(std::nanf(""), 300.0f, &id, nullptr, false), tnUI::ImplError);
    EXPECT_EQ(QmarkMenuView::findView(), nullptr);
}

TEST(QmarkMenuViewSettings, NegativeDelaysAreRefusedAndTheParentWindowIsForgotten)
{
    QmarkMenuView::setPopParentDelay(600);
    EXPECT_THROW(QmarkMenuView::setPopParentDelay(-1), tnUI::ImplError);
    EXPECT_EQ(QmarkMenuView::getTimeout(QmarkMenuView::PopParent, 2), 150);

    auto window = std::make_unique<QWidget>();
    QmarkMenuView::setParentWindow(window.get());
    EXPECT_EQ(QmarkMenuView::getParentWindow(), window.get());
    window.reset();
    EXPECT_EQ(QmarkMenuView::getParentWindow(), nullptr);
}

} // namespace
