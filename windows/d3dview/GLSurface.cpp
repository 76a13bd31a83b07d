#include "GLSurface.h"

#include <QOpenGLContext>
#include <QOpenGLFunctions_3_3_Core>
#include <QOpenGLShaderProgram>
#include <QOpenGLVersionFunctionsFactory>
#include <QSurfaceFormat>
#include <algorithm>
#include <cmath>

namespace {

constexpr int kMaxLights = 8;
// Position, corner normal, face normal, colour, texture coordinates.
constexpr int kFloatsPerCorner = 3 + 3 + 3 + 4 + 2;

// One lighting routine for both stages: Gouraud lights the corners, Phong every pixel.
// Light types: 0 ambient, 1 point, 2 spot, 3 directional, 4 parallel point.
const char* const kLighting = R"(
const int kMaxLights = 8;
uniform int uLightCount;
uniform int uLightType[kMaxLights];
uniform vec3 uLightColour[kMaxLights];
uniform vec3 uLightPos[kMaxLights];
uniform vec3 uLightDir[kMaxLights];
uniform vec2 uLightCone[kMaxLights];
uniform vec3 uEye;
uniform float uPower;
uniform vec3 uSpecularColour;

void Light(vec3 P, vec3 N, out vec3 diffuse, out vec3 specular) {
    diffuse = vec3(0.0);
    specular = vec3(0.0);
    for (int i = 0; i < uLightCount; ++i) {
        if (uLightType[i] == 0) {
            diffuse += uLightColour[i];
            continue;
        }
        vec3 L;
        float k = 1.0;
        if (uLightType[i] >= 3) {
            L = -uLightDir[i];
        } else {
            L = normalize(uLightPos[i] - P);
            if (uLightType[i] == 2) {
                k = smoothstep(uLightCone[i].y, uLightCone[i].x, dot(-L, uLightDir[i]));
            }
        }
        float nl = max(dot(N, L), 0.0);
        diffuse += uLightColour[i] * nl * k;
        if (uPower > 0.0 && nl > 0.0) {
            vec3 H = normalize(L + normalize(uEye - P));
            specular += uSpecularColour * uLightColour[i] * pow(max(dot(N, H), 0.0), uPower) * k;
        }
    }
}
)";

const char* const kVertexShader = R"(
layout(location = 0) in vec3 aPos;
layout(location = 1) in vec3 aNormal;
layout(location = 2) in vec3 aFaceNormal;
layout(location = 3) in vec4 aColour;
layout(location = 4) in vec2 aTexCoord;
uniform mat4 uWorld;
uniform mat4 uViewProj;
uniform mat3 uNormalMatrix;
uniform int uShade;
uniform bool uLit;
uniform bool uTexGen;
uniform vec3 uGenOrigin;
uniform vec3 uGenU;
uniform vec3 uGenV;
uniform vec2 uGenOffset;
out vec3 vWorldPos;
out vec3 vNormal;
out vec4 vColour;
out vec3 vDiffuse;
out vec3 vSpecular;
flat out vec3 vFlatDiffuse;
flat out vec3 vFlatSpecular;
smooth out vec2 vTexCoord;
noperspective out vec2 vTexCoordAffine;

void main() {
    vec4 world = uWorld * vec4(aPos, 1.0);
    vWorldPos = world.xyz;
    vNormal = normalize(uNormalMatrix * aNormal);
    vColour = aColour;
    vec2 tc = aTexCoord;
    if (uTexGen) {
        vec3 d = aPos - uGenOrigin;
        tc = vec2(dot(d, uGenU), dot(d, uGenV)) + uGenOffset;
    }
    vTexCoord = tc;
    vTexCoordAffine = tc;
    vec3 diffuse = vec3(1.0);
    vec3 specular = vec3(0.0);
    vec3 flatDiffuse = vec3(1.0);
    vec3 flatSpecular = vec3(0.0);
    if (uLit && uShade == 0) {
        Light(world.xyz, normalize(uNormalMatrix * aFaceNormal), flatDiffuse, flatSpecular);
    } else if (uLit && uShade == 1) {
        Light(world.xyz, vNormal, diffuse, specular);
    }
    vDiffuse = diffuse;
    vSpecular = specular;
    vFlatDiffuse = flatDiffuse;
    vFlatSpecular = flatSpecular;
    gl_Position = uViewProj * world;
}
)";

const char* const kFragmentShader = R"(
in vec3 vWorldPos;
in vec3 vNormal;
in vec4 vColour;
in vec3 vDiffuse;
in vec3 vSpecular;
flat in vec3 vFlatDiffuse;
flat in vec3 vFlatSpecular;
smooth in vec2 vTexCoord;
noperspective in vec2 vTexCoordAffine;
uniform int uShade;
uniform bool uLit;
uniform bool uTextured;
uniform bool uPerspective;
uniform sampler2D uTexture;
uniform bool uShadow;
uniform float uShades;
out vec4 fragColour;

void main() {
    if (uShadow) {
        fragColour = vec4(0.0, 0.0, 0.0, 0.6);
        return;
    }
    vec3 diffuse = vec3(1.0);
    vec3 specular = vec3(0.0);
    if (uLit) {
        if (uShade == 0) {
            diffuse = vFlatDiffuse;
            specular = vFlatSpecular;
        } else if (uShade == 1) {
            diffuse = vDiffuse;
            specular = vSpecular;
        } else {
            Light(vWorldPos, normalize(vNormal), diffuse, specular);
        }
        if (uShades > 0.0) {
            diffuse = floor(diffuse * uShades + 0.5) / uShades;
        }
    }
    vec4 base = vColour;
    if (uTextured) {
        base *= texture(uTexture, uPerspective ? vTexCoord : vTexCoordAffine);
    }
    fragColour = vec4(clamp(base.rgb * diffuse + specular, 0.0, 1.0), base.a);
}
)";

// The filters of a texture quality: minification (with mipmaps from quality 2 on) and
// magnification.
void Filters(unsigned quality, GLint& minFilter, GLint& magFilter) {
    switch (quality) {
        case D3DRMTEXTURE_LINEAR:
            minFilter = GL_LINEAR;
            magFilter = GL_LINEAR;
            return;
        case D3DRMTEXTURE_MIPNEAREST:
            minFilter = GL_NEAREST_MIPMAP_NEAREST;
            magFilter = GL_NEAREST;
            return;
        case D3DRMTEXTURE_MIPLINEAR:
            minFilter = GL_NEAREST_MIPMAP_LINEAR;
            magFilter = GL_NEAREST;
            return;
        case D3DRMTEXTURE_LINEARMIPNEAREST:
            minFilter = GL_LINEAR_MIPMAP_NEAREST;
            magFilter = GL_LINEAR;
            return;
        case D3DRMTEXTURE_LINEARMIPLINEAR:
            minFilter = GL_LINEAR_MIPMAP_LINEAR;
            magFilter = GL_LINEAR;
            return;
        default:
            minFilter = GL_NEAREST;
            magFilter = GL_NEAREST;
            return;
    }
}

}  // namespace

struct CGLSurface::Uniforms {
    int world, viewProj, normalMatrix, shade, lit, texGen, genOrigin, genU, genV, genOffset;
    int textured, perspective, texture, shadow, shades, eye, power, specularColour, lightCount;
    int lightType[kMaxLights], lightColour[kMaxLights], lightPos[kMaxLights];
    int lightDir[kMaxLights], lightCone[kMaxLights];

    explicit Uniforms(QOpenGLShaderProgram& p) {
        world = p.uniformLocation("uWorld");
        viewProj = p.uniformLocation("uViewProj");
        normalMatrix = p.uniformLocation("uNormalMatrix");
        shade = p.uniformLocation("uShade");
        lit = p.uniformLocation("uLit");
        texGen = p.uniformLocation("uTexGen");
        genOrigin = p.uniformLocation("uGenOrigin");
        genU = p.uniformLocation("uGenU");
        genV = p.uniformLocation("uGenV");
        genOffset = p.uniformLocation("uGenOffset");
        textured = p.uniformLocation("uTextured");
        perspective = p.uniformLocation("uPerspective");
        texture = p.uniformLocation("uTexture");
        shadow = p.uniformLocation("uShadow");
        shades = p.uniformLocation("uShades");
        eye = p.uniformLocation("uEye");
        power = p.uniformLocation("uPower");
        specularColour = p.uniformLocation("uSpecularColour");
        lightCount = p.uniformLocation("uLightCount");
        for (int i = 0; i < kMaxLights; ++i) {
            // "[i]" ends the name of element i of a uniform array. A QByteArray, which
            // uniformLocation takes as it is: "[" + std::to_string(i) has GCC 12 at -O3 report a
            // false overlap in the string's copy (-Wrestrict).
            const QByteArray index = '[' + QByteArray::number(i) + ']';
            lightType[i] = p.uniformLocation("uLightType" + index);
            lightColour[i] = p.uniformLocation("uLightColour" + index);
            lightPos[i] = p.uniformLocation("uLightPos" + index);
            lightDir[i] = p.uniformLocation("uLightDir" + index);
            lightCone[i] = p.uniformLocation("uLightCone" + index);
        }
    }
};

CGLSurface::CGLSurface(QWidget* parent) : QOpenGLWidget(parent) {
    QSurfaceFormat format;
    format.setVersion(kMajor, kMinor);
    format.setProfile(QSurfaceFormat::CoreProfile);
    format.setDepthBufferSize(24);
    format.setStencilBufferSize(8);
    setFormat(format);
    // The picture stays in the framebuffer between renders: the renders happen when the view
    // asks for them, not when the window system repaints.
    setUpdateBehavior(QOpenGLWidget::PartialUpdate);
    // The surface covers what lies beneath it: its updates do not repaint the window below.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
}

CGLSurface::~CGLSurface() {
    // The widget's own destructor ends the context: this part is gone by then.
    disconnect(m_contextGone);
    ReleaseGpu();
}

void CGLSurface::ReleaseGpu() {
    if (!m_bReady || context() == nullptr) {
        return;
    }
    makeCurrent();
    for (auto& [serial, mesh] : m_meshes) {
        m_pGL->glDeleteBuffers(1, &mesh.vbo);
        m_pGL->glDeleteVertexArrays(1, &mesh.vao);
    }
    for (auto& [serial, texture] : m_textures) {
        m_pGL->glDeleteTextures(1, &texture.id);
    }
    m_meshes.clear();
    m_textures.clear();
    m_pProgram.reset();
    m_bReady = false;
    doneCurrent();
}

void CGLSurface::initializeGL() {
    const QSurfaceFormat actual = context()->format();
    if (actual.version() < qMakePair(kMajor, kMinor)) {
        return;
    }
    m_pGL = QOpenGLVersionFunctionsFactory::get<QOpenGLFunctions_3_3_Core>(context());
    if (m_pGL == nullptr) {
        return;
    }
    const QByteArray header = "#version 330 core\n";
    auto program = std::make_unique<QOpenGLShaderProgram>();
    if (!program->addShaderFromSourceCode(QOpenGLShader::Vertex,
                                          header + kLighting + kVertexShader) ||
        !program->addShaderFromSourceCode(QOpenGLShader::Fragment,
                                          header + kLighting + kFragmentShader) ||
        !program->link()) {
        return;
    }
    m_pProgram = std::move(program);
    m_pUniforms = std::make_unique<Uniforms>(*m_pProgram);
    m_bReady = true;
    // A context taken away under the widget (a new top-level window) takes the GPU copies.
    m_contextGone =
        connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, [this] { ReleaseGpu(); });
    m_pGL->glClearColor(0, 0, 0, 1);
    m_pGL->glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
}

void CGLSurface::paintGL() {
    // Nothing: the framebuffer still holds the last render.
}

bool CGLSurface::MakeCurrent() {
    if (!m_bReady) {
        return false;
    }
    makeCurrent();
    return true;
}

QRect CGLSurface::ToWindow(const QRect& area) const {
    const qreal ratio = devicePixelRatioF();
    const int surfaceHeight = static_cast<int>(std::lround(height() * ratio));
    const QRect scaled(static_cast<int>(std::lround(area.x() * ratio)),
                       static_cast<int>(std::lround(area.y() * ratio)),
                       static_cast<int>(std::lround(area.width() * ratio)),
                       static_cast<int>(std::lround(area.height() * ratio)));
    return {scaled.x(), surfaceHeight - scaled.y() - scaled.height(), scaled.width(),
            scaled.height()};
}

void CGLSurface::Clear(const QRect& area) {
    if (!MakeCurrent()) {
        return;
    }
    if (area.isEmpty()) {
        m_pGL->glDisable(GL_SCISSOR_TEST);
    } else {
        const QRect window = ToWindow(area);
        m_pGL->glEnable(GL_SCISSOR_TEST);
        m_pGL->glScissor(window.x(), window.y(), window.width(), window.height());
    }
    m_pGL->glDepthMask(GL_TRUE);
    m_pGL->glStencilMask(0xff);
    m_pGL->glClearColor(0, 0, 0, 1);
    m_pGL->glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    m_pGL->glDisable(GL_SCISSOR_TEST);
}

const CGLSurface::GpuMesh& CGLSurface::MeshOnGpu(const CRMMeshBuilder& mesh) {
    GpuMesh& gpu = m_meshes[mesh.Serial()];
    if (gpu.vao != 0 && gpu.version == mesh.GeometryVersion()) {
        return gpu;
    }
    // Every face gets corners of its own, so a face can carry its own normal for flat shading.
    const auto& positions = mesh.Positions();
    const auto& normals = mesh.Normals();
    const auto& colours = mesh.Colours();
    const auto& texCoords = mesh.TexCoords();
    const auto& indices = mesh.Indices();
    std::vector<float> data;
    data.reserve(indices.size() * kFloatsPerCorner);
    for (std::size_t f = 0; f + 2 < indices.size(); f += 3) {
        const QVector3D& a = positions[indices[f]];
        const QVector3D& b = positions[indices[f + 1]];
        const QVector3D& c = positions[indices[f + 2]];
        const QVector3D face = QVector3D::crossProduct(b - a, c - a).normalized();
        for (std::size_t k = 0; k < 3; ++k) {
            const std::uint32_t v = indices[f + k];
            const QVector3D n = v < normals.size() ? normals[v] : face;
            const QVector4D colour = v < colours.size() ? colours[v] : QVector4D(1, 1, 1, 1);
            const QVector2D uv = v < texCoords.size() ? texCoords[v] : QVector2D();
            const float corner[kFloatsPerCorner] = {positions[v].x(),
                                                    positions[v].y(),
                                                    positions[v].z(),
                                                    n.x(),
                                                    n.y(),
                                                    n.z(),
                                                    face.x(),
                                                    face.y(),
                                                    face.z(),
                                                    colour.x(),
                                                    colour.y(),
                                                    colour.z(),
                                                    colour.w(),
                                                    uv.x(),
                                                    uv.y()};
            data.insert(data.end(), std::begin(corner), std::end(corner));
        }
    }
    if (gpu.vao == 0) {
        m_pGL->glGenVertexArrays(1, &gpu.vao);
        m_pGL->glGenBuffers(1, &gpu.vbo);
    }
    m_pGL->glBindVertexArray(gpu.vao);
    m_pGL->glBindBuffer(GL_ARRAY_BUFFER, gpu.vbo);
    m_pGL->glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(data.size() * sizeof(float)),
                        data.data(), GL_STATIC_DRAW);
    const GLsizei stride = kFloatsPerCorner * sizeof(float);
    const int sizes[] = {3, 3, 3, 4, 2};
    std::size_t offset = 0;
    for (GLuint location = 0; location < 5; ++location) {
        m_pGL->glEnableVertexAttribArray(location);
        m_pGL->glVertexAttribPointer(location, sizes[location], GL_FLOAT, GL_FALSE, stride,
                                     reinterpret_cast<const void*>(offset * sizeof(float)));
        offset += static_cast<std::size_t>(sizes[location]);
    }
    gpu.corners = static_cast<int>(data.size() / kFloatsPerCorner);
    gpu.version = mesh.GeometryVersion();
    ++m_nUploads;
    return gpu;
}

void CGLSurface::BindTexture(const CRMTexture& texture, unsigned quality) {
    GpuTexture& gpu = m_textures[texture.Serial()];
    m_pGL->glActiveTexture(GL_TEXTURE0);
    if (gpu.id == 0) {
        const QImage& image = texture.Image();
        m_pGL->glGenTextures(1, &gpu.id);
        m_pGL->glBindTexture(GL_TEXTURE_2D, gpu.id);
        m_pGL->glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        m_pGL->glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, image.width(), image.height(), 0, GL_RGBA,
                            GL_UNSIGNED_BYTE, image.constBits());
        m_pGL->glGenerateMipmap(GL_TEXTURE_2D);
        m_pGL->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        m_pGL->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
        ++m_nUploads;
    } else {
        m_pGL->glBindTexture(GL_TEXTURE_2D, gpu.id);
    }
    if (gpu.filter != quality) {
        GLint minFilter = GL_NEAREST;
        GLint magFilter = GL_NEAREST;
        Filters(quality, minFilter, magFilter);
        m_pGL->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
        m_pGL->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magFilter);
        gpu.filter = quality;
    }
}

unsigned CGLSurface::Draw(const RMSceneDraw& scene) {
    if (!MakeCurrent()) {
        return 0;
    }
    const Uniforms& u = *m_pUniforms;
    const QRect window = ToWindow(scene.viewport);
    m_pGL->glViewport(window.x(), window.y(), window.width(), window.height());
    m_pGL->glEnable(GL_SCISSOR_TEST);
    m_pGL->glScissor(window.x(), window.y(), window.width(), window.height());
    if (scene.dither) {
        m_pGL->glEnable(GL_DITHER);
    } else {
        m_pGL->glDisable(GL_DITHER);
    }
    m_pGL->glEnable(GL_DEPTH_TEST);
    m_pGL->glDepthFunc(GL_LESS);
    m_pGL->glFrontFace(GL_CW);
    m_pGL->glCullFace(GL_BACK);

    m_pProgram->bind();
    m_pProgram->setUniformValue(u.viewProj, scene.projection * scene.view);
    m_pProgram->setUniformValue(u.eye, scene.eye);
    m_pProgram->setUniformValue(u.texture, 0);
    m_pProgram->setUniformValue(u.shades,
                                scene.shades < 256 ? static_cast<float>(scene.shades) : 0.0f);
    const int lightCount = std::min<int>(static_cast<int>(scene.lights.size()), kMaxLights);
    m_pProgram->setUniformValue(u.lightCount, lightCount);
    for (int i = 0; i < lightCount; ++i) {
        const RMSceneLight& light = scene.lights[static_cast<std::size_t>(i)];
        m_pProgram->setUniformValue(u.lightType[i], static_cast<int>(light.type));
        m_pProgram->setUniformValue(u.lightColour[i], light.colour);
        m_pProgram->setUniformValue(u.lightPos[i], light.position);
        m_pProgram->setUniformValue(u.lightDir[i], light.direction);
        m_pProgram->setUniformValue(u.lightCone[i], light.cosUmbra, light.cosPenumbra);
    }

    unsigned triangles = 0;
    for (const RMDrawItem& item : scene.items) {
        if (!item.shadow) {
            DrawItem(item, scene);
            triangles += static_cast<unsigned>(item.mesh->GetFaceCount());
        }
    }
    // Shadows darken the picture once wherever one or more fall: the stencil marks what is
    // already dark. They lie just in front of the surface they fall on.
    m_pGL->glEnable(GL_BLEND);
    m_pGL->glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    m_pGL->glDepthMask(GL_FALSE);
    m_pGL->glEnable(GL_STENCIL_TEST);
    m_pGL->glStencilMask(0xff);
    m_pGL->glStencilFunc(GL_EQUAL, 0, 0xff);
    m_pGL->glStencilOp(GL_KEEP, GL_KEEP, GL_INCR);
    m_pGL->glEnable(GL_POLYGON_OFFSET_FILL);
    m_pGL->glPolygonOffset(-2.0f, -8.0f);
    for (const RMDrawItem& item : scene.items) {
        if (item.shadow) {
            DrawItem(item, scene);
            triangles += static_cast<unsigned>(item.mesh->GetFaceCount());
        }
    }
    m_pGL->glDisable(GL_POLYGON_OFFSET_FILL);
    m_pGL->glDisable(GL_STENCIL_TEST);
    m_pGL->glDepthMask(GL_TRUE);
    m_pGL->glDisable(GL_BLEND);
    m_pGL->glDisable(GL_SCISSOR_TEST);
    m_pGL->glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    m_pGL->glBindVertexArray(0);
    m_pProgram->release();
    return triangles;
}

void CGLSurface::DrawItem(const RMDrawItem& item, const RMSceneDraw& scene) {
    const Uniforms& u = *m_pUniforms;
    const CRMMeshBuilder& mesh = *item.mesh;
    if (mesh.GetFaceCount() == 0) {
        return;
    }
    const GpuMesh& gpu = MeshOnGpu(mesh);
    m_pProgram->setUniformValue(u.world, item.world);
    m_pProgram->setUniformValue(u.shadow, item.shadow);
    if (item.shadow) {
        // A flattened mesh has faces of either turn; each darkens its place once.
        m_pGL->glDisable(GL_CULL_FACE);
        m_pGL->glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        m_pProgram->setUniformValue(u.lit, false);
        m_pProgram->setUniformValue(u.textured, false);
        m_pProgram->setUniformValue(u.texGen, false);
        m_pGL->glBindVertexArray(gpu.vao);
        m_pGL->glDrawArrays(GL_TRIANGLES, 0, gpu.corners);
        return;
    }
    m_pGL->glEnable(GL_CULL_FACE);
    const unsigned fill = item.quality & D3DRMFILL_MASK;
    m_pGL->glPolygonMode(GL_FRONT_AND_BACK, fill == D3DRMFILL_SOLID       ? GL_FILL
                                            : fill == D3DRMFILL_WIREFRAME ? GL_LINE
                                                                          : GL_POINT);
    m_pProgram->setUniformValue(u.normalMatrix, item.world.normalMatrix());
    m_pProgram->setUniformValue(u.shade, static_cast<int>(item.quality & D3DRMSHADE_MASK));
    m_pProgram->setUniformValue(u.lit, (item.quality & D3DRMLIGHT_MASK) == D3DRMLIGHT_ON);

    // A parallel point light shines on each object from where it stands towards the object.
    const QVector3D origin = item.world.column(3).toVector3D();
    for (std::size_t i = 0; i < scene.lights.size() && i < kMaxLights; ++i) {
        const RMSceneLight& light = scene.lights[i];
        if (light.type == D3DRMLIGHT_PARALLELPOINT) {
            QVector3D direction = origin - light.position;
            direction = direction.isNull() ? QVector3D(0, -1, 0) : direction.normalized();
            m_pProgram->setUniformValue(u.lightDir[i], direction);
        }
    }

    const CRMMaterial* material = mesh.Material();
    m_pProgram->setUniformValue(u.power, material != nullptr ? material->GetPower() : 0.0f);
    m_pProgram->setUniformValue(u.specularColour,
                                material != nullptr ? material->GetSpecular() : QVector3D());
    const RMTexGen* texGen = mesh.TexGen();
    m_pProgram->setUniformValue(u.texGen, texGen != nullptr);
    if (texGen != nullptr) {
        m_pProgram->setUniformValue(u.genOrigin, texGen->origin);
        m_pProgram->setUniformValue(u.genU, texGen->uAxis);
        m_pProgram->setUniformValue(u.genV, texGen->vAxis);
        m_pProgram->setUniformValue(u.genOffset, texGen->offset);
    }
    const CRMTexture* texture = mesh.Texture();
    const bool textured =
        texture != nullptr && !texture->Image().isNull() && fill == D3DRMFILL_SOLID;
    m_pProgram->setUniformValue(u.textured, textured);
    m_pProgram->setUniformValue(u.perspective, mesh.GetPerspective());
    if (textured) {
        BindTexture(*texture, scene.textureQuality);
    }
    m_pGL->glBindVertexArray(gpu.vao);
    m_pGL->glDrawArrays(GL_TRIANGLES, 0, gpu.corners);
}
