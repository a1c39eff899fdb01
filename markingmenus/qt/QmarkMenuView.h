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
class QmarkRender;
class tnMarkItem;
class tnMarkMenu;
class tnMarkMenuItem;

// The transparent full-screen layer that runs a marking menu: it takes every
// mouse and tablet event of the application while it exists, records the
// pointer's stroke, shows the items once the pointer rests, opens submenus
// and returns to parents on timers, and ends with a choice. One view exists
// per top-level popup and is handed on from menu to submenu.
//
// Two phases: in the gesture phase the items are hidden and only the stroke
// is drawn; a release then decides by the stroke alone (a quick mark), read
// by tnMarkRecogniser from the shape of the whole stroke, and the stroke is
// shown for a moment with the corners it turned at. When the pointer rests
// for the show-items delay, the stroke so far is read the same way (only
// clear corners lead into submenus) and the display phase begins: the item
// in the pointer's direction is highlighted and a release chooses it. The
// original reading of strokes remains as an option (QuickMarkRule).
//
// Escape, at any phase, ends the whole popup with nothing chosen; every other
// key passes on. So does a press and release without movement, wherever it
// happens. Where the display does not composite translucent windows
// (X11 without a compositing manager), the view shows a picture of the
// screen taken just before it appeared, so that the user's work stays in
// sight under the menu.
class TNUI_EXPORT QmarkMenuView : public QWidget {
    Q_OBJECT
public:
    // A menu to run centred at the global screen point (x, y).
    struct Request {
        tnMarkMenu* menu = nullptr;
        double x = 0.0;
        double y = 0.0;
        bool flag = false;
    };
    // What to run next when a menu's loop ends: a submenu or the parent,
    // centred at the global screen point (x, y); no menu when the popup is
    // done.
    struct Result {
        tnMarkMenu* nextMenu = nullptr;
        double x = 0.0;
        double y = 0.0;
        bool flag = false;
    };

    // How the view reads a stroke drawn while the items are hidden.
    enum class QuickMarkRule {
        // tnMarkRecogniser: corners from the shape of the whole stroke,
        // direction alone, short last legs after a clear corner,
        // straight-through and reversed marks. The default.
        WholeStroke,
        // The original rule: a corner only where one recorded pointer step
        // longer than the menu's centre radius turns by more than 20
        // degrees (so a densely sampled stroke has none), each corner and
        // the end hovered as a pointer would be (hidden items' boxes before
        // the direction), a straight mark onto a submenu item centring the
        // submenu halfway along it.
        LongSteps
    };

    // Timeout kinds of getTimeout.
    static constexpr int ShowItems = 0;
    static constexpr int PopParent = 1;
    static constexpr int SubmenuRestart = 2;
    static constexpr int GestureFeedback = 3;

    ~QmarkMenuView() override;

    // The view of the running popup, made on first use as a child of the
    // parent window.
    static QmarkMenuView* getView();
    // The view if one exists, else null.
    static QmarkMenuView* findView();
    // Deletes the view and gives the parent window back its activation.
    static void destroyView();
    // The bounding rectangle of all screens in global pixels, which popups
    // keep to; empty without screens.
    static tnLinear::Range2d desktopBounds();
    // The popup of both Qt menus: runs menu in the view, passes on to the
    // submenu or parent its loop ended with, and at the end destroys the view
    // and writes the chosen item's id and data (-1 and null for none). The
    // choice is read from the menu the loop ended in when fromCurrentMenu is
    // set, else from menu itself.
    static void runPopup(tnMarkMenu* menu, float x, float y, int* id, void** data, bool flag, bool fromCurrentMenu);

    // Runs request.menu until the user is done with it: releases, rests on a
    // submenu item or goes back to the parent's centre. Calling it while a
    // menu is already running raises ImplError.
    virtual Result execMenu(const Request& request, int popupMode);

    // Ends the running popup with nothing chosen and hides the view, as
    // Escape does. Nothing happens when no menu is running.
    void cancel();
    // Whether the popup was cancelled (by cancel(), Escape, or the view being
    // closed by the window system).
    bool isCancelled() const { return m_cancelled; }

    // The menu being run (after the loop has ended: the menu it ended in).
    tnMarkMenu* getCurrentMenu() const { return m_currentMenu; }
    // The menu's centre in view pixels.
    QPoint getCenter() const { return m_center; }

    // A setting in milliseconds: halved for divisor 1, quartered for
    // divisor 2; 0 for an unknown kind.
    static int getTimeout(int kind, int divisor);
    static void setShowItemsDelay(int ms);
    static void setPopParentDelay(int ms);
    static void setSubmenuRestartDelay(int ms);
    static void setGestureFeedbackTime(int ms);
    static int getShowItemsDelay();
    static int getPopParentDelay();
    static int getSubmenuRestartDelay();
    static int getGestureFeedbackTime();
    // The window the view belongs to, activated and raised again when a
    // popup ends. Forgotten when that widget is destroyed.
    static void setParentWindow(QWidget* parentWindow);
    static QWidget* getParentWindow();
    // For all popups from now on.
    static void setQuickMarkRule(QuickMarkRule rule);
    static QuickMarkRule getQuickMarkRule();

    // The corners of the original rule (QuickMarkRule::LongSteps): a corner
    // is where one recorded step longer than centerRadius turns by more than
    // 20 degrees from the segment before it. The result starts at the
    // stroke's first point and ends at its last.
    static QPainterPath simplifyStroke(const QPainterPath& stroke, float centerRadius);

signals:
    void aboutToShowSubmenu(tnMarkMenuItem* item);
    void hovered(tnMarkItem* newItem);

private slots:
    void showItemsTimeout();
    void popSubmenuTimeout();
    void popParentTimeout();
    void showGestureTimeout();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    explicit QmarkMenuView(QWidget* parent);

    QPoint _toView(const QPointF& globalPosition) const;
    // A pointer position in view pixels, corrected for the menu shifts the
    // pointer did not follow.
    QPoint _mousePosition(const QPointF& globalPosition) const;
    QPoint _tabletPosition(const QPointF& globalPosition) const;
    // The divisor for timers of the current menu: a quarter for a list.
    int _divisor(const tnMarkMenu* menu) const;
    void _handleMove(const QPoint& p);
    // The view pixels the pointer line to the last processed position may
    // cover.
    QRect _pointerLineRect() const;
    // The view pixels of the highlighted item's tooltip, laid out for the
    // current state; empty when none shows.
    QRect _toolTipRect();
    void _handleRelease(const QPoint& p);
    void _processPosition(const QPoint& p);
    void _replayStroke(bool midpointRule);
    // Reads the stroke with the recogniser and goes into the submenus it
    // leads to, highlighting the items it chose; finished: the button is
    // up.
    void _recogniseStroke(bool finished);
    void _keepOnScreen();
    // Moves the pointer along with a menu shifted to stay on screen.
    void _followShift(const QPoint& shift);
    void _moveParentMarker();
    // Shows the current menu's items and ends the gesture phase.
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
    // The stroke as the recogniser reads it: model units from its first
    // point (m_strokeOrigin, view pixels), with times.
    std::vector<tnMarkStrokePoint> m_points;
    QPoint m_strokeOrigin;
    QElapsedTimer m_clock;
    // The last reading's first point, corners and last point, view pixels.
    QPolygonF m_corners;
    QmarkRender* m_render;
    tnMarkMenu* m_currentMenu = nullptr;
    QPoint m_center;
    QPoint m_lastProcessed;
    QPoint m_lastMove;
    // What the last paint drew, in view pixels, where it did draw; a pointer
    // move that changes the highlight repaints it.
    QRect m_painted;
    // Processing a pointer position changed the highlight.
    bool m_lookChanged = false;
    bool m_replaying = false;
    bool m_showingGesture = false;
    float m_savedMaxRadius = 250.0f;
    bool m_tracking = true;
    // The menu whose maxRadius was lifted for the gesture phase.
    tnMarkMenu* m_liftedMenu = nullptr;
    // The screen the view covers, in global pixels.
    QRect m_screen;
    // Whether the view is translucent; when not, m_background is the screen
    // as it was before the view showed, painted under the menu.
    bool m_composited = true;
    QPixmap m_background;
    bool m_cancelled = false;
    // The pointer has moved since the popup began. A release before it does
    // chooses nothing, in a list too, whose first item hangs from the
    // pointer.
    bool m_moved = false;
    // Keeping menus on screen moved them by m_shift during this popup. The
    // mouse pointer is warped along where the platform allows it; m_mouseLag
    // is the part it could not follow. A pen's position is absolute, so its
    // positions always get the whole shift. m_tabletInput: a tablet has
    // been seen in this popup, so the cursor is left where the pen is.
    QPoint m_shift;
    QPoint m_mouseLag;
    bool m_tabletInput = false;
};
