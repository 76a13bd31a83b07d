// The scene of the 3D view, its render options and the speed test.
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <algorithm>

#include "D3DTexts.h"
#include "D3DView.h"
#include "SettingsDlgIds.h"

using namespace ids::settings;

namespace {

// The render quality of each entry of the shading list.
constexpr unsigned kShadingQualities[] = {D3DRMRENDER_WIREFRAME, D3DRMRENDER_UNLITFLAT,
                                          D3DRMRENDER_FLAT, D3DRMRENDER_GOURAUD, D3DRMRENDER_PHONG};
constexpr int kTextureFilterCount = 6;

struct LightRecipe {
    int box;
    D3DRMLIGHTTYPE type;
    float r, g, b;
    bool bPosition;
    float px, py, pz;
    bool bOrientation;
    float dx, dy, dz;
};

// The five switchable lights, in slot order; positions and orientations relative to the scene,
// every orientation with the up vector (0, 1, 0).
constexpr LightRecipe kLights[kLightSlots] = {
    {kAmbientLight, D3DRMLIGHT_AMBIENT, 0.6f, 0.6f, 0.6f, false, 0, 0, 0, false, 0, 0, 0},
    {kDirectionalLight, D3DRMLIGHT_DIRECTIONAL, 1, 1, 1, false, 0, 0, 0, true, -1, 0, 1},
    {kPointLight, D3DRMLIGHT_POINT, 1, 1, 1, true, 0, 8, 0, false, 0, 0, 0},
    {kParallelPointLight, D3DRMLIGHT_PARALLELPOINT, 1, 0.3f, 0.3f, true, -3, 3, 3, true, 1, 1, 1},
    {kSpotLight, D3DRMLIGHT_SPOT, 0.3f, 1, 0.3f, true, 0, 50, -50, true, 0, -1, 1},
};

// Where the three shadow casters stand, after fitting and before their scale of 2.
constexpr float kCasterOffsets[kShadowSlots][3] = {{0, 0, 1}, {1, 0, 0}, {0, 0, 2}};

// 1 / extent, or 1 for a mesh without extent along that axis.
float Inverse(float extent) {
    return extent > 0 ? 1 / extent : 1;
}

}  // namespace

float FitMeshToSize(CRMMeshBuilder& mesh, float size) {
    D3DRMBOX box;
    mesh.GetBox(&box);
    const float ex = box.max.x() - box.min.x();
    const float ey = box.max.y() - box.min.y();
    const float ez = box.max.z() - box.min.z();
    const float m = std::max({ex > 0 ? ex : 0.0f, ey, ez});
    if (!(m > 0)) {
        return 1;
    }
    const float factor = size / m;
    mesh.Scale(factor, factor, factor);
    return factor;
}

bool CD3DView::BuildScene() {
    CRM& rm = *m_s.m_pD3DRM;
    // The ground and the backdrop, each with its picture.
    auto loadTextured = [&](int slot, const char* file, float scale, const char* picture) {
        m_s.m_apMeshes[slot] = rm.CreateMeshBuilder();
        CRMMeshBuilder& mesh = *m_s.m_apMeshes[slot];
        if (!mesh.Load(file)) {
            return false;
        }
        FitMeshToSize(mesh, 1);
        mesh.Translate(0, 0, 0);
        mesh.Scale(scale, scale, scale);
        RMPtr<CRMTexture> texture = rm.LoadTexture(picture);
        if (!texture) {
            return false;
        }
        mesh.SetTexture(texture.get());
        return true;
    };
    if (!loadTextured(0, "1.x", 25, "test1.bmp") || !loadTextured(1, "2.x", 100, "test2.bmp")) {
        return false;
    }
    WrapTextures();

    for (int i = 0; i < kShadowSlots; ++i) {
        m_s.m_apMeshes[2 + i] = rm.CreateMeshBuilder();
        CRMMeshBuilder& mesh = *m_s.m_apMeshes[2 + i];
        if (!mesh.Load("3.x")) {
            return false;
        }
        FitMeshToSize(mesh, 1);
        mesh.Translate(kCasterOffsets[i][0], kCasterOffsets[i][1], kCasterOffsets[i][2]);
        mesh.Scale(2, 2, 2);
    }
    m_s.m_apMeshes[5] = rm.CreateMeshBuilder();
    CRMMeshBuilder& sphere = *m_s.m_apMeshes[5];
    if (!sphere.Load("sphere.x")) {
        return false;
    }
    FitMeshToSize(sphere, 1);
    sphere.Scale(1, 1, 1);

    CRMFrame* scene = m_s.m_pScene.get();
    m_s.m_pMeshFrame = rm.CreateFrame(scene);
    for (int slot = 0; slot < 5; ++slot) {
        m_s.m_pMeshFrame->AddVisual(m_s.m_apMeshes[slot].get());
    }
    m_s.m_pMeshFrame->SetPosition(scene, 0, 0, 0);

    // The boxes as they stand: at the start every light is on, with the sphere and the shadows.
    OnDitherCheck();
    OnPerspectiveCheck();
    for (int slot : {kAmbient, kDirectional, kPoint, kParallelPoint, kSpot}) {
        OnLightCheck(slot);
    }

    m_s.m_apMeshes[0]->SetMaterial(nullptr);
    {
        RMPtr<CRMMaterial> material = rm.CreateMaterial(10);
        for (int slot = 1; slot < 5; ++slot) {
            m_s.m_apMeshes[slot]->SetMaterial(material.get());
        }
    }
    sphere.SetQuality(D3DRMRENDER_UNLITFLAT);

    m_s.m_pCamera = rm.CreateFrame(scene);
    m_s.m_pCamera->SetPosition(scene, 0, 8, -10);
    m_s.m_pViewport = rm.CreateViewport(m_s.m_pDevice.get(), m_s.m_pCamera.get(), 0, 0,
                                        DeviceWidth(), m_s.m_rcView.y() + m_s.m_rcView.height());
    if (!m_s.m_pViewport) {
        return false;
    }
    m_s.m_pViewport->SetBack(100);
    m_s.m_pViewport->SetFront(0.5f);
    return true;
}

void CD3DView::WrapTextures() {
    CRM& rm = *m_s.m_pD3DRM;
    // The ground's picture once across it, the backdrop's ten times.
    const float repeats[] = {1, 10};
    for (int slot = 0; slot < 2; ++slot) {
        CRMMeshBuilder* mesh = m_s.m_apMeshes[slot].get();
        D3DRMBOX box;
        mesh->GetBox(&box);
        const float ex = (box.max.x() - box.min.x()) / repeats[slot];
        const float ez = (box.max.z() - box.min.z()) / repeats[slot];
        RMPtr<CRMWrap> wrap = rm.CreateWrap(D3DRMWRAP_FLAT, m_s.m_pScene.get(), 0, 0, 0, 0, 1, 0, 0,
                                            0, 1, 0, 0, Inverse(ex), Inverse(ez));
        if (wrap) {
            wrap->Apply(mesh);
        }
    }
}

void CD3DView::ScrollMesh2Texture(float u, float v) {
    CRMMeshBuilder* mesh = m_s.m_apMeshes[1].get();
    if (!m_s.m_pD3DRM || mesh == nullptr) {
        return;
    }
    D3DRMBOX box;
    mesh->GetBox(&box);
    const float ex = (box.max.x() - box.min.x()) * 0.1f;
    const float ez = (box.max.z() - box.min.z()) * 0.1f;
    RMPtr<CRMWrap> wrap = m_s.m_pD3DRM->CreateWrap(D3DRMWRAP_FLAT, m_s.m_pScene.get(), 0, 0, 0, 0,
                                                   1, 0, 0, 0, 1, u, v, Inverse(ex), Inverse(ez));
    if (wrap) {
        wrap->Apply(mesh);
    }
}

void CD3DView::RenderFrame() {
    // Nothing to draw without a device, nor before the scene has its camera and viewport (a
    // start that failed half-way).
    if (!m_s.m_pDevice || !m_s.m_pCamera || !m_s.m_pViewport || !m_s.m_pScene) {
        return;
    }
    m_s.m_pCamera->AddRotation(D3DRMCOMBINE_AFTER, 0, 1, 0, m_s.m_fSpinStep);
    MovePointLight();
    m_s.m_pViewport->Clear();
    m_s.m_pViewport->Render(m_s.m_pScene.get());
    m_s.m_pDevice->Update();
}

void CD3DView::MovePointLight() {
    CRMFrame* frame = m_s.m_apLightFrames[kPoint].get();
    if (frame == nullptr) {
        return;
    }
    // Five degrees further round a circle of radius 10 at height 7; the sphere spins.
    m_s.m_nOrbitStep += 2;
    if (m_s.m_nOrbitStep > kOrbitSteps - 1) {
        m_s.m_nOrbitStep -= kOrbitSteps;
    }
    frame->SetPosition(m_s.m_pScene.get(), 10 * m_s.m_afOrbitSin[m_s.m_nOrbitStep], 7,
                       10 * m_s.m_afOrbitCos[m_s.m_nOrbitStep]);
    frame->AddRotation(D3DRMCOMBINE_BEFORE, 1, 0, 0, 6.2831855f * -0.104166664f);
}

void CD3DView::OnLightCheck(int slot) {
    if (!m_s.m_pD3DRM || !m_s.m_pScene || slot < 0 || slot >= kLightSlots) {
        return;
    }
    const LightRecipe& recipe = kLights[slot];
    CRMFrame* scene = m_s.m_pScene.get();
    RMPtr<CRMFrame>& frame = m_s.m_apLightFrames[slot];
    RMPtr<CRMLight>& light = m_s.m_apLights[slot];
    if (Ticked(recipe.box)) {
        if (!frame) {
            frame = m_s.m_pD3DRM->CreateFrame(scene);
            if (recipe.bPosition) {
                frame->SetPosition(scene, recipe.px, recipe.py, recipe.pz);
            }
            if (recipe.bOrientation) {
                frame->SetOrientation(scene, recipe.dx, recipe.dy, recipe.dz, 0, 1, 0);
            }
            light = m_s.m_pD3DRM->CreateLightRGB(recipe.type, recipe.r, recipe.g, recipe.b);
            frame->AddLight(light.get());
            if (slot == kPoint) {
                frame->AddVisual(m_s.m_apMeshes[5].get());
                for (int i = 0; i < kShadowSlots; ++i) {
                    m_s.m_apShadows[i] = m_s.m_pD3DRM->CreateShadow(m_s.m_apMeshes[2 + i].get(),
                                                                    light.get(), 0, 1, 0, 0, 1, 0);
                    m_s.m_pMeshFrame->AddVisual(m_s.m_apShadows[i].get());
                }
            }
        }
    } else if (frame) {
        frame->DeleteLight(light.get());
        if (slot == kPoint) {
            frame->DeleteVisual(m_s.m_apMeshes[5].get());
        }
        // The emptied frame leaves the scene too, so switching lights does not pile them up.
        scene->DeleteChild(frame.get());
        frame.Release();
        light.Release();
        if (slot == kPoint) {
            for (RMPtr<CRMShadow>& shadow : m_s.m_apShadows) {
                m_s.m_pMeshFrame->DeleteVisual(shadow.get());
                shadow.Release();
            }
        }
    }
    if (m_s.m_bSceneReady == 1) {
        RenderFrame();
    }
}

void CD3DView::OnDitherCheck() {
    if (!m_s.m_pDevice) {
        return;
    }
    m_s.m_pDevice->SetDither(Ticked(kDither));
    if (m_s.m_bSceneReady == 1) {
        RenderFrame();
    }
}

void CD3DView::OnPerspectiveCheck() {
    const bool bPerspective = Ticked(kPerspective);
    for (int slot = 0; slot < 2; ++slot) {
        if (m_s.m_apMeshes[slot]) {
            m_s.m_apMeshes[slot]->SetPerspective(bPerspective);
        }
    }
    if (m_s.m_bSceneReady == 1) {
        RenderFrame();
    }
}

void CD3DView::OnShadingChange() {
    const int index = Get<QComboBox>(kShading)->currentIndex();
    if (index >= 0 && index < static_cast<int>(std::size(kShadingQualities))) {
        for (int slot = 0; slot < 5; ++slot) {
            if (m_s.m_apMeshes[slot]) {
                m_s.m_apMeshes[slot]->SetQuality(kShadingQualities[index]);
            }
        }
    }
    ClearViewArea();
    RenderFrame();
}

void CD3DView::OnTextureFilterChange() {
    const int index = Get<QComboBox>(kTextureFilter)->currentIndex();
    if (index >= 0 && index < kTextureFilterCount && m_s.m_pDevice) {
        m_s.m_pDevice->SetTextureQuality(static_cast<unsigned>(index));
    }
    ClearViewArea();
    RenderFrame();
    ClearViewArea();
    RenderFrame();
}

void CD3DView::OnSpeedTest() {
    if (!m_s.m_pDevice) {
        return;
    }
    auto* button = Get<QPushButton>(kTest);
    m_s.m_bTestRunning = 1;
    ClearViewArea();
    button->setEnabled(false);

    const unsigned t0 = m_s.m_pDevice->GetTrianglesDrawn();
    // The time is measured as elapsed milliseconds, which stay right when the 32-bit tick
    // count wraps round during the test.
    const std::uint32_t start = m_pDirectX->TickCount();
    unsigned frames = 0;
    bool bClosed = false;
    while (m_pDirectX->TickCount() - start < kSpeedTestMs) {
        if (m_pDirectX->PumpOneMessage() == 0) {
            continue;
        }
        if (!m_s.m_pDevice) {
            bClosed = true;  // "確  定 " closed the window meanwhile
            break;
        }
        m_s.m_fSpinStep = 0.01f;
        RenderFrame();
        m_s.m_fScrollV += 0.0065f;
        m_s.m_fScrollU += 0.0065f;
        ScrollMesh2Texture(m_s.m_fScrollU, m_s.m_fScrollV);
        ++frames;
    }
    m_s.m_fSpinStep = 0;
    button->setEnabled(true);
    if (bClosed) {
        m_s.m_bTestRunning = 0;
        return;
    }
    const unsigned t1 = m_s.m_pDevice->GetTrianglesDrawn();
    const unsigned seconds = kSpeedTestMs / 1000;
    m_pDirectX->ShowResult(
        Window(), QString::fromUtf8(texts::kD3DSpeedTestCaption),
        QString::asprintf(texts::kD3DSpeedTestResult, static_cast<int>(frames / seconds),
                          static_cast<int>((t1 - t0) / seconds)));
    m_s.m_bTestRunning = 0;
}
