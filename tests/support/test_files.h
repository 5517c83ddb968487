// Temporary folders and byte-exact file helpers for tests.
#pragma once

#include <string>

namespace zorvane::testing {

// A fresh folder under the system's temporary folder, removed with everything in it
// when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // path() joined with a relative name.
  std::string file(const std::string& name) const;
  // Writes bytes to a file in the folder (creating folders on the way); returns its path.
  std::string write(const std::string& name, const std::string& bytes) const;
  // Makes a named pipe in the folder (nothing ever writes to it); returns its path.
  std::string fifo(const std::string& name) const;

 private:
  std::string path_;
};

// The whole file as bytes; "" when it cannot be read.
std::string read_bytes(const std::string& path);

// Folder holding the test executables and the helper programs built beside them.
std::string test_bin_dir();

}  // namespace zorvane::testing
