#pragma once

#include "../../foundation/Export.h"
#include "../../foundation/Linear.h"
#include "../MarkRecogniser.h"

#include <QElapsedTimer>
#include <QPainterPath>
#include <QPixmap>
#include <QPoint>
#include <QPointF>
#include <QPointer>
#include <QPolygonF>
#include <QRect>
#include <QTimer>
#include <QWidget>

#include <vector>

class QEventLoop;
class QKeyEvent;
class QPainter;
class QRegion;
class QmarkRender;
class tnMarkItem;
class tnMarkMenu;
class tnMarkMenuItem;

/// The transparent layer that runs a marking menu: it takes every mouse and
/// tablet event of the application while it exists, wherever the pointer
/// goes, records the pointer's stroke, shows the items once the pointer
/// rests, opens submenus and returns to parents on timers, and ends with a
/// choice. One view exists per top-level popup and is handed on from menu to
/// submenu. It covers only what the popup draws: it starts over the first
/// menu's items and grows as the stroke, submenus or tooltips reach further,
/// up to the screen the popup began on.
///
/// Two phases: in the gesture phase the items are hidden and only the stroke
/// is drawn; a release then decides by the stroke alone (a quick mark), read
/// by tnMarkRecogniser from the shape of the whole stroke, and the stroke is
/// shown for a moment with the corners it turned at. When the pointer rests
/// for the show-items delay, the stroke so far is read the same way (only
/// clear corners lead into submenus) and the display phase begins: the item
/// in the pointer's direction is highlighted and a release chooses it. The
/// original reading of strokes remains as an option (QuickMarkRule).
///
/// The keyboard works at any phase, and takes over from the pointer: the
/// arrow keys and the numeric keypad's (8 North, 9 North-East, ... 7
/// North-West) highlight the item in their direction and show the items; Tab
/// and Shift+Tab walk the items in order, the overflow list's too; Enter or
/// Space chooses the highlighted item, or opens its submenu at the same
/// place with its first item highlighted; Backspace returns to the parent
/// menu; an item's mnemonic ('&' in its label) chooses it. In a list, Up and
/// Down move, Right opens a submenu and Left returns. Escape, at any phase,
/// ends the whole popup with nothing chosen. Every other key passes on. A
/// press and release without movement ends the popup with nothing chosen too,
/// wherever it happens, except for a finger lifted in place once the items
/// show: the items stay, and a tap chooses the one it lands on (a tap
/// elsewhere chooses nothing). A finger otherwise works as the mouse; a
/// second finger, or a touch the system cancels, cancels the menu. Where the display does not composite translucent
/// windows (X11 without a compositing manager), the view shows a picture of the pixels it covers, taken from the screen
/// just before it reached over them, so that the user's work stays in sight under the menu.
class TNUI_EXPORT QmarkMenuView : public QWidget {
    Q_OBJECT
public:
    /// A menu to run centred at the global screen point (x, y).
    struct Request {
        /// The menu.
        tnMarkMenu* menu = nullptr;
        /// The global screen point.
        double x = 0.0;
        /// See x.
        double y = 0.0;
        /// The flag handed to the menu's popup.
        bool flag = false;
    };
    /// What to run next when a menu's loop ends: a submenu or the parent,
    /// centred at the global screen point (x, y); no menu when the popup is
    /// done.
    struct Result {
        /// The menu to run next, or null.
        tnMarkMenu* nextMenu = nullptr;
        /// The global screen point.
        double x = 0.0;
        /// See x.
        double y = 0.0;
        /// The flag handed to the next menu's popup.
        bool flag = false;
    };

    /// How the view reads a stroke drawn while the items are hidden.
    enum class QuickMarkRule {
        /// tnMarkRecogniser: corners from the shape of the whole stroke,
        /// direction alone, short last legs after a clear corner,
        /// straight-through and reversed marks. The default.
        WholeStroke,
        /// The original rule: a corner only where one recorded pointer step
        /// longer than the menu's centre radius turns by more than 20
        /// degrees (so a densely sampled stroke has none), each corner and
        /// the end hovered as a pointer would be (hidden items' boxes before
        /// the direction), a straight mark onto a submenu item centring the
        /// submenu halfway along it.
        LongSteps
    };

    /// Timeout kinds of getTimeout.
    static constexpr int ShowItems = 0;
    /// See ShowItems.
    static constexpr int PopParent = 1;
    /// See ShowItems.
    static constexpr int SubmenuRestart = 2;
    /// See ShowItems.
    static constexpr int GestureFeedback = 3;

    ~QmarkMenuView() override;

    /// The view of the running popup, made on first use as a child of the
    /// parent window.
    static QmarkMenuView* getView();
    /// The view if one exists, else null.
    static QmarkMenuView* findView();
    /// Deletes the view and gives the parent window back its activation.
    static void destroyView();
    /// The bounding rectangle of all screens in global pixels, which popups
    /// keep to; empty without screens.
    static tnLinear::Range2d desktopBounds();
    /// The popup of both Qt menus: runs menu in the view, passes on to the
    /// submenu or parent its loop ended with, and at the end destroys the view
    /// and writes the chosen item's id and data (-1 and null for none). The
    /// choice is read from the menu the loop ended in when fromCurrentMenu is
    /// set, else from menu itself.
    static void runPopup(tnMarkMenu* menu, float x, float y, int* id, void** data, bool flag, bool fromCurrentMenu);

    /// Runs request.menu until the user is done with it: releases, rests on a
    /// submenu item or goes back to the parent's centre. Calling it while a
    /// menu is already running raises ImplError.
    virtual Result execMenu(const Request& request, int popupMode);

    /// Ends the running popup with nothing chosen and hides the view, as
    /// Escape does. Nothing happens when no menu is running.
    void cancel();
    /// Whether the popup was cancelled (by cancel(), Escape, or the view being
    /// closed by the window system).
    bool isCancelled() const { return m_cancelled; }

    /// The menu being run (after the loop has ended: the menu it ended in).
    tnMarkMenu* getCurrentMenu() const { return m_currentMenu; }
    /// The menu's centre in view pixels (from the view's top-left corner).
    QPoint getCenter() const { return m_center - m_area.topLeft(); }

    /// A setting in milliseconds: halved for divisor 1, quartered for
    /// divisor 2; 0 for an unknown kind.
    static int getTimeout(int kind, int divisor);
    /// Sets the show items delay.
    static void setShowItemsDelay(int ms);
    /// Sets the pop parent delay.
    static void setPopParentDelay(int ms);
    /// Sets the submenu restart delay.
    static void setSubmenuRestartDelay(int ms);
    /// Sets the gesture feedback time.
    static void setGestureFeedbackTime(int ms);
    /// The show items delay.
    static int getShowItemsDelay();
    /// The pop parent delay.
    static int getPopParentDelay();
    /// The submenu restart delay.
    static int getSubmenuRestartDelay();
    /// The gesture feedback time.
    static int getGestureFeedbackTime();
    /// The window the view belongs to, activated and raised again when a
    /// popup ends. Forgotten when that widget is destroyed.
    static void setParentWindow(QWidget* parentWindow);
    /// The parent window.
    static QWidget* getParentWindow();
    /// While one exists, the next popup starts as one opened from the keyboard
    /// (a host's key, the Menu key): the items show at once with the first
    /// highlighted, and the popup runs, with no button held, until a key or a
    /// click chooses or cancels. Made on the stack around the popup call.
    class TNUI_EXPORT KeyboardOpening {
    public:
        /// The next popup starts from the keyboard.
        KeyboardOpening();
        /// A popup that has not started by now starts as usual.
        ~KeyboardOpening();
        KeyboardOpening(const KeyboardOpening&) = delete;
        KeyboardOpening& operator=(const KeyboardOpening&) = delete;
    };

    /// For all popups from now on.
    static void setQuickMarkRule(QuickMarkRule rule);
    /// The quick mark rule.
    static QuickMarkRule getQuickMarkRule();

    /// The corners of the original rule (QuickMarkRule::LongSteps): a corner
    /// is where one recorded step longer than centerRadius turns by more than
    /// 20 degrees from the segment before it. The result starts at the
    /// stroke's first point and ends at its last.
    static QPainterPath simplifyStroke(const QPainterPath& stroke, float centerRadius);

signals:
    /// Emitted before a submenu opens from item.
    void aboutToShowSubmenu(tnMarkMenuItem* item);
    /// Emitted when the highlight moves to newItem (null: none).
    void hovered(tnMarkItem* newItem);

private slots:
    void showItemsTimeout();
    void popSubmenuTimeout();
    void popParentTimeout();
    void showGestureTimeout();

protected:
    /// Takes Escape while a menu is up; other keys pass on.
    bool eventFilter(QObject* watched, QEvent* event) override;
    /// Follow the pointer and the stroke through the running menu.
    void mousePressEvent(QMouseEvent* event) override;
    /// See mousePressEvent().
    void mouseReleaseEvent(QMouseEvent* event) override;
    /// See mousePressEvent().
    void mouseMoveEvent(QMouseEvent* event) override;
    /// Draws the running menu, the stroke and the feedback.
    void paintEvent(QPaintEvent* event) override;
    /// Ends the popup when the view is hidden.
    void hideEvent(QHideEvent* event) override;

private:
    explicit QmarkMenuView(QWidget* parent);

    /// Positions inside the view are kept in screen pixels: from the top-left
    /// corner of the screen the popup runs on, whatever part of it the view
    /// covers.
    QPoint _toScreen(const QPointF& globalPosition) const;
    /// A pointer position in screen pixels, corrected for the menu shifts the
    /// pointer did not follow.
    QPoint _mousePosition(const QPointF& globalPosition) const;
    QPoint _tabletPosition(const QPointF& globalPosition) const;
    /// The divisor for timers of the current menu: a quarter for a list.
    int _divisor(const tnMarkMenu* menu) const;
    void _handleMove(const QPoint& p);
    /// Whether key is one the menu takes now.
    bool _isMenuKey(const QKeyEvent& key) const;
    void _handleKey(const QKeyEvent& key);
    /// Highlights item (no item: nothing happens) and shows the items.
    void _keyHighlight(tnMarkMenuItem* item);
    /// Chooses the highlighted item or opens its submenu; submenuOnly: only
    /// a submenu.
    void _keyChoose(bool submenuOnly);
    /// Returns to the parent menu, if any.
    void _keyBack();
    /// Draws the popup in screen pixels; region: what needs painting.
    void _paint(QPainter& painter, const QRegion& region);
    /// The screen pixels a paint would draw now, measured without drawing.
    QRect _probe();
    /// The screen pixels of menu's items around the centre, and some room.
    QRect _menuRect(tnMarkMenu* menu) const;
    /// Grows the view over the screen pixels needed (on its screen), and
    /// takes their picture first where the display does not composite.
    void _cover(const QRect& needed);
    /// Repaints region (screen pixels), growing the view to it first.
    void _repaint(const QRegion& region);
    /// Repaints the whole view, grown to all that will be drawn.
    void _repaintAll();
    /// The screen pixels the pointer line to the last processed position may
    /// cover.
    QRect _pointerLineRect() const;
    /// The screen pixels of the highlighted item's tooltip, laid out for the
    /// current state; empty when none shows.
    QRect _toolTipRect();
    void _handleRelease(const QPoint& p);
    void _processPosition(const QPoint& p);
    void _replayStroke(bool midpointRule);
    /// Reads the stroke with the recogniser and goes into the submenus it
    /// leads to, highlighting the items it chose; finished: the button is
    /// up.
    void _recogniseStroke(bool finished);
    void _keepOnScreen();
    /// Moves the pointer along with a menu shifted to stay on screen.
    void _followShift(const QPoint& shift);
    void _moveParentMarker();
    /// Shows the current menu's items and ends the gesture phase.
    void _showItems();
    void _restoreMaxRadius();
    void _exitLoop();
    QPointF _toModel(const QPoint& p) const;

    tnMarkMenu* m_nextMenu = nullptr;
    QPointF m_nextPosition;
    bool m_nextFlag = false;
    QTimer m_showItemsTimer;
    QTimer m_popParentTimer;
    QTimer m_popSubmenuTimer;
    QEventLoop* m_loop = nullptr;
    QPainterPath m_stroke;
    /// The stroke as the recogniser reads it: model units from its first
    /// point (m_strokeOrigin, screen pixels), with times.
    std::vector<tnMarkStrokePoint> m_points;
    QPoint m_strokeOrigin;
    QElapsedTimer m_clock;
    /// The last reading's first point, corners and last point, screen pixels.
    QPolygonF m_corners;
    QmarkRender* m_render;
    tnMarkMenu* m_currentMenu = nullptr;
    QPoint m_center;
    QPoint m_lastProcessed;
    QPoint m_lastMove;
    /// What the last paint drew, in screen pixels, where it did draw; a pointer
    /// move that changes the highlight repaints it.
    QRect m_painted;
    /// Processing a pointer position changed the highlight.
    bool m_lookChanged = false;
    bool m_replaying = false;
    bool m_showingGesture = false;
    float m_savedMaxRadius = 250.0f;
    bool m_tracking = true;
    /// The menu whose maxRadius was lifted for the gesture phase.
    tnMarkMenu* m_liftedMenu = nullptr;
    /// The screen the popup runs on, in global pixels.
    QRect m_screen;
    /// The part of it the view covers, in screen pixels.
    QRect m_area;
    /// Whether the view is translucent; when not, m_background is the picture
    /// of m_area's pixels as they were before the view covered them, painted
    /// under the menu.
    bool m_composited = true;
    QPixmap m_background;
    bool m_cancelled = false;
    /// The pointer has moved since the popup began. A release before it does
    /// chooses nothing, in a list too, whose first item hangs from the
    /// pointer.
    bool m_moved = false;
    /// Keys have been used in this popup (or opened it): submenus start at
    /// their first item, and the pointer's place moves the highlight only
    /// once the pointer moves.
    bool m_keyboard = false;
    /// No pointer position has been seen yet in a popup opened from the
    /// keyboard.
    bool m_pointerUnknown = false;
    /// Keeping menus on screen moved them by m_shift during this popup. The
    /// mouse pointer is warped along where the platform allows it; m_mouseLag
    /// is the part it could not follow. A pen's position is absolute, so its
    /// positions always get the whole shift. m_tabletInput: a tablet has
    /// been seen in this popup, so the cursor is left where the pen is.
    QPoint m_shift;
    QPoint m_mouseLag;
    bool m_tabletInput = false;
};
