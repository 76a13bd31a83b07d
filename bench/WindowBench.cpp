// The main window's batch run against the headless batch run on the same 64 MiB file with delay
// 0 (the window must not slow the engine down), and how soon a running pass notices Stop.
//   window_bench [MIB] [RUNS]
#include <unistd.h>

#include <QApplication>
#include <QPushButton>
#include <QStyleFactory>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "BatchPass.h"
#include "BenchData.h"
#include "MainDlg.h"
#include "Startup.h"
#include "Timing.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void WriteFile(const std::string& path, const void* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create("Windows"));
    const std::size_t mib = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 64;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;

    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "vokra-window-bench";
    std::filesystem::create_directories(dir / "files");
    std::filesystem::current_path(dir);
    const std::string dictionary = bench::MakeDictionary(5000);
    WriteFile("message.txt", dictionary.data(), dictionary.size());
    WriteFile("VOKRA.DAT", std::string(384, '\0').data(), 384);
    const std::vector<unsigned char> image = bench::MakeImage(mib << 20);
    const std::string file = (dir / "files/big.exe").string();
    auto restore = [&] { WriteFile(file, image.data(), image.size()); };

    // Headless: the batch run with a display that shows nothing.
    auto headlessState = std::make_unique<AppState>();
    auto headlessEngine = std::make_unique<CTranslationEngine>();
    StartUp(*headlessState, *headlessEngine);
    headlessState->m_astrFiles[0] = file;
    headlessState->m_nFileCount = 1;
    CSilentDisplay silent;

    // The window: Load (the file chosen), then Start, with the window on screen.
    auto state = std::make_unique<AppState>();
    auto engine = std::make_unique<CTranslationEngine>();
    CMainDlg dlg(*state, *engine, CMainDlg::Openers{});
    dlg.OnInitDialog();
    dlg.show();
    dlg.m_fnChooseFiles = [&](QWidget*) { return QStringList{QString::fromStdString(file)}; };
    dlg.Controls().Get<QPushButton>(1001)->click();
    QPushButton* start = dlg.Controls().Get<QPushButton>(1002);
    QPushButton* stop = dlg.Controls().Get<QPushButton>(1006);

    // Alternating, so that both meet the machine in the same moods.
    std::vector<double> headless;
    std::vector<double> window;
    for (int i = 0; i < runs; ++i) {
        restore();
        auto begin = Clock::now();
        RunBatch(*headlessState, *headlessEngine, silent);
        headless.push_back(Ms(Clock::now() - begin));
        restore();
        begin = Clock::now();
        start->click();
        window.push_back(Ms(Clock::now() - begin));
    }

    // Stop pressed 30 ms into the pass (the walk over the image, where the window is asked
    // every few milliseconds): from the press to the end of the handler.
    static std::atomic<bool> bWalking{false};
    SetMessagePump([] {
        bWalking = true;
        return CPassView::PumpEvents();
    });
    std::vector<double> stopLatency;
    for (int i = 0; i < runs; ++i) {
        restore();
        bWalking = false;
        Clock::time_point pressed;
        std::thread presser([&] {
            while (!bWalking) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
            pressed = Clock::now();
            QMetaObject::invokeMethod(stop, "click", Qt::QueuedConnection);
        });
        start->click();
        const auto noticed = Clock::now();
        presser.join();
        stopLatency.push_back(Ms(noticed - pressed));
    }
    std::filesystem::current_path("/");
    std::filesystem::remove_all(dir);

    const double h = Median(headless);
    const double w = Median(window);
    std::printf("file: %zu MiB, 5,000-entry dictionary, delay 0, %d runs each (medians)\n", mib,
                runs);
    std::printf("headless batch run: %.0f ms\n", h);
    std::printf("window batch run:   %.0f ms  (%.2f times the headless run; target at most 1.30)\n",
                w, w / h);
    std::printf("Stop noticed after: %.1f ms median, %.1f ms at most (target within 50 ms)\n",
                Median(stopLatency), *std::max_element(stopLatency.begin(), stopLatency.end()));
    return 0;
}
