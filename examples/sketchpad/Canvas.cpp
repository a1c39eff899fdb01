#include "Canvas.h"

#include "SketchApp.h"
#include "SketchWindow.h"

#include <tnUI/commands/CommandController.h>
#include <tnUI/commands/CommandInstance.h>
#include <tnUI/markingmenus/popup/PopUpMenu.h>

#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QTabletEvent>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <utility>

using tnUI::KeyName;
using tnUI::MouseEvent;
using tnUI::TabletEvent;

namespace {

constexpr int gridSpacing = 20;

tnLinear::Point2 point(const QPointF& p)
{
    return tnLinear::Point2(p.x(), p.y());
}

double distanceToSegment(const QPointF& p, const QPointF& a, const QPointF& b)
{
    const QPointF ab = b - a;
    const double length2 = QPointF::dotProduct(ab, ab);
    const double t = length2 > 0.0 ? std::clamp(QPointF::dotProduct(p - a, ab) / length2, 0.0, 1.0) : 0.0;
    const QPointF d = p - (a + t * ab);
    return std::hypot(d.x(), d.y());
}

int modifiers(Qt::KeyboardModifiers m)
{
    int bits = tnUI::KeyModifier::NoModifier;
    if (m & Qt::ShiftModifier)
        bits |= tnUI::KeyModifier::Shift;
    if (m & Qt::ControlModifier)
        bits |= tnUI::KeyModifier::Ctrl;
    if (m & Qt::AltModifier)
        bits |= tnUI::KeyModifier::Alt;
    if (m & Qt::MetaModifier)
        bits |= tnUI::KeyModifier::Meta;
    return bits;
}

MouseEvent::Button button(Qt::MouseButton b)
{
    switch (b) {
    case Qt::LeftButton: return MouseEvent::Left;
    case Qt::MiddleButton: return MouseEvent::Middle;
    case Qt::RightButton: return MouseEvent::Right;
    case Qt::BackButton: return MouseEvent::Back;
    case Qt::ForwardButton: return MouseEvent::Forward;
    default: return MouseEvent::NoButton;
    }
}

// The buttons held, as MouseEvent::ButtonMask bits, and the first of them.
int buttonMask(Qt::MouseButtons held)
{
    int mask = 0;
    for (const Qt::MouseButton b :
         {Qt::LeftButton, Qt::MiddleButton, Qt::RightButton, Qt::BackButton, Qt::ForwardButton})
        if (const int bit = button(b) - MouseEvent::Left; (held & b) && bit >= 0)
            mask |= 1 << bit;
    return mask;
}

MouseEvent::Button firstHeld(Qt::MouseButtons held)
{
    for (const Qt::MouseButton b :
         {Qt::LeftButton, Qt::MiddleButton, Qt::RightButton, Qt::BackButton, Qt::ForwardButton})
        if (held & b)
            return button(b);
    return MouseEvent::NoButton;
}

KeyName keyName(const QKeyEvent& e)
{
    const int k = e.key();
    const bool keypad = e.modifiers() & Qt::KeypadModifier;
    if (k >= Qt::Key_A && k <= Qt::Key_Z)
        return static_cast<KeyName>(static_cast<int>(KeyName::A) + (k - Qt::Key_A));
    if (k >= Qt::Key_0 && k <= Qt::Key_9)
        return static_cast<KeyName>(static_cast<int>(keypad ? KeyName::Keypad0 : KeyName::Digit0) + (k - Qt::Key_0));
    if (k >= Qt::Key_F1 && k <= Qt::Key_F24)
        return static_cast<KeyName>(static_cast<int>(KeyName::F1) + (k - Qt::Key_F1));
    static const std::pair<int, KeyName> table[] = {
        {Qt::Key_Left, KeyName::Left},
        {Qt::Key_Right, KeyName::Right},
        {Qt::Key_Up, KeyName::Up},
        {Qt::Key_Down, KeyName::Down},
        {Qt::Key_Home, KeyName::Home},
        {Qt::Key_End, KeyName::End},
        {Qt::Key_PageUp, KeyName::PageUp},
        {Qt::Key_PageDown, KeyName::PageDown},
        {Qt::Key_Insert, KeyName::Insert},
        {Qt::Key_Delete, KeyName::Delete},
        {Qt::Key_Backspace, KeyName::Backspace},
        {Qt::Key_Space, KeyName::Space},
        {Qt::Key_Tab, KeyName::Tab},
        {Qt::Key_Return, KeyName::Return},
        {Qt::Key_Enter, KeyName::Enter},
        {Qt::Key_Escape, KeyName::Escape},
        {Qt::Key_Comma, KeyName::Comma},
        {Qt::Key_Period, keypad ? KeyName::KeypadDecimal : KeyName::Period},
        {Qt::Key_Slash, keypad ? KeyName::KeypadDivide : KeyName::Slash},
        {Qt::Key_Semicolon, KeyName::Semicolon},
        {Qt::Key_Apostrophe, KeyName::Quote},
        {Qt::Key_BracketLeft, KeyName::BracketLeft},
        {Qt::Key_BracketRight, KeyName::BracketRight},
        {Qt::Key_Backslash, KeyName::Backslash},
        {Qt::Key_Minus, keypad ? KeyName::KeypadMinus : KeyName::Minus},
        {Qt::Key_Equal, KeyName::Equal},
        {Qt::Key_QuoteLeft, KeyName::Grave},
        {Qt::Key_Plus, keypad ? KeyName::KeypadPlus : KeyName::Plus},
        {Qt::Key_Asterisk, KeyName::KeypadMultiply},
        {Qt::Key_Shift, KeyName::Shift},
        {Qt::Key_Control, KeyName::Control},
        {Qt::Key_Alt, KeyName::Alt},
        {Qt::Key_Meta, KeyName::Meta},
        {Qt::Key_CapsLock, KeyName::CapsLock},
        {Qt::Key_NumLock, KeyName::NumLock},
        {Qt::Key_ScrollLock, KeyName::ScrollLock},
        {Qt::Key_Print, KeyName::Print},
        {Qt::Key_Pause, KeyName::Pause},
        {Qt::Key_Menu, KeyName::Menu},
    };
    for (const auto& [qt, name] : table)
        if (qt == k)
            return name;
    return KeyName::None;
}

TabletEvent::DeviceType deviceType(const QTabletEvent& e)
{
    switch (e.deviceType()) {
    case QInputDevice::DeviceType::Stylus: return TabletEvent::Stylus;
    case QInputDevice::DeviceType::Airbrush: return TabletEvent::Airbrush;
    case QInputDevice::DeviceType::Puck: return TabletEvent::Puck;
    default: return TabletEvent::UnknownDevice;
    }
}

TabletEvent::PointerType pointerType(const QTabletEvent& e)
{
    switch (e.pointerType()) {
    case QPointingDevice::PointerType::Pen: return TabletEvent::Pen;
    case QPointingDevice::PointerType::Eraser: return TabletEvent::Eraser;
    case QPointingDevice::PointerType::Cursor: return TabletEvent::Cursor;
    default: return TabletEvent::UnknownPointer;
    }
}

} // namespace

bool Stroke::passesNear(const QPointF& p, double radius) const
{
    if (points.size() == 1)
        return distanceToSegment(p, points[0], points[0]) <= radius + widths[0] / 2;
    for (qsizetype i = 1; i < points.size(); ++i)
        if (distanceToSegment(p, points[i - 1], points[i]) <= radius + widths[i] / 2)
            return true;
    return false;
}

void Stroke::paint(QPainter& painter) const
{
    QPen pen(colour, widths.value(0, 1.0), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    if (points.size() == 1) {
        painter.setPen(pen);
        painter.drawPoint(points[0]);
        return;
    }
    for (qsizetype i = 1; i < points.size(); ++i) {
        pen.setWidthF(widths[i]);
        painter.setPen(pen);
        painter.drawLine(points[i - 1], points[i]);
    }
}

void Drawing::addStroke(const Stroke& stroke)
{
    _remember();
    m_strokes.append(stroke);
    _changed();
}

void Drawing::beginErase()
{
    m_eraseRecorded = false;
}

int Drawing::eraseNear(const QPointF& p, double radius)
{
    const auto hit = [&](const Stroke& s) { return s.passesNear(p, radius); };
    if (std::none_of(m_strokes.cbegin(), m_strokes.cend(), hit))
        return 0;
    if (!m_eraseRecorded) {
        _remember();
        m_eraseRecorded = true;
    }
    const qsizetype removed = m_strokes.removeIf(hit);
    _changed();
    return static_cast<int>(removed);
}

void Drawing::endErase()
{
    m_eraseRecorded = false;
}

void Drawing::clear()
{
    if (m_strokes.isEmpty())
        return;
    _remember();
    m_strokes.clear();
    _changed();
}

bool Drawing::undo()
{
    if (m_undo.isEmpty())
        return false;
    m_strokes = m_undo.takeLast();
    _changed();
    return true;
}

void Drawing::paint(QPainter& painter, const QSize& size, bool grid) const
{
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    if (grid) {
        painter.setPen(QPen(QColor(200, 215, 235), 1));
        for (int x = gridSpacing; x < size.width(); x += gridSpacing)
            painter.drawLine(x, 0, x, size.height());
        for (int y = gridSpacing; y < size.height(); y += gridSpacing)
            painter.drawLine(0, y, size.width(), y);
    }
    painter.setRenderHint(QPainter::Antialiasing);
    for (const Stroke& s : m_strokes)
        s.paint(painter);
}

bool Drawing::save(const QString& path, const QSize& size, bool grid)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    paint(painter, size, grid);
    painter.end();
    if (!image.save(path))
        return false;
    m_modified = false;
    emit changed();
    return true;
}

void Drawing::_remember()
{
    m_undo.append(m_strokes);
}

void Drawing::_changed()
{
    m_modified = true;
    emit changed();
}

Canvas::Canvas(SketchWindow* window, Drawing* drawing) : m_window(window), m_drawing(drawing)
{
    setObjectName(QStringLiteral("canvas"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    // Tools that ask for every motion also get the ones without a button.
    setMouseTracking(true);
    setMinimumSize(320, 240);
    connect(drawing, &Drawing::changed, this, qOverload<>(&QWidget::update));
    // About sixty frames a second while the zoom glides; each repaint reads
    // the scale.
    m_frames = new QTimer(this);
    m_frames->setInterval(16);
    connect(m_frames, &QTimer::timeout, this, qOverload<>(&QWidget::update));
}

void Canvas::detach()
{
    if (m_drawing)
        disconnect(m_drawing, nullptr, this, nullptr);
    m_window = nullptr;
    m_drawing = nullptr;
}

void Canvas::setPreview(const Stroke& stroke)
{
    m_preview = stroke;
    update();
}

void Canvas::extendPreview(const QPointF& p, double width)
{
    if (!m_preview)
        return;
    m_preview->add(p, width);
    update();
}

void Canvas::clearPreview()
{
    m_preview.reset();
    update();
}

void Canvas::setRing(const QPointF& centre, double radius)
{
    m_ringCentre = centre;
    m_ringRadius = radius;
    update();
}

void Canvas::clearRing()
{
    m_ringRadius = 0.0;
    update();
}

void Canvas::setGridShown(bool shown)
{
    m_grid = shown;
    update();
}

void Canvas::zoomBy(double factor)
{
    m_zoomAnimation = nullptr;
    m_frames->stop();
    m_zoom = std::clamp(m_zoom * factor, 0.25, 4.0);
    update();
}

void Canvas::returnToActualSize()
{
    if (m_zoom == 1.0 && !m_zoomAnimation)
        return;
    // From the scale shown now, also when a glide is under way.
    m_zoomAnimation = new tnUI::DoubleAnimation(m_zoom, 1.0);
    m_zoomAnimation->setDuration(0.25);
    if (m_clock)
        m_zoomAnimation->setTimeSource(m_clock);
    m_frames->start();
    update();
}

void Canvas::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!m_drawing) {
        painter.fillRect(rect(), Qt::lightGray);
        return;
    }
    if (m_zoomAnimation) {
        m_zoom = m_zoomAnimation->eval();
        if (m_zoomAnimation->isFinished()) {
            m_zoomAnimation = nullptr;
            m_frames->stop();
        }
    }
    painter.scale(m_zoom, m_zoom);
    m_drawing->paint(painter, QSize(std::ceil(width() / m_zoom), std::ceil(height() / m_zoom)), m_grid);
    if (m_preview)
        m_preview->paint(painter);
    if (m_ringRadius > 0.0) {
        QPen ring(Qt::darkGray, 1, Qt::DashLine);
        ring.setCosmetic(true);
        painter.setPen(ring);
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(m_ringCentre, m_ringRadius, m_ringRadius);
    }
}

void Canvas::mousePressEvent(QMouseEvent* event)
{
    press(event, 1);
}

void Canvas::mouseDoubleClickEvent(QMouseEvent* event)
{
    press(event, 2);
}

void Canvas::press(QMouseEvent* event, int clicks)
{
    event->accept();
    // A menu takes every event until it is done, so it pops only while no
    // other button is held: the tool would never see that button's release.
    const bool alone = event->buttons() == event->button();
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    if (alone && event->button() == Qt::RightButton && !shift) {
        popUp(SketchApp::instance().markingMenu(), event->globalPosition());
        return;
    }
    if (alone && (event->button() == Qt::MiddleButton || event->button() == Qt::RightButton)) {
        popUp(SketchApp::instance().listMenu(), event->globalPosition());
        return;
    }
    forward(event, button(event->button()), clicks);
}

void Canvas::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    forward(event, firstHeld(event->buttons()), 0);
}

void Canvas::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    forward(event, MouseEvent::ButtonUp, 0);
}

void Canvas::forward(QMouseEvent* event, MouseEvent::Button b, int clicks)
{
    m_mouseHeld = event->buttons() != Qt::NoButton;
    if (!m_window)
        return;
    const QPointF local = event->position();
    MouseEvent e(point(toDrawing(local)), point(mapTo(window(), local)), point(event->globalPosition()), b, clicks,
                 modifiers(event->modifiers()), buttonMask(event->buttons()));
    m_window->getCommandController().forwardEvent(e);
    runWaiting();
}

void Canvas::wheelEvent(QWheelEvent* event)
{
    event->accept();
    if (!m_window)
        return;
    const QPoint angle = event->angleDelta();
    const bool vertical = angle.y() != 0;
    const QPointF local = event->position();
    tnUI::WheelEvent e(point(toDrawing(local)), point(mapTo(window(), local)), point(event->globalPosition()),
                       vertical ? angle.y() : angle.x(),
                       vertical ? tnUI::WheelEvent::Vertical : tnUI::WheelEvent::Horizontal,
                       modifiers(event->modifiers()));
    m_window->getCommandController().forwardEvent(e);
}

void Canvas::tabletEvent(QTabletEvent* event)
{
    event->accept();
    if (event->type() == QEvent::TabletPress || event->type() == QEvent::TabletRelease)
        m_stylusDown = event->type() == QEvent::TabletPress;
    if (!m_window)
        return;
    TabletEvent::Type type = TabletEvent::Motion;
    switch (event->type()) {
    case QEvent::TabletPress: type = TabletEvent::Press; break;
    case QEvent::TabletRelease: type = TabletEvent::Release; break;
    default: type = event->buttons() & Qt::LeftButton ? TabletEvent::Drag : TabletEvent::Motion; break;
    }
    const QPointF local = event->position();
    const bool sideButton = event->buttons() & (Qt::MiddleButton | Qt::RightButton);
    TabletEvent e(type, deviceType(*event), pointerType(*event), point(toDrawing(local)), point(mapTo(window(), local)),
                  point(event->globalPosition()), tnLinear::Vector2(event->xTilt(), event->yTilt()), event->pressure(),
                  event->rotation(), sideButton, modifiers(event->modifiers()),
                  static_cast<int>(event->pointingDevice() ? event->pointingDevice()->uniqueId().numericId() : 0));
    m_window->getCommandController().forwardEvent(e);
    runWaiting();
}

void Canvas::keyPressEvent(QKeyEvent* event)
{
    forwardKey(event, true);
}

void Canvas::keyReleaseEvent(QKeyEvent* event)
{
    forwardKey(event, false);
}

void Canvas::forwardKey(QKeyEvent* event, bool pressed)
{
    event->accept();
    if (!m_window)
        return;
    const KeyName key = keyName(*event);
    const int mods = modifiers(event->modifiers());
    const QPointF local = mapFromGlobal(QCursor::pos());
    tnUI::KeyEvent e(key, mods, pressed, point(toDrawing(local)), point(mapTo(window(), local)), point(QCursor::pos()));
    m_window->getCommandController().forwardEvent(e);
    // The current tool has seen the key; a shortcut then selects its command
    // through the window, like a menu choice.
    if (!pressed || event->isAutoRepeat() || !m_window)
        return;
    SketchApp& app = SketchApp::instance();
    tnUI::CommandInstance* command = app.findShortcut(mods, key);
    if (!command)
        return;
    // The controller ends a drag for the tool when a command is selected
    // during it: the command waits for the release instead.
    if (m_mouseHeld || m_stylusDown) {
        m_waiting.append(tn::Reference<tnUI::CommandInstance>(command));
        app.transcript().note(QStringLiteral("key %1: %2 waits for the end of the drag")
                                  .arg(SketchApp::keyText(*command->getKeybinding()), SketchApp::labelOf(command)));
        m_window->showMessage(QStringLiteral("%1 when the drag ends").arg(SketchApp::labelOf(command)));
        return;
    }
    m_window->selectCommand(command);
}

void Canvas::runWaiting()
{
    if (m_mouseHeld || m_stylusDown || m_waiting.isEmpty())
        return;
    // A command may close the window: the list is taken first, the window
    // is held, and the rest is dropped once this view is let go.
    const QList<tn::Reference<tnUI::CommandInstance>> waiting = std::exchange(m_waiting, {});
    const tn::Reference<SketchWindow> window(m_window);
    const QPointer<Canvas> self(this);
    for (const auto& command : waiting) {
        if (!self || !m_window)
            return;
        window->selectCommand(command);
    }
}

void Canvas::popUp(tnUI::PopUpMenu* menu, const QPointF& global)
{
    // The menu runs its own event loop; this view may close meanwhile.
    const QPointer<Canvas> self(this);
    tnUI::CommandInstance* chosen = menu->show(global.x(), global.y());
    if (!self || !m_window)
        return;
    SketchApp& app = SketchApp::instance();
    if (!chosen) {
        app.transcript().note(QStringLiteral("menu: nothing chosen"));
        return;
    }
    app.transcript().note(QStringLiteral("menu: chose %1").arg(SketchApp::labelOf(chosen)));
    m_window->selectCommand(chosen);
}
