// A host for driving the pop-up marking menus at a real X display: one
// frameless window covering the screen, painted with a checkerboard so that
// its pixels are recognisable in a screenshot. The right button pops a radial
// menu of eight commands at the compass points, the middle button a list of
// three, and the left button is only echoed. From the keyboard, the Menu key
// opens the radial menu and L the list, at the pointer, ready for the keys.
// Everything the driver waits
// for is written to standard output, one flushed line each:
//   item <label> <left> <top> <right> <bottom>  box of a list item, in pixels
//                                              from the point the list pops at
//   ready                    the window has been exposed and painted
//   chosen <label> | none    what a menu returned
//   click <x> <y>            a left press reached the window
// Ctrl+Q quits with exit code 0.
//
// Usage: markingmenu_display_host [--show-items-delay ms] [--gesture-feedback ms]

#include <tnUI/application/Application.h>
#include <tnUI/commands/CommandDefn.h>
#include <tnUI/commands/CommandInstance.h>
#include <tnUI/entity/Label.h>
#include <tnUI/markingmenus/MarkItem.h>
#include <tnUI/markingmenus/MarkMenu.h>
#include <tnUI/markingmenus/popup/PopUpMenu.h>
#include <tnUI/markingmenus/qt/QmarkMenuView.h>
#include <tnUI/menus/CommandGroup.h>

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QShortcut>
#include <QWidget>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void say(const std::string& line)
{
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

std::string text(const tnString::IString& s)
{
    return s.asUTF8().asChar();
}

tnUI::CommandInstance* command(const char* label, double order)
{
    auto* c = new tnUI::CommandInstance(new tnUI::MomentaryCommandDefn());
    c->setLabel(new tnUI::Label(label));
    c->setOrderValue(order);
    return c;
}

tnUI::CommandGroup* group(const char* label, tnUI::Group::ELayoutPreference layout)
{
    auto* g = new tnUI::CommandGroup();
    g->setLabel(new tnUI::Label(label));
    g->setLayoutPreference(layout);
    return g;
}

// The radial menu: one command at each compass point, clockwise from North.
tnUI::PopUpMenu* radialMenu()
{
    const char* const labels[] = {"north", "northeast", "east", "southeast", "south", "southwest", "west", "northwest"};
    const tn::Reference<tnUI::CommandGroup> g(group("compass", tnUI::Group::Radial));
    for (int i = 0; i < 8; ++i)
        g->appendItemSorted(command(labels[i], i + 1));
    return new tnUI::PopUpMenu(g.get());
}

// The list: alpha, beta, gamma.
tnUI::PopUpMenu* listMenu()
{
    const tn::Reference<tnUI::CommandGroup> g(group("list", tnUI::Group::List));
    for (const auto& [label, order] : {std::pair("alpha", 1), std::pair("beta", 2), std::pair("gamma", 3)})
        g->appendItem(command(label, order));
    return new tnUI::PopUpMenu(g.get());
}

class Canvas : public QWidget {
public:
    Canvas() : m_radial(radialMenu()), m_list(listMenu())
    {
        setWindowTitle(QStringLiteral("tnUI display host"));
        setWindowFlags(Qt::FramelessWindowHint);
        setGeometry(QGuiApplication::primaryScreen()->geometry());
        auto* quit = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this);
        quit->setContext(Qt::ApplicationShortcut);
        connect(quit, &QShortcut::activated, [] { QCoreApplication::exit(0); });
        setFocusPolicy(Qt::StrongFocus);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        for (int y = 0; y < height(); y += 24)
            for (int x = 0; x < width(); x += 24)
                painter.fillRect(x, y, 24, 24, (x + y) % 48 != 0 ? QColor(224, 138, 43) : QColor(43, 138, 160));
        if (!m_announced) {
            m_announced = true;
            announce();
        }
    }

    void mousePressEvent(QMouseEvent* event) override
    {
        const QPointF p = event->globalPosition();
        if (event->button() == Qt::LeftButton) {
            say("click " + std::to_string(std::lround(p.x())) + " " + std::to_string(std::lround(p.y())));
            return;
        }
        // Held for the popup, which blocks in the menu's own event loop until
        // the user is done.
        const tn::Reference<tnUI::PopUpMenu> menu(event->button() == Qt::RightButton    ? m_radial.get()
                                                  : event->button() == Qt::MiddleButton ? m_list.get()
                                                                                        : nullptr);
        if (!menu)
            return;
        const tn::Reference<tnUI::CommandInstance> chosen(menu->show(p.x(), p.y()));
        sayChosen(chosen.get());
    }

    void keyPressEvent(QKeyEvent* event) override
    {
        const tn::Reference<tnUI::PopUpMenu> menu(event->key() == Qt::Key_Menu ? m_radial.get()
                                                  : event->key() == Qt::Key_L  ? m_list.get()
                                                                               : nullptr);
        if (!menu)
            return QWidget::keyPressEvent(event);
        const QPoint p = QCursor::pos();
        const tn::Reference<tnUI::CommandInstance> chosen(menu->showFromKeyboard(p.x(), p.y()));
        sayChosen(chosen.get());
    }

private:
    static void sayChosen(const tnUI::CommandInstance* chosen)
    {
        const tnUI::Label* label = chosen ? chosen->getLabel() : nullptr;
        say("chosen " + (label ? text(label->asString()) : std::string("none")));
    }

    // Tells the driver where the list items lie, then that the window is up.
    void announce()
    {
        for (const tnMarkItem* item : m_list->getMarkMenu()->getItems()) {
            float left = 0.0f, bottom = 0.0f, right = 0.0f, top = 0.0f;
            item->getBox(left, bottom, right, top);
            std::string line = "item " + text(item->getLabel());
            for (const float v : {left, -top, right, -bottom})
                line.append(" ").append(std::to_string(std::lround(v)));
            say(line);
        }
        say("ready");
    }

    tn::Reference<tnUI::PopUpMenu> m_radial;
    tn::Reference<tnUI::PopUpMenu> m_list;
    bool m_announced = false;
};

// Reads the delay options into the view's settings; false for anything else.
bool readOptions(int argc, char** argv)
{
    for (int i = 1; i < argc; i += 2) {
        const bool items = std::strcmp(argv[i], "--show-items-delay") == 0;
        if (i + 1 == argc || (!items && std::strcmp(argv[i], "--gesture-feedback") != 0))
            return false;
        (items ? QmarkMenuView::setShowItemsDelay : QmarkMenuView::setGestureFeedbackTime)(std::atoi(argv[i + 1]));
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (!readOptions(argc, argv)) {
        std::fprintf(stderr, "usage: %s [--show-items-delay ms] [--gesture-feedback ms]\n", argv[0]);
        return 2;
    }
    tnUI::Application::setFontName(tnString::IString(QApplication::font().family().toStdWString()));
    tnUI::Application::setNormalFontSize(QApplication::font().pointSize());

    int result = 0;
    {
        Canvas canvas;
        QmarkMenuView::setParentWindow(&canvas);
        canvas.show();
        canvas.activateWindow();
        result = QApplication::exec();
    }
    return result;
}
