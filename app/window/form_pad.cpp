// Gamepads in the main window: polled, and each event handed to the input
// router, which makes of it what a key would be, so that a pad game is
// recorded and replayed exactly as a keyboard one.
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <utility>

#include "app/window/form.h"

namespace quillot {

void TForm1::set_bindings(const Bindings& bindings) {
  options_.bindings = bindings;
  router_.release_all();
  settings_.also_write([bindings] { save_bindings(bindings); });
}

void TForm1::start_gamepads() {
  if (pads_ != nullptr || options_.replaying) return;
  auto pads = std::make_unique<Gamepads>();
  const QString mappings = QFileInfo(settings_path()).absolutePath() + "/gamecontrollerdb.txt";
  if (!pads->start(QFile::encodeName(mappings).toStdString())) return;
  pads_ = std::move(pads);
  connect(&pad_timer_, &QTimer::timeout, this, [this] { poll_pads(); });
  pad_timer_.start(kPadIdlePollMs);
  poll_pads();
}

void TForm1::poll_pads() {
  if (pads_ == nullptr) return;
  for (const PadEvent& e : pads_->poll())
    for (const Routed& r : router_.pad_event(input_context(), e)) carry_out(r);
  const int interval = pads_->count() > 0 ? kPadPollMs : kPadIdlePollMs;
  if (pad_timer_.interval() != interval) pad_timer_.setInterval(interval);
}

}  // namespace quillot
