// The documentation as a reader tries it: every `sh` block of README.md and docs/ runs from a
// folder with the project's examples and reference files, with the built tools on the PATH,
// and prints each line of the `text` block after it; every ./dev.sh task named exists; and
// each tool's --help, manual page and docs page name the same options.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/shell.hpp"
#include "support/temp_dir.hpp"

namespace vantrel {
namespace {

using testing::read_all;
using testing::shell;
using testing::TempDir;

const std::filesystem::path kRoot = VANTREL_SOURCE_DIR;

struct Block {
  std::string info, text;
  int line = 0;
  bool follows = false;  // only blank lines or one line of prose since the block before
};

std::vector<Block> fenced_blocks(const std::string& markdown) {
  std::vector<Block> blocks;
  std::istringstream in(markdown);
  std::string line;
  int number = 0, since = 0;
  Block* open = nullptr;
  while (std::getline(in, line)) {
    ++number;
    if (line.starts_with("```")) {
      if (open != nullptr) {
        open = nullptr;
        since = 0;
      } else {
        blocks.push_back({line.substr(3), "", number, since <= 2 && !blocks.empty()});
        open = &blocks.back();
      }
    } else if (open != nullptr) {
      open->text += line + '\n';
    } else if (!line.empty()) {
      ++since;
    }
  }
  return blocks;
}

std::vector<std::filesystem::path> pages() {
  std::vector<std::filesystem::path> all = {kRoot / "README.md"};
  for (const auto& entry : std::filesystem::directory_iterator(kRoot / "docs")) {
    if (entry.path().extension() == ".md") all.push_back(entry.path());
  }
  return all;
}

std::string tool_path() {
  std::string path;
  for (const char* tool : {VANTREL_BATCH, VANTREL_SCHEDULE, VANTREL_REFERENCE_TOOL, VANTREL_SCRIPT})
    path += std::filesystem::path(tool).parent_path().string() + ':';
  return path;
}

TEST(Docs, EveryExampleRunsAndPrintsWhatItSays) {
  int examples = 0;
  for (const auto& page : pages()) {
    const std::vector<Block> blocks = fenced_blocks(read_all(page));
    for (std::size_t i = 0; i < blocks.size(); ++i) {
      if (blocks[i].info != "sh") continue;
      SCOPED_TRACE(page.filename().string() + ":" + std::to_string(blocks[i].line));
      ++examples;
      TempDir dir;
      for (const char* linked : {"examples", "reference"})
        std::filesystem::create_directory_symlink(kRoot / linked, dir / linked);
      dir.write("example.sh", "set -eo pipefail\n" + blocks[i].text);
      const testing::Ran ran = shell("cd " + dir.path().string() + " && PATH=" + tool_path() +
                                     "$PATH SOURCE_DATE_EPOCH=0 FORT99=/dev/null bash example.sh");
      EXPECT_EQ(ran.status, 0) << blocks[i].text << ran.output;
      if (i + 1 < blocks.size() && blocks[i + 1].info == "text" && blocks[i + 1].follows) {
        std::istringstream said(blocks[i + 1].text);
        for (std::string line; std::getline(said, line);) {
          if (!line.empty()) {
            EXPECT_NE(ran.output.find(line), std::string::npos) << line;
          }
        }
      }
    }
  }
  EXPECT_GE(examples, 5);  // README's two, and one a tool page at least
}

TEST(Docs, EveryDevTaskNamedExists) {
  const std::string dev = read_all(kRoot / "dev.sh");
  const std::regex task(R"(\./dev\.sh ([a-z][a-z-]*)(?: (vantrel-[a-z]+))?)");
  int named = 0;
  for (const auto& page : pages()) {
    const std::string text = read_all(page);
    for (std::sregex_iterator m(text.begin(), text.end(), task), end; m != end; ++m) {
      ++named;
      SCOPED_TRACE(page.filename().string() + ": " + m->str());
      EXPECT_NE(dev.find("\n  " + (*m)[1].str() + ")"), std::string::npos);
      if ((*m)[2].matched) {
        EXPECT_NE(dev.find("      " + (*m)[2].str() + ") folder="), std::string::npos);
      }
    }
  }
  EXPECT_GE(named, 10);
}

std::set<std::string> options_in(const std::string& text) {
  const std::regex option(R"(--[a-z][a-z-]*[a-z])");
  std::set<std::string> found;
  for (std::sregex_iterator m(text.begin(), text.end(), option), end; m != end; ++m)
    found.insert(m->str());
  return found;
}

TEST(Docs, HelpManualAndPageNameTheSameOptions) {
  const struct {
    const char* tool;
    std::string program;
  } tools[] = {{"vantrel-batch", VANTREL_BATCH},
               {"vantrel-schedule", VANTREL_SCHEDULE},
               {"vantrel-reference", VANTREL_REFERENCE_TOOL},
               {"vantrel-script", VANTREL_SCRIPT}};
  for (const auto& t : tools) {
    SCOPED_TRACE(t.tool);
    const std::set<std::string> help = options_in(shell(t.program + " --help").output);
    std::string manual = read_all(kRoot / "packaging" / "man" / (std::string(t.tool) + ".1"));
    manual = std::regex_replace(manual, std::regex(R"(\\-)"), "-");
    const std::set<std::string> page =
        options_in(read_all(kRoot / "docs" / (std::string(t.tool) + ".md")));
    EXPECT_TRUE(help.count("--help") == 1 && help.count("--version") == 1);
    EXPECT_EQ(options_in(manual), help) << "the manual page and --help";
    EXPECT_EQ(page, help) << "docs/" << t.tool << ".md and --help";
  }
}

}  // namespace
}  // namespace vantrel
