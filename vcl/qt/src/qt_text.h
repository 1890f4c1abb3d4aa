// Conversions at the boundary between the class library and Qt: texts (code page 1251 and
// UTF-16), accelerator marks, hints, fonts, colours, keys, pictures.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QKeySequence>
#include <QString>

#include "vcl/controls.h"
#include "vcl/graphics.h"
#include "vcl/menus.h"

namespace vcl::qt::detail {

QString Q(const AnsiString& text);
AnsiString A(const QString& text);

// A caption without its accelerator marks: "&Файл" -> "Файл", "A && B" -> "A & B".
QString PlainCaption(const QString& caption);
// A text shown literally by a widget that reads '&' as an accelerator mark.
QString EscapeAccel(const QString& text);
// Hints are "short|long": the short part pops up, the long part describes.
QString ShortHint(const AnsiString& hint);
QString LongHint(const AnsiString& hint);

// The font that shows a TFont here: Windows faces map to DejaVu, sizes go by pixels.
QFont FontOf(const TFont& font);

// The Qt alignment of a text aligned left, right or centred.
Qt::Alignment HorizontalAlignment(TAlignment alignment);
// A colour; system colours resolve through the application's palette. Invalid for clNone
// and clDefault.
QColor ColorOf(TColor color);

// The Windows virtual-key code of a Qt key (0 when there is none) and the shift state.
WORD VirtualKey(int qt_key);
int QtKey(WORD virtual_key);
TShiftState ShiftOf(Qt::KeyboardModifiers modifiers);
// A menu item's ShortCut (virtual key | scShift 0x2000 | scCtrl 0x4000 | scAlt 0x8000).
QKeySequence ShortCutSequence(TShortCut shortcut);

// The decoded pixels of a picture (a null image when it is empty).
QImage ImageOf(const TGraphic* graphic);

}  // namespace vcl::qt::detail
