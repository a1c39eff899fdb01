#include "CommandGroup.h"

#include "../commands/CommandInstance.h"

namespace tnUI {

CommandInstance* CommandGroup::findFirstInstance(const tnString::CString& name) const
{
    for (int i = 0; i < getNumElements(); ++i) {
        Element* e = getElement(i);
        if (e->isCommand()) {
            const Name* n = e->getName();
            auto* instance = dynamic_cast<CommandInstance*>(e);
            if (instance && n && *n == name)
                return instance;
        } else if (const auto* sub = dynamic_cast<const CommandGroup*>(e)) {
            if (CommandInstance* found = sub->findFirstInstance(name))
                return found;
        }
    }
    return nullptr;
}

bool CommandGroup::findFirst(const CommandDefn* d, tn::vector<Element*>& path)
{
    path.clear();
    return findItem(d, path);
}

bool CommandGroup::findItem(const CommandDefn* d, tn::vector<Element*>& path)
{
    path.push_back(this);
    for (int i = 0; i < getNumElements(); ++i) {
        Element* e = getElement(i);
        const auto* instance = dynamic_cast<const CommandInstance*>(e);
        if (instance && instance->getCommand() == d) {
            path.push_back(e);
            return true;
        }
        auto* sub = dynamic_cast<CommandGroup*>(e);
        if (sub && sub->findItem(d, path))
            return true;
    }
    path.pop_back();
    return false;
}

} // namespace tnUI
