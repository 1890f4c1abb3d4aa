// Graphics: colours, fonts, pictures and the JPEG image (decoded with libjpeg).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "vcl/classes.h"

// A colour: 0x00BBGGRR, or a system colour (0x80000000 | index) that the widget set resolves.
enum TColor : std::int32_t {
  clBlack = 0x000000,
  clMaroon = 0x000080,
  clGreen = 0x008000,
  clOlive = 0x008080,
  clNavy = 0x800000,
  clPurple = 0x800080,
  clTeal = 0x808000,
  clGray = 0x808080,
  clSilver = 0xC0C0C0,
  clRed = 0x0000FF,
  clLime = 0x00FF00,
  clYellow = 0x00FFFF,
  clBlue = 0xFF0000,
  clFuchsia = 0xFF00FF,
  clAqua = 0xFFFF00,
  clWhite = 0xFFFFFF,
  clMoneyGreen = 0xC0DCC0,
  clSkyBlue = 0xF0CAA6,
  clCream = 0xF0FBFF,
  clMedGray = 0xA4A0A0,
  clScrollBar = static_cast<std::int32_t>(0x80000000u),
  clBackground = static_cast<std::int32_t>(0x80000001u),
  clActiveCaption = static_cast<std::int32_t>(0x80000002u),
  clInactiveCaption = static_cast<std::int32_t>(0x80000003u),
  clMenu = static_cast<std::int32_t>(0x80000004u),
  clWindow = static_cast<std::int32_t>(0x80000005u),
  clWindowFrame = static_cast<std::int32_t>(0x80000006u),
  clMenuText = static_cast<std::int32_t>(0x80000007u),
  clWindowText = static_cast<std::int32_t>(0x80000008u),
  clCaptionText = static_cast<std::int32_t>(0x80000009u),
  clActiveBorder = static_cast<std::int32_t>(0x8000000Au),
  clInactiveBorder = static_cast<std::int32_t>(0x8000000Bu),
  clAppWorkSpace = static_cast<std::int32_t>(0x8000000Cu),
  clHighlight = static_cast<std::int32_t>(0x8000000Du),
  clHighlightText = static_cast<std::int32_t>(0x8000000Eu),
  clBtnFace = static_cast<std::int32_t>(0x8000000Fu),
  clBtnShadow = static_cast<std::int32_t>(0x80000010u),
  clGrayText = static_cast<std::int32_t>(0x80000011u),
  clBtnText = static_cast<std::int32_t>(0x80000012u),
  clInactiveCaptionText = static_cast<std::int32_t>(0x80000013u),
  clBtnHighlight = static_cast<std::int32_t>(0x80000014u),
  cl3DDkShadow = static_cast<std::int32_t>(0x80000015u),
  cl3DLight = static_cast<std::int32_t>(0x80000016u),
  clInfoText = static_cast<std::int32_t>(0x80000017u),
  clInfoBk = static_cast<std::int32_t>(0x80000018u),
  clNone = 0x1FFFFFFF,
  clDefault = 0x20000000,
};

// The colour as 0x00BBGGRR, system colours resolved to a classic light scheme.
std::uint32_t ColorToRGB(TColor color);

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = Set<TFontStyle>;
enum TFontPitch { fpDefault, fpVariable, fpFixed };
using TFontCharset = std::uint8_t;
constexpr TFontCharset ANSI_CHARSET = 0;
constexpr TFontCharset DEFAULT_CHARSET = 1;
constexpr TFontCharset SYMBOL_CHARSET = 2;
constexpr TFontCharset RUSSIAN_CHARSET = 204;
constexpr TFontCharset OEM_CHARSET = 255;

// A font: Size in points, Height in pixels (negative: the character height without leading,
// at 96 pixels per inch; setting one sets the other). OnChange runs after every change.
class TFont : public TPersistent {
 public:
  TFont();
  VCL_CLASS_NAME(TFont)
  void Assign(TPersistent* Source) override;

  Property<AnsiString> Name{this, &TFont::GetName, &TFont::SetName};
  Property<int> Size{this, &TFont::GetSize, &TFont::SetSize};
  Property<int> Height{this, &TFont::GetHeight, &TFont::SetHeight};
  Property<TFontStyles> Style{this, &TFont::GetStyle, &TFont::SetStyle};
  Property<TColor> Color{this, &TFont::GetColor, &TFont::SetColor};
  Property<TFontPitch> Pitch{this, &TFont::GetPitch, &TFont::SetPitch};
  Property<TFontCharset> Charset{this, &TFont::GetCharset, &TFont::SetCharset};
  TNotifyEvent OnChange;

  bool operator==(const TFont& other) const;

 private:
  AnsiString GetName() const { return name_; }
  void SetName(const AnsiString& v);
  int GetSize() const { return size_; }
  void SetSize(int v);
  int GetHeight() const;
  void SetHeight(int v);
  TFontStyles GetStyle() const { return style_; }
  void SetStyle(TFontStyles v);
  TColor GetColor() const { return color_; }
  void SetColor(TColor v);
  TFontPitch GetPitch() const { return pitch_; }
  void SetPitch(TFontPitch v);
  TFontCharset GetCharset() const { return charset_; }
  void SetCharset(TFontCharset v);
  void Notify();

  AnsiString name_ = "MS Sans Serif";
  int size_ = 8;
  TFontStyles style_;
  TColor color_ = clWindowText;
  TFontPitch pitch_ = fpDefault;
  TFontCharset charset_ = DEFAULT_CHARSET;
};

VCL_EXCEPTION_CLASS(EInvalidGraphic, Exception);

// A picture's content: decoded 8-bit RGB pixels, rows top to bottom, 3 bytes per pixel.
class TGraphic : public TPersistent {
 public:
  VCL_CLASS_NAME(TGraphic)
  ReadOnlyProperty<int> Width{this, &TGraphic::GetWidth};
  ReadOnlyProperty<int> Height{this, &TGraphic::GetHeight};
  ReadOnlyProperty<bool> Empty{this, &TGraphic::GetEmpty};
  const std::vector<std::uint8_t>& Pixels() const { return pixels_; }

  virtual void LoadFromFile(const AnsiString& FileName);
  // Decodes an encoded image held in memory; raises EInvalidGraphic when it cannot.
  virtual void LoadFromData(const std::uint8_t* data, std::size_t size) = 0;
  // Takes the decoded pixels of another image.
  void CopyFrom(const TGraphic& other) {
    width_ = other.width_;
    height_ = other.height_;
    pixels_ = other.pixels_;
  }

 protected:
  int GetWidth() const { return width_; }
  int GetHeight() const { return height_; }
  bool GetEmpty() const { return width_ == 0 || height_ == 0; }
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint8_t> pixels_;
};

// A JPEG image. Decoding uses libjpeg with its own error handler: a corrupt or truncated file
// raises EInvalidGraphic ("JPEG error #<code>: <libjpeg's text>") and leaves the image empty.
class TJPEGImage : public TGraphic {
 public:
  VCL_CLASS_NAME(TJPEGImage)
  void LoadFromData(const std::uint8_t* data, std::size_t size) override;
};

// The picture of an image control or a speed button's glyph. OnChange runs after it changes.
//
// In a form description a picture is given in one of two ways:
//   Picture.Resource = 'road.jpg'   a file embedded with the form by vcl_add_forms(... PICTURES
//                                   road.jpg) (vcl/cmake/vcl_forms.cmake), found by its name
//   Picture.Data = { FFD8FF... }    the bytes of a JPEG file as hexadecimal digits
class TPicture : public TPersistent {
 public:
  TPicture();
  ~TPicture() override;
  VCL_CLASS_NAME(TPicture)
  void Assign(TPersistent* Source) override;

  // The decoded content, or nullptr while the picture is empty.
  TGraphic* Graphic() const { return graphic_.get(); }
  ReadOnlyProperty<int> Width{this, &TPicture::GetWidth};
  ReadOnlyProperty<int> Height{this, &TPicture::GetHeight};

  // A JPEG file (by its extension .jpg or .jpeg, or its content); raises EInvalidGraphic or
  // EFOpenError. The path is Windows-style or absolute, as the programs write it.
  void LoadFromFile(const AnsiString& FileName);
  // An encoded image in memory (JPEG).
  void LoadFromData(const std::uint8_t* data, std::size_t size);
  void Clear();
  TNotifyEvent OnChange;

 private:
  int GetWidth() const { return graphic_ ? graphic_->Width() : 0; }
  int GetHeight() const { return graphic_ ? graphic_->Height() : 0; }
  void Notify();
  std::unique_ptr<TGraphic> graphic_;
};

// A window icon. The programs only pass its Handle on (the notification-area record).
using HICON = void*;
class TIcon : public TPersistent {
 public:
  VCL_CLASS_NAME(TIcon)
  ReadOnlyProperty<HICON> Handle{[this] { return static_cast<HICON>(this); }};
};
