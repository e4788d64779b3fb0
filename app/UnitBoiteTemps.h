// The time dialog: the frame period used for every measured time, either the
// video's own frame duration or a value the user types.
#pragma once

#include <functional>

#include <QString>

class QWidget;

namespace mlb {

class TBoiteTemps {
 public:
  bool Confirmed = false;
  double Period = 0;  // seconds, after a confirmation
  // Applies the video's own period at once (the first radio button).
  std::function<void(double)> OnApplyVideoPeriod;

  // The label text for a video of frame duration d.
  static QString HeaderText(double d);
  // Checks a typed period: true and Period set (Confirmed) when it is a number
  // strictly between 1 µs and 1 Gs; otherwise the message box explains.
  bool Validate(const QString& text);
  // Shows the dialog modally: d the video's frame duration, r the period in
  // use. Nothing without a video.
  void Execute(bool videoOpened, double d, double r, QWidget* parent = nullptr);
};

}  // namespace mlb
