// Opening the main window with a large function history: reading the file,
// indexing its lines and giving the formula list its items. Sizes of 10 MB
// and 100 MB (about 256,000 and 2,560,000 formulas of 40 bytes); the
// program's memory afterwards is reported as the resident set.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <benchmark/benchmark.h>

#include "methods/session.h"
#include "windows/history.h"
#include "windows/interf.h"

namespace {

using namespace qirt;

// A history of the given size, written once per run.
std::string HistoryFile(std::size_t megabytes) {
    const std::string name = "/tmp/qirt_bench_history_" + std::to_string(megabytes) + ".txt";
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    std::string line;
    std::size_t written = 0;
    for (long k = 0; written < megabytes * 1'000'000; ++k) {
        line = "100*(x[1]-x[0]^2)^2+(1-x[0])^2+" + std::to_string(k) + "\r\n";
        out << line;
        written += line.size();
    }
    return name;
}

long ResidentMegabytes() {
    std::ifstream status("/proc/self/status");
    std::string key;
    long kb = 0;
    while (status >> key)
        if (key == "VmRSS:") {
            status >> kb;
            break;
        }
    return kb / 1024;
}

void ReadHistory(benchmark::State& state) {
    const std::string name = HistoryFile(static_cast<std::size_t>(state.range(0)));
    std::size_t lines = 0;
    for (auto _ : state) {
        TFunctionHistory h(name);
        h.Read();
        lines = h.LineCount();
    }
    state.counters["lines"] = static_cast<double>(lines);
    std::remove(name.c_str());
}
BENCHMARK(ReadHistory)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);

// The main window as the program starts it, shown, with the history in the
// current folder.
void ShowMainWindow(benchmark::State& state) {
    const std::string name = HistoryFile(static_cast<std::size_t>(state.range(0)));
    std::rename(name.c_str(), kHistoryFileName);
    long resident = 0;
    for (auto _ : state) {
        TSession session;
        TForm1 window(session);
        window.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(window.ComboBox4->count());
        resident = ResidentMegabytes();
    }
    state.counters["resident_MB"] = static_cast<double>(resident);
    std::remove(kHistoryFileName);
}
BENCHMARK(ShowMainWindow)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(1);

// Opening the formula list and typing into the formula field (which the
// list's completion follows).
void OpenListAndType(benchmark::State& state) {
    const std::string name = HistoryFile(static_cast<std::size_t>(state.range(0)));
    std::rename(name.c_str(), kHistoryFileName);
    TSession session;
    TForm1 window(session);
    window.show();
    QApplication::processEvents();
    for (auto _ : state) {
        window.ComboBox4->showPopup();
        QApplication::processEvents();
        window.ComboBox4->hidePopup();
        QTest::keyClicks(window.ComboBox4->lineEdit(), QStringLiteral("1"));
        QApplication::processEvents();
    }
    std::remove(kHistoryFileName);
}
BENCHMARK(OpenListAndType)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    // The window reads "funtion.txt" from the current folder.
    const std::string folder = "/tmp/qirt_bench_history";
    std::filesystem::create_directories(folder);
    std::filesystem::current_path(folder);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
