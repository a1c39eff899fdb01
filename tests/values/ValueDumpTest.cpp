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
    EXPECT_TRUE(dump.opened());
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

template <class V>
tn::Reference<tnUI::Value> make(V* value, void (*setup)(V&))
{
    setup(*value);
    return value;
}

class Ready : public tnUI::Condition {
public:
    bool compute() override { return true; }
};

TEST_F(ValueDumpTest, ScalarsAndCondition)
{
    using tnUI::BoolValue, tnUI::IntValue, tnUI::RealValue;
    struct Case {
        const char* what;
        tn::Reference<tnUI::Value> value;
        Lines content; // at level 1, after the name and editable lines
    };
    const Case cases[] = {
        {"real, set, range",
         make(
             new RealValue(2.5),
             +[](RealValue& v) {
                 v.setRange(0, 10);
                 v.setInternalValue(-1.0);
             }),
         {"isSet = \"true\"", "internal value = 0.000000", "internal default = 2.500000",
          "range = [0.000000 10.000000]"}},
        {"real, unset: the range all the same",
         make(
             new RealValue, +[](RealValue& v) { v.setRange(-1.5, 1.5); }),
         {"isSet = \"false\"", "value = unset", "range = [-1.500000 1.500000]"}},
        {"real, unbounded",
         make(
             new RealValue(1.0), +[](RealValue&) {}),
         {"isSet = \"true\"", "internal value = 1.000000", "internal default = 1.000000"}},
        {"int, set, range",
         make(
             new IntValue(7), +[](IntValue& v) { v.setRange(-2, 5); }),
         {"isSet = \"true\"", "internal value = 5", "internal default = 7", "range = [-2 5]"}},
        {"int, unset: no range line",
         make(
             new IntValue, +[](IntValue& v) { v.setRange(0, 1); }),
         {"isSet = \"false\"", "value = unset"}},
        {"flag, set",
         make(
             new BoolValue(true), +[](BoolValue& v) { v.setValue(false); }),
         {"isSet = \"true\"", "internal value = false", "internal default = true"}},
        {"flag, unset",
         make(
             new BoolValue, +[](BoolValue&) {}),
         {"isSet = \"false\"", "value = unset"}},
        {"condition, computed true",
         make(
             new Ready, +[](Ready& c) { c.update(); }),
         {"isSet = \"false\""}},
    };
    for (const Case& c : cases) {
        std::vector<std::pair<int, std::string>> content{{1, "name = <null>"}, {1, "editable = \"true\""}};
        for (const std::string& line : c.content)
            content.emplace_back(1, line);
        EXPECT_EQ(dumpOf(*c.value), expected(*c.value, content)) << c.what;
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
