// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
// Every top-level window of the program under the requests of a real compositor: weston, in an
// X server of its own, whose key bindings xdotool presses as a user would (Super+Shift+M
// maximises the focused window, Super+Shift+F puts it in full screen; weston starts the state,
// not the program).
//
// Two tables, one row per top-level window, each row run by a driver (this program run again
// with `--row FOLDER TABLE ROW COLUMN...`) that opens the window as a user does and reports one
// line per column:
//  - on weston's desktop shell: maximise and full screen from the compositor, maximise from the
//    program (as Qt's title-bar button asks), and maximised, closed and opened again. A window
//    that answers a configure wrongly ends the connection, and the driver with it;
//  - on weston's kiosk shell at 1024 x 768: the window as it first opens lies wholly on the
//    screen, title bar included (found in weston's screenshot), and once closed with Escape the
//    keyboard goes back to the window it stood over (for the measurement window, Ctrl+M opens
//    it again).

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/about_box.h"
#include "app/application.h"
#include "app/instructions.h"
#include "app/splash.h"
#include "app/translations.h"
#include "mainwindow/desktop_open.h"
#include "mainwindow/form_mm.h"
#include "mainwindow/measurement_bench.h"
#include "mainwindow/measurements_window.h"
#include "mainwindow/view_actions.h"
#include "support/image_match.h"
#include "wayland/weston_session.h"

namespace veliso {
namespace {

using testing::DriverRun;

/// The longest a window system's answer may take before it counts as never coming.
constexpr int kAnswerMs = 5000;

// ---------------------------------------------------------------------------------------
// The driver (runs in the child process)

/// Presses `keys` in the X server weston runs in, as a user at its keyboard. weston's X11
/// backend takes keys once the pointer has left its window and come back.
/// xdotool, found while the search path still holds it.
const QString& Xdotool() {
    static const QString path = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    return path;
}

bool PressKeys(const QString& keys) {
    QProcess press;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", qEnvironmentVariable("VELISO_TEST_X11_DISPLAY"));
    press.setProcessEnvironment(environment);
    press.start(Xdotool(), {"mousemove", "1200", "1000", "mousemove", "1000", "750", "key", keys});
    return press.waitForFinished(10000) && press.exitStatus() == QProcess::NormalExit &&
           press.exitCode() == 0;
}

bool OnScreen(const QWidget* w) {
    return w != nullptr && w->isVisible() && w->windowHandle() != nullptr &&
           w->windowHandle()->isExposed();
}

/// Counts the update requests a window receives: Qt delivers the one asked after a frame once
/// the compositor has shown that frame, that is, once it has taken the commit that carried it.
class Presentations : public QObject {
  public:
    explicit Presentations(QWindow* window) : QObject(window) { window->installEventFilter(this); }
    int count = 0;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::UpdateRequest) {
            ++count;
        }
        return QObject::eventFilter(watched, event);
    }
};

/// Draws `w` now and waits until the compositor has shown that frame: a window whose geometry
/// did not answer the configure is disconnected before that.
bool Presented(QWidget* w) {
    auto* seen = new Presentations(w->windowHandle());
    w->repaint();
    w->windowHandle()->requestUpdate();
    const bool shown = QTest::qWaitFor([&] { return seen->count > 0; }, kAnswerMs);
    delete seen;
    return shown;
}

QMessageBox* BoxSaying(const QString& text) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(w);
        if (box != nullptr && box->isVisible() && box->text() == text) {
            return box;
        }
    }
    return nullptr;
}

QFileDialog* FileDialogOver(QWidget* parent) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        if (dialog != nullptr && dialog->isVisible() && dialog->parentWidget() == parent) {
            return dialog;
        }
    }
    return nullptr;
}

const QString kCloseQuestion = QStringLiteral("Voulez-vous fermer l'application ?");

/// One top-level window as a user opens it.
struct Row {
    const char* name;
    /// The program lets the user change its size.
    bool resizable;
    /// Opens the window; may run its own modal loop.
    std::function<void()> open;
    /// The window once it is up (null before).
    std::function<QWidget*()> find;
    /// Closes it as its Escape key does.
    std::function<void(QWidget*)> close;
};

void MeasurementWindowWithARow() {
    FormMM->PageControl1->setCurrentIndex(2);
    FormMM->bench().Show();
    FormMM->bench().window()->findChild<QPushButton*>("butAjouter")->click();
}

std::vector<Row> Rows() {
    const auto reject = [](QWidget* w) { static_cast<QDialog*>(w)->reject(); };
    return {
        {"main", true, [] {}, [] { return static_cast<QWidget*>(FormMM); },
         [](QWidget* w) { w->hide(); }},
        {"splash", false,
         [] {
             Formsplash->Timer1->stop();
             Formsplash->exec();
         },
         [] { return static_cast<QWidget*>(Formsplash); }, reject},
        {"about", false, [] { FormMM->Button2->click(); },
         [] { return static_cast<QWidget*>(AboutBox); }, reject},
        {"instructions", false, [] { FormMM->Button1->click(); },
         [] { return static_cast<QWidget*>(Forminst); }, reject},
        {"confirmation", false, [] { FormMM->close(); },
         [] { return static_cast<QWidget*>(BoxSaying(kCloseQuestion)); }, reject},
        {"unexported", false,
         [] {
             MeasurementWindowWithARow();
             FormMM->bench().window()->hide();
             FormMM->close();
         },
         [] {
             // The first question answered Yes, the second comes.
             if (QMessageBox* first = BoxSaying(kCloseQuestion)) {
                 first->button(QMessageBox::Yes)->click();
             }
             return static_cast<QWidget*>(BoxSaying(QString::fromUtf8(
                 "Des relevés n'ont pas été exportés. Fermer quand même\u00a0?")));
         },
         reject},
        {"no_opener", false,
         [] {
             // No opener on the search path while the page is asked for.
             const QByteArray path = qgetenv("PATH");
             qputenv("PATH", QFile::encodeName(FormMM->pagesFolder));
             FormMM->Image_infoClick();
             qputenv("PATH", path);
         },
         [] { return static_cast<QWidget*>(BoxSaying(NoOpenerMessage())); }, reject},
        {"measurements", true,
         [] {
             FormMM->PageControl1->setCurrentIndex(2);
             FormMM->bench().Show();
         },
         [] { return static_cast<QWidget*>(FormMM->bench().window()); },
         [](QWidget* w) { w->close(); }},
        {"picture_dialog", true, [] { FormMM->viewActions()->saveAction()->trigger(); },
         [] { return static_cast<QWidget*>(FileDialogOver(FormMM)); }, reject},
        {"export_dialog", true,
         [] {
             if (FormMM->bench().window() == nullptr || !FormMM->bench().window()->isVisible()) {
                 MeasurementWindowWithARow();
             }
             FormMM->bench().window()->findChild<QPushButton*>("butExporter")->click();
         },
         [] {
             return static_cast<QWidget*>(
                 FormMM->bench().window() ? FileDialogOver(FormMM->bench().window()) : nullptr);
         },
         reject},
    };
}

/// Works one row's columns and writes one line per column into the report as each ends, so
/// that a driver the compositor disconnects leaves the lines of the columns before.
class RowDriver {
  public:
    RowDriver(const QString& folder, bool kiosk, Row row, QStringList columns)
        : folder_(folder), kiosk_(kiosk), row_(std::move(row)), columns_(std::move(columns)) {}

    void Start() {
        if (columns_.isEmpty()) {
            QCoreApplication::exit(0);
            return;
        }
        const QString column = columns_.takeFirst();
        Open([this, column](QWidget* w) { Work(column, w); });
    }

  private:
    /// Opens the row's window and hands it to `then` once it is on the screen, from whatever
    /// loop is running then (a modal window's own).
    void Open(std::function<void(QWidget*)> then) {
        auto* poll = new QTimer(QCoreApplication::instance());
        poll->setInterval(20);
        auto since = std::make_shared<QElapsedTimer>();
        since->start();
        QObject::connect(poll, &QTimer::timeout, [this, poll, since, then] {
            QWidget* w = row_.find();
            if (!OnScreen(w) && since->elapsed() < kAnswerMs) {
                return;
            }
            poll->stop();
            poll->deleteLater();
            then(OnScreen(w) ? w : nullptr);
        });
        poll->start();
        QTimer::singleShot(0, QCoreApplication::instance(), row_.open);
    }

    void Work(const QString& column, QWidget* w) {
        if (w == nullptr) {
            Write(column, "does not open");
            Next(nullptr);
            return;
        }
        if (kiosk_ && column == QLatin1String("fits")) {
            Write(column, Fits(w));
        } else if (kiosk_ && column == QLatin1String("keyboard")) {
            Write(column, KeyboardComesBack(w));
            Next(nullptr);
            return;
        } else if (column == QLatin1String("reopen")) {
            MaximisedClosedAndOpenedAgain(w);
            return;
        } else if (column == QLatin1String("program_maximise")) {
            Write(column, AskAndRestore(
                              w, [w] { w->windowHandle()->setWindowStates(Qt::WindowMaximized); },
                              [w] { w->windowHandle()->setWindowStates(Qt::WindowNoState); },
                              Qt::WindowMaximized));
        } else {
            const bool full = column == QLatin1String("compositor_full_screen");
            const QString keys = full ? "super+shift+f" : "super+shift+m";
            Write(column, AskAndRestore(
                              w, [keys] { PressKeys(keys); }, [keys] { PressKeys(keys); },
                              full ? Qt::WindowFullScreen : Qt::WindowMaximized));
        }
        Next(w);
    }

    /// The next column in a window opened again, once this one has closed and its modal loop
    /// (if any) has ended.
    void Next(QWidget* w) {
        if (w != nullptr && w != FormMM) {
            row_.close(w);
        }
        QTimer::singleShot(0, QCoreApplication::instance(), [this] { Start(); });
    }

    /// The state asked, then the window's own state and size back: an empty text when the
    /// window answered each configure, otherwise what went wrong.
    QString AskAndRestore(QWidget* w, const std::function<void()>& ask,
                          const std::function<void()>& restore, Qt::WindowState state) {
        const QSize own = w->size();
        const QRect content = w->childrenRect();
        ask();
        if (!QTest::qWaitFor([&] { return w->windowState().testFlag(state); }, kAnswerMs)) {
            return "state never came";
        }
        if (!QTest::qWaitFor([&] { return w->size() != own; }, kAnswerMs)) {
            return "kept its size in that state";
        }
        if (!Presented(w)) {
            return "not shown in that state";
        }
        if (!row_.resizable) {
            // The content at its own size, in the middle of what the compositor gave.
            const QSize room = w->size() - own;
            const QRect centred = content.translated(room.width() / 2, room.height() / 2);
            if ((w->childrenRect().topLeft() - centred.topLeft()).manhattanLength() > 2 ||
                w->childrenRect().size() != content.size()) {
                return "content not in the middle";
            }
        }
        restore();
        return Restored(w, own, state);
    }

    /// Once the state is left: its size from before, shown.
    QString Restored(QWidget* w, QSize own, Qt::WindowState state) {
        if (!QTest::qWaitFor([&] { return !(w->windowState() & state) && w->size() == own; },
                             kAnswerMs)) {
            return QStringLiteral("not back at its own size (%1x%2, not %3x%4)")
                .arg(w->width())
                .arg(w->height())
                .arg(own.width())
                .arg(own.height());
        }
        if (!Presented(w)) {
            return "not shown back at its own size";
        }
        return "ok";
    }

    void MaximisedClosedAndOpenedAgain(QWidget* w) {
        const QSize own = w->size();
        PressKeys("super+shift+m");
        if (!QTest::qWaitFor([&] { return w->isMaximized(); }, kAnswerMs) || !Presented(w)) {
            Write("reopen", "not maximised");
            Next(w);
            return;
        }
        row_.close(w);
        QTimer::singleShot(0, QCoreApplication::instance(), [this, own] {
            if (row_.name == std::string("main")) {
                FormMM->show();
            }
            Open([this, own](QWidget* again) {
                if (again == nullptr) {
                    Write("reopen", "does not open again");
                } else if (row_.resizable && again->isMaximized()) {
                    // As it was left; restored, at its size from before.
                    PressKeys("super+shift+m");
                    Write("reopen", Presented(again) ? Restored(again, own, Qt::WindowMaximized)
                                                     : QStringLiteral("not shown maximised"));
                } else if (again->windowState() != Qt::WindowNoState || again->size() != own ||
                           !Presented(again)) {
                    Write("reopen", "opens again maximised or at another size");
                } else {
                    const QString keys = "super+shift+m";
                    Write("reopen", AskAndRestore(
                                        again, [keys] { PressKeys(keys); },
                                        [keys] { PressKeys(keys); }, Qt::WindowMaximized));
                }
                Next(again);
            });
        });
    }

    /// Whether the window, as it first opens, lies wholly on weston's output: its own pixels
    /// are found whole in weston's screenshot, and the frame the window system adds around
    /// them (Qt draws the title bar on Wayland) stays within the output too.
    QString Fits(QWidget* w) {
        // Settled: the shell activates a window it maps and may ask it for another size then.
        if (!QTest::qWaitFor([&] { return w->isActiveWindow(); }, kAnswerMs)) {
            return "never active";
        }
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        if (!Presented(w)) {
            return "not shown";
        }
        const QRect output(QPoint(0, 0), testing::WestonSession::kOutput);
        if (w == FormMM) {
            return w->isFullScreen() && w->size() == output.size() ? "ok" : "not the whole output";
        }
        // Still while the pictures are taken: no clock, no readout changing.
        FormMM->Timer1->stop();
        FormMM->Timer2->stop();
        w->repaint();
        const QImage own = w->grab().toImage().convertToFormat(QImage::Format_ARGB32);
        testing::TakeScreenshot(folder_, row_.name);
        FormMM->Timer1->start();
        FormMM->Timer2->start();
        const QImage screen =
            QImage(folder_ + "/screen_" + row_.name + ".png").convertToFormat(QImage::Format_RGB32);
        // A see-through pixel (the splash's colour key) shows whatever lies beneath.
        const auto at =
            testing::Locate(screen, own, 8, 0.02, [](QRgb p) { return qAlpha(p) < 255; });
        if (!at) {
            own.save(folder_ + "/own_" + row_.name + ".png");
            return "not wholly on the screen";
        }
        const QMargins frame = w->windowHandle()->frameMargins();
        const QRect framed = QRect(*at, w->size()).marginsAdded(frame);
        if (!output.contains(framed)) {
            return QStringLiteral("frame runs off the screen at %1,%2 %3x%4")
                .arg(framed.x())
                .arg(framed.y())
                .arg(framed.width())
                .arg(framed.height());
        }
        return "ok";
    }

    /// Closed with Escape, the keyboard goes back to the window it stood over.
    QString KeyboardComesBack(QWidget* w) {
        QWidget* over = w->parentWidget() == nullptr ? nullptr : w->parentWidget()->window();
        if (w == FormMM || over == nullptr) {
            return "ok";  // nothing stands under it
        }
        if (!QTest::qWaitFor([&] { return w->isActiveWindow(); }, kAnswerMs)) {
            return "never active";
        }
        PressKeys("Escape");
        if (!QTest::qWaitFor([&] { return !w->isVisible(); }, kAnswerMs)) {
            return "Escape does not close it";
        }
        if (!QTest::qWaitFor([&] { return over->isActiveWindow(); }, kAnswerMs)) {
            return "the keyboard goes to no window";
        }
        if (row_.name == std::string("measurements")) {
            PressKeys("ctrl+m");
            if (!QTest::qWaitFor([&] { return OnScreen(w); }, kAnswerMs)) {
                return "Ctrl+M does not open it again";
            }
            row_.close(w);
        }
        return "ok";
    }

    void Write(const QString& column, const QString& result) {
        QFile file(folder_ + QStringLiteral("/report.txt"));
        if (file.open(QIODevice::Append | QIODevice::Text)) {
            QTextStream(&file) << column << '=' << result << '\n';
        }
    }

    QString folder_;
    bool kiosk_;
    Row row_;
    QStringList columns_;
};

int DriveRow(int argc, char** argv, const QString& folder, const QString& table,
             const QString& name, const QStringList& columns) {
    static auto* application = new VelisoApplication(argc, argv);
    InstallFrenchQtTexts(*application);
    CreateWindows();
    // The splash is a row of its own: the main window's first show does not wait for it.
    FormMM->SetAuxiliaryWindows(nullptr, Forminst, AboutBox);
    // A folder of information pages that holds the page asked for, and no opener in it.
    const QTemporaryDir pages;
    QFile(QDir(pages.path()).filePath("_sol.htm")).open(QIODevice::WriteOnly);
    FormMM->pagesFolder = pages.path();
    // The tools, found before the search path changes.
    (void)Xdotool();
    (void)testing::Screenshooter();
    std::unique_ptr<RowDriver> driver;
    for (Row& row : Rows()) {
        if (name == QLatin1String(row.name)) {
            driver =
                std::make_unique<RowDriver>(folder, table == QLatin1String("kiosk"), row, columns);
        }
    }
    if (!driver) {
        return 2;
    }
    QTimer::singleShot(0, FormMM, [&] {
        FormMM->show();
        if (!QTest::qWaitFor([] { return OnScreen(FormMM); }, kAnswerMs)) {
            QCoreApplication::exit(3);
            return;
        }
        driver->Start();
    });
    const int code = application->exec();
    DestroyWindows();
    return code;
}

// ---------------------------------------------------------------------------------------
// The tests (run in the parent process)

/// One table: rows of windows, columns of what is done to them; each cell holds "ok" or what
/// went wrong.
class WindowTable : public testing::WestonSession {
  protected:
    bool NestedInX() const override { return true; }

    void Run(const char* table, const QStringList& columns) {
        ASSERT_FALSE(QStandardPaths::findExecutable("xdotool").isEmpty())
            << "xdotool is missing: scripts/setup-deps installs it";
        std::vector<std::pair<std::string, QStringList>> results;
        for (const Row& row : Rows()) {
            results.emplace_back(row.name, RunRow(table, row.name, columns));
        }
        std::printf("\n%s table (rows: windows; columns: %s)\n", table,
                    columns.join(", ").toUtf8().constData());
        for (const auto& [name, cells] : results) {
            std::printf("| %-15s | %s |\n", name.c_str(), cells.join(" | ").toUtf8().constData());
            for (int i = 0; i < columns.size(); ++i) {
                EXPECT_EQ(cells[i].toStdString(), "ok") << name << ", " << columns[i].toStdString();
            }
        }
        if (HasFailure()) {
            std::printf("weston's log:\n%s\n", WestonLog().toUtf8().constData());
        }
    }

    /// The row's cells. A driver the compositor disconnects leaves the cells before; the
    /// columns after run again in a new driver, so that each cell says what it alone does.
    QStringList RunRow(const char* table, const QString& name, QStringList columns) {
        QStringList cells;
        while (!columns.isEmpty()) {
            const QString folder =
                work_.filePath(QStringLiteral("%1-%2-%3").arg(table, name).arg(cells.size()));
            QDir().mkpath(folder);
            // Settings of its own in each run: the windows open as on a fresh account.
            QProcessEnvironment environment = WaylandEnvironment(folder + "/config");
            environment.insert("VELISO_TEST_X11_DISPLAY", xDisplay_);
            const DriverRun run = testing::RunDriver(
                folder, environment, {},
                QStringList{"--row", folder, QString::fromUtf8(table), name} + columns);
            while (!columns.isEmpty() && run.report.count(columns.first()) == 1) {
                cells << run.report.at(columns.takeFirst());
            }
            if (!columns.isEmpty()) {
                columns.removeFirst();
                const QStringList lines = run.standardError.trimmed().split('\n');
                cells << QStringLiteral("died (exit %1: %2)").arg(run.exitCode).arg(lines.first());
            } else if (run.exitCode != 0 || !run.standardError.isEmpty()) {
                ADD_FAILURE() << name.toStdString() << ": exit " << run.exitCode << ", "
                              << run.standardError.toStdString();
            }
        }
        return cells;
    }
};

class DesktopShell : public WindowTable {};

class KioskShell : public WindowTable {
  protected:
    QString Shell() const override { return QStringLiteral("kiosk-shell.so"); }
};

TEST_F(DesktopShell, EveryWindowAnswersTheCompositorWhoeverStartsTheState) {
    Run("desktop", {"compositor_maximise", "compositor_full_screen", "program_maximise", "reopen"});
}

TEST_F(KioskShell, EveryWindowFitsTheScreenAndGivesTheKeyboardBack) {
    Run("kiosk", {"fits", "keyboard"});
}

}  // namespace
}  // namespace veliso

int main(int argc, char** argv) {
    if (argc >= 5 && std::string(argv[1]) == "--row") {
        QStringList columns;
        for (int i = 5; i < argc; ++i) {
            columns << QString::fromLocal8Bit(argv[i]);
        }
        return veliso::DriveRow(argc, argv, QString::fromLocal8Bit(argv[2]),
                                QString::fromLocal8Bit(argv[3]), QString::fromLocal8Bit(argv[4]),
                                columns);
    }
    // The test itself needs an application object for QProcess and QTest's waits, but no
    // window: no platform plugin is loaded.
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
