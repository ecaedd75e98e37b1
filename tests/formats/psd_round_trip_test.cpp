// Engine document -> PSD -> engine document gives the same document, whatever the channel
// compression, and writing what was read gives the same bytes again.

#include <gtest/gtest.h>

#include "document_compare.h"
#include "formats/document_io.h"
#include "formats/psd_writer.h"
#include "sample_documents.h"

namespace {

engine::DocumentContent roundTrip(const engine::DocumentContent& doc,
                                  formats::Compression compression = formats::Compression::Rle) {
  return formats::decodePsd(formats::encodePsd(doc, compression), "round trip").content;
}

TEST(PsdRoundTrip, EveryFeatureSurvivesWithEveryCompression) {
  const engine::DocumentContent doc = samples::richDocument();
  for (auto compression : {formats::Compression::Raw, formats::Compression::Rle, formats::Compression::Zip,
                           formats::Compression::ZipPredicted}) {
    SCOPED_TRACE(int(compression));
    EXPECT_EQ(compare::documentsDiffer(doc, roundTrip(doc, compression)), "");
  }
}

TEST(PsdRoundTrip, MenuAndLargeDocumentsSurvive) {
  for (const engine::DocumentContent& doc : {samples::menuDocument(), samples::largeDocument(14, 400, 300)})
    EXPECT_EQ(compare::documentsDiffer(doc, roundTrip(doc)), "");
}

TEST(PsdRoundTrip, WritingWhatWasReadGivesTheSameFile) {
  const std::vector<std::uint8_t> first = formats::encodePsd(samples::richDocument());
  const std::vector<std::uint8_t> second = formats::encodePsd(formats::decodePsd(first, "first").content);
  EXPECT_EQ(first, second);
}

// Other readers tell shape layers and protected transparency by these bits.
TEST(PsdRoundTrip, LayerFlagsTheEngineDoesNotUseAreKept) {
  engine::DocumentContent doc = samples::menuDocument(64, 48);
  doc.layers[0].keptRecordFlags = 0x01;
  doc.layers[1].keptRecordFlags = 0x10 | 0x20;
  doc.layers[2].keptRecordFlags = 0x01 | 0x20 | 0x80;
  doc.layers[2].visible = false;
  const engine::DocumentContent back = roundTrip(doc);
  EXPECT_EQ(compare::documentsDiffer(doc, back), "");
  EXPECT_FALSE(back.layers[2].visible);
}

TEST(PsdRoundTrip, LinkGroupsBeyondSixteenBitsKeepTheirMembers) {
  engine::DocumentContent doc = samples::menuDocument(64, 48);
  doc.layers[0].linkGroup = 70000;
  doc.layers[2].linkGroup = 70000;
  doc.layers[3].linkGroup = 5;
  const engine::DocumentContent back = roundTrip(doc);
  EXPECT_NE(back.layers[0].linkGroup, 0u);
  EXPECT_EQ(back.layers[0].linkGroup, back.layers[2].linkGroup);
  EXPECT_NE(back.layers[3].linkGroup, back.layers[0].linkGroup);
  EXPECT_EQ(back.layers[1].linkGroup, 0u);
}

TEST(PsdRoundTrip, KeywordsChangedAfterReadingReplaceTheOldOnesInBothPlaces) {
  engine::DocumentContent doc = roundTrip(samples::richDocument());
  doc.keywords = {"Build Menu Complete", "3"};
  const engine::DocumentContent back = roundTrip(doc);
  EXPECT_EQ(back.keywords, doc.keywords);
  EXPECT_EQ(compare::documentsDiffer(doc, back), "");
}

TEST(PsdRoundTrip, ChangedResolutionIsWrittenIntoTheKeptBlock) {
  engine::DocumentContent doc = samples::menuDocument(32, 32);
  doc.resources.push_back({1005, "", std::make_shared<const std::vector<std::uint8_t>>(std::vector<std::uint8_t>{
                                         0, 72, 0, 0, 0, 2, 0, 1, 0, 72, 0, 0, 0, 2, 0, 1})});
  doc.resolution = 150.0;
  const engine::DocumentContent back = roundTrip(doc);
  EXPECT_DOUBLE_EQ(back.resolution, 150.0);
  ASSERT_EQ(back.resources.size(), 1u);
  // The display units (centimetres) the file had are kept.
  EXPECT_EQ((*back.resources[0].data)[5], 2);
}

}  // namespace
