#include "RetainedMode.h"

#include <QtMath>
#include <algorithm>
#include <atomic>
#include <cmath>

namespace {

std::uint64_t NextSerial() {
    static std::atomic<std::uint64_t> serial{0};
    return ++serial;
}

// Straightens the rotation part of a rigid transform again after many small turns, so the
// rounding of thousands of frames never skews what the frame carries.
void Orthonormalise(QMatrix4x4& m) {
    QVector3D z = m.column(2).toVector3D();
    QVector3D y = m.column(1).toVector3D();
    if (z.isNull() || y.isNull()) {
        return;
    }
    z.normalize();
    QVector3D x = QVector3D::crossProduct(y, z).normalized();
    y = QVector3D::crossProduct(z, x);
    m.setColumn(0, QVector4D(x, 0));
    m.setColumn(1, QVector4D(y, 0));
    m.setColumn(2, QVector4D(z, 0));
}

template <class T>
bool Remove(std::vector<RMPtr<T>>& list, const T* item) {
    auto it =
        std::find_if(list.begin(), list.end(), [item](const RMPtr<T>& p) { return p == item; });
    if (it == list.end()) {
        return false;
    }
    list.erase(it);
    return true;
}

// The shade mode, lighting and fill a mesh gets on a device: the lesser of each. A device that
// shades smoothly also lights every pixel for a mesh that asks for Phong shading.
unsigned EffectiveQuality(unsigned mesh, unsigned device) {
    const unsigned meshShade = mesh & D3DRMSHADE_MASK;
    const unsigned deviceShade = device & D3DRMSHADE_MASK;
    const unsigned shade =
        deviceShade >= D3DRMSHADE_GOURAUD ? meshShade : std::min(meshShade, deviceShade);
    return shade | std::min(mesh & D3DRMLIGHT_MASK, device & D3DRMLIGHT_MASK) |
           std::min(mesh & D3DRMFILL_MASK, device & D3DRMFILL_MASK);
}

}  // namespace

// --- Textures, wraps, meshes ---

CRMTexture::CRMTexture(RMLogPtr log, QImage image)
    : m_pLog(std::move(log)),
      m_image(image.convertToFormat(QImage::Format_RGBA8888)),
      m_nSerial(NextSerial()) {}

void CRMWrap::Apply(CRMMeshBuilder* mesh) {
    m_pLog->Call("Apply");
    if (mesh != nullptr) {
        mesh->SetTexGen(m_texGen);
    }
}

CRMMeshBuilder::CRMMeshBuilder(RMLogPtr log) : CRMVisual(std::move(log)), m_nSerial(NextSerial()) {}

void CRMMeshBuilder::GetBox(D3DRMBOX* box) const {
    m_pLog->Call("GetBox");
    if (m_aPositions.empty()) {
        *box = {};
        return;
    }
    QVector3D lo = m_aPositions.front();
    QVector3D hi = lo;
    for (const QVector3D& p : m_aPositions) {
        lo = QVector3D(std::min(lo.x(), p.x()), std::min(lo.y(), p.y()), std::min(lo.z(), p.z()));
        hi = QVector3D(std::max(hi.x(), p.x()), std::max(hi.y(), p.y()), std::max(hi.z(), p.z()));
    }
    *box = {lo, hi};
}

void CRMMeshBuilder::Scale(float sx, float sy, float sz) {
    m_pLog->Call("Scale", sx, sy, sz);
    const QVector3D s(sx, sy, sz);
    for (QVector3D& p : m_aPositions) {
        p *= s;
    }
    // Normals turn the other way under an uneven scale.
    if (sx != 0 && sy != 0 && sz != 0) {
        const QVector3D inverse(1 / sx, 1 / sy, 1 / sz);
        for (QVector3D& n : m_aNormals) {
            n = (n * inverse).normalized();
        }
    }
    ++m_nGeometryVersion;
}

void CRMMeshBuilder::Translate(float tx, float ty, float tz) {
    m_pLog->Call("Translate", tx, ty, tz);
    const QVector3D t(tx, ty, tz);
    for (QVector3D& p : m_aPositions) {
        p += t;
    }
    ++m_nGeometryVersion;
}

void CRMMeshBuilder::SetTexture(CRMTexture* texture) {
    m_pLog->Call("SetTexture");
    m_pTexture = RMPtr<CRMTexture>(texture);
}

void CRMMeshBuilder::SetMaterial(CRMMaterial* material) {
    m_pLog->Call("SetMaterial", material != nullptr ? material->GetPower() : 0.0f);
    m_pMaterial = RMPtr<CRMMaterial>(material);
}

void CRMMeshBuilder::SetQuality(unsigned quality) {
    m_pLog->Call("SetQuality", quality);
    m_nQuality = quality;
}

void CRMMeshBuilder::SetPerspective(bool perspective) {
    m_pLog->Call("SetPerspective", perspective ? 1 : 0);
    m_bPerspective = perspective;
}

void CRMMeshBuilder::SetTexGen(const RMTexGen& texGen) {
    m_texGen = texGen;
    m_bTexGen = true;
}

// --- Lights and shadows ---

CRMShadow::CRMShadow(RMLogPtr log, CRMMeshBuilder* caster, CRMLight* light, QVector3D planePoint,
                     QVector3D planeNormal)
    : CRMVisual(std::move(log)),
      m_pCaster(caster),
      m_pLight(light),
      m_planePoint(planePoint),
      m_planeNormal(planeNormal.normalized()) {}

QVector4D CRMShadow::Plane() const {
    return {m_planeNormal, -QVector3D::dotProduct(m_planeNormal, m_planePoint)};
}

float CRMShadow::LightSide(const QVector4D& l) const {
    return QVector4D::dotProduct(Plane(), l);
}

QMatrix4x4 CRMShadow::Projection(const QVector4D& l) const {
    // The plane p = (n, d) with n.x + d = 0; every point goes where the line from the light
    // through it meets the plane: S = (p.l) I - l p^T.
    const QVector4D p = Plane();
    const float dot = QVector4D::dotProduct(p, l);
    QMatrix4x4 s;
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            s(row, col) = (row == col ? dot : 0.0f) - l[row] * p[col];
        }
    }
    return s;
}

// --- Frames ---

CRMFrame::~CRMFrame() {
    for (const RMPtr<CRMFrame>& child : m_apChildren) {
        child->m_pParent = nullptr;
    }
    for (const RMPtr<CRMLight>& light : m_apLights) {
        if (light->m_pFrame == this) {
            light->m_pFrame = nullptr;
        }
    }
}

QMatrix4x4 CRMFrame::World() const {
    QMatrix4x4 world = m_local;
    for (const CRMFrame* p = m_pParent; p != nullptr; p = p->m_pParent) {
        world = p->m_local * world;
    }
    return world;
}

QVector3D CRMFrame::WorldPosition() const {
    return World().column(3).toVector3D();
}

QMatrix4x4 CRMFrame::ReferenceToParent(CRMFrame* reference) const {
    if (reference == nullptr || reference == m_pParent) {
        return {};
    }
    const QMatrix4x4 parentWorld = m_pParent != nullptr ? m_pParent->World() : QMatrix4x4();
    return parentWorld.inverted() * reference->World();
}

void CRMFrame::SetPosition(CRMFrame* reference, float x, float y, float z) {
    m_pLog->Call("SetPosition", x, y, z);
    const QVector3D p = ReferenceToParent(reference).map(QVector3D(x, y, z));
    m_local.setColumn(3, QVector4D(p, 1));
}

void CRMFrame::SetOrientation(CRMFrame* reference, float dx, float dy, float dz, float ux, float uy,
                              float uz) {
    m_pLog->Call("SetOrientation", dx, dy, dz, ux, uy, uz);
    const QMatrix4x4 toParent = ReferenceToParent(reference);
    const QVector3D z = toParent.mapVector(QVector3D(dx, dy, dz)).normalized();
    const QVector3D up = toParent.mapVector(QVector3D(ux, uy, uz));
    const QVector3D x = QVector3D::crossProduct(up, z).normalized();
    if (z.isNull() || x.isNull()) {
        return;  // no direction, or the up vector along it: nothing to orient by
    }
    const QVector3D y = QVector3D::crossProduct(z, x);
    m_local.setColumn(0, QVector4D(x, 0));
    m_local.setColumn(1, QVector4D(y, 0));
    m_local.setColumn(2, QVector4D(z, 0));
}

void CRMFrame::AddRotation(D3DRMCOMBINETYPE combine, float x, float y, float z, float theta) {
    m_pLog->Call("AddRotation", static_cast<int>(combine), x, y, z, theta);
    if (QVector3D(x, y, z).isNull()) {
        return;
    }
    QMatrix4x4 rotation;
    rotation.rotate(qRadiansToDegrees(theta), x, y, z);
    switch (combine) {
        case D3DRMCOMBINE_REPLACE:
            m_local = rotation;
            break;
        case D3DRMCOMBINE_BEFORE:
            m_local = m_local * rotation;
            break;
        case D3DRMCOMBINE_AFTER:
            m_local = rotation * m_local;
            break;
    }
    Orthonormalise(m_local);
}

bool CRMFrame::AddVisual(CRMVisual* visual) {
    m_pLog->Call("AddVisual");
    if (visual == nullptr) {
        return false;
    }
    m_apVisuals.emplace_back(visual);
    return true;
}

bool CRMFrame::DeleteVisual(CRMVisual* visual) {
    m_pLog->Call("DeleteVisual");
    return Remove(m_apVisuals, visual);
}

bool CRMFrame::AddLight(CRMLight* light) {
    m_pLog->Call("AddLight");
    if (light == nullptr) {
        return false;
    }
    m_apLights.emplace_back(light);
    light->m_pFrame = this;
    return true;
}

bool CRMFrame::DeleteLight(CRMLight* light) {
    m_pLog->Call("DeleteLight");
    if (!Remove(m_apLights, light)) {
        return false;
    }
    if (light->m_pFrame == this) {
        light->m_pFrame = nullptr;
    }
    return true;
}

void CRMFrame::AddChild(CRMFrame* child) {
    if (child == nullptr || child == this) {
        return;
    }
    const RMPtr<CRMFrame> keep(child);
    if (child->m_pParent != nullptr) {
        Remove(child->m_pParent->m_apChildren, child);
    }
    child->m_pParent = this;
    m_apChildren.push_back(keep);
}

bool CRMFrame::DeleteChild(CRMFrame* child) {
    m_pLog->Call("DeleteChild");
    if (child == nullptr || child->m_pParent != this) {
        return false;
    }
    child->m_pParent = nullptr;
    return Remove(m_apChildren, child);
}

// --- Device and viewport ---

CRMDevice::CRMDevice(RMLogPtr log, IRMSurface* surface, bool bHardware)
    : m_pLog(std::move(log)),
      m_pSurface(surface),
      m_pWidget(surface != nullptr ? surface->Widget() : nullptr),
      m_bHardware(bHardware) {}

CRMDevice::~CRMDevice() {
    delete Surface();
}

void CRMDevice::SetQuality(unsigned quality) {
    m_pLog->Call("SetQuality", quality);
    m_nQuality = quality;
}

void CRMDevice::SetTextureQuality(unsigned quality) {
    m_pLog->Call("SetTextureQuality", quality);
    m_nTextureQuality = quality;
}

void CRMDevice::SetDither(bool dither) {
    m_pLog->Call("SetDither", dither ? 1 : 0);
    m_bDither = dither;
}

void CRMDevice::SetShades(unsigned shades) {
    m_pLog->Call("SetShades", shades);
    m_nShades = shades;
}

void CRMDevice::Update() {
    m_pLog->Call("Update");
    if (IRMSurface* surface = Surface()) {
        surface->Present();
    }
}

void CRMDevice::ClearSurface() {
    if (IRMSurface* surface = Surface()) {
        surface->Clear({});
        surface->Present();
    }
}

QImage CRMDevice::Grab() const {
    IRMSurface* surface = Surface();
    return surface != nullptr && surface->Ready() ? surface->Grab() : QImage();
}

CRMViewport::CRMViewport(RMLogPtr log, CRMDevice* device, CRMFrame* camera, int x, int y, int width,
                         int height)
    : m_pLog(std::move(log)), m_pDevice(device), m_pCamera(camera), m_rect(x, y, width, height) {}

void CRMViewport::SetFront(float front) {
    m_pLog->Call("SetFront", front);
    if (front > 0 && front < m_fBack) {
        m_fFront = front;
    }
}

void CRMViewport::SetBack(float back) {
    m_pLog->Call("SetBack", back);
    if (back > m_fFront) {
        m_fBack = back;
    }
}

void CRMViewport::SetField(float field) {
    m_pLog->Call("SetField", field);
    if (field > 0) {
        m_fField = field;
    }
}

void CRMViewport::Clear() {
    m_pLog->Call("Clear");
    if (IRMSurface* surface = m_pDevice->Surface()) {
        surface->Clear(m_rect);
    }
}

namespace {

struct SceneWalk {
    unsigned deviceQuality;
    RMSceneDraw& draw;
    std::vector<std::pair<const CRMShadow*, QMatrix4x4>> shadows;

    void Visit(const CRMFrame& frame, const QMatrix4x4& parentWorld) {
        const QMatrix4x4 world = parentWorld * frame.Local();
        for (const RMPtr<CRMLight>& light : frame.Lights()) {
            const QVector3D direction = world.mapVector(QVector3D(0, 0, 1)).normalized();
            draw.lights.push_back(
                {light->GetType(), light->GetColour(), world.column(3).toVector3D(), direction,
                 std::cos(light->GetUmbra() / 2), std::cos(light->GetPenumbra() / 2)});
        }
        for (const RMPtr<CRMVisual>& visual : frame.Visuals()) {
            if (const auto* mesh = dynamic_cast<const CRMMeshBuilder*>(visual.get())) {
                draw.items.push_back(
                    {mesh, world, EffectiveQuality(mesh->GetQuality(), deviceQuality)});
            } else if (const auto* shadow = dynamic_cast<const CRMShadow*>(visual.get())) {
                shadows.emplace_back(shadow, world);
            }
        }
        for (const RMPtr<CRMFrame>& child : frame.Children()) {
            Visit(*child, world);
        }
    }

    // A shadow falls where its light is now; a light no frame carries casts none.
    void AddShadows() {
        for (const auto& [shadow, world] : shadows) {
            const CRMLight* light = shadow->Light();
            if (light == nullptr || light->Frame() == nullptr) {
                continue;
            }
            const QMatrix4x4 lightWorld = light->Frame()->World();
            const QMatrix4x4 toFrame = world.inverted();
            QVector4D l;
            if (light->GetType() == D3DRMLIGHT_DIRECTIONAL) {
                l = QVector4D(-toFrame.mapVector(lightWorld.mapVector(QVector3D(0, 0, 1))), 0);
            } else if (light->GetType() == D3DRMLIGHT_AMBIENT) {
                continue;
            } else {
                l = QVector4D(toFrame.map(lightWorld.column(3).toVector3D()), 1);
            }
            // A light on or below the plane throws no shadow onto it.
            if (shadow->LightSide(l) <= 0) {
                continue;
            }
            const QMatrix4x4 projection = shadow->Projection(l);
            draw.items.push_back(
                {shadow->Caster(), world * projection, D3DRMRENDER_UNLITFLAT, true});
        }
    }
};

}  // namespace

void CRMViewport::Render(CRMFrame* scene) {
    m_pLog->Call("Render");
    IRMSurface* surface = m_pDevice->Surface();
    if (scene == nullptr || surface == nullptr || !surface->Ready()) {
        return;
    }
    RMSceneDraw draw;
    draw.viewport = m_rect;
    QMatrix4x4 camera = m_pCamera->World();
    Orthonormalise(camera);
    draw.view = camera.inverted();
    draw.eye = camera.column(3).toVector3D();
    // A left-handed view: x right, y up, z ahead. The field is half the larger side of the
    // view where it meets the front clipping plane.
    const float w = static_cast<float>(std::max(1, m_rect.width()));
    const float h = static_cast<float>(std::max(1, m_rect.height()));
    const float n = m_fFront;
    const float f = m_fBack;
    const float sx = w >= h ? n / m_fField : n * h / (m_fField * w);
    const float sy = w >= h ? n * w / (m_fField * h) : n / m_fField;
    draw.projection = QMatrix4x4(sx, 0, 0, 0,                                    //
                                 0, sy, 0, 0,                                    //
                                 0, 0, (f + n) / (f - n), -2 * f * n / (f - n),  //
                                 0, 0, 1, 0);
    draw.textureQuality = m_pDevice->GetTextureQuality();
    draw.dither = m_pDevice->GetDither();
    draw.shades = m_pDevice->GetShades();

    SceneWalk walk{m_pDevice->GetQuality(), draw, {}};
    const CRMFrame* parent = scene->GetParent();
    walk.Visit(*scene, parent != nullptr ? parent->World() : QMatrix4x4());
    walk.AddShadows();
    m_pDevice->CountTriangles(surface->Draw(draw));
}

// --- The Retained Mode object ---

RMPtr<CRMFrame> CRM::CreateFrame(CRMFrame* parent) {
    m_pLog->Call("CreateFrame", parent != nullptr ? "child" : "root");
    auto frame = RMPtr<CRMFrame>::Adopt(new CRMFrame(m_pLog));
    if (parent != nullptr) {
        parent->AddChild(frame.get());
    }
    return frame;
}

RMPtr<CRMMeshBuilder> CRM::CreateMeshBuilder() {
    m_pLog->Call("CreateMeshBuilder");
    return RMPtr<CRMMeshBuilder>::Adopt(new CRMMeshBuilder(m_pLog));
}

RMPtr<CRMTexture> CRM::LoadTexture(const char* file) {
    m_pLog->Call("LoadTexture", file);
    QImage image(QString::fromLocal8Bit(file));
    if (image.isNull()) {
        return {};
    }
    return RMPtr<CRMTexture>::Adopt(new CRMTexture(m_pLog, std::move(image)));
}

RMPtr<CRMWrap> CRM::CreateWrap(D3DRMWRAPTYPE type, CRMFrame* reference, float ox, float oy,
                               float oz, float dx, float dy, float dz, float ux, float uy, float uz,
                               float ou, float ov, float su, float sv) {
    m_pLog->Call("CreateWrap", static_cast<int>(type), ox, oy, oz, dx, dy, dz, ux, uy, uz, ou, ov,
                 su, sv);
    static_cast<void>(reference);  // the wrap is laid in the mesh's own coordinates
    const QVector3D z = QVector3D(dx, dy, dz).normalized();
    const QVector3D up(ux, uy, uz);
    const QVector3D x = QVector3D::crossProduct(up, z).normalized();
    if (type != D3DRMWRAP_FLAT || z.isNull() || x.isNull()) {
        return {};
    }
    const QVector3D y = QVector3D::crossProduct(z, x);
    const RMTexGen texGen{QVector3D(ox, oy, oz), x * su, y * sv, QVector2D(ou, ov)};
    return RMPtr<CRMWrap>::Adopt(new CRMWrap(m_pLog, texGen));
}

RMPtr<CRMLight> CRM::CreateLightRGB(D3DRMLIGHTTYPE type, float r, float g, float b) {
    m_pLog->Call("CreateLightRGB", static_cast<int>(type), r, g, b);
    return RMPtr<CRMLight>::Adopt(new CRMLight(m_pLog, type, r, g, b));
}

RMPtr<CRMShadow> CRM::CreateShadow(CRMVisual* visual, CRMLight* light, float px, float py, float pz,
                                   float nx, float ny, float nz) {
    m_pLog->Call("CreateShadow", px, py, pz, nx, ny, nz);
    auto* caster = dynamic_cast<CRMMeshBuilder*>(visual);
    if (caster == nullptr || light == nullptr || QVector3D(nx, ny, nz).isNull()) {
        return {};
    }
    return RMPtr<CRMShadow>::Adopt(
        new CRMShadow(m_pLog, caster, light, QVector3D(px, py, pz), QVector3D(nx, ny, nz)));
}

RMPtr<CRMMaterial> CRM::CreateMaterial(float power) {
    m_pLog->Call("CreateMaterial", power);
    return RMPtr<CRMMaterial>::Adopt(new CRMMaterial(m_pLog, power));
}

RMPtr<CRMViewport> CRM::CreateViewport(CRMDevice* device, CRMFrame* camera, int x, int y, int width,
                                       int height) {
    m_pLog->Call("CreateViewport", x, y, width, height);
    if (device == nullptr || camera == nullptr || width <= 0 || height <= 0) {
        return {};
    }
    return RMPtr<CRMViewport>::Adopt(new CRMViewport(m_pLog, device, camera, x, y, width, height));
}

void CRM::SetDefaultTextureColors(unsigned colors) {
    m_pLog->Call("SetDefaultTextureColors", colors);
    m_nTextureColors = colors;
}

void CRM::SetDefaultTextureShades(unsigned shades) {
    m_pLog->Call("SetDefaultTextureShades", shades);
    m_nTextureShades = shades;
}
