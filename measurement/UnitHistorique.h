// Undo history of the measurement objects.
//
// Every change to a measurement object is recorded before it happens as a
// snapshot of the object. Snapshots are grouped into steps; one undo restores
// or removes everything recorded in the most recent step.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>

#include <QString>

namespace mlb {

// Object kinds of the undoable objects.
enum THistKind : std::uint8_t {
  hkNone = 0,
  hkEchelle = 1,
  hkMarqueRep = 2,
  hkMarqueTsp = 3,
  hkOrigine = 4,
  hkPolyMarqueImgRep = 5,
  hkPolyMarqueImgTsp = 6,
  hkRepereFixe = 7,
  hkTransparent = 8,
};

// Action codes of the snapshots. 2..5 record a creation, 13..16 a removal,
// every other code a change of state.
enum THistAction : std::uint8_t {
  haNone = 0,               // removal of one order number inside a marks-per-frame change
  haPlaceOrigin = 1,        // placing the fixed origin
  haCreateMarkAt = 2,       // a mark created by SetMarkAt (tracking import)
  haPlaceMark = 3,          // a mark placed by a click
  haAddOrigin = 4,          // an overlay origin added by AddOrigin
  haDropOrigin = 5,         // a new overlay origin created by a drop
  haDefineScale = 6,        // the first point of a scale
  haResizeLayer = 7,        // resizing the overlay
  haMove = 8,               // moving a mark, the fixed origin or a whole scale segment
  haErase = 9,              // removing the fixed origin or the second point of a scale
  haDirection = 10,         // inverting an axis direction
  haChange = 11,            // moving a scale end point; changing the marks per frame
  haRotate = 12,            // turning the fixed axes
  haDeleteMark = 13,        // a mark deleted (erase tool, clearing a frame or all marks)
  haRemoveLastMark = 14,    // a mark removed by the right button
  haRemoveOrigin = 15,      // an overlay origin removed with its frame's mark or by erasing all
  haRemoveLastOrigin = 16,  // the last overlay origin removed by the right button
};

inline bool IsCreationAction(int a) {
  return a >= 2 && a <= 5;
}
inline bool IsRemovalAction(int a) {
  return a >= 13 && a <= 16;
}

// Base of every undoable measurement object.
class THistObject {
 public:
  THistObject();
  virtual ~THistObject() = default;
  THistObject(const THistObject&) = delete;
  THistObject& operator=(const THistObject&) = delete;

  int Group = 0;       // undo step of a snapshot
  int Id;              // per-run object id, first value 1; a snapshot carries its object's id
  int ListIndex = -1;  // position in the owner's list when last registered
  std::uint8_t Action = 0;
  std::uint8_t Kind = hkNone;

  // The base copies action, kind and list index.
  virtual void Assign(const THistObject& source);
  virtual bool SameAs(const THistObject& other) const;
};

// What a history needs from the owner of the objects it records.
class THistOwner {
 public:
  virtual ~THistOwner() = default;
  // A new unbound object of the kind of `object`, bound like it, or null for
  // kinds that are not recorded.
  virtual std::unique_ptr<THistObject> MakeSnapshot(const THistObject& object) = 0;
  virtual THistObject* FindById(int id) = 0;
  // Undo of a creation or of a change on the live object.
  virtual void ApplyUndo(THistObject& live, int action) = 0;
  // Undo of a removal: the snapshot itself goes back into the model (or is
  // freed when the model refuses it).
  virtual void ApplyUndoRemoval(std::unique_ptr<THistObject> snapshot, int action) = 0;
};

class THistorique {
 public:
  static constexpr std::size_t kMaxEntries = 65536;

  explicit THistorique(THistOwner& owner) : owner_(owner) {}

  void BeginGroup();
  void EndGroup();
  void Suspend() { suspended_ = true; }
  void Resume() { suspended_ = false; }
  void Clear();
  void Record(const THistObject* object, int action);
  void Undo();
  QString UndoCaption();

  std::size_t Count() const { return entries_.size(); }
  const THistObject& Entry(std::size_t i) const { return *entries_[i]; }
  bool IsSuspended() const { return suspended_; }

 private:
  void Prune();

  THistOwner& owner_;
  int groupCounter_ = 0;
  int depth_ = 0;
  bool grouping_ = false;
  bool suspended_ = false;
  std::deque<std::unique_ptr<THistObject>> entries_;  // oldest first
};

// Caption words of the undo menu item.
QString HistActionWord(int action);
QString HistKindWord(int kind);

}  // namespace mlb
