#pragma once
#include <string>
#include <utility>
#include <vector>

// Marks a text for the translators' catalogue. Below app/ nothing includes Qt,
// so the marker is defined here as what it is in Qt: the text itself. A Qt
// header included first keeps its own, identical definition.
#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(scope, x) x
#endif

namespace quillot {

// The catalogue context of every text marked outside app/.
inline constexpr char kTextContext[] = "quillot";

// A text for the player: its source wording (UTF-8), where %1 .. %9 stand for
// the values joined into it, and those values. The window translates the
// wording before it fills the values in, so each language puts them where its
// own word order wants them.
struct Text {
  std::string source;
  std::vector<std::string> args;

  Text() = default;
  Text(const char* wording) : source(wording) {}  // NOLINT: a text without values reads as its wording
  Text(std::string wording, std::vector<std::string> values)
      : source(std::move(wording)), args(std::move(values)) {}

  // The wording with the values filled in.
  std::string str() const { return fill(source, args); }

  // %1 .. %9 replaced by the values, in one pass, so a value holding "%2"
  // stays as it is; a number with no value stays as written.
  static std::string fill(const std::string& wording, const std::vector<std::string>& values) {
    std::string out;
    out.reserve(wording.size() + 16);
    for (size_t i = 0; i < wording.size(); ++i) {
      if (wording[i] == '%' && i + 1 < wording.size() && wording[i + 1] >= '1' && wording[i + 1] <= '9') {
        const auto n = static_cast<size_t>(wording[i + 1] - '1');
        if (n < values.size()) {
          out += values[n];
          ++i;
          continue;
        }
      }
      out += wording[i];
    }
    return out;
  }

  bool operator==(const Text&) const = default;
};

}  // namespace quillot
