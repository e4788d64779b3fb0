#include "measurement/UnitHistorique.h"

#include <typeinfo>

namespace mlb {

namespace {
int g_lastId = 0;
}

THistObject::THistObject() : Id(++g_lastId) {}

void THistObject::Assign(const THistObject& source) {
  Action = source.Action;
  Kind = source.Kind;
  ListIndex = source.ListIndex;
}

bool THistObject::SameAs(const THistObject&) const {
  return true;
}

void THistorique::BeginGroup() {
  if (grouping_)
    ++depth_;
  else {
    ++groupCounter_;
    grouping_ = true;
  }
}

void THistorique::EndGroup() {
  if (depth_ < 1)
    grouping_ = false;
  else
    --depth_;
}

void THistorique::Clear() {
  groupCounter_ = 0;
  depth_ = 0;
  grouping_ = false;
  entries_.clear();
}

void THistorique::Record(const THistObject* object, int action) {
  if (suspended_ || object == nullptr) return;
  std::unique_ptr<THistObject> snapshot = owner_.MakeSnapshot(*object);
  if (!snapshot) return;
  while (entries_.size() > kMaxEntries - 1) entries_.pop_front();
  snapshot->Assign(*object);
  snapshot->Id = object->Id;
  if (!grouping_) ++groupCounter_;
  snapshot->Group = groupCounter_;
  snapshot->Action = static_cast<std::uint8_t>(action);
  entries_.push_back(std::move(snapshot));
}

// Drops trailing snapshots that would undo nothing: changes whose live object
// is gone or already in the recorded state.
void THistorique::Prune() {
  while (!entries_.empty()) {
    const THistObject& e = *entries_.back();
    if (IsCreationAction(e.Action) || IsRemovalAction(e.Action)) return;
    THistObject* live = owner_.FindById(e.Id);
    if (live != nullptr && typeid(*live) == typeid(e) && !live->SameAs(e)) return;
    entries_.pop_back();
  }
}

void THistorique::Undo() {
  Prune();
  if (entries_.empty()) return;
  const int g = entries_.back()->Group;
  while (!entries_.empty() && entries_.back()->Group == g) {
    std::unique_ptr<THistObject> e = std::move(entries_.back());
    entries_.pop_back();
    const int a = e->Action;
    Suspend();
    if (IsCreationAction(a)) {
      if (THistObject* live = owner_.FindById(e->Id)) owner_.ApplyUndo(*live, a);
    } else if (IsRemovalAction(a)) {
      owner_.ApplyUndoRemoval(std::move(e), a);
    } else if (THistObject* live = owner_.FindById(e->Id)) {
      live->Assign(*e);
      owner_.ApplyUndo(*live, a);
    }
    Resume();
  }
}

QString THistorique::UndoCaption() {
  Prune();
  if (entries_.empty()) return QString();
  const THistObject& newest = *entries_.back();
  bool sameAction = true, sameKind = true;
  for (auto it = entries_.rbegin(); it != entries_.rend() && (*it)->Group == newest.Group; ++it) {
    if ((*it)->Action != newest.Action) sameAction = false;
    if ((*it)->Kind != newest.Kind) sameKind = false;
  }
  QString caption = QStringLiteral("Zrušit");
  if (sameAction) {
    const QString w = HistActionWord(newest.Action);
    if (!w.isEmpty()) caption += QLatin1Char(' ') + w;
  }
  if (sameKind) {
    const QString w = HistKindWord(newest.Kind);
    if (!w.isEmpty()) caption += QLatin1Char(' ') + w;
  }
  return caption;
}

QString HistActionWord(int action) {
  switch (action) {
    case 1:
      return QStringLiteral("Vybrat");
    case 2:
    case 3:
      return QStringLiteral("Umístit");
    case 4:
    case 5:
    case 8:
    case 15:
    case 16:
      return QStringLiteral("Přesunout");
    case 6:
      return QStringLiteral("Definovat");
    case 7:
      return QStringLiteral("Deformovat");
    case 9:
      return QStringLiteral("Smazat");
    case 10:
      return QStringLiteral("Změnit směr");
    case 11:
      return QStringLiteral("Změnit");
    case 12:
      return QStringLiteral("Otočit");
    case 13:
    case 14:
      return QStringLiteral("Odstranit");
    default:
      return QString();
  }
}

QString HistKindWord(int kind) {
  switch (kind) {
    case hkEchelle:
      return QStringLiteral("Měřítko");
    case hkMarqueRep:
    case hkMarqueTsp:
      return QStringLiteral("Značka");
    case hkOrigine:
    case hkTransparent:
      return QStringLiteral("Průsvitka");
    case hkRepereFixe:
      return QStringLiteral("Soustava souřadnic");
    default:
      return QString();
  }
}

}  // namespace mlb
