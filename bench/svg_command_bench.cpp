#include "svg_command_bench.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <vector>

#include "command_bench.h"
#include "document/svg/svg_reader.h"
#include "document/text_file.h"
#include "export_session.h"
#include "subprocess.h"
#include "synthetic_documents.h"

#ifndef QUILLMARK_COMMAND
#error "QUILLMARK_COMMAND must name the quillmark command"
#endif

namespace bench {

namespace {

namespace fs = std::filesystem;

std::map<std::string, CommandFigures>& Runs() {
    static std::map<std::string, CommandFigures> runs;
    return runs;
}

// ---- SVG text of a synthetic document ----

void AppendNumber(std::string& out, float value) {
    char text[32];
    const auto [end, error] = std::to_chars(text, text + sizeof text, value);
    out.append(text, end);
}

void AppendPoint(std::string& out, const RealPoint& point) {
    out += ' ';
    AppendNumber(out, point.h);
    out += ' ';
    AppendNumber(out, point.v);
}

void AppendHex(std::string& out, float component) {
    const int value = std::clamp(static_cast<int>(component * 255.0f + 0.5f), 0, 255);
    static const char kDigits[] = "0123456789abcdef";
    out += kDigits[value >> 4];
    out += kDigits[value & 15];
}

// One <path> per path, its segments as one M and a C per segment (the closing one included),
// filled with its solid RGB colour.
void AppendArt(std::string& out, const document::Art& art) {
    if (art.type == kPathArt && !art.segments.empty()) {
        const std::vector<PathSegment>& segments = art.segments;
        out += "<path fill=\"#";
        const ThreeColorStyle& rgb = art.Style().fill.color.c.rgb;
        AppendHex(out, rgb.red);
        AppendHex(out, rgb.green);
        AppendHex(out, rgb.blue);
        out += "\" d=\"M";
        AppendPoint(out, segments[0].p);
        const size_t count = segments.size();
        for (size_t i = 1; i <= count; ++i) {
            if (i == count && !art.closed) break;
            const PathSegment& from = segments[i - 1];
            const PathSegment& to = segments[i % count];
            out += " C";
            AppendPoint(out, from.out);
            AppendPoint(out, to.in);
            AppendPoint(out, to.p);
        }
        if (art.closed) out += " Z";
        out += "\"/>\n";
    }
    for (const auto& child : art.children) AppendArt(out, *child);
}

std::string SvgOf(const document::Document& document) {
    RealRect box{};
    bool first = true;
    for (const auto& root : document.layers) {
        const RealRect bounds = document::BoundsOf(*root);
        if (first) box = bounds, first = false;
        box.left = std::min(box.left, bounds.left), box.right = std::max(box.right, bounds.right);
        box.bottom = std::min(box.bottom, bounds.bottom), box.top = std::max(box.top, bounds.top);
    }
    std::string out = "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"";
    AppendNumber(out, box.left);
    out += ' ';
    AppendNumber(out, box.bottom);
    out += ' ';
    AppendNumber(out, box.right - box.left);
    out += ' ';
    AppendNumber(out, box.top - box.bottom);
    out += "\">\n";
    for (const auto& root : document.layers) AppendArt(out, *root);
    out += "</svg>\n";
    return out;
}

// ---- the documents ----

struct SvgWorkload {
    std::string name;
    std::string description;
    std::string path;  // written before the first benchmark that needs it (synthetic ones)
    document::Document (*build)() = nullptr;
};

fs::path ClipartPath() {
    const char* folder = std::getenv("QUILLMARK_CLIPART");
    return folder != nullptr ? folder : "/usr/share/openclipart/svg";
}

std::vector<fs::path> ClipartFiles() {
    std::vector<fs::path> files;
    std::error_code error;
    for (fs::recursive_directory_iterator it(ClipartPath(), error), end; !error && it != end; it.increment(error)) {
        const fs::path extension = it->path().extension();
        if (it->is_regular_file(error) && (extension == ".svg" || extension == ".svgz")) files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<SvgWorkload> MakeWorkloads() {
    std::vector<SvgWorkload> workloads;
    workloads.push_back({"a_curves_16191x100", "(a) as SVG: 16191 <path> of 100 cubic segments, solid fills", "",
                         [] { return CurvedPaths(16191, 100); }});
    workloads.push_back({"b_one_path_32767", "(b) as SVG: one <path> of 32767 cubic segments", "",
                         [] { return CurvedPaths(1, 32767); }});
    std::vector<std::pair<std::uintmax_t, fs::path>> sized;
    for (const fs::path& file : ClipartFiles()) {
        std::error_code error;
        sized.emplace_back(fs::file_size(file, error), file);
    }
    std::sort(sized.rbegin(), sized.rend());
    // The package holds some drawings twice, in two folders: each name once.
    std::vector<std::string> names;
    for (size_t i = 0; i < sized.size() && names.size() < 3; ++i) {
        const fs::path& file = sized[i].second;
        if (std::find(names.begin(), names.end(), file.stem().string()) != names.end()) continue;
        names.push_back(file.stem().string());
        workloads.push_back({"clip_" + file.stem().string(), "clip art " + fs::relative(file, ClipartPath()).string(),
                             file.string(), nullptr});
    }
    return workloads;
}

std::vector<SvgWorkload>& Workloads() {
    static std::vector<SvgWorkload> workloads = MakeWorkloads();
    return workloads;
}

const std::string& FileOf(SvgWorkload& workload) {
    if (workload.path.empty()) {
        const std::string path = ScratchDirectory() + "/" + workload.name + ".svg";
        std::ofstream out(path, std::ios::binary);
        out << SvgOf(workload.build());
        if (!out.flush()) throw std::runtime_error("cannot write " + path);
        workload.path = path;
    }
    return workload.path;
}

// Reads the file as the command does: read into memory, then parsed there by the SVG reader.
document::Document ReadSvgDocument(const std::string& path) {
    document::TextFile file(path);
    document::svg::WritableXml text;
    text.data = file.WritableText();
    text.size = file.Text().size();
    text.readAgain = [&path] { return std::string(document::TextFile(path).Text()); };
    return document::svg::ReadSvgInPlace(text, path).document;
}

// ---- the benchmarks ----

void CommandSvg(benchmark::State& state, SvgWorkload* workload) {
    TimeCommandExport(state, FileOf(*workload), Runs()["command_svg/" + workload->name]);
}

void SvgExport(benchmark::State& state, SvgWorkload* workload) {
    ExportSession session(ReadSvgDocument(FileOf(*workload)));
    const std::string output = ScratchDirectory() + "/svg-export.xaml";
    for (auto _ : state) {
        if (session.Export(output) != kNoErr) {
            state.SkipWithError("the export failed");
            return;
        }
    }
}

void SvgReadExport(benchmark::State& state, SvgWorkload* workload) {
    const std::string& file = FileOf(*workload);
    const std::string output = ScratchDirectory() + "/svg-export.xaml";
    for (auto _ : state) {
        ExportSession session(ReadSvgDocument(file));
        if (session.Export(output) != kNoErr) {
            state.SkipWithError("the export failed");
            return;
        }
    }
}

// The reader's goal with its two times taken in turn: each iteration exports the document
// alone as SvgExport does (its read and a first export untimed), then reads and exports it as
// SvgReadExport does. This machine's speed drifts by a third within minutes, which the two
// benchmarks above, run one after the other, see as a change of their ratio; taken in turn,
// both times meet the same drift. The iteration's time is the read and export's; the counter
// `ratio` is the sum of those over the sum of the exports alone.
void SvgReadExportInTurn(benchmark::State& state, SvgWorkload* workload) {
    using Clock = std::chrono::steady_clock;
    const std::string& file = FileOf(*workload);
    const std::string output = ScratchDirectory() + "/svg-export.xaml";
    const auto exported = [&](ExportSession& session) {
        if (session.Export(output) == kNoErr) return true;
        state.SkipWithError("the export failed");
        return false;
    };
    double alone = 0, both = 0;
    for (auto _ : state) {
        {
            // Exported once first, so that the timed export finds the document as SvgExport's
            // repeated exports do: in the caches, its output file there to be replaced.
            ExportSession session(ReadSvgDocument(file));
            if (!exported(session)) return;
            const Clock::time_point start = Clock::now();
            if (!exported(session)) return;
            alone += std::chrono::duration<double>(Clock::now() - start).count();
        }
        const Clock::time_point start = Clock::now();
        {
            ExportSession session(ReadSvgDocument(file));
            if (!exported(session)) return;
        }
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        both += seconds;
        state.SetIterationTime(seconds);
    }
    if (alone > 0) state.counters["ratio"] = both / alone;
    state.counters["alone_ms"] = benchmark::Counter(alone * 1e3, benchmark::Counter::kAvgIterations);
}

long& FileCount() {
    static long count = 0;
    return count;
}

// A new folder for one run's outputs, never used before. The outputs stay until the process
// ends: on ext4 without a journal (this machine's /tmp), every file created for some tens of
// seconds after many were deleted skips the deleted ones' inodes, so removing one run's 8121
// files slowed the creations of the run that followed (the in-process loop, after the batch).
std::string NewOutputFolder(const std::string& name) {
    static int made = 0;
    return ScratchDirectory() + "/" + name + "-" + std::to_string(++made);
}

// Reads every file once, so that the batch, which runs first, finds them in the page cache as
// the in-process loop after it does: a batch that read some from the disk waited for it (7000
// voluntary context switches and 0.2 s of wall time more than its processor time, where a run
// right after it had 400 and none).
void ReadEachFileOnce(const std::vector<fs::path>& files) {
    std::vector<char> buffer(size_t(1) << 20);
    for (const fs::path& file : files) {
        std::ifstream in(file, std::ios::binary);
        while (in.read(buffer.data(), std::streamsize(buffer.size()))) {
        }
    }
}

// The whole package in one command, sequentially (the command's default).
void BatchCommand(benchmark::State& state) {
    CommandFigures& figures = Runs()["batch/clipart"];
    FileCount() = static_cast<long>(ClipartFiles().size());
    ReadEachFileOnce(ClipartFiles());
    for (auto _ : state) {
        // A new folder each time, as for the in-process reads: replacing existing files costs the
        // file system more than writing new ones.
        state.PauseTiming();
        const std::vector<std::string> command = {QUILLMARK_COMMAND, "export", ClipartPath().string(), "--out-dir",
                                                  NewOutputFolder("batch")};
        state.ResumeTiming();
        const ProcessRun run = RunProcess(command);
        // 1: some document failed, which the in-process sum counts as well.
        if (run.exitStatus != 0 && run.exitStatus != 1) {
            state.SkipWithError("the command failed");
            return;
        }
        figures.cpuSeconds += run.cpuSeconds;
        ++figures.runs;
    }
    const std::vector<std::string> command = {QUILLMARK_COMMAND, "export", ClipartPath().string(), "--out-dir",
                                              NewOutputFolder("batch-peak")};
    figures.peakKiB = std::max(figures.peakKiB, PeakOfCommand(command, 1));
    state.counters["files"] = double(FileCount());
}

// Every drawing read and exported in this process, one after the other through one host, each
// to a new file of a new folder, as the batch writes them: what the batch does besides starting,
// and without its per-file bookkeeping. Answers how many the plug-in refused.
long ExportEachInProcess(const std::vector<fs::path>& files, const std::string& folder) {
    fs::create_directories(folder);
    long refused = 0;
    DocumentExporter exporter;
    for (size_t i = 0; i < files.size(); ++i) {
        try {
            if (exporter.Export(ReadSvgDocument(files[i].string()), folder + "/" + std::to_string(i) + ".xaml") != kNoErr) {
                ++refused;
            }
        } catch (const std::exception&) {
            ++refused;
        }
    }
    return refused;
}

void BatchInProcess(benchmark::State& state) {
    const std::vector<fs::path> files = ClipartFiles();
    long refused = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const std::string folder = NewOutputFolder("batch-inprocess");
        state.ResumeTiming();
        refused = ExportEachInProcess(files, folder);
    }
    state.counters["files"] = double(files.size());
    state.counters["refused"] = double(refused);
}

// The batch and the in-process loop taken in turn, three times: this machine's speed drifts by
// more than the goal's margin between two benchmarks run one after the other. Its time is the
// batch's, its counter `ratio` the sum of the batches' times over the sum of the loops'.
void BatchInTurn(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    const std::vector<fs::path> files = ClipartFiles();
    ReadEachFileOnce(files);
    double batches = 0, loops = 0;
    for (auto _ : state) {
        const std::vector<std::string> command = {QUILLMARK_COMMAND, "export", ClipartPath().string(), "--out-dir",
                                                  NewOutputFolder("batch-in-turn")};
        const std::string folder = NewOutputFolder("batch-inprocess-in-turn");
        const Clock::time_point start = Clock::now();
        const ProcessRun run = RunProcess(command);
        const Clock::time_point middle = Clock::now();
        if (run.exitStatus != 0 && run.exitStatus != 1) {
            state.SkipWithError("the command failed");
            return;
        }
        ExportEachInProcess(files, folder);
        const double batch = std::chrono::duration<double>(middle - start).count();
        batches += batch;
        loops += std::chrono::duration<double>(Clock::now() - middle).count();
        state.SetIterationTime(batch);
    }
    if (loops > 0) state.counters["ratio"] = batches / loops;
}

}  // namespace

const std::map<std::string, CommandFigures>& SvgCommandRuns() {
    return Runs();
}

std::vector<std::pair<std::string, std::string>> SvgWorkloadNames() {
    std::vector<std::pair<std::string, std::string>> names;
    for (const SvgWorkload& workload : Workloads()) names.emplace_back(workload.name, workload.description);
    return names;
}

const std::string& ClipartFolder() {
    static const std::string folder = ClipartPath().string();
    return folder;
}

long ClipartFileCount() {
    return FileCount();
}

void RegisterSvgCommandBenchmarks() {
    for (SvgWorkload& workload : Workloads()) {
        for (const auto& [prefix, function] : {std::pair{"command_svg/", &CommandSvg}, std::pair{"svg_export/", &SvgExport},
                                               std::pair{"svg_read_export/", &SvgReadExport}}) {
            benchmark::RegisterBenchmark((prefix + workload.name).c_str(), function, &workload)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
        }
        benchmark::RegisterBenchmark(("svg_read_export_in_turn/" + workload.name).c_str(), SvgReadExportInTurn,
                                     &workload)
            ->Unit(benchmark::kMillisecond)
            ->UseManualTime();
    }
    if (ClipartFiles().empty()) return;
    benchmark::RegisterBenchmark("batch/clipart", BatchCommand)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
    benchmark::RegisterBenchmark("batch_inprocess/clipart", BatchInProcess)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(1);
    benchmark::RegisterBenchmark("batch_in_turn/clipart", BatchInTurn)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
}

}  // namespace bench
