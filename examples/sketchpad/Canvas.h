#pragma once

#include <tnUI/application/Animation.h>
#include <tnUI/foundation/ReferenceCount.h>
#include <tnUI/foundation/Signal.h>

#include <QColor>
#include <QList>
#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QWidget>

#include <optional>
#include <utility>

class QPainter;
class QTimer;
class SketchWindow;

namespace tnUI {
class CommandInstance;
class InputForwarder;
class MarkingMenuTrigger;
class PopUpMenu;
} // namespace tnUI

// One mark on the canvas: a freehand path or a straight line, with a width
// per point (a stylus varies it with its pressure).
struct Stroke {
    QColor colour;
    QList<QPointF> points;
    QList<double> widths;

    void add(const QPointF& p, double width)
    {
        points.append(p);
        widths.append(width);
    }
    // Whether the stroke passes within radius of p.
    bool passesNear(const QPointF& p, double radius) const;
    void paint(QPainter& painter) const;
};

// The picture of one document: its strokes, the undo history, and whether it
// changed since it was last saved. Every change is announced with changed().
class Drawing : public QObject {
    Q_OBJECT
public:
    const QList<Stroke>& strokes() const { return m_strokes; }
    bool isEmpty() const { return m_strokes.isEmpty(); }
    int undoDepth() const { return static_cast<int>(m_undo.size()); }
    bool isModified() const { return m_modified; }

    void addStroke(const Stroke& stroke);
    // The strokes an eraser removes between beginErase and endErase are one
    // step of the undo history. Returns how many strokes went.
    void beginErase();
    int eraseNear(const QPointF& p, double radius);
    void endErase();
    void clear();
    // Returns to the picture before the last change; false when there is
    // none.
    bool undo();

    // The paper, the grid when asked for, and the strokes.
    void paint(QPainter& painter, const QSize& size, bool grid) const;
    // Writes the picture as an image file and counts it as saved.
    bool save(const QString& path, const QSize& size, bool grid);

signals:
    void changed();

private:
    void _remember();
    void _changed();

    QList<Stroke> m_strokes;
    QList<QList<Stroke>> m_undo;
    bool m_modified = false;
    // An eraser drag is under way and has already recorded its undo step.
    bool m_eraseRecorded = false;
};

// The drawing area of a document window. It shows the document's drawing
// and the current tool's feedback; the Qt binding hands every key, mouse,
// wheel and tablet event to the document instance's command controller
// (InputForwarder). The buttons bound to the pop-up menus are the exception
// (MarkingMenuTrigger): a right press pops the marking menu, a middle (or
// Shift+right) press the list menu, and the chosen command is selected
// through the window. A key bound to a command of the menu bar selects it
// through the window too, except in the middle of a drag: the command waits
// for the release, so that the drag goes on undisturbed.
//
// The drawing may be shown magnified or reduced; the tools see every event
// in the drawing's own coordinates whatever the scale. The application's
// caption, if any, is written along the bottom of the drawing.
class Canvas : public QWidget {
    Q_OBJECT
public:
    Canvas(SketchWindow* window, Drawing* drawing);

    // The document window is gone: events and painting stop using it.
    void detach();

    // The menus the right and the middle button pop.
    tnUI::PopUpMenu* markingMenu() const;
    tnUI::PopUpMenu* listMenu() const;

    // Feedback of the current tool, shown in this view only.
    void setPreview(const Stroke& stroke);
    // Adds a point to the preview, so that a long stroke is not copied on
    // every motion.
    void extendPreview(const QPointF& p, double width);
    void clearPreview();
    void setRing(const QPointF& centre, double radius);
    void clearRing();
    void setGridShown(bool shown);

    // The scale the drawing is shown at; 1 is its actual size.
    double zoom() const { return m_zoom; }
    // Scales the view by factor at once, within a quarter to four times the
    // actual size; a return to actual size under way stops.
    void zoomBy(double factor);
    // Glides back to the actual size over a quarter of a second, so that the
    // eye can follow where the strokes go. The scale is read from the
    // animation at every repaint and is exactly 1 when it ends.
    void returnToActualSize();
    bool isZooming() const { return m_zoomAnimation; }
    // The clock of the animations started from now on: seconds that never go
    // backwards; the library's stop watch when empty.
    void setAnimationClock(tnUI::AnimationBase::TimeSource clock) { m_clock = std::move(clock); }

protected:
    void paintEvent(QPaintEvent* event) override;
    // Sees this canvas's key presses before the forwarder does.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Shows the drawing at zoom; the tools keep the drawing's coordinates.
    void setZoom(double zoom);
    // A key selects command, or will once the drag is over.
    void keybindingPressed(tnUI::CommandInstance* command, bool waits);
    // Selects a command chosen from a pop-up menu through the window.
    void menuChosen(tnUI::CommandInstance* command);

    SketchWindow* m_window;
    // The drawing dies with its document, which may go before this view.
    QPointer<Drawing> m_drawing;
    std::optional<Stroke> m_preview;
    QPointF m_ringCentre;
    double m_ringRadius = 0.0;
    bool m_grid = false;
    tnUI::InputForwarder* m_input = nullptr;
    tnUI::MarkingMenuTrigger* m_markingMenu = nullptr;
    tnUI::MarkingMenuTrigger* m_listMenu = nullptr;
    double m_zoom = 1.0;
    tn::Reference<tnUI::DoubleAnimation> m_zoomAnimation;
    tnUI::AnimationBase::TimeSource m_clock;
    // Asks for frames while the zoom glides.
    QTimer* m_frames;
    // Repaints when the caption or its font changes.
    tnRTB::SignalClient m_captionListener;
};
