#include "cli/batch_workers.h"

#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>

#include "cli/batch_memory.h"
#include "cli/pictures_loader.h"
#include "cli/plugin_host.h"

#if !defined(_WIN32)
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
extern char** environ;
#endif

namespace cli {

namespace {

// The frames a worker answers with, on its result pipe:
//   "ready\n"                           the module is loaded
//   "staging LENGTH\n" PATH             a staging folder it made, where it writes its exports
//   "result STATUS LENGTH\n" MESSAGES   the current job is done
constexpr char kReady[] = "ready";
constexpr char kStaging[] = "staging";
constexpr char kResult[] = "result";

}  // namespace

#if defined(_WIN32)

bool WorkersAvailable() {
    return false;
}

bool RunInWorkers(const std::vector<WorkerJob>&, int, double, const std::vector<std::string>&,
                  const std::function<void(size_t, FileResult)>&, bool&) {
    return false;
}

int RunWorker(const CommandLine&, const char*) {
    std::cerr << "quillmark: worker processes are not available on this platform\n";
    return 2;
}

#else

namespace {

bool WriteAll(int fd, const std::string& bytes) {
    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        written += size_t(n);
    }
    return true;
}

std::string Frame(const std::string& head, const std::string& body) {
    return head + " " + std::to_string(body.size()) + "\n" + body;
}

struct Worker {
    pid_t pid = -1;
    int jobs = -1;     // we write jobs here
    int results = -1;  // and read results here
    std::string buffer;
    bool ready = false;
    std::optional<size_t> current;  // index into the job list
    std::chrono::steady_clock::time_point started;  // of the current job
    bool stopped = false;  // killed for taking too long
    std::vector<std::string> stagingFolders;  // removed once it ends, whatever it left in them
};

// How a worker ended, for the message of the file it was exporting.
std::string EndOf(int status) {
    if (WIFSIGNALED(status)) {
        return "ended by signal " + std::to_string(WTERMSIG(status)) + " (" + strsignal(WTERMSIG(status)) + ")";
    }
    if (WIFEXITED(status)) return "exited with status " + std::to_string(WEXITSTATUS(status));
    return "ended";
}

bool Spawn(Worker& worker, const std::vector<std::string>& arguments) {
    int jobPipe[2];
    int resultPipe[2];
    if (pipe2(jobPipe, O_CLOEXEC) != 0) return false;
    if (pipe2(resultPipe, O_CLOEXEC) != 0) {
        close(jobPipe[0]);
        close(jobPipe[1]);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, jobPipe[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, resultPipe[1], STDOUT_FILENO);
    std::vector<char*> argv;
    std::string program = "quillmark";
    argv.push_back(program.data());
    std::vector<std::string> copies = arguments;
    for (std::string& argument : copies) argv.push_back(argument.data());
    argv.push_back(nullptr);
    const int error = posix_spawn(&worker.pid, "/proc/self/exe", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(jobPipe[0]);
    close(resultPipe[1]);
    if (error != 0) {
        close(jobPipe[1]);
        close(resultPipe[0]);
        std::cerr << "quillmark: cannot start a worker process: " << std::strerror(error) << "\n";
        return false;
    }
    worker.jobs = jobPipe[1];
    worker.results = resultPipe[0];
    return true;
}

class Pool {
public:
    Pool(const std::vector<WorkerJob>& jobs, const std::vector<std::string>& arguments, double timeout,
         const std::function<void(size_t, FileResult)>& finished)
        : jobs_(jobs), arguments_(arguments), timeout_(timeout), finished_(finished) {}

    bool Run(int count);
    bool AnyEndedBadly() const { return endedBadly_; }

private:
    void Assign(Worker& worker);
    // Handles the complete frames in the worker's buffer.
    void Parse(Worker& worker);
    void Ended(Worker& worker);
    // Milliseconds until the first running job reaches the time limit, or -1.
    int PollTimeout() const;
    void StopSlowWorkers();

    const std::vector<WorkerJob>& jobs_;
    const std::vector<std::string>& arguments_;
    double timeout_;
    const std::function<void(size_t, FileResult)>& finished_;
    std::vector<Worker> workers_;
    size_t next_ = 0;
    bool anyReady_ = false;
    bool endedBadly_ = false;  // a worker ended with a failure between files
};

void Pool::Assign(Worker& worker) {
    if (next_ >= jobs_.size()) {
        // No more work: the end of its input tells the worker to finish.
        if (worker.jobs >= 0) close(worker.jobs);
        worker.jobs = -1;
        return;
    }
    const WorkerJob& job = jobs_[next_];
    worker.current = next_++;
    worker.started = std::chrono::steady_clock::now();
    std::string request = job.input;
    request += '\0';
    request += job.output;
    request += '\0';
    // A worker that died meanwhile is noticed at the end of its result pipe.
    WriteAll(worker.jobs, request);
}

void Pool::Parse(Worker& worker) {
    while (true) {
        const size_t newline = worker.buffer.find('\n');
        if (newline == std::string::npos) return;
        const std::string head = worker.buffer.substr(0, newline);
        if (head == kReady) {
            worker.buffer.erase(0, newline + 1);
            worker.ready = anyReady_ = true;
            Assign(worker);
            continue;
        }
        const size_t space = head.rfind(' ');
        if (space == std::string::npos) return;
        const size_t length = std::stoul(head.substr(space + 1));
        if (worker.buffer.size() < newline + 1 + length) return;  // the rest is still coming
        const std::string body = worker.buffer.substr(newline + 1, length);
        worker.buffer.erase(0, newline + 1 + length);
        if (head.rfind(kStaging, 0) == 0) {
            worker.stagingFolders.push_back(body);
        } else if (head.rfind(kResult, 0) == 0 && worker.current) {
            const int status = std::stoi(head.substr(sizeof kResult, space - sizeof kResult));
            const size_t index = *worker.current;
            worker.current.reset();
            finished_(jobs_[index].index, FileResult{static_cast<FileStatus>(status), body});
            Assign(worker);
        }
    }
}

void Pool::Ended(Worker& worker) {
    close(worker.results);
    worker.results = -1;
    if (worker.jobs >= 0) close(worker.jobs);
    worker.jobs = -1;
    int status = 0;
    while (waitpid(worker.pid, &status, 0) < 0 && errno == EINTR) {
    }
    // A worker that ends normally has removed its staging folders already.
    for (const std::string& folder : worker.stagingFolders) {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    worker.stagingFolders.clear();
    if (!worker.current && worker.ready && !(WIFEXITED(status) && WEXITSTATUS(status) == 0)) endedBadly_ = true;
    if (worker.current) {
        const WorkerJob& job = jobs_[*worker.current];
        char limit[32];
        std::snprintf(limit, sizeof limit, "%g", timeout_);
        const std::string why = worker.stopped ? std::string("took longer than ") + limit + " s and was stopped"
                                               : "made its worker process end: it " + EndOf(status);
        finished_(job.index, FileResult{FileStatus::kExportFailed, "quillmark: " + job.input + ": " + why + "; not exported\n"});
        worker.current.reset();
    }
    // The rest of the batch goes on in a new worker, unless workers cannot start at all.
    if (worker.ready && next_ < jobs_.size()) {
        Worker replacement;
        if (Spawn(replacement, arguments_)) {
            worker = std::move(replacement);
            return;
        }
    }
    worker.pid = -1;
}

int Pool::PollTimeout() const {
    if (timeout_ <= 0) return -1;
    double shortest = timeout_;
    const auto now = std::chrono::steady_clock::now();
    for (const Worker& worker : workers_) {
        if (worker.results < 0 || !worker.current || worker.stopped) continue;
        shortest = std::min(shortest, timeout_ - std::chrono::duration<double>(now - worker.started).count());
    }
    return std::max(0, int(shortest * 1000) + 1);
}

void Pool::StopSlowWorkers() {
    if (timeout_ <= 0) return;
    const auto now = std::chrono::steady_clock::now();
    for (Worker& worker : workers_) {
        if (worker.results < 0 || !worker.current || worker.stopped) continue;
        if (std::chrono::duration<double>(now - worker.started).count() < timeout_) continue;
        // Its pipe then ends, and Ended() reports the file and starts another worker.
        worker.stopped = true;
        kill(worker.pid, SIGKILL);
    }
}

bool Pool::Run(int count) {
    const size_t wanted = std::min(size_t(count), jobs_.size());
    for (size_t i = 0; i < wanted; ++i) {
        Worker worker;
        if (!Spawn(worker, arguments_)) break;
        workers_.push_back(std::move(worker));
    }
    if (workers_.empty()) return false;
    while (true) {
        std::vector<pollfd> fds;
        std::vector<Worker*> owners;
        for (Worker& worker : workers_) {
            if (worker.results < 0) continue;
            fds.push_back({worker.results, POLLIN, 0});
            owners.push_back(&worker);
        }
        if (fds.empty()) break;
        if (poll(fds.data(), fds.size(), PollTimeout()) < 0) {
            if (errno == EINTR) continue;
            std::cerr << "quillmark: waiting for the workers failed: " << std::strerror(errno) << "\n";
            return false;
        }
        for (size_t i = 0; i < fds.size(); ++i) {
            if (fds[i].revents == 0) continue;
            Worker& worker = *owners[i];
            if (worker.results < 0) continue;
            char chunk[65536];
            const ssize_t n = read(worker.results, chunk, sizeof chunk);
            if (n < 0 && errno == EINTR) continue;
            if (n > 0) {
                worker.buffer.append(chunk, size_t(n));
                Parse(worker);
            } else {
                Ended(worker);
            }
        }
        StopSlowWorkers();
    }
    // Workers that ended before they were ready said why; jobs nobody took are lost otherwise.
    if (!anyReady_) return false;
    for (; next_ < jobs_.size(); ++next_) {
        const WorkerJob& job = jobs_[next_];
        finished_(job.index, FileResult{FileStatus::kExportFailed,
                                        "quillmark: " + job.input + ": no worker process was left to export it\n"});
    }
    return true;
}

}  // namespace

bool WorkersAvailable() {
    return true;
}

bool RunInWorkers(const std::vector<WorkerJob>& jobs, int count, double timeout, const std::vector<std::string>& workerArguments,
                  const std::function<void(size_t, FileResult)>& finished, bool& workerFailed) {
    // A worker that dies must not take the batch with it when its job is written.
    signal(SIGPIPE, SIG_IGN);
    Pool pool(jobs, workerArguments, timeout, finished);
    const bool ran = pool.Run(count);
    workerFailed = pool.AnyEndedBadly();
    return ran;
}

int RunWorker(const CommandLine& line, const char* argv0) {
    // Results go to the pipe that is standard output; anything else printed to standard output
    // (by the plug-in, say) must not mix with them.
    const int results = fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
    if (results < 0 || dup2(STDERR_FILENO, STDOUT_FILENO) < 0) return 2;

    KeepFreedMemoryForTheNextDocument();
    const PluginFiles files = FindPluginFiles(line, argv0);
    std::shared_ptr<const substitute::ResourceFile> resources;
    if (!LoadResourceFile(files, false, resources)) return 2;
    const std::unique_ptr<substitute::PluginModule> module = LoadModule(files.module);
    if (!module || !LoadModuleResources(files, *module, resources)) return 2;
    PicturesModule pictures(files.pictures);
    FileExporter exporter(*module, resources, line, pictures);
    exporter.KeepPluginStarted();
    exporter.OnStagingFolder([results](const std::string& path) { WriteAll(results, Frame(kStaging, path)); });
    if (!WriteAll(results, std::string(kReady) + "\n")) return 2;

    std::string input;
    std::string output;
    while (std::getline(std::cin, input, '\0') && std::getline(std::cin, output, '\0')) {
        const FileResult result = exporter.Export(input, output);
        const std::string head = std::string(kResult) + " " + std::to_string(static_cast<int>(result.status));
        if (!WriteAll(results, Frame(head, result.messages))) return 2;
    }
    const std::string shutdownFailure = exporter.Finish();
    if (shutdownFailure.empty()) return 0;
    std::cerr << shutdownFailure << "\n";
    return 1;
}

#endif

}  // namespace cli
