#pragma once
// The About box: the program's title, version and purpose, and a button that starts the
// system information tool.

#include <QDialog>

#include "app/machine_keys.h"
#include "app/system_info.h"

class QLabel;
class QPushButton;

namespace app::window {

class frmAbout : public QDialog {
  Q_OBJECT

 public:
  frmAbout(MachineKeyStore store, SystemInfoLauncher launcher, QWidget* parent = nullptr);

  // Starts the system information tool, or says that it cannot.
  void StartSysInfo();

 private:
  void Form_Load();
  void cmdOK_Click();
  void cmdSysInfo_Click();

  MachineKeyStore store_;
  SystemInfoLauncher launcher_;
  double dpi_;
  QLabel* picIcon_;
  QLabel* lblTitle_;
  QLabel* lblVersion_;
  QLabel* lblDescription_;
  QLabel* lblDisclaimer_;
  QPushButton* cmdOK_;
  QPushButton* cmdSysInfo_;
};

}  // namespace app::window
