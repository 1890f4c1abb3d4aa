#include "comctrl_widgets.h"

#include <QPainter>
#include <QStyleOptionTabWidgetFrame>

namespace vcl::qt::detail {

namespace {
// The tabs' height; the library places the sheets just below it.
constexpr int kTabHeight = 24;
}  // namespace

PageControlWidget::PageControlWidget(QWidget* parent) : QWidget(parent), tabs(new QTabBar(this)) {
  tabs->setDrawBase(false);
  tabs->setExpanding(false);
  tabs->setUsesScrollButtons(true);
  Arrange();
}

void PageControlWidget::Arrange() {
  tabs->setGeometry(2, 0, std::max(0, width() - 4), kTabHeight);
}

void PageControlWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Arrange();
}

void PageControlWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QStyleOptionTabWidgetFrame option;
  option.initFrom(this);
  option.rect = rect().adjusted(0, kTabHeight - 2, 0, 0);
  option.shape = QTabBar::RoundedNorth;
  option.tabBarSize = tabs->size();
  style()->drawPrimitive(QStyle::PE_FrameTabWidget, &option, &painter, this);
}

SpinWidget::SpinWidget(QWidget* parent) : QAbstractSpinBox(parent) {
  setButtonSymbols(QAbstractSpinBox::UpDownArrows);
  setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
}

void SpinWidget::stepBy(int steps) {
  if (on_step && steps != 0) on_step(steps);
}

QValidator::State SpinWidget::validate(QString&, int&) const {
  return QValidator::Acceptable;
}

void SpinWidget::fixup(QString&) const {}

QAbstractSpinBox::StepEnabled SpinWidget::stepEnabled() const {
  if (isReadOnly()) return StepNone;
  return StepUpEnabled | StepDownEnabled;
}

}  // namespace vcl::qt::detail
