#include "app/dialogs.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>

namespace quillot {

const char* const kAppTitle = "BRASKO";

namespace {

void show_box(QMessageBox::Icon icon, const QString& text) {
  QMessageBox box(icon, kAppTitle, QString(text).replace('\r', '\n'), QMessageBox::Ok);
  box.adjustSize();
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    box.move(area.center() - QPoint(box.width() / 2, box.height() / 2));
  }
  box.exec();
}

}  // namespace

void QtDialogs::message(const QString& text) { show_box(QMessageBox::NoIcon, text); }
void QtDialogs::error(const QString& text) { show_box(QMessageBox::Critical, error_box_text(text)); }

QString error_box_text(const QString& text) {
  if (!text.isEmpty() && text.back() > QChar('.')) return text + '.';
  return text;
}

}  // namespace quillot
