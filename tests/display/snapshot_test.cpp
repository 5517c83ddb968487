#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <string>

#include <QImage>
#include <QImageReader>
#include <QPainter>

#include <sys/resource.h>

#include "display/snapshot.h"
#include "test_files.h"

namespace zorvane {
namespace {

using testing::read_bytes;
using testing::TempDir;

std::uint32_t le32(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
  return value;
}

// A map surface with distinct pixels, so a mirrored or shifted image would show.
QImage map_surface(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(QColor(40, 80, 120));
  QPainter painter(&image);
  painter.fillRect(QRect(0, 0, 5, 3), QColor(255, 0, 0));
  painter.fillRect(QRect(width - 4, height - 2, 4, 2), QColor(0, 255, 0));
  painter.fillRect(QRect(width / 2, height / 3, 7, 5), QColor(15, 165, 0));
  return image;
}

// Makes writes beyond `bytes` fail in this process, as a full disk would, until it goes.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_);
    old_handler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, old_handler_);
  }

 private:
  rlimit old_{};
  void (*old_handler_)(int) = nullptr;
};

TEST(Snapshot, PathIsTheProgramFolderAndTheFixedName) {
  EXPECT_EQ(snapshot_path("/opt/zorvane"), "/opt/zorvane/ZIDizizi.bmp");
  EXPECT_EQ(snapshot_path("C:\\Games\\Zorvane"), "C:\\Games\\Zorvane\\ZIDizizi.bmp");
}

TEST(Snapshot, SavesTheWholeSurfaceAsABitmap) {
  TempDir dir;
  const std::string path = dir.file("ZIDizizi.bmp");
  const QImage image = map_surface(37, 23);
  ASSERT_EQ(save_snapshot(image, path), "");

  const std::string bytes = read_bytes(path);
  ASSERT_GE(bytes.size(), 54u);
  EXPECT_EQ(bytes.substr(0, 2), "BM");
  EXPECT_EQ(le32(bytes, 2), bytes.size());  // the file size field
  EXPECT_LT(le32(bytes, 10), bytes.size());  // where the pixels start
  EXPECT_GE(le32(bytes, 14), 40u);           // the DIB header's size
  EXPECT_EQ(le32(bytes, 18), 37u);           // width
  EXPECT_EQ(le32(bytes, 22), 23u);           // height, positive: rows stored bottom-up

  QImageReader reader(QString::fromStdString(path));
  EXPECT_EQ(reader.format(), "bmp");
  const QImage back = reader.read();
  ASSERT_FALSE(back.isNull()) << reader.errorString().toStdString();
  EXPECT_EQ(back.size(), image.size());
  EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), image);
}

TEST(Snapshot, FullScreenSurfaceKeepsItsSize) {
  TempDir dir;
  const std::string path = dir.file("ZIDizizi.bmp");
  const QImage image = map_surface(1920, 1080);
  ASSERT_EQ(save_snapshot(image, path), "");
  const QImage back(QString::fromStdString(path));
  EXPECT_EQ(back.size(), QSize(1920, 1080));
  EXPECT_EQ(back.pixel(1919, 1079), qRgb(0, 255, 0));
  EXPECT_EQ(back.pixel(0, 0), qRgb(255, 0, 0));
}

TEST(Snapshot, EachSnapshotReplacesTheFile) {
  TempDir dir;
  const std::string path = dir.file("ZIDizizi.bmp");
  ASSERT_EQ(save_snapshot(map_surface(50, 40), path), "");
  ASSERT_EQ(save_snapshot(map_surface(20, 10), path), "");
  EXPECT_EQ(QImage(QString::fromStdString(path)).size(), QSize(20, 10));
  // No temporary files are left beside it.
  int files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) ++files;
  EXPECT_EQ(files, 1);
}

TEST(Snapshot, MissingFolderFailsWithAReason) {
  TempDir dir;
  const std::string path = dir.file("gone/ZIDizizi.bmp");
  const std::string error = save_snapshot(map_surface(10, 10), path);
  EXPECT_NE(error.find("\"" + path + "\""), std::string::npos) << error;
  EXPECT_GT(error.size(), path.size() + 40) << error;
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(Snapshot, FailedWriteLeavesTheOldSnapshotWhole) {
  TempDir dir;
  const std::string path = dir.write("ZIDizizi.bmp", "the previous snapshot");
  std::string error;
  {
    FileSizeLimit limit(4096);  // the new bitmap needs about 120 KB
    error = save_snapshot(map_surface(200, 200), path);
  }
  EXPECT_NE(error, "");
  EXPECT_NE(error.find("ZIDizizi.bmp"), std::string::npos) << error;
  EXPECT_EQ(read_bytes(path), "the previous snapshot");
  int files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) ++files;
  EXPECT_EQ(files, 1);
}

TEST(Snapshot, NoSurfaceIsAnError) {
  TempDir dir;
  const std::string path = dir.write("ZIDizizi.bmp", "kept");
  EXPECT_NE(save_snapshot(QImage(), path), "");
  EXPECT_EQ(read_bytes(path), "kept");
}

}  // namespace
}  // namespace zorvane
