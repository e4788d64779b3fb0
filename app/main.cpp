// Motilab: measuring motion on videos for physics lessons.
// Usage: motilab [FILE] [--screenshot OUT.png]
// (--screenshot writes a picture of the window once the file is open and quits.)
#include <QApplication>
#include <QPixmap>
#include <QTimer>

#include "app/UnitMainForm.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Motilab"));
  QApplication::setApplicationVersion(QStringLiteral(MOTILAB_VERSION));
  QStringList args = QApplication::arguments().mid(1);
  QString screenshot;
  if (const int i = args.indexOf(QStringLiteral("--screenshot")); i >= 0 && i + 1 < args.size()) {
    screenshot = args[i + 1];
    args.remove(i, 2);
  }
  mlb::TMainForm window;
  window.show();
  // The command line is read once the window is shown.
  QTimer::singleShot(0, &window, [&window, args, screenshot] {
    window.OpenFromCommandLine(args);
    if (screenshot.isEmpty()) return;
    QTimer::singleShot(500, &window, [&window, screenshot] {
      window.grab().save(screenshot);
      QApplication::exit(0);
    });
  });
  return QApplication::exec();
}
