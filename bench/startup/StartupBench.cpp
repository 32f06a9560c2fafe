// Start-up time of the editor against a bare Qt main window: both programs (k6editorwindow and
// k6barewindow, each reporting its own first painted frame) are started in turn, several
// times; each run lasts from just before the spawn to the first painted frame the child
// reports (both times on CLOCK_MONOTONIC). Prints the median of each and their ratio.
//
// Usage: k6startup [--runs N] [--image IMAGE] [--languages] [editor baseline]
// With --image the editor opens IMAGE at start-up, as when it is given on the command line.
// With --languages the editor is timed against itself: started with the English catalogue
// loaded (a settings file saying Language=en) against the Japanese start-up (Language=ja).
// The platform is offscreen unless QT_QPA_PLATFORM names another (e.g. xcb under Xvfb).

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

extern char** environ;

namespace {

constexpr int TimeoutMilliseconds = 20'000;

long long MonotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec;
}

// A run folder whose settings file starts the editor in the language.
std::string SettingsFolder(const std::string& language) {
    std::string folder = "/tmp/k6startup-" + language + "-XXXXXX";
    if (mkdtemp(folder.data()) == nullptr)
        return {};
    std::ofstream(folder + "/kestrin6editor.ini") << "[View]\nLanguage=" << language << "\n";
    return folder;
}

// Milliseconds from spawn to first paint, or nothing when the child reported no paint. With
// settingsDir, the child gets it as K6_BENCH_SETTINGS_DIR.
std::optional<double> TimeOneStart(const std::string& program, const std::string& argument,
                                   const std::string& settingsDir = {}) {
    int output[2];
    if (pipe(output) != 0)
        return std::nullopt;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, output[0]);
    std::vector<char> name(program.begin(), program.end());
    name.push_back('\0');
    std::vector<char> value(argument.begin(), argument.end());
    value.push_back('\0');
    char* const arguments[] = {name.data(), argument.empty() ? nullptr : value.data(), nullptr};

    std::vector<std::string> variables;
    for (char** variable = environ; *variable != nullptr; ++variable)
        variables.emplace_back(*variable);
    if (!settingsDir.empty())
        variables.push_back("K6_BENCH_SETTINGS_DIR=" + settingsDir);
    std::vector<char*> environment;
    for (std::string& variable : variables)
        environment.push_back(variable.data());
    environment.push_back(nullptr);

    const long long start = MonotonicNanoseconds();
    pid_t child = 0;
    const int spawned =
        posix_spawn(&child, name.data(), &actions, nullptr, arguments, environment.data());
    posix_spawn_file_actions_destroy(&actions);
    close(output[1]);
    std::string text;
    char buffer[256];
    // A child that shows no window (a message box at start-up, say) is stopped after a while.
    pollfd ready{output[0], POLLIN, 0};
    bool timedOut = false;
    while (spawned == 0) {
        if (poll(&ready, 1, TimeoutMilliseconds) <= 0) {
            timedOut = true;
            break;
        }
        const ssize_t got = read(output[0], buffer, sizeof buffer);
        if (got <= 0)
            break;
        text.append(buffer, static_cast<std::size_t>(got));
    }
    close(output[0]);
    if (spawned != 0)
        return std::nullopt;
    if (timedOut)
        kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);

    long long painted = 0;
    const std::size_t at = text.find("first-paint ");
    if (at == std::string::npos ||
        std::sscanf(text.c_str() + at, "first-paint %lld", &painted) != 1)
        return std::nullopt;
    return static_cast<double>(painted - start) / 1e6;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

} // namespace

int main(int argc, char* argv[]) {
    int runs = 11;
    std::string image;
    bool languages = false;
    std::vector<std::string> programs;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--runs" && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (argument == "--image" && i + 1 < argc)
            image = argv[++i];
        else if (argument == "--languages")
            languages = true;
        else
            programs.push_back(argument);
    }
    if (programs.empty())
        programs = {K6_EDITOR_EXE, K6_BASELINE_EXE};
    std::string settings[2];
    if (languages) {
        programs = {K6_EDITOR_EXE, K6_EDITOR_EXE};
        settings[0] = SettingsFolder("en");
        settings[1] = SettingsFolder("ja");
        if (settings[0].empty() || settings[1].empty())
            return 1;
    }
    if (programs.size() != 2) {
        std::fprintf(stderr, "usage: %s [--runs N] [--image IMAGE] [editor baseline]\n", argv[0]);
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);

    std::vector<double> times[2];
    // One unmeasured start each fills the file cache.
    for (int run = -1; run < runs; ++run) {
        for (std::size_t which = 0; which < 2; ++which) {
            const std::optional<double> time = TimeOneStart(
                programs[which], which == 0 || languages ? image : std::string(), settings[which]);
            if (!time) {
                std::fprintf(stderr, "%s reported no first paint\n", programs[which].c_str());
                return 1;
            }
            if (run >= 0)
                times[which].push_back(*time);
        }
    }
    const double editor = Median(times[0]);
    const double baseline = Median(times[1]);
    std::printf("runs:     %d each, alternating\n", runs);
    std::printf("image:    %s\n", image.empty() ? "none" : image.c_str());
    for (const std::string& folder : settings) {
        if (!folder.empty()) {
            std::remove((folder + "/kestrin6editor.ini").c_str());
            rmdir(folder.c_str());
        }
    }
    std::printf("%s %.2f ms median to first paint\n",
                languages ? "english: " : "editor:  ", editor);
    std::printf("%s %.2f ms median to first paint\n",
                languages ? "japanese:" : "baseline:", baseline);
    std::printf("ratio:    %.3f\n", editor / baseline);
    return 0;
}
