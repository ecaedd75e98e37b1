#include "formats/safe_save.h"

#include <QSaveFile>
#include <QString>

#include "formats/document_io.h"

namespace formats {

void saveAtomically(const std::string& path, const std::function<std::string(QIODevice&)>& write) {
  const auto refuse = [&](const std::string& why) { throw FormatError("cannot save \"" + path + "\": " + why); };
  QSaveFile file(QString::fromStdString(path));
  // Never fall back to writing the target in place: a failure half way would damage it.
  file.setDirectWriteFallback(false);
  if (!file.open(QIODevice::WriteOnly)) refuse(file.errorString().toStdString());
  std::string error = write(file);
  if (error.empty() && file.error() != QFileDevice::NoError) error = file.errorString().toStdString();
  if (!error.empty()) {
    file.cancelWriting();
    refuse(error);
  }
  if (!file.commit()) refuse(file.errorString().toStdString());
}

void saveBytesAtomically(const std::string& path, std::span<const std::uint8_t> bytes) {
  const std::span<const std::uint8_t> pieces[] = {bytes};
  saveBytesAtomically(path, pieces);
}

void saveBytesAtomically(const std::string& path, std::span<const std::span<const std::uint8_t>> pieces) {
  saveAtomically(path, [&](QIODevice& device) -> std::string {
    for (const std::span<const std::uint8_t> bytes : pieces) {
      const auto* data = reinterpret_cast<const char*>(bytes.data());
      qint64 done = 0;
      while (done < qint64(bytes.size())) {
        const qint64 n = device.write(data + done, qint64(bytes.size()) - done);
        if (n <= 0) return device.errorString().toStdString();
        done += n;
      }
    }
    return {};
  });
}

}  // namespace formats
