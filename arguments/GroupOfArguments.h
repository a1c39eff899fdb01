#pragma once

#include "../foundation/Export.h"

#include "../foundation/ReferenceCount.h"
#include "Argument.h"
#include "Arguments.h"

namespace tnUI {

/// How a group of arguments is presented.
enum class EGroupOfArgumentsKind : int { Group = 0, Page = 1, Collapsible = 2 };

/// Whether a group is shown as its arguments or as one compound control.
enum class EGroupOfArgumentsControlHint : int {
    AsArguments = 0,
    Sliders = 1,
    ColorControl = 2,
    ColorWell = 3,
    BrushWell = 4,
    BrushControl = 5,
};

/// A nested argument list shown as a group, page or collapsible section, or
/// as one compound control. Every change inside the list, structure included,
/// reaches the group's listeners as "Forward".
class TNUI_EXPORT GroupOfArguments : public Argument {
public:
    /// Null list raises NullError.
    explicit GroupOfArguments(Arguments* list);
    ~GroupOfArguments() override;

    /// The arguments.
    Arguments* getArguments() noexcept { return m_arguments.get(); }
    /// The arguments.
    const Arguments* getArguments() const noexcept { return m_arguments.get(); }

    /// The group of arguments kind.
    EGroupOfArgumentsKind getGroupOfArgumentsKind() const noexcept { return m_kind; }
    /// Sends "Appearance" when the kind changes.
    void setGroupOfArgumentsKind(EGroupOfArgumentsKind k);
    /// The arguments control hint.
    EGroupOfArgumentsControlHint getArgumentsControlHint() const noexcept { return m_controlHint; }
    /// Sends "Appearance" when the hint changes.
    void setArgumentsControlHint(EGroupOfArgumentsControlHint h);
    /// No message.
    int getNumColumns() const noexcept { return m_columns; }
    /// Sets the number of columns.
    void setNumColumns(int columns) noexcept { m_columns = columns; }

    /// Resets the arguments inside; the group's own state stays and it sends
    /// nothing of its own.
    void reset() override;

    bool dump(DumpFile& file, int level, const char* label) const override;

private:
    void sendAppearance();

    EGroupOfArgumentsKind m_kind = EGroupOfArgumentsKind::Group;
    EGroupOfArgumentsControlHint m_controlHint = EGroupOfArgumentsControlHint::AsArguments;
    tn::Reference<Arguments> m_arguments;
    int m_columns = 1;
};

/// "Group", "Page", "Collapsible"; other values raise ImplError.
TNUI_EXPORT const char* enumName(EGroupOfArgumentsKind k);
/// "AsArguments", "Sliders", "ColorControl", "ColorWell", "BrushWell",
/// "BrushControl"; other values raise ImplError.
TNUI_EXPORT const char* enumName(EGroupOfArgumentsControlHint h);

} // namespace tnUI
