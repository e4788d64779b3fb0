#include "video/UnitVideo.h"

#include <algorithm>
#include <cmath>

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include "backends/ffmpeg/UnitFFMpegPlay.h"
#include "backends/gstreamer/UnitDSPlay.h"
#include "backends/vfw/UnitVfwPlay.h"
#include "measurement/UnitData.h"
#include "resources/UnitCursors.h"

namespace mlb {

namespace {

constexpr int kMinZoom = 100, kMaxZoom = 800;

int Round(double v) {
  return static_cast<int>(std::lround(v));
}

TShiftState ShiftOf(Qt::KeyboardModifiers m) {
  TShiftState s = 0;
  if (m & Qt::ShiftModifier) s |= ssShift;
  if (m & Qt::AltModifier) s |= ssAlt;
  if (m & Qt::ControlModifier) s |= ssCtrl;
  return s;
}

int ButtonOf(Qt::MouseButton b) {
  switch (b) {
    case Qt::LeftButton:
      return mbLeft;
    case Qt::RightButton:
      return mbRight;
    default:
      return mbMiddle;
  }
}

QImage MakeTitle() {
  QImage img(640, 360, QImage::Format_RGB32);
  QPainter p(&img);
  QLinearGradient g(0, 0, 0, 360);
  g.setColorAt(0, QColor(24, 48, 96));
  g.setColorAt(1, QColor(8, 16, 40));
  p.fillRect(img.rect(), g);
  p.setRenderHint(QPainter::Antialiasing);
  // A thrown ball's path with its marks.
  p.setPen(QPen(QColor(255, 210, 60), 2));
  for (int k = 0; k <= 12; ++k) {
    const double t = k / 12.0;
    const QPointF c(80 + 480 * t, 300 - 560 * t + 560 * t * t);
    p.drawEllipse(c, 5, 5);
  }
  QFont f(QStringLiteral("Arial"));
  f.setPixelSize(64);
  f.setBold(true);
  p.setFont(f);
  p.setPen(Qt::white);
  p.drawText(QRect(0, 110, 640, 80), Qt::AlignCenter, QStringLiteral("Motilab"));
  f.setPixelSize(20);
  f.setBold(false);
  p.setFont(f);
  p.drawText(QRect(0, 185, 640, 40), Qt::AlignCenter, QStringLiteral("Měření pohybu z videa"));
  return img;
}

}  // namespace

int ZoomStep(int zoom, TZoomStep step, bool fine) {
  int z = zoom;
  if (step == zsIn) {
    if (fine)
      z += 10;
    else if (z < 200)
      z = 200;
    else if (z < 300)
      z = 300;
    else if (z < 400)
      z = 400;
    else if (z < 500)
      z = 500;
    else if (z < 600)
      z = 600;
    else
      z = 800;
  } else if (step == zsOut) {
    if (fine)
      z -= 10;
    else if (z <= 200)
      z = 100;
    else if (z <= 300)
      z = 200;
    else if (z <= 400)
      z = 300;
    else if (z <= 500)
      z = 400;
    else if (z <= 600)
      z = 500;
    else
      z = 600;
  }
  return std::clamp(z, kMinZoom, kMaxZoom);
}

int MeasureKeyCode(int key, Qt::KeyboardModifiers m) {
  const bool keypad = m & Qt::KeypadModifier;
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return (keypad ? vkNumpad0 : vk0) + (key - Qt::Key_0);
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return vkReturn;
    case Qt::Key_Alt:
      return vkMenu;
    case Qt::Key_Escape:
      return vkEscape;
    case Qt::Key_Left:
      return vkLeft;
    case Qt::Key_Up:
      return vkUp;
    case Qt::Key_Right:
      return vkRight;
    case Qt::Key_Down:
      return vkDown;
    case Qt::Key_A:
      return vkA;
    case Qt::Key_Plus:
      return keypad ? vkAdd : vkOemPlus;
    case Qt::Key_Equal:
      return vkOemPlus;
    case Qt::Key_Minus:
      return keypad ? vkSubtract : 189;  // the main keyboard's minus key
    default:
      return 0;
  }
}

// ------------------------------------------------------------------ TVideo

TVideo::TVideo(QWidget* parent, std::unique_ptr<TFrameSources> sources)
    : QWidget(parent), sources_(std::move(sources)) {
  if (!sources_)
    sources_ = std::make_unique<TFrameSources>(
        std::make_unique<TVfwPlay>(), std::make_unique<TDSPlay>(), std::make_unique<TFFMpegPlay>(),
        [](const QString& path) { return TFFMpegPlay::GetComment(path); });
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::black);
  setPalette(pal);

  vBar_ = new QScrollBar(Qt::Vertical, this);
  hBar_ = new QScrollBar(Qt::Horizontal, this);
  for (QScrollBar* bar : {vBar_, hBar_}) {
    bar->hide();
    bar->setSingleStep(1);
    bar->setCursor(Qt::ArrowCursor);
  }
  connect(hBar_, &QScrollBar::valueChanged, this, [this](int value) {
    if (barsSettingValues_ || displayW_ == 0) return;
    const int left = std::max(
        0, std::min(Round(FrameWidth() * value / displayW_), FrameWidth() - source_.width()));
    if (left == source_.left()) return;
    source_.moveLeft(left);
    RefreshMapping();
    update();
  });
  connect(vBar_, &QScrollBar::valueChanged, this, [this](int value) {
    if (barsSettingValues_ || displayH_ == 0) return;
    const int top = std::max(
        0, std::min(Round(FrameHeight() * value / displayH_), FrameHeight() - source_.height()));
    if (top == source_.top()) return;
    source_.moveTop(top);
    RefreshMapping();
    update();
  });

  title_ = MakeTitle();
  for (TFramework f : {fwVfw, fwDS, fwFFMpeg}) {
    if (!sources_->HasSource(f)) continue;
    TFrameSource& s = sources_->Source(f);
    s.OnOpen = [this](TFrameSource& src) {
      framework_ = src.Framework();
      SourceOpened();
    };
    s.OnClose = [this](TFrameSource&) { SourceClosed(); };
  }
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, [this] { Tick(clock_.elapsed()); });
  loupe_ = new TLoupe(this);
  loupe_->hide();
  QFont f(QStringLiteral("Arial"));
  f.setPointSize(10);
  setFont(f);
  buffer_ = QImage(std::max(1, width()), std::max(1, height()), QImage::Format_RGB32);
  buffer_.fill(Qt::black);
}

TVideo::~TVideo() {
  timer_.stop();
  for (TFramework f : {fwVfw, fwDS, fwFFMpeg})
    if (sources_->HasSource(f)) {
      sources_->Source(f).OnOpen = nullptr;
      sources_->Source(f).OnClose = nullptr;
    }
}

void TVideo::SetData(TData* data) {
  data_ = data;
  RefreshMapping();
  RefreshCursor();
}

TFrameSource& TVideo::Source() {
  return sources_->Source(framework_);
}
const TFrameSource& TVideo::Source() const {
  return sources_->Source(framework_);
}
bool TVideo::Opened() const {
  return sources_->HasSource(framework_) && Source().Opened;
}
bool TVideo::Drawing() const {
  return Opened() && Source().Drawing;
}
int TVideo::Frames() const {
  return Opened() ? Source().FrameCount : 0;
}
int TVideo::FrameWidth() const {
  return Opened() ? Source().FrameWidth : 0;
}
int TVideo::FrameHeight() const {
  return Opened() ? Source().FrameHeight : 0;
}
int TVideo::Position() const {
  return Opened() ? Source().Position : 0;
}
double TVideo::FrameRate() const {
  return Opened() ? Source().FrameRate : 0;
}
double TVideo::FrameDuration() const {
  return Opened() ? Source().FrameDuration : 0;
}
QString TVideo::FileName() const {
  return Opened() ? Source().FileName : QString();
}

int TVideo::VisibleCount() const {
  return Frames();
}
int TVideo::VisibleIndex() const {
  return Position();
}

void TVideo::GoTo(int visibleIndex) {
  if (!Opened()) return;
  Stop();
  if (visibleIndex >= 0 && visibleIndex != Position()) SetRawPosition(visibleIndex);
}

void TVideo::SetRawPosition(int n) {
  if (!Opened()) return;
  Source().SetPosition(n);
  update();
}

void TVideo::GoToPhysicalFrame(int n) {
  if (n >= 0 && n < Frames() && n != Position()) SetRawPosition(n);
}

void TVideo::GoToLogicalFrame(int n) {
  if (n >= 0 && n < VisibleCount() && n != VisibleIndex()) GoTo(n);
}

void TVideo::GoToLastPointed() {
  if (PointingMode() && data_) GoTo(data_->LastPointedFrame());
}

bool TVideo::OpenVideo(const QString& path) {
  Stop();
  // Only one source holds a file at a time.
  for (TFramework f : {fwVfw, fwDS, fwFFMpeg})
    if (sources_->HasSource(f) && sources_->Source(f).Opened) sources_->Source(f).Close();
  if (path.isEmpty()) {
    update();
    return false;
  }
  framework_ = sources_->Open(path, framework_);
  update();
  return Opened();
}

bool TVideo::DrawFrame(QImage& target, const QRect& source, bool inverted) {
  return Opened() && Source().DrawFrame(target, source, inverted);
}

bool TVideo::GrabFrame(QImage& target) {
  if (!Opened()) return false;
  target = QImage(FrameWidth(), FrameHeight(), QImage::Format_RGB32);
  return DrawFrame(target, QRect(0, 0, FrameWidth(), FrameHeight()), false);
}

void TVideo::SourceOpened() {
  const bool shown = parentWidget() != nullptr;
  if (shown) hide();
  zoom_ = 100;
  tool_ = ovAucun;
  panning_ = false;
  selecting_ = false;
  hideImage_ = false;
  source_ = QRect(0, 0, FrameWidth(), FrameHeight());
  SetMode(mvRepereFixe);
  vBar_->hide();
  hBar_->hide();
  LayoutBars();
  RefreshMapping();
  if (OnSourceOpen) OnSourceOpen(*this);
}

void TVideo::SourceClosed() {
  vBar_->hide();
  hBar_->hide();
  if (OnSourceClose) OnSourceClose(*this);
}

// ---------------------------------------------------------------- playback

void TVideo::Play(int first, int last) {
  if (!Opened()) return;
  timer_.stop();
  playFirst_ = first;
  playLast_ = last;
  SetRawPosition(first);
  clock_.start();
  timer_.start(std::max<int>(1, Source().FrameDelay));
}

void TVideo::Stop() {
  timer_.stop();
}

void TVideo::Tick(qint64 elapsedMs) {
  if (!Opened()) {
    Stop();
    return;
  }
  const int next = Position() + 1;
  if (next < playFirst_ || next > playLast_) {
    Stop();
    return;
  }
  // The frames the elapsed time asks for: a slow decoder skips frames
  // instead of falling behind.
  const qint64 due = playFirst_ + elapsedMs / std::max<int>(1, Source().FrameDelay);
  const int target = static_cast<int>(std::min<qint64>(std::max<qint64>(next, due), playLast_));
  Source().SetPosition(target);
  if (!Drawing()) update();
}

// ------------------------------------------------------------- modes, tools

void TVideo::SetMode(TModeVideo m) {
  const TModeVideo old = mode_;
  const auto refuse = [this] {
    if (OnModeRefused) OnModeRefused(*this);
  };
  if (m == mvTransparent && data_) data_->SetTool(otTsp);
  if (m == mvRepereFixe && data_) data_->SetTool(Opened() ? otMarque : otAucun);
  if (m == mvMontage && Frames() <= 1) return refuse();
  if (m == mvMontage && data_) data_->SetTool(otAucun);
  // No capture device can be driven yet: capture is refused.
  if (m == mvCapture) return refuse();
  if (m == mvTracking && data_) data_->SetTool(otAucun);
  mode_ = m;
  if (parentWidget()) setVisible(m != mvCapture);
  if (loupe_->isVisible() && !PointingMode()) loupe_->hide();
  if (m != old) {
    tool_ = ovAucun;
    selecting_ = panning_ = false;
    if (OnModeChange) OnModeChange(*this);
  }
  RefreshCursor();
  update();
}

void TVideo::SetTool(TOutilVue t) {
  if (t == tool_) return;
  tool_ = t;
  selecting_ = false;
  panning_ = false;
  if (data_) data_->CancelDrags();
  RefreshCursor();
  if (t != ovAucun && OnViewToolChange) OnViewToolChange(*this);
}

void TVideo::RefreshCursor() {
  QString name;
  if (Opened()) {
    if (tool_ == ovZoom)
      name = QStringLiteral("Zoom");
    else if (tool_ == ovPan)
      name = QStringLiteral("Pan");
    else if (PointingMode() && data_)
      name = data_->ToolCursor();
  }
  SetCursorName(name);
}

void TVideo::SetCursorName(const QString& name) {
  setCursor(NamedCursor(name));
}

void TVideo::InvalidateResults(TRefChoice which) {
  if (OnInvalidateResults) OnInvalidateResults(which);
}

// ---------------------------------------------------------- zoom, mapping

QSize TVideo::PictureSize() const {
  QSize s = size();
  if (vBar_->isVisible() || (zoom_ > 100 && Opened()))
    s -= QSize(vBar_->sizeHint().width(), hBar_->sizeHint().height());
  return s.expandedTo(QSize(1, 1));
}

void TVideo::ZoomAt(int x, int y, TZoomStep step, bool fine, int oldZoom) {
  if (!Opened()) return;
  const int z1 = step == zsNone ? zoom_ : ZoomStep(zoom_, step, fine);
  const int z0 = std::max(1, oldZoom);
  const int fw = FrameWidth(), fh = FrameHeight();
  const double vw = std::max(1, width()), vh = std::max(1, height());
  int left = source_.left() + Round(fw * (x * 100.0 / vw / z0 - 50.0 / z1));
  int top = source_.top() + Round(fh * (y * 100.0 / vh / z0 - 50.0 / z1));
  const int w = Round(fw * 100.0 / z1), h = Round(fh * 100.0 / z1);
  left = std::max(0, std::min(left, fw - w));
  top = std::max(0, std::min(top, fh - h));
  zoom_ = z1;
  source_ = QRect(left, top, w, h);
  LayoutBars();
  RefreshMapping();
  if (OnZoomChange) OnZoomChange(*this);
  update();
}

bool TVideo::ZoomToRect(QRect r) {
  if (r.width() < 10 || r.height() < 10) return false;
  const QSize pic = PictureSize();
  const double factor = std::min(static_cast<double>(pic.width()) / r.width(),
                                 static_cast<double>(pic.height()) / r.height());
  const int old = zoom_;
  zoom_ = std::clamp(static_cast<int>(Round(old * factor) / 10) * 10, kMinZoom, kMaxZoom);
  ZoomAt((2 * r.left() + r.width()) / 2, (2 * r.top() + r.height()) / 2, zsNone, false, old);
  return true;
}

void TVideo::ResetZoom() {
  zoom_ = 100;
  ZoomAt(0, 0, zsNone, false, 100);
}

void TVideo::SetZoomAt(int zoom, int x, int y) {
  const int old = zoom_;
  zoom_ = std::clamp(zoom, kMinZoom, kMaxZoom);
  ZoomAt(x, y, zsNone, false, old);
}

TPointD TVideo::ScreenToImage(int x, int y) const {
  if (displayW_ <= 0 || displayH_ <= 0) return {0, 0};
  return {std::clamp(x / displayW_ + offsetX_, 0.0, 1.0),
          std::clamp(y / displayH_ + offsetY_, 0.0, 1.0)};
}

TPoint TVideo::ImageToScreen(TPointD p) const {
  return {Round((p.x - offsetX_) * displayW_), Round((p.y - offsetY_) * displayH_)};
}

void TVideo::UpdateDisplaySize() {
  displayW_ = buffer_.width() * zoom_ / 100.0;
  displayH_ = buffer_.height() * zoom_ / 100.0;
  if (FrameWidth() != 0 && FrameHeight() != 0 && zoom_ != 0) {
    offsetX_ = static_cast<double>(source_.left()) / FrameWidth();
    offsetY_ = static_cast<double>(source_.top()) / FrameHeight();
  }
}

void TVideo::RefreshMapping() {
  if (!Opened()) return;
  UpdateDisplaySize();
  if (data_) data_->RefreshScreenPositions();
}

void TVideo::PlaceBars() {
  const int bw = vBar_->sizeHint().width(), bh = hBar_->sizeHint().height();
  vBar_->setGeometry(width() - bw, 0, bw, std::max(0, height() - bh));
  hBar_->setGeometry(0, height() - bh, std::max(0, width() - bw), bh);
}

void TVideo::LayoutBars() {
  const bool was = vBar_->isVisible();
  const bool bars = zoom_ > 100 && Opened() && FrameWidth() > 0 && FrameHeight() > 0;
  QSize pic = size().expandedTo(QSize(1, 1));
  if (bars)
    pic = (size() - QSize(vBar_->sizeHint().width(), hBar_->sizeHint().height()))
              .expandedTo(QSize(1, 1));
  if (buffer_.size() != pic) {
    buffer_ = QImage(pic, QImage::Format_RGB32);
    buffer_.fill(Qt::black);
  }
  if (!bars) {
    vBar_->hide();
    hBar_->hide();
  } else {
    UpdateDisplaySize();  // the callers refresh the mapping once the bars are placed
    barsSettingValues_ = true;
    vBar_->setRange(0, std::max(0, Round(displayH_) - pic.height()));
    vBar_->setPageStep(pic.height());
    vBar_->setValue(Round(static_cast<double>(source_.top()) / FrameHeight() * displayH_));
    hBar_->setRange(0, std::max(0, Round(displayW_) - pic.width()));
    hBar_->setPageStep(pic.width());
    hBar_->setValue(Round(static_cast<double>(source_.left()) / FrameWidth() * displayW_));
    barsSettingValues_ = false;
    PlaceBars();
    vBar_->show();
    hBar_->show();
  }
  if (was != bars) loupe_->Place(loupe_->x(), loupe_->y(), loupe_->width(), loupe_->height());
}

void TVideo::ScrollStep(bool up) {
  if (!vBar_->isVisible()) return;
  vBar_->setValue(vBar_->value() + (up ? -vBar_->singleStep() : vBar_->singleStep()));
}

void TVideo::SetHideImage(bool b) {
  hideImage_ = b;
  update();
}

void TVideo::SetWaiting(bool b) {
  waiting_ = b;
  if (b) QCoreApplication::processEvents();
  repaint();
}

void TVideo::SetTitleArea(int w, int h) {
  titleArea_ = QSize(w, h);
  update();
}

// ---------------------------------------------------------------- painting

void TVideo::PaintBuffer() {
  if (hideImage_ || !Source().DrawFrame(buffer_, source_, false))
    buffer_.fill(hideImage_ ? Qt::white : Qt::black);
  QPainter p(&buffer_);
  p.setFont(font());
  if (selecting_) {
    p.setPen(QPen(Qt::gray, 1, Qt::DotLine));
    const QPoint a = selStart_, b = selEnd_;
    p.drawPolyline(QPolygon({a, QPoint(b.x(), a.y()), b, QPoint(a.x(), b.y()), a}));
  }
  if (mode_ != mvTracking && data_) data_->Draw(p);
  if (waiting_) {
    QFont f = p.font();
    f.setPixelSize(32);
    p.setFont(f);
    const QString text = QStringLiteral("Čekejte prosím ...");
    const QRect r = p.fontMetrics().boundingRect(text).adjusted(-4, -2, 4, 2);
    const QRect box(QPoint((buffer_.width() - r.width()) / 2, (buffer_.height() - r.height()) / 2),
                    r.size());
    p.fillRect(box, Qt::white);
    p.setPen(Qt::black);
    p.drawText(box, Qt::AlignCenter, text);
  }
}

QImage TVideo::Picture() {
  if (!Opened()) {
    QImage img(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    QPainter p(&img);
    p.drawImage(QRect(QPoint(0, 0), img.size()), title_);
    return img;
  }
  // A hidden view gets no resize events: its picture follows its size here.
  if (buffer_.size() != PictureSize()) {
    PlaceBars();
    LayoutBars();
    RefreshMapping();
  }
  PaintBuffer();
  return buffer_;
}

void TVideo::paintEvent(QPaintEvent*) {
  if (width() == 0 || height() == 0 || Drawing()) return;
  QPainter p(this);
  if (!Opened()) {
    p.fillRect(rect(), Qt::black);
    const QSize area = titleArea_.isValid() ? titleArea_ : size();
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRect(QPoint(0, 0), area), title_);
    return;
  }
  PaintBuffer();
  p.drawImage(0, 0, buffer_);
  if (vBar_->isVisible())
    p.fillRect(QRect(QPoint(vBar_->x() + 1, hBar_->y() + 1), QPoint(width(), height())),
               palette().color(QPalette::Button));
  if (OnAfterPaint) OnAfterPaint(*this);
  if (loupe_->isVisible()) loupe_->update();
}

void TVideo::resizeEvent(QResizeEvent*) {
  loupe_->PlaceForViewSize();
  PlaceBars();
  LayoutBars();
  RefreshMapping();
}

// ------------------------------------------------------------ mouse, keys

void TVideo::HandleMouseDown(int button, TShiftState shift, int x, int y) {
  if (!Opened() || panning_) return;
  if (tool_ == ovZoom) {
    selecting_ = true;
    selStart_ = selEnd_ = QPoint(x, y);
  } else if (tool_ == ovPan) {
    if (button != mbLeft) return;
    panning_ = true;
    panLast_ = QPoint(x, y);
  } else if (PointingMode() && data_) {
    data_->MouseDown(button, shift, x, y);
  }
}

void TVideo::HandleMouseMove(TShiftState shift, int x, int y) {
  if (!Opened()) return;
  if (panning_) {
    const int sw = source_.width(), sh = source_.height();
    const double vw = std::max(1, width()), vh = std::max(1, height());
    const int left = std::max(
        0, std::min(source_.left() - Round((x - panLast_.x()) * sw / vw), FrameWidth() - sw));
    const int top = std::max(
        0, std::min(source_.top() - Round((y - panLast_.y()) * sh / vh), FrameHeight() - sh));
    source_.moveTo(left, top);
    LayoutBars();
    RefreshMapping();
    panLast_ = QPoint(x, y);
    update();
    return;
  }
  if (tool_ == ovZoom) {
    if (selecting_) {
      selEnd_ = QPoint(x, y);
      update();
    }
    return;
  }
  if (tool_ == ovPan) return;
  if (PointingMode() && data_) data_->MouseMove(shift, x, y);
  if (loupe_->isVisible()) loupe_->SetCentre(QPoint(x, y));
}

void TVideo::HandleMouseUp(int button, TShiftState shift, int x, int y) {
  if (!Opened()) return;
  if (tool_ == ovZoom) {
    if (!selecting_) return;
    selecting_ = false;
    selEnd_ = QPoint(x, y);
    const int old = zoom_;
    // The rectangle between the two corners (its size is their distance).
    const QRect r(QPoint(std::min(selStart_.x(), x), std::min(selStart_.y(), y)),
                  QSize(std::abs(x - selStart_.x()), std::abs(y - selStart_.y())));
    if (!ZoomToRect(r)) {
      if (button == mbLeft)
        ZoomAt(x, y, zsIn, shift & ssCtrl, old);
      else if (button == mbRight)
        ZoomAt(x, y, zsOut, shift & ssCtrl, old);
    }
    update();
  } else if (tool_ == ovPan) {
    panning_ = false;
    RefreshCursor();
  } else if (PointingMode() && data_) {
    data_->MouseUp(button, shift, x, y);
  }
}

void TVideo::HandleKey(int key, TShiftState shift) {
  if (!PointingMode()) {
    if (data_ && key) data_->KeyDown(key, shift);
    return;
  }
  const TPoint p = PointerPosition();
  switch (key) {
    case vkReturn:
      if (panning_)
        HandleMouseUp(mbLeft, shift, p.x, p.y);
      else if (tool_ != ovAucun)
        HandleMouseDown(mbLeft, shift, p.x, p.y);
      break;
    case vkEscape:
      HandleMouseDown(mbRight, shift, p.x, p.y);
      break;
    case vkLeft:
    case vkRight:
    case vkUp:
    case vkDown: {
      const int step = (shift & ssCtrl) ? 10 : 1;
      MovePointer(key == vkLeft    ? -step
                  : key == vkRight ? step
                                   : 0,
                  key == vkUp     ? -step
                  : key == vkDown ? step
                                  : 0);
      break;
    }
    default:
      break;
  }
  if (data_ && key) data_->KeyDown(key, shift);
}

TPoint TVideo::PointerPosition() const {
  const QPoint p = mapFromGlobal(QCursor::pos());
  return {p.x(), p.y()};
}

void TVideo::MovePointer(int dx, int dy) {
  const QPoint global = QCursor::pos() + QPoint(dx, dy);
  QCursor::setPos(global);
  const QPoint p = mapFromGlobal(global);
  HandleMouseMove(0, p.x(), p.y());
}

void TVideo::mousePressEvent(QMouseEvent* e) {
  const QPoint p = e->position().toPoint();
  HandleMouseDown(ButtonOf(e->button()), ShiftOf(e->modifiers()), p.x(), p.y());
}

void TVideo::mouseMoveEvent(QMouseEvent* e) {
  const QPoint p = e->position().toPoint();
  HandleMouseMove(ShiftOf(e->modifiers()), p.x(), p.y());
}

void TVideo::mouseReleaseEvent(QMouseEvent* e) {
  const QPoint p = e->position().toPoint();
  HandleMouseUp(ButtonOf(e->button()), ShiftOf(e->modifiers()), p.x(), p.y());
}

void TVideo::keyPressEvent(QKeyEvent* e) {
  const int key = MeasureKeyCode(e->key(), e->modifiers());
  if (key == 0) return QWidget::keyPressEvent(e);
  HandleKey(key, ShiftOf(e->modifiers()));
}

// ------------------------------------------------------------------- TLoupe

TLoupe::TLoupe(TVideo* view) : QWidget(view), view_(view) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TLoupe::SetMagnification(int m) {
  m = std::clamp(m, 100, 600);
  if (m == magnification_) return;
  magnification_ = m;
  sourceSize_ = QSize(Round(width() * 100.0 / m), Round(height() * 100.0 / m));
  update();
}

void TLoupe::SetCentre(QPoint c) {
  centre_ = c;
  if (!dragging_) update();
}

void TLoupe::Place(int left, int top, int w, int h) {
  const QSize pic = view_->BackBuffer().size();
  left = std::max(0, std::min(left, pic.width() - w));
  top = std::max(0, std::min(top, pic.height() - h));
  setGeometry(left, top, std::max(1, w), std::max(1, h));
  sourceSize_ =
      QSize(Round(width() * 100.0 / magnification_), Round(height() * 100.0 / magnification_));
}

void TLoupe::PlaceForViewSize() {
  const int w = view_->width() / 5, h = view_->height() / 5;
  Place(view_->width() - w - 2, 2, w, h);
}

bool TLoupe::NearBorder(QPoint p) const {
  return p.x() < 20 || p.y() < 20 || p.x() >= width() - 20 || p.y() >= height() - 20;
}

void TLoupe::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), Qt::black);
  const QRect src(centre_.x() - sourceSize_.width() / 2, centre_.y() - sourceSize_.height() / 2,
                  sourceSize_.width(), sourceSize_.height());
  p.drawImage(rect(), view_->BackBuffer(), src);
  const int w = width(), h = height(), cx = w / 2, cy = h / 2;
  const auto cross = [&](QColor c, int shift) {
    p.setPen(c);
    p.drawLine(cx + shift, 0, cx + shift, cy - 2);
    p.drawLine(cx + shift, cy + 3, cx + shift, h);
    p.drawLine(0, cy + shift, cx - 2, cy + shift);
    p.drawLine(cx + 3, cy + shift, w, cy + shift);
  };
  cross(Qt::black, -1);
  cross(Qt::black, 1);
  cross(Qt::white, 0);
  p.setPen(Qt::black);
  p.setBrush(Qt::NoBrush);
  p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TLoupe::mousePressEvent(QMouseEvent* e) {
  const QPoint p = e->position().toPoint();
  if (NearBorder(p)) {
    dragging_ = true;
    dragStart_ = e->globalPosition().toPoint();
    return;
  }
  if (e->button() == Qt::LeftButton) SetMagnification(magnification_ + 100);
  if (e->button() == Qt::RightButton) SetMagnification(magnification_ - 100);
}

void TLoupe::mouseMoveEvent(QMouseEvent* e) {
  const QPoint p = e->position().toPoint();
  if (dragging_) {
    const QPoint g = e->globalPosition().toPoint();
    Place(x() + g.x() - dragStart_.x(), y() + g.y() - dragStart_.y(), width(), height());
    dragStart_ = g;
    return;
  }
  setCursor(NearBorder(p) ? QCursor(Qt::SizeAllCursor) : NamedCursor(QStringLiteral("Zoom")));
}

void TLoupe::mouseReleaseEvent(QMouseEvent*) {
  dragging_ = false;
}

}  // namespace mlb
