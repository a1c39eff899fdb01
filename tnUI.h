#pragma once

// The whole public interface of the tnUI library.

#include "foundation/AppOutput.h"
#include "foundation/CString.h"
#include "foundation/Function.h"
#include "foundation/IString.h"
#include "foundation/ReferenceCount.h"
#include "foundation/Signal.h"

#include "entity/DumpFile.h"
#include "entity/Entity.h"
#include "entity/Error.h"
#include "entity/Message.h"
