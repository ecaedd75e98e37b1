#pragma once
// Type IDs: 32-bit numbers for action events, keys, classes and enumerations, made from a
// four-character code (blanks included: "Nm  ") or from a string ID ("contentLayer"). String
// IDs that Photoshop's terminology pairs with a four-character code give that code's number;
// the others get numbers below every four-character code, fixed for the life of the program.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace photoshop {

using TypeID = std::int32_t;

class TypeIdRegistry {
 public:
  TypeIdRegistry();
  // Fails (std::invalid_argument) unless the code has exactly four characters.
  static TypeID charId(std::string_view code);
  TypeID stringId(std::string_view name);
  // The four-character code of a number made by charId, if it is one.
  static std::optional<std::string> charCode(TypeID id);
  // The string ID a number stands for, if one is known.
  std::optional<std::string> stringName(TypeID id) const;
  // For printing: 'Nm  ' for four-character codes, "name" for string IDs, the number otherwise.
  std::string describe(TypeID id) const;

 private:
  std::map<std::string, TypeID, std::less<>> byName_;
  std::map<TypeID, std::string> byId_;
  TypeID next_ = 1000;
};

// The registry every automation object of the program shares.
TypeIdRegistry& typeIds();

}  // namespace photoshop
