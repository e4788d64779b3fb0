// The formula language: tokens, expression tree and evaluation of the user's
// formulas (and of the calculator). Every name other than numbers, pi and the
// functions is resolved through a callback of the owner.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <QString>
#include <QStringList>

namespace mlb {

enum TElemKind : int {
  ekSemicolon = 1,
  ekPlus = 2,
  ekMinus = 3,
  ekDivide = 4,
  ekMultiply = 5,
  ekPower = 6,
  ekSin = 7,
  ekCos = 8,
  ekLn = 9,
  ekLog = 10,
  ekExp = 11,
  ekAbs = 12,
  ekTan = 13,
  ekSqrt = 14,
  ekArcSin = 15,
  ekArcCos = 16,
  ekArcTan = 17,
  ekNumber = 18,
  ekName = 19,
  ekOpen = 20,
  ekClose = 21,
};

// One token.
struct TElemPile {
  int Kind = 0;
  int Level = 0;     // parenthesis depth
  int Offset = 0;    // the index in square brackets
  QString Text;      // operator character, or the name without its index
  double Value = 0;  // a number's value; a name's last resolved value
  bool IsAbsolute = false;
  bool Negate = false;  // operator: negate the right operand
  bool HasIndex = false;
};

// The owner's answer for a name: whether it exists (returned) and, through
// hasValue/value, its value at the requested index.
using TResolver = std::function<bool(const QString& name, bool hasIndex, bool isAbsolute,
                                     int offset, bool& hasValue, double& value)>;

// Longest formula text the engine accepts (deeper trees would exhaust the
// stack, longer texts cost quadratic time to split).
inline constexpr int kMaxFormulaLength = 4000;

class TNoeud;

class TParser {
 public:
  TParser();
  ~TParser();

  void SetFormula(const QString& text);
  // Tokenizes and builds on first use, then evaluates; false on an error.
  bool Evaluate();
  int Status() const { return status_; }
  QString ErrorText() const;
  bool IsRadians() const { return radians_; }
  void SetRadians(bool radians) { radians_ = radians; }
  double Result() const { return result_; }
  // The names met while tokenizing (each once, case-insensitive).
  const QStringList& Names() const { return names_; }
  const std::vector<TElemPile>& Tokens() const { return tokens_; }
  TResolver Resolver;

  // The message of a status code (the "%s" filled with `text`).
  static QString Message(int status, const QString& text);

 private:
  friend class TNoeud;
  bool Tokenize();
  bool Fail(int status, const QString& text);

  QString formula_;
  std::vector<TElemPile> tokens_;
  std::unique_ptr<TNoeud> root_;
  bool tokenized_ = false, tokenFailed_ = false, buildFailed_ = false;
  double result_ = 0;
  QStringList names_;
  bool radians_ = true;
  int status_ = 0;
  QString errorText_;
};

// Status of a formula too long for the engine.
inline constexpr int kStatusTooLong = 31;

}  // namespace mlb
