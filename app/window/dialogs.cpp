#include "app/window/dialogs.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QStyle>

#include "app/render/look.h"

namespace quillot {

namespace {

void show_box(QMessageBox::Icon icon, const QString& text, int scale) {
  QMessageBox box(icon, kAppTitle, QString(text).replace('\r', '\n'), QMessageBox::Ok);
  // The text and its button grow with the window, as every other text does.
  box.setFont(game_font(12 * scale));
  if (icon != QMessageBox::NoIcon) {
    const int side = 32 * scale;
    box.setIconPixmap(box.style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(side, side));
  }
  box.adjustSize();
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    box.move(area.center() - QPoint(box.width() / 2, box.height() / 2));
  }
  box.exec();
}

}  // namespace

void QtDialogs::message(const QString& text) { show_box(QMessageBox::NoIcon, text, scale_); }
void QtDialogs::error(const QString& text) { show_box(QMessageBox::Critical, error_box_text(text), scale_); }

QString error_box_text(const QString& text) {
  if (!text.isEmpty() && text.back() > QChar('.')) return text + '.';
  return text;
}

}  // namespace quillot
