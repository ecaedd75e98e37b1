// Thumbnails made by the engine for the chooser: what stays open afterwards.

#include <QImageReader>

#include "chooser_fixture.h"
#include "widget_test_environment.h"

using chooser_test::ChooserTest;

namespace {

class MakeThumbnailTest : public ChooserTest {
 protected:
  int openDocuments() { return engine.Documents().Count(); }
};

}  // namespace

TEST_F(MakeThumbnailTest, AFailureAfterOpeningClosesTheDocumentAndReachesTheCaller) {
  writePicture(backgrounds() + "/sky.png");
  app::Form1& form = loadedForm();
  for (const char* member : {"Document.Flatten", "Document.SaveAs"}) {
    engine.faults().failMember(member, engine::ErrorCode::Busy);
    EXPECT_THROW(form.MakeThumbnail((backgrounds() + "/sky.png").toStdString(),
                                    (backgrounds() + "/Preview/sky.jpg").toStdString()),
                 photoshop::AutomationError)
        << member;
    EXPECT_EQ(openDocuments(), 0) << member << " left the opened file in the engine";
  }
  EXPECT_FALSE(QFile::exists(backgrounds() + "/Preview/sky.jpg"));
}

TEST_F(MakeThumbnailTest, AFileTheUserHasOpenIsNeitherFlattenedNorClosed) {
  writeTemplate(templates() + "/Mine.psd");
  photoshop::Document mine = engine.Open((templates() + "/Mine.psd").toStdString());
  addLayer(mine, "Unsaved work");

  loadedForm().MakeThumbnail((templates() + "/Mine.psd").toStdString(),
                             (templates() + "/Preview/Mine.jpg").toStdString());

  ASSERT_EQ(openDocuments(), 1);
  EXPECT_EQ(engine.Documents()(1).Name(), "Mine.psd");
  EXPECT_EQ(mine.Layers().Count(), 3);
  EXPECT_EQ(mine.Layers()(1).Name(), "Unsaved work");
  EXPECT_EQ(QImageReader(templates() + "/Preview/Mine.jpg").size(), QSize(220, 165));
}
