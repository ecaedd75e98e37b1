#pragma once
// A number as the user typed it. The button count is kept as the text of the answer (so the
// document tag records the digits entered), read back from a tag as a number, and turned into
// a number wherever a loop runs over the buttons.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace app {

class TypedNumber {
 public:
  TypedNumber() = default;
  TypedNumber& operator=(std::string text) {
    value_ = std::move(text);
    return *this;
  }
  TypedNumber& operator=(double number) {
    value_ = number;
    return *this;
  }

  bool IsEmpty() const;
  // The text typed, or the number in its shortest decimal form ("6", "2.5").
  std::string Text() const;
  // The numeric value: a number, or text that is a decimal number with optional blanks
  // around it. Nothing for empty or other text.
  std::optional<double> Number() const;
  // The number rounded half to even to a 16-bit integer; nothing when out of range.
  std::optional<std::int16_t> Int16() const;

 private:
  std::variant<std::monostate, std::string, double> value_;
};

// The number at the start of a text: leading blanks skipped, then an optional sign, digits,
// an optional fraction and exponent; 0 when the text does not start with a number.
double LeadingNumber(std::string_view text);

// The whole text as a decimal number (blanks around it allowed), or nothing.
std::optional<double> ParseNumber(std::string_view text);

// Rounds half to even, as the conversions to whole numbers do; nothing when out of range.
std::optional<std::int32_t> RoundToInt32(double value);

}  // namespace app
