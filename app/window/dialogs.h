#pragma once
#include <QDialog>
#include <QRect>
#include <QString>
#include <QWidget>
#include <memory>
#include <optional>

#include "app/render/look.h"

namespace quillot {


// Message and error boxes behind a seam, so tests can read what the player
// would be told without a modal box stopping them.
class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // A message with one OK button; "\r" breaks the line.
  virtual void message(const QString& text) = 0;
  // An error the current action could not get past.
  virtual void error(const QString& text) = 0;
  // A question with Yes and No, No the default; true for Yes. One that
  // cannot ask (a replay's, a test's that does not care) goes on.
  virtual bool ask(const QString& /*text*/) { return true; }
  // A line of text to give, `suggested` filled in; none when cancelled. One
  // that cannot ask takes the suggestion.
  virtual std::optional<QString> ask_text(const QString& /*text*/, const QString& suggested) { return suggested; }
  // The help: rich text (an HTML table) with one OK button.
  virtual void help(const QString& html) { message(html); }
  // Boxes are drawn at the window's scale.
  virtual void set_scale(int /*scale*/) {}
};

class QtDialogs : public Dialogs {
 public:
  void message(const QString& text) override;
  void error(const QString& text) override;
  bool ask(const QString& text) override;
  std::optional<QString> ask_text(const QString& text, const QString& suggested) override;
  void help(const QString& html) override;
  void set_scale(int scale) override { scale_ = scale; }

 private:
  int scale_ = 1;
};

// The help's window, not yet shown: its table and an OK. A message box
// would wrap a wide table anywhere, mid-word, and cut it at its width limit.
// Esc and Return close it, and the pad's buttons as they close a box (it
// carries kBoxProperty). Its font is the window's at `scale`, made smaller
// until the window, frame and all, fits in `available`: the help's last
// lines and its OK must be on the screen.
std::unique_ptr<QDialog> help_box(const QString& html, int scale, QRect available);
// A modal window the pad works as a message box: its cross moves between
// the buttons, another button closes it.
inline constexpr char kBoxProperty[] = "quillot_box";

// The error box's text: a full stop is added when the last character sorts after it.
QString error_box_text(const QString& text);

}  // namespace quillot
