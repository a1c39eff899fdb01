#pragma once

#include "../foundation/Export.h"

#include "../foundation/IString.h"

namespace tnUI {

// The hook through which a host asks whether another process of the program
// is already running and hands a file to it instead of starting a second
// one. A host derives its own checker with its platform's process query and
// message passing; this class answers that no other process runs.
class TNUI_EXPORT SessionChecker {
public:
    virtual ~SessionChecker();

    virtual bool processIsRunning();
    // Hands path to the running process. Does nothing here.
    virtual void openInSingleSession(const tnString::IString& path);

    void setProcessName(const tnString::IString& name) { m_processName = name; }
    const tnString::IString& getProcessName() const noexcept { return m_processName; }

protected:
    SessionChecker() = default;
    SessionChecker(const SessionChecker&) = default;
    SessionChecker& operator=(const SessionChecker&) = default;

private:
    tnString::IString m_processName;
};

} // namespace tnUI
