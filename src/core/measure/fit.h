// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/measure/measurement.h"

namespace veliso {

/// The laws a plot can fit to its points.
enum class FitKind {
    Proportional,  ///< y = a·x
    Affine,        ///< y = a·x + b
    Power,         ///< y = a·x^b
};

/// French name shown in the plot's choice ("proportionnelle y = a·x" …).
std::string FitName(FitKind kind);

/// A fitted law, or the reason why none could be fitted.
struct FitResult {
    FitKind kind = FitKind::Proportional;
    bool ok = false;
    double a = 0;
    double b = 0;  ///< 0 for the proportional law
    /// Coefficient of determination; absent when the points leave it undefined (every y the
    /// same for the affine and power laws, every y zero for the proportional law).
    std::optional<double> r2;
    /// When !ok: "ajustement impossible : " and the reason, in French.
    std::string failure;

    /// y of the law at x. Only meaningful when ok.
    double At(double x) const;
};

/// Least-squares fit of `kind` to `points`. All three need at least two points with two
/// different x; the power law needs every x and y above 0. A failure is reported in
/// `failure`, never as a NaN or an infinity in a, b or r2.
///
/// - Proportional: a = Σxy / Σx²; R² = 1 − Σ(y − a·x)² / Σy² (about the origin, since the
///   law has no constant term; spreadsheets give the same for a trend line through 0).
/// - Affine: a = Σ(x − x̄)(y − ȳ) / Σ(x − x̄)², b = ȳ − a·x̄; R² = 1 − Σ(y − a·x − b)² / Σ(y − ȳ)².
/// - Power: the affine fit of ln y against ln x gives b (slope) and ln a (intercept); R² is
///   that of the logarithms.
///
/// The sums are taken over x / max|x| and y / max|y|, which leaves a, b and R² as they are
/// but keeps every square within 0 … 4: R² is right for any finite points, however large
/// or small. Only a law whose a or b is itself beyond a double fails ("hors de portée").
FitResult FitLaw(FitKind kind, const std::vector<PlotPoint>& points);

}  // namespace veliso
