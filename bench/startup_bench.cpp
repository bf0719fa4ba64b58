// Start-up of the editor against a bare Qt 6 window: the time from starting the process to its
// main window shown (mapped and painted once), the processor time the process took for it, and
// the process's peak memory, each as a ratio to the bare window's. On a machine shared with
// other work the processor time is the steadier of the two times. Every start is a process of its own: this program runs itself as
// `startup_bench --show bare` (a QApplication and an empty QMainWindow) or `--show editor` (the
// editor's own start: the application, its translations and an EditorProgram without a phone,
// in a data folder made from the sample session) and reads "shown" from it. The two alternate
// within each round, after one start of each that is not counted. Runs on the platform of
// the environment: QT_QPA_PLATFORM, else the display, else offscreen.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <QApplication>
#include <QMainWindow>
#include <QTimer>

#include "session/editor_session.h"
#include "ui/app_translations.h"
#include "ui/editor_program.h"
#include "ui/main_window.h"
#include "workspace/data_folder.h"

extern char** environ;

namespace {

using namespace tessaro;
namespace fs = std::filesystem;

// --- the child: one window shown ------------------------------------------------------------

// Says "shown" on standard output once `window` has been painted for the first time, and ends
// the process there: what comes after the window is shown is not start-up.
class ShownReporter : public QObject {
public:
    explicit ShownReporter(QWidget& window) { window.installEventFilter(this); }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !painted_) {
            painted_ = true;
            // After this paint, its children's and the flush to the screen.
            QTimer::singleShot(0, [] {
                std::fputs("shown\n", stdout);
                std::fflush(stdout);
                std::_Exit(0);
            });
        }
        return false;
    }

private:
    bool painted_ = false;
};

int showOneWindow(int argc, char** argv, bool editor)
{
    QApplication app(argc, argv);
    std::unique_ptr<QMainWindow> bare;
    std::unique_ptr<EditorProgram> program;
    QWidget* window = nullptr;
    if (editor) {
        prepareEditorApplication(app);
        installTranslations(app, QLocale::system(), translationFolders(QCoreApplication::applicationDirPath()));
        Result<PhoneBackend> backend = makePhoneBackend({.kind = PhoneBackendChoice::Kind::None});
        if (!backend)
            return 1;
        program = std::make_unique<EditorProgram>(std::move(backend).value());
        window = &program->window();
    } else {
        bare = std::make_unique<QMainWindow>();
        window = bare.get();
    }
    ShownReporter reporter(*window);
    window->show();
    return QApplication::exec();
}

// --- the parent: starts, timed and measured ---------------------------------------------------

struct Start {
    double milliseconds = 0;    // from the start of the process to "shown"
    double cpuMilliseconds = 0; // user and system time of the process, which ends once shown
    double megabytes = 0;       // peak resident set
    std::string failure;        // why the window was not shown; empty when it was
};

double milliseconds(const timeval& t)
{
    return t.tv_sec * 1000.0 + t.tv_usec / 1000.0;
}

// Runs this program with `--show what` in `folder` and waits until it said "shown" and ended.
Start startOnce(const std::string& what, const fs::path& folder)
{
    int out[2];
    if (pipe(out) != 0)
        return {.failure = "no pipe: " + std::string(std::strerror(errno))};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, out[1]);
    // The platform's notes (no window opacity offscreen) are no part of the measure.
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    const std::string self = fs::read_symlink("/proc/self/exe").string();
    std::vector<char*> args = {const_cast<char*>(self.c_str()), const_cast<char*>("--show"),
                               const_cast<char*>(what.c_str()), nullptr};

    const auto began = std::chrono::steady_clock::now();
    pid_t child = 0;
    const int spawned = posix_spawn(&child, self.c_str(), &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (spawned != 0) {
        close(out[0]);
        return {.failure = what + ": cannot start: " + std::strerror(spawned)};
    }
    std::string said;
    char buffer[64];
    for (ssize_t n; said.find('\n') == std::string::npos && (n = read(out[0], buffer, sizeof buffer)) > 0;)
        said.append(buffer, size_t(n));
    const auto shown = std::chrono::steady_clock::now();
    close(out[0]);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    if (said != "shown\n") {
        const std::string end = WIFSIGNALED(status) ? "killed by signal " + std::to_string(WTERMSIG(status))
                                                    : "exit status " + std::to_string(WEXITSTATUS(status));
        return {.failure = what + ": ended (" + end + ") before its window was shown"};
    }
    return {.milliseconds = std::chrono::duration<double, std::milli>(shown - began).count(),
            .cpuMilliseconds = milliseconds(usage.ru_utime) + milliseconds(usage.ru_stime),
            .megabytes = usage.ru_maxrss / 1024.0};
}

// A start, tried again when it failed: a display server that is busy with other work now and
// then turns a connection away.
Start startOne(const std::string& what, const fs::path& folder)
{
    Start start;
    for (int attempt = 0; attempt < 3; ++attempt)
        if ((start = startOnce(what, folder)).failure.empty())
            break;
    return start;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// A data folder as a user's first start makes it: the sample profile and settings.
struct DataFolder {
    DataFolder()
    {
        path = fs::temp_directory_path() / ("tessaro-startup-bench-" + std::to_string(std::random_device{}()));
        ok = bool(prepareDataFolder(path, TESSARO_EXAMPLES "/sample-session"));
    }
    ~DataFolder()
    {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
    fs::path path;
    bool ok = false;
};

void BM_StartUp(benchmark::State& state)
{
    DataFolder folder;
    if (!folder.ok) {
        state.SkipWithError("cannot make the data folder");
        return;
    }
    // The first start makes the item base and warms the file cache; neither is counted.
    for (const char* what : {"bare", "editor"}) {
        if (const Start first = startOne(what, folder.path); !first.failure.empty()) {
            state.SkipWithError(first.failure.c_str());
            return;
        }
    }
    std::vector<double> bareTime, editorTime, bareCpu, editorCpu, bareMemory, editorMemory;
    bool editorFirst = false;
    for (auto _ : state) {
        Start bare, editor;
        if (editorFirst) {
            editor = startOne("editor", folder.path);
            bare = startOne("bare", folder.path);
        } else {
            bare = startOne("bare", folder.path);
            editor = startOne("editor", folder.path);
        }
        editorFirst = !editorFirst;
        if (const std::string& failure = bare.failure.empty() ? editor.failure : bare.failure; !failure.empty()) {
            state.SkipWithError(failure.c_str());
            return;
        }
        state.SetIterationTime(editor.milliseconds / 1000);
        bareTime.push_back(bare.milliseconds);
        editorTime.push_back(editor.milliseconds);
        bareCpu.push_back(bare.cpuMilliseconds);
        editorCpu.push_back(editor.cpuMilliseconds);
        bareMemory.push_back(bare.megabytes);
        editorMemory.push_back(editor.megabytes);
    }
    // Medians: one start slowed down by the rest of the machine does not move them.
    state.counters["bare_ms"] = median(bareTime);
    state.counters["editor_ms"] = median(editorTime);
    state.counters["time_ratio"] = median(editorTime) / median(bareTime);
    state.counters["bare_cpu_ms"] = median(bareCpu);
    state.counters["editor_cpu_ms"] = median(editorCpu);
    state.counters["cpu_ratio"] = median(editorCpu) / median(bareCpu);
    state.counters["bare_MB"] = median(bareMemory);
    state.counters["editor_MB"] = median(editorMemory);
    state.counters["memory_ratio"] = median(editorMemory) / median(bareMemory);
}
BENCHMARK(BM_StartUp)->Iterations(15)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--show") == 0) {
        const bool editor = std::strcmp(argv[2], "editor") == 0;
        return showOneWindow(argc, argv, editor);
    }
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
