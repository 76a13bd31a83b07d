// The settings window's 3D view on a real OpenGL device (Mesa under Xvfb): how it starts and
// fails to start, what its options do to the rendered picture, the speed test, and its part in
// the window's activation and closing.
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QPushButton>
#include <QSlider>
#include <cstdlib>
#include <string>
#include <vector>

#include "D3DTestSupport.h"
#include "GLSurface.h"
#include "SettingsDlgIds.h"

namespace {

using namespace ids::settings;

constexpr int kLightBoxes[] = {kAmbientLight, kDirectionalLight, kPointLight, kParallelPointLight,
                               kSpotLight};
const QString kFailedTitle = "  設定介面  [無法測試 Direct3D 介面] ";

template <class T>
T* Get(const QWidget& dlg, int id) {
    return dlg.findChild<T*>(QString::number(id));
}

// True when `expected` occur in `log` in this order (other lines may come between).
::testing::AssertionResult InOrder(const std::vector<std::string>& log,
                                   const std::vector<std::string>& expected) {
    std::size_t at = 0;
    for (const std::string& line : expected) {
        while (at < log.size() && log[at] != line) {
            ++at;
        }
        if (at == log.size()) {
            return ::testing::AssertionFailure() << "missing or out of order: \"" << line << "\"";
        }
        ++at;
    }
    return ::testing::AssertionSuccess();
}

// The OpenGL surface the view's device draws on.
const CGLSurface& GLSurfaceOf(const CD3DView& view) {
    return dynamic_cast<const CGLSurface&>(*view.State().m_pDevice->Surface());
}

// Chooses an entry of a list as the user does.
void Choose(CSettingsDlg& dlg, int id, int index) {
    auto* list = Get<QComboBox>(dlg, id);
    list->setCurrentIndex(index);
    emit list->activated(index);
}

// --- Starting ---

using D3DStart = D3DFixture;

TEST_F(D3DStart, TheViewStartsOnTheSoftwareRendererAndCallsTheLayerInOrder) {
    dx->Log()->m_bRecording = true;
    auto dlg = OpenSettings();
    CD3DView& view = View(*dlg);
    const D3DTestState& s = view.State();

    EXPECT_EQ(dlg->windowTitle(), "  設定介面 /  測試 Direct3D 軟體介面  [ 24 bit 顯示模式 ] ");
    EXPECT_FALSE(Get<QComboBox>(*dlg, kTextureFilter)->isEnabled());
    EXPECT_EQ(Get<QComboBox>(*dlg, kTextureFilter)->currentIndex(), 0);
    EXPECT_FALSE(Get<QCheckBox>(*dlg, kDither)->isChecked());
    EXPECT_TRUE(Get<QWidget>(*dlg, kTest)->isEnabled());
    EXPECT_TRUE(Get<QWidget>(*dlg, kSpecial)->isEnabled());  // its menu of rare options
    EXPECT_EQ(state.m_nActiveDialog, 1);
    EXPECT_EQ(s.m_bSceneReady, 1);
    EXPECT_EQ(s.m_bFirstPaint, 0);
    EXPECT_EQ(s.m_pDeviceGuid, nullptr);
    EXPECT_FALSE(s.m_pDevice->IsHardware());
    EXPECT_EQ(s.m_pDevice->GetTextureQuality(), D3DRMTEXTURE_LINEAR);
    EXPECT_TRUE(dx->messages.isEmpty());

    // The device covers the client area from its origin to the view rectangle's right and bottom
    // edges plus its left and top margins; the viewport is as wide and reaches the bottom edge.
    const QRect rc = dlg->ViewRect();
    const int left = rc.x();
    const int top = rc.y();
    const int right = rc.x() + rc.width();
    const int bottom = rc.y() + rc.height();
    auto line = [](const char* method, auto... values) {
        CRMCallLog log;
        log.m_bRecording = true;
        log.Call(method, values...);
        return log.m_lines[0];
    };
    EXPECT_TRUE(InOrder(
        dx->Log()->m_lines,
        {"Direct3DRMCreate", "DirectDrawCreateClipper 0", "SetHWnd 0", "DirectDrawCreate",
         "QueryInterface IID_IDirect3D", "FindDevice 4100 1",
         line("CreateDeviceFromClipper", "default", left + right, top + bottom), "SetShades 256",
         "SetDefaultTextureColors 64", "SetDefaultTextureShades 256", "SetDither 0",
         "SetQuality 137", "SetTextureQuality 1", "CreateFrame root",
         // the ground: loaded, fitted, placed, scaled, textured
         "CreateMeshBuilder", "Load 1.x", "GetBox", "Scale 1 1 1", "Translate 0 0 0",
         "Scale 25 25 25", "LoadTexture test1.bmp", "SetTexture",
         // the backdrop, then both wraps
         "Load 2.x", "Scale 100 100 100", "LoadTexture test2.bmp", "SetTexture",
         "CreateWrap 0 0 0 0 0 1 0 0 0 1 0 0 0.04 0.04", "Apply",
         "CreateWrap 0 0 0 0 0 1 0 0 0 1 0 0 0.1 0.1", "Apply",
         // the three shadow casters and the sphere
         "Load 3.x", "Translate 0 0 1", "Scale 2 2 2", "Load 3.x", "Translate 1 0 0", "Scale 2 2 2",
         "Load 3.x", "Translate 0 0 2", "Scale 2 2 2", "Load sphere.x", "Scale 1 1 1",
         "CreateFrame child", "AddVisual", "SetPosition 0 0 0",
         // the options as the boxes stand, every light with its colour
         "SetDither 0", "SetPerspective 1", "SetPerspective 1", "CreateLightRGB 0 0.6 0.6 0.6",
         "SetOrientation -1 0 1 0 1 0", "CreateLightRGB 3 1 1 1", "SetPosition 0 8 0",
         "CreateLightRGB 1 1 1 1", "CreateShadow 0 1 0 0 1 0", "CreateShadow 0 1 0 0 1 0",
         "CreateShadow 0 1 0 0 1 0", "SetPosition -3 3 3", "SetOrientation 1 1 1 0 1 0",
         "CreateLightRGB 4 1 0.3 0.3", "SetPosition 0 50 -50", "SetOrientation 0 -1 1 0 1 0",
         "CreateLightRGB 2 0.3 1 0.3", "SetMaterial 0", "CreateMaterial 10", "SetMaterial 10",
         "SetMaterial 10", "SetMaterial 10", "SetMaterial 10", "SetQuality 128",
         "CreateFrame child", "SetPosition 0 8 -10",
         line("CreateViewport", 0, 0, left + right, bottom), "SetBack 100", "SetFront 0.5",
         // the first paint: a frame, then the camera tilted down by a twelfth of a turn
         "Render", "AddRotation 1 1 0 0 0.523599", "Render"}));
}

TEST_F(D3DStart, AHardwareRendererGetsTheFilterListAndTheHardwareTitle) {
    dx->bHardware = true;
    dx->nDisplayBits = 32;
    auto dlg = OpenSettings(false);
    EXPECT_EQ(dlg->windowTitle(), "  設定介面 / 測試 Direct3D 硬體介面  [ 32 bit 顯示模式 ] ");
    EXPECT_TRUE(Get<QComboBox>(*dlg, kTextureFilter)->isEnabled());
    EXPECT_EQ(Get<QComboBox>(*dlg, kTextureFilter)->currentIndex(), 1);
    EXPECT_NE(View(*dlg).State().m_pDeviceGuid, nullptr);
    EXPECT_TRUE(View(*dlg).State().m_pDevice->IsHardware());
}

TEST_F(D3DStart, TheDeviceIsTunedToTheDisplaysDepth) {
    struct Case {
        int bits;
        bool bDitherBox;
        unsigned shades;
        unsigned textureShades;
    };
    // 15 bits is no depth the view knows: nothing is set, the box stays as it was.
    for (const Case& c : {Case{8, true, 32, 16}, Case{16, false, 32, 32}, Case{24, false, 256, 256},
                          Case{15, false, 32, 16}}) {
        pending = std::make_unique<CTestDirectX>();
        dx = pending.get();
        dx->nDisplayBits = c.bits;
        auto dlg = OpenSettings(false);
        const D3DTestState& s = View(*dlg).State();
        EXPECT_EQ(Get<QCheckBox>(*dlg, kDither)->isChecked(), c.bDitherBox) << c.bits;
        EXPECT_EQ(s.m_pDevice->GetDither(), c.bDitherBox) << c.bits;
        EXPECT_EQ(s.m_pDevice->GetShades(), c.shades) << c.bits;
        EXPECT_EQ(s.m_pD3DRM->GetDefaultTextureShades(), c.textureShades) << c.bits;
        EXPECT_EQ(s.m_nDisplayBits, c.bits);
    }
}

TEST_F(D3DStart, EveryFailureOfTheStartHasItsMessageAndLeavesTheWindowUsable) {
    const QString sceneFailed = " 3D 場景無法建立 ! ";
    const QString initFailed = " 初啟 DirectX 失敗 ! \n ";
    struct Case {
        const char* what;
        std::function<void(CTestDirectX&, const CTempDir&)> prepare;
        QString message;  // empty: none
    };
    const std::vector<Case> cases = {
        {"no Retained Mode object",
         [](CTestDirectX& d, const CTempDir&) { d.bFailRMCreate = true; }, ""},
        {"no clipper", [](CTestDirectX& d, const CTempDir&) { d.bFailClipper = true; }, initFailed},
        {"no window for the clipper",
         [](CTestDirectX& d, const CTempDir&) { d.bFailSetHWnd = true; }, initFailed},
        {"no device", [](CTestDirectX& d, const CTempDir&) { d.bFailDevice = true; }, ""},
        {"ground missing",
         [](CTestDirectX&, const CTempDir& dir) { std::filesystem::remove(dir / "1.x"); },
         sceneFailed},
        {"backdrop missing",
         [](CTestDirectX&, const CTempDir& dir) { std::filesystem::remove(dir / "2.x"); },
         sceneFailed},
        {"caster missing",
         [](CTestDirectX&, const CTempDir& dir) { std::filesystem::remove(dir / "3.x"); },
         sceneFailed},
        {"sphere missing",
         [](CTestDirectX&, const CTempDir& dir) { std::filesystem::remove(dir / "sphere.x"); },
         sceneFailed},
        {"ground picture missing",
         [](CTestDirectX&, const CTempDir& dir) { std::filesystem::remove(dir / "test1.bmp"); },
         sceneFailed},
        {"backdrop picture missing",
         [](CTestDirectX&, const CTempDir& dir) { std::filesystem::remove(dir / "test2.bmp"); },
         sceneFailed},
        {"ground empty",
         [](CTestDirectX&, const CTempDir& dir) { WriteFileBytes(dir / "1.x", ""); }, sceneFailed},
        {"backdrop not a mesh",
         [](CTestDirectX&, const CTempDir& dir) {
             WriteFileBytes(dir / "2.x", "xof 0303txt 0032\nMesh { 3; garbage");
         },
         sceneFailed},
        {"caster cut short",
         [](CTestDirectX&, const CTempDir& dir) {
             const std::string bytes = ReadFileBytes(dir / "3.x");
             WriteFileBytes(dir / "3.x", bytes.substr(0, bytes.size() / 2));
         },
         sceneFailed},
        {"sphere far away",
         [](CTestDirectX&, const CTempDir& dir) {
             std::string bytes = ReadFileBytes(dir / "sphere.x");
             const std::size_t at = bytes.find("0.000000;0.500000;0.000000;");
             bytes.replace(at, 8, "1e999");
             WriteFileBytes(dir / "sphere.x", bytes);
         },
         sceneFailed},
        {"backdrop picture not a picture",
         [](CTestDirectX&, const CTempDir& dir) {
             WriteFileBytes(dir / "test2.bmp", "BM this is no picture");
         },
         sceneFailed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CTempDir scratch;
        for (const char* name : {"1.x", "2.x", "3.x", "sphere.x", "test1.bmp", "test2.bmp"}) {
            std::filesystem::copy_file(dir / name, scratch / name);
        }
        CopyText(state.m_szProgramDir, scratch.Path());
        state.m_nActiveDialog = 0;
        pending = std::make_unique<CTestDirectX>();
        dx = pending.get();
        c.prepare(*dx, scratch);
        auto dlg = OpenSettings();
        EXPECT_EQ(dx->messages, c.message.isEmpty() ? QStringList() : QStringList{c.message});
        EXPECT_EQ(dlg->windowTitle(), kFailedTitle);
        EXPECT_EQ(state.m_nActiveDialog, 0);
        for (int id : {kTest, kDither, kPerspective, kAmbientLight, kDirectionalLight, kPointLight,
                       kParallelPointLight, kSpotLight, kShading, kTextureFilter}) {
            EXPECT_FALSE(Get<QWidget>(*dlg, id)->isEnabled()) << id;
        }
        EXPECT_FALSE(Get<QCheckBox>(*dlg, kPointLight)->isChecked());
        // Painting and activating the window of a view that did not start are harmless.
        QEvent activation(QEvent::ActivationChange);
        QCoreApplication::sendEvent(dlg.get(), &activation);
        dlg->update();
        Pump(30);
        // The translation options stay usable and are stored.
        Get<QSlider>(*dlg, kDelay)->setValue(2);
        Get<QPushButton>(*dlg, kConfirm)->click();
        Pump(10);
        EXPECT_FALSE(dlg->isVisible());
        EXPECT_EQ(state.m_nDelay, 2);
        state.m_nDelay = 0;
    }
}

TEST_F(D3DStart, WithoutDirectDrawOrDirect3DTheDefaultDeviceRunsUnderTheLoadingTitle) {
    for (int failing = 0; failing < 2; ++failing) {
        pending = std::make_unique<CTestDirectX>();
        dx = pending.get();
        (failing == 0 ? dx->bFailDirectDraw : dx->bFailDirect3D) = true;
        auto dlg = OpenSettings(false);
        EXPECT_EQ(dx->messages,
                  QStringList{failing == 0 ? "DirectDrawCreate() 無法建立 ! "
                                           : " QueryInterface() 無法選用 IID_IDirect3D 指標 ! "});
        EXPECT_EQ(dlg->windowTitle(), "   讀 取 中 . . .  ");
        EXPECT_TRUE(Get<QComboBox>(*dlg, kTextureFilter)->isEnabled());
        EXPECT_EQ(Get<QComboBox>(*dlg, kTextureFilter)->currentIndex(), 0);
        EXPECT_EQ(View(*dlg).State().m_pDevice->GetTextureQuality(), D3DRMTEXTURE_LINEAR);
        EXPECT_EQ(state.m_nActiveDialog, 1);
    }
}

// Run with MESA_GL_VERSION_OVERRIDE=3.0 (a ctest entry of its own): the display offers no
// OpenGL 3.3, so the view cannot start, and the window says so.
TEST_F(D3DStart, WithoutOpenGL33TheViewDoesNotStart) {
    if (std::getenv("MESA_GL_VERSION_OVERRIDE") == nullptr) {
        GTEST_SKIP() << "needs MESA_GL_VERSION_OVERRIDE below 3.3";
    }
    auto dlg = OpenSettings();
    EXPECT_EQ(dlg->windowTitle(), kFailedTitle);
    EXPECT_EQ(dx->messages, QStringList{" QueryInterface() 無法選用 IID_IDirect3D 指標 ! "});
    EXPECT_FALSE(Get<QWidget>(*dlg, kTest)->isEnabled());
}

// --- The rendered picture ---

class D3DRender : public D3DFixture {
  protected:
    // One more frame, as the device shows it.
    static QImage Frame(CD3DView& view) {
        view.RenderFrame();
        return view.GrabView();
    }
    static unsigned TrianglesOfAFrame(CD3DView& view) {
        const unsigned before = view.State().m_pDevice->GetTrianglesDrawn();
        view.RenderFrame();
        return view.State().m_pDevice->GetTrianglesDrawn() - before;
    }
};

TEST_F(D3DRender, AllLightsOffIsDarkerThanOn) {
    auto dlg = OpenSettings();
    CD3DView& view = View(*dlg);
    const QImage on = Frame(view);
    for (int id : kLightBoxes) {
        Get<QCheckBox>(*dlg, id)->click();
    }
    const QImage off = Frame(view);
    for (int id : kLightBoxes) {
        Get<QCheckBox>(*dlg, id)->click();
    }
    const QImage onAgain = Frame(view);
    KeepPicture(on, "lights-on");
    KeepPicture(off, "lights-off");
    EXPECT_GT(MeanLuminance(on), 60);
    // Without lights the meshes are unlit: black.
    EXPECT_LT(MeanLuminance(off), 5);
    EXPECT_GT(MeanLuminance(onAgain), 60);
    for (int slot = 0; slot < kLightSlots; ++slot) {
        EXPECT_TRUE(view.State().m_apLights[slot]);
    }
}

TEST_F(D3DRender, UntickingThePointLightTakesAwayTheSphereAndTheShadows) {
    auto dlg = OpenSettings();
    CD3DView& view = View(*dlg);
    // The light circles the scene; wait until it is in front of the camera.
    QImage on = Frame(view);
    for (int i = 0; i < 72 && CountPixels(on, IsSphereYellow) < 20; ++i) {
        on = Frame(view);
    }
    const unsigned trianglesOn = TrianglesOfAFrame(view);
    on = Frame(view);
    Get<QCheckBox>(*dlg, kPointLight)->click();
    const QImage off = Frame(view);
    const unsigned trianglesOff = TrianglesOfAFrame(view);
    KeepPicture(on, "point-on");
    KeepPicture(off, "point-off");

    EXPECT_GE(CountPixels(on, IsSphereYellow), 20);
    EXPECT_EQ(CountPixels(off, IsSphereYellow), 0);
    // With the point light the scene only gets brighter, but where the shadows fall.
    int shadowed = 0;
    for (int y = 0; y < on.height(); ++y) {
        for (int x = 0; x < on.width(); ++x) {
            const QRgb p = on.pixel(x, y);
            shadowed += !IsSphereYellow(p) && qGray(p) + 20 < qGray(off.pixel(x, y)) ? 1 : 0;
        }
    }
    EXPECT_GT(shadowed, 300);
    // The sphere's faces and three shadows of the caster are no longer drawn.
    const CD3DView& v = view;
    EXPECT_EQ(trianglesOn - trianglesOff,
              static_cast<unsigned>(v.State().m_apMeshes[5]->GetFaceCount() +
                                    3 * v.State().m_apMeshes[2]->GetFaceCount()));
    EXPECT_FALSE(v.State().m_apLightFrames[kPoint]);
    for (const auto& shadow : v.State().m_apShadows) {
        EXPECT_FALSE(shadow);
    }

    // Ticked again, the light starts at (0, 8, 0) and goes on round from where it was.
    const int step = v.State().m_nOrbitStep;
    Get<QCheckBox>(*dlg, kPointLight)->click();
    EXPECT_EQ(v.State().m_nOrbitStep, (step + 2) % kOrbitSteps);
    EXPECT_EQ(TrianglesOfAFrame(view), trianglesOn);
}

TEST_F(D3DRender, EveryShadingGivesItsOwnPictureAndWireframeLeavesTheSphereSolid) {
    auto dlg = OpenSettings();
    CD3DView& view = View(*dlg);
    Get<QCheckBox>(*dlg, kPointLight)->click();  // a still scene: the point light would move
    std::vector<QImage> pictures;
    for (int index = 0; index < 5; ++index) {
        Choose(*dlg, kShading, index);
        pictures.push_back(view.GrabView());
        KeepPicture(pictures.back(), ("shading-" + std::to_string(index)).c_str());
    }
    for (std::size_t a = 0; a < pictures.size(); ++a) {
        for (std::size_t b = a + 1; b < pictures.size(); ++b) {
            EXPECT_GT(MeanDifference(pictures[a], pictures[b]), 0.05) << a << " " << b;
        }
    }
    // Wire frames over black against solid, lit faces.
    EXPECT_GT(MeanDifference(pictures[0], pictures[3]), 30);
    EXPECT_LT(MeanLuminance(pictures[0]), MeanLuminance(pictures[3]) / 3);
    Choose(*dlg, kShading, 3);
    EXPECT_EQ(MeanDifference(view.GrabView(), pictures[3]), 0);

    Get<QCheckBox>(*dlg, kPointLight)->click();
    Choose(*dlg, kShading, 0);
    for (int slot = 0; slot < 5; ++slot) {
        EXPECT_EQ(view.State().m_apMeshes[slot]->GetQuality(), D3DRMRENDER_WIREFRAME);
    }
    EXPECT_EQ(view.State().m_apMeshes[5]->GetQuality(), D3DRMRENDER_UNLITFLAT);
}

TEST_F(D3DRender, TheTextureFilterAndThePerspectiveCorrectionChangeThePicture) {
    dx->bHardware = true;  // the list is enabled for a hardware device only
    auto dlg = OpenSettings();
    CD3DView& view = View(*dlg);
    Get<QCheckBox>(*dlg, kPointLight)->click();
    std::vector<QImage> pictures;
    for (int index = 0; index < 6; ++index) {
        Choose(*dlg, kTextureFilter, index);
        EXPECT_EQ(view.State().m_pDevice->GetTextureQuality(), static_cast<unsigned>(index));
        pictures.push_back(view.GrabView());
        KeepPicture(pictures.back(), ("filter-" + std::to_string(index)).c_str());
    }
    EXPECT_GT(MeanDifference(pictures[0], pictures[1]), 0.5);  // nearest, linear
    EXPECT_GT(MeanDifference(pictures[1], pictures[5]), 0.2);  // linear, trilinear
    EXPECT_GT(MeanDifference(pictures[0], pictures[2]), 0.2);  // nearest, nearest mipmap
    Choose(*dlg, kTextureFilter, 0);
    EXPECT_EQ(MeanDifference(view.GrabView(), pictures[0]), 0);

    Get<QCheckBox>(*dlg, kPerspective)->click();  // affine texturing
    const QImage affine = view.GrabView();
    KeepPicture(affine, "affine");
    EXPECT_FALSE(view.State().m_apMeshes[0]->GetPerspective());
    EXPECT_GT(MeanDifference(affine, pictures[0]), 0.5);
}

TEST_F(D3DRender, TheBackdropScrollsByItsTileAndMeshesGoToTheGpuOnce) {
    auto dlg = OpenSettings();
    CD3DView& view = View(*dlg);
    Get<QCheckBox>(*dlg, kPointLight)->click();
    view.ScrollMesh2Texture(0, 0);
    const QImage start = Frame(view);
    view.ScrollMesh2Texture(0.5f, 0.25f);
    const QImage moved = Frame(view);
    view.ScrollMesh2Texture(1, 2);  // a whole number of tiles on
    const QImage round = Frame(view);
    KeepPicture(moved, "scrolled");
    EXPECT_GT(MeanDifference(start, moved), 1);
    EXPECT_LT(MeanDifference(start, round), 0.05);

    // Six meshes and two pictures went to the GPU with the first frame, and stay there.
    EXPECT_EQ(GLSurfaceOf(view).Uploads(), 8u);
    for (int i = 0; i < 30; ++i) {
        view.ScrollMesh2Texture(0.01f * i, 0.01f * i);
        Frame(view);
    }
    Get<QCheckBox>(*dlg, kPointLight)->click();
    Choose(*dlg, kShading, 1);
    Choose(*dlg, kTextureFilter, 5);
    EXPECT_EQ(GLSurfaceOf(view).Uploads(), 8u);
}

// --- The speed test ---

class D3DSpeedTest : public D3DFixture {
  protected:
    // A clock that starts at `start` and then moves on a 600th of the test at every reading.
    void SteadyClock(std::uint32_t start) {
        dx->clock = [this, start] {
            const std::uint32_t reading = readings++;
            return reading == 0 ? start
                                : start + static_cast<std::uint32_t>((reading - 1) * 100 / 3);
        };
    }
    std::uint32_t readings = 0;
};

TEST_F(D3DSpeedTest, SixHundredFramesInTwentySecondsAreThirtyPagesASecond) {
    for (std::uint32_t start : {123456u, 0xffffffffu - 5000u}) {  // also across the wrap
        SCOPED_TRACE(start);
        pending = std::make_unique<CTestDirectX>();
        dx = pending.get();
        readings = 0;
        SteadyClock(start);
        auto dlg = OpenSettings();
        CD3DView& view = View(*dlg);
        const unsigned before = view.State().m_pDevice->GetTrianglesDrawn();
        view.RenderFrame();
        const unsigned perFrame = view.State().m_pDevice->GetTrianglesDrawn() - before;
        bool bRunningSeen = false;
        dx->onPump = [&] { bRunningSeen = bRunningSeen || view.State().m_bTestRunning == 1; };
        Get<QPushButton>(*dlg, kTest)->click();

        ASSERT_EQ(dx->results.size(), 1);
        EXPECT_EQ(dx->results[0],
                  QString::asprintf(" 測試結果 | \n [ 320x200 模式 ] \n\n [ 每秒 30 頁 ] "
                                    "\n\n [ 每秒 %u 面 ] ",
                                    perFrame * 600 / 20));
        EXPECT_TRUE(bRunningSeen);
        EXPECT_EQ(view.State().m_bTestRunning, 0);
        EXPECT_EQ(view.State().m_fSpinStep, 0);
        EXPECT_NEAR(view.State().m_fScrollU, 600 * 0.0065, 0.01);
        EXPECT_TRUE(Get<QWidget>(*dlg, kTest)->isEnabled());
        dlg->close();
    }
}

TEST_F(D3DSpeedTest, TheCloseBoxWaitsButTheConfirmEndsTheTestWithoutAResult) {
    SteadyClock(1000);
    auto dlg = OpenSettings();
    CD3DView& view = View(*dlg);
    int pumps = 0;
    bool bStillOpen = false;
    dx->onPump = [&] {
        ++pumps;
        if (pumps == 10) {
            Get<QSlider>(*dlg, kDelay)->setValue(6);
            dlg->close();  // the close box: refused while the test runs
            bStillOpen = dlg->isVisible() && view.State().m_pDevice;
        } else if (pumps == 20) {
            Get<QPushButton>(*dlg, kConfirm)->click();
        }
    };
    Get<QPushButton>(*dlg, kTest)->click();
    EXPECT_TRUE(bStillOpen);
    EXPECT_EQ(pumps, 20);  // the test ended at its next step, with no frame after the pump
    EXPECT_TRUE(dx->results.isEmpty());
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(state.m_nDelay, 6);
    EXPECT_FALSE(view.State().m_pDevice);
    EXPECT_EQ(dlg->findChild<CGLSurface*>(), nullptr);  // the surface went with the device
}

TEST_F(D3DSpeedTest, EscapeDuringTheTestEndsItAndStoresNothing) {
    SteadyClock(1000);
    auto dlg = OpenSettings();
    int pumps = 0;
    dx->onPump = [&] {
        if (++pumps == 5) {
            Get<QSlider>(*dlg, kDelay)->setValue(6);
            dlg->reject();
        }
    };
    Get<QPushButton>(*dlg, kTest)->click();
    EXPECT_EQ(pumps, 5);
    EXPECT_TRUE(dx->results.isEmpty());
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(state.m_nDelay, 0);
}

TEST_F(D3DSpeedTest, AnOptionChangedDuringTheTestTakesEffectOnTheNextFrame) {
    SteadyClock(1000);
    auto dlg = OpenSettings();
    CD3DView& view = View(*dlg);
    std::vector<unsigned> counts;
    dx->onPump = [&] {
        counts.push_back(view.State().m_pDevice->GetTrianglesDrawn());
        if (counts.size() == 5) {
            // Its own render, then the test's next frame.
            Get<QCheckBox>(*dlg, kPointLight)->click();
        }
    };
    Get<QPushButton>(*dlg, kTest)->click();
    ASSERT_GE(counts.size(), 10u);
    const unsigned withLight = counts[4] - counts[3];
    const unsigned withoutLight = counts[6] - counts[5];
    EXPECT_LT(withoutLight, withLight);
    EXPECT_EQ(counts[5] - counts[4], 2 * withoutLight);
    EXPECT_EQ(counts[8] - counts[7], withoutLight);
}

// --- Activation and closing ---

using D3DWindow = D3DFixture;

TEST_F(D3DWindow, ADepthChangeSeenOnActivationStoresTheOptionsAndCloses) {
    auto dlg = OpenSettings();
    QEvent activation(QEvent::ActivationChange);
    QCoreApplication::sendEvent(dlg.get(), &activation);
    EXPECT_TRUE(dlg->isVisible());  // same depth: nothing happens

    Get<QSlider>(*dlg, kDelay)->setValue(5);
    dx->nDisplayBits = 16;
    QCoreApplication::sendEvent(dlg.get(), &activation);
    Pump(10);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(state.m_nDelay, 5);
}

TEST_F(D3DWindow, AConfirmThatStopsOnADepthChangeIsNotRepeatedAtEveryActivation) {
    auto dlg = OpenSettings();
    Get<QCheckBox>(*dlg, kPlugInDict)->setChecked(true);  // "user.txt" is missing
    dx->nDisplayBits = 16;
    QEvent activation(QEvent::ActivationChange);
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendEvent(dlg.get(), &activation);
        Pump(10);
    }
    EXPECT_EQ(failureBoxes, QStringList{"沒有找到 user.txt ."});
    EXPECT_TRUE(dlg->isVisible());
}

TEST_F(D3DWindow, ActivationFailuresAreReportedOnceAndTheViewIsStillDrawn) {
    dx->bFailHandleActivate = true;
    auto dlg = OpenSettings();
    CD3DView& view = View(*dlg);
    QEvent activation(QEvent::ActivationChange);
    const unsigned before = view.State().m_pDevice->GetTrianglesDrawn();
    QCoreApplication::sendEvent(dlg.get(), &activation);
    QCoreApplication::sendEvent(dlg.get(), &activation);
    EXPECT_EQ(dx->messages, QStringList{" 無法找回主控權 !"});
    EXPECT_GT(view.State().m_pDevice->GetTrianglesDrawn(), before);

    dx->bFailWinDevice = true;
    const unsigned after = view.State().m_pDevice->GetTrianglesDrawn();
    QCoreApplication::sendEvent(dlg.get(), &activation);
    QCoreApplication::sendEvent(dlg.get(), &activation);
    EXPECT_EQ(dx->messages, (QStringList{" 無法找回主控權 !", " 無法找回介面 !"}));
    EXPECT_EQ(view.State().m_pDevice->GetTrianglesDrawn(), after);  // no activation, no render
}

TEST_F(D3DWindow, ClosingReleasesTheViewAndItsSurface) {
    auto dlg = OpenSettings();
    const CD3DView& view = View(*dlg);
    ASSERT_NE(dlg->findChild<CGLSurface*>(), nullptr);
    dlg->close();
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_FALSE(view.State().m_pScene);
    EXPECT_FALSE(view.State().m_pDevice);
    EXPECT_FALSE(view.State().m_pD3DRM);
    EXPECT_FALSE(view.State().m_pClipper);
    EXPECT_EQ(dlg->findChild<CGLSurface*>(), nullptr);
}

}  // namespace
