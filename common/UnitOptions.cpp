#include "common/UnitOptions.h"

#include "common/UnitIniFile.h"
#include "common/UnitMessageBox.h"

namespace mlb {

namespace {

const QString kSection = QStringLiteral("Options");

struct Def {
  const char* key;
  int def;
};

// Integer and boolean keys with their defaults, in the order they are written.
const Def kDefs[] = {
    {"EditMRU_Value", 8},
    {"TrackingRadius_Value", 40},
    {"ShapeNumber_Value", 0},
    {"PenSize_Value", 0},
    {"PenSize4Graph_Value", 0},
    {"CheckBox3ConfirmationQuit_Checked", 1},
    {"CheckBox4ConfirmationFileChange_Checked", 1},
    {"CheckBox5ChangeFormulae_Checked", 1},
    {"CheckBox6FreezeMRU_Checked", 0},
    {"CheckBox7SmoothAcceleration_Checked", 1},
    {"CheckBox8Acceleration_Checked", 1},
    {"CheckBox9Speed_Checked", 1},
    {"CheckBox10GridShowSpeed_Checked", 1},
    {"CheckBox11GridShowAcceleration_Checked", 1},
    {"CheckBox12TimeZoomX_Checked", 0},
    {"CheckBox13TimeZoomY_Checked", 1},
    {"CheckBox14TimePolyline_Checked", 1},
    {"CheckBox15TimeShowItem_Checked", 1},
    {"CheckBox16TrajectoryNumber_Checked", 1},
    {"CheckBox17TrajectoryPolyline_Checked", 1},
    {"CheckBox18TrajectoryShowItem_Checked", 1},
    {"CheckBox19VectorNumber_Checked", 1},
    {"CheckBox20VectorDraw_Checked", 1},
    {"CheckBox21VectorPolyline_Checked", 0},
    {"CheckBox22VectorShowItem_Checked", 1},
    {"CheckBox23FormulaZoomX_Checked", 0},
    {"CheckBox24FormulaZoomY_Checked", 1},
    {"CheckBox25FormulaOriginY_Checked", 1},
    {"CheckBox26FormulaPolyline_Checked", 1},
    {"CheckBox27ProfShowItem_Checked", 1},
    {"CheckBox28FormulaShowItem_Checked", 1},
    {"CheckBox29GridShowCoordinates_Checked", 1},
    {"CheckBox30HideEdgeV_Checked", 0},
    {"CheckBox31HideEdgeA_Checked", 0},
    {"CheckBox32AngleRadian_Checked", 0},
    {"CheckBox33VectorOrigin_Checked", 1},
    {"CheckBox34FormulaOriginX_Checked", 0},
    {"CheckBox35VectorTilted_Checked", 1},
    {"CheckBox36StartByZero_Checked", 0},
    {"CheckBox37GridShowItem_Checked", 1},
    {"CheckBox38ChangeDefaultObjectsName_Checked", 1},
    {"CheckBox40ShowDialogBoxForHideImage_Checked", 1},
    {"CheckBox41HorizAndVertScale_Checked", 0},
    {"CheckBox42TempsEquation_Checked", 1},
    {"CheckBox43TempsStatistics_Checked", 0},
    {"CheckBox44FormulaEquation_Checked", 1},
    {"CheckBox45FormulaStatistics_Checked", 0},
    {"CheckBox46VectorVideoImage_Checked", 0},
    {"CheckBox47AllowTracking_Checked", 1},
    {"CheckBox48AllowMontage_Checked", 1},
    {"CheckBox49AllowCapture_Checked", 1},
    {"CheckBox50VectorSpline_Checked", 0},
    {"CheckBox51DeformationBubble_Checked", 1},
    {"CheckBox52ShowRadiusSearch_Checked", 1},
    {"CheckBox53PolarQuantities_Checked", 1},
    {"CheckBox54SmoothSpeed_Checked", 1},
    {"CheckBox55ShowVideoToPictures_Checked", 0},
    {"CheckBox56ShowPicturesToVideo_Checked", 0},
    {"CheckBox57GridShowPolarQuantities_Checked", 1},
};

const char* const kModelButtons[] = {"ModeleConstant",   "ModeleAffine", "ModeleProportionnel",
                                     "ModeleParabole",   "ModeleSinus",  "ModeleSinusAl",
                                     "ModeleExponentiel"};
const char* const kObjectButtons[] = {"Angle",     "Arc",       "Cercle",  "CurveArc",
                                      "Dupliquer", "Ellipse",   "Mesurer", "Reticule",
                                      "Segment",   "Selection", "Spline",  "Supprimer"};

QString ToolKey(const QString& view, const QString& button) {
  return QStringLiteral("ToolButton") + view + button + QStringLiteral("_Down");
}

// Every key in file order, with its default.
const std::vector<std::pair<QString, int>>& AllKeys() {
  static const std::vector<std::pair<QString, int>> keys = [] {
    std::vector<std::pair<QString, int>> k;
    for (const Def& d : kDefs) k.emplace_back(QLatin1String(d.key), d.def);
    for (const char* view : {"Temps", "Formule"}) {
      for (const char* b : kModelButtons)
        k.emplace_back(ToolKey(QLatin1String(view), QLatin1String(b)), 0);
      k.emplace_back(ToolKey(QLatin1String(view), QStringLiteral("Reticule")), 0);
    }
    for (const char* view : {"Referentiel", "Vecteur"}) {
      for (const char* b : kObjectButtons)
        k.emplace_back(ToolKey(QLatin1String(view), QLatin1String(b)), 0);
      if (QLatin1String(view) == QLatin1String("Vecteur"))
        for (const char* b : {"Sens", "Vecteur", "Video"})
          k.emplace_back(ToolKey(QLatin1String(view), QLatin1String(b)), 0);
    }
    return k;
  }();
  return keys;
}

}  // namespace

TOptions::TOptions() {
  for (const auto& [key, def] : AllKeys()) values_[key] = def;
}

QStringList TOptions::Keys() {
  QStringList r;
  for (const auto& kv : AllKeys()) r << kv.first;
  return r;
}

bool TOptions::IsKnownKey(const QString& key) const {
  return values_.count(key) > 0;
}

int TOptions::Int(const QString& key) const {
  const auto it = values_.find(key);
  return it == values_.end() ? 0 : it->second;
}

void TOptions::SetInt(const QString& key, int value) {
  const auto it = values_.find(key);
  if (it != values_.end()) it->second = value;
}

void TOptions::LoadFrom(const TIniFile& ini) {
  for (const auto& [key, def] : AllKeys()) values_[key] = ini.ReadInteger(kSection, key, def);
  Password = ini.ReadString(kSection, QStringLiteral("Password"), QString());
  PasswordSet = !Password.isEmpty();
}

void TOptions::Load(const QString& settingsFile) {
  TIniFile ini;
  if (!settingsFile.isEmpty()) ini.LoadFromFile(settingsFile);  // unreadable: the defaults
  LoadFrom(ini);
}

void TOptions::SaveTo(TIniFile& ini) const {
  for (const auto& kv : AllKeys()) {
    const bool boolean =
        kv.first.endsWith(QLatin1String("_Checked")) || kv.first.endsWith(QLatin1String("_Down"));
    ini.WriteInteger(kSection, kv.first, boolean ? (Bool(kv.first) ? 1 : 0) : Int(kv.first));
  }
  ini.WriteString(kSection, QStringLiteral("Password"), Password);
}

bool TOptions::SaveSettings(const QString& settingsFile) const {
  if (settingsFile.isEmpty()) return false;
  // Other sections of the file belong to other parts of the program: keep them.
  TIniFile ini;
  ini.LoadFromFile(settingsFile);
  SaveTo(ini);
  return ini.SaveToFile(settingsFile);
}

bool TOptions::SinusAeHidden(const QString& view) const {
  const auto it = unkeyed_.find(view + QStringLiteral("ModeleSinusAe"));
  return it != unkeyed_.end() && it->second;
}

void TOptions::SetSinusAeHidden(const QString& view, bool hidden) {
  unkeyed_[view + QStringLiteral("ModeleSinusAe")] = hidden;
}

void TOptions::SetFitAdjustOwnHidden(const QString& view, bool hidden) {
  unkeyed_[view + QStringLiteral("ModifierModele")] = hidden;
}

bool TOptions::FitAdjustHidden(const QString& view) const {
  const auto own = unkeyed_.find(view + QStringLiteral("ModifierModele"));
  if (own != unkeyed_.end() && own->second) return true;
  if (!SinusAeHidden(view)) return false;
  for (const char* b : kModelButtons)
    if (!Bool(ToolKey(view, QLatin1String(b)))) return false;
  return true;
}

bool TOptions::CurveArcHidden(const QString& view) const {
  if (Bool(ToolKey(view, QStringLiteral("CurveArc")))) return true;
  for (const char* b : {"Arc", "Cercle", "Ellipse"})
    if (!Bool(ToolKey(view, QLatin1String(b)))) return false;
  return true;
}

bool TOptions::CheckAccess(const TPrompt& prompt) const {
  if (!PasswordSet) return true;
  QString typed;
  if (!prompt || !prompt(typed)) return false;
  if (typed == Password) return true;
  TMessage(icWarning)
      .AddButton(QStringLiteral("Ok"), btOk)
      .AddParagraph(QStringLiteral("Nesprávné heslo."))
      .Execute();
  return false;
}

bool TOptions::AskNewPassword(const TPrompt& prompt) {
  QString typed;
  if (!prompt || !prompt(typed) || typed.isEmpty()) return false;
  Password = typed;
  return true;
}

bool PasswordCharAccepted(QChar c, int currentLength) {
  if (currentLength > 20) return false;
  const char16_t u = c.unicode();
  return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9');
}

}  // namespace mlb
