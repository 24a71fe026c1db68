// List-directed read of reals and 32-bit integers from console lines.
//
// Accepted syntax. A read starts on a new line and may go on over further lines;
// the end of a line acts as a blank. Blanks are space, tab, and the control
// whitespace CR, VT and FF (a stray CR from a file with CR CR LF ends is harmless).
//
//   separator = blank+ | blank* "," blank* | blank* "/" | end of line
//   item      = constant | repeat "*" constant | repeat "*"
//   repeat    = digit+                   (greater than zero)
//   constant  = number | logical
//   number    = [sign] (digit+ ["." digit*] | "." digit+) [letter [sign] digit+]
//   letter    = E | e | D | d | Q | q
//   logical   = ["."] (T | t | F | f) {any character but a blank, "," or "/"}
//
// - A comma that opens the read, or that follows another comma with only blanks
//   and line ends between, gives a null value: its item keeps its old value.
//   "r*" alone gives r null values.
// - "/" ends the read; the items not reached keep their old values.
// - Once every item has a value the rest of the line is not looked at. Copies of
//   a repeated value beyond the last item are dropped.
// - A constant is the whole run of characters up to the next separator; anything
//   in it that the grammar does not allow is a syntax error. This is stricter
//   than it has to be on purpose: "1-2", "1e", "1.e+", "1e5.", "-T", "+-1", a
//   quote, a zero repeat count, "Infinity" and "NaN" are all syntax errors.
//
// Conversion. A real item takes the decimal value rounded once to the nearest
// float (std::from_chars<float>, correctly rounded, never through double); a
// magnitude too large for a float is a conversion error, one too small becomes a
// denormal or zero. An integer item takes a number without point or exponent
// exactly; any other number is converted to the nearest double and truncated
// toward zero, and a result outside the 32-bit range is a conversion error. A
// logical T gives -1.0 or -1, F gives 0.0 or 0.
#include "format/list_read.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <system_error>

namespace kelvor::format {

namespace {

bool is_blank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}
bool is_separator(char c) {
  return is_blank(c) || c == ',' || c == '/';
}
bool is_digit(char c) {
  return c >= '0' && c <= '9';
}
bool is_exponent_letter(char c) {
  return std::string_view("EeDdQq").find(c) != std::string_view::npos;
}

// Bounds that keep the bookkeeping of absurdly long numbers finite. An exponent
// beyond kExponentCap is already far outside double range whatever the digits.
constexpr long long kExponentCap = 100'000'000;
constexpr long long kIntegerCap = 10'000'000'000LL;

// A number split into its parts; the value is
//   (int_digits frac_digits as one integer) * 10^(exponent - frac_digits.size()).
struct Number {
  bool negative = false;
  bool exact_integer = true; // neither a point nor an exponent
  std::string_view int_digits;
  std::string_view frac_digits;
  long long exponent = 0;
};

struct Constant {
  bool logical = false;
  bool truth = false;
  Number number;
};

std::string_view take_digits(std::string_view s, std::size_t &i) {
  const std::size_t begin = i;
  while (i < s.size() && is_digit(s[i]))
    ++i;
  return s.substr(begin, i - begin);
}

bool parse_constant(std::string_view s, Constant &k) {
  const std::size_t skip = !s.empty() && s[0] == '.' ? 1 : 0;
  if (s.size() > skip) {
    const char c = s[skip];
    if (c == 'T' || c == 't' || c == 'F' || c == 'f') {
      k.logical = true;
      k.truth = c == 'T' || c == 't';
      return true;
    }
  }

  Number &n = k.number;
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-'))
    n.negative = s[i++] == '-';
  n.int_digits = take_digits(s, i);
  if (i < s.size() && s[i] == '.') {
    n.exact_integer = false;
    ++i;
    n.frac_digits = take_digits(s, i);
  }
  if (n.int_digits.empty() && n.frac_digits.empty())
    return false;
  if (i < s.size() && is_exponent_letter(s[i])) {
    n.exact_integer = false;
    ++i;
    bool exp_negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
      exp_negative = s[i++] == '-';
    const std::string_view digits = take_digits(s, i);
    if (digits.empty())
      return false;
    for (const char c : digits)
      n.exponent = std::min(n.exponent * 10 + (c - '0'), kExponentCap);
    if (exp_negative)
      n.exponent = -n.exponent;
  }
  return i == s.size();
}

// Enough significant digits that cutting the rest and putting one nonzero digit
// in their place cannot move the value across a double (or float) or across the
// midpoint of two neighbours: those need at most 767 significant digits.
constexpr std::size_t kMaxDigits = 800;

// The number rewritten as "[-]DDD...e[-]XXX" with at most kMaxDigits + 1
// significant digits, for std::from_chars; `size` is 0 for a zero. The magnitude
// lies in [10^(decade-1), 10^decade), which tells overflow from underflow.
struct Normalized {
  char text[1 + kMaxDigits + 1 + 2 + 20];
  std::size_t size = 0;
  long long decade = 0;
};

void normalize(const Number &n, Normalized &out) {
  const std::size_t a = n.int_digits.size();
  const std::size_t total = a + n.frac_digits.size();
  const auto digit = [&](std::size_t k) { return k < a ? n.int_digits[k] : n.frac_digits[k - a]; };

  std::size_t first = 0;
  while (first < total && digit(first) == '0')
    ++first;
  out.size = 0;
  if (first == total) // zero
    return;
  std::size_t last = total - 1;
  while (digit(last) == '0')
    --last;

  // value = digits[first..last] * 10^scale
  long long scale = n.exponent - static_cast<long long>(n.frac_digits.size()) +
                    static_cast<long long>(total - 1 - last);
  std::size_t count = last - first + 1;
  char *p = out.text;
  if (n.negative)
    *p++ = '-';
  if (count > kMaxDigits) {
    // The cut digits end in a nonzero one, so the tail is above zero and below one
    // unit of the last kept digit: a sticky '1' stands for it exactly enough.
    for (std::size_t k = 0; k < kMaxDigits; ++k)
      *p++ = digit(first + k);
    *p++ = '1';
    scale += static_cast<long long>(count - kMaxDigits - 1);
    count = kMaxDigits + 1;
  } else {
    for (std::size_t k = first; k <= last; ++k)
      *p++ = digit(k);
  }
  // Far beyond either end of the double range the exact exponent no longer
  // matters; clamping keeps it printable.
  scale = std::clamp(scale, -4 * kExponentCap, 4 * kExponentCap);
  out.decade = scale + static_cast<long long>(count);
  *p++ = 'e';
  const auto r = std::to_chars(p, out.text + sizeof out.text, scale);
  out.size = static_cast<std::size_t>(r.ptr - out.text);
}

template <class T> ReadError convert(const Number &n, T &value) {
  Normalized norm;
  normalize(n, norm);
  if (norm.size == 0) {
    value = n.negative ? -T(0) : T(0);
    return ReadError::none;
  }
  T v{};
  const auto r = std::from_chars(norm.text, norm.text + norm.size, v);
  if (r.ec == std::errc::result_out_of_range) {
    // Too large (at least 1 in magnitude) is an error; too small rounds to zero.
    if (norm.decade > 0)
      return ReadError::conversion;
    v = n.negative ? -T(0) : T(0);
  } else if (r.ec != std::errc{} || std::isinf(v)) {
    return ReadError::conversion;
  }
  value = v;
  return ReadError::none;
}

ReadError assign(const Constant &k, const ListItem &item) {
  if (item.real) {
    if (k.logical) {
      *item.real = k.truth ? -1.0f : 0.0f;
      return ReadError::none;
    }
    return convert(k.number, *item.real);
  }
  if (!item.integer)
    return ReadError::none; // an item with no target takes its value and drops it
  if (k.logical) {
    *item.integer = k.truth ? -1 : 0;
    return ReadError::none;
  }
  const Number &n = k.number;
  if (n.exact_integer) {
    long long magnitude = 0;
    for (const char c : n.int_digits)
      magnitude = std::min(magnitude * 10 + (c - '0'), kIntegerCap);
    const long long v = n.negative ? -magnitude : magnitude;
    if (v < INT32_MIN || v > INT32_MAX)
      return ReadError::conversion;
    *item.integer = static_cast<std::int32_t>(v);
    return ReadError::none;
  }
  double d = 0.0;
  if (const ReadError e = convert(n, d); e != ReadError::none)
    return e;
  // Truncation keeps everything in (-2^31 - 1, 2^31); test in double before the
  // cast, which would be undefined outside the target range.
  if (!(d > -2147483649.0 && d < 2147483648.0))
    return ReadError::conversion;
  *item.integer = static_cast<std::int32_t>(d);
  return ReadError::none;
}

} // namespace

ReadError read_list(LineSource &src, std::span<const ListItem> items) {
  std::string_view line;
  if (!src.next_line(line))
    return ReadError::end_of_input;
  std::size_t pos = 0;
  std::size_t next = 0;
  bool comma_gives_null = true; // at the start of the read and after a comma

  while (next < items.size()) {
    // Blanks and line ends before a value.
    while (pos < line.size() && is_blank(line[pos]))
      ++pos;
    if (pos == line.size()) {
      if (!src.next_line(line))
        return ReadError::end_of_input;
      pos = 0;
      continue;
    }

    if (line[pos] == '/')
      return ReadError::none;
    if (line[pos] == ',') {
      ++pos;
      if (comma_gives_null)
        ++next;
      comma_gives_null = true;
      continue;
    }

    std::size_t end = pos;
    while (end < line.size() && !is_separator(line[end]))
      ++end;
    std::string_view token = line.substr(pos, end - pos);
    pos = end;
    comma_gives_null = false;

    // A repeat count: digits followed by a star.
    std::size_t copies = 1;
    std::size_t star = 0;
    while (star < token.size() && is_digit(token[star]))
      ++star;
    if (star > 0 && star < token.size() && token[star] == '*') {
      copies = 0;
      for (std::size_t k = 0; k < star; ++k)
        copies = std::min<std::size_t>(copies * 10 + static_cast<std::size_t>(token[k] - '0'),
                                       items.size());
      if (copies == 0)
        return ReadError::syntax;
      token.remove_prefix(star + 1);
      if (token.empty()) { // r nulls
        next += std::min(copies, items.size() - next);
        continue;
      }
    }

    Constant k;
    if (!parse_constant(token, k))
      return ReadError::syntax;
    for (std::size_t c = std::min(copies, items.size() - next); c > 0; --c)
      if (const ReadError e = assign(k, items[next++]); e != ReadError::none)
        return e;
  }
  return ReadError::none;
}

} // namespace kelvor::format
