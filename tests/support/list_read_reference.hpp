// A deliberately plain reference for list-directed reads, for the reader's tests
// and its fuzzer. It decides a restricted form of answer: numbers
//   [sign] (digits [. digits] | . digits) [E|e|D|d|Q|q [sign] digits]
// separated by runs of blanks or by one comma, and lines that hold nothing. A
// field of number characters that is not a number is a syntax error. Anything
// else (nulls, repeats, a slash, logicals, other characters) is beyond it.
// Reals are converted by strtof, integers exactly or by strtod and truncation:
// the C library rounds correctly, so the values must agree bit for bit.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "format/list_read.hpp"
#include "tests/support/line_source.hpp"

namespace kelvor::test {

struct ReferenceRead {
  format::ReadError error = format::ReadError::none;
  std::vector<double> values; // the items given before the read ended, in order
  std::size_t lines = 0;      // lines taken
};

namespace reference_detail {

inline bool is_digit(char c) {
  return c >= '0' && c <= '9';
}

inline std::size_t digits_at(std::string_view s, std::size_t &i) {
  const std::size_t start = i;
  while (i < s.size() && is_digit(s[i]))
    ++i;
  return i - start;
}

inline bool is_number(std::string_view s) {
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-'))
    ++i;
  std::size_t digits = digits_at(s, i);
  if (i < s.size() && s[i] == '.')
    digits += digits_at(s, ++i);
  if (digits == 0)
    return false;
  if (i < s.size() && std::string_view("EeDdQq").find(s[i]) != std::string_view::npos) {
    if (++i < s.size() && (s[i] == '+' || s[i] == '-'))
      ++i;
    if (digits_at(s, i) == 0)
      return false;
  }
  return i == s.size();
}

// The number for the C library: every exponent letter an "e".
inline std::string c_number(std::string_view s) {
  std::string t(s);
  for (char &c : t)
    if (std::string_view("EDdQq").find(c) != std::string_view::npos)
      c = 'e';
  return t;
}

inline format::ReadError convert(std::string_view field, char kind, double &value) {
  const std::string s = c_number(field);
  if (kind == 'r') {
    const float v = std::strtof(s.c_str(), nullptr);
    value = static_cast<double>(v);
    return std::isinf(v) ? format::ReadError::conversion : format::ReadError::none;
  }
  if (s.find_first_of(".e") == std::string::npos) { // digits alone: exactly
    const std::size_t first = s.find_first_not_of("+-0");
    const std::string digits = first == std::string::npos ? "0" : s.substr(first);
    const long long m = digits.size() > 10 ? INT64_MAX : std::stoll(digits);
    value = static_cast<double>(s[0] == '-' ? -m : m);
  } else {
    value = std::trunc(std::strtod(s.c_str(), nullptr));
  }
  if (!(value >= INT32_MIN && value <= INT32_MAX))
    return format::ReadError::conversion;
  value = static_cast<std::int32_t>(value); // an integer has no minus zero
  return format::ReadError::none;
}

} // namespace reference_detail

// A read of one item per letter of `kinds` ('r' a real, 'i' an integer) from
// `lines`; nothing where the answer is beyond the reference.
inline std::optional<ReferenceRead> reference_read(LineSource &lines, std::string_view kinds) {
  using namespace reference_detail;
  constexpr std::string_view kBlanks = " \t\r\v\f";
  ReferenceRead r;
  std::string_view line;
  if (kinds.empty()) {
    r.lines = lines.next_line(line) ? 1 : 0;
    r.error = r.lines ? format::ReadError::none : format::ReadError::end_of_input;
    return r;
  }
  bool after_value = false; // a comma here separates; anywhere else it is a null
  while (r.values.size() < kinds.size()) {
    if (!lines.next_line(line)) {
      r.error = format::ReadError::end_of_input;
      return r;
    }
    ++r.lines;
    for (std::size_t i = 0; r.values.size() < kinds.size();) {
      i = std::min(line.find_first_not_of(kBlanks, i), line.size());
      if (i == line.size())
        break;
      if (line[i] == ',') {
        if (!after_value)
          return std::nullopt;
        after_value = false;
        ++i;
        continue;
      }
      const std::size_t end = std::min(line.find_first_of(",\t\r\v\f ", i), line.size());
      const std::string_view field = line.substr(i, end - i);
      i = end;
      if (!is_number(field)) {
        if (field.find_first_not_of("0123456789.+-EeDdQq") != std::string_view::npos)
          return std::nullopt;
        r.error = format::ReadError::syntax;
        return r;
      }
      double value = 0.0;
      r.error = convert(field, kinds[r.values.size()], value);
      if (r.error != format::ReadError::none)
        return r;
      r.values.push_back(value);
      after_value = true;
    }
  }
  r.error = format::ReadError::none;
  return r;
}

} // namespace kelvor::test
