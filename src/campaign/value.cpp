#include "campaign/value.h"

#include <cmath>
#include <cstdio>

#include "common/text.h"

namespace zorvane {

Value Value::text(std::string text) {
  Value v;
  v.data_ = std::move(text);
  return v;
}

Value Value::whole(long long number) {
  Value v;
  v.data_ = number;
  return v;
}

Value Value::number(double number) {
  Value v;
  v.data_ = number;
  return v;
}

namespace {
std::string double_text(double d) {
  if (d == std::floor(d) && std::fabs(d) < 9e15) return std::to_string(static_cast<long long>(d));
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.15g", d);
  return buffer;
}
}  // namespace

std::string Value::to_text() const {
  if (const auto* s = std::get_if<std::string>(&data_)) return *s;
  if (const auto* w = std::get_if<long long>(&data_)) return std::to_string(*w);
  if (const auto* d = std::get_if<double>(&data_)) return double_text(*d);
  return {};
}

double Value::to_number() const {
  if (const auto* s = std::get_if<std::string>(&data_)) return numeric_value(*s);
  if (const auto* w = std::get_if<long long>(&data_)) return static_cast<double>(*w);
  if (const auto* d = std::get_if<double>(&data_)) return *d;
  return 0.0;
}

long long Value::to_whole() const {
  if (const auto* w = std::get_if<long long>(&data_)) return *w;
  return round_half_even(to_number());
}

bool Value::is_blank() const {
  if (const auto* s = std::get_if<std::string>(&data_)) return zorvane::is_blank(*s);
  return is_empty();
}

std::string Value::save_line() const {
  if (const auto* s = std::get_if<std::string>(&data_)) return *s;
  if (const auto* w = std::get_if<long long>(&data_)) return print_number(*w);
  if (const auto* d = std::get_if<double>(&data_)) {
    const std::string digits = double_text(*d);
    return (*d < 0 ? "" : " ") + digits + " ";
  }
  return {};
}

bool text_is_numeric(std::string_view text) {
  const std::string t = trim(text);
  if (t.empty()) return false;
  std::size_t i = 0;
  if (t[i] == '+' || t[i] == '-') ++i;
  bool digits = false;
  while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, digits = true;
  if (i < t.size() && t[i] == '.') {
    ++i;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, digits = true;
  }
  if (!digits) return false;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    bool exp_digits = false;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, exp_digits = true;
    if (!exp_digits) return false;
  }
  return i == t.size();
}

bool loose_equal(const Value& a, const Value& b) {
  const bool a_num = a.is_number() || (a.is_text() && text_is_numeric(a.to_text()));
  const bool b_num = b.is_number() || (b.is_text() && text_is_numeric(b.to_text()));
  if ((a.is_number() || b.is_number()) && a_num && b_num) return a.to_number() == b.to_number();
  return a.to_text() == b.to_text();
}

}  // namespace zorvane
