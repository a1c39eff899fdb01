#pragma once

#include "../foundation/Export.h"

#include "../entity/Label.h"
#include "../foundation/IString.h"
#include "../foundation/ReferenceCount.h"

#include <unordered_map>

namespace tnUI {

/// A small table of labels through which a host shares texts between the
/// parts of its interface. The application makes one at construction; the
/// library itself never reads or fills it. Copies share the label objects.
class TNUI_EXPORT Constants : public tn::ReferenceCount {
public:
    /// Ten slots, whose meaning the host's toolkit binding gives. Any int is a
    /// value of the type, so that slots outside the table can be named.
    enum ELabel : int {
        Label0 = 0,
        Label1 = 1,
        Label2 = 2,
        Label3 = 3,
        Label4 = 4,
        Label5 = 5,
        Label6 = 6,
        Label7 = 7,
        Label8 = 8,
        Label9 = 9,
    };

    Constants() = default;
    /// Copies other.
    Constants(const Constants& other);
    /// Assigns a copy of the given one.
    Constants& operator=(const Constants& other);
    ~Constants() override;

    /// Stores l under e, taking a reference and releasing the label stored
    /// before; null clears the slot. No range check is made.
    void setLabel(ELabel e, const Label* l);
    /// The label of slots 0 to 9, or null when the slot is empty or outside
    /// the ten slots.
    const Label* getLabel(ELabel e) const;
    /// The text of getLabel(e), or an empty text without a label.
    const tnString::IString& getLabelAsString(ELabel e) const;

private:
    std::unordered_map<int, tn::Reference<const Label>> m_labels;
};

} // namespace tnUI
