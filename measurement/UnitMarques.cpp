#include "measurement/UnitMarques.h"

#include <algorithm>
#include <climits>
#include <numeric>

#include "common/UnitMessageBox.h"
#include "common/UnitPalette.h"
#include "common/UnitText.h"
#include "measurement/UnitData.h"
#include "measurement/UnitRepere.h"

namespace mlb {

QString DefaultPointName(int orderNumber) {
  return QStringLiteral("bodu číslo") + QString::number(orderNumber + 1);
}

// ---------------------------------------------------------------- TMarque

TMarque::TMarque(TRepere* repere, TPolyContainer* store) : repere_(repere), store_(store) {}

void TMarque::Assign(const THistObject& source) {
  THistObject::Assign(source);
  if (auto* m = dynamic_cast<const TMarque*>(&source)) {
    MarkOrderNumber = m->MarkOrderNumber;
    imagePos_ = m->GetImagePosition();
    relativePos_ = m->GetRelativePosition();
  }
}

bool TMarque::SameAs(const THistObject& other) const {
  auto* m = dynamic_cast<const TMarque*>(&other);
  return m && SamePoint(GetImagePosition(), m->GetImagePosition()) &&
         SamePoint(GetRelativePosition(), m->GetRelativePosition());
}

void TMarque::SetRelativePosition(TPointD p) {
  const bool changed = !SamePoint(p, relativePos_);
  relativePos_ = p;
  if (changed && store_ && store_->Data()) store_->Data()->InvalidateCurrent();
}

void TMarque::SetImagePosition(TPointD p) {
  const bool changed = !SamePoint(p, imagePos_);
  imagePos_ = p;
  if (changed && store_ && store_->Data()) store_->Data()->InvalidateCurrent();
}

void TMarque::RefreshScreenPoint() {
  if (store_ && store_->Data() && store_->Data()->View())
    screen_ = store_->Data()->View()->NormalizedToScreen(GetImagePosition());
}

int TMarque::FrameNumber() const {
  return container_ ? container_->MarksContainerFrameNumber : savedFrame_;
}

TPointD TMarqueRep::GetRelativePosition() const {
  return imagePos_ - (repere_ ? repere_->CurrentOrigin() : TPointD{});
}

void TMarqueRep::SetRelativePosition(TPointD p) {
  SetImagePosition(p + (repere_ ? repere_->CurrentOrigin() : TPointD{}));
}

TPointD TMarqueTsp::GetImagePosition() const {
  return relativePos_ + (repere_ ? repere_->CurrentOrigin() : TPointD{});
}

void TMarqueTsp::SetImagePosition(TPointD p) {
  SetRelativePosition(p - (repere_ ? repere_->CurrentOrigin() : TPointD{}));
}

// ---------------------------------------------------------------- TContainer

TContainer::TContainer(TRepere* repere, TPolyContainer* store, int frame)
    : MarksContainerFrameNumber(frame), repere_(repere), store_(store) {}

void TContainer::Assign(const THistObject& source) {
  THistObject::Assign(source);
  if (auto* c = dynamic_cast<const TContainer*>(&source)) {
    MarksContainerFrameNumber = c->MarksContainerFrameNumber;
    markNumber_ = c->MarksContainerMarkNumber();
    AssignMarks(*c);
  }
}

// Deep copy: marks are reused or created by index, registered with the store
// and given their screen point.
void TContainer::AssignMarks(const TContainer& c) {
  if (!store_) return;
  marks_.resize(std::min(marks_.size(), c.marks_.size()));
  for (std::size_t i = 0; i < c.marks_.size(); ++i) {
    if (i == marks_.size()) {
      marks_.push_back(store_->NewMark());
      marks_.back()->container_ = this;
    }
    TMarque& m = *marks_[i];
    m.Assign(*c.marks_[i]);
    store_->Register(&m);
    m.RefreshScreenPoint();
  }
}

bool TContainer::SameAs(const THistObject& other) const {
  auto* c = dynamic_cast<const TContainer*>(&other);
  if (!c || MarksContainerFrameNumber != c->MarksContainerFrameNumber ||
      MarksContainerMarkNumber() != c->MarksContainerMarkNumber() ||
      marks_.size() != c->marks_.size())
    return false;
  for (std::size_t i = 0; i < marks_.size(); ++i)
    if (!marks_[i]->SameAs(*c->marks_[i])) return false;
  return true;
}

int TContainer::MarksContainerMarkNumber() const {
  if (store_) store_->EnsureNumbered();
  return markNumber_;
}

TMarque* TContainer::FindOrder(int k) const {
  for (const auto& m : marks_)
    if (m->MarkOrderNumber == k) return m.get();
  return nullptr;
}

bool TContainer::Holds(const TMarque* m) const {
  return std::any_of(marks_.begin(), marks_.end(), [m](const auto& p) { return p.get() == m; });
}

void TContainer::Append(std::unique_ptr<TMarque> m) {
  m->container_ = this;
  marks_.push_back(std::move(m));
}

std::unique_ptr<TMarque> TContainer::Take(TMarque* m) {
  for (auto it = marks_.begin(); it != marks_.end(); ++it)
    if (it->get() == m) {
      std::unique_ptr<TMarque> owned = std::move(*it);
      marks_.erase(it);
      return owned;
    }
  return nullptr;
}

// ---------------------------------------------------------------- TPolyContainer

TPolyContainer::TPolyContainer(TData* data, TRepere* repere) : data_(data), repere_(repere) {
  allMarks_.reserve(1024);
  containers_.reserve(1024);
  DefaultNames();
}

TPolyContainer::~TPolyContainer() = default;

void TPolyContainer::DefaultNames() {
  Names.clear();
  for (int i = 0; i < marksPerFrame_; ++i) Names << DefaultPointName(i);
}

void TPolyContainer::Assign(const THistObject& source) {
  THistObject::Assign(source);
  auto* s = dynamic_cast<const TPolyContainer*>(&source);
  if (!s) return;
  MarksIsAllDrawn = s->MarksIsAllDrawn;
  marksPerFrame_ = s->marksPerFrame_;
  MarksNumberToDraw = s->MarksNumberToDraw;
  currentOrder_ = s->currentOrder_;
  MarksNumberPosition = s->MarksNumberPosition;
  Names = s->Names;
  allMarks_.clear();
  markById_.clear();
  AssignContainers(*s);
}

bool TPolyContainer::SameAs(const THistObject& other) const {
  auto* s = dynamic_cast<const TPolyContainer*>(&other);
  if (!s || MarksIsAllDrawn != s->MarksIsAllDrawn || marksPerFrame_ != s->marksPerFrame_ ||
      MarksNumberToDraw != s->MarksNumberToDraw || currentOrder_ != s->currentOrder_ ||
      MarksNumberPosition != s->MarksNumberPosition || Names != s->Names ||
      allMarks_.size() != s->allMarks_.size() || containers_.size() != s->containers_.size())
    return false;
  for (std::size_t i = 0; i < allMarks_.size(); ++i)
    if (!allMarks_[i]->SameAs(*s->allMarks_[i])) return false;
  for (std::size_t i = 0; i < containers_.size(); ++i)
    if (!containers_[i]->SameAs(*s->containers_[i])) return false;
  return true;
}

void TPolyContainer::AssignContainers(const TPolyContainer& src) {
  containers_.resize(std::min(containers_.size(), src.containers_.size()));
  for (std::size_t i = 0; i < src.containers_.size(); ++i) {
    if (i == containers_.size())
      containers_.push_back(NewContainer(src.containers_[i]->MarksContainerFrameNumber));
    containers_[i]->Assign(*src.containers_[i]);
  }
  ReindexContainers();
  Renumber();
}

void TPolyContainer::ReindexContainers() {
  containerByFrame_.clear();
  for (const auto& c : containers_)
    containerByFrame_.try_emplace(c->MarksContainerFrameNumber, c.get());
}

TContainer* TPolyContainer::FindContainer(int frame) const {
  const auto it = containerByFrame_.find(frame);
  return it == containerByFrame_.end() ? nullptr : it->second;
}

TContainer* TPolyContainer::FindOrCreateContainer(int frame) {
  if (TContainer* c = FindContainer(frame)) return c;
  containers_.push_back(NewContainer(frame));
  TContainer* c = containers_.back().get();
  containerByFrame_.emplace(frame, c);
  Renumber();
  return c;
}

TMarque* TPolyContainer::FindMarkById(int id) const {
  const auto it = markById_.find(id);
  return it == markById_.end() ? nullptr : it->second;
}

void TPolyContainer::Register(TMarque* m) {
  const int n = static_cast<int>(allMarks_.size());
  if (m->ListIndex >= 0 && m->ListIndex < n) {
    allMarks_.insert(allMarks_.begin() + m->ListIndex, m);
  } else {
    m->ListIndex = n;
    allMarks_.push_back(m);
  }
  markById_[m->Id] = m;
  if (data_) {
    data_->InvalidateCurrent();
    data_->Raise(data_->OnMarksChange);
  }
}

void TPolyContainer::Unregister(TMarque* m) {
  // Marks leave mostly from the end of the list: search backwards.
  const auto rit = std::find(allMarks_.rbegin(), allMarks_.rend(), m);
  if (rit == allMarks_.rend()) return;
  const auto it = std::next(rit).base();
  m->ListIndex = static_cast<int>(it - allMarks_.begin());
  allMarks_.erase(it);
  markById_.erase(m->Id);
  if (data_) {
    data_->InvalidateCurrent();
    data_->Raise(data_->OnMarksChange);
  }
}

void TPolyContainer::EnsureNumbered() const {
  if (!numbersStale_) return;
  numbersStale_ = false;
  const int emptyKey =
      (data_ && data_->View()) ? data_->View()->FrameCount() + 1 : std::numeric_limits<int>::max();
  std::vector<std::pair<int, TContainer*>> order;
  order.reserve(containers_.size());
  for (const auto& c : containers_)
    order.emplace_back(c->MarkCount() > 0 ? c->MarksContainerFrameNumber : emptyKey, c.get());
  std::stable_sort(order.begin(), order.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (std::size_t r = 0; r < order.size(); ++r) order[r].second->markNumber_ = static_cast<int>(r);
}

void TPolyContainer::GoToNext() {
  if (!data_ || !data_->View()) return;
  TMeasureView& view = *data_->View();
  view.GoToLogicalFrame(view.LogicalFrame() + data_->FramesNumberBetweenTwoMarks);
}

// Steps shared by both stores: the container of the current frame (created
// when missing), the duplicate check, then a new registered and recorded mark.
TMarque* TPolyContainer::NewMarkOnCurrentFrame(TPoint screen) {
  if (!data_ || !data_->View()) return nullptr;
  TMeasureView& view = *data_->View();
  TContainer* c = FindOrCreateContainer(view.PhysicalFrame());
  const int k = currentOrder_;
  if (c->FindOrder(k)) {
    TMessage(icInformation)
        .AddButton(QStringLiteral("Ok"), btOk)
        .AddParagraph(QStringLiteral("Podobná značka již na tomto obrázku existuje."))
        .Execute();
    return nullptr;
  }
  std::unique_ptr<TMarque> owned = NewMark();
  TMarque* m = owned.get();
  Register(m);
  m->SetImagePosition(view.ScreenToNormalized(screen));
  m->RefreshScreenPoint();
  m->MarkOrderNumber = k;
  c->Append(std::move(owned));
  data_->Record(m, haPlaceMark);
  Renumber();
  return m;
}

bool TPolyContainer::PlaceMark(TPoint screen) {
  TMarque* m = NewMarkOnCurrentFrame(screen);
  if (!m) return false;
  const int k = m->MarkOrderNumber;
  if (k + 1 == marksPerFrame_) GoToNext();
  SetCurrentMarkOrderNumber(k + 1);
  return true;
}

TContainer* TPolyContainer::AppendLoadedContainer(int frame, int markNumber) {
  containers_.push_back(NewContainer(frame));
  TContainer* c = containers_.back().get();
  c->markNumber_ = markNumber;
  containerByFrame_.try_emplace(frame, c);
  return c;
}

void TPolyContainer::AppendLoadedMark(TContainer* c, int orderNumber, TPointD storedPosition) {
  std::unique_ptr<TMarque> owned = NewMark();
  TMarque* m = owned.get();
  m->MarkOrderNumber = orderNumber;
  m->SetStoredPosition(storedPosition);
  c->Append(std::move(owned));
  Register(m);
  m->RefreshScreenPoint();
}

void TPolyContainer::ResetSettings() {
  MarksIsAllDrawn = true;
  Dragging = false;
  RubberBand = false;
  marksPerFrame_ = 1;
  MarksNumberToDraw = 1;
  currentOrder_ = 0;
  DragIndex = -1;
  RubberBandRect = {};
  MarksNumberPosition = 1;
}

void TPolyContainer::SetMarkAt(int k, int frame, TPointD p) {
  TContainer* c = FindOrCreateContainer(frame);
  if (TMarque* m = c->FindOrder(k)) {
    if (data_) data_->Record(m, haMove);
    m->SetImagePosition(p);
    m->RefreshScreenPoint();
    return;
  }
  std::unique_ptr<TMarque> owned = NewMark();
  TMarque* m = owned.get();
  Register(m);
  m->MarkOrderNumber = k;
  c->Append(std::move(owned));
  m->SetImagePosition(p);
  m->RefreshScreenPoint();
  if (data_) data_->Record(m, haCreateMarkAt);
}

bool TPolyContainer::RemoveLastMark() {
  if (allMarks_.empty()) return false;
  return RemoveMark(allMarks_.back(), haRemoveLastMark);
}

bool TPolyContainer::RemoveMark(TMarque* m, int action) {
  if (!m || !m->container_) return false;
  TContainer* c = m->container_;
  const int k = std::max(0, std::min(m->MarkOrderNumber, marksPerFrame_ - 1));
  Unregister(m);
  if (data_) data_->Record(m, action);
  std::unique_ptr<TMarque> gone = c->Take(m);
  gone.reset();
  Renumber();
  if (action == haRemoveLastMark) {
    if (data_ && data_->View()) data_->View()->GoToPhysicalFrame(c->MarksContainerFrameNumber);
    SetCurrentMarkOrderNumber(c->MarkCount() > 0 ? k : 0);
  }
  return true;
}

bool TPolyContainer::InsertMark(std::unique_ptr<TMarque> m, int action) {
  if (!m) return false;
  // The container is looked up by the mark's frame: the one the mark left may
  // have been replaced since by the restore of a whole store.
  TContainer* c = FindOrCreateContainer(m->FrameNumber());
  if (c->FindOrder(m->MarkOrderNumber) || c->Holds(m.get())) return false;
  TMarque* raw = m.get();
  raw->store_ = this;
  raw->repere_ = repere_;
  c->Append(std::move(m));
  raw->RefreshScreenPoint();
  Register(raw);
  Renumber();
  if (action == haPlaceMark) {
    if (data_ && data_->View()) {
      data_->View()->GoToPhysicalFrame(c->MarksContainerFrameNumber);
      if (raw->MarkOrderNumber + 1 == marksPerFrame_) GoToNext();
    }
    SetCurrentMarkOrderNumber(raw->MarkOrderNumber + 1);
  }
  return true;
}

int TPolyContainer::ClearFrame(int frame) {
  TContainer* c = FindContainer(frame);
  if (!c) return 0;
  int removed = 0;
  while (c->MarkCount() > 0) {
    TMarque* last = c->Marks().back().get();
    if (!RemoveMark(last, haDeleteMark)) break;
    ++removed;
  }
  if (removed > 0) Renumber();
  return removed;
}

void TPolyContainer::RemoveMarkOrder(int k) {
  // Collected first: removing while walking the containers is safe either way,
  // but this keeps the order of removal obvious.
  std::vector<TMarque*> doomed;
  for (const auto& c : containers_)
    if (TMarque* m = c->FindOrder(k)) doomed.push_back(m);
  for (TMarque* m : doomed) RemoveMark(m, haNone);
}

void TPolyContainer::SetMarksNumberPerFrame(int n) {
  n = std::max(0, n);
  if (n != marksPerFrame_ && data_) data_->InvalidateCurrent();
  marksPerFrame_ = n;
}

void TPolyContainer::SetCurrentMarkOrderNumber(int k) {
  if (k == -1)
    currentOrder_ = marksPerFrame_ - 1;
  else if (k >= marksPerFrame_ || k < 0)
    currentOrder_ = 0;
  else
    currentOrder_ = k;
  if (data_) data_->RefreshCursor();
}

void TPolyContainer::ClearMarks() {
  for (const auto& c : containers_) c->marks_.clear();
  allMarks_.clear();
  allMarks_.shrink_to_fit();
  allMarks_.reserve(1024);
  containers_.clear();
  containers_.shrink_to_fit();
  containers_.reserve(1024);
  containerByFrame_.clear();
  markById_.clear();
  numbersStale_ = false;
}

void TPolyContainer::Clear() {
  ClearMarks();
  DefaultNames();
  if (data_) {
    data_->InvalidateCurrent();
    data_->Raise(data_->OnMarksChange);
  }
}

bool TPolyContainer::HasDefaultName() const {
  for (int i = 0; i < std::min<int>(marksPerFrame_, Names.size()); ++i)
    if (SameText(Names[i], DefaultPointName(i))) return true;
  return false;
}

int TPolyContainer::MinMarksPerOrder() const {
  if (marksPerFrame_ <= 0) return INT_MAX;
  std::vector<int> counts(static_cast<std::size_t>(marksPerFrame_), 0);
  for (const TMarque* m : allMarks_)
    if (m->MarkOrderNumber >= 0 && m->MarkOrderNumber < marksPerFrame_)
      ++counts[static_cast<std::size_t>(m->MarkOrderNumber)];
  return *std::min_element(counts.begin(), counts.end());
}

int TPolyContainer::LastPointedFrame() const {
  return containers_.empty() ? 0 : containers_.back()->MarksContainerFrameNumber;
}

TMarkMatrices TPolyContainer::GetMarkMatrices() const {
  struct Column {
    int timeIndex;
    const TContainer* c;
  };
  std::vector<Column> cols;
  cols.reserve(containers_.size());
  for (const auto& c : containers_) {
    if (c->MarkCount() == 0) continue;
    const int f = c->MarksContainerFrameNumber;
    const int shift = (data_ && data_->View()) ? data_->View()->TimeShift(f) : 0;
    cols.push_back({f + shift, c.get()});
  }
  std::stable_sort(cols.begin(), cols.end(),
                   [](const Column& a, const Column& b) { return a.timeIndex < b.timeIndex; });
  const std::size_t S = cols.size();
  const std::size_t N = static_cast<std::size_t>(std::max(0, marksPerFrame_));
  TMarkMatrices r;
  r.times.resize(S);
  r.frameIndex.assign(N, TIntegerDynArray(S, -1));
  r.X.assign(N, TDoubleDynArray(S, 0.0));
  r.negY.assign(N, TDoubleDynArray(S, 0.0));
  if (S == 0) return r;
  const int first = cols.front().timeIndex;
  const double period = data_ ? data_->RequiredDuration() : 0.0;
  for (std::size_t j = 0; j < S; ++j) {
    const int rel = cols[j].timeIndex - first;
    r.times[j] = rel * period;
    for (const auto& m : cols[j].c->Marks()) {
      const int k = m->MarkOrderNumber;
      if (k < 0 || static_cast<std::size_t>(k) >= N) continue;
      const TPointD p = m->GetRelativePosition();
      r.frameIndex[static_cast<std::size_t>(k)][j] = rel;
      r.X[static_cast<std::size_t>(k)][j] = p.x;
      r.negY[static_cast<std::size_t>(k)][j] = -p.y;
    }
  }
  return r;
}

void TPolyContainer::RefreshScreenPositions() {
  for (TMarque* m : allMarks_) m->RefreshScreenPoint();
}

// ---------------------------------------------------------------- fixed store

TPolyMarqueImgRep::TPolyMarqueImgRep(TData* data, TRepereFixe* repere)
    : TPolyContainer(data, repere) {
  Kind = hkPolyMarqueImgRep;
}

std::unique_ptr<TContainer> TPolyMarqueImgRep::NewContainer(int frame) {
  return std::make_unique<TMarqueImgRep>(repere_, this, frame);
}

std::unique_ptr<TMarque> TPolyMarqueImgRep::NewMark() {
  return std::make_unique<TMarqueRep>(repere_, this);
}

void TPolyMarqueImgRep::SetMarksNumberPerFrame(int n) {
  n = std::max(0, n);
  const int old = marksPerFrame_;
  TPolyContainer::SetMarksNumberPerFrame(n);
  if (n > old && data_) {
    TColorDynArray& colors = data_->MarkColorsRef();
    colors.resize(static_cast<std::size_t>(n));
    for (int i = std::max(0, old); i < n; ++i) {
      colors[static_cast<std::size_t>(i)] = PaletteColor(i);
      Names << DefaultPointName(i);
    }
  } else if (n > old) {
    for (int i = std::max(0, old); i < n; ++i) Names << DefaultPointName(i);
  }
  if (n < old) {
    for (int f = old - 1; f >= n; --f) RemoveMarkOrder(f);
    for (int f = old - 1; f >= n; --f)
      if (f < Names.size()) Names.removeAt(f);
    Renumber();
    SetCurrentMarkOrderNumber(currentOrder_);
  }
  if (n != old && data_) data_->Raise(data_->OnMarksPerFrameChange);
}

// ---------------------------------------------------------------- transparent store

TPolyMarqueImgTsp::TPolyMarqueImgTsp(TData* data, TTransparent* repere)
    : TPolyContainer(data, repere) {
  Kind = hkPolyMarqueImgTsp;
  Names << DefaultPointName(1);
}

TTransparent* TPolyMarqueImgTsp::Layer() const {
  return static_cast<TTransparent*>(repere_);
}

std::unique_ptr<TContainer> TPolyMarqueImgTsp::NewContainer(int frame) {
  return std::make_unique<TMarqueImgTsp>(repere_, this, frame);
}

std::unique_ptr<TMarque> TPolyMarqueImgTsp::NewMark() {
  return std::make_unique<TMarqueTsp>(repere_, this);
}

bool TPolyMarqueImgTsp::InsertMark(std::unique_ptr<TMarque> m, int action) {
  if (!TPolyContainer::InsertMark(std::move(m), action)) return false;
  if (action == haPlaceMark) Layer()->StageForward();
  return true;
}

bool TPolyMarqueImgTsp::RemoveMark(TMarque* m, int action) {
  if (!TPolyContainer::RemoveMark(m, action)) return false;
  if (action == haRemoveLastMark) Layer()->StageBackward();
  return true;
}

void TPolyMarqueImgTsp::Clear() {
  TPolyContainer::Clear();
  Names << DefaultPointName(1);
}

bool TPolyMarqueImgTsp::HasDefaultName() const {
  return Names.size() >= 2 && SameText(Names[0], DefaultPointName(0)) &&
         SameText(Names[1], DefaultPointName(1));
}

void TPolyMarqueImgTsp::SetMarksNumberPerFrame(int) {
  TPolyContainer::SetMarksNumberPerFrame(1);
}

void TPolyMarqueImgTsp::SetCurrentMarkOrderNumber(int) {
  currentOrder_ = 0;
  if (data_) data_->RefreshCursor();
}

bool TPolyMarqueImgTsp::PlaceMark(TPoint screen) {
  if (!NewMarkOnCurrentFrame(screen)) return false;
  // The overlay origin dropped for this mark takes the frame (when there is one).
  Layer()->SetLastOriginFrame(data_->View()->PhysicalFrame());
  GoToNext();
  Layer()->StageForward();
  return true;
}

}  // namespace mlb
