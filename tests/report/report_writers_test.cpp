// The two writers of one laid-out report: a hostile page written as HTML stays inert and
// self-contained; the tools' reports show the same words on the same pages as PDF and as HTML,
// every irrigation date, and as many pages in a real browser.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "report/page_flow.hpp"
#include "report/page_writer.hpp"
#include "report/reports.hpp"
#include "support/shell.hpp"
#include "support/temp_dir.hpp"

namespace vantrel {
namespace {

using testing::Ran;
using testing::shell;
using testing::TempDir;

// The HTML's pages, each as the words its text shows (tags dropped, entities read, the head
// and the chart's accessible names left out: they are not on the page).
std::vector<std::multiset<std::string>> html_pages(const std::string& html) {
  std::vector<std::multiset<std::string>> pages;
  std::size_t at = 0;
  while ((at = html.find("<section class=\"page\"", at)) != std::string::npos) {
    const std::size_t end = html.find("</section>", at);
    std::string text;
    bool in_tag = false;
    for (std::size_t i = html.find('>', at) + 1; i < end; ++i) {
      const char c = html[i];
      if (c == '<') in_tag = true;
      if (!in_tag) text += c;
      if (c == '>') {
        in_tag = false;
        text += ' ';
      }
    }
    // &amp; last, so that an escaped entity stays the text it was.
    for (const auto& [entity, ch] : std::vector<std::pair<std::string, std::string>>{
             {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#39;", "'"}, {"&amp;", "&"}}) {
      for (std::size_t k = 0; (k = text.find(entity, k)) != std::string::npos; k += ch.size())
        text.replace(k, entity.size(), ch);
    }
    std::istringstream words(text);
    std::multiset<std::string> page;
    for (std::string w; words >> w;)
      page.insert(w);
    pages.push_back(page);
    at = end;
  }
  return pages;
}

std::multiset<std::string> pdf_page(const std::filesystem::path& pdf, int n) {
  const Ran text = shell("pdftotext -raw -f " + std::to_string(n) + " -l " + std::to_string(n) +
                         " " + pdf.string() + " -");
  std::istringstream words(text.output);
  std::multiset<std::string> page;
  for (std::string w; words >> w;)
    page.insert(w);
  return page;
}

// Start tags, end tags and self-closed tags balance, as in any well-formed document.
bool balanced(const std::string& html, std::string& why) {
  std::vector<std::string> open;
  for (std::size_t at = html.find("<html"); at != std::string::npos; at = html.find('<', at + 1)) {
    const std::size_t end = html.find('>', at);
    if (end == std::string::npos) {
      why = "a tag never closed";
      return false;
    }
    const std::string tag = html.substr(at + 1, end - at - 1);
    const std::string name =
        tag.substr(tag[0] == '/' ? 1 : 0, tag.find_first_of(" />", 1) - (tag[0] == '/' ? 1 : 0));
    if (tag[0] == '/') {
      if (open.empty() || open.back() != name) {
        why = "</" + name + "> closes " + (open.empty() ? std::string("nothing") : open.back());
        return false;
      }
      open.pop_back();
    } else if (tag.back() != '/') {
      open.push_back(name);
    }
  }
  why = open.empty() ? "" : "<" + open.back() + "> left open";
  return open.empty();
}

TEST(HtmlWriter, AHostilePageStaysInertAndSelfContained) {
  TempDir dir;
  page::Frame frame{"Made today by <script>alert(1)</script> & co.",
                    "Reference profiles: /tmp/\"quoted\" 'folder'",
                    "footer",
                    {}};
  page::Page p = page::framed_page(frame, "<img src=x onerror=alert(1)>");
  page::Flow flow(p, page::body_top(frame));
  flow.title("Profile </section><script>");
  page::TableBlock& t =
      flow.table("A <table>", {{"Name", "", 0, 60}, {"mm", "", 60, 20, page::Align::right}});
  t.rows.push_back({{"=cmd|' /C calc'!A0 <b>"}, {"1.0"}});
  flow.below(t);
  page::ChartBlock& c = flow.chart("A \"chart\"", "its <desc>", 40);
  page::add_label(c, {10, c.top + 10}, "<tspan>&amp;</tspan>");
  page::number_page(p, 1, 1);
  auto writer = page::make_html_writer(dir / "r.html", "title <b>");
  writer->write(p);
  writer->write(p);
  std::string error;
  ASSERT_TRUE(writer->finish(error)) << error;
  const std::string html = testing::read_all(dir / "r.html");
  std::string why;
  EXPECT_TRUE(balanced(html, why)) << why;
  for (const char* never : {"<script", "<img", " src=\"", " href=\"", "url(", "@import", "<link",
                            "<b>", "</section><script"}) {
    EXPECT_EQ(html.find(never), std::string::npos) << never;
  }
  // Every id once.
  std::set<std::string> ids;
  for (std::size_t at = 0; (at = html.find(" id=\"", at)) != std::string::npos; ++at) {
    const std::string id = html.substr(at + 5, html.find('"', at + 5) - at - 5);
    EXPECT_TRUE(ids.insert(id).second) << id;
  }
  EXPECT_EQ(ids.size(), 2u);
  EXPECT_NE(html.find("&lt;img src=x onerror=alert(1)&gt;"), std::string::npos);
  const auto pages = html_pages(html);
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(pages[0].count("<tspan>&amp;</tspan>"), 1u) << ::testing::PrintToString(pages[0]);
  EXPECT_EQ(pages[0].count("page"), 1u);
}

TEST(ReportWriters, TheNameChoosesTheWriter) {
  const WriterMaker pdf = [](const std::filesystem::path& f) {
    return page::make_html_writer(f, "stands in for the PDF writer");
  };
  const struct {
    const char* name;
    bool with_pdf, writer, is_pdf;
  } cases[] = {
      {"r.html", false, true, false},    {"R.HTM", false, true, false},
      {"r.pdf", true, true, true},       {"r.pdf", false, false, true},
      {"/dev/stdout", true, true, true}, {"-", false, false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const WriterChoice choice = choose_writer(c.name, c.with_pdf ? pdf : WriterMaker{});
    EXPECT_EQ(static_cast<bool>(choice.writer), c.writer);
    EXPECT_EQ(choice.pdf, c.is_pdf);
    EXPECT_EQ(choice.refused.empty(), c.writer);
  }
}

// The tools' reports as a farmer gets them, in both formats.
class ToolReports : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (shell("command -v pdftotext").status != 0) return;
    const std::filesystem::path examples = VANTREL_EXAMPLES;
    const std::string data = " --quiet --data " + std::string(VANTREL_REFERENCE_DIR) + " ";
    const std::string season = std::string(VANTREL_SCHEDULE) + data + "--weather " +
                               (examples / "weather.csv").string() + " " +
                               (examples / "season.csv").string() + " --report ";
    const std::string fields =
        std::string(VANTREL_BATCH) + data + (examples / "fields.csv").string() + " --report ";
    for (const std::string& kind : {std::string("pdf"), std::string("html")}) {
      ran_ = shell("cd " + dir_->path().string() + " && SOURCE_DATE_EPOCH=86400 " + season +
                   "season." + kind + " --events events.csv && SOURCE_DATE_EPOCH=86400 " + fields +
                   "fields." + kind);
    }
  }
  static std::filesystem::path at(const char* name) { return dir_->path() / name; }
  void SetUp() override {
    if (shell("command -v pdftotext").status != 0) GTEST_SKIP() << "no pdftotext";
    ASSERT_EQ(ran_.status, 0) << ran_.output;
  }
  static inline std::unique_ptr<TempDir> dir_ = std::make_unique<TempDir>();
  static inline Ran ran_;
};

TEST_F(ToolReports, EachPageShowsTheSameWordsAsPdfAndAsHtml) {
  for (const char* report : {"season", "fields"}) {
    SCOPED_TRACE(report);
    const auto pdf = at((std::string(report) + ".pdf").c_str());
    const auto pages = html_pages(testing::read_all(at((std::string(report) + ".html").c_str())));
    const Ran info = shell("pdfinfo " + pdf.string());
    ASSERT_NE(info.output.find("Pages:           " + std::to_string(pages.size()) + "\n"),
              std::string::npos)
        << info.output << pages.size();
    for (std::size_t n = 0; n < pages.size(); ++n) {
      SCOPED_TRACE("page " + std::to_string(n + 1));
      const auto words = pdf_page(pdf, static_cast<int>(n + 1));
      std::vector<std::string> only_pdf, only_html;
      std::set_difference(words.begin(), words.end(), pages[n].begin(), pages[n].end(),
                          std::back_inserter(only_pdf));
      std::set_difference(pages[n].begin(), pages[n].end(), words.begin(), words.end(),
                          std::back_inserter(only_html));
      EXPECT_TRUE(only_pdf.empty() && only_html.empty())
          << "only in the PDF: " << ::testing::PrintToString(only_pdf)
          << "\nonly in the HTML: " << ::testing::PrintToString(only_html);
    }
  }
}

// The tools' HTML reports are well formed, name each id once and fetch nothing.
TEST_F(ToolReports, TheHtmlIsWellFormedAndSelfContained) {
  for (const char* report : {"season.html", "fields.html"}) {
    SCOPED_TRACE(report);
    const std::string html = testing::read_all(at(report));
    std::string why;
    EXPECT_TRUE(balanced(html, why)) << why;
    std::set<std::string> ids;
    for (std::size_t k = 0; (k = html.find(" id=\"", k)) != std::string::npos; ++k)
      EXPECT_TRUE(ids.insert(html.substr(k + 5, html.find('"', k + 5) - k - 5)).second);
    EXPECT_GT(ids.size(), 1u);
    for (const char* never : {"<script", " src=\"", " href=\"", "url(", "@import", "<link"})
      EXPECT_EQ(html.find(never), std::string::npos) << never;
    EXPECT_NE(html.find("<th scope=\"col\""), std::string::npos);
    EXPECT_NE(html.find("<caption"), std::string::npos);
    EXPECT_NE(html.find("role=\"img\" aria-label=\""), std::string::npos);
    EXPECT_NE(html.find("@page { size: 210mm 297mm"), std::string::npos);
  }
}

// Every irrigation date is in the report, on the season's pages and on its calendar; none is
// summed up as "more".
TEST_F(ToolReports, EveryIrrigationDateIsListed) {
  const std::string html = testing::read_all(at("season.html"));
  std::istringstream events(testing::read_all(at("events.csv")));
  std::string line;
  std::getline(events, line);
  int dates = 0;
  while (std::getline(events, line)) {
    const std::string date = line.substr(line.find(',') + 1, 10);
    EXPECT_NE(html.find("\">" + date + "</td>"), std::string::npos) << date;
    ++dates;
  }
  EXPECT_EQ(dates, 16 + 27);  // the README's season
  EXPECT_EQ(html.find(" more"), std::string::npos);
  for (const char* shown : {"Irrigation days (continued)", "Irrigation calendar of River plot",
                            "<caption style=\"font-size:11pt;line-height:6.21mm\">July 2026"}) {
    EXPECT_NE(html.find(shown), std::string::npos) << shown;
  }
}

// A real browser prints the HTML on as many A4 pages as the PDF has.
TEST_F(ToolReports, ABrowserPrintsAsManyPages) {
  if (shell("command -v chromium").status != 0) GTEST_SKIP() << "no chromium";
  for (const char* report : {"season", "fields"}) {
    SCOPED_TRACE(report);
    const auto html = at((std::string(report) + ".html").c_str());
    const auto printed = at((std::string(report) + "-printed.pdf").c_str());
    const Ran print = shell(
        "timeout 120 chromium --headless --no-sandbox --disable-gpu "
        "--no-pdf-header-footer --user-data-dir=" +
        (dir_->path() / "chromium").string() + " --print-to-pdf=" + printed.string() + " file://" +
        html.string());
    ASSERT_TRUE(std::filesystem::exists(printed)) << print.output;
    const auto pages = [](const std::filesystem::path& pdf) {
      const std::string info = shell("pdfinfo " + pdf.string()).output;
      const std::size_t at = info.find("Pages:");
      return at == std::string::npos ? -1 : std::stoi(info.substr(at + 6));
    };
    EXPECT_EQ(pages(printed), pages(at((std::string(report) + ".pdf").c_str())));
    EXPECT_NE(shell("pdfinfo " + printed.string()).output.find("pts (A4)"), std::string::npos);
  }
}

// --units inch: the report in inches of water, inches per foot and inches of depth, the other
// outputs in their own units; anything but mm or inch is a usage error.
TEST(ReportUnits, InchesOnTheReportOnly) {
  TempDir dir;
  const std::filesystem::path examples = VANTREL_EXAMPLES;
  const std::string run =
      std::string(VANTREL_BATCH) + " --quiet --data " + std::string(VANTREL_REFERENCE_DIR) + " " +
      (examples / "fields.csv").string() + " --results " + (dir / "r.csv").string() + " --report ";
  const Ran mm = shell(run + (dir / "mm.html").string());
  const Ran inch = shell(run + (dir / "inch.html").string() + " --units inch");
  ASSERT_EQ(mm.status, 0) << mm.output;
  ASSERT_EQ(inch.status, 0) << inch.output;
  const std::string in_mm = testing::read_all(dir / "mm.html");
  const std::string in_inch = testing::read_all(dir / "inch.html");
  // North meadow's 86.1 mm net is 3.39 in; its 100 cm of roots 39.4 in.
  EXPECT_NE(in_mm.find("it has then lost 86.1 mm."), std::string::npos);
  EXPECT_NE(in_inch.find("it has then lost 3.39 in."), std::string::npos);
  EXPECT_NE(in_inch.find("root depth 39.4 in (3.3 ft)"), std::string::npos);
  EXPECT_NE(in_inch.find("in/ft"), std::string::npos);
  EXPECT_EQ(in_inch.find(" mm net"), std::string::npos);
  EXPECT_NE(testing::read_all(dir / "r.csv").find("irrigation_depth_mm"), std::string::npos);
  const Ran feet = shell(run + (dir / "x.html").string() + " --units feet");
  EXPECT_EQ(feet.status, 2);
  EXPECT_NE(feet.output.find("--units needs mm or inch, not \"feet\""), std::string::npos);
}

}  // namespace
}  // namespace vantrel
