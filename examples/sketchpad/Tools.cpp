#include "Tools.h"

#include "SketchApp.h"
#include "SketchWindow.h"

#include <tnUI/application/DocumentInstance.h>
#include <tnUI/commands/CallInfo.h>
#include <tnUI/commands/CommandInstance.h>

#include <cmath>

using tnUI::MouseEvent;
using tnUI::TabletEvent;

ToolState::ToolState(const tnUI::CallInfo& call) : ContinuousCommandState(call)
{}

void ToolState::handleEvent(tnUI::CallInfo&, tnUI::KeyEvent& event)
{
    const tnUI::KeyName key = event.getKey();
    if (!event.isPressed() || key == tnUI::KeyName::None || (key >= tnUI::KeyName::Shift && key <= tnUI::KeyName::Meta))
        return;
    QString name = QString::fromUtf8(tnUI::enumName(key, true));
    if (event.getModifiers() & tnUI::KeyModifier::Ctrl)
        name.prepend(QStringLiteral("Ctrl+"));
    if (!keyPressed(key))
        note(QStringLiteral("key %1, not one of its keys").arg(name));
}

bool ToolState::keyPressed(tnUI::KeyName)
{
    return false;
}

Drawing* ToolState::drawing()
{
    tnUI::DocumentInstance* instance = getDocumentInstance();
    auto* document = instance ? dynamic_cast<SketchDocument*>(instance->getDocument()) : nullptr;
    return document ? &document->drawing() : nullptr;
}

Canvas* ToolState::canvas()
{
    tnUI::DocumentInstance* instance = getDocumentInstance();
    auto* window = instance ? dynamic_cast<SketchWindow*>(instance->getDocumentWindow()) : nullptr;
    return window ? window->canvas() : nullptr;
}

void ToolState::note(const QString& text)
{
    const tnUI::CommandInstance* owner = getCommandInstance();
    SketchApp::instance().transcript().note(
        QStringLiteral("%1: %2").arg(owner ? QString::fromUtf8(owner->getName()->asChar()) : QString(), text));
}

QPointF ToolState::pointOf(const tnUI::PositionEvent& event)
{
    return QPointF(event.getLocalXY().x, event.getLocalXY().y);
}

QString ToolState::text(const QPointF& p)
{
    return QStringLiteral("(%1,%2)").arg(std::lround(p.x())).arg(std::lround(p.y()));
}

void PenState::stop(tnUI::CallInfo&)
{
    if (m_stroke)
        finish(QStringLiteral("stop"));
}

void PenState::handleEvent(tnUI::CallInfo&, MouseEvent& event)
{
    const QPointF p = pointOf(event);
    if (event.isPress()) {
        if (event.getButton() == MouseEvent::Left)
            begin(p, SketchApp::instance().width(), QStringLiteral("press"));
        return;
    }
    if (!m_stroke) {
        if (event.getButton() == MouseEvent::ButtonUp)
            note(QStringLiteral("release with no stroke under way, ignored"));
        return;
    }
    if (event.isButtonHeld())
        extend(p, SketchApp::instance().width());
    else if (event.getButton() == MouseEvent::ButtonUp)
        finish(QStringLiteral("release"));
}

void PenState::handleEvent(tnUI::CallInfo&, TabletEvent& event)
{
    // The pressure scales the width between a quarter and 1.75 times.
    const double width = SketchApp::instance().width() * (0.25 + 1.5 * event.getPressure());
    const QPointF p = pointOf(event);
    switch (event.getType()) {
    case TabletEvent::Press: begin(p, width, QStringLiteral("stylus down")); break;
    case TabletEvent::Drag:
        if (m_stroke)
            extend(p, width);
        break;
    case TabletEvent::Release:
        if (m_stroke)
            finish(QStringLiteral("stylus up"));
        break;
    default: break;
    }
}

void PenState::handleEvent(tnUI::CallInfo&, tnUI::WheelEvent& event)
{
    SketchApp& app = SketchApp::instance();
    app.widen(event.getDelta() / 120);
    note(QStringLiteral("wheel %1, width now %2").arg(event.getDelta()).arg(app.widthText()));
}

void PenState::begin(const QPointF& p, double width, const QString& how)
{
    m_stroke = Stroke{SketchApp::instance().ink(), {}, {}};
    m_stroke->add(p, width);
    m_start = how + QLatin1Char(' ') + text(p);
    m_moves = 0;
    if (Canvas* view = canvas())
        view->setPreview(*m_stroke);
}

void PenState::extend(const QPointF& p, double width)
{
    m_stroke->add(p, width);
    ++m_moves;
    if (Canvas* view = canvas())
        view->extendPreview(p, width);
}

void PenState::finish(const QString& how)
{
    const Stroke stroke = *m_stroke;
    m_stroke.reset();
    if (Canvas* view = canvas())
        view->clearPreview();
    Drawing* picture = drawing();
    if (!picture)
        return;
    picture->addStroke(stroke);
    note(QStringLiteral("%1, %2 drags, %3 -> stroke %4, %5 points, %6 ink")
             .arg(m_start)
             .arg(m_moves)
             .arg(how)
             .arg(picture->strokes().size())
             .arg(stroke.points.size())
             .arg(SketchApp::instance().inkName()));
}

void LineState::stop(tnUI::CallInfo&)
{
    if (m_line)
        finish(QStringLiteral("stop"));
}

void LineState::handleEvent(tnUI::CallInfo&, MouseEvent& event)
{
    const QPointF p = pointOf(event);
    if (event.isPress()) {
        if (event.getButton() != MouseEvent::Left)
            return;
        const double width = SketchApp::instance().width();
        m_line = Stroke{SketchApp::instance().ink(), {}, {}};
        m_line->add(p, width);
        m_line->add(p, width);
        m_moves = 0;
    } else if (m_line && event.isButtonHeld()) {
        m_line->points.last() = p;
        ++m_moves;
    } else if (m_line && event.getButton() == MouseEvent::ButtonUp) {
        m_line->points.last() = p;
        finish(QStringLiteral("release"));
        return;
    } else {
        return;
    }
    if (Canvas* view = canvas())
        view->setPreview(*m_line);
}

bool LineState::keyPressed(tnUI::KeyName key)
{
    if (key != tnUI::KeyName::Escape || !m_line)
        return false;
    m_line.reset();
    if (Canvas* view = canvas())
        view->clearPreview();
    note(QStringLiteral("Escape, the line under way is cancelled"));
    return true;
}

void LineState::finish(const QString& how)
{
    const Stroke line = *m_line;
    m_line.reset();
    if (Canvas* view = canvas())
        view->clearPreview();
    Drawing* picture = drawing();
    if (!picture)
        return;
    picture->addStroke(line);
    note(QStringLiteral("press %1, %2 drags, %3 %4 -> stroke %5, a line")
             .arg(text(line.points.first()))
             .arg(m_moves)
             .arg(how)
             .arg(text(line.points.last()))
             .arg(picture->strokes().size()));
}

void EraserState::stop(tnUI::CallInfo&)
{
    if (Canvas* view = canvas())
        view->clearRing();
    reportHovers();
    if (m_erasing) {
        m_erasing = false;
        if (Drawing* picture = drawing())
            picture->endErase();
    }
}

void EraserState::handleEvent(tnUI::CallInfo&, MouseEvent& event)
{
    const QPointF p = pointOf(event);
    if (Canvas* view = canvas())
        view->setRing(p, radius());
    Drawing* picture = drawing();
    if (!picture)
        return;
    if (event.isPress()) {
        if (event.getButton() != MouseEvent::Left)
            return;
        reportHovers();
        m_erasing = true;
        m_start = p;
        m_moves = 0;
        picture->beginErase();
        m_erased = picture->eraseNear(p, radius());
    } else if (!m_erasing) {
        ++m_hovers;
    } else if (event.isButtonHeld()) {
        ++m_moves;
        m_erased += picture->eraseNear(p, radius());
    } else if (event.getButton() == MouseEvent::ButtonUp) {
        m_erasing = false;
        picture->endErase();
        note(QStringLiteral("press %1, %2 drags, release -> %3 erased, %4 left")
                 .arg(text(m_start))
                 .arg(m_moves)
                 .arg(m_erased == 1 ? QStringLiteral("1 stroke") : QStringLiteral("%1 strokes").arg(m_erased))
                 .arg(picture->strokes().size()));
    }
}

void EraserState::reportHovers()
{
    if (m_hovers > 0)
        note(QStringLiteral("%1 motions without a button, the ring followed them").arg(m_hovers));
    m_hovers = 0;
}

double EraserState::radius() const
{
    return 8.0 + SketchApp::instance().width();
}
