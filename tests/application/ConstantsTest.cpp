// The table of constant labels: ten slots, each holding a counted label.

#include "application/AppTestSupport.h"

#include <tnUI/application/Constants.h>

#include <tuple>

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
    constants.setLabel(Constants::Label3, after);
    constants.setLabel(Constants::Label9, after);
    constants.setLabel(Constants::Label3, nullptr);
    constants.setLabel(static_cast<Constants::ELabel>(12), twelve); // kept, never answered
    EXPECT_EQ(std::tuple(before->getRefCount(), after->getRefCount(), twelve->getRefCount()), std::tuple(1, 2, 2));
    EXPECT_EQ(constants.getLabelAsString(Constants::Label9), tnString::IString("after"));
    for (int slot = -1; slot <= 12; ++slot) {
        const auto e = static_cast<Constants::ELabel>(slot);
        EXPECT_EQ(constants.getLabel(e), slot == Constants::Label9 ? after.get() : nullptr) << slot;
        EXPECT_EQ(constants.getLabelAsString(e).isEmpty(), slot != Constants::Label9) << slot;
    }
}

} // namespace
