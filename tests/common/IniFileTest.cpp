#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "common/UnitIniFile.h"
#include "common/UnitNumberFormat.h"

namespace mlb {
namespace {

TEST(IniFile, ReadsCaseInsensitivelyAndTrimsAsWindowsDoes) {
  TIniFile ini;
  ini.LoadFromText(
      QStringLiteral("stray line before any section\n"
                     "[Main]\r\n"
                     "  Version = 3 \r\n"
                     "; a comment\n"
                     "Name= \"bodu číslo1\" \n"
                     "Name=second occurrence ignored\n"
                     "[Video]\n"
                     "FileName=/tmp/a b.avi\n"
                     "Delay=0,04\n"
                     "Hex=0x1F\n"));
  EXPECT_EQ(ini.ReadInteger(QStringLiteral("MAIN"), QStringLiteral("version"), 0), 3);
  EXPECT_EQ(ini.ReadString(QStringLiteral("main"), QStringLiteral("NAME"), {}),
            QStringLiteral("bodu číslo1"));
  EXPECT_EQ(ini.ReadString(QStringLiteral("Video"), QStringLiteral("FileName"), {}),
            QStringLiteral("/tmp/a b.avi"));
  EXPECT_DOUBLE_EQ(ini.ReadFloat(QStringLiteral("Video"), QStringLiteral("Delay"), 0), 0.04);
  EXPECT_EQ(ini.ReadInteger(QStringLiteral("Video"), QStringLiteral("Hex"), 0), 31);
  EXPECT_EQ(ini.ReadInteger(QStringLiteral("Video"), QStringLiteral("FileName"), -5), -5);
  EXPECT_EQ(ini.ReadString(QStringLiteral("Nope"), QStringLiteral("x"), QStringLiteral("d")),
            QStringLiteral("d"));
  EXPECT_EQ(ini.Keys(QStringLiteral("main")),
            (QStringList{QStringLiteral("Version"), QStringLiteral("Name")}));
}

TEST(IniFile, UpdatesInPlaceKeepingOtherLinesAndOrder) {
  TIniFile ini;
  ini.LoadFromText(QStringLiteral("[A]\nx=1\n; note\ny=2\n[B]\nz=3\n"));
  ini.WriteInteger(QStringLiteral("a"), QStringLiteral("Y"), 20);
  ini.WriteString(QStringLiteral("A"), QStringLiteral("w"), QStringLiteral("new"));
  ini.WriteBool(QStringLiteral("C"), QStringLiteral("flag"), true);
  EXPECT_EQ(ini.ToText(), QStringLiteral("[A]\nx=1\n; note\ny=20\nw=new\n[B]\nz=3\n[C]\nflag=1\n"));
  ini.DeleteKey(QStringLiteral("A"), QStringLiteral("x"));
  ini.EraseSection(QStringLiteral("b"));
  EXPECT_FALSE(ini.SectionExists(QStringLiteral("B")));
  EXPECT_EQ(ini.ReadInteger(QStringLiteral("A"), QStringLiteral("y"), 0), 20);
  EXPECT_EQ(ini.ToText(), QStringLiteral("[A]\n; note\ny=20\nw=new\n[C]\nflag=1\n"));
}

TEST(IniFile, ReadsWindows1250AndWritesUtf8Atomically) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath(QStringLiteral("old.mlb"));
  {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    // "[Grid]\nSystemName0=Šíp čočky" in Windows-1250.
    f.write(QByteArray("[Grid]\r\nSystemName0=\x8a\xedp \xe8o\xe8ky\r\n"));
  }
  TIniFile ini;
  ASSERT_TRUE(ini.LoadFromFile(path));
  EXPECT_EQ(ini.ReadString(QStringLiteral("Grid"), QStringLiteral("SystemName0"), {}),
            QStringLiteral("Šíp čočky"));
  ini.WriteFloat(QStringLiteral("Grid"), QStringLiteral("Length"), 0.5);
  ASSERT_TRUE(ini.SaveToFile(path));
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray saved = f.readAll();
  EXPECT_TRUE(saved.contains("SystemName0=\xc5\xa0\xc3\xadp"));  // UTF-8 now
  TIniFile again;
  ASSERT_TRUE(again.LoadFromFile(path));
  EXPECT_DOUBLE_EQ(again.ReadFloat(QStringLiteral("grid"), QStringLiteral("length"), 0), 0.5);
  // A save into a folder that does not exist fails and reports it.
  QString error;
  EXPECT_FALSE(ini.SaveToFile(dir.filePath(QStringLiteral("missing/x.mlb")), &error));
  EXPECT_FALSE(error.isEmpty());
  EXPECT_FALSE(again.LoadFromFile(dir.filePath(QStringLiteral("none.mlb")), &error));
}

}  // namespace
}  // namespace mlb
