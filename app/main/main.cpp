#include <QApplication>
#include <ctime>
#include <filesystem>
#include <QFontDatabase>
#include <QStringList>
#include <cstdio>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/main/command_line.h"
#include "app/main/first_paint.h"
#include "app/render/art.h"
#include "app/input/bindings.h"
#include "app/window/form.h"
#include "app/main/game_paths.h"
#include "app/options/language.h"
#include "audio/music_port.h"
#include "app/main/quit_signals.h"
#include "app/options/settings.h"
#include "app/main/start_files.h"
#include "session/replay.h"
#include "session/run_recorder.h"

namespace {

const char* const kUsage =
    QT_TRANSLATE_NOOP("quillot",
                      "使い方: quillot [オプション]...\n"
                      "小さな赤い鳥のシューティングゲームです。\n"
                      "\n"
                      "  --record FILE   いつも通りに遊び、その様子を FILE に記録する\n"
                      "  --replay FILE   記録した様子をウィンドウで再生する\n"
                      "  --headless      --replay と共に: 記録をウィンドウなしで、できるだけ速く確かめる\n"
                      "  --scale N       この回だけ、ゲームを N 倍（1～4）に拡大して表示する\n"
                      "  --fullscreen    フルスクリーンで始める\n"
                      "  --mute          この回だけ、すべての音を消して始める\n"
                      "  --soundfont FILE  この回だけ、音楽を SoundFont の FILE（.sf2 か .sf3）で鳴らす\n"
                      "  --language L    この回だけ、ja（日本語）か en（英語）で表示する\n"
                      "  -h, --help      この説明を表示して終わる\n"
                      "  -v, --version   バージョンを表示して終わる\n");

int usage_error(const QString& text) {
  std::fprintf(stderr, "quillot: %s\nTry 'quillot --help' for more.\n", qPrintable(text));
  return 2;
}

// The help, in the language the game would speak. The catalogue needs an
// application object, and the help is printed before the window's exists.
// What --help and --version print reaches the reader whole, or the status
// says it did not (a full disk, a closed pipe), with one line why.
int printed(const char* what) {
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return 0;
  std::fprintf(stderr, "quillot: the %s could not be written: %s\n", what, std::strerror(errno));
  return 1;
}

int print_help(int argc, char** argv, std::optional<quillot::Language> language) {
  QCoreApplication core(argc, argv);
  quillot::use_language(quillot::resolve_language(language.value_or(quillot::load_settings().language)));
  const quillot::GamePaths paths = quillot::game_paths();
  const QString save = paths.save_file.empty()
                           ? QCoreApplication::translate("quillot", "なし（ホームフォルダがありません）")
                           : QString::fromStdString(paths.save_file);
  std::fputs(QCoreApplication::translate("quillot", kUsage).toUtf8().constData(), stdout);
  // The keys in effect, as the player bound them.
  std::fputs(("\n" + quillot::usage_keys(quillot::load_bindings())).c_str(), stdout);
  std::fputs(QCoreApplication::translate("quillot", "\nセーブの場所: %1\n").arg(save).toUtf8().constData(),
             stdout);
  return printed("help");
}

// Returns -1 to go on, or the exit code. Runs before any QApplication exists,
// so --help, --version and a headless replay need no display.
int parse(int argc, char** argv, quillot::CommandLine& o) {
  QStringList args;
  for (int i = 0; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
  const quillot::ParsedCommandLine parsed = quillot::parse_command_line(args);
  o = parsed.options;
  switch (parsed.what) {
    case quillot::ParsedCommandLine::What::Run:
      return -1;
    case quillot::ParsedCommandLine::What::Help:
      return print_help(argc, argv, o.language);
    case quillot::ParsedCommandLine::What::Version:
      std::puts("QUILLOT " QUILLOT_VERSION);
      return printed("version");
    case quillot::ParsedCommandLine::What::Error:
      break;
  }
  return usage_error(parsed.error);
}

// Message boxes of a replay go to the terminal, so nothing waits for a
// click; the help asked for while watching is the window's own box.
class PrintedDialogs : public quillot::QtDialogs {
 public:
  void message(const QString& text) override {
    std::printf("[message] %s\n", qPrintable(QString(text).replace('\r', ' ')));
  }
  void error(const QString& text) override { std::printf("[error] %s\n", qPrintable(text)); }
};

// Without a display Qt ends the program with an abort and a page about
// platform plugins; a player should get one line that says what is missing.
bool display_named(const quillot::CommandLine& o) {
  for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
    if (const char* v = std::getenv(name); v != nullptr && *v != '\0') return true;
  return o.display_given;
}

// While Qt opens the display: its warnings are held back, and its fatal error
// (no display could be opened) becomes one line and exit status 1.
std::vector<std::string>* held_messages = nullptr;

void opening_display(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type == QtFatalMsg) {
    const char* display = std::getenv("DISPLAY");
    std::fprintf(stderr,
                 "quillot: this game needs a graphical desktop, and the display%s%s could not be opened\n",
                 display != nullptr ? " " : "", display != nullptr ? display : "");
    std::_Exit(1);
  }
  if (held_messages != nullptr)
    held_messages->push_back(qFormatLogMessage(type, context, text).toStdString());
}

}  // namespace

int main(int argc, char** argv) {
  quillot::CommandLine o;
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
  if (!display_named(o)) {
    std::fputs(
        "quillot: this game needs a graphical desktop, and none was found (DISPLAY and WAYLAND_DISPLAY are "
        "unset)\n",
        stderr);
    return 1;
  }

  std::vector<std::string> held;
  held_messages = &held;
  const QtMessageHandler previous = qInstallMessageHandler(opening_display);
  QApplication app(argc, argv);
  quillot::end_on_signals();
  qInstallMessageHandler(previous);
  held_messages = nullptr;
  for (const std::string& m : held) std::fprintf(stderr, "%s\n", m.c_str());
  // Qt's list of the installed fonts is read on a spare core while the window
  // is set up; the first text measured waits for it rather than reading it.
  std::jthread font_list([] { QFontDatabase::families(); });
  QApplication::setApplicationName(quillot::kAppTitle);
  // Ties the window to quillot.desktop, so task bars show its name and icon.
  QApplication::setDesktopFileName("quillot");
  QApplication::setWindowIcon(quillot::game_icon());
  const quillot::Settings remembered = quillot::load_settings();
  quillot::use_language(quillot::resolve_language(o.language.value_or(remembered.language)));

  const quillot::GamePaths paths = quillot::game_paths();
  quillot::StartFiles files;
  if (const auto code = quillot::open_start_files(paths, recording.has_value(), o.record, files))
    return *code;
  if (quillot::quit_requested()) return 0;
  auto& recorder = files.recorder;

  quillot::FormOptions options;
  options.base_dir = paths.data_dir;
  options.save_file = paths.save_file;
  options.cannot_save = paths.cannot_save;
  // The music asks whether the window is shown before it loops a track.
  quillot::TForm1* window = nullptr;
  quillot::SynthMusic music(options.base_dir + "/dat",
                            [&window] { return window != nullptr && window->isVisible(); });
  options.music = &music;
  // One-run options change what the window starts with, not what is remembered.
  options.remembered = remembered;
  options.remember_settings = true;
  options.settings = options.remembered;
  if (o.scale != 0) options.settings.scale = o.scale;
  if (o.fullscreen) options.settings.fullscreen = true;
  if (o.mute) options.settings.muted = true;
  if (o.sound_font) options.settings.sound_font = *o.sound_font;
  if (o.language) options.settings.language = *o.language;
  options.bindings = quillot::load_bindings();
  PrintedDialogs printed;
  if (recording) {
    options.replaying = true;
    options.dialogs = &printed;
  }

  quillot::TForm1 form(options);
  window = &form;
  if (recorder) {
    // The start's seed, profile and stories exist only now; a file that
    // cannot take even them is removed rather than left to replay as refused.
    if (!recorder->begin(form.game()))
      return std::fprintf(stderr, "quillot: %s\n", recorder->error().c_str()), 2;
    form.set_recorder(recorder.get());
  }
  // Every game played is recorded beside the save, for the records screen.
  std::unique_ptr<quillot::RunRecorder> runs;
  if (!recording && !paths.save_file.empty()) {
    const std::string folder = (std::filesystem::path(paths.save_file).parent_path() / "runs").string();
    runs = std::make_unique<quillot::RunRecorder>(quillot::RunStore(folder),
                                                  [] { return static_cast<int64_t>(std::time(nullptr)); });
    form.set_run_recorder(runs.get());
  }
  // A recording named on the command line is watched in the theatre, which
  // closes by itself at its end with the replay's status, as scripts expect,
  // unless the watcher took its controls; Esc leaves it with the same status.
  if (recording) form.watch(std::move(*recording), [](int status) { QCoreApplication::exit(status); }, true);

  quillot::AfterFirstPaint after_first_paint(form);
  quillot::measure_first_paint(after_first_paint);
  after_first_paint.then([&music] { music.start(); });
  // A replay is driven by its file alone; the theatre's own controls take pads too.
  after_first_paint.then([&form] { form.start_gamepads(); });
  quillot::measure_first_sound([&music] { return music.status().first_sound_ns; });
  // A signal while a box of the window's start was open: ended as a closed window.
  const int code = quillot::quit_requested() ? 0 : (form.show(), QApplication::exec());
  form.set_recorder(nullptr);
  if (recorder) recorder->end(form.ticks(), form.game());
  if (runs) runs->quit(form.ticks(), form.game());
  form.set_run_recorder(nullptr);
  window = nullptr;
  // A recording stopped by a write error was reported when it stopped; the
  // status says it too, as the file now replays as incomplete.
  if (code == 0 && recorder && recorder->failed()) return quillot::kReplayIncomplete;
  return code;
}
