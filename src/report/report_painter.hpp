// The report's drawing tools: a painter that draws in millimetres on an A4 page inside its
// margins, with texts in points, and the page's parts.
#pragma once

#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QString>
#include <filesystem>
#include <string>

#include "report/report.hpp"

namespace vantrel {

inline constexpr double kPageWidth = 180;  // mm inside the margins of an A4 page
inline constexpr double kPageHeight = 267;
inline constexpr double kBodyTop = 17;      // below the header
inline constexpr double kBodyBottom = 258;  // above the footer

class ReportPainter {
 public:
  ReportPainter(QPainter& painter, double resolution)
      : painter_(painter), resolution_(resolution) {}
  QPainter& painter() { return painter_; }
  // Sets the font: `size` points, bold or not.
  void font(double size, bool bold = false);
  void text(double x, double y, const QString& s, double size = 9, bool bold = false);
  void right_text(double right, double y, const QString& s, double size = 9, bool bold = false);
  // A text of the input as it may be printed (no controls, no reordering marks), cut with an
  // ellipsis to `width` mm in the current font.
  QString fitted(const std::string& input, double width) const;
  // Wraps `s` into the box's width from its top; returns the height it took (mm), at most the
  // box's: what does not fit is cut.
  double wrapped(const QRectF& box, const QString& s, double size = 9, bool bold = false);

 private:
  QPainter& painter_;
  double resolution_;
};

// A PDF of A4 pages for a tool's report, each page with the report's header (the title, the
// field, when and by what it was made, the reference set) and footer ("page N of M").
class ReportDocument {
 public:
  ReportDocument(const std::filesystem::path& file, const ReportContext& context,
                 const QString& creator);
  ReportDocument(const ReportDocument&) = delete;
  ReportDocument& operator=(const ReportDocument&) = delete;
  ReportPainter& draw() { return draw_; }
  QPainter& painter() { return painter_; }
  void set_pages(int total) { pages_ = total; }
  int page() const { return page_; }
  // A new page with its header and footer, the painter in millimetres.
  void begin_page(const std::string& field);
  // Ends the document and puts SOURCE_DATE_EPOCH's date in it when set; false with the reason.
  bool finish(std::string& error);

 private:
  bool fix_creation_date(std::string& error);

  QFile file_;
  QString open_error_;
  QPdfWriter writer_;
  QPainter painter_;
  ReportContext context_;
  ReportPainter draw_;
  int page_ = 0;
  int pages_ = 0;
};

// The window's forms: one decimal for depths, contents and water, two for density.
QString form(float value, int width = 5, int decimals = 1);

// One profile's page body, between kBodyTop and kBodyBottom.
void draw_profile_page(ReportPainter& p, const RetentionCurves& curves,
                       const ProfileResult& profile, const ReportContext& context);

// The sentence of the decision: when to irrigate and how much.
QString decision_sentence(const ProfileResult& profile);

}  // namespace vantrel
