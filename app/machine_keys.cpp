#include "app/machine_keys.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <string_view>

namespace app {

namespace {

inline constexpr std::size_t kMaxStoreSize = 1 << 20;

std::string lower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return out;
}

std::string_view trim(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
  return text;
}

std::optional<MachineKeyStore::Value> parseQuoted(std::string_view text) {
  std::string data;
  for (std::size_t i = 1; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') return trim(text.substr(i + 1)).empty() ? std::optional(MachineKeyStore::Value{REG_SZ, data}) : std::nullopt;
    if (c != '\\') {
      data += c;
      continue;
    }
    if (++i == text.size()) return std::nullopt;
    switch (text[i]) {
      case '\\': data += '\\'; break;
      case '"': data += '"'; break;
      case '0': data += '\0'; break;
      default: return std::nullopt;
    }
  }
  return std::nullopt;  // no closing quote
}

std::optional<MachineKeyStore::Value> parseDword(std::string_view digits) {
  if (digits.empty() || digits.size() > 8) return std::nullopt;
  std::uint32_t number = 0;
  for (char c : digits) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
    number = number * 16 + std::uint32_t(std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : std::tolower(c) - 'a' + 10);
  }
  std::string data;
  for (int i = 0; i < 4; ++i) data += char((number >> (8 * i)) & 0xFF);
  return MachineKeyStore::Value{REG_DWORD, data};
}

std::optional<MachineKeyStore::Value> parseValue(std::string_view text) {
  text = trim(text);
  if (!text.empty() && text.front() == '"') return parseQuoted(text);
  if (lower(text.substr(0, 6)) == "dword:") return parseDword(text.substr(6));
  return MachineKeyStore::Value{REG_SZ, std::string(text)};
}

}  // namespace

std::string DefaultMachineKeyStorePath() { return "/etc/xdg/Quillary/machine-keys.conf"; }

std::optional<MachineKeyStore::Value> MachineKeyStore::Read(std::int32_t root, const std::string& keyName,
                                                            const std::string& valueName) const {
  if (root != HKEY_LOCAL_MACHINE) return std::nullopt;
  std::ifstream file(path_, std::ios::binary);
  if (!file) return std::nullopt;
  std::string content;
  content.resize(kMaxStoreSize + 1);
  file.read(content.data(), std::streamsize(content.size()));
  content.resize(std::size_t(file.gcount()));
  if (content.size() > kMaxStoreSize) return std::nullopt;

  const std::string wantedKey = lower(keyName);
  const std::string wantedValue = lower(valueName);
  bool inKey = false;
  std::size_t start = 0;
  while (start < content.size()) {
    std::size_t end = content.find('\n', start);
    if (end == std::string::npos) end = content.size();
    const std::string_view line = trim(std::string_view(content).substr(start, end - start));
    start = end + 1;
    if (line.empty() || line.front() == '#' || line.front() == ';') continue;
    if (line.front() == '[') {
      inKey = line.back() == ']' && lower(line.substr(1, line.size() - 2)) == wantedKey;
      continue;
    }
    const std::size_t equals = line.find('=');
    if (!inKey || equals == std::string_view::npos || lower(trim(line.substr(0, equals))) != wantedValue) continue;
    return parseValue(line.substr(equals + 1));
  }
  return std::nullopt;
}

bool GetKeyValue(const MachineKeyStore& store, std::int32_t KeyRoot, const std::string& KeyName,
                 const std::string& SubKeyRef, std::string& KeyVal) {
  KeyVal.clear();
  const auto value = store.Read(KeyRoot, KeyName, SubKeyRef);
  if (!value || value->type != REG_SZ || value->data.empty() || value->data.size() > kKeyValueBufferSize) return false;
  std::string text = value->data;
  if (text.back() == '\0') text.pop_back();
  KeyVal = std::move(text);
  return true;
}

}  // namespace app
