// Start-up of the desktop program on a full-size data file (50,000 entries), offscreen: the
// program's start (settings, data store, main frame, the week's entries) until its main window
// has been painted, then its end. Goal: under 500 ms.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>
#include <QApplication>
#include <QPixmap>

#include "bench/BenchFolder.h"
#include "bench/DataFileGenerator.h"
#include "desktop/MainFrame.h"
#include "desktop/QuillmarApp.h"
#include "platform/MessageBox.h"

namespace {

// A home and data folder of its own holding the generated file, for the life of the process.
class StartupData {
public:
    StartupData() {
        m_folder = m_bench.Path();
        setenv("HOME", m_folder.c_str(), 1);
        // The one-instance rule keeps its lock in the runtime folder.
        const std::string runtime = m_folder + "/runtime";
        std::filesystem::create_directories(runtime);
        std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        SetMessageBoxHandler([](const CString&, const CString&, unsigned) { return IDOK; });
        if (!DataFileGenerator::WriteFile(m_folder + "/Quillmar.dat", DataFileGenerator::Shape()))
            std::abort();
    }

private:
    CBenchFolder m_bench{"quillmar-startupbench"};
    std::string m_folder;
};

void BM_StartToPaintedMainWindow(benchmark::State& state) {
    static StartupData data;
    for (auto _ : state) {
        auto app = std::make_unique<CQuillmarApp>();
        if (!app->InitInstance()) {
            state.SkipWithError("the program did not start");
            break;
        }
        QApplication::processEvents();
        CMainFrame* frame = app->GetMainFrame();
        // grab() paints every widget of the window, as showing it on a screen would.
        benchmark::DoNotOptimize(frame->grab());
        state.PauseTiming();
        frame->close();
        app->ExitInstance();
        app.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartToPaintedMainWindow)->Unit(benchmark::kMillisecond)->Iterations(5);

}   // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
