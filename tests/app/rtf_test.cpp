// The RTF reader and writer of the instruction pane.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextDocument>
#include <fstream>

#include "app/rtf/rtf_file.h"
#include "app/rtf/rtf_reader.h"
#include "app/rtf/rtf_writer.h"
#include "app/rtf/text_document_bridge.h"
#include "widget_test_environment.h"

using namespace rtf;

namespace {

RichText read(const char* rtf) { return readRtf(QByteArrayView(rtf)).text; }

// Through the pane's document and back, as a load and a save do.
RichText throughDocument(const RichText& content) {
  QTextDocument document;
  toTextDocument(content, document);
  return fromTextDocument(document);
}

constexpr const char* kSample =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman Times New Roman;}}\n"
    "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green64\\blue128;}\n"
    "{\\*\\generator Riched20 10.0;}\\viewkind4\\uc1\n"
    "\\pard\\qc\\b\\f0\\fs28\\cf2 Title\\b0\\par\n"
    "\\pard\\f1\\fs20 plain \\i italic\\i0  \\ul under\\ulnone  \\cf1 red\\cf0\\tab tab\\line next\\par\n"
    "\\pard\\qr caf\\'e9 \\u8364? {\\b bold} back\\par\n}";

}  // namespace

TEST(RtfReader, ParagraphsFormatsAndTables) {
  const ReadResult result = readRtf(kSample);
  EXPECT_TRUE(result.isRtf && result.clean);
  const RichText& t = result.text;
  ASSERT_EQ(t.paragraphs.size(), 4u);
  EXPECT_EQ(t.paragraphs[0].alignment, Alignment::Center);
  EXPECT_EQ(t.paragraphs[0].runs.at(0).format, (CharFormat{true, false, false, 28, "Arial", qRgb(0, 64, 128)}));
  EXPECT_EQ(t.paragraphs[1].runs.at(0).format.fontFamily, "Times New Roman");
  EXPECT_EQ(t.plainText(), QString::fromUtf8("Title\nplain italic under red\ttab\u2028next\ncaf\u00e9 \u20ac bold back\n"));
  EXPECT_EQ(t.paragraphs[2].alignment, Alignment::Right);
  const auto& runs = t.paragraphs[1].runs;
  auto runWith = [&](const char* s) {
    for (const rtf::Run& r : runs)
      if (r.text.contains(QString::fromLatin1(s))) return r.format;
    ADD_FAILURE() << s;
    return CharFormat{};
  };
  EXPECT_TRUE(runWith("italic").italic);
  EXPECT_TRUE(runWith("under").underline);
  EXPECT_EQ(runWith("red").color, qRgb(255, 0, 0));
  EXPECT_FALSE(runWith("plain").italic);
}

// Escapes and skipped destinations; malformed input read as far as it makes sense.
TEST(RtfReader, EscapesSkippedDestinationsAndMalformedInput) {
  const struct {
    QByteArray input;
    QString expected;
  } cases[] = {
      {"{\\rtf1 a\\\\b\\{c\\}d\\~e\\emdash f}", QString::fromUtf8("a\\b{c}d\u00a0e\u2014f")},
      {"{\\rtf1\\uc2 x\\u-3913\\'3f\\'3fy}", QString::fromUtf8("x\uf0b7y")},  // two fallback characters
      {"{\\rtf1 \\'93q\\'94 \\'80}", QString::fromUtf8("\u201cq\u201d \u20ac")},
      {"{\\rtf1{\\info{\\title T}}{\\*\\unknown x}{\\pict\\pngblip 89504e47}{\\stylesheet{s}}shown}", "shown"},
      {"{\\rtf1 a\\bin4 }}{{b}", "ab"},  // binary data is skipped by its length
      {"{\\rtf1{\\field{\\*\\fldinst HYPERLINK x}{\\fldrslt link}}}", "link"},
      {"{\\rtf1 x}tail", "x"},  // nothing after the document's group
      {"{\\rtf1 open {\\b group", "open group"},
      {"{\\rtf1 a}}}b", "a"},
      {"{\\rtf1 cut\\'4", "cut"},
      {"{\\rtf1 cut\\", "cut"},
      {"{\\rtf1 \\fs999999999999999999 big}", "big"},
      {"{\\rtf1 \\u99999999?u\\bin999999999}", "u"},
      {"{\\rtf1 " + QByteArray(200, 'x').prepend("\\") + " after}", "after"},
      {"{\\rtf1 " + QByteArray(100000, '{') + "deep" + QByteArray(100000, '}') + " shallow}", " shallow"},
      {"{\\rtf1{\\fonttbl{\\f0 " + QByteArray(100000, 'N') + ";}}x}", "x"},
  };
  for (const auto& c : cases) {
    const ReadResult result = readRtf(c.input);
    EXPECT_EQ(result.text.plainText(), c.expected) << c.input.left(40).toStdString();
    EXPECT_FALSE(result.text.paragraphs.empty());
  }
  EXPECT_FALSE(readRtf("{\\rtf1 open").clean);
  const ReadResult plain = readRtf("Just words\r\nsecond line");
  EXPECT_FALSE(plain.isRtf);
  EXPECT_EQ(plain.text.plainText(), "Just words\nsecond line");
}

TEST(RtfWriter, WhatIsWrittenReadsBackTheSameAndRewritesIdentically) {
  const RichText loaded = throughDocument(read(kSample));
  const QByteArray saved = writeRtf(loaded);
  const RichText reread = read(saved.constData());
  EXPECT_EQ(reread, loaded);
  EXPECT_EQ(throughDocument(reread), loaded);
  EXPECT_EQ(writeRtf(throughDocument(reread)), saved) << "Save RTF after Load RTF rewrites the same file";
  for (char c : saved) EXPECT_LT(static_cast<unsigned char>(c), 0x80u);

  // Text that looks like RTF and characters outside the code page survive.
  RichText t;
  Paragraph p;
  p.runs.push_back({QString::fromUtf8("{\\par} \u03a9 \U0001F600 \u00e9\t;"), {}});
  p.runs.back().format.fontFamily = "Odd {Font}; Name";
  t.paragraphs = {p, Paragraph{Alignment::Justify, {}}};
  EXPECT_EQ(read(writeRtf(t).constData()), t);
}

TEST(RtfFile, LoadSaveAndTheErrorNumbersAndGroupsNestedBeyondAnyWordProcessor) {
  QTemporaryDir dir;
  QTextDocument document;
  document.setPlainText("kept");
  EXPECT_EQ(loadRtfFile(dir.filePath("StateInfo5.rtf"), document).number, kFileNotFound);
  EXPECT_EQ(document.toPlainText(), "kept");
  EXPECT_EQ(loadRtfFile(dir.path(), document).number, kFileAccessError);
  EXPECT_EQ(saveRtfFile(dir.filePath("no/such/folder/x.rtf"), document).number, kFileAccessError);
  // Two million nested braces: the reader skips them without a deep stack, and the pane keeps
  // what it showed and says why.
  const QString deep = dir.filePath("StateInfo3.rtf");
  std::ofstream(deep.toStdString()) << "{\\rtf1 Intro " << std::string(2'000'000, '{') << "lost"
                                    << std::string(2'000'000, '}') << "}";
  const FileStatus refused = loadRtfFile(deep, document);
  EXPECT_EQ(refused.number, kInvalidFileFormat);
  EXPECT_TRUE(refused.description.contains(deep)) << refused.description.toStdString();
  EXPECT_EQ(document.toPlainText(), "kept");

  const QString path = dir.filePath("StateInfo1.rtf");
  std::ofstream(path.toStdString()) << kSample;
  QByteArray saved[2];
  for (QByteArray& bytes : saved) {
    ASSERT_EQ(loadRtfFile(path, document).number, 0);
    ASSERT_EQ(saveRtfFile(path, document).number, 0);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    bytes = f.readAll();
  }
  EXPECT_EQ(saved[1], saved[0]) << "a second load and save writes the same file";
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), (QStringList{"StateInfo1.rtf", "StateInfo3.rtf"}))
      << "no temporary file left";
}

TEST(RtfFile, TheShippedInstructionFilesReadCleanly) {
  const QString folder = QStringLiteral(QUILLARY_TEST_SOURCE_DIR "/app/Resources");
  for (int n = 1; n <= 9; ++n) {
    QFile f(QStringLiteral("%1/StateInfo%2.rtf").arg(folder).arg(n));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << n;
    const ReadResult result = readRtf(f.readAll());
    EXPECT_TRUE(result.isRtf && result.clean) << n;
    ASSERT_GE(result.text.paragraphs.size(), 2u) << n;
    EXPECT_TRUE(result.text.paragraphs[0].runs.at(0).format.bold) << "each starts with its heading";
  }
}
