#pragma once

#include "../foundation/Export.h"

#include "../foundation/ReferenceCount.h"
#include "Label.h"
#include "NamedEntity.h"

namespace tnUI {

/// A named entity with a label, a tooltip and a help reference. The three are
/// forwarding members: every message one of them sends (a MutableLabel's
/// "Label", say) is passed on by this entity as a "Forward" message caused by
/// it. Members that cannot change (Label::canChange) are held without a
/// connection.
class TNUI_EXPORT NamedLabeledEntity : public NamedEntity {
public:
    NamedLabeledEntity() = default;

    /// The members, possibly null. Derived classes may fall back on other
    /// objects.
    virtual const Label* getLabel() const;
    /// The tooltip.
    virtual const Label* getToolTip() const;
    /// The help reference.
    virtual const HelpRef* getHelpRef() const;

    /// Each does nothing when given the member it holds. Otherwise it stops
    /// forwarding the old member, holds the new one (null clears it), forwards
    /// it, and sends "Label".
    void setLabel(const Label* label);
    /// Sets the tooltip.
    void setToolTip(const Label* toolTip);
    /// Sets the help reference.
    void setHelpRef(const HelpRef* helpRef);

    bool dump(DumpFile& file, int level, const char* label) const override;

private:
    template <class T>
    void _replaceMember(tn::Reference<const T>& member, const T* value);

    tn::Reference<const Label> m_label;
    tn::Reference<const Label> m_toolTip;
    tn::Reference<const HelpRef> m_helpRef;
};

} // namespace tnUI
