#pragma once
// Splits a string at a one-character delimiter and hands the pieces out by position (1 is the
// first); failures reach the caller as RaisedError with the parser's number and the method as
// source.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

namespace support {

class ParseDelimetedStr {
 public:
  ParseDelimetedStr();
  ParseDelimetedStr(const ParseDelimetedStr&) = delete;
  ParseDelimetedStr& operator=(const ParseDelimetedStr&) = delete;

  // Replaces all earlier content. A delimiter that is not exactly one character never matches,
  // so the whole string becomes one substring. A delimiter at the very end closes the last
  // substring without starting an empty one.
  void SetString(const QString& theString, const QString& Delimiter);
  // Returns the number of substrings in this string.
  std::int32_t Count() const;
  // Returns the Nth substring; 0 gives the empty string, anything past Count() fails.
  QString Nth(std::int32_t index) const;
  // Returns the Last substring; the empty string when there are none.
  QString Last() const;
  // Returns the First substring; fails when there are none.
  QString First() const;

  std::int32_t ClassDebugID() const { return classDebugID_; }

 private:
  QString element(std::int32_t index, const char* source) const;

  QString text_;
  // Element 0 is always empty; empty optional until the first SetString.
  std::optional<QStringList> substrings_;
  std::int32_t count_ = 0;
  std::int32_t classDebugID_;
};

}  // namespace support
