#include "engine/errors.h"

namespace engine {

void fail(ErrorCode code, const std::string& message) { throw EngineError(code, message); }

void checkPixelArea(long long width, long long height) {
  if (width < 0 || height < 0)
    fail(ErrorCode::InvalidArgument, "a size of " + std::to_string(width) + " x " + std::to_string(height) +
                                         " pixels is not valid");
  if (width > kMaxSide || height > kMaxSide || width * height > kMaxArea)
    fail(ErrorCode::TooLarge, "a size of " + std::to_string(width) + " x " + std::to_string(height) +
                                  " pixels is larger than the engine accepts");
}

}  // namespace engine
