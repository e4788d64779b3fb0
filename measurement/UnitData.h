// The measurement data: everything the user measures on one video - the marks
// of both frames of reference, the fixed frame, the transparent overlay, the
// scale, the pointing settings and four undo histories.
#pragma once

#include <functional>
#include <memory>

#include <QString>

#include "common/UnitTypes.h"
#include "measurement/UnitHistorique.h"
#include "measurement/UnitMarques.h"
#include "measurement/UnitMeasureView.h"
#include "measurement/UnitRepere.h"

class QPainter;

namespace mlb {

// The settings the measurement data reads.
struct TMeasureSettings {
  bool separateScales = false;   // "CheckBox41HorizAndVertScale_Checked"
  std::uint8_t elementSize = 0;  // 0..2: pen widths 1, 3, 5
  bool numberFromZero = false;   // point numbers on the video start at 0
};

class TData : public THistOwner {
 public:
  using TNotify = std::function<void(TData&)>;

  TData(TMeasureView* view, const TMeasureSettings& settings = {});
  ~TData() override;
  TData(const TData&) = delete;
  TData& operator=(const TData&) = delete;

  // Events, raised only when set.
  TNotify OnMarksChange;
  TNotify OnRepereChange;
  TNotify OnScaleDefine;
  TNotify OnMarksPerFrameChange;
  TNotify OnToolChange;
  TNotify OnScaleKindChange;
  TNotify OnMarkColorChange;

  int FramesNumberBetweenTwoMarks = 1;
  TColor ElementColor = 0x00FFFF;

  // Lifecycle and settings.
  void Reset();
  void ApplySettings(const TMeasureSettings& settings);
  const TMeasureSettings& Settings() const { return settings_; }
  std::uint8_t ElementSize() const { return settings_.elementSize; }
  int PenWidth() const { return 1 + 2 * ElementSize(); }
  TOutil Tool() const { return tool_; }
  void SetTool(TOutil t);
  void CancelDrags();
  void SetFramesNumberBetweenTwoMarks(int n) { FramesNumberBetweenTwoMarks = n; }
  double RequiredDuration() const { return requiredDuration_; }
  void SetRequiredDuration(double s);
  void SetMarksNumberPerFrame(int n);
  void SetCurrentMarkOrderNumber(int k) { ActiveStore().SetCurrentMarkOrderNumber(k); }
  void SetMarksNumberToDraw(int n) { ActiveStore().MarksNumberToDraw = n; }
  void SetMarksIsAllDrawn(bool b) { ActiveStore().MarksIsAllDrawn = b; }
  void SetMarksNumberPosition(std::uint8_t p) { ActiveStore().MarksNumberPosition = p; }
  void SetMarkColor(int k, TColor c);
  void SetPointName(int k, const QString& s);
  void SetScaleKind(TScaleKind k);
  void SetAxisAngle(double radians);
  void SetDirectX(bool b);
  void SetDirectY(bool b);

  // Queries (active store unless stated).
  int MarkCount() const { return ActiveStore().MarkCount(); }
  int MarksNumberPerFrame() const { return ActiveStore().MarksNumberPerFrame(); }
  int CurrentMarkOrderNumber() const { return ActiveStore().CurrentMarkOrderNumber(); }
  int MarksNumberToDraw() const { return ActiveStore().MarksNumberToDraw; }
  bool MarksIsAllDrawn() const { return ActiveStore().MarksIsAllDrawn; }
  std::uint8_t MarksNumberPosition() const { return ActiveStore().MarksNumberPosition; }
  TColor MarkColor(int k) const;
  const TColorDynArray& MarkColors() const { return markColors_; }
  QString PointName(int k) const;
  bool HasDefaultName() const { return ActiveStore().HasDefaultName(); }
  int MinMarksPerOrder() const { return ActiveStore().MinMarksPerOrder(); }
  int LastPointedFrame() const { return ActiveStore().LastPointedFrame(); }
  int MarksOnFrame(int frame) const;
  TMarkMatrices GetMarkMatrices() const { return ActiveStore().GetMarkMatrices(); }

  TPointD GetScaleFactors() const;
  double GetAxisAngle() const;
  TPointD GetOrigin() const;
  bool DirectX() const;
  bool DirectY() const;
  int OriginPlaced() const;
  bool ScaleComplete() const { return echelle_->IsComplete(); }

  // Commands on marks.
  bool PlaceMark(TPoint screen) { return ActiveStore().PlaceMark(screen); }
  bool RemoveLastMark() { return ActiveStore().RemoveLastMark(); }
  bool DeleteMark(TMarque* m);
  void EraseAllMarks();
  void EraseOrigin();
  void EraseScale();
  void EraseAll();
  void EraseFrame(int frame);
  void ImportMarks(const TMatricePointD& positions, const TMatriceI& frames);
  void SetMarkAt(int k, int frame, TPointD p);
  void RefreshScreenPositions();

  // Pointing input from the video view, in view pixels.
  void MouseDown(int button, TShiftState shift, int x, int y);
  void MouseMove(TShiftState shift, int x, int y);
  void MouseUp(int button, TShiftState shift, int x, int y);
  void KeyDown(int key, TShiftState shift);
  // The cursor name of the active tool ("" is the default arrow).
  QString ToolCursor() const;
  // Paints the active measurement objects over the picture.
  void Draw(QPainter& p);
  // Erases the marks of the current frame in the active store as one undo step.
  void EraseCurrentFrameMarks();

  // Undo.
  THistorique& ActiveHistory();
  void Undo();
  QString UndoCaption();
  THistObject* FindById(int id) override;
  std::unique_ptr<THistObject> MakeSnapshot(const THistObject& object) override;
  void ApplyUndo(THistObject& live, int action) override;
  void ApplyUndoRemoval(std::unique_ptr<THistObject> snapshot, int action) override;

  // The objects.
  TPolyContainer& ActiveStore();
  const TPolyContainer& ActiveStore() const;
  TPolyMarqueImgRep& FixedStore() { return *fixedStore_; }
  const TPolyMarqueImgRep& FixedStore() const { return *fixedStore_; }
  TPolyMarqueImgTsp& TransparentStore() { return *tspStore_; }
  const TPolyMarqueImgTsp& TransparentStore() const { return *tspStore_; }
  TRepereFixe& RepereFixe() { return *repereFixe_; }
  const TRepereFixe& RepereFixe() const { return *repereFixe_; }
  TTransparent& Transparent() { return *transparent_; }
  const TTransparent& Transparent() const { return *transparent_; }
  TEchelle& Echelle() { return *echelle_; }
  const TEchelle& Echelle() const { return *echelle_; }
  THistorique& History(int i) { return *histories_[static_cast<std::size_t>(i)]; }
  TMeasureView* View() const { return view_; }
  bool TransparentMode() const { return view_ && view_->WorkMode() == mvTransparent; }

  // Services for the measurement objects.
  void Record(const THistObject* object, int action) { ActiveHistory().Record(object, action); }
  void InvalidateCurrent() {
    if (view_) view_->InvalidateResults(rcCurrent);
  }
  void InvalidateBoth() {
    if (view_) view_->InvalidateResults(rcBoth);
  }
  void Repaint() {
    if (view_) view_->Repaint();
  }
  void RefreshCursor() {
    if (view_) view_->RefreshCursor();
  }
  void SetCursorName(const QString& name) {
    if (view_) view_->SetCursorName(name);
  }
  void Raise(const TNotify& event) {
    if (event) event(*this);
  }
  TColorDynArray& MarkColorsRef() { return markColors_; }

  // History indices.
  enum { hiFixed = 0, hiTransparent = 1, hiScale = 2, hiRepere = 3 };

 private:
  void MovePress(TPolyContainer& store, TPoint p);
  void MoveMove(TPolyContainer& store, TPoint p);
  void ErasePress(TPolyContainer& store, TPoint p);
  void EraseMove(TPolyContainer& store, TPoint p);
  void EraseRelease(TPolyContainer& store);
  void DrawStore(QPainter& p, const TPolyContainer& store);
  void DrawScale(QPainter& p);
  void DrawFixedAxes(QPainter& p);
  void DrawOverlay(QPainter& p);

  TMeasureView* view_;
  TPoint pointer_;  // last pointer position seen by MouseMove
  TMeasureSettings settings_;
  double requiredDuration_ = 0.0;
  TOutil tool_ = otMarque;
  TColorDynArray markColors_;
  std::array<std::unique_ptr<THistorique>, 4> histories_;
  std::unique_ptr<TRepereFixe> repereFixe_;
  std::unique_ptr<TTransparent> transparent_;
  std::unique_ptr<TEchelle> echelle_;
  std::unique_ptr<TPolyMarqueImgRep> fixedStore_;
  std::unique_ptr<TPolyMarqueImgTsp> tspStore_;
};

}  // namespace mlb
