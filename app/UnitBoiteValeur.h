// The value entry dialog: one number typed by the user (an axis angle, a
// scale length, a frame number, a count...), with the texts and the initial
// value of its kind, a key filter, and no way out but a value in range.
#pragma once

#include <array>

#include <functional>

#include <QChar>
#include <QDialog>
#include <QString>

class QBoxLayout;
class QLineEdit;
class QWidget;

namespace mlb {

enum TTypeSaisie : int {
  tsAngle = 0,
  tsCadence = 1,
  tsLongueur = 2,
  tsDMax = 3,
  tsLastImg = 4,
  tsNbMqDrawn = 5,
  tsNbMqParImg = 6,
  tsNumImg = 7,
  tsNumOrdre = 8,
  tsNbImgStep = 9,
};

enum TTypeSaisieLongueur : int { slLongueurH = 0, slLongueurN = 1, slLongueurV = 2 };

// The state the texts, initial values and ranges come from (filled by the caller).
struct TValueContext {
  bool videoOpened = false;
  double axisAngle = 0;  // radians
  double writerRate = 25;
  std::array<double, 3> scaleLength{};  // by TTypeSaisieLongueur: horizontal, single, vertical
  int searchRadius = 20;
  int trackerFirstFrame = 0;
  int trackerLastFrame = 0;
  int trackerCurrentObject = 0;
  int marksToDraw = 1;
  int marksPerFrame = 1;  // N
  int visibleCount = 0;   // V
  int visibleIndex = 0;
  int framesBetweenMarks = 1;
};

class TBoiteValeur {
 public:
  TTypeSaisie TypeSaisie() const { return kind_; }
  // Sets the kind and fills the texts and the initial value from the context.
  void SetTypeSaisie(TTypeSaisie kind, const TValueContext& context);
  // The initial value becomes the length of that scale.
  void SetTypeSaisieLongueur(TTypeSaisieLongueur which);

  QString Caption, FieldLabel, Explanation, RangeText, InitialText;
  bool Confirmed = false;
  double RealValue = 0;  // real kinds (angle in radians, rate, length in metres)
  int IntValue = 0;      // integer kinds, as the caller needs it (indices from 0)

  bool IsReal() const { return kind_ <= tsLongueur; }
  // Whether any value can be accepted (a count of frames may leave none).
  bool RangeEmpty() const { return intMin_ > intMax_; }
  // The key filter: the character to insert, or a null QChar to drop it.
  QChar FilterKey(QChar c) const;
  // Checks a text; when accepted stores the value and sets Confirmed, else
  // shows the refusal through the message box and returns false.
  bool Validate(const QString& text);
  // Shows the dialog modally (nothing without a video); read Confirmed after.
  void Execute(QWidget* parent = nullptr);

 private:
  TTypeSaisie kind_ = tsAngle;
  TValueContext context_;
  int intMin_ = 0, intMax_ = 0;
};

// The message of a text that is no number (real or integer kinds).
void ShowNotANumber(const QString& text, bool real);
// The message of a number outside its range: `shown` is the typed text with
// its unit, `range` the range text.
void ShowOutOfRange(const QString& shown, const QString& range);
// The key filter of the number fields: the character to insert, or a null
// QChar to drop it ("." and "," become the locale's separator in real fields).
QChar FilterNumberKey(QChar c, bool real);

// A dialog that closes only when `validate` accepts the field's text (or, when
// `cancelable`, by Esc or the close button); a refused text gets the focus
// and a full selection again. Typed keys go through FilterNumberKey; a
// dropped key beeps.
class TCheckedDialog : public QDialog {
 public:
  TCheckedDialog(QLineEdit* field, bool real, std::function<bool(const QString&)> validate,
                 QWidget* parent);
  void done(int r) override;
  bool cancelable = false;
  // Ends the layout with the "&Ok" button (75 x 25, default) and a status bar
  // showing `status`, and fixes the dialog's size.
  void AddOkAndStatus(QBoxLayout* layout, const QString& status);

 protected:
  bool eventFilter(QObject* o, QEvent* e) override;
  QLineEdit* field_;

 private:
  bool real_;
  std::function<bool(const QString&)> validate_;
};

}  // namespace mlb
