// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "glview/opengl_orv_font.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRawFont>

#include <GL/gl.h>
#include <GL/glu.h>

#include <array>
#include <cmath>
#include <deque>
#include <optional>

namespace veliso {

namespace {

/// Outlines are taken at this pixel size, where Qt's curve flattening (half a pixel) is half
/// a design unit of a 2048-unit font: finer than any text the scenes draw.
constexpr double kOutlineEmPixels = 2048.0;

struct Point2 {
    double x = 0;
    double y = 0;
};
using Contour = std::vector<Point2>;

/// One outline glyph ready to be compiled: contours and fill triangles in em units, y up.
struct GlyphGeometry {
    std::vector<Contour> contours;
    std::vector<std::array<Point2, 3>> triangles;
    double advance = 0;
};

double SignedArea(const Contour& c) {
    double twice = 0;
    for (std::size_t i = 0, j = c.size() - 1; i < c.size(); j = i++) {
        twice += c[j].x * c[i].y - c[i].x * c[j].y;
    }
    return twice / 2;
}

bool Contains(const Contour& c, Point2 p) {
    bool inside = false;
    for (std::size_t i = 0, j = c.size() - 1; i < c.size(); j = i++) {
        if ((c[i].y > p.y) != (c[j].y > p.y) &&
            p.x < (c[j].x - c[i].x) * (p.y - c[i].y) / (c[j].y - c[i].y) + c[i].x) {
            inside = !inside;
        }
    }
    return inside;
}

/// Gives every contour the orientation of the odd winding rule's solid: outer contours
/// (inside an even number of others) counter-clockwise, holes clockwise. The solid then lies
/// to the left of every edge, so (dy, −dx) is the outward normal of the side wall.
void OrientContours(std::vector<Contour>& contours) {
    std::vector<bool> reverse(contours.size(), false);
    for (std::size_t i = 0; i < contours.size(); ++i) {
        int depth = 0;
        for (std::size_t j = 0; j < contours.size(); ++j) {
            if (j != i && Contains(contours[j], contours[i][0])) {
                ++depth;
            }
        }
        const bool outer = depth % 2 == 0;
        const double area = SignedArea(contours[i]);
        reverse[i] = (outer && area < 0) || (!outer && area > 0);
    }
    for (std::size_t i = 0; i < contours.size(); ++i) {
        if (reverse[i]) {
            std::reverse(contours[i].begin(), contours[i].end());
        }
    }
}

/// Receives the GLU tessellator's output. With an edge-flag callback registered the
/// tessellator emits independent triangles only.
struct Tessellation {
    std::deque<std::array<GLdouble, 3>> vertices;  // stable addresses for GLU
    std::vector<Point2> emitted;
    bool failed = false;

    static void Begin(GLenum, void*) {}
    static void EdgeFlag(GLboolean, void*) {}
    static void End(void*) {}
    static void Vertex(void* vertex, void* self) {
        const auto* v = static_cast<const GLdouble*>(vertex);
        static_cast<Tessellation*>(self)->emitted.push_back({v[0], v[1]});
    }
    static void Combine(GLdouble coords[3], void* [4], GLfloat[4], void** out, void* self) {
        auto& t = *static_cast<Tessellation*>(self);
        t.vertices.push_back({coords[0], coords[1], coords[2]});
        *out = t.vertices.back().data();
    }
    static void Error(GLenum, void* self) { static_cast<Tessellation*>(self)->failed = true; }
};

template <typename F>
_GLUfuncptr Callback(F* f) {
    return reinterpret_cast<_GLUfuncptr>(f);
}

/// Fill triangles of the odd-winding interior of `contours`, each counter-clockwise seen
/// from +z; degenerate triangles dropped.
std::vector<std::array<Point2, 3>> Tessellate(const std::vector<Contour>& contours) {
    std::vector<std::array<Point2, 3>> triangles;
    GLUtesselator* tess = gluNewTess();
    if (tess == nullptr) {
        return triangles;
    }
    Tessellation out;
    gluTessProperty(tess, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_ODD);
    gluTessNormal(tess, 0.0, 0.0, 1.0);
    gluTessCallback(tess, GLU_TESS_BEGIN_DATA, Callback(&Tessellation::Begin));
    gluTessCallback(tess, GLU_TESS_EDGE_FLAG_DATA, Callback(&Tessellation::EdgeFlag));
    gluTessCallback(tess, GLU_TESS_VERTEX_DATA, Callback(&Tessellation::Vertex));
    gluTessCallback(tess, GLU_TESS_END_DATA, Callback(&Tessellation::End));
    gluTessCallback(tess, GLU_TESS_COMBINE_DATA, Callback(&Tessellation::Combine));
    gluTessCallback(tess, GLU_TESS_ERROR_DATA, Callback(&Tessellation::Error));
    gluTessBeginPolygon(tess, &out);
    for (const Contour& contour : contours) {
        gluTessBeginContour(tess);
        for (const Point2& p : contour) {
            out.vertices.push_back({p.x, p.y, 0.0});
            gluTessVertex(tess, out.vertices.back().data(), out.vertices.back().data());
        }
        gluTessEndContour(tess);
    }
    gluTessEndPolygon(tess);
    gluDeleteTess(tess);
    if (out.failed) {
        return triangles;
    }
    for (std::size_t i = 0; i + 2 < out.emitted.size(); i += 3) {
        std::array<Point2, 3> t{out.emitted[i], out.emitted[i + 1], out.emitted[i + 2]};
        const double cross =
            (t[1].x - t[0].x) * (t[2].y - t[0].y) - (t[2].x - t[0].x) * (t[1].y - t[0].y);
        if (cross == 0) {
            continue;
        }
        if (cross < 0) {
            std::swap(t[1], t[2]);
        }
        triangles.push_back(t);
    }
    return triangles;
}

/// Contours of one character in em units, y up, baseline at y = 0; consecutive repeated
/// points and the closing repeat of the first point removed.
std::vector<Contour> GlyphContours(const QFont& outlineFont, QChar ch) {
    QPainterPath path;
    path.addText(0, 0, outlineFont, QString(ch));
    std::vector<Contour> contours;
    for (const QPolygonF& polygon : path.toSubpathPolygons()) {
        Contour c;
        for (const QPointF& p : polygon) {
            const Point2 q{p.x() / kOutlineEmPixels, -p.y() / kOutlineEmPixels};
            if (c.empty() || q.x != c.back().x || q.y != c.back().y) {
                c.push_back(q);
            }
        }
        while (c.size() > 1 && c.front().x == c.back().x && c.front().y == c.back().y) {
            c.pop_back();
        }
        if (c.size() >= 3 && SignedArea(c) != 0) {
            contours.push_back(std::move(c));
        }
    }
    return contours;
}

TGlyphMetricsFloat Metrics(const GlyphGeometry& g) {
    TGlyphMetricsFloat m;
    m.gmfCellIncX = static_cast<float>(g.advance);
    if (g.contours.empty()) {
        return m;
    }
    double left = g.contours[0][0].x, right = left;
    double bottom = g.contours[0][0].y, top = bottom;
    for (const Contour& c : g.contours) {
        for (const Point2& p : c) {
            left = std::min(left, p.x);
            right = std::max(right, p.x);
            bottom = std::min(bottom, p.y);
            top = std::max(top, p.y);
        }
    }
    m.gmfBlackBoxX = static_cast<float>(right - left);
    m.gmfBlackBoxY = static_cast<float>(top - bottom);
    m.gmfptGlyphOriginX = static_cast<float>(left);
    m.gmfptGlyphOriginY = static_cast<float>(top);
    return m;
}

void Vertex(const Point2& p, double z) {
    glVertex3d(p.x, p.y, z);
}

/// Compiles the drawing of one glyph into the list being built.
void EmitGlyph(const GlyphGeometry& g, double extrusion, bool filled) {
    if (!filled) {
        // Independent segments rather than line loops: Mesa mishandles line loops called
        // from display lists in feedback mode.
        glBegin(GL_LINES);
        for (const Contour& c : g.contours) {
            for (std::size_t i = 0; i < c.size(); ++i) {
                Vertex(c[i], 0.0);
                Vertex(c[(i + 1) % c.size()], 0.0);
            }
        }
        glEnd();
    } else if (!g.triangles.empty()) {
        glBegin(GL_TRIANGLES);
        glNormal3d(0.0, 0.0, 1.0);
        for (const auto& t : g.triangles) {
            Vertex(t[0], 0.0);
            Vertex(t[1], 0.0);
            Vertex(t[2], 0.0);
        }
        if (extrusion > 0) {
            const double back = -extrusion;
            glNormal3d(0.0, 0.0, -1.0);
            for (const auto& t : g.triangles) {
                Vertex(t[0], back);
                Vertex(t[2], back);
                Vertex(t[1], back);
            }
            for (const Contour& c : g.contours) {
                for (std::size_t i = 0; i < c.size(); ++i) {
                    const Point2& a = c[i];
                    const Point2& b = c[(i + 1) % c.size()];
                    const double dx = b.x - a.x, dy = b.y - a.y;
                    const double length = std::hypot(dx, dy);
                    glNormal3d(dy / length, -dx / length, 0.0);
                    Vertex(a, 0.0);
                    Vertex(a, back);
                    Vertex(b, back);
                    Vertex(a, 0.0);
                    Vertex(b, back);
                    Vertex(b, 0.0);
                }
            }
        }
        glEnd();
    }
    glTranslated(g.advance, 0.0, 0.0);
}

/// The character a list code draws, or nothing for codes outside the 8-bit set and for
/// control codes (their lists draw nothing and do not advance).
std::optional<QChar> PrintableCharacter(std::int32_t code) {
    if (code < 0 || code > 255) {
        return std::nullopt;
    }
    const QChar ch(AnsiToUnicode(static_cast<std::uint8_t>(code)));
    if (ch.category() == QChar::Other_Control) {
        return std::nullopt;
    }
    return ch;
}

/// A font object over `count` newly reserved lists, or null when none can be reserved.
template <typename Font>
std::unique_ptr<Font> ReserveLists(std::int32_t first, std::int32_t count) {
    if (count <= 0) {
        return nullptr;
    }
    const GLuint base = glGenLists(count);
    if (base == 0) {
        return nullptr;
    }
    return std::make_unique<Font>(first, count, base);
}

}  // namespace

OpenGLOrvFontLists::~OpenGLOrvFontLists() {
    if (ListBase != 0 && GlyphCount > 0) {
        glDeleteLists(ListBase, GlyphCount);
    }
}

char16_t AnsiToUnicode(std::uint8_t code) {
    // Windows-1252 places printable characters in 0x80 .. 0x9F; the five unassigned codes
    // stay as the C1 controls of the same value.
    static constexpr char16_t kHigh[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    if (code >= 0x80 && code <= 0x9F) {
        return kHigh[code - 0x80];
    }
    return code;
}

std::unique_ptr<OpenGLOrvFont3D> BuildOutlineFont(const QFont& font, std::int32_t first,
                                                  std::int32_t count, float maxDeviation,
                                                  float extrusion, bool filled) {
    // Curves are flattened at a fixed, finer-than-needed tolerance; the requested chordal
    // deviation is kept by the caller's properties only.
    (void)maxDeviation;
    auto lists = ReserveLists<OpenGLOrvFont3D>(first, count);
    if (lists == nullptr) {
        return nullptr;
    }
    lists->Extrusion = extrusion;
    lists->GlyphMetrics.resize(static_cast<std::size_t>(count));

    QFont outlineFont(font);
    outlineFont.setPixelSize(static_cast<int>(kOutlineEmPixels));
    outlineFont.setHintingPreference(QFont::PreferNoHinting);
    outlineFont.setKerning(false);
    QRawFont raw = QRawFont::fromFont(outlineFont);
    raw.setPixelSize(kOutlineEmPixels);

    for (std::int32_t i = 0; i < count; ++i) {
        GlyphGeometry g;
        if (const std::optional<QChar> printable = PrintableCharacter(first + i)) {
            const QChar ch = *printable;
            g.contours = GlyphContours(outlineFont, ch);
            OrientContours(g.contours);
            if (filled) {
                g.triangles = Tessellate(g.contours);
            }
            const QList<quint32> glyphs = raw.glyphIndexesForString(QString(ch));
            if (raw.isValid() && glyphs.size() == 1 && glyphs[0] != 0) {
                const QList<QPointF> advances =
                    raw.advancesForGlyphIndexes(glyphs, QRawFont::UseDesignMetrics);
                g.advance = advances[0].x() / kOutlineEmPixels;
            } else {
                g.advance = QFontMetricsF(outlineFont).horizontalAdvance(ch) / kOutlineEmPixels;
            }
        }
        lists->GlyphMetrics[static_cast<std::size_t>(i)] = Metrics(g);
        glNewList(lists->ListBase + static_cast<GLuint>(i), GL_COMPILE);
        EmitGlyph(g, extrusion, filled);
        glEndList();
    }
    return lists;
}

std::unique_ptr<OpenGLOrvFont2D> BuildBitmapFont(const QFont& font, std::int32_t first,
                                                 std::int32_t count) {
    auto lists = ReserveLists<OpenGLOrvFont2D>(first, count);
    if (lists == nullptr) {
        return nullptr;
    }

    QFont bitmapFont(font);
    bitmapFont.setStyleStrategy(QFont::NoAntialias);
    bitmapFont.setKerning(false);
    const QFontMetrics metrics(bitmapFont);

    // Bitmap rows are packed tightly while the lists are compiled (glBitmap reads them then).
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (std::int32_t i = 0; i < count; ++i) {
        QRect box;
        int advance = 0;
        const std::optional<QChar> printable = PrintableCharacter(first + i);
        const QChar ch = printable.value_or(QChar());
        if (printable) {
            box = metrics.boundingRect(ch);
            advance = metrics.horizontalAdvance(ch);
        }
        std::vector<GLubyte> bits;
        const int w = box.isEmpty() ? 0 : box.width();
        const int h = box.isEmpty() ? 0 : box.height();
        if (w > 0 && h > 0) {
            QImage image(w, h, QImage::Format_Grayscale8);
            image.fill(0);
            QPainter painter(&image);
            painter.setFont(bitmapFont);
            painter.setPen(Qt::white);
            painter.drawText(-box.left(), -box.top(), QString(ch));
            painter.end();
            const int rowBytes = (w + 7) / 8;
            bits.assign(static_cast<std::size_t>(rowBytes * h), 0);
            for (int row = 0; row < h; ++row) {
                // glBitmap rows run bottom to top, most significant bit first.
                const uchar* line = image.constScanLine(h - 1 - row);
                for (int x = 0; x < w; ++x) {
                    if (line[x] >= 128) {
                        bits[static_cast<std::size_t>(row * rowBytes + x / 8)] |=
                            static_cast<GLubyte>(0x80 >> (x % 8));
                    }
                }
            }
        }
        glNewList(lists->ListBase + static_cast<GLuint>(i), GL_COMPILE);
        glBitmap(w, h, static_cast<GLfloat>(-box.left()), static_cast<GLfloat>(box.bottom() + 1),
                 static_cast<GLfloat>(advance), 0.0f, bits.empty() ? nullptr : bits.data());
        glEndList();
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    return lists;
}

void CallFontLists(const OpenGLOrvFontLists* font, std::string_view text) {
    if (font == nullptr || text.empty()) {
        return;
    }
    for (const char c : text) {
        const std::int64_t index = std::int64_t{static_cast<unsigned char>(c)} - font->FirstGlyph;
        if (index < 0 || index > std::int64_t{font->GlyphCount} - 1) {
            return;
        }
    }
    glPushAttrib(GL_LIST_BIT);
    GLint frontFace = GL_CCW;
    glGetIntegerv(GL_FRONT_FACE, &frontFace);
    // The base wraps modulo 2^32 when the first code exceeds the list name; GL adds the code
    // back in the same unsigned arithmetic.
    glListBase(font->ListBase - static_cast<GLuint>(font->FirstGlyph));
    glCallLists(static_cast<GLsizei>(text.size()), GL_UNSIGNED_BYTE, text.data());
    glFrontFace(static_cast<GLenum>(frontFace));
    glPopAttrib();
}

}  // namespace veliso
