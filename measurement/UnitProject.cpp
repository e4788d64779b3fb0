#include "measurement/UnitProject.h"

#include <QDir>
#include <QFileInfo>

#include "common/UnitMessageBox.h"
#include "common/UnitPaths.h"
#include "measurement/UnitData.h"

namespace mlb {

namespace {

const QString kOk = QStringLiteral("Ok");

void Warn(const QString& path, std::initializer_list<QString> lines,
          bool emptyLineAfterPath = true) {
  TMessage m(icWarning);
  m.AddButton(kOk, btOk).AddPath(path);
  if (emptyLineAfterPath) m.AddParagraph(QString());
  for (const QString& l : lines) m.AddParagraph(l);
  m.Execute();
}

QString WithMlbExtension(const QString& path) {
  const QFileInfo info(path);
  if (info.suffix().compare(QLatin1String("mlb"), Qt::CaseInsensitive) == 0) return path;
  const QString base =
      info.suffix().isEmpty() ? path : path.left(path.size() - info.suffix().size() - 1);
  return base + QStringLiteral(".mlb");
}

}  // namespace

void AddLikelyCauses(TMessage& m, bool codecLibraryAvailable) {
  m.AddParagraph(
      QStringLiteral("Není možné otevřít videosoubor. Možné problémy a jejich řešení :"));
  m.AddParagraph(QString());
  m.AddItem(QStringLiteral("soubor je poškozený ..."));
  m.AddItem(
      QStringLiteral("vás počítač nemá odpovídající kodek (nahrajte a instalujte « K-Lite Codec "
                     "Pack (základní) »)."));
  if (!codecLibraryAvailable)
    m.AddParagraph(
        QStringLiteral("použijte jiný framework (nahrajte a instalujte soubor « MlbDll » "
                       "obsahující knihovny « FFmpeg »)."));
}

void ShowVideoOpenFailure(const QString& path, bool codecLibraryAvailable) {
  TMessage m(icWarning);
  m.AddButton(kOk, btOk).AddPath(path).AddParagraph(QString());
  AddLikelyCauses(m, codecLibraryAvailable);
  m.Execute();
}

// Asks for a moved video until one that exists is chosen; false when the user
// gives up.
bool TProjectFiles::FindVideo(const QString& expected, QString& chosen) {
  QString failed;
  for (;;) {
    int answer;
    if (failed.isEmpty()) {
      TMessage m(icWarning);
      m.AddButton(QStringLiteral("Zrušit"), btAnnuler)
          .AddButton(QStringLiteral("Vyhledat"), btCustom);
      m.AddPath(expected).AddParagraph(QString());
      m.AddParagraph(QStringLiteral("Není možné otevřít tento videosoubor."));
      m.AddParagraph(QStringLiteral("Ověřte, že nebyl přemístěn."));
      answer = m.Execute();
    } else {
      TMessage m(icWarning);
      m.AddButton(QStringLiteral("Zrušit"), btAnnuler)
          .AddButton(QStringLiteral("Vyhledat"), btCustom);
      m.AddParagraph(QStringLiteral("Vybraný soubor:")).AddPath(failed).AddParagraph(QString());
      AddLikelyCauses(m, host_.CodecLibraryAvailable());
      answer = m.Execute();
    }
    if (answer != 1) return false;
    const QString expectedName = QFileInfo(expected).fileName();
    const QString file = dialogs_.OpenFileName(QString(), expectedName, QString());
    if (file.isEmpty()) return false;
    if (!QFileInfo::exists(file)) {
      failed = file;
      continue;
    }
    if (QFileInfo(file).fileName() != expectedName) {
      TMessage m(icInformation);
      m.AddButton(kOk, btOk).AddButton(QStringLiteral("Zrušit"), btAnnuler);
      m.AddParagraph(QStringLiteral("Vybraný a očekávaný soubor mají různá jména."));
      m.AddParagraph(QStringLiteral("Vybraný soubor:")).AddPath(file);
      m.AddParagraph(QStringLiteral("Očekávaný soubor:")).AddPath(expected);
      if (m.Execute() != 0) return false;
    }
    chosen = file;
    return true;
  }
}

bool TProjectFiles::LoadProject(const QString& fileName) {
  if (host_.WritingVideo()) return false;
  if (host_.VideoOpened() && !host_.ConfirmDiscard()) return false;
  if (!QFileInfo::exists(fileName)) {
    Warn(fileName, {QStringLiteral("Není možné otevřít soubor záchrany."),
                    QStringLiteral("Ověřte, zda nebyl přemístěn.")});
    return false;
  }
  host_.SetRecentFolder(QFileInfo(fileName).absolutePath());
  TMlb mlb;
  TProjectData project;
  // The whole file is read and checked before anything changes, so a damaged
  // file leaves the current measurement as it was.
  if (!mlb.Open(fileName) || !mlb.ConvertOldFormat() || !ReadProject(mlb.Ini(), project)) {
    mlb.Close();
    Warn(fileName, {QStringLiteral("Chyba čtení souboru..")});
    return false;
  }
  QString video = project.videoFileName;
  bool newPath = false;
  if (!QFileInfo::exists(video)) {
    // A folder copied with its project and video (from a teacher, a USB
    // stick, an installed sample): the video of that name beside the project.
    QString name = video;
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QString beside = QFileInfo(fileName).absoluteDir().filePath(QFileInfo(name).fileName());
    if (!QFileInfo(name).fileName().isEmpty() && QFileInfo::exists(beside)) video = beside;
  }
  if (!QFileInfo::exists(video)) {
    QString chosen;
    if (!FindVideo(video, chosen)) {
      mlb.Close();
      return false;
    }
    video = chosen;
    newPath = true;
  }
  bool loaded = false;
  if (!host_.OpenVideo(video)) {
    ShowVideoOpenFailure(video, host_.CodecLibraryAvailable());
  } else {
    ApplyProject(data_, project);
    host_.ApplyView(project.imageNumber, project.transparentMode);
    host_.ApplyMontage(project.visibleImages, project.timeShifts);
    host_.ApplyFormulas(project.formulas, project.constants);
    host_.ProjectLoaded();
    loaded = true;
  }
  if (newPath && host_.VideoOpened()) {
    mlb.Ini().WriteString(QStringLiteral("Main"), QStringLiteral("VideoFileName"), video);
    if (!mlb.Flush())
      Warn(fileName, {QStringLiteral("Vytvoření nové složky pro video selhalo."),
                      QStringLiteral("Soubor záchrany je pravděpodobně pouze ke čtení.")});
  }
  mlb.Close();
  return loaded;
}

bool TProjectFiles::SaveProjectTo(const QString& fileName, QString* error) {
  TMlb mlb;
  if (!mlb.Open(fileName, error)) return false;
  TProjectData project = CaptureProject(data_);
  project.videoFileName = host_.VideoFileName();
  host_.CaptureMontage(project.visibleImages, project.timeShifts);
  host_.CaptureFormulas(project.formulas, project.constants);
  WriteProject(mlb.Ini(), project);
  const bool ok = mlb.Flush(error);
  mlb.Close();
  return ok;
}

bool TProjectFiles::SaveProject() {
  if (!host_.VideoOpened()) {
    TMessage(icInformation)
        .AddButton(kOk, btOk)
        .AddParagraph(QStringLiteral("Nejprve otevřete videosoubor."))
        .Execute();
    return false;
  }
  const QString proposed =
      ProposeFileNameBeside(host_.VideoFileName(), QStringLiteral("mlb"), true);
  QString file =
      dialogs_.SaveFileName(QStringLiteral("Uložit práci do souboru MLB"), proposed,
                            QStringLiteral("Soubory Motilab (*.mlb)|*.mlb"), QStringLiteral("mlb"));
  if (file.isEmpty()) return false;
  file = WithMlbExtension(file);
  if (QFileInfo::exists(file)) {
    TMessage m(icWarning);
    m.AddButton(QStringLiteral("Zrušit"), btAnnuler).AddButton(kOk, btOk);
    m.AddPath(file).AddParagraph(
        QStringLiteral("Soubor stejného jména již existuje. Chcete jej přepsat?"));
    if (m.Execute() != 1) return false;
  }
  host_.SetRecentFolder(QFileInfo(file).absolutePath());
  TMlb probe;
  if (!probe.Open(file)) {
    Warn(file,
         {QStringLiteral("Uložení souboru selhalo."),
          QStringLiteral("Ověřte, že cíl není chráněn proti zápisu.")},
         false);
    return false;
  }
  probe.Close();
  if (!SaveProjectTo(file)) {
    Warn(file, {QStringLiteral("Ukládání souboru selhalo.")}, false);
    return false;
  }
  TMessage(icInformation)
      .AddButton(kOk, btOk)
      .AddParagraph(QStringLiteral("Soubor byl úspěšně uložen:"))
      .AddPath(file)
      .Execute();
  host_.AddRecentFile(file);
  return true;
}

}  // namespace mlb
