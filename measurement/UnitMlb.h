// The project file "*.mlb": one measurement as an INI file. Reading goes
// through plain records first and is validated whole before anything of the
// measurement data changes, so a damaged file never leaves a half-loaded
// measurement behind.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include <QString>
#include <QStringList>

#include "common/UnitIniFile.h"
#include "common/UnitTypes.h"

namespace mlb {

class TData;

inline constexpr int kProjectVersion = 340000;
inline constexpr int kConvertedVersion = 334000;

struct TMarkRecord {
  int orderNumber = 0;
  TPointD position;  // image position (fixed store) or relative position (transparent store)
};

struct TContainerRecord {
  int frameNumber = 0;
  int markNumber = 0;
  std::vector<TMarkRecord> marks;
};

struct TStoreRecord {
  int marksNumberPosition = 1;
  bool marksIsAllDrawn = true;
  int marksNumberToDraw = 1;
  int currentMarkOrderNumber = 0;
  int marksNumberPerFrame = 1;
  QStringList names;
  std::vector<TContainerRecord> containers;
};

struct TOriginRecord {
  int frameNumber = -1;
  TPointD position;
};

// A user formula and a constant as stored in [Record].
struct TFormulaRecord {
  QString identifier, phrase, comment, unit;
};
struct TConstantRecord {
  QString identifier, index, value, unit;  // value "=expr" for an expression
};

// Everything a project file holds.
struct TProjectData {
  QString videoFileName;
  // [Data]
  double requiredDuration = 0.0;
  int framesNumberBetweenTwoMarks = 1;
  TColorDynArray markColors;  // "MarkColor_i" for i < "MarkColorsNumber"
  TColor elementColor = 0x00FFFF;
  int elementSize = 0;
  bool gridDirectX = true, gridDirectY = true;
  TPointD gridOrigin{0.5, 0.5};
  int originePointsNumber = 0;
  double xAxisAngle = 0.0, yAxisAngle = 0.0;
  bool layerDirectX = true, layerDirectY = true;
  TPointD layerOrigin{0.5, 0.5};
  int layerStage = 0;  // 0 grab, 1 dragging, 2 mark (decoded)
  double layerWidth = 0.5, layerHeight = 0.5;
  std::vector<TOriginRecord> origins;
  std::array<int, 3> scalePointsNumber{};
  std::array<std::array<TPointD, 2>, 3> scalePoints{};
  std::array<double, 3> scaleLength{};
  TStoreRecord grid, layer;
  // [Video]
  int imageNumber = 1;
  bool transparentMode = false;
  // [Montage]
  std::vector<bool> visibleImages{true};
  std::vector<int> timeShifts;
  // [Formules] / [Record]
  std::vector<TFormulaRecord> formulas;
  std::vector<TConstantRecord> constants;
};

// The project file between an open and a close.
class TMlb {
 public:
  // Stores the name and reads the file when it exists; false when a file is
  // already open or the file exists but cannot be read.
  bool Open(const QString& fileName, QString* error = nullptr);
  void Close();
  bool IsOpen() const { return open_; }
  const QString& FileName() const { return fileName_; }
  TIniFile& Ini() { return ini_; }
  const TIniFile& Ini() const { return ini_; }
  // Writes the profile to the file (atomically).
  bool Flush(QString* error = nullptr);
  // Converts a file written before the profile format (no [Main] "Version")
  // in memory and, when the conversion succeeded and `rewrite` is set,
  // rewrites the file. True when nothing was to be done or the conversion
  // succeeded.
  bool ConvertOldFormat(QString* error = nullptr, bool rewrite = true);

 private:
  QString fileName_;
  TIniFile ini_;
  bool open_ = false;
};

// Converts the lines of an old-format project into the profile keys. False
// (ini unchanged) when the lines do not follow the old layout.
bool ConvertOldFormatLines(const QStringList& lines, TIniFile& ini);

// Reads the whole project; false with a reason when a value is unreadable or
// the content is inconsistent (data unchanged).
bool ReadProject(const TIniFile& ini, TProjectData& data, QString* why = nullptr);
// Writes every key, in file order.
void WriteProject(TIniFile& ini, const TProjectData& data);

// The measurement data as records, and back. Applying resets the data first.
TProjectData CaptureProject(const TData& data);
void ApplyProject(TData& data, const TProjectData& project);

}  // namespace mlb
