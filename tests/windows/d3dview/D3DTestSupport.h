// What the 3D view's tests share: a DirectX stand-in whose entry points can be made to fail,
// with its own display depth, clock and message boxes; a start-up folder with the shipped scene
// files; a settings window with the view; and statistics over rendered pictures.
#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <QStringList>
#include <filesystem>
#include <functional>
#include <memory>

#include "AppState.h"
#include "D3DView.h"
#include "SettingsDlg.h"
#include "TestFiles.h"
#include "TranslationEngine.h"

class CTestDirectX : public CDirectX {
  public:
    bool bFailRMCreate = false;
    bool bFailClipper = false;
    bool bFailSetHWnd = false;
    bool bFailDirectDraw = false;
    bool bFailDirect3D = false;
    bool bFailDevice = false;
    bool bFailWinDevice = false;
    bool bFailHandleActivate = false;
    bool bHardware = false;  // take the renderer for graphics hardware
    int nDisplayBits = 24;
    // The clock and the pump; the real ones when not set.
    std::function<std::uint32_t()> clock;
    std::function<void()> onPump;
    QStringList messages;  // the standard boxes
    QStringList results;   // the information boxes, caption and text

    RMPtr<CRM> Direct3DRMCreate() override {
        return bFailRMCreate ? RMPtr<CRM>() : CDirectX::Direct3DRMCreate();
    }
    RMPtr<CDDClipper> DirectDrawCreateClipper(unsigned flags) override {
        return bFailClipper ? RMPtr<CDDClipper>() : CDirectX::DirectDrawCreateClipper(flags);
    }
    bool SetHWnd(CDDClipper& clipper, unsigned flags, QWidget* window) override {
        return !bFailSetHWnd && CDirectX::SetHWnd(clipper, flags, window);
    }
    RMPtr<CDirectDraw> DirectDrawCreate() override {
        return bFailDirectDraw ? RMPtr<CDirectDraw>() : CDirectX::DirectDrawCreate();
    }
    RMPtr<CDirect3D> QueryDirect3D(CDirectDraw& directDraw) override {
        return bFailDirect3D ? RMPtr<CDirect3D>() : CDirectX::QueryDirect3D(directDraw);
    }
    RMPtr<CRMDevice> CreateDeviceFromClipper(CRM& rm, CDDClipper& clipper, const GUID* guid,
                                             int width, int height) override {
        return bFailDevice ? RMPtr<CRMDevice>()
                           : CDirectX::CreateDeviceFromClipper(rm, clipper, guid, width, height);
    }
    RMPtr<CRMWinDevice> QueryWinDevice(CRMDevice& device) override {
        return bFailWinDevice ? RMPtr<CRMWinDevice>() : CDirectX::QueryWinDevice(device);
    }
    bool HandleActivate(CRMWinDevice& device, unsigned state) override {
        return !bFailHandleActivate && CDirectX::HandleActivate(device, state);
    }
    int DisplayBits(QWidget*) override { return nDisplayBits; }
    std::uint32_t TickCount() override { return clock ? clock() : CDirectX::TickCount(); }
    int PumpOneMessage() override {
        if (onPump) {
            onPump();
        }
        return CDirectX::PumpOneMessage();
    }
    void ShowMessage(QWidget*, const QString& text) override { messages << text; }
    void ShowResult(QWidget*, const QString& caption, const QString& text) override {
        results << caption + "|" + text;
    }
    bool IsHardwareRenderer(const QString& renderer) override {
        return bHardware || CDirectX::IsHardwareRenderer(renderer);
    }
};

// A start-up folder holding the shipped scene files, and settings windows with the 3D view
// made over a CTestDirectX that the test prepares first.
class D3DFixture : public ::testing::Test {
  protected:
    D3DFixture();
    ~D3DFixture() override;

    // A settings window whose view runs over `dx` (which the window then owns); shown and
    // painted once when `bShow`.
    std::unique_ptr<CSettingsDlg> OpenSettings(bool bShow = true);
    CD3DView& View(CSettingsDlg& dlg) { return *static_cast<CD3DView*>(dlg.View()); }
    // Lets the window system deliver what is pending for a while.
    static void Pump(int milliseconds = 50);

    CTempDir dir;
    CScopedCurrentDir cwd;
    AppState state;
    CTranslationEngine engine;
    QStringList failureBoxes;
    std::unique_ptr<CTestDirectX> pending = std::make_unique<CTestDirectX>();
    CTestDirectX* dx = pending.get();  // valid while the window that took it is open
};

// Picture statistics.
double MeanLuminance(const QImage& image);
// The mean absolute difference of two equally large pictures, over all channels, 0 to 255.
double MeanDifference(const QImage& a, const QImage& b);
int CountPixels(const QImage& image, const std::function<bool(QRgb)>& test);
// The sphere's unlit yellow.
bool IsSphereYellow(QRgb pixel);
// When VOKRA_TEST_PICTURES names a folder, the picture goes there as NAME.png, to be looked at.
void KeepPicture(const QImage& image, const char* name);
