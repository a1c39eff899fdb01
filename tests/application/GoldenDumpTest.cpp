// The dump of a representative model, compared line by line with a golden
// file after its addresses are replaced by stable numbers. This is the one
// check of what every class writes into a dump. TNUI_UPDATE_GOLDEN=1 writes
// the golden file anew instead: read the difference before committing it.

#include "commands/CommandTestSupport.h"

#include <tnUI/arguments/ArgumentPane.h>
#include <tnUI/arguments/ButtonArgument.h>
#include <tnUI/arguments/EnumArgument.h>
#include <tnUI/arguments/GroupOfArguments.h>
#include <tnUI/arguments/ImageArgument.h>
#include <tnUI/arguments/LabelArgument.h>
#include <tnUI/arguments/ValueArgument.h>
#include <tnUI/commands/Keybinding.h>
#include <tnUI/entity/DecoratedEntity.h>
#include <tnUI/entity/Rectangle.h>
#include <tnUI/menus/CompiledCommandGroup.h>
#include <tnUI/menus/Element.h>
#include <tnUI/values/AngleValue.h>
#include <tnUI/values/ColorValue.h>
#include <tnUI/values/Condition.h>
#include <tnUI/values/Expression.h>
#include <tnUI/values/FontValue.h>
#include <tnUI/values/ImageValue.h>
#include <tnUI/values/IntValue.h>
#include <tnUI/values/LinearValue.h>
#include <tnUI/values/RealValue.h>
#include <tnUI/values/TextValue.h>
#include <tnUI/values/ValueList.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <regex>

// Named, so that the dump shows their type names plainly.
namespace golden {

class Ready : public tnUI::Condition {
public:
    bool compute() override { return true; }
};

class Drawing : public tnUI::CommandClass {
public:
    void classSelected(tnUI::CallInfo*) override {}
    void classUnselected(tnUI::CallInfo*) override {}
};

} // namespace golden

namespace {

using namespace tnUI;
using namespace tnUITest;
using golden::Drawing;
using golden::Ready;
using tnString::CString;
using tnString::IString;

template <class T>
T* registered(Application* app, T* value, const char* name)
{
    value->setName(CString(name));
    app->addValue(value);
    return value;
}

// Each address becomes "@<n>", numbered in the order of first appearance,
// and the header's time in ctime's form "<time>".
std::vector<std::string> withStableAddresses(const std::vector<std::string>& lines)
{
    static const std::regex address("0x[0-9a-fA-F]+");
    static const std::regex time("[A-Z][a-z]{2} [A-Z][a-z]{2} [ 0-9]\\d \\d\\d:\\d\\d:\\d\\d \\d{4}$");
    std::map<std::string, int> numbers;
    std::vector<std::string> result;
    for (const std::string& line : lines) {
        std::string out;
        std::size_t from = 0;
        for (std::sregex_iterator it(line.begin(), line.end(), address), end; it != end; ++it) {
            const auto entry = numbers.emplace(it->str(), static_cast<int>(numbers.size()) + 1).first;
            out += line.substr(from, static_cast<std::size_t>(it->position()) - from);
            out += '@';
            out += std::to_string(entry->second);
            from = static_cast<std::size_t>(it->position() + it->length());
        }
        out += line.substr(from);
        result.push_back(std::regex_replace(out, time, "<time>"));
    }
    return result;
}

using GoldenDumpTest = ApplicationTest;

TEST_F(GoldenDumpTest, RepresentativeModel)
{
    app->setName(CString("app"));
    app->setLabel(tn::Reference<Label>(new Label("Sketch")));

    // An environment with its presentation and commands.
    auto* paint = new Environment(CString("paint"), IString("Paint"));
    app->addEnvironment(paint);
    paint->setToolTip(tn::Reference<Label>(new Label("Paint things")));
    paint->setIcon(image("paint.png"), IconState::Normal, IconMode::Default);
    paint->setInitialCommand(CString("select"));
    paint->setDefaultCommand(CString("brush"));

    // Registered values, an expression over them and a condition.
    auto* zoom = registered(app.get(), new RealValue(2.5), "zoom");
    zoom->setRange(0, 10);
    zoom->setInternalValue(-1.0);
    registered(app.get(), new RealValue, "unsetReal")->setRange(-1.5, 1.5);
    registered(app.get(), new IntValue(7), "count")->setRange(-2, 5);
    auto* flag = registered(app.get(), new BoolValue(true), "flag");
    flag->setValue(false);
    auto* title = registered(app.get(), new TextValue(tn::Reference<Label>(new Label("Caption"))), "title");
    title->setEditble(false);
    // Values with units, vectors, colours in a list, a font and an image.
    registered(app.get(), new LinearValue(0.5), "penWidth")->setDisplayUnit(LinearUnit::Inch);
    auto* tilt = registered(app.get(), new AngleValue(1.5), "tilt");
    tilt->setInternalUnit(AngleUnit::Radian);
    auto* offset = registered(app.get(), new RealValue2(RealValueArray::Linear, RealValueArray::Angle), "offset");
    offset->setInternalValue(1.0, 2.0);
    offset->nameComponents();
    registered(app.get(), new RealValueN(tn::vector<double>{1.0, 2.0, 3.0}), "weights");
    auto* gradient = registered(app.get(), new ValueList, "gradient");
    gradient->addValue(0.0, ColorValue::FromRgba(255, 0, 0, 255).get());
    gradient->addValue(1.0, ColorValue::FromRgba(0.0, 0.5, 1.0, 1.0).get());
    registered(app.get(), new FontValue(IString("Sans"), 11.0f), "font");
    registered(app.get(), new ImageValue(4, 3), "thumbnail")->setWaiting(true);
    const tn::Reference<Ready> ready(new Ready);
    ready->update();
    const tn::Reference<ExpressionOr> either(new ExpressionOr(new ExpressionNot(flag), new RealValue));

    // Commands: a tool and a momentary command forced to it.
    const tn::Reference<Drawing> drawing(new Drawing);
    drawing->setName(CString("drawing"));
    auto* select = new ContinuousCommandDefn(CString("select"));
    select->setAllMotionEvents(true);
    select->setClass(drawing);
    app->addCommand(select);
    const tn::Reference<CommandInstance> selectTool(new CommandInstance(select));
    auto* paste = new MomentaryCommandDefn(CString("paste"));
    paste->setEnabledExpression(either);
    paste->setClass(drawing);
    paste->setForceCommand(selectTool);
    paste->setDoesStateChange(false);
    app->addCommand(paste);

    // A radial menu of items, a separator, a sub-group and a command.
    auto* menu = new CommandGroup;
    menu->setName(CString("main"));
    menu->setLayoutPreference(Group::Radial);
    auto* copy = new Item;
    copy->setName(CString("Copy"));
    copy->setKeybinding(tn::Reference<Keybinding>(new Keybinding(CString("Shift+ctrl+c"))));
    copy->setOrderValue(12.5);
    copy->setPriority(-3);
    menu->appendItem(copy);
    menu->appendItem(tn::Reference<Separator>(new Separator));
    const tn::Reference<Group> sub(new Group);
    sub->appendItem(tn::Reference<Item>(new Item));
    menu->appendItem(sub);
    menu->appendItem(tn::Reference<CommandInstance>(new CommandInstance(paste)));
    app->addMenu(menu);

    // A document shown in a window with a utility window and its pane; the
    // tool keeps a state for the instance and a value.
    Document* doc = document("doc");
    registerBool(doc, CString("docFlag"), true);
    HostDocumentWindow* window = show(doc);
    DocumentInstance* instance = window->getDocumentInstance();
    registerBool(instance, CString("instanceFlag"), false);
    FakeWindowImpl impl, utilityImpl;
    window->setQtDocumentWindow(nullptr, &impl);
    auto* utility = new UtilityWindow(window);
    utility->setName(CString("tools"));
    utility->setQtUtilityWindow(nullptr, &utilityImpl);
    const tn::Reference<HostPane> pane(new HostPane);
    pane->setLabel(tn::Reference<Label>(new Label("pane")));
    utility->setContent(pane);
    const tn::Reference<ContinuousCommandState> state(
        new ContinuousCommandState(CallInfo(nullptr, nullptr, instance, nullptr)));
    selectTool->setInstanceState(state);
    selectTool->addValue(registered(app.get(), new BoolValue(true), "width"));
    app->setActiveDocumentInstance(instance);

    // Entities outside the application.
    const tn::Reference<NamedLabeledEntity> labelled(new NamedLabeledEntity);
    const tn::Reference<Label> shared(new Label("Gr\xc3\xb6\xc3\x9f"
                                                "e"));
    labelled->setLabel(shared);
    labelled->setToolTip(shared);
    labelled->setHelpRef(tn::Reference<HelpRef>(new HelpRef("size.html")));
    const tn::Reference<DecoratedEntity> decorated(new DecoratedEntity);
    decorated->setIcon(image("active.png"), IconState::Active, IconMode::Alternate);
    decorated->setIcon(paint->getIcon(IconState::Normal, IconMode::Default), IconState::Disabled, IconMode::Default);
    const tn::Reference<Keybinding> broken(new Keybinding(CString("x")));
    broken->compile(CString("meta+"));
    const CallInfo partial(nullptr, nullptr, nullptr, selectTool), empty(nullptr, nullptr, nullptr, nullptr);
    const Rectangle bounds(tnLinear::Point2(1.5, -2), tnLinear::Tuple2(30, 40.25));

    // Arguments of every kind in a two-column page, shown by a pane.
    const tn::Reference<Arguments> options(new Arguments), nested(new Arguments);
    options->setName(CString("options"));
    const tn::Reference<ValueArgument> count(new ValueArgument(app->getValue(CString("count"))));
    count->setDefaultState(EArgumentState::ValidSet);
    count->setEnabledExpression(flag);
    options->addArgument(count);
    const tn::Reference<EnumArgument> choice(new EnumArgument);
    choice->setEnumArgumentKind(EEnumArgumentKind::MarkingMenu);
    choice->addChoice(tn::Reference<ButtonArgument>(new ButtonArgument));
    options->addArgument(choice);
    options->addSeparator();
    const tn::Reference<LabelArgument> caption(new LabelArgument);
    caption->setValue(title);
    options->addArgument(caption);
    options->addArgument(tn::Reference<ImageArgument>(new ImageArgument(tn::Reference<ImageValue>(new ImageValue))));
    options->addArgument(tn::Reference<GroupOfArguments>(new GroupOfArguments(nested)));
    const tn::Reference<GroupOfArguments> page(new GroupOfArguments(options));
    page->setGroupOfArgumentsKind(EGroupOfArgumentsKind::Page);
    page->setNumColumns(2);
    const tn::Reference<ArgumentPane> argumentPane(new ArgumentPane(page));
    argumentPane->setName(CString("options pane"));

    DumpCapture dump;
    ASSERT_TRUE(dump.opened());
    dump.file.header();
    app->dump(dump.file, 0, nullptr);
    // Compiled after the application's lines, whose reference counts it would change.
    const tn::Reference<CompiledCommandGroup> compiled = compileCommandGroup(menu);
    for (const Entity* e :
         std::initializer_list<const Entity*>{either, ready, selectTool, state, labelled, decorated, broken, &partial,
                                              &instance->getCommandController(), page, argumentPane, compiled})
        e->dump(dump.file, 0, "root");
    empty.dump(dump.file, 1, "empty");
    bounds.dump(dump.file, 1, "bounds");
    impl.dump(dump.file, 1);
    const std::vector<std::string> lines = withStableAddresses(dump.lines());

    const std::string path = std::string(TNUI_GOLDEN_DIR) + "/model.dump";
    if (std::getenv("TNUI_UPDATE_GOLDEN")) {
        std::ofstream out(path);
        for (const std::string& line : lines)
            out << line << '\n';
    }
    std::ifstream in(path);
    ASSERT_TRUE(in) << path;
    std::vector<std::string> golden;
    for (std::string line; std::getline(in, line);)
        golden.push_back(line);
    for (std::size_t i = 0; i < std::max(lines.size(), golden.size()); ++i) {
        ASSERT_EQ(i < lines.size() ? lines[i] : "<end>", i < golden.size() ? golden[i] : "<end>") << "line " << i + 1;
    }
    app = nullptr; // the windows close while their widgets are still here
}

} // namespace
