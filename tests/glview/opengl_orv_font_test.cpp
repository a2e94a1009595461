// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "glview/opengl_orv_font.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <GL/glu.h>

#include <cmath>
#include <map>
#include <utility>

#include "glview/glview_fixture.h"

namespace veliso::test {
namespace {

/// Pixels per em of the test projection: object x, y map to window 50 + 100·x, 50 + 100·y,
/// object z maps to window depth (1 − z) / 2, so z = 0 is 0.5 and z = −0.1 is 0.55.
constexpr float kScale = 100.0f;
constexpr float kOrigin = 50.0f;

class FontLists : public PanelFixture {
  protected:
    /// Creates the context and fonts with the properties set so far and sets up the test
    /// projection.
    void Create() {
        panel->HandleNeeded();
        ASSERT_TRUE(panel->contextReady());
        glViewport(0, 0, 800, 800);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, 800, 0, 800, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        ResetMatrix();
    }
    void ResetMatrix() {
        glLoadIdentity();
        glTranslatef(kOrigin, kOrigin, 0.0f);
        glScalef(kScale, kScale, 1.0f);
    }
    static float OriginX() {
        GLfloat m[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        return m[12];
    }
    /// Feedback of drawing `text` from the start of the line.
    Feedback Draw(std::string_view text) {
        ResetMatrix();
        return CaptureFeedback([&] { panel->DrawText3D(text); });
    }
    float Advance(char c) const {
        const OpenGLOrvFont3D* font = panel->Font3DLists();
        return font->GlyphMetrics[static_cast<unsigned char>(c) - font->FirstGlyph].gmfCellIncX;
    }
};

TEST_F(FontLists, FilledGlyphIsExtrudedTriangles) {
    panel->setFont3D_Enabled(true);
    Create();
    const Feedback fb = Draw("A");
    ASSERT_FALSE(fb.overflowed);
    ASSERT_GT(fb.primitives.size(), 10u);
    float zMin = 1, zMax = 0;
    for (const auto& p : fb.primitives) {
        ASSERT_EQ(p.token, GLenum{GL_POLYGON_TOKEN});
        ASSERT_EQ(p.vertices.size(), 3u);
        for (const auto& v : p.vertices) {
            zMin = std::min(zMin, v.z);
            zMax = std::max(zMax, v.z);
        }
    }
    EXPECT_NEAR(zMin, 0.5f, 1e-5);
    EXPECT_NEAR(zMax, 0.55f, 1e-5) << "extruded by 0.1 towards -z";
    // The ink lies inside the black box the metrics report.
    const TGlyphMetricsFloat& m = panel->Font3DLists()->GlyphMetrics['A' - 32];
    EXPECT_GT(m.gmfBlackBoxX, 0.5f);
    EXPECT_GT(m.gmfBlackBoxY, 0.6f);
    for (const auto& p : fb.primitives) {
        for (const auto& v : p.vertices) {
            EXPECT_GE(v.x, kOrigin + kScale * m.gmfptGlyphOriginX - 1e-3f);
            EXPECT_LE(v.x, kOrigin + kScale * (m.gmfptGlyphOriginX + m.gmfBlackBoxX) + 1e-3f);
            EXPECT_LE(v.y, kOrigin + kScale * m.gmfptGlyphOriginY + 1e-3f);
        }
    }
}

TEST_F(FontLists, FacesAreWoundOutwards) {
    panel->setFont3D_Enabled(true);
    Create();
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    const Feedback front = Draw("O");
    glCullFace(GL_FRONT);
    const Feedback back = Draw("O");
    glDisable(GL_CULL_FACE);
    // Seen from +z only the front face survives back-face culling, and only the back face
    // survives front-face culling. (The walls are edge-on in this view: zero area.)
    const auto faceDepths = [](const Feedback& fb) {
        std::map<float, int> depths;
        for (const auto& p : fb.primitives) {
            if (p.vertices[0].z == p.vertices[1].z && p.vertices[1].z == p.vertices[2].z) {
                ++depths[p.vertices[0].z];
            }
        }
        return depths;
    };
    const std::map<float, int> frontFaces = faceDepths(front);
    const std::map<float, int> backFaces = faceDepths(back);
    ASSERT_EQ(frontFaces.size(), 1u);
    ASSERT_EQ(backFaces.size(), 1u);
    EXPECT_NEAR(frontFaces.begin()->first, 0.5f, 1e-5);
    EXPECT_NEAR(backFaces.begin()->first, 0.55f, 1e-5);
    EXPECT_GT(frontFaces.begin()->second, 10);
    EXPECT_EQ(frontFaces.begin()->second, backFaces.begin()->second);

    // Side walls: on the outer ring of "O" the normal points away from the centre, on the
    // inner ring (the hole) towards it.
    const TGlyphMetricsFloat& m = panel->Font3DLists()->GlyphMetrics['O' - 32];
    const double cx = m.gmfptGlyphOriginX + m.gmfBlackBoxX / 2;
    const double cy = m.gmfptGlyphOriginY - m.gmfBlackBoxY / 2;
    const Feedback all = Draw("O");
    int outer = 0, inner = 0;
    for (const auto& p : all.primitives) {
        double o[3][3];
        for (int k = 0; k < 3; ++k) {
            o[k][0] = (p.vertices[k].x - kOrigin) / kScale;
            o[k][1] = (p.vertices[k].y - kOrigin) / kScale;
            o[k][2] = 1.0 - 2.0 * p.vertices[k].z;
        }
        if (o[0][2] == o[1][2] && o[1][2] == o[2][2]) {
            continue;  // a face, not a wall
        }
        const double ux = o[1][0] - o[0][0], uy = o[1][1] - o[0][1], uz = o[1][2] - o[0][2];
        const double vx = o[2][0] - o[0][0], vy = o[2][1] - o[0][1], vz = o[2][2] - o[0][2];
        const double nx = uy * vz - uz * vy, ny = uz * vx - ux * vz;
        const double mx = (o[0][0] + o[1][0] + o[2][0]) / 3 - cx;
        const double my = (o[0][1] + o[1][1] + o[2][1]) / 3 - cy;
        const double radial = nx * mx + ny * my;
        const double distance = std::hypot(mx / m.gmfBlackBoxX, my / m.gmfBlackBoxY);
        if (distance > 0.45) {
            EXPECT_GT(radial, 0) << "outer wall facing inwards";
            ++outer;
        } else if (distance < 0.3) {
            EXPECT_LT(radial, 0) << "hole wall facing away from the hole";
            ++inner;
        }
    }
    EXPECT_GT(outer, 8);
    EXPECT_GT(inner, 8);
}

TEST_F(FontLists, LineGlyphsAreOutlinesInThePlane) {
    panel->setFont3D_Enabled(true);
    panel->setFont3D_Format(TFont3DFormat::f_WGL_FONT_LINES);
    Create();
    const Feedback fb = Draw("B");
    ASSERT_GT(fb.primitives.size(), 10u);
    // Every segment lies in the z = 0 plane and the segments close up into loops: each point
    // starts exactly as many segments as it ends.
    std::map<std::pair<float, float>, int> balance;
    for (const auto& p : fb.primitives) {
        ASSERT_TRUE(p.token == GL_LINE_TOKEN || p.token == GL_LINE_RESET_TOKEN);
        for (const auto& v : p.vertices) {
            EXPECT_NEAR(v.z, 0.5f, 1e-5);
        }
        ++balance[{p.vertices[0].x, p.vertices[0].y}];
        --balance[{p.vertices[1].x, p.vertices[1].y}];
    }
    for (const auto& [point, count] : balance) {
        EXPECT_EQ(count, 0);
    }
}

TEST_F(FontLists, AdvancesAreTheDesignAdvances) {
    TFontDescription arial;
    arial.Styles = 0;
    panel->setFont3D_Type(arial);
    panel->setFont3D_Enabled(true);
    Create();
    if (QFontInfo(arial.ToQFont()).family() != QLatin1String("Liberation Sans")) {
        GTEST_SKIP() << "Liberation Sans is not installed";
    }
    // Liberation Sans 1.07 (its hmtx table), 2048 units per em: W 1933, i 455, space 569.
    EXPECT_FLOAT_EQ(Advance('W'), 1933.0f / 2048.0f);
    EXPECT_FLOAT_EQ(Advance('i'), 455.0f / 2048.0f);
    EXPECT_FLOAT_EQ(Advance(' '), 569.0f / 2048.0f);
    const TGlyphMetricsFloat& space = panel->Font3DLists()->GlyphMetrics[0];
    EXPECT_EQ(space.gmfBlackBoxX, 0.0f);
    EXPECT_EQ(space.gmfCellIncY, 0.0f);
}

TEST_F(FontLists, DrawingMovesTheOriginByTheTextWidth) {
    panel->setFont3D_Enabled(true);
    Create();
    panel->DrawText3D("Wi");
    EXPECT_NEAR(OriginX(), kOrigin + kScale * (Advance('W') + Advance('i')), 1e-3);
}

TEST_F(FontLists, SecondStringStartsWhereTheFirstEnded) {
    panel->setFont3D_Enabled(true);
    Create();
    const Feedback twoCalls = CaptureFeedback([&] {
        panel->DrawText3D(" v  en f(i)");
        panel->DrawText3D("i");
    });
    const Feedback oneCall = Draw(" v  en f(i)i");
    ASSERT_GT(oneCall.primitives.size(), 0u);
    ASSERT_EQ(twoCalls.primitives.size(), oneCall.primitives.size());
    for (std::size_t i = 0; i < oneCall.primitives.size(); ++i) {
        for (std::size_t k = 0; k < 3; ++k) {
            EXPECT_FLOAT_EQ(twoCalls.primitives[i].vertices[k].x,
                            oneCall.primitives[i].vertices[k].x);
            EXPECT_FLOAT_EQ(twoCalls.primitives[i].vertices[k].y,
                            oneCall.primitives[i].vertices[k].y);
        }
    }
}

TEST_F(FontLists, EmptyOrOutOfRangeTextDrawsNothingAndKeepsTheOrigin) {
    panel->setFont3D_Enabled(true);
    Create();
    for (const std::string_view text :
         {std::string_view(""), std::string_view("\xE9"), std::string_view("\xC3\xA9"),
          std::string_view("A\xE9"), std::string_view("tab\there")}) {
        const Feedback fb = Draw(text);
        EXPECT_TRUE(fb.primitives.empty()) << "text of " << text.size() << " bytes";
        EXPECT_FLOAT_EQ(OriginX(), kOrigin);
    }
}

TEST_F(FontLists, NarrowRangeRejectsCodesJustOutside) {
    panel->setFont3D_Enabled(true);
    panel->setFont3D_FirstGylph('A');
    panel->setFont3D_NumGylph(26);
    Create();
    EXPECT_GT(Draw("AZ").primitives.size(), 0u);
    EXPECT_TRUE(Draw("@").primitives.empty());
    EXPECT_TRUE(Draw("[").primitives.empty());
    EXPECT_TRUE(Draw("a").primitives.empty());
}

TEST_F(FontLists, ListBaseAndFrontFaceAreRestored) {
    panel->setFont3D_Enabled(true);
    Create();
    glFrontFace(GL_CW);
    glListBase(7);
    panel->DrawText3D("Ab");
    GLint frontFace = 0, listBase = 0;
    glGetIntegerv(GL_FRONT_FACE, &frontFace);
    glGetIntegerv(GL_LIST_BASE, &listBase);
    EXPECT_EQ(frontFace, GL_CW);
    EXPECT_EQ(listBase, 7);
    glFrontFace(GL_CCW);
    glListBase(0);
}

TEST_F(FontLists, DisabledOutlineFontDrawsNothing) {
    Create();
    EXPECT_EQ(panel->Font3DLists(), nullptr);
    EXPECT_TRUE(Draw("Gaz").primitives.empty());
    EXPECT_FLOAT_EQ(OriginX(), kOrigin);
}

TEST_F(FontLists, BitmapGlyphsAdvanceTheRasterPosition) {
    TFontDescription small;
    small.Height = -12;
    panel->setFont2D_Type(small);
    panel->setFont2D_Enabled(true);
    Create();
    ASSERT_NE(panel->Font2DLists(), nullptr);
    glLoadIdentity();
    glRasterPos2i(10, 20);
    const Feedback fb = CaptureFeedback([&] { panel->DrawText2D("AB"); });
    EXPECT_EQ(fb.Count(GL_BITMAP_TOKEN), 2);
    glRasterPos2i(10, 20);
    panel->DrawText2D("AB");
    GLfloat raster[4];
    glGetFloatv(GL_CURRENT_RASTER_POSITION, raster);
    QFont font = small.ToQFont();
    font.setStyleStrategy(QFont::NoAntialias);
    const QFontMetrics metrics(font);
    EXPECT_FLOAT_EQ(raster[0],
                    10.0f + metrics.horizontalAdvance('A') + metrics.horizontalAdvance('B'));
    EXPECT_FLOAT_EQ(raster[1], 20.0f);
}

TEST_F(FontLists, GlyphsShowInTheFrameWhereQtDrawsThem) {
    // The scene view's font drawn white, 100 pixels per em, on a black 300 x 120 view; the
    // back buffer is read before the swap and compared with Qt's own raster of the same
    // glyphs placed at the same advances.
    constexpr int kW = 300, kH = 120;
    constexpr double kEm = 100, kX0 = 20, kBaseline = 25;
    const std::string_view text = "Hello";
    ApplySceneViewSettings(*panel);
    panel->setGeometry(10, 10, kW, kH);
    std::vector<std::uint8_t> frame(kW * kH * 4);
    panel->OnPaint = [&](TOpenGLOrvPanel* sender) {
        glViewport(0, 0, kW, kH);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, kW, 0, kH, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glTranslated(kX0, kBaseline, 0);
        glScaled(kEm, kEm, 1);
        glColor3d(1, 1, 1);
        sender->DrawText3D(text);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, kW, kH, GL_RGBA, GL_UNSIGNED_BYTE, frame.data());
    };
    ShowAndExpose();
    ASSERT_EQ(panel->ClientWidth(), kW);
    panel->Repaint();

    QImage reference(kW, kH, QImage::Format_RGB32);
    reference.fill(Qt::black);
    QFont font = panel->Font3D_Type().ToQFont();
    font.setPixelSize(static_cast<int>(kEm));
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(false);
    QPainter painter(&reference);
    painter.setFont(font);
    painter.setPen(Qt::white);
    double x = kX0;
    for (const char c : text) {
        painter.drawText(QPointF(x, kH - kBaseline), QString(QChar(c)));
        x += kEm * Advance(c);
    }
    painter.end();

    int lit = 0, expected = 0, mismatched = 0;
    for (int row = 0; row < kH; ++row) {  // GL rows run bottom to top
        for (int col = 0; col < kW; ++col) {
            const bool on = frame[(row * kW + col) * 4] >= 128;
            const bool want = qRed(reference.pixel(col, kH - 1 - row)) >= 128;
            lit += on ? 1 : 0;
            expected += want ? 1 : 0;
            mismatched += on != want ? 1 : 0;
        }
    }
    EXPECT_GT(lit, 3000);
    EXPECT_LT(mismatched, expected / 20) << lit << " lit, " << expected << " expected";
}

TEST(FontCodes, AnsiCodesMapToTheirCharacters) {
    EXPECT_EQ(AnsiToUnicode('A'), u'A');
    EXPECT_EQ(AnsiToUnicode(0xE9), u'é');
    EXPECT_EQ(AnsiToUnicode(0x80), u'€');
    EXPECT_EQ(AnsiToUnicode(0x92), u'\u2019');
    EXPECT_EQ(AnsiToUnicode(0x81), u'\u0081');  // unassigned: stays a control code
}

}  // namespace
}  // namespace veliso::test
