#pragma once

#include "core/common/view_point.h"

namespace veliso {

/// Tab indices of the main window's page control.
enum class SceneTab { Solid = 0, Liquid = 1, Gas = 2 };

/// Model-view identity, eye at (0, height, distance) looking at the origin with y up,
/// then the scene turned by `angle` degrees about y.
void ApplyCamera(const ViewPoint& view);

/// One-time GL set-up of the view once its context is current: light 0, material,
/// light model, enables, projection, polygon modes, blending, shading.
void InitView(int width, int height);

/// Viewport and 45-degree perspective for a view of width x height pixels.
void ResizeView(int width, int height);

/// Light 0 and material colours of a tab.
void ApplyLightingSet(SceneTab tab);

}  // namespace veliso
