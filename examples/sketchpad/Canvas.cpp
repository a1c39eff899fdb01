#include "Canvas.h"

#include "SketchApp.h"
#include "SketchWindow.h"

#include <tnUI/widgets/InputEvents.h>
#include <tnUI/widgets/InputForwarder.h>
#include <tnUI/widgets/MarkingMenuTrigger.h>

#include <tnUI/commands/CommandInstance.h>
#include <tnUI/commands/Keybinding.h>
#include <tnUI/values/FontValue.h>
#include <tnUI/values/TextValue.h>

#include <QFont>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QTimer>
#include <QTransform>

#include <algorithm>
#include <cmath>

namespace {

constexpr int gridSpacing = 20;

double distanceToSegment(const QPointF& p, const QPointF& a, const QPointF& b)
{
    const QPointF ab = b - a;
    const double length2 = QPointF::dotProduct(ab, ab);
    const double t = length2 > 0.0 ? std::clamp(QPointF::dotProduct(p - a, ab) / length2, 0.0, 1.0) : 0.0;
    const QPointF d = p - (a + t * ab);
    return std::hypot(d.x(), d.y());
}

// The application's caption along the bottom of a drawing of size, in the
// caption font, in ink on the paper.
void paintCaption(QPainter& painter, const QSize& size)
{
    const SketchApp& app = SketchApp::instance();
    const QString text = QString::fromStdWString(app.caption()->getValue()->asString().str());
    if (text.isEmpty())
        return;
    const tnUI::FontValue& value = *app.captionFont();
    QFont font(QString::fromStdWString(value.getFontName().str()));
    if (value.getFontSize() > 0.0f)
        font.setPointSizeF(value.getFontSize());
    font.setBold(value.getBold());
    painter.setFont(font);
    painter.setPen(QColor(20, 20, 20));
    const int margin = gridSpacing / 2;
    painter.drawText(QRect(QPoint(0, 0), size).adjusted(margin, margin, -margin, -margin),
                     Qt::AlignHCenter | Qt::AlignBottom | Qt::TextSingleLine, text);
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
    setMinimumSize(320, 240);
    connect(drawing, &Drawing::changed, this, qOverload<>(&QWidget::update));
    // About sixty frames a second while the zoom glides; each repaint reads
    // the scale.
    m_frames = new QTimer(this);
    m_frames->setInterval(16);
    connect(m_frames, &QTimer::timeout, this, qOverload<>(&QWidget::update));

    // Every input event goes to the document's controller, motions without a
    // button included (the eraser follows the pointer). A key bound to a
    // command selects it after the drag under way, which the controller
    // would otherwise end for the tool.
    m_input = new tnUI::InputForwarder(this, window->getDocumentInstance(), this);
    m_input->setKeybindingsWaitForDrag(true);
    connect(m_input, &tnUI::InputForwarder::keybindingPressed, this, &Canvas::keybindingPressed);
    installEventFilter(this);

    // The menus take their button's press before the forwarder sees it.
    SketchApp& app = SketchApp::instance();
    tnUI::CommandGroup* list = app.getMenu(tnString::CString("edit"));
    m_markingMenu = new tnUI::MarkingMenuTrigger(this, app.getMenu(tnString::CString("marking")), Qt::RightButton);
    m_listMenu = new tnUI::MarkingMenuTrigger(this, list, Qt::MiddleButton);
    auto* shiftRight = new tnUI::MarkingMenuTrigger(this, list, Qt::RightButton, Qt::ShiftModifier);
    // From the keyboard: M (or the Menu key) and Shift+M, the items shown at
    // once for the arrow keys, Tab and Enter.
    m_markingMenu->setKey(QKeySequence(Qt::Key_M));
    m_listMenu->setKey(QKeySequence(Qt::SHIFT | Qt::Key_M));
    for (tnUI::MarkingMenuTrigger* trigger : {m_markingMenu, m_listMenu, shiftRight})
        trigger->setChosen([this](tnUI::CommandInstance* command) { menuChosen(command); });
    for (const tnUI::Value* value :
         {static_cast<const tnUI::Value*>(app.caption()), static_cast<const tnUI::Value*>(app.captionFont())})
        tnRTB::connect(value->messageSignal, &m_captionListener, [this](tnUI::Message&) { update(); });
}

void Canvas::detach()
{
    m_input->detach();
    m_captionListener.disconnectAll();
    if (m_drawing)
        disconnect(m_drawing, nullptr, this, nullptr);
    m_window = nullptr;
    m_drawing = nullptr;
}

tnUI::PopUpMenu* Canvas::markingMenu() const
{
    return m_markingMenu->popUpMenu();
}

tnUI::PopUpMenu* Canvas::listMenu() const
{
    return m_listMenu->popUpMenu();
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
    setZoom(std::clamp(m_zoom * factor, 0.25, 4.0));
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
        setZoom(m_zoomAnimation->eval());
        if (m_zoomAnimation->isFinished()) {
            m_zoomAnimation = nullptr;
            m_frames->stop();
        }
    }
    painter.scale(m_zoom, m_zoom);
    const QSize size(std::ceil(width() / m_zoom), std::ceil(height() / m_zoom));
    m_drawing->paint(painter, size, m_grid);
    paintCaption(painter, size);
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

void Canvas::setZoom(double zoom)
{
    m_zoom = zoom;
    m_input->setLocalTransform(QTransform::fromScale(1.0 / zoom, 1.0 / zoom));
}

bool Canvas::eventFilter(QObject* watched, QEvent* event)
{
    // The forwarder passes over a key whose command is disabled now. It is
    // selected here all the same, so that the library's refusal tells the
    // user why nothing happened ("Undo is not available now").
    if (watched != this || event->type() != QEvent::KeyPress || !m_window)
        return false;
    const auto& key = static_cast<const QKeyEvent&>(*event);
    tnUI::CommandInstance* command =
        key.isAutoRepeat() ? nullptr
                           : SketchApp::instance().findShortcut(tnUI::keyModifiers(key.modifiers()),
                                                                tnUI::keyName(key.key(), key.modifiers()));
    if (command && !command->getEnabled()) {
        const tn::Reference<SketchWindow> window(m_window);
        window->selectCommand(command);
    }
    return false;
}

void Canvas::keybindingPressed(tnUI::CommandInstance* command, bool waits)
{
    const tnUI::Keybinding* binding = command->getKeybinding();
    if (!waits || !m_window || !binding)
        return;
    SketchApp::instance().transcript().note(QStringLiteral("key %1: %2 waits for the end of the drag")
                                                .arg(SketchApp::keyText(*binding), SketchApp::labelOf(command)));
    m_window->showMessage(QStringLiteral("%1 when the drag ends").arg(SketchApp::labelOf(command)));
}

void Canvas::menuChosen(tnUI::CommandInstance* command)
{
    if (!m_window)
        return;
    SketchApp::instance().transcript().note(QStringLiteral("menu: chose %1").arg(SketchApp::labelOf(command)));
    // The command may close the window.
    const tn::Reference<SketchWindow> window(m_window);
    window->selectCommand(command);
}
