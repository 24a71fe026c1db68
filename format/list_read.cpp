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
// - Once every item has a value the rest of the line is passed over unread by
//   the grammar. Copies of a repeated value beyond the last item are dropped.
// - A constant is the whole run of characters up to the next separator; the
//   read ends with a syntax error at the first character that the grammar does
//   not allow there, without waiting for the rest of the line. This is stricter
//   than it has to be on purpose: "1-2", "1e", "1.e+", "1e5.", "-T", "+-1", a
//   quote, a zero repeat count, "Infinity" and "NaN" are all syntax errors.
//
// Memory. The input is taken a character at a time and a number is kept as its
// first significant digits and counts of the rest, so a read needs the same
// small space whatever the length of its lines.
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
#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <system_error>

namespace kelvor::format {

namespace {

bool is_blank(int c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}
bool ends_line(int c) {
  return c == CharSource::kLineEnd || c == CharSource::kEndOfInput;
}
bool ends_constant(int c) {
  return is_blank(c) || c == ',' || c == '/' || ends_line(c);
}
bool is_digit(char c) {
  return c >= '0' && c <= '9';
}
bool is_sign(char c) {
  return c == '+' || c == '-';
}
bool is_exponent_letter(char c) {
  return std::string_view("EeDdQq").find(c) != std::string_view::npos;
}
bool is_logical_letter(char c) {
  return std::string_view("TtFf").find(c) != std::string_view::npos;
}

// Bounds that keep the bookkeeping of absurdly long numbers finite. An exponent
// beyond kExponentCap is already far outside double range whatever the digits;
// no input can be long enough to reach kCountCap digits.
constexpr long long kExponentCap = 100'000'000;
constexpr long long kIntegerCap = 10'000'000'000LL;
constexpr long long kCountCap = 1'000'000'000'000'000LL;

// Enough significant digits that cutting the rest and putting one nonzero digit
// in their place cannot move the value across a double (or float) or across the
// midpoint of two neighbours: those need at most 767 significant digits.
constexpr std::size_t kMaxDigits = 800;

// A number as its characters stream in, in constant space. The value is
//   kept[0..count) * 10^(beyond + exponent - fraction),
// plus a trace below the last kept digit when `sticky`: the digits past the
// first kMaxDigits significant ones are only counted.
struct Number {
  bool negative = false;
  bool exact_integer = true; // neither a point nor an exponent
  std::array<char, kMaxDigits> kept{};
  std::size_t count = 0;  // significant digits kept; leading zeros dropped
  bool sticky = false;    // a nonzero digit beyond the kept ones
  long long beyond = 0;   // digits beyond the kept ones
  long long fraction = 0; // digits after the point
  long long exponent = 0;
  long long magnitude = 0; // the integer digits as a value, for exact integers

  void add_digit(char c, bool fractional) {
    if (fractional)
      fraction = std::min(fraction + 1, kCountCap);
    else
      magnitude = std::min(magnitude * 10 + (c - '0'), kIntegerCap);
    if (count == 0 && c == '0')
      return;
    if (count < kMaxDigits) {
      kept[count++] = c;
      return;
    }
    beyond = std::min(beyond + 1, kCountCap);
    sticky = sticky || c != '0';
  }
};

struct Constant {
  bool logical = false;
  bool truth = false;
  Number number;
};

// Where a constant stands after the characters seen so far.
enum class Phase : std::uint8_t {
  start,           // nothing yet (or just "r*")
  start_point,     // ".": a fraction or a logical follows
  sign,            // "+" or "-"
  sign_point,      // a sign and ".": a digit must follow
  integer,         // digits, perhaps a repeat count
  fraction,        // digits and a point, perhaps digits after it
  exponent_letter, // a complete mantissa and its letter
  exponent_sign,
  exponent_digits,
  logical, // a logical value; the rest up to the separator is ignored
};

// One item of an answer, fed a character at a time. The grammar of the header
// comment lives here alone.
struct Token {
  Phase phase = Phase::start;
  bool repeated = false; // "r*" has been taken
  bool has_sign = false;
  std::size_t copies = 1; // the repeat count, capped at the number of items
  Constant k;

  // False when `c` cannot continue a well-formed item.
  bool take(char c, std::size_t item_count) {
    Number &n = k.number;
    switch (phase) {
      case Phase::start:
        if (c == '.')
          return enter(Phase::start_point);
        if (is_logical_letter(c))
          return logical(c);
        if (is_sign(c)) {
          n.negative = c == '-';
          has_sign = true;
          return enter(Phase::sign);
        }
        return is_digit(c) && digit(c, item_count);
      case Phase::start_point:
        if (is_logical_letter(c))
          return logical(c);
        [[fallthrough]];
      case Phase::sign_point:
        return is_digit(c) && fraction_digit(c);
      case Phase::sign:
        if (c == '.')
          return enter(Phase::sign_point);
        return is_digit(c) && digit(c, item_count);
      case Phase::integer:
        if (is_digit(c))
          return digit(c, item_count);
        if (c == '*')
          return repeat();
        if (c == '.') {
          n.exact_integer = false;
          return enter(Phase::fraction);
        }
        return exponent(c);
      case Phase::fraction:
        return is_digit(c) ? fraction_digit(c) : exponent(c);
      case Phase::exponent_letter:
        if (is_sign(c)) {
          exponent_negative_ = c == '-';
          return enter(Phase::exponent_sign);
        }
        [[fallthrough]];
      case Phase::exponent_sign:
      case Phase::exponent_digits:
        if (!is_digit(c))
          return false;
        n.exponent = std::min(n.exponent * 10 + (c - '0'), kExponentCap);
        return enter(Phase::exponent_digits);
      case Phase::logical:
        return true;
    }
    return false;
  }

  // At the separator: whether what came is a whole item ("r*" alone is one).
  bool complete() {
    if (phase == Phase::exponent_digits && exponent_negative_)
      k.number.exponent = -k.number.exponent;
    return (phase == Phase::start && repeated) || phase == Phase::integer ||
           phase == Phase::fraction || phase == Phase::exponent_digits || phase == Phase::logical;
  }
  bool nulls() const { return phase == Phase::start; }

private:
  bool enter(Phase p) {
    phase = p;
    return true;
  }
  bool logical(char c) {
    k.logical = true;
    k.truth = c == 'T' || c == 't';
    return enter(Phase::logical);
  }
  bool digit(char c, std::size_t item_count) {
    if (!has_sign && !repeated)
      repeat_count_ = std::min(repeat_count_ * 10 + static_cast<std::size_t>(c - '0'), item_count);
    k.number.add_digit(c, false);
    return enter(Phase::integer);
  }
  bool fraction_digit(char c) {
    k.number.exact_integer = false;
    k.number.add_digit(c, true);
    return enter(Phase::fraction);
  }
  bool exponent(char c) {
    if (!is_exponent_letter(c))
      return false;
    k.number.exact_integer = false;
    return enter(Phase::exponent_letter);
  }
  // "r*": the digits so far were a repeat count, not a number.
  bool repeat() {
    if (has_sign || repeated || repeat_count_ == 0)
      return false;
    copies = repeat_count_;
    repeated = true;
    k = Constant{};
    return enter(Phase::start);
  }

  std::size_t repeat_count_ = 0;
  bool exponent_negative_ = false;
};

// The number rewritten as "[-]DDD...e[-]XXX" with at most kMaxDigits + 1
// significant digits, for std::from_chars; `size` is 0 for a zero. The magnitude
// lies in [10^(decade-1), 10^decade), which tells overflow from underflow.
struct Normalized {
  char text[1 + kMaxDigits + 1 + 2 + 20];
  std::size_t size = 0;
  long long decade = 0;
};

void normalize(const Number &n, Normalized &out) {
  out.size = 0;
  if (n.count == 0) // zero
    return;
  long long scale = n.beyond + n.exponent - n.fraction;
  char *p = out.text;
  if (n.negative)
    *p++ = '-';
  p = std::copy_n(n.kept.data(), n.count, p);
  std::size_t digits = n.count;
  if (n.sticky) {
    // The cut digits hold a nonzero one, so the tail is above zero and below one
    // unit of the last kept digit: a '1' after it stands for it exactly enough.
    *p++ = '1';
    ++digits;
    --scale;
  }
  // Far beyond either end of the double range the exact exponent no longer
  // matters; clamping keeps it printable.
  scale = std::clamp(scale, -4 * kExponentCap, 4 * kExponentCap);
  out.decade = scale + static_cast<long long>(digits);
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
    const long long v = n.negative ? -n.magnitude : n.magnitude;
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

bool skip_line(CharSource &src, int c) {
  bool seen = false;
  while (c != CharSource::kLineEnd && c != CharSource::kEndOfInput) {
    c = src.next_char();
    seen = seen || !(c == ' ' || c == '\t' || ends_line(c));
  }
  return seen;
}

bool read_field_line(CharSource &src, std::span<char> field) {
  int c = src.next_char();
  if (c == CharSource::kEndOfInput)
    return false;
  std::size_t i = 0;
  while (i < field.size() && !ends_line(c)) {
    field[i++] = static_cast<char>(c);
    if (i < field.size())
      c = src.next_char();
  }
  std::fill(field.begin() + static_cast<std::ptrdiff_t>(i), field.end(), ' ');
  (void)skip_line(src, c);
  return true;
}

ReadError read_list(CharSource &src, std::span<const ListItem> items) {
  int c = src.next_char();
  if (c == CharSource::kEndOfInput)
    return ReadError::end_of_input;
  std::size_t next = 0;
  bool comma_gives_null = true; // at the start of the read and after a comma

  while (next < items.size()) {
    // Blanks and line ends before a value.
    while (is_blank(c) || c == CharSource::kLineEnd)
      c = src.next_char();
    if (c == CharSource::kEndOfInput)
      return ReadError::end_of_input;
    if (c == '/')
      break;
    if (c == ',') {
      if (comma_gives_null)
        ++next;
      comma_gives_null = true;
      c = src.next_char();
      continue;
    }

    // A malformed item ends the read at its first wrong character.
    Token t;
    for (; !ends_constant(c); c = src.next_char())
      if (!t.take(static_cast<char>(c), items.size()))
        return ReadError::syntax;
    if (!t.complete())
      return ReadError::syntax;
    comma_gives_null = false;
    const std::size_t copies = std::min(t.copies, items.size() - next);
    if (t.nulls()) {
      next += copies;
      continue;
    }
    for (std::size_t n = copies; n > 0; --n)
      if (const ReadError e = assign(t.k, items[next++]); e != ReadError::none)
        return e;
  }
  (void)skip_line(src, c);
  return ReadError::none;
}

} // namespace kelvor::format
