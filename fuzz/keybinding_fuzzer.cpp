// Parses keybinding texts and checks the parser and the printer against a
// reference model.
//
// The input is used twice. As raw text it goes through compile(), setKey()
// and the constructor; the model parses it directly (ASCII lower case,
// modifier prefixes in the parser's order, the rest looked up among every
// key's long and short name ignoring case) and must find the same modifier
// bits and key. Where the text holds a key, its printed form must parse back
// to the same binding and print the same again (parse then print is a fixed
// point); setKey must send one "Binding" message on success and none, with
// KeybindingError, on failure.
//
// As a script, the input builds bindings from chosen modifiers and keys,
// writing the modifiers in any order, case and repetition and the key by its
// long or short name in any case: parsing that text must give back exactly the
// chosen binding, printed in the fixed modifier order with the short name.

#include "FuzzInput.h"

#include <tnUI/commands/Keybinding.h>
#include <tnUI/entity/Error.h>
#include <tnUI/entity/Message.h>
#include <tnUI/foundation/KeyName.h>
#include <tnUI/foundation/ReferenceCount.h>
#include <tnUI/foundation/Signal.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace {

using tnUI::Keybinding;
using tnUI::KeyName;

constexpr int kKeys = static_cast<int>(KeyName::KeypadDecimal) + 1;

[[noreturn]] void fail(const char* what, const std::string& text)
{
    std::fprintf(stderr, "keybinding_fuzzer: %s for the text \"", what);
    for (const char c : text) {
        if (c >= 0x20 && c < 0x7f)
            std::fputc(c, stderr);
        else
            std::fprintf(stderr, "\\x%02x", static_cast<unsigned char>(c));
    }
    std::fprintf(stderr, "\"\n");
    __builtin_trap();
}

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string lowered(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = lower(c);
    return out;
}

// Every key's two names in lower case, by key value.
struct KeyNames {
    KeyNames()
    {
        for (int k = 0; k < kKeys; ++k) {
            longName.push_back(lowered(tnUI::enumName(static_cast<KeyName>(k), false)));
            shortName.push_back(lowered(tnUI::enumName(static_cast<KeyName>(k), true)));
        }
    }
    std::vector<std::string> longName, shortName;
};

const KeyNames& names()
{
    static const KeyNames table;
    return table;
}

struct Binding {
    std::int32_t modifier = 0;
    int key = -1;
    friend bool operator==(const Binding&, const Binding&) = default;
};

// The model parser.
Binding modelParse(std::string_view text)
{
    static constexpr std::pair<std::string_view, std::int32_t> prefixes[] = {{"shift+", Keybinding::Shift},
                                                                             {"ctrl+", Keybinding::Ctrl},
                                                                             {"meta+", Keybinding::Meta},
                                                                             {"alt+", Keybinding::Alt}};
    const std::string low = lowered(text);
    std::string_view rest = low;
    Binding b;
    while (!rest.empty()) {
        bool found = false;
        for (const auto& [prefix, bit] : prefixes) {
            if (rest.substr(0, prefix.size()) == prefix) {
                b.modifier |= bit;
                rest.remove_prefix(prefix.size());
                found = true;
                break;
            }
        }
        if (found)
            continue;
        for (int k = 0; k < kKeys && b.key < 0; ++k) {
            if (rest == names().longName[k] || rest == names().shortName[k])
                b.key = k;
        }
        break;
    }
    return b;
}

// The model printer: fixed modifier order, the key's short name.
std::string modelPrint(const Binding& b)
{
    std::string out;
    if (b.modifier & Keybinding::Ctrl)
        out += "Ctrl+";
    if (b.modifier & Keybinding::Shift)
        out += "Shift+";
    if (b.modifier & Keybinding::Alt)
        out += "Alt+";
    if (b.modifier & Keybinding::Meta)
        out += "Meta+";
    out += b.key < 0 ? "<Error!>" : tnUI::enumName(static_cast<KeyName>(b.key), true);
    return out;
}

Binding bindingOf(const Keybinding& k)
{
    return {k.getModifier(), static_cast<int>(k.getKey())};
}

std::string printed(const Keybinding& k)
{
    return k.modifierName().str() + k.keyName().str();
}

// Counts the messages a keybinding sends.
struct Counter {
    explicit Counter(const tnUI::Entity* e)
    {
        tnRTB::connect(e->messageSignal, &client, [this](tnUI::Message& m) {
            ++count;
            if (m.getType() != tnUI::Message::Binding || m.causedBy() != nullptr)
                ++wrong;
        });
    }
    int count = 0;
    int wrong = 0;
    tnRTB::SignalClient client;
};

// Checks one text against the model through every entry point, and the
// round trip of its printed form.
void checkText(Keybinding& k, const std::string& text)
{
    const Binding expected = modelParse(text);
    const bool valid = expected.key >= 0;

    if (k.compile(tnString::CString(text)) != valid || bindingOf(k) != expected)
        fail("compile differs from the model", text);
    if (printed(k) != modelPrint(expected))
        fail("printed form differs from the model", text);

    Counter counter(&k);
    bool threw = false;
    try {
        k.setKey(tnString::CString(text));
    } catch (const tnUI::KeybindingError&) {
        threw = true;
    }
    if (threw == valid || bindingOf(k) != expected)
        fail("setKey differs from the model", text);
    if (counter.count != (valid ? 1 : 0) || counter.wrong != 0)
        fail("setKey sent the wrong messages", text);

    try {
        const tn::Reference<Keybinding> made(new Keybinding(tnString::CString(text)));
        if (!valid || bindingOf(*made) != expected)
            fail("the constructor accepted a text the model refuses, or read it differently", text);
    } catch (const tnUI::KeybindingError&) {
        if (valid)
            fail("the constructor refused a valid text", text);
    }

    if (!valid)
        return;
    // parse, print, parse: the same binding, the same printed form.
    const std::string first = printed(k);
    if (!k.compile(tnString::CString(first)) || bindingOf(k) != expected || printed(k) != first)
        fail("the printed form does not read back", text);
}

std::string randomCase(std::string_view s, FuzzInput& in)
{
    std::string out(s);
    const std::uint8_t bits = in.next();
    for (std::size_t i = 0; i < out.size(); ++i) {
        const char c = out[i];
        if (c >= 'a' && c <= 'z' && ((bits >> (i % 8)) & 1) != 0)
            out[i] = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

// print after parse: a binding written freely reads back as itself.
void checkScripted(Keybinding& k, FuzzInput& in)
{
    static constexpr std::pair<std::string_view, std::int32_t> modifiers[] = {{"shift+", Keybinding::Shift},
                                                                              {"ctrl+", Keybinding::Ctrl},
                                                                              {"alt+", Keybinding::Alt},
                                                                              {"meta+", Keybinding::Meta}};
    Binding chosen;
    chosen.key = in.next() % kKeys;
    const std::uint8_t style = in.next();
    std::string text;
    // Up to six modifier words in any order; repeats allowed.
    const int words = style % 7;
    for (int w = 0; w < words; ++w) {
        const auto& [word, bit] = modifiers[in.next() % 4];
        chosen.modifier |= bit;
        text += randomCase(word, in);
    }
    const std::string& keyName = (style & 0x80) != 0 ? names().longName[chosen.key] : names().shortName[chosen.key];
    text += randomCase(keyName, in);

    if (!k.compile(tnString::CString(text)) || bindingOf(k) != chosen)
        fail("a written binding does not read back", text);
    if (printed(k) != modelPrint(chosen))
        fail("a written binding prints differently from the model", text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::int32_t liveAtStart = tnUI::Entity::numberOfActiveObjects();
    {
        const tn::Reference<Keybinding> k(new Keybinding("A"));
        checkText(*k, std::string(reinterpret_cast<const char*>(data), size));
        FuzzInput in(data, size);
        for (int i = 0; i < 8 && !in.done(); ++i)
            checkScripted(*k, in);
    }
    if (tnUI::Entity::numberOfActiveObjects() != liveAtStart)
        fail("keybindings left alive", std::string(reinterpret_cast<const char*>(data), size));
    return 0;
}
