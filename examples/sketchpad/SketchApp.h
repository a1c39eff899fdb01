#pragma once

#include "Canvas.h"
#include "Transcript.h"

#include <tnUI/application/Application.h>
#include <tnUI/application/Document.h>
#include <tnUI/foundation/AppOutput.h>
#include <tnUI/foundation/Containers.h>
#include <tnUI/foundation/KeyName.h>
#include <tnUI/foundation/ReferenceCount.h>

#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>

class SketchWindow;
class ToolOptionsWindow;

namespace tnUI {
class AngleValue;
class BoolValue;
class ColorValue;
class GroupOfArguments;
class ImageArgument;
class MutableLabel;
class ValueArgument;
class CommandGroup;
class CommandInstance;
class Condition;
class DocumentInstance;
class Environment;
class FontValue;
class ImageValue;
class IntValue;
class Keybinding;
class LinearValue;
class RealValue2;
class TextValue;
class ValueList;
} // namespace tnUI

// A document of the program: a drawing.
class SketchDocument : public tnUI::Document {
public:
    SketchDocument(tnUI::Application* app, const char* name);

    Drawing& drawing() { return m_drawing; }
    const Drawing& drawing() const { return m_drawing; }

private:
    Drawing m_drawing;
};

// The program's application object. It registers the commands (three tools
// and a handful of one-shot commands), the values they share, the menus and
// the environment, opens documents in windows, and keeps the enabled and
// checked conditions in step with the active document.
class SketchApp : public tnUI::Application {
public:
    // Pictures saved with the Save command go to savePath; its folder is made
    // when the first picture is saved.
    explicit SketchApp(const QString& savePath);
    ~SketchApp() override;

    static SketchApp& instance();

    Transcript& transcript() { return m_transcript; }

    // A new document with one instance shown in a window of its own, made the
    // active one, with a tool-options window beside it.
    SketchWindow* openDocument(const char* name);
    // The tool-options window of a document window, or null.
    static ToolOptionsWindow* toolOptionsOf(const SketchWindow* window);
    // The document of the active instance, or null.
    SketchDocument* activeDocument() const;
    // The window of the active instance, or null.
    SketchWindow* activeWindow() const;

    tnUI::Environment* environment() const { return m_environment.get(); }

    // The program's command instance named name, or null.
    tnUI::CommandInstance* command(const char* name) const;
    // The command whose keybinding is these modifiers and key, or null.
    tnUI::CommandInstance* findShortcut(int modifiers, tnUI::KeyName key) const;
    // What a person reads for a command: its label, or else its name.
    static QString labelOf(const tnUI::CommandInstance* command);
    // How a person types a keybinding, e.g. "Ctrl+Delete".
    static QString keyText(const tnUI::Keybinding& binding);
    // Every registered keybinding with the label of its command, in the
    // order the commands were registered.
    QString keyHint() const;

    // The pen's colour and width, which the drawing tools use, and whether
    // the grid shows. Choosing an ink sets the pen colour to the ink's
    // colour; the colour button may set any other.
    QColor ink() const;
    // The ink's name while the pen colour is that ink's, else the colour's
    // hexadecimal name.
    QString inkName() const;
    // The pen width in canvas pixels (96 to the inch).
    double width() const;
    // The pen width as shown, with its unit ("0.80 mm").
    QString widthText() const;
    // Widens the pen by a quarter millimetre a notch (narrows for negative
    // notches), within its range.
    void widen(int notches);
    tnUI::BoolValue* grid() const { return m_grid.get(); }
    tnUI::IntValue* inkValue() const { return m_ink.get(); }
    tnUI::LinearValue* penWidth() const { return m_penWidth.get(); }
    tnUI::ColorValue* penColour() const { return m_penColour.get(); }
    // The pen width's display unit: 0 millimetres, 1 inches.
    tnUI::IntValue* penUnit() const { return m_penUnit.get(); }

    // The tool options: a Pen page (width with its unit, colour, brush tip,
    // the ink as radio buttons and as a marking menu, nib angle) and a Paper
    // page (format, size, caption font and caption), then the grid, Clear and
    // a note. Every tool-options window shows this group.
    tnUI::GroupOfArguments* toolOptions() const { return m_toolOptions.get(); }
    tnUI::ValueArgument* widthArgument() const { return m_widthArgument.get(); }

    const QString& savePath() const { return m_savePath; }

    // How a picture is printed: the paper's size, the nib's angle and the
    // caption's font.
    tnUI::RealValue2* paper() const { return m_paper.get(); }
    tnUI::IntValue* paperFormat() const { return m_paperFormat.get(); }
    tnUI::AngleValue* nibAngle() const { return m_nibAngle.get(); }
    tnUI::FontValue* captionFont() const { return m_captionFont.get(); }
    // The caption the canvas writes along the bottom of the drawing, in the
    // caption font; empty for none.
    tnUI::TextValue* caption() const { return m_caption.get(); }
    // A picture of the pen's tip at its width and colour; it waits until a
    // tool-options window shows it and asks for a size.
    tnUI::ImageValue* brushTip() const { return m_brushTip.get(); }

    // Closes every window through the application. A window whose drawing
    // has unsaved strokes asks first (SketchWindow::canCloseWindow); Cancel
    // keeps it open and ends the quitting. True when every window closed.
    bool quit();

    // Writes the whole model to a dump file; false when it cannot be opened.
    bool dumpModel(const QString& path) const;

private:
    void _makeCommands();
    void _makeMenus();
    void _makePrintSettings();
    void _makeToolOptions();
    // The width's field in the unit chosen, then the unit itself.
    void _applyPenUnit();
    // Draws the brush tip at the size last asked for, if any.
    void _drawBrushTip();
    // The undo depth, the canvas-not-empty condition and the tools' checked
    // conditions follow the active document.
    void _syncConditions();

    Transcript m_transcript;
    QString m_savePath;
    tn::Reference<tnUI::BoolValue> m_grid;
    tn::Reference<tnUI::IntValue> m_ink;
    tn::Reference<tnUI::LinearValue> m_penWidth;
    tn::Reference<tnUI::IntValue> m_penUnit;
    tn::Reference<tnUI::ColorValue> m_penColour;
    tn::Reference<tnUI::IntValue> m_undoDepth;
    tn::Reference<tnUI::ValueList> m_palette;
    tn::Reference<tnUI::RealValue2> m_paper;
    tn::Reference<tnUI::IntValue> m_paperFormat;
    tn::Reference<tnUI::AngleValue> m_nibAngle;
    tn::Reference<tnUI::FontValue> m_captionFont;
    tn::Reference<tnUI::TextValue> m_caption;
    tn::Reference<tnUI::ImageValue> m_brushTip;
    QSize m_brushTipSize;
    tn::Reference<tnUI::GroupOfArguments> m_toolOptions;
    tn::Reference<tnUI::ValueArgument> m_widthArgument;
    tn::Reference<tnUI::MutableLabel> m_widthUnit;
    tn::Reference<tnUI::Condition> m_notEmpty;
    tn::vector<tn::Reference<tnUI::Condition>> m_toolCurrent;
    tn::vector<tn::Reference<tnUI::CommandInstance>> m_commands;
    tn::Reference<tnUI::Environment> m_environment;
    tnOS::AppOutput::Sink m_oldSink;
    bool m_quitting = false;
};
