#include "app/main/quit_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>

namespace quillot {

namespace {

int signal_pipe[2] = {-1, -1};
bool requested = false;

void on_signal(int) {
  const int saved = errno;
  const char byte = 1;
  (void)!::write(signal_pipe[1], &byte, 1);
  errno = saved;
}

}  // namespace

void end_on_signals() {
  if (signal_pipe[0] >= 0 || ::pipe2(signal_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  auto* notifier = new QSocketNotifier(signal_pipe[0], QSocketNotifier::Read, qApp);
  QObject::connect(notifier, &QSocketNotifier::activated, qApp, [] {
    char bytes[16];
    while (::read(signal_pipe[0], bytes, sizeof bytes) > 0) {
    }
    requested = true;
    // Ends every event loop, a message box's included, once the main loop
    // runs; a box shown before it is closed by hand.
    QCoreApplication::quit();
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* box = qobject_cast<QDialog*>(w); box != nullptr && box->isVisible()) box->reject();
  });
  struct sigaction action {};
  action.sa_handler = on_signal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int sig : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(sig, &action, nullptr);
}

bool quit_requested() { return requested; }

}  // namespace quillot
