// The pointing input of the measurement data: mouse presses, moves and
// releases and keys from the video view, dispatched on the work mode and the
// active tool, and the cursor of the tool.
#include <algorithm>
#include <cstdlib>

#include "common/UnitPalette.h"
#include "measurement/UnitData.h"

namespace mlb {

namespace {

constexpr int kMarkHit = 3;  // half-width of a mark's hit square, pixels

// Index in the all-marks list of the first mark whose hit square holds p.
int HitMark(const TPolyContainer& store, TPoint p) {
  const auto& marks = store.AllMarks();
  for (std::size_t i = 0; i < marks.size(); ++i) {
    const TPoint s = marks[i]->ScreenPoint();
    if (std::abs(s.x - p.x) <= kMarkHit && std::abs(s.y - p.y) <= kMarkHit)
      return static_cast<int>(i);
  }
  return -1;
}

bool PointingMode(TModeVideo m) {
  return m == mvRepereFixe || m == mvTransparent;
}

}  // namespace

void TData::MouseDown(int button, TShiftState /*shift*/, int x, int y) {
  TPolyContainer& store = ActiveStore();
  if (store.Dragging || !view_) return;
  const TModeVideo mode = view_->WorkMode();
  if (!PointingMode(mode)) return;
  const TPoint p{x, y};
  const bool left = button == mbLeft, right = button == mbRight;
  switch (tool_) {
    case otEchelle:
      if (left) echelle_->LeftPress(p);
      if (right) echelle_->RightPress();
      break;
    case otMarque:
      if (mode != mvRepereFixe) break;
      if ((left && PlaceMark(p)) || (right && RemoveLastMark())) Repaint();
      break;
    case otOrigine:
      if (mode != mvRepereFixe) break;
      if (left) repereFixe_->LeftPress(p);
      if (right) repereFixe_->RemoveOriginPoint();
      break;
    case otDeplacer:
      if (left) MovePress(store, p);
      break;
    case otEffacer:
      if (left) ErasePress(store, p);
      if (right) EraseCurrentFrameMarks();
      break;
    case otTsp:
      if (mode != mvTransparent) break;
      if (left) {
        const bool marking = transparent_->LayerStage() == 2;
        const int before = tspStore_->MarkCount();
        transparent_->LeftPress(p);
        if (marking && tspStore_->MarkCount() != before) Repaint();
      } else if (right) {
        const int before = tspStore_->MarkCount();
        transparent_->RightPress();
        if (tspStore_->MarkCount() != before) Repaint();
      }
      break;
    default:
      break;
  }
}

void TData::MouseMove(TShiftState /*shift*/, int x, int y) {
  pointer_ = {x, y};
  if (!view_) return;
  const TModeVideo mode = view_->WorkMode();
  if (!PointingMode(mode)) return;
  const TPoint p{x, y};
  TPolyContainer& store = ActiveStore();
  switch (tool_) {
    case otEchelle:
      echelle_->Move(p);
      break;
    case otOrigine:
      if (mode == mvRepereFixe) repereFixe_->Move(p);
      break;
    case otDeplacer:
      MoveMove(store, p);
      break;
    case otEffacer:
      EraseMove(store, p);
      break;
    case otTsp:
      if (mode == mvTransparent) transparent_->Move(p);
      break;
    default:
      break;
  }
}

void TData::MouseUp(int /*button*/, TShiftState /*shift*/, int x, int y) {
  if (!view_) return;
  const TModeVideo mode = view_->WorkMode();
  if (!PointingMode(mode)) return;
  TPolyContainer& store = ActiveStore();
  switch (tool_) {
    case otEchelle:
      echelle_->Release();
      break;
    case otOrigine:
      if (mode == mvRepereFixe) repereFixe_->Release();
      break;
    case otDeplacer:
      store.Dragging = false;
      SetCursorName(QStringLiteral("Deplacer"));
      break;
    case otEffacer:
      EraseRelease(store);
      break;
    case otTsp:
      if (mode == mvTransparent) transparent_->Release();
      break;
    default:
      break;
  }
  pointer_ = {x, y};
}

void TData::MovePress(TPolyContainer& store, TPoint p) {
  if (store.Dragging || store.RubberBand) return;
  const int i = HitMark(store, p);
  if (i < 0) return;
  Record(store.AllMarks()[static_cast<std::size_t>(i)], haMove);
  store.Dragging = true;
  store.DragIndex = i;
}

void TData::MoveMove(TPolyContainer& store, TPoint p) {
  const auto& marks = store.AllMarks();
  if (store.Dragging && store.DragIndex >= 0 && store.DragIndex < static_cast<int>(marks.size())) {
    TMarque* m = marks[static_cast<std::size_t>(store.DragIndex)];
    m->SetImagePosition(view_->ScreenToNormalized(p));
    m->RefreshScreenPoint();
    InvalidateCurrent();
    Repaint();
    return;
  }
  store.DragIndex = HitMark(store, p);
  SetCursorName(store.DragIndex >= 0 ? QStringLiteral("Selection") : QStringLiteral("Deplacer"));
}

void TData::ErasePress(TPolyContainer& store, TPoint p) {
  if (store.Dragging || store.RubberBand) return;
  const int i = HitMark(store, p);
  if (i >= 0) {
    DeleteMark(store.AllMarks()[static_cast<std::size_t>(i)]);
    store.DragIndex = -1;
    Repaint();
    return;
  }
  store.RubberBand = true;
  store.RubberBandRect = {p.x, p.y, p.x, p.y};
}

void TData::EraseMove(TPolyContainer& store, TPoint p) {
  if (store.RubberBand) {
    store.RubberBandRect.right = p.x;
    store.RubberBandRect.bottom = p.y;
    Repaint();
    return;
  }
  SetCursorName(HitMark(store, p) >= 0 ? QStringLiteral("SelGomme") : QStringLiteral("Gomme"));
}

void TData::EraseRelease(TPolyContainer& store) {
  if (store.RubberBand) {
    store.RubberBand = false;
    const TRect& r = store.RubberBandRect;
    const int l = std::min(r.left, r.right), rt = std::max(r.left, r.right);
    const int t = std::min(r.top, r.bottom), b = std::max(r.top, r.bottom);
    THistorique& h = ActiveHistory();
    h.BeginGroup();
    // From the last mark to the first: deleting never shifts the marks still to visit.
    for (int i = store.MarkCount() - 1; i >= 0; --i) {
      if (i >= store.MarkCount()) continue;  // a transparent deletion may take more
      TMarque* m = store.AllMarks()[static_cast<std::size_t>(i)];
      const TPoint s = m->ScreenPoint();
      if (s.x >= l && s.x <= rt && s.y >= t && s.y <= b) DeleteMark(m);
    }
    h.EndGroup();
  }
  SetCursorName(QStringLiteral("Gomme"));
  Repaint();
}

void TData::EraseCurrentFrameMarks() {
  if (!view_) return;
  const int frame = view_->PhysicalFrame();
  THistorique& h = ActiveHistory();
  h.BeginGroup();
  if (TransparentMode()) {
    if (TContainer* c = tspStore_->FindContainer(frame))
      if (TMarque* m = c->FindOrder(0)) DeleteMark(m);
  } else {
    fixedStore_->ClearFrame(frame);
  }
  h.EndGroup();
  Repaint();
}

void TData::KeyDown(int key, TShiftState shift) {
  if (!view_) return;
  const TModeVideo mode = view_->WorkMode();
  if (mode == mvCapture) return;
  const int step = (shift & ssCtrl) ? -1 : 1;
  int digit = -1;
  if (key >= vk0 && key <= vk9) digit = key - vk0;
  if (key >= vkNumpad0 && key <= vkNumpad9) digit = key - vkNumpad0;
  if (digit == 0) {
    ElementColor = PaletteColor(PaletteIndex(ElementColor) + step);
    Repaint();
  } else if (digit > 0) {
    SetMarkColor(digit - 1, PaletteColor(PaletteIndex(MarkColor(digit - 1)) + step));
    Repaint();
  }
  if (!PointingMode(mode)) return;
  switch (key) {
    case vkReturn: {
      if (view_->ViewToolActive()) break;
      const TPoint p = view_->PointerPosition();
      if (tool_ == otOrigine) {
        repereFixe_->Enter(p);
        break;
      }
      const bool overlayDragged = tool_ == otTsp && transparent_->LayerStage() == 1;
      if (!ActiveStore().Dragging && !overlayDragged)
        MouseDown(mbLeft, shift, p.x, p.y);
      else
        MouseUp(mbLeft, shift, p.x, p.y);
      break;
    }
    case vkMenu:
      if (tool_ == otMarque) SetCurrentMarkOrderNumber(CurrentMarkOrderNumber() + 1);
      break;
    case vk6:
    case vkSubtract:
      if (tool_ == otTsp) transparent_->Shrink();
      break;
    case vkAdd:
    case vkOemPlus:
      if (tool_ == otTsp) transparent_->Grow();
      break;
    case vkA:
      if (shift & ssCtrl) {
        Undo();
        Repaint();
      }
      break;
    default:
      break;
  }
}

QString TData::ToolCursor() const {
  switch (tool_) {
    case otEchelle:
      return QStringLiteral("Echelle");
    case otMarque: {
      if (MarksNumberPerFrame() == 1) return QStringLiteral("Marque");
      return QStringLiteral("Marque") + QString::number((CurrentMarkOrderNumber() + 1) % 10);
    }
    case otOrigine:
      return QStringLiteral("Origine");
    case otTsp:
      return transparent_->LayerStage() == 2 ? QStringLiteral("Marque") : QStringLiteral("Pan");
    default:
      return QString();
  }
}

}  // namespace mlb
