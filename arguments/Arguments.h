#pragma once

#include "../foundation/Export.h"

#include "../entity/NamedEntity.h"
#include "../foundation/Containers.h"
#include "../foundation/ReferenceCount.h"
#include "Argument.h"

namespace tnUI {

class ArgumentItem;
class GroupOfArguments;
class Value;

/// Arguments in display order, a null entry standing for a separator. The
/// list holds each argument and passes its messages on as "Forward"; adding
/// and removing send "Structure". An argument is in a list at most once,
/// nested groups included, and a group never contains itself.
class TNUI_EXPORT Arguments : public NamedEntity {
public:
    Arguments() = default;
    ~Arguments() override;

    /// Entries, separators included.
    int getNumArguments() const noexcept { return static_cast<int>(m_items.size()); }
    /// Null for a separator; IndexError unless 0 <= i < getNumArguments().
    Argument* getArgument(int i);
    /// The same, read-only.
    const Argument* getArgument(int i) const;

    /// Appends a.
    void addArgument(Argument* a);
    /// Inserts a before the first argument whose order value is strictly
    /// greater, so equal keys keep the order they were added in; separators
    /// are passed over.
    void addArgumentSorted(Argument* a);
    /// Appends a separator. No message.
    void addSeparator();
    /// Takes the first entry equal to a out (NullError for null; an argument
    /// not in the list: nothing).
    void removeArgument(Argument* a);

    /// The weakest state of the arguments; "Invalid" without any.
    EArgumentState getState() const;
    /// Resets every argument in order. No message of its own.
    void reset();

    bool dump(DumpFile& file, int level, const char* label) const override;

protected:
    /// True when a is an entry of this list or, at any depth, of a nested
    /// group's list.
    bool contains(const Argument* a) const;
    /// Checked in this order, nothing changed on an error: null a
    /// (NullError), a negative i (IndexError), a already in this list's tree or a group holding this
    /// list (CycleError). Then a is inserted before entry i (appended when i
    /// is past the end), forwarded, and "Structure" is sent.
    void insertItem(int i, Argument* a);

private:
    /// True when list is this list or a nested group's list at any depth.
    bool _reaches(const Arguments* list) const;

    tn::vector<tn::Reference<Argument>> m_items;
};

/// The first item of g's tree, depth-first in display order, whose value is
/// v; null when there is none or either is null.
TNUI_EXPORT ArgumentItem* findArgumentOfValue(GroupOfArguments* g, Value* v);

} // namespace tnUI
