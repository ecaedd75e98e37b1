#include "app/rtf/rtf_reader.h"

#include <QStringList>
#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <string_view>
#include <unordered_set>

namespace rtf {

namespace {

// Bounds: nesting, table sizes and the lengths of the pieces of a control word.
constexpr std::size_t kMaxDepth = kMaxGroupDepth;
constexpr std::size_t kMaxFonts = 1024;
constexpr std::size_t kMaxColors = 1024;
constexpr qsizetype kMaxFontName = 256;
constexpr int kMaxWordLength = 32;
constexpr int kMaxParamDigits = 10;
constexpr int kMaxUnicodeSkip = 16;
constexpr int kMinHalfPoints = 2;
constexpr int kMaxHalfPoints = 3276;

// Code page 1252 from 0x80 to 0x9F; the five unassigned bytes keep their C1 code points.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Destinations whose content is never shown, even without \*.
const std::unordered_set<std::string_view>& skippedDestinations() {
  static const std::unordered_set<std::string_view> names = {
      "author",   "buptim",     "comment",  "creatim",   "doccomm",     "footer",      "footerf",   "footerl",
      "footerr",  "footnote",   "ftncn",    "ftnsep",    "ftnsepc",     "header",      "headerf",   "headerl",
      "headerr",  "info",       "keywords", "operator",  "pict",        "printim",     "private1",  "revtim",
      "rxe",      "stylesheet", "subject",  "tc",        "title",       "txe",         "xe",        "fldinst",
      "object",   "nonshppict", "shp",      "listtable", "listoverridetable", "rsidtbl", "generator", "filetbl",
      "revtbl",   "themedata",  "datastore", "latentstyles", "colorschememapping", "xmlnstbl", "pgdsctbl"};
  return names;
}

enum class Destination { Text, Skip, FontTable, ColorTable };

struct GroupState {
  Destination destination = Destination::Text;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  int halfPoints = 24;
  int font = -1;  // -1: the document's default font
  int color = 0;  // 0: automatic
  Alignment alignment = Alignment::Left;
  int unicodeSkip = 1;
};

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
int hexValue(char c) {
  if (isDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

class Reader {
 public:
  explicit Reader(QByteArrayView data) : data_(data) {}

  ReadResult read() {
    while (pos_ < data_.size() && !done_) step();
    if (!done_) {
      clean_ = false;  // groups left open
      endParagraph();
    }
    result_.text.normalize();
    result_.clean = clean_;
    return std::move(result_);
  }

 private:
  void step() {
    const char c = data_[pos_];
    if (overflowDepth_ > 0) {
      skipOverflow(c);
      return;
    }
    switch (c) {
      case '{': ++pos_; openGroup(); break;
      case '}': ++pos_; closeGroup(); break;
      case '\\': ++pos_; control(); break;
      case '\r':
      case '\n': ++pos_; break;
      default:
        ++pos_;
        atGroupStart_ = false;
        textByte(static_cast<unsigned char>(c));
    }
  }

  // Groups nested too deeply are skipped whole, escapes included.
  void skipOverflow(char c) {
    ++pos_;
    if (c == '\\')
      ++pos_;
    else if (c == '{')
      ++overflowDepth_;
    else if (c == '}')
      --overflowDepth_;
  }

  void openGroup() {
    if (stack_.size() >= kMaxDepth) {
      overflowDepth_ = 1;
      clean_ = false;
      result_.tooDeep = true;
      return;
    }
    stack_.push_back(state_);
    atGroupStart_ = true;
    starred_ = false;
  }

  void closeGroup() {
    pendingSkip_ = 0;
    if (state_.destination == Destination::FontTable) commitFont();
    if (stack_.empty()) {
      clean_ = false;  // a closing brace without its opening one
      return;
    }
    if (stack_.size() == 1) endParagraph();  // the last paragraph keeps the document's own properties
    state_ = stack_.back();
    stack_.pop_back();
    formatChanged_ = true;
    if (stack_.empty()) done_ = true;  // the document's outer group has ended
  }

  void control() {
    if (pos_ >= data_.size()) {
      clean_ = false;
      return;
    }
    const char c = data_[pos_];
    if (isLetter(c)) {
      controlWord();
    } else {
      ++pos_;
      controlSymbol(c);
    }
  }

  void controlWord() {
    const qsizetype start = pos_;
    while (pos_ < data_.size() && isLetter(data_[pos_])) ++pos_;
    if (pos_ - start > kMaxWordLength) clean_ = false;
    const std::string_view word(data_.data() + start, std::size_t(std::min<qsizetype>(pos_ - start, kMaxWordLength)));

    std::optional<int> param;
    bool negative = false;
    if (pos_ < data_.size() && data_[pos_] == '-' && pos_ + 1 < data_.size() && isDigit(data_[pos_ + 1])) {
      negative = true;
      ++pos_;
    }
    if (pos_ < data_.size() && isDigit(data_[pos_])) {
      long long value = 0;
      int digits = 0;
      while (pos_ < data_.size() && isDigit(data_[pos_])) {
        if (digits++ < kMaxParamDigits) value = value * 10 + (data_[pos_] - '0');
        ++pos_;
      }
      if (digits > kMaxParamDigits) clean_ = false;
      if (negative) value = -value;
      param = int(std::clamp<long long>(value, INT32_MIN, INT32_MAX));
    }
    if (pos_ < data_.size() && data_[pos_] == ' ') ++pos_;  // the delimiting blank belongs to the word

    const bool groupStart = atGroupStart_;
    const bool starred = starred_;
    atGroupStart_ = false;
    starred_ = false;
    if (groupStart && enterDestination(word, starred)) return;
    if (word == "bin") {
      skipBinary(param.value_or(0));
      return;
    }
    if (pendingSkip_ > 0) {
      --pendingSkip_;
      return;
    }
    applyWord(word, param);
  }

  // The first word of a group may name its destination.
  bool enterDestination(std::string_view word, bool starred) {
    if (word == "fonttbl") {
      state_.destination = Destination::FontTable;
      return true;
    }
    if (word == "colortbl") {
      state_.destination = Destination::ColorTable;
      colorPending_ = {};
      return true;
    }
    if (skippedDestinations().count(word) || (starred && word != "fldrslt")) {
      state_.destination = Destination::Skip;
      return true;
    }
    return false;
  }

  void skipBinary(int count) {
    const qsizetype n = std::min<qsizetype>(std::max(count, 0), data_.size() - pos_);
    pos_ += n;
  }

  void applyWord(std::string_view w, std::optional<int> param) {
    const int p = param.value_or(1);
    if (w == "par" || w == "sect" || w == "page") {
      if (textDestination()) endParagraph();
    } else if (w == "line") {
      put(QChar::LineSeparator);
    } else if (w == "tab") {
      put(u'\t');
    } else if (w == "u") {
      unicode(param.value_or(0));
    } else if (w == "uc") {
      state_.unicodeSkip = std::clamp(p, 0, kMaxUnicodeSkip);
    } else if (w == "plain") {
      state_.bold = state_.italic = state_.underline = false;
      state_.halfPoints = 24;
      state_.font = -1;
      state_.color = 0;
      formatChanged_ = true;
    } else if (w == "pard") {
      state_.alignment = Alignment::Left;
    } else if (w == "ql") {
      state_.alignment = Alignment::Left;
    } else if (w == "qc") {
      state_.alignment = Alignment::Center;
    } else if (w == "qr") {
      state_.alignment = Alignment::Right;
    } else if (w == "qj") {
      state_.alignment = Alignment::Justify;
    } else if (w == "b") {
      setFlag(state_.bold, p != 0);
    } else if (w == "i") {
      setFlag(state_.italic, p != 0);
    } else if (w == "ul" || w == "uld" || w == "uldb" || w == "ulw" || w == "uldash" || w == "ulth") {
      setFlag(state_.underline, p != 0);
    } else if (w == "ulnone") {
      setFlag(state_.underline, false);
    } else if (w == "fs") {
      state_.halfPoints = param && *param > 0 ? std::clamp(*param, kMinHalfPoints, kMaxHalfPoints) : 24;
      formatChanged_ = true;
    } else if (w == "f") {
      fontWord(param.value_or(0));
    } else if (w == "deff") {
      defaultFont_ = param.value_or(0);
      formatChanged_ = true;
    } else if (w == "cf") {
      state_.color = std::max(param.value_or(0), 0);
      formatChanged_ = true;
    } else if (w == "red" || w == "green" || w == "blue") {
      colorComponent(w, param.value_or(0));
    } else if (w == "emdash") {
      put(QChar(0x2014));
    } else if (w == "endash") {
      put(QChar(0x2013));
    } else if (w == "bullet") {
      put(QChar(0x2022));
    } else if (w == "lquote") {
      put(QChar(0x2018));
    } else if (w == "rquote") {
      put(QChar(0x2019));
    } else if (w == "ldblquote") {
      put(QChar(0x201C));
    } else if (w == "rdblquote") {
      put(QChar(0x201D));
    }
  }

  void setFlag(bool& flag, bool on) {
    flag = on;
    formatChanged_ = true;
  }

  void fontWord(int number) {
    if (state_.destination == Destination::FontTable) {
      commitFont();
      fontNumber_ = number;
      return;
    }
    state_.font = number;
    formatChanged_ = true;
  }

  void colorComponent(std::string_view w, int value) {
    if (state_.destination != Destination::ColorTable) return;
    const int v = std::clamp(value, 0, 255);
    colorPending_.set = true;
    if (w == "red") colorPending_.red = v;
    if (w == "green") colorPending_.green = v;
    if (w == "blue") colorPending_.blue = v;
  }

  void controlSymbol(char c) {
    atGroupStart_ = atGroupStart_ && c == '*';
    if (c == '*') {
      starred_ = true;
      return;
    }
    if (c == '\'') {
      hexEscape();
      return;
    }
    if (pendingSkip_ > 0) {
      --pendingSkip_;
      return;
    }
    switch (c) {
      case '\\':
      case '{':
      case '}': character(QChar::fromLatin1(c)); break;
      case '~': put(QChar(0x00A0)); break;
      case '_': put(QChar(0x2011)); break;
      case '\r':
      case '\n':
        if (textDestination()) endParagraph();
        break;
      default: break;  // \- optional hyphen, \: index entries and unknown symbols show nothing
    }
  }

  void hexEscape() {
    const int high = pos_ < data_.size() ? hexValue(data_[pos_]) : -1;
    const int low = pos_ + 1 < data_.size() ? hexValue(data_[pos_ + 1]) : -1;
    if (high < 0 || low < 0) {
      if (high >= 0) ++pos_;  // a cut escape drops its one digit
      clean_ = false;
      return;
    }
    pos_ += 2;
    if (pendingSkip_ > 0) {
      --pendingSkip_;
      return;
    }
    const QChar ch = fromCp1252(static_cast<unsigned char>(high * 16 + low));
    // An escaped ';' belongs to a font's name instead of ending it.
    if (state_.destination == Destination::FontTable && ch == u';')
      appendToFontName(ch);
    else
      character(ch);
  }

  void unicode(int value) {
    if (value < 0) value += 65536;
    if (value < 0 || value > 0xFFFF) {
      clean_ = false;
    } else if (value == 0x2029) {
      put(QChar::LineSeparator);  // paragraphs end only at \par
    } else {
      put(QChar(char16_t(value)));
    }
    pendingSkip_ = state_.unicodeSkip;
  }

  void textByte(unsigned char byte) {
    if (pendingSkip_ > 0) {
      --pendingSkip_;
      return;
    }
    if (byte == '\t') {
      put(u'\t');
      return;
    }
    if (byte < 0x20) return;
    character(fromCp1252(byte));
  }

  // A character of the text: shown, or part of a font name or colour table entry.
  void character(QChar ch) {
    switch (state_.destination) {
      case Destination::Text: put(ch); break;
      case Destination::FontTable:
        if (ch == u';')
          commitFont();
        else
          appendToFontName(ch);
        break;
      case Destination::ColorTable:
        if (ch == u';') commitColor();
        break;
      case Destination::Skip: break;
    }
  }

  void appendToFontName(QChar ch) {
    if (fontName_.size() < kMaxFontName) fontName_ += ch;
  }

  void commitFont() {
    if (fontNumber_ >= 0 && fonts_.size() < kMaxFonts) fonts_[fontNumber_] = fontName_.trimmed();
    fontNumber_ = -1;
    fontName_.clear();
    formatChanged_ = true;
  }

  void commitColor() {
    if (colors_.size() < kMaxColors)
      colors_.push_back(colorPending_.set ? std::optional(qRgb(colorPending_.red, colorPending_.green, colorPending_.blue))
                                          : std::nullopt);
    colorPending_ = {};
    formatChanged_ = true;
  }

  bool textDestination() const { return state_.destination == Destination::Text; }

  void put(QChar ch) {
    // Control characters other than tabs have no place in a paragraph.
    if (!textDestination() || (ch.unicode() < 0x20 && ch != u'\t')) return;
    if (formatChanged_) {
      const CharFormat format = currentFormat();
      if (format != runFormat_) {
        flushRun();
        runFormat_ = format;
      }
      formatChanged_ = false;
    }
    runText_ += ch;
  }

  CharFormat currentFormat() const {
    CharFormat f;
    f.bold = state_.bold;
    f.italic = state_.italic;
    f.underline = state_.underline;
    f.halfPoints = state_.halfPoints;
    const auto font = fonts_.find(state_.font < 0 ? defaultFont_ : state_.font);
    if (font != fonts_.end()) f.fontFamily = font->second;
    // Entry 0 of the colour table is the automatic colour; \cf names entries from there.
    if (state_.color > 0 && std::size_t(state_.color) < colors_.size()) f.color = colors_[std::size_t(state_.color)];
    return f;
  }

  void flushRun() {
    if (runText_.isEmpty()) return;
    paragraph_.runs.push_back({runText_, runFormat_});
    runText_.clear();
  }

  void endParagraph() {
    flushRun();
    paragraph_.alignment = state_.alignment;
    result_.text.paragraphs.push_back(std::move(paragraph_));
    paragraph_ = {};
  }

  struct PendingColor {
    bool set = false;
    int red = 0, green = 0, blue = 0;
  };

  QByteArrayView data_;
  qsizetype pos_ = 0;
  bool done_ = false;
  bool clean_ = true;
  std::vector<GroupState> stack_;
  GroupState state_;
  int overflowDepth_ = 0;
  bool atGroupStart_ = false;
  bool starred_ = false;
  int pendingSkip_ = 0;

  std::map<int, QString> fonts_;
  int defaultFont_ = 0;
  int fontNumber_ = -1;
  QString fontName_;
  std::vector<std::optional<QRgb>> colors_;
  PendingColor colorPending_;

  bool formatChanged_ = true;
  CharFormat runFormat_;
  QString runText_;
  Paragraph paragraph_;
  ReadResult result_;
};

ReadResult readPlainText(QByteArrayView data) {
  ReadResult result;
  result.isRtf = false;
  QString text = QString::fromUtf8(data);
  // Control characters other than tabs have no place in a paragraph, as in rich text.
  text.removeIf([](QChar ch) { return ch.unicode() < 0x20 && ch != u'\t' && ch != u'\n'; });
  for (const QString& line : text.split(u'\n')) {
    Paragraph paragraph;
    if (!line.isEmpty()) paragraph.runs.push_back({line, {}});
    result.text.paragraphs.push_back(std::move(paragraph));
  }
  return result;
}

}  // namespace

QChar fromCp1252(unsigned char byte) {
  if (byte >= 0x80 && byte < 0xA0) return QChar(kCp1252High[byte - 0x80]);
  return QChar(char16_t(byte));
}

int toCp1252(QChar ch) {
  const char16_t u = ch.unicode();
  if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return u;
  for (std::size_t i = 0; i < kCp1252High.size(); ++i)
    if (kCp1252High[i] == u) return int(0x80 + i);
  return -1;
}

ReadResult readRtf(QByteArrayView data) {
  qsizetype start = 0;
  while (start < data.size() && (data[start] == ' ' || data[start] == '\r' || data[start] == '\n' || data[start] == '\t'))
    ++start;
  if (!data.sliced(start).startsWith("{\\rtf")) return readPlainText(data);
  return Reader(data.sliced(start)).read();
}

}  // namespace rtf
