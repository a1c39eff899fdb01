// The minimal host's self-check: real input events on Qt's offscreen
// platform, through the widgets a person would use, and checks of what the
// canvas shows afterwards. It finds everything from the main window, as a
// test would, and writes two pictures into the folder: the marking menu
// over the canvas (minimal-host-menu.png) and the window at the end
// (minimal-host.png). Exit code 1 when a check fails.

#include <tnUI/tnUIWidgets.h>

#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <functional>

namespace {

constexpr QRgb blue = qRgb(30, 60, 170);

class Check {
public:
    Check(QMainWindow& window, const QDir& folder)
        : m_window(window), m_canvas(window.centralWidget()), m_folder(folder)
    {}

    int run()
    {
        m_window.move(QGuiApplication::primaryScreen()->geometry().center() - m_window.rect().center());
        expect(QTest::qWaitForWindowExposed(&m_window) && m_canvas->hasFocus(),
               "the window shows, the canvas has the focus");

        say("D, then P: the tools' keys");
        QTest::keyClick(m_canvas, Qt::Key_D);
        expect(checked("dots"), "D chose Dots, checked in the Tools menu");
        QTest::keyClick(m_canvas, Qt::Key_P);
        expect(checked("pen") && !checked("dots"), "P chose the Pen");

        say("drag with the pen, then Ctrl+Z");
        drag(60);
        expect(runs(60) == 1 && inked(60) > 180, "the pen drew one line across the drag");
        QTest::keyClick(m_canvas, Qt::Key_Z, Qt::ControlModifier);
        expect(runs(60) == 0, "Ctrl+Z took it back");
        expect(action("undo") && !action("undo")->isEnabled(), "Undo is disabled in the Edit menu");
        if (!action("undo") || !action("pen") || !action("dots"))
            return finish();
        drag(60);

        say("flick east in the marking menu: Dots; then drag");
        popUp({{10, [this] { move(QPoint(20, 0)); }},
               {20, [this] { move(QPoint(40, 0)); }},
               {30, [this] { move(QPoint(70, 0)); }},
               {40, [this] { release(QPoint(70, 0)); }}});
        expect(checked("dots") && !checked("pen"), "Dots is the tool, checked in the Tools menu");
        drag(130);
        expect(runs(130) >= 6, "Dots drew separate dots");

        say("rest in the marking menu, then choose Pen (North)");
        popUp({{400,
                [this] {
                    tnMarkMenu* menu = shownMenu();
                    expect(menu && menu->areItemsVisible() && menu->getNumItems() == 3, "the three items show");
                    savePicture(QStringLiteral("minimal-host-menu.png"), true);
                    if (tnMarkItem* pen = menu ? menu->itemAtPosition(tnMarkPosition::North) : nullptr)
                        move(itemCentre(pen));
                }},
               {500, [this] { release(m_pointer); }}});
        expect(checked("pen"), "Pen is the tool again");

        say("type 12 into the width; choose red in the colour dialog; drag");
        auto* width = m_window.findChild<QAbstractSpinBox*>();
        auto* colour = m_window.findChild<tnUI::ColorButton*>();
        expect(width && colour, "the tool options show the width and the colour");
        if (!width || !colour)
            return finish();
        QTest::mouseClick(width, Qt::LeftButton);
        width->selectAll();
        QTest::keyClicks(width, QStringLiteral("12"));
        QTest::keyClick(width, Qt::Key_Return);
        QTimer::singleShot(100, &m_window, [] {
            auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
            for (QLineEdit* field : dialog ? dialog->findChildren<QLineEdit*>() : QList<QLineEdit*>())
                if (field->text().startsWith(QLatin1Char('#'))) {
                    field->selectAll();
                    QTest::keyClicks(field, QStringLiteral("#c82828"));
                    QTest::keyClick(field, Qt::Key_Return);
                }
            if (dialog && dialog->isVisible())
                dialog->reject();
        });
        QTest::mouseClick(colour, Qt::LeftButton);
        expect(colour->colour() == QColor(200, 40, 40), "the colour button shows the red");
        drag(220);
        expect(thickness(150, 220) >= 11, "the pen draws red, 12 pixels wide");

        say("scribble, then Undo from the Edit menu");
        drag(320);
        const QImage scribbled = image();
        QMenuBar* bar = m_window.menuBar();
        QAction* edit = bar->actions().value(0);
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(edit).center());
        QMenu* menu = edit ? edit->menu() : nullptr;
        expect(menu && menu->isVisible() && action("undo")->isEnabled(), "the Edit menu is open, Undo enabled");
        if (menu)
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action("undo")).center());
        expect(runs(320) == 0 && thickness(150, 220) >= 11 && scribbled != image(), "Undo took the scribble back");
        savePicture(QStringLiteral("minimal-host.png"), false);

        say("close the window");
        const bool closed = m_window.close();
        // The window is deleted in the event loop, and the document goes with it.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        expect(closed && tnUI::Application::getInstance().getNumDocuments() == 0,
               "the window closed, and the document with it");
        return finish();
    }

private:
    using Step = std::pair<int, std::function<void()>>;

    void say(const char* what) { std::printf("user: %s\n", what); }
    void expect(bool ok, const char* what)
    {
        ++m_checks;
        m_failures += ok ? 0 : 1;
        std::printf("  %s %s\n", ok ? "ok:  " : "FAIL:", what);
    }
    int finish()
    {
        std::printf("%d checks, %d failed\n", m_checks, m_failures);
        return m_failures == 0 ? 0 : 1;
    }

    QImage image() const { return m_canvas->grab().toImage(); }
    // The runs of ink across the canvas at height y.
    int runs(int y) const
    {
        const QImage shot = image();
        int count = 0;
        for (int x = 1; x < shot.width(); ++x)
            count += qGray(shot.pixel(x, y)) < 200 && qGray(shot.pixel(x - 1, y)) >= 200;
        return count;
    }
    // How many pixels at height y show the pen's blue.
    int inked(int y) const
    {
        const QImage shot = image();
        int count = 0;
        for (int x = 0; x < shot.width(); ++x)
            count += shot.pixel(x, y) == blue;
        return count;
    }
    // How many pixels of column x around y are the red.
    int thickness(int x, int y) const
    {
        const QImage shot = image();
        int count = 0;
        for (int dy = -20; dy <= 20; ++dy)
            count += shot.pixel(x, y + dy) == qRgb(200, 40, 40);
        return count;
    }
    // The command action of the menu bar for the command named name.
    QAction* action(const char* name) const
    {
        for (QAction* a : m_window.menuBar()->actions())
            if (auto* menu = qobject_cast<tnUI::CommandMenu*>(a->menu()); menu && menu->actionFor(name))
                return menu->actionFor(name);
        return nullptr;
    }

    bool checked(const char* name) const { return action(name) && action(name)->isChecked(); }

    // A left-button drag across the canvas at height y, in steps of 30.
    void drag(int y)
    {
        QTest::mousePress(m_canvas, Qt::LeftButton, {}, QPoint(40, y));
        for (int x = 70; x <= 280; x += 30)
            QTest::mouseMove(m_canvas, QPoint(x, y));
        QTest::mouseRelease(m_canvas, Qt::LeftButton, {}, QPoint(280, y));
    }

    static tnMarkMenu* shownMenu()
    {
        const QmarkMenuView* view = QmarkMenuView::findView();
        return view && view->isVisible() ? view->getCurrentMenu() : nullptr;
    }
    // The middle of item, relative to where the menu popped.
    static QPoint itemCentre(const tnMarkItem* item)
    {
        float left = 0, bottom = 0, right = 0, top = 0;
        item->getBox(left, bottom, right, top);
        return {qRound((left + right) / 2), -qRound((bottom + top) / 2)};
    }
    // The pointer to `by` from where the menu popped, in two steps so that
    // the menu sees a move of its own.
    void move(QPoint by)
    {
        m_pointer = by;
        QTest::mouseMove(m_canvas, m_popAt + by + QPoint(1, 1));
        QTest::mouseMove(m_canvas, m_popAt + by);
    }
    void release(QPoint by) { QTest::mouseRelease(m_canvas, Qt::RightButton, {}, m_popAt + by); }
    // A right press in the canvas pops the marking menu; the steps run in
    // its loop. A menu still open after 5 s fails the check.
    void popUp(const QList<Step>& steps)
    {
        QObject pending;
        for (const Step& step : steps)
            QTimer::singleShot(step.first, &pending, step.second);
        QTimer::singleShot(5000, &pending, [this] {
            expect(false, "the menu closed within 5 s");
            if (QmarkMenuView* view = QmarkMenuView::findView())
                view->cancel();
        });
        m_popAt = QPoint(300, 200);
        const QPoint inWindow = m_canvas->mapTo(&m_window, m_popAt);
        QTest::mousePress(m_window.windowHandle(), Qt::RightButton, {}, inWindow);
        // The menu begins once the press is delivered and runs to its end.
        QCoreApplication::processEvents();
    }

    // The window, with the marking menu over it when withMenu is set.
    void savePicture(const QString& name, bool withMenu)
    {
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QImage picture(screen.size(), QImage::Format_ARGB32_Premultiplied);
        picture.fill(QColor(72, 78, 92));
        QPainter painter(&picture);
        painter.drawPixmap(m_window.geometry().topLeft() - screen.topLeft(), m_window.grab());
        if (QmarkMenuView* view = QmarkMenuView::findView(); view && withMenu)
            painter.drawPixmap(view->geometry().topLeft() - screen.topLeft(), view->grab());
        painter.end();
        const QString path = m_folder.filePath(name);
        const bool written = picture.copy(m_window.geometry().translated(-screen.topLeft())).save(path);
        expect(written, "the picture is written");
        if (written)
            std::printf("  picture: %s\n", qPrintable(path));
    }

    QMainWindow& m_window;
    QWidget* m_canvas;
    QDir m_folder;
    QPoint m_popAt;
    QPoint m_pointer;
    int m_checks = 0;
    int m_failures = 0;
};

} // namespace

int runCheck(QMainWindow& window, const QString& folder)
{
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "minimal-host: cannot create %s\n", qPrintable(folder));
        return 1;
    }
    return Check(window, QDir(folder)).run();
}
