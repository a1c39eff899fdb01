// Marking menus as screen readers see them: the view's accessible tree while
// a popup runs, and the events announced as it shows, follows the pointer,
// chooses and cancels.
#include <tnUI/markingmenus/qt/QmarkMenu.h>
#include <tnUI/markingmenus/qt/QmarkMenuView.h>

#include <gtest/gtest.h>

#include <QAccessible>
#include <QMetaEnum>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

const tnMarkFont Font("Sans", 0, 12);
const QPoint Center(400, 300);

// What was announced about menus, as "Event name".
std::vector<std::string> s_heard;

void hear(QAccessibleEvent* event)
{
    switch (event->type()) {
    case QAccessible::PopupMenuStart:
    case QAccessible::PopupMenuEnd:
    case QAccessible::Focus:
    case QAccessible::MenuCommand:
    case QAccessible::ObjectReorder: break;
    default: return;
    }
    QAccessibleInterface* iface = event->accessibleInterface();
    if (!iface || (iface->role() != QAccessible::PopupMenu && iface->role() != QAccessible::MenuItem))
        return;
    const char* type = QMetaEnum::fromType<QAccessible::Event>().valueToKey(event->type());
    s_heard.push_back(std::string(type ? type : "?") + " " + iface->text(QAccessible::Name).toStdString());
}

// A child as "Name: description [states]".
std::string describe(QAccessibleInterface* iface)
{
    if (!iface)
        return "(none)";
    const QAccessible::State state = iface->state();
    std::string text = iface->text(QAccessible::Name).toStdString();
    if (const QString description = iface->text(QAccessible::Description); !description.isEmpty())
        text += ": " + description.toStdString();
    text += " [";
    for (const auto& [on, word] : {std::pair{bool(state.focused && state.selected), " focused"},
                                   {bool(state.disabled), " disabled"},
                                   {bool(state.checkable), " checkable"},
                                   {bool(state.checked), " checked"},
                                   {bool(state.hasPopup), " popup"}}) {
        if (on)
            text += word;
    }
    return text + " ]";
}

// What a running popup's interface showed at one moment.
struct Tree {
    QString name;
    QAccessible::Role role = QAccessible::NoRole;
    std::vector<std::string> children;
    std::vector<std::string> list;
    // focusChild, parent, indexOfChild and childAt agree with child().
    bool consistent = false;
    QRect first;
    QRect listRect;
    QPoint center;
};

class QmarkAccessibleTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_host.setWindowFlags(Qt::FramelessWindowHint);
        m_host.setGeometry(QGuiApplication::primaryScreen()->geometry());
        m_host.show();
        QmarkMenuView::setShowItemsDelay(40);
        // As when a screen reader starts: Qt then sends its events.
        QAccessible::installUpdateHandler(hear);
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
        s_heard.clear();
    }
    void TearDown() override
    {
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(false);
        QAccessible::installUpdateHandler(nullptr);
        QmarkMenuView::setShowItemsDelay(100);
        EXPECT_EQ(QmarkMenuView::findView(), nullptr);
    }

    void at(int ms, std::function<void()> action)
    {
        QTimer::singleShot(ms, Qt::PreciseTimer, &m_host, std::move(action));
    }
    QPoint local(QPoint global) const { return m_host.mapFromGlobal(global); }
    // Presses at the centre, makes the moves at their times and releases
    // where the last one went at releaseAt.
    void drag(const std::vector<std::pair<int, QPoint>>& moves, int releaseAt)
    {
        at(10, [this] { QTest::mousePress(&m_host, Qt::LeftButton, {}, local(Center)); });
        for (const auto& [ms, p] : moves)
            at(ms, [this, p = p] { QTest::mouseMove(&m_host, local(p)); });
        at(releaseAt,
           [this, last = moves.back().second] { QTest::mouseRelease(&m_host, Qt::LeftButton, {}, local(last)); });
    }
    // Reads the running popup's tree at ms.
    void probe(int ms, Tree& out)
    {
        at(ms, [&out] {
            QmarkMenuView* view = QmarkMenuView::findView();
            QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(view);
            ASSERT_NE(iface, nullptr);
            out.name = iface->text(QAccessible::Name);
            out.role = iface->role();
            out.center = view->geometry().topLeft() + view->getCenter();
            out.consistent = iface->focusChild() == iface->child(0);
            for (int i = 0; i < iface->childCount(); ++i) {
                QAccessibleInterface* child = iface->child(i);
                out.consistent = out.consistent && child->parent() == iface && iface->indexOfChild(child) == i &&
                                 iface->childAt(child->rect().center().x(), child->rect().center().y()) == child;
                if (child->role() != QAccessible::List) {
                    out.children.push_back(describe(child));
                    continue;
                }
                out.listRect = child->rect();
                for (int j = 0; j < child->childCount(); ++j) {
                    out.list.push_back(describe(child->child(j)));
                    out.consistent = out.consistent && child->child(j)->parent() == child;
                }
            }
            out.first = iface->childCount() > 0 ? iface->child(0)->rect() : QRect();
        });
    }
    int run(tnMarkMenu& menu)
    {
        int id = -2;
        menu.popup(static_cast<float>(Center.x()), static_cast<float>(Center.y()), &id, nullptr, false);
        QTest::qWait(50);
        return id;
    }

    QWidget m_host;
};

TEST_F(QmarkAccessibleTest, TheViewIsAPopupMenuOfTheRunningMenusItems)
{
    QmarkMenu menu;
    QmarkMenu recent;
    menu.addTextItem("&Open", "Opens a file", 1, tnMarkPosition::East, Font, nullptr);
    menu.addSubmenuTextItem("&Recent && Pinned", "", &recent, tnMarkPosition::North, Font, nullptr);
    menu.addTextItem("Close", "", 3, tnMarkPosition::West, Font, nullptr)->setState(tnMarkItem::Disabled);
    menu.addTextItem("Wrap", "", 4, tnMarkPosition::South, Font, nullptr)->setChecked(true);
    menu.addOptionBox(5, "Wrap settings", nullptr);
    menu.addOverflowItem("More", "Everything else", 6, Font, nullptr);
    menu.addOverflowItem("Last", "", 7, Font, nullptr);
    recent.addTextItem("Up", "", 42, tnMarkPosition::North, Font, nullptr);

    // Open highlighted; then North opens the submenu, whose item is chosen.
    Tree top, sub;
    drag({{200, {460, 300}}, {400, {400, 240}}, {750, {400, 180}}}, 850);
    probe(300, top);
    probe(700, sub);
    EXPECT_EQ(run(menu), 42);

    EXPECT_EQ(top.role, QAccessible::PopupMenu);
    EXPECT_EQ(top.name, "Marking Menu");
    EXPECT_EQ(top.children, (std::vector<std::string>{"Open: Opens a file [ focused ]", "Recent & Pinned [ popup ]",
                                                      "Close [ disabled ]", "Wrap [ checkable checked ]",
                                                      "Wrap options: Wrap settings [ ]"}));
    EXPECT_EQ(top.list, (std::vector<std::string>{"More: Everything else [ ]", "Last [ ]"}));
    EXPECT_TRUE(top.consistent);
    // Boxes in global pixels: East's right of the centre and across its
    // line, the overflow list below it.
    EXPECT_GT(top.first.left(), top.center.x());
    EXPECT_TRUE(top.first.top() <= top.center.y() && top.first.bottom() >= top.center.y());
    EXPECT_GT(top.listRect.top(), top.center.y());

    // The submenu replaced the children; it is named after its item.
    EXPECT_EQ(sub.name, "Recent & Pinned");
    EXPECT_EQ(sub.children, std::vector<std::string>{"Up [ ]"});
    EXPECT_TRUE(sub.list.empty());
    EXPECT_EQ(s_heard, (std::vector<std::string>{"PopupMenuStart Marking Menu", "Focus Open", "Focus Recent & Pinned",
                                                 "ObjectReorder Recent & Pinned", "Focus Up", "MenuCommand Up",
                                                 "PopupMenuEnd Recent & Pinned"}));
}

TEST_F(QmarkAccessibleTest, ShowingHighlightChoiceAndCancelAreAnnounced)
{
    QmarkMenu menu;
    menu.addTextItem("&Open", "", 1, tnMarkPosition::East, Font, nullptr);
    menu.addTextItem("Close", "", 2, tnMarkPosition::West, Font, nullptr);

    drag({{200, {460, 300}}, {300, {340, 300}}}, 400);
    EXPECT_EQ(run(menu), 2);
    EXPECT_EQ(s_heard, (std::vector<std::string>{"PopupMenuStart Marking Menu", "Focus Open", "Focus Close",
                                                 "MenuCommand Close", "PopupMenuEnd Marking Menu"}));

    // Escape: the popup ends with nothing chosen.
    s_heard.clear();
    drag({{200, {460, 300}}}, 500);
    at(300, [] { QTest::keyClick(QmarkMenuView::findView(), Qt::Key_Escape); });
    EXPECT_EQ(run(menu), -1);
    EXPECT_EQ(s_heard,
              (std::vector<std::string>{"PopupMenuStart Marking Menu", "Focus Open", "PopupMenuEnd Marking Menu"}));
}

} // namespace
