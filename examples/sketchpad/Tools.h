#pragma once

#include "Canvas.h"

#include <tnUI/commands/ContinuousCommandDefn.h>

#include <QPointF>
#include <QString>

#include <optional>

// What a drawing tool keeps for one document instance. It reaches the
// document's drawing, the instance's canvas for feedback, and the values the
// tools share (ink, width) through the application.
class ToolState : public tnUI::ContinuousCommandState {
public:
    explicit ToolState(const tnUI::CallInfo& call);

    // Key presses reach every tool; a tool that has a use for one overrides
    // keyPressed.
    void handleEvent(tnUI::CallInfo& call, tnUI::KeyEvent& event) override;
    using ContinuousCommandState::handleEvent;

protected:
    // Null once the document or its view is gone.
    Drawing* drawing();
    Canvas* canvas();
    // A transcript line in the tool's name.
    void note(const QString& text);
    // True when the tool used the key.
    virtual bool keyPressed(tnUI::KeyName key);

    static QPointF pointOf(const tnUI::PositionEvent& event);
    static QString text(const QPointF& p);
};

// Freehand strokes with the mouse or a stylus, whose pressure sets the
// width; the wheel changes the width.
class PenState : public ToolState {
public:
    using ToolState::ToolState;

    // A stroke under way when the tool stops is kept.
    void stop(tnUI::CallInfo& call) override;
    void handleEvent(tnUI::CallInfo& call, tnUI::MouseEvent& event) override;
    void handleEvent(tnUI::CallInfo& call, tnUI::TabletEvent& event) override;
    void handleEvent(tnUI::CallInfo& call, tnUI::WheelEvent& event) override;
    using ToolState::handleEvent;

private:
    void begin(const QPointF& p, double width, const QString& how);
    void extend(const QPointF& p, double width);
    void finish(const QString& how);

    std::optional<Stroke> m_stroke;
    QString m_start;
    int m_moves = 0;
};

// Straight lines from the press to the release; Escape cancels the line
// being drawn.
class LineState : public ToolState {
public:
    using ToolState::ToolState;

    // A line under way when the tool stops is kept.
    void stop(tnUI::CallInfo& call) override;
    void handleEvent(tnUI::CallInfo& call, tnUI::MouseEvent& event) override;
    using ToolState::handleEvent;

protected:
    bool keyPressed(tnUI::KeyName key) override;

private:
    void finish(const QString& how);

    std::optional<Stroke> m_line;
    int m_moves = 0;
};

// Removes the strokes it passes over; one drag is one undo step. It follows
// the pointer with a ring showing its reach also while no button is held.
class EraserState : public ToolState {
public:
    using ToolState::ToolState;

    void stop(tnUI::CallInfo& call) override;
    void handleEvent(tnUI::CallInfo& call, tnUI::MouseEvent& event) override;
    using ToolState::handleEvent;

private:
    // Motions without a button are counted, not noted one by one.
    void reportHovers();
    double radius() const;

    bool m_erasing = false;
    QPointF m_start;
    int m_moves = 0;
    int m_erased = 0;
    int m_hovers = 0;
};
