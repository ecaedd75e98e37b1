// Every benchmark program allocates as the program does (see engine::keepFreedMemoryForReuse).

#include "engine/pixel_memory.h"

namespace {

const bool kAllocatesAsTheProgram = (engine::keepFreedMemoryForReuse(), true);

}  // namespace
