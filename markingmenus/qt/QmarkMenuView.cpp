#include "QmarkMenuView.h"

#include "QmarkAccessible.h"
#include "QmarkCompositing.h"
#include "QmarkRender.h"
#include "QmarkTooltip.h"

#include "../../entity/Error.h"
#include "../../entity/Rectangle.h"
#include "../MarkGeometry.h"
#include "../MarkItem.h"
#include "../MarkMenu.h"

#include <QCoreApplication>
#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLineF>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointingDevice>
#include <QScreen>
#include <QTabletEvent>
#include <QTouchEvent>
#include <QtMath>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

QPointer<QmarkMenuView> s_view;
QPointer<QWidget> s_parentWindow;
// Indexed by timeout kind: show items, pop parent, submenu restart, gesture
// feedback.
int s_timeouts[4] = {100, 600, 600, 100};
QmarkMenuView::QuickMarkRule s_quickMarkRule = QmarkMenuView::QuickMarkRule::WholeStroke;
// The next popup is opened from the keyboard (KeyboardOpening).
bool s_keyboardOpening = false;

// The menu's maxRadius while the items are hidden: in the gesture phase any
// distance from the centre counts.
constexpr float gestureMaxRadius = 10000.0f;
// Moves shorter than this (city-block pixels) are dropped.
constexpr int minMove = 3;
// A step turning by more than this many degrees makes a corner.
constexpr qreal cornerAngle = 20.0;
// Radius of the rings that mark a recognised stroke's corners.
constexpr qreal cornerMarkRadius = 4.0;
// Pixels that the stroke's pen, its joins and its antialiasing reach beyond
// the stroke's points.
constexpr int strokeReach = 3;
// The same for the pointer line, whose pen is wider.
constexpr int pointerLineReach = 4;
// Pixels around a menu's items that the view covers from the start, for
// frames, tooltips and the first steps of a stroke.
constexpr int menuReach = 48;

void setTimeout(int kind, int ms)
{
    if (ms < 0)
        throw tnUI::ImplError();
    s_timeouts[kind] = ms;
}

// A point given by the host in global pixels, truncated to whole pixels after
// it is kept to the desktop, so that no conversion overflows.
QPoint screenPoint(double x, double y)
{
    const tnLinear::Point2 p = tnMarkGeometry::clampToDesktop(x, y, QmarkMenuView::desktopBounds());
    return {static_cast<int>(p.x), static_cast<int>(p.y)};
}

// The item as a selectable item; null for none and for the overflow bitmap
// item.
tnMarkMenuItem* asMenuItem(tnMarkItem* item)
{
    return item ? item->asMenuItem() : nullptr;
}

// The screen pixels of a tooltip as last laid out: the frame's pen reaches a
// pixel beyond its box.
QRect toolTipArea(const QmarkTooltip& tooltip)
{
    return tooltip.rect().adjusted(-2, -2, 2, 2);
}

// The direction a key points in, as a model offset (y up); null for a key
// that points nowhere. The numeric keypad's digits point as they lie, and so
// do its keys with Num Lock off.
QPointF keyDirection(const QKeyEvent& key)
{
    switch (key.key()) {
    case Qt::Key_Right: return {1, 0};
    case Qt::Key_Up: return {0, 1};
    case Qt::Key_Left: return {-1, 0};
    case Qt::Key_Down: return {0, -1};
    case Qt::Key_PageUp: return {1, 1};
    case Qt::Key_Home: return {-1, 1};
    case Qt::Key_End: return {-1, -1};
    case Qt::Key_PageDown: return {1, -1};
    default: break;
    }
    if (!(key.modifiers() & Qt::KeypadModifier))
        return {};
    switch (key.key()) {
    case Qt::Key_6: return {1, 0};
    case Qt::Key_9: return {1, 1};
    case Qt::Key_8: return {0, 1};
    case Qt::Key_7: return {-1, 1};
    case Qt::Key_4: return {-1, 0};
    case Qt::Key_1: return {-1, -1};
    case Qt::Key_2: return {0, -1};
    case Qt::Key_3: return {1, -1};
    default: return {};
    }
}

// The character after the label's single '&', lower case; null for none.
QChar mnemonic(const tnMarkItem& item)
{
    const QString label = QString::fromStdWString(item.getLabel().str());
    for (qsizetype i = label.indexOf(u'&'); i >= 0 && i + 1 < label.size(); i = label.indexOf(u'&', i + 2)) {
        if (label[i + 1] != u'&')
            return label[i + 1].toLower();
    }
    return {};
}

// The menu item of menu whose mnemonic is the key's text; null for none.
tnMarkMenuItem* itemWithMnemonic(const tnMarkMenu& menu, const QKeyEvent& key)
{
    const QString text = key.text();
    if (text.size() != 1 || !text[0].isPrint() || (key.modifiers() & (Qt::ControlModifier | Qt::MetaModifier)))
        return nullptr;
    for (tnMarkItem* item : menu.getItems()) {
        if (item->asMenuItem() && mnemonic(*item) == text[0].toLower())
            return item->asMenuItem();
    }
    return nullptr;
}

// The menu item step places after the highlighted one in menu's order,
// round the end; the first or last when none is highlighted.
tnMarkMenuItem* stepItem(const tnMarkMenu& menu, int step)
{
    std::vector<tnMarkMenuItem*> items;
    for (tnMarkItem* item : menu.getItems()) {
        if (tnMarkMenuItem* menuItem = item->asMenuItem())
            items.push_back(menuItem);
    }
    if (items.empty())
        return nullptr;
    const auto count = static_cast<int>(items.size());
    const auto at = std::find(items.begin(), items.end(), menu.getHighlightedItem());
    const int from = at == items.end() ? (step > 0 ? -1 : count) : static_cast<int>(at - items.begin());
    return items[static_cast<std::size_t>(((from + step) % count + count) % count)];
}

// Whether menu is start or one of the menus start was popped from.
bool isInParentChain(const tnMarkMenu* start, const tnMarkMenu* menu)
{
    for (const tnMarkMenu* each = start; each; each = each->getParentMenu()) {
        if (each == menu)
            return true;
    }
    return false;
}

} // namespace

QmarkMenuView::QmarkMenuView(QWidget* parent)
    : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_render(nullptr)
{
    // A fresh view is made for every popup, so this follows a compositing
    // manager that starts or stops while the host runs. Without one, X11
    // would fill a translucent window with black.
    m_composited = QmarkCompositing::isActive();
    if (m_composited) {
        setAttribute(Qt::WA_TranslucentBackground);
    } else {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_NoSystemBackground);
    }
    setAttribute(Qt::WA_ShowWithoutActivating);
    QCoreApplication::instance()->installEventFilter(this);
    m_render = new QmarkRender(this);
    setWindowTitle(QStringLiteral("Marking Menu"));
    setObjectName(QStringLiteral("markingMenuWindow"));
    for (QTimer* timer : {&m_showItemsTimer, &m_popParentTimer, &m_popSubmenuTimer})
        timer->setSingleShot(true);
    connect(&m_showItemsTimer, &QTimer::timeout, this, &QmarkMenuView::showItemsTimeout);
    connect(&m_popParentTimer, &QTimer::timeout, this, &QmarkMenuView::popParentTimeout);
    connect(&m_popSubmenuTimer, &QTimer::timeout, this, &QmarkMenuView::popSubmenuTimeout);
    QmarkAccessible::attach(this);
}

QmarkMenuView::~QmarkMenuView()
{
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeEventFilter(this);
    m_showItemsTimer.stop();
    m_popParentTimer.stop();
    m_popSubmenuTimer.stop();
    // Destroyed from inside its own loop (with its parent window): the popup
    // ends with nothing chosen.
    m_cancelled = true;
    if (m_loop)
        m_loop->exit(0);
    _restoreMaxRadius();
    hide();
    delete m_render;
}

QmarkMenuView* QmarkMenuView::getView()
{
    if (!s_view)
        s_view = new QmarkMenuView(s_parentWindow);
    return s_view;
}

tnLinear::Range2d QmarkMenuView::desktopBounds()
{
    QRect desktop;
    for (const QScreen* screen : QGuiApplication::screens())
        desktop |= screen->geometry();
    tnLinear::Range2d bounds;
    if (!desktop.isEmpty())
        bounds.set({double(desktop.left()), double(desktop.top())},
                   {double(desktop.right()), double(desktop.bottom())});
    return bounds;
}

QmarkMenuView* QmarkMenuView::findView()
{
    return s_view;
}

void QmarkMenuView::destroyView()
{
    delete s_view.data();
    s_view = nullptr;
    if (QWidget* parent = s_parentWindow) {
        if (!parent->isActiveWindow())
            parent->activateWindow();
        parent->raise();
    }
}

void QmarkMenuView::runPopup(tnMarkMenu* menu, float x, float y, int* id, void** data, bool flag, bool fromCurrentMenu)
{
    QmarkMenuView* view = getView();
    const QPointer<QmarkMenuView> alive(view);
    // A view made for a popup that is refused goes at once: it would hold the
    // application's input.
    const bool fresh = !view->m_loop && view->m_stroke.elementCount() == 0;
    Result result;
    try {
        result = view->execMenu({menu, x, y, flag}, menu->getPopupMode());
    } catch (...) {
        if (fresh && alive)
            destroyView();
        throw;
    }
    if (result.nextMenu) {
        result.nextMenu->setPopupMode(menu->getPopupMode());
        result.nextMenu->popup(static_cast<float>(result.x), static_cast<float>(result.y), id, data, result.flag);
        return;
    }
    // A quick mark may have ended in a submenu that was never popped itself.
    // A cancelled popup, one whose view went with its parent window, or one
    // whose pointer never moved chooses nothing.
    const bool cancelled = !alive || view->isCancelled() || !view->m_moved;
    tnMarkMenu* last = fromCurrentMenu && alive ? view->getCurrentMenu() : menu;
    const tnMarkItem* chosen = cancelled ? nullptr : last->getSelectedItem();
    QmarkAccessible::announceChoice(alive, chosen);
    destroyView();
    if (id)
        *id = chosen ? chosen->getId() : -1;
    if (data)
        *data = chosen ? chosen->getData() : nullptr;
}

QmarkMenuView::Result QmarkMenuView::execMenu(const Request& request, int /*popupMode*/)
{
    tnMarkMenu* menu = request.menu;
    if (!menu)
        throw tnUI::NullError();
    if (m_loop)
        throw tnUI::ImplError();
    const QPoint global = screenPoint(request.x, request.y);

    m_currentMenu = menu;
    m_nextMenu = nullptr;
    m_nextFlag = request.flag;

    // The view covers one screen for the whole popup: the first menu's. The
    // stroke starts with the first menu, so an empty stroke marks it.
    const bool first = m_stroke.elementCount() == 0;
    // The items show once the pointer has rested for the delay since the
    // popup began, whatever taking the screen's picture and showing the view
    // cost.
    QElapsedTimer started;
    started.start();
    if (first) {
        QScreen* screen = QGuiApplication::screenAt(global);
        if (!screen)
            screen = QGuiApplication::primaryScreen();
        m_screen = screen ? screen->geometry() : QRect();
        m_cancelled = false;
        // A menu opened from the keyboard starts with its items shown and
        // the first highlighted, which Enter chooses at once.
        m_keyboard = std::exchange(s_keyboardOpening, false);
        m_moved = m_keyboard;
        m_shift = m_mouseLag = QPoint();
        m_tabletInput = false;
        m_render->forgetPictures();
        m_render->setCanvas(m_screen);
        m_background = QPixmap();
        m_area = QRect();
    }
    m_center = global - m_screen.topLeft();
    m_render->setCenter(m_center.x(), m_center.y());
    m_showingGesture = false;
    m_savedMaxRadius = menu->getMaxRadius();

    if (first) {
        menu->forgetPointer();
        m_lastProcessed = m_lastMove = m_center;
        m_stroke.moveTo(m_center);
        m_strokeOrigin = m_center;
        m_points.assign(1, tnMarkStrokePoint{});
        m_corners.clear();
        m_clock.start();
        tnMarkMenu::setGesturePhase(!m_keyboard);
        // From the keyboard, the pointer may be anywhere: the first position
        // reported is where it is, and it takes over once it moves on.
        m_pointerUnknown = m_keyboard;
        // The view starts over the menu, whose pixels are taken from the
        // screen before it shows.
        _cover(_menuRect(menu) | QRect(m_center, m_center));
    } else if (!m_keyboard) {
        _processPosition(m_lastProcessed);
    }

    if (!tnMarkMenu::isGesturePhase()) {
        _keepOnScreen();
        _moveParentMarker();
        menu->showItems();
        _repaintAll();
        if (!isVisible())
            show();
        // From the keyboard a menu starts at an item: the one it was left
        // at, else the first.
        if (m_keyboard && !menu->getHighlightedItem())
            _keyHighlight(stepItem(*menu, 1));
    } else {
        menu->hideItems();
        if (!isVisible())
            show();
        raise();
        const int delay = getTimeout(ShowItems, _divisor(menu));
        m_showItemsTimer.start(std::max<int>(0, delay - static_cast<int>(started.elapsed())));
        m_liftedMenu = menu;
        menu->setMaxRadius(gestureMaxRadius);
    }

    // Entering the menu may already have opened a submenu.
    if (!m_nextMenu) {
        QEventLoop loop;
        m_loop = &loop;
        const QPointer<QmarkMenuView> alive(this);
        loop.exec();
        if (!alive)
            return {};
        m_loop = nullptr;
    }
    _restoreMaxRadius();

    const QPointF next = m_nextPosition + QPointF(m_screen.topLeft());
    return {m_nextMenu, next.x(), next.y(), m_nextFlag};
}

int QmarkMenuView::getTimeout(int kind, int divisor)
{
    if (kind < ShowItems || kind > GestureFeedback)
        return 0;
    const int ms = s_timeouts[kind];
    if (divisor == 1)
        return ms / 2;
    if (divisor == 2)
        return ms / 4;
    return ms;
}

void QmarkMenuView::setShowItemsDelay(int ms)
{
    setTimeout(ShowItems, ms);
}

void QmarkMenuView::setPopParentDelay(int ms)
{
    setTimeout(PopParent, ms);
}

void QmarkMenuView::setSubmenuRestartDelay(int ms)
{
    setTimeout(SubmenuRestart, ms);
}

void QmarkMenuView::setGestureFeedbackTime(int ms)
{
    setTimeout(GestureFeedback, ms);
}

int QmarkMenuView::getShowItemsDelay()
{
    return s_timeouts[ShowItems];
}

int QmarkMenuView::getPopParentDelay()
{
    return s_timeouts[PopParent];
}

int QmarkMenuView::getSubmenuRestartDelay()
{
    return s_timeouts[SubmenuRestart];
}

int QmarkMenuView::getGestureFeedbackTime()
{
    return s_timeouts[GestureFeedback];
}

void QmarkMenuView::setParentWindow(QWidget* parentWindow)
{
    s_parentWindow = parentWindow;
}

QWidget* QmarkMenuView::getParentWindow()
{
    return s_parentWindow;
}

QmarkMenuView::KeyboardOpening::KeyboardOpening()
{
    s_keyboardOpening = true;
}

QmarkMenuView::KeyboardOpening::~KeyboardOpening()
{
    s_keyboardOpening = false;
}

void QmarkMenuView::setQuickMarkRule(QuickMarkRule rule)
{
    s_quickMarkRule = rule;
}

QmarkMenuView::QuickMarkRule QmarkMenuView::getQuickMarkRule()
{
    return s_quickMarkRule;
}

QPainterPath QmarkMenuView::simplifyStroke(const QPainterPath& stroke, float centerRadius)
{
    QPainterPath simple;
    const int count = stroke.elementCount();
    if (count == 0)
        return simple;
    simple.moveTo(stroke.elementAt(0));
    if (count > 1) {
        QLineF segment(stroke.elementAt(0), stroke.elementAt(1));
        for (int i = 1; i < count; ++i) {
            const QPointF point = stroke.elementAt(i);
            const QLineF step(segment.p2(), point);
            const qreal angle = step.angleTo(segment);
            if (step.length() > centerRadius && angle > cornerAngle && angle < 360.0 - cornerAngle) {
                simple.lineTo(segment.p2());
                segment = step;
            } else {
                segment.setP2(point);
            }
        }
    }
    simple.lineTo(stroke.currentPosition());
    return simple;
}

void QmarkMenuView::cancel()
{
    if (!m_loop)
        return;
    m_cancelled = true;
    m_showItemsTimer.stop();
    m_popParentTimer.stop();
    m_popSubmenuTimer.stop();
    m_nextMenu = nullptr;
    m_showingGesture = false;
    m_tracking = false;
    _exitLoop();
    hide();
}

bool QmarkMenuView::eventFilter(QObject* /*watched*/, QEvent* event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress: {
        // The menu's keys are its own, even where the host binds them to
        // shortcuts; every other key passes on.
        auto* key = static_cast<QKeyEvent*>(event);
        if (!_isMenuKey(*key))
            return false;
        event->accept();
        if (event->type() == QEvent::KeyPress)
            _handleKey(*key);
        return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: mousePressEvent(static_cast<QMouseEvent*>(event)); return true;
    case QEvent::MouseButtonRelease: mouseReleaseEvent(static_cast<QMouseEvent*>(event)); return true;
    case QEvent::MouseMove: mouseMoveEvent(static_cast<QMouseEvent*>(event)); return true;
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
        // One finger comes as the mouse events Qt makes of it; a second one
        // cancels the menu.
        if (static_cast<QTouchEvent*>(event)->pointCount() > 1 && m_loop)
            cancel();
        return false;
    case QEvent::TouchCancel:
        // The system took the touch over, for a gesture of its own.
        cancel();
        return false;
    case QEvent::TabletPress:
        // Accepted, so that Qt makes no mouse press of it.
        event->accept();
        m_tabletInput = true;
        return true;
    case QEvent::TabletMove: {
        auto* tablet = static_cast<QTabletEvent*>(event);
        tablet->accept();
        m_tabletInput = true;
        if (m_tracking)
            _handleMove(_tabletPosition(tablet->globalPosition()));
        return true;
    }
    case QEvent::TabletRelease: {
        auto* tablet = static_cast<QTabletEvent*>(event);
        tablet->accept();
        m_tabletInput = true;
        if (m_tracking) {
            m_tracking = false;
            _handleRelease(_tabletPosition(tablet->globalPosition()));
        }
        return true;
    }
    default: return false;
    }
}

bool QmarkMenuView::_isMenuKey(const QKeyEvent& key) const
{
    if (key.key() == Qt::Key_Escape)
        return true;
    const tnMarkMenu* menu = m_currentMenu;
    if (!m_loop || !menu)
        return false;
    switch (key.key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
    case Qt::Key_Backspace: return true;
    default: break;
    }
    if (menu->isLinear() && (key.key() == Qt::Key_Up || key.key() == Qt::Key_Down || key.key() == Qt::Key_Left ||
                             key.key() == Qt::Key_Right))
        return true;
    return (!menu->isLinear() && !keyDirection(key).isNull()) || itemWithMnemonic(*menu, key);
}

void QmarkMenuView::_handleKey(const QKeyEvent& key)
{
    if (key.key() == Qt::Key_Escape) {
        cancel();
        return;
    }
    tnMarkMenu* menu = m_currentMenu;
    // Nothing to do while the chosen item is shown or the next menu is due.
    if (m_showingGesture || m_nextMenu || !m_tracking)
        return;
    m_keyboard = true;
    switch (key.key()) {
    case Qt::Key_Tab: _keyHighlight(stepItem(*menu, 1)); return;
    case Qt::Key_Backtab: _keyHighlight(stepItem(*menu, -1)); return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space: _keyChoose(false); return;
    case Qt::Key_Backspace: _keyBack(); return;
    default: break;
    }
    if (tnMarkMenuItem* item = itemWithMnemonic(*menu, key)) {
        _keyHighlight(item);
        _keyChoose(false);
        return;
    }
    if (menu->isLinear()) {
        switch (key.key()) {
        case Qt::Key_Up: _keyHighlight(stepItem(*menu, -1)); return;
        case Qt::Key_Down: _keyHighlight(stepItem(*menu, 1)); return;
        case Qt::Key_Right: _keyChoose(true); return;
        case Qt::Key_Left: _keyBack(); return;
        default: return;
        }
    }
    const QPointF direction = keyDirection(key);
    const int index = menu->nearestItemByAngle(static_cast<float>(direction.x()), static_cast<float>(direction.y()));
    if (index >= 0)
        _keyHighlight(menu->getItems()[static_cast<std::size_t>(index)]->asMenuItem());
}

void QmarkMenuView::_keyHighlight(tnMarkMenuItem* item)
{
    tnMarkMenu* menu = m_currentMenu;
    if (!item || !menu)
        return;
    // The keys take over from the pointer: its timers stop, and a choice
    // made now counts.
    m_moved = true;
    m_showItemsTimer.stop();
    m_popSubmenuTimer.stop();
    m_popParentTimer.stop();
    // A host's slot may end the popup.
    const QPointer<QmarkMenuView> alive(this);
    if (menu->highlightItem(item))
        emit hovered(item);
    if (!alive)
        return;
    if (!menu->areItemsVisible())
        _showItems();
    else
        _repaintAll();
}

void QmarkMenuView::_keyChoose(bool submenuOnly)
{
    tnMarkMenu* menu = m_currentMenu;
    tnMarkMenuItem* item = asMenuItem(menu->getHighlightedItem());
    if (!item || (submenuOnly && !item->getSubmenu()))
        return;
    if (item->getSubmenu()) {
        if (!menu->areItemsVisible())
            _showItems();
        popSubmenuTimeout();
        return;
    }
    if (item->getState() == tnMarkItem::Disabled)
        return;
    m_moved = true;
    m_tracking = false;
    _exitLoop();
}

void QmarkMenuView::_keyBack()
{
    tnMarkMenu* menu = m_currentMenu;
    if (menu->getParentMenu())
        popParentTimeout();
}

void QmarkMenuView::mousePressEvent(QMouseEvent* event)
{
    event->accept();
}

void QmarkMenuView::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (!m_tracking)
        return;
    // A finger lifted in place once the items show leaves them up: the tap
    // that follows chooses the item under it, or nothing elsewhere.
    const QPointingDevice* device = event->pointingDevice();
    if (!m_moved && device && device->type() == QInputDevice::DeviceType::TouchScreen && m_currentMenu &&
        m_currentMenu->areItemsVisible()) {
        m_moved = true;
        return;
    }
    m_tracking = false;
    _handleRelease(_mousePosition(event->globalPosition()));
}

void QmarkMenuView::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    if (m_tracking)
        _handleMove(_mousePosition(event->globalPosition()));
}

void QmarkMenuView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    // Moves repaint only what they changed: the render skips the items that
    // lie outside the region.
    painter.setClipRegion(event->region());
    painter.translate(-m_area.topLeft());
    _paint(painter, event->region().translated(m_area.topLeft()));
    painter.end();
    // Something drew beyond the view (an item shown at the pointer, a
    // tooltip kept inside the screen): the view grows to it.
    const QRect beyond = m_painted & QRect(QPoint(0, 0), m_screen.size());
    if (!beyond.isEmpty() && !m_area.contains(beyond))
        QTimer::singleShot(0, this, [this] { _cover(m_painted); });
}

void QmarkMenuView::_paint(QPainter& painter, const QRegion& region)
{
    if (!m_background.isNull())
        painter.drawPixmap(m_area.topLeft(), m_background);
    m_painted = QRect();
    tnMarkMenu* menu = m_currentMenu;
    if (!menu)
        return;
    painter.setRenderHint(QPainter::Antialiasing);
    m_render->setPainter(&painter);

    if (!m_showingGesture)
        menu->draw(*m_render, true);

    const QPointF pointer = _toModel(m_lastProcessed);
    if (tnMarkMenu::isGesturePhase()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2.0));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(m_stroke);
        m_painted |=
            m_stroke.boundingRect().toAlignedRect().adjusted(-strokeReach, -strokeReach, strokeReach, strokeReach);
        // The corners where the recognised mark turned into a submenu.
        if (m_showingGesture) {
            for (qsizetype i = 1; i + 1 < m_corners.size(); ++i)
                painter.drawEllipse(m_corners[i], cornerMarkRadius, cornerMarkRadius);
        }
    } else if (!menu->isLinear() && !menu->isInOverflowList() &&
               std::hypot(pointer.x(), pointer.y()) <= menu->getMaxRadius()) {
        m_render->drawPointerLine(0.0f, 0.0f, static_cast<float>(pointer.x()), static_cast<float>(pointer.y()));
    }

    // The overflow bitmap item is no menu item, so it is never drawn here.
    if (m_showingGesture) {
        if (tnMarkMenuItem* chosen = asMenuItem(menu->getSelectedItem()))
            chosen->drawAt(static_cast<float>(pointer.x()), static_cast<float>(pointer.y()), *m_render);
    }
    if (menu->areItemsVisible()) {
        if (tnMarkMenuItem* highlighted = asMenuItem(menu->getHighlightedItem())) {
            // A tooltip moves only with the highlight, which repaints where
            // it goes: one laid out before, outside the region, stays as is.
            const auto* tooltip = dynamic_cast<const QmarkTooltip*>(highlighted->getToolTip());
            if (!tooltip || tooltip->rect().isEmpty() || region.intersects(toolTipArea(*tooltip)))
                highlighted->showToolTip(*m_render);
        }
    }
    m_painted |= m_render->bounds() | _toolTipRect();
    m_render->setPainter(nullptr);
}

QRect QmarkMenuView::_probe()
{
    // A paint into a pixel clipped to a place that nothing reaches: the
    // render lays everything out and draws nothing.
    QImage probe(1, 1, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&probe);
    const QRect nowhere(-1000000, -1000000, 1, 1);
    painter.setClipRect(nowhere);
    _paint(painter, QRegion(nowhere));
    return m_painted;
}

QRect QmarkMenuView::_menuRect(tnMarkMenu* menu) const
{
    float right = 0.0f;
    float bottom = 0.0f;
    float left = 0.0f;
    float top = 0.0f;
    menu->getExtents(right, bottom, left, top);
    return QRect(QPoint(m_center.x() + qFloor(left), m_center.y() - qCeil(top)),
                 QPoint(m_center.x() + qCeil(right), m_center.y() - qFloor(bottom)))
        .adjusted(-menuReach, -menuReach, menuReach, menuReach);
}

void QmarkMenuView::_cover(const QRect& needed)
{
    const QRect screen(QPoint(0, 0), m_screen.size());
    const QRect wanted = needed & screen;
    if (wanted.isEmpty() || m_area.contains(wanted))
        return;
    // Half its size again beyond what is needed, so that a stroke heading
    // away grows the view a few times at most.
    const int margin = std::max(m_area.width(), m_area.height()) / 2;
    const QRect area = (m_area | wanted.adjusted(-margin, -margin, margin, margin)) & screen;
    if (!m_composited) {
        // The pixels newly covered are taken from the screen before the view
        // reaches over them; those covered already are kept.
        QScreen* source = QGuiApplication::screenAt(m_screen.center());
        const qreal ratio = source ? source->devicePixelRatio() : 1.0;
        QPixmap background(area.size() * ratio);
        background.setDevicePixelRatio(ratio);
        background.fill(Qt::black);
        QPainter painter(&background);
        painter.translate(-area.topLeft());
        if (!m_background.isNull())
            painter.drawPixmap(m_area.topLeft(), m_background);
        for (const QRect& strip : QRegion(area) - QRegion(m_area)) {
            if (source)
                painter.drawPixmap(strip.topLeft(),
                                   source->grabWindow(0, strip.x(), strip.y(), strip.width(), strip.height()));
        }
        painter.end();
        m_background = background;
    }
    m_area = area;
    setGeometry(m_area.translated(m_screen.topLeft()));
    update();
}

void QmarkMenuView::_repaint(const QRegion& region)
{
    _cover(region.boundingRect());
    update(region.translated(-m_area.topLeft()));
}

void QmarkMenuView::_repaintAll()
{
    _cover(_probe());
    update();
}

void QmarkMenuView::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    // Closed by the window system, or by Qt closing its popups: the popup
    // must not go on without a window, holding every mouse event.
    if (m_loop && !m_cancelled)
        cancel();
}

void QmarkMenuView::showItemsTimeout()
{
    if (!m_currentMenu)
        return;
    if (!m_currentMenu->isLinear())
        _replayStroke(false);
    if (!m_showingGesture)
        _showItems();
}

void QmarkMenuView::popSubmenuTimeout()
{
    tnMarkMenu* menu = m_currentMenu;
    tnMarkMenuItem* item = menu ? asMenuItem(menu->getHighlightedItem()) : nullptr;
    tnMarkMenu* submenu = item ? item->getSubmenu() : nullptr;
    // A submenu that is this menu or one of its parents cannot open inside
    // itself.
    if (!submenu || isInParentChain(menu, submenu))
        return;
    emit aboutToShowSubmenu(item);

    QPointF offset;
    if (submenu->isLinear()) {
        // The list hangs from the item's top-right corner.
        float left = 0.0f;
        float bottom = 0.0f;
        float right = 0.0f;
        float top = 0.0f;
        item->getBox(left, bottom, right, top);
        offset = QPointF(std::ceil(-right), std::ceil(top));
    } else {
        offset = QPointF(m_center - m_lastProcessed);
        menu->hideItems();
    }
    submenu->forgetPointer();
    submenu->setParentMenu(menu);
    submenu->setParentOffset(static_cast<float>(offset.x()), static_cast<float>(-offset.y()));
    m_nextMenu = submenu;
    m_nextPosition = QPointF(m_center) - offset;
    if (m_loop && m_loop->isRunning() && !m_replaying)
        m_loop->exit(0);
}

void QmarkMenuView::popParentTimeout()
{
    tnMarkMenu* menu = m_currentMenu;
    tnMarkMenu* parent = menu ? menu->getParentMenu() : nullptr;
    if (!parent)
        return;
    menu->hideItems();
    parent->setCenterHighlighted(false);
    float offsetX = 0.0f;
    float offsetY = 0.0f;
    menu->getParentOffset(offsetX, offsetY);
    m_nextMenu = parent;
    m_nextPosition = QPointF(m_center) + QPointF(offsetX, -offsetY);
    if (m_loop && !m_replaying)
        m_loop->exit(0);
}

void QmarkMenuView::showGestureTimeout()
{
    m_showingGesture = false;
    _exitLoop();
}

QPoint QmarkMenuView::_toScreen(const QPointF& globalPosition) const
{
    // Through where the view is, which a platform may place otherwise than
    // asked, so that the pointer meets what is drawn under it.
    return (globalPosition - QPointF(geometry().topLeft() - m_area.topLeft())).toPoint();
}

QPoint QmarkMenuView::_mousePosition(const QPointF& globalPosition) const
{
    return _toScreen(globalPosition) + m_mouseLag;
}

QPoint QmarkMenuView::_tabletPosition(const QPointF& globalPosition) const
{
    return _toScreen(globalPosition) + m_shift;
}

QPointF QmarkMenuView::_toModel(const QPoint& p) const
{
    return {static_cast<qreal>(p.x() - m_center.x()), static_cast<qreal>(m_center.y() - p.y())};
}

int QmarkMenuView::_divisor(const tnMarkMenu* menu) const
{
    return menu->isLinear() ? 2 : 0;
}

void QmarkMenuView::_handleMove(const QPoint& p)
{
    tnMarkMenu* menu = m_currentMenu;
    if (m_showingGesture || !menu)
        return;
    if (std::exchange(m_pointerUnknown, false))
        m_lastMove = p;
    if ((p - m_lastMove).manhattanLength() < minMove)
        return;
    m_moved = true;
    const QRect lineBefore = _pointerLineRect();
    const tnMarkMenu* menuBefore = m_currentMenu;
    m_lookChanged = false;
    _processPosition(p);
    m_stroke.lineTo(p);
    if (tnMarkMenu::isGesturePhase()) {
        m_points.push_back({static_cast<double>(p.x() - m_strokeOrigin.x()),
                            static_cast<double>(m_strokeOrigin.y() - p.y()), static_cast<double>(m_clock.elapsed())});
    }
    menu = m_currentMenu;
    if (!menu->areItemsVisible()) {
        // Moving postpones the display: the items show once the pointer
        // rests.
        if (tnMarkMenu::isGesturePhase())
            m_showItemsTimer.start(getTimeout(ShowItems, _divisor(menu)));
    } else if (m_popSubmenuTimer.isActive()) {
        if (QLineF(m_center, p).length() < menu->getRadius())
            m_popSubmenuTimer.start(getTimeout(SubmenuRestart, 0));
    }
    if (!m_nextMenu) {
        if (tnMarkMenu::isGesturePhase()) {
            // The stroke only grows.
            _repaint(QRect(m_lastMove, p).normalized().adjusted(-strokeReach, -strokeReach, strokeReach, strokeReach));
        } else if (menu != menuBefore) {
            _repaintAll();
        } else {
            // The pointer line moved; a new highlight changes items and the
            // tooltip too.
            QRegion changed = QRegion(lineBefore) + _pointerLineRect();
            if (m_lookChanged)
                changed += m_painted | _toolTipRect();
            _repaint(changed);
        }
    }
    m_lastMove = p;
}

QRect QmarkMenuView::_pointerLineRect() const
{
    return QRect(m_center, m_lastProcessed)
        .normalized()
        .adjusted(-pointerLineReach, -pointerLineReach, pointerLineReach, pointerLineReach);
}

QRect QmarkMenuView::_toolTipRect()
{
    tnMarkMenu* menu = m_currentMenu;
    tnMarkMenuItem* item = menu && menu->areItemsVisible() ? asMenuItem(menu->getHighlightedItem()) : nullptr;
    const auto* tooltip = item ? dynamic_cast<const QmarkTooltip*>(item->getToolTip()) : nullptr;
    if (!tooltip)
        return {};
    if (!m_render->painter()) {
        // Laid out by drawing it into a one-pixel picture, which costs
        // little: its place depends on the item, the screen and its text.
        QImage probe(1, 1, QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&probe);
        m_render->setPainter(&painter);
        item->showToolTip(*m_render);
        m_render->setPainter(nullptr);
    }
    return toolTipArea(*tooltip);
}

void QmarkMenuView::_processPosition(const QPoint& p)
{
    if (tnMarkMenu::isGesturePhase() && !m_replaying)
        return;
    tnMarkMenu* menu = m_currentMenu;
    m_lastProcessed = p;
    const QPointF offset = _toModel(p);
    const auto dx = static_cast<float>(offset.x());
    const auto dy = static_cast<float>(offset.y());

    const bool overParent = menu->isOverParentCenter(dx, dy);
    tnMarkMenu* parent = menu->getParentMenu();
    if (parent && parent->isCenterHighlighted() != overParent) {
        parent->setCenterHighlighted(overParent);
        m_lookChanged = true;
    }
    if (overParent) {
        emit hovered(nullptr);
        m_popSubmenuTimer.stop();
        if (!m_popParentTimer.isActive()) {
            float parentX = 0.0f;
            float parentY = 0.0f;
            menu->getParentOffset(parentX, parentY);
            const bool quick = menu->isLinear() && tnMarkGeometry::inParentArea(parent, {dx - parentX, dy - parentY});
            m_popParentTimer.start(getTimeout(PopParent, quick ? 2 : 0));
        }
        return;
    }

    m_popParentTimer.stop();
    if (menu->hover(dx, dy, false)) {
        m_lookChanged = true;
        emit hovered(menu->getHighlightedItem());
    }
    const tnMarkMenuItem* item = asMenuItem(menu->getHighlightedItem());
    if (item && item->getSubmenu()) {
        if (!menu->areItemsVisible())
            popSubmenuTimeout();
        else
            m_popSubmenuTimer.start(getTimeout(ShowItems, _divisor(item->getSubmenu())));
    }
}

void QmarkMenuView::_replayStroke(bool midpointRule)
{
    if (s_quickMarkRule == QuickMarkRule::WholeStroke) {
        _recogniseStroke(midpointRule);
        return;
    }
    const QPainterPath path = simplifyStroke(m_stroke, m_currentMenu->getCenterRadius());
    const int count = path.elementCount();
    m_replaying = true;
    for (int i = 0; i < count; ++i) {
        const QPainterPath::Element& vertex = path.elementAt(i);
        _processPosition(QPoint(static_cast<int>(vertex.x), static_cast<int>(vertex.y)));
        if (!m_nextMenu)
            continue;
        // Carry on in the submenu; a radial one is centred at the vertex, a
        // list hangs beside its item. A quick straight mark onto a submenu
        // item centres the submenu halfway along the mark.
        m_currentMenu = m_nextMenu;
        m_nextMenu = nullptr;
        QPointF center = m_nextPosition;
        if (midpointRule && count == 2 && i == 1)
            center = path.pointAtPercent(0.5);
        m_center = QPoint(static_cast<int>(center.x()), static_cast<int>(center.y()));
        m_render->setCenter(m_center.x(), m_center.y());
        m_currentMenu->hideItems();
    }
    m_replaying = false;
}

void QmarkMenuView::_recogniseStroke(bool finished)
{
    const tnMarkRecogniser::Mark mark = tnMarkRecogniser::recognise(m_points, *m_currentMenu, finished);
    const auto toView = [this](const tnLinear::Point2& q) {
        return QPoint(m_strokeOrigin.x() + qRound(q.x), m_strokeOrigin.y() - qRound(q.y));
    };
    m_corners.clear();
    for (const tnLinear::Point2& corner : mark.corners)
        m_corners << QPointF(toView(corner));
    m_replaying = true;
    for (std::size_t i = 0; i < mark.steps.size() && mark.steps[i].menu == m_currentMenu; ++i) {
        tnMarkItem* item = mark.steps[i].item;
        if (m_currentMenu->highlightItem(item))
            emit hovered(item);
        if (i + 1 == mark.steps.size())
            break;
        // The next step is in the item's submenu: a radial one is centred
        // where the mark turned into it, a list hangs beside its item.
        m_lastProcessed = toView(mark.steps[i + 1].center);
        popSubmenuTimeout();
        if (!m_nextMenu)
            break;
        m_currentMenu = m_nextMenu;
        m_nextMenu = nullptr;
        m_center = m_nextPosition.toPoint();
        m_render->setCenter(m_center.x(), m_center.y());
        m_currentMenu->hideItems();
    }
    m_lastProcessed = m_lastMove;
    m_replaying = false;
}

void QmarkMenuView::_handleRelease(const QPoint& p)
{
    m_showItemsTimer.stop();
    m_popParentTimer.stop();
    m_popSubmenuTimer.stop();
    // The button is up: whatever the pointer did last, the popup ends here.
    m_nextMenu = nullptr;
    if (!m_moved) {
        _exitLoop();
        return;
    }
    tnMarkMenu* menu = m_currentMenu;
    if (!menu) {
        _exitLoop();
        return;
    }
    if (menu->areItemsVisible()) {
        const QPointF offset = _toModel(p);
        menu->hover(static_cast<float>(offset.x()), static_cast<float>(offset.y()), false);
        _exitLoop();
        return;
    }
    // A quick mark: the stroke alone decides, and the recognised item is
    // shown for a moment where the pointer is.
    _replayStroke(true);
    if (m_currentMenu->getSelectedItem()) {
        m_showingGesture = true;
        _cover(_probe());
        repaint();
        QTimer::singleShot(getTimeout(GestureFeedback, 0), this, &QmarkMenuView::showGestureTimeout);
    } else {
        _exitLoop();
    }
}

void QmarkMenuView::_showItems()
{
    _keepOnScreen();
    _moveParentMarker();
    tnMarkMenu::setGesturePhase(false);
    m_currentMenu->showItems();
    _restoreMaxRadius();
    _repaintAll();
}

void QmarkMenuView::_restoreMaxRadius()
{
    if (m_liftedMenu) {
        m_liftedMenu->setMaxRadius(m_savedMaxRadius);
        m_liftedMenu = nullptr;
    }
}

void QmarkMenuView::_keepOnScreen()
{
    tnMarkMenu* menu = m_currentMenu;
    float right = 0.0f;
    float bottom = 0.0f;
    float left = 0.0f;
    float top = 0.0f;
    menu->getExtents(right, bottom, left, top);
    const tnLinear::Vector2 move = tnMarkGeometry::keepOnScreenShift(
        tnLinear::Range2d({left, bottom}, {right, top}), {double(m_center.x()), double(m_center.y())},
        tnUI::Rectangle({0.0, 0.0}, {double(m_screen.width()), double(m_screen.height())}));
    const QPoint shift(static_cast<int>(move.x), static_cast<int>(move.y));
    if (shift.isNull())
        return;
    m_center += shift;
    m_render->setCenter(m_center.x(), m_center.y());
    _followShift(shift);
    if (menu->getParentMenu()) {
        // The parent stays where it is on screen.
        float parentX = 0.0f;
        float parentY = 0.0f;
        menu->getParentOffset(parentX, parentY);
        menu->setParentOffset(parentX - static_cast<float>(shift.x()), parentY + static_cast<float>(shift.y()));
    }
}

void QmarkMenuView::_followShift(const QPoint& shift)
{
    // The pointer keeps its place relative to the menu, so that what is
    // highlighted is what the user sees under the pointer, and a press and
    // release without movement still ends in the centre, choosing nothing.
    m_lastProcessed += shift;
    m_lastMove += shift;
    m_shift += shift;
    if (m_tabletInput) {
        // The cursor stays on the pen; its positions are corrected instead.
        return;
    }
    // The mouse is warped with the menu. A platform that cannot warp it
    // (Wayland) leaves it behind: its positions are corrected instead.
    QScreen* screen = this->screen();
    const QPoint target = QCursor::pos(screen) + shift;
    QCursor::setPos(screen, target);
    if (QCursor::pos(screen) != target)
        m_mouseLag += shift;
}

void QmarkMenuView::_moveParentMarker()
{
    tnMarkMenu* menu = m_currentMenu;
    if (!menu->getParentMenu())
        return;
    float x = 0.0f;
    float y = 0.0f;
    menu->getParentOffset(x, y);
    const tnLinear::Point2 moved = tnMarkGeometry::moveParentMarker(*menu, {x, y});
    menu->setParentOffset(static_cast<float>(moved.x), static_cast<float>(moved.y));
}

void QmarkMenuView::_exitLoop()
{
    if (m_loop)
        m_loop->exit(0);
}
