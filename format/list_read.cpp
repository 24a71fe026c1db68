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
// Conversion. A value is given to its item by the rules of list_assign.hpp; a
// real takes the decimal value rounded once to the nearest float.
#include "format/list_read.hpp"

#include <algorithm>
#include <cstddef>
#include <string_view>

#include "format/list_assign.hpp"

namespace kelvor::format {

namespace {

bool is_blank(int c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
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
  ListValue k;

  // False when `c` cannot continue a well-formed item.
  bool take(char c, std::size_t item_count) {
    Decimal &n = k.number;
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
    k = ListValue{};
    return enter(Phase::start);
  }

  std::size_t repeat_count_ = 0;
  bool exponent_negative_ = false;
};

} // namespace

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
