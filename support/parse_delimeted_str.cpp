#include "support/parse_delimeted_str.h"

#include <limits>
#include <stdexcept>

#include "support/mod_class_id_generator.h"
#include "support/mod_error_handling.h"

namespace support {

ParseDelimetedStr::ParseDelimetedStr() : classDebugID_(modClassIDGenerator::GetNextClassDebugID()) {}

void ParseDelimetedStr::SetString(const QString& theString, const QString& Delimiter) {
  try {
    substrings_ = QStringList{QString()};
    text_ = theString;
    count_ = 0;
    const qsizetype length = text_.size();
    const bool delimiterCanMatch = Delimiter.size() == 1;
    qsizetype start = 0;
    for (qsizetype i = 0; i < length; ++i) {
      const bool atDelimiter = delimiterCanMatch && text_.at(i) == Delimiter.at(0);
      if (!atDelimiter && i != length - 1) continue;
      if (count_ == std::numeric_limits<std::int32_t>::max()) throw std::overflow_error("too many substrings");
      ++count_;
      const qsizetype end = atDelimiter ? i : i + 1;
      substrings_->append(text_.mid(start, end - start));
      start = i + 1;
    }
  } catch (...) {
    modErrorHandling::RaiseError(modErrorHandling::kParserErrorNumber,
                                 QStringLiteral("ParseDelimetedStr:SetString Method"));
  }
}

std::int32_t ParseDelimetedStr::Count() const { return count_; }

QString ParseDelimetedStr::Nth(std::int32_t index) const { return element(index, "ParseDelimetedStr:Nth Method"); }

QString ParseDelimetedStr::Last() const { return element(count_, "ParseDelimetedStr:Last Method"); }

QString ParseDelimetedStr::First() const { return element(1, "ParseDelimetedStr:First Method"); }

QString ParseDelimetedStr::element(std::int32_t index, const char* source) const {
  // Before the first SetString there is no array at all, not even element 0.
  if (!substrings_ || index < 0 || index >= substrings_->size())
    modErrorHandling::RaiseError(modErrorHandling::kParserErrorNumber, QString::fromLatin1(source));
  return substrings_->at(index);
}

}  // namespace support
