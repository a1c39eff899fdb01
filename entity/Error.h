#pragma once

namespace tnUI {

// The library's errors. They carry nothing: the class is the message. Every
// error can be caught as Error, every misuse of a contract as ImplError.
class Error {
public:
    Error(const Error&) = default;
    Error& operator=(const Error&) = default;

protected:
    Error() = default;
};

// An operation used against its contract (a value outside an enumeration, a
// singleton misused, a name set twice, ...).
class ImplError : public Error {
public:
    ImplError() = default;
};

// A required pointer argument was null.
class NullError : public ImplError {
public:
    NullError() = default;
};

// An index or position that does not exist.
class IndexError : public ImplError {
public:
    IndexError() = default;
};

// A second registration of an object or of a name.
class DuplicateError : public ImplError {
public:
    DuplicateError() = default;
};

// A structure that would contain itself, or a message resent by an entity
// already in its cause chain.
class CycleError : public ImplError {
public:
    CycleError() = default;
};

// A keybinding text that cannot be parsed.
class KeybindingError : public ImplError {
public:
    KeybindingError() = default;
};

// A value read or reset before it was ever set.
class NotSetError : public ImplError {
public:
    NotSetError() = default;
};

// A value of the wrong class given to a typed setter.
class TypeError : public ImplError {
public:
    TypeError() = default;
};

// For the host's own lookups; the library never raises it.
class NotFoundError : public Error {
public:
    NotFoundError() = default;
};

} // namespace tnUI
