// Keywords in IPTC and XMP: written into blocks that keep everything else they hold, read back
// the same, beyond ASCII too.

#include <gtest/gtest.h>

#include "formats/iptc_keywords.h"
#include "formats/xmp_keywords.h"

namespace {

std::vector<std::uint8_t> bytes(const std::string& s) { return {s.begin(), s.end()}; }
std::string text(const std::vector<std::uint8_t>& b) { return {b.begin(), b.end()}; }

const std::vector<std::string> kTag = {"Build Menu Complete", "6", "FTTTFFF"};

TEST(IptcKeywords, ReplacingKeywordsKeepsTheOtherDatasetsInOrderAndTextBeyondAsciiIsUtf8) {
  // 2:0 version, 2:05 title, 2:25 old keyword, 2:80 by-line, 3:10 something of record 3.
  const std::string record = std::string("\x1C\x02\x00\x00\x02\x00\x04", 7) + std::string("\x1C\x02\x05\x00\x05Title", 10) +
                             std::string("\x1C\x02\x19\x00\x03old", 8) + std::string("\x1C\x02\x50\x00\x03Zed", 8) +
                             std::string("\x1C\x03\x0A\x00\x01X", 6);
  const std::vector<std::uint8_t> patched = formats::iptcWithKeywords(bytes(record), kTag);
  EXPECT_EQ(formats::iptcKeywords(patched), kTag);
  const std::string out = text(patched);
  EXPECT_LT(out.find("Title"), out.find("Build Menu Complete"));
  EXPECT_LT(out.find("FTTTFFF"), out.find("Zed"));
  EXPECT_NE(out.find(std::string("\x1C\x03\x0A\x00\x01X", 6)), std::string::npos);
  EXPECT_EQ(out.find("old"), std::string::npos);

  EXPECT_TRUE(formats::iptcKeywords(formats::iptcWithKeywords(bytes(record), {})).empty());
  EXPECT_NE(text(formats::iptcWithKeywords(bytes(record), {})).find("Title"), std::string::npos);

  // Text beyond ASCII is declared UTF-8, and old code pages are read.
  const std::vector<std::string> words = {"Crème", "下書き"};
  const std::vector<std::uint8_t> made = formats::iptcWithKeywords({}, words);
  EXPECT_EQ(text(made).substr(0, 8), std::string("\x1C\x01\x5A\x00\x03\x1B\x25\x47", 8));
  EXPECT_EQ(formats::iptcKeywords(made), words);
  // Without the declaration, bytes that are not UTF-8 are the writer's code page.
  EXPECT_EQ(formats::iptcKeywords(bytes(std::string("\x1C\x02\x19\x00\x05" "Cr\xE8me", 10))),
            std::vector<std::string>{"Crème"});
}

TEST(XmpKeywords, SubjectIsReplacedAndEverythingElseKept) {
  const std::string packet =
      "<?xpacket begin=\"\"?><x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><rdf:RDF><rdf:Description rdf:about=\"\" "
      "xmlns:dc=\"http://purl.org/dc/elements/1.1/\" xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\" "
      "xmp:CreatorTool=\"Adobe Photoshop\"><dc:subject><rdf:Bag><rdf:li>old</rdf:li></rdf:Bag></dc:subject>"
      "<dc:format>image/vnd.adobe.photoshop</dc:format></rdf:Description></rdf:RDF></x:xmpmeta>"
      "<?xpacket end=\"w\"?>";
  const std::vector<std::string> words = {"a & b <c>", "\"quoted\""};
  const std::vector<std::uint8_t> patched = formats::xmpWithKeywords(bytes(packet), words);
  EXPECT_EQ(formats::xmpKeywords(patched), words);
  const std::string out = text(patched);
  for (const char* kept : {"xmp:CreatorTool=\"Adobe Photoshop\"", "<dc:format>image/vnd.adobe.photoshop</dc:format>",
                           "<?xpacket end=\"w\"?>"})
    EXPECT_NE(out.find(kept), std::string::npos) << kept;
  EXPECT_FALSE(formats::xmpKeywords(formats::xmpWithKeywords(bytes(packet), {})).has_value());
}

TEST(XmpKeywords, SubjectIsAddedToADescriptionThatHasNoneOrADamagedOne) {
  for (const std::string description : {"<rdf:Description rdf:about=\"\" a=\"x>y\"/>",
                                        "<rdf:Description rdf:about=\"\"><b>1</b></rdf:Description>"}) {
    SCOPED_TRACE(description);
    const std::string packet = "<x:xmpmeta><rdf:RDF>" + description + "</rdf:RDF></x:xmpmeta>";
    const std::vector<std::uint8_t> patched = formats::xmpWithKeywords(bytes(packet), kTag);
    EXPECT_EQ(formats::xmpKeywords(patched), kTag);
    EXPECT_NE(text(patched).find("xmlns:dc=\"http://purl.org/dc/elements/1.1/\""), std::string::npos);
    EXPECT_NE(text(patched).find("</rdf:RDF></x:xmpmeta>"), std::string::npos);
  }
  EXPECT_EQ(formats::xmpKeywords(formats::xmpWithKeywords({}, {"Ünïcode ✓"})), std::vector<std::string>{"Ünïcode ✓"});
  EXPECT_EQ(formats::xmpKeywords(bytes("<dc:subject><rdf:Bag><rdf:li>&#x41;&#66;</rdf:li></rdf:Bag></dc:subject>")),
            std::vector<std::string>{"AB"});

  // A packet damaged as a fuzzer found it: a start tag cut short inside a quoted value, and
  // dc:subject's own tags broken. The keywords must read back, and saving again must not add
  // them once more.
  const std::string damaged =
      "<x:xmpmeta><rdf:RDF><rdf:Description rdf:abou\x8a\xc2\"\x03xmlns<dc:subject/purl.org/dc/elements/0.1/\">"
      "<dc:subje\x96rdf:Bag><rdf:li>k</rdf:li></rdf:Bag></dc:subjecv></rdf:Description></rdf:RDF></x:xmpmeta>";
  const std::vector<std::string> words{"Build Menu Complete", "4"};
  const std::vector<std::uint8_t> once = formats::xmpWithKeywords(bytes(damaged), words);
  EXPECT_EQ(formats::xmpKeywords(once), words);
  EXPECT_EQ(formats::xmpWithKeywords(once, words), once);
}

}  // namespace

