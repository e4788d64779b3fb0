#include <gtest/gtest.h>

#include "common/UnitMessageBox.h"
#include "measurement/UnitData.h"
#include "tests/support/FakeView.h"

namespace mlb {
namespace {

using test::FakeView;
using test::Px;

class Undo : public ::testing::Test {
 protected:
  Undo() : data(&view) { data.Reset(); }
  std::vector<int> ListIds() const {
    std::vector<int> ids;
    for (const TMarque* m : data.FixedStore().AllMarks()) ids.push_back(m->Id);
    return ids;
  }
  FakeView view;
  TRecordingMessageBox box;
  TMessageBoxGuard guard{&box};
  TData data;
};

TEST_F(Undo, ThreePlacementsUndoneNewestFirstWithNavigation) {
  data.SetMarksNumberPerFrame(2);
  view.current = 10;
  data.PlaceMark(Px(view, 0.1, 0.1));
  data.PlaceMark(Px(view, 0.2, 0.2));  // -> frame 11
  data.PlaceMark(Px(view, 0.3, 0.3));  // order 0 on frame 11
  EXPECT_EQ(data.UndoCaption(), QStringLiteral("Zrušit Umístit Značka"));
  view.current = 50;
  data.Undo();
  EXPECT_EQ(view.current, 11);
  EXPECT_EQ(data.CurrentMarkOrderNumber(), 0);
  EXPECT_EQ(data.MarkCount(), 2);
  data.Undo();
  EXPECT_EQ(view.current, 10);
  EXPECT_EQ(data.CurrentMarkOrderNumber(), 1);
  data.Undo();
  EXPECT_EQ(view.current, 10);
  EXPECT_EQ(data.CurrentMarkOrderNumber(), 0);
  EXPECT_EQ(data.MarkCount(), 0);
  // Next comes the change of the number of points, then nothing.
  EXPECT_EQ(data.UndoCaption(), QStringLiteral("Zrušit Změnit"));
  data.Undo();
  EXPECT_EQ(data.MarksNumberPerFrame(), 1);
  EXPECT_EQ(data.UndoCaption(), QString());
  data.Undo();  // nothing left: no effect
  EXPECT_EQ(data.MarkCount(), 0);
}

TEST_F(Undo, RubberBandEraseRestoredInOneStepAtListPositions) {
  for (int f = 0; f < 8; ++f) {
    view.current = f;
    data.PlaceMark(Px(view, 0.1 * f + 0.05, 0.5));
  }
  const std::vector<int> before = ListIds();
  // An erase band over frames 1, 2, 4, 5 and 7 removes five marks as one step.
  auto& h = data.ActiveHistory();
  h.BeginGroup();
  for (int f : {1, 2, 4, 5, 7})
    data.DeleteMark(data.FixedStore().FindContainer(f)->Marks().front().get());
  h.EndGroup();
  EXPECT_EQ(data.MarkCount(), 3);
  EXPECT_EQ(data.UndoCaption(), QStringLiteral("Zrušit Odstranit Značka"));
  data.Undo();
  EXPECT_EQ(ListIds(), before);
  for (int f = 0; f < 8; ++f)
    EXPECT_NEAR(data.FixedStore().FindContainer(f)->FindOrder(0)->GetImagePosition().x,
                0.1 * f + 0.05, 1e-9);
  // The step before: the last placement.
  EXPECT_EQ(data.UndoCaption(), QStringLiteral("Zrušit Umístit Značka"));
}

TEST_F(Undo, ChangeThatRestoresNothingIsPruned) {
  view.current = 2;
  data.PlaceMark(Px(view, 0.5, 0.5));
  TMarque* m = data.FixedStore().AllMarks()[0];
  data.Record(m, haMove);  // a move dropped where it started
  EXPECT_EQ(data.ActiveHistory().Count(), 2u);
  EXPECT_EQ(data.UndoCaption(), QStringLiteral("Zrušit Umístit Značka"));
  EXPECT_EQ(data.ActiveHistory().Count(), 1u);
}

TEST_F(Undo, HistoryIsChosenByModeAndTool) {
  view.current = 1;
  data.PlaceMark(Px(view, 0.5, 0.5));
  data.SetTool(otEchelle);
  EXPECT_EQ(data.UndoCaption(), QString());
  data.Echelle().LeftPress(Px(view, 0.1, 0.1));
  EXPECT_EQ(data.UndoCaption(), QStringLiteral("Zrušit Definovat Měřítko"));
  data.SetTool(otOrigine);
  data.RepereFixe().LeftPress(Px(view, 0.2, 0.2));
  EXPECT_EQ(data.UndoCaption(), QStringLiteral("Zrušit Vybrat Soustava souřadnic"));
  data.SetTool(otMarque);
  // A menu command while pointing goes to the pointing history.
  data.SetAxisAngle(0.5);
  EXPECT_EQ(data.UndoCaption(), QStringLiteral("Zrušit Otočit Soustava souřadnic"));
  data.Undo();
  EXPECT_DOUBLE_EQ(data.RepereFixe().XAxisAngle, 0.0);
  EXPECT_EQ(data.UndoCaption(), QStringLiteral("Zrušit Umístit Značka"));
  data.SetTool(otEchelle);
  data.Undo();
  EXPECT_EQ(data.Echelle().PointsNumber[skSingle], 0);
}

TEST_F(Undo, HistoryKeepsAtMost65536Entries) {
  THistorique& h = data.History(TData::hiScale);
  for (int i = 0; i < 65536 + 10; ++i) h.Record(&data.Echelle(), haMove);
  EXPECT_EQ(h.Count(), THistorique::kMaxEntries);
  EXPECT_EQ(h.Entry(0).Group, 11);  // the ten oldest steps were dropped
}

TEST_F(Undo, GroupsNestAndOnlyOutermostEndCloses) {
  THistorique& h = data.History(TData::hiScale);
  h.BeginGroup();
  h.Record(&data.Echelle(), haMove);
  h.BeginGroup();
  h.Record(&data.Echelle(), haMove);
  h.EndGroup();
  h.Record(&data.Echelle(), haMove);
  h.EndGroup();
  h.Record(&data.Echelle(), haMove);
  EXPECT_EQ(h.Entry(0).Group, h.Entry(2).Group);
  EXPECT_NE(h.Entry(2).Group, h.Entry(3).Group);
}

// A mark removed in one history and put back after a whole-store restore from
// another history: its container no longer exists and is recreated.
TEST_F(Undo, ReinsertionAfterStoreRestoreFindsContainerByFrame) {
  data.SetTool(otOrigine);
  data.SetMarksNumberPerFrame(2);  // store snapshot (no containers) in the axes history
  data.SetTool(otMarque);
  view.current = 3;
  data.PlaceMark(Px(view, 0.3, 0.3));
  TMarque* m = data.FixedStore().AllMarks()[0];
  ASSERT_TRUE(data.DeleteMark(m));  // removal in the pointing history
  data.SetTool(otOrigine);
  data.Undo();  // restores the store as it was: the container of frame 3 is gone
  EXPECT_EQ(data.FixedStore().FindContainer(3), nullptr);
  EXPECT_EQ(data.MarksNumberPerFrame(), 1);
  data.SetTool(otMarque);
  data.Undo();  // puts the mark back on frame 3
  ASSERT_NE(data.FixedStore().FindContainer(3), nullptr);
  EXPECT_EQ(data.FixedStore().FindContainer(3)->MarkCount(), 1);
  EXPECT_EQ(data.MarkCount(), 1);
  EXPECT_NEAR(data.FixedStore().AllMarks()[0]->GetImagePosition().y, 0.3, 1e-9);
}

TEST_F(Undo, RefusedReinsertionIsDropped) {
  view.current = 3;
  data.PlaceMark(Px(view, 0.3, 0.3));
  ASSERT_TRUE(data.DeleteMark(data.FixedStore().AllMarks()[0]));
  // Meanwhile another history puts a mark of the same order on frame 3.
  data.SetTool(otOrigine);
  data.SetMarkAt(0, 3, {0.8, 0.8});
  data.SetTool(otMarque);
  data.Undo();  // the re-insertion is refused: the snapshot is freed, nothing changes
  EXPECT_EQ(data.MarkCount(), 1);
  EXPECT_NEAR(data.FixedStore().AllMarks()[0]->GetImagePosition().x, 0.8, 1e-12);
  EXPECT_EQ(data.ActiveHistory().Count(), 1u);  // the placement is next
}

TEST_F(Undo, TransparentDeleteRemovesOriginAndUndoRestoresBoth) {
  view.mode = mvTransparent;
  data.SetTool(otTsp);
  TTransparent& layer = data.Transparent();
  view.current = 6;
  layer.LeftPress(Px(view, 0.5, 0.5));  // grab
  layer.Move(Px(view, 0.4, 0.6));       // drag
  layer.Release();                      // drop: stage 2
  ASSERT_EQ(layer.LayerStage(), 2);
  layer.LeftPress(Px(view, 0.45, 0.5));  // the mark
  EXPECT_EQ(layer.LayerStage(), 0);
  EXPECT_EQ(view.current, 7);
  ASSERT_EQ(layer.Origins().size(), 1u);
  EXPECT_EQ(layer.Origins()[0]->FrameNumber, 6);
  ASSERT_TRUE(data.DeleteMark(data.TransparentStore().AllMarks()[0]));
  EXPECT_TRUE(layer.Origins().empty());
  EXPECT_EQ(data.UndoCaption(), QStringLiteral("Zrušit"));
  data.Undo();
  EXPECT_EQ(data.MarkCount(), 1);
  ASSERT_EQ(layer.Origins().size(), 1u);
  EXPECT_EQ(layer.Origins()[0]->FrameNumber, 6);
}

}  // namespace
}  // namespace mlb
