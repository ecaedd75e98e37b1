#pragma once
// The per-user application settings store: sections of text values under the program's name.
// The default store is QSettings for the application "Quillary"; tests give a file of their own,
// and batch runs keep their values in memory so that the user's settings stay untouched.

#include <QString>
#include <map>
#include <memory>
#include <string>

class QSettings;

namespace app {

class SettingsStore {
 public:
  // The user's store for the application "Quillary".
  SettingsStore();
  // An INI file of the caller's choice.
  explicit SettingsStore(const QString& iniFile);
  // Values that live as long as the store and are never written anywhere.
  static std::unique_ptr<SettingsStore> inMemory();
  ~SettingsStore();
  SettingsStore(const SettingsStore&) = delete;
  SettingsStore& operator=(const SettingsStore&) = delete;

  // "" when the key is missing.
  std::string GetSetting(const std::string& section, const std::string& key) const;
  void SaveSetting(const std::string& section, const std::string& key, const std::string& value);

 private:
  struct InMemory {};
  explicit SettingsStore(InMemory);

  std::unique_ptr<QSettings> settings_;  // null for a store in memory
  std::map<std::string, std::string> memory_;
};

}  // namespace app
