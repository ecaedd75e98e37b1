#pragma once
// Turns a failure inside the parser into a RaisedError numbered in the range that automation
// reserves for application-defined errors.

#include <QString>
#include <cstdint>

namespace support::modErrorHandling {

// Base of the numbers an automation server may define for its own errors.
inline constexpr std::int32_t kApplicationErrorBase = -2147221504;
// The parser's one error number, before the base is added.
inline constexpr std::int32_t kParserErrorNumber = 9999;

QString GetErrorText(std::int32_t ErrNum);
[[noreturn]] void RaiseError(std::int32_t ErrNum, const QString& Source);

}  // namespace support::modErrorHandling
