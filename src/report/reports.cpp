#include "report/reports.hpp"

#include <vector>

#include "report/field_pages.hpp"
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

class FieldReport final : public ProfileReport {
 public:
  FieldReport(std::filesystem::path file, WriterMaker writer, const RetentionCurves& curves,
              const ReportContext& context)
      : file_(std::move(file)),
        writer_(std::move(writer)),
        curves_(curves),
        context_(context),
        frame_(page::frame_of(context, "vantrel-batch")) {}

  void add(const ProfileResult& r) override { rows_.push_back(page::summary_row(r)); }

  bool finish(const Replay& replay, std::string& error) override {
    std::vector<page::Page> summary = page::field_summary(rows_, frame_);
    const int total = static_cast<int>(summary.size() + rows_.size());
    Pages pages(writer_(file_), total);
    for (page::Page& p : summary)
      pages.write(p);
    bool read_again = true;
    if (!rows_.empty()) {
      read_again = replay([&](const ProfileResult& r) {
        if (pages.written() >= total) return;  // the input changed: never more pages than said
        page::Page p = page::field_page(r, curves_, context_.fc_suction, frame_);
        pages.write(p);
      });
    }
    const bool ended = pages.finish(error);
    if (!read_again) {
      error = "the input could not be read again for the profiles' pages";
      return false;
    }
    return ended;
  }

 private:
  std::filesystem::path file_;
  WriterMaker writer_;
  const RetentionCurves& curves_;
  ReportContext context_;
  page::Frame frame_;
  std::vector<page::SummaryRow> rows_;
};

class SeasonPages final : public SeasonReport {
 public:
  SeasonPages(std::filesystem::path file, WriterMaker writer, const ReportContext& context)
      : file_(std::move(file)),
        writer_(std::move(writer)),
        frame_(page::frame_of(context, "vantrel-schedule")) {}

  void add(const SeasonResult& s) override {
    rows_.push_back(page::season_row(s));
    seasons_.push_back(s);
  }

  bool finish(std::string& error) override {
    std::vector<page::Page> summary = page::season_summary(rows_, frame_);
    std::size_t total = summary.size();
    for (const SeasonResult& s : seasons_)
      total += page::season_pages(s, frame_).size();
    Pages pages(writer_(file_), static_cast<int>(total));
    for (page::Page& p : summary)
      pages.write(p);
    for (const SeasonResult& s : seasons_) {
      for (page::Page& p : page::season_pages(s, frame_))
        pages.write(p);
    }
    return pages.finish(error);
  }

 private:
  std::filesystem::path file_;
  WriterMaker writer_;
  page::Frame frame_;
  std::vector<page::SeasonRow> rows_;
  std::vector<SeasonResult> seasons_;
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
