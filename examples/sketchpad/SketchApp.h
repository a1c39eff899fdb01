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
#include <QString>

class SketchWindow;

namespace tnUI {
class AngleValue;
class BoolValue;
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
class ValueList;
class PopUpMenu;
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
    // active one.
    SketchWindow* openDocument(const char* name);
    // The document of the active instance, or null.
    SketchDocument* activeDocument() const;
    // The window of the active instance, or null.
    SketchWindow* activeWindow() const;

    tnUI::PopUpMenu* markingMenu() const { return m_markingMenu.get(); }
    tnUI::PopUpMenu* listMenu() const { return m_listMenu.get(); }
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

    // The ink, the width of the drawing tools and whether the grid shows.
    QColor ink() const;
    QString inkName() const;
    int width() const;
    void setWidth(int width);
    tnUI::BoolValue* grid() const { return m_grid.get(); }
    tnUI::IntValue* inkValue() const { return m_ink.get(); }
    tnUI::IntValue* widthValue() const { return m_width.get(); }

    const QString& savePath() const { return m_savePath; }

    // How a picture is printed: the paper's size, the nib's width and angle
    // and the caption's font, and a small preview, waiting until setPreview.
    tnUI::RealValue2* paper() const { return m_paper.get(); }
    tnUI::LinearValue* nibWidth() const { return m_nibWidth.get(); }
    tnUI::AngleValue* nibAngle() const { return m_nibAngle.get(); }
    tnUI::FontValue* captionFont() const { return m_captionFont.get(); }
    tnUI::ImageValue* preview() const { return m_preview.get(); }
    void setPreview(const QImage& picture);

    // Closes every window through the application. A window whose drawing
    // has unsaved strokes refuses; its question then decides: Save saves and
    // closes, Discard closes, Cancel keeps it open and ends the quitting.
    // True when every window closed.
    bool quit();

    // Writes the whole model to a dump file; false when it cannot be opened.
    bool dumpModel(const QString& path) const;

private:
    void _makeCommands();
    void _makeMenus();
    void _makePrintSettings();
    // The undo depth, the canvas-not-empty condition and the tools' checked
    // conditions follow the active document.
    void _syncConditions();

    Transcript m_transcript;
    QString m_savePath;
    tn::Reference<tnUI::BoolValue> m_grid;
    tn::Reference<tnUI::IntValue> m_ink;
    tn::Reference<tnUI::IntValue> m_width;
    tn::Reference<tnUI::IntValue> m_undoDepth;
    tn::Reference<tnUI::ValueList> m_palette;
    tn::Reference<tnUI::RealValue2> m_paper;
    tn::Reference<tnUI::LinearValue> m_nibWidth;
    tn::Reference<tnUI::AngleValue> m_nibAngle;
    tn::Reference<tnUI::FontValue> m_captionFont;
    tn::Reference<tnUI::ImageValue> m_preview;
    tn::Reference<tnUI::Condition> m_notEmpty;
    tn::vector<tn::Reference<tnUI::Condition>> m_toolCurrent;
    tn::vector<tn::Reference<tnUI::CommandInstance>> m_commands;
    tn::Reference<tnUI::Environment> m_environment;
    tn::Reference<tnUI::PopUpMenu> m_markingMenu;
    tn::Reference<tnUI::PopUpMenu> m_listMenu;
    tnOS::AppOutput::Sink m_oldSink;
    bool m_quitting = false;
};
