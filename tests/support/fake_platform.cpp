#include "fake_platform.hpp"

#include <algorithm>
#include <stdexcept>

namespace kelvor::test {

using recordio::platform::OpenResult;
using recordio::platform::Outcome;
using recordio::platform::ReadResult;
using recordio::platform::Standard;
using recordio::platform::Stream;

namespace {
constexpr std::intptr_t kFirstFile = 3;
}

Stream FakePlatform::standard(Standard which) {
  return Stream{static_cast<std::intptr_t>(which)};
}

bool FakePlatform::is_console(Stream stream) {
  return console && stream == standard(Standard::output);
}

OpenResult FakePlatform::open_report(const std::string &name) {
  if (const auto refused = refusals.find(name); refused != refusals.end())
    return refused->second;
  OpenResult r;
  File &file = files[name];
  file.closed = false;
  r.stream = Stream{kFirstFile + static_cast<std::intptr_t>(open_files_.size())};
  open_files_.push_back(&file);
  return r;
}

FakePlatform::File *FakePlatform::file_of(Stream stream) {
  const auto n = static_cast<std::intptr_t>(stream);
  if (n == static_cast<std::intptr_t>(Standard::output))
    return &output;
  if (n == static_cast<std::intptr_t>(Standard::error))
    return &error;
  if (n >= kFirstFile && n - kFirstFile < static_cast<std::intptr_t>(open_files_.size()))
    return open_files_[static_cast<std::size_t>(n - kFirstFile)];
  return nullptr;
}

Outcome FakePlatform::truncate(Stream stream, std::uint64_t length) {
  if (File *f = file_of(stream); f != nullptr && f != &output && f != &error) {
    if (f->cuts_allowed == 0)
      return {false, "Operation not permitted"};
    --f->cuts_allowed;
    const auto kept = static_cast<std::size_t>(std::min<std::uint64_t>(length, f->length));
    f->length = kept;
    if (f->keep)
      f->bytes.resize(kept);
  }
  return {};
}

// Takes what fits below the capacity, as a filling disk does, and fails if not
// all of it did.
Outcome FakePlatform::write(Stream stream, std::string_view bytes) {
  File *f = file_of(stream);
  if (f == nullptr || f->closed)
    return {false, "Bad file descriptor"};
  const std::size_t room = f->capacity > f->length ? f->capacity - f->length : 0;
  const std::size_t taken = std::min(room, bytes.size());
  if (f->keep)
    f->bytes.append(bytes.substr(0, taken));
  f->length += taken;
  if (taken < bytes.size())
    return {false, "No space left on device"};
  return {};
}

ReadResult FakePlatform::read(Stream stream, std::span<char> buffer) {
  if (stream != standard(Standard::input) || input_position_ >= input.size())
    return read_fails ? ReadResult::failure("Input/output error") : ReadResult::end();
  const std::size_t n = std::min({buffer.size(), read_chunk, input.size() - input_position_});
  std::copy_n(input.data() + input_position_, n, buffer.data());
  input_position_ += n;
  return ReadResult::bytes(n);
}

void FakePlatform::close(Stream stream) {
  if (File *f = file_of(stream))
    f->closed = true;
}

void FakePlatform::exit(std::uint32_t status) {
  throw ProcessEnded{status, std::nullopt};
}

void FakePlatform::exit_by_event(ConsoleEvent event) {
  throw ProcessEnded{0, event};
}

void FakePlatform::wait_forever() {
  throw std::logic_error("a second way out of the run was taken");
}

} // namespace kelvor::test
