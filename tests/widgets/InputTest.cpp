// The translation of Qt's input into the library's events, and the forwarder
// that hands a widget's input to a document's command controller.

// Mouse input goes through the window, as a user's does, so that Qt's
// implicit grab and double clicks are its own.
#define QTEST_QPA_MOUSE_HANDLING

#include "commands/CommandTestSupport.h"

#include <tnUI/tnUIWidgets.h>

#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <memory>
#include <sstream>

namespace {

using namespace tnUI;
using tnUITest::joined;
using tnUITest::Log;

// The values, separated by spaces.
template <class T, class... More>
std::string str(const T& first, const More&... more)
{
    std::ostringstream out;
    out << first;
    ((out << ' ' << more), ...);
    return out.str();
}

// The three positions: local, in the window, on the screen.
std::string at(const PositionEvent& e)
{
    const auto xy = [](const tnLinear::Point2& p) { return str(p.x) + ',' + str(p.y); };
    return str(xy(e.getLocalXY()), xy(e.getWindowXY()), xy(e.getScreenXY()));
}

TEST(InputTranslation, Table)
{
    QWidget top;
    auto* child = new QWidget(&top);
    child->move(50, 40);
    const QPointF p(10, 20), g(510, 420);
    using D = QInputDevice::DeviceType;
    using P = QPointingDevice::PointerType;
    const QPointingDevice rotating("r", 1, D::Stylus, P::Pen, QInputDevice::Capability::Rotation, 1, 3, {},
                                   QPointingDeviceUniqueId::fromNumericId(77));
    const QPointingDevice airbrush("a", 2, D::Airbrush, P::Eraser, {}, 1, 3),
        stylus("s", 3, D::Stylus, P::Pen, {}, 1, 3);
    const auto m = [&](QEvent::Type t, Qt::MouseButton b, Qt::MouseButtons held, Qt::KeyboardModifiers mods = {},
                       const QTransform& toLocal = {}) {
        const MouseEvent e = toMouseEvent(QMouseEvent(t, p, g, b, held, mods), *child, toLocal);
        return str(e.getButton(), e.getClickCount(), e.getModifiers(), e.getButtons(), at(e));
    };
    const auto t = [&](QEvent::Type type, const QPointingDevice& d, Qt::MouseButton b, Qt::MouseButtons held) {
        const TabletEvent e =
            toTabletEvent(QTabletEvent(type, &d, p, g, 0.75, 30, -20, 0, 45, 0, Qt::ShiftModifier, b, held), *child);
        return str(e.getType(), e.getDevice(), e.getPointerType(), e.getPressure(), e.getTilt().x, e.getTilt().y,
                   e.getRotation(), e.isSideButtonDown(), e.getModifiers(), e.getSerial(), at(e));
    };
    const auto w = [&](int pixelY, int angleX, int angleY) {
        const QWheelEvent e(p, g, QPoint(0, pixelY), QPoint(angleX, angleY), {}, Qt::ControlModifier, Qt::NoScrollPhase,
                            false);
        const WheelEvents r = toWheelEvents(e, *child);
        std::string s;
        for (int i = 0; i < r.count; ++i)
            s += str(i ? ";" : "", r.events[i].getOrientation(), r.events[i].getDelta(), r.events[i].getModifiers());
        return s;
    };
    const auto k = [&](QEvent::Type type, int key, Qt::KeyboardModifiers mods = {}, bool repeat = false) {
        const std::optional<KeyEvent> e = toKeyEvent(QKeyEvent(type, key, mods, QString(), repeat), *child);
        return e ? str(enumName(e->getKey(), true), e->isPressed(), e->getModifiers()) : "nothing";
    };
    using Q = QEvent;
    constexpr auto L = Qt::LeftButton, M = Qt::MiddleButton, R = Qt::RightButton;
    const auto all = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier | Qt::KeypadModifier;
    // Mouse: button, clicks, modifiers, buttons held; tablet: type, device,
    // pointer, pressure, tilt, rotation, side button, modifiers, serial;
    // wheel: orientation, delta, modifiers; key: name, pressed, modifiers.
    // A barrel button is no touch of the tip; a high-resolution wheel's
    // eighth of a notch stays what it is.
    const struct {
        std::function<std::string()> translate;
        const char* expected;
    } table[] = {
        {[&] { return m(Q::MouseButtonPress, L, L); }, "2 1 0 1 10,20 60,60 510,420"},
        {[&] { return m(Q::MouseButtonDblClick, R, R, all); }, "4 2 15 4 10,20 60,60 510,420"},
        {[&] { return m(Q::MouseMove, Qt::NoButton, M | L); }, "2 0 0 3 10,20 60,60 510,420"},
        {[&] { return m(Q::MouseMove, Qt::NoButton, {}, {}, QTransform::fromScale(0.5, 2)); },
         "0 0 0 0 5,40 60,60 510,420"},
        {[&] { return m(Q::MouseButtonRelease, L, R); }, "1 0 0 4 10,20 60,60 510,420"},
        {[&] { return m(Q::MouseButtonPress, Qt::ExtraButton3, Qt::ExtraButton3 | Qt::BackButton); },
         "7 1 0 40 10,20 60,60 510,420"},
        {[&] { return t(Q::TabletPress, rotating, L, L); }, "0 5 1 0.75 30 -20 45 0 1 77 10,20 60,60 510,420"},
        {[&] { return t(Q::TabletMove, airbrush, Qt::NoButton, L); }, "1 3 2 0.75 30 -20 45 0 1 0 10,20 60,60 510,420"},
        {[&] { return t(Q::TabletPress, stylus, R, R); }, "2 2 1 0.75 30 -20 45 1 1 0 10,20 60,60 510,420"},
        {[&] { return t(Q::TabletRelease, stylus, L, {}); }, "3 2 1 0.75 30 -20 45 0 1 0 10,20 60,60 510,420"},
        {[&] { return w(3, 0, 15); }, " 0 15 2"},
        {[&] { return w(0, -30, 120); }, " 0 120 2; 1 -30 2"},
        {[&] { return w(-6, 0, 0); }, " 0 -12 2"},
        {[&] { return w(0, 0, 0); }, ""},
        {[&] { return k(Q::KeyPress, Qt::Key_A, Qt::ControlModifier); }, "A 1 2"},
        {[&] { return k(Q::KeyPress, Qt::Key_5, Qt::KeypadModifier); }, "Num5 1 0"},
        {[&] { return k(Q::KeyPress, Qt::Key_Plus, Qt::ShiftModifier); }, "+ 1 1"},
        {[&] { return k(Q::KeyPress, Qt::Key_Backtab, Qt::ShiftModifier); }, "Tab 1 1"},
        {[&] { return k(Q::KeyPress, Qt::Key_Exclam, Qt::ShiftModifier); }, "None 1 1"},
        {[&] { return k(Q::KeyPress, Qt::Key_Z, {}, true); }, "Z 1 0"},
        {[&] { return k(Q::KeyRelease, Qt::Key_Z, {}, true); }, "nothing"},
        {[&] { return k(Q::KeyRelease, Qt::Key_F13); }, "F13 0 0"},
    };
    for (const auto& row : table)
        EXPECT_EQ(row.translate(), row.expected);
}

// A tool that also names its keys, leaving the modifiers out ("pen.Key Z",
// "pen.Key Z up"); the rest as LoggingTool does.
class Tool : public tnUITest::LoggingTool {
public:
    Tool(const char* name, Log& log) : LoggingTool(name, log), m_log(log), m_name(name) {}

    void handleEvent(CallInfo&, KeyEvent& e) override
    {
        if (e.getKey() < KeyName::Shift || e.getKey() > KeyName::Meta)
            m_log.push_back(m_name + ".Key " + enumName(e.getKey(), true) + (e.isPressed() ? "" : " up"));
    }

private:
    Log& m_log;
    std::string m_name;
};

// A shown window whose canvas, a child widget at (50, 40), forwards its input
// to the document instance, where the tool "pen" is current.
class ForwarderTest : public tnUITest::ShownDocumentTest {
protected:
    void SetUp() override
    {
        ShownDocumentTest::SetUp();
        window->selectCommand(command(pen = new Tool("pen", log)));
        top->resize(300, 200);
        canvas->setGeometry(50, 40, 100, 80);
        forwarder = std::make_unique<InputForwarder>(canvas, instance);
        top->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(top.get()));
        log.clear();
    }
    void TearDown() override
    {
        forwarder.reset();
        top.reset();
        commands.clear();
        ShownDocumentTest::TearDown();
    }

    CommandInstance* command(CommandDefn* d, const char* key = nullptr)
    {
        commands.emplace_back(new CommandInstance(d));
        if (key)
            commands.back()->setKeybinding(new Keybinding(tnString::CString(key)));
        return commands.back().get();
    }

    Log log;
    Tool* pen = nullptr;
    std::vector<tn::Reference<CommandInstance>> commands;
    std::unique_ptr<QWidget> top = std::make_unique<QWidget>();
    QPointer<QWidget> canvas = new QWidget(top.get());
    std::unique_ptr<InputForwarder> forwarder;
};

TEST_F(ForwarderTest, MouseDragsGoOnOutsideTheWidget)
{
    QTest::mousePress(canvas, Qt::LeftButton, {}, QPoint(10, 20));
    QTest::mouseMove(canvas, QPoint(-30, 50));
    QTest::mouseMove(canvas, QPoint(-60, 200)); // outside the window too
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, QPoint(-60, 200));
    QTest::mouseMove(canvas, QPoint(5, 5)); // the pen does not ask for plain motions
    pen->setAllMotionEvents(true);
    QTest::mouseMove(canvas, QPoint(7, 7));
    EXPECT_EQ(joined(log), "pen.Mouse press 10 pen.Mouse drag -30 pen.Mouse drag -60 pen.Mouse release -60 "
                           "pen.Mouse motion 7");
}

TEST_F(ForwarderTest, KeybindingsSelectTheirCommands)
{
    auto* undo = new tnUITest::LoggingMomentary("undo", log);
    const Window* undoneIn = nullptr;
    undo->onExecute = [&](CallInfo& call) { undoneIn = call.getWindow(); };
    const tn::Reference<CommandGroup> edit(new CommandGroup), bar(new CommandGroup);
    edit->appendItem(command(undo, "Ctrl+Z"));
    edit->appendItem(command(new tnUITest::LoggingMomentary("off", log), "K"));
    commands.back()->setEnabledExpression(new BoolValue(false));
    edit->appendItem(command(new tnUITest::LoggingMomentary("zoom", log), "Ctrl+Plus"));
    bar->appendItem(edit.get());
    bar->appendItem(command(new Tool("line", log), "L"));
    bar->setName(tnString::CString("bar"));
    app->addMenu(bar.get());
    app->setMenuBar(tnString::CString("bar"));
    const QSignalSpy pressed(forwarder.get(), &InputForwarder::keybindingPressed);

    QTest::keyClick(canvas, Qt::Key_Z, Qt::ControlModifier);
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Z, Qt::ControlModifier, QString(), true);
    QApplication::sendEvent(canvas, &repeat); // a held key selects once
    QTest::keyClick(canvas, Qt::Key_K);       // disabled
    QTest::keyClick(canvas, Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(canvas, Qt::Key_L);
    EXPECT_EQ(joined(log), "pen.Key Z pen.Stop undo.Execute pen.Start pen.Key Z up pen.Key Z pen.Key K pen.Key K up "
                           "pen.Key + pen.Stop zoom.Execute pen.Start pen.Key + up pen.Key L pen.Stop pen.Unselected "
                           "line.Selected line.NewInteraction(new) line.Start line.Key L up");
    EXPECT_EQ(undoneIn, window);

    // A command whose key comes during a drag may wait for its end.
    log.clear();
    forwarder->setKeybindingsWaitForDrag(true);
    QTest::mousePress(canvas, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::keyClick(canvas, Qt::Key_Z, Qt::ControlModifier);
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_EQ(joined(log), "line.Mouse press 10 line.Key Z line.Key Z up line.Mouse drag 20 line.Mouse release 20 "
                           "line.Stop undo.Execute line.Start");
    ASSERT_EQ(pressed.count(), 4);
    EXPECT_TRUE(pressed.at(3).at(1).toBool());

    log.clear();
    forwarder->setKeybindings(nullptr);
    QTest::keyClick(canvas, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(joined(log), "line.Key Z line.Key Z up");
}

TEST_F(ForwarderTest, TabletInputIsDeliveredOnce)
{
    // Not consumed, a tablet event goes on to the widget, which ignores it,
    // and Qt makes mouse events of it; a platform's may come from its mouse.
    forwarder->setConsumeEvents(false);
    const QPointingDevice stylus("s", 9, QInputDevice::DeviceType::Stylus, QPointingDevice::PointerType::Pen, {}, 1, 3);
    const auto send = [&](QEvent::Type tabletType, QEvent::Type mouseType, int x, Qt::MouseButton b,
                          Qt::MouseButtons held, const QPointingDevice* mouseDevice) {
        const QPointF p(x, 10), g = canvas->mapToGlobal(p);
        QTabletEvent t(tabletType, &stylus, p, g, 0.5, 0, 0, 0, 0, 0, {}, b, held);
        QApplication::sendEvent(canvas, &t);
        EXPECT_FALSE(t.isAccepted());
        QMouseEvent m(mouseType, p, p, g, b, held, {}, Qt::MouseEventSynthesizedByQt, mouseDevice);
        QApplication::sendEvent(canvas, &m);
    };
    send(QEvent::TabletPress, QEvent::MouseButtonPress, 10, Qt::LeftButton, Qt::LeftButton, &stylus);
    send(QEvent::TabletMove, QEvent::MouseMove, 20, {}, Qt::LeftButton, QPointingDevice::primaryPointingDevice());
    send(QEvent::TabletRelease, QEvent::MouseButtonRelease, 30, Qt::LeftButton, {}, &stylus);
    forwarder->setConsumeEvents(true);
    QTest::mouseClick(canvas, Qt::LeftButton, {}, QPoint(40, 10));
    QWheelEvent wheel(QPointF(5, 5), QPointF(), {}, QPoint(-30, 15), {}, {}, Qt::NoScrollPhase, false);
    QApplication::sendEvent(canvas, &wheel);
    EXPECT_TRUE(wheel.isAccepted());
    EXPECT_EQ(joined(log), "pen.Tablet press 10 pen.Tablet drag 20 pen.Tablet release 30 pen.Mouse press 40 "
                           "pen.Mouse release 40 pen.Wheel 15 pen.Wheel -30");
}

TEST_F(ForwarderTest, EitherSideMayGoFirst)
{
    // The tool closes the widget in the middle of an event.
    pen->onCall = [&](const std::string&) { delete canvas.data(); };
    QTest::mousePress(canvas, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(forwarder->widget(), nullptr);
    pen->onCall = nullptr;

    // The document instance dies while attached: the events go nowhere.
    auto* other = new QWidget(top.get());
    forwarder->attach(other, instance);
    EXPECT_TRUE(other->hasMouseTracking());
    doc->removeInstance(instance);
    EXPECT_EQ(forwarder->controller(), nullptr);
    QTest::mouseClick(other, Qt::LeftButton);
    QTest::keyClick(other, Qt::Key_A);
    EXPECT_EQ(joined(log), "pen.Mouse press 10");

    // The forwarder goes first: the widget is as it was.
    forwarder.reset();
    EXPECT_FALSE(other->hasMouseTracking());

    // The application's controller dies with the application.
    InputForwarder appForwarder;
    appForwarder.attach(other, &app->getCommandController());
    app = nullptr;
    EXPECT_EQ(appForwarder.controller(), nullptr);
    QTest::mouseClick(other, Qt::LeftButton);
}

} // namespace
