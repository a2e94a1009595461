// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
//
// The contrast of what identifies the controls, measured on a picture of each tab as the
// program draws it: outlines, frames and tick marks at 3:1 at least against what lies next to
// them, texts at 4.5:1 against their background (the ratios of WCAG 2.1, 1.4.11 and 1.4.3).

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStyleFactory>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QStyleOptionSlider>

#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <string>

#include "mainwindow/focus_style.h"
#include "mainwindow/form_mm.h"
#include "mainwindow/gas_panel.h"
#include "mainwindow/liquid_panel.h"
#include "mainwindow/main_window_fixture.h"
#include "mainwindow/solid_panel.h"

namespace veliso {
namespace {

double Luminance(QRgb c) {
    const auto channel = [](int v) {
        const double s = v / 255.0;
        return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(c)) + 0.7152 * channel(qGreen(c)) + 0.0722 * channel(qBlue(c));
}

double Contrast(QRgb a, QRgb b) {
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

/// The pixels of `image` in `region` (clipped to the image).
std::vector<QRgb> Pixels(const QImage& image, const QRegion& region) {
    std::vector<QRgb> pixels;
    for (const QRect& r : region.intersected(image.rect())) {
        for (int y = r.top(); y <= r.bottom(); ++y) {
            for (int x = r.left(); x <= r.right(); ++x) {
                pixels.push_back(image.pixel(x, y));
            }
        }
    }
    return pixels;
}

/// The pixel of `pixels` that stands out most from `background`.
QRgb Strongest(const std::vector<QRgb>& pixels, QRgb background) {
    QRgb best = background;
    for (QRgb p : pixels) {
        if (Contrast(p, background) > Contrast(best, background)) {
            best = p;
        }
    }
    return best;
}

/// The colour most of `pixels` have.
QRgb MostCommon(const std::vector<QRgb>& pixels) {
    std::map<QRgb, int> counts;
    for (QRgb p : pixels) {
        ++counts[p & 0xffffff];
    }
    return std::max_element(counts.begin(), counts.end(),
                            [](const auto& a, const auto& b) { return a.second < b.second; })
        ->first;
}

/// `rect` less its inside `width` pixels in from every edge.
QRegion Ring(const QRect& rect, int width) {
    return QRegion(rect).subtracted(QRegion(rect.adjusted(width, width, -width, -width)));
}

/// One thing measured: what it is, where, its colour against its surroundings, and the least
/// ratio it needs.
struct Measure {
    std::string what;
    QRgb mark;
    QRgb around;
    double least;
};

/// What identifies each control of `panel` in its picture `image`.
std::vector<Measure> MeasurePanel(QWidget* panel, const QImage& image) {
    std::vector<Measure> measures;
    const auto inPanel = [panel](QWidget* w, const QRect& r) {
        return QRect(w->mapTo(panel, r.topLeft()), r.size());
    };
    const auto add = [&](const std::string& what, const QRegion& marks, const QRegion& around,
                         double least) {
        const QRgb background = MostCommon(Pixels(image, around));
        measures.push_back({what, Strongest(Pixels(image, marks), background), background, least});
    };
    for (auto* box : panel->findChildren<QCheckBox*>()) {
        QStyleOptionButton option;
        option.initFrom(box);
        const QRect indicator =
            inPanel(box, box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box));
        add("bord de case à cocher " + box->objectName().toStdString(), Ring(indicator, 1),
            Ring(indicator.adjusted(-2, -2, 2, 2), 1), 3);
    }
    for (auto* button : panel->findChildren<QRadioButton*>()) {
        QStyleOptionButton option;
        option.initFrom(button);
        const QRect indicator = inPanel(
            button,
            button->style()->subElementRect(QStyle::SE_RadioButtonIndicator, &option, button));
        // The circle, not the dot of a checked button.
        const QRegion inside(indicator.adjusted(2, 2, -2, -2), QRegion::Ellipse);
        add("bord de bouton radio " + button->objectName().toStdString(),
            QRegion(indicator).subtracted(inside), Ring(indicator.adjusted(-2, -2, 2, 2), 1), 3);
    }
    for (auto* group : panel->findChildren<QGroupBox*>()) {
        QStyleOptionGroupBox option;
        option.initFrom(group);
        option.text = group->title();
        option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        const QRect frame =
            inPanel(group, group->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                          QStyle::SC_GroupBoxFrame, group));
        // The left side of the frame, halfway down, against the panel beside it.
        const QRect side(frame.left(), frame.center().y() - 5, 1, 10);
        add("cadre de groupe " + group->objectName().toStdString(), side, side.translated(-2, 0),
            3);
        const QRect title =
            inPanel(group, group->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                          QStyle::SC_GroupBoxLabel, group));
        add("titre de groupe " + group->objectName().toStdString(), title, title, 4.5);
    }
    for (auto* slider : panel->findChildren<QSlider*>()) {
        const QStyleOptionSlider option = SliderStyleOption(*slider);
        const QRect groove =
            inPanel(slider, slider->style()->subControlRect(QStyle::CC_Slider, &option,
                                                            QStyle::SC_SliderGroove, slider));
        const QRect handleRect =
            inPanel(slider, slider->style()->subControlRect(QStyle::CC_Slider, &option,
                                                            QStyle::SC_SliderHandle, slider));
        add("piste " + slider->objectName().toStdString(),
            Ring(groove, 1).subtracted(handleRect.adjusted(-1, -1, 1, 1)),
            Ring(groove.adjusted(-1, -2, 1, 2), 1).subtracted(handleRect.adjusted(-2, -2, 2, 2)),
            3);
        add("curseur " + slider->objectName().toStdString(), Ring(handleRect, 1),
            QRegion(handleRect.adjusted(-2, -2, 2, 2))
                .subtracted(groove.adjusted(0, -1, 0, 1))
                .subtracted(handleRect),
            3);
        if (slider->tickPosition() == QSlider::NoTicks) {
            continue;
        }
        const QRect handle =
            inPanel(slider, slider->style()->subControlRect(QStyle::CC_Slider, &option,
                                                            QStyle::SC_SliderHandle, slider));
        // The ticks below the track, away from the handle.
        QRect below = inPanel(slider, slider->rect());
        below.setTop(handle.bottom() + 1);
        add("graduations " + slider->objectName().toStdString(),
            QRegion(below).subtracted(QRegion(handle.adjusted(-2, 0, 2, 0))), below, 3);
    }
    for (auto* button : panel->findChildren<QPushButton*>()) {
        const QRect r = inPanel(button, button->rect());
        add("bord de bouton " + button->objectName().toStdString(), Ring(r, 1),
            Ring(r.adjusted(-2, -2, 2, 2), 1), 3);
    }
    for (auto* label : panel->findChildren<QLabel*>()) {
        if (label->text().trimmed().isEmpty() || !label->isVisibleTo(panel)) {
            continue;
        }
        const QRect r = inPanel(label, label->contentsRect());
        add("texte " + label->objectName().toStdString(), r, r, 4.5);
    }
    return measures;
}

/// The panels of the three tabs, measured on the program's own style, in both modes.
class ContrastTest : public testing::MainWindowTest {
  protected:
    void SetUp() override {
        testing::MainWindowTest::SetUp();
        previousStyle_ = QApplication::style()->name();
        InstallAccessibleStyle(testing::TestApplication());
    }
    void TearDown() override {
        ApplyContrastMode(false);
        testing::MainWindowTest::TearDown();
        QApplication::setStyle(QStyleFactory::create(previousStyle_));
    }
    QString previousStyle_;
};

TEST_F(ContrastTest, OutlinesFramesAndTicksAtThreeToOneTextsAtFourAndAHalf) {
    Show();
    for (const bool strong : {false, true}) {
        ApplyContrastMode(strong);
        for (int tab = 0; tab < 3; ++tab) {
            form->PageControl1->setCurrentIndex(tab);
            QWidget* panels[] = {form->Pansol, form->Panliq, form->Pangaz};
            QWidget* panel = panels[tab];
            const QImage image = panel->grab().toImage();
            std::printf("%s, onglet %d\n", strong ? "Contraste élevé" : "Normal", tab);
            std::vector<Measure> measures = MeasurePanel(panel, image);
            if (tab == 0) {
                // The window's own buttons, over the status bar.
                const QImage window = form->grab().toImage();
                for (QPushButton* button : {form->Button1, form->Button2}) {
                    const QRect r = button->geometry();
                    const QRgb around =
                        MostCommon(Pixels(window, Ring(r.adjusted(-2, -2, 2, 2), 1)));
                    measures.push_back({"bord de bouton " + button->objectName().toStdString(),
                                        Strongest(Pixels(window, Ring(r, 1)), around), around, 3});
                }
            }
            for (const Measure& m : measures) {
                const double ratio = Contrast(m.mark, m.around);
                std::printf("  %-45s %s sur %s  %5.2f:1\n", m.what.c_str(),
                            QColor(m.mark).name().toUtf8().constData(),
                            QColor(m.around).name().toUtf8().constData(), ratio);
                EXPECT_GE(ratio, m.least) << m.what << (strong ? " (contraste élevé)" : "");
            }
        }
    }
}

}  // namespace
}  // namespace veliso
