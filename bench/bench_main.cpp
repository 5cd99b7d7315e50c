// quillmark_bench: the formatter and export benchmarks, followed by a summary of their ratios
// and of the export's peak memory, all from the same run.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <iomanip>
#include <map>
#include <ostream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "command_bench.h"
#if defined(QUILLMARK_BENCH_SVG)
#include "svg_command_bench.h"
#endif
#include "export_bench.h"
#include "export_memory.h"
#include "export_session.h"
#include "format_bench.h"
#include "model_memory.h"
#include "synthetic_documents.h"

namespace {

// The console output, and every benchmark's real time per iteration for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    // Coloured only on a terminal, so that saved output stays plain text.
    SummaryReporter() : ConsoleReporter(isatty(STDOUT_FILENO) != 0 ? OO_ColorTabular : OO_Tabular) {}

    // With repetitions, the median of the repetitions; otherwise the run itself.
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.error_occurred || run.iterations <= 0) continue;
            const std::string& name = run.run_name.function_name;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (median || (run.run_type == Run::RT_Iteration && medians_.count(name) == 0)) {
                seconds_[name] = run.real_accumulated_time / static_cast<double>(run.iterations);
                cpuSeconds_[name] = run.cpu_accumulated_time / static_cast<double>(run.iterations);
                if (auto ratio = run.counters.find("ratio"); ratio != run.counters.end()) ratios_[name] = ratio->second;
            }
            if (median) medians_.insert(name);
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // Seconds per iteration, or 0 when the benchmark did not run.
    double Seconds(const std::string& name) const {
        auto it = seconds_.find(name);
        return it == seconds_.end() ? 0.0 : it->second;
    }

    // This process's CPU seconds per iteration, or 0 when the benchmark did not run.
    double CpuSeconds(const std::string& name) const {
        auto it = cpuSeconds_.find(name);
        return it == cpuSeconds_.end() ? 0.0 : it->second;
    }

    // The counter `ratio` of a benchmark, or 0.
    double Ratio(const std::string& name) const {
        auto it = ratios_.find(name);
        return it == ratios_.end() ? 0.0 : it->second;
    }

private:
    std::map<std::string, double> seconds_;
    std::map<std::string, double> ratios_;
    std::map<std::string, double> cpuSeconds_;
    std::set<std::string> medians_;
};

struct MemoryFigures {
    bool measured = false;
    long onePath = -1, longPath = -1, manyPaths = -1;  // KiB
};

const char* Verdict(bool met) {
    return met ? "met" : "MISSED";
}

void PrintFormatterSummary(std::ostream& out, const SummaryReporter& reporter) {
    constexpr double kValues = 4096;
    const double own = reporter.Seconds("formatter/FormatFixed6") / kValues * 1e9;
    const double toChars = reporter.Seconds("formatter/to_chars") / kValues * 1e9;
    const double printf = reporter.Seconds("formatter/snprintf") / kValues * 1e9;
    if (own <= 0 || toChars <= 0 || printf <= 0) return;
    out << std::fixed << std::setprecision(2);
    out << "Formatter, 4096 coordinates from -1234.5678 to 5000 (ns per number):\n"
        << "  FormatFixed6 " << own << "   std::to_chars " << toChars << "   snprintf \"%f\" " << printf << "\n"
        << "  to_chars / FormatFixed6 = " << toChars / own << " (goal >= 5: " << Verdict(toChars / own >= 5) << ")\n"
        << "  snprintf / FormatFixed6 = " << printf / own << " (goal >= 30: " << Verdict(printf / own >= 30) << ")\n\n";
}

void PrintExportSummary(std::ostream& out, const SummaryReporter& reporter) {
    out << "Exports, WPF target, files written in " << bench::ScratchDirectory()
        << "; times per export in ms; MB = 10^6 bytes\n"
        << std::left << std::setw(22) << "workload" << std::right << std::setw(11) << "bytes" << std::setw(10)
        << "numbers" << std::setw(10) << "export" << std::setw(8) << "MB/s" << std::setw(10) << "ns/num"
        << std::setw(9) << "fwrite" << std::setw(11) << "exp/fwrite" << std::setw(10) << "printf" << std::setw(11)
        << "printf/exp" << std::setw(9) << "format" << "\n";
    for (const bench::Workload& workload : bench::Workloads()) {
        const double exported = reporter.Seconds("export/" + workload.name);
        const double written = reporter.Seconds("fwrite/" + workload.name);
        const double printed = reporter.Seconds("printf/" + workload.name);
        const double formatted = reporter.Seconds("format/" + workload.name);
        if (exported <= 0 || written <= 0 || printed <= 0 || workload.numbers.empty()) continue;
        const double bytes = static_cast<double>(workload.output.size());
        out << std::left << std::setw(22) << workload.name << std::right << std::setw(11) << workload.output.size()
            << std::setw(10) << workload.numbers.size() << std::setprecision(1) << std::setw(10) << exported * 1e3
            << std::setw(8) << std::setprecision(0) << bytes / exported / 1e6 << std::setprecision(1) << std::setw(10)
            << exported / static_cast<double>(workload.numbers.size()) * 1e9 << std::setw(9) << written * 1e3
            << std::setprecision(2) << std::setw(11) << exported / written << std::setprecision(1) << std::setw(10)
            << printed * 1e3 << std::setprecision(2) << std::setw(11) << printed / exported << std::setprecision(1)
            << std::setw(9) << formatted * 1e3 << "\n";
    }
    for (const bench::Workload& workload : bench::Workloads()) {
        out << "  " << workload.name << ": " << workload.description << "\n";
    }
    const double exported = reporter.Seconds("export/a_curves_16191x100");
    const double written = reporter.Seconds("fwrite/a_curves_16191x100");
    if (exported > 0 && written > 0) {
        out << "  export of (a) / fwrite of its bytes = " << std::setprecision(2) << exported / written
            << " (goal <= 2: " << Verdict(exported / written <= 2) << ")\n";
    }
    out << "\n";
}

void PrintMemorySummary(std::ostream& out, const MemoryFigures& memory) {
    if (!memory.measured) return;
    out << "Resident memory an export adds above what the process held before it (KiB):\n"
        << "  one path of 100 segments " << memory.onePath << "   (b) one path of 32767 segments " << memory.longPath
        << "   (a) 16191 paths of 100 segments " << memory.manyPaths << "\n";
    if (memory.onePath >= 0 && memory.longPath >= 0) {
        const long difference = memory.longPath - memory.onePath;
        out << "  (b) - one path = " << difference << " KiB (goal <= 2048: " << Verdict(difference <= 2048) << ")\n";
    }
}

void PrintCommandSummary(std::ostream& out, const SummaryReporter& reporter) {
    const auto& runs = bench::CommandRuns();
    const double inTurnA = reporter.Ratio("command_json_in_turn/a_curves_16191x100");
    if (runs.empty() && inTurnA <= 0) return;
    out << "The command (quillmark export FILE.json -o FILE.xaml, a subprocess) against the in-process export of the "
           "same document; ms per run, MiB = 2^20 bytes\n"
        << std::left << std::setw(22) << "workload" << std::right << std::setw(10) << "json MB" << std::setw(10)
        << "command" << std::setw(10) << "export" << std::setw(12) << "cmd/export" << std::setw(10) << "peak MiB"
        << std::setw(11) << "peak/json" << std::setw(9) << "cmd CPU" << std::setw(9) << "exp CPU" << std::setw(9)
        << "CPU rat" << "\n";
    out << std::fixed;
    double ratioA = 0, peakA = 0;
    for (const auto& [name, figures] : runs) {
        if (name.rfind("command_json/", 0) != 0) continue;
        const std::string workload = name.substr(std::string("command_json/").size());
        const double command = reporter.Seconds(name);
        const double exported = reporter.Seconds("export/" + workload);
        const double peakRatio = double(figures.peakKiB) * 1024.0 / double(figures.inputBytes);
        out << std::left << std::setw(22) << workload << std::right << std::setprecision(1) << std::setw(10)
            << double(figures.inputBytes) / 1e6 << std::setw(10) << command * 1e3 << std::setw(10) << exported * 1e3
            << std::setprecision(2) << std::setw(12) << (exported > 0 ? command / exported : 0.0) << std::setprecision(1)
            << std::setw(10) << double(figures.peakKiB) / 1024.0 << std::setprecision(2) << std::setw(11) << peakRatio;
        const double commandCpu = figures.runs > 0 ? figures.cpuSeconds / double(figures.runs) : 0;
        const double exportCpu = reporter.CpuSeconds("export/" + workload);
        out << std::setprecision(1) << std::setw(9) << commandCpu * 1e3 << std::setw(9) << exportCpu * 1e3
            << std::setprecision(2) << std::setw(9) << (exportCpu > 0 ? commandCpu / exportCpu : 0.0) << "\n";
        if (workload == "a_curves_16191x100") {
            ratioA = exported > 0 ? command / exported : 0;
            peakA = peakRatio;
        }
    }
    const double start = reporter.Seconds("command_start");
    if (start > 0) out << "  command_start (a document of one empty layer): " << std::setprecision(1) << start * 1e3 << " ms\n";
    if (ratioA > 0) {
        out << std::setprecision(2) << "  command / in-process export of (a) = " << ratioA
            << " (goal <= 2: " << Verdict(ratioA <= 2) << ")\n"
            << "  peak memory of the command on (a) / its JSON file = " << peakA << " (goal <= 1.5: " << Verdict(peakA <= 1.5)
            << ")\n";
    }
    if (inTurnA > 0) {
        out << std::setprecision(2) << "  command / in-process export of (a), the two taken in turn run by run = " << inTurnA
            << " (goal <= 2: " << Verdict(inTurnA <= 2) << ")\n";
    }
    out << "\n";
}

#if defined(QUILLMARK_BENCH_SVG)
void PrintSvgSummary(std::ostream& out, const SummaryReporter& reporter) {
    const auto& runs = bench::SvgCommandRuns();
    if (runs.empty()) return;
    out << std::fixed
        << "The command on SVG (quillmark export FILE.svg -o FILE.xaml, a subprocess) against the in-process export of "
           "the document read before it; ms per run (CPU: the process's user and system time), MiB = 2^20 bytes\n"
        << std::left << std::setw(38) << "workload" << std::right << std::setw(8) << "svg MB" << std::setw(9) << "command"
        << std::setw(9) << "export" << std::setw(10) << "read+exp" << std::setw(9) << "cmd/exp" << std::setw(9)
        << "cmd CPU" << std::setw(9) << "exp CPU" << std::setw(9) << "CPU rat" << std::setw(10) << "peak MiB"
        << std::setw(9) << "peak/svg" << "\n";
    std::vector<std::string> verdicts;
    for (const auto& [workload, description] : bench::SvgWorkloadNames()) {
        const auto found = runs.find("command_svg/" + workload);
        if (found == runs.end()) continue;
        const bench::CommandFigures& figures = found->second;
        const double command = reporter.Seconds("command_svg/" + workload);
        const double exported = reporter.Seconds("svg_export/" + workload);
        const double readExport = reporter.Seconds("svg_read_export/" + workload);
        const double commandCpu = figures.runs > 0 ? figures.cpuSeconds / double(figures.runs) : 0;
        const double exportCpu = reporter.CpuSeconds("svg_export/" + workload);
        const double ratio = exported > 0 ? command / exported : 0;
        const double cpuRatio = exportCpu > 0 ? commandCpu / exportCpu : 0;
        const double peakRatio = double(figures.peakKiB) * 1024.0 / double(figures.inputBytes);
        out << std::left << std::setw(38) << workload.substr(0, 37) << std::right << std::setprecision(1) << std::setw(8)
            << double(figures.inputBytes) / 1e6 << std::setw(9) << command * 1e3 << std::setw(9) << exported * 1e3
            << std::setw(10) << readExport * 1e3 << std::setprecision(2) << std::setw(9) << ratio << std::setprecision(1)
            << std::setw(9) << commandCpu * 1e3 << std::setw(9) << exportCpu * 1e3 << std::setprecision(2) << std::setw(9)
            << cpuRatio << std::setprecision(1) << std::setw(10) << double(figures.peakKiB) / 1024.0
            << std::setprecision(2) << std::setw(9) << peakRatio << "\n";
        std::ostringstream verdict;
        verdict << std::fixed << std::setprecision(2) << "  command / in-process export of " << workload << " = " << ratio
                << " (CPU " << cpuRatio << ") (goal <= 3: " << Verdict(ratio > 0 && ratio <= 3) << ")\n";
        verdicts.push_back(verdict.str());
    }
    for (const auto& [workload, description] : bench::SvgWorkloadNames()) out << "  " << workload << ": " << description << "\n";
    for (const std::string& verdict : verdicts) out << verdict;

    const auto batch = runs.find("batch/clipart");
    const double batchSeconds = reporter.Seconds("batch/clipart");
    const double inProcess = reporter.Seconds("batch_inprocess/clipart");
    const double start = reporter.Seconds("command_start");
    if (batch != runs.end() && batchSeconds > 0 && inProcess > 0) {
        const bench::CommandFigures& figures = batch->second;
        const double batchCpu = figures.runs > 0 ? figures.cpuSeconds / double(figures.runs) : 0;
        const double inProcessCpu = reporter.CpuSeconds("batch_inprocess/clipart");
        const double overhead = batchSeconds - inProcess - start;
        const double overheadCpu = batchCpu - inProcessCpu - start;
        out << std::setprecision(2) << "\nBatch: quillmark export " << bench::ClipartFolder() << " --out-dir OUT ("
            << bench::ClipartFileCount() << " drawings, one process, one at a time)\n"
            << "  batch " << batchSeconds << " s (CPU " << batchCpu << " s), in-process reads+exports " << inProcess
            << " s (CPU " << inProcessCpu << " s), command_start " << std::setprecision(1) << start * 1e3
            << " ms, peak " << double(figures.peakKiB) / 1024.0 << " MiB\n"
            << std::setprecision(2) << "  per-file overhead " << overhead << " s = " << std::setprecision(1)
            << 100 * overhead / batchSeconds << " % of the batch (CPU: " << std::setprecision(2) << overheadCpu
            << " s = " << std::setprecision(1) << (batchCpu > 0 ? 100 * overheadCpu / batchCpu : 0.0)
            << " %) (goal < 5 %: " << Verdict(overhead < 0.05 * batchSeconds) << "; in CPU time "
            << Verdict(overheadCpu < 0.05 * batchCpu) << ")\n";
    }
    // Taken in turn: the batch's mean time, and the loop's from the ratio of their sums.
    const double inTurnBatch = reporter.Seconds("batch_in_turn/clipart");
    const double inTurnRatio = reporter.Ratio("batch_in_turn/clipart");
    if (inTurnBatch > 0 && inTurnRatio > 0) {
        const double loop = inTurnBatch / inTurnRatio;
        const double overhead = inTurnBatch - loop - start;
        out << std::setprecision(2) << "  taken in turn, three times: batch " << inTurnBatch << " s, in-process " << loop
            << " s; per-file overhead " << overhead << " s = " << std::setprecision(1) << 100 * overhead / inTurnBatch
            << " % of the batch (goal < 5 %: " << Verdict(overhead < 0.05 * inTurnBatch) << ")\n";
    }
    out << "\n";
}

// The reader's goal: reading and exporting in-process against the export alone, from the two
// benchmarks run one after the other and from the two times taken in turn.
void PrintSvgReaderSummary(std::ostream& out, const SummaryReporter& reporter) {
    bool any = false;
    for (const auto& [workload, description] : bench::SvgWorkloadNames()) {
        const double exported = reporter.Seconds("svg_export/" + workload);
        const double readExport = reporter.Seconds("svg_read_export/" + workload);
        const double inTurn = reporter.Ratio("svg_read_export_in_turn/" + workload);
        if (exported <= 0 || readExport <= 0) continue;
        if (!any) out << "The SVG reader: read and export in-process against the export alone\n";
        any = true;
        out << std::fixed << std::setprecision(2) << "  " << workload << ": " << readExport / exported;
        if (inTurn > 0) out << ", taken in turn " << inTurn;
        out << " (goal <= 3: " << Verdict(readExport / exported <= 3) << "; taken in turn "
            << (inTurn > 0 ? Verdict(inTurn <= 3) : "not run") << ")\n";
    }
    if (any) out << "\n";
}
#endif

void PrintModelSummary(std::ostream& out, const std::vector<bench::ModelFigures>& models) {
    if (models.empty()) return;
    out << std::fixed;
    out << "The document model loaded from JSON: heap bytes it holds (allocator overhead included) against the bytes of "
           "its segments\n"
        << std::left << std::setw(30) << "document" << std::right << std::setw(10) << "segments" << std::setw(14)
        << "segment B" << std::setw(14) << "model B" << std::setw(10) << "blocks" << std::setw(13) << "model/segm"
        << "\n";
    double worst = 0;
    for (const bench::ModelFigures& model : models) {
        const double ratio = double(model.modelBytes) / double(model.segmentBytes);
        worst = std::max(worst, ratio);
        out << std::left << std::setw(30) << model.name << std::right << std::setw(10) << model.segments << std::setw(14)
            << model.segmentBytes << std::setw(14) << model.modelBytes << std::setw(10) << model.allocations
            << std::setprecision(2) << std::setw(13) << ratio << "\n";
    }
    out << "  largest model / segment bytes = " << worst << " (goal <= 2: " << Verdict(worst <= 2) << ")\n\n";
}

MemoryFigures MeasureMemory() {
    MemoryFigures memory;
    memory.measured = true;
    memory.onePath = bench::ExportPeakGrowthKiB([] { return bench::CurvedPaths(1, 100); });
    memory.longPath = bench::ExportPeakGrowthKiB([] { return bench::CurvedPaths(1, 32767); });
    memory.manyPaths = bench::ExportPeakGrowthKiB([] { return bench::CurvedPaths(16191, 100); });
    return memory;
}

}  // namespace

int main(int argc, char** argv) {
    // --no_memory skips the peak memory probes (each exports in a child process).
    bool measureMemory = true;
    std::vector<char*> arguments;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--no_memory") == 0) {
            measureMemory = false;
        } else {
            arguments.push_back(argv[i]);
        }
    }
    int count = static_cast<int>(arguments.size());
    benchmark::Initialize(&count, arguments.data());
    if (benchmark::ReportUnrecognizedArguments(count, arguments.data())) return 1;

    const MemoryFigures memory = measureMemory ? MeasureMemory() : MemoryFigures{};
    const std::vector<bench::ModelFigures> models = measureMemory ? bench::MeasureModels() : std::vector<bench::ModelFigures>{};
    bench::RegisterFormatterBenchmarks();
    bench::RegisterExportBenchmarks();
    bench::RegisterCommandBenchmarks();
#if defined(QUILLMARK_BENCH_SVG)
    bench::RegisterSvgCommandBenchmarks();
#endif

    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::ostream& out = reporter.GetOutputStream();
    out << "\n== Summary (this run) ==\n";
    PrintFormatterSummary(out, reporter);
    PrintExportSummary(out, reporter);
    PrintCommandSummary(out, reporter);
#if defined(QUILLMARK_BENCH_SVG)
    PrintSvgSummary(out, reporter);
    PrintSvgReaderSummary(out, reporter);
#endif
    PrintMemorySummary(out, memory);
    PrintModelSummary(out, models);
    benchmark::Shutdown();
    return 0;
}
