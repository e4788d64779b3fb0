// mlbtool render: a project's video at one frame with the measurement drawn
// over it, as the video view shows it.
#include <QCoreApplication>
#include <QFileInfo>
#include <QImage>

#include "cli/Commands.h"
#include "common/UnitMessageBox.h"
#include "measurement/UnitData.h"
#include "measurement/UnitMlb.h"
#include "video/UnitVideo.h"

namespace mlb::cli {

namespace {

// The stored video path, else a file of that name beside the project.
QString FindVideo(const QString& stored, const QString& projectPath) {
  if (QFileInfo::exists(stored)) return stored;
  QString name = stored;
  name.replace(QLatin1Char('\\'), QLatin1Char('/'));
  const QString beside =
      QFileInfo(projectPath).absolutePath() + QLatin1Char('/') + QFileInfo(name).fileName();
  return QFileInfo::exists(beside) ? beside : stored;
}

}  // namespace

int RunRender(QStringList args, QTextStream& out, QTextStream& err) {
  QString video;
  int zoom = 100;
  bool window = false;
  if (const int w = args.indexOf(QStringLiteral("--window")); w >= 0) {
    window = true;
    args.remove(w);
  }
  for (int i = 0; i + 1 < args.size();) {
    if (args[i] == QLatin1String("--video")) {
      video = args[i + 1];
      args.remove(i, 2);
    } else if (args[i] == QLatin1String("--zoom")) {
      zoom = args[i + 1].toInt();
      args.remove(i, 2);
    } else {
      ++i;
    }
  }
  bool numberOk = false;
  const int frame = args.size() == 3 ? args[1].toInt(&numberOk) : -1;
  if (!numberOk || frame < 0 || zoom < 100 || zoom > 800) {
    err << "usage: mlbtool render FILE.mlb N OUT.png [--zoom 100..800] [--video FILE] "
           "[--window]\n";
    return 2;
  }
  TMlb mlb;
  TProjectData project;
  QString why;
  if (!mlb.Open(args[0], &why) || !mlb.ConvertOldFormat(&why, false) ||
      !ReadProject(mlb.Ini(), project, &why)) {
    err << args[0] << ": Chyba čtení souboru.. " << why << "\n";
    return 1;
  }
  if (video.isEmpty()) video = FindVideo(project.videoFileName, args[0]);
  TRecordingMessageBox box;  // messages of the measurement data go nowhere
  TMessageBoxGuard guard(&box);
  TVideo view;
  const auto& n = project.scalePointsNumber;
  TMeasureSettings settings;
  settings.separateScales = n[1] == 2 && n[2] == 2 && n[0] != 2;
  TData data(&view, settings);
  view.SetData(&data);
  if (!view.OpenVideo(video)) {
    err << video << ": the video cannot be opened\n";
    return 1;
  }
  view.resize(view.FrameWidth(), view.FrameHeight());
  data.Reset();
  ApplyProject(data, project);
  view.SetMode(project.transparentMode ? mvTransparent : mvRepereFixe);
  view.GoTo(frame);
  view.RefreshMapping();
  if (zoom != 100) view.SetZoomAt(zoom, view.width() / 2, view.height() / 2);
  QImage picture = view.Picture();
  if (window) {  // the whole control: scroll bars and the magnifier too
    view.Loupe()->SetCentre(QPoint(view.width() / 2, view.height() / 2));
    view.Loupe()->show();
    view.show();
    QCoreApplication::processEvents();
    picture = view.grab().toImage();
  }
  if (!picture.save(args[2])) {
    err << args[2] << ": the picture cannot be written\n";
    return 1;
  }
  out << "frame\t" << view.Position() << "\nsize\t" << picture.width() << "x" << picture.height()
      << "\nmarks\t" << data.MarkCount() << "\n";
  return 0;
}

}  // namespace mlb::cli
