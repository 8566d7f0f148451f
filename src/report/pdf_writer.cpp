#include "report/pdf_writer.hpp"

#include <QFile>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>

#include "data/path_text.hpp"

namespace vantrel::page {

namespace {

constexpr int kResolution = 300;  // dots per inch of the writer's device

QColor qt(Colour c) {
  return {c.r, c.g, c.b};
}

Qt::PenStyle qt(Dash d) {
  switch (d) {
    case Dash::dashed:
      return Qt::DashLine;
    case Dash::dotted:
      return Qt::DotLine;
    default:
      return Qt::SolidLine;
  }
}

class PdfWriter final : public PageWriter {
 public:
  PdfWriter(const std::filesystem::path& file, const ReportContext& context,
            const std::string& creator)
      : file_(QString::fromStdString(path_text(file))), writer_(&file_), context_(context) {
    // The writer does not report a failed write (a full disk): the file we own does.
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate)) open_error_ = file_.errorString();
    writer_.setPageSize(QPageSize(QPageSize::A4));
    writer_.setPageMargins(QMarginsF(kMargin, kMargin, kMargin, kMargin), QPageLayout::Millimeter);
    writer_.setResolution(kResolution);
    writer_.setTitle("Vantrel irrigation report");
    writer_.setCreator(QString::fromStdString(creator + " " + context.version));
  }

  void write(const Page& page) override {
    if (pages_ == 0) {
      painter_.begin(&writer_);
    } else {
      painter_.restore();
      writer_.newPage();
    }
    ++pages_;
    painter_.save();
    const double unit = kResolution / 25.4;  // device pixels per mm
    painter_.scale(unit, unit);
    for (const Block& b : page.blocks) {
      if (const auto* t = std::get_if<TextBlock>(&b)) {
        text(*t);
      } else if (const auto* table = std::get_if<TableBlock>(&b)) {
        this->table(*table);
      } else {
        for (const Mark& m : std::get<ChartBlock>(b).marks)
          mark(m);
      }
    }
  }

  bool finish(std::string& error) override {
    if (pages_ > 0) painter_.restore();
    const bool ended = pages_ == 0 || painter_.end();
    if (!open_error_.isEmpty() || !file_.flush() || file_.error() != QFileDevice::NoError) {
      error = (open_error_.isEmpty() ? file_.errorString() : open_error_).toStdString();
      return false;
    }
    file_.close();
    if (!ended) {
      error = "the PDF could not be completed";
      return false;
    }
    return context_.fixed_pdf_date.empty() || fix_creation_date(error);
  }

 private:
  // Text is set at its true size in device pixels, not scaled down to millimetres: a font
  // shaped at a fraction of a point rounds its advances to whole pixels and runs wide.
  void font(double size, bool bold) {
    QFont f("Liberation Sans");
    f.setPointSizeF(size);
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferNoHinting);
    painter_.setFont(f);
  }

  // One line at its baseline, placed in [x, x + width] as aligned.
  void line(double x, double width, double baseline, Align align, const std::string& s) {
    const QString q = QString::fromStdString(s);
    constexpr double unit = kResolution / 25.4;  // device pixels per mm
    double at = x * unit;
    if (align != Align::left) {
      const double w = QFontMetricsF(painter_.font(), painter_.device()).horizontalAdvance(q);
      at = align == Align::right ? (x + width) * unit - w : (x + width / 2) * unit - w / 2;
    }
    painter_.save();
    painter_.resetTransform();
    painter_.drawText(QPointF(at, baseline * unit), q);
    painter_.restore();
  }

  void text(const TextBlock& t) {
    if (t.shaded) {
      const QRectF box(t.x - 2, t.top - 1, t.width + 4, t.height() + 2);
      painter_.fillRect(box, qt(kShade));
      painter_.setPen(QPen(qt(kWater), 0.3));
      painter_.drawRect(box);
    }
    painter_.setPen(Qt::black);
    font(t.size, t.bold);
    for (std::size_t i = 0; i < t.lines.size(); ++i)
      line(t.x, t.width, t.baseline(i), t.align, t.lines[i]);
  }

  void table(const TableBlock& t) {
    if (t.columns.empty()) return;
    painter_.setPen(Qt::black);
    font(kHeading, true);
    const double em = kHeading * kMmPerPoint;
    line(t.columns.front().x, 0, t.top + (t.caption_height() - em) / 2 + 0.905 * em, Align::left,
         t.caption);
    const double row = t.row_height();
    const double cell_em = t.size * kMmPerPoint;
    const auto baseline = [&](double top) { return top + (row - cell_em) / 2 + 0.905 * cell_em; };
    const double head = t.top + t.caption_height();
    font(t.size, true);
    for (const Column& c : t.columns) {
      line(c.x, c.width, baseline(head), c.align, c.head);
      line(c.x, c.width, baseline(head + row), c.align, c.unit);
    }
    const double left = t.columns.front().x;
    const double right = t.columns.back().x + t.columns.back().width;
    painter_.setPen(QPen(Qt::black, 0.2));
    painter_.drawLine(QPointF(left, head + 2 * row), QPointF(right, head + 2 * row));
    painter_.setPen(Qt::black);
    double top = head + 2 * row;
    for (const auto& cells : t.rows) {
      for (std::size_t i = 0; i < cells.size() && i < t.columns.size(); ++i) {
        font(t.size, cells[i].bold);
        line(t.columns[i].x, t.columns[i].width, baseline(top), t.columns[i].align, cells[i].text);
      }
      top += row;
    }
  }

  void mark(const Mark& m) {
    switch (m.kind) {
      case Mark::Kind::line: {
        if (m.points.empty()) return;
        QPainterPath path(QPointF(m.points[0].x, m.points[0].y));
        for (std::size_t i = 1; i < m.points.size(); ++i)
          path.lineTo(m.points[i].x, m.points[i].y);
        painter_.setPen(QPen(qt(m.colour), m.width, qt(m.dash)));
        painter_.setBrush(Qt::NoBrush);
        painter_.drawPath(path);
        break;
      }
      case Mark::Kind::rect:
        if (m.points.size() < 2) return;
        painter_.fillRect(
            QRectF(QPointF(m.points[0].x, m.points[0].y), QPointF(m.points[1].x, m.points[1].y))
                .normalized(),
            qt(m.colour));
        break;
      case Mark::Kind::dot:
        if (m.points.empty()) return;
        painter_.setPen(Qt::NoPen);
        painter_.setBrush(qt(m.colour));
        painter_.drawEllipse(QPointF(m.points[0].x, m.points[0].y), m.width, m.width);
        painter_.setBrush(Qt::NoBrush);
        break;
      case Mark::Kind::text:
        if (m.points.empty()) return;
        painter_.setPen(qt(m.colour));
        font(m.size, false);
        line(m.points[0].x, 0, m.points[0].y, m.align, m.text);  // at the point, as aligned
        break;
    }
  }

  // The writer dates the document now; SOURCE_DATE_EPOCH's date, of the same length, takes
  // its place, so no offset in the file moves.
  bool fix_creation_date(std::string& error) {
    if (!file_.open(QIODevice::ReadWrite)) {
      error = file_.errorString().toStdString();
      return false;
    }
    const QByteArray head = file_.read(1 << 16);
    const QByteArray key = "/CreationDate (";
    const qsizetype at = head.indexOf(key);
    const QByteArray date = QByteArray::fromStdString(context_.fixed_pdf_date);
    const qsizetype end = at < 0 ? -1 : head.indexOf(')', at);
    if (at >= 0 && end - (at + key.size()) == date.size()) {
      file_.seek(at + key.size());
      file_.write(date);
    }
    const bool written = file_.flush() && file_.error() == QFileDevice::NoError;
    if (!written) error = file_.errorString().toStdString();
    file_.close();
    return written;
  }

  QFile file_;
  QString open_error_;
  QPdfWriter writer_;
  QPainter painter_;
  ReportContext context_;
  int pages_ = 0;
};

}  // namespace

std::unique_ptr<PageWriter> make_pdf_writer(const std::filesystem::path& file,
                                            const ReportContext& context,
                                            const std::string& creator) {
  return std::make_unique<PdfWriter>(file, context, creator);
}

}  // namespace vantrel::page
