#include "app/window/frm_about.h"

#include <QFrame>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

#include "app/form_view.h"
#include "app/window/app_icon.h"
#include "support/caption_fit.h"
#include "support/screen_twips.h"

namespace app::window {

using support::screen::pixelsToTwips;
using support::screen::twipsRect;
using support::screen::twipsToPixels;

namespace {

constexpr int kClientWidth = 5730;   // twips
constexpr int kClientHeight = 3630;

QFont arial(double points, bool bold = false) {
  QFont font(QStringLiteral("Arial"));
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}

QFrame* etchedLine(QWidget* parent, const QRect& rect, const QColor& color) {
  auto* line = new QFrame(parent);
  line->setGeometry(rect);
  line->setAutoFillBackground(true);
  QPalette p = line->palette();
  p.setColor(QPalette::Window, color);
  line->setPalette(p);
  return line;
}

}  // namespace

frmAbout::frmAbout(MachineKeyStore store, SystemInfoLauncher launcher, QWidget* parent)
    : QDialog(parent), store_(std::move(store)), launcher_(std::move(launcher)) {
  setObjectName(QStringLiteral("frmAbout"));
  setWindowTitle(QStringLiteral("About Quillary"));
  setModal(true);
  dpi_ = screen() ? screen()->logicalDotsPerInchX() : 96.0;
  auto at = [this](int l, int t, int w, int h) { return twipsRect(l, t, w, h, dpi_); };
  setFixedSize(twipsToPixels(kClientWidth, dpi_), twipsToPixels(kClientHeight, dpi_));

  picIcon_ = new QLabel(this);
  picIcon_->setObjectName(QStringLiteral("picIcon"));
  picIcon_->setGeometry(at(240, 240, 510, 510));
  picIcon_->setPixmap(quillaryIconPixmap(picIcon_->width()));

  lblTitle_ = new QLabel(QStringLiteral("Application Title"), this);
  lblTitle_->setObjectName(QStringLiteral("lblTitle"));
  lblTitle_->setGeometry(at(1050, 240, 3885, 480));
  lblTitle_->setFont(arial(16, true));

  lblVersion_ = new QLabel(QStringLiteral("Version"), this);
  lblVersion_->setObjectName(QStringLiteral("lblVersion"));
  lblVersion_->setGeometry(at(1050, 780, 3885, 225));
  lblVersion_->setFont(arial(8));

  lblDescription_ = new QLabel(
      QStringLiteral("This is a utility to help create custom menus for the Corvantis Q9K DVD Recorder. Quillary is a "
                     "utility that 'helps' you create the 9-Layer Photoshop Document for the Tessaline utility. "),
      this);
  lblDescription_->setObjectName(QStringLiteral("lblDescription"));
  lblDescription_->setGeometry(at(1080, 1125, 3885, 1170));
  lblDescription_->setFont(arial(8));
  lblDescription_->setWordWrap(true);
  lblDescription_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  etchedLine(this, at(225, 2430, 5450 - 225, 15), QColor(128, 128, 128))->setObjectName(QStringLiteral("Line1"));
  etchedLine(this, at(240, 2445, 5450 - 240, 15), Qt::white);

  lblDisclaimer_ = new QLabel(
      QStringLiteral("Provided as is, without warranty of any kind. Keep copies of your own documents."), this);
  lblDisclaimer_->setObjectName(QStringLiteral("lblDisclaimer"));
  lblDisclaimer_->setGeometry(at(960, 2625, 2910, 825));
  lblDisclaimer_->setFont(arial(7));
  lblDisclaimer_->setWordWrap(true);
  lblDisclaimer_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  cmdOK_ = new QPushButton(QStringLiteral("OK"), this);
  cmdOK_->setObjectName(QStringLiteral("cmdOK"));
  cmdOK_->setGeometry(at(4245, 2625, 1260, 345));
  cmdOK_->setDefault(true);
  connect(cmdOK_, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);

  cmdSysInfo_ = new QPushButton(QStringLiteral("&System Info..."), this);
  cmdSysInfo_->setObjectName(QStringLiteral("cmdSysInfo"));
  cmdSysInfo_->setGeometry(at(4260, 3075, 1245, 345));
  support::screen::fitButtonCaption(*cmdSysInfo_);
  connect(cmdSysInfo_, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);

  Form_Load();
}

void frmAbout::Form_Load() {
  lblVersion_->setText(QStringLiteral("Version %1.%2.%3")
                           .arg(QUILLARY_VERSION_MAJOR)
                           .arg(QUILLARY_VERSION_MINOR)
                           .arg(QUILLARY_VERSION_PATCH));
  lblTitle_->setText(QString::fromLatin1(kProgramTitle));
}

void frmAbout::cmdOK_Click() { accept(); }

void frmAbout::cmdSysInfo_Click() { StartSysInfo(); }

void frmAbout::StartSysInfo() {
  if (!app::StartSysInfo(store_, launcher_))
    QMessageBox::information(this, QString::fromLatin1(kProgramTitle), QString::fromLatin1(kSysInfoUnavailableMessage),
                             QMessageBox::Ok);
}

}  // namespace app::window
