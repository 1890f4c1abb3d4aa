// Widgets of the common controls: the containers a screen reader should meet as status bar,
// tool bar and page list (see accessibility.cpp), and the spin box whose text and steps are
// the library's.
#pragma once

#include <QAbstractSpinBox>
#include <QLineEdit>
#include <QTabBar>
#include <QWidget>
#include <functional>

namespace vcl::qt::detail {

class StatusBarWidget : public QWidget {
 public:
  using QWidget::QWidget;
};

class ToolBarWidget : public QWidget {
 public:
  using QWidget::QWidget;
};

// Tabs on top, the active sheet below inside a frame.
class PageControlWidget : public QWidget {
 public:
  explicit PageControlWidget(QWidget* parent);
  QTabBar* const tabs;
  void Arrange();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
};

// Any text is allowed while typing; the library reads the value and clamps on leaving.
class SpinWidget : public QAbstractSpinBox {
 public:
  explicit SpinWidget(QWidget* parent);
  std::function<void(int steps)> on_step;
  QLineEdit* Edit() const { return lineEdit(); }
  void stepBy(int steps) override;
  QValidator::State validate(QString& input, int& pos) const override;
  void fixup(QString& input) const override;

 protected:
  StepEnabled stepEnabled() const override;
};

}  // namespace vcl::qt::detail
