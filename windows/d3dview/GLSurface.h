// The OpenGL surface a device draws on: a QOpenGLWidget over the settings window's view area.
// A render draws at once into the widget's framebuffer; Present has it shown. The framebuffer
// keeps its picture between renders, so the window system can show it again at any time.
//
// Meshes and textures go to the GPU the first time they are drawn and stay there; a frame
// changes only transforms and uniforms.
#pragma once

#include <QOpenGLWidget>
#include <QRect>
#include <cstdint>
#include <map>
#include <memory>

#include "RetainedMode.h"

class QOpenGLFunctions_3_3_Core;
class QOpenGLShaderProgram;

class CGLSurface : public QOpenGLWidget, public IRMSurface {
  public:
    // The OpenGL version the surface needs.
    static constexpr int kMajor = 3;
    static constexpr int kMinor = 3;

    explicit CGLSurface(QWidget* parent);
    ~CGLSurface() override;

    // Ready once the widget has an OpenGL 3.3 core context and its shaders.
    bool Ready() const override { return m_bReady; }
    void Clear(const QRect& area) override;
    unsigned Draw(const RMSceneDraw& scene) override;
    // The framebuffer is shown at the widget's next repaint.
    void Present() override { update(); }
    QImage Grab() override { return grabFramebuffer(); }
    QWidget* Widget() override { return this; }
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
