// Snapshots of the map: the whole map surface, at full size, saved as a Windows bitmap.
#pragma once

#include <string>
#include <string_view>

class QImage;

namespace zorvane {

// The one snapshot file in the program folder; each snapshot replaces it.
inline constexpr std::string_view kSnapshotFileName = "ZIDizizi.bmp";

// program_folder joined with kSnapshotFileName.
std::string snapshot_path(std::string_view program_folder);

// Saves the image as a BMP file at path, replacing an existing file atomically: a failed
// snapshot leaves the old file whole. Returns "" on success, else why it failed (naming
// the file).
std::string save_snapshot(const QImage& surface, const std::string& path);

}  // namespace zorvane
