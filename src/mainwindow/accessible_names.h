// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

class QWidget;

namespace veliso {

/// Gives the controls of the main window's three panels, its buttons and status bar the names
/// a screen reader says: what each control sets, its value with its unit, the labels that
/// caption it and show its figure. `form` is the main window; nothing it shows changes.
void NameMainWindowControls(QWidget* form);

/// The same for the measurement window: its choices named by their captions, the table and
/// the chart.
void NameMeasurementControls(QWidget* window);

}  // namespace veliso
