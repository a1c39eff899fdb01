#include "Registry.h"

#include "../entity/Name.h"
#include "../entity/NamedEntity.h"

namespace tnUI {

const tnString::CString& registryName(const NamedEntity* e)
{
    const Name* name = e ? e->getName() : nullptr;
    if (!name || name->isEmpty())
        throw NullError();
    return name->asString();
}

} // namespace tnUI
