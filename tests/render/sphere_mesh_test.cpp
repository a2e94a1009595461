// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#define GL_GLEXT_PROTOTYPES 1
#include "render/sphere_mesh.h"

#include "render/sphere_batch.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "core/gas/gas_model.h"
#include "core/liquid/liquid_motion.h"
#include "core/solid/solid_controls.h"
#include "render/gas_scene.h"
#include "render/liquid_scene.h"
#include "render/solid_scene.h"
#include "render/view_setup.h"
#include "support/feedback_capture.h"
#include "support/headless_gl.h"
#include "support/no_text.h"

namespace veliso {
namespace {

RandomSource FixedRandom() {
    return RandomSource([] { return std::uint64_t{1765100000}; });
}

struct ViewSize {
    int width;
    int height;
};

/// Pixels whose RGB differ between two read-backs.
int DifferingPixels(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    int differing = 0;
    for (std::size_t i = 0; i + 2 < a.size() && i + 2 < b.size(); i += 3) {
        differing += a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2];
    }
    return differing;
}

/// Draws `frame` with GLU's spheres, then with the cached ones, into `gl`: same pixels.
template <class Frame>
void ExpectSamePixelsIn(const test::HeadlessGl& gl, SceneTab tab, Frame&& frame) {
    ApplyLightingSet(tab);
    SetSphereDrawing(SphereDrawing::NaiveGlu);
    frame();
    const std::vector<std::uint8_t> naive = gl.ReadRgb();
    SetSphereDrawing(SphereDrawing::Cached);
    frame();
    EXPECT_EQ(DifferingPixels(naive, gl.ReadRgb()), 0);
}

/// Every scene drawn with GLU's spheres and with the cached ones must give the same pixels,
/// in the view at start-up and maximised on a 1920 x 1080 screen, also with the eye among
/// the spheres.
class SphereDrawingTest : public ::testing::TestWithParam<ViewSize> {
  protected:
    void SetUp() override {
        ASSERT_TRUE(gl.ok());
        InitView(gl.width(), gl.height());
    }
    void TearDown() override { SetSphereDrawing(SphereDrawing::Cached); }

    template <class Frame>
    void ExpectSamePixels(SceneTab tab, Frame&& frame) {
        ExpectSamePixelsIn(gl, tab, frame);
    }

    test::HeadlessGl gl{GetParam().width, GetParam().height};
};

INSTANTIATE_TEST_SUITE_P(StartUpAndMaximised, SphereDrawingTest,
                         ::testing::Values(ViewSize{473, 471}, ViewSize{1747, 1047}),
                         [](const ::testing::TestParamInfo<ViewSize>& info) {
                             return std::to_string(info.param.width) + "x" +
                                    std::to_string(info.param.height);
                         });

TEST_P(SphereDrawingTest, SolidStructuresMatchGlu) {
    SolidState solid;
    FillHcpCellSites(solid);
    solid.amplitude = SolidAmplitudeAt(300);
    for (int s = 0; s < 8; ++s) {
        solid.structure = static_cast<SolidStructure>(s);
        for (double distance : {4.25, 0.5}) {
            solid.view.distance = distance;
            for (int smoothness : {8, 20, 32}) {
                SCOPED_TRACE(testing::Message() << "structure " << s << ", distance " << distance
                                                << ", smoothness " << smoothness);
                SphereDetail detail;
                detail.SetSmoothness(smoothness);
                ExpectSamePixels(SceneTab::Solid, [&] {
                    RandomSource random = FixedRandom();
                    DrawSolidScene(solid, detail, random);
                });
            }
        }
    }
}

TEST_P(SphereDrawingTest, LiquidMatchesGlu) {
    RandomSource random = FixedRandom();
    LiquidState start;
    InitLiquid(start, random);
    for (int smoothness : {8, 20, 32}) {
        SphereDetail detail;
        detail.SetSmoothness(smoothness);
        for (ViewPoint view :
             {ViewPoint{40.0, 0.0, 4.25}, ViewPoint{10.0, 0.3, 0.5}, ViewPoint{200.0, -2.0, 2.0}}) {
            for (bool transparent : {false, true}) {
                SCOPED_TRACE(testing::Message() << "smoothness " << smoothness << ", angle "
                                                << view.angle << ", transparent " << transparent);
                start.view = view;
                ExpectSamePixels(SceneTab::Liquid, [&] {
                    LiquidState liquid = start;
                    DrawLiquidScene(liquid, detail, transparent, true);
                });
            }
        }
    }
}

TEST_P(SphereDrawingTest, GasWithGraphsMatchesGlu) {
    RandomSource random = FixedRandom();
    GasState gas;
    InitGas(gas, random);
    // Without the speed bars: the rasterizer splits their two-coloured quads one way or the
    // other depending on earlier draws, so even two GLU frames may differ by 1 in a colour.
    gas.showCurve = gas.showHistogram = true;
    test::NoText text;
    for (int smoothness : {8, 20, 32}) {
        SphereDetail detail;
        detail.SetSmoothness(smoothness);
        for (bool transparent : {false, true}) {
            SCOPED_TRACE(testing::Message()
                         << "smoothness " << smoothness << ", transparent " << transparent);
            ExpectSamePixels(SceneTab::Gas, [&] { DrawGasScene(gas, detail, transparent, text); });
        }
    }
}

TEST_P(SphereDrawingTest, SpheresCutOpenMirroredOrAtTheEdgeMatchGlu) {
    GLUquadric* quadric = gluNewQuadric();
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    struct Placement {
        double x, y, z, mirror;
    };
    // Cut by the near plane (0.1), seen from inside, mirrored, half out of the view, tiny.
    for (Placement at : {Placement{0.0, 0.0, -0.2, 1.0}, Placement{0.02, 0.0, 0.0, 1.0},
                         Placement{0.1, 0.1, -1.0, -1.0}, Placement{0.45, 0.0, -1.2, 1.0},
                         Placement{0.0, 0.0, -40.0, 1.0}}) {
        SCOPED_TRACE(testing::Message() << "sphere at z " << at.z);
        ExpectSamePixels(SceneTab::Liquid, [&] {
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            glLoadIdentity();
            glTranslated(at.x, at.y, at.z);
            glScaled(at.mirror, 1.0, 1.0);
            glRotated(70.0, 1.0, 0.3, 0.0);
            DrawSphere(quadric, 0.15, 32, 16);
        });
    }
    gluDeleteQuadric(quadric);
}

TEST_P(SphereDrawingTest, FeedbackModeRecordsGlusOwnPrimitives) {
    GLUquadric* quadric = gluNewQuadric();
    const auto capture = [&](SphereDrawing drawing) {
        SetSphereDrawing(drawing);
        test::FeedbackCapture feedback;
        feedback.Begin();
        glLoadIdentity();
        glTranslated(0.0, 0.0, -3.0);
        DrawSphere(quadric, 0.5, 12, 6);
        std::vector<float> values;  // every vertex of every primitive: x, y, z, r, g, b
        for (const test::FeedbackPrimitive& primitive : feedback.End()) {
            for (const test::FeedbackVertex& v : primitive.vertices) {
                values.insert(values.end(), {v.x, v.y, v.z, v.r, v.g, v.b});
            }
        }
        return values;
    };
    EXPECT_EQ(capture(SphereDrawing::NaiveGlu), capture(SphereDrawing::Cached));
    gluDeleteQuadric(quadric);
}

TEST_P(SphereDrawingTest, LeavesTheNormalAndColourGluLeavesAndNoArrays) {
    GLUquadric* quadric = gluNewQuadric();
    glEnable(GL_DEPTH_TEST);
    ApplyCamera(ViewPoint{20.0, 1.5, 4.25});
    // One sphere, then a batch of two sizes whose last sphere lies hidden behind the first.
    std::vector<float> state[2];
    for (SphereDrawing drawing : {SphereDrawing::NaiveGlu, SphereDrawing::Cached}) {
        SetSphereDrawing(drawing);
        std::vector<float>& values = state[drawing == SphereDrawing::Cached];
        float normal[4] = {};
        DrawSphere(quadric, 0.5, 12, 6);
        glGetFloatv(GL_CURRENT_NORMAL, normal);
        values.assign(normal, normal + 3);
        {
            SphereBatch batch(quadric, 16, 8);
            batch.SetColour(0.1, 0.2, 0.3);
            batch.Add(0.0, 0.0, 1.0, 0.6);
            batch.Add(0.5, 0.0, 0.0, 0.2);
            batch.SetColour(0.4, 0.5, 0.6);
            batch.Add(0.0, 0.0, -1.0, 0.3);
            batch.Flush();
        }
        float colour[4] = {};
        glGetFloatv(GL_CURRENT_NORMAL, normal);
        glGetFloatv(GL_CURRENT_COLOR, colour);
        values.insert(values.end(), normal, normal + 3);
        values.insert(values.end(), colour, colour + 4);
    }
    gluDeleteQuadric(quadric);
    EXPECT_EQ(state[0], state[1]);
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_NORMAL_ARRAY));
    GLint buffer = -1;
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &buffer);
    EXPECT_EQ(buffer, 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

/// Frames of random clusters per view size, and their seed: VELISO_RANDOM_SPHERE_FRAMES asks
/// for more, VELISO_RANDOM_SPHERE_SEED for others.
int RandomFrames() {
    const char* frames = std::getenv("VELISO_RANDOM_SPHERE_FRAMES");
    return frames != nullptr && std::atoi(frames) > 0 ? std::atoi(frames) : 40;
}
unsigned RandomSeed() {
    const char* seed = std::getenv("VELISO_RANDOM_SPHERE_SEED");
    return seed != nullptr ? static_cast<unsigned>(std::strtoul(seed, nullptr, 10)) : 20261207u;
}

/// Batches of spheres in random colours, packed so that many hide one another, some
/// touching, overlapping or nearly so, some cut by the near plane or off the view, from
/// random cameras: a sphere left out that shows anywhere changes a pixel.
TEST_P(SphereDrawingTest, RandomClustersMatchGlu) {
    std::mt19937 random(RandomSeed() + GetParam().width);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    GLUquadric* quadric = gluNewQuadric();
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    ApplyLightingSet(SceneTab::Liquid);
    const int frames = RandomFrames();
    long hidden = 0;
    for (int frame = 0; frame < frames; ++frame) {
        const int smoothness = 8 + static_cast<int>(unit(random) * 25);
        const int count = 20 + static_cast<int>(unit(random) * 180);
        const double spacing = 0.15 + 0.35 * unit(random);
        const double radii[2] = {0.05 + 0.3 * unit(random), 0.05 + 0.3 * unit(random)};
        const ViewPoint view{360.0 * unit(random), 4.0 * unit(random) - 2.0,
                             0.5 + 3.75 * unit(random)};
        struct Sphere {
            double x, y, z, radius, r, g, b;
        };
        std::vector<Sphere> spheres;
        for (int k = 0; k < count; ++k) {
            // Lattice sites, jittered by up to a tenth of the spacing, or repeated exactly.
            const int site = static_cast<int>(unit(random) * 216);
            const double jitter = unit(random) < 0.2 ? 0.0 : 0.1 * spacing;
            spheres.push_back({(site % 6 - 2.5) * spacing + jitter * (unit(random) - 0.5),
                               (site / 6 % 6 - 2.5) * spacing + jitter * (unit(random) - 0.5),
                               (site / 36 - 2.5) * spacing + jitter * (unit(random) - 0.5),
                               radii[unit(random) < 0.5], unit(random), unit(random),
                               unit(random)});
        }
        SCOPED_TRACE(testing::Message() << "frame " << frame << ", " << count
                                        << " spheres, smoothness " << smoothness);
        ExpectSamePixels(SceneTab::Liquid, [&] {
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            ApplyCamera(view);
            SphereBatch batch(quadric, smoothness, smoothness / 2);
            for (const Sphere& sphere : spheres) {
                batch.SetColour(sphere.r, sphere.g, sphere.b);
                batch.Add(sphere.x, sphere.y, sphere.z, sphere.radius);
            }
            batch.Flush();
            hidden += batch.hiddenCount();
        });
        if (HasFailure()) {
            break;
        }
    }
    gluDeleteQuadric(quadric);
    EXPECT_GT(hidden, 0);  // the clusters do hide spheres, so the proof was put to work
}

/// Spheres at the same place tie at every pixel: the depth test keeps the first one drawn
/// (LESS) or the last one (LEQUAL), so neither may be left out.
TEST_P(SphereDrawingTest, SpheresThatTieAreKept) {
    GLUquadric* quadric = gluNewQuadric();
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    for (GLenum function : {GL_LESS, GL_LEQUAL}) {
        glDepthFunc(function);
        ExpectSamePixels(SceneTab::Solid, [&] {
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            ApplyCamera(ViewPoint{20.0, 1.5, 4.25});
            SphereBatch batch(quadric, 20, 10);
            for (int k = 0; k < 3; ++k) {
                batch.SetColour(k == 0, k == 1, k == 2);
                batch.Add(0.0, 0.0, 0.0, 0.5);
                batch.Add(0.3, 0.0, 1.0, 0.2);
            }
            batch.Flush();
            EXPECT_EQ(batch.hiddenCount(), 0);
        });
    }
    glDepthFunc(GL_LESS);
    gluDeleteQuadric(quadric);
}

/// The body-centred crystal hides most of its 225 spheres behind its front layers from the
/// start-up camera: the proof must find a good share of them, or the speed is lost.
TEST_P(SphereDrawingTest, CrystalHidesItsInnerSpheres) {
    SolidState solid;
    solid.structure = SolidStructure::BccCrystal;
    solid.amplitude = SolidAmplitudeAt(300);
    SphereDetail detail;
    detail.SetSmoothness(32);
    RandomSource random = FixedRandom();
    TakeSphereDrawingCounts();
    DrawSolidScene(solid, detail, random);
    EXPECT_GE(TakeSphereDrawingCounts().hiddenSpheres, 60);
}

/// Leaving spheres out draws no fewer random numbers and moves no liquid particle
/// differently: the model comes out of ten frames bit for bit as with GLU's spheres.
TEST_P(SphereDrawingTest, ModelsAdvanceAsWithGlu) {
    SphereDetail detail;
    detail.SetSmoothness(32);
    std::uint32_t solidState[2][2];
    LiquidState liquid[2];
    for (SphereDrawing drawing : {SphereDrawing::NaiveGlu, SphereDrawing::Cached}) {
        SetSphereDrawing(drawing);
        const int k = drawing == SphereDrawing::Cached;
        SolidState solid;
        solid.structure = SolidStructure::BccCrystal;
        solid.amplitude = SolidAmplitudeAt(300);
        RandomSource random = FixedRandom();
        InitLiquid(liquid[k], random);
        for (int frame = 0; frame < 10; ++frame) {
            DrawSolidScene(solid, detail, random);
            DrawLiquidScene(liquid[k], detail, false, true);
        }
        solidState[k][0] = random.low();
        solidState[k][1] = random.high();
    }
    EXPECT_EQ(solidState[0][0], solidState[1][0]);
    EXPECT_EQ(solidState[0][1], solidState[1][1]);
    EXPECT_EQ(std::memcmp(liquid[0].x, liquid[1].x, sizeof liquid[0].x), 0);
    EXPECT_EQ(std::memcmp(liquid[0].vy, liquid[1].vy, sizeof liquid[0].vy), 0);
}

/// States in which the cached meshes could differ from GLU's: a clip plane, a display list
/// being compiled, a buffer object bound for the vertex or index arrays, no depth buffer,
/// more sphere sizes in one batch than the mesh cache holds. Each gives GLU's pixels.
TEST_P(SphereDrawingTest, OtherStatesGiveGlusPixels) {
    GLUquadric* quadric = gluNewQuadric();
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    const auto spheres = [&] {
        SphereBatch batch(quadric, 24, 12);
        for (int k = 0; k < 27; ++k) {
            batch.SetColour(0.2 + 0.03 * k, 0.5, 0.9 - 0.03 * k);
            batch.Add(0.3 * (k % 3 - 1), 0.3 * (k / 3 % 3 - 1), 0.3 * (k / 9 - 1), 0.17);
        }
        batch.Flush();
    };
    const auto frame = [&](auto&& draw) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        ApplyCamera(ViewPoint{30.0, 0.8, 2.0});
        draw();
    };
    // Outlines and points, and smoothed edges: GLU draws quads, whose diagonals neither show
    // nor blend.
    for (GLenum mode : {GL_LINE, GL_POINT}) {
        ExpectSamePixels(SceneTab::Solid, [&] {
            frame([&] {
                glPolygonMode(GL_FRONT_AND_BACK, mode);
                spheres();
                glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
            });
        });
    }
    ExpectSamePixels(SceneTab::Solid, [&] {
        frame([&] {
            glEnable(GL_POLYGON_SMOOTH);
            spheres();
            glDisable(GL_POLYGON_SMOOTH);
        });
    });
    // A plane through the middle of the cluster: the cut spheres show their insides.
    const GLdouble plane[4] = {1.0, 0.2, 0.3, 0.05};
    ExpectSamePixels(SceneTab::Solid, [&] {
        frame([&] {
            glClipPlane(GL_CLIP_PLANE3, plane);
            glEnable(GL_CLIP_PLANE3);
            spheres();
            glDisable(GL_CLIP_PLANE3);
        });
    });
    ExpectSamePixels(SceneTab::Solid, [&] {
        frame([&] {
            const GLuint list = glGenLists(1);
            glNewList(list, GL_COMPILE);
            spheres();
            glEndList();
            glCallList(list);
            glDeleteLists(list, 1);
        });
    });
    for (GLenum target : {GL_ARRAY_BUFFER, GL_ELEMENT_ARRAY_BUFFER}) {
        GLuint buffer = 0;
        glGenBuffers(1, &buffer);
        glBindBuffer(target, buffer);
        glBufferData(target, 64, nullptr, GL_STATIC_DRAW);
        ExpectSamePixels(SceneTab::Solid, [&] { frame(spheres); });
        glBindBuffer(target, 0);
        glDeleteBuffers(1, &buffer);
    }
    // A framebuffer without a depth buffer: the depth test passes everything, so the back
    // triangles drawn last show.
    {
        GLuint framebuffer = 0, colour = 0;
        glGenFramebuffers(1, &framebuffer);
        glGenRenderbuffers(1, &colour);
        glBindRenderbuffer(GL_RENDERBUFFER, colour);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, gl.width(), gl.height());
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
        ExpectSamePixels(SceneTab::Solid, [&] { frame(spheres); });
        gl.MakeCurrent();  // back to the context's own framebuffer
        glDeleteFramebuffers(1, &framebuffer);
        glDeleteRenderbuffers(1, &colour);
    }
    // More sizes in one batch than the mesh cache holds.
    ExpectSamePixels(SceneTab::Solid, [&] {
        frame([&] {
            SphereBatch batch(quadric, 24, 12);
            for (int k = 0; k < 40; ++k) {
                batch.Add(0.1 * (k % 7 - 3), 0.1 * (k / 7 - 3), 0.02 * k, 0.05 + 0.004 * k);
            }
            batch.Flush();
        });
    });
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    gluDeleteQuadric(quadric);
}

TEST(SphereBatchCounts, HiddenCountIsThatOfTheLastFlushWhicheverWayItDrew) {
    test::HeadlessGl gl{473, 471};
    ASSERT_TRUE(gl.ok());
    InitView(gl.width(), gl.height());
    GLUquadric* quadric = gluNewQuadric();
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    ApplyCamera(ViewPoint{30.0, 0.8, 2.0});
    SphereBatch batch(quadric, 24, 12);
    const auto cluster = [&] {
        for (int k = 0; k < 27; ++k) {
            batch.Add(0.3 * (k % 3 - 1), 0.3 * (k / 3 % 3 - 1), 0.3 * (k / 9 - 1), 0.2);
        }
        batch.Flush();
    };
    cluster();
    ASSERT_GT(batch.hiddenCount(), 0);
    // A clip plane sends the batch to GLU's own spheres, which hide nothing.
    const GLdouble plane[4] = {1.0, 0.0, 0.0, 1.0};
    glClipPlane(GL_CLIP_PLANE0, plane);
    glEnable(GL_CLIP_PLANE0);
    cluster();
    glDisable(GL_CLIP_PLANE0);
    EXPECT_EQ(batch.hiddenCount(), 0);
    gluDeleteQuadric(quadric);
}

/// A desktop may force 4x multisampling on every context: then samples lie off the pixel
/// centres the culling reasons about, and every scene must still look as with GLU's spheres.
TEST(MultisampledSphereDrawing, ScenesMatchGlu) {
    test::HeadlessGl gl(473, 471, 4);
    ASSERT_TRUE(gl.ok());
    GLint sampleBuffers = 0;
    glGetIntegerv(GL_SAMPLE_BUFFERS, &sampleBuffers);
    ASSERT_EQ(sampleBuffers, 1);
    ASSERT_TRUE(glIsEnabled(GL_MULTISAMPLE));
    InitView(gl.width(), gl.height());
    SphereDetail detail;
    detail.SetSmoothness(32);
    const auto compare = [&](SceneTab tab, auto&& frame) { ExpectSamePixelsIn(gl, tab, frame); };
    SolidState solid;
    solid.amplitude = SolidAmplitudeAt(300);
    for (SolidStructure structure : {SolidStructure::BccCrystal, SolidStructure::FccCrystal}) {
        solid.structure = structure;
        compare(SceneTab::Solid, [&] {
            RandomSource random = FixedRandom();
            DrawSolidScene(solid, detail, random);
        });
    }
    RandomSource random = FixedRandom();
    LiquidState start;
    InitLiquid(start, random);
    compare(SceneTab::Liquid, [&] {
        LiquidState liquid = start;
        DrawLiquidScene(liquid, detail, false, true);
    });
    GasState gas;
    InitGas(gas, random);
    test::NoText text;
    compare(SceneTab::Gas, [&] { DrawGasScene(gas, detail, false, text); });
}

TEST(SphereMesh, FourSlicesTwoStacks) {
    const SphereMesh mesh = BuildSphereMesh(2.0, 4, 2);
    ASSERT_EQ(mesh.vertices.size(), 6u * (2 + 5));  // two poles and one ring of 4 + 1
    ASSERT_EQ(mesh.triangles.size(), 3u * 8);       // two fans of four
    // Ring vertex i = 1 at angle pi / 2 (in float): x = r, its normal the unit x.
    EXPECT_EQ(mesh.vertices[6 * 3 + 3], 2.0f);
    EXPECT_EQ(mesh.vertices[6 * 3], 1.0f);
    // The north fan runs from i = 4 down, the south one from i = 0 up; the seam vertex
    // (i = 4, index 6) is the point of i = 0 (index 2).
    EXPECT_EQ((std::vector<int>(mesh.triangles.begin(), mesh.triangles.begin() + 3)),
              (std::vector<int>{0, 6, 5}));
    EXPECT_EQ((std::vector<int>(mesh.triangles.begin() + 12, mesh.triangles.begin() + 15)),
              (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(mesh.cornerPoints[1], 2);
    EXPECT_FALSE(SphereMeshMatchesGlu(1.0, 2, 3));  // more stacks than slices
    EXPECT_FALSE(SphereMeshMatchesGlu(-1.0, 8, 4));
}

TEST(SphereMeshCache, KeysAndBound) {
    SphereMeshCache cache(4);
    const SphereMesh* first = &cache.Get(0.15, 20, 10);
    EXPECT_EQ(&cache.Get(0.15, 20, 10), first);  // a hit reuses the mesh
    EXPECT_NE(cache.Get(0.2, 20, 10).vertices, first->vertices);
    EXPECT_NE(cache.Get(0.15, 21, 10).vertices.size(), first->vertices.size());
    EXPECT_NE(cache.Get(0.15, 20, 9).vertices.size(), first->vertices.size());
    EXPECT_EQ(cache.size(), 4u);
    // The slider swept back and forth: the cache stays at its capacity and keeps the key
    // in use on every frame.
    for (int sweep = 0; sweep < 3; ++sweep) {
        for (int position = 8; position <= 32; ++position) {
            cache.Get(0.15, 20, 10);
            const SphereMesh& mesh = cache.Get(0.15, position, position / 2);
            EXPECT_EQ(mesh.slices, position);
            EXPECT_EQ(mesh.stacks, position / 2);
        }
    }
    EXPECT_EQ(cache.size(), 4u);
    EXPECT_EQ(&cache.Get(0.15, 20, 10), first);
}

}  // namespace
}  // namespace veliso
