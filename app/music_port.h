#pragma once
#include <string>

namespace quillot {

// Where the window sends its music requests: the FluidSynth player in the
// game, a recorder in tests.
class MusicPort {
 public:
  virtual ~MusicPort() = default;
  virtual void play_music(const std::string& name) = 0;
};

class SilentMusic : public MusicPort {
 public:
  void play_music(const std::string&) override {}
};

}  // namespace quillot
