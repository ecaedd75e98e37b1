#include "support/parse_delimeted_str.h"

#include <gtest/gtest.h>

#include <functional>

#include "support/raised_error.h"

namespace {

using support::ParseDelimetedStr;
using support::RaisedError;

constexpr std::int32_t kParserError = -2147221504 + 9999;

QStringList pieces(const QString& text, const QString& delimiter) {
  ParseDelimetedStr parser;
  parser.SetString(text, delimiter);
  QStringList result;
  for (std::int32_t i = 1; i <= parser.Count(); ++i) result << parser.Nth(i);
  return result;
}

// Runs call, which must raise the parser's error, and returns the source it named.
QString raisedSource(const std::function<void()>& call) {
  try {
    call();
  } catch (const RaisedError& error) {
    EXPECT_EQ(error.Number(), kParserError);
    EXPECT_EQ(error.Description(), "An unknown error has occurred!");
    return error.Source();
  }
  ADD_FAILURE() << "no error was raised";
  return {};
}

TEST(ParseDelimetedStr, SplitsAtEachDelimiter) {
  ParseDelimetedStr parser;
  parser.SetString("a\\b\\c", "\\");
  EXPECT_EQ(parser.Count(), 3);
  EXPECT_EQ(parser.First(), "a");
  EXPECT_EQ(parser.Nth(2), "b");
  EXPECT_EQ(parser.Last(), "c");
  EXPECT_EQ(parser.Nth(0), "");
}

TEST(ParseDelimetedStr, DelimiterPlacement) {
  EXPECT_EQ(pieces("abc", "\\"), QStringList{"abc"});
  EXPECT_EQ(pieces("a\\\\b", "\\"), (QStringList{"a", "", "b"}));
  EXPECT_EQ(pieces("\\a", "\\"), (QStringList{"", "a"}));
  // A delimiter at the end closes the last piece without opening an empty one.
  EXPECT_EQ(pieces("a\\b\\", "\\"), (QStringList{"a", "b"}));
  EXPECT_EQ(pieces("\\", "\\"), QStringList{""});
  EXPECT_EQ(pieces("x", "\\"), QStringList{"x"});
  EXPECT_EQ(pieces("/home/user/Backgrounds", "/"), (QStringList{"", "home", "user", "Backgrounds"}));
}

TEST(ParseDelimetedStr, ComparesExactlyAndCaseSensitively) {
  EXPECT_EQ(pieces("aXbxc", "x"), (QStringList{"aXb", "c"}));
  EXPECT_EQ(pieces("xabyab", "ab"), QStringList{"xabyab"});
  EXPECT_EQ(pieces("a,b", ""), QStringList{"a,b"});
  // One character outside Latin-1 still counts as one character.
  EXPECT_EQ(pieces(QString::fromUtf8("a\xE2\x80\xA2" "b"), QString::fromUtf8("\xE2\x80\xA2")), (QStringList{"a", "b"}));
}

TEST(ParseDelimetedStr, EmptyStringHasNoPieces) {
  ParseDelimetedStr parser;
  parser.SetString("", "\\");
  EXPECT_EQ(parser.Count(), 0);
  EXPECT_EQ(parser.Last(), "");
  EXPECT_EQ(parser.Nth(0), "");
  EXPECT_EQ(raisedSource([&] { parser.First(); }), "ParseDelimetedStr:First Method");
}

TEST(ParseDelimetedStr, SetStringReplacesEarlierContent) {
  ParseDelimetedStr parser;
  parser.SetString("a/b/c/d", "/");
  parser.SetString("x/y", "/");
  EXPECT_EQ(parser.Count(), 2);
  EXPECT_EQ(parser.Last(), "y");
  EXPECT_EQ(raisedSource([&] { parser.Nth(3); }), "ParseDelimetedStr:Nth Method");
}

TEST(ParseDelimetedStr, ReadsOutsideTheArrayRaiseTheParserError) {
  ParseDelimetedStr parser;
  EXPECT_EQ(parser.Count(), 0);
  EXPECT_EQ(raisedSource([&] { parser.Nth(0); }), "ParseDelimetedStr:Nth Method");
  EXPECT_EQ(raisedSource([&] { parser.Last(); }), "ParseDelimetedStr:Last Method");
  EXPECT_EQ(raisedSource([&] { parser.First(); }), "ParseDelimetedStr:First Method");

  parser.SetString("a\\b", "\\");
  EXPECT_EQ(raisedSource([&] { parser.Nth(3); }), "ParseDelimetedStr:Nth Method");
  EXPECT_EQ(raisedSource([&] { parser.Nth(-1); }), "ParseDelimetedStr:Nth Method");
  // A failed read leaves the content as it was.
  EXPECT_EQ(parser.Count(), 2);
  EXPECT_EQ(parser.Nth(2), "b");
}

TEST(ParseDelimetedStr, RaisedErrorExplainsItself) {
  ParseDelimetedStr parser;
  try {
    parser.Last();
    FAIL() << "no error was raised";
  } catch (const std::exception& error) {
    EXPECT_STREQ(error.what(), "ParseDelimetedStr:Last Method: An unknown error has occurred!");
  }
}

TEST(ParseDelimetedStr, EachInstanceGetsTheNextDebugID) {
  ParseDelimetedStr first;
  ParseDelimetedStr second;
  ParseDelimetedStr third;
  EXPECT_EQ(second.ClassDebugID(), first.ClassDebugID() + 1);
  EXPECT_EQ(third.ClassDebugID(), first.ClassDebugID() + 2);
}

}  // namespace
