// One export of an example through the real module in the substitute host, with the host told
// to misbehave, and what must hold afterwards whatever the host answered.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "substitute/host.h"

namespace fault_test {

enum class Mode { kWpf, kWpfe, kDrawingBrush };

struct Scenario {
    std::string example;  // path of the JSON document
    Mode mode;
};

// Every example of the examples folder, and the documents of the tests' own beside this file
// (plug-in groups, which no example has), in every mode.
std::vector<Scenario> AllScenarios();
std::string Describe(const Scenario& scenario);

// How often each host operation is called in an export of the scenario whose host answers
// normally: start-up, "AI Go" and shut-down.
int CallsInCleanExport(const Scenario& scenario, const std::string& operation);
// The operations such an export calls.
std::vector<std::string> OperationsOfCleanExport(const Scenario& scenario);

// Runs the scenario's export with a host that `misbehave` prepares, and checks that it left
// nothing behind: no suite held, no host block held, no block freed twice, no suite released
// that was not held; at the output path either the file that was there before, untouched, or a
// whole, well-formed XML file; no other file beside it. `operation` names the operation that
// misbehaves; when it was `refused` (made to fail), a refused release or free keeps what it
// would have given back.
// Failures are reported with `what` as GoogleTest failures.
// Answers what the host saw of the misbehaviour.
struct Misbehaviour {
    int calls;           // of refusedOperation, or of the operation that answered nonsense
    int nonsenseGiven;   // nonsense answers the host gave
};
Misbehaviour ExportAndCheck(const Scenario& scenario, const std::function<void(substitute::Host&)>& misbehave,
                            const std::string& what, const std::string& operation, bool refused);

// Answers whether `text` is well-formed XML, with the parser's complaint in `error` if not.
bool IsWellFormedXml(const std::string& text, std::string* error);

}  // namespace fault_test
