#include "app/window/dialogs.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

#include "app/render/look.h"
#include "app/window/window_scale.h"
#include <QInputDialog>

namespace quillot {

namespace {

// The box's answer: the button pressed, or the escape button's when closed.
QMessageBox::StandardButton show_box(QMessageBox::Icon icon, const QString& text, int scale,
                                     QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                     QMessageBox::StandardButton by_default = QMessageBox::Ok) {
  QMessageBox box(icon, kAppTitle, QString(text).replace('\r', '\n'), buttons);
  box.setDefaultButton(by_default);
  box.setEscapeButton(by_default);
  // The text and its button grow with the window, as every other text does.
  box.setFont(game_font(12 * scale));
  if (icon != QMessageBox::NoIcon) {
    const int side = 32 * scale;
    const auto pixmap = icon == QMessageBox::Critical ? QStyle::SP_MessageBoxCritical : QStyle::SP_MessageBoxQuestion;
    box.setIconPixmap(box.style()->standardIcon(pixmap).pixmap(side, side));
  }
  // In the words of the story's own question.
  if (QAbstractButton* yes = box.button(QMessageBox::Yes))
    yes->setText(QCoreApplication::translate("TForm1", "はい"));
  if (QAbstractButton* no = box.button(QMessageBox::No))
    no->setText(QCoreApplication::translate("TForm1", "いいえ"));
  box.adjustSize();
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    box.move(area.center() - QPoint(box.width() / 2, box.height() / 2));
  }
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace

std::unique_ptr<QDialog> help_box(const QString& html, int scale, QRect available) {
  auto box = std::make_unique<QDialog>();
  box->setWindowTitle(kAppTitle);
  box->setProperty(kBoxProperty, true);
  auto* layout = new QVBoxLayout(box.get());
  auto* text = new QLabel(html, box.get());
  text->setTextFormat(Qt::RichText);
  layout->addWidget(text);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, box.get());
  QObject::connect(buttons, &QDialogButtonBox::accepted, box.get(), &QDialog::accept);
  layout->addWidget(buttons);
  buttons->button(QDialogButtonBox::Ok)->setDefault(true);
  buttons->button(QDialogButtonBox::Ok)->setFocus();
  layout->setSizeConstraint(QLayout::SetFixedSize);
  const QSize room = available.size() - kFrameSize;
  for (int px = 12 * scale;; --px) {
    box->setFont(game_font(px));
    const QSize size = box->sizeHint();
    if (px <= 8 || (size.width() <= room.width() && size.height() <= room.height())) break;
  }
  box->adjustSize();
  box->move(available.center() - QPoint(box->width() / 2, box->height() / 2));
  return box;
}

void QtDialogs::help(const QString& html) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QRect area =
      screen != nullptr ? screen->availableGeometry() : QRect(QPoint(), kClientSize + kFrameSize);
  help_box(html, scale_, area)->exec();
}

void QtDialogs::message(const QString& text) { show_box(QMessageBox::NoIcon, text, scale_); }
void QtDialogs::error(const QString& text) { show_box(QMessageBox::Critical, error_box_text(text), scale_); }
bool QtDialogs::ask(const QString& text) {
  return show_box(QMessageBox::Question, text, scale_, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
         QMessageBox::Yes;
}

QString error_box_text(const QString& text) {
  if (!text.isEmpty() && text.back() > QChar('.')) return text + '.';
  return text;
}

}  // namespace quillot

namespace quillot {

std::optional<QString> QtDialogs::ask_text(const QString& text, const QString& suggested) {
  QInputDialog box;
  box.setWindowTitle(kAppTitle);
  box.setLabelText(text);
  box.setTextValue(suggested);
  box.setFont(game_font(12 * scale_));
  box.setOkButtonText(QCoreApplication::translate("TForm1", "OK"));
  box.setCancelButtonText(QCoreApplication::translate("TForm1", "キャンセル"));
  // The pad works it as a message box: the cross between its line and buttons.
  box.setProperty(kBoxProperty, true);
  if (box.exec() != QDialog::Accepted) return std::nullopt;
  return box.textValue();
}

}  // namespace quillot
