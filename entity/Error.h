#pragma once

#include "../foundation/Export.h"

namespace tnUI {

/// The library's errors. They carry nothing: the class is the message. Every
/// error can be caught as Error, every misuse of a contract as ImplError.
class TNUI_EXPORT Error {
public:
    /// A copy of the given one.
    Error(const Error&) = default;
    /// Assigns a copy of the given one.
    Error& operator=(const Error&) = default;

protected:
    Error() = default;
};

/// An operation used against its contract (a value outside an enumeration, a
/// singleton misused, a name set twice, ...).
class TNUI_EXPORT ImplError : public Error {
public:
    ImplError() = default;
};

/// A required pointer argument was null.
class TNUI_EXPORT NullError : public ImplError {
public:
    NullError() = default;
};

/// An index or position that does not exist.
class TNUI_EXPORT IndexError : public ImplError {
public:
    IndexError() = default;
};

/// A second registration of an object or of a name.
class TNUI_EXPORT DuplicateError : public ImplError {
public:
    DuplicateError() = default;
};

/// A structure that would contain itself, or a message resent by an entity
/// already in its cause chain.
class TNUI_EXPORT CycleError : public ImplError {
public:
    CycleError() = default;
};

/// A keybinding text that cannot be parsed.
class TNUI_EXPORT KeybindingError : public ImplError {
public:
    KeybindingError() = default;
};

/// A value read or reset before it was ever set.
class TNUI_EXPORT NotSetError : public ImplError {
public:
    NotSetError() = default;
};

/// A value of the wrong class given to a typed setter.
class TNUI_EXPORT TypeError : public ImplError {
public:
    TypeError() = default;
};

/// For the host's own lookups; the library never raises it.
class TNUI_EXPORT NotFoundError : public Error {
public:
    NotFoundError() = default;
};

} // namespace tnUI
