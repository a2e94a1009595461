// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "core/measure/fit.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace veliso {

namespace {

constexpr const char* kImpossible = "ajustement impossible : ";

FitResult Failure(const char* reason) {
    FitResult result;
    result.failure = std::string(kImpossible) + reason;
    return result;
}

// 1 − residual / total, kept within 0 .. 1 against rounding; undefined without spread.
std::optional<double> R2(double residual, double total) {
    const double r2 = 1.0 - residual / total;
    if (!(total > 0) || !std::isfinite(r2)) {
        return std::nullopt;
    }
    return std::clamp(r2, 0.0, 1.0);
}

// Σ(y − law(x))², the squares the law leaves unexplained.
double ResidualSquares(const std::vector<PlotPoint>& points, const FitResult& law) {
    double residual = 0;
    for (const PlotPoint& p : points) {
        const double r = p.y - law.At(p.x);
        residual += r * r;
    }
    return residual;
}

// The points divided by the largest |x| and the largest |y|, so that every coordinate is
// within −1 … 1 and no square or sum of squares can overflow; the fits work on these and
// give a and b back in the points' units. R² does not change with the units.
struct Scaled {
    std::vector<PlotPoint> points;
    double x = 1;  ///< largest |x|
    double y = 1;  ///< largest |y|, 1 when every y is 0
};

Scaled ScaledPoints(const std::vector<PlotPoint>& points) {
    Scaled s;
    s.x = 0;
    s.y = 0;
    for (const PlotPoint& p : points) {
        s.x = std::max(s.x, std::abs(p.x));
        s.y = std::max(s.y, std::abs(p.y));
    }
    if (s.y == 0) {
        s.y = 1;
    }
    s.points.reserve(points.size());
    for (const PlotPoint& p : points) {
        s.points.push_back({p.x / s.x, p.y / s.y});
    }
    return s;
}

// slope · y / x, the slope of the scaled points in the points' units, with no overflow or
// underflow in between where the result itself is a double.
double Unscaled(double slope, double y, double x) {
    if (slope == 0) {
        return 0;
    }
    const double ratio = y / x;
    if (std::isfinite(ratio) && ratio >= DBL_MIN) {
        return slope * ratio;
    }
    return std::abs(slope) >= 1 ? slope / x * y : slope * y / x;
}

// Affine least squares about the means, which keeps the sums small whatever the offset of
// x, on the scaled points.
FitResult Affine(const std::vector<PlotPoint>& original) {
    const Scaled scaled = ScaledPoints(original);
    const std::vector<PlotPoint>& points = scaled.points;
    const double n = static_cast<double>(points.size());
    double xMean = 0;
    double yMean = 0;
    for (const PlotPoint& p : points) {
        xMean += p.x;
        yMean += p.y;
    }
    xMean /= n;
    yMean /= n;
    double sxx = 0;
    double sxy = 0;
    double syy = 0;
    for (const PlotPoint& p : points) {
        sxx += (p.x - xMean) * (p.x - xMean);
        sxy += (p.x - xMean) * (p.y - yMean);
        syy += (p.y - yMean) * (p.y - yMean);
    }
    FitResult result;
    result.kind = FitKind::Affine;
    result.ok = true;
    result.a = sxy / sxx;
    result.b = yMean - result.a * xMean;
    result.r2 = R2(ResidualSquares(points, result), syy);
    result.a = Unscaled(result.a, scaled.y, scaled.x);
    result.b *= scaled.y;
    return result;
}

FitResult Proportional(const std::vector<PlotPoint>& original) {
    const Scaled scaled = ScaledPoints(original);
    double sxx = 0;
    double sxy = 0;
    double syy = 0;
    for (const PlotPoint& p : scaled.points) {
        sxx += p.x * p.x;
        sxy += p.x * p.y;
        syy += p.y * p.y;
    }
    FitResult result;
    result.kind = FitKind::Proportional;
    result.ok = true;
    result.a = sxy / sxx;
    result.r2 = R2(ResidualSquares(scaled.points, result), syy);
    result.a = Unscaled(result.a, scaled.y, scaled.x);
    return result;
}

FitResult Power(const std::vector<PlotPoint>& points) {
    std::vector<PlotPoint> logs;
    logs.reserve(points.size());
    for (const PlotPoint& p : points) {
        if (!(p.x > 0) || !(p.y > 0)) {
            return Failure("la loi de puissance demande des x et des y strictement positifs");
        }
        logs.push_back({std::log(p.x), std::log(p.y)});
    }
    FitResult line = Affine(logs);
    FitResult result = line;
    result.a = std::exp(line.b);
    result.b = line.a;
    return result;
}

}  // namespace

std::string FitName(FitKind kind) {
    switch (kind) {
        case FitKind::Proportional:
            return "proportionnelle y = a·x";
        case FitKind::Affine:
            return "affine y = a·x + b";
        case FitKind::Power:
            return "puissance y = a·x^b";
    }
    return {};
}

double FitResult::At(double x) const {
    switch (kind) {
        case FitKind::Proportional:
            return a * x;
        case FitKind::Affine:
            return a * x + b;
        case FitKind::Power:
            return a * std::pow(x, b);
    }
    return 0;
}

namespace {

FitResult FitChecked(FitKind kind, const std::vector<PlotPoint>& points) {
    for (const PlotPoint& p : points) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) {
            return Failure("une valeur n'est pas un nombre fini");
        }
    }
    const bool twoDistinctX =
        std::any_of(points.begin(), points.end(),
                    [&points](const PlotPoint& p) { return p.x != points.front().x; });
    if (points.size() < 2 || !twoDistinctX) {
        return Failure("il faut au moins deux points d'abscisses différentes");
    }
    FitResult result;
    switch (kind) {
        case FitKind::Proportional:
            result = Proportional(points);
            break;
        case FitKind::Affine:
            result = Affine(points);
            break;
        case FitKind::Power:
            result = Power(points);
            break;
    }
    if (result.ok && (!std::isfinite(result.a) || !std::isfinite(result.b))) {
        return Failure("les valeurs sont hors de portée du calcul");
    }
    return result;
}

}  // namespace

FitResult FitLaw(FitKind kind, const std::vector<PlotPoint>& points) {
    FitResult result = FitChecked(kind, points);
    result.kind = kind;
    return result;
}

}  // namespace veliso
