// SPDX-License-Identifier: GPL-3.0-or-later
// The preview's picture: draws suits ready to draw with the software
// rasterizer into a plain widget (no OpenGL, which the Windows build of Qt
// lacks), and turns, zooms and resets the view by mouse and keyboard.
#pragma once

#include <QImage>
#include <QPoint>
#include <QString>
#include <QWidget>
#include <memory>
#include <vector>

#include "render/camera.h"
#include "render/rasterizer.h"
#include "render/suit_scene.h"

namespace tailorloft::ui {

class SuitPicture : public QWidget {
  Q_OBJECT

 public:
  explicit SuitPicture(QWidget* parent = nullptr);
  ~SuitPicture() override;

  // Draws these scenes together, framed as one; the view is kept. The
  // scenes are shared, so they live as long as they are shown.
  void ShowScenes(std::vector<std::shared_ptr<const render::SuitScene>> scenes);
  // Draws no suit but `text` in its place.
  void ShowMessage(const QString& text);
  const QString& Message() const { return message_; }

  // Straight from the front, the whole suit in view.
  void ResetView();
  const render::Orbit& View() const { return orbit_; }

  // The suit as shown now, in full detail, at the widget's size in device
  // pixels, transparent where nothing is drawn; width 0 while a message is
  // shown.
  render::Image Picture();

  QSize sizeHint() const override { return {400, 400}; }

 signals:
  // A picture or message was painted on screen.
  void Painted();

 public:
  QSize minimumSizeHint() const override { return {160, 160}; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // The rasterizer's picture at `width` x `height` device pixels: valid
  // until the next drawing.
  const render::Image& Draw(int width, int height);
  void Turn(double yawDegrees, double pitchDegrees);
  void Zoom(double factor);

  std::vector<std::shared_ptr<const render::SuitScene>> scenes_;
  std::vector<render::DrawItem> items_;
  render::Box box_;
  QString message_;
  render::Orbit orbit_;
  render::Rasterizer rasterizer_;
  bool dragging_ = false;
  QPoint lastMouse_;
};

}  // namespace tailorloft::ui
