// make_scene_files DIR: writes the scene of the settings window's 3D test view into DIR, the
// mesh files "1.x" (the ground), "2.x" (the backdrop), "3.x" (the object that casts shadows),
// "sphere.x" (the point light's sphere) in DirectX text format, and the pictures "test1.bmp"
// (the ground's, fine enough to show the texture filters) and "test2.bmp" (the backdrop's, a
// tile whose slide is easy to follow).
//
// Coordinates are left-handed, y up; a face is seen from the side where its corners run
// clockwise. The view fits every mesh to size 1 and then places and scales it, so the sizes
// here are chosen for that: the ground's top ends up at height 1 and the objects stand on it.
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

namespace {

struct V3 {
    double x, y, z;
};
V3 operator-(V3 a, V3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
V3 operator+(V3 a, V3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
V3 operator*(V3 a, double s) {
    return {a.x * s, a.y * s, a.z * s};
}
double Dot(V3 a, V3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
V3 Cross(V3 a, V3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
V3 Unit(V3 a) {
    const double n = std::sqrt(Dot(a, a));
    return n > 0 ? a * (1 / n) : a;
}

struct Material {
    double r, g, b;
};

struct Mesh {
    std::vector<V3> positions;
    std::vector<V3> normals;
    std::vector<std::array<double, 2>> uvs;  // empty, or one per vertex
    std::vector<std::array<int, 3>> faces;
    Material material{1, 1, 1};

    int Vertex(V3 p, V3 n, double u = 0, double v = 0) {
        positions.push_back(p);
        normals.push_back(Unit(n));
        uvs.push_back({u, v});
        return static_cast<int>(positions.size()) - 1;
    }
    // A triangle seen from the side `outward` points to; degenerate ones are left out.
    void Face(int a, int b, int c, V3 outward) {
        const V3 n = Cross(positions[b] - positions[a], positions[c] - positions[a]);
        if (Dot(n, n) < 1e-18) {
            return;
        }
        if (Dot(n, outward) < 0) {
            std::swap(b, c);
        }
        faces.push_back({a, b, c});
    }
    void Quad(int a, int b, int c, int d, V3 outward) {
        Face(a, b, c, outward);
        Face(a, c, d, outward);
    }
};

bool WriteX(const std::string& path, const Mesh& mesh, const char* name) {
    std::ofstream out(path, std::ios::binary);
    auto number = [](double v) {
        char text[32];
        std::snprintf(text, sizeof text, "%.6f", std::abs(v) < 5e-7 ? 0.0 : v);
        return std::string(text);
    };
    auto list = [&](std::size_t i, std::size_t n) { return i + 1 < n ? ";,\n" : ";;\n"; };
    const std::size_t nv = mesh.positions.size();
    const std::size_t nf = mesh.faces.size();
    out << "xof 0303txt 0032\n\nMesh " << name << " {\n " << nv << ";\n";
    for (std::size_t i = 0; i < nv; ++i) {
        const V3& p = mesh.positions[i];
        out << " " << number(p.x) << ";" << number(p.y) << ";" << number(p.z) << list(i, nv);
    }
    out << " " << nf << ";\n";
    for (std::size_t i = 0; i < nf; ++i) {
        const auto& f = mesh.faces[i];
        out << " 3;" << f[0] << "," << f[1] << "," << f[2] << list(i, nf);
    }
    out << " MeshNormals {\n  " << nv << ";\n";
    for (std::size_t i = 0; i < nv; ++i) {
        const V3& n = mesh.normals[i];
        out << "  " << number(n.x) << ";" << number(n.y) << ";" << number(n.z) << list(i, nv);
    }
    out << "  " << nf << ";\n";
    for (std::size_t i = 0; i < nf; ++i) {
        const auto& f = mesh.faces[i];
        out << "  3;" << f[0] << "," << f[1] << "," << f[2] << list(i, nf);
    }
    out << " }\n MeshTextureCoords {\n  " << nv << ";\n";
    for (std::size_t i = 0; i < nv; ++i) {
        out << "  " << number(mesh.uvs[i][0]) << ";" << number(mesh.uvs[i][1]) << list(i, nv);
    }
    const Material& m = mesh.material;
    out << " }\n MeshMaterialList {\n  1;\n  " << nf << ";\n";
    for (std::size_t i = 0; i < nf; ++i) {
        out << "  0" << (i + 1 < nf ? ",\n" : ";;\n");
    }
    out << "  Material {\n   " << number(m.r) << ";" << number(m.g) << ";" << number(m.b)
        << ";1.000000;;\n   0.000000;\n   0.000000;0.000000;0.000000;;\n"
        << "   0.000000;0.000000;0.000000;;\n  }\n }\n}\n";
    return static_cast<bool>(out);
}

// The ground: a slab one unit square, its top (a 16 x 16 grid, so light falls on it smoothly)
// at 0.04 and its bottom at -0.01. Scaled by 25 its top is at height 1.
Mesh Ground() {
    Mesh mesh;
    // Five lights together add up to about twice full light: the faces reflect half of it, the
    // backdrop (lit from close by the point light) less.
    mesh.material = {0.5, 0.5, 0.5};
    constexpr int kCells = 16;
    constexpr double kTop = 0.04;
    constexpr double kBottom = -0.01;
    const V3 up{0, 1, 0};
    std::vector<int> grid;
    for (int j = 0; j <= kCells; ++j) {
        for (int i = 0; i <= kCells; ++i) {
            const double x = -0.5 + static_cast<double>(i) / kCells;
            const double z = -0.5 + static_cast<double>(j) / kCells;
            grid.push_back(mesh.Vertex({x, kTop, z}, up, x + 0.5, 0.5 - z));
        }
    }
    for (int j = 0; j < kCells; ++j) {
        for (int i = 0; i < kCells; ++i) {
            const int a = j * (kCells + 1) + i;
            mesh.Quad(grid[a], grid[a + 1], grid[a + kCells + 2], grid[a + kCells + 1], up);
        }
    }
    // Bottom and sides, each face with corners of its own for its own normal.
    const double e = 0.5;
    const V3 corners[4] = {{-e, 0, -e}, {e, 0, -e}, {e, 0, e}, {-e, 0, e}};
    for (int k = 0; k < 4; ++k) {
        const V3 a = corners[k];
        const V3 b = corners[(k + 1) % 4];
        const V3 outward = Unit((a + b) * 0.5);
        mesh.Quad(mesh.Vertex({a.x, kBottom, a.z}, outward),
                  mesh.Vertex({b.x, kBottom, b.z}, outward), mesh.Vertex({b.x, kTop, b.z}, outward),
                  mesh.Vertex({a.x, kTop, a.z}, outward), outward);
    }
    const V3 down{0, -1, 0};
    int bottom[4];
    for (int k = 0; k < 4; ++k) {
        bottom[k] = mesh.Vertex({corners[k].x, kBottom, corners[k].z}, down);
    }
    mesh.Quad(bottom[0], bottom[1], bottom[2], bottom[3], down);
    return mesh;
}

// A sphere of radius 0.5 round the origin, seen from outside or, for the backdrop, from inside.
Mesh Sphere(int segments, int rings, bool bInside, Material material) {
    Mesh mesh;
    mesh.material = material;
    std::vector<std::vector<int>> index(static_cast<std::size_t>(rings) + 1);
    for (int j = 0; j <= rings; ++j) {
        const double theta = std::numbers::pi * j / rings;  // from the top down
        for (int i = 0; i <= segments; ++i) {
            const double phi = 2 * std::numbers::pi * i / segments;
            const V3 n{std::sin(theta) * std::cos(phi), std::cos(theta),
                       std::sin(theta) * std::sin(phi)};
            index[static_cast<std::size_t>(j)].push_back(
                mesh.Vertex(n * 0.5, bInside ? n * -1 : n, static_cast<double>(i) / segments,
                            static_cast<double>(j) / rings));
        }
    }
    for (int j = 0; j < rings; ++j) {
        const auto& upper = index[static_cast<std::size_t>(j)];
        const auto& lower = index[static_cast<std::size_t>(j) + 1];
        for (int i = 0; i < segments; ++i) {
            const auto k = static_cast<std::size_t>(i);
            const V3 centre = Unit(mesh.positions[upper[k]] + mesh.positions[lower[k + 1]]);
            mesh.Quad(upper[k], upper[k + 1], lower[k + 1], lower[k],
                      bInside ? centre * -1 : centre);
        }
    }
    return mesh;
}

// The object that casts the shadows: a turned piece like a chess pawn, 0.6 wide and standing
// from height 0.5 to 1.5, so that placed and doubled it stands on the ground.
Mesh Pawn() {
    struct Point {
        double r, y;
        bool bBall;
    };
    std::vector<Point> profile = {{0, 0.50, false},    {0.30, 0.50, false}, {0.30, 0.58, false},
                                  {0.22, 0.64, false}, {0.15, 0.72, false}, {0.10, 1.05, false},
                                  {0.20, 1.10, false}, {0.20, 1.14, false}, {0.08, 1.18, false}};
    const double ballY = 1.34;
    const double ballR = 0.16;
    for (int degrees : {-60, -40, -20, 0, 20, 40, 60, 75, 90}) {
        const double a = degrees * std::numbers::pi / 180;
        profile.push_back(
            {degrees == 90 ? 0.0 : ballR * std::cos(a), ballY + ballR * std::sin(a), true});
    }
    Mesh mesh;
    mesh.material = {0.62, 0.48, 0.30};
    constexpr int kSegments = 16;
    for (std::size_t s = 0; s + 1 < profile.size(); ++s) {
        const Point& p0 = profile[s];
        const Point& p1 = profile[s + 1];
        // The band's own outward normal in the (r, y) plane; the ball is shaded smoothly.
        const double dr = p1.r - p0.r;
        const double dy = p1.y - p0.y;
        const double len = std::hypot(dr, dy);
        const double nr = dy / len;
        const double ny = -dr / len;
        auto normalAt = [&](const Point& p, double phi) {
            if (p.bBall && p0.bBall && p1.bBall) {
                const double br = p.r / ballR;
                const double by = (p.y - ballY) / ballR;
                return V3{br * std::cos(phi), by, br * std::sin(phi)};
            }
            return V3{nr * std::cos(phi), ny, nr * std::sin(phi)};
        };
        std::vector<int> ring0;
        std::vector<int> ring1;
        for (int i = 0; i <= kSegments; ++i) {
            const double phi = 2 * std::numbers::pi * i / kSegments;
            ring0.push_back(
                mesh.Vertex({p0.r * std::cos(phi), p0.y, p0.r * std::sin(phi)}, normalAt(p0, phi)));
            ring1.push_back(
                mesh.Vertex({p1.r * std::cos(phi), p1.y, p1.r * std::sin(phi)}, normalAt(p1, phi)));
        }
        for (int i = 0; i < kSegments; ++i) {
            const double phi = 2 * std::numbers::pi * (i + 0.5) / kSegments;
            const V3 outward{nr * std::cos(phi), ny, nr * std::sin(phi)};
            const auto k = static_cast<std::size_t>(i);
            mesh.Quad(ring0[k], ring0[k + 1], ring1[k + 1], ring1[k], outward);
        }
    }
    return mesh;
}

// The ground's picture: a chequer of cream and slate tiles with thin lines and a ring of
// circles, sharp enough that nearest, linear and mipmapped filtering look plainly different.
QImage GroundPicture() {
    constexpr int kSize = 128;
    QImage image(kSize, kSize, QImage::Format_RGB32);
    const QRgb cream = qRgb(236, 226, 200);
    const QRgb slate = qRgb(150, 166, 192);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const bool bLight = ((x / 16) + (y / 16)) % 2 == 0;
            QRgb colour = bLight ? cream : slate;
            if (x % 16 == 0 || y % 16 == 0) {
                colour = qRgb(120, 112, 104);  // the joints
            } else if ((x + y) % 8 == 0 && bLight) {
                colour = qRgb(196, 150, 120);  // fine diagonal lines
            }
            image.setPixel(x, y, colour);
        }
    }
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    for (int r = 12; r <= 52; r += 10) {
        painter.setPen(QPen(QColor(176, 70, 60), 2));
        painter.drawEllipse(QPointF(kSize / 2.0, kSize / 2.0), r, r);
    }
    return image;
}

// The backdrop's tile: a sky with a soft cloud and a light diagonal band, drawn across the
// tile's edges so that ten of them side by side join without seams.
QImage SkyPicture() {
    constexpr int kSize = 64;
    QImage image(kSize, kSize, QImage::Format_RGB32);
    image.fill(QColor(86, 136, 214));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    for (int dx = -kSize; dx <= kSize; dx += kSize) {
        for (int dy = -kSize; dy <= kSize; dy += kSize) {
            painter.save();
            painter.translate(dx, dy);
            QPainterPath band;
            band.moveTo(0, 40);
            band.lineTo(40, 0);
            band.lineTo(56, 0);
            band.lineTo(0, 56);
            band.closeSubpath();
            painter.fillPath(band, QColor(128, 172, 232));
            painter.setBrush(QColor(238, 242, 250));
            painter.drawEllipse(QPointF(22, 24), 13, 8);
            painter.drawEllipse(QPointF(32, 20), 10, 9);
            painter.drawEllipse(QPointF(40, 26), 11, 7);
            painter.restore();
        }
    }
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: make_scene_files DIR\n", stderr);
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    const bool bOk = WriteX(dir + "1.x", Ground(), "Ground") &&
                     WriteX(dir + "2.x", Sphere(24, 16, true, {0.3, 0.3, 0.3}), "Backdrop") &&
                     WriteX(dir + "3.x", Pawn(), "Pawn") &&
                     WriteX(dir + "sphere.x", Sphere(12, 8, false, {1.0, 0.9, 0.1}), "Sphere") &&
                     GroundPicture().save(QString::fromStdString(dir + "test1.bmp"), "BMP") &&
                     SkyPicture().save(QString::fromStdString(dir + "test2.bmp"), "BMP");
    if (!bOk) {
        std::fprintf(stderr, "make_scene_files: cannot write into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
