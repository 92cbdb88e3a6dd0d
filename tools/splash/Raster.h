#pragma once
// A plain RGB raster with the few drawing primitives the splash scene needs.
// Drawn at a multiple of the final size and reduced by box filtering, which
// gives smooth edges without an anti-aliasing rasteriser.
#include <cstddef>
#include <cstdint>
#include <vector>

struct Rgb {
    double r = 0, g = 0, b = 0;
};

Rgb mix(const Rgb& a, const Rgb& b, double t);

class Raster {
public:
    Raster(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }

    Rgb& at(int x, int y) { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
    const Rgb& at(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }

    /// Blends colour c over the pixel with coverage alpha; outside pixels are ignored.
    void blend(int x, int y, const Rgb& c, double alpha);
    void fillRect(double x0, double y0, double x1, double y1, const Rgb& c, double alpha = 1.0);
    void fillEllipse(double cx, double cy, double rx, double ry, const Rgb& c, double alpha = 1.0);
    /// Fills the quadrilateral given clockwise or counter-clockwise.
    void fillQuad(const double (&xs)[4], const double (&ys)[4], const Rgb& c, double alpha = 1.0);

    /// Box-filters the raster down by an integer factor.
    Raster reduced(int factor) const;
    /// Packs the raster into 8-bit RGB rows.
    std::vector<std::uint8_t> toRgb8() const;

private:
    int width_;
    int height_;
    std::vector<Rgb> pixels_;
};
