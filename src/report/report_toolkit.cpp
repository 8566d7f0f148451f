#include "report/report_toolkit.hpp"

#include <QGuiApplication>
#include <QHashFunctions>
#include <cstdio>

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

}  // namespace vantrel
