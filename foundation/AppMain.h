#pragma once

#include "Export.h"

#include "IString.h"

namespace tnOS {

/// Facts about the running program.
class TNUI_EXPORT AppMain {
public:
    /// The process-wide object.
    static AppMain& getInstance();

    AppMain(const AppMain&) = delete;
    AppMain& operator=(const AppMain&) = delete;

    /// The full path of the running program's executable, from which the
    /// installation directory is found; empty when the system does not tell.
    tnString::IString getBaseLocation() const;

private:
    AppMain() = default;
};

} // namespace tnOS
