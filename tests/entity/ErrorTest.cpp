// The error classes: what each can be caught as, and that they carry nothing.

#include <tnUI/entity/Error.h>

#include <gtest/gtest.h>

#include <type_traits>

namespace {

using namespace tnUI;

template <class E>
class ContractError : public ::testing::Test {};

using ContractErrors =
    ::testing::Types<NullError, IndexError, DuplicateError, CycleError, KeybindingError, NotSetError, TypeError>;
TYPED_TEST_SUITE(ContractError, ContractErrors);

TYPED_TEST(ContractError, IsAnEmptyImplError)
{
    static_assert(std::is_base_of_v<ImplError, TypeParam>);
    static_assert(std::is_empty_v<TypeParam> && !std::is_polymorphic_v<TypeParam>, "errors carry nothing");
    // Siblings never catch each other: handlers for NullError and IndexError
    // tried first let the others through to ImplError.
    const bool sibling = std::is_same_v<TypeParam, NullError> || std::is_same_v<TypeParam, IndexError>;
    int caughtAs = 0;
    try {
        throw TypeParam();
    } catch (const NullError&) {
        caughtAs = 1;
    } catch (const IndexError&) {
        caughtAs = 1;
    } catch (const NotFoundError&) {
        caughtAs = 2;
    } catch (const ImplError&) {
        caughtAs = 3;
    }
    EXPECT_EQ(caughtAs, sibling ? 1 : 3);
}

TEST(ErrorTest, NotFoundErrorAndImplErrorDeriveFromTheRootDirectly)
{
    static_assert(!std::is_default_constructible_v<Error>, "the root is never raised by itself");
    static_assert(std::is_base_of_v<Error, NotFoundError> && !std::is_base_of_v<ImplError, NotFoundError>);
    bool asImpl = false, asRoot = false;
    try {
        try {
            throw NotFoundError();
        } catch (const ImplError&) {
            asImpl = true;
        }
    } catch (const Error&) {
        asRoot = true;
    }
    EXPECT_FALSE(asImpl);
    EXPECT_TRUE(asRoot);
    EXPECT_THROW(throw ImplError(), Error);
}

} // namespace
