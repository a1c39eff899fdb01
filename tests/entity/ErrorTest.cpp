// The error classes: what each can be caught as, and that they carry nothing.

#include <tnUI/entity/Error.h>

#include <gtest/gtest.h>

#include <type_traits>

namespace {

using namespace tnUI;

// Throws E by value and reports which of the handlers, tried from the most
// specific, caught it.
enum class Caught { Exact, Impl, Root, Nothing };

template <class E>
Caught catchAs()
{
    try {
        throw E();
    } catch (const NullError&) {
        return std::is_same_v<E, NullError> ? Caught::Exact : Caught::Nothing;
    } catch (const IndexError&) {
        return std::is_same_v<E, IndexError> ? Caught::Exact : Caught::Nothing;
    } catch (const NotFoundError&) {
        return std::is_same_v<E, NotFoundError> ? Caught::Exact : Caught::Nothing;
    } catch (const ImplError&) {
        return Caught::Impl;
    } catch (const Error&) {
        return Caught::Root;
    } catch (...) {
        return Caught::Nothing;
    }
}

template <class E>
class ContractError : public ::testing::Test {};

using ContractErrors =
    ::testing::Types<NullError, IndexError, DuplicateError, CycleError, KeybindingError, NotSetError, TypeError>;
TYPED_TEST_SUITE(ContractError, ContractErrors);

TYPED_TEST(ContractError, IsAnImplErrorAndAnError)
{
    static_assert(std::is_base_of_v<ImplError, TypeParam>);
    static_assert(std::is_default_constructible_v<TypeParam>);
    static_assert(std::is_empty_v<TypeParam>, "errors carry nothing");
    static_assert(!std::is_polymorphic_v<TypeParam>);

    bool asImpl = false, asRoot = false;
    try {
        throw TypeParam();
    } catch (const ImplError&) {
        asImpl = true;
    }
    try {
        throw TypeParam();
    } catch (const Error&) {
        asRoot = true;
    }
    EXPECT_TRUE(asImpl);
    EXPECT_TRUE(asRoot);

    TypeParam a, b;
    a = b; // assignment exists and changes nothing
}

TEST(ErrorTest, EachClassIsCaughtByTheRightHandler)
{
    // Siblings never catch each other: a handler for NullError or IndexError
    // tried first lets the others through to ImplError.
    EXPECT_EQ(catchAs<NullError>(), Caught::Exact);
    EXPECT_EQ(catchAs<IndexError>(), Caught::Exact);
    EXPECT_EQ(catchAs<DuplicateError>(), Caught::Impl);
    EXPECT_EQ(catchAs<CycleError>(), Caught::Impl);
    EXPECT_EQ(catchAs<KeybindingError>(), Caught::Impl);
    EXPECT_EQ(catchAs<NotSetError>(), Caught::Impl);
    EXPECT_EQ(catchAs<TypeError>(), Caught::Impl);
    EXPECT_EQ(catchAs<ImplError>(), Caught::Impl);
    EXPECT_EQ(catchAs<NotFoundError>(), Caught::Exact);
}

TEST(ErrorTest, NotFoundErrorDerivesFromErrorDirectly)
{
    static_assert(std::is_base_of_v<Error, NotFoundError>);
    static_assert(!std::is_base_of_v<ImplError, NotFoundError>);
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
}

TEST(ErrorTest, TheRootIsNeverRaisedByItself)
{
    static_assert(!std::is_default_constructible_v<Error>, "Error's constructor is protected");
    static_assert(std::is_base_of_v<Error, ImplError> && !std::is_base_of_v<ImplError, Error>);
    bool caught = false;
    try {
        throw ImplError();
    } catch (const Error&) {
        caught = true;
    }
    EXPECT_TRUE(caught);
}

} // namespace
