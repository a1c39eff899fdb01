#include "ToolkitImpl.h"

#include "../entity/DumpFile.h"
#include "../entity/Entity.h"

#include <cinttypes>
#include <typeinfo>

namespace tnUI {

namespace {
std::int32_t g_activeImpls = 0;
}

ToolkitImpl::ToolkitImpl()
{
    ++g_activeImpls;
}

ToolkitImpl::~ToolkitImpl()
{
    appout()(3, "Destroying ToolkitImpl %p\n", static_cast<void*>(this));
    implDestroyedSignal.fire(this);
    --g_activeImpls;
}

void ToolkitImpl::dump(DumpFile& file, int level) const
{
    tnString::CString type;
    demangleCppTypeidName(type, typeid(*this).name());
    file.printf(level, "ToolkitImpl %s (ptr = 0x%08" PRIxPTR ")\n", type.asChar(),
                reinterpret_cast<std::uintptr_t>(this));
}

std::int32_t ToolkitImpl::numberOfActiveObjects() noexcept
{
    return g_activeImpls;
}

} // namespace tnUI
