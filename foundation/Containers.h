#pragma once

#include "CString.h"

#include <unordered_map>
#include <vector>

namespace tn {

/// The growable array of the library.
template <class T>
using vector = std::vector<T>;

/// A hash table keyed by names, hashed and compared with the string library's
/// name hash and equality. Its iteration order carries no meaning.
template <class T>
using NameHashTable = std::unordered_map<tnString::CString, T, tnString::Hash, tnString::Equal>;

} // namespace tn
