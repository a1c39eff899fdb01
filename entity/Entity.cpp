#include "Entity.h"

#include "DumpFile.h"

#include <cinttypes>
#include <cstdlib>
#include <cxxabi.h>
#include <string>
#include <typeinfo>
#include <unordered_map>

namespace tnUI {

namespace {
std::int32_t g_activeEntities = 0;

// Set when the type-name cache is destroyed at exit. Constant-initialised, so
// it can be read at any time, also after the cache is gone.
bool g_typeNamesGone = false;

// The readable names of the types met so far, each demangled once. Keyed by
// the address of the type's mangled name, which is the same for every object
// of a type in one module; the mangled text is kept and compared too, so that
// a module unloaded and another loaded at the same address is not misread.
class TypeNames {
public:
    TypeNames() = default;
    TypeNames(const TypeNames&) = delete;
    TypeNames& operator=(const TypeNames&) = delete;
    ~TypeNames() { g_typeNamesGone = true; }

    const tnString::CString& readable(const char* mangled)
    {
        Entry& entry = m_entries[mangled];
        if (entry.mangled != mangled) {
            entry.mangled = mangled;
            demangleCppTypeidName(entry.readable, mangled);
        }
        return entry.readable;
    }

private:
    struct Entry {
        std::string mangled;
        tnString::CString readable;
    };
    // Nodes stay put, so a returned name lives as long as the cache.
    std::unordered_map<const char*, Entry> m_entries;
};

// The readable name of the type whose type-information name is mangled: the
// cached one, made on first use and destroyed at exit with the other
// statics. Dumps written later in the exit (by destructors of other statics)
// demangle into spare every time.
const char* readableTypeName(const char* mangled, tnString::CString& spare)
{
    if (g_typeNamesGone) {
        demangleCppTypeidName(spare, mangled);
        return spare.asChar();
    }
    static TypeNames names;
    return names.readable(mangled).asChar();
}
} // namespace

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
    tnString::CString spare;
    const char* name = readableTypeName(typeid(*this).name(), spare);
    out = tnString::CString(name);
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
    tnString::CString spare;
    const char* type = readableTypeName(typeid(*this).name(), spare);
    const auto ptr = reinterpret_cast<std::uintptr_t>(this);
    const int refs = getRefCount();
    if (label) {
        if (line == -1)
            file.printf(level, "entity %s \"%s\" (refs = %d, ptr = 0x%08" PRIxPTR ")\n", type, label, refs, ptr);
        else
            file.printf(level, "entity %s \"%s\" (refs = %d, ptr = 0x%08" PRIxPTR ") written on line %d\n", type, label,
                        refs, ptr, line);
    } else {
        if (line == -1)
            file.printf(level, "entity %s (refs = %d, ptr = 0x%08" PRIxPTR ")\n", type, refs, ptr);
        else
            file.printf(level, "entity %s (refs = %d, ptr = 0x%08" PRIxPTR ") written on line %d\n", type, refs, ptr,
                        line);
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
