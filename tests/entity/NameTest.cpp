#include "EntityTestSupport.h"

#include <tnUI/entity/Error.h>
#include <tnUI/entity/Name.h>
#include <tnUI/entity/NamedEntity.h>

#include <gtest/gtest.h>

namespace {

using tnString::CString;
using tnUI::Message;
using tnUI::MutableName;
using tnUI::Name;
using tnUI::NamedEntity;
using tnUITest::Chain;
using tnUITest::MessageRecorder;

class NameTest : public tnUITest::EntityTest {};

TEST_F(NameTest, ComparesTextsAndMutableNameAnnouncesOnlyRealChanges)
{
    const tn::Reference<Name> a(new Name("Tool"));
    const tn::Reference<MutableName> name(new MutableName("Tool"));
    EXPECT_TRUE(tnUI::equivalent(a, name));
    EXPECT_TRUE(*a < CString("tool"));
    const Name* none = nullptr;
    EXPECT_THROW(tnUI::equivalent(none, a), tnUI::NullError);
    EXPECT_THROW(tnUI::equivalent(a, none), tnUI::NullError);

    MessageRecorder recorder(name);
    name->set(CString("Tool"));
    name->set(a.get());
    name->set(name.get());
    EXPECT_TRUE(recorder.chains.empty());
    name->set(CString("two"));
    EXPECT_STREQ(name->asChar(), "two");
    name->set(a.get());
    EXPECT_FALSE(tnUI::equivalent(a, tn::Reference<Name>(new Name("tool"))));
    name->erase();
    name->erase();
    EXPECT_THROW(name->set(none), tnUI::NullError);
    EXPECT_TRUE(name->isEmpty());
    EXPECT_EQ(recorder.chains, std::vector<Chain>(3, Chain{{name.get(), Message::Name}}));
}

TEST_F(NameTest, NamedEntityIsNamedOnceWithAFixedName)
{
    const tn::Reference<NamedEntity> entity(new NamedEntity);
    MessageRecorder recorder(entity);
    EXPECT_STREQ(entity->nameAsChar(), "<unnamed>");
    // Refused names do not use up the entity's one naming.
    EXPECT_THROW(entity->setName(static_cast<const Name*>(nullptr)), tnUI::NullError);
    const tn::Reference<MutableName> mutableName(new MutableName("Moving"));
    EXPECT_THROW(entity->setName(mutableName.get()), tnUI::ImplError);
    EXPECT_EQ(mutableName->getRefCount(), 1);

    entity->setName(CString("Edit"));
    EXPECT_EQ(entity->getName()->getRefCount(), 1);

    // Every later attempt is refused, the first name stays and nothing is sent;
    // an already named entity reports ImplError before checking the argument.
    EXPECT_THROW(entity->setName(CString("Other")), tnUI::ImplError);
    const tn::Reference<Name> other(new Name("Other"));
    EXPECT_THROW(entity->setName(other.get()), tnUI::ImplError);
    EXPECT_EQ(other->getRefCount(), 1);
    try {
        entity->setName(static_cast<const Name*>(nullptr));
        ADD_FAILURE() << "no error";
    } catch (const tnUI::NullError&) {
        ADD_FAILURE() << "the name already set must be reported first";
    } catch (const tnUI::ImplError&) {
    }
    EXPECT_STREQ(entity->nameAsChar(), "Edit");
    EXPECT_EQ(recorder.chains, std::vector<Chain>{(Chain{{entity.get(), Message::Name}})});
}

} // namespace
