#include "data/reference_file.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/temp_dir.hpp"

namespace vantrel {
namespace {

using testing::TempDir;

std::vector<std::string> all_lines(ReferenceFile& unit) {
  std::vector<std::string> lines;
  LineText line;
  while (unit.read_line(line) == kReadOk)
    lines.emplace_back(line.trimmed());
  return lines;
}

TEST(ReadLine, ReadsLinesBlankPadded) {
  TempDir dir;
  ReferenceFile unit(dir.write("f.csv", "first\n\nthird  \nlast without end"));
  LineText line;
  ASSERT_EQ(unit.read_line(line), kReadOk);
  EXPECT_EQ(line.view(), "first" + std::string(251, ' '));
  ASSERT_EQ(unit.read_line(line), kReadOk);
  EXPECT_TRUE(line.blank());
  ASSERT_EQ(unit.read_line(line), kReadOk);
  EXPECT_EQ(line.trimmed(), "third");
  ASSERT_EQ(unit.read_line(line), kReadOk);
  EXPECT_EQ(line.trimmed(), "last without end");
  EXPECT_EQ(unit.line_number(), 4);
  EXPECT_EQ(unit.read_line(line), kEndOfFile);
  EXPECT_EQ(unit.read_line(line), kEndOfFile);
}

TEST(ReadLine, WindowsLineEndsAndByteOrderMark) {
  TempDir dir;
  ReferenceFile unit(dir.write("f.csv", "\xEF\xBB\xBFloam,40\r\nsand,90\r\n\r\nend\r"));
  EXPECT_EQ(all_lines(unit), (std::vector<std::string>{"loam,40", "sand,90", "", "end"}));

  // A mark later in the file, or a CR inside a line, is ordinary text.
  ReferenceFile other(dir.write("g.csv", "a\r b\n\xEF\xBB\xBFx\n"));
  EXPECT_EQ(all_lines(other), (std::vector<std::string>{"a\r b", "\xEF\xBB\xBFx"}));
}

TEST(ReadLine, LongLinesAreCutAndTheNextReadStartsAtTheNextLine) {
  TempDir dir;
  const std::string long_line = std::string(256, 'a') + std::string(44, 'b');  // 300 characters
  ReferenceFile unit(
      dir.write("f.csv", long_line + "\r\nnext\n" + std::string(100000, 'c') + "\nz"));
  LineText line;
  ASSERT_EQ(unit.read_line(line), kReadOk);
  EXPECT_EQ(line.view(), std::string(256, 'a'));
  ASSERT_EQ(unit.read_line(line), kReadOk);
  EXPECT_EQ(line.trimmed(), "next");
  ASSERT_EQ(unit.read_line(line), kReadOk);
  EXPECT_EQ(line.view(), std::string(256, 'c'));
  ASSERT_EQ(unit.read_line(line), kReadOk);
  EXPECT_EQ(line.trimmed(), "z");
}

TEST(ReadLine, ExactlyFullLineWithCarriageReturn) {
  TempDir dir;
  const std::string full(256, 'x');
  ReferenceFile unit(dir.write("f.csv", full + "\r\n" + std::string(255, 'y') + "\r\r\n"));
  LineText line;
  ASSERT_EQ(unit.read_line(line), kReadOk);
  EXPECT_EQ(line.view(), full);
  ASSERT_EQ(unit.read_line(line), kReadOk);
  EXPECT_EQ(line.view(), std::string(255, 'y') + "\r");  // only the CR of the line end goes
}

TEST(ReadLine, NulBytesAreKept) {
  TempDir dir;
  ReferenceFile unit(dir.write("f.csv", std::string("a\0b\n", 4)));
  LineText line;
  ASSERT_EQ(unit.read_line(line), kReadOk);
  EXPECT_EQ(line.trimmed(), std::string_view("a\0b", 3));
}

TEST(OpenReferenceFile, MissingFileIsCreatedEmpty) {
  TempDir dir;
  const auto path = dir / "Soil_WRC.csv";
  ReferenceFile unit(path);
  EXPECT_TRUE(std::filesystem::exists(path));
  EXPECT_EQ(std::filesystem::file_size(path), 0U);
  LineText line;
  EXPECT_EQ(unit.read_line(line), kEndOfFile);
}

TEST(OpenReferenceFile, FolderOrUnreadableFileIsAFatalStop) {
  TempDir dir;
  std::filesystem::create_directory(dir / "folder.csv");
  EXPECT_THROW(ReferenceFile(dir / "folder.csv"), FatalStop);
  EXPECT_THROW(ReferenceFile(dir / "missing-folder" / "x.csv"), FatalStop);
  if (::geteuid() != 0) {  // root reads whatever the permissions say
    const auto locked = dir.write("locked.csv", "a\n");
    ::chmod(locked.c_str(), 0);
    EXPECT_THROW(ReferenceFile{locked}, FatalStop);
  }
}

TEST(Inline, SkipsHeaderLines) {
  TempDir dir;
  ReferenceFile unit(dir.write("f.csv", "h1\nh2\nh3\nrow\n"));
  INLINE(unit, 3, false);
  LineText line;
  ASSERT_EQ(unit.read_line(line), kReadOk);
  EXPECT_EQ(line.trimmed(), "row");
  INLINE(unit, 0, false);
  INLINE(unit, -4, false);
  EXPECT_EQ(unit.read_line(line), kEndOfFile);
}

TEST(Inline, EchoWritesTheFirst80Characters) {
  TempDir dir;
  const std::string wide(100, 'w');
  ReferenceFile unit(dir.write("f.csv", "short\n" + wide + "\n"));
  std::ostringstream out;
  INLINE(unit, 2, true, out);
  EXPECT_EQ(out.str(), "short" + std::string(75, ' ') + "\n" + std::string(80, 'w') + "\n");
}

TEST(Inline, EndOfFileInHeaderIsAFatalStopNamingUnitAndFile) {
  TempDir dir;
  const auto path = dir.write("fao-crop_databse.csv", "h1\nh2\nh3\n");
  ReferenceFile unit(path);
  try {
    INLINE(unit, 4, false);
    FAIL() << "no stop";
  } catch (const FatalStop& stop) {
    EXPECT_EQ(std::string(stop.what()), "end-of-file during read, unit 41, file " + path.string());
  }
}

}  // namespace
}  // namespace vantrel
