#include "app/settings_store.h"

#include <QSettings>

#include "app/form_view.h"

namespace app {

namespace {

QString settingKey(const std::string& section, const std::string& key) {
  return QString::fromStdString(section) + '/' + QString::fromStdString(key);
}

}  // namespace

SettingsStore::SettingsStore()
    : settings_(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, kProgramTitle, kProgramTitle)) {}

SettingsStore::SettingsStore(const QString& iniFile) : settings_(std::make_unique<QSettings>(iniFile, QSettings::IniFormat)) {}

SettingsStore::SettingsStore(InMemory) {}

std::unique_ptr<SettingsStore> SettingsStore::inMemory() {
  return std::unique_ptr<SettingsStore>(new SettingsStore(InMemory{}));
}

SettingsStore::~SettingsStore() = default;

std::string SettingsStore::GetSetting(const std::string& section, const std::string& key) const {
  if (!settings_) {
    const auto found = memory_.find(section + '/' + key);
    return found == memory_.end() ? std::string() : found->second;
  }
  return settings_->value(settingKey(section, key), QString()).toString().toStdString();
}

void SettingsStore::SaveSetting(const std::string& section, const std::string& key, const std::string& value) {
  if (!settings_) {
    memory_[section + '/' + key] = value;
    return;
  }
  settings_->setValue(settingKey(section, key), QString::fromStdString(value));
  settings_->sync();
}

}  // namespace app
