// The export benchmarks: each document is exported, its bytes are written from memory with
// one fwrite (the limit), and its numbers are formatted with printf's "%f" (the baseline).
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "document/document.h"

namespace bench {

struct Workload {
    Workload(std::string name_, std::string description_, std::function<document::Document()> build_)
        : name(std::move(name_)), description(std::move(description_)), build(std::move(build_)) {}

    std::string name;  // names the benchmarks: export/NAME, fwrite/NAME, ...
    std::string description;
    std::function<document::Document()> build;

    // Filled by the first benchmark that needs them: the bytes of one export and its numbers.
    bool prepared = false;
    std::string output;
    std::vector<float> numbers;
};

// The documents (a) to (d); (d) only when examples/ holds a document.
std::vector<Workload>& Workloads();

// Registers export/, fwrite/, printf/ and format/ benchmarks for every workload.
void RegisterExportBenchmarks();

// Exports once and keeps the bytes and the numbers found in them.
void Prepare(Workload& workload);

}  // namespace bench
