#include "Resample.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace exam {

namespace {

// The Catmull-Rom kernel: exact at the source's pixels, a little overshoot at an edge.
double Cubic(double x)
{
    x = std::abs(x);
    if (x < 1)
        return 1.5 * x * x * x - 2.5 * x * x + 1;
    if (x < 2)
        return -0.5 * x * x * x + 2.5 * x * x - 4 * x + 2;
    return 0;
}

// For each of N output positions along a side of SOURCE pixels: the first of the four source
// pixels it is made of (clamped at the edges) and their weights.
struct Taps {
    std::vector<int> first;
    std::vector<std::array<double, 4>> weights;
};

Taps MakeTaps(int source, int n)
{
    Taps t;
    t.first.resize(std::size_t(n));
    t.weights.resize(std::size_t(n));
    const double scale = double(source) / n;
    for (int i = 0; i < n; ++i) {
        // Pixel centres map to pixel centres.
        const double x = (i + 0.5) * scale - 0.5;
        const int base = int(std::floor(x));
        t.first[std::size_t(i)] = base - 1;
        double sum = 0;
        for (int k = 0; k < 4; ++k)
            sum += t.weights[std::size_t(i)][std::size_t(k)] = Cubic(x - (base - 1 + k));
        for (double& w : t.weights[std::size_t(i)])
            w /= sum;
    }
    return t;
}

int Clamp(int v, int n) { return std::clamp(v, 0, n - 1); }

}  // namespace

QImage Enlarged(const QImage& source, QSize target)
{
    if (source.isNull() || target.isEmpty())
        return {};
    const QImage in = source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int w = in.width(), h = in.height();
    const Taps across = MakeTaps(w, target.width());
    const Taps down = MakeTaps(h, target.height());

    // Across first, into rows of four channels as doubles; then down, into the picture.
    std::vector<double> rows(std::size_t(h) * std::size_t(target.width()) * 4);
    for (int y = 0; y < h; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(in.constScanLine(y));
        double* out = &rows[std::size_t(y) * std::size_t(target.width()) * 4];
        for (int x = 0; x < target.width(); ++x, out += 4) {
            for (int k = 0; k < 4; ++k) {
                const QRgb p = line[Clamp(across.first[std::size_t(x)] + k, w)];
                const double wt = across.weights[std::size_t(x)][std::size_t(k)];
                out[0] += wt * qAlpha(p);
                out[1] += wt * qRed(p);
                out[2] += wt * qGreen(p);
                out[3] += wt * qBlue(p);
            }
        }
    }
    QImage result(target, QImage::Format_ARGB32_Premultiplied);
    const std::size_t stride = std::size_t(target.width()) * 4;
    for (int y = 0; y < target.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < target.width(); ++x) {
            double c[4] = {0, 0, 0, 0};
            for (int k = 0; k < 4; ++k) {
                const double* p = &rows[std::size_t(Clamp(down.first[std::size_t(y)] + k, h)) * stride + std::size_t(x) * 4];
                const double wt = down.weights[std::size_t(y)][std::size_t(k)];
                for (int ch = 0; ch < 4; ++ch)
                    c[ch] += wt * p[ch];
            }
            // The overshoot is cut back to what a premultiplied pixel may hold.
            const int a = std::clamp(int(std::lround(c[0])), 0, 255);
            auto channel = [a](double v) { return std::clamp(int(std::lround(v)), 0, a); };
            line[x] = qRgba(channel(c[1]), channel(c[2]), channel(c[3]), a);
        }
    }
    return result;
}

}  // namespace exam
