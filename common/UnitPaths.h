// Path operations shared by the whole program: the program, settings and help
// folders, file names proposed so that nothing is overwritten, and the help.
#pragma once

#include <functional>

#include <QDate>
#include <QString>
#include <QStringList>

namespace mlb {

// Every doubled "/" replaced by one; a trailing "/" added to a non-empty result.
QString NormalizeFolder(const QString& path);
// Folder of the running executable, with a trailing "/".
QString ProgramFolder();
// The settings folder: $XDG_CONFIG_HOME/Motilab/ (default ~/.config/Motilab/),
// created when missing; empty when it cannot be created.
QString SettingsFolder();
// The settings folder at start-up; when it cannot be made, the warning that
// some functions will not work is shown and the result is empty.
QString StartupSettingsFolder();
// The settings folder followed by "Motilab.ini" (empty when there is no folder).
QString SettingsFile();
// Folders searched for the help pages: the installed data folder beside the
// program ("../share/motilab/help/"), then "help/" beside the program.
QStringList HelpFolders();

// folder + base + "_" + n + ["_" + DDMMYYYY] + ".ext" with the smallest n
// that names no existing file; an earlier date text is removed from the base.
QString ProposeFileName(const QString& folder, const QString& fileName, const QString& extension,
                        bool withDate, const QDate& today = QDate::currentDate());
QString ProposeFileNameBeside(const QString& path, const QString& extension, bool withDate,
                              const QDate& today = QDate::currentDate());

// The help page to open: the first of the pages in the program's order that
// exists in one of the folders; empty when there is none.
QString ChooseHelpPage(const QStringList& folders);
// Opens the help page with `open` (the desktop's handler); shows the failure
// message when there is no page or opening fails. True when opened.
bool OpenHelp(const std::function<bool(const QString&)>& open,
              const QStringList& folders = HelpFolders());

// The initial folder of the open dialogs: the remembered recent folder when
// it exists, else the user's desktop folder.
QString InitialOpenFolder(const QString& recentFolder);

}  // namespace mlb
