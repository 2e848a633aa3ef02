#include <QApplication>
#include <QDir>
#include <memory>

#include "app/form.h"
#include "app/music_port.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(quillot::kAppTitle);
  QApplication::setApplicationDisplayName(quillot::kAppTitle);

  quillot::FormOptions options;
  options.base_dir = QDir(QCoreApplication::applicationDirPath()).absolutePath().toStdString();
  auto music = std::make_unique<quillot::SilentMusic>();
  options.music = music.get();

  quillot::TForm1 form(options);
  form.show();
  return QApplication::exec();
}
