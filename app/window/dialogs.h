#pragma once
#include <QString>
#include <QWidget>

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
  // Boxes are drawn at the window's scale.
  virtual void set_scale(int /*scale*/) {}
};

class QtDialogs : public Dialogs {
 public:
  void message(const QString& text) override;
  void error(const QString& text) override;
  bool ask(const QString& text) override;
  void set_scale(int scale) override { scale_ = scale; }

 private:
  int scale_ = 1;
};

// The error box's text: a full stop is added when the last character sorts after it.
QString error_box_text(const QString& text);

}  // namespace quillot
