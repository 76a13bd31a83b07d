// What stands in for the DirectX runtime and the few window-system services the 3D view uses:
// the clipper that binds drawing to a window, the DirectDraw and Direct3D objects that find the
// rendering device, the Retained Mode object, the display's colour depth, the millisecond clock,
// the message pump and the message boxes.
//
// Every entry point is virtual, so a test can make any of them fail, or stand in a clock or a
// display of its own.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <cstdint>

#include "RetainedMode.h"

struct GUID {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];
};

inline constexpr unsigned D3DFDS_HARDWARE = 0x4;
inline constexpr unsigned D3DFDS_TEXTURECAPS = 0x1000;

struct D3DFINDDEVICESEARCH {
    unsigned dwSize;
    unsigned dwFlags;
    int bHardware;
    unsigned dwCaps[20];  // the capabilities asked for; all 0, none asked
};

struct D3DFINDDEVICERESULT {
    unsigned dwSize;
    GUID guid;
    char szRenderer[128];
};

// Binds a device's drawing to a window.
class CDDClipper : public CRMObject {
  public:
    QWidget* Window() const { return m_pWindow.data(); }
    void SetWindow(QWidget* window) { m_pWindow = window; }

  private:
    QPointer<QWidget> m_pWindow;
};

// The display's graphics: OpenGL can be used on it.
class CDirectDraw : public CRMObject {};

// The display's 3D graphics: an OpenGL 3.3 core context, and the renderer behind it.
class CDirect3D : public CRMObject {
  public:
    explicit CDirect3D(QString renderer) : m_strRenderer(std::move(renderer)) {}
    const QString& Renderer() const { return m_strRenderer; }

  private:
    QString m_strRenderer;
};

// True for Mesa's software rasterisers (llvmpipe, softpipe, swrast): a renderer without
// graphics hardware behind it.
bool IsSoftwareRasteriser(const QString& renderer);

class CDirectX {
  public:
    CDirectX();
    virtual ~CDirectX() = default;

    virtual RMPtr<CRM> Direct3DRMCreate();
    virtual RMPtr<CDDClipper> DirectDrawCreateClipper(unsigned flags);
    virtual bool SetHWnd(CDDClipper& clipper, unsigned flags, QWidget* window);
    virtual RMPtr<CDirectDraw> DirectDrawCreate();
    // IDirectDraw::QueryInterface for IID_IDirect3D.
    virtual RMPtr<CDirect3D> QueryDirect3D(CDirectDraw& directDraw);
    // True, with the device in `result`, when a device of the kind searched for exists.
    virtual bool FindDevice(CDirect3D& direct3D, const D3DFINDDEVICESEARCH& search,
                            D3DFINDDEVICERESULT& result);
    // A device of `width` x `height` pixels over the clipper's window from its client origin;
    // the hardware device for a GUID, the default one for null. Null without OpenGL 3.3 core.
    virtual RMPtr<CRMDevice> CreateDeviceFromClipper(CRM& rm, CDDClipper& clipper, const GUID* guid,
                                                     int width, int height);
    // IDirect3DRMDevice::QueryInterface for IID_IDirect3DRMWinDevice.
    virtual RMPtr<CRMWinDevice> QueryWinDevice(CRMDevice& device);
    virtual bool HandleActivate(CRMWinDevice& device, unsigned state);

    // Bits per pixel of the display the window is on.
    virtual int DisplayBits(QWidget* window);
    virtual std::uint32_t TickCount();
    // Handles what the window system has pending; 0 when that was the request to quit.
    virtual int PumpOneMessage();
    // The application's standard message box, with an OK button.
    virtual void ShowMessage(QWidget* parent, const QString& text);
    // An information box with its own caption, with an OK button.
    virtual void ShowResult(QWidget* parent, const QString& caption, const QString& text);
    // Whether the renderer counts as graphics hardware.
    virtual bool IsHardwareRenderer(const QString& renderer);

    const RMLogPtr& Log() const { return m_pLog; }

  private:
    RMLogPtr m_pLog;
};
