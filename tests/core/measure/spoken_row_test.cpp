// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "core/measure/spoken_row.h"

#include <gtest/gtest.h>

#include <string>

namespace veliso {
namespace {

// "\u00a0" is the no-break space French typography puts before units, ":" and ";".
TEST(SpokenRowTest, ARowSaysEveryFigureWithItsUnitAndItsTitle) {
    Measurement full;
    full.number = 2;
    full.time = "10:00:00";
    full.count = 100;
    full.temperature = 400;
    full.volumePercent = 100;
    full.mass = 5;
    full.pressure = 136006;
    full.wallHits = 133.5;
    full.wallHitsSpread = 11.25;
    full.readouts = 5;
    full.series = 3;
    Measurement unmeasured = full;  // a single particle, taken before a whole second counted
    unmeasured.time.clear();
    unmeasured.count = 1;
    unmeasured.volumePercent = 12.5;
    unmeasured.wallHits.reset();
    unmeasured.wallHitsSpread.reset();
    unmeasured.readouts = 0;
    struct Case {
        const char* name;
        const Measurement& row;
        std::string sentence;
    };
    const Case cases[] = {
        {"full", full,
         "Relevé 2, série 3, à 10:00:00\u00a0: 100 particules, 400\u00a0K, volume 100\u00a0%, "
         "masse relative 5\u00a0; pression 136\u00a0006\u00a0Pa\u00a0; 133,5 chocs par seconde "
         "sur les parois, moyenne sur 5\u00a0s, écart type 11,25."},
        {"unmeasured", unmeasured,
         "Relevé 2, série 3\u00a0: 1 particule, 400\u00a0K, volume 12,5\u00a0%, masse relative "
         "5\u00a0; pression 136\u00a0006\u00a0Pa\u00a0; chocs sur les parois non mesurés."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MeasurementSentence(c.row), c.sentence) << c.name;
        // The figures are the sentence less its lead and its full stop.
        const std::string figures = MeasurementFigures(c.row);
        EXPECT_EQ(c.sentence.substr(c.sentence.size() - figures.size() - 1), figures + ".")
            << c.name;
    }

    EXPECT_EQ(MeasurementSpokenCell(full, kPressureColumn), "Pression P (Pa)\u00a0: 136\u00a0006");
    EXPECT_EQ(MeasurementSpokenCell(full, kMeasurementColumns), "");
}

}  // namespace
}  // namespace veliso
