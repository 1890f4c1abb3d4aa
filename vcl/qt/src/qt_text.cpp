#include "qt_text.h"

#include <QApplication>
#include <QFontDatabase>
#include <QPalette>
#include <array>
#include <utility>

#include "platform/cp1251.h"
#include "vcl/graphics.h"
#include "vcl/menus.h"

namespace vcl::qt::detail {

QString Q(const AnsiString& text) {
  return QString::fromStdString(platform::Cp1251ToUtf8(text.str()));
}

AnsiString A(const QString& text) {
  QByteArray utf8 = text.toUtf8();
  return AnsiString(platform::Utf8ToCp1251(std::string_view(utf8.constData(), utf8.size())));
}

QString PlainCaption(const QString& caption) {
  QString out;
  out.reserve(caption.size());
  for (qsizetype i = 0; i < caption.size(); ++i) {
    if (caption[i] == u'&' && i + 1 < caption.size())
      ++i;
    else if (caption[i] == u'&')
      continue;
    out += caption[i];
  }
  return out;
}

QString EscapeAccel(const QString& text) {
  QString out = text;
  out.replace(u'&', QStringLiteral("&&"));
  return out;
}

QString ShortHint(const AnsiString& hint) {
  QString h = Q(hint);
  qsizetype bar = h.indexOf(u'|');
  return bar < 0 ? h : h.left(bar);
}

QString LongHint(const AnsiString& hint) {
  QString h = Q(hint);
  qsizetype bar = h.indexOf(u'|');
  return bar < 0 ? h : h.mid(bar + 1);
}

namespace {

bool IsMonospaceFace(const QString& name) {
  static const char* const kFaces[] = {"courier new", "courier",  "lucida console", "consolas",
                                       "fixedsys",    "terminal", "system"};
  QString lower = name.toLower();
  for (const char* face : kFaces)
    if (lower == QLatin1String(face)) return true;
  return false;
}

bool IsSerifFace(const QString& name) {
  QString lower = name.toLower();
  return lower == QLatin1String("times new roman") || lower == QLatin1String("times") ||
         lower == QLatin1String("ms serif") || lower == QLatin1String("georgia");
}

}  // namespace

QFont FontOf(const TFont& font) {
  QFont qf;
  QString name = Q(font.Name());
  bool mono = font.Pitch() == fpFixed || IsMonospaceFace(name);
  bool serif = !mono && IsSerifFace(name);
  if (!name.isEmpty() && QFontDatabase::hasFamily(name)) {
    qf.setFamily(name);
  } else if (mono) {
    qf.setFamilies({QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Monospace")});
  } else if (serif) {
    qf.setFamilies({QStringLiteral("DejaVu Serif"), QStringLiteral("Serif")});
  } else {
    // The Windows dialog faces are narrower than DejaVu Sans: condense it so that captions
    // fit the sizes the forms were designed with.
    qf.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")});
    qf.setStretch(QFont::SemiCondensed);
  }
  qf.setStyleHint(mono ? QFont::TypeWriter : serif ? QFont::Serif : QFont::SansSerif);
  if (mono) qf.setFixedPitch(true);
  int height = font.Height();
  // A negative height is the character height; a positive one includes the internal leading.
  int pixels = height < 0 ? -height : height * 4 / 5;
  qf.setPixelSize(pixels > 0 ? pixels : 11);
  TFontStyles style = font.Style();
  qf.setBold(style.Contains(fsBold));
  qf.setItalic(style.Contains(fsItalic));
  qf.setUnderline(style.Contains(fsUnderline));
  qf.setStrikeOut(style.Contains(fsStrikeOut));
  return qf;
}

QColor ColorOf(TColor color) {
  if (color == clNone || color == clDefault) return QColor();
  auto bits = static_cast<std::uint32_t>(color);
  if (bits & 0x80000000u) {
    const QPalette pal = QApplication::palette();
    switch (bits & 0xFFu) {
      case 0x04:
        return pal.color(QPalette::Window);  // clMenu
      case 0x05:
        return pal.color(QPalette::Base);  // clWindow
      case 0x06:
        return pal.color(QPalette::Shadow);  // clWindowFrame
      case 0x07:
        return pal.color(QPalette::WindowText);  // clMenuText
      case 0x08:
        return pal.color(QPalette::Text);  // clWindowText
      case 0x0D:
        return pal.color(QPalette::Highlight);  // clHighlight
      case 0x0E:
        return pal.color(QPalette::HighlightedText);  // clHighlightText
      case 0x0F:
        return pal.color(QPalette::Button);  // clBtnFace
      case 0x10:
        return pal.color(QPalette::Dark);  // clBtnShadow
      case 0x11:
        return pal.color(QPalette::Disabled, QPalette::Text);  // clGrayText
      case 0x12:
        return pal.color(QPalette::ButtonText);  // clBtnText
      case 0x14:
        return pal.color(QPalette::Light);  // clBtnHighlight
      case 0x15:
        return pal.color(QPalette::Shadow);  // cl3DDkShadow
      case 0x16:
        return pal.color(QPalette::Midlight);  // cl3DLight
      case 0x17:
        return pal.color(QPalette::ToolTipText);  // clInfoText
      case 0x18:
        return pal.color(QPalette::ToolTipBase);  // clInfoBk
      default:
        bits = ColorToRGB(color);
        break;
    }
  }
  return QColor(static_cast<int>(bits & 0xFF), static_cast<int>((bits >> 8) & 0xFF),
                static_cast<int>((bits >> 16) & 0xFF));
}

namespace {

constexpr std::array<std::pair<int, WORD>, 27> kKeys{{
    {Qt::Key_Backspace, 0x08}, {Qt::Key_Tab, 0x09},        {Qt::Key_Return, 0x0D},
    {Qt::Key_Enter, 0x0D},     {Qt::Key_Shift, 0x10},      {Qt::Key_Control, 0x11},
    {Qt::Key_Alt, 0x12},       {Qt::Key_Pause, 0x13},      {Qt::Key_CapsLock, 0x14},
    {Qt::Key_Escape, 0x1B},    {Qt::Key_Space, 0x20},      {Qt::Key_PageUp, 0x21},
    {Qt::Key_PageDown, 0x22},  {Qt::Key_End, 0x23},        {Qt::Key_Home, 0x24},
    {Qt::Key_Left, 0x25},      {Qt::Key_Up, 0x26},         {Qt::Key_Right, 0x27},
    {Qt::Key_Down, 0x28},      {Qt::Key_Print, 0x2C},      {Qt::Key_Insert, 0x2D},
    {Qt::Key_Delete, 0x2E},    {Qt::Key_Help, 0x2F},       {Qt::Key_Menu, 0x5D},
    {Qt::Key_NumLock, 0x90},   {Qt::Key_ScrollLock, 0x91}, {Qt::Key_Plus, 0xBB},
}};

}  // namespace

WORD VirtualKey(int qt_key) {
  if ((qt_key >= Qt::Key_A && qt_key <= Qt::Key_Z) || (qt_key >= Qt::Key_0 && qt_key <= Qt::Key_9))
    return static_cast<WORD>(qt_key);
  if (qt_key >= Qt::Key_F1 && qt_key <= Qt::Key_F24)
    return static_cast<WORD>(0x70 + (qt_key - Qt::Key_F1));
  for (const auto& [q, vk] : kKeys)
    if (q == qt_key) return vk;
  switch (qt_key) {
    case Qt::Key_Comma:
      return 0xBC;
    case Qt::Key_Minus:
      return 0xBD;
    case Qt::Key_Period:
      return 0xBE;
    default:
      return 0;
  }
}

int QtKey(WORD vk) {
  if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) return vk;
  if (vk >= 0x70 && vk <= 0x87) return Qt::Key_F1 + (vk - 0x70);
  for (const auto& [q, v] : kKeys)
    if (v == vk) return q;
  switch (vk) {
    case 0xBC:
      return Qt::Key_Comma;
    case 0xBD:
      return Qt::Key_Minus;
    case 0xBE:
      return Qt::Key_Period;
    default:
      return 0;
  }
}

TShiftState ShiftOf(Qt::KeyboardModifiers modifiers) {
  TShiftState shift;
  if (modifiers & Qt::ShiftModifier) shift << ssShift;
  if (modifiers & Qt::ControlModifier) shift << ssCtrl;
  if (modifiers & Qt::AltModifier) shift << ssAlt;
  return shift;
}

QKeySequence ShortCutSequence(TShortCut shortcut) {
  int key = QtKey(static_cast<WORD>(shortcut & 0xFF));
  if (key == 0) return QKeySequence();
  int modifiers = 0;
  if (shortcut & 0x2000) modifiers |= Qt::SHIFT;
  if (shortcut & 0x4000) modifiers |= Qt::CTRL;
  if (shortcut & 0x8000) modifiers |= Qt::ALT;
  return QKeySequence(key | modifiers);
}

QImage ImageOf(const TGraphic* graphic) {
  if (!graphic || graphic->Empty()) return QImage();
  int w = graphic->Width(), h = graphic->Height();
  const std::vector<std::uint8_t>& pixels = graphic->Pixels();
  if (pixels.size() < static_cast<std::size_t>(w) * h * 3) return QImage();
  return QImage(pixels.data(), w, h, w * 3, QImage::Format_RGB888).copy();
}

Qt::Alignment HorizontalAlignment(TAlignment alignment) {
  switch (alignment) {
    case taRightJustify:
      return Qt::AlignRight;
    case taCenter:
      return Qt::AlignHCenter;
    default:
      return Qt::AlignLeft;
  }
}

}  // namespace vcl::qt::detail
