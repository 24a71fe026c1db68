// List-directed reads of arbitrary console input.
//
// The input is split into console lines (at LF, a CR at the end of a line
// dropped, a last line without LF still a line) and fed to a read of two reals,
// a read of three reals and a read of one integer, each from the first line, and
// then to the same three reads in turn on one stream, as the dialogue makes them.
// Properties:
// - every read ends with its items filled or with one error code, and takes at
//   least one new line (so a dialogue always moves on);
// - where a deliberately simple reference can decide the answer (lines that are
//   empty or hold only plain decimal numbers separated by single commas or
//   blanks), the code and every value agree with it bit for bit: strtof and
//   strtod round correctly.
// The same bytes are also turned into one long well-formed number (a sign, up to
// a few thousand digits with runs of zeros, a point, an exponent with any of the
// six letters) and read into a real item and into an integer item, against
// strtof and strtod: this reaches numbers with more significant digits than any
// float needs, and the edges of the float range.
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "format/list_read.hpp"
#include "tests/support/line_source.hpp"

namespace {

using kelvor::format::ListItem;
using kelvor::format::read_list;
using kelvor::format::ReadError;
using kelvor::test::LineSource;

class Lines final : public LineSource {
public:
  explicit Lines(std::string_view input) : rest_(input) {}

  bool next_line(std::string_view &line) override {
    if (rest_.empty())
      return false;
    const std::size_t nl = rest_.find('\n');
    line = rest_.substr(0, nl);
    rest_.remove_prefix(nl == std::string_view::npos ? rest_.size() : nl + 1);
    if (!line.empty() && line.back() == '\r')
      line.remove_suffix(1);
    ++taken;
    return true;
  }

  int taken = 0;

private:
  std::string_view rest_;
};

[[noreturn]] void fail(const char *what, std::string_view input) {
  std::fprintf(stderr, "%s; input \"%.*s\"\n", what, static_cast<int>(input.size()), input.data());
  std::abort();
}

bool valid(ReadError e) {
  return e == ReadError::none || e == ReadError::syntax || e == ReadError::conversion ||
         e == ReadError::end_of_input;
}

// --- the reference ---------------------------------------------------------

bool is_digit(char c) {
  return c >= '0' && c <= '9';
}

// [sign] digits [. digits], at least one digit, nothing else.
bool plain_number(std::string_view s) {
  std::size_t i = 0, digits = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-'))
    ++i;
  for (; i < s.size() && is_digit(s[i]); ++i)
    ++digits;
  if (i < s.size() && s[i] == '.')
    for (++i; i < s.size() && is_digit(s[i]); ++i)
      ++digits;
  return digits > 0 && i == s.size();
}

// Splits at single commas and blanks; false unless every field is a plain number.
bool plain_fields(std::string_view line, std::vector<std::string> &fields) {
  fields.clear();
  std::size_t start = 0;
  for (std::size_t i = 0; i <= line.size(); ++i) {
    if (i < line.size() && line[i] != ',' && line[i] != ' ')
      continue;
    const std::string_view f = line.substr(start, i - start);
    if (!plain_number(f))
      return false;
    fields.emplace_back(f);
    start = i + 1;
  }
  return true;
}

ReadError reference_real(std::string s, float &v) {
  for (char &c : s)
    if (std::strchr("EeDdQq", c) != nullptr)
      c = 'e';
  v = std::strtof(s.c_str(), nullptr);
  return std::isinf(v) ? ReadError::conversion : ReadError::none;
}

// Digits alone are taken exactly; anything with a point or an exponent goes
// through double and is truncated toward zero.
ReadError reference_integer(std::string s, std::int32_t &v) {
  if (s.find_first_of(".EeDdQq") == std::string::npos) {
    const bool negative = s[0] == '-';
    std::string digits = s.substr(s[0] == '-' || s[0] == '+' ? 1 : 0);
    digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size()));
    if (digits.size() > 10)
      return ReadError::conversion;
    long long m = digits.empty() ? 0 : std::stoll(digits);
    m = negative ? -m : m;
    if (m < INT32_MIN || m > INT32_MAX)
      return ReadError::conversion;
    v = static_cast<std::int32_t>(m);
    return ReadError::none;
  }
  for (char &c : s)
    if (std::strchr("EeDdQq", c) != nullptr)
      c = 'e';
  const double t = std::trunc(std::strtod(s.c_str(), nullptr));
  if (!(t >= -2147483648.0 && t <= 2147483647.0))
    return ReadError::conversion;
  v = static_cast<std::int32_t>(t);
  return ReadError::none;
}

// A read of `reals` real items (or of one integer item when `reals` is 0), or
// nothing where the input is beyond the reference.
struct Expected {
  ReadError error = ReadError::none;
  std::array<float, 3> reals{};
  std::int32_t integer = 0;
};

std::optional<Expected> reference_read(std::string_view input, std::size_t reals) {
  const std::size_t n = reals == 0 ? 1 : reals;
  Expected e;
  Lines lines(input);
  std::vector<std::string> fields;
  std::string_view line;
  std::size_t next = 0;
  while (next < n) {
    if (!lines.next_line(line)) {
      e.error = ReadError::end_of_input;
      return e;
    }
    if (line.empty())
      continue;
    if (!plain_fields(line, fields))
      return std::nullopt;
    for (std::size_t f = 0; f < fields.size() && next < n; ++f, ++next) {
      e.error = reals == 0 ? reference_integer(fields[f], e.integer)
                           : reference_real(fields[f], e.reals[next]);
      if (e.error != ReadError::none)
        return e;
    }
  }
  return e;
}

// --- the reads ---------------------------------------------------------------

constexpr float kUntouchedReal = -12345.5f;
constexpr std::int32_t kUntouchedInteger = 0x5A5A5A5A;

struct Read {
  ReadError error;
  std::array<float, 3> reals;
  std::int32_t integer;
};

Read run_read(LineSource &src, std::size_t reals) {
  Read r{ReadError::none, {kUntouchedReal, kUntouchedReal, kUntouchedReal}, kUntouchedInteger};
  std::array<ListItem, 3> items{};
  if (reals == 0)
    items[0].integer = &r.integer;
  else
    for (std::size_t i = 0; i < reals; ++i)
      items[i].real = &r.reals[i];
  r.error = read_list(src, std::span(items.data(), reals == 0 ? 1 : reals));
  return r;
}

bool same_bits(float a, float b) {
  std::uint32_t x = 0, y = 0;
  std::memcpy(&x, &a, sizeof a);
  std::memcpy(&y, &b, sizeof b);
  return x == y;
}

void check_against_reference(std::string_view input, std::size_t reals, const Read &got) {
  const std::optional<Expected> want = reference_read(input, reals);
  if (!want)
    return;
  if (got.error != want->error) {
    std::fprintf(stderr, "read of %zu reals: error %d, reference %d\n", reals,
                 static_cast<int>(got.error), static_cast<int>(want->error));
    fail("error code differs from the reference", input);
  }
  if (got.error != ReadError::none)
    return;
  if (reals == 0 && got.integer != want->integer) {
    std::fprintf(stderr, "integer %d, reference %d\n", got.integer, want->integer);
    fail("integer differs from the reference", input);
  }
  for (std::size_t i = 0; i < reals; ++i)
    if (!same_bits(got.reals[i], want->reals[i])) {
      std::fprintf(stderr, "item %zu: %.9g, reference %.9g\n", i + 1,
                   static_cast<double>(got.reals[i]), static_cast<double>(want->reals[i]));
      fail("real differs from the reference", input);
    }
}

// The bytes as one well-formed number. Byte 0: sign (bits 0-1), point (bit 2),
// exponent (bit 3), its letter (bits 4-6) and sign (bit 7); byte 1: where the
// point goes; bytes 2-3: exponent magnitude 0..1023; then one digit per byte,
// except that a byte of 250 or more stands for a run of (byte - 249) * 97 zeros.
std::string synthesise(const std::uint8_t *data, std::size_t size) {
  if (size < 5)
    return {};
  std::string digits;
  for (std::size_t i = 4; i < size && digits.size() < 4000; ++i) {
    if (data[i] >= 250)
      digits.append(static_cast<std::size_t>(data[i] - 249) * 97, '0');
    else
      digits.push_back(static_cast<char>('0' + data[i] % 10));
  }
  if (digits.empty())
    return {};
  std::string s;
  if ((data[0] & 3) == 1)
    s += '+';
  else if ((data[0] & 3) == 2)
    s += '-';
  if (data[0] & 4)
    digits.insert(data[1] % (digits.size() + 1), 1, '.');
  s += digits;
  if (data[0] & 8) {
    s += "EeDdQqEe"[(data[0] >> 4) & 7];
    if (data[0] & 128)
      s += '-';
    s += std::to_string((data[2] | (data[3] & 3) << 8));
  }
  return s;
}

void check_long_number(const std::string &number) {
  Lines for_real(number);
  const Read got_real = run_read(for_real, 1);
  float want_real = 0.0f;
  const ReadError real_error = reference_real(number, want_real);
  if (got_real.error != real_error ||
      (real_error == ReadError::none && !same_bits(got_real.reals[0], want_real))) {
    std::fprintf(stderr, "real item: error %d value %.9g, reference error %d value %.9g\n",
                 static_cast<int>(got_real.error), static_cast<double>(got_real.reals[0]),
                 static_cast<int>(real_error), static_cast<double>(want_real));
    fail("long number: real item differs from strtof", number);
  }
  Lines for_integer(number);
  const Read got_integer = run_read(for_integer, 0);
  std::int32_t want_integer = 0;
  const ReadError integer_error = reference_integer(number, want_integer);
  if (got_integer.error != integer_error ||
      (integer_error == ReadError::none && got_integer.integer != want_integer)) {
    std::fprintf(stderr, "integer item: error %d value %d, reference error %d value %d\n",
                 static_cast<int>(got_integer.error), got_integer.integer,
                 static_cast<int>(integer_error), want_integer);
    fail("long number: integer item differs from strtod", number);
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char *>(data), size);

  for (const std::size_t reals : {std::size_t{2}, std::size_t{3}, std::size_t{0}}) {
    Lines lines(input);
    const Read got = run_read(lines, reals);
    if (!valid(got.error))
      fail("read returned no known code", input);
    if (lines.taken == 0 && got.error != ReadError::end_of_input)
      fail("read ended without taking a line", input);
    check_against_reference(input, reals, got);
  }

  // The dialogue's reads in turn on one stream, until one of them fails.
  Lines stream(input);
  for (int pass = 0; pass <= static_cast<int>(size); ++pass) {
    const int before = stream.taken;
    const Read got = run_read(stream, static_cast<std::size_t>(pass % 3 == 2 ? 0 : 2 + pass % 3));
    if (!valid(got.error))
      fail("read returned no known code", input);
    if (got.error != ReadError::none)
      break;
    if (stream.taken == before)
      fail("read completed without taking a new line", input);
  }

  if (const std::string number = synthesise(data, size); !number.empty())
    check_long_number(number);
  return 0;
}
