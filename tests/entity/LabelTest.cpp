#include "EntityTestSupport.h"

#include <tnUI/entity/Error.h>
#include <tnUI/entity/Filename.h>
#include <tnUI/entity/Label.h>
#include <tnUI/entity/NamedLabeledEntity.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>

namespace {

using tnString::CString;
using tnString::IString;
using tnUI::HelpRef;
using tnUI::Label;
using tnUI::Message;
using tnUI::MutableLabel;
using tnUI::NamedLabeledEntity;
using tnUITest::Chain;
using tnUITest::MessageRecorder;

class LabelTest : public tnUITest::EntityTest {};

// "Größe" in UTF-8, the multibyte encoding of the supported platforms.
const char* const grosse = "Gr\xc3\xb6\xc3\x9f"
                           "e";

TEST_F(LabelTest, ConstructsFromEveryTextFormAndComparesTexts)
{
    const tn::Reference<Label> fromCString(new Label(CString(grosse))), fromChar(new Label(grosse));
    const tn::Reference<Label> copy(new Label(tn::Reference<Label>(new Label(IString(L"Größe"))).get()));
    for (const Label* label : {fromCString.get(), fromChar.get(), copy.get()})
        EXPECT_TRUE(*label == L"Größe" && label->asUTF8() == CString(grosse));
    const Label* none = nullptr;
    EXPECT_THROW(tn::Reference<Label>(new Label(none)), tnUI::NullError);
    EXPECT_THROW(tn::Reference<MutableLabel>(new MutableLabel(none)), tnUI::NullError);
    EXPECT_THROW(tn::Reference<Label>(new Label(static_cast<const char*>(nullptr))), tnUI::NullError);
    EXPECT_TRUE(tnUI::equivalent(tn::Reference<HelpRef>(new HelpRef(grosse)), fromChar));
    EXPECT_FALSE(tnUI::equivalent(fromChar, tn::Reference<MutableLabel>(new MutableLabel(L"gr\u00f6\u00dfe"))));
    EXPECT_THROW(tnUI::equivalent(fromChar, none), tnUI::NullError);

    // File names compare as plain text.
    const tn::Reference<tnUI::Filename> path(new tnUI::Filename(IString(L"icons/tool.png")));
    EXPECT_TRUE(tnUI::equivalent(path, tn::Reference<tnUI::Filename>(new tnUI::Filename(path.get()))));
    for (const wchar_t* other : {L"Icons/tool.png", L"icons//tool.png", L"./icons/tool.png", L"icons\\tool.png"})
        EXPECT_FALSE(tnUI::equivalent(path, tn::Reference<tnUI::Filename>(new tnUI::Filename(IString(other)))));
    const tnUI::Filename* noPath = nullptr;
    EXPECT_THROW(tnUI::Filename{noPath}, tnUI::NullError);
}

// Each row changes a MutableLabel holding "Save" and says whether a "Label"
// message must follow and what the text becomes.
struct MutableLabelCase {
    const char* what;
    std::function<void(MutableLabel&)> change;
    bool sends;
    const wchar_t* text;
};

TEST_F(LabelTest, MutableLabelAnnouncesOnlyRealChanges)
{
    const tn::Reference<Label> saveLabel(new Label("Save"));
    const tn::Reference<Label> otherLabel(new Label("Save as"));
    const MutableLabelCase cases[] = {
        {"same literal", [](MutableLabel& l) { l.set("Save"); }, false, L"Save"},
        {"same label's text", [&](MutableLabel& l) { l.set(saveLabel.get()); }, false, L"Save"},
        {"itself", [](MutableLabel& l) { l.set(&l); }, false, L"Save"},
        {"new IString", [](MutableLabel& l) { l.set(IString(L"Öffnen")); }, true, L"Öffnen"},
        {"new multibyte CString", [](MutableLabel& l) { l.set(CString("\xc3\x96\x66\x66nen")); }, true, L"Öffnen"},
        {"other label's text", [&](MutableLabel& l) { l.set(otherLabel.get()); }, true, L"Save as"},
        {"erase", [](MutableLabel& l) { l.erase(); }, true, L""},
    };
    for (const MutableLabelCase& c : cases) {
        SCOPED_TRACE(c.what);
        const tn::Reference<MutableLabel> label(new MutableLabel("Save"));
        MessageRecorder recorder(label);
        c.change(*label);
        EXPECT_STREQ(label->asWChar(), c.text);
        EXPECT_EQ(recorder.chains, std::vector<Chain>(c.sends ? 1 : 0, Chain{{label.get(), Message::Label}}));
    }
    const tn::Reference<MutableLabel> label(new MutableLabel);
    MessageRecorder recorder(label);
    label->erase(); // already empty
    EXPECT_THROW(label->set(static_cast<const Label*>(nullptr)), tnUI::NullError);
    EXPECT_THROW(label->set(static_cast<const char*>(nullptr)), tnUI::NullError);
    EXPECT_TRUE(recorder.chains.empty());
}

// The three label members of a named labeled entity behave alike; each row
// is one of them.
struct MemberCase {
    const char* what;
    std::function<void(NamedLabeledEntity&, const HelpRef*)> set;
    std::function<const Label*(const NamedLabeledEntity&)> get;
};

const MemberCase memberCases[] = {
    {"label", [](NamedLabeledEntity& e, const HelpRef* l) { e.setLabel(l); },
     [](const NamedLabeledEntity& e) { return e.getLabel(); }},
    {"tooltip", [](NamedLabeledEntity& e, const HelpRef* l) { e.setToolTip(l); },
     [](const NamedLabeledEntity& e) { return e.getToolTip(); }},
    {"help reference", [](NamedLabeledEntity& e, const HelpRef* l) { e.setHelpRef(l); },
     [](const NamedLabeledEntity& e) { return e.getHelpRef(); }},
};

TEST_F(LabelTest, SettersSendLabelUnlessMemberIsUnchanged)
{
    for (const MemberCase& c : memberCases) {
        SCOPED_TRACE(c.what);
        const tn::Reference<NamedLabeledEntity> entity(new NamedLabeledEntity);
        const tn::Reference<HelpRef> first(new HelpRef("first")), second(new HelpRef("second"));
        MessageRecorder recorder(entity);
        const Chain label{{entity.get(), Message::Label}};

        c.set(*entity, first);
        c.set(*entity, first);
        EXPECT_EQ(std::tuple(c.get(*entity), first->getRefCount(), recorder.chains.size()),
                  std::tuple(first.get(), 2, 1ul));
        c.set(*entity, second);
        EXPECT_EQ(first->getRefCount(), 1);
        c.set(*entity, nullptr);
        c.set(*entity, nullptr);
        EXPECT_EQ(std::tuple(c.get(*entity), second->getRefCount()), std::tuple(static_cast<const Label*>(nullptr), 1));
        EXPECT_EQ(recorder.chains, (std::vector<Chain>{label, label, label}));
    }
}

TEST_F(LabelTest, MutableMemberChangesAreForwarded)
{
    tn::Reference<NamedLabeledEntity> entity(new NamedLabeledEntity), other(new NamedLabeledEntity);
    const tn::Reference<MutableLabel> tip(new MutableLabel("Cuts the selection"));
    entity->setToolTip(tip);
    other->setLabel(tip);
    MessageRecorder recorder(entity), otherRecorder(other);

    tip->set("Cuts the selection to the clipboard");
    const Chain forwarded{{entity.get(), Message::Forward}, {tip.get(), Message::Label}};
    EXPECT_EQ(recorder.chains, std::vector<Chain>{forwarded});
    EXPECT_EQ(otherRecorder.chains,
              (std::vector<Chain>{{{other.get(), Message::Forward}, {tip.get(), Message::Label}}}));

    // Once replaced, the old tooltip is no longer listened to; the other
    // entity still forwards it.
    const tn::Reference<Label> fixed(new Label("Cut"));
    entity->setToolTip(fixed);
    recorder.chains.clear();
    otherRecorder.chains.clear();
    tip->set("Cut");
    EXPECT_EQ(std::tuple(recorder.chains.size(), otherRecorder.chains.size()), std::tuple(0ul, 1ul));

    // Setting it back listens again, once.
    entity->setToolTip(tip);
    recorder.chains.clear();
    tip->erase();
    EXPECT_EQ(recorder.chains, std::vector<Chain>{forwarded});

    // Dying entities stop listening and release their members.
    EXPECT_EQ(tip->getRefCount(), 3);
    entity.reset();
    other.reset();
    EXPECT_EQ(std::tuple(tip->getRefCount(), tip->messageSignal.getNumConnections()), std::tuple(1, 0));
}

} // namespace
