#include <gtest/gtest.h>

#include "common/UnitMessageBox.h"

namespace mlb {
namespace {

TEST(MessageBox, RecordsRequestsAndAnswersButtonIndex) {
  TRecordingMessageBox box;
  TMessageBoxGuard guard(&box);
  box.answers = {1};
  TMessage m(icWarning);
  m.AddButton(QStringLiteral("Ano"), btOk)
      .AddButton(QStringLiteral("Ne"), btAnnuler)
      .AddParagraph(QStringLiteral("Soubor nelze otevřít:"))
      .AddPath(QStringLiteral("/tmp/a.mlb"))
      .AddItem(QStringLiteral("položka"));
  EXPECT_EQ(m.Execute(), 1);
  EXPECT_EQ(m.Execute(), 0);  // no prepared answer left
  ASSERT_EQ(box.shown.size(), 2u);
  const TMessage& shown = box.shown[0];
  EXPECT_EQ(shown.Icon(), icWarning);
  ASSERT_EQ(shown.Buttons().size(), 2u);
  EXPECT_EQ(shown.Buttons()[1].kind, btAnnuler);
  ASSERT_EQ(shown.Lines().size(), 3u);
  EXPECT_EQ(shown.Lines()[1].kind, TLineKind::Single);
  EXPECT_EQ(shown.Lines()[1].color, kMessageBlue);
  EXPECT_EQ(shown.Text(), QStringLiteral("Soubor nelze otevřít:\n/tmp/a.mlb\n- položka"));
}

TEST(MessageBox, SwitchedOffAnswersZeroWithoutShowing) {
  TRecordingMessageBox box;
  TMessageBoxGuard guard(&box);
  box.answers = {2, 2};
  box.SwitchOff();
  box.SwitchOff();
  box.SwitchOn();  // still off: switching nests
  TMessage m(icConfirmation);
  m.AddButton(QStringLiteral("A"), btOk).AddButton(QStringLiteral("B"), btOk);
  EXPECT_EQ(m.Execute(), 0);
  EXPECT_TRUE(box.shown.empty());
  box.SwitchOn();
  EXPECT_EQ(m.Execute(), 2);
  EXPECT_EQ(box.shown.size(), 1u);
}

TEST(MessageBox, GuardRestoresThePreviousBox) {
  TRecordingMessageBox outer, inner;
  TMessageBoxGuard g1(&outer);
  {
    TMessageBoxGuard g2(&inner);
    TMessage().AddParagraph(QStringLiteral("x")).Execute();
  }
  TMessage().AddParagraph(QStringLiteral("y")).Execute();
  EXPECT_EQ(inner.shown.size(), 1u);
  EXPECT_EQ(outer.shown.size(), 1u);
}

}  // namespace
}  // namespace mlb
