#pragma once

#include "../foundation/Export.h"

#include "../foundation/AppOutput.h"
#include "../foundation/CString.h"
#include "../foundation/ReferenceCount.h"
#include "../foundation/Signal.h"
#include "Message.h"

#include <cstdint>

namespace tnUI {

class DumpFile;

/// The root of every model object: a reference count, a message signal on
/// which it announces its changes, a destruction notice, and the receiver side
/// (signalClient) of the connections it makes as a listener. Entities are not
/// copied.
class TNUI_EXPORT Entity : public tn::ReferenceCount {
public:
    /// Emitted once, from the destructor, with this entity's address. Listeners
    /// may only compare the address or forget it: the derived parts are gone.
    mutable tnRTB::Signal<Entity*> destroyedSignal;
    /// Every message this entity sends or resends.
    mutable tnRTB::Signal<Message&> messageSignal;
    /// Cuts this entity's listening connections when it dies.
    tnRTB::SignalClient signalClient;

    Entity(const Entity&) = delete;
    Entity& operator=(const Entity&) = delete;
    ~Entity() override;

protected:
    Entity();

    /// Emits m on messageSignal.
    virtual void sendMessage(Message& m) const;
    /// Emits Message(this, cause, t): raises CycleError when this entity is
    /// already in cause's chain.
    virtual void resendMessage(Message& cause, Message::Type t) const;

public:
    /// Writes this entity's line to the dump file; returns false (and writes
    /// the short form) when the entity was already written there.
    virtual bool dump(DumpFile& file, int level, const char* label) const;

    /// Passes m on as a "Forward" message; what connectSignal attaches.
    void forwardMessage(Message& m);

    /// The demangled class name of the most derived class.
    void getTypeName(tnString::CString& out) const;
    /// The same, returned.
    tnString::CString getTypeName() const;

    /// The number of entities alive in the process.
    static std::int32_t numberOfActiveObjects() noexcept;
    /// Kept for hosts that call it; entities are counted, not listed.
    static void listActiveObjects() noexcept {}

    /// The process-wide diagnostic output.
    tnOS::AppOutput& appout() const { return tnOS::AppOutput::getInstance(); }

protected:
    /// From now on every message of source is passed on as "Forward". Null: nothing.
    void connectSignal(const Entity* source);
    /// Cuts every connection of this entity on source's messageSignal,
    /// whatever method it calls. Null: nothing.
    void removeSignal(const Entity* source);

private:
    friend class Message;

    /// The deep messages of this entity that exist, the newest first (see
    /// Message).
    mutable Message* m_deepMessages = nullptr;
};

/// Sets out to the readable form of a type-information name; a name that is
/// already readable is copied unchanged.
TNUI_EXPORT void demangleCppTypeidName(tnString::CString& out, const char* name);

/// Lowers the live-entity count by one. The library never calls it.
TNUI_EXPORT void decrementActiveEntities() noexcept;

} // namespace tnUI
