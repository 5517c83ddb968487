// A lock on a working folder, so that two copies of the program never write the same
// files there. The first copy takes it; a later one learns who holds it. The lock ends with
// the process that holds it however that ends, so a copy that was killed leaves nothing
// that keeps the folder locked.
#pragma once

#include <string>
#include <string_view>

namespace zorvane {

// Who holds a folder's lock, as the holder wrote it into the lock file.
struct FolderLockHolder {
  long pid = 0;          // 0 when it could not be read
  std::string host;      // the machine the holder runs on
  std::string program;   // "zorvane", "zorvane-campaign", ...
};

class FolderLock {
 public:
  // The lock file in the folder, holding the holder's pid, host and program, a line each.
  static constexpr std::string_view kFileName = "zorvane.lock";

  enum class Method {
    // A lock of the system's on the lock file (flock), held by the open file: nothing is
    // left to clean up when the holder dies. Where the file system has no such locks, the
    // pid in the file decides, as with Method::pid.
    system,
    // The pid in the file: held while that process lives on this host (the fallback).
    pid,
  };

  enum class State {
    taken,        // this object holds the lock
    in_use,       // another copy holds it; see holder()
    unavailable,  // no lock could be taken (a read-only folder, say); see error()
  };

  // Tries to take the lock on folder for this copy of program. A lock left by a copy that
  // no longer runs is taken over.
  explicit FolderLock(std::string folder, std::string program = "zorvane", Method method = Method::system);
  // Releases the lock when it was taken.
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  State state() const { return state_; }
  bool taken() const { return state_ == State::taken; }
  bool in_use() const { return state_ == State::in_use; }
  const std::string& folder() const { return folder_; }
  // The copy that holds the lock, when in_use().
  const FolderLockHolder& holder() const { return holder_; }
  // Why no lock could be taken, when unavailable(): names the lock file and the problem.
  const std::string& error() const { return error_; }
  // "the folder /x is in use by another copy of Zorvane (process 123)", with "on host h"
  // after the pid when the holder runs on another machine.
  std::string in_use_text() const;

 private:
  void take_by_pid();
  std::string identity() const;  // what this copy writes into the lock file

  std::string folder_;
  std::string path_;
  std::string program_;
  State state_ = State::unavailable;
  FolderLockHolder holder_;
  std::string error_;
  int fd_ = -1;
};

// This machine's name, as lock files record it.
std::string this_host_name();

// Makes a new folder of this user's alone (mode 0700) under the system's temporary folder,
// named prefix followed by random characters, for a copy that must not share its working
// files. Returns its path, or "" with error set.
std::string make_private_folder(std::string_view prefix, std::string& error);

}  // namespace zorvane
