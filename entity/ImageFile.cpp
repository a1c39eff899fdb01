#include "ImageFile.h"

#include "DumpFile.h"
#include "Error.h"

namespace tnUI {

namespace {

Filename* required(Filename* f)
{
    if (!f)
        throw NullError();
    return f;
}

} // namespace

ImageFile::ImageFile(Filename* f) : m_filename(required(f))
{}

void ImageFile::setFilename(Filename* f)
{
    if (!f)
        throw NullError();
    if (m_filename.get() == f)
        return;
    m_filename = f;
    Message m(this, Message::Value);
    sendMessage(m);
}

bool ImageFile::dump(DumpFile& file, int level, const char* label) const
{
    if (!NamedEntity::dump(file, level, label))
        return false;
    m_filename->dump(file, level + 1, "ImageFile filename");
    return true;
}

bool equivalent(const ImageFile* a, const ImageFile* b)
{
    if (!a || !b)
        return false;
    return equivalent(a->getFilename(), b->getFilename());
}

} // namespace tnUI
