// List-directed reads of arbitrary console input.
//
// The input is split into console lines (at LF, a CR at the end of a line
// dropped, a last line without LF still a line) and fed to a read of two reals,
// a read of three reals and a read of one integer, each from the first line, and
// then to the same three reads in turn on one stream, as the dialogue makes them.
// Properties:
// - every read ends with its items filled or with one error code, and takes at
//   least one new line (so a dialogue always moves on);
// - where the plain reference of tests/support can decide the answer (numbers
//   separated by blanks or single commas, and empty lines), the code and every
//   value agree with it bit for bit: strtof and strtod round correctly.
// The same bytes are also turned into one long well-formed number (a sign, up to
// a few thousand digits with runs of zeros, a point, an exponent with any of the
// six letters) and read into a real item and into an integer item, against
// strtof and strtod: this reaches numbers with more significant digits than any
// float needs, and the edges of the float range.
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "format/list_read.hpp"
#include "tests/support/line_source.hpp"
#include "tests/support/list_read_reference.hpp"

namespace {

using kelvor::format::ListItem;
using kelvor::format::read_list;
using kelvor::format::ReadError;
using kelvor::test::LineSource;
using kelvor::test::reference_read;
using kelvor::test::ReferenceRead;

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

constexpr std::string_view kKinds[] = {"i", "r", "rr", "rrr"};

bool same_bits(double a, double b) {
  std::uint64_t x = 0, y = 0;
  std::memcpy(&x, &a, sizeof a);
  std::memcpy(&y, &b, sizeof b);
  return x == y;
}

void check_against_reference(std::string_view input, std::size_t reals, const Read &got) {
  Lines lines(input);
  const std::optional<ReferenceRead> want = reference_read(lines, kKinds[reals]);
  if (!want)
    return;
  if (got.error != want->error) {
    std::fprintf(stderr, "read of %zu reals: error %d, reference %d\n", reals,
                 static_cast<int>(got.error), static_cast<int>(want->error));
    fail("error code differs from the reference", input);
  }
  if (got.error != ReadError::none)
    return;
  const std::size_t n = reals == 0 ? 1 : reals;
  for (std::size_t i = 0; i < n; ++i) {
    const double value = reals == 0 ? got.integer : static_cast<double>(got.reals[i]);
    if (!same_bits(value, want->values[i])) {
      std::fprintf(stderr, "item %zu: %.9g, reference %.9g\n", i + 1, value, want->values[i]);
      fail("value differs from the reference", input);
    }
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

// A real item and an integer item from the one number.
void check_long_number(const std::string &number) {
  for (const std::size_t reals : {std::size_t{1}, std::size_t{0}}) {
    Lines lines(number);
    check_against_reference(number, reals, run_read(lines, reals));
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
