// Marking menus on widgets, from command groups and from QMenus, run with
// real input events on the offscreen platform. A menu runs its own event
// loop: the input that drives it is scripted on timers set before the press.

#include "commands/CommandTestSupport.h"

#include <tnUI/markingmenus/MarkMenu.h>
#include <tnUI/markingmenus/MarkRender.h>
#include <tnUI/markingmenus/qt/QmarkMenu.h>
#include <tnUI/markingmenus/qt/QmarkMenuView.h>
#include <tnUI/menus/CommandGroup.h>
#include <tnUI/widgets/MarkingMenuTrigger.h>
#include <tnUI/widgets/QMenuMarkingMenu.h>

#include <QActionGroup>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QPixmap>
#include <QPointer>
#include <QPointingDevice>
#include <QScreen>
#include <QSignalSpy>
#include <QStyleHints>
#include <QTest>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>

namespace {

using namespace tnUITest;
using tnUI::MarkingMenuTrigger;
using tnUI::QMenuMarkingMenu;

// A widget that counts the presses and context-menu events reaching it.
class Target : public QWidget {
public:
    using QWidget::QWidget;
    int presses = 0;
    int contextMenus = 0;

protected:
    void mousePressEvent(QMouseEvent* e) override { ++presses, e->accept(); }
    void contextMenuEvent(QContextMenuEvent* e) override { ++contextMenus, e->accept(); }
};

// The items of a marking menu in order: where each sits (a compass point or
// "list"), its label and its marks: "off" disabled, "[x]" "[ ]" a check,
// "(x)" "( )" a radio mark, ">n" a submenu of n items, "~tip", "icon", "|"
// a separator after it.
std::string describe(tnMarkMenu* menu)
{
    static const std::map<int, const char*> points{{4, "N"},  {2, "NE"},  {0, "E"}, {14, "SE"},
                                                   {12, "S"}, {10, "SW"}, {8, "W"}, {6, "NW"}};
    std::string out;
    for (tnMarkItem* i : menu->getItems()) {
        const tnMarkMenuItem* item = i->asMenuItem();
        out += item->isInOverflow() ? "list" : points.at(item->getPosition().getMarkPosition());
        out += std::string(":") + item->getLabel().asUTF8().asChar();
        if (item->getState() == tnMarkItem::Disabled)
            out += " off";
        if (item->isCheckable() || item->isRadio())
            out += item->isRadio() ? (item->isChecked() ? " (x)" : " ( )") : (item->isChecked() ? " [x]" : " [ ]");
        if (item->getSubmenu())
            out += " >" + std::to_string(item->getSubmenu()->getNumItems());
        if (!item->getToolTip()->getText().isEmpty())
            out += std::string(" ~") + item->getToolTip()->getText().asUTF8().asChar();
        if (!markItemIcon(item).isNull())
            out += " icon";
        out += item->hasSeparatorAfter() ? " |; " : "; ";
    }
    return out;
}

QIcon magenta()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::magenta);
    return QIcon(pixmap);
}

class MarkingTest : public ShownDocumentTest {
protected:
    void SetUp() override
    {
        ShownDocumentTest::SetUp();
        top.setGeometry(QGuiApplication::primaryScreen()->geometry());
        target = new Target(&top);
        target->setGeometry(100, 100, 400, 300);
        inner = new Target(target);
        inner->setGeometry(50, 50, 100, 100);
        top.show();
        group = new tnUI::CommandGroup;
        group->setLayoutPreference(tnUI::Group::Radial);
        flip = new LoggingMomentary("flip", log);
        flip->onExecute = [this](tnUI::CallInfo& call) { selectedIn = call.getWindow(); };
        group->appendItem(command(flip, 3));
    }

    void TearDown() override
    {
        // The widgets and their triggers go before the entities are counted.
        pending.reset();
        delete target;
        group = nullptr;
        flip = nullptr;
        ShownDocumentTest::TearDown();
    }

    static tnUI::CommandInstance* command(tnUI::CommandDefn* defn, double compass)
    {
        auto* c = new tnUI::CommandInstance(defn);
        c->setOrderValue(compass);
        return c;
    }
    // A step of the input that drives a menu: after ms, from the press.
    using Step = std::pair<int, std::function<void()>>;
    // A step that looks at the open menu's view and then cancels the menu.
    static Step looking(int ms, const std::function<void(QmarkMenuView&)>& look)
    {
        return {ms, [look] {
                    QmarkMenuView* view = QmarkMenuView::findView();
                    ASSERT_NE(view, nullptr) << "a menu is open";
                    look(*view);
                    view->cancel();
                }};
    }
    // Sets the steps on timers, which run in the loop of the menu that
    // `start` asks for, then runs that menu to its end: it begins once the
    // event asking for it is delivered. A menu still open after 3 s is
    // cancelled; steps left over when the next menu starts are dropped.
    void run(const std::function<void()>& start, const std::vector<Step>& steps)
    {
        pending = std::make_unique<QObject>();
        for (const auto& [ms, step] : steps)
            QTimer::singleShot(ms, pending.get(), step);
        QTimer::singleShot(3000, pending.get(), [] {
            if (QmarkMenuView* view = QmarkMenuView::findView())
                view->cancel();
        });
        start();
        QCoreApplication::processEvents();
    }
    // The point of the window at local of w: input goes through the window
    // system, as a user's does.
    QPoint at(const QWidget* w, QPoint local) const { return top.mapFromGlobal(w->mapToGlobal(local)); }
    void click(const QWidget* w, QPoint local, Qt::MouseButton button, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::mouseClick(top.windowHandle(), button, modifiers, at(w, local));
    }
    void rightPress(const QWidget* w, QPoint local, const std::vector<Step>& steps)
    {
        run([=, this] { QTest::mousePress(top.windowHandle(), Qt::RightButton, {}, at(w, local)); }, steps);
    }
    // A right press over w at local, a quick mark by `by` and the release,
    // with more steps meanwhile.
    void mark(const QWidget* w, QPoint local, QPoint by, std::vector<Step> steps = {})
    {
        const QPoint from = at(w, local);
        for (int k = 1; k <= 3; ++k)
            steps.emplace_back(10 * k, [=, this] { QTest::mouseMove(&top, from + by * k / 3); });
        steps.emplace_back(40, [=, this] { QTest::mouseRelease(&top, Qt::RightButton, {}, from + by); });
        rightPress(w, local, steps);
    }

    QWidget top;
    Target* target = nullptr;
    Target* inner = nullptr;
    std::unique_ptr<QObject> pending;
    Log log;
    tn::Reference<tnUI::CommandGroup> group;
    tn::Reference<LoggingMomentary> flip;
    tnUI::Window* selectedIn = nullptr;
};

// A press over the widget or a child pops the group's menu; the command
// chosen goes to the host's callback, else it is selected through the window
// given, the window of a parent widget, or the active instance's window.
TEST_F(MarkingTest, TheChosenCommandIsSelectedThroughTheWidgetsWindow)
{
    HostDocumentWindow* other = show(doc);
    app->setActiveDocumentInstance(instance);
    const struct {
        const char* how;
        bool callback;
        tnUI::Window* given;
        tnUI::Window* parents;
        tnUI::Window* expected;
    } rows[] = {
        {"the host's callback", true, other, other, nullptr},
        {"the window given", false, other, window, other},
        {"the window of a parent", false, nullptr, other, other},
        {"the active instance's window", false, nullptr, nullptr, window},
    };
    for (const auto& row : rows) {
        auto* trigger = new MarkingMenuTrigger(target, group.get());
        tnUI::CommandInstance* chosen = nullptr;
        if (row.callback)
            trigger->setChosen([&chosen](tnUI::CommandInstance* c) { chosen = c; });
        trigger->setWindow(row.given);
        MarkingMenuTrigger::setWidgetWindow(&top, row.parents);
        selectedIn = nullptr;
        mark(inner, QPoint(20, 20), QPoint(60, 0));
        EXPECT_EQ(selectedIn, row.expected) << row.how;
        EXPECT_EQ(chosen, row.callback ? group->getElement(0) : nullptr) << row.how;
        EXPECT_EQ(inner->presses, 0) << row.how;
        delete trigger;
    }
    MarkingMenuTrigger::setWidgetWindow(&top, nullptr);
}

// Other buttons and modifiers reach the widget; the trigger's press, and the
// context-menu event that follows it, do not. The menu follows the group.
TEST_F(MarkingTest, OtherPressesPassAndTheMenuFollowsTheGroup)
{
    click(target, QPoint(10, 10), Qt::RightButton);
    ASSERT_EQ(target->contextMenus, 1) << "a right press brings a context menu";
    auto* trigger = new MarkingMenuTrigger(target, group.get());
    std::vector<tnUI::Element*> chosen;
    trigger->setChosen([&chosen](tnUI::CommandInstance* c) { chosen.push_back(c); });
    for (const auto& [button, modifiers] :
         {std::pair(Qt::LeftButton, Qt::NoModifier), std::pair(Qt::MiddleButton, Qt::NoModifier),
          std::pair(Qt::RightButton, Qt::ShiftModifier)})
        click(target, QPoint(10, 10), button, modifiers);
    EXPECT_EQ(target->presses, 4);
    mark(target, QPoint(10, 10), QPoint(60, 0));
    EXPECT_EQ(target->presses, 4);
    EXPECT_EQ(target->contextMenus, 2) << "only the shifted right press";
    // A pen's press with the button pops it too.
    bool popped = false;
    const QPointF pen(10, 10);
    QTabletEvent press(QEvent::TabletPress, QPointingDevice::primaryPointingDevice(), pen, target->mapToGlobal(pen),
                       0.5, 0, 0, 0, 0, 0, {}, Qt::RightButton, Qt::RightButton);
    run([&] { QCoreApplication::sendEvent(target, &press); },
        {looking(20, [&popped](QmarkMenuView&) { popped = true; })});
    EXPECT_TRUE(popped);
    group->appendItem(command(flip, 7));
    mark(target, QPoint(10, 10), QPoint(-60, 0));
    EXPECT_EQ(chosen, (std::vector{group->getElement(0), group->getElement(1)}));
    delete trigger;
    click(target, QPoint(10, 10), Qt::RightButton);
    EXPECT_EQ(target->presses, 5) << "detached";
}

// The key pops the menu at the pointer when it is over the widget, else at
// the widget's centre.
TEST_F(MarkingTest, TheKeyPopsAtThePointerOrTheCentre)
{
    auto* trigger = new MarkingMenuTrigger(target, group.get());
    trigger->setKey(QKeySequence(Qt::Key_F10));
    top.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&top));
    inner->setFocusPolicy(Qt::StrongFocus);
    inner->setFocus();
    const QPoint centre = target->mapToGlobal(target->rect().center());
    // The host's key, and the keyboard's Menu key as Qt reports it.
    const std::function<void()> keys[] = {[this] { QTest::keyClick(inner, Qt::Key_F10); },
                                          [this] {
                                              QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(5, 5),
                                                                        inner->mapToGlobal(QPoint(5, 5)));
                                              QCoreApplication::sendEvent(inner, &menuKey);
                                          }};
    for (const std::function<void()>& key : keys) {
        for (const auto& [pointer, expected] : {std::pair(target->mapToGlobal(QPoint(30, 40)), QPoint()),
                                                std::pair(top.mapToGlobal(QPoint(5, 5)), centre)}) {
            QCursor::setPos(pointer);
            QPoint at;
            bool ready = false;
            run(key, {looking(20, [&](QmarkMenuView& view) {
                    at = view.geometry().topLeft() + view.getCenter();
                    // Ready for the keys: the items shown, the first highlighted.
                    const tnMarkMenu* menu = view.getCurrentMenu();
                    ready = menu->areItemsVisible() && menu->getHighlightedItem() == menu->getItems().front();
                })});
            EXPECT_EQ(at, expected.isNull() ? pointer : expected);
            EXPECT_TRUE(ready);
        }
    }
    EXPECT_EQ(inner->contextMenus, 0);
}

// A finger held still pops a right-button menu and works it; one that moves
// or lifts sooner reaches the widget, its press delivered late.
TEST_F(MarkingTest, AHeldFingerPopsTheMenuAndQuickTouchesPassOn)
{
    QGuiApplication::styleHints()->setMousePressAndHoldInterval(100);
    auto* trigger = new MarkingMenuTrigger(target, group.get());
    tnUI::CommandInstance* chosen = nullptr;
    trigger->setChosen([&chosen](tnUI::CommandInstance* c) { chosen = c; });
    const std::unique_ptr<QPointingDevice> finger(QTest::createTouchDevice());
    const QPoint from = at(target, QPoint(200, 150));
    const auto touch = [this, &finger] { return QTest::touchEvent(top.windowHandle(), finger.get()); };

    // Held, then a swipe East to the command.
    pending = std::make_unique<QObject>();
    QTimer::singleShot(250, pending.get(), [&] { touch().move(0, from + QPoint(30, 0)); });
    QTimer::singleShot(270, pending.get(), [&] { touch().move(0, from + QPoint(60, 0)); });
    QTimer::singleShot(290, pending.get(), [&] { touch().release(0, from + QPoint(60, 0)); });
    QTimer::singleShot(2000, pending.get(), [] {
        if (QmarkMenuView* view = QmarkMenuView::findView())
            view->cancel();
    });
    touch().press(0, from);
    QTest::qWait(500);
    ASSERT_NE(chosen, nullptr);
    EXPECT_EQ(chosen->getCommand(), flip.get());
    EXPECT_EQ(target->presses, 0);

    // A quick tap and a quick drag reach the widget.
    touch().press(0, from);
    touch().release(0, from);
    QTest::qWait(20);
    EXPECT_EQ(target->presses, 1);
    touch().press(0, from);
    touch().move(0, from + QPoint(40, 0));
    touch().release(0, from + QPoint(40, 0));
    QTest::qWait(200);
    EXPECT_EQ(target->presses, 2);
    EXPECT_EQ(QmarkMenuView::findView(), nullptr);
    QGuiApplication::styleHints()->setMousePressAndHoldInterval(-1);
}

// The widget, the trigger, the group and the window given may go while the
// menu is open: nothing is selected then, nothing is left behind.
TEST_F(MarkingTest, AnythingMayGoWhileTheMenuIsOpen)
{
    enum Change { Widget, Trigger, GroupAndWindow };
    for (const Change change : {Widget, Trigger, GroupAndWindow}) {
        auto* victim = new Target(target);
        victim->setGeometry(0, 0, 50, 50);
        victim->show();
        QPointer<MarkingMenuTrigger> trigger = new MarkingMenuTrigger(victim, group.get());
        HostDocumentWindow* given = show(doc);
        trigger->setWindow(given);
        const auto meanwhile = [&, change] {
            EXPECT_NE(QmarkMenuView::findView(), nullptr) << "open";
            if (change == Widget)
                delete victim;
            if (change == Trigger)
                delete trigger;
            if (change == GroupAndWindow) {
                group = nullptr;
                doc->removeInstance(given->getDocumentInstance());
            }
        };
        mark(victim, QPoint(10, 10), QPoint(60, 0), {{20, meanwhile}});
        EXPECT_EQ(selectedIn, nullptr) << change;
        EXPECT_TRUE(log.empty()) << change;
        if (change != Widget)
            delete victim;
    }
}

// Each action of a QMenu becomes an item, as the table says.
TEST_F(MarkingTest, QMenusAreMappedToMarkingMenus)
{
    using Fill = std::function<void(QMenu&)>;
    const struct {
        const char* what;
        Fill fill;
        std::string expected;
    } rows[] = {
        {"at most four on the axes; mnemonics kept, shortcut text left out",
         [](QMenu& m) {
             m.addAction("&Undo\tCtrl+Z");
             m.addAction("Cut && paste");
             m.addSeparator();
             m.addAction("Three");
         },
         "N:&Undo; E:Cut && paste; S:Three; "},
        {"states, tooltips and icons; hidden actions left out",
         [](QMenu& m) {
             m.addAction("Off")->setEnabled(false);
             QAction* check = m.addAction("Check");
             check->setCheckable(true);
             check->setChecked(true);
             auto* exclusive = new QActionGroup(&m);
             for (const char* name : {"One", "Two"})
                 exclusive->addAction(m.addAction(name))->setCheckable(true);
             exclusive->actions().first()->setChecked(true);
             m.addAction("Tip")->setToolTip("Says more");
             m.addAction("Gone")->setVisible(false);
             m.addAction(magenta(), "Icon");
         },
         "N:Off off; NE:Check [x]; E:One (x); SE:Two ( ); S:Tip ~Says more; SW:Icon icon; "},
        {"the ninth on in the list, with the separators between them",
         [](QMenu& m) {
             for (int i = 1; i <= 11; ++i) {
                 if (i == 9 || i == 11)
                     m.addSeparator();
                 m.addAction(QString::number(i));
             }
         },
         "N:1; NE:2; E:3; SE:4; S:5; SW:6; W:7; NW:8; list:9; list:10 |; list:11; "},
        {"submenus",
         [](QMenu& m) {
             m.addMenu("Find")->addActions({new QAction("a", &m), new QAction("b", &m)});
         },
         "N:Find >2; "},
        {"positions the host gives, then the free ones in order",
         [](QMenu& m) {
             QMenuMarkingMenu::setPosition(m.addAction("a"), QMenuMarkingMenu::West);
             m.addAction("b")->setProperty(QMenuMarkingMenu::PositionProperty, "NE");
             QMenuMarkingMenu::setPosition(m.addAction("c"), QMenuMarkingMenu::Overflow);
             m.addAction("d");
             m.addAction("e");
             QMenuMarkingMenu::setPosition(m.addAction("f"), QMenuMarkingMenu::West);
         },
         "W:a; NE:b; N:d; E:e; SE:f; list:c; "},
    };
    for (const auto& row : rows) {
        QMenu menu;
        row.fill(menu);
        QMenuMarkingMenu marking(&menu);
        EXPECT_EQ(describe(marking.markMenu()), row.expected) << row.what;
    }
    // Mapped again as the menu changes.
    QMenu menu;
    QMenuMarkingMenu marking(&menu);
    QAction* a = menu.addAction("a");
    EXPECT_EQ(describe(marking.markMenu()), "N:a; ");
    a->setText("A");
    a->setEnabled(false);
    menu.addAction("b");
    EXPECT_EQ(describe(marking.markMenu()), "N:A off; E:b; ");
}

// The action chosen is triggered: a checkable one toggles, an exclusive
// group keeps one checked, the QMenu tells; a list item is chosen by
// pointing at it once the items show. Actions added in aboutToShow show.
TEST_F(MarkingTest, TheChosenActionIsTriggered)
{
    QMenu menu;
    QAction* check = menu.addAction("Check");
    check->setCheckable(true);
    auto* exclusive = new QActionGroup(&menu);
    for (const char* name : {"One", "Two"})
        exclusive->addAction(menu.addAction(name))->setCheckable(true);
    exclusive->actions().first()->setChecked(true);
    QObject::connect(&menu, &QMenu::aboutToShow, &menu, [&menu] {
        if (menu.actions().size() == 3)
            menu.addActions({new QAction("4", &menu), new QAction("5", &menu), new QAction("6", &menu),
                             new QAction("7", &menu), new QAction("8", &menu), new QAction("Listed", &menu)});
    });
    new MarkingMenuTrigger(target, &menu);
    QSignalSpy triggered(&menu, &QMenu::triggered);
    mark(target, QPoint(10, 10), QPoint(0, -60)); // North
    mark(target, QPoint(10, 10), QPoint(60, 0));  // East
    EXPECT_TRUE(check->isChecked());
    EXPECT_TRUE(exclusive->actions().last()->isChecked());
    EXPECT_FALSE(exclusive->actions().first()->isChecked());

    // The pointer rests until the items show, then goes to the list item.
    const auto pointAtTheListItem = [this] {
        QmarkMenuView* view = QmarkMenuView::findView();
        float left, bottom, right, up;
        view->getCurrentMenu()->getItems().back()->getBox(left, bottom, right, up);
        const QPoint p = top.mapFromGlobal(view->geometry().topLeft() + view->getCenter() +
                                           QPoint(qRound((left + right) / 2), -qRound((bottom + up) / 2)));
        QTest::mouseMove(&top, p);
        QTest::mouseRelease(&top, Qt::RightButton, {}, p);
    };
    rightPress(target, QPoint(10, 10),
               {{20, [this] { QTest::mouseMove(&top, at(target, QPoint(14, 10))); }}, {300, pointAtTheListItem}});
    ASSERT_EQ(triggered.size(), 3);
    EXPECT_EQ(triggered.at(0).at(0).value<QAction*>(), check);
    EXPECT_EQ(triggered.at(2).at(0).value<QAction*>()->text(), "Listed");
}

// While the marking menu is open, an action disabled, taken out, deleted,
// or the QMenu or the trigger deleted: nothing is triggered. Once the QMenu
// is gone, presses pass.
TEST_F(MarkingTest, QMenuChangesWhileOpenAreFollowed)
{
    enum Change { Disable, Remove, DeleteAction, DeleteMenu, DeleteTrigger };
    for (const Change change : {Disable, Remove, DeleteAction, DeleteMenu, DeleteTrigger}) {
        auto* menu = new QMenu;
        menu->addAction("Keep");
        QPointer<QAction> act = menu->addAction("Act");
        int triggered = 0;
        QObject::connect(act, &QAction::triggered, act, [&triggered] { ++triggered; });
        QPointer<MarkingMenuTrigger> trigger = new MarkingMenuTrigger(target, menu);
        const auto meanwhile = [&, menu, change] {
            ASSERT_NE(QmarkMenuView::findView(), nullptr) << "open";
            switch (change) {
            case Disable: act->setEnabled(false); break;
            case Remove: menu->removeAction(act); break;
            case DeleteAction: delete act; break;
            case DeleteMenu: delete menu; break;
            case DeleteTrigger: delete trigger; break;
            }
            if (change == Disable) {
                EXPECT_EQ(QmarkMenuView::findView()->getCurrentMenu()->itemAt(1)->getState(), tnMarkItem::Disabled);
            }
        };
        mark(target, QPoint(10, 10), QPoint(60, 0), {{20, meanwhile}});
        EXPECT_EQ(triggered, 0) << change;
        if (change == DeleteMenu) {
            click(target, QPoint(10, 10), Qt::RightButton);
            EXPECT_EQ(target->presses, 1);
        } else {
            delete menu;
        }
        delete trigger;
    }
}

// An icon shows beside its label, greyed while the action is disabled.
TEST_F(MarkingTest, IconsShowGreyedWhenDisabled)
{
    QMenu menu;
    QAction* action = menu.addAction(magenta(), "Icon");
    new MarkingMenuTrigger(target, &menu);
    for (const bool enabled : {true, false}) {
        action->setEnabled(enabled);
        bool shown = false;
        rightPress(target, QPoint(10, 10),
                   {{20, [this] { QTest::mouseMove(&top, at(target, QPoint(14, 10))); }},
                    looking(300, [&shown](QmarkMenuView& view) {
                        const QImage picture = view.grab().toImage();
                        for (int y = 0; y < picture.height() && !shown; ++y)
                            for (int x = 0; x < picture.width() && !shown; ++x)
                                shown = picture.pixelColor(x, y) == QColor(Qt::magenta);
                    })});
        EXPECT_EQ(shown, enabled);
    }
}

} // namespace
