#include "SessionChecker.h"

namespace tnUI {

SessionChecker::~SessionChecker() = default;

bool SessionChecker::processIsRunning()
{
    return false;
}

void SessionChecker::openInSingleSession(const tnString::IString& path)
{
    (void)path;
}

} // namespace tnUI
