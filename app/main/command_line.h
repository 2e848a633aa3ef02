#pragma once
#include <QString>
#include <QStringList>
#include <optional>
#include <string>

#include "app/options/settings.h"

namespace quillot {

// What the command line asks of this run.
struct CommandLine {
  std::string record, replay;
  bool headless = false;
  int scale = 0;  // 0: the remembered one
  bool fullscreen = false;
  bool mute = false;
  std::optional<std::string> sound_font;  // for this run; empty: the automatic choice
  std::optional<Language> language;  // none: the remembered one
  bool display_given = false;        // -platform or -display, for Qt
};

struct ParsedCommandLine {
  enum class What : uint8_t { Run, Help, Version, Error };
  What what = What::Run;
  CommandLine options;
  QString error;  // for Error: what is wrong, in one line
};

// Reads the arguments (the program's name first). Qt's own options pass
// through to it untouched; anything else unknown, a missing or misplaced
// value, or options that exclude each other is an Error.
ParsedCommandLine parse_command_line(const QStringList& args);

}  // namespace quillot
