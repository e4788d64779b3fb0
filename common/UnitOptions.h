// The user's preferences: section "Options" of "Motilab.ini". Every other part
// of the program reads its settings here by key.
#pragma once

#include <functional>
#include <unordered_map>

#include <QString>
#include <QStringList>

namespace mlb {

class TIniFile;

class TOptions {
 public:
  TOptions();  // every key at its default

  // Reads section "Options" of the file (defaults for what is missing or unreadable).
  void Load(const QString& settingsFile);
  void LoadFrom(const TIniFile& ini);
  // Writes every key; false when the file cannot be written.
  bool SaveSettings(const QString& settingsFile) const;
  void SaveTo(TIniFile& ini) const;

  // Integer and boolean keys ("EditMRU_Value", "CheckBox36StartByZero_Checked",
  // "ToolButtonTempsModeleSinus_Down", ...). Unknown keys read 0.
  int Int(const QString& key) const;
  bool Bool(const QString& key) const { return Int(key) != 0; }
  void SetInt(const QString& key, int value);
  void SetBool(const QString& key, bool value) { SetInt(key, value ? 1 : 0); }
  bool IsKnownKey(const QString& key) const;
  static QStringList Keys();  // every stored key, in file order

  QString Password;
  bool PasswordSet = false;

  // Buttons without a key of their own: ModeleSinusAe and ModifierModele of
  // the time ("Temps") and formula ("Formule") views.
  bool SinusAeHidden(const QString& view) const;
  void SetSinusAeHidden(const QString& view, bool hidden);
  bool FitAdjustHidden(const QString& view) const;  // ModifierModele as shown
  void SetFitAdjustOwnHidden(const QString& view, bool hidden);
  // CurveArc of the trajectory ("Referentiel") and vector ("Vecteur") views as shown.
  bool CurveArcHidden(const QString& view) const;

  // The change notification, raised by NotifyChanged when set.
  std::function<void()> OnChange;
  void NotifyChanged() const {
    if (OnChange) OnChange();
  }

  // The password lock. `prompt` shows the password dialog and returns false
  // when cancelled, else the typed text.
  using TPrompt = std::function<bool(QString& text)>;
  bool CheckAccess(const TPrompt& prompt) const;
  bool AskNewPassword(const TPrompt& prompt);

 private:
  std::unordered_map<QString, int> values_;
  std::unordered_map<QString, bool> unkeyed_;
};

// Accepts a character for the password field: letters A-Z, a-z and digits,
// at most 21 characters (backspace and Enter are handled by the field).
bool PasswordCharAccepted(QChar c, int currentLength);

}  // namespace mlb
