// Menus, menu bars and tool bars compiled from command groups, as a host
// uses them, with real input events on the offscreen platform.

#include "commands/CommandTestSupport.h"

#include <tnUI/tnUIWidgets.h>

#include <QAccessible>
#include <QActionGroup>
#include <QFile>
#include <QImage>
#include <QMainWindow>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

using namespace tnUI;
using namespace tnUITest;
using tnString::CString;

tn::Reference<CommandInstance> command(const char* name, const char* text = nullptr, const char* key = nullptr)
{
    tn::Reference<CommandInstance> c(new CommandInstance(new TestCommandDefn(CString(name))));
    if (text)
        c->setLabel(tn::Reference<Label>(new Label(text)));
    if (key)
        c->setKeybinding(tn::Reference<Keybinding>(new Keybinding(CString(key))));
    return c;
}

tn::Reference<CommandGroup> group(const char* name, std::initializer_list<Element*> elements)
{
    tn::Reference<CommandGroup> g(new CommandGroup);
    g->setName(CString(name));
    g->setLabel(tn::Reference<Label>(new Label(name)));
    for (Element* e : elements)
        g->appendItem(e);
    return g;
}

// A condition the test switches.
tn::Reference<BoolValue> condition(bool value)
{
    return tn::Reference<BoolValue>(new BoolValue(value));
}

QString texts(const QWidget& widget)
{
    QStringList list;
    for (const QAction* a : widget.actions())
        list.append(a->isSeparator() ? QStringLiteral("-") : a->text());
    return list.join(QLatin1Char('|'));
}

class MenuTest : public EntityTest {
protected:
    std::vector<CommandInstance*> chosen;
    CommandAction::Chosen choose = [this](CommandInstance* c) { chosen.push_back(c); };
};

TEST_F(MenuTest, ActionsFollowTheirCommandsThroughCommandItems)
{
    auto save = command("save", "Save", "Ctrl+S");
    auto defnOn = condition(true), on = condition(true), checked = condition(false), shown = condition(true);
    save->getCommand()->setEnabledExpression(defnOn);
    save->setEnabledExpression(on);
    save->setCheckedExpression(checked);
    save->setVisibilityExpression(shown);
    tn::Reference<CommandItem> item(new CommandItem);
    item->setCommand(save);
    CommandMenu menu(group("File", {item}), choose);
    menu.compileIfChanged();
    CommandAction* action = menu.actionFor("save");
    ASSERT_TRUE(action);
    EXPECT_EQ(action->text(), "Save\tCtrl+S");
    EXPECT_EQ(action->shortcutText(), "Ctrl+S");
    EXPECT_TRUE(action->isEnabled());
    defnOn->setValue(false);
    EXPECT_FALSE(action->isEnabled()) << "the definition's enabled state";
    defnOn->setValue(true);
    on->setValue(false);
    EXPECT_FALSE(action->isEnabled()) << "the instance's enabled expression";
    on->setValue(true);
    checked->setValue(true);
    EXPECT_TRUE(action->isCheckable() && action->isChecked());
    shown->setValue(false);
    EXPECT_FALSE(action->isVisible());
    shown->setValue(true);
    save->setLabel(tn::Reference<Label>(new Label("Save &all")));
    save->setToolTip(tn::Reference<Label>(new Label("Writes every drawing")));
    EXPECT_EQ(action->text(), "Save &all\tCtrl+S");
    EXPECT_EQ(action->toolTip(), "Writes every drawing");

    // setCommand sends nothing: the item shows its new command when the
    // menu opens.
    auto quit = command("quit", "Quit");
    item->setCommand(quit);
    menu.popup(QPoint(10, 10));
    EXPECT_EQ(menu.actionFor("quit"), action);
    EXPECT_EQ(action->text(), "Quit");
    QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.actionGeometry(action).center());
    EXPECT_EQ(chosen, std::vector<CommandInstance*>{quit.get()});
    on->setValue(false);
    EXPECT_TRUE(action->isEnabled()) << "no longer listening to the old command";
}

TEST_F(MenuTest, SubmenusShowWhatTheirEntriesLetChoose)
{
    auto a = command("a"), b = command("b");
    auto aOn = condition(true), bOn = condition(true), bShown = condition(true);
    a->setEnabledExpression(aOn);
    b->setEnabledExpression(bOn);
    b->setVisibilityExpression(bShown);
    auto inner = group("Inner", {b});
    CommandMenu menu(group("Root", {command("c"), group("Outer", {a, inner})}), choose);
    menu.compileIfChanged();
    QAction* outer = menu.actions().at(1);
    ASSERT_TRUE(outer->menu());
    QAction* innerEntry = outer->menu()->actions().at(1);
    aOn->setValue(false);
    EXPECT_TRUE(outer->isEnabled());
    bOn->setValue(false);
    EXPECT_FALSE(outer->isEnabled()) << "nothing to choose in it or below";
    EXPECT_FALSE(innerEntry->isEnabled());
    bOn->setValue(true);
    EXPECT_TRUE(outer->isEnabled() && innerEntry->isEnabled());
    bShown->setValue(false);
    EXPECT_FALSE(innerEntry->isVisible()) << "every entry hidden";
    EXPECT_TRUE(outer->isVisible());
    EXPECT_FALSE(outer->isEnabled());
}

TEST_F(MenuTest, CommandsThatExcludeEachOtherAreRadioItems)
{
    auto black = command("black", "Black"), red = command("red", "Red"), blue = command("blue", "Blue");
    auto blackOn = condition(true), redOn = condition(false);
    black->setCheckedExpression(blackOn);
    red->setCheckedExpression(redOn);
    auto exclusive = condition(true);
    for (CommandInstance* c : {black.get(), red.get(), blue.get()})
        c->setGroupedName(CString("ink"));
    blue->setGroupExclusiveExpression(exclusive);
    CommandMenu menu(group("Ink", {black, red, blue}), choose);
    menu.compileIfChanged();
    CommandAction* blackAction = menu.actionFor("black");
    CommandAction* redAction = menu.actionFor("red");
    CommandAction* blueAction = menu.actionFor("blue");
    QActionGroup* radios = blackAction->actionGroup();
    ASSERT_TRUE(radios);
    EXPECT_TRUE(radios->isExclusive());
    EXPECT_EQ(radios->actions(), (QList<QAction*>{blackAction, redAction, blueAction}));
    EXPECT_TRUE(blackAction->isChecked());

    // The host's choice decides what shows checked, not Qt's toggle.
    redAction->trigger();
    EXPECT_TRUE(blackAction->isChecked() && !redAction->isChecked());
    choose = [&](CommandInstance* c) {
        blackOn->setValue(c == black.get());
        redOn->setValue(c == red.get());
    };
    CommandMenu again(group("Ink", {black, red}), choose);
    again.compileIfChanged();
    again.actionFor("red")->trigger();
    EXPECT_TRUE(redAction->isChecked() && !blackAction->isChecked());

    // Without a checked expression the selected flag checks a radio item;
    // with its exclusive expression false it is a check item of its own.
    blue->setSelected(true);
    EXPECT_TRUE(blueAction->isChecked());
    exclusive->setValue(false);
    EXPECT_EQ(blueAction->actionGroup(), nullptr);
    EXPECT_TRUE(blueAction->isCheckable());
}

TEST_F(MenuTest, AmpersandsMarkMnemonicsAsInQt)
{
    const struct {
        const char* label; // null: the name shows
        const char* name;
        const char* text;  // as Qt takes it
        const char* plain; // as it reads
    } rows[] = {
        {"&Save", "save", "&Save", "Save"},
        {"Black && white", "bw", "Black && white", "Black & white"},
        {"Save &as && close", "as", "Save &as && close", "Save as & close"},
        {nullptr, "a&b", "a&&b", "a&b"},
    };
    for (const auto& row : rows) {
        auto c = command(row.name, row.label);
        auto g = group(row.name, {c});
        g->setLabel(row.label ? tn::Reference<Label>(new Label(row.label)) : nullptr);
        CommandMenu menu(g, choose);
        menu.compileIfChanged();
        EXPECT_EQ(menu.actionFor(row.name)->text(), row.text);
        EXPECT_EQ(menu.title(), row.text);
        EXPECT_EQ(QAccessible::queryAccessibleInterface(&menu)->text(QAccessible::Name), row.plain);
    }

    // Alt+F opens File from the bar, S chooses Save in it.
    auto save = command("save", "&Save");
    QMainWindow window;
    CommandMenuBar bar(window.menuBar(), group("bar", {group("&File", {save})}), choose);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_F, Qt::AltModifier);
    CommandMenu* file = bar.menus().at(0);
    ASSERT_TRUE(QTest::qWaitFor([file] { return file->isVisible(); }));
    QTest::keyClick(file, Qt::Key_S);
    EXPECT_EQ(chosen, std::vector<CommandInstance*>{save.get()});
}

TEST_F(MenuTest, TheBarFollowsItsGroup)
{
    auto file = group("File", {command("save")}), edit = group("Edit", {command("undo")});
    auto barGroup = group("bar", {file, command("loose"), edit});
    QMenuBar qbar;
    const QList<CommandMenu*> menus = CommandMenu::fillMenuBar(&qbar, barGroup, choose);
    EXPECT_EQ(menus.size(), 2);
    qbar.addAction(QStringLiteral("Help"));
    EXPECT_EQ(texts(qbar), "File|Edit|Help");
    barGroup->appendItem(group("View", {}));
    barGroup->insertItem(CString("File"), group("Tools", {}));
    EXPECT_EQ(texts(qbar), "Tools|File|Edit|View|Help");
    const QPointer<CommandMenu> editMenu = menus.at(1);
    barGroup->removeItem(3);
    EXPECT_EQ(texts(qbar), "Tools|File|View|Help");
    EXPECT_EQ(editMenu->group(), nullptr) << "the menu of a group taken out lets go of it";
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(editMenu.isNull());
}

TEST_F(MenuTest, MenusCompileWhenOpenedAfterAChange)
{
    auto sub = group("Sub", {command("b")});
    sub->setLayoutPreference(Group::List);
    auto on = condition(true);
    auto a = command("a");
    a->setEnabledExpression(on);
    auto root = group("Root", {a, sub});
    CommandMenu menu(root, choose);
    EXPECT_EQ(menu.compileCount(), 0);
    const auto open = [&menu] {
        menu.hide();
        menu.popup(QPoint(10, 10));
        return texts(menu);
    };
    EXPECT_EQ(open(), "a|Sub");
    on->setValue(false);
    EXPECT_EQ(open(), "a|Sub");
    EXPECT_EQ(menu.compileCount(), 1) << "a change of state compiles nothing";
    root->appendItem(command("c"));
    EXPECT_EQ(menu.compileCount(), 1) << "closed menus compile when they open";
    EXPECT_EQ(open(), "a|Sub|c");
    sub->setLayoutPreference(Group::EmbeddedInParent);
    menu.invalidate();
    EXPECT_EQ(open(), "a|b|c");
    EXPECT_EQ(menu.compileCount(), 3);
    // Open: compiled again right after the message.
    root->appendItem(command("d"));
    EXPECT_EQ(texts(menu), "a|b|c");
    QCoreApplication::processEvents();
    EXPECT_EQ(texts(menu), "a|b|c|d");
}

class MenuShortcutTest : public ShownDocumentTest {};

TEST_F(MenuShortcutTest, AShortcutGoesThroughTheController)
{
    Log log;
    tn::Reference<CommandInstance> pen(new CommandInstance(new LoggingTool("pen", log)));
    auto* clearDefn = new LoggingMomentary("clear", log);
    tn::Reference<CommandInstance> clear(new CommandInstance(clearDefn));
    clear->setKeybinding(tn::Reference<Keybinding>(new Keybinding(CString("Ctrl+K"))));
    window->selectCommand(pen);
    MouseEvent e = press(3);
    window->getCommandController().forwardEvent(e);

    QMainWindow qwindow;
    CommandMenuBar bar(qwindow.menuBar(), group("bar", {group("Edit", {clear})}), {});
    bar.setShortcutWindow(window);
    EXPECT_EQ(bar.menus().at(0)->actionFor("clear")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_K));
    for (const auto& [text, qt] : {std::pair{"shift+ctrl+del", "Ctrl+Shift+Del"},
                                   {"alt+f4", "Alt+F4"},
                                   {"num5", "Num+5"},
                                   {"meta+pgup", "Meta+PgUp"},
                                   {"ctrl+=", "Ctrl+="}})
        EXPECT_EQ(CommandAction::keySequence(Keybinding(CString(text))).toString(), qt);
    qwindow.show();
    qwindow.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&qwindow));
    log.clear();
    QTest::keyClick(&qwindow, Qt::Key_K, Qt::ControlModifier);
    // The tool in its drag sees the key, then the drag ends for it around
    // the command.
    EXPECT_EQ(joined(log), "pen.Key pen.Mouse release 3 pen.Stop clear.Execute pen.Start");
    EXPECT_THROW(bar.setShortcutWindow(tn::Reference<TestWindow>(new TestWindow)), NullError);
    bar.detach();
}

TEST_F(MenuTest, IconsAreDecodedOncePerFile)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("pen.png"));
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(file));
    auto on = condition(true);
    auto a = command("a", "A"), b = command("b", "B");
    a->setEnabledExpression(on);
    for (CommandInstance* c : {a.get(), b.get()})
        c->setIcon(tn::Reference<ImageFile>(new ImageFile(new Filename(file.toStdWString()))), IconState::Normal,
                   IconMode::Default);
    auto g = group("Tools", {a, b});
    const int decodes = CommandAction::iconDecodes();
    CommandMenu menu(g, choose);
    menu.compileIfChanged();
    EXPECT_EQ(CommandAction::iconDecodes(), decodes + 1);
    on->setValue(false);
    a->setLabel(tn::Reference<Label>(new Label("Pen")));
    ASSERT_TRUE(QFile::remove(file));
    CommandToolBar bar(g, choose);
    EXPECT_EQ(CommandAction::iconDecodes(), decodes + 1);
    EXPECT_FALSE(bar.actionFor("b")->icon().pixmap(16).isNull()) << "from the cache, the file gone";
}

TEST_F(MenuTest, DetachLetsGoOfTheModel)
{
    QMenuBar qbar;
    EXPECT_THROW(CommandMenu(nullptr, choose), NullError);
    EXPECT_THROW(CommandToolBar(nullptr, choose), NullError);
    EXPECT_THROW(CommandMenuBar(&qbar, nullptr, choose), NullError);
    EXPECT_THROW(CommandAction(nullptr, choose), NullError);

    auto a = command("a");
    auto g = group("G", {a});
    auto barGroup = group("bar", {g});
    const int counts[] = {a->getRefCount(), g->getRefCount(), barGroup->getRefCount()};
    CommandMenu menu(g, choose);
    QAction* own = menu.addAction(QStringLiteral("Host's own"));
    menu.compileIfChanged();
    CommandAction* action = menu.actionFor("a");
    CommandMenuBar bar(&qbar, barGroup, choose);
    bar.menus().at(0)->compileIfChanged();
    qbar.addAction(QStringLiteral("Help"));
    menu.detach();
    bar.detach();
    EXPECT_EQ(a->getRefCount(), counts[0]);
    EXPECT_EQ(g->getRefCount(), counts[1]);
    EXPECT_EQ(barGroup->getRefCount(), counts[2]);
    EXPECT_EQ(menu.actions(), QList<QAction*>{own});
    EXPECT_EQ(texts(qbar), "Help");
    action->trigger();
    g->appendItem(command("b"));
    menu.compileIfChanged();
    EXPECT_EQ(menu.actions(), QList<QAction*>{own});
    EXPECT_TRUE(chosen.empty());
}

TEST_F(MenuTest, EitherSideMayGoFirst)
{
    auto on = condition(true);
    auto a = command("a");
    a->setEnabledExpression(on);
    auto g = group("G", {a, group("Sub", {command("b")})});
    auto* menu = new CommandMenu(g, choose);
    menu->popup(QPoint(10, 10));
    delete menu;
    const QPointer<CommandMenu> context = CommandMenu::popUp(g, QPoint(10, 10), choose);
    QTest::keyClick(context, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(context.isNull()) << "a context menu goes once closed";
    on->setValue(false);
    g->appendItem(command("c"));

    // The model first: the menu keeps what it shows alive until it goes.
    auto* bar = new QMenuBar;
    CommandMenu::fillMenuBar(bar, group("bar", {g}), choose).at(0)->popup(QPoint(10, 10));
    auto* toolBar = new CommandToolBar(g, choose);
    a = nullptr;
    g = nullptr;
    on->setValue(true);
    delete bar;
    delete toolBar;
}

TEST_F(MenuTest, TheModelChangesWhileAMenuRuns)
{
    auto a = command("a", "A"), b = command("b", "B");
    auto on = condition(true);
    a->setEnabledExpression(on);
    auto edit = group("Edit", {a});
    auto barGroup = group("bar", {edit});
    QMenuBar qbar;
    CommandMenuBar bar(&qbar, barGroup, choose);
    CommandMenu* menu = bar.menus().at(0);
    QTimer::singleShot(0, menu, [&] {
        on->setValue(false);
        edit->appendItem(b);
        a->setLabel(tn::Reference<Label>(new Label("Again")));
        // The new entry comes right after: Down lands on it, the first
        // entry disabled.
        ASSERT_TRUE(QTest::qWaitFor([menu] { return menu->actionFor("b"); }));
        QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Return);
    });
    const QAction* ran = menu->exec(QPoint(10, 10));
    EXPECT_EQ(ran, menu->actionFor("b"));
    EXPECT_EQ(chosen, std::vector<CommandInstance*>{b.get()});
    EXPECT_EQ(texts(*menu), "Again|B");

    // The bar group lets go of the menu's group while it runs.
    const QPointer<CommandMenu> running = menu;
    QTimer::singleShot(0, menu, [&] { barGroup->removeItem(0); });
    EXPECT_EQ(menu->exec(QPoint(10, 10)), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(running.isNull());
}

TEST_F(MenuTest, ToolBarsCompileAtOnceAndFollowTheirGroup)
{
    auto pen = command("pen", "&Pen", "P");
    auto g = group("Tools", {pen, new Separator, group("Shapes", {command("line", "Line")})});
    CommandToolBar bar(g, choose);
    bar.show();
    EXPECT_EQ(bar.compileCount(), 1);
    EXPECT_EQ(bar.windowTitle(), "Tools");
    CommandAction* action = bar.actionFor("pen");
    EXPECT_EQ(action->toolTip(), "Pen") << "no keybinding text, no mnemonic mark";
    auto* shapes = qobject_cast<QToolButton*>(bar.widgetForAction(bar.actions().at(2)));
    ASSERT_TRUE(shapes);
    EXPECT_EQ(shapes->popupMode(), QToolButton::InstantPopup);
    QTest::mouseClick(bar.widgetForAction(action), Qt::LeftButton);
    EXPECT_EQ(chosen, std::vector<CommandInstance*>{pen.get()});
    g->appendItem(command("eraser"));
    g->appendItem(command("fill"));
    EXPECT_EQ(bar.compileCount(), 1);
    QCoreApplication::processEvents();
    EXPECT_EQ(bar.compileCount(), 2) << "once for both changes";
    EXPECT_TRUE(bar.actionFor("fill"));
}

} // namespace
