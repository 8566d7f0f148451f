#include "report/season_report.hpp"

#include <QPainterPath>
#include <algorithm>
#include <array>
#include <cmath>

#include "report/report_painter.hpp"

namespace vantrel {

namespace {

constexpr int kSummaryRows = 40;
constexpr int kEventRows = 18;  // events listed on a page; the rest are counted

const QColor kWater(0x1f, 0x5f, 0xa8), kIrrigation(0xc0, 0x5a, 0x12), kRain(0x4a, 0x9a, 0xd8);

QColor stage_shade(Stage stage) {
  switch (stage) {
    case Stage::initial:
      return QColor(0xf4, 0xf4, 0xec);
    case Stage::development:
      return QColor(0xe9, 0xf3, 0xe2);
    case Stage::mid:
      return QColor(0xdc, 0xee, 0xd3);
    default:
      return QColor(0xf3, 0xec, 0xdc);
  }
}

// The season's yield reduction (FAO-33), for the season and by stage, or why there is none.
QString yield_line(const SeasonResult& s) {
  if (!s.yield_reduction_pct) return "Yield reduction: no Ky for this crop";
  QString line =
      QString("Yield reduction (FAO-33, Ky): %1 %").arg(*s.yield_reduction_pct, 0, 'f', 1);
  if (s.yield_reduction_stages_pct)
    line += QString(", by stage %1 %").arg(*s.yield_reduction_stages_pct, 0, 'f', 1);
  return line;
}

class SeasonPdf final : public SeasonReport {
 public:
  SeasonPdf(const std::filesystem::path& file, const ReportContext& context)
      : document_(file, context, "vantrel-schedule"), draw_(document_.draw()) {}

  void add(const SeasonResult& season) override { seasons_.push_back(season); }

  bool finish(std::string& error) override {
    const int summary_pages =
        std::max(1, (static_cast<int>(seasons_.size()) + kSummaryRows - 1) / kSummaryRows);
    document_.set_pages(summary_pages + static_cast<int>(seasons_.size()));
    for (int page = 0; page < summary_pages; ++page) {
      document_.begin_page("Season summary");
      summary(page);
    }
    for (const SeasonResult& s : seasons_) {
      document_.begin_page(s.profile);
      season_page(s);
    }
    return document_.finish(error);
  }

 private:
  void summary(int page) {
    double y = kBodyTop + 5;
    if (page == 0) {
      draw_.text(0, y, QString("Irrigation schedule of %1 profiles").arg(seasons_.size()), 14,
                 true);
      y += 6;
      draw_.wrapped(QRectF(0, y, kPageWidth, 12),
                    "Per profile, from its planting date: the crop's water use (ETc), the rain, "
                    "the irrigation the schedule gives (net into the root zone, gross at the "
                    "field's efficiency) and how often. Each profile's page shows its season.",
                    8.5);
      y += 12;
    }
    const std::array<std::pair<const char*, const char*>, 9> heads = {{{"Profile", ""},
                                                                       {"Planted", ""},
                                                                       {"Days", ""},
                                                                       {"ETc", "mm"},
                                                                       {"Rain", "mm"},
                                                                       {"Irrigation", "net mm"},
                                                                       {"Irrigation", "gross mm"},
                                                                       {"Irriga-", "tions"},
                                                                       {"Status", ""}}};
    const std::array<double, 9> x = {0, 44, 66, 78, 94, 110, 128, 146, 160};
    y += 3;
    for (std::size_t i = 0; i < heads.size(); ++i) {
      draw_.text(x[i], y - 3.2, heads[i].first, 7.5, true);
      draw_.text(x[i], y, heads[i].second, 7.5, true);
    }
    document_.painter().setPen(QPen(Qt::black, 0.2));
    document_.painter().drawLine(QPointF(0, y + 1.5), QPointF(kPageWidth, y + 1.5));
    const std::size_t first = static_cast<std::size_t>(page) * kSummaryRows;
    for (std::size_t i = first; i < std::min(seasons_.size(), first + kSummaryRows); ++i) {
      const SeasonResult& s = seasons_[i];
      y += 5.2;
      draw_.font(8);
      draw_.text(x[0], y, draw_.fitted(s.profile, 42), 8);
      const auto n = [&](double v) { return s.computed() ? form(static_cast<float>(v), 7) : "-"; };
      draw_.text(x[1], y, QString::fromStdString(s.planting), 8);
      draw_.text(x[2], y, s.computed() ? QString::number(s.days.size()) : "-", 8);
      draw_.text(x[3], y, n(s.totals.etc), 8);
      draw_.text(x[4], y, n(s.totals.rain), 8);
      draw_.text(x[5], y, n(s.totals.net), 8);
      draw_.text(x[6], y, n(s.totals.gross), 8);
      draw_.text(x[7], y, s.computed() ? QString::number(s.totals.irrigations) : "-", 8);
      draw_.text(x[8], y, QString::fromStdString(s.status), 8, s.status != "ok");
    }
    if (seasons_.empty()) draw_.text(0, y + 8, "The input holds no profiles.", 12, true);
  }

  void season_page(const SeasonResult& s) {
    QPainter& p = document_.painter();
    p.setPen(Qt::black);
    draw_.font(14, true);
    p.drawText(QPointF(0, kBodyTop + 5), draw_.fitted("Season of " + s.profile, kPageWidth));
    draw_.text(0, kBodyTop + 10,
               QString("Status: %1. Planted %2; %3 days.")
                   .arg(QString::fromStdString(s.status), QString::fromStdString(s.planting))
                   .arg(s.days.size()),
               9);
    double y = kBodyTop + 13;
    if (const QString answer = phone_answer(s); !answer.isEmpty()) {
      draw_.text(0, y + 3, answer, 9, true);
      y += 5;
    }
    if (!s.message.empty()) {
      draw_.font(8);
      y += draw_.wrapped(QRectF(0, y, kPageWidth, 12), draw_.fitted(s.message, 2.8 * kPageWidth),
                         8) +
           1;
    }
    if (!s.computed() || s.days.empty()) return;
    chart(s, QRectF(0, y + 2, kPageWidth, 105));
    y += 122;
    events(s, y);
    totals(s, y);
  }

  // What an advisor says on the phone: where the root zone is today, and when the next
  // irrigation is due.
  static QString phone_answer(const SeasonResult& s) {
    QString answer;
    if (s.today) {
      answer = QString("Today, %1: %2 mm below field capacity (soil water %3 mm). ")
                   .arg(QString::fromStdString(iso_date(*s.today)),
                        form(static_cast<float>(s.today_depletion), 7),
                        form(static_cast<float>(s.today_soil_water), 7));
    }
    if (s.next_irrigation) {
      answer += QString("Next irrigation: %1, %2 mm net.")
                    .arg(QString::fromStdString(iso_date(*s.next_irrigation)),
                         form(static_cast<float>(s.next_net), 7));
    }
    return answer;
  }

  // Soil water between the full point and the day's refill point, stages shaded, rain and
  // irrigation as bars below.
  void chart(const SeasonResult& s, const QRectF& area) {
    QPainter& p = document_.painter();
    draw_.text(area.left(), area.top() + 3, "Soil water, mm (root zone, as the profile's total)", 9,
               true);
    const QRectF plot(area.left() + 12, area.top() + 7, area.width() - 12, area.height() - 40);
    const QRectF bars(plot.left(), plot.bottom() + 6, plot.width(), 22);
    double low = s.fp, high = s.fp;
    double wettest_bar = 1;
    for (const BalanceDay& d : s.days) {
      low = std::min({low, d.soil_water, s.fp - d.raw});
      wettest_bar = std::max({wettest_bar, d.rain, d.gross});
    }
    low = std::floor(std::max(0.0, low - 0.1 * (high - low + 10)) / 10) * 10;
    high = std::ceil((high + 0.05 * (high - low + 10)) / 10) * 10;
    const double count = static_cast<double>(s.days.size());
    const auto px = [&](double day) { return plot.left() + plot.width() * (day - 1) / count; };
    const auto py = [&](double mm) {
      return plot.bottom() - plot.height() * (mm - low) / (high - low);
    };
    for (const BalanceDay& d : s.days) {
      p.fillRect(QRectF(px(d.day), plot.top(), plot.width() / count + 0.01, plot.height()),
                 stage_shade(d.stage));
    }
    p.setPen(QPen(Qt::black, 0.2));
    p.drawRect(plot);
    QPainterPath water, refill;
    for (const BalanceDay& d : s.days) {
      const QPointF w(px(d.day), py(d.soil_water)), r(px(d.day), py(s.fp - d.raw));
      if (d.day == 1) {
        water.moveTo(w);
        refill.moveTo(r);
      } else {
        water.lineTo(w);
        refill.lineTo(r);
      }
    }
    p.setPen(QPen(kIrrigation, 0.4, Qt::DashLine));
    p.drawPath(refill);
    p.setPen(QPen(kWater, 0.4, Qt::DashLine));
    p.drawLine(QPointF(plot.left(), py(s.fp)), QPointF(plot.right(), py(s.fp)));
    p.setPen(QPen(kWater, 0.6));
    p.drawPath(water);
    p.setPen(Qt::black);
    for (int k = 0; k <= 4; ++k) {
      const double mm = low + (high - low) * k / 4;
      draw_.text(area.left(), py(mm) + 1, QString::number(mm, 'f', 0), 7);
    }
    // Rain up and irrigation (gross) up, side by side, on their own scale.
    const double bar_width = std::max(0.15, plot.width() / count * 0.45);
    for (const BalanceDay& d : s.days) {
      if (d.rain > 0) {
        const double h = bars.height() * d.rain / wettest_bar;
        p.fillRect(QRectF(px(d.day), bars.bottom() - h, bar_width, h), kRain);
      }
      if (d.gross > 0) {
        const double h = bars.height() * d.gross / wettest_bar;
        p.fillRect(QRectF(px(d.day) + bar_width, bars.bottom() - h, bar_width, h), kIrrigation);
      }
    }
    p.setPen(QPen(Qt::black, 0.2));
    p.drawLine(QPointF(bars.left(), bars.bottom()), QPointF(bars.right(), bars.bottom()));
    draw_.text(area.left(), bars.top() + 3, QString::number(wettest_bar, 'f', 0), 7);
    for (int k = 0; k <= 4; ++k) {
      const double day = 1 + (count - 1) * k / 4;
      draw_.text(px(day) - 4, bars.bottom() + 4,
                 QString::fromStdString(iso_date(s.first + static_cast<long>(day) - 1)), 7);
    }
    draw_.text(plot.left(), bars.bottom() + 8,
               "Solid: soil water; dashed: full point (blue) and the day's refill point "
               "(orange). Bars, mm: rain (blue), irrigation gross (orange). Shading: initial, "
               "development, mid and late stages.",
               7);
  }

  void events(const SeasonResult& s, double y) {
    draw_.text(0, y, "Irrigation days", 9, true);
    const std::array<const char*, 4> heads = {"Date", "Stage", "Net mm", "Gross mm"};
    const std::array<double, 4> x = {0, 22, 46, 62};
    for (std::size_t i = 0; i < heads.size(); ++i)
      draw_.text(x[i], y + 5, heads[i], 7.5, true);
    int shown = 0, more = 0;
    for (const BalanceDay& d : s.days) {
      if (d.net <= 0) continue;
      if (shown == kEventRows) {
        ++more;
        continue;
      }
      const double row = y + 9.5 + 4.2 * shown++;
      draw_.text(x[0], row, QString::fromStdString(iso_date(s.first + d.day - 1)), 7.5);
      draw_.text(x[1], row, QString::fromStdString(std::string(stage_name(d.stage))), 7.5);
      draw_.text(x[2], row, form(static_cast<float>(d.net), 7), 7.5);
      draw_.text(x[3], row, form(static_cast<float>(d.gross), 7), 7.5);
    }
    if (shown == 0) draw_.text(0, y + 9.5, "none: rain and the stored water suffice", 7.5);
    if (more > 0) draw_.text(0, y + 9.5 + 4.2 * shown, QString("and %1 more").arg(more), 7.5);
  }

  void totals(const SeasonResult& s, double y) {
    const double x = 100;
    draw_.text(x, y, "Season totals", 9, true);
    const std::array<std::pair<const char*, double>, 8> rows = {{
        {"Crop water use (ETc)", s.totals.etc},
        {"Actual, with water stress (ETc adj)", s.totals.etc_adj},
        {"Rain", s.totals.rain},
        {"Runoff", s.totals.runoff},
        {"Effective rain (less runoff and percolation)", s.totals.effective_rain},
        {"Irrigation, net", s.totals.net},
        {"Irrigation, gross", s.totals.gross},
        {"Deep percolation", s.totals.deep_percolation},
    }};
    for (std::size_t i = 0; i < rows.size(); ++i) {
      draw_.text(x, y + 5 + 4.6 * static_cast<double>(i), rows[i].first, 8);
      draw_.right_text(kPageWidth, y + 5 + 4.6 * static_cast<double>(i),
                       form(static_cast<float>(rows[i].second), 7) + " mm", 8);
    }
    const double below = y + 5 + 4.6 * static_cast<double>(rows.size());
    draw_.text(x, below, "Irrigations", 8);
    draw_.right_text(kPageWidth, below, QString::number(s.totals.irrigations), 8);
    draw_.text(x, below + 4.6, "Days with water stress (Ks below 1)", 8);
    draw_.right_text(kPageWidth, below + 4.6, QString::number(s.totals.stress_days), 8);
    draw_.text(x, below + 18.4, yield_line(s), 8);
    draw_.text(x, below + 13.8,
               QString("Kc mid %1, Kc end %2 (for the local climate, FAO-56 eq. 62)")
                   .arg(QString::number(s.kc_mid, 'f', 2), QString::number(s.kc_end, 'f', 2)),
               8);
    draw_.text(x, below + 9.2,
               QString("Strategy: %1")
                   .arg(QString::fromUtf8(strategy_name(s.strategy).data(),
                                          static_cast<int>(strategy_name(s.strategy).size()))),
               8);
  }

  ReportDocument document_;
  ReportPainter& draw_;
  std::vector<SeasonResult> seasons_;
};

}  // namespace

std::unique_ptr<SeasonReport> make_season_report(const std::filesystem::path& file,
                                                 const ReportContext& context) {
  return std::make_unique<SeasonPdf>(file, context);
}

}  // namespace vantrel
