#include "measurement/UnitMlb.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <set>
#include <utility>

#include <QFile>
#include <QFileInfo>

#include "common/UnitNumberFormat.h"
#include "common/UnitPalette.h"
#include "common/UnitText.h"
#include "measurement/UnitData.h"

namespace mlb {

namespace {

const QString kMain = QStringLiteral("Main");
const QString kData = QStringLiteral("Data");
const QString kVideo = QStringLiteral("Video");
const QString kMontage = QStringLiteral("Montage");
const QString kFormules = QStringLiteral("Formules");
const QString kRecord = QStringLiteral("Record");
const char* const kGrid = "Grid";
const char* const kLayer = "Layer";

// Largest number of points per frame a project may declare.
constexpr int kMaxMarksPerFrame = 10000;

// Keys are ASCII: composed in a buffer and converted once.
class KeyBuf {
 public:
  KeyBuf& Add(const char* s) {
    while (*s && n_ < sizeof buf_) buf_[n_++] = *s++;
    return *this;
  }
  KeyBuf& Add(int i) {
    n_ = static_cast<std::size_t>(std::to_chars(buf_ + n_, buf_ + sizeof buf_, i).ptr - buf_);
    return *this;
  }
  QString Str() const { return QString::fromLatin1(buf_, static_cast<qsizetype>(n_)); }

 private:
  char buf_[96];
  std::size_t n_ = 0;
};

QString K(const char* base, const char* suffix) {
  return KeyBuf().Add(base).Add("_").Add(suffix).Str();
}
QString K(const char* base, const char* suffix, int i) {
  return KeyBuf().Add(base).Add("_").Add(suffix).Add("_").Add(i).Str();
}
QString K(const char* base, const char* suffix, int i, int j) {
  return KeyBuf().Add(base).Add("_").Add(suffix).Add("_").Add(i).Add("_").Add(j).Str();
}
QString Ki(const char* base, int i) {
  return KeyBuf().Add(base).Add(i).Str();
}
QString Kb(const char* base) {
  return QLatin1String(base);
}

// Reads the keys of one project, failing on the first unreadable value.
class Reader {
 public:
  explicit Reader(const TIniFile& ini) : ini_(ini) {}
  bool ok = true;
  QString why;

  void Fail(const QString& reason) {
    if (ok) why = reason;
    ok = false;
  }
  int Int(const QString& section, const QString& key, int def) const {
    return ini_.ReadInteger(section, key, def);
  }
  bool Bool(const QString& section, const QString& key, bool def) const {
    return ini_.ReadBool(section, key, def);
  }
  QString Str(const QString& section, const QString& key) const {
    return ini_.ReadString(section, key, QString());
  }
  // A real that is present must be a number; a missing one gives the default.
  double Real(const QString& section, const QString& key, double def) {
    const QString text = ini_.ReadString(section, key, QString());
    if (text.isEmpty() && !ini_.ValueExists(section, key)) return def;  // missing
    double v = def;
    if (!TryParseFloat(text, v)) Fail(QStringLiteral("unreadable number in %1: %2").arg(key, text));
    return v;
  }
  // A list count: never negative, never more entries than the section has keys.
  int Count(const QString& section, const QString& key, int def, int perEntry = 1) {
    const int n = Int(section, key, def);
    const long long keys = ini_.KeyCount(section);
    if (n < 0 || static_cast<long long>(n) * perEntry > keys + 1)
      Fail(QStringLiteral("impossible count %1 in %2").arg(n).arg(key));
    return ok ? n : 0;
  }

 private:
  const TIniFile& ini_;
};

void ReadStore(Reader& r, const char* s, bool transparent, TStoreRecord& st) {
  st.marksNumberPosition = r.Int(kData, K("MarksNumberPosition", s), 1);
  if (st.marksNumberPosition < 0 || st.marksNumberPosition > 2) st.marksNumberPosition = 1;
  st.marksIsAllDrawn = r.Bool(kData, K("MarksIsAllDrawn", s), true);
  st.marksNumberToDraw = r.Int(kData, K("MarksNumberToDraw", s), 1);
  st.currentMarkOrderNumber = r.Int(kData, K("CurrentMarkOrderNumber", s), 0);
  st.marksNumberPerFrame = r.Int(kData, K("MarksNumberPerFrame", s), 1);
  if (st.marksNumberPerFrame < 0 || st.marksNumberPerFrame > kMaxMarksPerFrame)
    r.Fail(QStringLiteral("impossible number of points %1").arg(st.marksNumberPerFrame));
  const int names = r.Count(kData, K("SystemNamesNumber", s), 0);
  st.names.clear();
  for (int i = 0; i < names; ++i) st.names << r.Str(kData, K("SystemName", s, i));
  const int containers = r.Count(kData, K("MarksContainersNumber", s), 0, 3);
  // The transparent store always tracks one point.
  const int n = transparent ? 1 : st.marksNumberPerFrame;
  std::set<int> frames;
  st.containers.clear();
  st.containers.reserve(static_cast<std::size_t>(containers));
  for (int i = 0; i < containers && r.ok; ++i) {
    TContainerRecord c;
    c.frameNumber = r.Int(kData, K("MarksContainerFrameNumber", s, i), 0);
    c.markNumber = r.Int(kData, K("MarksContainerMarkNumber", s, i), 0);
    if (c.frameNumber < 0 || !frames.insert(c.frameNumber).second)
      r.Fail(QStringLiteral("frame %1 listed twice or negative").arg(c.frameNumber));
    const int marks = r.Count(kData, K("MarksContainerMarksNumber", s, i), 0, 3);
    std::set<int> orders;
    for (int j = 0; j < marks && r.ok; ++j) {
      TMarkRecord m;
      m.orderNumber = r.Int(kData, K("MarkOrderNumber", s, i, j), 0);
      m.position.x = r.Real(kData, K("MarkXCoordinate", s, i, j), 0);
      m.position.y = r.Real(kData, K("MarkYCoordinate", s, i, j), 0);
      if (m.orderNumber < 0 || m.orderNumber >= n || !orders.insert(m.orderNumber).second)
        r.Fail(QStringLiteral("mark %1 of frame %2 is out of range or twice")
                   .arg(m.orderNumber)
                   .arg(c.frameNumber));
      c.marks.push_back(m);
    }
    st.containers.push_back(std::move(c));
  }
}

void WriteStore(TIniFile& ini, const char* s, const TStoreRecord& st) {
  int keys = 8 + static_cast<int>(st.names.size());
  for (const TContainerRecord& c : st.containers) keys += 3 + 3 * static_cast<int>(c.marks.size());
  ini.Reserve(kData, keys);
  ini.WriteInteger(kData, K("MarksNumberPosition", s), st.marksNumberPosition);
  ini.WriteBool(kData, K("MarksIsAllDrawn", s), st.marksIsAllDrawn);
  ini.WriteInteger(kData, K("MarksNumberToDraw", s), st.marksNumberToDraw);
  ini.WriteInteger(kData, K("CurrentMarkOrderNumber", s), st.currentMarkOrderNumber);
  ini.WriteInteger(kData, K("MarksNumberPerFrame", s), st.marksNumberPerFrame);
  ini.WriteInteger(kData, K("SystemNamesNumber", s), static_cast<int>(st.names.size()));
  for (int i = 0; i < st.names.size(); ++i)
    ini.WriteString(kData, K("SystemName", s, i), st.names[i]);
  ini.WriteInteger(kData, K("MarksContainersNumber", s), static_cast<int>(st.containers.size()));
  for (std::size_t ii = 0; ii < st.containers.size(); ++ii) {
    const int i = static_cast<int>(ii);
    const TContainerRecord& c = st.containers[ii];
    ini.WriteInteger(kData, K("MarksContainerFrameNumber", s, i), c.frameNumber);
    ini.WriteInteger(kData, K("MarksContainerMarkNumber", s, i), c.markNumber);
    ini.WriteInteger(kData, K("MarksContainerMarksNumber", s, i), static_cast<int>(c.marks.size()));
    for (std::size_t jj = 0; jj < c.marks.size(); ++jj) {
      const int j = static_cast<int>(jj);
      ini.WriteInteger(kData, K("MarkOrderNumber", s, i, j), c.marks[jj].orderNumber);
      ini.WriteFloat(kData, K("MarkXCoordinate", s, i, j), c.marks[jj].position.x);
      ini.WriteFloat(kData, K("MarkYCoordinate", s, i, j), c.marks[jj].position.y);
    }
  }
}

const char* const kScaleKinds[3] = {"Scale", "ScaleHoriz", "ScaleVert"};

QString ScaleKey(int kind, const char* rest) {
  return QLatin1String(kScaleKinds[kind]) + QLatin1String(rest);
}

// The overlay stage as coded in the file: 0 dragging, 1 grab, 2 mark.
int EncodeStage(int stage) {
  return stage == 0 ? 1 : stage == 1 ? 0 : 2;
}

}  // namespace

// ---------------------------------------------------------------- reading

bool ReadProject(const TIniFile& ini, TProjectData& out, QString* why) {
  Reader r(ini);
  TProjectData d;
  d.videoFileName = r.Str(kMain, Kb("VideoFileName"));

  if (!ini.ValueExists(kData, Kb("RequiredDuration"))) r.Fail(QStringLiteral("no frame period"));
  d.requiredDuration = r.Real(kData, Kb("RequiredDuration"), 0);
  if (r.ok && !(d.requiredDuration > 0)) r.Fail(QStringLiteral("frame period not positive"));
  d.framesNumberBetweenTwoMarks = r.Int(kData, Kb("FramesNumberBetweenTwoMarks"), 1);
  const int colours = r.Count(kData, Kb("MarkColorsNumber"), 0);
  for (int i = 0; i < colours; ++i)
    d.markColors.push_back(
        static_cast<TColor>(r.Int(kData, Ki("MarkColor_", i), static_cast<int>(PaletteColor(i)))));
  d.elementColor = static_cast<TColor>(r.Int(kData, Kb("ElementColor"), 65535));
  d.elementSize = std::clamp(r.Int(kData, Kb("ElementSize"), 0), 0, 2);

  d.gridDirectY = r.Bool(kData, K("DirectYAxisDirection", kGrid), true);
  d.gridDirectX = r.Bool(kData, K("DirectXAxisDirection", kGrid), true);
  d.gridOrigin.x = r.Real(kData, K("OrigineCurrentXCoordinate", kGrid), 0.5);
  d.gridOrigin.y = r.Real(kData, K("OrigineCurrentYCoordinate", kGrid), 0.5);
  d.originePointsNumber = r.Int(kData, K("OriginePointsNumber", kGrid), 0) > 0 ? 1 : 0;
  d.xAxisAngle = r.Real(kData, K("XAxisAngle", kGrid), 0);
  d.yAxisAngle = r.Real(kData, K("YAxisAngle", kGrid), 0);

  d.layerDirectY = r.Bool(kData, K("DirectYAxisDirection", kLayer), true);
  d.layerDirectX = r.Bool(kData, K("DirectXAxisDirection", kLayer), true);
  d.layerOrigin.x = r.Real(kData, K("OrigineCurrentXCoordinate", kLayer), 0.5);
  d.layerOrigin.y = r.Real(kData, K("OrigineCurrentYCoordinate", kLayer), 0.5);
  switch (r.Int(kData, Kb("LayerStage"), 1)) {
    case 0:
      d.layerStage = 1;
      break;
    case 2:
      d.layerStage = 2;
      break;
    default:
      d.layerStage = 0;  // 1, and any other value: the stage after a reset
  }
  d.layerWidth = r.Real(kData, Kb("LayerWidth"), 0.5);
  d.layerHeight = r.Real(kData, Kb("LayerHeight"), 0.5);
  const int origins = r.Count(kData, K("OriginePositionsNumber", kLayer), 0, 3);
  for (int i = 0; i < origins && r.ok; ++i) {
    TOriginRecord o;
    o.frameNumber = r.Int(kData, K("OrigineImageNumber", kLayer, i), -1);
    o.position.x = r.Real(kData, K("OrigineXCoordinate", kLayer, i), 0);
    o.position.y = r.Real(kData, K("OrigineYCoordinate", kLayer, i), 0);
    d.origins.push_back(o);
  }

  for (int k = 0; k < 3; ++k) {
    d.scalePointsNumber[k] = std::clamp(r.Int(kData, ScaleKey(k, "PointsNumber"), 0), 0, 2);
    d.scalePoints[k][0].x = r.Real(kData, ScaleKey(k, "Point1XCoordinate"), 0);
    d.scalePoints[k][0].y = r.Real(kData, ScaleKey(k, "Point1YCoordinate"), 0);
    d.scalePoints[k][1].x = r.Real(kData, ScaleKey(k, "Point2XCoordinate"), 0);
    d.scalePoints[k][1].y = r.Real(kData, ScaleKey(k, "Point2YCoordinate"), 0);
    d.scaleLength[k] = r.Real(kData, ScaleKey(k, "Length"), 0);
  }

  ReadStore(r, kGrid, false, d.grid);
  if (r.ok) ReadStore(r, kLayer, true, d.layer);

  d.imageNumber = r.Int(kVideo, Kb("ImageNumber"), 1);
  d.transparentMode = r.Int(kVideo, Kb("MarkingMode"), 0) == 1;

  const int visible = r.Count(kMontage, Kb("VisibleImagesNumber"), 1);
  d.visibleImages.assign(static_cast<std::size_t>(visible), true);
  for (int i = 0; i < visible; ++i)
    d.visibleImages[static_cast<std::size_t>(i)] = r.Bool(kMontage, Ki("IsVisibleImage_", i), true);
  const int shifts = r.Count(kMontage, Kb("TimeShiftsNumber"), 0);
  d.timeShifts.assign(static_cast<std::size_t>(shifts), 0);
  for (int i = 0; i < shifts; ++i)
    d.timeShifts[static_cast<std::size_t>(i)] = r.Int(kMontage, Ki("TimeShift_", i), 0);

  const int nf = std::max(0, r.Int(kFormules, Kb("FormulesNumber"), 0));
  const int nc = std::max(0, r.Int(kFormules, Kb("ConstantesNumber"), 0));
  const long long recordKeys = ini.KeyCount(kRecord);
  if (4LL * (nf + static_cast<long long>(nc)) > recordKeys + 8)
    r.Fail(QStringLiteral("impossible number of formulas or constants"));
  for (int i = 0; i < nf && r.ok; ++i)
    d.formulas.push_back({r.Str(kRecord, Ki("RecordFormuleIdentifier_", i)),
                          r.Str(kRecord, Ki("RecordFormulePhrase_", i)),
                          r.Str(kRecord, Ki("RecordFormuleComment_", i)),
                          r.Str(kRecord, Ki("RecordFormuleUnit_", i))});
  for (int i = 0; i < nc && r.ok; ++i)
    d.constants.push_back({r.Str(kRecord, Ki("RecordConstIdentifier_", i)),
                           r.Str(kRecord, Ki("RecordConstIndex_", i)),
                           r.Str(kRecord, Ki("RecordConstValue_", i)),
                           r.Str(kRecord, Ki("RecordConstUnit_", i))});

  if (!r.ok) {
    if (why) *why = r.why;
    return false;
  }
  out = std::move(d);
  return true;
}

// ---------------------------------------------------------------- writing

void WriteProject(TIniFile& ini, const TProjectData& d) {
  ini.WriteInteger(kMain, Kb("Version"), kProjectVersion);
  ini.WriteString(kMain, Kb("VideoFileName"), d.videoFileName);

  ini.WriteFloat(kData, Kb("RequiredDuration"), d.requiredDuration);
  ini.WriteInteger(kData, Kb("FramesNumberBetweenTwoMarks"), d.framesNumberBetweenTwoMarks);
  ini.WriteInteger(kData, Kb("MarkColorsNumber"), static_cast<int>(d.markColors.size()));
  for (std::size_t i = 0; i < d.markColors.size(); ++i)
    ini.WriteInteger(kData, Ki("MarkColor_", static_cast<int>(i)),
                     static_cast<int>(d.markColors[i]));
  ini.WriteInteger(kData, Kb("ElementColor"), static_cast<int>(d.elementColor));
  ini.WriteInteger(kData, Kb("ElementSize"), d.elementSize);

  ini.WriteBool(kData, K("DirectYAxisDirection", kGrid), d.gridDirectY);
  ini.WriteBool(kData, K("DirectXAxisDirection", kGrid), d.gridDirectX);
  ini.WriteFloat(kData, K("OrigineCurrentXCoordinate", kGrid), d.gridOrigin.x);
  ini.WriteFloat(kData, K("OrigineCurrentYCoordinate", kGrid), d.gridOrigin.y);
  ini.WriteInteger(kData, K("OriginePointsNumber", kGrid), d.originePointsNumber);
  ini.WriteFloat(kData, K("XAxisAngle", kGrid), d.xAxisAngle);
  ini.WriteFloat(kData, K("YAxisAngle", kGrid), d.yAxisAngle);

  ini.WriteBool(kData, K("DirectYAxisDirection", kLayer), d.layerDirectY);
  ini.WriteBool(kData, K("DirectXAxisDirection", kLayer), d.layerDirectX);
  ini.WriteFloat(kData, K("OrigineCurrentXCoordinate", kLayer), d.layerOrigin.x);
  ini.WriteFloat(kData, K("OrigineCurrentYCoordinate", kLayer), d.layerOrigin.y);
  ini.WriteInteger(kData, Kb("LayerStage"), EncodeStage(d.layerStage));
  ini.WriteFloat(kData, Kb("LayerWidth"), d.layerWidth);
  ini.WriteFloat(kData, Kb("LayerHeight"), d.layerHeight);
  ini.WriteInteger(kData, K("OriginePositionsNumber", kLayer), static_cast<int>(d.origins.size()));
  for (std::size_t ii = 0; ii < d.origins.size(); ++ii) {
    const int i = static_cast<int>(ii);
    ini.WriteInteger(kData, K("OrigineImageNumber", kLayer, i), d.origins[ii].frameNumber);
    ini.WriteFloat(kData, K("OrigineXCoordinate", kLayer, i), d.origins[ii].position.x);
    ini.WriteFloat(kData, K("OrigineYCoordinate", kLayer, i), d.origins[ii].position.y);
  }

  for (int k = 0; k < 3; ++k) {
    ini.WriteInteger(kData, ScaleKey(k, "PointsNumber"), d.scalePointsNumber[k]);
    ini.WriteFloat(kData, ScaleKey(k, "Point1XCoordinate"), d.scalePoints[k][0].x);
    ini.WriteFloat(kData, ScaleKey(k, "Point1YCoordinate"), d.scalePoints[k][0].y);
    ini.WriteFloat(kData, ScaleKey(k, "Point2XCoordinate"), d.scalePoints[k][1].x);
    ini.WriteFloat(kData, ScaleKey(k, "Point2YCoordinate"), d.scalePoints[k][1].y);
    ini.WriteFloat(kData, ScaleKey(k, "Length"), d.scaleLength[k]);
  }

  WriteStore(ini, kGrid, d.grid);
  WriteStore(ini, kLayer, d.layer);

  ini.WriteInteger(kVideo, Kb("ImageNumber"), d.imageNumber);
  ini.WriteInteger(kVideo, Kb("MarkingMode"), d.transparentMode ? 1 : 0);

  ini.WriteInteger(kMontage, Kb("VisibleImagesNumber"), static_cast<int>(d.visibleImages.size()));
  for (std::size_t i = 0; i < d.visibleImages.size(); ++i)
    ini.WriteBool(kMontage, Ki("IsVisibleImage_", static_cast<int>(i)), d.visibleImages[i]);
  ini.WriteInteger(kMontage, Kb("TimeShiftsNumber"), static_cast<int>(d.timeShifts.size()));
  for (std::size_t i = 0; i < d.timeShifts.size(); ++i)
    ini.WriteInteger(kMontage, Ki("TimeShift_", static_cast<int>(i)), d.timeShifts[i]);

  ini.WriteInteger(kFormules, Kb("FormulesNumber"), static_cast<int>(d.formulas.size()));
  ini.WriteInteger(kFormules, Kb("ConstantesNumber"), static_cast<int>(d.constants.size()));
  for (std::size_t ii = 0; ii < d.formulas.size(); ++ii) {
    const int i = static_cast<int>(ii);
    ini.WriteString(kRecord, Ki("RecordFormuleIdentifier_", i), d.formulas[ii].identifier);
    ini.WriteString(kRecord, Ki("RecordFormulePhrase_", i), d.formulas[ii].phrase);
    ini.WriteString(kRecord, Ki("RecordFormuleComment_", i), d.formulas[ii].comment);
    ini.WriteString(kRecord, Ki("RecordFormuleUnit_", i), d.formulas[ii].unit);
  }
  for (std::size_t ii = 0; ii < d.constants.size(); ++ii) {
    const int i = static_cast<int>(ii);
    ini.WriteString(kRecord, Ki("RecordConstIdentifier_", i), d.constants[ii].identifier);
    ini.WriteString(kRecord, Ki("RecordConstIndex_", i), d.constants[ii].index);
    ini.WriteString(kRecord, Ki("RecordConstValue_", i), d.constants[ii].value);
    ini.WriteString(kRecord, Ki("RecordConstUnit_", i), d.constants[ii].unit);
  }
}

// ---------------------------------------------------------------- TData <-> records

namespace {

TStoreRecord CaptureStore(const TPolyContainer& s) {
  TStoreRecord r;
  r.marksNumberPosition = s.MarksNumberPosition;
  r.marksIsAllDrawn = s.MarksIsAllDrawn;
  r.marksNumberToDraw = s.MarksNumberToDraw;
  r.currentMarkOrderNumber = s.CurrentMarkOrderNumber();
  r.marksNumberPerFrame = s.MarksNumberPerFrame();
  r.names = s.Names;
  r.containers.reserve(s.Containers().size());
  for (const auto& c : s.Containers()) {
    TContainerRecord cr;
    cr.frameNumber = c->MarksContainerFrameNumber;
    cr.markNumber = c->MarksContainerMarkNumber();
    for (const auto& m : c->Marks()) cr.marks.push_back({m->MarkOrderNumber, m->StoredPosition()});
    r.containers.push_back(std::move(cr));
  }
  return r;
}

void ApplyStore(TPolyContainer& s, const TStoreRecord& r) {
  s.MarksNumberPosition = static_cast<std::uint8_t>(r.marksNumberPosition);
  s.MarksIsAllDrawn = r.marksIsAllDrawn;
  s.MarksNumberToDraw = r.marksNumberToDraw;
  s.SetMarksNumberPerFrame(r.marksNumberPerFrame);
  // The file's names replace the defaults; missing ones keep their default.
  QStringList names = r.names;
  const bool transparent = s.Kind == hkPolyMarqueImgTsp;
  const int wanted = transparent ? 2 : s.MarksNumberPerFrame();
  for (int i = static_cast<int>(names.size()); i < wanted; ++i) names << DefaultPointName(i);
  s.Names = names;
  for (const TContainerRecord& cr : r.containers) {
    TContainer* c = s.AppendLoadedContainer(cr.frameNumber, cr.markNumber);
    for (const TMarkRecord& m : cr.marks) s.AppendLoadedMark(c, m.orderNumber, m.position);
  }
  s.SetCurrentMarkOrderNumber(r.currentMarkOrderNumber);
}

}  // namespace

TProjectData CaptureProject(const TData& data) {
  TProjectData d;
  d.requiredDuration = data.RequiredDuration();
  d.framesNumberBetweenTwoMarks = data.FramesNumberBetweenTwoMarks;
  d.markColors = data.MarkColors();
  d.elementColor = data.ElementColor;
  d.elementSize = data.ElementSize();
  const TRepereFixe& g = data.RepereFixe();
  d.gridDirectX = g.DirectXAxisDirection;
  d.gridDirectY = g.DirectYAxisDirection;
  d.gridOrigin = g.CurrentOrigin();
  d.originePointsNumber = g.OriginePointsNumber;
  d.xAxisAngle = g.XAxisAngle;
  d.yAxisAngle = g.YAxisAngle;
  const TTransparent& t = data.Transparent();
  d.layerDirectX = t.DirectXAxisDirection;
  d.layerDirectY = t.DirectYAxisDirection;
  d.layerOrigin = t.CurrentOrigin();
  d.layerStage = t.LayerStage();
  d.layerWidth = t.LayerWidth;
  d.layerHeight = t.LayerHeight;
  for (const auto& o : t.Origins()) d.origins.push_back({o->FrameNumber, o->Position});
  const TEchelle& e = data.Echelle();
  d.scalePointsNumber = e.PointsNumber;
  d.scalePoints = e.Points;
  d.scaleLength = e.Length;
  d.grid = CaptureStore(data.FixedStore());
  d.layer = CaptureStore(data.TransparentStore());
  if (const TMeasureView* v = data.View()) {
    d.imageNumber = v->PhysicalFrame();
    d.transparentMode = v->WorkMode() == mvTransparent;
  }
  return d;
}

void ApplyProject(TData& data, const TProjectData& d) {
  // One notification of the mark count instead of one per mark.
  const TData::TNotify marksChange = std::exchange(data.OnMarksChange, nullptr);
  data.Reset();
  data.SetRequiredDuration(d.requiredDuration);
  data.FramesNumberBetweenTwoMarks = d.framesNumberBetweenTwoMarks;
  data.ElementColor = d.elementColor;
  TMeasureSettings settings = data.Settings();
  settings.elementSize = static_cast<std::uint8_t>(std::clamp(d.elementSize, 0, 2));
  data.ApplySettings(settings);

  TRepereFixe& g = data.RepereFixe();
  g.DirectXAxisDirection = d.gridDirectX;
  g.DirectYAxisDirection = d.gridDirectY;
  g.SetOrigin(d.gridOrigin);
  g.OriginePointsNumber = d.originePointsNumber;
  g.XAxisAngle = d.xAxisAngle;
  g.YAxisAngle = d.yAxisAngle;

  TTransparent& t = data.Transparent();
  t.DirectXAxisDirection = d.layerDirectX;
  t.DirectYAxisDirection = d.layerDirectY;
  t.LayerWidth = d.layerWidth;
  t.LayerHeight = d.layerHeight;
  t.RestoreStage(static_cast<std::uint8_t>(d.layerStage));
  for (const TOriginRecord& o : d.origins) t.AppendLoadedOrigin(o.frameNumber, o.position);
  t.SetOrigin(d.layerOrigin);

  TEchelle& e = data.Echelle();
  e.PointsNumber = d.scalePointsNumber;
  e.Points = d.scalePoints;
  e.Length = d.scaleLength;

  ApplyStore(data.FixedStore(), d.grid);
  ApplyStore(data.TransparentStore(), d.layer);
  // Colours: the file's for the order numbers it lists, the palette beyond.
  TColorDynArray& colours = data.MarkColorsRef();
  const std::size_t n = std::max<std::size_t>(
      d.markColors.size(),
      static_cast<std::size_t>(std::max(0, data.FixedStore().MarksNumberPerFrame())));
  colours.resize(std::max<std::size_t>(n, 1));
  for (std::size_t i = 0; i < colours.size(); ++i)
    colours[i] = i < d.markColors.size() ? d.markColors[i] : PaletteColor(static_cast<int>(i));

  for (int h = 0; h < 4; ++h) data.History(h).Clear();
  data.OnMarksChange = marksChange;
  data.InvalidateBoth();
  data.RefreshScreenPositions();
  data.Raise(data.OnMarksChange);
}

// ---------------------------------------------------------------- old format

namespace {

// Walks the lines of an old-format project, writing one line per key.
class OldFormat {
 public:
  OldFormat(const QStringList& lines, TIniFile& ini) : lines_(lines), ini_(ini) {}
  bool ok = true;

  bool AtEnd() const { return pos_ >= lines_.size(); }
  QString Peek() const { return AtEnd() ? QString() : lines_[pos_].trimmed(); }
  void Skip(int n) { pos_ = std::min<qsizetype>(pos_ + n, lines_.size()); }
  // Writes the next line to the key; past the last line nothing is written.
  void Take(const QString& section, const QString& key) {
    if (AtEnd()) return;
    ini_.WriteString(section, key, lines_[pos_].trimmed());
    ++pos_;
  }
  void Put(const QString& section, const QString& key, const QString& value) {
    ini_.WriteString(section, key, value);
  }
  // The next line as a count (not consumed): a non-negative integer that the
  // remaining lines can hold, else the layout is not the old one.
  int PeekCount(int linesPerEntry, int offset = 0) {
    if (AtEnd()) return 0;
    bool isInt = false;
    const int n = Peek().toInt(&isInt) - offset;
    if (!isInt || n < 0 ||
        static_cast<long long>(n) * linesPerEntry > static_cast<long long>(lines_.size() - pos_)) {
      ok = false;
      return 0;
    }
    return n;
  }
  // The value of the line just written under the key.
  QString Written(const QString& section, const QString& key) const {
    return ini_.ReadString(section, key, QStringLiteral("0"));
  }
  void Directions(const char* suffix) {
    const QString line = Peek();
    if (line.contains(QLatin1Char('*'))) {
      Put(kData, K("DirectYAxisDirection", suffix), QString(line).remove(QLatin1Char('*')));
      Skip(2);
      Take(kData, K("DirectXAxisDirection", suffix));
    } else {
      Take(kData, K("DirectYAxisDirection", suffix));
    }
  }
  int Containers(const char* s) {
    const int n = PeekCount(3);
    Take(kData, K("MarksContainersNumber", s));
    for (int i = 0; i < n && ok; ++i) {
      Take(kData, K("MarksContainerFrameNumber", s, i));
      Take(kData, K("MarksContainerMarkNumber", s, i));
      const int m = PeekCount(3);
      Take(kData, K("MarksContainerMarksNumber", s, i));
      for (int j = 0; j < m && ok; ++j) {
        Take(kData, K("MarkOrderNumber", s, i, j));
        Take(kData, K("MarkXCoordinate", s, i, j));
        Take(kData, K("MarkYCoordinate", s, i, j));
      }
    }
    return n;
  }

 private:
  const QStringList& lines_;
  TIniFile& ini_;
  qsizetype pos_ = 0;
};

}  // namespace

bool ConvertOldFormatLines(const QStringList& lines, TIniFile& target) {
  TIniFile ini = target;
  ini.WriteInteger(kMain, Kb("Version"), kConvertedVersion);
  OldFormat o(lines, ini);
  o.Take(kMain, Kb("VideoFileName"));
  o.Take(kData, Kb("RequiredDuration"));
  const int nf = o.PeekCount(4);
  o.Take(kFormules, Kb("FormulesNumber"));
  for (int i = 0; i < nf && o.ok; ++i)
    for (const char* k : {"RecordFormuleIdentifier_", "RecordFormulePhrase_",
                          "RecordFormuleComment_", "RecordFormuleUnit_"})
      o.Take(kRecord, Ki(k, i));
  const int nc = o.PeekCount(4);
  o.Take(kFormules, Kb("ConstantesNumber"));
  for (int i = 0; i < nc && o.ok; ++i)
    for (const char* k :
         {"RecordConstIdentifier_", "RecordConstIndex_", "RecordConstValue_", "RecordConstUnit_"})
      o.Take(kRecord, Ki(k, i));
  if (!o.AtEnd()) {
    o.Put(kVideo, Kb("MarkingMode"), SameText(o.Peek(), QStringLiteral("Tsp")) ? "1" : "0");
    o.Skip(1);
  }
  if (!o.AtEnd()) {
    const QString stage = o.Peek();
    o.Put(kData, Kb("LayerStage"),
          SameText(stage, QStringLiteral("Glisser"))   ? "0"
          : SameText(stage, QStringLiteral("Pointer")) ? "2"
                                                       : "1");
    o.Skip(1);
  }
  o.Take(kData, K("MarksNumberPerFrame", kGrid));
  o.Take(kData, K("CurrentMarkOrderNumber", kGrid));
  o.Take(kVideo, Kb("ImageNumber"));
  const int colours = o.PeekCount(1, 1);
  if (!o.AtEnd() && o.ok) {
    o.Put(kData, Kb("MarkColorsNumber"), QString::number(colours));
    o.Skip(1);
  }
  o.Take(kData, Kb("ElementColor"));
  for (int i = 0; i < colours && o.ok; ++i) o.Take(kData, Ki("MarkColor_", i));
  for (const char* s : {kGrid, kLayer}) {
    const int names = o.PeekCount(1);
    o.Take(kData, K("SystemNamesNumber", s));
    for (int i = 0; i < names && o.ok; ++i) o.Take(kData, K("SystemName", s, i));
  }
  o.Directions(kGrid);
  for (const char* k : {"OriginePointsNumber", "OrigineCurrentXCoordinate",
                        "OrigineCurrentYCoordinate", "XAxisAngle", "YAxisAngle"})
    o.Take(kData, K(k, kGrid));
  o.Skip(9);
  o.Directions(kLayer);
  o.Skip(5);
  o.Take(kData, Kb("LayerWidth"));
  o.Take(kData, Kb("LayerHeight"));
  o.Skip(2);
  o.Take(kData, K("OrigineCurrentXCoordinate", kLayer));
  o.Take(kData, K("OrigineCurrentYCoordinate", kLayer));
  const int origins = o.PeekCount(2, 1);
  if (!o.AtEnd() && o.ok) {
    o.Put(kData, K("OriginePositionsNumber", kLayer), QString::number(origins));
    o.Skip(3);
  }
  for (int i = 0; i < origins && o.ok; ++i) {
    o.Take(kData, K("OrigineXCoordinate", kLayer, i));
    o.Take(kData, K("OrigineYCoordinate", kLayer, i));
  }
  for (const char* k : {"ScalePointsNumber", "ScalePoint1XCoordinate", "ScalePoint1YCoordinate",
                        "ScalePoint2XCoordinate", "ScalePoint2YCoordinate"})
    o.Take(kData, Kb(k));
  if (o.Peek().contains(QLatin1Char('*'))) {
    o.Put(kData, Kb("ScaleLength"), o.Peek().remove(QLatin1Char('*')));
    o.Skip(2);
    for (const char* k :
         {"ScaleHorizPointsNumber", "ScaleHorizPoint1XCoordinate", "ScaleHorizPoint1YCoordinate",
          "ScaleHorizPoint2XCoordinate", "ScaleHorizPoint2YCoordinate", "ScaleHorizLength",
          "ScaleVertPointsNumber", "ScaleVertPoint1XCoordinate", "ScaleVertPoint1YCoordinate",
          "ScaleVertPoint2XCoordinate", "ScaleVertPoint2YCoordinate", "ScaleVertLength"})
      o.Take(kData, Kb(k));
    o.Skip(1);
  } else {
    o.Take(kData, Kb("ScaleLength"));
  }
  o.Skip(1);
  o.Take(kData, K("MarksIsAllDrawn", kGrid));
  o.Take(kData, K("MarksNumberToDraw", kGrid));
  o.Containers(kGrid);
  o.Skip(1);
  o.Take(kData, K("MarksIsAllDrawn", kLayer));
  o.Take(kData, K("MarksNumberToDraw", kLayer));
  const int layerContainers = o.Containers(kLayer);
  const int visible = o.PeekCount(1);
  o.Take(kMontage, Kb("VisibleImagesNumber"));
  for (int i = 0; i < visible && o.ok; ++i) o.Take(kMontage, Ki("IsVisibleImage_", i));
  const int shifts = o.PeekCount(1);
  o.Take(kMontage, Kb("TimeShiftsNumber"));
  for (int i = 0; i < shifts && o.ok; ++i) o.Take(kMontage, Ki("TimeShift_", i));
  for (int i = layerContainers - 1; i >= 0 && o.ok; --i)
    o.Put(kData, K("OrigineImageNumber", kLayer, i),
          o.Written(kData, K("MarksContainerFrameNumber", kLayer, i)));
  // The result must read as a project.
  TProjectData check;
  if (!o.ok || !ReadProject(ini, check)) return false;
  target = std::move(ini);
  return true;
}

// ---------------------------------------------------------------- TMlb

bool TMlb::Open(const QString& fileName, QString* error) {
  if (open_) return false;
  TIniFile ini;
  if (QFileInfo::exists(fileName) && !ini.LoadFromFile(fileName, error)) return false;
  fileName_ = fileName;
  ini_ = std::move(ini);
  open_ = true;
  return true;
}

void TMlb::Close() {
  ini_.Clear();
  open_ = false;
}

bool TMlb::Flush(QString* error) {
  if (!open_) return false;
  return ini_.SaveToFile(fileName_, error);
}

bool TMlb::ConvertOldFormat(QString* error, bool rewrite) {
  if (!open_) return false;
  if (ini_.ValueExists(kMain, Kb("Version"))) return true;
  QFile f(fileName_);
  if (!f.open(QIODevice::ReadOnly)) {
    if (error) *error = f.errorString();
    return false;
  }
  QStringList lines = DecodeIniBytes(f.readAll()).split(QLatin1Char('\n'));
  for (QString& l : lines)
    if (l.endsWith(QLatin1Char('\r'))) l.chop(1);
  if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
  TIniFile converted = ini_;
  if (!ConvertOldFormatLines(lines, converted)) {
    if (error) *error = QStringLiteral("not a project file");
    return false;
  }
  if (rewrite && !converted.SaveToFile(fileName_, error)) return false;
  ini_ = std::move(converted);
  return true;
}

}  // namespace mlb
