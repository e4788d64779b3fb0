#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "common/UnitIniFile.h"
#include "common/UnitMessageBox.h"
#include "common/UnitOptions.h"
#include "common/UnitPaths.h"

namespace mlb {
namespace {

void Touch(const QString& path) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}

TEST(Paths, NormalizeFolder) {
  EXPECT_EQ(NormalizeFolder(QStringLiteral("/home//eva///videa")),
            QStringLiteral("/home/eva/videa/"));
  EXPECT_EQ(NormalizeFolder(QStringLiteral("/tmp/")), QStringLiteral("/tmp/"));
  EXPECT_EQ(NormalizeFolder(QString()), QString());
}

TEST(Paths, ProposeFileNameWithDatesAndNumbers) {
  QTemporaryDir dir;
  const QString folder = NormalizeFolder(dir.path());
  const QDate day(2026, 12, 9);
  EXPECT_EQ(ProposeFileName(folder, QStringLiteral("pokus.avi"), QStringLiteral("mlb"), true, day),
            folder + QStringLiteral("pokus_1_09122026.mlb"));
  Touch(folder + QStringLiteral("pokus_1_09122026.mlb"));
  EXPECT_EQ(ProposeFileName(folder, QStringLiteral("pokus.avi"), QStringLiteral(".MLB"), true, day),
            folder + QStringLiteral("pokus_2_09122026.mlb"));
  // A base that already carries today's date and "_" loses them first.
  EXPECT_EQ(ProposeFileName(folder, QStringLiteral("pokus_1_09122026.avi"), QStringLiteral("mlb"),
                            true, day),
            folder + QStringLiteral("pokus_1_1_09122026.mlb"));
  EXPECT_EQ(ProposeFileName(folder + QStringLiteral("/"), QStringLiteral("a.b.avi"),
                            QStringLiteral("txt"), false, day),
            folder + QStringLiteral("a.b_1.txt"));
  EXPECT_EQ(
      ProposeFileNameBeside(folder + QStringLiteral("pokus.avi"), QStringLiteral("mlb"), true, day),
      folder + QStringLiteral("pokus_2_09122026.mlb"));
}

TEST(Paths, HelpPageChoiceAndFailureMessage) {
  QTemporaryDir dir;
  const QStringList folders{dir.path()};
  EXPECT_EQ(ChooseHelpPage(folders), QString());
  Touch(dir.filePath(QStringLiteral("Help_en.html")));
  EXPECT_TRUE(ChooseHelpPage(folders).endsWith(QStringLiteral("Help_en.html")));
  Touch(dir.filePath(QStringLiteral("Help_cz.html")));
  EXPECT_TRUE(ChooseHelpPage(folders).endsWith(QStringLiteral("Help_cz.html")));

  TRecordingMessageBox box;
  TMessageBoxGuard guard(&box);
  QString opened;
  EXPECT_TRUE(OpenHelp([&](const QString& p) { return opened = p, true; }, folders));
  EXPECT_TRUE(opened.endsWith(QStringLiteral("Help_cz.html")));
  EXPECT_FALSE(OpenHelp([](const QString&) { return false; }, folders));
  ASSERT_EQ(box.shown.size(), 1u);
  EXPECT_EQ(box.shown[0].Icon(), icWarning);
  EXPECT_EQ(box.shown[0].Text(),
            QStringLiteral("Není možné spustit nápovědu.\n\nOvěřte, že složka HELP se nachází "
                           "vedle souboru Motilab.exe."));
}

TEST(Paths, SettingsFolderFollowsXdgConfigHome) {
  QTemporaryDir dir;
  const QByteArray old = qgetenv("XDG_CONFIG_HOME");
  qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
  EXPECT_EQ(SettingsFolder(), NormalizeFolder(dir.path()) + QStringLiteral("Motilab/"));
  EXPECT_TRUE(QDir(dir.filePath(QStringLiteral("Motilab"))).exists());
  EXPECT_EQ(SettingsFile(), NormalizeFolder(dir.path()) + QStringLiteral("Motilab/Motilab.ini"));
  // A folder that cannot be made (a file is in the way).
  Touch(dir.filePath(QStringLiteral("blocked")));
  qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("blocked")).toUtf8());
  EXPECT_EQ(SettingsFolder(), QString());
  {
    TRecordingMessageBox box;
    TMessageBoxGuard guard(&box);
    EXPECT_EQ(StartupSettingsFolder(), QString());
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].Text(), QStringLiteral("Vytvoření souboru záchrany selhalo.\n\n"
                                                  "Některé funkce programu nebudou fungovat."));
  }
  qputenv("XDG_CONFIG_HOME", old);
  EXPECT_EQ(InitialOpenFolder(dir.path()), NormalizeFolder(dir.path()));
  EXPECT_FALSE(InitialOpenFolder(dir.filePath(QStringLiteral("missing"))).isEmpty());
}

TEST(Options, DefaultsReadingAndWriting) {
  TOptions o;
  EXPECT_EQ(o.Int(QStringLiteral("EditMRU_Value")), 8);
  EXPECT_TRUE(o.Bool(QStringLiteral("CheckBox54SmoothSpeed_Checked")));
  EXPECT_FALSE(o.Bool(QStringLiteral("CheckBox41HorizAndVertScale_Checked")));
  EXPECT_FALSE(o.Bool(QStringLiteral("ToolButtonVecteurVideo_Down")));
  EXPECT_EQ(TOptions::Keys().size(), 59 + 16 + 12 + 15);

  TIniFile ini;
  ini.LoadFromText(
      QStringLiteral("[RecentFiles]\nFile0=/a.mlb\n[Options]\n"
                     "CheckBox36StartByZero_Checked=2\nCheckBox9Speed_Checked=yes\n"
                     "TrackingRadius_Value=55\nPassword=abc1\n"
                     "ToolButtonTempsModeleSinus_Down=1\n"));
  o.LoadFrom(ini);
  EXPECT_TRUE(o.Bool(QStringLiteral("CheckBox36StartByZero_Checked")));  // 2 reads true
  EXPECT_TRUE(o.Bool(QStringLiteral("CheckBox9Speed_Checked")));         // "yes": the default
  EXPECT_EQ(o.Int(QStringLiteral("TrackingRadius_Value")), 55);
  EXPECT_TRUE(o.PasswordSet);
  EXPECT_TRUE(o.Bool(QStringLiteral("ToolButtonTempsModeleSinus_Down")));

  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("Motilab.ini"));
  ASSERT_TRUE(ini.SaveToFile(file));
  o.Password.clear();
  ASSERT_TRUE(o.SaveSettings(file));
  TIniFile saved;
  ASSERT_TRUE(saved.LoadFromFile(file));
  EXPECT_EQ(saved.ReadString(QStringLiteral("RecentFiles"), QStringLiteral("File0"), {}),
            QStringLiteral("/a.mlb"));  // other sections stay
  EXPECT_EQ(saved.ReadString(QStringLiteral("Options"),
                             QStringLiteral("CheckBox36StartByZero_Checked"), {}),
            QStringLiteral("1"));
  EXPECT_EQ(
      saved.ReadString(QStringLiteral("Options"), QStringLiteral("Password"), QStringLiteral("x")),
      QString());
  TOptions fresh;
  fresh.Load(file);
  EXPECT_FALSE(fresh.PasswordSet);
  EXPECT_EQ(fresh.Int(QStringLiteral("TrackingRadius_Value")), 55);
  // No file at all: the defaults.
  TOptions none;
  none.Load(dir.filePath(QStringLiteral("missing.ini")));
  EXPECT_EQ(none.Int(QStringLiteral("EditMRU_Value")), 8);
  EXPECT_FALSE(none.PasswordSet);
}

TEST(Options, PasswordLock) {
  TRecordingMessageBox box;
  TMessageBoxGuard guard(&box);
  TOptions o;
  auto answer = [](bool ok, QString text) { return [=](QString& t) { return t = text, ok; }; };
  EXPECT_TRUE(o.CheckAccess(nullptr));  // no password: no question
  EXPECT_FALSE(o.AskNewPassword(answer(false, QStringLiteral("x"))));
  EXPECT_FALSE(o.AskNewPassword(answer(true, QString())));
  EXPECT_TRUE(o.Password.isEmpty());
  EXPECT_TRUE(o.AskNewPassword(answer(true, QStringLiteral("Tajne1"))));
  o.PasswordSet = true;
  EXPECT_FALSE(o.CheckAccess(answer(false, QString())));
  EXPECT_TRUE(box.shown.empty());
  EXPECT_FALSE(o.CheckAccess(answer(true, QStringLiteral("tajne1"))));  // case matters
  ASSERT_EQ(box.shown.size(), 1u);
  EXPECT_EQ(box.shown[0].Text(), QStringLiteral("Nesprávné heslo."));
  EXPECT_TRUE(o.CheckAccess(answer(true, QStringLiteral("Tajne1"))));
  EXPECT_TRUE(PasswordCharAccepted(QLatin1Char('a'), 0));
  EXPECT_TRUE(PasswordCharAccepted(QLatin1Char('7'), 20));
  EXPECT_FALSE(PasswordCharAccepted(QLatin1Char('7'), 21));
  EXPECT_FALSE(PasswordCharAccepted(QChar(0x10D), 0));  // č
  EXPECT_FALSE(PasswordCharAccepted(QLatin1Char(' '), 0));
}

TEST(Options, DerivedHiddenButtons) {
  TOptions o;
  const QString t = QStringLiteral("Temps");
  for (const char* b : {"ModeleConstant", "ModeleAffine", "ModeleProportionnel", "ModeleParabole",
                        "ModeleSinus", "ModeleSinusAl", "ModeleExponentiel"})
    o.SetBool(QStringLiteral("ToolButtonTemps") + QLatin1String(b) + QStringLiteral("_Down"), true);
  EXPECT_FALSE(o.FitAdjustHidden(t));  // ModeleSinusAe still shown
  o.SetSinusAeHidden(t, true);
  EXPECT_TRUE(o.FitAdjustHidden(t));
  EXPECT_FALSE(o.FitAdjustHidden(QStringLiteral("Formule")));
  o.SetFitAdjustOwnHidden(QStringLiteral("Formule"), true);
  EXPECT_TRUE(o.FitAdjustHidden(QStringLiteral("Formule")));
  const QString r = QStringLiteral("Referentiel");
  EXPECT_FALSE(o.CurveArcHidden(r));
  for (const char* b : {"Arc", "Cercle", "Ellipse"})
    o.SetBool(QStringLiteral("ToolButtonReferentiel") + QLatin1String(b) + QStringLiteral("_Down"),
              true);
  EXPECT_TRUE(o.CurveArcHidden(r));
  EXPECT_FALSE(o.CurveArcHidden(QStringLiteral("Vecteur")));
  o.SetBool(QStringLiteral("ToolButtonVecteurCurveArc_Down"), true);
  EXPECT_TRUE(o.CurveArcHidden(QStringLiteral("Vecteur")));
}

}  // namespace
}  // namespace mlb
