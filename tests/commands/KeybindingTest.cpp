#include "commands/CommandTestSupport.h"

#include <tnUI/commands/Keybinding.h>

namespace {

using namespace tnUI;
using namespace tnUITest;
using tnString::CString;

using KeybindingTest = EntityTest;

struct Parsed {
    const char* text;
    int modifier;
    KeyName key;
    const char* printed; // modifierName() + keyName()
};

const Parsed validTexts[] = {
    {"Ctrl+S", Keybinding::Ctrl, KeyName::S, "Ctrl+S"},
    {"meta+alt+shift+ctrl+f1", 15, KeyName::F1, "Ctrl+Shift+Alt+Meta+F1"},
    {"shift+ctrl+x", Keybinding::Ctrl | Keybinding::Shift, KeyName::X, "Ctrl+Shift+X"},
    {"sHiFt+ALT+alt+PageDown", Keybinding::Shift | Keybinding::Alt, KeyName::PageDown, "Shift+Alt+PgDn"},
    {"shift", 0, KeyName::Shift, "Shift"}, // without its plus sign, a key name
    {"ctrl+shift", Keybinding::Ctrl, KeyName::Shift, "Ctrl+Shift"},
    {"ctrl++", Keybinding::Ctrl, KeyName::Plus, "Ctrl++"},
};

TEST_F(KeybindingTest, ParsesAndPrintsInFixedModifierOrder)
{
    for (const Parsed& p : validTexts) {
        SCOPED_TRACE(p.text);
        const tn::Reference<Keybinding> binding(new Keybinding(CString(p.text)));
        EXPECT_EQ(binding->getModifier(), p.modifier);
        EXPECT_EQ(binding->getKey(), p.key);
        EXPECT_EQ(binding->modifierName().str() + binding->keyName().str(), p.printed);
        // The printed form reads back as the same binding.
        EXPECT_TRUE(binding->compile(CString(p.printed)));
        EXPECT_EQ(binding->getModifier(), p.modifier);
        EXPECT_EQ(binding->getKey(), p.key);
    }
}

struct Refused {
    const char* text;
    int modifierLeft; // the modifier bits read before the failure
};

const Refused invalidTexts[] = {
    {"", 0},
    {"ctrl+", Keybinding::Ctrl},
    {"Alt+Meta+", Keybinding::Alt | Keybinding::Meta},
    {"ctrl+nosuchkey", Keybinding::Ctrl},
    {"shft+a", 0},
    {"ctrl+ s", Keybinding::Ctrl},
};

TEST_F(KeybindingTest, RefusedTextLeavesNoKeyAndSendsNothing)
{
    for (const Refused& r : invalidTexts) {
        SCOPED_TRACE(r.text);
        EXPECT_THROW(Keybinding{CString(r.text)}, KeybindingError);
        const tn::Reference<Keybinding> binding(new Keybinding(CString("Ctrl+Shift+Q")));
        MessageRecorder recorder(binding);
        EXPECT_THROW(binding->setKey(CString(r.text)), KeybindingError);
        EXPECT_TRUE(recorder.chains.empty());
        EXPECT_EQ(binding->getKey(), KeyName::None);
        EXPECT_EQ(binding->getModifier(), r.modifierLeft);
        EXPECT_EQ(binding->keyName().str(), "<Error!>");
    }
}

TEST_F(KeybindingTest, EverySetKeyIsAnnouncedButNoCompile)
{
    const tn::Reference<Keybinding> binding(new Keybinding(CString("F2")));
    MessageRecorder recorder(binding);
    binding->setKey(CString("ctrl+z"));
    binding->setKey(CString("ctrl+z"));
    EXPECT_TRUE(binding->compile(CString("alt+y")));
    const Chain announced = {{binding.get(), Message::Binding}};
    EXPECT_EQ(recorder.chains, (std::vector<Chain>{announced, announced}));
}

TEST_F(KeybindingTest, DumpLine)
{
    const tn::Reference<Keybinding> binding(new Keybinding(CString("alt+SHIFT+Delete")));
    const tn::Reference<Keybinding> broken(new Keybinding(CString("x")));
    EXPECT_FALSE(broken->compile(CString("meta+")));

    // Written at level 1, its own line is one deeper.
    DumpCapture dump;
    ASSERT_TRUE(dump.opened());
    binding->dump(dump.file, 1, "shortcut");
    broken->dump(dump.file, 0, "broken");
    EXPECT_EQ(dump.lines(), (std::vector<std::string>{
                                dumpLine(1, 1, entityLine("tnUI::Keybinding", "shortcut", 1, binding.get())),
                                dumpLine(2, 2, "keybinding = Shift+Alt+Del"),
                                dumpLine(3, 0, entityLine("tnUI::Keybinding", "broken", 1, broken.get())),
                                dumpLine(4, 1, "keybinding = Meta+<Error!>"),
                            }));
}

} // namespace
