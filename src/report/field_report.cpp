#include "report/field_report.hpp"

#include <QFont>
#include <QFontMetricsF>
#include <algorithm>
#include <array>

#include "data/number_text.hpp"
#include "data/safe_text.hpp"
#include "report/report_painter.hpp"

namespace vantrel {

QString form(float value, int width, int decimals) {
  return QString::fromStdString(fixed_form(value, width, decimals)).trimmed();
}

void ReportPainter::font(double size, bool bold) {
  QFont f("Liberation Sans");
  f.setPointSizeF(size * 25.4 / resolution_);  // points, while the painter draws in mm
  f.setBold(bold);
  painter_.setFont(f);
}

void ReportPainter::text(double x, double y, const QString& s, double size, bool bold) {
  font(size, bold);
  painter_.drawText(QPointF(x, y), s);
}

void ReportPainter::right_text(double right, double y, const QString& s, double size, bool bold) {
  font(size, bold);
  const double width = QFontMetricsF(painter_.font(), painter_.device()).horizontalAdvance(s);
  painter_.drawText(QPointF(right - width, y), s);
}

QString ReportPainter::fitted(const std::string& input, double width) const {
  const QString safe = QString::fromStdString(page_text(input));
  return QFontMetricsF(painter_.font(), painter_.device()).elidedText(safe, Qt::ElideRight, width);
}

double ReportPainter::wrapped(const QRectF& box, const QString& s, double size, bool bold) {
  font(size, bold);
  const QRectF needed = painter_.boundingRect(box, Qt::TextWordWrap, s);
  const double height = std::min(needed.height(), box.height());
  painter_.save();
  painter_.setClipRect(QRectF(box.left(), box.top(), box.width(), height));
  painter_.drawText(box, Qt::TextWordWrap, s);
  painter_.restore();
  return height;
}

namespace {

// What the summary keeps of each profile: a row, not the profile.
struct SummaryRow {
  std::string name, crop;
  float root_depth = 0, root_zone_taw = 0, net = 0, gross = 0;
  std::optional<float> interval;
  ProfileStatus status = ProfileStatus::ok;
  int warnings = 0;
};

constexpr int kSummaryRows = 40;  // rows a summary page holds

class PdfReport final : public ProfileReport {
 public:
  PdfReport(const std::filesystem::path& file, const RetentionCurves& curves,
            const ReportContext& context)
      : document_(file, context, "vantrel-batch"),
        curves_(curves),
        context_(context),
        draw_(document_.draw()),
        painter_(document_.painter()) {}

  void add(const ProfileResult& r) override {
    rows_.push_back({r.name, r.crop, r.root_depth, r.water.root_zone_taw, r.irrigation_depth,
                     r.gross_depth, r.interval, r.status, r.warning_count});
  }

  bool finish(const Replay& replay, std::string& error) override {
    const int summary_pages =
        std::max(1, (static_cast<int>(rows_.size()) + kSummaryRows - 1) / kSummaryRows);
    const int pages = summary_pages + static_cast<int>(rows_.size());
    document_.set_pages(pages);
    for (int page = 0; page < summary_pages; ++page) {
      document_.begin_page("Summary");
      summary_page(page);
    }
    bool read_again = true;
    if (!rows_.empty()) {
      read_again = replay([&](const ProfileResult& r) {
        if (document_.page() >= pages) return;  // the input changed: never more pages than said
        document_.begin_page(r.name);
        draw_profile_page(draw_, curves_, r, context_);
      });
    }
    const bool ended = document_.finish(error);
    if (!read_again) {
      error = "the input could not be read again for the profiles' pages";
      return false;
    }
    return ended;
  }

 private:
  void summary_page(int page) {
    double y = kBodyTop + 5;
    if (page == 0) {
      int ok = 0, warned = 0, failed = 0, warnings = 0;
      for (const SummaryRow& r : rows_) {
        ok += r.status == ProfileStatus::ok;
        warned += r.status == ProfileStatus::warning;
        failed += r.status == ProfileStatus::error;
        warnings += r.warnings;
      }
      draw_.text(0, y, QString("Summary of %1 profiles").arg(rows_.size()), 14, true);
      y += 6;
      draw_.wrapped(QRectF(0, y, kPageWidth, 14),
                    QString("%1 ok, %2 with warnings (%3 warnings in all), %4 not computed. "
                            "Apply: the net depth to give when the root zone is due, gross at "
                            "the field's efficiency; every: that depth divided by the crop "
                            "water use. Each profile's page gives the reasons.")
                        .arg(ok)
                        .arg(warned)
                        .arg(warnings)
                        .arg(failed),
                    8.5);
      y += 14;
    }
    // Two-line headings over narrow columns.
    const std::array<std::pair<const char*, const char*>, 9> heads = {{{"Profile", ""},
                                                                       {"Crop", ""},
                                                                       {"Root", "depth cm"},
                                                                       {"Root-zone", "TAW mm"},
                                                                       {"Apply", "net mm"},
                                                                       {"Apply", "gross mm"},
                                                                       {"Every", "days"},
                                                                       {"Status", ""},
                                                                       {"Warnings", ""}}};
    const std::array<double, 9> x = {0, 38, 72, 88, 105, 120, 137, 151, 166};
    y += 3;
    for (std::size_t i = 0; i < heads.size(); ++i) {
      draw_.text(x[i], y - 3.2, heads[i].first, 7.5, true);
      draw_.text(x[i], y, heads[i].second, 7.5, true);
    }
    const std::size_t first = static_cast<std::size_t>(page) * kSummaryRows;
    const std::size_t last = std::min(rows_.size(), first + kSummaryRows);
    for (std::size_t i = first; i < last; ++i) {
      const SummaryRow& r = rows_[i];
      y += 5.2;
      const bool computed = r.status != ProfileStatus::error;
      draw_.font(8);
      draw_.text(x[0], y, draw_.fitted(r.name, 38), 8);
      draw_.font(8);
      draw_.text(x[1], y, draw_.fitted(r.crop.empty() ? "(given directly)" : r.crop, 32), 8);
      const auto number = [&](float v) { return computed ? form(v, 7) : QString("-"); };
      draw_.text(x[2], y, number(r.root_depth), 8);
      draw_.text(x[3], y, number(r.root_zone_taw), 8);
      draw_.text(x[4], y, number(r.net), 8);
      draw_.text(x[5], y, number(r.gross), 8);
      draw_.text(x[6], y, computed && r.interval ? form(*r.interval, 7) : QString("-"), 8);
      draw_.text(x[7], y, QString::fromStdString(std::string(status_name(r.status))), 8,
                 r.status != ProfileStatus::ok);
      draw_.text(x[8], y, QString::number(r.warnings), 8);
    }
    if (rows_.empty()) draw_.text(0, y + 8, "The input holds no profiles.", 12, true);
  }

  ReportDocument document_;
  const RetentionCurves& curves_;
  ReportContext context_;
  ReportPainter& draw_;
  QPainter& painter_;
  std::vector<SummaryRow> rows_;
};

}  // namespace

std::unique_ptr<ProfileReport> make_pdf_report(const std::filesystem::path& file,
                                               const RetentionCurves& curves,
                                               const ReportContext& context) {
  return std::make_unique<PdfReport>(file, curves, context);
}

}  // namespace vantrel
