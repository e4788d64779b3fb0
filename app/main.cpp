// Motilab: measuring motion on videos for physics lessons.
// Usage: motilab [FILE] [--zoom PERCENT] [--screenshot OUT.png]
// (--zoom magnifies the opened video around its centre; --screenshot writes a
// picture of the window once the file is open and quits.)
#include <QApplication>
#include <QPixmap>
#include <QTimer>

#include "app/UnitMainForm.h"
#include "video/UnitVideo.h"

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
  int zoom = 0;
  if (const int i = args.indexOf(QStringLiteral("--zoom")); i >= 0 && i + 1 < args.size()) {
    zoom = args[i + 1].toInt();
    args.remove(i, 2);
  }
  mlb::TMainForm window;
  window.show();
  // The command line is read once the window is shown.
  QTimer::singleShot(0, &window, [&window, args, screenshot, zoom] {
    window.OpenFromCommandLine(args);
    if (zoom > 100 && window.View().Opened())
      window.View().SetZoomAt(zoom, window.View().width() / 2, window.View().height() / 2);
    if (screenshot.isEmpty()) return;
    QTimer::singleShot(500, &window, [&window, screenshot] {
      window.grab().save(screenshot);
      QApplication::exit(0);
    });
  });
  return QApplication::exec();
}
