#include <QApplication>
#include <QStandardPaths>
#include <benchmark/benchmark.h>

#include <iostream>
#include <string>
#include <vector>

namespace {

// Shows the runs as the chosen format does and keeps the names of those whose result check failed: a benchmark
// that measured a wrong result must fail its run, or nothing that runs the benchmarks ever notices.
class ErrorRecordingReporter : public benchmark::BenchmarkReporter {
public:
    explicit ErrorRecordingReporter(benchmark::BenchmarkReporter* display) : m_display(display) {}

    bool ReportContext(const Context& context) override { return m_display->ReportContext(context); }
    void ReportRuns(const std::vector<Run>& reports) override
    {
        for (const Run& run : reports) {
            if (run.error_occurred)
                m_failed.push_back(run.benchmark_name() + ": " + run.error_message);
        }
        m_display->ReportRuns(reports);
    }
    void Finalize() override { m_display->Finalize(); }

    const std::vector<std::string>& failed() const { return m_failed; }

private:
    benchmark::BenchmarkReporter* m_display;
    std::vector<std::string> m_failed;
};

} // namespace

int main(int argc, char** argv)
{
    QStandardPaths::setTestModeEnabled(true);
    // Widget benchmarks (the board, the text view) need a GUI application; offscreen is enough.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;
    ErrorRecordingReporter reporter(benchmark::CreateDefaultDisplayReporter());
    const size_t ran = benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    for (const std::string& failure : reporter.failed())
        std::cerr << "FAILED " << failure << '\n';
    // A filter that matches nothing checks nothing, which must not pass for a run whose checks all held.
    if (ran == 0) {
        std::cerr << "No benchmark matches the filter \"" << benchmark::GetBenchmarkFilter() << "\"\n";
        return 1;
    }
    return reporter.failed().empty() ? 0 : 1;
}
