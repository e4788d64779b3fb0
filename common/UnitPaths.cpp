#include "common/UnitPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "common/UnitMessageBox.h"

namespace mlb {

QString NormalizeFolder(const QString& path) {
  QString p = path;
  while (p.contains(QLatin1String("//"))) p.replace(QLatin1String("//"), QLatin1String("/"));
  if (!p.isEmpty() && !p.endsWith(QLatin1Char('/'))) p += QLatin1Char('/');
  return p;
}

QString ProgramFolder() {
  QString dir;
  if (QCoreApplication::instance())
    dir = QCoreApplication::applicationDirPath();
  else
    dir = QFileInfo(QStringLiteral("/proc/self/exe"))
              .canonicalFilePath()
              .section(QLatin1Char('/'), 0, -2);
  return NormalizeFolder(dir);
}

QString SettingsFolder() {
  QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
  if (base.isEmpty() || !QDir::isAbsolutePath(base))
    base = QDir::homePath() + QStringLiteral("/.config");
  const QString folder = NormalizeFolder(base) + QStringLiteral("Motilab/");
  if (!QDir().mkpath(folder)) return QString();
  return folder;
}

QString StartupSettingsFolder() {
  const QString folder = SettingsFolder();
  if (folder.isEmpty())
    TMessage(icWarning)
        .AddButton(QStringLiteral("Ok"), btOk)
        .AddParagraph(QStringLiteral("Vytvoření souboru záchrany selhalo."))
        .AddParagraph(QString())
        .AddParagraph(QStringLiteral("Některé funkce programu nebudou fungovat."))
        .Execute();
  return folder;
}

QString SettingsFile() {
  const QString folder = SettingsFolder();
  return folder.isEmpty() ? QString() : folder + QStringLiteral("Motilab.ini");
}

QStringList HelpFolders() {
  const QString program = ProgramFolder();
  return {NormalizeFolder(QDir::cleanPath(program + QStringLiteral("../share/motilab/help"))),
          program + QStringLiteral("help/")};
}

QString ProposeFileName(const QString& folder, const QString& fileName, const QString& extension,
                        bool withDate, const QDate& today) {
  const QString dir = NormalizeFolder(folder);
  QString ext = extension;
  ext.remove(QLatin1Char('.'));
  ext = ext.toLower();
  if (!ext.isEmpty()) ext.prepend(QLatin1Char('.'));
  QString base = QFileInfo(fileName).completeBaseName();
  QString suffix;
  if (withDate) {
    const QString date = today.toString(QStringLiteral("ddMMyyyy"));
    base.remove(date, Qt::CaseInsensitive);
    while (base.endsWith(QLatin1Char('_'))) base.chop(1);
    suffix = QLatin1Char('_') + date;
  }
  int n = 1;
  auto name = [&](int k) {
    return dir + base + QLatin1Char('_') + QString::number(k) + suffix + ext;
  };
  while (QFileInfo::exists(name(n))) ++n;
  return name(n);
}

QString ProposeFileNameBeside(const QString& path, const QString& extension, bool withDate,
                              const QDate& today) {
  const QFileInfo info(path);
  return ProposeFileName(info.path(), info.fileName(), extension, withDate, today);
}

QString ChooseHelpPage(const QStringList& folders) {
  static const char* const pages[] = {"Help_fr.html", "Help_cz.html", "Help_es.html",
                                      "Help_en.html", "Help.html"};
  for (const char* page : pages)
    for (const QString& folder : folders) {
      const QString path = NormalizeFolder(folder) + QLatin1String(page);
      if (QFileInfo::exists(path)) return path;
    }
  return QString();
}

bool OpenHelp(const std::function<bool(const QString&)>& open, const QStringList& folders) {
  const QString page = ChooseHelpPage(folders);
  if (!page.isEmpty() && open && open(page)) return true;
  TMessage(icWarning)
      .AddButton(QStringLiteral("Ok"), btOk)
      .AddParagraph(QStringLiteral("Není možné spustit nápovědu."))
      .AddParagraph(QString())
      .AddParagraph(QStringLiteral("Ověřte, že složka HELP se nachází vedle souboru Motilab.exe."))
      .Execute();
  return false;
}

QString InitialOpenFolder(const QString& recentFolder) {
  if (!recentFolder.isEmpty() && QFileInfo(recentFolder).isDir())
    return NormalizeFolder(recentFolder);
  const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
  return NormalizeFolder(desktop.isEmpty() ? QDir::homePath() : desktop);
}

}  // namespace mlb
