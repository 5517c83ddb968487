// A loosely typed cell field: empty, whole number, number or text. Fields are compared
// and converted loosely, since a loaded campaign holds every field as text while a new
// one holds numbers.
#pragma once

#include <string>
#include <string_view>
#include <variant>

namespace zorvane {

class Value {
 public:
  Value() = default;
  static Value text(std::string text);
  static Value whole(long long number);
  static Value number(double number);

  bool is_empty() const { return std::holds_alternative<std::monostate>(data_); }
  bool is_text() const { return std::holds_alternative<std::string>(data_); }
  bool is_number() const { return !is_empty() && !is_text(); }

  // Empty gives "", text itself, a number its digits without the sign space.
  std::string to_text() const;
  // Empty gives 0, a text its numeric value (leading number, 0 when none).
  double to_number() const;
  // to_number rounded halves to even.
  long long to_whole() const;
  // Empty once converted to text and trimmed of spaces.
  bool is_blank() const;

  // The line a saved campaign holds for this value: "" for empty, the text unchanged, a
  // number in print form with sign space and trailing space (" 30832 ").
  std::string save_line() const;

  // Loose equality: two numbers (or a number and a text that holds one) compare as
  // numbers; otherwise the texts compare, empty counting as "".
  friend bool loose_equal(const Value& a, const Value& b);
  // Exact equality of kind and content, for tests and round trips.
  friend bool operator==(const Value& a, const Value& b) = default;

 private:
  std::variant<std::monostate, long long, double, std::string> data_;
};

// True when the whole text, spaces around it allowed, reads as a number.
bool text_is_numeric(std::string_view text);

}  // namespace zorvane
