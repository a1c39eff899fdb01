#pragma once

#include "../foundation/Export.h"

#include "../foundation/IString.h"

namespace tnUI {

/// The hook through which a host asks whether another process of the program
/// is already running and hands a file to it instead of starting a second
/// one. A host derives its own checker with its platform's process query and
/// message passing; this class answers that no other process runs.
class TNUI_EXPORT SessionChecker {
public:
    virtual ~SessionChecker();

    /// Whether another process of the program runs; false here.
    virtual bool processIsRunning();
    /// Hands path to the running process. Does nothing here.
    virtual void openInSingleSession(const tnString::IString& path);

    /// Sets the process name.
    void setProcessName(const tnString::IString& name) { m_processName = name; }
    /// The process name.
    const tnString::IString& getProcessName() const noexcept { return m_processName; }

protected:
    SessionChecker() = default;
    /// A copy of the given one.
    SessionChecker(const SessionChecker&) = default;
    /// Assigns a copy of the given one.
    SessionChecker& operator=(const SessionChecker&) = default;

private:
    tnString::IString m_processName;
};

} // namespace tnUI
