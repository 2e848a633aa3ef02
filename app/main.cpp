#include <QApplication>
#include <QIcon>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "app/form.h"
#include "app/game_paths.h"
#include "app/music_port.h"
#include "app/replay.h"
#include "app/replay_window.h"
#include "app/startup_probe.h"

namespace {

const char* const kUsage =
    "Usage: quillot [OPTION]...\n"
    "A little red bird's shooting game.\n"
    "\n"
    "  --record FILE   play as usual and record the session into FILE\n"
    "  --replay FILE   play a recorded session back in the window\n"
    "  --headless      with --replay: check the recording without a window, as fast as possible\n"
    "  -h, --help      show this help and exit\n"
    "  -v, --version   show the version and exit\n";

struct Options {
  std::string record, replay;
  bool headless = false;
};

// Returns -1 to go on, or the exit code.
int parse(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= argc) return false;
      out = argv[++i];
      return true;
    };
    if (a == "-h" || a == "--help") {
      std::fputs(kUsage, stdout);
      std::printf("\nYour save: %s\n", quillot::game_paths().save_file.c_str());
      return 0;
    }
    if (a == "-v" || a == "--version") {
      std::puts("QUILLOT " QUILLOT_VERSION);
      return 0;
    }
    if (a == "--headless") {
      o.headless = true;
    } else if (a == "--record") {
      if (!value(o.record)) return std::fputs("quillot: --record needs a file\n", stderr), 2;
    } else if (a == "--replay") {
      if (!value(o.replay)) return std::fputs("quillot: --replay needs a file\n", stderr), 2;
    } else if (a.rfind("-", 0) == 0 && a.rfind("-platform", 0) != 0) {
      std::fprintf(stderr, "quillot: unknown option %s\n%s", a.c_str(), kUsage);
      return 2;
    }
  }
  if (o.headless && o.replay.empty()) return std::fputs("quillot: --headless goes with --replay FILE\n", stderr), 2;
  if (!o.record.empty() && !o.replay.empty()) return std::fputs("quillot: --record and --replay exclude each other\n", stderr), 2;
  return -1;
}

// Message boxes of a replay go to the terminal, so nothing waits for a click.
class PrintedDialogs : public quillot::Dialogs {
 public:
  void message(const QString& text) override { std::printf("[message] %s\n", qPrintable(QString(text).replace('\r', ' '))); }
  void error(const QString& text) override { std::printf("[error] %s\n", qPrintable(text)); }
};

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (const int code = parse(argc, argv, o); code >= 0) return code;
  if (o.headless) return quillot::replay_headless(o.replay);

  std::optional<quillot::Recording> recording;
  if (!o.replay.empty()) {
    std::ifstream in(o.replay, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string error;
    recording = quillot::parse_recording(text, &error);
    if (!recording) {
      std::fprintf(stderr, "quillot: %s: %s\n", o.replay.c_str(), in ? error.c_str() : "cannot read the file");
      return 2;
    }
  }

  QApplication app(argc, argv);
  QApplication::setApplicationName(quillot::kAppTitle);
  // Ties the window to quillot.desktop, so task bars show its name and icon.
  QApplication::setDesktopFileName("quillot");
  QApplication::setWindowIcon(quillot::game_icon());

  const quillot::GamePaths paths = quillot::game_paths();
  // Only a played game writes the save; a replay never does and needs no lock.
  quillot::SaveLock lock;
  if (!recording) {
    lock = quillot::lock_save(paths.save_file);
    if (lock.busy) {
      quillot::QtDialogs().message("ＱＵＩＬＬＯＴはもう動いています。\rThe game is already running.");
      return 1;
    }
    quillot::provide_first_save(paths);
  }

  quillot::FormOptions options;
  options.base_dir = paths.data_dir;
  options.save_file = paths.save_file;
  // The music asks whether the window is shown before it loops a track.
  quillot::TForm1* window = nullptr;
  quillot::SynthMusic music(options.base_dir + "/dat", [&window] { return window != nullptr && window->isVisible(); });
  options.music = &music;
  PrintedDialogs printed;
  if (recording) {
    options.replaying = true;
    options.dialogs = &printed;
  }

  quillot::TForm1 form(options);
  window = &form;
  std::unique_ptr<quillot::Recorder> recorder;
  if (!o.record.empty()) {
    recorder = std::make_unique<quillot::Recorder>(o.record, form.game());
    if (!recorder->ok()) {
      std::fprintf(stderr, "quillot: cannot write %s\n", o.record.c_str());
      return 2;
    }
    form.set_recorder(recorder.get());
  }
  std::unique_ptr<quillot::ReplayWindow> replay;
  if (recording) replay = std::make_unique<quillot::ReplayWindow>(std::move(*recording), form);

  quillot::measure_first_paint(form);
  form.show();
  const int code = QApplication::exec();
  form.set_recorder(nullptr);
  if (recorder) recorder->end(form.ticks(), form.game());
  window = nullptr;
  return code;
}
