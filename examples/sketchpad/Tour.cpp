#include "Tour.h"

#include "SketchApp.h"
#include "SketchWindow.h"
#include "ToolOptions.h"

#include <tnUI/widgets/ArgumentBinding.h>
#include <tnUI/widgets/ArgumentPaneWidget.h>
#include <tnUI/widgets/ColorButton.h>
#include <tnUI/widgets/CommandAction.h>
#include <tnUI/widgets/CommandMenu.h>
#include <tnUI/widgets/CommandMenuBar.h>
#include <tnUI/widgets/StepSpinBox.h>

#include <tnUI/application/Environment.h>
#include <tnUI/application/ToolkitImpl.h>
#include <tnUI/arguments/ArgumentPane.h>
#include <tnUI/arguments/GroupOfArguments.h>
#include <tnUI/arguments/LabelArgument.h>
#include <tnUI/arguments/ValueArgument.h>
#include <tnUI/commands/CommandController.h>
#include <tnUI/commands/CommandInstance.h>
#include <tnUI/commands/Keybinding.h>
#include <tnUI/entity/Label.h>
#include <tnUI/markingmenus/MarkItem.h>
#include <tnUI/markingmenus/MarkMenu.h>
#include <tnUI/markingmenus/popup/PopUpMenu.h>
#include <tnUI/markingmenus/qt/QmarkMenuView.h>
#include <tnUI/menus/CommandGroup.h>
#include <tnUI/values/AngleValue.h>
#include <tnUI/values/BoolValue.h>
#include <tnUI/values/ColorValue.h>
#include <tnUI/values/ImageValue.h>
#include <tnUI/values/IntValue.h>
#include <tnUI/values/LinearValue.h>
#include <tnUI/values/RealValueArray.h>
#include <tnUI/values/TextValue.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPointingDevice>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTabletEvent>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>

#include <cmath>
#include <cstdio>
#include <memory>
#include <numbers>

namespace {

// How long the tour waits, with the pointer still, before it counts on a
// menu being displayed: far beyond the 100 ms rest the menus ask for.
constexpr int restTime = 700;

QList<QPoint> line(const QPoint& from, const QPoint& to, int steps, double wave = 0.0)
{
    QList<QPoint> points;
    for (int i = 0; i <= steps; ++i) {
        const double t = static_cast<double>(i) / steps;
        const QPointF p = QPointF(from) + t * QPointF(to - from);
        points.append(QPoint(qRound(p.x()), qRound(p.y() + wave * std::sin(t * 2 * std::numbers::pi))));
    }
    return points;
}

// The widget made for the argument named name inside w, or null.
QWidget* controlOf(const QWidget* w, const char* name)
{
    for (QWidget* child : w->findChildren<QWidget*>()) {
        const tnUI::ArgumentBinding* binding = tnUI::ArgumentBinding::bindingOf(child);
        if (binding && binding->argument() && QByteArray(binding->argument()->nameAsChar()) == name)
            return child;
    }
    return nullptr;
}

// The button of w showing text, or null.
template <class Button>
Button* buttonOf(const QWidget* w, const QString& text)
{
    for (Button* button : w ? w->findChildren<Button*>() : QList<Button*>())
        if (button->text() == text)
            return button;
    return nullptr;
}

// A menu's entries on one line: each label with its key, "-" for a
// separator, a submenu's entries in brackets after its title.
QString entries(const QMenu* menu)
{
    QStringList list;
    for (const QAction* action : menu->actions()) {
        if (action->isSeparator())
            list.append(QStringLiteral("-"));
        else if (action->menu())
            list.append(action->text() + QLatin1Char('[') + entries(action->menu()) + QLatin1Char(']'));
        else
            list.append(action->text().replace(QLatin1Char('\t'), QLatin1Char(' ')));
    }
    return list.join(QStringLiteral(" | "));
}

} // namespace

Tour::Tour(SketchApp& app, const QDir& output) : m_app(app), m_output(output)
{}

int Tour::run()
{
    std::printf("Sketchpad tour, writing into %s\n\n", m_output.path().toLocal8Bit().constData());
    tnRTB::SignalClient exits;
    tnRTB::connect(m_app.exitSignal, &exits, [this] { ++m_exits; });
    openDocument("tour");

    statusHint();
    refuseUndo();
    menuBarOnEmptyDrawing();
    menuBarFollowsItsGroup();
    menuOnEmptyCanvas();
    quickMark();
    penStroke();
    stylusStroke();
    zoomAndGlideBack();
    restAndPickLine();
    lines();
    inkKeepsTheTool();
    keyboardMenu();
    keysInTheMiddleOfADrag();
    listMenuEraser();
    erase();
    gridAndUndoFromTheMenu();
    clearTwice();
    widthSaveAndDraw();
    picturesAndDump();
    hintOutlastsMessages();
    quitAndCancel();
    closeAndSave();
    toolOptions();
    quitWithNothingUnsaved();
    closeAndDiscard();
    check(tnUI::ToolkitImpl::numberOfActiveObjects() == 0, "no window binding is left");

    std::printf("\nFiles in %s:\n", m_output.path().toLocal8Bit().constData());
    for (const QString& file : m_files)
        std::printf("  %s\n", file.toLocal8Bit().constData());
    if (m_failures > 0) {
        std::printf("\nThe tour FAILED: %d checks did not hold.\n", m_failures);
        return 1;
    }
    std::printf("\nEverything the tour expected happened.\n");
    return 0;
}

void Tour::statusHint()
{
    m_app.transcript().user(QStringLiteral("the window as it opens: its status bar lists the buttons and the keys"));
    const QLabel* hint = m_window->hint();
    const QWidget* window = m_window->mainWindow();
    m_hintText = hint->text();
    m_app.transcript().note(QStringLiteral("window: %1 pixels wide").arg(window->width()));
    check(hint->isVisible() && hint->width() >= hint->sizeHint().width() &&
              window->rect().contains(QRect(hint->mapTo(window, QPoint(0, 0)), hint->size())),
          "the whole hint is shown at the window's first width");
    // Every key that selects a command, as registered.
    tnUI::CommandGroup* commands = m_app.environment()->getCommandGroup();
    int keys = 0;
    for (int i = 0; i < commands->getNumElements(); ++i) {
        const auto* command = dynamic_cast<const tnUI::CommandInstance*>(commands->getElement(i));
        const tnUI::Keybinding* binding = command ? command->getKeybinding() : nullptr;
        if (!binding)
            continue;
        ++keys;
        const QString entry = SketchApp::keyText(*binding) + QLatin1Char(' ') + SketchApp::labelOf(command);
        check(m_hintText.contains(entry), QStringLiteral("the hint lists %1").arg(entry));
    }
    check(keys == 14, QStringLiteral("fourteen commands have keys, not %1").arg(keys));
    for (const char* entry : {"Ctrl+S Save", "Ctrl+Delete Clear", "Ctrl+Q Quit"})
        check(m_hintText.contains(QLatin1String(entry)), QStringLiteral("the hint lists %1").arg(entry));
}

void Tour::refuseUndo()
{
    m_app.transcript().user(QStringLiteral("Ctrl+Z on the empty canvas: nothing to undo"));
    key(Qt::Key_Z, Qt::ControlModifier);
    check(m_app.transcript().stepMentions(QStringLiteral("CommandError: Attempt to select a disabled command: undo")),
          "undo with nothing to undo is refused");
    check(m_window->message() == "Undo is not available now", "the window says that undo is not available");
    check(currentTool().isEmpty(), "no tool is selected yet");
}

void Tour::menuBarOnEmptyDrawing()
{
    m_app.transcript().user(QStringLiteral("open each menu of the menu bar on the empty drawing"));
    const struct {
        const char* title;
        const char* entries;
    } menus[] = {
        {"File", "Save Ctrl+S | - | Quit Ctrl+Q"},
        {"Edit", "Undo Ctrl+Z | - | Clear Ctrl+Del | - | Ink[Black ink K | Red ink R | Blue ink B]"},
        {"Tools", "Pen P | Line L | Eraser E"},
        {"View", "Grid G | - | Zoom in Ctrl+= | Zoom out Ctrl+- | Actual size Ctrl+0"},
    };
    for (const auto& expected : menus) {
        tnUI::CommandMenu* menu = barMenu(QLatin1String(expected.title));
        check(openBarMenu(menu), QStringLiteral("a click on %1 opens its menu").arg(expected.title));
        const QString shown = menu ? entries(menu) : QString();
        check(shown == QLatin1String(expected.entries),
              QStringLiteral("the %1 menu shows %2, not %3").arg(expected.title, expected.entries, shown));
        closeMenus();
    }

    // Each state as the model has it and as the menu shows it.
    const struct {
        const char* menu;
        const char* command;
        bool enabled;
        bool checkable;
        bool checked;
    } states[] = {
        {"Edit", "undo", false, false, false},  {"Edit", "clear", false, false, false},
        {"Edit", "blackInk", true, true, true}, {"Edit", "redInk", true, true, false},
        {"Tools", "pen", true, true, false},    {"View", "grid", true, true, false},
        {"File", "save", true, false, false},
    };
    for (const auto& expected : states) {
        tnUI::CommandMenu* menu = barMenu(QLatin1String(expected.menu));
        const tnUI::CommandAction* action = menu ? menu->actionFor(expected.command) : nullptr;
        const tnUI::CommandInstance* command = m_app.command(expected.command);
        check(action && action->isEnabled() == expected.enabled && command->getEnabled() == expected.enabled,
              QStringLiteral("%1 is %2 in the model and the menu")
                  .arg(expected.command, expected.enabled ? "enabled" : "disabled"));
        check(action && action->isCheckable() == expected.checkable &&
                  (!expected.checkable ||
                   (action->isChecked() == expected.checked && command->getChecked() == expected.checked)),
              QStringLiteral("%1 is %2 in the model and the menu")
                  .arg(expected.command, !expected.checkable ? "not checkable"
                                         : expected.checked  ? "checked"
                                                             : "unchecked"));
    }

    m_app.transcript().user(QStringLiteral("Edit, then Down and Right with the keys: the Ink submenu opens"));
    tnUI::CommandMenu* edit = barMenu(QStringLiteral("Edit"));
    if (openBarMenu(edit)) {
        // Undo and Clear are disabled: the first key lands on Ink.
        QTest::keyClick(edit, Qt::Key_Down);
        QTest::keyClick(edit, Qt::Key_Right);
        QMenu* inks = edit->activeAction() ? edit->activeAction()->menu() : nullptr;
        check(inks && QTest::qWaitFor([inks] { return inks->isVisible(); }, 5000), "the Ink submenu opens");
        if (inks && inks->isVisible()) {
            // From the window's corner to a little beyond the open menus.
            const QWidget* bar = m_window->mainWindow()->menuBar();
            const QRect area(bar->mapToGlobal(QPoint(0, 0)), inks->geometry().bottomRight() + QPoint(60, 40));
            save(screenshot(area), "menu-bar.png",
                 "the menu bar's Edit menu on the empty drawing: Undo and Clear disabled, the Ink submenu open with "
                 "Black ink checked");
        }
        closeMenus();
    }

    m_app.transcript().user(QStringLiteral("View > Grid with the mouse"));
    tnUI::CommandMenu* view = barMenu(QStringLiteral("View"));
    tnUI::CommandAction* grid = view ? view->actionFor("grid") : nullptr;
    if (grid && openBarMenu(view)) {
        QTest::mouseMove(view, view->actionGeometry(grid).center());
        QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, view->actionGeometry(grid).center());
    }
    check(m_app.transcript().stepMentions(QStringLiteral("menu bar: chose Grid")), "the menu bar chooses Grid");
    check(m_app.grid()->getValue() && grid && grid->isChecked(), "the grid is shown, and Grid checked in the menu");
    check(view && !view->isVisible(), "the menu closes");
    check(currentTool().isEmpty(), "the grid selects no tool");

    m_app.transcript().user(QStringLiteral("G on the canvas, the View menu closed: its Grid follows"));
    const int compiles = view ? view->compileCount() : -1;
    key(Qt::Key_G);
    check(!m_app.grid()->getValue() && grid && !grid->isChecked(), "Grid is unchecked at once, menu closed");

    m_app.transcript().user(QStringLiteral("View, then Down and Return with the keys"));
    if (grid && openBarMenu(view)) {
        QTest::keyClick(view, Qt::Key_Down);
        check(view->activeAction() == grid, "Down highlights Grid");
        QTest::keyClick(view, Qt::Key_Return);
    }
    check(m_app.grid()->getValue() && grid && grid->isChecked(), "Return chooses Grid: the grid shows again");
    check(view && view->compileCount() == compiles, "an unchanged group is not compiled again");
    key(Qt::Key_G);
    check(!m_app.grid()->getValue(), "G hides the grid again");
}

void Tour::menuBarFollowsItsGroup()
{
    m_app.transcript().user(QStringLiteral("a second save command is added to the File group after Save"));
    tnUI::CommandMenu* file = barMenu(QStringLiteral("File"));
    if (!file) {
        check(false, "the menu bar has a File menu");
        return;
    }
    const tn::Reference<tnUI::CommandInstance> copy(
        new tnUI::CommandInstance(m_app.getCommand(tnString::CString("save"))));
    copy->setName(tnString::CString("saveCopy"));
    copy->setLabel(tn::Reference<tnUI::Label>(new tnUI::Label("Save a copy")));
    tnUI::CommandGroup* group = file->group();
    group->appendItem(tnString::CString("save"), copy);
    const int compiles = file->compileCount();
    check(entries(file) == "Save Ctrl+S | - | Quit Ctrl+Q", "the closed menu still shows what it showed");
    check(openBarMenu(file) && entries(file) == "Save Ctrl+S | Save a copy | - | Quit Ctrl+Q",
          "the File menu shows the new command when it opens");
    check(file->compileCount() == compiles + 1, "opening the changed menu compiled its group once");
    closeMenus();

    m_app.transcript().user(QStringLiteral("the second save command is taken out of the File group"));
    for (int i = 0; i < group->getNumElements(); ++i)
        if (group->getElement(i) == copy.get())
            group->removeItem(i);
    check(openBarMenu(file) && entries(file) == "Save Ctrl+S | - | Quit Ctrl+Q",
          "the File menu shows it no more when it opens again");
    closeMenus();
}

void Tour::menuOnEmptyCanvas()
{
    m_app.transcript().user(
        QStringLiteral("right-press and rest on the empty canvas: the menu shows; release in its centre"));
    const QPoint p(320, 230);
    popMenu(Qt::RightButton, Qt::NoModifier, p,
            {{restTime, [this, p] {
                  tnMarkMenu* menu = shownMenu();
                  check(menu && menu->areItemsVisible(), "the rest displays the marking menu");
                  const tnMarkItem* undo = shownItem(QStringLiteral("Undo"));
                  const tnMarkItem* clear = shownItem(QStringLiteral("Clear"));
                  check(undo && undo->getState() == tnMarkItem::Disabled && clear &&
                            clear->getState() == tnMarkItem::Disabled,
                        "Undo and Clear show disabled on an empty canvas");
                  check(checkedItems() == QStringList{"Black ink"}, "only the ink is checked, no tool is current");
                  save(screenshot(around(p, -170, -110, 480, 220)), "marking-menu-empty.png",
                       "the marking menu on the empty canvas: Undo and Clear disabled");
                  QTest::mouseRelease(m_canvas, Qt::RightButton, Qt::NoModifier, p);
              }}});
    check(!m_app.transcript().stepMentions(QStringLiteral("menu: chose")) &&
              !m_app.transcript().stepMentions(QStringLiteral("calls:")),
          "a release in the centre chooses nothing: no command is called");
    check(currentTool().isEmpty(), "still no tool");
}

void Tour::quickMark()
{
    m_app.transcript().user(QStringLiteral("right-press, flick north and release at once: a quick mark"));
    const QPoint p(320, 230);
    popMenu(Qt::RightButton, Qt::NoModifier, p,
            {{50, [this, p] {
                  for (int k = 1; k <= 8; ++k)
                      QTest::mouseMove(m_canvas, p + QPoint(0, -8 * k));
                  tnMarkMenu* menu = shownMenu();
                  check(menu && !menu->areItemsVisible(), "the items stay hidden during the mark");
                  save(screenshot(around(p, -110, -110, 220, 220)), "quick-mark.png",
                       "a quick mark north: only its stroke is drawn");
                  QTest::mouseRelease(m_canvas, Qt::RightButton, Qt::NoModifier, p + QPoint(0, -64));
              }}});
    check(m_app.transcript().stepMentions(QStringLiteral("menu: chose Pen")), "the quick mark chooses the pen");
    check(currentTool() == "pen", "the pen is the current tool");
    check(m_canvas->cursor().shape() == Qt::CrossCursor, "the drawing class gives the canvas a cross cursor");
}

void Tour::penStroke()
{
    m_app.transcript().user(QStringLiteral("left-drag a wavy stroke"));
    drag(line(QPoint(80, 120), QPoint(260, 120), 12, 20.0));
    check(strokes() == 1, "the pen drew one stroke");
}

void Tour::stylusStroke()
{
    m_app.transcript().user(QStringLiteral("a stylus stroke, pressing harder as it goes"));
    QPointingDevice stylus(QStringLiteral("tour stylus"), 1, QInputDevice::DeviceType::Stylus,
                           QPointingDevice::PointerType::Pen,
                           QInputDevice::Capability::Position | QInputDevice::Capability::Pressure, 1, 2);
    const QList<QPoint> points = line(QPoint(80, 300), QPoint(260, 330), 10);
    for (qsizetype i = 0; i < points.size(); ++i) {
        const QEvent::Type type = i == 0                   ? QEvent::TabletPress
                                  : i + 1 == points.size() ? QEvent::TabletRelease
                                                           : QEvent::TabletMove;
        const Qt::MouseButtons held = type == QEvent::TabletRelease ? Qt::NoButton : Qt::LeftButton;
        const double pressure = 0.1 + 0.9 * static_cast<double>(i) / static_cast<double>(points.size() - 1);
        QTabletEvent event(type, &stylus, points[i], m_canvas->mapToGlobal(QPointF(points[i])), pressure, 0, 0, 0, 0, 0,
                           Qt::NoModifier, type == QEvent::TabletMove ? Qt::NoButton : Qt::LeftButton, held);
        QApplication::sendEvent(m_canvas, &event);
    }
    check(strokes() == 2, "the stylus drew a second stroke");
    if (strokes() == 2) {
        const QList<double>& widths = m_app.activeDocument()->drawing().strokes().last().widths;
        check(widths.first() < widths.last(), "the stroke widens with the pressure");
    }
}

void Tour::zoomAndGlideBack()
{
    m_app.transcript().user(QStringLiteral("Ctrl+= twice: the drawing shows larger"));
    key(Qt::Key_Equal, Qt::ControlModifier);
    key(Qt::Key_Equal, Qt::ControlModifier);
    m_canvas->repaint();
    check(m_canvas->zoom() == 1.5625, QStringLiteral("two steps of 125 %: 156 %, not %1").arg(m_canvas->zoom()));

    m_app.transcript().user(QStringLiteral("a short stroke at that scale, then Ctrl+Z"));
    drag(line(QPoint(100, 250), QPoint(200, 250), 4));
    if (strokes() == 3) {
        const QList<QPointF>& points = m_app.activeDocument()->drawing().strokes().last().points;
        check(points.first() == QPointF(64, 160) && points.last() == QPointF(128, 160),
              "the stroke lands in the drawing's coordinates, under the pointer");
    } else {
        check(false, "the pen drew a third stroke at the scale");
    }
    key(Qt::Key_Z, Qt::ControlModifier);
    check(strokes() == 2, "undo takes it back");

    m_app.transcript().user(QStringLiteral("View > Actual size, on a clock the tour steps"));
    const auto now = std::make_shared<double>(0.0);
    m_canvas->setAnimationClock([now] { return *now; });
    tnUI::CommandMenu* view = barMenu(QStringLiteral("View"));
    tnUI::CommandAction* actual = view ? view->actionFor("actualSize") : nullptr;
    if (actual && openBarMenu(view))
        QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, view->actionGeometry(actual).center());
    check(m_app.transcript().stepMentions(QStringLiteral("menu bar: chose Actual size")),
          "the menu bar chooses Actual size");
    check(m_canvas->isZooming(), "the view glides");
    m_canvas->repaint();
    check(m_canvas->zoom() == 1.5625, "the glide starts at the scale shown");
    *now = 0.125;
    m_canvas->repaint();
    check(m_canvas->zoom() > 1.0 && m_canvas->zoom() < 1.5625, "halfway, the scale is between both");
    *now = 0.3;
    m_canvas->repaint();
    check(m_canvas->zoom() == 1.0 && !m_canvas->isZooming(), "the glide ends exactly at the actual size");
    m_canvas->setAnimationClock({});

    m_app.transcript().user(QStringLiteral("Ctrl+= then Ctrl+0 on the real clock"));
    key(Qt::Key_Equal, Qt::ControlModifier);
    key(Qt::Key_0, Qt::ControlModifier);
    check(QTest::qWaitFor([this] { return !m_canvas->isZooming(); }, 10000) && m_canvas->zoom() == 1.0,
          "the glide ends by itself, at the actual size");
    check(currentTool() == "pen", "zooming leaves the pen current");
}

void Tour::restAndPickLine()
{
    m_app.transcript().user(QStringLiteral("right-press and rest: the menu shows; move north-east onto Line, release"));
    const QPoint p(420, 200);
    popMenu(Qt::RightButton, Qt::NoModifier, p,
            {{restTime, [this, p] {
                  tnMarkMenu* menu = shownMenu();
                  check(menu && menu->areItemsVisible(), "the rest displays the marking menu");
                  check(checkedItems() == QStringList({"Black ink", "Pen"}), "the pen and the ink are checked");
                  for (int k = 1; k <= 6; ++k)
                      QTest::mouseMove(m_canvas, p + QPoint(8 * k, -8 * k));
                  check(menu && labelOf(menu->getHighlightedItem()) == "Line", "Line is highlighted");
                  save(screenshot(around(p, -170, -110, 480, 220)), "marking-menu-line.png",
                       "the marking menu after a rest, Pen checked, Line (north-east) highlighted");
                  QTest::mouseRelease(m_canvas, Qt::RightButton, Qt::NoModifier, p + QPoint(48, -48));
              }}});
    check(m_app.transcript().stepMentions(QStringLiteral("menu: chose Line")), "the menu chooses Line");
    check(currentTool() == "line", "the line tool is current");
}

void Tour::lines()
{
    m_app.transcript().user(QStringLiteral("left-drag a line, press Escape before releasing"));
    QTest::mousePress(m_canvas, Qt::LeftButton, Qt::NoModifier, QPoint(300, 380));
    QTest::mouseMove(m_canvas, QPoint(350, 340));
    QTest::mouseMove(m_canvas, QPoint(400, 300));
    key(Qt::Key_Escape);
    QTest::mouseRelease(m_canvas, Qt::LeftButton, Qt::NoModifier, QPoint(400, 300));
    check(strokes() == 2, "Escape cancels the line");

    m_app.transcript().user(QStringLiteral("left-drag a line"));
    drag(line(QPoint(300, 400), QPoint(560, 320), 8));
    check(strokes() == 3, "the line tool drew a line");
}

void Tour::inkKeepsTheTool()
{
    m_app.transcript().user(QStringLiteral("R for red ink while the line tool is current"));
    key(Qt::Key_R);
    check(currentTool() == "line", "the line tool stays current");
    check(m_app.inkName() == "red", "the ink is red");

    m_app.transcript().user(QStringLiteral("P for the pen"));
    key(Qt::Key_P);
    check(currentTool() == "pen", "the pen is current");
}

void Tour::keyboardMenu()
{
    m_app.transcript().user(QStringLiteral("M, the keypad's 9 (north-east) and Enter: Line from the keyboard"));
    QObject pending;
    QTimer::singleShot(50, &pending, [this] {
        tnMarkMenu* menu = shownMenu();
        check(menu && menu->areItemsVisible(), "M shows the marking menu's items at once");
        key(Qt::Key_9, Qt::KeypadModifier);
        check(menu && labelOf(menu->getHighlightedItem()) == "Line", "the keypad's 9 highlights Line");
        key(Qt::Key_Return);
    });
    QTimer::singleShot(10000, &pending, [this] {
        check(false, "the keyboard's menu was closed within 10 s");
        if (QmarkMenuView* view = QmarkMenuView::findView())
            view->cancel();
    });
    key(Qt::Key_M);
    // The menu begins once the key is delivered, and runs to its end.
    QCoreApplication::processEvents();
    check(currentTool() == "line", "the keys chose the line tool");
    key(Qt::Key_P);
    check(currentTool() == "pen", "P gives the pen back");
}

void Tour::keysInTheMiddleOfADrag()
{
    m_app.transcript().user(
        QStringLiteral("left-drag with the pen, press K (black ink) and L (line tool) halfway, drag on, release"));
    const QList<QPoint> points = line(QPoint(100, 200), QPoint(240, 230), 10, 8.0);
    QTest::mousePress(m_canvas, Qt::LeftButton, Qt::NoModifier, points.first());
    for (int i = 1; i <= 5; ++i)
        QTest::mouseMove(m_canvas, points[i]);
    key(Qt::Key_K);
    key(Qt::Key_L);
    check(m_app.inkName() == "red" && currentTool() == "pen", "the keys wait while the drag goes on");
    check(m_window->message() == "Line when the drag ends", "the window says what waits");
    for (int i = 6; i < points.size(); ++i)
        QTest::mouseMove(m_canvas, points[i]);
    QTest::mouseRelease(m_canvas, Qt::LeftButton, Qt::NoModifier, points.last());
    check(strokes() == 4, "the drag made one stroke");
    if (strokes() == 4) {
        const Stroke& stroke = m_app.activeDocument()->drawing().strokes().last();
        check(stroke.points.size() == points.size(), "the stroke has every point of the drag");
        check(stroke.colour == QColor(205, 35, 35), "the stroke keeps the red ink it began with");
    }
    check(m_app.inkName() == "black" && currentTool() == "line",
          "after the release the ink is black, the line current");
}

void Tour::listMenuEraser()
{
    const QPoint q(40, 40);
    m_app.transcript().user(QStringLiteral("Shift+right-press and rest: the list menu; release in place"));
    popMenu(Qt::RightButton, Qt::ShiftModifier, q,
            {{restTime, [this, q] {
                  check(shownItem(QStringLiteral("Tools")) != nullptr, "Shift+right pops the list menu");
                  QTest::mouseRelease(m_canvas, Qt::RightButton, Qt::ShiftModifier, q);
              }}});
    check(!m_app.transcript().stepMentions(QStringLiteral("menu: chose")) && currentTool() == "line",
          "a release in place chooses nothing");

    m_app.transcript().user(QStringLiteral("middle-press: the list menu; rest on Tools, then Eraser in the submenu"));
    const tnLinear::Tuple2& size = m_canvas->listMenu()->getSize();
    const QRect area = around(q, -20, -20, qRound(2 * size.x) + 60, qRound(size.y) + 40);
    popMenu(Qt::MiddleButton, Qt::NoModifier, q,
            {{restTime,
              [this, area] {
                  const tnMarkItem* tools = shownItem(QStringLiteral("Tools"));
                  check(tools != nullptr, "the list menu shows Tools");
                  check(checkedItems().isEmpty(), "the list menu's own items are not checked");
                  save(screenshot(area), "list-menu.png", "the list menu");
                  if (tools)
                      QTest::mouseMove(m_canvas, canvasPoint(tools));
              }},
             {2 * restTime, [this, area, q] {
                  const tnMarkItem* eraser = shownItem(QStringLiteral("Eraser"));
                  check(eraser != nullptr, "the Tools submenu is open");
                  check(checkedItems() == QStringList{"Line"}, "the submenu shows the line tool checked");
                  const QPoint target = eraser ? canvasPoint(eraser) : q;
                  QTest::mouseMove(m_canvas, target);
                  save(screenshot(area), "list-menu-eraser.png", "the Tools submenu, Line checked, Eraser highlighted");
                  QTest::mouseRelease(m_canvas, Qt::MiddleButton, Qt::NoModifier, target);
              }}});
    check(m_app.transcript().stepMentions(QStringLiteral("menu: chose Eraser")), "the submenu chooses Eraser");
    check(currentTool() == "eraser", "the eraser is current");
}

void Tour::erase()
{
    m_app.transcript().user(QStringLiteral("move the eraser over the canvas, then drag it across the line"));
    for (const QPoint& p : line(QPoint(380, 250), QPoint(430, 330), 5))
        hover(p);
    drag(line(QPoint(430, 330), QPoint(430, 390), 6));
    check(strokes() == 3, "the eraser removed the line");
}

void Tour::gridAndUndoFromTheMenu()
{
    m_app.transcript().user(QStringLiteral("G: show the grid"));
    key(Qt::Key_G);
    check(m_app.grid()->getValue(), "the grid is shown");
    check(currentTool() == "eraser", "the grid leaves the eraser current");

    m_app.transcript().user(QStringLiteral("right-press and rest, move south-east onto Undo, release"));
    const QPoint p(420, 200);
    popMenu(Qt::RightButton, Qt::NoModifier, p,
            {{restTime, [this, p] {
                  check(checkedItems() == QStringList({"Black ink", "Eraser", "Grid"}),
                        "the eraser, the grid and the ink are checked");
                  for (int k = 1; k <= 6; ++k)
                      QTest::mouseMove(m_canvas, p + QPoint(8 * k, 8 * k));
                  save(screenshot(around(p, -170, -110, 480, 220)), "marking-menu-grid.png",
                       "the marking menu over the grid: Eraser and Grid checked, Undo highlighted");
                  QTest::mouseRelease(m_canvas, Qt::RightButton, Qt::NoModifier, p + QPoint(48, 48));
              }}});
    check(m_app.transcript().stepMentions(QStringLiteral("menu: chose Undo")), "the menu chooses Undo");
    check(strokes() == 4, "undo brings the erased line back");
    check(currentTool() == "eraser", "the eraser stays current");
}

void Tour::clearTwice()
{
    m_app.transcript().user(QStringLiteral("Ctrl+Delete: clear the canvas"));
    key(Qt::Key_Delete, Qt::ControlModifier);
    check(strokes() == 0, "the canvas is empty");

    m_app.transcript().user(QStringLiteral("Ctrl+Delete again on the empty canvas"));
    key(Qt::Key_Delete, Qt::ControlModifier);
    check(m_app.transcript().stepMentions(QStringLiteral("CommandError: Attempt to select a disabled command: clear")),
          "clearing an empty canvas is refused");

    m_app.transcript().user(QStringLiteral("Ctrl+Z: undo the clear"));
    key(Qt::Key_Z, Qt::ControlModifier);
    check(strokes() == 4, "undo brings the strokes back");
}

void Tour::widthSaveAndDraw()
{
    m_app.transcript().user(QStringLiteral("P for the pen, B for blue ink, then one notch of the wheel"));
    key(Qt::Key_P);
    key(Qt::Key_B);
    const QPoint p(300, 150);
    QWheelEvent wheel(p, m_canvas->mapToGlobal(QPointF(p)), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(m_canvas, &wheel);
    check(currentTool() == "pen" && m_app.inkName() == "blue", "the pen is current, with blue ink");
    check(m_app.widthText() == "1.05 mm", "the wheel widens the pen by a quarter millimetre, to 1.05 mm");

    m_app.transcript().user(QStringLiteral("Ctrl+S: save the picture"));
    key(Qt::Key_S, Qt::ControlModifier);
    check(QFileInfo::exists(m_app.savePath()), "the picture is saved");
    check(!m_app.activeDocument()->drawing().isModified(), "the drawing counts as saved");
    check(m_window->message() == "Saved the picture to " + QDir::toNativeSeparators(m_app.savePath()),
          "the window says where the picture went");
    m_files.append(QStringLiteral("sketch.png: the picture as the Save command wrote it when the window closed"));

    m_app.transcript().user(QStringLiteral("one more stroke, not saved"));
    drag(line(QPoint(320, 60), QPoint(600, 110), 10, -12.0));
    check(strokes() == 5, "the pen drew a fifth stroke");
}

void Tour::picturesAndDump()
{
    const QImage canvas = m_canvas->grab().toImage();
    save(canvas, "canvas.png", "the canvas at the end of the session");
    printSettings();
    // The status bar lays its labels out in the event loop.
    QCoreApplication::processEvents();
    save(m_window->mainWindow()->grab().toImage(), "window.png",
         "the whole window, with its status bar: the save message and the hint");
    const QString dump = m_output.filePath(QStringLiteral("model-dump.txt"));
    check(m_app.dumpModel(dump), "the model dump is written");
    m_files.append(QStringLiteral("model-dump.txt: the whole model, written by the library's dump file"));
}

void Tour::printSettings()
{
    const tnLinear::Tuple2 cm = m_app.paper()->evalInternal();
    const tnLinear::Tuple2 in = m_app.paper()->evalDisplay();
    m_app.transcript().note(QStringLiteral("paper: %1 x %2 cm, shown as %3 x %4 in")
                                .arg(cm.x)
                                .arg(cm.y)
                                .arg(in.x, 0, 'f', 2)
                                .arg(in.y, 0, 'f', 2));
    check(std::fabs(in.x - 21.0 / 2.54) < 1e-9, "the paper's width shows in inches");
    m_app.transcript().note(QStringLiteral("nib: %1 degrees, pen %2 (%3 cm)")
                                .arg(m_app.nibAngle()->evalDisplay())
                                .arg(m_app.widthText())
                                .arg(m_app.penWidth()->evalInternal()));
}

void Tour::hintOutlastsMessages()
{
    m_app.transcript().user(QStringLiteral("wait until the message has gone: the hint stays"));
    check(QTest::qWaitFor([this] { return m_window->message().isEmpty(); }, 20000), "the message goes after a while");
    check(m_window->hint()->isVisible() && m_window->hint()->text() == m_hintText, "the hint is still shown");
}

void Tour::quitAndCancel()
{
    m_app.transcript().user(QStringLiteral("Ctrl+Q with a stroke unsaved: the question; Return keeps the window"));
    const int asked = answering(
        [this] { quitKey(); },
        [this](QMessageBox& question) {
            check(question.parentWidget() == m_window->mainWindow(), "the question belongs to the window");
            check(question.standardButtons() == (QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel),
                  "the question offers Save, Discard and Cancel");
            check(question.defaultButton() == question.button(QMessageBox::Cancel), "Cancel is the default answer");
            save(screenshot(m_window->mainWindow()->geometry()), "close-question.png",
                 "the question when a window with unsaved strokes closes");
            QTest::keyClick(&question, Qt::Key_Return);
        });
    check(asked == 1, "the question is asked once");
    check(m_app.getNumDocuments() == 1 && m_window->mainWindow()->isVisible(), "the window stays open");
    check(strokes() == 5 && m_app.activeDocument()->drawing().isModified(), "the stroke is still there, unsaved");
}

void Tour::closeAndSave()
{
    m_app.transcript().user(QStringLiteral("close the window, answer Save"));
    const QImage before(m_app.savePath());
    QWidget* window = m_window->mainWindow();
    const int asked =
        answering([window] { window->close(); },
                  [](QMessageBox& question) { QTest::mouseClick(question.button(QMessageBox::Save), Qt::LeftButton); });
    m_window = nullptr;
    m_canvas = nullptr;
    m_app.transcript().note(QStringLiteral("application: %1 documents left, exit signal heard %2 times")
                                .arg(m_app.getNumDocuments())
                                .arg(m_exits));
    check(asked == 1, "the question is asked once");
    check(m_app.getNumDocuments() == 0, "the window closes");
    const QImage after(m_app.savePath());
    check(!after.isNull() && after != before, "the picture is saved with the last stroke");
    check(m_exits > 0, "the application announces the exit");
}

void Tour::toolOptions()
{
    openDocument("options");
    m_app.transcript().user(QStringLiteral("a drawing with its tool-options window beside it"));
    ToolOptionsWindow* options = SketchApp::toolOptionsOf(m_window);
    QWidget* pane = options ? options->paneWidget() : nullptr;
    check(pane && options->qtWindow()->isVisible() && options->getWindowPane(),
          "the tool-options window shows its pane");
    if (!pane)
        return;
    // On the screen, over the drawing's window, for the marking menu.
    options->qtWindow()->move(m_window->mainWindow()->geometry().topRight() - QPoint(options->qtWindow()->width(), 0));
    QWidget* width = controlOf(pane, "width");
    auto* spin = width ? width->findChild<tnUI::StepSpinBox*>() : nullptr;
    auto* slider = width ? width->findChild<QSlider*>() : nullptr;
    QWidget* unit = controlOf(pane, "unit");
    QWidget* ink = controlOf(pane, "ink");
    auto* colour = pane->findChild<tnUI::ColorButton*>();
    auto* grid = pane->findChild<QCheckBox*>();
    auto* clear = buttonOf<QPushButton>(pane, QStringLiteral("Clear"));
    check(spin && slider && unit && ink && colour && grid && clear, "the pane has every control");
    if (!(spin && slider && unit && ink && colour && grid && clear))
        return;
    const auto sliderAt = [spin, slider] {
        return slider->value() == std::lround((spin->value() - spin->minimum()) / spin->singleStep());
    };
    check(spin->suffix() == " mm" && spin->decimals() == 2 && std::fabs(spin->value() - 1.05) < 1e-9 && sliderAt(),
          "the width shows 1.05 mm, in the field and on the slider");
    check(width->toolTip() == "The width of the pen and the line", "the width has its tooltip");
    key(Qt::Key_P);

    m_app.transcript().user(QStringLiteral("type 2.5 into the width and press Return"));
    QTest::mouseClick(spin, Qt::LeftButton);
    spin->selectAll();
    QTest::keyClicks(spin, QStringLiteral("2.5"));
    QTest::keyClick(spin, Qt::Key_Return);
    check(std::fabs(m_app.penWidth()->evalInternal() - 0.25) < 1e-9, "the pen width is 0.25 cm");
    check(sliderAt(), "the slider follows the field");
    drag(line(QPoint(80, 120), QPoint(300, 160), 8));
    check(strokes() == 1 &&
              std::fabs(m_app.activeDocument()->drawing().strokes().last().widths.first() - m_app.width()) < 1e-9 &&
              std::fabs(m_app.width() - 2.5 * 96 / 25.4) < 1e-9,
          "the pen draws 2.5 mm wide");

    m_app.transcript().user(QStringLiteral("PageUp in the width, then Right on the slider"));
    QTest::keyClick(spin, Qt::Key_PageUp);
    check(std::fabs(m_app.penWidth()->evalDisplay() - 3.5) < 1e-9, "PageUp adds the large step, 1 mm");
    QTest::keyClick(slider, Qt::Key_Right);
    check(std::fabs(m_app.penWidth()->evalDisplay() - 3.6) < 1e-9 && std::fabs(spin->value() - 3.6) < 1e-9,
          "the slider adds a step, 0.1 mm, and the field follows");

    m_app.transcript().user(QStringLiteral("click the unit \u201cin\u201d"));
    QTest::mouseClick(buttonOf<QToolButton>(unit, QStringLiteral("in")), Qt::LeftButton);
    check(m_app.penUnit()->getValue() == 1 && m_app.penWidth()->getDisplayUnit() == tnUI::LinearUnit::Inch &&
              buttonOf<QToolButton>(unit, QStringLiteral("in"))->isChecked() &&
              !buttonOf<QToolButton>(unit, QStringLiteral("mm"))->isChecked(),
          "the width is shown in inches, and the unit's segment \u201cin\u201d is down");
    check(spin->suffix() == " in" && spin->decimals() == 3 && std::fabs(spin->value() - 0.142) < 1e-9 && sliderAt(),
          "the field shows 0.142 in, with three decimals");
    m_app.transcript().user(QStringLiteral("the model sets the width to 1 mm"));
    m_app.penWidth()->setInternalValue(0.1);
    check(std::fabs(spin->value() - 0.039) < 1e-9 && sliderAt(), "the field and the slider follow: 0.039 in");
    QTest::mouseClick(buttonOf<QToolButton>(unit, QStringLiteral("mm")), Qt::LeftButton);
    check(spin->suffix() == " mm" && std::fabs(spin->value() - 1.0) < 1e-9, "back in millimetres: 1.00 mm");

    m_app.transcript().user(QStringLiteral("type 30 into the nib angle and press Return"));
    QWidget* nibControl = controlOf(pane, "nibAngle");
    auto* nib = nibControl ? nibControl->findChild<tnUI::StepSpinBox*>() : nullptr;
    check(nib && nib->suffix().trimmed() == QStringLiteral("\u00b0") && nib->value() == 45.0,
          "the nib angle shows 45\u00b0");
    if (nib) {
        QTest::mouseClick(nib, Qt::LeftButton);
        QTest::keyClick(nib, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(nib, QStringLiteral("30"));
        QTest::keyClick(nib, Qt::Key_Return);
        check(std::fabs(m_app.nibAngle()->evalInternal() - std::numbers::pi / 6) < 1e-9,
              "the nib angle is 30\u00b0, kept as pi/6 radians");
    }

    m_app.transcript().user(QStringLiteral("E for the eraser, then P for the pen"));
    key(Qt::Key_E);
    check(!width->isEnabled() && !spin->isEnabled(), "the width is disabled while the eraser is the tool");
    key(Qt::Key_P);
    check(width->isEnabled(), "the width is enabled again with the pen");

    m_app.transcript().user(QStringLiteral("click the ink \u201cRed\u201d, then K on the canvas"));
    QTest::mouseClick(buttonOf<QRadioButton>(ink, QStringLiteral("Red")), Qt::LeftButton);
    check(m_app.inkValue()->getValue() == 1 && m_app.inkName() == "red" && colour->colour() == QColor(205, 35, 35),
          "the ink is red, and so is the colour button");
    drag(line(QPoint(80, 220), QPoint(300, 260), 8));
    check(strokes() == 2 && m_app.activeDocument()->drawing().strokes().last().colour == QColor(205, 35, 35),
          "the pen draws in red");
    key(Qt::Key_K);
    check(buttonOf<QRadioButton>(ink, QStringLiteral("Black"))->isChecked() && colour->colour() == QColor(20, 20, 20),
          "the radio buttons and the colour button follow the key");
    m_app.transcript().user(QStringLiteral("the model sets the pen colour to green"));
    m_app.penColour()->setInternalValue(30, 140, 60, 255);
    check(colour->colour() == QColor(30, 140, 60) && m_app.inkName() == "#1e8c3c", "the colour button shows the green");

    m_app.transcript().user(QStringLiteral("click \u201cShow the grid\u201d twice, G in between"));
    const bool shown = m_app.grid()->getValue();
    check(grid->isChecked() == shown, "the check box shows whether the grid shows");
    const QImage before = m_canvas->grab().toImage();
    QTest::mouseClick(grid, Qt::LeftButton);
    check(m_app.grid()->getValue() == !shown && m_canvas->grab().toImage() != before,
          "the check box shows or hides the grid on the canvas");
    key(Qt::Key_G);
    check(grid->isChecked() == shown && m_canvas->grab().toImage() == before,
          "G toggles it back, the check box follows");
    if (!shown)
        QTest::mouseClick(grid, Qt::LeftButton);
    check(m_app.grid()->getValue() && grid->isChecked(), "the grid shows");

    m_app.transcript().user(QStringLiteral("press Clear, then Ctrl+Z"));
    check(clear->isEnabled(), "Clear is enabled while there are strokes");
    QTest::mouseClick(clear, Qt::LeftButton);
    check(strokes() == 0 && !clear->isEnabled(), "Clear empties the canvas, and is disabled then");
    key(Qt::Key_Z, Qt::ControlModifier);
    check(strokes() == 2 && clear->isEnabled(), "undo brings the strokes back, and Clear is enabled again");

    m_app.transcript().user(
        QStringLiteral("I over the tool options: the ink menu; rest, move south onto Blue, release"));
    QWidget* window = options->qtWindow();
    window->activateWindow();
    check(QTest::qWaitForWindowActive(window), "the tool-options window is active");
    QCursor::setPos(pane->mapToGlobal(pane->rect().center()));
    QObject pending;
    QTimer::singleShot(restTime, &pending, [this, pane] {
        check(checkedItems() == QStringList{"Black"}, "the menu shows Black checked");
        const tnMarkItem* blue = shownItem(QStringLiteral("Blue"));
        check(blue != nullptr, "the menu offers Blue");
        const QPoint target = blue ? pointIn(pane, blue) : QPoint();
        QTest::mouseMove(pane, target);
        if (const QmarkMenuView* view = QmarkMenuView::findView())
            save(screenshot(QRect(view->geometry().topLeft() + view->getCenter() - QPoint(150, 110), QSize(300, 220))),
                 "ink-menu.png", "the ink's marking menu, popped by I over the tool options, Blue highlighted");
        QTest::mouseRelease(pane, Qt::LeftButton, Qt::NoModifier, target);
    });
    QTimer::singleShot(20000, &pending, [this] {
        check(false, "the ink menu was still open after 20 s");
        if (QmarkMenuView* view = QmarkMenuView::findView())
            view->cancel();
    });
    QTest::keyClick(window, Qt::Key_I);
    check(m_app.inkValue()->getValue() == 2 && buttonOf<QRadioButton>(ink, QStringLiteral("Blue"))->isChecked() &&
              colour->colour() == QColor(35, 75, 205),
          "the menu chose blue: the radio buttons and the colour button follow");

    m_app.transcript().user(QStringLiteral("Alt+A: the Paper page"));
    auto* tabs = pane->findChild<QTabWidget*>();
    QWidget* paper = controlOf(pane, "paperFormat");
    auto* paperList = paper ? paper->findChild<QComboBox*>() : nullptr;
    QWidget* caption = controlOf(pane, "caption");
    auto* field = caption ? caption->findChild<QLineEdit*>() : nullptr;
    const auto visible = [pane](const char* name) {
        const QWidget* control = controlOf(pane, name);
        return control && control->isVisible();
    };
    check(tabs && tabs->count() == 2 && tabs->tabText(0) == "&Pen" && tabs->tabText(1) == "P&aper" &&
              tabs->currentIndex() == 0 && paper && !paper->isVisible(),
          "the options show two pages, Pen and Paper (Alt+P, Alt+A), at Pen");
    QTest::keyClick(window, Qt::Key_A, Qt::AltModifier);
    check(tabs && tabs->currentIndex() == 1 && visible("paperFormat") && visible("paper") && visible("captionFont") &&
              visible("caption"),
          "Alt+A shows the Paper page: format, size, caption font and caption");

    m_app.transcript().user(QStringLiteral("Down in the paper list; then the model picks A4 again"));
    check(paperList && paperList->count() == 2 && paperList->currentText() == "A4" &&
              paperList->itemText(1) == "US Letter",
          "the paper is a drop-down list of A4 and US Letter, at A4");
    if (paperList) {
        QTest::keyClick(paperList, Qt::Key_Down);
        const tnLinear::Tuple2 size = m_app.paper()->evalInternal();
        check(m_app.paperFormat()->getValue() == 1 && std::fabs(size.x - 21.59) < 1e-9 &&
                  std::fabs(size.y - 27.94) < 1e-9,
              "Down picks US Letter: the paper is 21.59 x 27.94 cm");
        m_app.paperFormat()->setValue(0);
        check(paperList->currentIndex() == 0 && std::fabs(m_app.paper()->evalInternal().y - 29.7) < 1e-9,
              "the list follows the model back to A4, and the paper with it");
    }

    m_app.transcript().user(QStringLiteral("type a caption and press Return; type on and press Escape"));
    const auto captionText = [this] { return QString::fromStdWString(m_app.caption()->getValue()->asString().str()); };
    check(field && field->text().isEmpty() && captionText().isEmpty(), "the caption field is there, empty");
    // The canvas as it was last painted on the screen, so that a missing
    // repaint shows.
    const auto canvasShown = [this] {
        const QPoint at = m_canvas->mapTo(m_window->mainWindow(), QPoint(0, 0));
        return QGuiApplication::primaryScreen()
            ->grabWindow(m_window->mainWindow()->winId(), at.x(), at.y(), m_canvas->width(), m_canvas->height())
            .toImage();
    };
    if (field) {
        const QImage plain = canvasShown();
        QTest::mouseClick(field, Qt::LeftButton);
        QTest::keyClicks(field, QStringLiteral("Harbour at dusk"));
        check(captionText().isEmpty(), "typing alone leaves the caption as it was");
        QTest::keyClick(field, Qt::Key_Return);
        check(captionText() == "Harbour at dusk", "Return sets the caption");
        check(QTest::qWaitFor([&] { return canvasShown() != plain; }, 5000), "the canvas shows the caption");
        QTest::keyClicks(field, QStringLiteral(", draft"));
        QTest::keyClick(field, Qt::Key_Escape);
        check(field->text() == "Harbour at dusk" && captionText() == "Harbour at dusk",
              "Escape restores the field, the caption stays");
        save(window->grab().toImage(), "tool-options-paper.png",
             "the tool-options window at its Paper page: format, size, caption font, the caption typed");
        save(m_canvas->grab().toImage(), "caption.png", "the caption along the bottom of the drawing");
        m_app.caption()->getValue()->set("Harbour at night");
        check(field->text() == "Harbour at night", "the field follows the caption the model sets");
    }

    m_app.transcript().user(QStringLiteral("click the tab \u201cPen\u201d"));
    if (tabs)
        QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, Qt::NoModifier, tabs->tabBar()->tabRect(0).center());
    check(tabs && tabs->currentIndex() == 0 && width->isVisible(), "the Pen page shows again");

    m_app.transcript().user(QStringLiteral("the brush tip"));
    const tnUI::ImageValue* tip = m_app.brushTip();
    check(!tip->waiting() && tip->getWidth() == 64 && tip->getHeight() == 40 && tip->getBytesPerPixel() == 4,
          "the brush tip arrived once the pane showed, 64 x 40 pixels");
    const QImage tipImage(tip->getImageData(), tip->getWidth(), tip->getHeight(), QImage::Format_RGBA8888);
    check(tipImage.pixelColor(tip->getWidth() / 2, tip->getHeight() / 2) == QColor(35, 75, 205),
          "the brush tip is drawn in blue");
    m_app.penWidth()->setInternalValue(0.3);
    QCoreApplication::processEvents();
    save(window->grab().toImage(), "tool-options.png",
         "the tool-options window at its Pen page: width with unit and slider, colour, tip, inks, nib angle; "
         "grid, Clear");

    m_app.transcript().user(QStringLiteral("the model adds a note to the options, removes it, and shows them anew"));
    const auto notes = [pane](const QString& text) {
        int n = 0;
        for (const QLabel* label : pane->findChildren<QLabel*>())
            n += label->isVisible() && label->text() == text ? 1 : 0;
        return n;
    };
    tnUI::Arguments* list = m_app.toolOptions()->getArguments();
    const tn::Reference<tnUI::LabelArgument> note(new tnUI::LabelArgument);
    note->setLabel(tn::Reference<tnUI::Label>(new tnUI::Label("Added by the model")));
    list->addArgument(note);
    check(notes(QStringLiteral("Added by the model")) == 1, "the pane shows the added note");
    list->removeArgument(note);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    check(notes(QStringLiteral("Added by the model")) == 0 && note->getRefCount() == 1,
          "the removed note's controls are gone and hold it no longer");
    auto* panes = static_cast<tnUI::ArgumentPaneWidget*>(pane);
    panes->pane()->setArgument(nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    check(!panes->content() && !pane->findChild<tnUI::StepSpinBox*>(), "a pane without an argument shows nothing");
    m_app.penWidth()->setInternalValue(0.25);
    panes->pane()->setArgument(m_app.toolOptions());
    width = controlOf(pane, "width");
    spin = width ? width->findChild<tnUI::StepSpinBox*>() : nullptr;
    check(spin && spin->isVisible() && std::fabs(spin->value() - 2.5) < 1e-9, "shown anew, the width reads 2.50 mm");

    m_app.transcript().user(QStringLiteral("close the window, answer Discard"));
    QWidget* main = m_window->mainWindow();
    const QPointer<QWidget> optionsWindow(window);
    answering([main] { main->close(); },
              [](QMessageBox& question) { QTest::mouseClick(question.button(QMessageBox::Discard), Qt::LeftButton); });
    m_window = nullptr;
    m_canvas = nullptr;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    check(m_app.getNumDocuments() == 0 && !optionsWindow, "the tool-options window goes with its drawing");
}

void Tour::quitWithNothingUnsaved()
{
    openDocument("second");
    m_app.transcript().user(QStringLiteral("a second drawing, Ctrl+Q at once: nothing to save, no question"));
    const int asked =
        answering([this] { quitKey(); }, [](QMessageBox& question) { QTest::keyClick(&question, Qt::Key_Escape); });
    m_window = nullptr;
    m_canvas = nullptr;
    check(asked == 0, "nothing unsaved, nothing asked");
    check(m_app.getNumDocuments() == 0, "the window closes");
}

void Tour::closeAndDiscard()
{
    openDocument("third");
    m_app.transcript().user(QStringLiteral("a third drawing, one stroke, close the window, answer Discard"));
    key(Qt::Key_P);
    drag(line(QPoint(100, 100), QPoint(300, 200), 6));
    const QImage saved(m_app.savePath());
    QWidget* window = m_window->mainWindow();
    const int asked = answering(
        [window] { window->close(); },
        [](QMessageBox& question) { QTest::mouseClick(question.button(QMessageBox::Discard), Qt::LeftButton); });
    m_window = nullptr;
    m_canvas = nullptr;
    check(asked == 1, "the question is asked once");
    check(m_app.getNumDocuments() == 0, "the window closes");
    check(QImage(m_app.savePath()) == saved, "nothing is saved");
}

void Tour::check(bool ok, const QString& what)
{
    if (ok)
        return;
    ++m_failures;
    m_app.transcript().note(QStringLiteral("CHECK FAILED: ") + what);
}

void Tour::drag(const QList<QPoint>& points)
{
    QTest::mousePress(m_canvas, Qt::LeftButton, Qt::NoModifier, points.first());
    for (qsizetype i = 1; i < points.size(); ++i)
        QTest::mouseMove(m_canvas, points[i]);
    QTest::mouseRelease(m_canvas, Qt::LeftButton, Qt::NoModifier, points.last());
}

void Tour::key(int key, Qt::KeyboardModifiers modifiers)
{
    QTest::keyClick(m_canvas, static_cast<Qt::Key>(key), modifiers);
}

void Tour::quitKey()
{
    const int documents = m_app.getNumDocuments();
    const QString question = QStringLiteral("application: a window refused");
    key(Qt::Key_Q, Qt::ControlModifier);
    // Quitting runs from the event loop, after the key's selection is over;
    // it ends with the window closed or refusing.
    check(QTest::qWaitFor(
              [&] { return m_app.getNumDocuments() < documents || m_app.transcript().stepMentions(question); }, 20000),
          "Ctrl+Q closes the window or is refused");
}

int Tour::answering(const std::function<void()>& action, const std::function<void(QMessageBox&)>& answer)
{
    // The question runs its own event loop; a timer looks for it there.
    QObject pending;
    int asked = 0;
    QPointer<QMessageBox> answered;
    auto* look = new QTimer(&pending);
    QObject::connect(look, &QTimer::timeout, &pending, [&] {
        auto* question = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!question || question == answered || question->objectName() != "closeQuestion")
            return;
        answered = question;
        ++asked;
        answer(*question);
    });
    look->start(20);
    action();
    // A Qt window that closed is deleted in the event loop, and its model
    // window closed with it.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return asked;
}

tnUI::CommandMenu* Tour::barMenu(const QString& title) const
{
    const tnUI::CommandMenuBar* bar = m_window->menuBarBinding();
    for (tnUI::CommandMenu* menu : bar ? bar->menus() : QList<tnUI::CommandMenu*>())
        if (menu->title() == title)
            return menu;
    return nullptr;
}

bool Tour::openBarMenu(tnUI::CommandMenu* menu)
{
    if (!menu)
        return false;
    QMenuBar* bar = m_window->mainWindow()->menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->actionGeometry(menu->menuAction()).center());
    return QTest::qWaitFor([menu] { return menu->isVisible(); }, 5000);
}

void Tour::closeMenus()
{
    for (int i = 0; i < 10; ++i) {
        auto* open = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!open)
            return;
        QTest::keyClick(open, Qt::Key_Escape);
    }
    check(false, "Escape closes the open menus");
}

void Tour::openDocument(const char* name)
{
    m_window = m_app.openDocument(name);
    m_canvas = m_window->canvas();
    QCoreApplication::processEvents();
    check(m_window->mainWindow()->isVisible(), "the document window is shown");
}

void Tour::hover(const QPoint& p)
{
    QMouseEvent event(QEvent::MouseMove, p, m_canvas->mapToGlobal(QPointF(p)), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(m_canvas, &event);
}

void Tour::popMenu(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint& p, const QList<Step>& steps)
{
    // Timers that have not fired when the menu returns die with this object.
    QObject pending;
    qsizetype done = 0;
    for (const Step& step : steps)
        QTimer::singleShot(step.first, &pending, [&done, action = step.second] {
            action();
            ++done;
        });
    QTimer::singleShot(20000, &pending, [this, button, modifiers, p] {
        check(false, "the menu was still open after 20 s");
        QTest::mouseRelease(m_canvas, button, modifiers, p);
    });
    QTest::mousePress(m_canvas, button, modifiers, p);
    // The menu begins once the press is delivered, in the event loop, and
    // runs its own until the last step ends it.
    check(QTest::qWaitFor([&] { return done == steps.size() && !QmarkMenuView::findView(); }, 25000),
          "the menu ends after the last step");
}

tnMarkMenu* Tour::shownMenu()
{
    const QmarkMenuView* view = QmarkMenuView::findView();
    return view && view->isVisible() ? view->getCurrentMenu() : nullptr;
}

QStringList Tour::checkedItems()
{
    QStringList labels;
    if (tnMarkMenu* menu = shownMenu())
        for (const tnMarkItem* item : menu->getItems())
            if (const auto* menuItem = dynamic_cast<const tnMarkMenuItem*>(item); menuItem && menuItem->isChecked())
                labels.append(labelOf(item));
    labels.sort();
    return labels;
}

tnMarkItem* Tour::shownItem(const QString& label)
{
    if (tnMarkMenu* menu = shownMenu())
        for (tnMarkItem* item : menu->getItems())
            if (labelOf(item) == label)
                return item;
    return nullptr;
}

QString Tour::labelOf(const tnMarkItem* item)
{
    return item ? QString::fromStdWString(item->getLabel().str()) : QString();
}

QPoint Tour::canvasPoint(const tnMarkItem* item) const
{
    return pointIn(m_canvas, item);
}

QPoint Tour::pointIn(const QWidget* w, const tnMarkItem* item)
{
    // Item boxes are relative to the menu's centre with y up.
    float left = 0, bottom = 0, right = 0, top = 0;
    item->getBox(left, bottom, right, top);
    const QmarkMenuView* view = QmarkMenuView::findView();
    const QPoint inView = view->getCenter() + QPoint(qRound((left + right) / 2), -qRound((bottom + top) / 2));
    return w->mapFromGlobal(view->geometry().topLeft() + inView);
}

QImage Tour::screenshot(const QRect& area) const
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QImage image(screen.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(72, 78, 92));
    QPainter painter(&image);
    // Open menus, then the marking menu's view, cover every other window.
    QWidget* view = QmarkMenuView::findView();
    QList<QWidget*> windows{m_window->mainWindow()};
    QList<QWidget*> menus;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible() && widget != view && !windows.contains(widget))
            (qobject_cast<QMenu*>(widget) ? menus : windows).append(widget);
    windows.append(menus);
    if (view)
        windows.append(view);
    for (QWidget* widget : windows)
        painter.drawPixmap(widget->geometry().topLeft() - screen.topLeft(), widget->grab());
    painter.end();
    return image.copy(area.translated(-screen.topLeft()));
}

void Tour::save(const QImage& image, const QString& name, const QString& what)
{
    const bool written = image.save(m_output.filePath(name));
    check(written, QStringLiteral("%1 is written").arg(name));
    if (!written)
        return;
    m_files.append(QStringLiteral("%1: %2").arg(name, what));
    m_app.transcript().note(QStringLiteral("picture: %1").arg(name));
}

QRect Tour::around(const QPoint& canvasPoint, int left, int top, int width, int height) const
{
    return QRect(m_canvas->mapToGlobal(canvasPoint) + QPoint(left, top), QSize(width, height));
}

int Tour::strokes() const
{
    const SketchDocument* document = m_app.activeDocument();
    return document ? static_cast<int>(document->drawing().strokes().size()) : -1;
}

QString Tour::currentTool() const
{
    const tnUI::CommandInstance* tool =
        m_window ? m_window->getCommandController().getCurrentContinuousCommand() : nullptr;
    return tool ? QString::fromUtf8(tool->getName()->asChar()) : QString();
}
