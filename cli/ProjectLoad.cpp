#include "cli/ProjectLoad.h"

#include <QStringList>

namespace mlb::cli {

std::unique_ptr<THeadlessProject> LoadHeadless(const QString& path, const QString& size,
                                               QString& why) {
  auto p = std::make_unique<THeadlessProject>();
  TMlb mlb;
  if (!mlb.Open(path, &why) || !mlb.ConvertOldFormat(&why, false) ||
      !ReadProject(mlb.Ini(), p->project, &why)) {
    why = QStringLiteral("Chyba čtení souboru.. ") + why;
    return nullptr;
  }
  int w = 0, h = 0;
  const QStringList wh = size.split(QLatin1Char('x'));
  if (wh.size() == 2) w = wh[0].toInt(), h = wh[1].toInt();
  const auto& n = p->project.scalePointsNumber;
  const bool separate = n[1] == 2 && n[2] == 2 && n[0] != 2;
  if (!separate && (w <= 0 || h <= 0)) {
    why = QStringLiteral("the video's frame size is needed for its scale: --size WIDTHxHEIGHT");
    return nullptr;
  }
  p->view = std::make_unique<TStaticView>(1 << 30, std::max(w, 1), std::max(h, 1));
  TMeasureSettings settings;
  settings.separateScales = separate;
  p->data = std::make_unique<TData>(p->view.get(), settings);
  p->results = std::make_unique<TResCalc>(*p->data);
  p->view->onInvalidate = [r = p->results.get()](TRefChoice which) { r->Invalidate(which); };
  ApplyProject(*p->data, p->project);
  p->view->mode = p->project.transparentMode ? mvTransparent : mvRepereFixe;
  return p;
}

}  // namespace mlb::cli
