#include "widgets.h"

#include <QPainter>

#include "qt_text.h"
#include "vcl/extctrls.h"
#include "vcl/graphics.h"

namespace vcl::qt::detail {

void SetLineText(QLineEdit* edit, const QString& text) {
  if (edit->text() == text) return;
  int cursor = edit->cursorPosition();
  edit->setText(text);
  edit->setCursorPosition(std::min<int>(cursor, static_cast<int>(text.size())));
}

void DrawBevel(QPainter& painter, QRect& rect, bool raised, int width) {
  QColor light = ColorOf(clBtnHighlight), dark = ColorOf(clBtnShadow);
  for (int i = 0; i < width && rect.width() > 1 && rect.height() > 1; ++i) {
    painter.setPen(raised ? light : dark);
    painter.drawLine(rect.topLeft(), rect.topRight());
    painter.drawLine(rect.topLeft(), rect.bottomLeft());
    painter.setPen(raised ? dark : light);
    painter.drawLine(rect.bottomLeft(), rect.bottomRight());
    painter.drawLine(rect.topRight(), rect.bottomRight());
    rect.adjust(1, 1, -1, -1);
  }
}

void PanelWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QRect r = rect();
  if (single_border) {
    painter.setPen(ColorOf(clWindowFrame));
    painter.drawRect(r.adjusted(0, 0, -1, -1));
    r.adjust(1, 1, -1, -1);
  }
  if (outer != bvNone && outer != bvSpace) DrawBevel(painter, r, outer == bvRaised, bevel_width);
  r.adjust(border_width, border_width, -border_width, -border_width);
  if (inner != bvNone && inner != bvSpace) DrawBevel(painter, r, inner == bvRaised, bevel_width);
  if (caption.isEmpty()) return;
  int align = Qt::AlignVCenter | Qt::TextShowMnemonic | Qt::TextSingleLine;
  align |= alignment == taLeftJustify    ? Qt::AlignLeft
           : alignment == taRightJustify ? Qt::AlignRight
                                         : Qt::AlignHCenter;
  painter.setPen(palette().color(QPalette::WindowText));
  painter.drawText(r.adjusted(2, 0, -2, 0), align, caption);
}

void BevelWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QColor light = ColorOf(clBtnHighlight), dark = ColorOf(clBtnShadow);
  QColor first = raised ? light : dark, second = raised ? dark : light;
  QRect r = rect();
  auto hline = [&](int y) {
    painter.setPen(first);
    painter.drawLine(0, y, r.width() - 1, y);
    painter.setPen(second);
    painter.drawLine(0, y + 1, r.width() - 1, y + 1);
  };
  auto vline = [&](int x) {
    painter.setPen(first);
    painter.drawLine(x, 0, x, r.height() - 1);
    painter.setPen(second);
    painter.drawLine(x + 1, 0, x + 1, r.height() - 1);
  };
  switch (shape) {
    case bsBox:
      DrawBevel(painter, r, raised, 1);
      break;
    case bsFrame: {
      // An etched frame: one outline sunk, one raised, a pixel apart.
      QRect outer = r.adjusted(0, 0, -1, -1), inner = r.adjusted(1, 1, 0, 0);
      painter.setPen(second);
      painter.drawRect(inner.adjusted(0, 0, -1, -1));
      painter.setPen(first);
      painter.drawRect(outer.adjusted(0, 0, -1, -1));
      break;
    }
    case bsTopLine:
      hline(0);
      break;
    case bsBottomLine:
      hline(r.height() - 2);
      break;
    case bsLeftLine:
      vline(0);
      break;
    case bsRightLine:
      vline(r.width() - 2);
      break;
    case bsSpacer:
      break;
  }
}

QRect ImageWidget::Target() const {
  if (image.isNull()) return QRect();
  QSize frame = size(), picture = image.size();
  QSize shown = picture;
  if (stretch ||
      (proportional && (picture.width() > frame.width() || picture.height() > frame.height())))
    shown = proportional ? picture.scaled(frame, Qt::KeepAspectRatio) : frame;
  QPoint at(0, 0);
  if (center)
    at = QPoint((frame.width() - shown.width()) / 2, (frame.height() - shown.height()) / 2);
  return QRect(at, shown);
}

void ImageWidget::paintEvent(QPaintEvent*) {
  if (image.isNull()) return;
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(Target(), image);
}

void SeparatorWidget::paintEvent(QPaintEvent*) {
  if (!line) return;
  QPainter painter(this);
  int x = width() / 2 - 1;
  painter.setPen(ColorOf(clBtnShadow));
  painter.drawLine(x, 2, x, height() - 3);
  painter.setPen(ColorOf(clBtnHighlight));
  painter.drawLine(x + 1, 2, x + 1, height() - 3);
}

}  // namespace vcl::qt::detail
