// A plain Qt application that pops its ordinary Edit menu as a marking menu:
// a text editor in a QMainWindow with a menu bar, and one line that makes
// the right button (or Shift+F10) over the editor pop the Edit menu as a
// marking menu. The application has no model objects of its own.
//
//   qmenu-marking [--check] [directory]
//
// With a display and without --check it opens for a person to use.
// Otherwise it runs a short scripted check on Qt's offscreen platform with
// real input events, prints what it does, writes a picture of the popped
// menu (qmenu-marking.png) into the directory (default: the current one)
// and exits with 1 when something it expects does not happen.

#include <tnUI/markingmenus/MarkMenu.h>
#include <tnUI/markingmenus/qt/QmarkMenuView.h>
#include <tnUI/widgets/MarkingMenuTrigger.h>
#include <tnUI/widgets/QMenuMarkingMenu.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <functional>

namespace {

using tnUI::QMenuMarkingMenu;

// The editor's window: File and Edit menus whose actions follow the editor.
class EditorWindow : public QMainWindow {
public:
    EditorWindow()
    {
        setWindowTitle(QStringLiteral("QMenu as a marking menu"));
        editor = new QPlainTextEdit;
        editor->setAccessibleName(QStringLiteral("Text"));
        setCentralWidget(editor);

        QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
        file->addAction(QStringLiteral("&Quit"), QKeySequence::Quit, this, &QWidget::close);

        edit = menuBar()->addMenu(QStringLiteral("&Edit"));
        QStyle* s = style();
        undo = edit->addAction(s->standardIcon(QStyle::SP_ArrowBack), QStringLiteral("&Undo"), QKeySequence::Undo,
                               editor, &QPlainTextEdit::undo);
        redo = edit->addAction(s->standardIcon(QStyle::SP_ArrowForward), QStringLiteral("&Redo"), QKeySequence::Redo,
                               editor, &QPlainTextEdit::redo);
        edit->addSeparator();
        cut = edit->addAction(QStringLiteral("Cu&t"), QKeySequence::Cut, editor, &QPlainTextEdit::cut);
        copy = edit->addAction(QStringLiteral("&Copy"), QKeySequence::Copy, editor, &QPlainTextEdit::copy);
        paste = edit->addAction(QStringLiteral("&Paste"), QKeySequence::Paste, editor, &QPlainTextEdit::paste);
        remove = edit->addAction(s->standardIcon(QStyle::SP_TrashIcon), QStringLiteral("&Delete"), QKeySequence::Delete,
                                 editor, [this] { editor->textCursor().removeSelectedText(); });
        edit->addSeparator();
        edit->addAction(QStringLiteral("Select &All"), QKeySequence::SelectAll, editor, &QPlainTextEdit::selectAll);
        wrap = edit->addAction(QStringLiteral("&Wrap Lines"));
        wrap->setCheckable(true);
        wrap->setChecked(true);
        connect(wrap, &QAction::toggled, editor, [this](bool on) {
            editor->setLineWrapMode(on ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
        });
        edit->addSeparator();
        QMenu* insert = edit->addMenu(QStringLiteral("&Insert"));
        insert->addAction(QStringLiteral("&Date"), editor,
                          [this] { editor->insertPlainText(QDate::currentDate().toString(Qt::ISODate)); });
        insert->addAction(QStringLiteral("&Time"), editor,
                          [this] { editor->insertPlainText(QTime::currentTime().toString(Qt::ISODate)); });
        date = insert->actions().first();
        insertMenu = insert->menuAction();
        edit->addAction(QStringLiteral("&Clear"), editor, &QPlainTextEdit::clear)
            ->setToolTip(QStringLiteral("Delete the whole text"));

        // The arrows of Undo and Redo point the way their marks go.
        QMenuMarkingMenu::setPosition(undo, QMenuMarkingMenu::West);
        QMenuMarkingMenu::setPosition(redo, QMenuMarkingMenu::East);

        // The actions follow the editor, in the menu bar and in the marking
        // menu alike.
        undo->setEnabled(false);
        redo->setEnabled(false);
        for (QAction* a : {cut, copy, remove})
            a->setEnabled(false);
        connect(editor, &QPlainTextEdit::undoAvailable, undo, &QAction::setEnabled);
        connect(editor, &QPlainTextEdit::redoAvailable, redo, &QAction::setEnabled);
        for (QAction* a : {cut, copy, remove})
            connect(editor, &QPlainTextEdit::copyAvailable, a, &QAction::setEnabled);
        const auto clipboardChanged = [this] { paste->setEnabled(!QGuiApplication::clipboard()->text().isEmpty()); };
        connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, clipboardChanged);
        clipboardChanged();

        // The one line that makes the Edit menu a marking menu too.
        trigger = new tnUI::MarkingMenuTrigger(editor, edit);
        trigger->setKey(QKeySequence(Qt::SHIFT | Qt::Key_F10));
        statusBar()->showMessage(
            QStringLiteral("Right button or Shift+F10 over the text: the Edit menu as a marking menu"));
    }

    QPlainTextEdit* editor;
    QMenu* edit;
    QAction *undo, *redo, *cut, *copy, *paste, *remove, *wrap, *insertMenu, *date;
    tnUI::MarkingMenuTrigger* trigger;
};

// The scripted check: real input events on the offscreen platform.
class Check {
public:
    Check(EditorWindow& window, const QDir& output) : m_window(window), m_output(output) {}

    int run()
    {
        QPlainTextEdit* editor = m_window.editor;
        editor->setFocus();
        say("type a line and select it all (Ctrl+A)");
        QTest::keyClicks(editor, QStringLiteral("Marking menus from plain QMenus"));
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        const QString line = editor->toPlainText();
        expect(m_window.copy->isEnabled(), "Copy is enabled in the Edit menu");

        say("right-press over the text and rest: the Edit menu shows as a marking menu; release on Copy");
        popUp({{300,
                [this] {
                    tnMarkMenu* menu = shownMenu();
                    expect(menu && menu->areItemsVisible(), "the marking menu shows after the rest");
                    expect(menu && menu->getNumItems() == 10, "the ten entries of the Edit menu are shown");
                    expect(itemOf(m_window.undo) && itemOf(m_window.undo)->getState() == tnMarkItem::Normal &&
                               itemOf(m_window.redo)->getState() == tnMarkItem::Disabled,
                           "Undo enabled, Redo disabled, as in the Edit menu");
                    moveTo(itemOf(m_window.copy));
                    savePicture();
                }},
               {400, [this] { release(pointer()); }}});
        expect(QGuiApplication::clipboard()->text() == line, "Copy put the line on the clipboard");

        say("flick south: Delete");
        flick(QPoint(0, 60));
        expect(editor->toPlainText().isEmpty(), "Delete took the line out");
        say("flick west, where the host put Undo");
        flick(QPoint(-60, 0));
        expect(editor->toPlainText() == line, "Undo brought it back");
        say("flick north-west: Wrap Lines, a checkable action");
        flick(QPoint(-45, -45));
        expect(!m_window.wrap->isChecked() && editor->lineWrapMode() == QPlainTextEdit::NoWrap,
               "Wrap Lines is unchecked and the editor no longer wraps");

        say("right-press, rest, open Insert in the overflow list and choose Date");
        QTextCursor end = editor->textCursor();
        end.movePosition(QTextCursor::End);
        editor->setTextCursor(end);
        popUp({{300, [this] { moveTo(itemOf(m_window.insertMenu)); }},
               {500,
                [this] {
                    tnMarkMenu* menu = shownMenu();
                    expect(menu && menu->getParentMenu(), "the Insert submenu popped from the list");
                    if (menu)
                        moveTo(menu->itemAt(0));
                }},
               {800, [this] { release(pointer()); }}});
        expect(editor->toPlainText() == line + QDate::currentDate().toString(Qt::ISODate),
               "Date inserted today's date");

        std::printf("%d checks, %d failed\n", m_checks, m_failures);
        return m_failures == 0 ? 0 : 1;
    }

private:
    using Step = std::pair<int, std::function<void()>>;

    void say(const QString& what) { std::printf("user: %s\n", qPrintable(what)); }
    void expect(bool ok, const char* what)
    {
        ++m_checks;
        m_failures += ok ? 0 : 1;
        std::printf("  %s %s\n", ok ? "ok:  " : "FAIL:", what);
    }

    static tnMarkMenu* shownMenu()
    {
        const QmarkMenuView* view = QmarkMenuView::findView();
        return view && view->isVisible() ? view->getCurrentMenu() : nullptr;
    }
    // The item of the menu shown that stands for action.
    tnMarkItem* itemOf(const QAction* action) const
    {
        if (tnMarkMenu* menu = shownMenu())
            for (tnMarkItem* item : menu->getItems())
                if (m_window.trigger->menuMarkingMenu()->actionOf(item) == action)
                    return item;
        return nullptr;
    }
    QPoint pointer() const { return m_window.editor->viewport()->mapFromGlobal(m_pointer); }
    // Moves the pointer onto the middle of item.
    void moveTo(const tnMarkItem* item)
    {
        const QmarkMenuView* view = QmarkMenuView::findView();
        if (!item || !view)
            return;
        float left = 0, bottom = 0, right = 0, top = 0;
        item->getBox(left, bottom, right, top);
        m_pointer = view->geometry().topLeft() + view->getCenter() +
                    QPoint(qRound((left + right) / 2), -qRound((bottom + top) / 2));
        // In two steps, so that the menu sees a move of its own.
        QTest::mouseMove(m_window.editor->viewport(), pointer() + QPoint(2, 2));
        QTest::mouseMove(m_window.editor->viewport(), pointer());
    }
    void release(const QPoint& at) { QTest::mouseRelease(m_window.editor->viewport(), Qt::RightButton, {}, at); }

    // Presses the right button in the middle of the text and runs the steps
    // in the menu's loop; a menu still open after 5 s fails the check.
    void popUp(const QList<Step>& steps)
    {
        QObject pending;
        for (const Step& step : steps)
            QTimer::singleShot(step.first, &pending, step.second);
        QTimer::singleShot(5000, &pending, [this] {
            expect(false, "the menu was closed within 5 s");
            if (QmarkMenuView* view = QmarkMenuView::findView())
                view->cancel();
        });
        QWidget* viewport = m_window.editor->viewport();
        m_pointer = viewport->mapToGlobal(viewport->rect().center());
        QTest::mousePress(m_window.windowHandle(), Qt::RightButton, {}, m_window.mapFromGlobal(m_pointer));
        // The menu begins once the press is delivered, and runs to its end.
        QCoreApplication::processEvents();
    }
    // A quick mark by `by` from the middle of the text, released at once.
    void flick(const QPoint& by)
    {
        QList<Step> steps;
        for (int k = 1; k <= 4; ++k)
            steps.append(
                {10 * k, [this, by, k] { QTest::mouseMove(m_window.editor->viewport(), pointer() + by * k / 4); }});
        steps.append({50, [this, by] { release(pointer() + by); }});
        popUp(steps);
    }

    void savePicture()
    {
        QmarkMenuView* view = QmarkMenuView::findView();
        if (!view)
            return;
        const QRect screen = view->screen()->geometry();
        QImage image(screen.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(QColor(72, 78, 92));
        QPainter painter(&image);
        painter.drawPixmap(m_window.geometry().topLeft() - screen.topLeft(), m_window.grab());
        painter.drawPixmap(view->geometry().topLeft() - screen.topLeft(), view->grab());
        painter.end();
        // The window with its menu bar and the menu over the text.
        const QString path = m_output.filePath(QStringLiteral("qmenu-marking.png"));
        const bool written = image.copy(m_window.geometry().translated(-screen.topLeft())).save(path);
        expect(written, "the picture of the marking menu is written");
        if (written)
            std::printf("  picture: %s\n", qPrintable(path));
    }

    EditorWindow& m_window;
    QDir m_output;
    QPoint m_pointer;
    int m_checks = 0;
    int m_failures = 0;
};

} // namespace

int main(int argc, char** argv)
{
    bool check = qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    QString directory = QDir::currentPath();
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--check") == 0) {
            check = true;
        } else if (argv[i][0] == '-') {
            std::fprintf(stderr, "usage: %s [--check] [directory]\n", argv[0]);
            return 2;
        } else {
            directory = QString::fromLocal8Bit(argv[i]);
        }
    }
    if (check)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    EditorWindow window;
    window.resize(560, 400);
    window.show();
    if (!check)
        return QApplication::exec();

    const QDir output(directory);
    if (!QDir().mkpath(output.path())) {
        std::fprintf(stderr, "qmenu-marking: cannot create %s\n", qPrintable(output.path()));
        return 1;
    }
    window.move(QGuiApplication::primaryScreen()->geometry().center() - window.rect().center());
    return Check(window, output).run();
}
