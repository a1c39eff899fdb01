// A whole host torn down in many random orders: whatever the host lets go of
// first, nothing is used after it is freed and nothing is left alive.

#include "application/TeardownSupport.h"

namespace {

using TeardownTest = tnUITest::CountedTest;

TEST_F(TeardownTest, EveryOrderLeavesNothingAlive)
{
    tnUITest::tearDownInEveryOrder<tnUITest::Host>(tnUITest::hostSteps(), 300);
}

} // namespace
