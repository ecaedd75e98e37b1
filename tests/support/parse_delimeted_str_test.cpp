#include "support/parse_delimeted_str.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include "support/mod_class_id_generator.h"
#include "support/raised_error.h"

namespace {

using support::ParseDelimetedStr;
using support::RaisedError;

QStringList pieces(const QString& text, const QString& delimiter) {
  ParseDelimetedStr parser;
  parser.SetString(text, delimiter);
  QStringList result;
  for (std::int32_t i = 0; i <= parser.Count(); ++i) result << parser.Nth(i);
  return result;
}

// The error call raised, as "number source: description"; empty when it raised none.
QString raised(const std::function<void()>& call) {
  try {
    call();
  } catch (const RaisedError& error) {
    return QString("%1 %2: %3").arg(error.Number()).arg(error.Source(), error.Description());
  }
  return {};
}

TEST(ParseDelimetedStr, SplitsAtEachDelimiterAndRaisesOnEveryReadBeyondThePieces) {
  // Element 0 is always empty.
  EXPECT_EQ(pieces("a\\b\\c", "\\"), (QStringList{"", "a", "b", "c"}));
  EXPECT_EQ(pieces("abc", "\\"), (QStringList{"", "abc"}));
  EXPECT_EQ(pieces("a\\\\b", "\\"), (QStringList{"", "a", "", "b"}));
  EXPECT_EQ(pieces("\\a", "\\"), (QStringList{"", "", "a"}));
  // A delimiter at the end closes the last piece without opening an empty one.
  EXPECT_EQ(pieces("a\\b\\", "\\"), (QStringList{"", "a", "b"}));
  EXPECT_EQ(pieces("\\", "\\"), (QStringList{"", ""}));
  EXPECT_EQ(pieces("", "\\"), QStringList{""});
  // Exact, case-sensitive comparison with the whole delimiter.
  EXPECT_EQ(pieces("aXbxc", "x"), (QStringList{"", "aXb", "c"}));
  EXPECT_EQ(pieces("xabyab", "ab"), (QStringList{"", "xabyab"}));
  EXPECT_EQ(pieces("a,b", ""), (QStringList{"", "a,b"}));
  EXPECT_EQ(pieces(QString::fromUtf8("a\u2022b"), QString::fromUtf8("\u2022")), (QStringList{"", "a", "b"}));

  // First, last and every failure: -2147221504 + 9999, raised by the method named.
  const QString parserError = "-2147211505 ParseDelimetedStr:%1 Method: An unknown error has occurred!";
  ParseDelimetedStr parser;
  EXPECT_EQ(parser.Count(), 0);
  EXPECT_EQ(raised([&] { parser.Nth(0); }), parserError.arg("Nth"));
  EXPECT_EQ(raised([&] { parser.Last(); }), parserError.arg("Last"));
  EXPECT_EQ(raised([&] { parser.First(); }), parserError.arg("First"));

  parser.SetString("", "/");
  EXPECT_EQ(parser.Last(), "");
  EXPECT_EQ(raised([&] { parser.First(); }), parserError.arg("First"));

  parser.SetString("/home/user/Backgrounds", "/");
  EXPECT_EQ(parser.First(), "");
  EXPECT_EQ(parser.Last(), "Backgrounds");
  parser.SetString("x/y", "/");
  EXPECT_EQ(parser.First(), "x");
  EXPECT_EQ(raised([&] { parser.Nth(3); }), parserError.arg("Nth"));
  EXPECT_EQ(raised([&] { parser.Nth(-1); }), parserError.arg("Nth"));
  // A failed read leaves the content as it was.
  EXPECT_EQ(parser.Count(), 2);
  EXPECT_EQ(parser.Last(), "y");
}

TEST(DebugIDCounter, OverflowRaisesAndKeepsTheCounter) {
  constexpr std::int32_t largest = std::numeric_limits<std::int32_t>::max();
  support::modClassIDGenerator::DebugIDCounter counter(largest - 1);
  EXPECT_EQ(counter.Next(), largest);
  for (int attempt = 0; attempt < 2; ++attempt) EXPECT_EQ(raised([&] { counter.Next(); }), "6 Quillary: Overflow");
}

}  // namespace
