// The OpenGL surface a device draws on: a QOpenGLWidget over the settings window's view area.
// A render draws at once into the widget's framebuffer; Update has it shown. The framebuffer
// keeps its picture between renders, so the window system can show it again at any time.
//
// Meshes and textures go to the GPU the first time they are drawn and stay there; a frame
// changes only transforms and uniforms.
#pragma once

#include <QMatrix4x4>
#include <QOpenGLWidget>
#include <QRect>
#include <QVector3D>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "RetainedMode.h"

class QOpenGLFunctions_3_3_Core;
class QOpenGLShaderProgram;

struct RMSceneLight {
    D3DRMLIGHTTYPE type;
    QVector3D colour;
    QVector3D position;   // in the scene
    QVector3D direction;  // the way the light shines, unit length
    float cosUmbra;       // cosines of the half-angles of a spot light's cones
    float cosPenumbra;
};

struct RMDrawItem {
    const CRMMeshBuilder* mesh;
    QMatrix4x4 world;     // mesh coordinates to the scene
    unsigned quality;     // what the mesh and the device allow together
    bool shadow = false;  // the mesh flattened onto a plane, drawn as a shadow
};

struct RMSceneDraw {
    QRect viewport;  // device pixels from the top left
    QMatrix4x4 view;
    QMatrix4x4 projection;
    QVector3D eye;
    std::vector<RMSceneLight> lights;
    std::vector<RMDrawItem> items;
    unsigned textureQuality = D3DRMTEXTURE_LINEAR;
    bool dither = false;
    unsigned shades = 256;
};

class CGLSurface : public QOpenGLWidget {
  public:
    // The OpenGL version the surface needs.
    static constexpr int kMajor = 3;
    static constexpr int kMinor = 3;

    explicit CGLSurface(QWidget* parent);
    ~CGLSurface() override;

    // True once the widget has an OpenGL 3.3 core context and its shaders.
    bool Ready() const { return m_bReady; }
    // Fills `area` (device pixels from the top left; all of the surface when empty) black and
    // forgets its depths.
    void Clear(const QRect& area);
    // Draws the scene; returns the triangles drawn.
    unsigned Draw(const RMSceneDraw& scene);
    // How many meshes and textures have been sent to the GPU so far.
    unsigned Uploads() const { return m_nUploads; }

  protected:
    void initializeGL() override;
    void paintGL() override;

  private:
    struct GpuMesh {
        unsigned vao = 0;
        unsigned vbo = 0;
        int corners = 0;
        unsigned version = 0;
    };
    struct GpuTexture {
        unsigned id = 0;
        unsigned filter = ~0u;
    };

    bool MakeCurrent();
    const GpuMesh& MeshOnGpu(const CRMMeshBuilder& mesh);
    void BindTexture(const CRMTexture& texture, unsigned quality);
    void DrawItem(const RMDrawItem& item, const RMSceneDraw& scene);
    void ReleaseGpu();
    // Device pixels from the top left to OpenGL's window coordinates (from the bottom left).
    QRect ToWindow(const QRect& area) const;

    QOpenGLFunctions_3_3_Core* m_pGL = nullptr;
    std::unique_ptr<QOpenGLShaderProgram> m_pProgram;
    std::map<std::uint64_t, GpuMesh> m_meshes;
    std::map<std::uint64_t, GpuTexture> m_textures;
    struct Uniforms;
    std::unique_ptr<Uniforms> m_pUniforms;
    bool m_bReady = false;
    unsigned m_nUploads = 0;
    QMetaObject::Connection m_contextGone;
};
