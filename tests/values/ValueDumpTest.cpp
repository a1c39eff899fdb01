// The dump lines of the value, expression and condition classes.

#include "entity/EntityTestSupport.h"

#include <tnUI/entity/Label.h>
#include <tnUI/values/BoolValue.h>
#include <tnUI/values/Condition.h>
#include <tnUI/values/Expression.h>
#include <tnUI/values/IntValue.h>
#include <tnUI/values/RealValue.h>
#include <tnUI/values/TextValue.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using tnUITest::entityLine;
using Lines = std::vector<std::string>;

class ValueDumpTest : public tnUITest::EntityTest {};

// Dumps value at level 0 without a label into a fresh file.
Lines dumpOf(const tnUI::Entity& value)
{
    tnUITest::DumpCapture dump;
    EXPECT_TRUE(value.dump(dump.file, 0, nullptr));
    return dump.lines();
}

// The lines expected of an unlabelled dump of value: its entity line, then
// the (level, text) lines given, numbered from 2.
Lines expected(const tnUI::Entity& value, const std::vector<std::pair<int, std::string>>& content)
{
    Lines result{tnUITest::dumpLine(1, 0,
                                    "entity " + std::string(value.getTypeName().asChar()) +
                                        " (refs = " + std::to_string(value.getRefCount()) +
                                        ", ptr = " + tnUITest::ptr(&value) + ")")};
    for (const auto& [level, text] : content)
        result.push_back(tnUITest::dumpLine(static_cast<int>(result.size()) + 1, level, text));
    return result;
}

class Ready : public tnUI::Condition {
public:
    bool compute() override { return true; }
};

TEST_F(ValueDumpTest, ScalarsAndCondition)
{
    using tnUI::BoolValue, tnUI::IntValue, tnUI::RealValue;
    const tn::Reference<RealValue> ranged(new RealValue(2.5)), unsetReal(new RealValue);
    ranged->setRange(0, 10);
    ranged->setInternalValue(-1.0);
    unsetReal->setRange(-1.5, 1.5);
    const tn::Reference<IntValue> integer(new IntValue(7)), unsetInt(new IntValue);
    integer->setRange(-2, 5);
    unsetInt->setRange(0, 1);
    const tn::Reference<BoolValue> flag(new BoolValue(true));
    flag->setValue(false);
    const tn::Reference<Ready> ready(new Ready);
    ready->update();
    const std::pair<tn::Reference<tnUI::Value>, Lines> cases[] = {
        {ranged,
         {"isSet = \"true\"", "internal value = 0.000000", "internal default = 2.500000",
          "range = [0.000000 10.000000]"}},
        // An unset real shows its range all the same, an unset integer does not.
        {unsetReal, {"isSet = \"false\"", "value = unset", "range = [-1.500000 1.500000]"}},
        {new RealValue(1.0), {"isSet = \"true\"", "internal value = 1.000000", "internal default = 1.000000"}},
        {integer, {"isSet = \"true\"", "internal value = 5", "internal default = 7", "range = [-2 5]"}},
        {unsetInt, {"isSet = \"false\"", "value = unset"}},
        {flag, {"isSet = \"true\"", "internal value = false", "internal default = true"}},
        {new BoolValue, {"isSet = \"false\"", "value = unset"}},
        {ready, {"isSet = \"false\""}},
    };
    for (const auto& [value, lines] : cases) {
        std::vector<std::pair<int, std::string>> content{{1, "name = <null>"}, {1, "editable = \"true\""}};
        for (const std::string& line : lines)
            content.emplace_back(1, line);
        EXPECT_EQ(dumpOf(*value), expected(*value, content)) << lines.back();
    }
}

TEST_F(ValueDumpTest, NamedTextValue)
{
    const tn::Reference<tnUI::Label> caption(new tnUI::Label("Caption"));
    const tn::Reference<tnUI::TextValue> value(new tnUI::TextValue(caption.get()));
    value->setName(tnString::CString("title"));
    value->setEditble(false);
    EXPECT_EQ(dumpOf(*value),
              expected(*value, {
                                   {1, entityLine("tnUI::Name", "name", 1, value->getName())},
                                   {2, "value = \"title\""},
                                   {1, "editable = \"false\""},
                                   {1, entityLine("tnUI::MutableLabel", "text value", 1, value->getValue())},
                                   {2, "value = \"Caption\""},
                               }));
}

TEST_F(ValueDumpTest, ExpressionTree)
{
    const tn::Reference<tnUI::BoolValue> flag(new tnUI::BoolValue(true));
    const tn::Reference<tnUI::ExpressionNot> negation(new tnUI::ExpressionNot(flag));
    const tn::Reference<tnUI::ExpressionOr> root(new tnUI::ExpressionOr(negation, new tnUI::RealValue));
    const tnUI::NumericValue* unset = root->getRight();
    EXPECT_EQ(dumpOf(*root), expected(*root, {
                                                 {1, "name = <null>"},
                                                 {1, "editable = \"true\""},
                                                 {1, "isSet = \"false\""},
                                                 {1, entityLine("tnUI::ExpressionNot", "left", 2, negation.get())},
                                                 {2, "name = <null>"},
                                                 {2, "editable = \"true\""},
                                                 {2, "isSet = \"true\""},
                                                 {2, entityLine("tnUI::BoolValue", "value", 2, flag.get())},
                                                 {3, "name = <null>"},
                                                 {3, "editable = \"true\""},
                                                 {3, "isSet = \"true\""},
                                                 {3, "internal value = true"},
                                                 {3, "internal default = true"},
                                                 {1, entityLine("tnUI::RealValue", "right", 1, unset)},
                                                 {2, "name = <null>"},
                                                 {2, "editable = \"true\""},
                                                 {2, "isSet = \"false\""},
                                                 {2, "value = unset"},
                                             }));
}

} // namespace
