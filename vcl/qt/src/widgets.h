// Small widgets of our own: clickable bases, and the controls that paint themselves (panels,
// bevels, images) from values their mirrors hand them.
#pragma once

#include <QAbstractButton>
#include <QImage>
#include <QLineEdit>
#include <QMouseEvent>
#include <QWidget>
#include <functional>

#include "vcl/controls.h"
#include "vcl/extctrls.h"

namespace vcl::qt::detail {

// Reports left-button clicks (press and release inside) and double clicks.
template <class Base>
class Clickable : public Base {
 public:
  using Base::Base;
  std::function<void()> on_click;
  std::function<void()> on_double_click;

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    Base::mousePressEvent(event);
    if (event->button() == Qt::LeftButton) pressed_ = true;
  }
  void mouseReleaseEvent(QMouseEvent* event) override {
    Base::mouseReleaseEvent(event);
    bool click = pressed_ && event->button() == Qt::LeftButton &&
                 this->rect().contains(event->position().toPoint());
    pressed_ = false;
    if (click && on_click) on_click();
  }
  void mouseDoubleClickEvent(QMouseEvent* event) override {
    Base::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton && on_double_click) on_double_click();
  }

 private:
  bool pressed_ = false;
};

// A button whose checked state only its mirror sets (the library decides what a click does).
template <class Base>
class Obedient : public Base {
 public:
  using Base::Base;

 protected:
  void nextCheckState() override {}
};

// Replaces an edit's text, keeping the caret where it was (a mirrored text replacing the
// typed one, as CharCase does).
void SetLineText(QLineEdit* edit, const QString& text);

// Draws the classic raised or lowered edges inside `rect`, `width` pixels deep, and shrinks it.
void DrawBevel(class QPainter& painter, QRect& rect, bool raised, int width);

class PanelWidget : public Clickable<QWidget> {
 public:
  using Clickable<QWidget>::Clickable;
  QString caption;
  TPanelBevel outer = bvRaised;
  TPanelBevel inner = bvNone;
  int bevel_width = 1;
  int border_width = 0;
  bool single_border = false;
  TAlignment alignment = taCenter;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

class BevelWidget : public QWidget {
 public:
  using QWidget::QWidget;
  TBevelShape shape = bsBox;
  bool raised = false;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

class ImageWidget : public Clickable<QWidget> {
 public:
  using Clickable<QWidget>::Clickable;
  QImage image;
  bool stretch = false;
  bool center = false;
  bool proportional = false;
  // Where the picture lands in the widget (empty without a picture).
  QRect Target() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

// A vertical line between tool buttons.
class SeparatorWidget : public QWidget {
 public:
  using QWidget::QWidget;
  bool line = true;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace vcl::qt::detail
