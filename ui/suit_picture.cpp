// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/suit_picture.h"

#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace tailorloft::ui {
namespace {

constexpr double kDegreesPerPixel = 0.5;
constexpr double kKeyTurnDegrees = 15;
constexpr double kWheelStep = 1.15;  // zoom factor per notch of a wheel
constexpr float kMinZoom = 0.5f;
constexpr float kMaxZoom = 8.0f;
// While the figure is being turned the picture is drawn at this fraction of
// the widget's size and scaled up, so a large window still follows the mouse.
constexpr double kDraggingScale = 0.5;

render::Box Union(const render::Box& a, const render::Box& b) {
  if (a.empty) return b;
  if (b.empty) return a;
  render::Box box;
  box.empty = false;
  box.min = {std::min(a.min.x, b.min.x), std::min(a.min.y, b.min.y), std::min(a.min.z, b.min.z)};
  box.max = {std::max(a.max.x, b.max.x), std::max(a.max.y, b.max.y), std::max(a.max.z, b.max.z)};
  return box;
}

}  // namespace

SuitPicture::SuitPicture(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  setCursor(Qt::OpenHandCursor);
}

SuitPicture::~SuitPicture() = default;

void SuitPicture::ShowScenes(std::vector<std::shared_ptr<const render::SuitScene>> scenes) {
  scenes_ = std::move(scenes);
  items_.clear();
  box_ = {};
  for (const auto& scene : scenes_) {
    const std::vector<render::DrawItem> items = scene->Items();
    items_.insert(items_.end(), items.begin(), items.end());
    box_ = Union(box_, scene->Bounds());
  }
  message_.clear();
  update();
}

void SuitPicture::ShowMessage(const QString& text) {
  scenes_.clear();
  items_.clear();
  box_ = {};
  message_ = text;
  update();
}

void SuitPicture::ResetView() {
  orbit_ = render::ViewOrbit(render::View::kFront);
  update();
}

void SuitPicture::Turn(double yawDegrees, double pitchDegrees) {
  orbit_.yawDegrees = static_cast<float>(std::remainder(orbit_.yawDegrees + yawDegrees, 360.0));
  orbit_.pitchDegrees = static_cast<float>(std::clamp(orbit_.pitchDegrees + pitchDegrees, -89.0, 89.0));
  update();
}

void SuitPicture::Zoom(double factor) {
  orbit_.zoom = std::clamp(static_cast<float>(orbit_.zoom * factor), kMinZoom, kMaxZoom);
  update();
}

const render::Image& SuitPicture::Draw(int width, int height) {
  width = std::max(width, 1);
  height = std::max(height, 1);
  const render::Camera camera =
      render::FrameBox(box_, orbit_, render::Projection::kPerspective,
                       static_cast<float>(width) / static_cast<float>(height));
  return rasterizer_.Draw(items_, camera, width, height);
}

render::Image SuitPicture::Picture() {
  if (!message_.isEmpty()) return {};
  const qreal ratio = devicePixelRatioF();
  return Draw(static_cast<int>(std::lround(width() * ratio)), static_cast<int>(std::lround(height() * ratio)));
}

void SuitPicture::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QLinearGradient background(0, 0, 0, height());
  background.setColorAt(0, QColor(0x6b, 0x76, 0x80));
  background.setColorAt(1, QColor(0x2e, 0x34, 0x3a));
  painter.fillRect(rect(), background);

  if (!message_.isEmpty()) {
    painter.setPen(QColor(0xf2, 0xf2, 0xf2));
    painter.drawText(rect().adjusted(24, 24, -24, -24), Qt::AlignCenter | Qt::TextWordWrap, message_);
    emit Painted();
    return;
  }
  const qreal scale = devicePixelRatioF() * (dragging_ ? kDraggingScale : 1.0);
  try {
    const render::Image& drawn = Draw(static_cast<int>(std::lround(width() * scale)),
                                      static_cast<int>(std::lround(height() * scale)));
    // The rasterizer's pixels as they are: RGBA, alpha not premultiplied.
    const QImage image(drawn.pixels.data(), drawn.width, drawn.height, drawn.width * 4, QImage::Format_RGBA8888);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect(), image);
  } catch (const std::invalid_argument& error) {
    // A scene the rasterizer refuses is a fault of the scene's maker; say
    // what it was rather than show nothing.
    painter.setPen(Qt::white);
    painter.drawText(rect().adjusted(24, 24, -24, -24), Qt::AlignCenter | Qt::TextWordWrap,
                     QString::fromUtf8(error.what()));
  }
  emit Painted();
}

void SuitPicture::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  dragging_ = true;
  lastMouse_ = event->position().toPoint();
  setCursor(Qt::ClosedHandCursor);
}

void SuitPicture::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_) return QWidget::mouseMoveEvent(event);
  const QPoint now = event->position().toPoint();
  const QPoint moved = now - lastMouse_;
  lastMouse_ = now;
  // The figure follows the mouse: dragging right turns its front to the right.
  Turn(-moved.x() * kDegreesPerPixel, moved.y() * kDegreesPerPixel);
}

void SuitPicture::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !dragging_) return QWidget::mouseReleaseEvent(event);
  dragging_ = false;
  setCursor(Qt::OpenHandCursor);
  update();  // the full picture again
}

void SuitPicture::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mouseDoubleClickEvent(event);
  ResetView();
}

void SuitPicture::wheelEvent(QWheelEvent* event) {
  const double notches = event->angleDelta().y() / 120.0;
  if (notches == 0) return QWidget::wheelEvent(event);
  Zoom(std::pow(kWheelStep, notches));
  event->accept();
}

void SuitPicture::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Left: Turn(kKeyTurnDegrees, 0); break;
    case Qt::Key_Right: Turn(-kKeyTurnDegrees, 0); break;
    case Qt::Key_Up: Turn(0, kKeyTurnDegrees); break;
    case Qt::Key_Down: Turn(0, -kKeyTurnDegrees); break;
    case Qt::Key_Plus:
    case Qt::Key_Equal: Zoom(kWheelStep); break;
    case Qt::Key_Minus: Zoom(1 / kWheelStep); break;
    case Qt::Key_Home: ResetView(); break;
    default: return QWidget::keyPressEvent(event);
  }
  event->accept();
}

}  // namespace tailorloft::ui
