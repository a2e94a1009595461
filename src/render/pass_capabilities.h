// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

// What a pass of cached spheres may do in the GL state of the moment. The state is read once
// a pass into plain values (`ReadPassFacts`); the three checks are plain functions of them.

namespace veliso {

/// The GL state a pass of spheres depends on.
struct PassFacts {
    // How the triangles are rasterized.
    bool renderMode = true;      ///< GL_RENDER (not feedback or selection)
    bool multisampling = false;  ///< sample buffers present and GL_MULTISAMPLE on
    bool clipPlane = false;      ///< a user clip plane enabled
    bool compilingList = false;  ///< a display list being compiled
    int subpixelBits = 8;
    bool bufferBound = false;    ///< a buffer object bound for vertex or index arrays
    bool polygonsFilled = true;  ///< GL_FILL for front and back faces
    bool polygonSmooth = false;  ///< GL_POLYGON_SMOOTH on
    // What decides which fragment a pixel keeps.
    bool depthTest = true;
    bool depthWrites = true;
    bool depthLessOrEqual = true;  ///< GL_LESS or GL_LEQUAL
    int depthBits = 24;
    double depthRange[2] = {0.0, 1.0};
    bool faceCulling = false;
    bool blending = false;
    bool logicOp = false;
    bool alphaTest = false;
    bool stencilTest = false;
    bool polygonStipple = false;
    bool polygonOffsetFill = false;
    bool depthClamp = false;
    bool program = false;  ///< a shader program in use
    // Where the spheres land.
    int viewport[4] = {0, 0, 0, 0};
    double modelView[16] = {};   ///< column-major
    double projection[16] = {};  ///< column-major
};

/// The checks below are meant to be read as lists: every condition a feature needs is in
/// its own check, and `Capabilities` only chains them.
struct PassCapabilities {
    /// The cached meshes give gluSphere's pixels.
    bool meshesExact = false;
    /// Triangles that change no pixel may be left out (needs meshesExact).
    bool triangleCullingSafe = false;
    /// Whole spheres may be proven hidden by others (needs triangleCullingSafe).
    bool occlusionSafe = false;
};

/// Rendering (not feedback or selection, which see GLU's own primitives), one sample a pixel
/// (the culling reasons about pixel centres), no clip plane, no list being compiled (it would
/// keep triangles chosen for this moment's state), at least 6 sub-pixel bits, no buffer
/// object bound (the client arrays would become offsets), both faces filled (in line or
/// point mode the triangles' diagonals would show where GLU draws quads) and no polygon
/// smoothing (it blends along every triangle edge, the diagonals included).
bool MeshesExact(const PassFacts& facts);

/// The pixel a triangle's fragment ends in depends only on depth: the depth test on (LESS or
/// LEQUAL) with depth writes into a depth buffer of 16 bits or more and an ordinary depth
/// range; nothing that blends, combines, discards or shifts fragments (blending, logic op,
/// alpha and stencil tests, polygon stipple and offset, depth clamping, shader programs); no
/// face culling; filled polygons; a viewport; an unmirrored affine model-view and a
/// perspective projection that keeps x and y the right way round.
bool TriangleCullingSafe(const PassFacts& facts);

/// Radii carry over to eye space (the model-view only turns and moves: unit columns at right
/// angles, to single-precision rounding) and the projection is gluPerspective's, centred,
/// with 0 < near < far.
bool OcclusionSafe(const PassFacts& facts);

PassCapabilities Capabilities(const PassFacts& facts);

/// Reads the facts from the current context, asking only for what its version (or an
/// extension) has: a feature the context lacks is off, and no GL error is left behind.
void ReadPassFacts(PassFacts& facts);

/// What does not change during a context's life, read once for each context.
struct ContextFacts {
    bool multisample = false;     ///< multisampling (OpenGL 1.3, or its extension)
    bool buffers = false;         ///< buffer objects (OpenGL 1.5 and later)
    bool bufferBindings = false;  ///< buffer bindings to ask (OpenGL 1.5, or its extension)
    bool programs = false;        ///< shader programs (OpenGL 2.0 and later)
    bool depthClamp = false;      ///< depth clamping (OpenGL 3.2, or an extension)
};
/// The facts of the current context.
const ContextFacts& CurrentContextFacts();

}  // namespace veliso
