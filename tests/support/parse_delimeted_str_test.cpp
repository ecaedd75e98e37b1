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

// Runs call, which must raise the parser's error, and returns the source it named.
QString raisedSource(const std::function<void()>& call) {
  try {
    call();
  } catch (const RaisedError& error) {
    EXPECT_EQ(error.Number(), -2147221504 + 9999);
    EXPECT_EQ(error.Description(), "An unknown error has occurred!");
    return error.Source();
  }
  ADD_FAILURE() << "no error was raised";
  return {};
}

TEST(ParseDelimetedStr, SplitsAtEachSingleCharacterDelimiter) {
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
}

TEST(ParseDelimetedStr, FirstLastAndEveryFailure) {
  ParseDelimetedStr parser;
  EXPECT_EQ(parser.Count(), 0);
  EXPECT_EQ(raisedSource([&] { parser.Nth(0); }), "ParseDelimetedStr:Nth Method");
  EXPECT_EQ(raisedSource([&] { parser.Last(); }), "ParseDelimetedStr:Last Method");
  EXPECT_EQ(raisedSource([&] { parser.First(); }), "ParseDelimetedStr:First Method");

  parser.SetString("", "/");
  EXPECT_EQ(parser.Last(), "");
  EXPECT_EQ(raisedSource([&] { parser.First(); }), "ParseDelimetedStr:First Method");

  parser.SetString("/home/user/Backgrounds", "/");
  EXPECT_EQ(parser.First(), "");
  EXPECT_EQ(parser.Last(), "Backgrounds");
  parser.SetString("x/y", "/");
  EXPECT_EQ(parser.First(), "x");
  EXPECT_EQ(raisedSource([&] { parser.Nth(3); }), "ParseDelimetedStr:Nth Method");
  EXPECT_EQ(raisedSource([&] { parser.Nth(-1); }), "ParseDelimetedStr:Nth Method");
  // A failed read leaves the content as it was.
  EXPECT_EQ(parser.Count(), 2);
  EXPECT_EQ(parser.Last(), "y");
}

TEST(DebugIDCounter, OverflowRaisesAndKeepsTheCounter) {
  constexpr std::int32_t largest = std::numeric_limits<std::int32_t>::max();
  support::modClassIDGenerator::DebugIDCounter counter(largest - 1);
  EXPECT_EQ(counter.Next(), largest);
  for (int attempt = 0; attempt < 2; ++attempt) {
    try {
      counter.Next();
      ADD_FAILURE() << "no overflow was raised";
    } catch (const RaisedError& error) {
      EXPECT_EQ(error.Number(), 6);
      EXPECT_EQ(error.Description(), "Overflow");
    }
  }
}

}  // namespace
