#pragma once
#include <string>
#include <vector>

#include "session/flow.h"
#include "game/canvas.h"

namespace quillot::testing {

// A window stand-in that logs what the game asked of it, in order.
class FakeShell : public Shell {
 public:
  std::vector<std::string> log;
  std::vector<Sound> sounds;  // kept apart from the log: they are heard, not shown
  bool save_ok = true;
  bool picture_ok = true;
  NullCanvas bak_canvas, cg_canvas;

  bool save_profile(const Profile&) override { return note("save"), save_ok; }
  void play_music(const std::string& name) override { note("music " + name); }
  void show_shop() override { note("shop"); }
  void show_title() override { note("title"); }
  void stop_timer() override { note("stop"); }
  void set_enemy_count(int32_t n) override { note("count " + std::to_string(n)); }
  void present() override { note("present"); }
  void repaint_now() override { note("repaint"); }
  void sound(Sound s) override { sounds.push_back(s); }
  void show_screen(Screen s) override {
    static const char* const names[] = {"none", "title", "shop", "story"};
    note(std::string("screen ") + names[static_cast<int>(s)]);
  }
  void start_timer() override { note("start"); }
  void enable_save() override { note("enable save"); }
  void disable_save() override { note("disable save"); }
  void message(const std::string& text) override { note("message " + text); }
  void set_story_text(const std::string& b) override { note("text " + b); }
  bool load_story_picture(const std::string& b) override { return note("picture " + b), picture_ok; }
  void set_story_name(const std::string& b) override { note("name " + b); }
  void set_story_about(const std::string& b) override { note("about " + b); }
  void set_choice_visible(bool v) override { note(v ? "choice shown" : "choice hidden"); }
  Canvas& bak() override { return bak_canvas; }
  Canvas& cg() override { return cg_canvas; }

  bool has(const std::string& entry) const {
    for (const auto& e : log)
      if (e == entry) return true;
    return false;
  }

 private:
  void note(std::string s) { log.push_back(std::move(s)); }
};

}  // namespace quillot::testing
