#pragma once

#include "../foundation/Export.h"

#include "../foundation/CString.h"
#include "../foundation/ReferenceCount.h"
#include "Entity.h"
#include "Name.h"

namespace tnUI {

/// An entity that can be given a name, once. The name never changes
/// afterwards, so registries may look the entity up by it.
class TNUI_EXPORT NamedEntity : public Entity {
public:
    NamedEntity() = default;

    /// The name, or null. Derived classes may fall back on other objects.
    virtual const Name* getName() const;

    /// The text of getName(), or "<unnamed>".
    const char* nameAsChar() const;

    /// Stores n (taking a reference) and sends "Name". Checked in this order:
    /// a name already set raises ImplError, a null n raises NullError, a
    /// MutableName raises ImplError.
    void setName(const Name* n);
    /// Names the entity with a new Name of text t; same errors, and the new
    /// name is released when refused.
    void setName(const tnString::CString& t);

    bool dump(DumpFile& file, int level, const char* label) const override;

private:
    tn::Reference<const Name> m_name;
};

} // namespace tnUI
