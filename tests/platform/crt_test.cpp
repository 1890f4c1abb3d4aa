#include "platform/crt.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform_test_support.h"
#include "test_support/files.h"

namespace fs = std::filesystem;
using platform_test::TempPrefix;

namespace {

std::string ReadAll(FILE* f) {
  std::string text;
  for (int c; (c = std::fgetc(f)) != EOF;) text += static_cast<char>(c);
  return text;
}

TEST(TextStream, LineFeedsReachTheDiskAsCrLfUnlessBinary) {
  TempPrefix prefix;
  struct Case {
    const char* mode;
    const char* on_disk;
  } cases[] = {{"wt", "a\r\nb\r\n\r\nc"},
               {"w", "a\r\nb\r\n\r\nc"},
               {"wb", "a\nb\n\nc"},
               {"w+t", "a\r\nb\r\n\r\nc"}};
  for (auto& c : cases) {
    FILE* f = crt::fopen("c:\\out.txt", c.mode);
    ASSERT_NE(f, nullptr) << c.mode;
    std::fputs("a\nb\n", f);
    std::fputc('\n', f);
    std::fputs("c", f);
    ASSERT_EQ(std::fclose(f), 0);
    EXPECT_EQ(test_support::FileBytes(prefix.prefix() / "drive_c" / "out.txt"), c.on_disk)
        << c.mode;
  }
  FILE* f = crt::fopen("c:\\out.txt", "at");
  std::fputs("d\n", f);
  std::fclose(f);
  EXPECT_EQ(test_support::FileBytes(prefix.prefix() / "drive_c" / "out.txt"),
            "a\r\nb\r\n\r\ncd\r\n");
}

TEST(TextStream, ReadingTurnsCrLfIntoLfAtEveryBufferBoundary) {
  TempPrefix prefix;
  fs::path file = prefix.prefix() / "drive_c" / "in.txt";
  fs::create_directories(file.parent_path());
  // Put the CR LF pair across every position near the stream's buffer size.
  for (std::size_t lead : {4094u, 4095u, 4096u, 8190u, 8191u, 8192u}) {
    std::string body(lead, 'x');
    std::ofstream(file, std::ios::binary) << body << "\r\nlone\rcr\r\n\r";
    FILE* f = crt::fopen("c:\\in.txt", "rt");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(ReadAll(f), body + "\nlone\rcr\n\r") << lead;
    std::fclose(f);
  }
}

TEST(TextStream, FailsLikeFopenOnMissingFoldersAndBadModes) {
  TempPrefix prefix;
  EXPECT_EQ(crt::fopen("c:\\NoFolder\\x.txt", "wt"), nullptr);
  EXPECT_EQ(errno, ENOENT);
  EXPECT_EQ(crt::fopen("c:\\x.txt", "q"), nullptr);
  EXPECT_EQ(crt::fopen("c:\\missing.txt", "rt"), nullptr);
}

}  // namespace
