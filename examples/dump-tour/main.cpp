// A short tour of the entity core: build a few decorated entities and a group
// of arguments, listen to them, watch a change travel as a chain of messages,
// then write the whole graph to a dump on standard output.

#include <tnUI/tnUI.h>

#include <cstdio>

using tnString::CString;
using tnString::IString;
using namespace tnUI;

// Host classes derive from DecoratedEntity to get a name, a label, a tooltip,
// a help reference and icons, all of which announce their changes.
class Tool : public DecoratedEntity {};

namespace {

// A readable name for any entity of a chain: its name if it has one,
// otherwise its class.
CString describe(const Entity& e)
{
    if (const auto* named = dynamic_cast<const NamedEntity*>(&e); named && named->getName())
        return named->nameAsChar();
    return e.getTypeName();
}

// Prints a message and every message that caused it, innermost last. The
// message lives only for the duration of the call: read it, do not keep it.
void printMessage(Message& m)
{
    std::printf("message \"%s\" from %s\n", enumName(m.getType()), describe(*m.getEntity()).asChar());
    for (const Message* cause = m.causedBy(); cause; cause = cause->causedBy())
        std::printf("  caused by \"%s\" from %s\n", enumName(cause->getType()), describe(*cause->getEntity()).asChar());
}

} // namespace

int main()
{
    // Entities are shared by counted references. tn::Reference holds one and
    // releases it when it goes out of scope; an entity dies with its last one.
    const tn::Reference<Tool> brush(new Tool), eraser(new Tool);
    brush->setName(CString("brush"));
    eraser->setName(CString("eraser"));

    // One mutable label, shared: the brush shows it as its label, the eraser
    // as its tooltip. Both hold a reference and both pass its changes on.
    const tn::Reference<MutableLabel> paint(new MutableLabel("Paint"));
    brush->setLabel(paint);
    eraser->setToolTip(paint);
    // A temporary Reference owns a new entity until its holder takes a
    // reference of its own, so nothing leaks if the setter throws.
    eraser->setLabel(tn::Reference<Label>(new Label("Eraser")));
    brush->setHelpRef(tn::Reference<HelpRef>(new HelpRef("tools/brush.html")));

    // Icons are image files; the decorated entity watches those it is given.
    const tn::Reference<ImageFile> brushIcon(new ImageFile(new Filename(IString("icons/brush.png"))));
    brush->setIcon(brushIcon, IconState::Normal, IconMode::Default);
    brush->setIcon(tn::Reference<ImageFile>(new ImageFile(new Filename(IString("icons/brush-on.png")))),
                   IconState::Active, IconMode::Alternate);

    // Listen to the brush the way a host widget would. The connection is
    // recorded with `listener`, so it is cut when either side dies.
    tnRTB::SignalClient listener;
    tnRTB::connect(brush->messageSignal, &listener, printMessage);

    // Changing the shared label: the label sends "Label", the brush passes it
    // on as "Forward" caused by it.
    paint->set("Paint with the brush");
    // Changing an icon's file: the image file sends "Value", the brush resends
    // it as "Icon".
    brushIcon->setFilename(new Filename(IString("icons/brush-2.png")));
    // A change of the brush itself is a root message.
    brush->setToolTip(tn::Reference<Label>(new Label("Soft round brush")));

    // The brush's options as arguments, the controls a toolkit binding would
    // build: a size field over a value, a choice of tip, a separator, all in
    // a group. The group passes on every change inside it, so one listener
    // hears the size change through the list, the field and the value.
    const tn::Reference<RealValue> size(new RealValue(4.0));
    size->setName(CString("size"));
    const tn::Reference<ValueArgument> sizeField(new ValueArgument(size));
    sizeField->setFormatReal(1);
    sizeField->setUnitLabel(tn::Reference<Label>(new Label("px")));
    const tn::Reference<EnumArgument> tip(new EnumArgument);
    for (const char* shape : {"Round", "Square"}) {
        const tn::Reference<LabelArgument> choice(new LabelArgument);
        choice->setLabel(tn::Reference<Label>(new Label(shape)));
        tip->addChoice(choice);
    }
    const tn::Reference<Arguments> options(new Arguments);
    options->addArgument(sizeField);
    options->addSeparator();
    options->addArgument(tip);
    const tn::Reference<GroupOfArguments> brushOptions(new GroupOfArguments(options));
    brushOptions->setName(CString("brush options"));
    tnRTB::connect(brushOptions->messageSignal, &listener, printMessage);
    size->setInternalValue(6.5);

    // The dump: ">" is standard output. Each entity is written once; the
    // eraser's tooltip is the label already written under the brush, so it
    // appears as a reference to that line.
    std::printf("\n");
    DumpFile dump;
    if (!dump.open(IString(">")))
        return 1;
    dump.header();
    brush->dump(dump, 0, nullptr);
    eraser->dump(dump, 0, nullptr);
    brushOptions->dump(dump, 0, nullptr);
    dump.close();
    return 0;
}
