#include "support/mod_class_id_generator.h"

#include <limits>

#include "support/raised_error.h"

namespace support::modClassIDGenerator {

std::int32_t DebugIDCounter::Next() {
  if (last_ == std::numeric_limits<std::int32_t>::max())
    // Runtime errors carry the program's name as their source.
    throw RaisedError(kOverflowErrorNumber, QStringLiteral("Quillary"), QStringLiteral("Overflow"));
  return ++last_;
}

std::int32_t GetNextClassDebugID() {
  // Every instance is made on the user-interface thread, so the counter needs no lock.
  static DebugIDCounter counter;
  return counter.Next();
}

}  // namespace support::modClassIDGenerator
