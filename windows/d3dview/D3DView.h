// The 3D test view of the settings window: the device set-up and the window's messages
// (D3DView.cpp), the scene, its options and the speed test (D3DScene.cpp).
#pragma once

#include <QImage>
#include <QMetaObject>
#include <memory>
#include <vector>

#include "D3DTestState.h"
#include "DialogBuilder.h"
#include "DirectX.h"
#include "SettingsView.h"

class QPainter;

class CD3DView : public ISettingsView {
  public:
    // The speed test's length.
    static constexpr std::uint32_t kSpeedTestMs = 20000;

    CD3DView(ISettingsViewHost& host, std::unique_ptr<CDirectX> directX);
    ~CD3DView() override;
    CD3DView(const CD3DView&) = delete;
    CD3DView& operator=(const CD3DView&) = delete;

    // What the settings window asks of its view.
    bool Start() override;
    void EndSpeedTest() override;
    bool OnClose() override;
    void Release() override;
    bool OnActivate(bool bActive) override;
    void Paint(QPainter& painter, const QRegion& region) override;

    // Device set-up.
    bool StartDirect3D();
    const GUID* FindHardwareDevice();
    // Fills the view area black: the device's surface, and through `painter` (while the window
    // paints) the window's margin around it.
    void ClearViewArea(QPainter* painter = nullptr);
    void OnEraseBkgnd(QPainter& painter);
    void OnPaint();

    // The scene, the options and the speed test.
    bool BuildScene();
    void WrapTextures();
    void ScrollMesh2Texture(float u, float v);
    void RenderFrame();
    void MovePointLight();
    void OnLightCheck(int slot);
    void OnDitherCheck();
    void OnPerspectiveCheck();
    void OnShadingChange();
    void OnTextureFilterChange();
    void OnSpeedTest();

    const D3DTestState& State() const { return m_s; }
    CDirectX& DirectX() { return *m_pDirectX; }
    // The view area of the window (client coordinates), black while the view runs.
    QRect ViewArea() const;
    // The viewport's picture as the device shows it now; null before the device can draw.
    QImage GrabView() const;

  private:
    template <class T>
    T* Get(int id) const {
        return m_host.Controls().Get<T>(id);
    }
    // The settings window, the parent of the surface and the message boxes.
    QWidget* Window() const { return &m_host.Window(); }
    bool Ticked(int id) const;
    void ConnectControls();
    void Report(const char* text);
    // The width and height of the device: the view rectangle's right and bottom edges plus its
    // left and top margins, from the client origin.
    int DeviceWidth() const;
    int DeviceHeight() const;

    ISettingsViewHost& m_host;
    std::unique_ptr<CDirectX> m_pDirectX;
    D3DTestState m_s;
    std::vector<QMetaObject::Connection> m_connections;
    bool m_bWinDeviceReported = false;
    bool m_bActivateReported = false;
    bool m_bDepthChangeReported = false;
};

// Scales the mesh evenly so that its largest extent becomes `size`; returns the factor. A mesh
// without extent is left as it is (factor 1).
float FitMeshToSize(CRMMeshBuilder& mesh, float size);

// The view the program gives its settings window.
std::unique_ptr<ISettingsView> MakeD3DView(ISettingsViewHost& host);
