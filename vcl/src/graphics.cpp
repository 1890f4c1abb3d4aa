#include "vcl/graphics.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <string>

#include "gui_internal.h"
#include "published.h"
#include "text_file.h"

extern "C" {
#include <jpeglib.h>
}

std::uint32_t ColorToRGB(TColor color) {
  auto value = static_cast<std::uint32_t>(color);
  if ((value & 0x80000000u) == 0) return value & 0x00FFFFFFu;
  // A classic light scheme, 0x00BBGGRR.
  static const std::uint32_t kSystem[] = {
      0xC8C8C8,  // scroll bar
      0x000000,  // background
      0x800000,  // active caption
      0x808080,  // inactive caption
      0xFFFFFF,  // menu
      0xFFFFFF,  // window
      0x000000,  // window frame
      0x000000,  // menu text
      0x000000,  // window text
      0xFFFFFF,  // caption text
      0xC0C0C0,  // active border
      0xC0C0C0,  // inactive border
      0x808080,  // application work space
      0x800000,  // highlight
      0xFFFFFF,  // highlight text
      0xC0C0C0,  // button face
      0x808080,  // button shadow
      0x808080,  // grey text
      0x000000,  // button text
      0xC0C0C0,  // inactive caption text
      0xFFFFFF,  // button highlight
      0x404040,  // 3D dark shadow
      0xE0E0E0,  // 3D light
      0x000000,  // info text
      0xE1FFFF,  // info background
  };
  std::uint32_t index = value & 0xFFu;
  return index < std::size(kSystem) ? kSystem[index] : 0;
}

// ---- TFont ----

TFont::TFont() = default;

bool TFont::operator==(const TFont& o) const {
  return name_ == o.name_ && size_ == o.size_ && style_ == o.style_ && color_ == o.color_ &&
         pitch_ == o.pitch_ && charset_ == o.charset_;
}

void TFont::Assign(TPersistent* Source) {
  auto* font = dynamic_cast<TFont*>(Source);
  if (!font) return TPersistent::Assign(Source);
  if (*font == *this) return;
  name_ = font->name_;
  size_ = font->size_;
  style_ = font->style_;
  color_ = font->color_;
  pitch_ = font->pitch_;
  charset_ = font->charset_;
  Notify();
}

void TFont::Notify() {
  if (OnChange) OnChange(this);
}

void TFont::SetName(const AnsiString& v) {
  if (v == name_ || v.IsEmpty()) return;
  name_ = v;
  Notify();
}

void TFont::SetSize(int v) {
  if (vcl::detail::Store(size_, v)) Notify();
}

// Height in pixels at 96 pixels per inch: negative for the character height without leading.
int TFont::GetHeight() const {
  return -((size_ * 96 + 36) / 72);
}

void TFont::SetHeight(int v) {
  int points = ((v < 0 ? -v : v) * 72 + 48) / 96;
  SetSize(points);
}

void TFont::SetStyle(TFontStyles v) {
  if (vcl::detail::Store(style_, v)) Notify();
}

void TFont::SetColor(TColor v) {
  if (vcl::detail::Store(color_, v)) Notify();
}

void TFont::SetPitch(TFontPitch v) {
  if (vcl::detail::Store(pitch_, v)) Notify();
}

void TFont::SetCharset(TFontCharset v) {
  if (vcl::detail::Store(charset_, v)) Notify();
}

// ---- Images ----

void TGraphic::LoadFromFile(const AnsiString& FileName) {
  std::string data, error;
  if (vcl::detail::ReadWholeFile(FileName, data, error) != vcl::detail::FileResult::kOk)
    throw EFOpenError("Cannot open file \"" + FileName + "\". " + AnsiString(error));
  LoadFromData(reinterpret_cast<const std::uint8_t*>(data.data()), data.size());
}

namespace {

// Pictures beyond this many pixels are refused rather than allocated.
constexpr unsigned long kMaxPixels = 64ul * 1024 * 1024;

struct JpegErrors {
  jpeg_error_mgr mgr;
  std::jmp_buf jump;
  int code;
  char text[JMSG_LENGTH_MAX];
};

// libjpeg's default error_exit ends the process; this one returns to the decoder.
void JpegErrorExit(j_common_ptr cinfo) {
  auto* errors = reinterpret_cast<JpegErrors*>(cinfo->err);
  errors->code = cinfo->err->msg_code;
  (*cinfo->err->format_message)(cinfo, errors->text);
  std::longjmp(errors->jump, 1);
}

void JpegQuiet(j_common_ptr, int) {}

// Decodes into `pixels` (RGB). No C++ object is created between setjmp and the decoder calls,
// so the jump skips no destructor. Returns false with the error in `errors`.
bool DecodeJpeg(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>& pixels,
                int& width, int& height, JpegErrors& errors) {
  jpeg_decompress_struct cinfo;
  std::memset(&cinfo, 0, sizeof cinfo);
  cinfo.err = jpeg_std_error(&errors.mgr);
  errors.mgr.error_exit = JpegErrorExit;
  errors.mgr.emit_message = JpegQuiet;
  errors.code = 0;
  errors.text[0] = '\0';
  if (setjmp(errors.jump)) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, const_cast<unsigned char*>(data), static_cast<unsigned long>(size));
  jpeg_read_header(&cinfo, TRUE);
  cinfo.out_color_space = JCS_RGB;
  jpeg_start_decompress(&cinfo);
  if (cinfo.output_components != 3 ||
      static_cast<unsigned long>(cinfo.output_width) * cinfo.output_height > kMaxPixels) {
    std::snprintf(errors.text, sizeof errors.text, "image too large or not RGB (%ux%u)",
                  cinfo.output_width, cinfo.output_height);
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  width = static_cast<int>(cinfo.output_width);
  height = static_cast<int>(cinfo.output_height);
  std::size_t stride = static_cast<std::size_t>(width) * 3;
  pixels.assign(stride * static_cast<std::size_t>(height), 0);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = pixels.data() + stride * cinfo.output_scanline;
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return true;
}

bool LooksLikeJpeg(const std::uint8_t* data, std::size_t size) {
  return size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
}

}  // namespace

void TJPEGImage::LoadFromData(const std::uint8_t* data, std::size_t size) {
  width_ = height_ = 0;
  pixels_.clear();
  if (!data || size == 0) throw EInvalidGraphic("JPEG error: empty data");
  std::vector<std::uint8_t> pixels;
  int width = 0, height = 0;
  JpegErrors errors;
  if (!DecodeJpeg(data, size, pixels, width, height, errors)) {
    AnsiString text = "JPEG error #" + AnsiString(errors.code) + ": " + AnsiString(errors.text);
    throw EInvalidGraphic(text);
  }
  pixels_ = std::move(pixels);
  width_ = width;
  height_ = height;
}

// ---- TPicture ----

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::Notify() {
  if (OnChange) OnChange(this);
}

void TPicture::Assign(TPersistent* Source) {
  if (!Source) {
    Clear();
    return;
  }
  if (auto* picture = dynamic_cast<TPicture*>(Source)) {
    if (picture == this) return;
    if (!picture->graphic_) {
      Clear();
      return;
    }
    auto copy = std::make_unique<TJPEGImage>();
    copy->CopyFrom(*picture->graphic_);
    graphic_ = std::move(copy);
    Notify();
    return;
  }
  TPersistent::Assign(Source);
}

void TPicture::LoadFromFile(const AnsiString& FileName) {
  std::string data, error;
  if (vcl::detail::ReadWholeFile(FileName, data, error) != vcl::detail::FileResult::kOk)
    throw EFOpenError("Cannot open file \"" + FileName + "\". " + AnsiString(error));
  LoadFromData(reinterpret_cast<const std::uint8_t*>(data.data()), data.size());
}

void TPicture::LoadFromData(const std::uint8_t* data, std::size_t size) {
  if (!LooksLikeJpeg(data, size))
    throw EInvalidGraphic("Unknown picture format (only JPEG pictures are supported)");
  auto image = std::make_unique<TJPEGImage>();
  image->LoadFromData(data, size);
  graphic_ = std::move(image);
  Notify();
}

void TPicture::Clear() {
  if (!graphic_) return;
  graphic_.reset();
  Notify();
}

// ---- Published properties, for form descriptions (published.h) ----

namespace vcl::detail {

namespace {

void LoadPictureData(TPicture* picture, const std::uint8_t* data, std::size_t size) {
  // The designer's form starts with the graphic's class name (a length byte, the name) and
  // may follow it with a 4-byte length; the bytes of the image file come after.
  if (size > 1 && data[0] > 0 && data[0] < 64 && size > data[0] + 1u && data[1] == 'T') {
    std::size_t skip = 1u + data[0];
    data += skip;
    size -= skip;
    if (size >= 4 && !(data[0] == 0xFF && data[1] == 0xD8)) {
      data += 4;
      size -= 4;
    }
  }
  picture->LoadFromData(data, size);
}

}  // namespace

std::span<const ClassTable> GraphicsTables() {
  static const ClassTable tables[] = {
      Publish<TFont>("TFont", "TPersistent", Creation::kBaseOnly)
          .prop("Charset", &TFont::Charset)
          .prop("Color", &TFont::Color)
          .prop("Height", &TFont::Height)
          .prop("Name", &TFont::Name)
          .prop("Size", &TFont::Size)
          .prop("Style", &TFont::Style)
          .prop("Pitch", &TFont::Pitch),
      Publish<TPicture>("TPicture", "TPersistent", Creation::kBaseOnly)
          .custom("Resource",
                  [](TObject* obj, const dfm::Value& v, LoadContext& ctx, const std::string& prop) {
                    if (v.kind != dfm::Value::String) Bad(ctx, v.line, prop, "File name expected");
                    const EmbeddedFile* file = ctx.binding.FindFile(v.text);
                    if (!file)
                      Bad(ctx, v.line, prop,
                          "The picture '" + v.text + "' is not embedded with this form");
                    static_cast<TPicture*>(obj)->LoadFromData(file->data, file->size);
                  })
          .custom("Data",
                  [](TObject* obj, const dfm::Value& v, LoadContext& ctx, const std::string& prop) {
                    if (v.kind != dfm::Value::Binary)
                      Bad(ctx, v.line, prop, "Binary data expected");
                    LoadPictureData(static_cast<TPicture*>(obj), v.bytes.data(), v.bytes.size());
                  }),
      Publish<TIcon>("TIcon", "TPersistent", Creation::kBaseOnly).ignore({"Data"}),
  };
  return tables;
}

}  // namespace vcl::detail
