// The video view: shows the current frame of the open video whole or
// magnified, draws the measurement over it, converts between view pixels and
// normalized image points, routes the mouse and keys to the measurement data,
// holds the work mode and the view tool, plays the video, and carries the
// magnifier.
#pragma once

#include <functional>
#include <memory>

#include <QElapsedTimer>
#include <QImage>
#include <QRect>
#include <QTimer>
#include <QWidget>

#include "common/UnitTypes.h"
#include "measurement/UnitMeasureView.h"
#include "video/UnitFrameSource.h"

class QScrollBar;

namespace mlb {

class TData;
class TLoupe;

enum TOutilVue : std::uint8_t { ovAucun = 0, ovZoom = 1, ovPan = 2 };
enum TZoomStep : std::uint8_t { zsNone = 0, zsIn = 1, zsOut = 2 };

// The zoom after one step from `zoom` (percent, 100..800).
int ZoomStep(int zoom, TZoomStep step, bool fine);
// Qt key (with its modifiers) to the key code the measurement logic uses; 0 for none.
int MeasureKeyCode(int qtKey, Qt::KeyboardModifiers modifiers);

class TVideo : public QWidget, public TMeasureView {
 public:
  using TNotify = std::function<void(TVideo&)>;

  // Without sources the view makes the program's three.
  explicit TVideo(QWidget* parent = nullptr, std::unique_ptr<TFrameSources> sources = nullptr);
  ~TVideo() override;

  // Events, raised only when set.
  TNotify OnAfterPaint, OnZoomChange, OnSourceClose, OnViewToolChange, OnSourceOpen, OnModeChange,
      OnModeRefused;
  // Results invalidation asked for by the measurement data.
  std::function<void(TRefChoice)> OnInvalidateResults;

  // The measurement data that receives the pointing input and draws its overlay.
  void SetData(TData* data);
  TData* Data() const { return data_; }

  // Frame access (the source of the current framework).
  TFramework Framework() const { return framework_; }
  TFrameSource& Source();
  const TFrameSource& Source() const;
  bool Opened() const;
  bool Drawing() const;
  int Frames() const;
  int FrameWidth() const;
  int FrameHeight() const;
  int Position() const;
  double FrameRate() const;
  double FrameDuration() const;
  QString FileName() const;

  // Visible frames (every frame until the edit model exists).
  int VisibleCount() const;
  int VisibleIndex() const;
  void GoTo(int visibleIndex);
  // The raw position, without stopping playback.
  void SetRawPosition(int n);
  void GoToLastPointed();

  // Opens a video (an empty path closes); the outcome is Opened().
  bool OpenVideo(const QString& path);
  bool DrawFrame(QImage& target, const QRect& source, bool inverted);
  bool GrabFrame(QImage& target);

  // Playback from one visible frame to another, at the source's rate.
  void Play(int first, int last);
  void Stop();
  bool Playing() const { return timer_.isActive(); }
  // One playback tick with the time elapsed since Play (tests call it directly).
  void Tick(qint64 elapsedMs);

  TModeVideo Mode() const { return mode_; }
  void SetMode(TModeVideo mode);
  TOutilVue Tool() const { return tool_; }
  void SetTool(TOutilVue tool);

  int Zoom() const { return zoom_; }
  void ZoomAt(int x, int y, TZoomStep step, bool fine, int oldZoom);
  // Zooms so that the rectangle (view pixels, its size the distance between
  // the corners) fills the picture; false when it is under 10 pixels wide or high.
  bool ZoomToRect(QRect r);
  void ResetZoom();
  // Sets the zoom (clamped to 100..800) with the frame point under (x, y) at the centre.
  void SetZoomAt(int zoom, int x, int y);
  QRect SourceRect() const { return source_; }
  double OffsetX() const { return offsetX_; }
  double OffsetY() const { return offsetY_; }
  double DisplayWidth() const { return displayW_; }
  double DisplayHeight() const { return displayH_; }

  TPointD ScreenToImage(int x, int y) const;
  TPoint ImageToScreen(TPointD p) const;
  void RefreshMapping();
  // Moves the vertical scroll bar one small step (the mouse wheel).
  void ScrollStep(bool up);

  bool HideImage() const { return hideImage_; }
  void SetHideImage(bool b);
  bool Waiting() const { return waiting_; }
  void SetWaiting(bool b);
  void SetTitleArea(int w, int h);
  TLoupe* Loupe() const { return loupe_; }
  // The picture as the view shows it (frame and overlays), at its size.
  QImage Picture();
  const QImage& BackBuffer() const { return buffer_; }
  QScrollBar* HorizontalBar() const { return hBar_; }
  QScrollBar* VerticalBar() const { return vBar_; }

  // TMeasureView.
  TModeVideo WorkMode() const override { return mode_; }
  bool VideoOpened() const override { return Opened(); }
  int PhysicalFrame() const override { return Position(); }
  void GoToPhysicalFrame(int n) override;
  int LogicalFrame() const override { return VisibleIndex(); }
  void GoToLogicalFrame(int n) override;
  int FrameCount() const override { return Frames(); }
  int ImageWidth() const override { return FrameWidth(); }
  int ImageHeight() const override { return FrameHeight(); }
  TPointD ScreenToNormalized(TPoint p) const override { return ScreenToImage(p.x, p.y); }
  TPoint NormalizedToScreen(TPointD p) const override { return ImageToScreen(p); }
  int VisibleWidth() const override { return buffer_.width(); }
  int VisibleHeight() const override { return buffer_.height(); }
  int TimeShift(int) const override { return 0; }
  void InvalidateResults(TRefChoice which) override;
  TPoint PointerPosition() const override;
  bool ViewToolActive() const override { return tool_ != ovAucun; }
  void Repaint() override { update(); }
  void RefreshCursor() override;
  void SetCursorName(const QString& name) override;

  // Mouse and keys in view pixels, as the widget's events deliver them
  // (tests and the main window call them directly too).
  void HandleMouseDown(int button, TShiftState shift, int x, int y);
  void HandleMouseMove(TShiftState shift, int x, int y);
  void HandleMouseUp(int button, TShiftState shift, int x, int y);
  void HandleKey(int key, TShiftState shift);

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  void SourceOpened();
  void SourceClosed();
  void LayoutBars();
  // DisplayWidth/Height and the offsets from the zoom and the shown part.
  void UpdateDisplaySize();
  void PlaceBars();
  void PaintBuffer();
  void MovePointer(int dx, int dy);
  bool PointingMode() const { return mode_ == mvRepereFixe || mode_ == mvTransparent; }
  QSize PictureSize() const;

  std::unique_ptr<TFrameSources> sources_;
  TFramework framework_ = fwVfw;
  TData* data_ = nullptr;
  TModeVideo mode_ = mvRepereFixe;
  TOutilVue tool_ = ovAucun;
  bool hideImage_ = false;
  bool waiting_ = false;
  QRect source_;
  double offsetX_ = 0, offsetY_ = 0, displayW_ = 0, displayH_ = 0;
  QImage buffer_;
  QImage title_;
  QSize titleArea_;
  // Zoom and pan state.
  int zoom_ = 100;
  bool selecting_ = false;
  QPoint selStart_, selEnd_;
  bool panning_ = false;
  QPoint panLast_;
  // Playback.
  QTimer timer_;
  QElapsedTimer clock_;
  int playFirst_ = 0, playLast_ = 0;
  QScrollBar* vBar_;
  QScrollBar* hBar_;
  bool barsSettingValues_ = false;
  TLoupe* loupe_;
};

// The magnifier: a small window on the view showing the picture around the
// mouse enlarged, with a cross-hair.
class TLoupe : public QWidget {
 public:
  explicit TLoupe(TVideo* view);
  int Magnification() const { return magnification_; }
  void SetMagnification(int m);
  QPoint Centre() const { return centre_; }
  void SetCentre(QPoint c);
  QSize SourceSize() const { return sourceSize_; }
  // Places the loupe, kept inside the view's picture.
  void Place(int left, int top, int w, int h);
  void PlaceForViewSize();

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  bool NearBorder(QPoint p) const;
  TVideo* view_;
  int magnification_ = 300;
  QSize sourceSize_;
  QPoint centre_;
  bool dragging_ = false;
  QPoint dragStart_;
};

}  // namespace mlb
