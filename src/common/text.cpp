#include "common/text.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace zorvane {

std::string trim(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(' ');
  return std::string(text.substr(first, last - first + 1));
}

bool is_blank(std::string_view text) { return text.find_first_not_of(' ') == std::string_view::npos; }

double numeric_value(std::string_view text) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  // Built digit by digit into a string and converted once, so the value is the correctly
  // rounded double of the digits (no drift from repeated multiplication).
  std::string digits;
  bool any = false;
  while (i < n && text[i] >= '0' && text[i] <= '9') {
    digits += text[i++];
    any = true;
  }
  if (i < n && text[i] == '.') {
    digits += '.';
    ++i;
    while (i < n && text[i] >= '0' && text[i] <= '9') {
      digits += text[i++];
      any = true;
    }
  }
  if (!any) return 0.0;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    std::string exponent = "e";
    if (j < n && (text[j] == '+' || text[j] == '-')) exponent += text[j++];
    bool exp_digits = false;
    while (j < n && text[j] >= '0' && text[j] <= '9' && exponent.size() < 8) {
      exponent += text[j++];
      exp_digits = true;
    }
    if (exp_digits) digits += exponent;
  }
  double value = std::strtod(digits.c_str(), nullptr);
  if (!std::isfinite(value)) value = std::numeric_limits<double>::max();
  return negative ? -value : value;
}

long long round_half_even(double value) {
  if (std::isnan(value)) return 0;
  constexpr double kLimit = 9.2e18;
  if (value >= kLimit) return std::numeric_limits<long long>::max();
  if (value <= -kLimit) return std::numeric_limits<long long>::min();
  const double floor_value = std::floor(value);
  const double diff = value - floor_value;
  long long result = static_cast<long long>(floor_value);
  if (diff > 0.5 || (diff == 0.5 && (result % 2 != 0))) ++result;
  return result;
}

long long whole_value(std::string_view text) { return round_half_even(numeric_value(text)); }

std::string str_number(long long value) {
  if (value < 0) return std::to_string(value);
  std::string out(1, ' ');
  out += std::to_string(value);
  return out;
}

std::string quoted(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  out += '"';
  out += text;
  out += '"';
  return out;
}

namespace {

// The length of the UTF-8 character at text[at] that a message may show as it is, or 0 for
// a byte to show as \xNN: control characters (C0, DEL and C1, which a terminal acts on) and
// bytes that are not UTF-8.
std::size_t shown_length(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t k) { return at + k < text.size() ? static_cast<unsigned char>(text[at + k]) : 0u; };
  const unsigned lead = byte(0);
  if (lead < 0x20 || lead == 0x7F) return 0;
  if (lead < 0x80) return 1;
  const std::size_t length = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3 : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
  for (std::size_t k = 1; k < length; ++k) {
    if ((byte(k) & 0xC0) != 0x80) return 0;
  }
  if (lead == 0xC2 && byte(1) < 0xA0) return 0;  // U+0080 to U+009F
  return length;
}

}  // namespace

std::string quoted_excerpt(std::string_view text, std::size_t max_bytes) {
  std::size_t cut = std::min(text.size(), max_bytes);
  // Back off over UTF-8 continuation bytes so the cut does not split a character.
  for (int k = 0; k < 3 && cut > 0 && cut < text.size() && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80; ++k) --cut;
  const std::string_view kept = text.substr(0, cut);
  std::string out = "\"";
  for (std::size_t at = 0; at < kept.size();) {
    const std::size_t length = shown_length(kept, at);
    if (length == 0) {
      static constexpr char kHex[] = "0123456789ABCDEF";
      const auto b = static_cast<unsigned char>(kept[at++]);
      out += {'\\', 'x', kHex[b >> 4], kHex[b & 15]};
    } else {
      out.append(kept.substr(at, length));
      at += length;
    }
  }
  if (cut < text.size()) out += "...";
  return out + '"';
}

std::string print_number(long long value) { return str_number(value) + " "; }

std::string to_lower_ascii(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

bool has_control_char(std::string_view text) {
  for (unsigned char c : text) {
    if (c < 32 || c == 127) return true;
  }
  return false;
}

}  // namespace zorvane
