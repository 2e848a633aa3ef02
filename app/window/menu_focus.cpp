#include "app/window/menu_focus.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <algorithm>

namespace quillot {

namespace {

// A thick ring in the title's yellow with a dark edge, seen on the grey
// buttons and on every screen's background; the style's own is a faint line.
class FocusRing : public QWidget {
 public:
  explicit FocusRing(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    setObjectName("focus_ring");
    hide();
  }
  int width_px = 2;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const int w = width_px;
    const QRect outer = rect();
    p.fillRect(QRect(outer.topLeft(), QSize(outer.width(), w)), QColor(0, 0, 0));
    p.fillRect(QRect(outer.left(), outer.bottom() - w + 1, outer.width(), w), QColor(0, 0, 0));
    p.fillRect(QRect(outer.topLeft(), QSize(w, outer.height())), QColor(0, 0, 0));
    p.fillRect(QRect(outer.right() - w + 1, outer.top(), w, outer.height()), QColor(0, 0, 0));
    const QRect inner = outer.adjusted(w / 2, w / 2, -(w / 2), -(w / 2));
    QPen pen(QColor(255, 214, 0), std::max(1, w - w / 2));
    pen.setJoinStyle(Qt::MiterJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const int half = pen.width() / 2;
    p.drawRect(inner.adjusted(half, half, -half - 1, -half - 1));
  }
};

}  // namespace

MenuFocus::MenuFocus(QWidget* window, std::function<void(QKeyEvent*)> keys)
    : QObject(window), window_(window), keys_(std::move(keys)), ring_(new FocusRing(window)) {
  connect(qApp, &QApplication::focusChanged, this, [this] { update_ring(); });
}

void MenuFocus::set_order(Screen screen, std::vector<QPushButton*> order) {
  for (QPushButton* b : order) {
    b->setFocusPolicy(Qt::StrongFocus);
    b->installEventFilter(this);
  }
  order_[static_cast<size_t>(screen)] = std::move(order);
}

bool MenuFocus::takes(const QPushButton* b) const { return b->isVisibleTo(window_) && b->isEnabled(); }

void MenuFocus::enter(Screen screen, QPushButton* first) {
  screen_ = screen;
  if (screen == Screen::None || first == nullptr) {
    window_->setFocus(Qt::OtherFocusReason);
  } else if (takes(first)) {
    first->setFocus(Qt::TabFocusReason);
  } else if (!move(true)) {
    window_->setFocus(Qt::OtherFocusReason);
  }
  update_ring();
}

bool MenuFocus::move(bool forward) {
  if (screen_ == Screen::None) return false;
  const auto& order = order_[static_cast<size_t>(screen_)];
  if (order.empty()) return false;
  const int n = static_cast<int>(order.size());
  const auto at = std::find(order.begin(), order.end(), window_->focusWidget());
  int i = at == order.end() ? (forward ? -1 : n) : static_cast<int>(at - order.begin());
  for (int step = 0; step < n; ++step) {
    i = (i + (forward ? 1 : -1) + n) % n;
    if (takes(order[static_cast<size_t>(i)])) {
      order[static_cast<size_t>(i)]->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
      return true;
    }
  }
  return true;  // nothing else takes the focus: it stays where it is
}

void MenuFocus::set_scale(int scale) {
  static_cast<FocusRing*>(ring_)->width_px = 2 * scale;
  update_ring();
}

void MenuFocus::update_ring() {
  auto* b = qobject_cast<QPushButton*>(window_->focusWidget());
  const auto& order = order_[static_cast<size_t>(screen_)];
  // Visible to the window, not on screen: the first screen gets its ring
  // before the window is shown.
  if (b == nullptr || std::find(order.begin(), order.end(), b) == order.end() || !b->isVisibleTo(window_)) {
    ring_->hide();
    return;
  }
  const int w = static_cast<FocusRing*>(ring_)->width_px;
  const QRect r(b->mapTo(window_, QPoint(0, 0)), b->size());
  ring_->setGeometry(r.adjusted(-w, -w, w, w));
  ring_->raise();
  ring_->show();
  ring_->update();
}

void MenuFocus::press() {
  auto* b = qobject_cast<QPushButton*>(window_->focusWidget());
  const auto& order = order_[static_cast<size_t>(screen_)];
  if (b != nullptr && std::find(order.begin(), order.end(), b) != order.end() && takes(b)) b->click();
}

bool MenuFocus::eventFilter(QObject*, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::KeyPress && type != QEvent::KeyRelease) return false;
  // A button's own key handling would press it on a key's repeats, or on the
  // release of a press that came before its screen.
  keys_(static_cast<QKeyEvent*>(event));
  return true;
}

}  // namespace quillot
