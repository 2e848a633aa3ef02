#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/art.h"
#include "app/bindings.h"
#include "app/form.h"
#include "app/game_paths.h"
#include "app/music_port.h"
#include "session/replay.h"
#include "app/replay_window.h"
#include "app/settings.h"
#include "app/startup_probe.h"

namespace {

const char* const kUsage =
    "Usage: quillot [OPTION]...\n"
    "A little red bird's shooting game.\n"
    "\n"
    "  --record FILE   play as usual and record the session into FILE\n"
    "  --replay FILE   play a recorded session back in the window\n"
    "  --headless      with --replay: check the recording without a window, as fast as possible\n"
    "  --scale N       show the game N times enlarged (1 to 4) for this run\n"
    "  --fullscreen    start in full screen\n"
    "  --mute          start with the music muted, for this run\n"
    "  -h, --help      show this help and exit\n"
    "  -v, --version   show the version and exit\n";

struct Options {
  std::string record, replay;
  bool headless = false;
  int scale = 0;  // 0: the remembered one
  bool fullscreen = false;
  bool mute = false;
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
      // The keys in effect, as the player bound them.
      std::printf("\n%s", quillot::usage_keys(quillot::load_bindings()).c_str());
      std::printf("\nYour save: %s\n", quillot::game_paths().save_file.c_str());
      return 0;
    }
    if (a == "-v" || a == "--version") {
      std::puts("QUILLOT " QUILLOT_VERSION);
      return 0;
    }
    if (a == "--headless") {
      o.headless = true;
    } else if (a == "--fullscreen") {
      o.fullscreen = true;
    } else if (a == "--mute") {
      o.mute = true;
    } else if (a == "--scale") {
      std::string n;
      if (!value(n) || n.size() != 1 || n[0] < '1' || n[0] > '4')
        return std::fputs("quillot: --scale needs a number from 1 to 4\n", stderr), 2;
      o.scale = n[0] - '0';
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

// Without a display Qt ends the program with an abort and a page about
// platform plugins; a player should get one line that says what is missing.
bool display_named(int argc, char** argv) {
  for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
    if (const char* v = std::getenv(name); v != nullptr && *v != '\0') return true;
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "-platform") == 0 || std::strncmp(argv[i], "-platform=", 10) == 0) return true;
  return false;
}

// While Qt opens the display: its warnings are held back, and its fatal error
// (no display could be opened) becomes one line and exit status 1.
std::vector<std::string>* held_messages = nullptr;

void opening_display(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type == QtFatalMsg) {
    const char* display = std::getenv("DISPLAY");
    std::fprintf(stderr, "quillot: this game needs a graphical desktop, and the display%s%s could not be opened\n",
                 display != nullptr ? " " : "", display != nullptr ? display : "");
    std::_Exit(1);
  }
  if (held_messages != nullptr) held_messages->push_back(qFormatLogMessage(type, context, text).toStdString());
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (const int code = parse(argc, argv, o); code >= 0) return code;
  if (o.headless) return quillot::replay_headless(o.replay);

  std::optional<quillot::Recording> recording;
  if (!o.replay.empty()) {
    std::string error;
    recording = quillot::read_recording(o.replay, &error);
    if (!recording) {
      std::fprintf(stderr, "quillot: %s\n", error.c_str());
      return quillot::kReplayRefused;
    }
  }
  if (!display_named(argc, argv)) {
    std::fputs("quillot: this game needs a graphical desktop, and none was found (DISPLAY and WAYLAND_DISPLAY are unset)\n",
               stderr);
    return 1;
  }

  std::vector<std::string> held;
  held_messages = &held;
  const QtMessageHandler previous = qInstallMessageHandler(opening_display);
  QApplication app(argc, argv);
  qInstallMessageHandler(previous);
  held_messages = nullptr;
  for (const std::string& m : held) std::fprintf(stderr, "%s\n", m.c_str());
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
  // Opened before the window, so a file that must not be overwritten is
  // refused before anything is shown.
  std::unique_ptr<quillot::Recorder> recorder;
  if (!o.record.empty()) {
    recorder = std::make_unique<quillot::Recorder>(o.record);
    if (!recorder->ok()) {
      std::fprintf(stderr, "quillot: %s\n", recorder->error().c_str());
      return 2;
    }
  }

  quillot::FormOptions options;
  options.base_dir = paths.data_dir;
  options.save_file = paths.save_file;
  // The music asks whether the window is shown before it loops a track.
  quillot::TForm1* window = nullptr;
  quillot::SynthMusic music(options.base_dir + "/dat", [&window] { return window != nullptr && window->isVisible(); });
  options.music = &music;
  // One-run options change what the window starts with, not what is remembered.
  options.remembered = quillot::load_settings();
  options.remember_settings = true;
  options.settings = options.remembered;
  if (o.scale != 0) options.settings.scale = o.scale;
  if (o.fullscreen) options.settings.fullscreen = true;
  if (o.mute) options.settings.muted = true;
  options.bindings = quillot::load_bindings();
  options.gamepads = !recording;
  PrintedDialogs printed;
  if (recording) {
    options.replaying = true;
    options.dialogs = &printed;
  }

  quillot::TForm1 form(options);
  window = &form;
  if (recorder) {
    recorder->begin(form.game());
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
  // A recording stopped by a write error was reported when it stopped; the
  // status says it too, as the file now replays as incomplete.
  if (code == 0 && recorder && recorder->failed()) return quillot::kReplayIncomplete;
  return code;
}
