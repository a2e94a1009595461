// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "mainwindow/display_settings.h"

#include <gtest/gtest.h>

#include <QAbstractAxis>
#include <QChart>
#include <QChartView>
#include <QGroupBox>
#include <QSettings>
#include <QTemporaryDir>

#include "app/command_line.h"
#include "mainwindow/focus_style.h"
#include "mainwindow/form_mm.h"
#include "mainwindow/measurement_bench.h"
#include "mainwindow/measurements_window.h"
#include "mainwindow/qt_app.h"
#include "mainwindow/view_actions.h"

namespace veliso {
namespace {

/// QT_SCALE_FACTOR as it was, put back at the end.
class ScaleFactorGuard {
  public:
    ScaleFactorGuard() : had_(qEnvironmentVariableIsSet("QT_SCALE_FACTOR")) {
        old_ = qgetenv("QT_SCALE_FACTOR");
    }
    ~ScaleFactorGuard() {
        if (had_) {
            qputenv("QT_SCALE_FACTOR", old_);
        } else {
            qunsetenv("QT_SCALE_FACTOR");
        }
    }

  private:
    bool had_;
    QByteArray old_;
};

TEST(DisplaySettings, SizeAndContrastGoThroughTheFileTheCommandLineAndTheScale) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QSettings file(folder.filePath("veliso.conf"), QSettings::IniFormat);
    EXPECT_EQ(LoadDisplaySettings(file), DisplaySettings{});  // nothing stored: as always
    SaveDisplaySettings(file, {150, true});
    QSettings again(folder.filePath("veliso.conf"), QSettings::IniFormat);
    EXPECT_EQ(LoadDisplaySettings(again), (DisplaySettings{150, true}));
    for (const char* stored : {"130", "abc", "-100"}) {  // edited by hand: the normal size
        again.setValue("interface/taille", stored);
        EXPECT_EQ(LoadDisplaySettings(again).interfacePercent, 100) << stored;
    }

    struct Case {
        QStringList arguments;
        std::optional<int> percent;
        bool contrast;
        bool error;
    };
    const Case cases[] = {
        {{}, std::nullopt, false, false},
        {{"--taille-interface", "125", "--contraste-eleve"}, 125, true, false},
        {{"-taille-interface=200"}, 200, false, false},
        {{"--taille-interface", "130"}, std::nullopt, false, true},
        {{"--taille-interface", "1.5"}, std::nullopt, false, true},
    };
    for (const Case& c : cases) {
        const CommandLine line = ParseCommandLine(QStringList{"veliso"} + c.arguments);
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        EXPECT_EQ(line.action == CommandLine::Action::Error, c.error);
        if (!c.error) {
            EXPECT_EQ(line.options.interfacePercent, c.percent);
            EXPECT_EQ(line.options.highContrast, c.contrast);
        } else {
            EXPECT_TRUE(line.text.contains(QString::fromUtf8("taille d'interface incorrecte")));
        }
    }
    EXPECT_TRUE(HelpText().contains("--taille-interface P"));
    EXPECT_TRUE(HelpText().contains("--contraste-eleve"));

    // The scale multiplies whatever factor the environment sets; 100 % leaves it alone.
    ScaleFactorGuard guard;
    qunsetenv("QT_SCALE_FACTOR");
    ApplyInterfaceScale(100);
    EXPECT_FALSE(qEnvironmentVariableIsSet("QT_SCALE_FACTOR"));
    ApplyInterfaceScale(150);
    EXPECT_EQ(qgetenv("QT_SCALE_FACTOR"), "1.5");
    qputenv("QT_SCALE_FACTOR", "2");
    ApplyInterfaceScale(125);
    EXPECT_EQ(qgetenv("QT_SCALE_FACTOR"), "2.5");
}

TEST(DisplaySettings, MenuChoicesAreStoredTheContrastShowsAtOnceTheSizeAtTheNextStart) {
    testing::TestApplication();
    TFormMM form;
    ViewActions& actions = *form.viewActions();
    std::vector<DisplaySettings> saved;
    QStringList told;
    actions.saveDisplaySettings = [&saved](const DisplaySettings& d) { saved.push_back(d); };
    actions.tell = [&told](const QString& text) { told.append(text); };
    actions.SetDisplaySettings({125, false}, 125);
    EXPECT_TRUE(actions.interfaceSizeAction(125)->isChecked());

    auto* options = form.findChild<QGroupBox*>("GroupBox3");
    ASSERT_NE(options, nullptr);
    const QColor normalTitle = options->palette().color(QPalette::WindowText);
    // The box's frame, on its left edge.
    const auto frame = [options] {
        return options->grab().toImage().pixelColor(0, options->height() / 2);
    };
    const QColor normalFrame = frame();
    form.bench().Show();
    const QAbstractAxis* axis =
        form.bench().window()->findChild<QChartView*>("Chart")->chart()->axes()[0];
    const QColor normalFigures = axis->labelsBrush().color();
    actions.contrastAction()->trigger();
    EXPECT_TRUE(AccessibleStyle::HighContrast());
    EXPECT_NE(options->palette().color(QPalette::WindowText), normalTitle);
    EXPECT_EQ(frame(), AccessibleStyle::OutlineColour());
    EXPECT_EQ(axis->labelsBrush().color(), QColor(Qt::black));
    actions.interfaceSizeAction(200)->trigger();
    actions.interfaceSizeAction(125)->trigger();  // back to the size this run has: nothing said
    actions.contrastAction()->trigger();
    EXPECT_FALSE(AccessibleStyle::HighContrast());
    EXPECT_EQ(options->palette().color(QPalette::WindowText), normalTitle);
    EXPECT_EQ(frame(), normalFrame);
    EXPECT_EQ(axis->labelsBrush().color(), normalFigures);

    const std::vector<DisplaySettings> expected = {
        {125, true}, {200, true}, {125, true}, {125, false}};
    EXPECT_EQ(saved, expected);
    EXPECT_EQ(told, QStringList{InterfaceSizeNotice(200)});
    EXPECT_EQ(InterfaceSizeNotice(200),
              QString::fromUtf8(
                  "La taille de l'interface passera à 200 % au prochain démarrage de Veliso."));
}

}  // namespace
}  // namespace veliso
