#include "Entity.h"

#include "DumpFile.h"

#include <cinttypes>
#include <cstdlib>
#include <cxxabi.h>
#include <typeinfo>

namespace tnUI {

namespace {
std::int32_t g_activeEntities = 0;
}

Entity::Entity()
{
    ++g_activeEntities;
}

Entity::~Entity()
{
    // Deaf before the destruction notice: its listeners may let go of
    // things this entity listens to, whose notices must not reach the
    // derived parts that are already gone.
    signalClient.disconnectAll();
    destroyedSignal.fire(this);
    --g_activeEntities;
    // Messages that outlive this entity no longer reach it.
    for (Message* m = m_deepMessages; m;) {
        Message* next = m->m_nextOfEntity;
        m->m_listed = false;
        m->m_previousOfEntity = m->m_nextOfEntity = nullptr;
        m = next;
    }
    m_deepMessages = nullptr;
    // The members then die in reverse order: the two signals cut the
    // connections made on them.
}

void Entity::sendMessage(Message& m) const
{
    messageSignal.fire(m);
}

void Entity::resendMessage(Message& cause, Message::Type t) const
{
    Message m(this, cause, t);
    messageSignal.fire(m);
}

void Entity::forwardMessage(Message& m)
{
    resendMessage(m, Message::Forward);
}

void Entity::connectSignal(const Entity* source)
{
    if (!source)
        return;
    tnRTB::connect<&Entity::forwardMessage>(source->messageSignal, this);
}

void Entity::removeSignal(const Entity* source)
{
    if (!source)
        return;
    source->messageSignal.disconnectInstance(this);
}

void Entity::getTypeName(tnString::CString& out) const
{
    demangleCppTypeidName(out, typeid(*this).name());
}

tnString::CString Entity::getTypeName() const
{
    tnString::CString name;
    getTypeName(name);
    return name;
}

std::int32_t Entity::numberOfActiveObjects() noexcept
{
    return g_activeEntities;
}

bool Entity::dump(DumpFile& file, int level, const char* label) const
{
    const int line = file.writtenEntity(this);
    const tnString::CString type = getTypeName();
    const auto ptr = reinterpret_cast<std::uintptr_t>(this);
    const int refs = getRefCount();
    if (label) {
        if (line == -1)
            file.printf(level, "entity %s \"%s\" (refs = %d, ptr = 0x%08" PRIxPTR ")\n", type.asChar(), label, refs,
                        ptr);
        else
            file.printf(level, "entity %s \"%s\" (refs = %d, ptr = 0x%08" PRIxPTR ") written on line %d\n",
                        type.asChar(), label, refs, ptr, line);
    } else {
        if (line == -1)
            file.printf(level, "entity %s (refs = %d, ptr = 0x%08" PRIxPTR ")\n", type.asChar(), refs, ptr);
        else
            file.printf(level, "entity %s (refs = %d, ptr = 0x%08" PRIxPTR ") written on line %d\n", type.asChar(),
                        refs, ptr, line);
    }
    return line == -1;
}

void demangleCppTypeidName(tnString::CString& out, const char* name)
{
    if (!name) {
        out = tnString::CString();
        return;
    }
    int status = 0;
    char* readable = abi::__cxa_demangle(name, nullptr, nullptr, &status);
    if (status == 0 && readable)
        out = tnString::CString(readable);
    else
        out = tnString::CString(name);
    std::free(readable);
}

void decrementActiveEntities() noexcept
{
    --g_activeEntities;
}

} // namespace tnUI
