#include "app/typed_number.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

namespace app {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// Length of the number at the start of `text` (sign, digits, fraction, exponent), 0 if none.
std::size_t numberLength(std::string_view text) {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++digits;
  }
  if (digits == 0) return 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    const std::size_t expStart = j;
    while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j]))) ++j;
    if (j > expStart) i = j;
  }
  return i;
}

double toDouble(std::string_view number) {
  if (!number.empty() && number.front() == '+') number.remove_prefix(1);
  double value = 0;
  // Out of range counts as not a usable number; callers reject what is not finite.
  if (std::from_chars(number.data(), number.data() + number.size(), value).ec != std::errc())
    return std::numeric_limits<double>::infinity();
  return value;
}

std::string_view trimBlanks(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

double LeadingNumber(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  const std::size_t n = numberLength(text);
  if (n == 0) return 0.0;
  const double value = toDouble(text.substr(0, n));
  return std::isfinite(value) ? value : 0.0;
}

std::optional<double> ParseNumber(std::string_view text) {
  text = trimBlanks(text);
  const std::size_t n = numberLength(text);
  if (n == 0 || n != text.size()) return std::nullopt;
  const double value = toDouble(text);
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<std::int32_t> RoundToInt32(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  const double rounded = std::nearbyint(value);
  if (rounded < std::numeric_limits<std::int32_t>::min() || rounded > std::numeric_limits<std::int32_t>::max())
    return std::nullopt;
  return static_cast<std::int32_t>(rounded);
}

bool TypedNumber::IsEmpty() const {
  return std::holds_alternative<std::monostate>(value_) ||
         (std::holds_alternative<std::string>(value_) && std::get<std::string>(value_).empty());
}

std::string TypedNumber::Text() const {
  if (const auto* text = std::get_if<std::string>(&value_)) return *text;
  if (const auto* number = std::get_if<double>(&value_)) {
    char buffer[32];
    // Shortest form that reads back as the same double, as the number was shown to the user.
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, *number);
    if (ec == std::errc()) return std::string(buffer, end);
  }
  return {};
}

std::optional<double> TypedNumber::Number() const {
  if (const auto* number = std::get_if<double>(&value_)) return *number;
  if (const auto* text = std::get_if<std::string>(&value_)) return ParseNumber(*text);
  return std::nullopt;
}

std::optional<std::int16_t> TypedNumber::Int16() const {
  const auto number = Number();
  if (!number) return std::nullopt;
  const auto whole = RoundToInt32(*number);
  if (!whole || *whole < std::numeric_limits<std::int16_t>::min() || *whole > std::numeric_limits<std::int16_t>::max())
    return std::nullopt;
  return static_cast<std::int16_t>(*whole);
}

}  // namespace app
