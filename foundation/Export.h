#pragma once

/// The library is built with hidden symbol visibility; TNUI_EXPORT marks the
/// classes and functions hosts may use. Exported classes also export their
/// type information, so hosts can catch the library's errors and cast its
/// entities.
#define TNUI_EXPORT __attribute__((visibility("default")))
