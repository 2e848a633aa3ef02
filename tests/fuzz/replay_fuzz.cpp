// Any bytes as a recording: reading must not crash, and playing what was read
// must end (matched, diverged or incomplete) within a bounded number of steps:
// a recording can never keep a replay running.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "session/replay.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto rec = quillot::parse_recording(std::string_view(reinterpret_cast<const char*>(data), size), nullptr);
  if (!rec) return 0;
  // Each line allows at most a check interval of ticks before it, and is
  // played in one step of its own.
  const int64_t bound = static_cast<int64_t>(rec->lines.size()) * (quillot::kCheckEvery + 1) + 1;
  quillot::Game g;
  quillot::HeadlessShell shell;
  quillot::Replayer replayer(std::move(*rec), g, shell, [&shell] { return shell.state(); });
  replayer.start();
  for (int64_t n = 0; n <= bound; ++n) {
    switch (replayer.step()) {
      case quillot::Replayer::Step::Done:
      case quillot::Replayer::Step::Diverged:
      case quillot::Replayer::Step::Incomplete:
        return 0;
      default:
        break;
    }
  }
  std::abort();  // the replay did not end
}
