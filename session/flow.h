#pragma once
#include <string>

#include "game/canvas.h"
#include "game/host.h"
#include "game/state.h"
#include "game/text.h"

namespace quillot {

enum class Screen : uint8_t { None, Title, Shop, Story };

// What the moves between screens need from the window, besides the tick's Host.
class Shell : public Host {
 public:
  virtual void show_screen(Screen screen) = 0;  // shows one screen (None: the playfield)
  virtual void start_timer() = 0;
  // Whether the frame timer runs; replays use it to check they are in step.
  virtual bool timer_running() const { return true; }
  virtual void enable_save() = 0;
  virtual void disable_save() = 0;
  virtual void message(const Text& text) = 0;  // "\r" breaks the line
  // The story screen's controls.
  virtual void set_story_text(const std::string& bytes) = 0;
  virtual bool load_story_picture(const std::string& bytes) = 0;  // false: the error box was shown
  virtual void set_story_name(const std::string& bytes) = 0;
  virtual void set_story_about(const std::string& bytes) = 0;
  virtual void set_choice_visible(bool visible) = 0;
  // Both playfield pictures, for the blue fill of a stage start.
  virtual Canvas& bak() = 0;
  virtual Canvas& cg() = 0;
};

extern const char* const kEndOfGameMessage;
extern const char* const kNoMoreRetries;

// The story screen's music, picked by Random(6).
const char* story_track(int32_t pick);

// Button handlers, each in the order the player's move requires.
void new_start(Game& g, Shell& shell);        // title: NEW START
void continue_game(Game& g, Shell& shell);    // title: COUNTINUE
void next_from_shop(Game& g, Shell& shell);   // shop: NEXT
void retry_from_shop(Game& g, Shell& shell);  // shop: RETRY
void story_next(Game& g, Shell& shell);       // story: NEXT and "はい"
void story_no(Game& g, Shell& shell);         // story: "いいえ"

// Starts the stage `step` after the current one.
void start_stage(Game& g, Shell& shell, int32_t step);

// Sets up stage n: the roster, then its enemies.
void set_up_stage(Game& g, int32_t n);

}  // namespace quillot
