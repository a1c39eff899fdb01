#include "Filename.h"

#include "DumpFile.h"
#include "Error.h"

namespace tnUI {

namespace {

const tnString::IString& pathOf(const Filename* other)
{
    if (!other)
        throw NullError();
    return other->asString();
}

} // namespace

Filename::Filename(const tnString::IString& path) : m_path(path)
{}

Filename::Filename(const Filename* other) : m_path(pathOf(other))
{}

bool Filename::dump(DumpFile& file, int level, const char* label) const
{
    if (!Entity::dump(file, level, label))
        return false;
    file.printf(level + 1, "value = \"%s\"\n", m_path.asMultibyte().asChar());
    return true;
}

bool equivalent(const Filename* a, const Filename* b)
{
    if (!a || !b)
        throw NullError();
    return tnString::equal(a->asString(), b->asString());
}

} // namespace tnUI
