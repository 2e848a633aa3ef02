#pragma once
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

extern char** environ;

namespace quillot {

// A sound setting of the test's own, for as long as it lives: the machine's
// sound servers and cards are out of reach (nothing is heard on a
// developer's speakers, and what a test sees does not depend on the desktop
// it runs on), and, when asked for and where PulseAudio is installed, a
// private PulseAudio with a null sink takes what is played. Every file of it,
// the clients' settings included, lives in a temporary folder it removes.
class PrivateSound {
 public:
  explicit PrivateSound(bool with_server) {
    std::string pattern = (std::filesystem::temp_directory_path() / "quillot_sound_XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
      why_not_ = "no temporary folder";
      return;
    }
    dir_ = pattern;
    for (const char* folder : {"run", "home", "config"}) {
      std::filesystem::create_directory(dir_ / folder);
      std::filesystem::permissions(dir_ / folder, std::filesystem::perms::owner_all);
    }
    // No ALSA device at all: not even a machine's own card answers.
    std::ofstream(dir_ / "asound.conf").put('\n');
    set("HOME", dir_ / "home");
    set("XDG_CONFIG_HOME", dir_ / "config");
    set("XDG_RUNTIME_DIR", dir_ / "run");
    set("ALSA_CONFIG_PATH", dir_ / "asound.conf");
    set("PULSE_SERVER", "unix:" + socket().string());
    set("PULSE_COOKIE", dir_ / "config" / "cookie");
    for (const char* name : {"PIPEWIRE_REMOTE", "PIPEWIRE_RUNTIME_DIR", "JACK_DEFAULT_SERVER"}) set(name, {});
    if (with_server) start_server();
  }

  ~PrivateSound() {
    if (server_ > 0) {
      kill(server_, SIGTERM);
      waitpid(server_, nullptr, 0);
    }
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      if (it->second) {
        setenv(it->first.c_str(), it->second->c_str(), 1);
      } else {
        unsetenv(it->first.c_str());
      }
    }
    std::error_code ignored;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ignored);
  }
  PrivateSound(const PrivateSound&) = delete;
  PrivateSound& operator=(const PrivateSound&) = delete;

  // Whether the private server is up; when it is not, why_not() says why.
  bool server_running() const { return server_ > 0; }
  const std::string& why_not() const { return why_not_; }

 private:
  std::filesystem::path socket() const { return dir_ / "run" / "pulse-native"; }

  // An empty value unsets the variable.
  void set(const std::string& name, const std::filesystem::path& value) {
    const char* old = std::getenv(name.c_str());
    saved_.emplace_back(name, old != nullptr ? std::optional<std::string>(old) : std::nullopt);
    if (value.empty()) {
      unsetenv(name.c_str());
    } else {
      setenv(name.c_str(), value.c_str(), 1);
    }
  }

  static std::optional<std::string> find_program(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::istringstream folders(path != nullptr ? path : "/usr/bin:/bin");
    for (std::string folder; std::getline(folders, folder, ':');) {
      const std::string file = folder + "/" + name;
      if (access(file.c_str(), X_OK) == 0) return file;
    }
    return std::nullopt;
  }

  void start_server() {
    const auto program = find_program("pulseaudio");
    if (!program) {
      why_not_ = "pulseaudio is not installed: there is no private sound server to play into";
      return;
    }
    const std::string log = (dir_ / "pulseaudio.log").string();
    std::vector<std::string> args = {*program,
                                     "-n",
                                     "--daemonize=no",
                                     "--use-pid-file=no",
                                     "--exit-idle-time=-1",
                                     "--realtime=no",
                                     "--high-priority=no",
                                     "--load=module-null-sink sink_name=quillot_tests",
                                     "--load=module-native-protocol-unix socket=" + socket().string()};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&files, STDOUT_FILENO, STDERR_FILENO);
    pid_t pid = 0;
    const int error = posix_spawn(&pid, program->c_str(), &files, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&files);
    if (error != 0) {
      why_not_ = "pulseaudio could not be started";
      return;
    }
    // Up once its socket is there; a server that gave up has said why in its log.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
      if (std::filesystem::exists(socket())) {
        server_ = pid;
        return;
      }
      if (waitpid(pid, nullptr, WNOHANG) == pid) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (waitpid(pid, nullptr, WNOHANG) == 0) {
      kill(pid, SIGTERM);
      waitpid(pid, nullptr, 0);
    }
    std::ifstream said(log);
    why_not_ = "the private PulseAudio did not start: " +
               std::string(std::istreambuf_iterator<char>(said), std::istreambuf_iterator<char>());
  }

  std::filesystem::path dir_;
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
  pid_t server_ = 0;
  std::string why_not_;
};

}  // namespace quillot
