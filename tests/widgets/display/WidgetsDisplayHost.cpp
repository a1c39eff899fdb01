// A host of the Qt binding alone, for driving it at a real X display: a
// main window covering the screen, bound to a document window, with a menu
// bar compiled from command groups (File: Quit; Edit: Undo, Redo; Tools:
// Pen, Line), whose keys are real shortcuts through the window's command
// controller; a canvas whose input goes to the controller, with G bound
// there alone; and the plain QMenu "Shapes" (Circle, Square, Triangle,
// Star at North, East, South, West) popped as a marking menu by the right
// button. What the driver waits for is written to standard output, one
// flushed line each:
//   title <text> <x> <y>    the centre of a menu's title in the bar
//   ready                   the window is up
//   item <text> <x> <y>     the centre of an entry of a menu just painted
//   shown <title>           after its items: that menu is on screen
//   run <command>           a one-shot command ran
//   tool <name>             a tool became the current one
//   <tool> press | key <K>  the current tool got a left press, a key press
//   triggered <text>        an action of the Shapes menu was triggered
// Ctrl+Q (File, Quit) closes the window through the model, which ends the
// program with exit code 0.
//
// Usage: widgets_display_host

#include <tnUI/tnUIWidgets.h>

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <functional>

namespace {

using tnString::CString;

void say(const QString& line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

// An action's text as a person reads it: no mnemonic marks, no key.
QString plain(const QAction* action)
{
    return action->text().section(QLatin1Char('\t'), 0, 0).remove(QLatin1Char('&'));
}

QString global(const QWidget* w, QPoint p)
{
    p = w->mapToGlobal(p);
    return QStringLiteral("%1 %2").arg(p.x()).arg(p.y());
}

// A tool that reports its selection, its left presses and its keys.
class Tool : public tnUI::ContinuousCommandDefn {
public:
    explicit Tool(const char* name) : ContinuousCommandDefn(CString(name)) {}
    void commandSelected(tnUI::CallInfo&) override { say(QStringLiteral("tool ") + nameAsChar()); }
    void newInteraction(tnUI::CallInfo&, bool) override {}
    void commandUnselected(tnUI::CallInfo&) override {}
    void start(tnUI::CallInfo&) override {}
    void stop(tnUI::CallInfo&) override {}
    void handleEvent(tnUI::CallInfo&, tnUI::TabletEvent&) override {}
    void handleEvent(tnUI::CallInfo&, tnUI::WheelEvent&) override {}
    void handleEvent(tnUI::CallInfo&, tnUI::MouseEvent& e) override
    {
        if (e.isPress() && e.getButton() == tnUI::MouseEvent::Left)
            say(QString::fromUtf8(nameAsChar()) + QStringLiteral(" press"));
    }
    void handleEvent(tnUI::CallInfo&, tnUI::KeyEvent& e) override
    {
        if (e.isPressed() && (e.getKey() < tnUI::KeyName::Shift || e.getKey() > tnUI::KeyName::Meta))
            say(QString::fromUtf8(nameAsChar()) + QStringLiteral(" key ") + tnUI::enumName(e.getKey(), true));
    }
};

class Command : public tnUI::MomentaryCommandDefn {
public:
    Command(const char* name, std::function<void()> also = {})
        : MomentaryCommandDefn(CString(name)), m_also(std::move(also))
    {}
    void execute(tnUI::CallInfo&) override
    {
        say(QStringLiteral("run ") + nameAsChar());
        if (m_also)
            m_also();
    }

private:
    std::function<void()> m_also;
};

class HostWindow : public tnUI::DocumentWindow {
public:
    explicit HostWindow(tnUI::DocumentInstance* instance) : DocumentWindow(instance) {}
    void realizeWindow() override { raiseWindow(); }
};

// Announces the menu bar's titles and "ready" once the canvas is painted,
// and every menu's entries once it is painted after showing.
class Watcher : public QObject {
public:
    // Only compared: the window may be half destroyed when it is watched.
    explicit Watcher(QMainWindow* main) : m_canvas(main->centralWidget()), m_bar(main->menuBar()) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!m_ready && watched == m_canvas && event->type() == QEvent::Paint) {
            m_ready = true;
            QTimer::singleShot(0, m_bar, [bar = m_bar] {
                for (QAction* a : bar->actions())
                    say(QStringLiteral("title %1 %2").arg(plain(a), global(bar, bar->actionGeometry(a).center())));
                say(QStringLiteral("ready"));
            });
        }
        auto* menu = qobject_cast<QMenu*>(watched);
        if (menu && event->type() == QEvent::Hide)
            m_announced.removeAll(menu);
        if (menu && event->type() == QEvent::Paint && !m_announced.contains(menu)) {
            m_announced.append(menu);
            // After the paint, so that the menu is on screen.
            QTimer::singleShot(0, menu, [menu] {
                for (QAction* a : menu->actions())
                    if (a->isVisible() && !a->isSeparator())
                        say(QStringLiteral("item %1 %2").arg(plain(a), global(menu, menu->actionGeometry(a).center())));
                say(QStringLiteral("shown ") + plain(menu->menuAction()));
            });
        }
        return false;
    }

private:
    const QObject* m_canvas;
    QMenuBar* m_bar;
    bool m_ready = false;
    QList<QPointer<QMenu>> m_announced;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication qtApp(argc, argv);
    tnUI::Application::setFontName(tnString::IString(QApplication::font().family().toStdWString()));
    tnUI::Application::setNormalFontSize(QApplication::font().pointSize());
    QmarkMenuView::setShowItemsDelay(1000);

    const tn::Reference<tnUI::Application> app(new tnUI::Application);
    auto* instance = new tnUI::DocumentInstance(new tnUI::Document(app));
    auto* window = new HostWindow(instance);
    window->setLabel(new tnUI::Label("tnUI widgets display host"));
    auto* main = new QMainWindow(nullptr, Qt::FramelessWindowHint);
    tnUI::WidgetWindowImpl::bind(main, window);
    auto* canvas = new QWidget;
    canvas->setFocusPolicy(Qt::StrongFocus);
    canvas->setAutoFillBackground(true);
    canvas->setPalette(QColor(43, 138, 160));
    main->setCentralWidget(canvas);
    Watcher watcher(main);
    qtApp.installEventFilter(&watcher);

    std::vector<tn::Reference<tnUI::CommandInstance>> commands;
    const auto command = [&](tnUI::CommandDefn* defn, const char* label, const char* key) {
        defn->setLabel(new tnUI::Label(label));
        app->addCommand(defn);
        commands.emplace_back(new tnUI::CommandInstance(defn));
        commands.back()->setKeybinding(new tnUI::Keybinding(CString(key)));
        return commands.back().get();
    };
    const auto group = [](const char* label, std::initializer_list<tnUI::Element*> elements) {
        tn::Reference<tnUI::CommandGroup> g(new tnUI::CommandGroup);
        g->setLabel(new tnUI::Label(label));
        for (tnUI::Element* e : elements)
            g->appendItem(e);
        return g;
    };
    // Quitting closes the window through the model, once the key is done.
    tnUI::CommandInstance* quit =
        command(new Command("quit", [&app] { QTimer::singleShot(0, qApp, [&app] { app->closeAllWindows(); }); }),
                "&Quit", "Ctrl+Q");
    tnUI::CommandInstance* undo = command(new Command("undo"), "&Undo", "Ctrl+Z");
    tnUI::CommandInstance* redo = command(new Command("redo"), "&Redo", "Ctrl+Y");
    tnUI::CommandInstance* pen = command(new Tool("pen"), "&Pen", "P");
    tnUI::CommandInstance* line = command(new Tool("line"), "&Line", "L");
    const auto bar =
        group("Menu bar", {group("&File", {quit}), group("&Edit", {undo, redo}), group("&Tools", {pen, line})});
    (new tnUI::CommandMenuBar(main->menuBar(), bar, {}))->setShortcutWindow(window);
    // G only where the canvas's keys go.
    auto* forwarder = new tnUI::InputForwarder(canvas, instance, canvas);
    forwarder->setKeybindings(group("Keys", {command(new Command("grid"), "Grid", "G")}));

    auto* shapes = new QMenu(QStringLiteral("&Shapes"), main);
    for (const char* text : {"Circle", "Square", "Triangle", "Star"})
        shapes->addAction(QString::fromLatin1(text));
    QObject::connect(shapes, &QMenu::triggered, [](QAction* a) { say(QStringLiteral("triggered ") + a->text()); });
    new tnUI::MarkingMenuTrigger(canvas, shapes);

    window->selectCommand(pen);
    main->setGeometry(QGuiApplication::primaryScreen()->geometry());
    window->raiseWindow();
    canvas->setFocus();
    const int result = QApplication::exec();
    app->closeAllWindows();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return result;
}
