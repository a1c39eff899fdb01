// Marking menus run on screen: each test schedules real mouse or tablet
// events from timers, pops a menu (which blocks in its own loop) and checks
// what it returned and what was observed while it ran.
#include <tnUI/entity/Error.h>
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
#include <optional>
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
    QPoint center; // global
    QRect view;    // global
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
            out = {view->getCurrentMenu(), view->geometry().topLeft() + view->getCenter(), view->geometry(),
                   view->getCurrentMenu()->areItemsVisible()};
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

    // A disabled item is never chosen, by a mark or once displayed.
    at(20, [this] { mark({{370, 300}, {340, 300}}); });
    EXPECT_EQ(run(menu), -1);
    QmarkMenuView::setShowItemsDelay(40);
    drag({{200, {340, 300}}}, 350);
    EXPECT_EQ(run(menu), -1);
    EXPECT_EQ(m_host.inputEvents, 0);
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
}

// Moves every 4 pixels, as a mouse reports them: the corner is found from
// the stroke's shape. The original rule, kept as an option, finds none and
// chooses nothing.
TEST_F(QmarkMenuViewTest, DenseCompoundMarkGoesThroughTheSubmenu)
{
    Menus menus;
    QmarkMenuView::setGestureFeedbackTime(300);
    std::vector<QPoint> moves;
    for (int i = 1; i <= 15; ++i)
        moves.push_back(Center + QPoint(4 * i, i % 2));
    for (int i = 1; i <= 15; ++i)
        moves.push_back(Center + QPoint(60 + i % 2, -4 * i));
    const auto draw = [this, &moves] {
        press(Center);
        for (QPoint p : moves)
            move(p);
        release(moves.back());
    };
    Probe feedback;
    at(20, draw);
    probe(150, feedback);
    EXPECT_EQ(run(menus.top), 42);
    EXPECT_EQ(feedback.menu, &menus.sub);
    EXPECT_LE((feedback.center - QPoint(460, 300)).manhattanLength(), 4);
    settle();

    QmarkMenuView::setQuickMarkRule(QmarkMenuView::QuickMarkRule::LongSteps);
    at(20, draw);
    EXPECT_EQ(run(menus.top), -1);
    QmarkMenuView::setQuickMarkRule(QmarkMenuView::QuickMarkRule::WholeStroke);
}

// When the items show; what is drawn is checked at an X server (qt/display).
TEST_F(QmarkMenuViewTest, MovingKeepsTheItemsHiddenAndRestingShowsThem)
{
    QmarkMenu menu;
    menu.addTextItem("East", "", 1, tnMarkPosition::East, Font, nullptr);
    const tnMarkItem* west = menu.addTextItem("West", "", 3, tnMarkPosition::West, Font, nullptr);
    tnMarkItem* hovered = nullptr;
    QObject::connect(&menu, &QmarkMenu::hovered, [&hovered](tnMarkItem* item) { hovered = item; });
    Probe moving, rested;
    // Moves every 80 ms for 640 ms keep the items hidden, a shorter delay set
    // on the way taking effect with the next move; 400 ms of rest shows them.
    std::vector<Step> moves;
    for (int i = 1; i <= 8; ++i)
        moves.push_back({80 * i, Center + QPoint(4 * i, 0)});
    moves.push_back({1550, {320, 300}});
    drag(moves, 1700);
    at(300, [] { QmarkMenuView::setShowItemsDelay(400); });
    probe(700, moving);
    probe(1500, rested);
    EXPECT_EQ(run(menu), 3);
    EXPECT_FALSE(moving.itemsVisible);
    EXPECT_TRUE(rested.itemsVisible);
    EXPECT_FALSE(tnMarkMenu::isGesturePhase());
    EXPECT_EQ(hovered, west);
    EXPECT_EQ(m_host.inputEvents, 0);
}

// On every screen: ctest also runs it with a second one off (0, 0).
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
        EXPECT_EQ(inSub.center, c + QPoint(60, 0));
        // The view covers what the menus draw, on their screen only.
        EXPECT_TRUE(geometry.contains(inSub.view));
        EXPECT_LT(inSub.view.width(), geometry.width());
    }
}

TEST_F(QmarkMenuViewTest, ReturningToTheParentCentreGoesBack)
{
    // From a radial submenu on the parent's centre after the delay.
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
}

// Escape is also driven at an X server (qt/display); here what that test
// does not see: the view's state, other keys and a radial submenu.
TEST_F(QmarkMenuViewTest, EscapeInASubmenuCancelsAndOtherKeysPassOn)
{
    Menus menus;
    QmarkMenuView::setShowItemsDelay(40);
    for (const bool cancel : {false, true}) {
        // In the East item's submenu, its North item highlighted.
        drag({{200, {460, 300}}, {550, {460, 240}}}, 800);
        at(680, [this] { QTest::keyClick(&m_host, Qt::Key_A); });
        // Escape hides the view at once; the popup ends when control is back
        // in its loop.
        bool cancelled = false;
        if (cancel) {
            at(700, [&cancelled] {
                const QPointer<QmarkMenuView> view = QmarkMenuView::findView();
                QTest::keyClick(view, Qt::Key_Escape);
                cancelled = view && view->isCancelled() && !view->isVisible();
            });
        }
        const int keysBefore = m_host.keyPresses;
        EXPECT_EQ(run(menus.top), cancel ? -1 : 42) << cancel;
        EXPECT_EQ(cancelled, cancel);
        EXPECT_EQ(m_host.keyPresses, keysBefore + 1);
        settle();
    }
    drag({{200, {400, 240}}}, 600);
    at(400, [] { QmarkMenuView::findView()->close(); });
    EXPECT_EQ(run(menus.top), -1);
}

// Keys choose in both kinds of menu, whether the menu was popped by a press
// (the button held, the items hidden until a key shows them) or opened from
// the keyboard (the items shown, the first highlighted, no button held).
TEST_F(QmarkMenuViewTest, KeysChooseInEveryPhaseAndBothKinds)
{
    // Radial: East (a submenu of Up 42 and Right 43), North 2, West 3, the
    // last disabled in the second build. Linear: Alpha 1, Beta (a list of
    // Gamma 7 and Delta 8), Omega 3.
    QmarkMenu radial, radialSub;
    radial.addSubmenuTextItem("&East", "", &radialSub, tnMarkPosition::East, Font, nullptr);
    radial.addTextItem("&North", "", 2, tnMarkPosition::North, Font, nullptr);
    tnMarkMenuItem* west = radial.addTextItem("&West", "", 3, tnMarkPosition::West, Font, nullptr);
    radialSub.addTextItem("&Up", "", 42, tnMarkPosition::North, Font, nullptr);
    radialSub.addTextItem("&Right", "", 43, tnMarkPosition::East, Font, nullptr);
    QmarkLinearMenu list, listSub;
    list.addItem("&Alpha", "", 1, Font, nullptr);
    list.addSubmenuItem("&Beta", "", &listSub, Font, nullptr);
    list.addItem("&Omega", "", 3, Font, nullptr);
    listSub.addItem("&Gamma", "", 7, Font, nullptr);
    listSub.addItem("&Delta", "", 8, Font, nullptr);

    using K = QKeyCombination;
    const Qt::KeyboardModifier pad = Qt::KeypadModifier;
    struct Case {
        const char* name;
        bool linear;
        bool fromKeyboard;
        std::vector<K> keys;
        int expected;
    };
    const Case cases[] = {
        {"arrow then Enter", false, false, {K(Qt::Key_Up), K(Qt::Key_Return)}, 2},
        {"keypad 4 then Space", false, false, {K(pad, Qt::Key_4), K(Qt::Key_Space)}, 3},
        {"keypad 6 opens the submenu at Up", false, false, {K(pad, Qt::Key_6), K(Qt::Key_Enter), K(Qt::Key_Enter)}, 42},
        {"arrows in the submenu",
         false,
         false,
         {K(Qt::Key_Right), K(Qt::Key_Return), K(Qt::Key_Right), K(Qt::Key_Return)},
         43},
        {"Backspace returns to East",
         false,
         false,
         {K(Qt::Key_Right), K(Qt::Key_Return), K(Qt::Key_Backspace), K(Qt::Key_Tab), K(Qt::Key_Return)},
         2},
        {"Tab walks in order", false, false, {K(Qt::Key_Tab), K(Qt::Key_Tab), K(Qt::Key_Return)}, 2},
        {"Shift+Tab from the end", false, false, {K(Qt::Key_Backtab), K(Qt::Key_Return)}, 3},
        {"mnemonics", false, false, {K(Qt::Key_E), K(Qt::Key_R)}, 43},
        {"Escape after keys", false, false, {K(Qt::Key_Up), K(Qt::Key_Escape)}, -1},
        {"opened from the keyboard at East", false, true, {K(Qt::Key_Return), K(Qt::Key_Return)}, 42},
        {"list: Down from none", true, false, {K(Qt::Key_Down), K(Qt::Key_Return)}, 1},
        {"list: Right opens, Down moves",
         true,
         false,
         {K(Qt::Key_Down), K(Qt::Key_Down), K(Qt::Key_Right), K(Qt::Key_Down), K(Qt::Key_Return)},
         8},
        {"list: Left returns",
         true,
         false,
         {K(Qt::Key_Down), K(Qt::Key_Down), K(Qt::Key_Right), K(Qt::Key_Left), K(Qt::Key_Up), K(Qt::Key_Return)},
         1},
        {"list: Up wraps", true, false, {K(Qt::Key_Up), K(Qt::Key_Return)}, 3},
        {"list: mnemonics", true, false, {K(Qt::Key_B), K(Qt::Key_D)}, 8},
        {"list opened from the keyboard at Alpha", true, true, {K(Qt::Key_Down), K(Qt::Key_Down), K(Qt::Key_Space)}, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.fromKeyboard)
            at(10, [this] { press(Center); });
        int key = 0;
        for (const K k : c.keys) {
            at(40 + 30 * key++, [this, k] { QTest::keyClick(&m_host, k.key(), k.keyboardModifiers()); });
        }
        tnMarkMenu& menu = c.linear ? static_cast<tnMarkMenu&>(list) : radial;
        std::optional<QmarkMenuView::KeyboardOpening> opening;
        if (c.fromKeyboard)
            opening.emplace();
        EXPECT_EQ(run(menu), c.expected);
        settle();
        if (!c.fromKeyboard)
            release(Center);
    }

    // A disabled item is highlighted but never chosen; the keys leave it to
    // Escape.
    west->setState(tnMarkItem::Disabled);
    at(10, [this] { press(Center); });
    at(40, [this] { QTest::keyClick(&m_host, Qt::Key_Left); });
    at(70, [this] { QTest::keyClick(&m_host, Qt::Key_Return); });
    Probe stillOpen;
    probe(100, stillOpen);
    at(130, [this] { QTest::keyClick(&m_host, Qt::Key_Escape); });
    EXPECT_EQ(run(radial), -1);
    EXPECT_EQ(stillOpen.menu, &radial);
    EXPECT_TRUE(stillOpen.itemsVisible);
    settle();
    release(Center);
    EXPECT_EQ(m_host.keyPresses, 0);
}

// A finger works as the mouse: a swipe chooses by the stroke; lifted in
// place once the items show, it leaves them up for a tap; a second finger or
// a touch the system cancels cancels the menu.
TEST_F(QmarkMenuViewTest, TouchSwipesTapsAndCancels)
{
    Menus menus;
    QmarkMenuView::setShowItemsDelay(40);
    const std::unique_ptr<QPointingDevice> screen(QTest::createTouchDevice());
    const auto touch = [this, &screen] { return QTest::touchEvent(&m_host, screen.get()); };
    at(10, [&] { touch().press(0, local(Center)); });
    at(30, [&] { touch().move(0, local({400, 270})); });
    at(50, [&] { touch().move(0, local({400, 230})); });
    at(60, [&] { touch().release(0, local({400, 230})); });
    EXPECT_EQ(run(menus.top), 2);
    settle();

    // Held still until the items show, lifted, then a tap on West.
    const QPoint westItem = Center + QPoint(-80, 0);
    at(10, [&] { touch().press(0, local(Center)); });
    at(200, [&] { touch().release(0, local(Center)); });
    Probe afterLift;
    probe(300, afterLift);
    at(350, [&] { touch().press(0, local(westItem)); });
    at(370, [&] { touch().release(0, local(westItem)); });
    EXPECT_EQ(run(menus.top), 3);
    EXPECT_EQ(afterLift.menu, &menus.top);
    EXPECT_TRUE(afterLift.itemsVisible);
    settle();

    // A second finger, then a cancelled touch, end the popup at once.
    bool ended = false;
    const auto checkEnded = [&ended] { ended = QmarkMenuView::findView() == nullptr; };
    at(10, [&] { touch().press(0, local(Center)); });
    at(30, [&] { touch().move(0, local({430, 300})).press(1, local({300, 300})); });
    at(150, checkEnded);
    EXPECT_EQ(run(menus.top), -1);
    settle();
    EXPECT_TRUE(ended);
    touch().release(0, local({430, 300})).release(1, local({300, 300}));
    at(10, [&] { touch().press(0, local(Center)); });
    at(30, [&] {
        QTouchEvent cancelled(QEvent::TouchCancel, screen.get());
        QCoreApplication::sendEvent(m_host.windowHandle(), &cancelled);
    });
    at(150, checkEnded);
    ended = false;
    EXPECT_EQ(run(menus.top), -1);
    settle();
    EXPECT_TRUE(ended);
    touch().release(0, local(Center));
}

// A menu popped near an edge is moved inside the screen and a pen's
// positions are corrected, so that a press and release in place stays in the
// centre and chooses nothing (the mouse is moved with the menu: qt/display).
TEST_F(QmarkMenuViewTest, PenFollowsAMenuMovedOffTheScreenEdges)
{
    QmarkMenu menu;
    for (int i = 0; i < 8; ++i)
        menu.addTextItem(("Item " + std::to_string(i)).c_str(), "", i, 2 * i, Font, nullptr);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    // Accepted, so that Qt makes no mouse event of it.
    const auto tablet = [this](QEvent::Type type, QPoint p) {
        QTabletEvent event(type, QPointingDevice::primaryPointingDevice(), QPointF(local(p)), QPointF(p), 0.5, 0, 0, 0,
                           0, 0, {}, Qt::LeftButton, type == QEvent::TabletRelease ? Qt::NoButton : Qt::LeftButton);
        event.setAccepted(false);
        QApplication::sendEvent(&m_host, &event);
        EXPECT_TRUE(event.isAccepted());
    };
    QmarkMenuView::setShowItemsDelay(40);
    const QPoint inset(5, 5);
    for (const QPoint p : {screen.center(), screen.topLeft() + inset, QPoint(screen.right() - 5, screen.center().y()),
                           screen.bottomLeft() + QPoint(5, -5)}) {
        // The cursor follows the pen.
        QCursor::setPos(p);
        at(10, [&tablet, p] { tablet(QEvent::TabletPress, p); });
        at(350, [&tablet, p] { tablet(QEvent::TabletRelease, p); });
        EXPECT_EQ(run(menu, p), -1) << p.x() << "," << p.y();
        // The pen chooses by its stroke like the mouse.
        if (p.x() < screen.center().x() + 100) {
            at(10, [&tablet, p] {
                tablet(QEvent::TabletPress, p);
                tablet(QEvent::TabletMove, p + QPoint(20, 0));
                tablet(QEvent::TabletMove, p + QPoint(60, 0));
                tablet(QEvent::TabletRelease, p + QPoint(60, 0));
            });
            EXPECT_EQ(run(menu, p), 0) << p.x() << "," << p.y();
        }
    }
    EXPECT_EQ(m_host.inputEvents, 0);
}

// Points that are not finite are refused; points off every screen are
// brought to the desktop before any conversion.
TEST_F(QmarkMenuViewTest, RefusedPointsLeaveNoViewAndFarPointsComeToTheDesktop)
{
    QmarkMenu menu;
    menu.addTextItem("East", "", 1, tnMarkPosition::East, Font, nullptr);
    int id = 0;
    EXPECT_THROW(menu.popup(std::nanf(""), 300.0f, &id, nullptr, false), tnUI::ImplError);
    EXPECT_EQ(QmarkMenuView::findView(), nullptr);
    QRect desktop;
    for (const QScreen* screen : QGuiApplication::screens())
        desktop |= screen->geometry();
    QPoint centre;
    at(50, [&centre] {
        QmarkMenuView* view = QmarkMenuView::findView();
        centre = view->getCenter() + view->geometry().topLeft();
        view->cancel();
    });
    menu.popup(1e30f, -1e30f, &id, nullptr, false);
    EXPECT_EQ(centre, QPoint(desktop.right(), desktop.top()));
}

TEST(QmarkMenuViewSettings, NegativeDelaysAreRefusedAndTheParentWindowIsForgotten)
{
    QmarkMenuView::setPopParentDelay(600);
    EXPECT_THROW(QmarkMenuView::setPopParentDelay(-1), tnUI::ImplError);

    auto window = std::make_unique<QWidget>();
    QmarkMenuView::setParentWindow(window.get());
    EXPECT_EQ(QmarkMenuView::getParentWindow(), window.get());
    window.reset();
    EXPECT_EQ(QmarkMenuView::getParentWindow(), nullptr);
}

} // namespace
