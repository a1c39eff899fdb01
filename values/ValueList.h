#pragma once

#include "../foundation/Export.h"

#include "../foundation/Containers.h"
#include "../foundation/ReferenceCount.h"
#include "Value.h"

namespace tnUI {

// Values at real-numbered positions, kept in the order they were added (not
// sorted; a position or a value may occur twice). Every message of a member
// reaches the list's listeners as "Forward", once for each index it holds.
// Adding, removing and clearing send nothing.
class TNUI_EXPORT ValueList : public Value {
public:
    ValueList() = default;
    ~ValueList() override;

    int size() const noexcept { return static_cast<int>(m_values.size()); }
    // Appends v at the position and listens to it. Null raises NullError.
    void addValue(double position, Value* v);
    // Index outside 0 to size - 1: IndexError.
    Value* getValue(int i);
    const Value* getValue(int i) const;
    double getPosition(int i) const;
    // The first index whose position differs from p by less than
    // tnLinear::epsilonTol, or -1.
    int findPosition(double p) const;
    void removeValue(int i);
    void clear();

    // Resets every member in order; an unset numeric member raises
    // NotSetError, after the members before it were reset.
    void reset() override;
    // Takes other's length and positions; members already at an index stay
    // and take other's member by assign, missing ones are clones of other's
    // (a member that cannot be cloned is skipped, with its position). No
    // message.
    bool assign(const Value* const other) override;

    bool dump(DumpFile& file, int level, const char* label) const override;

private:
    void checkIndex(int i) const;

    tn::vector<tn::Reference<Value>> m_values;
    tn::vector<double> m_positions;
};

} // namespace tnUI
