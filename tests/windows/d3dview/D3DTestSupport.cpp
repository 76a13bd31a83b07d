#include "D3DTestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <cstdlib>
#include <string>

#include "FailureReport.h"
#include "Startup.h"

namespace fs = std::filesystem;

D3DFixture::D3DFixture() : cwd(dir.Path()) {
    ApplyStartupDefaults(state);
    CopyText(state.m_szProgramDir, dir.Path());
    CopyText(state.m_szFileDir, dir.Path());
    for (const char* name : {"1.x", "2.x", "3.x", "sphere.x", "test1.bmp", "test2.bmp"}) {
        fs::copy_file(fs::path(VOKRA_SCENE_DIR) / name, dir / name);
    }
    SetFailureBoxCapture([this](const QString& text) { failureBoxes << text; });
}

D3DFixture::~D3DFixture() {
    SetFailureBoxCapture(nullptr);
}

std::unique_ptr<CSettingsDlg> D3DFixture::OpenSettings(bool bShow) {
    auto dlg = std::make_unique<CSettingsDlg>(
        state, engine, nullptr,
        [this](ISettingsViewHost& window) -> std::unique_ptr<ISettingsView> {
            return std::make_unique<CD3DView>(window, std::move(pending));
        });
    if (bShow) {
        dlg->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dlg.get()));
        Pump(100);
    }
    return dlg;
}

void D3DFixture::Pump(int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

double MeanLuminance(const QImage& image) {
    double sum = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            sum += qGray(image.pixel(x, y));
        }
    }
    return image.isNull() ? 0 : sum / (image.width() * image.height());
}

double MeanDifference(const QImage& a, const QImage& b) {
    if (a.size() != b.size() || a.isNull()) {
        return 255;
    }
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q));
        }
    }
    return sum / (3.0 * a.width() * a.height());
}

int CountPixels(const QImage& image, const std::function<bool(QRgb)>& test) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += test(image.pixel(x, y)) ? 1 : 0;
        }
    }
    return count;
}

bool IsSphereYellow(QRgb pixel) {
    return qRed(pixel) > 240 && qGreen(pixel) > 210 && qGreen(pixel) < 245 && qBlue(pixel) < 45;
}

void KeepPicture(const QImage& image, const char* name) {
    const char* folder = std::getenv("VOKRA_TEST_PICTURES");
    if (folder != nullptr) {
        image.save(QString::fromLocal8Bit(folder) + "/" + name + ".png");
    }
}
