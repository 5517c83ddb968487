#include "display/snapshot.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QImageReader>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "file_limits.h"
#include "test_files.h"

namespace zorvane {
namespace {

using testing::read_bytes;
using testing::TempDir;

std::uint32_t le32(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 4; i-- > 0;) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

std::size_t count_files(const std::string& folder) {
  return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

// A map surface whose pixels all differ, so a mirrored or shifted image would show.
QImage map_surface(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) image.setPixel(x, y, qRgb(x % 256, y % 256, x / 256 * 16 + y / 256));
  }
  return image;
}

// The full-screen one first: the smaller one replacing it must not keep its tail.
TEST(Snapshot, EachSnapshotReplacesTheFileWithTheWholeSurfaceAsABitmap) {
  TempDir dir;
  const std::string path = dir.file("ZIDizizi.bmp");
  for (const QSize size : {QSize(1920, 1080), QSize(37, 23)}) {
    const QImage image = map_surface(size.width(), size.height());
    ASSERT_EQ(save_snapshot(image, path), "");
    const std::string bytes = read_bytes(path);
    ASSERT_GE(bytes.size(), 54u);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    EXPECT_EQ(le32(bytes, 2), bytes.size());   // the file size field
    EXPECT_LT(le32(bytes, 10), bytes.size());  // where the pixels start
    EXPECT_GE(le32(bytes, 14), 40u);           // the DIB header's size
    // Width and height; a positive height: bottom-up.
    EXPECT_EQ(std::pair(le32(bytes, 18), le32(bytes, 22)), std::pair(std::uint32_t(size.width()), std::uint32_t(size.height())));
    QImageReader reader(QString::fromStdString(path));
    EXPECT_EQ(reader.format(), "bmp");
    EXPECT_EQ(reader.read().convertToFormat(QImage::Format_RGB32), image);
  }
  EXPECT_EQ(count_files(dir.path()), 1u);  // no temporary file left beside it
}

// A failed snapshot says why, naming the file, and leaves what was there whole, with no
// temporary file beside it.
TEST(Snapshot, FailureSaysWhyAndLeavesTheOldFileWhole) {
  const struct {
    const char* file;
    bool had_old, disk_full;
    QImage surface;
  } cases[] = {{"gone/ZIDizizi.bmp", false, false, map_surface(10, 10)}, {"ZIDizizi.bmp", true, true, map_surface(200, 200)},
               {"ZIDizizi.bmp", true, false, QImage()}};
  for (const auto& c : cases) {
    TempDir dir;
    if (c.had_old) dir.write(c.file, "the previous snapshot");
    const std::string path = dir.file(c.file);
    std::string error;
    {
      std::optional<testing::FileSizeLimit> limit;
      if (c.disk_full) limit.emplace(4096);  // the new bitmap needs about 120 KB
      error = save_snapshot(c.surface, path);
    }
    EXPECT_NE(error.find("\"" + path + "\""), std::string::npos) << error;
    EXPECT_GT(error.size(), path.size() + 40) << error;
    EXPECT_EQ(read_bytes(path), c.had_old ? "the previous snapshot" : "");
    EXPECT_EQ(count_files(dir.path()), c.had_old ? 1u : 0u);
  }
}

}  // namespace
}  // namespace zorvane
