#include <QApplication>
#include <gtest/gtest.h>

#include <string>

namespace {

// The real pictures need a QApplication for their fonts; no display is needed.
class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (QApplication::instance() != nullptr) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "soak_tests";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
  }
};

[[maybe_unused]] auto* const environment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
