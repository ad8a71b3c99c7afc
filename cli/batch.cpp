// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <deque>
#include <map>

#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <wx/filename.h>

#include "dp.h"
#include "progress_bar.h"

namespace {

using Clock = std::chrono::steady_clock;

struct BatchFile {
    ResizeRequest request;
    std::string refusal;  // set when the file is refused before any carving
};

// Refuses, before anything is carved, a result that cannot be written in its format, that
// would replace its own input, or that another input of the batch would also write.
std::vector<BatchFile> PlanFiles(const CliOptions& options)
{
    std::vector<BatchFile> files;
    std::map<std::string, std::string> claimed;  // result path -> input
    for (const std::string& input : options.inputs) {
        BatchFile file{{input, BatchOutputPath(options, input), options.format}, {}};
        file.refusal = FormatRefusal(file.request);
        struct stat in {
        }, out{};
        if (file.refusal.empty() && ::stat(input.c_str(), &in) == 0 &&
            ::stat(file.request.output.c_str(), &out) == 0 && in.st_dev == out.st_dev &&
            in.st_ino == out.st_ino)
            file.refusal = "'" + input + "' would be replaced by its own result";
        const auto [earlier, fresh] = claimed.emplace(file.request.output, input);
        if (file.refusal.empty() && !fresh)
            file.refusal = "'" + input + "' and '" + earlier->second +
                           "' would both be written to '" + file.request.output + "'";
        files.push_back(file);
    }
    return files;
}

// The child's side: runs one job, telling the parent through fd what happens, one line each:
// "P done total" (throttled), "W warning", "E status error".
[[noreturn]] void RunWorker(const CliOptions& options, const ResizeRequest& request, int fd)
{
    DP::SetThreads(1);  // a batch keeps the cores busy with files, one core each
    FILE* out = ::fdopen(fd, "w");
    Clock::time_point last{};
    const JobOutcome outcome = RunResizeJob(options, request, [&](int done, int total) {
        const auto now = Clock::now();
        if (done < total && now - last < std::chrono::milliseconds(100))
            return;
        last = now;
        std::fprintf(out, "P %d %d\n", done, total);
        std::fflush(out);
    });
    for (const std::string& warning : outcome.warnings)
        std::fprintf(out, "W %s\n", warning.c_str());
    if (outcome.status != kExitSuccess)
        std::fprintf(out, "E %d %s\n", outcome.status, outcome.error.c_str());
    std::fclose(out);
    ::_exit(outcome.status == kExitSuccess ? 0 : 1);
}

struct Worker {
    pid_t pid = -1;
    int fd = -1;
    std::string input;
    std::string pending;  // a line not yet complete
    std::string error;
    std::vector<std::string> warnings;
    int seamsDone = 0;
    int seamsTotal = 0;
};

class Batch {
public:
    Batch(const CliOptions& options, bool showProgress)
        : options_(options), progress_(static_cast<int>(options.inputs.size()), showProgress)
    {
    }

    ExitStatus Run();

private:
    bool Start(const BatchFile& file);
    void ReadFrom(Worker& worker);
    void Finish(Worker& worker);
    void Report(const char* kind, const std::string& input, const std::string& text);
    void Wait();
    void DrawProgress();

    const CliOptions& options_;
    BatchProgress progress_;
    std::vector<Worker> running_;
    int finished_ = 0;
    int failed_ = 0;
    long long seamsOfFinished_ = 0;
};

void Batch::Report(const char* kind, const std::string& input, const std::string& text)
{
    progress_.Clear();
    // Most reports name their file already; the others get the input's name.
    const bool named = text.find('\'') != std::string::npos;
    std::fprintf(stderr, "kerv-cli: %s: %s%s\n", kind, named ? "" : ("'" + input + "': ").c_str(),
                 text.c_str());
}

bool Batch::Start(const BatchFile& file)
{
    int channel[2];
    if (::pipe(channel) != 0)
        return false;
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(channel[0]);
        ::close(channel[1]);
        return false;
    }
    if (pid == 0) {
        ::close(channel[0]);
        for (const Worker& other : running_)
            ::close(other.fd);
        RunWorker(options_, file.request, channel[1]);
    }
    ::close(channel[1]);
    Worker worker;
    worker.pid = pid;
    worker.fd = channel[0];
    worker.input = file.request.input;
    running_.push_back(worker);
    return true;
}

void Batch::ReadFrom(Worker& worker)
{
    char buffer[4096];
    ssize_t got;
    while ((got = ::read(worker.fd, buffer, sizeof buffer)) < 0 && errno == EINTR) {
    }
    if (got <= 0) {
        ::close(worker.fd);
        worker.fd = -1;
        return;
    }
    worker.pending.append(buffer, static_cast<size_t>(got));
    size_t end;
    while ((end = worker.pending.find('\n')) != std::string::npos) {
        const std::string line = worker.pending.substr(0, end);
        worker.pending.erase(0, end + 1);
        if (line.rfind("P ", 0) == 0)
            std::sscanf(line.c_str(), "P %d %d", &worker.seamsDone, &worker.seamsTotal);
        else if (line.rfind("W ", 0) == 0)
            worker.warnings.push_back(line.substr(2));
        else if (line.rfind("E ", 0) == 0)
            worker.error = line.substr(line.find(' ', 2) + 1);
    }
}

void Batch::Finish(Worker& worker)
{
    int status = 0;
    while (::waitpid(worker.pid, &status, 0) < 0 && errno == EINTR) {
    }
    for (const std::string& warning : worker.warnings)
        Report("warning", worker.input, warning);
    const bool ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!ok) {
        ++failed_;
        if (worker.error.empty())
            worker.error = WIFSIGNALED(status) ? std::string("the carving process was killed: ") +
                                                     ::strsignal(WTERMSIG(status))
                                               : "the carving process failed";
        Report("error", worker.input, worker.error);
    }
    seamsOfFinished_ += worker.seamsDone;
    ++finished_;
}

void Batch::Wait()
{
    std::vector<pollfd> watched;
    for (const Worker& worker : running_)
        watched.push_back({worker.fd, POLLIN, 0});
    if (::poll(watched.data(), watched.size(), 100) <= 0)
        return;
    for (size_t i = 0; i < watched.size(); ++i) {
        if (watched[i].revents != 0)
            ReadFrom(running_[i]);
    }
    for (auto it = running_.begin(); it != running_.end();) {
        if (it->fd < 0) {
            Finish(*it);
            it = running_.erase(it);
        } else {
            ++it;
        }
    }
}

void Batch::DrawProgress()
{
    long long seams = seamsOfFinished_;
    double partial = 0;  // the running files' share done
    for (const Worker& worker : running_) {
        seams += worker.seamsDone;
        if (worker.seamsTotal > 0)
            partial += static_cast<double>(worker.seamsDone) / worker.seamsTotal;
    }
    progress_.Update(finished_, finished_ + partial, seams);
}

ExitStatus Batch::Run()
{
    const int jobs = options_.jobs > 0
                         ? options_.jobs
                         : std::max(1, static_cast<int>(::sysconf(_SC_NPROCESSORS_ONLN)));
    std::deque<BatchFile> queue;
    for (BatchFile& file : PlanFiles(options_)) {
        if (file.refusal.empty()) {
            queue.push_back(file);
            continue;
        }
        Report("error", file.request.input, file.refusal);
        ++failed_;
        ++finished_;
    }
    while (!queue.empty() || !running_.empty()) {
        while (!queue.empty() && static_cast<int>(running_.size()) < jobs) {
            if (!Start(queue.front())) {
                Report("error", queue.front().request.input,
                       std::string("cannot start a carving process: ") + std::strerror(errno));
                ++failed_;
                ++finished_;
            }
            queue.pop_front();
        }
        Wait();
        DrawProgress();
    }
    progress_.Finish(finished_, seamsOfFinished_);
    return failed_ > 0 ? kExitFailure : kExitSuccess;
}

}  // namespace

std::string BatchOutputPath(const CliOptions& options, const std::string& input)
{
    wxFileName name(wxString::FromUTF8(input));
    if (!options.format.empty())
        name.SetExt(wxString::FromUTF8(options.format));
    if (!options.suffix.empty())
        name.SetName(name.GetName() + wxString::FromUTF8(options.suffix));
    else
        name.SetPath(wxString::FromUTF8(options.outputFolder));
    return name.GetFullPath().ToStdString(wxConvUTF8);
}

ExitStatus RunBatch(const CliOptions& options, bool showProgress)
{
    if (!options.outputFolder.empty()) {
        struct stat folder {};
        const bool exists = ::stat(options.outputFolder.c_str(), &folder) == 0;
        if (!exists || !S_ISDIR(folder.st_mode)) {
            std::fprintf(stderr, "kerv-cli: error: output folder '%s': %s\n",
                         options.outputFolder.c_str(),
                         exists ? "not a folder" : std::strerror(errno));
            return kExitFailure;
        }
    }
    return Batch(options, showProgress).Run();
}
