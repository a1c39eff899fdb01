#include "AppMain.h"

#include <string>
#include <unistd.h>

namespace tnOS {

AppMain& AppMain::getInstance()
{
    static AppMain instance;
    return instance;
}

tnString::IString AppMain::getBaseLocation() const
{
    // readlink does not say how long the target is; grow the buffer until the
    // whole target fits.
    std::string path(256, '\0');
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
        if (n < 0)
            return {};
        if (static_cast<std::size_t>(n) < path.size()) {
            path.resize(static_cast<std::size_t>(n));
            return tnString::IString(path.c_str(), tnString::UTF8);
        }
        path.resize(path.size() * 2);
    }
}

} // namespace tnOS
