#include "render/sphere_mesh.h"

#include <gtest/gtest.h>

#include <cstdint>
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

namespace veliso {
namespace {

class NoText : public TextWriter {
  public:
    void DrawText3D(std::string_view) override {}
};

RandomSource FixedRandom() {
    return RandomSource([] { return std::uint64_t{1765100000}; });
}

/// Every scene drawn with GLU's spheres and with the cached ones must give the same pixels
/// at the view's start-up size, also with the eye among the spheres.
class SphereDrawingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(gl.ok());
        InitView(gl.width(), gl.height());
    }
    void TearDown() override { SetSphereDrawing(SphereDrawing::Cached); }

    template <class Frame>
    void ExpectSamePixels(SceneTab tab, Frame frame) {
        ApplyLightingSet(tab);
        SetSphereDrawing(SphereDrawing::NaiveGlu);
        frame();
        const std::vector<std::uint8_t> naive = gl.ReadRgb();
        SetSphereDrawing(SphereDrawing::Cached);
        frame();
        const std::vector<std::uint8_t> cached = gl.ReadRgb();
        int differing = 0;
        for (std::size_t i = 0; i < naive.size(); ++i) {
            differing += naive[i] != cached[i];
        }
        EXPECT_EQ(differing, 0);
    }

    test::HeadlessGl gl{473, 471};
};

TEST_F(SphereDrawingTest, SolidStructuresMatchGlu) {
    SolidState solid;
    FillHcpCellSites(solid);
    solid.amplitude = SolidAmplitudeAt(300);
    for (int s = 0; s < 8; ++s) {
        solid.structure = static_cast<SolidStructure>(s);
        for (double distance : {4.25, 0.5}) {
            solid.view.distance = distance;
            for (int smoothness : {8, 32}) {
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

TEST_F(SphereDrawingTest, LiquidMatchesGlu) {
    RandomSource random = FixedRandom();
    LiquidState start;
    InitLiquid(start, random);
    SphereDetail detail;
    detail.SetSmoothness(32);
    for (ViewPoint view : {ViewPoint{40.0, 0.0, 4.25}, ViewPoint{10.0, 0.3, 0.5}}) {
        for (bool transparent : {false, true}) {
            start.view = view;
            ExpectSamePixels(SceneTab::Liquid, [&] {
                LiquidState liquid = start;
                DrawLiquidScene(liquid, detail, transparent, true);
            });
        }
    }
}

TEST_F(SphereDrawingTest, GasWithGraphsMatchesGlu) {
    RandomSource random = FixedRandom();
    GasState gas;
    InitGas(gas, random);
    // Without the speed bars: the rasterizer splits their two-coloured quads one way or the
    // other depending on earlier draws, so even two GLU frames may differ by 1 in a colour.
    gas.showCurve = gas.showHistogram = true;
    SphereDetail detail;
    detail.SetSmoothness(20);
    NoText text;
    for (bool transparent : {false, true}) {
        ExpectSamePixels(SceneTab::Gas, [&] { DrawGasScene(gas, detail, transparent, text); });
    }
}

TEST_F(SphereDrawingTest, SpheresCutOpenMirroredOrAtTheEdgeMatchGlu) {
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

TEST_F(SphereDrawingTest, FeedbackModeRecordsGlusOwnPrimitives) {
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

TEST_F(SphereDrawingTest, LeavesTheNormalGluLeavesAndNoArrays) {
    GLUquadric* quadric = gluNewQuadric();
    glTranslated(0.0, 0.0, -3.0);
    std::vector<float> normals[2];
    for (SphereDrawing drawing : {SphereDrawing::NaiveGlu, SphereDrawing::Cached}) {
        SetSphereDrawing(drawing);
        DrawSphere(quadric, 0.5, 12, 6);
        float normal[4] = {};
        glGetFloatv(GL_CURRENT_NORMAL, normal);
        normals[drawing == SphereDrawing::Cached].assign(normal, normal + 3);
    }
    gluDeleteQuadric(quadric);
    EXPECT_EQ(normals[0], normals[1]);
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_NORMAL_ARRAY));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
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
