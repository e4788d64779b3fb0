#include <gtest/gtest.h>

#include "common/UnitMessageBox.h"
#include "common/UnitPalette.h"
#include "measurement/UnitData.h"
#include "tests/support/FakeView.h"

namespace mlb {
namespace {

using test::FakeView;
using test::Px;

class Pointing : public ::testing::Test {
 protected:
  Pointing() : data(&view) {
    data.Reset();
    data.SetRequiredDuration(0.04);
  }
  // Order numbers of the marks on a frame, in container order.
  std::vector<int> OrdersOn(int frame) {
    std::vector<int> r;
    if (const TContainer* c = data.FixedStore().FindContainer(frame))
      for (const auto& m : c->Marks()) r.push_back(m->MarkOrderNumber);
    return r;
  }
  FakeView view;
  TRecordingMessageBox box;
  TMessageBoxGuard guard{&box};
  TData data;
};

TEST_F(Pointing, CompleteFrameAdvancesAndOrderWraps) {
  int marksChanged = 0;
  data.OnMarksChange = [&](TData&) { ++marksChanged; };
  data.SetMarksNumberPerFrame(3);
  data.SetFramesNumberBetweenTwoMarks(2);
  view.current = 10;
  EXPECT_TRUE(data.PlaceMark(Px(view, 0.1, 0.1)));
  EXPECT_TRUE(data.PlaceMark(Px(view, 0.2, 0.1)));
  EXPECT_EQ(view.current, 10);
  EXPECT_TRUE(data.PlaceMark(Px(view, 0.3, 0.1)));
  EXPECT_EQ(OrdersOn(10), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(view.current, 12);
  EXPECT_EQ(data.CurrentMarkOrderNumber(), 0);
  EXPECT_TRUE(data.PlaceMark(Px(view, 0.4, 0.1)));
  EXPECT_EQ(OrdersOn(12), (std::vector<int>{0}));
  EXPECT_EQ(data.MarkCount(), 4);
  EXPECT_EQ(marksChanged, 4);
  EXPECT_GT(view.invalidateCurrent, 0);
  // The names and colours follow the number of points.
  EXPECT_EQ(data.PointName(2), QStringLiteral("bodu číslo3"));
  EXPECT_EQ(data.PointName(3), QString());
  EXPECT_EQ(data.MarkColor(1), PaletteColor(1));
  EXPECT_EQ(data.MarkColor(3), 0x0000FFu);
}

TEST_F(Pointing, AdvanceStopsAtTheEndOfTheVideo) {
  view.current = view.FrameCount() - 1;
  EXPECT_TRUE(data.PlaceMark(Px(view, 0.5, 0.5)));
  EXPECT_EQ(view.current, view.FrameCount() - 1);
  EXPECT_EQ(data.CurrentMarkOrderNumber(), 0);
}

TEST_F(Pointing, DuplicateClickShowsMessageAndChangesNothing) {
  data.SetMarksNumberPerFrame(2);
  view.current = 5;
  data.PlaceMark(Px(view, 0.1, 0.1));  // order 0; order 1 is next
  data.SetCurrentMarkOrderNumber(0);
  const int count = data.MarkCount();
  EXPECT_FALSE(data.PlaceMark(Px(view, 0.5, 0.5)));
  ASSERT_EQ(box.shown.size(), 1u);
  EXPECT_EQ(box.shown[0].Icon(), icInformation);
  EXPECT_EQ(box.shown[0].Text(), QStringLiteral("Podobná značka již na tomto obrázku existuje."));
  EXPECT_EQ(box.shown[0].Buttons()[0].caption, QStringLiteral("Ok"));
  EXPECT_EQ(data.MarkCount(), count);
  EXPECT_EQ(view.current, 5);
  EXPECT_EQ(data.CurrentMarkOrderNumber(), 0);
}

TEST_F(Pointing, EmptyContainersAreIgnoredByNumbersAndExport) {
  view.current = 20;
  data.PlaceMark(Px(view, 0.1, 0.1));
  view.current = 3;
  data.PlaceMark(Px(view, 0.2, 0.2));
  view.current = 9;
  data.PlaceMark(Px(view, 0.3, 0.3));
  ASSERT_TRUE(data.RemoveLastMark());  // frame 9 keeps an empty container
  const auto& store = data.FixedStore();
  ASSERT_NE(store.FindContainer(9), nullptr);
  EXPECT_EQ(store.FindContainer(3)->MarksContainerMarkNumber(), 0);
  EXPECT_EQ(store.FindContainer(20)->MarksContainerMarkNumber(), 1);
  EXPECT_EQ(store.FindContainer(9)->MarksContainerMarkNumber(), 2);
  const TMarkMatrices m = data.GetMarkMatrices();
  ASSERT_EQ(m.times.size(), 2u);
  EXPECT_EQ(m.frameIndex[0], (TIntegerDynArray{0, 17}));
  EXPECT_DOUBLE_EQ(m.times[1], 17 * 0.04);
}

TEST_F(Pointing, RightClickRemovesLastMarkOfStoreAndUndoReplaysIt) {
  data.SetMarksNumberPerFrame(2);
  view.current = 4;
  data.PlaceMark(Px(view, 0.1, 0.1));
  data.PlaceMark(Px(view, 0.2, 0.1));  // frame 4 complete -> 5
  data.PlaceMark(Px(view, 0.3, 0.1));  // order 0 on 5
  view.current = 30;                   // the user browses away
  ASSERT_TRUE(data.RemoveLastMark());
  EXPECT_EQ(view.current, 5);
  EXPECT_EQ(data.CurrentMarkOrderNumber(), 0);  // frame 5 is empty now
  ASSERT_TRUE(data.RemoveLastMark());           // order 1 of frame 4
  EXPECT_EQ(view.current, 4);
  EXPECT_EQ(data.CurrentMarkOrderNumber(), 1);  // frame 4 still holds order 0
  EXPECT_EQ(data.UndoCaption(), QStringLiteral("Zrušit Odstranit Značka"));
  data.Undo();  // puts order 1 back on frame 4 and advances as a click would
  EXPECT_EQ(OrdersOn(4), (std::vector<int>{0, 1}));
  EXPECT_EQ(view.current, 5);
  EXPECT_EQ(data.CurrentMarkOrderNumber(), 0);
  EXPECT_FALSE(TData(&view).RemoveLastMark());  // empty store: nothing
}

TEST_F(Pointing, LoweringMarksPerFrameDeletesOrderAndUndoRestoresIt) {
  data.SetMarksNumberPerFrame(3);
  for (int f = 0; f < 3; ++f) {
    view.current = f * 2;
    for (int k = 0; k < 3; ++k) data.PlaceMark(Px(view, 0.1 * (k + 1), 0.1 * (f + 1)));
  }
  data.SetPointName(2, QStringLiteral("vozík"));
  data.SetCurrentMarkOrderNumber(2);
  data.SetMarksNumberPerFrame(2);
  EXPECT_EQ(data.MarkCount(), 6);
  EXPECT_EQ(data.FixedStore().Names.size(), 2);
  EXPECT_EQ(data.CurrentMarkOrderNumber(), 0);
  EXPECT_EQ(data.GetMarkMatrices().X.size(), 2u);
  data.Undo();
  EXPECT_EQ(data.MarksNumberPerFrame(), 3);
  EXPECT_EQ(data.MarkCount(), 9);
  EXPECT_EQ(data.PointName(2), QStringLiteral("vozík"));
  EXPECT_EQ(OrdersOn(2), (std::vector<int>{0, 1, 2}));
  EXPECT_NEAR(data.FixedStore().FindContainer(4)->FindOrder(2)->GetImagePosition().x, 0.3, 1e-9);
}

TEST_F(Pointing, ExportOrdersFramesAndMarksMissingPoints) {
  data.SetMarksNumberPerFrame(2);
  data.RepereFixe().LeftPress(Px(view, 0.5, 0.5));  // origin in the middle
  view.current = 14;
  data.PlaceMark(Px(view, 0.75, 0.25));
  data.PlaceMark(Px(view, 0.5, 0.5));
  view.current = 10;
  data.PlaceMark(Px(view, 0.25, 0.75));
  data.PlaceMark(Px(view, 0.5, 0.25));
  view.current = 12;
  data.PlaceMark(Px(view, 0.5, 0.5));  // order 1 missing on frame 12
  const TMarkMatrices m = data.GetMarkMatrices();
  const double d = data.RequiredDuration();
  ASSERT_EQ(m.times.size(), 3u);
  EXPECT_DOUBLE_EQ(m.times[1], 2 * d);
  EXPECT_DOUBLE_EQ(m.times[2], 4 * d);
  EXPECT_EQ(m.frameIndex[0], (TIntegerDynArray{0, 2, 4}));
  EXPECT_EQ(m.frameIndex[1], (TIntegerDynArray{0, -1, 4}));
  EXPECT_DOUBLE_EQ(m.X[1][1], 0.0);
  EXPECT_DOUBLE_EQ(m.negY[1][1], 0.0);
  // Relative to the origin, y pointing up.
  EXPECT_NEAR(m.X[0][0], -0.25, 1e-12);
  EXPECT_NEAR(m.negY[0][0], -0.25, 1e-12);
  EXPECT_NEAR(m.X[0][2], 0.25, 1e-12);
  EXPECT_NEAR(m.negY[0][2], 0.25, 1e-12);
  // Marks shown numbered by frame order.
  EXPECT_EQ(data.FixedStore().FindContainer(14)->MarksContainerMarkNumber(), 2);
  EXPECT_EQ(data.MinMarksPerOrder(), 2);
  EXPECT_EQ(data.LastPointedFrame(), 12);
}

TEST_F(Pointing, DefaultNamesCompareWithoutCase) {
  data.SetMarksNumberPerFrame(2);
  EXPECT_TRUE(data.HasDefaultName());
  data.SetPointName(0, QStringLiteral("míček"));
  EXPECT_TRUE(data.HasDefaultName());
  data.SetPointName(1, QStringLiteral("BODU ČÍSLO2"));
  EXPECT_TRUE(data.HasDefaultName());
  data.SetPointName(1, QStringLiteral("vozík"));
  EXPECT_FALSE(data.HasDefaultName());
  data.SetPointName(5, QStringLiteral("ignored"));
  EXPECT_EQ(data.PointName(-1), QString());
}

TEST_F(Pointing, TransparentStoreKeepsOnePointAndExportsOneRow) {
  view.mode = mvTransparent;
  data.SetTool(otTsp);
  data.SetMarksNumberPerFrame(4);
  data.SetCurrentMarkOrderNumber(3);
  EXPECT_EQ(data.MarksNumberPerFrame(), 1);
  EXPECT_EQ(data.CurrentMarkOrderNumber(), 0);
  EXPECT_EQ(data.TransparentStore().Names,
            (QStringList{QStringLiteral("bodu číslo1"), QStringLiteral("bodu číslo2")}));
  EXPECT_TRUE(data.HasDefaultName());
  data.SetPointName(1, QStringLiteral("vlak"));
  EXPECT_FALSE(data.HasDefaultName());  // both names must be the defaults
  EXPECT_EQ(data.GetMarkMatrices().X.size(), 1u);
}

TEST_F(Pointing, MarksPerFrameInMontageModeAndImport) {
  data.SetMarksNumberPerFrame(2);
  TMatricePointD positions{{{0.1, 0.2}, {0.3, 0.4}}, {{0.5, 0.6}}};
  TMatriceI frames{{3, -1}, {3, 8}};  // frame 8 of point 1 has no position: skipped
  data.ImportMarks(positions, frames);
  EXPECT_EQ(data.MarkCount(), 2);
  EXPECT_EQ(data.MarksOnFrame(3), -1);  // only answered in montage mode
  view.mode = mvMontage;
  EXPECT_EQ(data.MarksOnFrame(3), 2);
  EXPECT_EQ(data.MarksOnFrame(4), -1);
  view.mode = mvRepereFixe;
  // Importing again moves the existing marks; one undo takes the import back.
  data.ImportMarks({{{0.9, 0.9}}}, {{3}});
  EXPECT_NEAR(data.FixedStore().FindContainer(3)->FindOrder(0)->GetImagePosition().x, 0.9, 1e-12);
  data.Undo();
  EXPECT_NEAR(data.FixedStore().FindContainer(3)->FindOrder(0)->GetImagePosition().x, 0.1, 1e-12);
  data.Undo();
  EXPECT_EQ(data.MarkCount(), 0);
}

}  // namespace
}  // namespace mlb

namespace mlb {
namespace {

using test::FakeView;
using test::Px;

TEST(DataLifecycle, ResetRestoresDefaultsAndEraseFrameEmptiesPointingHistories) {
  FakeView view;
  TRecordingMessageBox box;
  TMessageBoxGuard guard(&box);
  TData data(&view);
  data.Reset();
  EXPECT_EQ(data.MarkColors(), (TColorDynArray{PaletteColor(0)}));
  data.SetMarksNumberPerFrame(3);
  data.SetMarkColor(1, 0x123456);
  data.SetRequiredDuration(0.5);
  view.current = 8;
  data.PlaceMark(Px(view, 0.2, 0.2));
  data.PlaceMark(Px(view, 0.3, 0.2));
  // Frame 8 as seen by the edit model: its marks go and undo forgets them.
  view.mode = mvTransparent;
  data.SetTool(otTsp);
  data.Transparent().LeftPress(Px(view, 0.45, 0.55));
  data.Transparent().Release();
  data.Transparent().LeftPress(Px(view, 0.5, 0.5));
  view.mode = mvRepereFixe;
  data.SetTool(otMarque);
  data.EraseFrame(8);
  EXPECT_EQ(data.FixedStore().MarkCount(), 0);
  EXPECT_EQ(data.TransparentStore().MarkCount(), 0);
  EXPECT_TRUE(data.Transparent().Origins().empty());
  EXPECT_EQ(data.History(TData::hiFixed).Count(), 0u);
  EXPECT_EQ(data.History(TData::hiTransparent).Count(), 0u);

  data.Reset();
  EXPECT_EQ(data.MarksNumberPerFrame(), 1);
  EXPECT_EQ(data.MarkColors().size(), 1u);
  EXPECT_EQ(data.RequiredDuration(), 0.0);
  EXPECT_EQ(data.Tool(), otMarque);
  EXPECT_EQ(data.FixedStore().Names, QStringList{QStringLiteral("bodu číslo1")});
  EXPECT_EQ(data.TransparentStore().Names.size(), 2);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(data.History(i).Count(), 0u);
}

}  // namespace
}  // namespace mlb
