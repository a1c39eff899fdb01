#pragma once

#include "../foundation/Export.h"

#include "../foundation/Containers.h"
#include "../foundation/ReferenceCount.h"
#include "Value.h"

namespace tnUI {

/// Values at real-numbered positions, kept in the order they were added (not
/// sorted; a position or a value may occur twice). Every message of a member
/// reaches the list's listeners as "Forward", once for each index it holds.
/// Adding, removing and clearing send nothing.
class TNUI_EXPORT ValueList : public Value {
public:
    ValueList() = default;
    ~ValueList() override;

    /// The number of values.
    int size() const noexcept { return static_cast<int>(m_values.size()); }
    /// Appends v at the position and listens to it. Null raises NullError; a
    /// list that is this one or holds it, at any depth, raises CycleError.
    void addValue(double position, Value* v);
    /// Index outside 0 to size - 1: IndexError.
    Value* getValue(int i);
    /// The same, read-only.
    const Value* getValue(int i) const;
    /// The position of value i; IndexError outside 0 to size - 1.
    double getPosition(int i) const;
    /// The first index whose position differs from p by less than
    /// tnLinear::epsilonTol, or -1.
    int findPosition(double p) const;
    /// Lets go of value i; IndexError outside 0 to size - 1.
    void removeValue(int i);
    /// Lets go of every value.
    void clear();

    /// Resets every member in order; an unset numeric member raises
    /// NotSetError, after the members before it were reset.
    void reset() override;
    /// Takes other's length and positions; members already at an index stay
    /// and take other's member by assign, missing ones are clones of other's.
    /// A missing member that cannot be cloned raises TypeError before anything
    /// changes. No message of the list's own; members' assigns may send some.
    bool assign(const Value* const other) override;

    bool dump(DumpFile& file, int level, const char* label) const override;

private:
    void checkIndex(int i) const;
    /// Whether this list is target or holds it, at any depth.
    bool _reaches(const ValueList* target) const;
    /// Members from index n on leave the list.
    void _truncate(int n);
    /// Cuts the connections to members that left the list; a value that is
    /// still a member elsewhere is listened to again, once per index.
    void _disconnect(const tn::vector<tn::Reference<Value>>& left);

    tn::vector<tn::Reference<Value>> m_values;
    tn::vector<double> m_positions;
};

} // namespace tnUI
