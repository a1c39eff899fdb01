#include "SketchApp.h"

#include "SketchWindow.h"
#include "ToolOptions.h"
#include "Tools.h"

#include <tnUI/application/DocumentInstance.h>
#include <tnUI/application/Environment.h>
#include <tnUI/arguments/ButtonArgument.h>
#include <tnUI/arguments/EnumArgument.h>
#include <tnUI/arguments/GroupOfArguments.h>
#include <tnUI/arguments/ImageArgument.h>
#include <tnUI/arguments/LabelArgument.h>
#include <tnUI/arguments/ValueArgument.h>
#include <tnUI/commands/CallInfo.h>
#include <tnUI/commands/CommandClass.h>
#include <tnUI/commands/CommandDefn.h>
#include <tnUI/commands/CommandInstance.h>
#include <tnUI/commands/ContinuousCommandDefn.h>
#include <tnUI/commands/Keybinding.h>
#include <tnUI/entity/DumpFile.h>
#include <tnUI/entity/Label.h>
#include <tnUI/markingmenus/popup/PopUpMenu.h>
#include <tnUI/menus/CommandGroup.h>
#include <tnUI/menus/Element.h>
#include <tnUI/values/AngleValue.h>
#include <tnUI/values/BoolValue.h>
#include <tnUI/values/ColorValue.h>
#include <tnUI/values/Condition.h>
#include <tnUI/values/Expression.h>
#include <tnUI/values/FontValue.h>
#include <tnUI/values/ImageValue.h>
#include <tnUI/values/IntValue.h>
#include <tnUI/values/LinearValue.h>
#include <tnUI/values/RealValueArray.h>
#include <tnUI/values/TextValue.h>
#include <tnUI/values/ValueList.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPainterPath>
#include <QScopeGuard>
#include <QTimer>

#include <algorithm>
#include <array>
#include <functional>
#include <utility>

using tnString::CString;
using tnUI::CallInfo;
using tnUI::CommandInstance;

namespace {

// The inks, each with the command that chooses it.
struct Ink {
    const char* name;
    QColor colour;
    const char* command;
    const char* label;
    const char* key;
};
const std::array<Ink, 3> inks = {{
    {"black", QColor(20, 20, 20), "blackInk", "Black ink", "K"},
    {"red", QColor(205, 35, 35), "redInk", "Red ink", "R"},
    {"blue", QColor(35, 75, 205), "blueInk", "Blue ink", "B"},
}};

// Canvas pixels to the centimetre: 96 to the inch.
constexpr double pixelsPerCentimetre = 96.0 / 2.54;

SketchDocument* documentOf(const CallInfo& call)
{
    return dynamic_cast<SketchDocument*>(call.getDocument());
}

// The window of a call's document instance (or of the active one when there
// is no call), if it is shown.
SketchWindow* windowOf(const CallInfo* call)
{
    tnUI::DocumentInstance* instance =
        call ? call->getDocumentInstance() : tnUI::Application::getInstance().getActiveDocumentInstance();
    return instance ? dynamic_cast<SketchWindow*>(instance->getDocumentWindow()) : nullptr;
}

Canvas* canvasOf(const CallInfo* call)
{
    SketchWindow* window = windowOf(call);
    return window ? window->canvas() : nullptr;
}

// A family of commands; while one of them is current the canvas shows the
// family's cursor.
class SketchClass : public tnUI::CommandClass {
public:
    SketchClass(const char* name, Qt::CursorShape cursor) : m_cursor(cursor) { setName(CString(name)); }

    void classSelected(CallInfo* call) override
    {
        if (Canvas* canvas = canvasOf(call))
            canvas->setCursor(m_cursor);
    }
    void classUnselected(CallInfo* call) override
    {
        if (Canvas* canvas = canvasOf(call))
            canvas->unsetCursor();
    }

private:
    Qt::CursorShape m_cursor;
};

// A one-shot command whose action is a function of the call.
class Action : public tnUI::MomentaryCommandDefn {
public:
    using Run = std::function<void(CallInfo&)>;
    Action(const char* name, Run run) : MomentaryCommandDefn(CString(name)), m_run(std::move(run)) {}

    void execute(CallInfo& call) override { m_run(call); }

private:
    Run m_run;
};

// Undo: enabled while the active document has a change to take back.
class UndoCommand : public Action {
public:
    UndoCommand()
        : Action("undo", [](CallInfo& call) {
              SketchDocument* document = documentOf(call);
              if (document && document->drawing().undo())
                  SketchApp::instance().transcript().note(
                      QStringLiteral("undo: %1 strokes now").arg(document->drawing().strokes().size()));
          })
    {}

protected:
    tn::Reference<tnUI::NumericValue> createCondition() override
    {
        auto* depth = dynamic_cast<tnUI::NumericValue*>(tnUI::Application::getInstance().getValue("undoDepth"));
        const tn::Reference<tnUI::IntValue> none(new tnUI::IntValue(0));
        return tn::Reference<tnUI::NumericValue>(new tnUI::ExpressionGreater(depth, none));
    }
};

// True while the active document's canvas has strokes.
class CanvasNotEmpty : public tnUI::Condition {
public:
    bool compute() override
    {
        const SketchDocument* document = SketchApp::instance().activeDocument();
        return document && !document->drawing().isEmpty();
    }
};

// Clear: enabled while the canvas is not empty.
class ClearCommand : public Action {
public:
    ClearCommand()
        : Action("clear", [](CallInfo& call) {
              if (SketchDocument* document = documentOf(call)) {
                  const qsizetype strokes = document->drawing().strokes().size();
                  document->drawing().clear();
                  SketchApp::instance().transcript().note(QStringLiteral("clear: %1 strokes removed").arg(strokes));
              }
          })
    {}

protected:
    tn::Reference<tnUI::NumericValue> createCondition() override
    {
        return tn::Reference<tnUI::NumericValue>(new CanvasNotEmpty);
    }
};

// True while the tool is the current one of the active document instance,
// so that the menus show it checked.
class ToolIsCurrent : public tnUI::Condition {
public:
    // The tool is only compared, never followed: the condition may outlive
    // it.
    explicit ToolIsCurrent(const CommandInstance* tool) : m_tool(tool) {}

    bool compute() override
    {
        const tnUI::DocumentInstance* active = tnUI::Application::getInstance().getActiveDocumentInstance();
        return active && active->getCommandController().getCurrentContinuousCommand() == m_tool;
    }

private:
    const CommandInstance* m_tool;
};

tn::Reference<tnUI::Label> label(const char* text)
{
    return tn::Reference<tnUI::Label>(new tnUI::Label(text));
}

} // namespace

SketchDocument::SketchDocument(tnUI::Application* app, const char* name) : Document(app)
{
    setName(CString(name));
    setLabel(label(name));
}

SketchApp::SketchApp(const QString& savePath) : m_savePath(savePath)
{
    setName(CString("sketchpad"));
    setLabel(label("Sketchpad"));
    setFontName(tnString::IString(QApplication::font().family().toStdWString()));
    setNormalFontSize(QApplication::font().pointSize());

    // Refusals of disabled commands and other library errors are shown to
    // the user and recorded in the transcript.
    m_oldSink = tnOS::AppOutput::getInstance().setSink([this](tnOS::AppOutput::Channel channel, std::string_view text) {
        if (channel != tnOS::AppOutput::Error)
            return;
        const QString line = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).trimmed();
        m_transcript.note(QStringLiteral("library: ") + line);
        SketchWindow* window = activeWindow();
        if (!window)
            return;
        // A refused command is named by its label in the window.
        static const QString refusal = QStringLiteral("CommandError: Attempt to select a disabled command: ");
        const CommandInstance* refused =
            line.startsWith(refusal) ? command(line.mid(refusal.size()).toUtf8().constData()) : nullptr;
        window->showMessage(refused ? QStringLiteral("%1 is not available now").arg(labelOf(refused)) : line);
    });

    m_grid = tnUI::registerBool(this, CString("grid"), false);
    const auto intValue = [this](const char* name, int initial, int min, int max) {
        tn::Reference<tnUI::IntValue> v(new tnUI::IntValue(initial));
        v->setName(CString(name));
        v->setRange(min, max);
        addValue(v);
        return v;
    };
    m_ink = intValue("ink", 0, 0, static_cast<int>(inks.size()) - 1);
    m_undoDepth = intValue("undoDepth", 0, 0, 1 << 30);
    // The pen: its width kept in centimetres and shown in millimetres or
    // inches, its colour set by the inks or the colour button.
    m_penWidth = new tnUI::LinearValue(0.08);
    m_penWidth->setName(CString("penWidth"));
    m_penWidth->setRange(0.02, 0.64);
    m_penWidth->setDisplayUnit(tnUI::LinearUnit::Millimeter);
    addValue(m_penWidth);
    m_penUnit = intValue("penUnit", 0, 0, 1);
    // The paper's format, A4 or US Letter, which sets the paper's size.
    m_paperFormat = intValue("paperFormat", 0, 0, 1);
    m_penColour = tnUI::ColorValue::FromRgba(inks[0].colour.red(), inks[0].colour.green(), inks[0].colour.blue(), 255);
    m_penColour->setName(CString("penColour"));
    addValue(m_penColour);
    _makePrintSettings();
    tnRTB::connect(m_paperFormat->messageSignal, &signalClient, [this](tnUI::Message&) {
        if (m_paperFormat->getValue() == 0)
            m_paper->setInternalValue(21.0, 29.7);
        else
            m_paper->setInternalValue(21.59, 27.94);
    });
    tnRTB::connect(m_ink->messageSignal, &signalClient, [this](tnUI::Message&) {
        // The pen takes the ink's colour from the palette.
        const auto* colour = static_cast<const tnUI::ColorValue*>(m_palette->getValue(m_ink->getValue()));
        m_penColour->setInternalValue(colour->evalInternal());
    });
    for (const tnUI::Value* value :
         {static_cast<tnUI::Value*>(m_penWidth.get()), static_cast<tnUI::Value*>(m_penColour.get())})
        tnRTB::connect(value->messageSignal, &signalClient, [this](tnUI::Message&) { _drawBrushTip(); });

    m_environment = new tnUI::Environment(CString("sketch"), tnString::IString("Sketch"));
    addEnvironment(m_environment);
    m_environment->setInitialCommand(CString("pen"));

    _makeCommands();
    _makeMenus();
    _makeToolOptions();
}

void SketchApp::_makePrintSettings()
{
    const auto named = [this](tnUI::Value* v, const char* name) {
        v->setName(CString(name));
        addValue(v);
    };
    // The inks' colours, at the inks' numbers: the drawing tools take the
    // ink's colour from here.
    m_palette = new tnUI::ValueList;
    for (std::size_t i = 0; i < inks.size(); ++i) {
        const QColor c = inks[i].colour;
        const tn::Reference<tnUI::ColorValue> colour = tnUI::ColorValue::FromRgba(c.red(), c.green(), c.blue(), 255);
        colour->setName(CString(inks[i].name));
        m_palette->addValue(static_cast<double>(i), colour.get());
    }
    named(m_palette.get(), "palette");

    // How a picture is printed: the paper's size kept in centimetres and
    // shown in inches, the nib's angle kept in radians and shown in degrees.
    m_paper = new tnUI::RealValue2(tnUI::RealValueArray::Linear);
    m_paper->setInternalValue(21.0, 29.7);
    for (int i = 0; i < 2; ++i)
        static_cast<tnUI::LinearValue*>(m_paper->getValue(i))->setDisplayUnit(tnUI::LinearUnit::Inch);
    named(m_paper.get(), "paper");
    m_paper->nameComponents();
    m_nibAngle = new tnUI::AngleValue(0.7853981633974483);
    m_nibAngle->setInternalUnit(tnUI::AngleUnit::Radian);
    named(m_nibAngle.get(), "nibAngle");
    // The caption's font: the application's font, which the constructor set.
    m_captionFont = tnUI::FontValue::create();
    named(m_captionFont.get(), "captionFont");
    // The caption itself: none at first.
    m_caption = new tnUI::TextValue;
    named(m_caption.get(), "caption");
    // The brush tip is drawn once a tool-options window asks for it; until
    // then it is on its way.
    m_brushTip = new tnUI::ImageValue;
    m_brushTip->setWaiting(true);
    named(m_brushTip.get(), "brushTip");
}

void SketchApp::_makeToolOptions()
{
    const auto describe = [](tnUI::Argument* a, const char* name, const char* text, const char* tip) {
        a->setName(CString(name));
        a->setLabel(label(text));
        if (tip)
            a->setToolTip(label(tip));
        return a;
    };
    const auto choices = [](tnUI::EnumArgument* e, std::initializer_list<const char*> texts) {
        for (const char* text : texts) {
            const tn::Reference<tnUI::ArgumentItem> choice(new tnUI::ArgumentItem);
            choice->setLabel(label(text));
            e->addChoice(choice);
        }
    };

    // The width, disabled while the eraser is the tool: it erases with its
    // own reach.
    m_widthArgument = new tnUI::ValueArgument(m_penWidth);
    describe(m_widthArgument, "width", "Width", "The width of the pen and the line");
    m_widthArgument->setArgumentControlHint(tnUI::EArgumentControlHint::Slider);
    m_widthUnit = new tnUI::MutableLabel("mm");
    m_widthArgument->setUnitLabel(m_widthUnit);
    m_widthArgument->setInvertEnabled(true);
    m_widthArgument->setEnabledExpression(m_toolCurrent[2]);
    _applyPenUnit();
    tnRTB::connect(m_penUnit->messageSignal, &signalClient, [this](tnUI::Message&) { _applyPenUnit(); });
    const tn::Reference<tnUI::EnumArgument> unit(new tnUI::EnumArgument(m_penUnit));
    describe(unit, "unit", "Unit", "The unit the width is shown in");
    unit->setEnumArgumentKind(tnUI::EEnumArgumentKind::Segmented);
    choices(unit, {"mm", "in"});
    const tn::Reference<tnUI::ValueArgument> colour(new tnUI::ValueArgument(m_penColour));
    describe(colour, "colour", "Colour", "The pen's colour: click for any colour");
    const tn::Reference<tnUI::ImageArgument> tip(new tnUI::ImageArgument(m_brushTip));
    describe(tip, "tip", "Tip", "The pen's tip at its width and colour");
    tnRTB::connect(tip->resizeSignal, &signalClient, [this](tnUI::ImageArgument* a) {
        int w = 0;
        int h = 0;
        a->getRequestedImageSize(w, h);
        m_brushTipSize = QSize(w, h);
        _drawBrushTip();
    });

    // The ink twice over one selection: radio buttons, and a marking menu.
    const tn::Reference<tnUI::EnumArgument> ink(new tnUI::EnumArgument(m_ink));
    describe(ink, "ink", "Ink", "Draw with this ink");
    ink->setEnumArgumentKind(tnUI::EEnumArgumentKind::Radio3);
    choices(ink, {"Black", "Red", "Blue"});
    const tn::Reference<tnUI::EnumArgument> inkMenu(new tnUI::EnumArgument(m_ink));
    describe(inkMenu, "inkMenu", "Ink menu", "The inks in a marking menu");
    inkMenu->setEnumArgumentKind(tnUI::EEnumArgumentKind::MarkingMenu);
    choices(inkMenu, {"Black", "Red", "Blue"});
    const tn::Reference<tnUI::ValueArgument> nib(new tnUI::ValueArgument(m_nibAngle));
    describe(nib, "nibAngle", "Nib angle", "The angle of the pen's nib");
    nib->setFormatReal(0);
    nib->setUnitLabel(tn::Reference<tnUI::Label>(new tnUI::Label(tnString::IString(L"\u00b0"))));

    const tn::Reference<tnUI::EnumArgument> paper(new tnUI::EnumArgument(m_paperFormat));
    describe(paper, "paperFormat", "Format", "The paper a picture is printed on");
    paper->setEnumArgumentKind(tnUI::EEnumArgumentKind::Popup);
    choices(paper, {"A4", "US Letter"});
    const tn::Reference<tnUI::ValueArgument> size(new tnUI::ValueArgument(m_paper));
    describe(size, "paper", "Size", "The paper's width and height");
    size->setArgumentControlHint(tnUI::EArgumentControlHint::RVEC);
    const tn::Reference<tnUI::ValueArgument> font(new tnUI::ValueArgument(m_captionFont));
    describe(font, "captionFont", "Caption font", "The font of the caption");
    const tn::Reference<tnUI::ValueArgument> text(new tnUI::ValueArgument(m_caption));
    describe(text, "caption", "Caption", "Written along the bottom of the drawing");

    // A labelled list of arguments; pages side by side share a tab widget.
    // The tabs' mnemonics differ: Alt+P for the pen, Alt+A for the paper.
    const auto group = [&describe](const char* name, const char* text, tnUI::EGroupOfArgumentsKind kind,
                                   std::initializer_list<tnUI::Argument*> arguments) {
        const tn::Reference<tnUI::Arguments> list(new tnUI::Arguments);
        for (tnUI::Argument* a : arguments)
            list->addArgument(a);
        tn::Reference<tnUI::GroupOfArguments> g(new tnUI::GroupOfArguments(list));
        g->setGroupOfArgumentsKind(kind);
        describe(g, name, text, nullptr);
        return g;
    };
    using Kind = tnUI::EGroupOfArgumentsKind;
    const tn::Reference<tnUI::GroupOfArguments> inks = group("inks", "Inks", Kind::Group, {ink, inkMenu});
    const tn::Reference<tnUI::GroupOfArguments> penPage =
        group("penPage", "&Pen", Kind::Page, {m_widthArgument, unit, colour, tip, inks, nib});
    const tn::Reference<tnUI::GroupOfArguments> paperPage =
        group("paperPage", "P&aper", Kind::Page, {paper, size, font, text});

    const tn::Reference<tnUI::ValueArgument> grid(new tnUI::ValueArgument(m_grid));
    describe(grid, "grid", "Show the grid", "Show or hide the grid");
    // Named after the command it runs; enabled while that command is.
    const tn::Reference<tnUI::ButtonArgument> clear(new tnUI::ButtonArgument);
    describe(clear, "clear", "Clear", "Remove every stroke");
    clear->setEnabledExpression(m_notEmpty);
    const tn::Reference<tnUI::LabelArgument> note(new tnUI::LabelArgument);
    describe(note, "note", "The pen and the line draw with this width and colour; the eraser removes whole strokes.",
             nullptr);
    note->setAlignment(0);

    const tn::Reference<tnUI::Arguments> options(new tnUI::Arguments);
    options->addArgument(penPage);
    options->addArgument(paperPage);
    options->addSeparator();
    options->addArgument(grid);
    options->addArgument(clear);
    options->addArgument(note);
    m_toolOptions = new tnUI::GroupOfArguments(options);
    describe(m_toolOptions, "toolOptions", "Drawing", nullptr);
}

void SketchApp::_applyPenUnit()
{
    // The field's precision and steps go with the unit; they are read when
    // the unit's change is announced.
    const bool inches = m_penUnit->getValue() == 1;
    m_widthArgument->setFormatReal(inches ? 3 : 2);
    m_widthArgument->setStep(inches ? 0.005 : 0.1);
    m_widthArgument->setLargeStep(inches ? 0.05 : 1.0);
    m_widthUnit->set(inches ? "in" : "mm");
    m_penWidth->setDisplayUnit(inches ? tnUI::LinearUnit::Inch : tnUI::LinearUnit::Millimeter);
}

void SketchApp::_drawBrushTip()
{
    if (m_brushTipSize.isEmpty() || !m_brushTip)
        return;
    QImage tip(m_brushTipSize, QImage::Format_RGBA8888);
    tip.fill(Qt::white);
    QPainter painter(&tip);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(ink(), width(), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const double w = tip.width();
    const double h = tip.height();
    QPainterPath stroke(QPointF(0.2 * w, 0.65 * h));
    stroke.cubicTo(QPointF(0.4 * w, 0.1 * h), QPointF(0.6 * w, 0.9 * h), QPointF(0.8 * w, 0.35 * h));
    painter.drawPath(stroke);
    painter.end();
    // RGBA rows of any width are whole 32-bit words: no padding between them.
    m_brushTip->setImageData(tip.width(), tip.height(), 4, tip.constBits());
}

SketchApp::~SketchApp()
{
    // Windows still open close now, so that their widgets go with them.
    forceExit();
    closeAllWindows();
    tnOS::AppOutput::getInstance().setSink(m_oldSink);
}

SketchApp& SketchApp::instance()
{
    return static_cast<SketchApp&>(getInstance());
}

void SketchApp::_makeCommands()
{
    const tn::Reference<tnUI::CommandClass> drawing(new SketchClass("drawing", Qt::CrossCursor));
    const tn::Reference<tnUI::CommandClass> erasing(new SketchClass("erasing", Qt::PointingHandCursor));
    const tn::Reference<tnUI::CommandClass> editing(new SketchClass("editing", Qt::ArrowCursor));

    const auto add = [this](tnUI::CommandDefn* defn, const char* text, const char* tip, const char* key,
                            tnUI::CommandClass* commandClass) {
        const tn::Reference<tnUI::CommandDefn> hold(defn);
        defn->setLabel(label(text));
        defn->setToolTip(label(tip));
        defn->setClass(commandClass);
        addCommand(defn);
        m_commands.emplace_back(new CommandInstance(defn));
        CommandInstance* instance = m_commands.back();
        instance->setKeybinding(tn::Reference<tnUI::Keybinding>(new tnUI::Keybinding(CString(key))));
        m_environment->getCommandGroup()->appendItem(instance);
        return instance;
    };

    add(new tnUI::ContinuousCommandDefn(CString("pen")), "Pen", "Draw freehand", "P", drawing);
    add(new tnUI::ContinuousCommandDefn(CString("line")), "Line", "Draw straight lines", "L", drawing);
    auto* eraser = new tnUI::ContinuousCommandDefn(CString("eraser"));
    // The eraser shows its reach while the pointer merely moves.
    eraser->setAllMotionEvents(true);
    add(eraser, "Eraser", "Erase whole strokes", "E", erasing);
    for (const char* name : {"pen", "line", "eraser"}) {
        CommandInstance* tool = command(name);
        const tn::Reference<tnUI::Condition> current(new ToolIsCurrent(tool));
        tool->setCheckedExpression(current);
        m_toolCurrent.push_back(current);
    }

    add(new UndoCommand, "Undo", "Take back the last change", "Ctrl+Z", editing);
    add(new ClearCommand, "Clear", "Remove every stroke", "Ctrl+Delete", editing);

    // The grid toggle and saving leave the current tool undisturbed.
    auto* grid = new Action("grid", [this](CallInfo&) {
        m_grid->setValue(!m_grid->getValue());
        m_transcript.note(QStringLiteral("grid: %1").arg(m_grid->getValue() ? "shown" : "hidden"));
    });
    grid->setDoesStateChange(false);
    add(grid, "Grid", "Show or hide the grid", "G", editing)->setCheckedExpression(m_grid);

    // The view's scale: a step either way at once, and a glide back to the
    // actual size. The current tool stays.
    const auto view = [&](const char* name, const char* text, const char* tip, const char* key,
                          const std::function<void(Canvas&)>& act) {
        auto* defn = new Action(name, [this, act](CallInfo& call) {
            if (Canvas* canvas = canvasOf(&call)) {
                act(*canvas);
                m_transcript.note(QStringLiteral("zoom: %1")
                                      .arg(canvas->isZooming()
                                               ? QStringLiteral("gliding to 100 %")
                                               : QStringLiteral("%1 %").arg(qRound(canvas->zoom() * 100))));
            }
        });
        defn->setDoesStateChange(false);
        add(defn, text, tip, key, editing);
    };
    view("zoomIn", "Zoom in", "Show the drawing larger", "Ctrl+=", [](Canvas& c) { c.zoomBy(1.25); });
    view("zoomOut", "Zoom out", "Show the drawing smaller", "Ctrl+-", [](Canvas& c) { c.zoomBy(0.8); });
    view("actualSize", "Actual size", "Glide back to the drawing's actual size", "Ctrl+0",
         [](Canvas& c) { c.returnToActualSize(); });

    auto* save = new Action("save", [this](CallInfo& call) {
        SketchDocument* document = documentOf(call);
        SketchWindow* window = windowOf(&call);
        if (!document || !window || !window->canvas())
            return;
        const QString shown = QDir::toNativeSeparators(m_savePath);
        // The folder is made only now: a session that saves nothing leaves
        // nothing behind.
        if (QDir().mkpath(QFileInfo(m_savePath).absolutePath()) &&
            document->drawing().save(m_savePath, window->canvas()->size(), m_grid->getValue())) {
            m_transcript.note(QStringLiteral("save: wrote %1").arg(QFileInfo(m_savePath).fileName()));
            window->showMessage(QStringLiteral("Saved the picture to %1").arg(shown));
        } else {
            m_transcript.note(QStringLiteral("save: could not write %1").arg(m_savePath));
            window->showMessage(QStringLiteral("Could not save the picture to %1").arg(shown));
        }
    });
    save->setDoesStateChange(false);
    add(save, "Save", "Save the picture", "Ctrl+S", editing);

    // An ink is a setting of the drawing tools: choosing one leaves the
    // current tool as it is.
    for (int i = 0; i < static_cast<int>(inks.size()); ++i) {
        auto* ink = new Action(inks[i].command, [this, i](CallInfo&) {
            m_ink->setValue(i);
            m_transcript.note(QStringLiteral("ink: %1").arg(inks[i].name));
        });
        ink->setDoesStateChange(false);
        const tn::Reference<tnUI::IntValue> index(new tnUI::IntValue(i));
        add(ink, inks[i].label, "Draw with this ink", inks[i].key, editing)
            ->setCheckedExpression(tn::Reference<tnUI::NumericValue>(new tnUI::ExpressionEqual(m_ink, index)));
    }

    // Quitting closes windows, and with them their document instances and
    // controllers: it waits until the selection that runs it is over.
    auto* quit = new Action("quit", [](CallInfo&) {
        QTimer::singleShot(0, qApp, [] {
            if (auto* app = dynamic_cast<SketchApp*>(tnUI::Application::findInstance()))
                app->quit();
        });
    });
    quit->setDoesStateChange(false);
    add(quit, "Quit", "Close the window and leave the program", "Ctrl+Q", editing);

    // The conditions read the values registered above.
    for (const char* name : {"undo", "clear"})
        getCommand(CString(name))->setCommandEnabledCondition();
    m_notEmpty = dynamic_cast<tnUI::Condition*>(getCommand(CString("clear"))->getEnabledExpression());
    _syncConditions();
}

void SketchApp::_makeMenus()
{
    const auto group = [](const char* name, const char* text) {
        tn::Reference<tnUI::CommandGroup> g(new tnUI::CommandGroup);
        g->setName(CString(name));
        g->setLabel(label(text));
        return g;
    };

    // The marking menu: eight commands at the compass points, clockwise from
    // North.
    const char* const compass[] = {"pen", "line", "eraser", "undo", "clear", "grid", "redInk", "blackInk"};
    const tn::Reference<tnUI::CommandGroup> marking = group("marking", "Sketch");
    marking->setLayoutPreference(tnUI::Group::Radial);
    for (const char* name : compass)
        marking->appendItem(command(name));

    // The list menu, with the tools and the inks in submenus.
    const tn::Reference<tnUI::CommandGroup> edit = group("edit", "Edit");
    const tn::Reference<tnUI::CommandGroup> tools = group("tools", "Tools");
    for (const char* name : {"pen", "line", "eraser"})
        tools->appendItem(command(name));
    const tn::Reference<tnUI::CommandGroup> inkGroup = group("inks", "Ink");
    for (const Ink& ink : inks)
        inkGroup->appendItem(command(ink.command));
    edit->appendItem(tools);
    edit->appendItem(inkGroup);
    for (const char* name : {"undo", "clear", "grid", "save", "quit"})
        edit->appendItem(command(name));
    addMenu(marking);
    addMenu(edit);

    // The menu bar of every window: File, Edit, Tools and View, null for a
    // separator, the inks in a submenu of Edit.
    const tn::Reference<tnUI::CommandGroup> bar = group("menuBar", "Menu bar");
    const auto barMenu = [&](const char* name, const char* text, std::initializer_list<const char*> names) {
        tn::Reference<tnUI::CommandGroup> menu = group(name, text);
        for (const char* each : names) {
            if (each)
                menu->appendItem(command(each));
            else
                menu->appendItem(tn::Reference<tnUI::Element>(new tnUI::Separator));
        }
        bar->appendItem(menu);
        return menu;
    };
    barMenu("fileMenu", "File", {"save", nullptr, "quit"});
    const tn::Reference<tnUI::CommandGroup> editMenu = barMenu("editMenu", "Edit", {"undo", nullptr, "clear", nullptr});
    const tn::Reference<tnUI::CommandGroup> barInks = group("inkMenu", "Ink");
    for (const Ink& ink : inks)
        barInks->appendItem(command(ink.command));
    editMenu->appendItem(barInks);
    barMenu("toolsMenu", "Tools", {"pen", "line", "eraser"});
    barMenu("viewMenu", "View", {"grid", nullptr, "zoomIn", "zoomOut", "actualSize"});
    addMenu(bar);
    setMenuBar(CString("menuBar"));

    // Appending to a group can raise an element's order value, and these
    // instances stand in several groups; the marking menu reads its compass
    // positions from the order values, so they are set once every group is
    // built.
    for (int i = 0; i < 8; ++i)
        command(compass[i])->setOrderValue(i + 1);
}

SketchWindow* SketchApp::openDocument(const char* name)
{
    auto* document = new SketchDocument(this, name);
    auto* instance = new tnUI::DocumentInstance(document);
    instance->setName(CString(name));
    auto* window = new SketchWindow(instance, &document->drawing());

    // Each tool keeps its state for this document instance.
    const auto attach = [&](const char* toolName, auto makeState) {
        CommandInstance* tool = command(toolName);
        const CallInfo call(nullptr, window, instance, tool);
        tool->setInstanceState(tn::Reference<tnUI::CommandInstanceState>(makeState(call)));
    };
    attach("pen", [](const CallInfo& c) { return new PenState(c); });
    attach("line", [](const CallInfo& c) { return new LineState(c); });
    attach("eraser", [](const CallInfo& c) { return new EraserState(c); });

    tnRTB::connect(instance->activeInstanceSignal, &signalClient,
                   [this](tnUI::DocumentInstance*, bool) { _syncConditions(); });
    // Once the outermost call into a command is over, the current tool is
    // settled.
    tnUI::CommandController* controller = &instance->getCommandController();
    tnRTB::connect(controller->clientCallSignal, &signalClient,
                   [this, controller](tnUI::CommandController::CallType, CallInfo&, bool before) {
                       if (!before && !controller->isClientCallActive())
                           _syncConditions();
                   });
    QObject::connect(&document->drawing(), &Drawing::changed, &document->drawing(), [this] { _syncConditions(); });

    window->realizeWindow();
    setActiveDocumentInstance(instance);
    const tn::Reference<ToolOptionsWindow> options(new ToolOptionsWindow(window, m_toolOptions));
    options->raiseWindow();
    // The drawing's window is the active one, its options beside it.
    window->raiseWindow();
    return window;
}

ToolOptionsWindow* SketchApp::toolOptionsOf(const SketchWindow* window)
{
    for (int i = 0; window && i < window->getNumWindows(); ++i)
        if (auto* options = dynamic_cast<ToolOptionsWindow*>(window->getWindow(i)))
            return options;
    return nullptr;
}

SketchDocument* SketchApp::activeDocument() const
{
    tnUI::DocumentInstance* active = getActiveDocumentInstance();
    return active ? dynamic_cast<SketchDocument*>(active->getDocument()) : nullptr;
}

SketchWindow* SketchApp::activeWindow() const
{
    tnUI::DocumentInstance* active = getActiveDocumentInstance();
    return active ? dynamic_cast<SketchWindow*>(active->getDocumentWindow()) : nullptr;
}

CommandInstance* SketchApp::command(const char* name) const
{
    for (const auto& instance : m_commands)
        if (*instance->getName() == CString(name))
            return instance;
    return nullptr;
}

CommandInstance* SketchApp::findShortcut(int modifiers, tnUI::KeyName key) const
{
    for (const auto& instance : m_commands) {
        const tnUI::Keybinding* binding = instance->getKeybinding();
        if (binding && binding->getKey() == key && binding->getModifier() == modifiers)
            return instance;
    }
    return nullptr;
}

QString SketchApp::labelOf(const CommandInstance* command)
{
    if (const tnUI::Label* l = command->getLabel())
        return QString::fromStdWString(l->asString().str());
    return QString::fromUtf8(command->getName()->asChar());
}

QString SketchApp::keyText(const tnUI::Keybinding& binding)
{
    return QString::fromUtf8(binding.modifierName().asChar()) +
           QString::fromUtf8(tnUI::enumName(binding.getKey(), false));
}

QString SketchApp::keyHint() const
{
    QStringList keys;
    for (const auto& instance : m_commands)
        if (const tnUI::Keybinding* binding = instance->getKeybinding())
            keys.append(keyText(*binding) + QLatin1Char(' ') + labelOf(instance));
    return QStringLiteral("Keys: ") + keys.join(QStringLiteral(", "));
}

QColor SketchApp::ink() const
{
    int rgba[4];
    m_penColour->evalBytes(rgba);
    return QColor(rgba[0], rgba[1], rgba[2], rgba[3]);
}

QString SketchApp::inkName() const
{
    const QColor colour = ink();
    for (const Ink& each : inks)
        if (each.colour == colour)
            return QString::fromUtf8(each.name);
    return colour.name();
}

double SketchApp::width() const
{
    return m_penWidth->evalInternal() * pixelsPerCentimetre;
}

QString SketchApp::widthText() const
{
    return QStringLiteral("%1 %2")
        .arg(m_penWidth->evalDisplay(), 0, 'f', m_widthArgument ? m_widthArgument->getDisplayPrecision() : 2)
        .arg(QString::fromUtf8(tnUI::enumName(m_penWidth->getDisplayUnit(), true)));
}

void SketchApp::widen(int notches)
{
    m_penWidth->setInternalValue(m_penWidth->evalInternal() + 0.025 * notches);
}

bool SketchApp::quit()
{
    // A window's question runs an event loop, in which quitting may be asked
    // for again.
    if (m_quitting)
        return false;
    m_quitting = true;
    const auto done = qScopeGuard([this] { m_quitting = false; });
    requestExit();
    // Each window with unsaved strokes asks as it is closed.
    if (closeAllWindows())
        return true;
    m_transcript.note(QStringLiteral("application: a window refused to close, the program goes on"));
    return false;
}

bool SketchApp::dumpModel(const QString& path) const
{
    tnUI::DumpFile file;
    if (!file.open(tnString::IString(path.toStdWString())))
        return false;
    file.header();
    dump(file, 0, nullptr);
    m_toolOptions->dump(file, 0, "tool options");
    // The pop-up menus of the active drawing's canvas.
    if (const SketchWindow* window = activeWindow(); window && window->canvas()) {
        window->canvas()->markingMenu()->dump(file, 0, "marking menu");
        window->canvas()->listMenu()->dump(file, 0, "list menu");
    }
    file.close();
    return true;
}

void SketchApp::_syncConditions()
{
    const SketchDocument* document = activeDocument();
    m_undoDepth->setValue(document ? document->drawing().undoDepth() : 0);
    m_notEmpty->update();
    for (const auto& current : m_toolCurrent)
        current->update();
}
