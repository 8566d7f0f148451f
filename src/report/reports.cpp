#include "report/reports.hpp"

#include <vector>

#include "data/path_text.hpp"
#include "report/field_pages.hpp"
#include "report/page_spool.hpp"
#include "report/season_pages.hpp"

namespace vantrel {

namespace {

// Numbers each page and hands it to the writer.
class Pages {
 public:
  Pages(std::unique_ptr<page::PageWriter> writer, int total)
      : writer_(std::move(writer)), total_(total) {}
  int written() const { return number_; }
  void write(page::Page& p) {
    page::number_page(p, ++number_, total_);
    writer_->write(p);
  }
  bool finish(std::string& error) { return writer_->finish(error); }

 private:
  std::unique_ptr<page::PageWriter> writer_;
  int total_;
  int number_ = 0;
};

std::filesystem::path temporary_folder() {
  std::error_code ec;
  const auto folder = std::filesystem::temp_directory_path(ec);
  return ec ? std::filesystem::path(".") : folder;
}

// The pages laid out so far, on disk beside the report's file, with the summary's rows.
template <typename Row>
class Spooled {
 public:
  Spooled() : spool_(temporary_folder()) {}

  // Writes the summary's pages, then the spooled ones, each numbered of them all.
  bool write(std::vector<page::Page> summary, std::unique_ptr<page::PageWriter> writer,
             std::string& error) {
    Pages pages(std::move(writer), static_cast<int>(summary.size()) + spool_.pages());
    for (page::Page& p : summary)
      pages.write(p);
    const bool read_back = spool_.replay([&](page::Page& p) { pages.write(p); });
    const bool ended = pages.finish(error);
    if (!read_back) {
      error = "the laid-out pages could not be kept in " + path_text(temporary_folder()) + ": " +
              spool_.error();
      return false;
    }
    return ended;
  }

  std::vector<Row> rows;
  page::PageSpool spool_;
};

class FieldReport final : public ProfileReport {
 public:
  FieldReport(const std::filesystem::path& file, WriterMaker writer, const RetentionCurves& curves,
              const ReportContext& context)
      : file_(file),
        writer_(std::move(writer)),
        curves_(curves),
        fc_suction_(context.fc_suction),
        frame_(page::frame_of(context, "vantrel-batch")),
        spooled_() {}

  void add(const ProfileResult& r) override {
    spooled_.rows.push_back(page::summary_row(r));
    spooled_.spool_.add(page::field_page(r, curves_, fc_suction_, frame_));
  }

  bool finish(std::string& error) override {
    return spooled_.write(page::field_summary(spooled_.rows, frame_), writer_(file_), error);
  }

 private:
  std::filesystem::path file_;
  WriterMaker writer_;
  const RetentionCurves& curves_;
  double fc_suction_;
  page::Frame frame_;
  Spooled<page::SummaryRow> spooled_;
};

class SeasonPages final : public SeasonReport {
 public:
  SeasonPages(const std::filesystem::path& file, WriterMaker writer, const ReportContext& context)
      : file_(file),
        writer_(std::move(writer)),
        frame_(page::frame_of(context, "vantrel-schedule")),
        spooled_() {}

  void add(const SeasonResult& s) override {
    spooled_.rows.push_back(page::season_row(s));
    for (const page::Page& p : page::season_pages(s, frame_))
      spooled_.spool_.add(p);
  }

  bool finish(std::string& error) override {
    return spooled_.write(page::season_summary(spooled_.rows, frame_), writer_(file_), error);
  }

 private:
  std::filesystem::path file_;
  WriterMaker writer_;
  page::Frame frame_;
  Spooled<page::SeasonRow> spooled_;
};

}  // namespace

WriterChoice choose_writer(const std::filesystem::path& named, const WriterMaker& pdf) {
  if (page::report_format(named) == page::ReportFormat::html) {
    return {[](const std::filesystem::path& file) {
              return page::make_html_writer(file, "Vantrel irrigation report");
            },
            false, ""};
  }
  if (!pdf) return {{}, true, kNoPdfWriter};
  return {pdf, true, ""};
}

ToolReport tool_report(std::optional<std::filesystem::path>& report, const WriterMaker& pdf,
                       std::string_view program, std::ostream& errors) {
  if (!report) return {};
  WriterChoice choice = choose_writer(*report, pdf);
  if (!choice.writer) {
    errors << program << ": " << path_text(*report) << ": " << choice.refused << '\n';
    report.reset();
    return {{}, false, true};
  }
  return {std::move(choice.writer), choice.pdf, false};
}

std::unique_ptr<ProfileReport> make_field_report(const std::filesystem::path& file,
                                                 const WriterMaker& writer,
                                                 const RetentionCurves& curves,
                                                 const ReportContext& context) {
  return std::make_unique<FieldReport>(file, writer, curves, context);
}

std::unique_ptr<SeasonReport> make_season_report(const std::filesystem::path& file,
                                                 const WriterMaker& writer,
                                                 const ReportContext& context) {
  return std::make_unique<SeasonPages>(file, writer, context);
}

}  // namespace vantrel
