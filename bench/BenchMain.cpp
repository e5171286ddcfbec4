#include <QApplication>
#include <QStandardPaths>
#include <benchmark/benchmark.h>

int main(int argc, char** argv)
{
    QStandardPaths::setTestModeEnabled(true);
    // Widget benchmarks (the board, the text view) need a GUI application; offscreen is enough.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
