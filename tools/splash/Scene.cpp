#include "tools/splash/Scene.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// A fixed generator of our own keeps the picture identical on every machine.
class Dice {
public:
    explicit Dice(std::uint64_t seed) : state_(seed) {}
    double next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        z ^= z >> 31;
        return static_cast<double>(z >> 11) / 9007199254740992.0;
    }
    double between(double lo, double hi) { return lo + (hi - lo) * next(); }

private:
    std::uint64_t state_;
};

struct Pen {
    Raster& raster;
    double s;
    void rect(double x0, double y0, double x1, double y1, const Rgb& c, double a = 1.0) {
        raster.fillRect(x0 * s, y0 * s, x1 * s, y1 * s, c, a);
    }
    void ellipse(double cx, double cy, double rx, double ry, const Rgb& c, double a = 1.0) {
        raster.fillEllipse(cx * s, cy * s, rx * s, ry * s, c, a);
    }
    void quad(double x0, double y0, double x1, double y1, double x2, double y2, double x3,
              double y3, const Rgb& c, double a = 1.0) {
        const double xs[4] = {x0 * s, x1 * s, x2 * s, x3 * s};
        const double ys[4] = {y0 * s, y1 * s, y2 * s, y3 * s};
        raster.fillQuad(xs, ys, c, a);
    }
};

constexpr double kWidth = 604;
constexpr double kHeight = 453;
constexpr double kGroundTop = 372;

void drawSky(Raster& raster, double s) {
    const Rgb zenith{58, 118, 196};
    const Rgb horizon{200, 224, 242};
    for (int y = 0; y < raster.height(); ++y) {
        const double t = std::pow(std::min(1.0, y / (kGroundTop * s)), 1.4);
        const Rgb c = mix(zenith, horizon, t);
        for (int x = 0; x < raster.width(); ++x)
            raster.at(x, y) = c;
    }
}

void drawClouds(Pen& pen, Dice& dice) {
    const double centres[][2] = {{90, 52}, {330, 34}, {470, 96}, {560, 30}, {215, 120}};
    for (const auto& c : centres) {
        for (int i = 0; i < 22; ++i) {
            const double dx = dice.between(-46, 46);
            const double dy = dice.between(-9, 7) + std::abs(dx) * 0.08;
            const double r = dice.between(9, 20);
            pen.ellipse(c[0] + dx, c[1] + dy, r * 1.5, r, {250, 252, 255}, 0.22);
        }
    }
}

void drawDistantBlocks(Pen& pen, Dice& dice) {
    const Rgb haze{170, 186, 204};
    double x = -10;
    while (x < kWidth) {
        const double w = dice.between(40, 70);
        const double top = dice.between(222, 262);
        pen.rect(x, top, x + w, kGroundTop, haze);
        for (double fy = top + 6; fy < kGroundTop - 4; fy += 8)
            for (double fx = x + 4; fx < x + w - 6; fx += 7)
                pen.rect(fx, fy, fx + 3.5, fy + 4, {150, 166, 186}, 0.8);
        x += w + dice.between(4, 22);
    }
}

struct Block {
    double left, right, top; // front face
    double side;             // width of the shaded side face to the right
    Rgb facade;
    double floorHeight;
    double bayWidth;
};

Rgb windowColour(Dice& dice) {
    const double roll = dice.next();
    if (roll < 0.18)
        return {156, 190, 222}; // the sky reflected in the glass
    if (roll < 0.30)
        return {196, 176, 146}; // drawn curtains
    if (roll < 0.36)
        return {232, 232, 226}; // blinds
    return {78 + dice.between(-8, 8), 98 + dice.between(-8, 8), 124 + dice.between(-8, 8)};
}

void drawWindowGrid(Pen& pen, Dice& dice, const Block& b) {
    const Rgb band{b.facade.r - 26, b.facade.g - 26, b.facade.b - 26};
    for (double fy = b.top + 12; fy < kGroundTop; fy += b.floorHeight) {
        pen.rect(b.left, fy - 2, b.right, fy - 1, band); // slab line between floors
        for (double fx = b.left + 5; fx + b.bayWidth * 0.62 < b.right - 3; fx += b.bayWidth) {
            const double w = b.bayWidth * 0.62;
            const double h = b.floorHeight * 0.58;
            pen.rect(fx - 0.6, fy + 1.4, fx + w + 0.6, fy + h + 2.4, {246, 244, 238});
            pen.rect(fx, fy + 2, fx + w, fy + h + 2, windowColour(dice));
            pen.rect(fx + w * 0.48, fy + 2, fx + w * 0.56, fy + h + 2, {236, 236, 230}, 0.9);
            pen.rect(fx, fy + 2, fx + w, fy + 3, {40, 48, 60}, 0.25); // shade under the lintel
        }
    }
}

void drawSideFace(Pen& pen, const Block& b) {
    const Rgb shade{b.facade.r * 0.72, b.facade.g * 0.72, b.facade.b * 0.76};
    const double x0 = b.right, x1 = b.right + b.side;
    pen.quad(x0, b.top, x1, b.top + b.side * 0.35, x1, kGroundTop, x0, kGroundTop, shade);
    for (double fy = b.top + 14; fy < kGroundTop; fy += b.floorHeight) {
        const double slope = 0.35;
        for (double fx = x0 + 3; fx + 4 < x1 - 1; fx += 8) {
            const double lift = (fx - x0) * slope * 0.3;
            pen.rect(fx, fy + lift, fx + 4, fy + lift + b.floorHeight * 0.55, {62, 76, 96}, 0.85);
        }
    }
}

void drawRoof(Pen& pen, const Block& b) {
    const Rgb dark{b.facade.r * 0.6, b.facade.g * 0.6, b.facade.b * 0.62};
    pen.rect(b.left - 1, b.top - 4, b.right + 1, b.top + 2, dark); // parapet
    const double mid = (b.left + b.right) / 2;
    pen.rect(mid - 14, b.top - 16, mid + 14, b.top - 4,
             {b.facade.r - 10, b.facade.g - 12, b.facade.b - 14});
    pen.rect(mid + 14, b.top - 16, mid + 20, b.top - 4, dark);
    pen.rect(mid - 22, b.top - 26, mid - 21, b.top - 4, {90, 90, 96}); // aerial
}

void drawBlock(Pen& pen, Dice& dice, const Block& b) {
    drawSideFace(pen, b);
    pen.rect(b.left, b.top, b.right, kGroundTop, b.facade);
    // Sunlight comes from the left: the facade darkens slightly to the right.
    for (double x = b.left; x < b.right; x += 1)
        pen.rect(x, b.top, x + 1, kGroundTop, {0, 0, 0}, 0.08 * (x - b.left) / (b.right - b.left));
    drawWindowGrid(pen, dice, b);
    drawRoof(pen, b);
}

void drawGround(Pen& pen, Dice& dice) {
    pen.rect(0, kGroundTop, kWidth, kHeight, {104, 146, 62});
    for (int i = 0; i < 900; ++i) {
        const double x = dice.between(0, kWidth), y = dice.between(kGroundTop, kHeight);
        const double g = dice.between(-22, 22);
        pen.ellipse(x, y, dice.between(2, 6), dice.between(1, 2.5),
                    {104 + g, 150 + g, 60 + g * 0.5}, 0.6);
    }
    // A footpath leading towards the entrance.
    pen.quad(250, kHeight, 360, kHeight, 318, kGroundTop + 4, 292, kGroundTop + 4, {196, 188, 170});
    pen.quad(254, kHeight, 262, kHeight, 294, kGroundTop + 4, 292, kGroundTop + 4, {160, 154, 140});
}

void drawCrown(Pen& pen, Dice& dice, double cx, double cy, double r, double squash) {
    // Shadow on the ground first, then the foliage from dark interior to lit rim.
    pen.ellipse(cx + r * 0.3, cy + r * squash + r * 0.9, r * 1.1, r * 0.22, {40, 70, 30}, 0.35);
    pen.rect(cx - r * 0.08, cy, cx + r * 0.08, cy + r * squash + r * 0.9, {86, 64, 44});
    for (int i = 0; i < 70; ++i) {
        const double a = dice.between(0, 6.2832);
        const double d = std::sqrt(dice.next()) * r * 0.85;
        const double x = cx + std::cos(a) * d;
        const double y = cy + std::sin(a) * d * squash;
        const double light =
            std::clamp(0.5 + (cx - x) / (2 * r) + (cy - y) / (2 * r * squash), 0.0, 1.0);
        const Rgb dark{30, 72, 28}, lit{118, 168, 62};
        const Rgb c = mix(dark, lit, light * dice.between(0.7, 1.0));
        pen.ellipse(x, y, r * dice.between(0.22, 0.36), r * dice.between(0.2, 0.32) * squash, c,
                    0.9);
    }
}

void drawTrees(Pen& pen, Dice& dice) {
    // Tall poplars behind the row of broad trees.
    for (double x = 12; x < kWidth; x += dice.between(38, 70))
        drawCrown(pen, dice, x, dice.between(292, 312), dice.between(16, 22), 2.6);
    for (double x = -10; x < kWidth + 20; x += dice.between(30, 52))
        drawCrown(pen, dice, x, dice.between(334, 352), dice.between(26, 36), 0.85);
    // A few bushes right in front.
    for (double x = 5; x < kWidth; x += dice.between(40, 90))
        drawCrown(pen, dice, x, dice.between(404, 424), dice.between(12, 18), 0.7);
}

} // namespace

void drawDormitoryScene(Raster& raster, double scale) {
    Pen pen{raster, scale};
    Dice dice(1977);
    drawSky(raster, scale);
    drawClouds(pen, dice);
    drawDistantBlocks(pen, dice);
    const Block blocks[] = {
        {36, 146, 74, 22, {224, 216, 198}, 15, 13},
        {196, 300, 22, 26, {234, 230, 222}, 14, 12},
        {350, 478, 96, 20, {216, 196, 170}, 15, 14},
        {508, 590, 52, 18, {228, 222, 212}, 14, 12},
    };
    for (const Block& b : blocks)
        drawBlock(pen, dice, b);
    drawGround(pen, dice);
    drawTrees(pen, dice);
}
