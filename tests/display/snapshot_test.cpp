#include "display/snapshot.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QImageReader>
#include <filesystem>
#include <string>

#include "test_files.h"

namespace zorvane {
namespace {

// The full-screen one first: the smaller one replacing it must not keep its tail, nor leave a
// temporary file beside it. Every pixel differs, so a mirrored or shifted image would show.
TEST(Snapshot, EachSnapshotReplacesTheFileWithTheWholeSurfaceAsABitmap) {
  testing::TempDir dir;
  const std::string path = dir.file("ZIDizizi.bmp");
  for (const QSize size : {QSize(1920, 1080), QSize(37, 23)}) {
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
      for (int x = 0; x < size.width(); ++x) image.setPixel(x, y, qRgb(x % 256, y % 256, x / 256 * 16 + y / 256));
    }
    ASSERT_EQ(save_snapshot(image, path), "");
    const std::string bytes = testing::read_bytes(path);
    ASSERT_GE(bytes.size(), 54u);
    std::uint32_t file_size = 0;  // the little-endian size field after "BM"
    for (std::size_t i = 6; i-- > 2;) file_size = (file_size << 8) | static_cast<unsigned char>(bytes[i]);
    EXPECT_EQ(std::pair(bytes.substr(0, 2), std::size_t{file_size}), std::pair(std::string("BM"), bytes.size()));
    QImageReader reader(QString::fromStdString(path));
    EXPECT_EQ(reader.format(), "bmp");
    EXPECT_EQ(reader.read().convertToFormat(QImage::Format_RGB32), image);
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

}  // namespace
}  // namespace zorvane
