#include "LabelArgument.h"

namespace tnUI {

bool LabelArgument::dump(DumpFile& file, int level, const char* label) const
{
    return ArgumentItem::dump(file, level, label);
}

} // namespace tnUI
