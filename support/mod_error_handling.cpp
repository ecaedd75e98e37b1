#include "support/mod_error_handling.h"

#include "support/raised_error.h"

namespace support::modErrorHandling {

QString GetErrorText(std::int32_t ErrNum) {
  // The program carries no table of message texts to look ErrNum up in, so every number falls
  // back to the general text.
  static_cast<void>(ErrNum);
  return QStringLiteral("An unknown error has occurred!");
}

void RaiseError(std::int32_t ErrNum, const QString& Source) {
  throw RaisedError(kApplicationErrorBase + ErrNum, Source, GetErrorText(ErrNum));
}

}  // namespace support::modErrorHandling
