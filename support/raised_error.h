#pragma once
// The error the parser raises to its caller: an automation-style number, the raising method as
// source, and a description, so a caller can tell the parser's failures apart by number.

#include <QString>
#include <cstdint>
#include <stdexcept>

namespace support {

class RaisedError : public std::runtime_error {
 public:
  RaisedError(std::int32_t number, const QString& source, const QString& description);

  std::int32_t Number() const { return number_; }
  const QString& Source() const { return source_; }
  const QString& Description() const { return description_; }

 private:
  std::int32_t number_;
  QString source_;
  QString description_;
};

}  // namespace support
