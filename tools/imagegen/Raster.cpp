#include "Raster.h"

#include <algorithm>
#include <cmath>
#include <utility>

Paint solid(const Colour& colour) {
    return [colour](float, float) { return colour; };
}

Paint verticalGradient(float y0, const Colour& top, float y1, const Colour& bottom) {
    return [=](float, float y) { return mix(top, bottom, clamp01((y - y0) / (y1 - y0))); };
}

Paint horizontalGradient(float x0, const Colour& left, float x1, const Colour& right) {
    return [=](float x, float) { return mix(left, right, clamp01((x - x0) / (x1 - x0))); };
}

Paint radialGradient(float cx, float cy, float radius, const Colour& inner, const Colour& outer) {
    return [=](float x, float y) {
        const float d = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy));
        return mix(inner, outer, clamp01(d / radius));
    };
}

Raster::Raster(int width, int height, const Colour& background)
    : width_(width), height_(height),
      pixels_(static_cast<size_t>(width) * static_cast<size_t>(height), background) {}

void Raster::blendPixel(int x, int y, const Colour& c, float coverage, Blend blend) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return;
    Colour& d = pixels_[index(x, y)];
    const float a = c.a * coverage;
    if (a <= 0.0f)
        return;
    switch (blend) {
    case Blend::Over: {
        const float outA = a + d.a * (1.0f - a);
        const float keep = d.a * (1.0f - a);
        d.r = (c.r * a + d.r * keep) / outA;
        d.g = (c.g * a + d.g * keep) / outA;
        d.b = (c.b * a + d.b * keep) / outA;
        d.a = outA;
        break;
    }
    case Blend::Atop:
        d.r += (c.r - d.r) * a;
        d.g += (c.g - d.g) * a;
        d.b += (c.b - d.b) * a;
        break;
    case Blend::Add:
        d.r += c.r * a;
        d.g += c.g * a;
        d.b += c.b * a;
        break;
    case Blend::Erase:
        d.a *= 1.0f - a;
        break;
    }
}

void Raster::fill(const Shape& shape, const Paint& paint, Blend blend) {
    const int x0 = std::max(0, static_cast<int>(std::floor(shape.left)));
    const int y0 = std::max(0, static_cast<int>(std::floor(shape.top)));
    const int x1 = std::min(width_ - 1, static_cast<int>(std::ceil(shape.right)));
    const int y1 = std::min(height_ - 1, static_cast<int>(std::ceil(shape.bottom)));
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const float px = static_cast<float>(x) + 0.5f;
            const float py = static_cast<float>(y) + 0.5f;
            // A pixel's coverage is how far its centre lies inside the outline, up to one pixel.
            const float coverage = clamp01(0.5f - shape.distance(px, py));
            if (coverage > 0.0f)
                blendPixel(x, y, paint(px, py), coverage, blend);
        }
    }
}

void Raster::fillAll(const Paint& paint, Blend blend) {
    fill(Shape::everywhere(0.0f, 0.0f, static_cast<float>(width_), static_cast<float>(height_)),
         paint, blend);
}

void Raster::composite(const Raster& layer, int dx, int dy, float opacity, Blend blend) {
    for (int y = 0; y < layer.height(); ++y)
        for (int x = 0; x < layer.width(); ++x)
            blendPixel(x + dx, y + dy, layer.at(x, y), opacity, blend);
}

void Raster::compositeScaled(const Raster& layer, float scale, float opacity, Blend blend) {
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            blendPixel(x, y,
                       layer.sample((static_cast<float>(x) + 0.5f) / scale,
                                    (static_cast<float>(y) + 0.5f) / scale),
                       opacity, blend);
}

Raster Raster::downsampled(int factor) const {
    Raster result(width_ / factor, height_ / factor);
    const float norm = 1.0f / static_cast<float>(factor * factor);
    for (int y = 0; y < result.height_; ++y)
        for (int x = 0; x < result.width_; ++x) {
            Colour sum;
            for (int dy = 0; dy < factor; ++dy)
                for (int dx = 0; dx < factor; ++dx) {
                    const Colour& c = at(x * factor + dx, y * factor + dy);
                    sum = {sum.r + c.r * c.a, sum.g + c.g * c.a, sum.b + c.b * c.a, sum.a + c.a};
                }
            Colour& out = result.at(x, y);
            out.a = sum.a * norm;
            if (sum.a > 1e-6f)
                out = {sum.r / sum.a, sum.g / sum.a, sum.b / sum.a, out.a};
        }
    return result;
}

namespace {
// One box pass along rows (horizontal) or columns, on premultiplied colours.
void boxPass(std::vector<Colour>& data, int width, int height, int radius, bool horizontal) {
    const int lines = horizontal ? height : width;
    const int length = horizontal ? width : height;
    std::vector<Colour> line(static_cast<size_t>(length));
    const float norm = 1.0f / static_cast<float>(2 * radius + 1);
    for (int l = 0; l < lines; ++l) {
        auto at = [&](int i) -> Colour& {
            const int c = std::clamp(i, 0, length - 1);
            return horizontal ? data[static_cast<size_t>(l * width + c)]
                              : data[static_cast<size_t>(c * width + l)];
        };
        Colour sum;
        for (int i = -radius; i <= radius; ++i) {
            const Colour& c = at(i);
            sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b, sum.a + c.a};
        }
        for (int i = 0; i < length; ++i) {
            line[static_cast<size_t>(i)] = {sum.r * norm, sum.g * norm, sum.b * norm, sum.a * norm};
            const Colour& out = at(i - radius);
            const Colour& in = at(i + radius + 1);
            sum = {sum.r - out.r + in.r, sum.g - out.g + in.g, sum.b - out.b + in.b,
                   sum.a - out.a + in.a};
        }
        for (int i = 0; i < length; ++i)
            at(i) = line[static_cast<size_t>(i)];
    }
}
} // namespace

Raster Raster::blurred(int radius) const {
    Raster result(*this);
    // Blurring premultiplied colour keeps transparent pixels from darkening the edges.
    for (Colour& c : result.pixels_)
        c = {c.r * c.a, c.g * c.a, c.b * c.a, c.a};
    for (int pass = 0; pass < 3; ++pass) {
        boxPass(result.pixels_, width_, height_, radius, true);
        boxPass(result.pixels_, width_, height_, radius, false);
    }
    for (Colour& c : result.pixels_)
        if (c.a > 1e-6f)
            c = {c.r / c.a, c.g / c.a, c.b / c.a, c.a};
    return result;
}

Colour Raster::sample(float x, float y) const {
    const float fx = x - 0.5f;
    const float fy = y - 0.5f;
    const int ix = static_cast<int>(std::floor(fx));
    const int iy = static_cast<int>(std::floor(fy));
    const float tx = fx - static_cast<float>(ix);
    const float ty = fy - static_cast<float>(iy);
    auto texel = [&](int px, int py) {
        if (px < 0 || py < 0 || px >= width_ || py >= height_)
            return Colour{};
        const Colour& c = pixels_[index(px, py)];
        return Colour{c.r * c.a, c.g * c.a, c.b * c.a, c.a};
    };
    const Colour top = mix(texel(ix, iy), texel(ix + 1, iy), tx);
    const Colour bottom = mix(texel(ix, iy + 1), texel(ix + 1, iy + 1), tx);
    Colour c = mix(top, bottom, ty);
    if (c.a > 1e-6f)
        c = {c.r / c.a, c.g / c.a, c.b / c.a, c.a};
    return c;
}

void Raster::hardenAlpha(float threshold) {
    for (Colour& c : pixels_)
        c.a = c.a >= threshold ? 1.0f : 0.0f;
}

void Raster::shadeRim(float width, float darkness) {
    // Two-pass chamfer distance to the nearest transparent pixel, in pixels.
    const float far = 1e6f;
    std::vector<float> dist(pixels_.size());
    for (size_t i = 0; i < pixels_.size(); ++i)
        dist[i] = pixels_[i].a > 0.0f ? far : 0.0f;
    const float diagonal = 1.4142f;
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            float& d = dist[static_cast<size_t>(index(x, y))];
            if (x > 0)
                d = std::min(d, dist[static_cast<size_t>(index(x - 1, y))] + 1.0f);
            if (y > 0) {
                d = std::min(d, dist[static_cast<size_t>(index(x, y - 1))] + 1.0f);
                if (x > 0)
                    d = std::min(d, dist[static_cast<size_t>(index(x - 1, y - 1))] + diagonal);
                if (x + 1 < width_)
                    d = std::min(d, dist[static_cast<size_t>(index(x + 1, y - 1))] + diagonal);
            }
        }
    for (int y = height_ - 1; y >= 0; --y)
        for (int x = width_ - 1; x >= 0; --x) {
            float& d = dist[static_cast<size_t>(index(x, y))];
            if (x + 1 < width_)
                d = std::min(d, dist[static_cast<size_t>(index(x + 1, y))] + 1.0f);
            if (y + 1 < height_) {
                d = std::min(d, dist[static_cast<size_t>(index(x, y + 1))] + 1.0f);
                if (x + 1 < width_)
                    d = std::min(d, dist[static_cast<size_t>(index(x + 1, y + 1))] + diagonal);
                if (x > 0)
                    d = std::min(d, dist[static_cast<size_t>(index(x - 1, y + 1))] + diagonal);
            }
        }
    for (size_t i = 0; i < pixels_.size(); ++i) {
        if (pixels_[i].a <= 0.0f)
            continue;
        const float t = 1.0f - clamp01((dist[i] - 0.5f) / width);
        pixels_[i] = shade(pixels_[i], 1.0f - darkness * t * t);
    }
}

void Raster::bleedColour(int passes) {
    for (int pass = 0; pass < passes; ++pass) {
        std::vector<Colour> next = pixels_;
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) {
                const Colour& c = pixels_[index(x, y)];
                if (c.a > 0.0f)
                    continue;
                float r = 0.0f, g = 0.0f, b = 0.0f, weight = 0.0f;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int nx = x + dx;
                        const int ny = y + dy;
                        if (nx < 0 || ny < 0 || nx >= width_ || ny >= height_)
                            continue;
                        const Colour& n = pixels_[index(nx, ny)];
                        // Pixels already coloured by an earlier pass count a little.
                        const float w = n.a > 0.0f ? 1.0f : (n.r + n.g + n.b > 0.0f ? 0.1f : 0.0f);
                        r += n.r * w;
                        g += n.g * w;
                        b += n.b * w;
                        weight += w;
                    }
                if (weight > 0.0f)
                    next[static_cast<size_t>(index(x, y))] = {r / weight, g / weight, b / weight,
                                                              0.0f};
            }
        pixels_ = std::move(next);
    }
}

void Raster::flipHorizontal() {
    for (int y = 0; y < height_; ++y)
        std::reverse(pixels_.begin() + index(0, y), pixels_.begin() + index(0, y) + width_);
}
