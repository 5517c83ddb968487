// Texts shown in list boxes. A QListWidget measures every item's text to lay itself out,
// so one entry megabytes long (a damaged roster line) would freeze it for tens of seconds:
// long entries are cut for display only, while the model keeps them whole. Lists that show
// such entries also take uniform item sizes, so rows are not measured one by one.
#pragma once

#include <QString>
#include <cstddef>
#include <string>

#include "shell/qt_text.h"

namespace zorvane {

// The most bytes of an entry a list shows; unit program names are far shorter.
inline constexpr std::size_t kMaxListTextBytes = 200;

// The entry as a list shows it: whole, or its first kMaxListTextBytes bytes (not cut inside
// a UTF-8 character) followed by an ellipsis.
inline QString list_text(const std::string& entry) {
  if (entry.size() <= kMaxListTextBytes) return qt_text(entry);
  std::size_t cut = kMaxListTextBytes;
  for (int k = 0; k < 3 && cut > 0 && (static_cast<unsigned char>(entry[cut]) & 0xC0) == 0x80; ++k) --cut;
  return qt_text(entry.substr(0, cut)) + QChar(0x2026);
}

}  // namespace zorvane
