#include <gtest/gtest.h>

#include <QApplication>
#include <string>

namespace {

// One QApplication for every test of a program that needs one.
class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (QApplication::instance() == nullptr) {
      // Widget tests need no display. Their screen has room for the window at
      // every scale (the platform's own is 800 x 600).
      const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
      if (platform.isEmpty() || platform == "offscreen") {
        const std::string here = __FILE__;
        const std::string config =
            here.substr(0, here.rfind("/tests/")) + "/tests/support/offscreen_screen.json";
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + config.c_str());
      }
      static int argc = 1;
      static char name[] = "quillot_tests";
      static char* argv[] = {name, nullptr};
      new QApplication(argc, argv);
    }
  }
};

[[maybe_unused]] auto* const environment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
