// The Win32 services themselves, in a scratch folder: the report open and its
// refusals, and the cut at the first record while a reader looks on.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>

#include "recordio/platform.hpp"

namespace kelvor::recordio::platform {
namespace {

class Win32Files : public ::testing::Test {
protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH + 1];
    ASSERT_GT(GetTempPathW(MAX_PATH + 1, temp), 0u);
    folder_ = std::wstring(temp) + L"kelvor-" + std::to_wstring(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr) ||
                GetLastError() == ERROR_ALREADY_EXISTS);
    ASSERT_TRUE(SetCurrentDirectoryW(folder_.c_str()));
  }

  void TearDown() override {
    SetCurrentDirectoryW(L"..");
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  Platform &os = native();
  std::wstring folder_;
};

// Each refusal that the system can be made to give here, and its message.
TEST_F(Win32Files, OpenRefusals) {
  ASSERT_TRUE(CreateDirectoryW(L"a folder", nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
  const HANDLE held = CreateFileW(L"held.txt", GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  struct Row {
    std::string name;
    Message refusal;
  };
  const Row rows[] = {
      {"no\\such\\folder\\out.txt", Message::file_not_found},
      {"no/such/folder/out.txt", Message::file_not_found},
      {"a folder", Message::access_denied},
      {std::string(256, 'x'), Message::bad_file_name},
      {"sub\\" + std::string(300, 'y') + "\\out.txt", Message::bad_file_name},
      {"a<b>.txt", Message::bad_file_name},
      {"held.txt", Message::open_failure}, // a sharing violation, with the system's text
  };
  for (const Row &row : rows) {
    const OpenResult r = os.open_report(row.name);
    EXPECT_EQ(r.stream, Stream::none) << row.name;
    EXPECT_EQ(r.refusal, row.refusal) << row.name;
    EXPECT_EQ(r.description.empty(), false) << row.name;
    EXPECT_EQ(r.description.find_first_of("\r\n"), std::string::npos) << row.name;
  }
  CloseHandle(held);
}

// The open keeps the old contents; the cut at the first record removes them
// while another program has the report open for reading.
TEST_F(Win32Files, OpenKeepsCutRemovesWhileReaderLooks) {
  const Stream first = os.open_report("report.txt").stream;
  ASSERT_NE(first, Stream::none);
  ASSERT_TRUE(os.write(first, "an old and longer report\r\n").done);
  os.close(first);

  const Stream s = os.open_report("report.txt").stream;
  ASSERT_NE(s, Stream::none);
  const HANDLE reader = CreateFileW(L"report.txt", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  char bytes[64] = {};
  DWORD got = 0;
  ASSERT_TRUE(ReadFile(reader, bytes, sizeof bytes, &got, nullptr));
  EXPECT_EQ(std::string(bytes, got), "an old and longer report\r\n");

  ASSERT_TRUE(os.truncate(s, 0).done);
  ASSERT_TRUE(os.write(s, "new\r\n").done);
  os.close(s);
  SetFilePointer(reader, 0, nullptr, FILE_BEGIN);
  ASSERT_TRUE(ReadFile(reader, bytes, sizeof bytes, &got, nullptr));
  EXPECT_EQ(std::string(bytes, got), "new\r\n");
  CloseHandle(reader);
}

} // namespace
} // namespace kelvor::recordio::platform
