// Marks, the per-frame containers of marks and the two mark stores.
#pragma once

#include <memory>
#include <unordered_map>
#include <vector>

#include <QString>
#include <QStringList>

#include "common/UnitTypes.h"
#include "measurement/UnitHistorique.h"

namespace mlb {

class TData;
class TRepere;
class TRepereFixe;
class TTransparent;
class TContainer;
class TPolyContainer;

// The resource text of default point names: "bodu číslo" + 1-based number.
QString DefaultPointName(int orderNumber);

// Base of both mark classes.
class TMarque : public THistObject {
 public:
  TMarque(TRepere* repere, TPolyContainer* store);

  int MarkOrderNumber = 0;

  void Assign(const THistObject& source) override;
  bool SameAs(const THistObject& other) const override;

  virtual TPointD GetRelativePosition() const { return relativePos_; }
  virtual TPointD GetImagePosition() const { return imagePos_; }
  virtual void SetRelativePosition(TPointD p);
  virtual void SetImagePosition(TPointD p);
  // The position a project file holds: the image position of a fixed-frame
  // mark, the relative position of a transparent mark.
  virtual TPointD StoredPosition() const = 0;
  virtual void SetStoredPosition(TPointD p) = 0;

  TPoint ScreenPoint() const { return screen_; }
  void RefreshScreenPoint();
  TContainer* Container() const { return container_; }
  TPolyContainer* Store() const { return store_; }
  TRepere* Repere() const { return repere_; }
  // Frame of the mark: its container's frame, or for an undo snapshot the
  // frame its container had when the snapshot was taken.
  int FrameNumber() const;
  // Gives an undo snapshot the frame of the mark it copies.
  void SetSnapshotFrame(int frame) { savedFrame_ = frame; }

 protected:
  friend class TContainer;
  friend class TPolyContainer;

  TPoint screen_;
  TPointD imagePos_;
  TPointD relativePos_;
  TRepere* repere_;
  TContainer* container_ = nullptr;
  TPolyContainer* store_;
  int savedFrame_ = -1;
};

// Fixed-frame mark: the image position is the stored truth.
class TMarqueRep : public TMarque {
 public:
  TMarqueRep(TRepere* repere, TPolyContainer* store) : TMarque(repere, store) {
    Kind = hkMarqueRep;
  }
  TPointD GetRelativePosition() const override;
  void SetRelativePosition(TPointD p) override;
  TPointD StoredPosition() const override { return imagePos_; }
  void SetStoredPosition(TPointD p) override { imagePos_ = p; }
};

// Transparent-frame mark: the position relative to the overlay's origin is
// the stored truth, so the mark moves with the overlay.
class TMarqueTsp : public TMarque {
 public:
  TMarqueTsp(TRepere* repere, TPolyContainer* store) : TMarque(repere, store) {
    Kind = hkMarqueTsp;
  }
  TPointD GetImagePosition() const override;
  void SetImagePosition(TPointD p) override;
  TPointD StoredPosition() const override { return relativePos_; }
  void SetStoredPosition(TPointD p) override { relativePos_ = p; }
};

// The marks of one frame.
class TContainer : public THistObject {
 public:
  TContainer(TRepere* repere, TPolyContainer* store, int frame);

  int MarksContainerFrameNumber;

  void Assign(const THistObject& source) override;
  bool SameAs(const THistObject& other) const override;

  // Rank of this frame among the pointed frames of its store.
  int MarksContainerMarkNumber() const;
  const std::vector<std::unique_ptr<TMarque>>& Marks() const { return marks_; }
  int MarkCount() const { return static_cast<int>(marks_.size()); }
  TMarque* FindOrder(int k) const;
  bool Holds(const TMarque* m) const;

 protected:
  friend class TPolyContainer;
  void Append(std::unique_ptr<TMarque> m);
  void AssignMarks(const TContainer& c);
  // Takes the mark out of the list; the caller destroys it.
  std::unique_ptr<TMarque> Take(TMarque* m);

  std::vector<std::unique_ptr<TMarque>> marks_;
  TRepere* repere_;
  TPolyContainer* store_;
  int markNumber_ = 0;
};

class TMarqueImgRep : public TContainer {
 public:
  using TContainer::TContainer;
};

class TMarqueImgTsp : public TContainer {
 public:
  using TContainer::TContainer;
};

// What GetMarkMatrices exports: S pointed frames, N order numbers.
struct TMarkMatrices {
  TDoubleDynArray times;  // S, seconds from the first pointed frame
  TMatriceI frameIndex;   // N x S, frames from the first, -1 where no mark
  TMatriceD negY;         // N x S, minus the relative y (y up), normalized
  TMatriceD X;            // N x S, relative x, normalized
};

// A whole mark store.
class TPolyContainer : public THistObject {
 public:
  TPolyContainer(TData* data, TRepere* repere);
  ~TPolyContainer() override;

  bool MarksIsAllDrawn = true;
  bool Dragging = false;
  bool RubberBand = false;
  int MarksNumberToDraw = 1;
  int DragIndex = -1;
  TRect RubberBandRect;
  std::uint8_t MarksNumberPosition = 1;  // 0 nowhere, 1 below, 2 to the right
  QStringList Names;                     // "SystemName"

  void Assign(const THistObject& source) override;
  bool SameAs(const THistObject& other) const override;

  // Undo's re-insertion of a removed mark; false (the mark is freed) when refused.
  virtual bool InsertMark(std::unique_ptr<TMarque> m, int action);
  virtual void Clear();
  virtual bool HasDefaultName() const;
  virtual bool RemoveMark(TMarque* m, int action);
  int ClearFrame(int frame);
  void RemoveMarkOrder(int k);
  virtual void SetMarksNumberPerFrame(int n);
  virtual void SetCurrentMarkOrderNumber(int k);

  // The pointing settings back to their defaults (marks are kept).
  void ResetSettings();
  // Puts the mark of order k on frame f at image position p, moving the
  // existing one or creating it (tracking import).
  void SetMarkAt(int k, int frame, TPointD p);
  // Loading from a project: containers and marks in file order; the stored
  // container numbers stand until the next change.
  TContainer* AppendLoadedContainer(int frame, int markNumber);
  void AppendLoadedMark(TContainer* c, int orderNumber, TPointD storedPosition);
  // Places a mark of the current order number on the current frame.
  virtual bool PlaceMark(TPoint screen);
  bool RemoveLastMark();

  int MarksNumberPerFrame() const { return marksPerFrame_; }
  int CurrentMarkOrderNumber() const { return currentOrder_; }
  const std::vector<TMarque*>& AllMarks() const { return allMarks_; }
  int MarkCount() const { return static_cast<int>(allMarks_.size()); }
  const std::vector<std::unique_ptr<TContainer>>& Containers() const { return containers_; }
  TContainer* FindContainer(int frame) const;
  TContainer* FindOrCreateContainer(int frame);
  TMarque* FindMarkById(int id) const;
  int MinMarksPerOrder() const;
  int LastPointedFrame() const;
  TMarkMatrices GetMarkMatrices() const;
  TRepere* Repere() const { return repere_; }
  TData* Data() const { return data_; }
  void RefreshScreenPositions();

  // Containers are numbered lazily: a change marks the numbers stale and the
  // first read sorts the containers once.
  void Renumber() { numbersStale_ = true; }
  void EnsureNumbered() const;

  virtual std::unique_ptr<TContainer> NewContainer(int frame) = 0;
  virtual std::unique_ptr<TMarque> NewMark() = 0;

 protected:
  TMarque* NewMarkOnCurrentFrame(TPoint screen);
  void Register(TMarque* m);
  void Unregister(TMarque* m);
  void DefaultNames();
  // Deep copy of the containers of another store of the same class.
  void AssignContainers(const TPolyContainer& src);
  void ClearMarks();
  void ReindexContainers();
  void GoToNext();

  friend class TContainer;

  TData* data_;  // null for undo snapshots
  TRepere* repere_;
  int marksPerFrame_ = 1;
  int currentOrder_ = 0;
  std::vector<TMarque*> allMarks_;
  std::vector<std::unique_ptr<TContainer>> containers_;
  std::unordered_map<int, TContainer*> containerByFrame_;
  std::unordered_map<int, TMarque*> markById_;
  mutable bool numbersStale_ = false;
};

class TPolyMarqueImgRep : public TPolyContainer {
 public:
  TPolyMarqueImgRep(TData* data, TRepereFixe* repere);
  void SetMarksNumberPerFrame(int n) override;
  std::unique_ptr<TContainer> NewContainer(int frame) override;
  std::unique_ptr<TMarque> NewMark() override;
};

class TPolyMarqueImgTsp : public TPolyContainer {
 public:
  TPolyMarqueImgTsp(TData* data, TTransparent* repere);
  bool InsertMark(std::unique_ptr<TMarque> m, int action) override;
  void Clear() override;
  bool HasDefaultName() const override;
  bool RemoveMark(TMarque* m, int action) override;
  void SetMarksNumberPerFrame(int n) override;
  void SetCurrentMarkOrderNumber(int k) override;
  bool PlaceMark(TPoint screen) override;
  std::unique_ptr<TContainer> NewContainer(int frame) override;
  std::unique_ptr<TMarque> NewMark() override;

 private:
  TTransparent* Layer() const;
};

}  // namespace mlb
