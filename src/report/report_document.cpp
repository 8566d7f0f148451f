#include <QGuiApplication>
#include <QHashFunctions>
#include <QPageLayout>
#include <QPageSize>
#include <cstdio>

#include "report/report_painter.hpp"
#include "report/report_toolkit.hpp"

namespace vantrel {

namespace {

// The toolkit's notes about its environment (runtime folders, fonts) are not the user's concern.
void only_serious_messages(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg)
    std::fprintf(stderr, "%s\n", qPrintable(message));
}

}  // namespace

struct ReportToolkit::Application {
  explicit Application(const char* program) : name(program) {
    argv[0] = name.data();
    qInstallMessageHandler(only_serious_messages);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QHashSeed::setDeterministicGlobalSeed();
    application = std::make_unique<QGuiApplication>(argc, argv);
  }
  int argc = 1;
  std::string name;
  char* argv[2] = {nullptr, nullptr};
  std::unique_ptr<QGuiApplication> application;
};

ReportToolkit::ReportToolkit(const char* program)
    : application_(std::make_unique<Application>(program)) {}

ReportToolkit::~ReportToolkit() = default;

ReportDocument::ReportDocument(const std::filesystem::path& file, const ReportContext& context,
                               const QString& creator)
    : file_(QString::fromStdString(file.string())),
      writer_(&file_),
      context_(context),
      draw_(painter_, 300) {
  // The writer does not report a failed write (a full disk): the file we own does.
  if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate)) open_error_ = file_.errorString();
  writer_.setPageSize(QPageSize(QPageSize::A4));
  writer_.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
  writer_.setResolution(300);
  writer_.setTitle("Vantrel irrigation report");
  writer_.setCreator(creator + " " + QString::fromStdString(context.version));
}

void ReportDocument::begin_page(const std::string& field) {
  if (page_ == 0) {
    painter_.begin(&writer_);
  } else {
    painter_.restore();
    writer_.newPage();
  }
  ++page_;
  painter_.save();
  const double unit = writer_.resolution() / 25.4;  // device pixels per mm
  painter_.scale(unit, unit);
  painter_.setPen(Qt::black);
  draw_.text(0, 5, "Vantrel irrigation report", 12, true);
  draw_.font(12, true);
  draw_.right_text(kPageWidth, 5, draw_.fitted(field, 100), 12, true);
  const QString set = context_.demonstration_set
                          ? " (the bundled demonstration set: synthetic profiles, not measured "
                            "soil; replace it for real advice)"
                          : "";
  draw_.font(7);
  draw_.text(
      0, 10,
      draw_.fitted("Made " + context_.made + " by " + writer_.creator().toStdString() + " from " +
                       context_.input + ". Reference profiles: " + context_.reference_folder,
                   kPageWidth),
      7);
  if (!set.isEmpty()) draw_.text(0, 13.5, set.trimmed(), 7, true);
  painter_.setPen(QPen(Qt::black, 0.2));
  painter_.drawLine(QPointF(0, 15), QPointF(kPageWidth, 15));
  painter_.drawLine(QPointF(0, kPageHeight - 5), QPointF(kPageWidth, kPageHeight - 5));
  draw_.text(0, kPageHeight - 1,
             "Vantrel " + QString::fromStdString(context_.version) +
                 ": the water a soil profile holds, and when to irrigate",
             7);
  draw_.right_text(kPageWidth, kPageHeight - 1, QString("page %1 of %2").arg(page_).arg(pages_), 8);
}

bool ReportDocument::finish(std::string& error) {
  if (page_ > 0) painter_.restore();
  const bool ended = painter_.end();
  if (!open_error_.isEmpty() || !file_.flush() || file_.error() != QFileDevice::NoError) {
    error = (open_error_.isEmpty() ? file_.errorString() : open_error_).toStdString();
    return false;
  }
  file_.close();
  if (!ended || file_.error() != QFileDevice::NoError) {
    error = ended ? file_.errorString().toStdString() : "the PDF could not be completed";
    return false;
  }
  return context_.fixed_pdf_date.empty() || fix_creation_date(error);
}

// The writer dates the document now; SOURCE_DATE_EPOCH's date, of the same length, takes
// its place, so no offset in the file moves.
bool ReportDocument::fix_creation_date(std::string& error) {
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

}  // namespace vantrel
