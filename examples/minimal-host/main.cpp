// A minimal host of tnUI, the way to start: a drawing window with a menu bar,
// two tools, tool options and a marking menu. `--check <folder>`: check.cpp.

#include <tnUI/tnUIWidgets.h>

#include <QApplication>
#include <QDockWidget>
#include <QMainWindow>
#include <QPainter>

int runCheck(QMainWindow& window, const QString& folder);

namespace {

// The drawing, its pen, and the pictures before each stroke for Undo.
struct Canvas : QWidget {
    Canvas()
    {
        picture.fill(Qt::white);
        setFixedSize(picture.size());
        setFocusPolicy(Qt::StrongFocus);
        setAccessibleName(QStringLiteral("Drawing"));
    }
    void paintEvent(QPaintEvent*) override { QPainter(this).drawImage(0, 0, picture); }

    QImage picture{560, 400, QImage::Format_RGB32};
    QList<QImage> history;
    const tn::Reference<tnUI::IntValue> penWidth{new tnUI::IntValue(4)};
    const tn::Reference<tnUI::ColorValue> penColour = tnUI::ColorValue::FromRgba(30, 60, 170, 255);
    const tn::Reference<tnUI::BoolValue> canUndo{new tnUI::BoolValue(false)}; // Undo's enabled expression
};

// A tool's state in the document: while the left button is held it draws
// along the pointer's path, or a dot wherever the pointer is reported.
struct Brush : tnUI::ContinuousCommandState {
    Brush(const tnUI::CallInfo& c, Canvas* canvas, bool dots) : ContinuousCommandState(c), canvas(canvas), dots(dots) {}
    void commandSelected(tnUI::CallInfo&) override { current->setValue(true); }
    void commandUnselected(tnUI::CallInfo&) override { current->setValue(false); }
    void handleEvent(tnUI::CallInfo&, tnUI::MouseEvent& e) override
    {
        const QPointF p(e.getLocalXY().x, e.getLocalXY().y);
        drawing = drawing && e.getButton() == tnUI::MouseEvent::Left; // released, or another button
        if (!canvas || e.getButton() != tnUI::MouseEvent::Left)
            return;
        if (!drawing) { // a new stroke
            canvas->history.append(canvas->picture);
            canvas->canUndo->setValue(true);
        }
        int c[4];
        canvas->penColour->evalBytes(c);
        QPainter painter(&canvas->picture);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(c[0], c[1], c[2]), canvas->penWidth->getValue(), Qt::SolidLine, Qt::RoundCap));
        (dots || !drawing) ? painter.drawPoint(p) : painter.drawLine(last, p);
        canvas->update();
        drawing = true;
        last = p;
    }

    QPointer<Canvas> canvas;
    bool dots;
    const tn::Reference<tnUI::BoolValue> current{new tnUI::BoolValue(false)}; // the command's checked expression
    bool drawing = false;
    QPointF last;
};

struct Undo : tnUI::MomentaryCommandDefn {
    explicit Undo(Canvas* canvas) : MomentaryCommandDefn(tnString::CString("undo")), canvas(canvas) {}
    void execute(tnUI::CallInfo&) override
    {
        if (!canvas || canvas->history.isEmpty())
            return;
        canvas->picture = canvas->history.takeLast();
        canvas->canUndo->setValue(!canvas->history.isEmpty());
        canvas->update();
    }
    QPointer<Canvas> canvas;
};

struct DrawingWindow : tnUI::DocumentWindow {
    explicit DrawingWindow(tnUI::DocumentInstance* instance) : DocumentWindow(instance) {}
    void realizeWindow() override { raiseWindow(); }
};

} // namespace

int main(int argc, char** argv)
{
    const bool check = argc == 3 && QByteArray(argv[1]) == "--check";
    if (check)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qtApp(argc, argv);
    tnUI::Application::setFontName(tnString::IString(QApplication::font().family().toStdWString()));
    tnUI::Application::setNormalFontSize(QApplication::font().pointSize()); // for the marking menus

    // The model: an application with a document, shown in a main window.
    const tn::Reference<tnUI::Application> app(new tnUI::Application);
    auto* instance = new tnUI::DocumentInstance(new tnUI::Document(app));
    auto* window = new DrawingWindow(instance);
    auto* main = new QMainWindow;
    tnUI::WidgetWindowImpl::bind(main, window);
    window->setLabel(new tnUI::Label("Minimal host")); // the title
    const QPointer<Canvas> canvas = new Canvas;
    main->setCentralWidget(canvas);

    // The commands: two tools with their state in the document, and Undo.
    const auto command = [&](tnUI::CommandDefn* defn, const char* label, const char* key, int place) {
        defn->setLabel(new tnUI::Label(label));
        app->addCommand(defn);
        tn::Reference<tnUI::CommandInstance> c(new tnUI::CommandInstance(defn));
        c->setKeybinding(new tnUI::Keybinding(tnString::CString(key)));
        c->setOrderValue(place); // in the marking menu: 1 North, then clockwise
        return c;
    };
    const auto tool = [&](const char* name, const char* label, const char* key, int place, bool dots) {
        auto c = command(new tnUI::ContinuousCommandDefn(tnString::CString(name)), label, key, place);
        c->setGroupedName(tnString::CString("tools")); // radio items in the menus
        const tn::Reference<Brush> brush(new Brush(tnUI::CallInfo(nullptr, window, instance, c), canvas, dots));
        c->setInstanceState(brush);
        c->setCheckedExpression(brush->current);
        return c;
    };
    const auto penTool = tool("pen", "Pen", "P", 1, false);
    const auto dotsTool = tool("dots", "Dots", "D", 3, true);
    const auto undo = command(new Undo(canvas), "Undo", "Ctrl+Z", 7);
    undo->setEnabledExpression(canvas->canUndo);

    // Groups of them: the menu bar, and the marking menu.
    const auto group = [](const char* label, std::initializer_list<tnUI::Element*> elements) {
        tn::Reference<tnUI::CommandGroup> g(new tnUI::CommandGroup);
        g->setLabel(new tnUI::Label(label));
        for (tnUI::Element* e : elements)
            g->appendItem(e);
        return g;
    };
    const auto bar = group("Menu bar", {group("&Edit", {undo}), group("&Tools", {penTool, dotsTool})});
    const auto marking = group("Drawing", {penTool, dotsTool, undo});
    marking->setLayoutPreference(tnUI::Group::Radial);

    // The menu bar; its keys are shortcuts through the window's controller.
    (new tnUI::CommandMenuBar(main->menuBar(), bar, {}))->setShortcutWindow(window);

    // The tool options in a dock: the width with a slider, the colour.
    canvas->penWidth->setRange(1, 40);
    const tn::Reference<tnUI::ValueArgument> width(new tnUI::ValueArgument(canvas->penWidth));
    width->setLabel(new tnUI::Label("Width"));
    width->setArgumentControlHint(tnUI::EArgumentControlHint::Slider);
    const tn::Reference<tnUI::ValueArgument> colour(new tnUI::ValueArgument(canvas->penColour));
    colour->setLabel(new tnUI::Label("Colour"));
    const tn::Reference<tnUI::Arguments> options(new tnUI::Arguments);
    options->addArgument(width);
    options->addArgument(colour);
    const tn::Reference<tnUI::ArgumentPane> pane(new tnUI::WidgetArgumentPane(new tnUI::GroupOfArguments(options)));
    auto* dock = new QDockWidget(QStringLiteral("Tool options"), main);
    dock->setWidget(pane->realizePane());
    main->addDockWidget(Qt::RightDockWidgetArea, dock);

    // The canvas's input goes to the tool through the controller; the right
    // button pops the marking menu (installed last, it sees presses first).
    new tnUI::InputForwarder(canvas, instance, canvas);
    (new tnUI::MarkingMenuTrigger(canvas, marking))->setWindow(window);

    window->selectCommand(penTool);
    window->raiseWindow();
    const int result = check ? runCheck(*main, QString::fromLocal8Bit(argv[2])) : QApplication::exec();
    app->closeAllWindows();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the closed widgets go
    return result;
}
