#include "support/raised_error.h"

namespace support {

RaisedError::RaisedError(std::int32_t number, const QString& source, const QString& description)
    : std::runtime_error((source + QStringLiteral(": ") + description).toStdString()),
      number_(number),
      source_(source),
      description_(description) {}

}  // namespace support
