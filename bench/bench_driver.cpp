// Measures quorvel.exe against minimal baselines under Wine and prints one
// tab-separated table. scripts/bench runs it; bench/README.md reads it.
//
//   bench_driver [--repetitions N] [--warmups N] [--only startup|apply]
//                [--samples FILE]
//
// Every time comes from this process's QueryPerformanceCounter. Baseline and
// subject runs alternate, their order turning with each repetition, so that
// drift in the machine or in Wine falls on both alike; warm-up runs of each
// come first and are not counted. The programs, the stand-in cacls and this
// driver sit in one folder; the work folder is C:\quorvel-bench.
//
// Rows: benchmark, subject, unit, n, median, q1, q3, min, max, ci_low,
// ci_high; ci_* bound a 95% confidence interval for the median (from order
// statistics, so it assumes no distribution). A row whose unit is "ratio"
// compares two subjects of a benchmark: its median column is the ratio of
// their medians, its quartiles and extremes are those of the ratios of their
// runs paired by repetition, and its interval is a bootstrap of the ratio of
// medians over those pairs. The exit code is 1 when a benchmark could not
// run at all, 2 for a bad argument; never for a time.
#include <windows.h>

#include <psapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "ui_driver.h"

namespace {

const char kWorkFolder[] = "C:\\quorvel-bench";
const char kTargetName[] = "target.txt";
const char kQuorvel[] = "quorvel";
const char kBaselineDialog[] = "baseline_dialog";
const char kImportsProbe[] = "baseline_dialog_imports";
const char kCrtStartupDialog[] = "baseline_dialog_crt";
const char kBareRuns[] = "bare_runs";
const char kDialogRunner[] = "baseline_runner";
const char kRunnerImports[] = "baseline_runner_imports";
const char kRunnerSteps[] = "baseline_runner_steps";
// Finer than the UI driver's own 10 ms, which would round start-up times to
// its polling step; still leaves the child most of a core.
const DWORD kReadyPollMs = 1;
// As ui::ApplyAndAnswerBoxes watches for message boxes while an Apply runs.
const DWORD kApplyWatchMs = 10;
const int kApplyStepCount = 5;

double g_ticksPerMs = 1.0;

double NowMs()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / g_ticksPerMs;
}

std::string BinaryFolder()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\'));
}

std::string Quote(const std::string& text)
{
    return "\"" + text + "\"";
}

std::string TargetPath()
{
    return std::string(kWorkFolder) + "\\" + kTargetName;
}

std::string ExePath(const char* name)
{
    return BinaryFolder() + "\\" + name + ".exe";
}

// ---- figures -------------------------------------------------------------

struct Series {
    std::string benchmark;
    std::string subject;
    std::string unit;
    std::vector<double> values;  // one per repetition, in order
};

double Quantile(const std::vector<double>& sorted, double fraction)
{
    if (sorted.empty())
        return 0.0;
    double position = fraction * static_cast<double>(sorted.size() - 1);
    size_t below = static_cast<size_t>(position);
    size_t above = std::min(below + 1, sorted.size() - 1);
    double weight = position - static_cast<double>(below);
    return sorted[below] * (1.0 - weight) + sorted[above] * weight;
}

struct Summary {
    size_t n = 0;
    double median = 0, q1 = 0, q3 = 0, min = 0, max = 0;
    double ciLow = 0, ciHigh = 0;
};

// The ranks that bound a 95% interval for the median of n values: the count
// below the median is binomial(n, 1/2), taken as normal.
void MedianInterval(const std::vector<double>& sorted, double* low, double* high)
{
    double n = static_cast<double>(sorted.size());
    double halfWidth = 0.98 * std::sqrt(n);
    double lowRank = std::floor(n / 2.0 - halfWidth);
    double highRank = std::ceil(n / 2.0 + 1.0 + halfWidth);
    size_t lowIndex = lowRank < 1.0 ? 0 : static_cast<size_t>(lowRank) - 1;
    size_t highIndex = highRank > n ? sorted.size() - 1 : static_cast<size_t>(highRank) - 1;
    *low = sorted[lowIndex];
    *high = sorted[highIndex];
}

Summary Summarize(std::vector<double> values)
{
    Summary summary;
    std::sort(values.begin(), values.end());
    summary.n = values.size();
    if (values.empty())
        return summary;
    summary.median = Quantile(values, 0.5);
    summary.q1 = Quantile(values, 0.25);
    summary.q3 = Quantile(values, 0.75);
    summary.min = values.front();
    summary.max = values.back();
    MedianInterval(values, &summary.ciLow, &summary.ciHigh);
    return summary;
}

void PrintRow(const std::string& benchmark, const std::string& subject, const std::string& unit,
              const Summary& s, int decimals)
{
    printf("%s\t%s\t%s\t%u\t%.*f\t%.*f\t%.*f\t%.*f\t%.*f\t%.*f\t%.*f\n", benchmark.c_str(),
           subject.c_str(), unit.c_str(), static_cast<unsigned>(s.n), decimals, s.median, decimals,
           s.q1, decimals, s.q3, decimals, s.min, decimals, s.max, decimals, s.ciLow, decimals,
           s.ciHigh);
}

void PrintSeries(const Series& series)
{
    PrintRow(series.benchmark, series.subject, series.unit, Summarize(series.values),
             series.unit == "ms" ? 2 : 0);
}

double MedianOf(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return Quantile(values, 0.5);
}

double RatioOfMedians(const std::vector<double>& subject, const std::vector<double>& baseline)
{
    double baselineMedian = MedianOf(baseline);
    return baselineMedian > 0 ? MedianOf(subject) / baselineMedian : 0.0;
}

// Percentile bootstrap of the ratio of medians, resampling whole pairs so
// that the drift both runs of a repetition shared stays shared. A fixed seed
// keeps a table reproducible from its samples.
void BootstrapRatio(const std::vector<double>& subject, const std::vector<double>& baseline,
                    double* low, double* high)
{
    const int kResamples = 2000;
    size_t n = std::min(subject.size(), baseline.size());
    std::vector<double> ratios;
    std::vector<double> a(n), b(n);
    unsigned long long state = 0x5155'4F52'5645'4CULL;
    for (int r = 0; r < kResamples && n > 0; ++r) {
        for (size_t i = 0; i < n; ++i) {
            state = state * 6364136223846793005ULL + 1442695040888963407ULL;
            size_t pick = static_cast<size_t>((state >> 33) % n);
            a[i] = subject[pick];
            b[i] = baseline[pick];
        }
        ratios.push_back(RatioOfMedians(a, b));
    }
    std::sort(ratios.begin(), ratios.end());
    *low = Quantile(ratios, 0.025);
    *high = Quantile(ratios, 0.975);
}

void PrintRatio(const Series& subject, const Series& baseline)
{
    std::vector<double> paired;
    for (size_t i = 0; i < subject.values.size() && i < baseline.values.size(); ++i)
        if (baseline.values[i] > 0)
            paired.push_back(subject.values[i] / baseline.values[i]);
    Summary spread = Summarize(paired);
    spread.median = RatioOfMedians(subject.values, baseline.values);
    BootstrapRatio(subject.values, baseline.values, &spread.ciLow, &spread.ciHigh);
    PrintRow(subject.benchmark, subject.subject + "/" + baseline.subject, "ratio", spread, 3);
}

void WriteSamples(FILE* file, const Series& series)
{
    if (file == nullptr)
        return;
    for (size_t i = 0; i < series.values.size(); ++i)
        fprintf(file, "%s\t%s\t%s\t%u\t%.3f\n", series.benchmark.c_str(), series.subject.c_str(),
                series.unit.c_str(), static_cast<unsigned>(i), series.values[i]);
}

// ---- start-up ------------------------------------------------------------

// The visible permission dialog once its thread has answered a message, that
// is, once it pumps messages and so takes input; nullptr when the program
// ends or the driver's timeout runs out first.
HWND WaitUntilReady(const ui::Program& program)
{
    double deadline = NowMs() + ui::kDefaultTimeoutMs;
    while (NowMs() < deadline) {
        for (HWND window : ui::VisibleWindows(program.processId)) {
            if (ui::KindOf(window) != ui::WindowKind::PermissionDialog)
                continue;
            DWORD_PTR ignored = 0;
            if (SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, ui::kDefaultTimeoutMs,
                                    &ignored) == 0)
                return nullptr;
            return window;
        }
        if (WaitForSingleObject(program.process, kReadyPollMs) == WAIT_OBJECT_0)
            return nullptr;
    }
    return nullptr;
}

struct StartupRun {
    bool ok = false;
    double readyMs = 0;
    double closeMs = 0;
    double peakKiB = 0;
};

// One life of a dialog program: started on the target, timed until ready,
// its peak working set read, closed with Cancel and timed until it is gone.
StartupRun RunDialogProgram(const std::string& exe)
{
    StartupRun run;
    std::string commandLine = Quote(exe) + " " + Quote(TargetPath());
    double started = NowMs();
    ui::Program program = ui::Start(commandLine, kWorkFolder);
    HWND dialog = program.process != nullptr ? WaitUntilReady(program) : nullptr;
    double ready = NowMs();
    if (dialog != nullptr) {
        PROCESS_MEMORY_COUNTERS counters;
        memset(&counters, 0, sizeof counters);
        counters.cb = sizeof counters;
        bool counted = GetProcessMemoryInfo(program.process, &counters, sizeof counters) != 0;
        double closing = NowMs();
        ui::PostCommand(dialog, IDCANCEL);
        DWORD exitCode = ui::WaitForExit(program);
        double ended = NowMs();
        run.ok = counted && exitCode == 0;
        run.readyMs = ready - started;
        run.closeMs = ended - closing;
        run.peakKiB = static_cast<double>(counters.PeakWorkingSetSize) / 1024.0;
    }
    ui::Close(program);
    if (!run.ok)
        fprintf(stderr, "bench: %s did not start, show its dialog and close cleanly\n",
                exe.c_str());
    return run;
}

bool BenchStartup(int repetitions, int warmups, FILE* samples)
{
    const char* subjects[] = {kBaselineDialog, kQuorvel, kImportsProbe, kCrtStartupDialog};
    const size_t count = sizeof subjects / sizeof subjects[0];
    std::vector<Series> ready, close, peak;
    for (const char* subject : subjects) {
        ready.push_back({"startup", subject, "ms", {}});
        close.push_back({"close", subject, "ms", {}});
        peak.push_back({"peak_working_set", subject, "KiB", {}});
    }
    for (int i = 0; i < warmups; ++i)
        for (const char* subject : subjects)
            if (!RunDialogProgram(ExePath(subject)).ok)
                return false;
    for (int i = 0; i < repetitions; ++i) {
        for (size_t k = 0; k < count; ++k) {
            size_t s = (k + static_cast<size_t>(i)) % count;
            StartupRun run = RunDialogProgram(ExePath(subjects[s]));
            if (!run.ok)
                return false;
            ready[s].values.push_back(run.readyMs);
            close[s].values.push_back(run.closeMs);
            peak[s].values.push_back(run.peakKiB);
        }
    }
    for (const std::vector<Series>* group : {&ready, &close, &peak}) {
        for (const Series& series : *group) {
            PrintSeries(series);
            WriteSamples(samples, series);
        }
        PrintRatio((*group)[1], (*group)[0]);
        PrintRatio((*group)[2], (*group)[0]);
        // What is left for the program's own code once its DLLs are loaded.
        PrintRatio((*group)[1], (*group)[2]);
        // What the C runtime's start-up costs a program that needs none.
        PrintRatio((*group)[3], (*group)[0]);
        PrintRatio((*group)[1], (*group)[3]);
    }
    return true;
}

// ---- Apply ---------------------------------------------------------------

std::vector<std::string> ReadCommandLines(const std::string& logPath)
{
    std::vector<std::string> commands;
    FILE* log = fopen(logPath.c_str(), "rb");
    if (log == nullptr)
        return commands;
    char line[8192];
    while (fgets(line, sizeof line, log) != nullptr) {
        size_t length = strcspn(line, "\r\n");
        line[length] = '\0';
        if (strncmp(line, "cmd ", 4) == 0)
            commands.push_back(line + 4);
    }
    fclose(log);
    return commands;
}

// One Apply with the defaults (the current user, all four rights ticked),
// with the stand-in logging: the five command lines the program runs, which
// the baseline then runs itself. A child's environment is fixed when it
// starts, so this is a program of its own, and the timed one logs nothing.
std::vector<std::string> CaptureApplyCommands()
{
    std::string logPath = std::string(kWorkFolder) + "\\standin.log";
    DeleteFileA(logPath.c_str());
    SetEnvironmentVariableA("QUORVEL_STANDIN_LOG", logPath.c_str());
    ui::Program program =
        ui::Start(Quote(ExePath(kQuorvel)) + " " + Quote(TargetPath()), kWorkFolder);
    SetEnvironmentVariableA("QUORVEL_STANDIN_LOG", nullptr);
    HWND dialog = program.process != nullptr ? WaitUntilReady(program) : nullptr;
    bool applied = dialog != nullptr && ui::ApplyAndAnswerBoxes(program, dialog).empty();
    if (dialog != nullptr) {
        ui::PostCommand(dialog, IDCANCEL);
        ui::WaitForExit(program);
    }
    ui::Close(program);
    std::vector<std::string> commands = ReadCommandLines(logPath);
    if (!applied || commands.size() != kApplyStepCount) {
        fprintf(stderr, "bench: the captured Apply ran %u command lines, not %d\n",
                static_cast<unsigned>(commands.size()), kApplyStepCount);
        commands.clear();
    }
    return commands;
}

struct BareRuns {
    const std::vector<std::string>* commands;
    bool allSucceeded;
};

// The Apply baseline: each command line started by CreateProcessA, hidden as
// the program starts it, and waited for, one after another.
DWORD WINAPI RunCommandsBare(void* parameter)
{
    auto* runs = static_cast<BareRuns*>(parameter);
    runs->allSucceeded = true;
    for (const std::string& command : *runs->commands) {
        std::vector<char> line(command.begin(), command.end());
        line.push_back('\0');
        STARTUPINFOA startup;
        memset(&startup, 0, sizeof startup);
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_HIDE;
        PROCESS_INFORMATION child;
        if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &child)) {
            runs->allSucceeded = false;
            continue;
        }
        WaitForSingleObject(child.hProcess, INFINITE);
        DWORD exitCode = 1;
        if (!GetExitCodeProcess(child.hProcess, &exitCode) || exitCode != 0)
            runs->allSucceeded = false;
        CloseHandle(child.hProcess);
        CloseHandle(child.hThread);
    }
    return 0;
}

// Runs the baseline on a helper thread while this thread keeps the same watch
// over the dialog program's windows that ui::ApplyAndAnswerBoxes keeps, so
// that the driver does the same work beside both.
bool TimeBareRuns(const std::vector<std::string>& commands, DWORD watchedProcessId, double* ms)
{
    BareRuns runs = {&commands, false};
    double started = NowMs();
    HANDLE runner = CreateThread(nullptr, 0, RunCommandsBare, &runs, 0, nullptr);
    if (runner == nullptr)
        return false;
    while (WaitForSingleObject(runner, kApplyWatchMs) == WAIT_TIMEOUT)
        for (HWND window : ui::VisibleWindows(watchedProcessId))
            ui::KindOf(window);
    *ms = NowMs() - started;
    CloseHandle(runner);
    return runs.allSucceeded;
}

bool TimeDialogApply(const ui::Program& program, HWND dialog, double* ms)
{
    double started = NowMs();
    bool quiet = ui::ApplyAndAnswerBoxes(program, dialog).empty();
    *ms = NowMs() - started;
    return quiet;
}

bool WriteCommandFile(const std::string& path, const std::vector<std::string>& commands)
{
    FILE* file = fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    for (const std::string& command : commands)
        fprintf(file, "%s\n", command.c_str());
    return fclose(file) == 0;
}

struct DialogUnderTest {
    ui::Program program;
    HWND dialog = nullptr;
};

DialogUnderTest OpenDialogProgram(const char* name, const std::string& argument)
{
    DialogUnderTest opened;
    opened.program = ui::Start(Quote(ExePath(name)) + " " + Quote(argument), kWorkFolder);
    if (opened.program.process != nullptr)
        opened.dialog = WaitUntilReady(opened.program);
    if (opened.dialog == nullptr)
        fprintf(stderr, "bench: %s showed no dialog for the Apply benchmark\n", name);
    return opened;
}

void CloseDialogProgram(DialogUnderTest& opened)
{
    if (opened.dialog != nullptr) {
        ui::PostCommand(opened.dialog, IDCANCEL);
        ui::WaitForExit(opened.program);
    }
    ui::Close(opened.program);
}

bool BenchApply(int repetitions, int warmups, FILE* samples)
{
    std::vector<std::string> commands = CaptureApplyCommands();
    std::string commandFile = std::string(kWorkFolder) + "\\commands.txt";
    if (commands.empty() || !WriteCommandFile(commandFile, commands))
        return false;

    // One program of each serves every timed Apply: start-up is not measured
    // here. The baseline, run from this driver, is subject 0.
    struct DialogSubject {
        const char* name;
        std::string argument;
    };
    const DialogSubject dialogSubjects[] = {{kQuorvel, TargetPath()},
                                            {kDialogRunner, commandFile},
                                            {kRunnerImports, commandFile},
                                            {kRunnerSteps, commandFile}};
    std::vector<DialogUnderTest> opened;
    std::vector<Series> series = {{"apply", kBareRuns, "ms", {}}};
    bool ok = true;
    for (const DialogSubject& subject : dialogSubjects) {
        opened.push_back(OpenDialogProgram(subject.name, subject.argument));
        series.push_back({"apply", subject.name, "ms", {}});
        ok = ok && opened.back().dialog != nullptr;
    }
    // The driver watches quorvel.exe's windows during the baseline, as it
    // watches each dialog program's during its Apply.
    const DWORD watchedProcessId = opened[0].program.processId;
    auto timeOne = [&](size_t which, double* ms) {
        if (which == 0)
            return TimeBareRuns(commands, watchedProcessId, ms);
        return TimeDialogApply(opened[which - 1].program, opened[which - 1].dialog, ms);
    };
    double ms = 0;
    for (int i = 0; i < warmups && ok; ++i)
        for (size_t which = 0; which < series.size() && ok; ++which)
            ok = timeOne(which, &ms);
    for (int i = 0; i < repetitions && ok; ++i) {
        for (size_t k = 0; k < series.size() && ok; ++k) {
            size_t which = (k + static_cast<size_t>(i)) % series.size();
            ok = timeOne(which, &ms);
            series[which].values.push_back(ms);
        }
    }
    if (!ok)
        fprintf(stderr, "bench: an Apply or its baseline did not run cleanly\n");
    for (DialogUnderTest& one : opened)
        CloseDialogProgram(one);
    if (!ok)
        return false;
    for (const Series& one : series) {
        PrintSeries(one);
        WriteSamples(samples, one);
    }
    // Each against the baseline, then what each difference of the program
    // costs on top of the same dialog running the same children bare.
    for (size_t which = 1; which < series.size(); ++which)
        PrintRatio(series[which], series[0]);
    for (size_t which : {1, 3, 4})
        PrintRatio(series[which], series[2]);
    return true;
}

bool PrepareWorkFolder()
{
    CreateDirectoryA(kWorkFolder, nullptr);
    HANDLE target = CreateFileA(TargetPath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (target == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(target);
    // The baseline's children then share the program's current directory.
    return SetCurrentDirectoryA(kWorkFolder) != 0;
}

bool ParseCount(const char* text, int* value)
{
    char* end = nullptr;
    long parsed = strtol(text, &end, 10);
    if (end == text || *end != '\0' || parsed < 0 || parsed > 100000)
        return false;
    *value = static_cast<int>(parsed);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    int repetitions = 30;
    int warmups = 3;
    std::string only;
    const char* samplesPath = nullptr;
    for (int i = 1; i < argc; ++i) {
        bool hasValue = i + 1 < argc;
        if (strcmp(argv[i], "--repetitions") == 0 && hasValue &&
            ParseCount(argv[i + 1], &repetitions)) {
            ++i;
        } else if (strcmp(argv[i], "--warmups") == 0 && hasValue &&
                   ParseCount(argv[i + 1], &warmups)) {
            ++i;
        } else if (strcmp(argv[i], "--only") == 0 && hasValue) {
            only = argv[++i];
        } else if (strcmp(argv[i], "--samples") == 0 && hasValue) {
            samplesPath = argv[++i];
        } else {
            fprintf(stderr, "usage: bench_driver [--repetitions N] [--warmups N] "
                            "[--only startup|apply] [--samples FILE]\n");
            return 2;
        }
    }
    if (repetitions < 1 || (!only.empty() && only != "startup" && only != "apply")) {
        fprintf(stderr, "bench: need at least one repetition and a known benchmark\n");
        return 2;
    }

    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    g_ticksPerMs = static_cast<double>(frequency.QuadPart) / 1000.0;
    if (!PrepareWorkFolder()) {
        fprintf(stderr, "bench: cannot prepare %s\n", kWorkFolder);
        return 1;
    }
    FILE* samples = samplesPath != nullptr ? fopen(samplesPath, "w") : nullptr;

    printf("# bench_driver repetitions=%d warmups=%d clock_hz=%lld\n", repetitions, warmups,
           static_cast<long long>(frequency.QuadPart));
    printf("benchmark\tsubject\tunit\tn\tmedian\tq1\tq3\tmin\tmax\tci_low\tci_high\n");
    fflush(stdout);
    bool ok = true;
    if (only.empty() || only == "startup")
        ok = BenchStartup(repetitions, warmups, samples) && ok;
    fflush(stdout);
    if (only.empty() || only == "apply")
        ok = BenchApply(repetitions, warmups, samples) && ok;
    fflush(stdout);
    if (samples != nullptr)
        fclose(samples);
    return ok ? 0 : 1;
}
