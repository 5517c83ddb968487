// Shared by the fuzz targets: invariant checks that abort in every build type (assert
// vanishes under NDEBUG, and the replay programs are built RelWithDebInfo), and the input
// as a byte string view.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace zorvane::fuzz {

[[noreturn]] inline void invariant_broken(const char* what, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: invariant broken: %s\n", file, line, what);
  std::fflush(stderr);
  std::abort();
}

inline std::string_view as_text(const std::uint8_t* data, std::size_t size) {
  return size == 0 ? std::string_view() : std::string_view(reinterpret_cast<const char*>(data), size);
}

}  // namespace zorvane::fuzz

#define FUZZ_CHECK(condition) \
  ((condition) ? static_cast<void>(0) : ::zorvane::fuzz::invariant_broken(#condition, __FILE__, __LINE__))
