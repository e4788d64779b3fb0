// The recent-files list: paths newest first, a maximum count, and the folder
// the open dialogs start in; kept in the settings file.
#pragma once

#include <QString>
#include <QStringList>

namespace mlb {

class TIniFile;

class TMRUFiles {
 public:
  QStringList Files;
  QString Directory;

  int Maximum() const { return maximum_; }
  // Clamped to 1..20; the oldest entries go when the list is longer.
  void SetMaximum(int n);
  // Puts an existing file first (nothing while the list is frozen): an entry
  // equal to it without regard to case is removed, the oldest dropped while full.
  void Add(const QString& path, bool frozen);
  // Section "RecentFiles" ("File1".."FileN") and "MainForm"/"Directory".
  void Load(const TIniFile& ini);
  void Save(TIniFile& ini) const;

 private:
  int maximum_ = 4;
};

}  // namespace mlb
