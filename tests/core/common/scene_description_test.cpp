// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "core/common/scene_description.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/common/navigation.h"
#include "core/gas/gas_controls.h"
#include "core/gas/gas_model.h"
#include "core/gas/gas_step.h"
#include "core/gas/gas_test_support.h"
#include "core/liquid/liquid_motion.h"
#include "core/solid/solid_controls.h"

namespace veliso {
namespace {

const std::string kNbsp = "\u00a0";

TEST(SceneDescription, FiguresAreReadTheFrenchWay) {
    const struct {
        double value;
        int decimals;
        std::string text;
    } cases[] = {
        {101325, 0, "101" + kNbsp + "325"},
        {1234567.891, 2, "1" + kNbsp + "234" + kNbsp + "567,89"},
        {999.96, 1, "1" + kNbsp + "000,0"},
        {2.8, 1, "2,8"},
        {5, 0, "5"},
        {-0.04, 1, "0,0"},
        {-12.5, 1, "-12,5"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FrenchNumber(c.value, c.decimals), c.text) << c.value;
    }
    // Texts already written, as the measurement table shows its figures.
    const std::pair<std::string, std::string> texts[] = {
        {"101325", "101" + kNbsp + "325"},
        {"-1234,5678", "-1" + kNbsp + "234,5678"},
        {"340017,52", "340" + kNbsp + "017,52"},
        {"999", "999"},
        {"1e+06", "1e+06"},
        {"—", "—"},
        {"", ""},
        {",5", ",5"},
        {"12:30:05", "12:30:05"},
    };
    for (const auto& [text, grouped] : texts) {
        EXPECT_EQ(GroupedThousands(text), grouped) << text;
    }
}

TEST(SceneDescription, CameraInWords) {
    const struct {
        ViewPoint view;
        const char* side;
        const char* height;
        const char* reach;
    } cases[] = {
        {{40, 0, 4.25}, "vu de trois quarts (", "à hauteur du centre", "de loin"},
        {{359, 1.5, 4.25}, "vu de face", "légèrement d'au-dessus", "de loin"},
        {{180, -1, 1}, "vu de dos", "en contre-plongée", "de près"},
        {{-90, 5, 0.5}, "vu de côté", "du dessus", "de loin"},
        {{135, 0, 2.5}, "vu de trois quarts arrière", "à hauteur du centre", "à mi-distance"},
    };
    for (const auto& c : cases) {
        const std::string text = DescribeCamera(c.view);
        EXPECT_NE(text.find(c.side), std::string::npos) << text;
        EXPECT_NE(text.find(c.height), std::string::npos) << text;
        EXPECT_NE(text.find(c.reach), std::string::npos) << text;
    }
    EXPECT_EQ(DescribeCamera({40, 0, 4.25}),
              "Caméra : modèle vu de trois quarts (rotation de 40" + kNbsp +
                  "degrés), à hauteur du centre (hauteur 0), de loin (distance 4,25).");
    EXPECT_EQ(DescribeCamera({20, -1.3, 0.5}),
              "Caméra : modèle vu de face (rotation de 20" + kNbsp +
                  "degrés), en contre-plongée (hauteur -1,3), de près (distance 0,5).");
}

TEST(SceneDescription, EveryCameraKeyStepChangesTheCameraSentence) {
    // From the start camera, each step of each key that moves the camera is heard: the words
    // may stay ("de loin" over several steps), the figures do not. A step against a limit
    // moves nothing and says the same.
    for (NavKey key : {NavKey::ZoomIn, NavKey::ZoomOut, NavKey::Up, NavKey::Down, NavKey::Left,
                       NavKey::PageUp}) {
        const ViewPoint start{40, 0, 4.25};
        ViewPoint view = start;
        for (int step = 0; step < 5; ++step) {
            const ViewPoint before = view;
            NavKeyPress(view, key, start);
            const bool moved = view.angle != before.angle || view.height != before.height ||
                               view.distance != before.distance;
            EXPECT_EQ(DescribeCamera(view) != DescribeCamera(before), moved)
                << static_cast<int>(key) << " step " << step << ": " << DescribeCamera(view);
        }
    }
}

// The gas as the program starts it, with a fixed clock for its random draws.
class GasDescription : public ::testing::Test {
  protected:
    // The record's pressure is left as the program starts it (0, worked out at the first
    // control): the description gives the pressure of the state shown all the same.
    GasDescription() { InitGas(gas, random); }
    std::string Text(bool withLive = false, std::optional<int> hits = std::nullopt) const {
        return JoinSentences(DescribeGasScene(gas, false, hits), withLive);
    }
    static bool Has(const std::string& text, const std::string& part) {
        return text.find(part) != std::string::npos;
    }

    GasState gas;
    RandomSource random{[] { return testing::kFixedSeconds; }};
};

TEST_F(GasDescription, SaysTheFiguresOfThePanelAndNoGraph) {
    const std::string text = Text();
    for (const std::string& part : std::vector<std::string>{
             "Gaz : 100 particules de masse relative 5", "100" + kNbsp + "% de son volume",
             "parois opaques", "298" + kNbsp + "K", "101" + kNbsp + "325" + kNbsp + "Pa",
             std::string("Aucun graphique affiché."), std::string("Animation en cours.")}) {
        EXPECT_TRUE(Has(text, part)) << part << "\nin: " << text;
    }
}

TEST_F(GasDescription, WallHitsAndParticleSpeedsAreLiveOnly) {
    gas.showSpeeds = true;
    EXPECT_FALSE(Has(Text(false, 412), "Chocs"));
    EXPECT_FALSE(Has(Text(false, 412), "la plus lente"));
    EXPECT_TRUE(Has(Text(true, 412), "Chocs sur les parois : 412 pendant la dernière seconde."));
    EXPECT_TRUE(Has(Text(true, 412), "la plus lente va à v"));
    EXPECT_TRUE(Has(Text(), "Vitesses des particules en bleu"));
}

TEST_F(GasDescription, GraphsAreSaidByWhatTheyShow) {
    gas.showCurve = true;
    gas.showHistogram = true;
    // f(v) ~ v² exp(-8 m v² / T) is highest at v = sqrt(T / 8m) = 2.73 at 298 K and mass 5:
    // the class of v = 2.8.
    const std::string text = Text();
    EXPECT_TRUE(Has(text, "la vitesse la plus probable est v" + kNbsp + "=" + kNbsp + "2,8."))
        << text;
    EXPECT_TRUE(Has(text, "la classe la plus peuplée est v")) << text;
    EXPECT_TRUE(Has(text, "sur 100 ; la classe la plus rapide est v")) << text;
    EXPECT_FALSE(Has(text, "Aucun graphique"));
}

TEST_F(GasDescription, AChangeSaysOnlyTheSentencesItChanged) {
    const SceneDescription before = DescribeGasScene(gas, false, 400);
    SetGasTemperature(gas, 400, random);
    gas.paused = true;
    const std::vector<std::string> changed =
        ChangedSentences(before, DescribeGasScene(gas, false, 500));
    ASSERT_EQ(changed.size(), 2u);
    EXPECT_TRUE(Has(changed[0], "Température : 400" + kNbsp + "K ; pression : 136")) << changed[0];
    EXPECT_EQ(changed[1], "Animation en pause.");
}

TEST(SceneDescription, SolidAndLiquid) {
    SolidState solid;
    EXPECT_NE(JoinSentences(DescribeSolidScene(solid), true)
                  .find("cristal cubique simple (par exemple le sodium). Température : 0" + kNbsp +
                        "K ; les particules sont immobiles."),
              std::string::npos);
    solid.structure = SolidStructure::HcpCell;
    solid.amplitude = SolidAmplitudeAt(150);
    const std::string hot = JoinSentences(DescribeSolidScene(solid), true);
    EXPECT_NE(hot.find("maille hexagonale compacte"), std::string::npos) << hot;
    EXPECT_NE(hot.find("150" + kNbsp + "K ; les particules vibrent"), std::string::npos) << hot;

    LiquidState liquid;
    liquid.halfEdge = LiquidHalfEdge(50);
    liquid.paused = true;
    const std::string text = JoinSentences(DescribeLiquidScene(liquid, true, true), true);
    for (const std::string& part : std::vector<std::string>{
             "50" + kNbsp + "% de son volume, parois transparentes", "273" + kNbsp + "K.",
             std::string("Deux particules marquées"), std::string("Animation en pause.")}) {
        EXPECT_NE(text.find(part), std::string::npos) << part << "\nin: " << text;
    }
}

}  // namespace
}  // namespace veliso
