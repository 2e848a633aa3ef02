#pragma once
#include <QWidget>
#include <functional>

namespace quillot {

// Runs `then` once, as soon as `window` has been painted for the first time
// and that paint has reached the screen: the place for work the player need
// not wait for before the title appears.
void after_first_paint(QWidget* window, std::function<void()> then);

}  // namespace quillot
