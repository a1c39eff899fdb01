#pragma once

#include "../foundation/Export.h"

#include "../foundation/CString.h"
#include "../foundation/Containers.h"
#include "Group.h"

namespace tnUI {

class CommandDefn;
class CommandInstance;

/// The group kind of every menu: command instances, command items,
/// separators and nested command groups. It adds searches for a command by
/// name and by definition; both walk nested command groups depth-first and
/// leave plain groups unsearched. Its dump is the group's.
class TNUI_EXPORT CommandGroup : public Group {
public:
    CommandGroup() = default;

    /// The first command instance named name, looking into nested command
    /// groups as they come; null when there is none. Items that are not
    /// command instances are passed over.
    CommandInstance* findFirstInstance(const tnString::CString& name) const;
    /// The path from this group down to the first instance of d: this group
    /// first, the instance last, the command groups between them in order.
    /// Empty when d occurs nowhere.
    bool findFirst(const CommandDefn* d, tn::vector<Element*>& path);

protected:
    /// The searches of Group.
    using Group::findItem;
    /// The search of findFirst, appending to path; on failure path is as it
    /// was.
    bool findItem(const CommandDefn* d, tn::vector<Element*>& path);
};

} // namespace tnUI
