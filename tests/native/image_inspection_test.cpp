#include "app/image_inspection.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "doubles/fixed_number_format.h"
#include "doubles/memory_files.h"
#include "doubles/recording_main_view.h"
#include "support/error.h"

namespace {

using corvane::app::ImageInspection;
using corvane::app::InfoRow;

// The main window's image logic over images in memory (only their lengths matter).
class ImageInspectionTest : public testing::Test {
 protected:
  ImageInspectionTest() {
    files.AddWithLength("wiped.gcm", 1'459'978'239);
    files.AddWithLength("good.gcm", 1'459'978'240);
    files.AddWithLength("oversize.gcm", 1'459'978'241);
    files.AddWithLength("dvd.iso", 4'699'979'776);
    files.Add("empty.gcm", {});
    files.Add("kilo.gcm", std::vector<std::uint8_t>(1024));
  }

  void Open(const std::string& path) {
    inspection.OpenImageStream(path);
    inspection.ShowImageSize();
  }

  doubles::MemoryFiles files;
  platform::FileTable table{files};
  doubles::RecordingMainView view;
  doubles::FixedNumberFormat format{"."};
  ImageInspection inspection{
      view,
      [this] { return std::make_unique<corvane::cBinaryFileStream>(table, files, "Corvane"); },
      format};
};

TEST_F(ImageInspectionTest, FullSizeImageIsGood) {
  Open("good.gcm");
  EXPECT_EQ(view.info[1], "1459978240 Bytes / 1.36 GB");
  EXPECT_EQ(view.info[2], "Good Image");
  EXPECT_EQ(view.advice, "This image is okay, nothing to do.");
  EXPECT_EQ(inspection.ImageState(), 1);
}

TEST_F(ImageInspectionTest, OneByteShortIsWiped) {
  Open("wiped.gcm");
  EXPECT_EQ(view.info[2], "Wiped Image");
  EXPECT_EQ(view.advice, "You should consider rebuilding this image.");
  EXPECT_EQ(inspection.ImageState(), 0);
}

TEST_F(ImageInspectionTest, OneByteOverIsOversize) {
  Open("oversize.gcm");
  EXPECT_EQ(view.info[2], "Oversize Image?");
  EXPECT_EQ(view.advice, "Oversized image, cannot give advice.");
  EXPECT_EQ(inspection.ImageState(), 2);
}

TEST_F(ImageInspectionTest, SmallImagesShowBytesAndKilobytes) {
  Open("empty.gcm");
  EXPECT_EQ(view.info[1], "0 Bytes / 0.00 Bytes");
  EXPECT_EQ(inspection.ImageState(), 0);
  Open("kilo.gcm");
  EXPECT_EQ(view.info[1], "1024 Bytes / 1.00 KB");
}

TEST_F(ImageInspectionTest, ImageOf4GiBAndMoreIsOversizeWithItsTrueSize) {
  Open("dvd.iso");
  EXPECT_EQ(view.info[1], "4699979776 Bytes / 4.38 GB");
  EXPECT_EQ(view.info[2], "Oversize Image?");
  EXPECT_EQ(inspection.ImageState(), 2);
}

TEST_F(ImageInspectionTest,
       OversizeThenWipedChangesEverythingAndClosesTheFirstOnceTheSecondIsOpen) {
  Open("oversize.gcm");
  Open("wiped.gcm");
  EXPECT_EQ(inspection.ImageState(), 0);
  EXPECT_EQ(view.info[1], "1459978239 Bytes / 1.36 GB");
  EXPECT_EQ(view.info[2], "Wiped Image");
  EXPECT_EQ(files.OpenCount(), 1);
  EXPECT_EQ(files.journal,
            (std::vector<std::string>{"search oversize.gcm", "open oversize.gcm",
                                      "search wiped.gcm", "open wiped.gcm", "close oversize.gcm"}));
}

TEST_F(ImageInspectionTest, WritesSizeThenAdviceThenStatus) {
  Open("good.gcm");
  EXPECT_EQ(view.writes, (std::vector<std::string>{"I_Info(1)", "L_Advice", "I_Info(2)"}));
}

TEST_F(ImageInspectionTest, ImageThatCannotBeOpenedChangesNothingShown) {
  Open("oversize.gcm");
  view.writes.clear();
  EXPECT_THROW(inspection.OpenImageStream("missing.gcm"), corvane::Error);
  EXPECT_TRUE(view.writes.empty());
  EXPECT_EQ(inspection.ImageState(), 2);
  // The image shown stays held open against writers.
  EXPECT_EQ(files.OpenCount(), 1);
  EXPECT_EQ(files.journal.back(), "search missing.gcm");
  inspection.ShowImageSize();
  EXPECT_EQ(view.info[1], "1459978241 Bytes / 1.36 GB");
}

TEST_F(ImageInspectionTest, DecimalCommaOfTheUsersLocaleAppearsInTheSizeLine) {
  doubles::FixedNumberFormat comma(",");
  ImageInspection withComma(
      view,
      [this] { return std::make_unique<corvane::cBinaryFileStream>(table, files, "Corvane"); },
      comma);
  withComma.OpenImageStream("good.gcm");
  withComma.ShowImageSize();
  EXPECT_EQ(view.info[1], "1459978240 Bytes / 1,36 GB");
}

}  // namespace
