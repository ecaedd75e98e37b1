#pragma once
// The per-user application settings store: sections of text values under the program's name.
// The default store is QSettings for the application "Quillary"; tests give a file of their own.

#include <QString>
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
  ~SettingsStore();
  SettingsStore(const SettingsStore&) = delete;
  SettingsStore& operator=(const SettingsStore&) = delete;

  // "" when the key is missing.
  std::string GetSetting(const std::string& section, const std::string& key) const;
  void SaveSetting(const std::string& section, const std::string& key, const std::string& value);

 private:
  std::unique_ptr<QSettings> settings_;
};

}  // namespace app
