#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "common/UnitMessageBox.h"
#include "common/UnitNumberFormat.h"
#include "common/UnitPalette.h"
#include "measurement/UnitData.h"
#include "measurement/UnitMlb.h"
#include "measurement/UnitProject.h"
#include "tests/support/FakeView.h"

namespace mlb {
namespace {

using test::FakeView;
using test::Px;

QString ReadAll(const QString& path) {
  QFile f(path);
  f.open(QIODevice::ReadOnly);
  return QString::fromUtf8(f.readAll());
}

void WriteAll(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

// A measurement using every part of the project file.
void BuildMeasurement(TData& data, FakeView& view) {
  data.Reset();
  data.SetRequiredDuration(1.0 / 30);
  data.SetFramesNumberBetweenTwoMarks(2);
  data.SetMarksNumberPerFrame(3);
  data.SetMarkColor(1, 0x00AA11);
  data.SetMarkColor(2, 0x123456);
  data.SetPointName(0, QStringLiteral("míček"));
  data.SetPointName(2, QStringLiteral("Žlutý vozík"));
  data.ElementColor = 0x00FF00;
  data.SetTool(otEchelle);
  data.Echelle().LeftPress({100, 100});
  data.Echelle().LeftPress({300, 140});
  data.Echelle().SetLength(skSingle, 0.75);
  data.Echelle().Points[skHoriz] = {TPointD{0.1, 0.2}, TPointD{0.6, 0.2}};
  data.Echelle().PointsNumber[skHoriz] = 2;
  data.Echelle().Length[skHoriz] = 1.5;
  data.SetTool(otOrigine);
  data.RepereFixe().LeftPress({200, 300});
  data.SetAxisAngle(0.25);
  data.SetDirectY(false);
  data.SetTool(otMarque);
  for (int f = 0; f < 4; ++f) {
    view.current = 10 + 2 * f;
    for (int k = 0; k < 3; ++k)
      if (!(f == 2 && k == 1)) {
        data.SetCurrentMarkOrderNumber(k);
        data.PlaceMark(Px(view, 0.1 + 0.1 * k + 0.01 * f, 0.3 + 0.05 * f));
      }
  }
  data.SetCurrentMarkOrderNumber(1);
  view.mode = mvTransparent;
  data.SetTool(otTsp);
  TTransparent& t = data.Transparent();
  for (int f = 0; f < 3; ++f) {
    view.current = 40 + f;
    t.LeftPress(view.NormalizedToScreen(t.CurrentOrigin()));
    t.Move(Px(view, 0.3 + 0.05 * f, 0.6));
    t.Release();
    t.LeftPress(Px(view, 0.4 + 0.05 * f, 0.5));
  }
  t.Shrink();
  data.SetPointName(1, QStringLiteral("vlak"));
  view.mode = mvRepereFixe;
  data.SetTool(otMarque);
  view.current = 12;
}

TProjectData WithExtras(TProjectData p) {
  p.videoFileName = QStringLiteral("/videos/pokus á.avi");
  p.visibleImages = {true, false, true};
  p.timeShifts = {0, 0, 1};
  p.formulas = {{QStringLiteral("E"), QStringLiteral("0,5*m*v^2"), QStringLiteral("energie"),
                 QStringLiteral("J")}};
  p.constants = {{QStringLiteral("m"), QString(), QStringLiteral("0,2"), QStringLiteral("kg")},
                 {QStringLiteral("g2"), QString(), QStringLiteral("=2*9,81"), QString()}};
  return p;
}

void ExpectSameProject(const TProjectData& a, const TProjectData& b) {
  TIniFile x, y;
  WriteProject(x, a);
  WriteProject(y, b);
  EXPECT_EQ(x.ToText().toStdString(), y.ToText().toStdString());
}

class ProjectFile : public ::testing::Test {
 protected:
  ProjectFile() : data(&view) { SetDecimalSeparator(QLatin1Char(',')); }
  FakeView view{200, 640, 480};
  TRecordingMessageBox box;
  TMessageBoxGuard guard{&box};
  TData data;
};

TEST_F(ProjectFile, RoundTripKeepsTheWholeMeasurement) {
  BuildMeasurement(data, view);
  const TProjectData saved = WithExtras(CaptureProject(data));
  TIniFile ini;
  WriteProject(ini, saved);
  TIniFile reread;
  reread.LoadFromText(ini.ToText());
  TProjectData loaded;
  QString why;
  ASSERT_TRUE(ReadProject(reread, loaded, &why)) << why.toStdString();
  ExpectSameProject(saved, loaded);

  FakeView view2{200, 640, 480};
  TData other(&view2);
  ApplyProject(other, loaded);
  TProjectData again = WithExtras(CaptureProject(other));
  again.imageNumber = saved.imageNumber;
  ExpectSameProject(saved, again);
  // The numbers are those of the measurement, not only the records.
  EXPECT_EQ(other.FixedStore().MarkCount(), 11);
  EXPECT_EQ(other.PointName(2), QStringLiteral("Žlutý vozík"));
  EXPECT_EQ(other.MarkColor(2), 0x123456u);
  EXPECT_EQ(other.FixedStore().CurrentMarkOrderNumber(), 1);
  EXPECT_EQ(other.TransparentStore().MarkCount(), 3);
  EXPECT_EQ(other.Transparent().Origins().size(), 3u);
  EXPECT_NEAR(other.GetScaleFactors().x, data.GetScaleFactors().x, 1e-12);
  EXPECT_FALSE(other.RepereFixe().DirectYAxisDirection);
  for (int h = 0; h < 4; ++h) EXPECT_EQ(other.History(h).Count(), 0u);
  EXPECT_EQ(other.GetMarkMatrices().X, data.GetMarkMatrices().X);
}

// The keys and their order, written by hand from the file layout.
TEST_F(ProjectFile, SmallProjectMatchesTheLayoutKeyByKey) {
  data.Reset();
  data.SetRequiredDuration(0.04);
  view.current = 5;
  data.PlaceMark(Px(view, 0.25, 0.5));
  TProjectData p = CaptureProject(data);
  p.videoFileName = QStringLiteral("/v/a.avi");
  p.imageNumber = 6;
  TIniFile ini;
  WriteProject(ini, p);
  const char* expected =
      "[Main]\nVersion=340000\nVideoFileName=/v/a.avi\n"
      "[Data]\nRequiredDuration=0,04\nFramesNumberBetweenTwoMarks=1\nMarkColorsNumber=1\n"
      "MarkColor_0=255\nElementColor=65535\nElementSize=0\n"
      "DirectYAxisDirection_Grid=1\nDirectXAxisDirection_Grid=1\n"
      "OrigineCurrentXCoordinate_Grid=0\nOrigineCurrentYCoordinate_Grid=0\n"
      "OriginePointsNumber_Grid=0\nXAxisAngle_Grid=0\nYAxisAngle_Grid=1,5707963267949\n"
      "DirectYAxisDirection_Layer=1\nDirectXAxisDirection_Layer=1\n"
      "OrigineCurrentXCoordinate_Layer=0\nOrigineCurrentYCoordinate_Layer=0\n"
      "LayerStage=1\nLayerWidth=0,5\nLayerHeight=0,5\nOriginePositionsNumber_Layer=0\n"
      "ScalePointsNumber=0\nScalePoint1XCoordinate=0\nScalePoint1YCoordinate=0\n"
      "ScalePoint2XCoordinate=0\nScalePoint2YCoordinate=0\nScaleLength=0\n"
      "ScaleHorizPointsNumber=0\nScaleHorizPoint1XCoordinate=0\nScaleHorizPoint1YCoordinate=0\n"
      "ScaleHorizPoint2XCoordinate=0\nScaleHorizPoint2YCoordinate=0\nScaleHorizLength=0\n"
      "ScaleVertPointsNumber=0\nScaleVertPoint1XCoordinate=0\nScaleVertPoint1YCoordinate=0\n"
      "ScaleVertPoint2XCoordinate=0\nScaleVertPoint2YCoordinate=0\nScaleVertLength=0\n"
      "MarksNumberPosition_Grid=1\nMarksIsAllDrawn_Grid=1\nMarksNumberToDraw_Grid=1\n"
      "CurrentMarkOrderNumber_Grid=0\nMarksNumberPerFrame_Grid=1\nSystemNamesNumber_Grid=1\n"
      "SystemName_Grid_0=bodu číslo1\nMarksContainersNumber_Grid=1\n"
      "MarksContainerFrameNumber_Grid_0=5\nMarksContainerMarkNumber_Grid_0=0\n"
      "MarksContainerMarksNumber_Grid_0=1\nMarkOrderNumber_Grid_0_0=0\n"
      "MarkXCoordinate_Grid_0_0=0,25\nMarkYCoordinate_Grid_0_0=0,5\n"
      "MarksNumberPosition_Layer=1\nMarksIsAllDrawn_Layer=1\nMarksNumberToDraw_Layer=1\n"
      "CurrentMarkOrderNumber_Layer=0\nMarksNumberPerFrame_Layer=1\nSystemNamesNumber_Layer=2\n"
      "SystemName_Layer_0=bodu číslo1\nSystemName_Layer_1=bodu číslo2\n"
      "MarksContainersNumber_Layer=0\n"
      "[Video]\nImageNumber=6\nMarkingMode=0\n"
      "[Montage]\nVisibleImagesNumber=1\nIsVisibleImage_0=1\nTimeShiftsNumber=0\n"
      "[Formules]\nFormulesNumber=0\nConstantesNumber=0\n";
  EXPECT_EQ(ini.ToText().toStdString(), expected);
}

TEST_F(ProjectFile, ReadsEitherDecimalSeparatorAndAppliesDefaults) {
  for (QChar sep : {QLatin1Char(','), QLatin1Char('.')}) {
    SetDecimalSeparator(sep);
    TIniFile ini;
    ini.LoadFromText(QStringLiteral(
        "[Main]\nVersion=340000\n[Data]\nRequiredDuration=0.02\nMarksNumberPerFrame_Grid=3\n"
        "MarkColorsNumber=3\nMarkColor_1=255\nMarkColor_2=65280\nScaleLength=1,5\n"
        "LayerStage=1\n"));
    TProjectData p;
    ASSERT_TRUE(ReadProject(ini, p));
    EXPECT_DOUBLE_EQ(p.requiredDuration, 0.02);
    EXPECT_DOUBLE_EQ(p.scaleLength[skSingle], 1.5);
    EXPECT_FALSE(p.transparentMode);  // "MarkingMode" missing
    ApplyProject(data, p);
    EXPECT_EQ(data.Transparent().LayerStage(), 0);  // "LayerStage" 1 is stage 0
    EXPECT_EQ(data.MarkColor(0), PaletteColor(0));  // MarkColor_0 missing: palette
    EXPECT_EQ(data.MarkColor(1), 255u);
    EXPECT_EQ(data.MarkColor(2), 65280u);
    EXPECT_EQ(data.FixedStore().Names.size(), 3);
    EXPECT_NEAR(data.RepereFixe().CurrentOrigin().x, 0.5, 1e-12);
  }
  SetDecimalSeparator(QLatin1Char(','));
}

// Damaged files: the load fails (or repairs where it safely can).
TEST_F(ProjectFile, DamagedContentIsRefusedOrRepaired) {
  const QString base = QStringLiteral(
      "[Main]\nVersion=340000\n[Data]\nRequiredDuration=0,04\nMarksNumberPerFrame_Grid=2\n"
      "MarksContainersNumber_Grid=1\nMarksContainerFrameNumber_Grid_0=3\n"
      "MarksContainerMarksNumber_Grid_0=1\nMarkOrderNumber_Grid_0_0=1\n"
      "MarkXCoordinate_Grid_0_0=0,5\nMarkYCoordinate_Grid_0_0=0,5\n");
  struct Case {
    const char* name;
    QString from, to;
    bool loads;
  };
  const Case cases[] = {
      {"intact", {}, {}, true},
      {"no frame period", QStringLiteral("RequiredDuration=0,04\n"), QString(), false},
      {"empty frame period", QStringLiteral("=0,04"), QStringLiteral("="), false},
      {"zero frame period", QStringLiteral("=0,04"), QStringLiteral("=0"), false},
      {"nan", QStringLiteral("XCoordinate_Grid_0_0=0,5"),
       QStringLiteral("XCoordinate_Grid_0_0=nan"), false},
      {"inf", QStringLiteral("YCoordinate_Grid_0_0=0,5"),
       QStringLiteral("YCoordinate_Grid_0_0=inf"), false},
      {"not a number", QStringLiteral("XCoordinate_Grid_0_0=0,5"),
       QStringLiteral("XCoordinate_Grid_0_0=abc"), false},
      {"negative points", QStringLiteral("Frame_Grid=2"), QStringLiteral("Frame_Grid=-2"), false},
      {"order out of range", QStringLiteral("Number_Grid_0_0=1"),
       QStringLiteral("Number_Grid_0_0=2"), false},
      {"negative order", QStringLiteral("Number_Grid_0_0=1"), QStringLiteral("Number_Grid_0_0=-1"),
       false},
      {"absurd containers", QStringLiteral("ContainersNumber_Grid=1"),
       QStringLiteral("ContainersNumber_Grid=100000000"), false},
      {"absurd marks", QStringLiteral("MarksNumber_Grid_0=1"),
       QStringLiteral("MarksNumber_Grid_0=99999"), false},
      {"negative count", QStringLiteral("ContainersNumber_Grid=1"),
       QStringLiteral("ContainersNumber_Grid=-1"), false},
      {"two marks of one order", QStringLiteral("MarksNumber_Grid_0=1\n"),
       QStringLiteral("MarksNumber_Grid_0=2\nMarkOrderNumber_Grid_0_1=1\n"), false},
      {"negative frame", QStringLiteral("FrameNumber_Grid_0=3"),
       QStringLiteral("FrameNumber_Grid_0=-3"), false},
  };
  for (const Case& c : cases) {
    QString text = base;
    if (!c.from.isEmpty()) text.replace(c.from, c.to);
    TIniFile ini;
    ini.LoadFromText(text);
    TProjectData p;
    EXPECT_EQ(ReadProject(ini, p), c.loads) << c.name;
  }
  // Repairs: fewer names than points get the defaults; an order number out of
  // range wraps to 0.
  TIniFile ini;
  ini.LoadFromText(base + QStringLiteral("SystemNamesNumber_Grid=1\nSystemName_Grid_0=A\n"
                                         "CurrentMarkOrderNumber_Grid=7\n"));
  TProjectData p;
  ASSERT_TRUE(ReadProject(ini, p));
  ApplyProject(data, p);
  EXPECT_EQ(data.FixedStore().Names,
            (QStringList{QStringLiteral("A"), QStringLiteral("bodu číslo2")}));
  EXPECT_EQ(data.FixedStore().CurrentMarkOrderNumber(), 0);
}

TEST_F(ProjectFile, OldFormatIsConvertedOnceAndThenReadAsProfile) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("old.mlb"));
  // The old layout, one value per line.
  const char* old =
      "C:\\video\\kyvadlo.avi\n0,04\n"           // video, frame period
      "1\nEk\n0,5*v^2\nkinetic\nJ\n"             // one formula
      "0\n"                                      // no constant
      "Rep\nSaisir\n"                            // marking mode, layer stage
      "2\n1\n7\n"                                // N, current order, image number
      "3\n65535\n255\n65280\n"                   // K+1 colours, element colour, K colours
      "2\nkulička\nvozík\n"                      // fixed names
      "2\nbodu číslo1\nbodu číslo2\n"            // transparent names
      "1*\nx\n0\n"                               // fixed directions
      "1\n0,5\n0,5\n0\n1,5707963267949\n"        // origin, angles
      "a\na\na\na\na\na\na\na\na\n"              // 9 lines skipped
      "1\n"                                      // transparent y direction
      "s\ns\ns\ns\ns\n0,4\n0,3\ns\ns\n"          // skip 5, width, height, skip 2
      "0,45\n0,55\n"                             // transparent origin
      "2\ns\ns\n0,4\n0,6\n"                      // P+1 origins, skip 2, one origin
      "2\n0,1\n0,2\n0,6\n0,2\n"                  // single scale points
      "0,5\n"                                    // scale length, no separate scales
      "s\n1\n1\n"                                // skip, all drawn, number to draw
      "1\n4\n0\n2\n0\n0,3\n0,4\n1\n0,35\n0,4\n"  // one fixed container of 2 marks
      "s\n1\n1\n"                                // transparent store settings
      "1\n9\n0\n1\n0\n0,05\n-0,1\n"              // one transparent container
      "2\n1\n0\n"                                // visibility
      "0\n";                                     // time shifts
  WriteAll(path, QByteArray(old));
  TMlb mlb;
  ASSERT_TRUE(mlb.Open(path));
  ASSERT_TRUE(mlb.ConvertOldFormat());
  TProjectData p;
  QString why;
  ASSERT_TRUE(ReadProject(mlb.Ini(), p, &why)) << why.toStdString();
  mlb.Close();
  EXPECT_EQ(p.videoFileName, QStringLiteral("C:\\video\\kyvadlo.avi"));
  EXPECT_DOUBLE_EQ(p.requiredDuration, 0.04);
  ASSERT_EQ(p.formulas.size(), 1u);
  EXPECT_EQ(p.formulas[0].phrase, QStringLiteral("0,5*v^2"));
  EXPECT_EQ(p.grid.marksNumberPerFrame, 2);
  EXPECT_EQ(p.imageNumber, 7);
  EXPECT_EQ(p.markColors, (TColorDynArray{255, 65280}));
  EXPECT_EQ(p.grid.names, (QStringList{QStringLiteral("kulička"), QStringLiteral("vozík")}));
  EXPECT_TRUE(p.gridDirectY);
  EXPECT_FALSE(p.gridDirectX);
  EXPECT_EQ(p.originePointsNumber, 1);
  EXPECT_DOUBLE_EQ(p.layerWidth, 0.4);
  ASSERT_EQ(p.origins.size(), 1u);
  EXPECT_DOUBLE_EQ(p.origins[0].position.y, 0.6);
  EXPECT_EQ(p.origins[0].frameNumber, 9);  // from the transparent container's frame
  EXPECT_DOUBLE_EQ(p.scaleLength[skSingle], 0.5);
  ASSERT_EQ(p.grid.containers.size(), 1u);
  EXPECT_EQ(p.grid.containers[0].frameNumber, 4);
  ASSERT_EQ(p.grid.containers[0].marks.size(), 2u);
  EXPECT_DOUBLE_EQ(p.grid.containers[0].marks[1].position.x, 0.35);
  EXPECT_EQ(p.visibleImages, (std::vector<bool>{true, false}));
  // Rewritten once: a second open finds the version and reads the same.
  const QString text = ReadAll(path);
  EXPECT_TRUE(text.startsWith(QStringLiteral("C:\\video\\kyvadlo.avi\n")));
  EXPECT_TRUE(text.contains(QStringLiteral("Version=334000")));
  ASSERT_TRUE(mlb.Open(path));
  ASSERT_TRUE(mlb.ConvertOldFormat());
  EXPECT_EQ(ReadAll(path), text);
  mlb.Close();
  // A file that is neither: refused and left as it was.
  const QString junk = dir.filePath(QStringLiteral("junk.mlb"));
  WriteAll(junk, "hello\nworld\n");
  ASSERT_TRUE(mlb.Open(junk));
  EXPECT_FALSE(mlb.ConvertOldFormat());
  mlb.Close();
  EXPECT_EQ(ReadAll(junk), QStringLiteral("hello\nworld\n"));
}

// The user's side: a fake main window and file dialogs.
class Host : public TProjectHost {
 public:
  explicit Host(FakeView& v) : view(v) {}
  FakeView& view;
  QString video;
  bool opened = false;
  bool openFails = false;
  int loadedCount = 0;
  std::vector<bool> montage;
  bool VideoOpened() const override { return opened; }
  QString VideoFileName() const override { return video; }
  bool OpenVideo(const QString& path) override {
    if (openFails) return false;
    video = path;
    opened = true;
    return true;
  }
  void CloseVideo() override { opened = false; }
  void ApplyView(int frame, bool transparent) override {
    view.current = frame;
    view.mode = transparent ? mvTransparent : mvRepereFixe;
  }
  void ApplyMontage(const std::vector<bool>& visible, const std::vector<int>&) override {
    montage = visible;
  }
  void ProjectLoaded() override { ++loadedCount; }
};

class Dialogs : public TFileDialogs {
 public:
  QStringList answers;
  QStringList proposals;
  QString OpenFileName(const QString&, const QString& proposed, const QString&) override {
    proposals << proposed;
    return answers.isEmpty() ? QString() : answers.takeFirst();
  }
  QString SaveFileName(const QString&, const QString& proposed, const QString&,
                       const QString&) override {
    proposals << proposed;
    return answers.isEmpty() ? QString() : answers.takeFirst();
  }
};

TEST_F(ProjectFile, SaveAndLoadThroughTheUserSteps) {
  QTemporaryDir dir;
  const QString video = dir.filePath(QStringLiteral("pokus.avi"));
  WriteAll(video, "not really a video");
  Host host(view);
  Dialogs dialogs;
  TProjectFiles files(data, host, dialogs);

  EXPECT_FALSE(files.SaveProject());  // no video yet
  EXPECT_EQ(box.shown.back().Text(), QStringLiteral("Nejprve otevřete videosoubor."));
  host.OpenVideo(video);
  BuildMeasurement(data, view);
  const TProjectData before = CaptureProject(data);
  dialogs.answers << dir.filePath(QStringLiteral("mereni"));  // gets ".mlb"
  ASSERT_TRUE(files.SaveProject());
  const QString project = dir.filePath(QStringLiteral("mereni.mlb"));
  EXPECT_TRUE(QFile::exists(project));
  EXPECT_TRUE(dialogs.proposals.back().endsWith(
      QStringLiteral("pokus_1_") + QDate::currentDate().toString(QStringLiteral("ddMMyyyy")) +
      QStringLiteral(".mlb")));
  EXPECT_EQ(box.shown.back().Lines()[0].text, QStringLiteral("Soubor byl úspěšně uložen:"));

  // Saving again over it asks first; "Zrušit" keeps the file.
  dialogs.answers << project;
  box.answers = {0};
  EXPECT_FALSE(files.SaveProject());

  // Load into a fresh measurement.
  data.Reset();
  ASSERT_TRUE(files.LoadProject(project));
  EXPECT_EQ(host.loadedCount, 1);
  EXPECT_EQ(view.current, 12);
  TProjectData after = CaptureProject(data);
  ExpectSameProject(before, after);

  // A damaged copy leaves the measurement as it was.
  const QString damaged = dir.filePath(QStringLiteral("damaged.mlb"));
  QString text = ReadAll(project);
  text.replace(QStringLiteral("MarkOrderNumber_Grid_0_1=1"),
               QStringLiteral("MarkOrderNumber_Grid_0_1=9"));
  WriteAll(damaged, text.toUtf8());
  EXPECT_FALSE(files.LoadProject(damaged));
  EXPECT_EQ(box.shown.back().Text(), damaged + QStringLiteral("\n\nChyba čtení souboru.."));
  ExpectSameProject(before, CaptureProject(data));

  // A missing project file.
  EXPECT_FALSE(files.LoadProject(dir.filePath(QStringLiteral("none.mlb"))));
  EXPECT_TRUE(
      box.shown.back().Text().contains(QStringLiteral("Není možné otevřít soubor záchrany.")));
}

TEST_F(ProjectFile, MovedVideoIsFoundAgainAndWrittenBack) {
  QTemporaryDir dir;
  const QString moved = dir.filePath(QStringLiteral("elsewhere/pokus.avi"));
  QDir().mkpath(dir.filePath(QStringLiteral("elsewhere")));
  WriteAll(moved, "v");
  const QString project = dir.filePath(QStringLiteral("p.mlb"));
  data.Reset();
  data.SetRequiredDuration(0.04);
  TProjectData p = CaptureProject(data);
  p.videoFileName = dir.filePath(QStringLiteral("pokus.avi"));  // no longer there
  TIniFile ini;
  WriteProject(ini, p);
  ASSERT_TRUE(ini.SaveToFile(project));

  Host host(view);
  Dialogs dialogs;
  TProjectFiles files(data, host, dialogs);
  box.answers = {1};  // "Vyhledat"
  dialogs.answers << moved;
  ASSERT_TRUE(files.LoadProject(project));
  EXPECT_EQ(dialogs.proposals.back(), QStringLiteral("pokus.avi"));
  EXPECT_EQ(host.video, moved);
  TIniFile reread;
  ASSERT_TRUE(reread.LoadFromFile(project));
  EXPECT_EQ(reread.ReadString(QStringLiteral("Main"), QStringLiteral("VideoFileName"), {}), moved);

  // "Zrušit" in the search question abandons the load.
  p.videoFileName = dir.filePath(QStringLiteral("gone.avi"));
  TIniFile ini2;
  WriteProject(ini2, p);
  ASSERT_TRUE(ini2.SaveToFile(project));
  box.answers = {0};
  EXPECT_FALSE(files.LoadProject(project));
}

// A folder copied elsewhere with its project and video (or a Windows path):
// the video beside the project is taken without a question, and the project
// file is left as it was (it may be read-only).
TEST_F(ProjectFile, VideoBesideAMovedProjectIsFoundWithoutAsking) {
  QTemporaryDir dir;
  const QString video = dir.filePath(QStringLiteral("hod.avi"));
  WriteAll(video, "v");
  const QString project = dir.filePath(QStringLiteral("hod.mlb"));
  data.Reset();
  data.SetRequiredDuration(0.04);
  TProjectData p = CaptureProject(data);
  p.videoFileName = QStringLiteral("C:\\Dokumenty\\fyzika\\hod.avi");
  TIniFile ini;
  WriteProject(ini, p);
  ASSERT_TRUE(ini.SaveToFile(project));
  const QString before = ReadAll(project);
  Host host(view);
  Dialogs dialogs;
  TProjectFiles files(data, host, dialogs);
  ASSERT_TRUE(files.LoadProject(project));
  EXPECT_EQ(host.video, video);
  EXPECT_TRUE(box.shown.empty());
  EXPECT_EQ(ReadAll(project), before);
}

TEST_F(ProjectFile, ShorterSaveOverLongerLeavesStaleKeysThatAreNeverRead) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("x.mlb"));
  Host host(view);
  host.opened = true;
  Dialogs dialogs;
  TProjectFiles files(data, host, dialogs);
  BuildMeasurement(data, view);
  ASSERT_TRUE(files.SaveProjectTo(path));
  data.Reset();
  data.SetRequiredDuration(0.04);
  view.current = 1;
  data.PlaceMark(Px(view, 0.5, 0.5));
  ASSERT_TRUE(files.SaveProjectTo(path));
  const QString text = ReadAll(path);
  EXPECT_TRUE(text.contains(QStringLiteral("MarksContainerFrameNumber_Grid_3=16")));  // stale
  TIniFile ini;
  ASSERT_TRUE(ini.LoadFromFile(path));
  TProjectData p;
  ASSERT_TRUE(ReadProject(ini, p));
  EXPECT_EQ(p.grid.containers.size(), 1u);
  EXPECT_EQ(p.grid.marksNumberPerFrame, 1);
}

}  // namespace
}  // namespace mlb
