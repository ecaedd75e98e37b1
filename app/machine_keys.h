#pragma once
// The machine-wide key store that stands in for the system registry: keys hold named values,
// text (type 1) or 32-bit numbers (type 4). It is an INI-style file, by default
// /etc/xdg/Quillary/machine-keys.conf:
//
//   [SOFTWARE\Microsoft\Shared Tools\MSINFO]
//   PATH="/usr/bin/hardinfo"
//   Build=dword:0000002a
//
// Quoted text knows the escapes \\ \" and \0 (a zero character); unquoted text runs to the end
// of the line. Key and value names compare without regard to case. Lines starting with # or ;
// are comments.

#include <cstdint>
#include <optional>
#include <string>

namespace app {

inline constexpr std::int32_t HKEY_LOCAL_MACHINE = static_cast<std::int32_t>(0x80000002u);
inline constexpr int REG_SZ = 1;
inline constexpr int REG_DWORD = 4;

// The largest value, in bytes, that a read accepts.
inline constexpr std::size_t kKeyValueBufferSize = 1024;

std::string DefaultMachineKeyStorePath();

class MachineKeyStore {
 public:
  struct Value {
    int type = REG_SZ;
    std::string data;  // the stored bytes: text as written, a number as 4 bytes, low byte first
  };

  explicit MachineKeyStore(std::string path = DefaultMachineKeyStorePath()) : path_(std::move(path)) {}

  // Nothing when the store, the key or the value is missing, or the store cannot be read.
  std::optional<Value> Read(std::int32_t root, const std::string& keyName, const std::string& valueName) const;

 private:
  std::string path_;
};

// Reads value SubKeyRef of key KeyName into KeyVal, without the one zero character a text
// value may end with. False, with KeyVal empty, when the value is missing, empty, longer than
// the buffer, or not text.
bool GetKeyValue(const MachineKeyStore& store, std::int32_t KeyRoot, const std::string& KeyName,
                 const std::string& SubKeyRef, std::string& KeyVal);

}  // namespace app
