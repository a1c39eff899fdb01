#pragma once

#include "../foundation/Export.h"

#include "../entity/NamedEntity.h"

namespace tnUI {

class CallInfo;

/// A family of commands. The command controller tells the class in force when
/// one of its commands becomes the current command and when the current
/// command stops being one of its commands; what the class does then is the
/// host's.
class TNUI_EXPORT CommandClass : public NamedEntity {
public:
    CommandClass() = default;
    ~CommandClass() override;

    /// A command of this class became the current command. call describes the
    /// call that made it current; it may be null.
    virtual void classSelected(CallInfo* call) = 0;
    /// The current command stopped being of this class. call is the call that
    /// caused the change or, where there is none, a record naming only the
    /// controller's document instance.
    virtual void classUnselected(CallInfo* call) = 0;
};

} // namespace tnUI
