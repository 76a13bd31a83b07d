#include "DirectX.h"

#include <QApplication>
#include <QMessageBox>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QScreen>
#include <cstring>
#include <memory>

#include "FailureReport.h"
#include "GLSurface.h"
#include "Timing.h"

namespace {

// The one hardware device there is: OpenGL on the display's graphics hardware.
constexpr GUID kHardwareDevice = {
    0x4f70e3a1, 0x7c2e, 0x4b1a, {0x9d, 0x3b, 0x56, 0x4f, 0x47, 0x4c, 0x33, 0x33}};

// Whether OpenGL contexts of `format` can be made on the display; the renderer's name when
// `renderer` is given and the context has at least that version.
bool ProbeContext(const QSurfaceFormat& format, QString* renderer) {
    QOffscreenSurface surface;
    surface.setFormat(format);
    surface.create();
    QOpenGLContext context;
    context.setFormat(format);
    if (!surface.isValid() || !context.create()) {
        return false;
    }
    if (context.format().version() < format.version()) {
        return false;
    }
    if (renderer != nullptr) {
        if (!context.makeCurrent(&surface)) {
            return false;
        }
        const auto* name =
            reinterpret_cast<const char*>(context.functions()->glGetString(GL_RENDERER));
        *renderer = QString::fromLatin1(name != nullptr ? name : "");
        context.doneCurrent();
    }
    return true;
}

QSurfaceFormat CoreFormat() {
    QSurfaceFormat format;
    format.setVersion(CGLSurface::kMajor, CGLSurface::kMinor);
    format.setProfile(QSurfaceFormat::CoreProfile);
    return format;
}

}  // namespace

bool IsSoftwareRasteriser(const QString& renderer) {
    for (const char* name : {"llvmpipe", "softpipe", "swrast", "software rasterizer"}) {
        if (renderer.contains(QLatin1String(name), Qt::CaseInsensitive)) {
            return true;
        }
    }
    return false;
}

CDirectX::CDirectX() : m_pLog(std::make_shared<CRMCallLog>()) {}

RMPtr<CRM> CDirectX::Direct3DRMCreate() {
    m_pLog->Call("Direct3DRMCreate");
    return RMPtr<CRM>::Adopt(new CRM(m_pLog));
}

RMPtr<CDDClipper> CDirectX::DirectDrawCreateClipper(unsigned flags) {
    m_pLog->Call("DirectDrawCreateClipper", flags);
    return RMPtr<CDDClipper>::Adopt(new CDDClipper);
}

bool CDirectX::SetHWnd(CDDClipper& clipper, unsigned flags, QWidget* window) {
    m_pLog->Call("SetHWnd", flags);
    if (window == nullptr) {
        return false;
    }
    clipper.SetWindow(window);
    return true;
}

RMPtr<CDirectDraw> CDirectX::DirectDrawCreate() {
    m_pLog->Call("DirectDrawCreate");
    if (!ProbeContext(QSurfaceFormat(), nullptr)) {
        return {};
    }
    return RMPtr<CDirectDraw>::Adopt(new CDirectDraw);
}

RMPtr<CDirect3D> CDirectX::QueryDirect3D(CDirectDraw& directDraw) {
    m_pLog->Call("QueryInterface IID_IDirect3D");
    static_cast<void>(directDraw);
    QString renderer;
    if (!ProbeContext(CoreFormat(), &renderer)) {
        return {};
    }
    return RMPtr<CDirect3D>::Adopt(new CDirect3D(renderer));
}

bool CDirectX::FindDevice(CDirect3D& direct3D, const D3DFINDDEVICESEARCH& search,
                          D3DFINDDEVICERESULT& result) {
    m_pLog->Call("FindDevice", search.dwFlags, search.bHardware);
    if (search.dwSize != sizeof search || result.dwSize != sizeof result) {
        return false;
    }
    const bool bHardware = IsHardwareRenderer(direct3D.Renderer());
    if ((search.dwFlags & D3DFDS_HARDWARE) != 0 && (search.bHardware != 0) != bHardware) {
        return false;
    }
    result.guid = kHardwareDevice;
    const QByteArray name = direct3D.Renderer().toLatin1();
    std::strncpy(result.szRenderer, name.constData(), sizeof result.szRenderer - 1);
    result.szRenderer[sizeof result.szRenderer - 1] = 0;
    return true;
}

RMPtr<CRMDevice> CDirectX::CreateDeviceFromClipper(CRM& rm, CDDClipper& clipper, const GUID* guid,
                                                   int width, int height) {
    m_pLog->Call("CreateDeviceFromClipper", guid != nullptr ? "hardware" : "default", width,
                 height);
    static_cast<void>(rm);
    QWidget* window = clipper.Window();
    if (window == nullptr || width <= 0 || height <= 0 || !ProbeContext(CoreFormat(), nullptr)) {
        return {};
    }
    auto* surface = new CGLSurface(window);
    surface->setGeometry(0, 0, width, height);
    surface->show();
    return RMPtr<CRMDevice>::Adopt(new CRMDevice(m_pLog, surface, guid != nullptr));
}

RMPtr<CRMWinDevice> CDirectX::QueryWinDevice(CRMDevice& device) {
    m_pLog->Call("QueryInterface IID_IDirect3DRMWinDevice");
    return RMPtr<CRMWinDevice>::Adopt(new CRMWinDevice(&device));
}

bool CDirectX::HandleActivate(CRMWinDevice& device, unsigned state) {
    m_pLog->Call("HandleActivate", state);
    static_cast<void>(device);
    return true;
}

int CDirectX::DisplayBits(QWidget* window) {
    const QScreen* screen = window != nullptr ? window->screen() : nullptr;
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    return screen != nullptr ? screen->depth() : 0;
}

std::uint32_t CDirectX::TickCount() {
    return GetTickCount();
}

int CDirectX::PumpOneMessage() {
    QCoreApplication::processEvents();
    return 1;
}

void CDirectX::ShowMessage(QWidget* parent, const QString& text) {
    ShowFailureBox(parent, text);
}

void CDirectX::ShowResult(QWidget* parent, const QString& caption, const QString& text) {
    QMessageBox::information(parent, caption, text, QMessageBox::Ok);
}

bool CDirectX::IsHardwareRenderer(const QString& renderer) {
    return !IsSoftwareRasteriser(renderer);
}
