#pragma once

#include <QDir>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

#include <functional>
#include <utility>

class Canvas;
class QWidget;
class QMessageBox;
class SketchApp;
class SketchWindow;
class tnMarkItem;
class tnMarkMenu;

namespace tnUI {
class CommandMenu;
} // namespace tnUI

// The scripted tour: a session driven by real Qt input events on the canvas,
// checking at each step that the program did what a user would expect.
// Pop-up menus block in their own event loop, so the input that goes on
// inside a menu is scheduled with timers before the press that pops it.
class Tour {
public:
    Tour(SketchApp& app, const QDir& output);

    // Runs every step; 0 when everything expected happened, 1 otherwise.
    int run();

private:
    using Step = std::pair<int, std::function<void()>>;

    void statusHint();
    void refuseUndo();
    // The menu bar on the empty drawing: every menu's entries, enabled and
    // checked states against the model, a picture of an open menu, and Grid
    // chosen with the mouse and with the keyboard.
    void menuBarOnEmptyDrawing();
    // A command added to a group at run time, and taken out again, shows in
    // its menu the next time the menu opens.
    void menuBarFollowsItsGroup();
    void menuOnEmptyCanvas();
    void quickMark();
    void penStroke();
    void stylusStroke();
    // Zoom keys, a stroke drawn at a scale, and the glide back to the actual
    // size from the View menu on a stepped clock, then on the real one.
    void zoomAndGlideBack();
    void restAndPickLine();
    void lines();
    void inkKeepsTheTool();
    void keyboardMenu();
    void keysInTheMiddleOfADrag();
    void listMenuEraser();
    void erase();
    void gridAndUndoFromTheMenu();
    void clearTwice();
    void widthSaveAndDraw();
    void picturesAndDump();
    // The print settings: lengths and angles in their display units.
    void printSettings();
    void hintOutlastsMessages();
    void quitAndCancel();
    void closeAndSave();
    // The tool-options window of a drawing of its own: its controls on two
    // pages, driven with real input, reach the model and the canvas (the
    // caption among them), and follow the model.
    void toolOptions();
    void quitWithNothingUnsaved();
    void closeAndDiscard();

    void check(bool ok, const QString& what);
    // A left-button drag through the points.
    void drag(const QList<QPoint>& points);
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void hover(const QPoint& p);
    // Presses button at p on the canvas and returns once the menu that pops
    // is over: the scheduled steps (milliseconds after the press, action)
    // run in the menu's event loop and end it. A watchdog releases the
    // button if the menu is still open after 20 s.
    void popMenu(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint& p, const QList<Step>& steps);
    // Runs action; a close question that comes meanwhile is checked and
    // handed to answer, which ends it with real input. The Qt windows that
    // closed are deleted afterwards. Returns how many questions came.
    int answering(const std::function<void()>& action, const std::function<void(QMessageBox&)>& answer);
    // Ctrl+Q, and the quitting it sets off once the event loop runs.
    void quitKey();
    // The menu of the window's menu bar with that title, or null.
    tnUI::CommandMenu* barMenu(const QString& title) const;
    // Opens menu by clicking its title in the menu bar; true once it shows.
    bool openBarMenu(tnUI::CommandMenu* menu);
    // Closes the menus that are open with Escape.
    void closeMenus();
    // A new document in a window of its own, which the following steps use.
    void openDocument(const char* name);
    // The menu the marking-menu view is running, or null.
    static tnMarkMenu* shownMenu();
    // The labels of the checked items of the shown menu, sorted.
    static QStringList checkedItems();
    // The item of the shown menu with that label, or null.
    static tnMarkItem* shownItem(const QString& label);
    static QString labelOf(const tnMarkItem* item);
    // The canvas point at the middle of an item of the shown menu.
    QPoint canvasPoint(const tnMarkItem* item) const;
    // The same point in w's coordinates.
    static QPoint pointIn(const QWidget* w, const tnMarkItem* item);
    // What the screen shows in area: the document window, the menu view and
    // any other window of the program, open menus over the other windows.
    QImage screenshot(const QRect& area) const;
    void save(const QImage& image, const QString& name, const QString& what);
    QRect around(const QPoint& canvasPoint, int left, int top, int width, int height) const;
    int strokes() const;
    QString currentTool() const;

    SketchApp& m_app;
    QDir m_output;
    SketchWindow* m_window = nullptr;
    Canvas* m_canvas = nullptr;
    int m_failures = 0;
    QStringList m_files;
    QString m_hintText;
    int m_exits = 0;
};
