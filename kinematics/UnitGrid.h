// The result table of each frame of reference: one row per sample, one column
// per kinematic quantity and mark, with visibility and precision per column,
// and the same content as text lines or a string matrix for the exports.
// Also the remembered selections of the results window per frame.
#pragma once

#include <functional>
#include <memory>

#include <QDateTime>
#include <QString>
#include <QStringList>

#include "common/UnitTypes.h"

namespace mlb {

class TCalcul;
class TResCalc;
class TData;

struct TColumn {
  bool Visible = false;
  int Precision = 0;  // 0..8
};

struct TColumnDescriptor {
  int code = grTemps;
  int rank = 0;
  QString symbol, unit, description;
};

struct TGridSettings {
  bool startByZero = false;  // "CheckBox36StartByZero_Checked"
  bool hideEdgeV = false;    // "CheckBox30HideEdgeV_Checked"
  bool hideEdgeA = false;    // "CheckBox31HideEdgeA_Checked"
};

// Background colours of the column groups (0x00BBGGRR).
TColor ColumnGroupColour(int code);

class TGrid {
 public:
  TGrid(const TCalcul& calc, std::function<QString(int)> pointName);

  static constexpr int FFixedCols = 1;
  static constexpr int FFixedRows = 4;

  TGridSettings Settings;

  void ResetColumns();
  void UpdateSize();
  int ColCount() const { return FColCount; }
  int RowCount() const { return FRowCount; }
  const std::vector<TColumn>& Columns() const { return FColumns; }

  QString CellText(int c, int r, bool formatted) const;
  TColumnDescriptor Descriptor(int logical) const;
  // The logical column shown in table column c (c >= 1), -1 when none.
  int LogicalColumn(int c) const;
  QString Symbol(int c) const;
  QString UnitText(int c) const;
  QString Description(int c) const;
  TColor ColumnColour(int c) const;

  void SetGroupVisible(bool visible, std::initializer_list<int> codes);
  void SetColumnVisible(bool visible, int c);
  void DecreasePrecision(int c);
  void IncreasePrecision(int c);
  void ResetPrecision();

  // The text lines of an export: title, date and time, axis angle, symbols,
  // units, descriptions, one line per sample (tab-separated).
  QStringList ExportLines(const QString& title,
                          const QDateTime& when = QDateTime::currentDateTime()) const;
  // The string matrix of the spreadsheet exports.
  TMatriceStr ExportMatrix() const;

 private:
  int MarkCount() const;
  const TCalcul& calc_;
  std::function<QString(int)> pointName_;
  int FColCount = 2;
  int FRowCount = FFixedRows;
  std::vector<TColumn> FColumns;
};

// The two tables: fixed frame first, transparent second; the current one by
// work mode, as for the calculators.
class TResGrid {
 public:
  TResGrid(TResCalc& results, const TData& data);
  TGrid& Current();
  TGrid& Fixed() { return *fixed_; }
  TGrid& Transparent() { return *transparent_; }
  void ResetColumns(TRefChoice which);
  void ResetPrecision(TRefChoice which);
  void ApplySettings(const TGridSettings& s);

 private:
  const TData& data_;
  std::unique_ptr<TGrid> fixed_, transparent_;
};

// The remembered selections of the results window for one frame of reference.
struct TMemory {
  int reference = 0;   // trajectory view: 0 = the camera or the overlay
  int quantity = grX;  // time view
  int vectorKind = 0;  // 0 velocity, 1 acceleration
  int formula = -1;
  bool drawOrigin = true;        // "CheckBox33VectorOrigin_Checked"
  bool numberVectors = true;     // "CheckBox19VectorNumber_Checked"
  bool numberTrajectory = true;  // "CheckBox16TrajectoryNumber_Checked"
  TIntegerDynArray trajectoryMarks, timeMarks, vectorMarks;

  void Reset() {
    reference = 0, quantity = grX, vectorKind = 0, formula = -1;
    trajectoryMarks.clear(), timeMarks.clear(), vectorMarks.clear();
  }
  void ReadOptions(bool origin, bool vectors, bool trajectory) {
    drawOrigin = origin, numberVectors = vectors, numberTrajectory = trajectory;
  }
};

class TResMem {
 public:
  explicit TResMem(std::function<bool()> transparentMode)
      : transparentMode_(std::move(transparentMode)) {}
  TMemory& Current() { return transparentMode_ && transparentMode_() ? transparent_ : fixed_; }
  TMemory& Fixed() { return fixed_; }
  TMemory& Transparent() { return transparent_; }
  void Reset(TRefChoice which);

 private:
  std::function<bool()> transparentMode_;
  TMemory fixed_, transparent_;
};

}  // namespace mlb
