#include "tools/splash/Raster.h"

#include <algorithm>
#include <cmath>

Rgb mix(const Rgb& a, const Rgb& b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Raster::Raster(int width, int height)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height) {}

void Raster::blend(int x, int y, const Rgb& c, double alpha) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || alpha <= 0)
        return;
    Rgb& p = at(x, y);
    p = mix(p, c, std::min(alpha, 1.0));
}

void Raster::fillRect(double x0, double y0, double x1, double y1, const Rgb& c, double alpha) {
    const int ix0 = std::max(0, static_cast<int>(std::lround(x0)));
    const int iy0 = std::max(0, static_cast<int>(std::lround(y0)));
    const int ix1 = std::min(width_, static_cast<int>(std::lround(x1)));
    const int iy1 = std::min(height_, static_cast<int>(std::lround(y1)));
    for (int y = iy0; y < iy1; ++y)
        for (int x = ix0; x < ix1; ++x)
            blend(x, y, c, alpha);
}

void Raster::fillEllipse(double cx, double cy, double rx, double ry, const Rgb& c, double alpha) {
    const int y0 = std::max(0, static_cast<int>(cy - ry));
    const int y1 = std::min(height_ - 1, static_cast<int>(cy + ry) + 1);
    for (int y = y0; y <= y1; ++y) {
        const double dy = (y + 0.5 - cy) / ry;
        if (dy * dy > 1)
            continue;
        const double half = rx * std::sqrt(1 - dy * dy);
        const int x0 = std::max(0, static_cast<int>(std::lround(cx - half)));
        const int x1 = std::min(width_, static_cast<int>(std::lround(cx + half)));
        for (int x = x0; x < x1; ++x)
            blend(x, y, c, alpha);
    }
}

void Raster::fillQuad(const double (&xs)[4], const double (&ys)[4], const Rgb& c, double alpha) {
    const double minY = *std::min_element(ys, ys + 4);
    const double maxY = *std::max_element(ys, ys + 4);
    const int y0 = std::max(0, static_cast<int>(minY));
    const int y1 = std::min(height_ - 1, static_cast<int>(maxY) + 1);
    for (int y = y0; y <= y1; ++y) {
        const double sy = y + 0.5;
        double lo = 1e9, hi = -1e9;
        for (int i = 0; i < 4; ++i) {
            const int j = (i + 1) % 4;
            const double ya = ys[i], yb = ys[j];
            if ((sy < std::min(ya, yb)) || (sy >= std::max(ya, yb)) || ya == yb)
                continue;
            const double x = xs[i] + (sy - ya) * (xs[j] - xs[i]) / (yb - ya);
            lo = std::min(lo, x);
            hi = std::max(hi, x);
        }
        for (int x = std::max(0, static_cast<int>(std::lround(lo)));
             x < std::min(width_, static_cast<int>(std::lround(hi))); ++x)
            blend(x, y, c, alpha);
    }
}

Raster Raster::reduced(int factor) const {
    Raster out(width_ / factor, height_ / factor);
    const double n = static_cast<double>(factor) * factor;
    for (int y = 0; y < out.height_; ++y)
        for (int x = 0; x < out.width_; ++x) {
            Rgb sum;
            for (int dy = 0; dy < factor; ++dy)
                for (int dx = 0; dx < factor; ++dx) {
                    const Rgb& p = at(x * factor + dx, y * factor + dy);
                    sum.r += p.r;
                    sum.g += p.g;
                    sum.b += p.b;
                }
            out.at(x, y) = {sum.r / n, sum.g / n, sum.b / n};
        }
    return out;
}

std::vector<std::uint8_t> Raster::toRgb8() const {
    std::vector<std::uint8_t> out;
    out.reserve(pixels_.size() * 3);
    auto clamp8 = [](double v) {
        return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L));
    };
    for (const Rgb& p : pixels_) {
        out.push_back(clamp8(p.r));
        out.push_back(clamp8(p.g));
        out.push_back(clamp8(p.b));
    }
    return out;
}
