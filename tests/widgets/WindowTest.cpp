// Windows bound to widgets: what the model asks of the widget, and closing
// from either side.

#include "application/AppTestSupport.h"

#include <tnUI/tnUIWidgets.h>

#include <QCloseEvent>
#include <QMainWindow>
#include <QTest>

#include <functional>

namespace {

using namespace tnUI;
using tnUITest::HostDocumentWindow;

// A main window that the user may keep open: it ignores its close event.
class MainWindow : public QMainWindow {
public:
    bool keepOpen = false;
    std::function<void()> onClose;

protected:
    void closeEvent(QCloseEvent* e) override
    {
        if (onClose)
            onClose();
        e->setAccepted(!keepOpen);
    }
};

class WidgetWindowTest : public tnUITest::ApplicationTest {
protected:
    void TearDown() override
    {
        settle();
        for (const QPointer<MainWindow>& w : widgets)
            delete w.data();
        ApplicationTest::TearDown();
    }

    // Binds a new main window to window, and shows it.
    template <class W>
    W* shown(QPointer<MainWindow>& widget, W* window)
    {
        widgets.emplace_back(widget = new MainWindow);
        WidgetWindowImpl::bind(widget, window);
        widget->show();
        return window;
    }
    // The document window of a new document, shown.
    HostDocumentWindow* shown(QPointer<MainWindow>& widget)
    {
        return shown(widget, new HostDocumentWindow(new DocumentInstance(document())));
    }
    // Runs the deletions that closing left for later, and those they leave.
    static void settle()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    std::vector<QPointer<MainWindow>> widgets;
};

TEST_F(WidgetWindowTest, ActsOnTheWidgetAndFollowsTheLabel)
{
    QPointer<MainWindow> widget;
    HostDocumentWindow* window = shown(widget);
    QWidget other;
    EXPECT_THROW(WidgetWindowImpl::bind(&other, window), DuplicateError);
    EXPECT_THROW(WidgetWindowImpl::bind(nullptr, window), NullError);
    EXPECT_EQ(WidgetWindowImpl::widgetOf(window), widget);
    widget->showMinimized();
    window->raiseWindow();
    EXPECT_FALSE(widget->isMinimized());
    EXPECT_TRUE(window->isVisible());
    window->hideWindow();
    EXPECT_FALSE(widget->isVisible() || window->isVisible());

    const tn::Reference<MutableLabel> label(new MutableLabel("Sketch 1"));
    window->setLabel(label.get());
    label->set("Sketch 2");
    EXPECT_EQ(widget->windowTitle(), "Sketch 2");
}

TEST_F(WidgetWindowTest, ClosingTheWidgetClosesTheWindow)
{
    QPointer<MainWindow> main, tools, colours;
    HostDocumentWindow* window = shown(main);
    shown(tools, new UtilityWindow(window));
    shown(colours, new UtilityWindow(window));
    window->canClose = false;
    EXPECT_FALSE(main->close());
    EXPECT_TRUE(main->isVisible());
    EXPECT_TRUE(tools->close());
    settle();
    EXPECT_FALSE(tools);
    EXPECT_EQ(window->getNumWindows(), 1);

    // The document window closes with the rest of its group.
    window->canClose = true;
    EXPECT_TRUE(main->close());
    settle();
    EXPECT_FALSE(main || colours);
    EXPECT_EQ(app->getNumDocuments(), 0);

    // A widget that hands its closing to the application goes all the same.
    shown(main);
    main->keepOpen = true;
    main->onClose = [this] { app->closeAllWindows(); };
    EXPECT_FALSE(main->close());
    settle();
    EXPECT_FALSE(main);
    EXPECT_EQ(app->getNumDocuments(), 0);
}

TEST_F(WidgetWindowTest, CloseAllWindowsHonoursRefusals)
{
    // Walked from the last document: c's widget keeps itself open, b's
    // document window refuses.
    QPointer<MainWindow> a, b, c;
    shown(a);
    HostDocumentWindow* refusing = shown(b);
    shown(c);
    c->keepOpen = true;
    refusing->canClose = false;
    app->requestExit();
    EXPECT_FALSE(app->closeAllWindows());
    EXPECT_FALSE(app->isRequestingExit());
    EXPECT_TRUE(a->isVisible() && b->isVisible() && c->isVisible());

    refusing->canClose = true;
    app->requestExit();
    EXPECT_TRUE(app->closeAllWindows());
    EXPECT_FALSE(app->isRequestingExit());
    settle();
    EXPECT_FALSE(a || b);
    EXPECT_TRUE(c->isVisible());

    c->keepOpen = false;
    EXPECT_TRUE(app->closeAllWindows());
    settle();
    EXPECT_FALSE(c);
    EXPECT_EQ(app->getNumDocuments(), 0);
}

TEST_F(WidgetWindowTest, EitherSideMayGoFirst)
{
    // The widget is deleted while the window lives: the window closes.
    QPointer<MainWindow> widget;
    shown(widget);
    delete widget.data();
    EXPECT_EQ(app->getNumDocuments(), 0);

    // The window dies without closing: the widget is the host's again.
    MainWindow kept;
    Document* d = document();
    auto* instance = new DocumentInstance(d);
    WidgetWindowImpl::bind(&kept, new HostDocumentWindow(instance));
    const int impls = ToolkitImpl::numberOfActiveObjects();
    d->removeInstance(instance);
    EXPECT_EQ(ToolkitImpl::numberOfActiveObjects(), impls - 1);
    EXPECT_FALSE(kept.testAttribute(Qt::WA_DeleteOnClose));

    // The host deletes the binding: the window closes, the widget stays.
    delete WidgetWindowImpl::bind(&kept, new HostDocumentWindow(new DocumentInstance(document())));
    EXPECT_EQ(app->getNumDocuments(), 0);
    EXPECT_FALSE(kept.testAttribute(Qt::WA_DeleteOnClose));
}

} // namespace
