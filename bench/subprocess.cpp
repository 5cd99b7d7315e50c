#include "subprocess.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

#include "export_session.h"

extern char** environ;

namespace bench {

ProcessRun RunProcess(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    // Warnings (a batch of clip art has thousands) go to a file rather than the benchmark's output.
    const std::string messages = ScratchDirectory() + "/stderr.txt";
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, messages.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t child = 0;
    const int error = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ProcessRun run;
    if (error != 0) return run;
    int status = 0;
    struct rusage usage {};
    if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status)) return run;
    run.exitStatus = WEXITSTATUS(status);
    run.peakKiB = usage.ru_maxrss;
    run.cpuSeconds = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
    return run;
}

long PeakOfCommand(const std::vector<std::string>& arguments, int acceptedStatus) {
    const std::string report = ScratchDirectory() + "/peak.txt";
    std::vector<std::string> timed = {"/usr/bin/time", "-f", "%M", "-o", report};
    timed.insert(timed.end(), arguments.begin(), arguments.end());
    const ProcessRun run = RunProcess(timed);
    if (run.exitStatus < 0 || run.exitStatus > acceptedStatus) return -1;
    std::ifstream in(report);
    long peak = -1;
    in >> peak;
    return peak;
}

}  // namespace bench
