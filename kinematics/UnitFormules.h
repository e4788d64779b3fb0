// The user's formulas (named expressions computed for every sample) and
// constants (named values, or expressions over other constants).
#pragma once

#include <memory>
#include <vector>

#include <QString>
#include <QStringList>

#include "common/UnitTypes.h"
#include "kinematics/UnitParser.h"

namespace mlb {

class TResCalc;
struct TFormulaRecord;
struct TConstantRecord;

// The computed values of a formula.
struct TCurve {
  bool FShown = false;
  bool FInTable = true;
  bool FInvalid = false;
  bool FUsesSpeed = false;
  bool FUsesAccel = false;
  TDoubleDynArray FValues;
  TIntegerDynArray FPresent;  // 0 where a value exists, -1 where not
  int FDecimals = 0;
  int FFirst = -1, FLast = -1;
};

// A formula or a constant.
struct TRec {
  static const QString kNoComment;  // "žádný zadaný komentář"
  static const QString kNoUnit;     // "žádná zadaná jednotka"

  QString FName;
  QString FIdentifier;
  QString FPhrase;
  QString FComment = kNoComment;
  QString FIndexText = QStringLiteral("0");
  QString FValueText = QStringLiteral("0");
  QString FUnit = kNoUnit;
  int FIndex = 0;
  double FValue = 0;
  bool FIndexed = false;
  bool FNameValid = false;
  bool FIndexValid = true;
  TCurve FCurve;
  int FKind = 0;  // 0 formula, 1 constant
  QStringList FUsedNames;
  QString FError;  // the parser's message of the last failed computation

  // Reads an identifier as typed: blanks removed, name and index checked.
  void SetIdentifier(const QString& text);
};

// What the formulas read from the settings.
struct TFormulaSettings {
  bool speedAllowed = true;  // "CheckBox9Speed_Checked"
  bool accelAllowed = true;  // "CheckBox8Acceleration_Checked"
  bool polarAllowed = true;  // "CheckBox53PolarQuantities_Checked"
  bool radians = false;      // "CheckBox32AngleRadian_Checked"
  bool startByZero = false;  // "CheckBox36StartByZero_Checked"
};

class TFormules {
 public:
  explicit TFormules(TResCalc& results);
  ~TFormules();

  void ApplySettings(const TFormulaSettings& s);
  const TFormulaSettings& Settings() const { return settings_; }

  // "identifier=expression" or an expression alone; appended, shown.
  TRec* AddFormula(const QString& text, const QString& comment = QString(),
                   const QString& unit = QString());
  TRec* AddConstant(const QString& identifier, const QString& expression,
                    const QString& unit = QString(), const QString& valueText = QString());
  void Remove(TRec* rec);
  void Clear();

  // Validates and computes; shows the message of a non-zero code (7 without
  // a message when rec is null). Callers undo a refused entry.
  int CheckAndCompute(TRec* rec);
  // The message of a validation code for a record.
  static QString ValidationMessage(int code, const QString& text);
  void ComputeConstants();
  void ComputeFormulas();

  bool Resolve(const QString& name, bool hasIndex, bool isAbsolute, int offset, bool& hasValue,
               double& value);
  bool IsPredefinedName(const QString& name) const;

  int Count() const { return static_cast<int>(formulas_.size()); }
  int ConstantCount() const { return static_cast<int>(constants_.size()); }
  TRec& Formula(int i) { return *formulas_[static_cast<std::size_t>(i)]; }
  const TRec& Formula(int i) const { return *formulas_[static_cast<std::size_t>(i)]; }
  TRec& Constant(int i) { return *constants_[static_cast<std::size_t>(i)]; }
  QString DisplayText(int i) const;
  bool IsShown(int i) const { return Formula(i).FCurve.FShown; }
  void SetShown(int i, bool shown);
  int ShownCount() const;
  TIntegerDynArray ShownIndices() const;
  // Points (abscissa, value) where both have a value; the abscissa is time
  // or the selected abscissa formula.
  TPointDDynArray FormulaPoints(int i) const;
  void FormulaExtents(double& xMin, double& xMax, double& yMin, double& yMax) const;
  void SelectAbscissa(int i);
  int Abscissa() const { return abscissa_; }

  // The [Formules]/[Record] records of a project, and back.
  void LoadFromRecords(const std::vector<TFormulaRecord>& formulas,
                       const std::vector<TConstantRecord>& constants);
  void SaveToRecords(std::vector<TFormulaRecord>& formulas,
                     std::vector<TConstantRecord>& constants) const;

 private:
  int ComputeRecord(TRec& rec);
  void ComputeList(std::vector<std::unique_ptr<TRec>>& list);
  bool ColumnValue(int code, int rank, int row, double& value) const;
  int PredefinedCode(const QString& name, int& rank) const;
  int Row(bool isAbsolute, int offset) const;

  TResCalc& results_;
  TFormulaSettings settings_;
  TParser parser_;
  int abscissa_ = -1;
  int row_ = 0;
  bool constantsOnly_ = false;
  std::vector<std::unique_ptr<TRec>> formulas_, constants_;
};

}  // namespace mlb
