// mlbtool: the headless command-line program of Motilab. Scripts, benchmarks
// and acceptance checks drive the program through it without a display.
#include <cstdio>
#include <cstring>

#include <memory>

#include <QApplication>
#include <QCoreApplication>
#include <QString>
#include <QTextStream>

#include "cli/Commands.h"

namespace {

void PrintHelp(QTextStream& out) {
  out << "Usage: mlbtool COMMAND [OPTIONS]\n"
         "\n"
         "Motilab's command-line tool: measurement results without a display.\n"
         "\n"
         "Commands:\n"
         "  demo [--smooth none|speed|acceleration|both]\n"
         "                  point a simulated throw (a ball launched at 4 m/s, 60 degrees,\n"
         "                  filmed at 25 frames/s) through the measurement data and print\n"
         "                  its positions, velocities and accelerations\n"
         "  eval [--degrees] \"EXPRESSION\"\n"
         "                  evaluate an expression with the calculator's rules (numbers,\n"
         "                  pi, + - * / ^, SIN COS TAN ARCSIN ARCCOS ARCTAN LN LOG EXP\n"
         "                  ABS SQRT; radians unless --degrees)\n"
         "  fit MODEL FILE.tsv\n"
         "  fit MODEL FILE.mlb --quantity Q --point N [--size WIDTHxHEIGHT]\n"
         "                  fit a model (affine, constant, exponential, parabola,\n"
         "                  proportional, sine, sine-exp, sine-lin) to two tab-separated\n"
         "                  columns (t, y) or to quantity Q (x, y, vx, v, ...) of point N\n"
         "                  of a project; prints the equation, the parameters, the status\n"
         "                  and the statistics\n"
         "  table FILE.mlb [--frame fixed|transparent] [--smooth none|speed|acceleration|both]\n"
         "        [--formulas] [--size WIDTHxHEIGHT]\n"
         "                  print the result table (or the formula table) of a project as\n"
         "                  the tab-separated lines copied to the clipboard\n"
         "  probe FILE [--framework vfw|ds|ffmpeg]\n"
         "                  the framework that opens a video, its frame count, size,\n"
         "                  rate, duration and comment\n"
         "  frame FILE N OUT.png [--framework ...]\n"
         "                  write frame N (from 0) as a picture\n"
         "  frames FILE [--framework ...]\n"
         "                  decode every frame in order and report frames per second\n"
         "  render FILE.mlb N OUT.png [--zoom 100..800] [--video FILE] [--window]\n"
         "                  write frame N (from 0) of a project's video with its\n"
         "                  measurement (marks, axes, overlay) drawn as the view shows it\n"
         "                  (--window: the whole control, scroll bars and magnifier)\n"
         "  make-sample FRAMES_DIR PROJECT.mlb\n"
         "                  draw the sample experiment (a thrown ball and a 1 m bar) as\n"
         "                  pictures and write its measured project\n"
         "  project-info FILE.mlb\n"
         "                  print what a project file holds: video, frame period, points\n"
         "                  and marks, scale, origin, axis angle, formulas\n"
         "  --help          show this help\n"
         "  --version       show the version\n";
}

}  // namespace

int main(int argc, char** argv) {
  // Rendering paints with the widgets' fonts and needs a GUI application; it
  // runs on the offscreen platform when there is no display.
  const bool gui =
      argc > 1 && (std::strcmp(argv[1], "render") == 0 || std::strcmp(argv[1], "make-sample") == 0);
  if (gui && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
      qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  std::unique_ptr<QCoreApplication> app;
  if (gui)
    app = std::make_unique<QApplication>(argc, argv);
  else
    app = std::make_unique<QCoreApplication>(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("mlbtool"));
  QCoreApplication::setApplicationVersion(QStringLiteral(MOTILAB_VERSION));
  QTextStream out(stdout);
  QTextStream err(stderr);
  const QStringList args = QCoreApplication::arguments().mid(1);
  if (args.isEmpty() || args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h")) {
    PrintHelp(out);
    return args.isEmpty() ? 2 : 0;
  }
  if (args[0] == QLatin1String("--version")) {
    out << "mlbtool (Motilab) " << MOTILAB_VERSION << "\n";
    return 0;
  }
  if (args[0] == QLatin1String("demo")) return mlb::cli::RunDemo(args.mid(1), out, err);
  if (args[0] == QLatin1String("fit")) return mlb::cli::RunFit(args.mid(1), out, err);
  if (args[0] == QLatin1String("eval")) return mlb::cli::RunEval(args.mid(1), out, err);
  if (args[0] == QLatin1String("table")) return mlb::cli::RunTable(args.mid(1), out, err);
  if (args[0] == QLatin1String("probe")) return mlb::cli::RunProbe(args.mid(1), out, err);
  if (args[0] == QLatin1String("frame")) return mlb::cli::RunFrame(args.mid(1), out, err);
  if (args[0] == QLatin1String("frames")) return mlb::cli::RunFrames(args.mid(1), out, err);
  if (args[0] == QLatin1String("make-sample"))
    return mlb::cli::RunMakeSample(args.mid(1), out, err);
  if (args[0] == QLatin1String("render")) return mlb::cli::RunRender(args.mid(1), out, err);
  if (args[0] == QLatin1String("project-info"))
    return mlb::cli::RunProjectInfo(args.mid(1), out, err);
  err << "mlbtool: unknown command \"" << args[0] << "\"; see mlbtool --help\n";
  return 2;
}
