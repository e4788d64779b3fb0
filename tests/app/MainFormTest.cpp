// The main window driven as a student does: open a video, set a scale and an
// origin, click marks, undo, save, close and reopen the project; and the
// refusals and questions on the way. Message boxes, value entries and file
// dialogs are answered by fakes.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>

#include "app/UnitMainForm.h"
#include "common/UnitMessageBox.h"
#include "common/UnitNumberFormat.h"
#include "kinematics/UnitResultats.h"
#include "measurement/UnitData.h"
#include "video/UnitVideo.h"

namespace mlb {
namespace {

QString Video(const char* name) {
  return qEnvironmentVariable("MOTILAB_TEST_VIDEOS") + QLatin1Char('/') + QLatin1String(name);
}

class SaveAs : public TFileDialogs {
 public:
  QString answer;
  QString OpenFileName(const QString&, const QString&, const QString&) override { return answer; }
  QString SaveFileName(const QString&, const QString&, const QString&, const QString&) override {
    return answer;
  }
};

class Window : public ::testing::Test {
 protected:
  Window() : window(dir.filePath(QStringLiteral("Motilab.ini"))) {
    guard = std::make_unique<TMessageBoxGuard>(&box);
    window.resize(1000, 700);
    window.show();
    window.SetFileDialogs(&dialogs);
    window.AskValue = [this](TBoiteValeur& b) {
      asked << b.TypeSaisie();
      return b.Validate(nextValue);
    };
  }
  // A click on the view at a view pixel, through the widget's events.
  void ClickView(int x, int y, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(&window.View(), button, Qt::NoModifier, QPoint(x, y));
  }
  QString BoxText(const char* name) {
    QApplication::processEvents();
    window.View().repaint();
    return window.Box(QLatin1String(name))->text();
  }
  QAction* Action(const char* menu, const char* name) {
    QMenu* m = window.Menu(QLatin1String(menu));
    window.UpdateMenu(m);
    for (QAction* a : m->actions())
      if (a->objectName() == QLatin1String(name)) return a;
    return nullptr;
  }

  QTemporaryDir dir;
  TMainForm window;
  TRecordingMessageBox box;
  std::unique_ptr<TMessageBoxGuard> guard;
  SaveAs dialogs;
  QString nextValue = QStringLiteral("0.5");
  QList<int> asked;
};

TEST_F(Window, PointingWorkflowEndToEnd) {
  const QString video = Video("avi_rgb24.avi");
  ASSERT_TRUE(window.OpenVideoFile(video));
  EXPECT_EQ(window.windowTitle(), video);
  EXPECT_TRUE(window.Button(QStringLiteral("ButtonModeRepereFixe"))->isChecked());
  EXPECT_TRUE(window.Button(QStringLiteral("ButtonOutilMarque"))->isChecked());
  EXPECT_EQ(window.Data().RequiredDuration(), 0.04);
  EXPECT_EQ(BoxText("EditImage"), QStringLiteral(" 1/30"));
  EXPECT_EQ(BoxText("EditZoom"), QStringLiteral(" 100 %"));
  // The view keeps the frame's 4:3 between the bars.
  const QSize v = window.View().size();
  EXPECT_NEAR(v.width() * 3.0 / 4.0, v.height(), 1.0);

  // Scale: two clicks; navigation is off between them; the length is asked.
  window.Button(QStringLiteral("ButtonOutilEchelle"))->click();
  EXPECT_TRUE(window.Button(QStringLiteral("ButtonOutilEchelle"))->isChecked());
  EXPECT_FALSE(window.Button(QStringLiteral("ButtonOutilMarque"))->isChecked());
  ClickView(50, 400);
  EXPECT_FALSE(window.Button(QStringLiteral("ButtonVideoSucc"))->isEnabled());
  EXPECT_FALSE(window.TrackBar()->isEnabled());
  ClickView(450, 400);
  EXPECT_TRUE(window.Button(QStringLiteral("ButtonVideoSucc"))->isEnabled());
  ASSERT_EQ(asked, QList<int>{tsLongueur});
  EXPECT_EQ(window.Data().Echelle().Length[skSingle], 0.5);
  EXPECT_TRUE(window.Data().ScaleComplete());

  // Origin, then five marks on successive frames.
  window.Button(QStringLiteral("ButtonOutilOrigine"))->click();
  ClickView(60, 380);
  EXPECT_EQ(window.Data().OriginPlaced(), 1);
  EXPECT_EQ(BoxText("EditAngle"), QStringLiteral(" 0°"));
  // The angle typed in the angle box turns the axes; the box shows one decimal.
  nextValue = QStringLiteral("30");
  QTest::mouseClick(window.Box(QStringLiteral("EditAngle")), Qt::LeftButton);
  EXPECT_NEAR(window.Data().GetAxisAngle(), M_PI / 6, 1e-12);
  EXPECT_EQ(BoxText("EditAngle"),
            QStringLiteral(" 30") + DecimalSeparator() + QStringLiteral("0°"));
  window.Button(QStringLiteral("ButtonOutilMarque"))->click();
  for (int i = 0; i < 5; ++i) ClickView(100 + 40 * i, 300 - 30 * i);
  EXPECT_EQ(window.Data().MarkCount(), 5);
  EXPECT_EQ(BoxText("EditMarque"), QStringLiteral(" 5"));
  EXPECT_EQ(BoxText("EditImage"), QStringLiteral(" 6/30"));
  EXPECT_EQ(window.TrackBar()->value(), 5);
  // The results checks pass with five marks, a scale and an origin.
  box.answers = {2};  // the names question: "Pokračovat"
  EXPECT_TRUE(window.ResultsCommand(0));

  // Undo from the menu takes the last mark back.
  QAction* undo = Action("MenuAffichage", "MenuAffichageAnnuler");
  ASSERT_NE(undo, nullptr);
  EXPECT_TRUE(undo->isEnabled());
  EXPECT_TRUE(undo->text().endsWith(QStringLiteral("  (Ctrl A)")));
  undo->trigger();
  EXPECT_EQ(window.Data().MarkCount(), 4);
  EXPECT_EQ(BoxText("EditMarque"), QStringLiteral(" 4"));

  // With four marks the results ask whether to go on.
  box.shown.clear();
  box.answers = {0};  // "Zrušit"
  EXPECT_FALSE(window.ResultsCommand(0));
  ASSERT_EQ(box.shown.size(), 1u);
  EXPECT_EQ(box.shown[0].Buttons()[1].caption, QStringLiteral("Pokračovat"));

  // Save, close (answering "Pokračovat" to the save-first question), reopen.
  const QString project = dir.filePath(QStringLiteral("pokus.mlb"));
  dialogs.answer = project;
  ASSERT_TRUE(window.SaveProjectFile());
  box.answers = {2};
  window.CloseVideoFile();
  EXPECT_FALSE(window.View().Opened());
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Motilab"));
  EXPECT_TRUE(BoxText("EditImage").isEmpty());
  EXPECT_FALSE(window.Button(QStringLiteral("ButtonOutilMarque"))->isEnabled());
  ASSERT_TRUE(window.LoadProjectFile(project));
  EXPECT_EQ(window.Data().MarkCount(), 4);
  EXPECT_EQ(window.Data().Echelle().Length[skSingle], 0.5);
  EXPECT_EQ(window.Data().OriginPlaced(), 1);
  EXPECT_EQ(BoxText("EditMarque"), QStringLiteral(" 4"));
}

TEST_F(Window, OpeningRefusalsAndQuestions) {
  ASSERT_TRUE(window.OpenVideoFile(Video("avi_rgb24.avi")));
  window.Button(QStringLiteral("ButtonOutilMarque"))->click();
  ClickView(100, 100);
  // A missing file: a warning, and the video and its marks stay.
  box.answers = {2};
  EXPECT_FALSE(window.OpenVideoFile(dir.filePath(QStringLiteral("nic.avi"))));
  EXPECT_TRUE(window.View().Opened());
  EXPECT_EQ(window.Data().MarkCount(), 1);
  EXPECT_TRUE(box.shown.back().Text().contains(QStringLiteral("Ověřte, že nebyl přemístěn.")));
  // "Zrušit" in the save-first question keeps everything.
  box.answers = {1};
  EXPECT_FALSE(window.OpenVideoFile(Video("mov_mjpeg.mov")));
  EXPECT_EQ(window.Data().MarkCount(), 1);
  // "Uložit" whose save is cancelled does not go on (the work would be lost).
  box.answers = {0};
  dialogs.answer.clear();
  EXPECT_FALSE(window.OpenVideoFile(Video("mov_mjpeg.mov")));
  EXPECT_EQ(window.Data().MarkCount(), 1);
  // A file that cannot be decoded: the likely causes, and no video afterwards.
  box.shown.clear();
  box.answers = {2};
  EXPECT_FALSE(window.OpenVideoFile(Video("broken_text.avi")));
  EXPECT_FALSE(window.View().Opened());
  EXPECT_TRUE(box.shown.back().Text().contains(QStringLiteral("soubor je poškozený")));
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Motilab"));
  EXPECT_EQ(TMainForm::FileKind(QStringLiteral("a.MLB")), 1);
  EXPECT_EQ(TMainForm::FileKind(QStringLiteral("a.Mov")), 0);
  EXPECT_EQ(TMainForm::FileKind(QStringLiteral("a.txt")), 2);
}

TEST_F(Window, ToolsMenusAndKeys) {
  ASSERT_TRUE(window.OpenVideoFile(Video("avi_rgb24.avi")));
  // The pan tool at 100 % explains and is chosen all the same.
  window.Button(QStringLiteral("ButtonOutilPan"))->click();
  EXPECT_TRUE(box.shown.back().Text().contains(QStringLiteral("větší než 100%")));
  EXPECT_EQ(window.View().Tool(), ovPan);
  EXPECT_TRUE(window.Button(QStringLiteral("ButtonOutilPan"))->isChecked());
  // Two marks per frame refused with the overlay tool.
  window.Button(QStringLiteral("ButtonModeTransparent"))->click();
  EXPECT_EQ(window.View().Mode(), mvTransparent);
  EXPECT_TRUE(window.Button(QStringLiteral("ButtonOutilTsp"))->isChecked());
  EXPECT_FALSE(window.Button(QStringLiteral("ButtonOutilMarque"))->isVisible());
  QAction* two = Action("MenuMesuresNbMarqueParImage", "MenuMesuresNbMarqueParImage1");
  ASSERT_NE(two, nullptr);
  two->trigger();
  EXPECT_TRUE(box.shown.back().Text().contains(QStringLiteral("Kvůli přehlednosti")));
  EXPECT_EQ(window.Data().MarksNumberPerFrame(), 1);
  window.Button(QStringLiteral("ButtonModeRepereFixe"))->click();
  EXPECT_TRUE(window.Button(QStringLiteral("ButtonOutilMarque"))->isChecked());
  two = Action("MenuMesuresNbMarqueParImage", "MenuMesuresNbMarqueParImage1");
  two->trigger();
  EXPECT_EQ(window.Data().MarksNumberPerFrame(), 2);
  // The frame box asks for a frame number.
  nextValue = QStringLiteral("12");
  QTest::mouseClick(window.Box(QStringLiteral("EditImage")), Qt::LeftButton);
  EXPECT_EQ(window.View().Position(), 11);
  // The results of a measurement without a scale are refused.
  box.shown.clear();
  EXPECT_FALSE(window.ResultsCommand(0));
  EXPECT_TRUE(box.shown.back().Text().contains(QStringLiteral("měřítko")));
  // The next-frame button and the keyboard Enter through the window.
  window.Button(QStringLiteral("ButtonVideoSucc"))->click();
  EXPECT_EQ(window.View().Position(), 12);
  window.Button(QStringLiteral("ButtonVideoAvance"))->click();
  EXPECT_EQ(window.View().Position(), 29);
  window.Button(QStringLiteral("ButtonVideoSucc"))->click();  // nothing past the end
  EXPECT_EQ(window.View().Position(), 29);
}

// The frame period from the time dialog: 0.01 s instead of 0.04 s makes
// every time four times smaller, and the results are rebuilt.
TEST_F(Window, TimeDialogChangesEveryTime) {
  ASSERT_TRUE(window.OpenVideoFile(Video("avi_rgb24.avi")));
  window.Button(QStringLiteral("ButtonOutilMarque"))->click();
  for (int i = 0; i < 4; ++i) ClickView(100 + 30 * i, 200);
  TResCalc& results = window.Results();
  EXPECT_DOUBLE_EQ(window.Data().GetMarkMatrices().times[3], 0.12);
  results.BuildPositions(rcBoth);
  QAction* period = Action("MenuMesures", "MenuMesuresTemps");
  ASSERT_NE(period, nullptr);
  ASSERT_TRUE(period->isEnabled());
  QTimer::singleShot(0, [] {
    auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(d, nullptr);
    auto* edit = d->findChild<QLineEdit*>(QStringLiteral("period"));
    edit->setText(QStringLiteral("0.01"));
    QTest::keyClick(edit, Qt::Key_Return);
  });
  period->trigger();
  EXPECT_EQ(window.Data().RequiredDuration(), 0.01);
  EXPECT_TRUE(results.NeedsBuild(rcBoth));
  EXPECT_DOUBLE_EQ(window.Data().GetMarkMatrices().times[3], 0.03);
}

TEST_F(Window, SpaceOpensTheContextMenuOverTheViewAndTheWheelScrolls) {
  ASSERT_TRUE(window.OpenVideoFile(Video("avi_rgb24.avi")));
  QMenu* popup = window.Menu(QStringLiteral("PopupMenu"));
  QCursor::setPos(window.View().mapToGlobal(QPoint(20, 20)));
  QTest::keyClick(&window, Qt::Key_Space);
  EXPECT_TRUE(popup->isVisible());
  // Its items follow the mode: marks and origin in the fixed frame, no overlay.
  const auto visible = [&](const char* name) {
    for (QAction* a : popup->actions())
      if (a->objectName() == QLatin1String(name)) return a->isVisible();
    return false;
  };
  EXPECT_TRUE(visible("PopupMenuMarque"));
  EXPECT_FALSE(visible("PopupMenuTsp"));
  popup->hide();
  // Elsewhere no menu.
  QCursor::setPos(window.mapToGlobal(QPoint(2, 2)));
  QTest::keyClick(&window, Qt::Key_Space);
  EXPECT_FALSE(popup->isVisible());
  // Zoomed in, each wheel step moves the vertical scroll bar one small step down.
  window.View().SetZoomAt(200, 100, 100);
  const int top = window.View().SourceRect().top();
  QWheelEvent wheel(QPointF(10, 10), window.mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, -120),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  for (int i = 0; i < 40; ++i) QApplication::sendEvent(&window, &wheel);
  EXPECT_GT(window.View().SourceRect().top(), top);
  EXPECT_EQ(window.Box(QStringLiteral("EditZoom"))->text(), QStringLiteral(" 200 %"));
}

}  // namespace
}  // namespace mlb
