// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "core/common/scene_description.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/gas/gas_step.h"
#include "core/solid/solid_controls.h"

namespace veliso {

namespace {

// The no-break space between groups of thousands and between a figure and its unit, so that
// a speech synthesiser reads "101 325" as one number.
const std::string kNbsp = "\u00a0";

/// "1 particule", "100 particules".
std::string Count(long long n, const std::string& singular, const std::string& plural) {
    return FrenchNumber(static_cast<double>(n)) + " " + (n > 1 || n < -1 ? plural : singular);
}

/// Speed classes of the gas: class k holds v = 0.2 (k + 1), and a particle of class k has the
/// speed 0.01 v scene units per step.
double ClassSpeed(int k) {
    return 0.2 * (k + 1);
}

std::string Speed(double v) {
    return "v" + kNbsp + "=" + kNbsp + FrenchNumber(v, 1);
}

std::string Walls(bool transparent) {
    return transparent ? "parois transparentes" : "parois opaques";
}

std::string Running(bool paused) {
    return paused ? "Animation en pause." : "Animation en cours.";
}

std::string Structure(SolidStructure structure) {
    switch (structure) {
        case SolidStructure::SimpleCubicCrystal:
            return "cristal cubique simple (par exemple le sodium)";
        case SolidStructure::SimpleCubicCell:
            return "maille cubique simple, modèle éclaté";
        case SolidStructure::FccCrystal:
            return "cristal cubique à faces centrées (par exemple le chlorure de sodium)";
        case SolidStructure::FccCell:
            return "maille cubique à faces centrées, modèle éclaté";
        case SolidStructure::BccCrystal:
            return "cristal cubique centré (par exemple le fer)";
        case SolidStructure::BccCell:
            return "maille cubique centrée, modèle éclaté";
        case SolidStructure::HcpCrystal:
            return "cristal hexagonal compact (par exemple le graphite)";
        case SolidStructure::HcpCell:
            return "maille hexagonale compacte, modèle éclaté";
    }
    return "structure inconnue";
}

/// A figure with at most two decimals and no trailing zeros ("4,25", "0,5", "0", "-1,3").
std::string ShortNumber(double value) {
    std::string text = FrenchNumber(value, 2);
    while (text.back() == '0' && text.find(',') != std::string::npos) {
        text.pop_back();
    }
    if (text.back() == ',') {
        text.pop_back();
    }
    return text;
}

/// The volume of a cube of half-edge `halfEdge` as a percentage of the full box (edge 2).
long long VolumePercent(double halfEdge) {
    return std::llround(halfEdge * halfEdge * halfEdge * 100.0);
}

}  // namespace

std::string FrenchNumber(double value, int decimals) {
    if (!std::isfinite(value)) {
        return std::isnan(value) ? "non défini" : (value > 0 ? "infini" : "moins l'infini");
    }
    const double scale = std::pow(10.0, decimals);
    const long long scaled = std::llround(std::abs(value) * scale);
    const long long whole = scaled / static_cast<long long>(scale);
    const long long fraction = scaled % static_cast<long long>(scale);

    std::string grouped = GroupedThousands(std::to_string(whole));
    if (decimals > 0) {
        std::string decimalsText = std::to_string(fraction);
        decimalsText.insert(0, decimals - decimalsText.size(), '0');
        grouped += "," + decimalsText;
    }
    return (value < 0 && scaled != 0 ? "-" : "") + grouped;
}

std::string DescribeCamera(const ViewPoint& view) {
    // The eye sits at (0, height, distance) and the model is turned by `angle` about the
    // vertical: eight sides, 45° apart, each named from its centre ± 22.5°.
    static const char* const kSides[8] = {
        "de face", "de trois quarts",         "de côté", "de trois quarts arrière",
        "de dos",  "de trois quarts arrière", "de côté", "de trois quarts",
    };
    const double angle = std::fmod(std::fmod(view.angle, 360.0) + 360.0, 360.0);
    const int side = static_cast<int>(std::floor((angle + 22.5) / 45.0)) % 8;

    const double elevation = std::atan2(view.height, view.distance) * 180.0 / M_PI;
    const double steep = std::abs(elevation);
    std::string height;
    if (steep < 10) {
        height = "à hauteur du centre";
    } else if (steep < 35) {
        height = elevation > 0 ? "légèrement d'au-dessus" : "légèrement d'en dessous";
    } else if (steep < 70) {
        height = elevation > 0 ? "en plongée" : "en contre-plongée";
    } else {
        height = elevation > 0 ? "du dessus" : "du dessous";
    }

    const double reach = std::hypot(view.height, view.distance);
    const std::string far = reach >= 3.5 ? "de loin" : (reach >= 2.0 ? "à mi-distance" : "de près");

    return "Caméra : modèle vu " + std::string(kSides[side]) + " (rotation de " +
           FrenchNumber(angle) + kNbsp + "degrés), " + height + " (hauteur " +
           ShortNumber(view.height) + "), " + far + " (distance " + ShortNumber(view.distance) +
           ").";
}

SceneDescription DescribeSolidScene(const SolidState& solid) {
    const long long kelvin = std::llround(solid.amplitude / SolidAmplitudeAt(1));
    return {
        {"Solide : " + Structure(solid.structure) + "."},
        {"Température : " + FrenchNumber(static_cast<double>(kelvin)) + kNbsp + "K ; " +
         (kelvin == 0 ? "les particules sont immobiles."
                      : "les particules vibrent autour de leur position.")},
        {DescribeCamera(solid.view), false, true},
    };
}

SceneDescription DescribeLiquidScene(const LiquidState& liquid, bool transparentCube,
                                     bool markedParticles) {
    SceneDescription d{
        {"Liquide : " + Count(liquid.count, "particule serrée", "particules serrées") +
         " qui glissent les unes sur les autres dans un récipient cubique à " +
         FrenchNumber(static_cast<double>(VolumePercent(liquid.halfEdge))) + kNbsp +
         "% de son volume, " + Walls(transparentCube) + "."},
        {"Température : " + FrenchNumber(liquid.temperature) + kNbsp + "K."},
    };
    if (markedParticles) {
        d.push_back({"Deux particules marquées sont suivies."});
    }
    d.push_back({DescribeCamera(liquid.view), false, true});
    d.push_back({Running(liquid.paused)});
    return d;
}

SceneDescription DescribeGasScene(const GasState& gas, bool transparentBox,
                                  std::optional<int> wallHitsLastSecond) {
    const int n = gas.inPlay();
    SceneDescription d{
        {"Gaz : " + Count(n, "particule", "particules") + " de masse relative " +
         FrenchNumber(gas.mass) + " en mouvement dans un récipient cubique à " +
         FrenchNumber(gas.volumePercent) + kNbsp + "% de son volume, " + Walls(transparentBox) +
         "."},
        // The pressure of the state shown, as the panel gives it, whether or not a control
        // has had the record work it out yet.
        {"Température : " + FrenchNumber(gas.temperature) + kNbsp + "K ; pression : " +
         FrenchNumber(IdealGasPressure(gas.count, gas.temperature, gas.volumePercent)) + kNbsp +
         "Pa."},
    };
    if (wallHitsLastSecond) {
        d.push_back({"Chocs sur les parois : " + FrenchNumber(*wallHitsLastSecond) +
                         " pendant la dernière seconde.",
                     true});
    }

    if (gas.showCurve) {
        const int top = static_cast<int>(std::max_element(gas.mbCurve, gas.mbCurve + kGasClasses) -
                                         gas.mbCurve);
        d.push_back(
            {"Courbe de Maxwell-Boltzmann en rouge sur la paroi du fond : la vitesse la "
             "plus probable est " +
             Speed(ClassSpeed(top)) + "."});
    }
    if (gas.showHistogram && n > 0) {
        // The classes as the histogram counts them.
        int counters[kGasClasses] = {};
        for (int p = 0; p < n; ++p) {
            const int k = static_cast<int>(gas.speedTable[p] / 0.002 - 0.5);
            if (k >= 0 && k < kGasClasses) {
                ++counters[k];
            }
        }
        const int most =
            static_cast<int>(std::max_element(counters, counters + kGasClasses) - counters);
        int fastest = kGasClasses - 1;
        while (fastest > 0 && counters[fastest] == 0) {
            --fastest;
        }
        d.push_back(
            {"Histogramme des fréquences des vitesses en vert sur la paroi du fond : la "
             "classe la plus peuplée est " +
             Speed(ClassSpeed(most)) + ", avec " +
             Count(counters[most], "particule", "particules") + " sur " + FrenchNumber(n) +
             " ; la classe la plus rapide est " + Speed(ClassSpeed(fastest)) + "."});
    }
    if (gas.showSpeeds) {
        d.push_back(
            {"Vitesses des particules en bleu sur la paroi de droite, une barre par "
             "particule."});
        if (n > 0) {
            double slowest = INFINITY;
            double fastest = 0;
            for (int p = 0; p < n; ++p) {
                const double s = std::sqrt(gas.vx[p] * gas.vx[p] + gas.vy[p] * gas.vy[p] +
                                           gas.vz[p] * gas.vz[p]);
                slowest = std::min(slowest, s);
                fastest = std::max(fastest, s);
            }
            // Scene units per step are 0.01 v.
            d.push_back({"En ce moment, la plus lente va à " + Speed(slowest / 0.01) +
                             " et la plus rapide à " + Speed(fastest / 0.01) + ".",
                         true});
        }
    }
    if (!gas.showCurve && !gas.showHistogram && !gas.showSpeeds) {
        d.push_back({"Aucun graphique affiché."});
    }
    d.push_back({DescribeCamera(gas.view), false, true});
    d.push_back({Running(gas.paused)});
    return d;
}

std::string JoinSentences(const SceneDescription& description, bool withLive) {
    std::string text;
    for (const SceneSentence& s : description) {
        if (s.live && !withLive) {
            continue;
        }
        if (!text.empty()) {
            text += ' ';
        }
        text += s.text;
    }
    return text;
}

std::vector<std::string> ChangedSentences(const SceneDescription& before,
                                          const SceneDescription& after) {
    std::vector<std::string> changed;
    for (const SceneSentence& s : after) {
        if (!s.live && std::find(before.begin(), before.end(), s) == before.end()) {
            changed.push_back(s.text);
        }
    }
    return changed;
}

}  // namespace veliso
