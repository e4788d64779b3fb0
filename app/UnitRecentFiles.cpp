#include "app/UnitRecentFiles.h"

#include <algorithm>

#include <QFileInfo>

#include "common/UnitIniFile.h"

namespace mlb {

void TMRUFiles::SetMaximum(int n) {
  maximum_ = std::clamp(n, 1, 20);
  while (Files.size() > maximum_) Files.removeLast();
}

void TMRUFiles::Add(const QString& path, bool frozen) {
  if (frozen || !QFileInfo::exists(path)) return;
  for (int i = Files.size() - 1; i >= 0; --i)
    if (Files[i].compare(path, Qt::CaseInsensitive) == 0) Files.removeAt(i);
  while (Files.size() >= maximum_) Files.removeLast();
  Files.prepend(path);
}

void TMRUFiles::Load(const TIniFile& ini) {
  Files.clear();
  for (int i = 1; i <= maximum_; ++i) {
    const QString f =
        ini.ReadString(QStringLiteral("RecentFiles"), QStringLiteral("File%1").arg(i), QString());
    if (!f.isEmpty()) Files << f;
  }
  Directory = ini.ReadString(QStringLiteral("MainForm"), QStringLiteral("Directory"), Directory);
}

void TMRUFiles::Save(TIniFile& ini) const {
  ini.EraseSection(QStringLiteral("RecentFiles"));
  for (int i = 0; i < Files.size(); ++i)
    ini.WriteString(QStringLiteral("RecentFiles"), QStringLiteral("File%1").arg(i + 1), Files[i]);
  ini.WriteString(QStringLiteral("MainForm"), QStringLiteral("Directory"), Directory);
}

}  // namespace mlb
