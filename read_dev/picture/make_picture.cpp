// Draws the main window's picture (a road to the horizon, a truck, a position pin and a
// satellite), the tool bar glyphs and those of the download panel, and writes them as JPEG files
// into the folder given; run by the build.
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "picture/picture.h"

namespace {

using picture::Rgb;

constexpr int W = 368, H = 260;  // size of the picture

Rgb Mix(Rgb a, Rgb b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

bool InPolygon(const std::vector<std::pair<double, double>>& p, double x, double y) {
  bool in = false;
  for (std::size_t i = 0, j = p.size() - 1; i < p.size(); j = i++) {
    if ((p[i].second > y) != (p[j].second > y) &&
        x < (p[j].first - p[i].first) * (y - p[i].second) / (p[j].second - p[i].second) +
                p[i].first)
      in = !in;
  }
  return in;
}

// Colour of the scene at one point (coordinates in output pixels).
Rgb Scene(double x, double y) {
  const double horizon = 112, vx = 196;
  Rgb c;
  if (y < horizon) {
    c = Mix({0.36, 0.62, 0.90}, {0.86, 0.93, 0.98}, y / horizon);
    // distant hills
    double hill = horizon - 14 - 10 * std::sin(x / 37.0) - 6 * std::sin(x / 13.0 + 1.0);
    if (y > hill) c = Mix({0.42, 0.58, 0.40}, {0.35, 0.50, 0.33}, (y - hill) / 24);
  } else {
    double t = (y - horizon) / (H - horizon);
    c = Mix({0.45, 0.64, 0.30}, {0.27, 0.50, 0.18}, t);
    // furrows
    if (std::fmod(std::fabs((x - vx) / (y - horizon + 1) * 20), 6) < 0.5)
      c = Mix(c, {0.2, 0.4, 0.14}, 0.5);
    // road: a trapezoid from the vanishing point
    double half = 3 + t * 150;
    double dx = x - (vx - t * 40);
    if (std::fabs(dx) < half) {
      c = Mix({0.52, 0.52, 0.54}, {0.34, 0.34, 0.36}, t);
      if (std::fabs(dx) > half * 0.93) c = {0.95, 0.95, 0.92};  // edge lines
      double z = 1.0 / (t + 0.02);                              // depth for the dashes
      if (std::fabs(dx) < half * 0.025 + 0.3 && std::fmod(z, 6.0) < 3.0) c = {0.98, 0.98, 0.90};
    }
  }
  // satellite: body and two panels, upper left
  auto rect = [&](double x0, double y0, double x1, double y1) {
    return x >= x0 && x <= x1 && y >= y0 && y <= y1;
  };
  if (rect(52, 30, 66, 44)) c = {0.85, 0.75, 0.30};
  if (rect(24, 33, 50, 41) || rect(68, 33, 94, 41)) {
    c = {0.15, 0.25, 0.55};
    if (std::fmod(x, 6) < 0.8) c = {0.75, 0.80, 0.90};
  }
  if (rect(58, 44, 60, 52)) c = {0.5, 0.5, 0.5};
  // signal arcs from the satellite towards the truck
  double d = std::hypot(x - 59, y - 52);
  if (y > 52 && x > 59 && std::fmod(d, 14) < 1.6 && d < 60 && (y - 52) < (x - 59) * 1.4)
    c = Mix(c, {1, 1, 1}, 0.8);
  // position pin above the truck
  double px = 250, py = 118;
  double pd = std::hypot(x - px, y - py);
  if (InPolygon({{px - 11, py + 4}, {px + 11, py + 4}, {px, py + 30}}, x, y) || pd < 15) {
    c = {0.85, 0.12, 0.10};
    if (pd < 6) c = {1, 1, 1};
  }
  // truck on the road: cab and box
  if (rect(196, 168, 258, 212)) c = {0.93, 0.93, 0.95};  // box
  if (rect(196, 168, 258, 171)) c = {0.70, 0.70, 0.75};
  if (InPolygon({{258, 184}, {280, 184}, {290, 198}, {290, 212}, {258, 212}}, x, y))
    c = {0.15, 0.35, 0.70};  // cab
  if (InPolygon({{262, 187}, {278, 187}, {285, 197}, {262, 197}}, x, y)) c = {0.70, 0.85, 0.95};
  for (double wx : {212.0, 240.0, 276.0}) {
    double wd = std::hypot(x - wx, y - 214);
    if (wd < 9) c = wd < 4 ? Rgb{0.7, 0.7, 0.7} : Rgb{0.1, 0.1, 0.1};
  }
  return c;
}

// Glyphs of the tool bar buttons, 24 x 24 on the button face colour.
Rgb Face() {
  return {0.94, 0.94, 0.94};
}

bool InRect(double x, double y, double x0, double y0, double x1, double y1) {
  return x >= x0 && x <= x1 && y >= y0 && y <= y1;
}

// A serial connector: a trapezoid shell with two rows of pins.
bool Connector(double x, double y) {
  return InPolygon({{3, 7}, {21, 7}, {18, 17}, {6, 17}}, x, y);
}
bool Pin(double x, double y) {
  for (double px : {7.0, 10.0, 13.0, 16.0})
    if (std::hypot(x - px - 0.5, y - 10) < 1.1) return true;
  for (double px : {8.5, 11.5, 14.5})
    if (std::hypot(x - px, y - 14) < 1.1) return true;
  return false;
}

Rgb PortOpen(double x, double y) {
  if (Connector(x, y)) return Pin(x, y) ? Rgb{0.95, 0.95, 0.95} : Rgb{0.10, 0.55, 0.20};
  if (InRect(x, y, 10, 17, 14, 23)) return {0.25, 0.25, 0.25};  // cable
  return Face();
}

Rgb PortClose(double x, double y) {
  // a red cross over a grey connector
  double d1 = std::fabs((x - 2) - (y - 2)) / std::sqrt(2.0),
         d2 = std::fabs((x - 2) + (y - 22)) / std::sqrt(2.0);
  if ((d1 < 1.6 || d2 < 1.6) && InRect(x, y, 2, 2, 22, 22)) return {0.85, 0.10, 0.10};
  if (Connector(x, y)) return Pin(x, y) ? Rgb{0.95, 0.95, 0.95} : Rgb{0.50, 0.50, 0.52};
  if (InRect(x, y, 10, 17, 14, 23)) return {0.25, 0.25, 0.25};
  return Face();
}

Rgb BootLoader(double x, double y) {
  // a chip with legs and a blue arrow into it
  if (InRect(x, y, 6, 9, 18, 21)) return {0.15, 0.15, 0.18};
  for (double lx : {7.5, 11.0, 14.5})
    if (InRect(x, y, lx, 21, lx + 2, 23)) return {0.65, 0.65, 0.65};
  for (double ly : {11.0, 15.0, 19.0})
    if (InRect(x, y, 3, ly - 0.8, 6, ly + 0.8) || InRect(x, y, 18, ly - 0.8, 21, ly + 0.8))
      return {0.65, 0.65, 0.65};
  if (InRect(x, y, 10.5, 1, 13.5, 6) || InPolygon({{7, 5}, {17, 5}, {12, 11}}, x, y))
    return {0.10, 0.35, 0.85};
  return Face();
}

Rgb ExitDoor(double x, double y) {
  if (InRect(x, y, 4, 2, 15, 22)) {
    if (InRect(x, y, 6, 4, 13, 20)) return {0.55, 0.35, 0.15};  // door leaf
    return {0.30, 0.20, 0.10};                                  // frame
  }
  if (InRect(x, y, 14, 10.5, 19, 13.5) || InPolygon({{18, 7}, {23, 12}, {18, 17}}, x, y))
    return {0.85, 0.15, 0.10};  // arrow out
  return Face();
}

// The download panel's picture buttons.

// The tracker (a box with a green lamp), a blue arrow down out of it into a sheet of paper.
Rgb Download(double x, double y) {
  if (InRect(x, y, 4, 1, 20, 8)) {
    if (std::hypot(x - 16.5, y - 4.5) < 1.6) return {0.15, 0.80, 0.25};  // lamp
    if (InRect(x, y, 6, 3.5, 12, 5.5)) return {0.55, 0.60, 0.68};        // slot
    return {0.22, 0.27, 0.36};
  }
  if (InRect(x, y, 10.5, 8, 13.5, 13) || InPolygon({{6.5, 12}, {17.5, 12}, {12, 18}}, x, y))
    return {0.10, 0.35, 0.85};
  if (InRect(x, y, 5, 14, 19, 23)) {
    if (!InRect(x, y, 6, 15, 18, 22)) return {0.45, 0.45, 0.50};  // edge of the sheet
    if (InRect(x, y, 7.5, 19, 16.5, 19.8) || InRect(x, y, 7.5, 20.8, 14, 21.6))
      return {0.55, 0.55, 0.62};  // lines of text
    return {1, 1, 1};
  }
  return Face();
}

// A diskette: blue case, metal shutter with its slot, white label with lines.
Rgb SaveData(double x, double y) {
  if (!InPolygon({{3, 3}, {18, 3}, {21, 6}, {21, 21}, {3, 21}}, x, y)) return Face();
  if (InRect(x, y, 7, 3, 16, 9))
    return InRect(x, y, 12.5, 4, 14.5, 8) ? Rgb{0.20, 0.22, 0.28} : Rgb{0.78, 0.80, 0.84};
  if (InRect(x, y, 6, 12, 18, 21)) {
    if (InRect(x, y, 7.5, 14.5, 16.5, 15.3) || InRect(x, y, 7.5, 17, 16.5, 17.8))
      return {0.55, 0.55, 0.62};
    return {0.98, 0.98, 0.96};
  }
  return {0.12, 0.30, 0.68};
}

bool WriteJpeg(const std::string& path, int w, int h, const picture::Scene& scene) {
  return picture::WriteFile(
      path, picture::EncodeJpeg(picture::Render(w, h, scene), w, h, w < 64 ? 95 : 85));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s folder\n", argv[0]);
    return 2;
  }
  const std::string dir = argv[1];
  const bool ok = WriteJpeg(dir + "/road.jpg", W, H, Scene) &&
                  WriteJpeg(dir + "/port_open.jpg", 24, 24, PortOpen) &&
                  WriteJpeg(dir + "/port_close.jpg", 24, 24, PortClose) &&
                  WriteJpeg(dir + "/boot_loader.jpg", 24, 24, BootLoader) &&
                  WriteJpeg(dir + "/exit.jpg", 24, 24, ExitDoor) &&
                  WriteJpeg(dir + "/download.jpg", 24, 24, Download) &&
                  WriteJpeg(dir + "/save_data.jpg", 24, 24, SaveData);
  return ok ? 0 : 1;
}
