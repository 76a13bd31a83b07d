// The device set-up of the 3D view and its part in the settings window's messages.
#include "D3DView.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPainter>
#include <QPushButton>
#include <cmath>

#include "D3DTexts.h"
#include "DrawingResources.h"
#include "FailureReport.h"
#include "SettingsDlgIds.h"

using namespace ids::settings;

namespace {

constexpr int kLightBoxes[kLightSlots] = {kAmbientLight, kDirectionalLight, kPointLight,
                                          kParallelPointLight, kSpotLight};

// A Windows rectangle's right and bottom edges lie just outside it.
int Right(const QRect& r) {
    return r.x() + r.width();
}
int Bottom(const QRect& r) {
    return r.y() + r.height();
}

// The wait cursor, for as long as the view starts.
struct CWaitCursor {
    CWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CWaitCursor() { QApplication::restoreOverrideCursor(); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};

}  // namespace

CD3DView::CD3DView(ISettingsViewHost& host, std::unique_ptr<CDirectX> directX)
    : m_host(host), m_pDirectX(std::move(directX)) {}

CD3DView::~CD3DView() {
    for (const QMetaObject::Connection& connection : m_connections) {
        QObject::disconnect(connection);
    }
}

std::unique_ptr<ISettingsView> MakeD3DView(ISettingsViewHost& host) {
    return std::make_unique<CD3DView>(host, std::make_unique<CDirectX>());
}

bool CD3DView::Ticked(int id) const {
    return Get<QCheckBox>(id)->isChecked();
}

void CD3DView::Report(const char* text) {
    m_pDirectX->ShowMessage(Window(), QString::fromUtf8(text));
}

int CD3DView::DeviceWidth() const {
    return m_s.m_rcView.x() + Right(m_s.m_rcView);
}

int CD3DView::DeviceHeight() const {
    return m_s.m_rcView.y() + Bottom(m_s.m_rcView);
}

QRect CD3DView::ViewArea() const {
    return {0, 0, Right(m_s.m_rcView) + 15, Bottom(m_s.m_rcView) + 15};
}

QImage CD3DView::GrabView() const {
    if (!m_s.m_pDevice || !m_s.m_pViewport) {
        return {};
    }
    const QImage surface = m_s.m_pDevice->Grab();
    return surface.isNull() ? surface : surface.copy(m_s.m_pViewport->Rect());
}

// --- Start ---

bool CD3DView::Start() {
    m_s.m_bSceneReady = 0;
    m_s.m_rcView = m_host.ViewRect();
    m_s.m_pD3DRM = m_pDirectX->Direct3DRMCreate();
    if (!m_s.m_pD3DRM || !StartDirect3D()) {
        return false;
    }
    m_s.m_bTestRunning = 0;
    m_s.m_fSpinStep = 0;
    m_s.m_fScrollU = 0;
    m_s.m_fScrollV = 0;
    m_s.m_bFirstPaint = 1;
    m_s.m_bSceneReady = 1;
    m_s.m_nOrbitStep = 0;
    // 144 steps round the circle, worked out once in extended precision.
    for (int i = 0; i < kOrbitSteps; ++i) {
        const long double angle = static_cast<long double>(i) *
                                  static_cast<long double>(6.2831855f) *
                                  static_cast<long double>(0.0069444445f);
        m_s.m_afOrbitCos[i] = static_cast<float>(std::cos(angle));
        m_s.m_afOrbitSin[i] = static_cast<float>(std::sin(angle));
    }
    ConnectControls();
    return true;
}

void CD3DView::ConnectControls() {
    auto onClick = [this](int id, auto handler) {
        m_connections.push_back(QObject::connect(
            Get<QAbstractButton>(id), &QAbstractButton::clicked, Window(),
            [this, handler] { RunUserAction(Window(), [this, handler] { handler(*this); }); }));
    };
    auto onChoice = [this](int id, auto handler) {
        m_connections.push_back(QObject::connect(
            Get<QComboBox>(id), &QComboBox::activated, Window(),
            [this, handler] { RunUserAction(Window(), [this, handler] { handler(*this); }); }));
    };
    onClick(kTest, [](CD3DView& view) { view.OnSpeedTest(); });
    onClick(kDither, [](CD3DView& view) { view.OnDitherCheck(); });
    onClick(kPerspective, [](CD3DView& view) { view.OnPerspectiveCheck(); });
    for (int slot = 0; slot < kLightSlots; ++slot) {
        onClick(kLightBoxes[slot], [slot](CD3DView& view) { view.OnLightCheck(slot); });
    }
    onChoice(kShading, [](CD3DView& view) { view.OnShadingChange(); });
    onChoice(kTextureFilter, [](CD3DView& view) { view.OnTextureFilterChange(); });
}

bool CD3DView::StartDirect3D() {
    const CWaitCursor waitCursor;
    m_s.m_nDisplayBits = m_pDirectX->DisplayBits(Window());

    m_s.m_pClipper = m_pDirectX->DirectDrawCreateClipper(0);
    if (!m_s.m_pClipper) {
        Report(texts::kD3DInitFailed);
        return false;
    }
    if (!m_pDirectX->SetHWnd(*m_s.m_pClipper, 0, Window())) {
        Report(texts::kD3DInitFailed);
        return false;
    }
    const GUID* guid = FindHardwareDevice();
    m_s.m_pDevice = m_pDirectX->CreateDeviceFromClipper(*m_s.m_pD3DRM, *m_s.m_pClipper, guid,
                                                        DeviceWidth(), DeviceHeight());
    if (!m_s.m_pDevice) {
        return false;
    }

    // Colours and shades to suit the display's depth; dithering only where colours are few.
    CRMDevice& device = *m_s.m_pDevice;
    CRM& rm = *m_s.m_pD3DRM;
    switch (m_s.m_nDisplayBits) {
        case 8:
            device.SetDither(true);
            Get<QCheckBox>(kDither)->setChecked(true);
            break;
        case 16:
            device.SetShades(32);
            rm.SetDefaultTextureColors(64);
            rm.SetDefaultTextureShades(32);
            device.SetDither(false);
            Get<QCheckBox>(kDither)->setChecked(false);
            break;
        case 24:
        case 32:
            device.SetShades(256);
            rm.SetDefaultTextureColors(64);
            rm.SetDefaultTextureShades(256);
            device.SetDither(false);
            Get<QCheckBox>(kDither)->setChecked(false);
            break;
        default:
            break;
    }
    // Smooth shading and linear filtering, whatever the filter list shows.
    device.SetQuality(D3DRMRENDER_GOURAUD);
    device.SetTextureQuality(D3DRMTEXTURE_LINEAR);

    m_s.m_pScene = rm.CreateFrame(nullptr);
    if (!BuildScene()) {
        Report(texts::kD3DSceneFailed);
        return false;
    }
    return true;
}

const GUID* CD3DView::FindHardwareDevice() {
    D3DFINDDEVICESEARCH search{};
    D3DFINDDEVICERESULT& result = m_s.m_findResult;
    result = {};
    search.dwSize = sizeof search;
    search.dwFlags = D3DFDS_HARDWARE | D3DFDS_TEXTURECAPS;
    search.bHardware = 1;
    result.dwSize = sizeof result;

    RMPtr<CDirectDraw> directDraw = m_pDirectX->DirectDrawCreate();
    if (!directDraw) {
        Report(texts::kD3DDirectDrawCreateFailed);
        return nullptr;
    }
    RMPtr<CDirect3D> direct3D = m_pDirectX->QueryDirect3D(*directDraw);
    if (!direct3D) {
        Report(texts::kD3DQueryDirect3DFailed);
        directDraw.Release();
        return nullptr;
    }
    auto* filters = Get<QComboBox>(kTextureFilter);
    if (m_pDirectX->FindDevice(*direct3D, search, result)) {
        m_s.m_pDeviceGuid = &result.guid;
        Window()->setWindowTitle(QString::asprintf(texts::kD3DTitleHardware, m_s.m_nDisplayBits));
        filters->setEnabled(true);
        filters->setCurrentIndex(1);
    } else {
        m_s.m_pDeviceGuid = nullptr;
        Window()->setWindowTitle(QString::asprintf(texts::kD3DTitleSoftware, m_s.m_nDisplayBits));
        filters->setEnabled(false);
        filters->setCurrentIndex(0);
    }
    direct3D.Release();
    directDraw.Release();
    return m_s.m_pDeviceGuid;
}

// --- The window's messages ---

void CD3DView::ClearViewArea(QPainter* painter) {
    if (painter != nullptr) {
        painter->fillRect(ViewArea(), Qt::black);
    }
    if (m_s.m_pDevice) {
        m_s.m_pDevice->ClearSurface();
    }
}

void CD3DView::Paint(QPainter& painter, const QRegion& region) {
    // Repaints of the controls' own backgrounds leave the view alone; the view is drawn again
    // only when its own area needs it.
    if (!region.intersects(ViewArea())) {
        return;
    }
    OnEraseBkgnd(painter);
    OnPaint();
}

void CD3DView::OnEraseBkgnd(QPainter& painter) {
    painter.fillRect(Window()->rect(), SharedDrawing().m_crPanel);
    ClearViewArea(&painter);
    RenderFrame();
}

void CD3DView::OnPaint() {
    if (m_s.m_bFirstPaint != 1) {
        return;
    }
    // The first picture: the camera looks down on the scene by a twelfth of a turn.
    ClearViewArea();
    m_s.m_bFirstPaint = 0;
    RenderFrame();
    ClearViewArea();
    if (m_s.m_pCamera) {
        m_s.m_pCamera->AddRotation(D3DRMCOMBINE_BEFORE, 1, 0, 0, 6.2831855f * 0.083333336f);
    }
    RenderFrame();
}

bool CD3DView::OnActivate(bool bActive) {
    // A failure here would come back with every activation: it is reported once.
    if (m_s.m_pDevice) {
        RMPtr<CRMWinDevice> winDevice = m_pDirectX->QueryWinDevice(*m_s.m_pDevice);
        if (!winDevice) {
            if (!std::exchange(m_bWinDeviceReported, true)) {
                Report(texts::kD3DWinDeviceFailed);
            }
        } else {
            if (!m_pDirectX->HandleActivate(*winDevice, bActive ? 1 : 0) &&
                !std::exchange(m_bActivateReported, true)) {
                Report(texts::kD3DHandleActivateFailed);
            }
            winDevice.Release();
            RenderFrame();
        }
    }
    // The view was tuned to the depth it started on; on another the window confirms itself,
    // once: a confirm that stops (a missing "user.txt") leaves the window open without asking
    // again at every activation.
    const bool bStarted = m_s.m_pD3DRM && m_s.m_pClipper && m_s.m_pDevice && m_s.m_pScene;
    if (bStarted && m_pDirectX->DisplayBits(Window()) != m_s.m_nDisplayBits &&
        !m_bDepthChangeReported) {
        m_bDepthChangeReported = true;
        return true;
    }
    return false;
}

void CD3DView::EndSpeedTest() {
    m_s.m_bTestRunning = 0;
}

bool CD3DView::OnClose() {
    if (m_s.m_bTestRunning == 1) {
        return false;
    }
    Release();
    return true;
}

void CD3DView::Release() {
    m_s.m_pScene.Release();
    m_s.m_pDevice.Release();
    m_s.m_pD3DRM.Release();
    m_s.m_pClipper.Release();
    // What the scene was made of goes too, and with the last reference to the device its
    // OpenGL surface.
    m_s.m_pViewport.Release();
    m_s.m_pCamera.Release();
    m_s.m_pMeshFrame.Release();
    for (auto& shadow : m_s.m_apShadows) {
        shadow.Release();
    }
    for (int slot = 0; slot < kLightSlots; ++slot) {
        m_s.m_apLights[slot].Release();
        m_s.m_apLightFrames[slot].Release();
    }
    for (auto& mesh : m_s.m_apMeshes) {
        mesh.Release();
    }
    m_s.m_bSceneReady = 0;
}
