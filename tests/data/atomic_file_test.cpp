// A whole-file output of any length arrives byte for byte, however its writes fall against the
// points where its writing to disk begins early, and leaves no temporary file behind.
#include "data/atomic_file.hpp"

#include <gtest/gtest.h>

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace vantrel {
namespace {

std::string read_all(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(AtomicFile, LongOutputsArriveWholeAcrossTheirEarlyWriteback) {
  constexpr std::size_t kMiB = std::size_t{1} << 20;
  const struct Case {
    const char* what;
    std::size_t bytes;
    std::size_t piece;  // the length of each write, the last one shorter
  } cases[] = {
      {"nothing", 0, 1},
      {"one byte", 1, 1},
      {"a byte short of the first writeback", 8 * kMiB - 1, 4096},
      {"the first writeback to the byte", 8 * kMiB, 8 * kMiB},
      {"a byte past it", 8 * kMiB + 1, 1000003},
      {"two writebacks in odd pieces", 17 * kMiB + 17, 65537},
      {"one write of many megabytes", 9 * kMiB, 9 * kMiB},
  };
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() /
      ("atomic-file-test-" + std::to_string(std::random_device{}()));
  std::filesystem::create_directories(folder);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string text(c.bytes, '\0');
    for (std::size_t i = 0; i < text.size(); ++i)
      text[i] = static_cast<char>('a' + (i * 7919) % 26);
    AtomicFile file;
    std::string error;
    ASSERT_TRUE(file.open(folder / "out.csv", error)) << error;
    for (std::size_t at = 0; at < text.size(); at += c.piece)
      ASSERT_TRUE(file.write(std::string_view(text).substr(at, c.piece)));
    ASSERT_TRUE(file.commit(error)) << error;
    EXPECT_TRUE(read_all(folder / "out.csv") == text);
    std::vector<std::filesystem::path> left;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
      left.push_back(entry.path().filename());
    EXPECT_EQ(left, std::vector<std::filesystem::path>{"out.csv"});
  }
#ifndef _WIN32
  // A device is written as a stream: nothing to begin writing early, and nothing fails.
  AtomicFile device;
  std::string error;
  ASSERT_TRUE(device.open("/dev/null", error)) << error;
  const std::string block(3 * kMiB, 'x');
  for (int i = 0; i < 4; ++i)
    EXPECT_TRUE(device.write(block));
  EXPECT_TRUE(device.commit(error)) << error;
#endif
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace vantrel
