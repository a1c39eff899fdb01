// The table of constant labels: ten slots, each holding a counted label.

#include "application/AppTestSupport.h"

#include <tnUI/application/Constants.h>

namespace {

using tnUI::Constants;
using ConstantsTest = tnUITest::CountedTest;

tn::Reference<const tnUI::Label> label(const char* text)
{
    return tn::Reference<const tnUI::Label>(new tnUI::Label(text));
}

TEST_F(ConstantsTest, SlotsHoldOneLabelEachAndOnlyTheTenAreAnswered)
{
    Constants constants;
    const auto before = label("before"), after = label("after"), twelve = label("twelve");
    constants.setLabel(Constants::Label3, before);
    constants.setLabel(Constants::Label3, before); // the same label again stays alive
    EXPECT_EQ(before->getRefCount(), 2);
    constants.setLabel(Constants::Label3, after);
    constants.setLabel(Constants::Label9, after);
    EXPECT_EQ(before->getRefCount(), 1);
    EXPECT_EQ(constants.getLabel(Constants::Label3), after.get());
    EXPECT_EQ(constants.getLabelAsString(Constants::Label9), tnString::IString("after"));
    constants.setLabel(Constants::Label3, nullptr);
    EXPECT_EQ(after->getRefCount(), 2);
    constants.setLabel(static_cast<Constants::ELabel>(12), twelve);
    EXPECT_EQ(twelve->getRefCount(), 2); // kept, never answered
    for (int slot = -1; slot <= 12; ++slot) {
        if (slot == Constants::Label9)
            continue;
        const auto e = static_cast<Constants::ELabel>(slot);
        EXPECT_EQ(constants.getLabel(e), nullptr) << slot;
        EXPECT_TRUE(constants.getLabelAsString(e).isEmpty()) << slot;
    }
}

} // namespace
