// Pictures drawn by the build: a scene is a function that gives the colour at a point; Render
// samples it into RGB pixels, EncodeJpeg makes a JPEG file of them, WriteFile stores it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace picture {

// A colour, each part from 0 to 1.
struct Rgb {
  double r, g, b;
};

// The colour at a point; x and y in pixels from the top left corner.
using Scene = std::function<Rgb(double x, double y)>;

// RGB pixels (3 bytes each, rows top to bottom), each the mean of samples x samples points
// spread evenly over the pixel; parts outside 0 to 1 are clamped.
std::vector<std::uint8_t> Render(int width, int height, const Scene& scene, int samples = 4);

// Encodes RGB pixels (as Render gives them) as a JPEG file of the given quality (1 to 100).
std::vector<std::uint8_t> EncodeJpeg(const std::vector<std::uint8_t>& rgb, int width, int height,
                                     int quality = 90);

// Writes the bytes to the file; false, with the reason on stderr, when that fails.
bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace picture
