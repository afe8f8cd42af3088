#include "platform/stall_watch.h"

#include <cxxabi.h>
#include <dlfcn.h>
#include <execinfo.h>
#include <fcntl.h>
#include <semaphore.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QJsonDocument>
#include <QTimer>
#include <QVariantList>
#include <QWidget>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <memory>
#include <optional>
#include <vector>

#include "platform/stall_rule.h"
#include "platform/steady_tick_counter.h"
#include "platform/trace.h"

extern char** environ;

namespace pluvik {

namespace {

// The main thread's stack, written by its own signal handler: only backtrace() and sem_post()
// run there (backtrace is loaded once beforehand, so it neither loads a library nor allocates).
constexpr int kMaxFrames = 64;
void* g_frames[kMaxFrames];
int g_frameCount = 0;
sem_t g_stackTaken;

int stackSignal() {
    return SIGRTMIN + 5;
}

extern "C" void takeStack(int) {
    const int savedErrno = errno;
    g_frameCount = backtrace(g_frames, kMaxFrames);
    sem_post(&g_stackTaken);
    errno = savedErrno;
}

QEvent::Type askType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

// Kept out of line under its own name, so the stack a stall reports names it.
[[gnu::noinline]] void holdMainThreadForTest(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

QString demangled(const char* name) {
    int status = 0;
    const std::unique_ptr<char, decltype(&std::free)> text(
        abi::__cxa_demangle(name, nullptr, nullptr, &status), &std::free);
    return QString::fromUtf8(status == 0 && text ? text.get() : name);
}

QString baseName(const char* path) {
    const QString text = QString::fromLocal8Bit(path ? path : "");
    return text.mid(text.lastIndexOf('/') + 1);
}

// addr2line's answer for addresses of the program's own file: per address, the functions inlined
// there, innermost first, as "function at file:line". Nothing when addr2line is missing or fails:
// the caller keeps what dladdr knows.
std::vector<QStringList> addr2line(const QStringList& offsets) {
    const QByteArray program = "/proc/" + QByteArray::number(getpid()) + "/exe";
    std::vector<QByteArray> args{"addr2line", "-a", "-i", "-C", "-f", "-e", program};
    for (const QString& offset : offsets) args.push_back(offset.toLatin1());
    std::vector<char*> argv;
    for (QByteArray& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);

    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, "addr2line", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    QByteArray text;
    if (spawned == 0) {
        char buffer[4096];
        for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) != 0;) {
            if (n > 0)
                text.append(buffer, n);
            else if (errno != EINTR)
                break;
        }
        while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    close(out[0]);
    // "-a" starts each address's answer with the address, then a function and a place per line pair.
    std::vector<QStringList> found;
    const QStringList lines = QString::fromLocal8Bit(text).split('\n', Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].startsWith("0x")) {
            found.emplace_back();
        } else if (!found.empty() && i + 1 < lines.size()) {
            if (lines[i] != "??") found.back() << lines[i] + " at " + lines[i + 1];
            ++i;
        }
    }
    if (found.size() != static_cast<size_t>(offsets.size())) return {};
    return found;
}

// One line per frame: "function at file:line" where the program's debugging data knows it (a line
// for each function inlined there too), otherwise "function in library" or "library+offset".
QStringList symbolised(void* const* frames, int count) {
    Dl_info self{};
    dladdr(reinterpret_cast<void*>(&takeStack), &self);
    std::vector<QStringList> lines;
    QStringList ownOffsets;
    std::vector<int> ownFrames;
    for (int i = 0; i < count; ++i) {
        // A return address points past its call; the call itself is what belongs to the frame.
        const auto pc = reinterpret_cast<std::uintptr_t>(frames[i]) - (i > 0 ? 1 : 0);
        Dl_info info{};
        if (!dladdr(reinterpret_cast<void*>(pc), &info)) {
            lines.push_back({QStringLiteral("0x%1").arg(pc, 0, 16)});
            continue;
        }
        const std::uintptr_t offset = pc - reinterpret_cast<std::uintptr_t>(info.dli_fbase);
        const QString place = QStringLiteral("%1+0x%2").arg(baseName(info.dli_fname)).arg(offset, 0, 16);
        if (info.dli_fbase == self.dli_fbase) {
            ownOffsets << QStringLiteral("0x%1").arg(offset, 0, 16);
            ownFrames.push_back(lines.size());
        }
        lines.push_back(
            {info.dli_sname ? demangled(info.dli_sname) + " in " + baseName(info.dli_fname) : place});
    }
    const std::vector<QStringList> answer =
        ownOffsets.isEmpty() ? std::vector<QStringList>() : addr2line(ownOffsets);
    for (size_t k = 0; k < answer.size(); ++k)
        if (!answer[k].isEmpty()) lines[ownFrames[k]] = answer[k];
    QStringList stack;
    for (const QStringList& frame : lines) stack << frame;
    return stack;
}

QString describe(const QWidget* window) {
    const QString name = window->objectName().isEmpty()
                             ? QString::fromLatin1(window->metaObject()->className())
                             : window->objectName();
    return window->windowTitle().isEmpty() ? name : name + " \"" + window->windowTitle() + "\"";
}

}  // namespace

StallWatch::StallWatch(Trace& trace) : m_trace(trace), m_mainThread(pthread_self()) {
    if (const int ms = qEnvironmentVariableIntValue("PLUVIK_TEST_STALL_MS"); ms > 0)
        QTimer::singleShot(2000, this, [ms] { holdMainThreadForTest(ms); });
    if (!m_trace.enabled()) return;

    // The stack is only taken where no one else handles the signal.
    struct sigaction existing {};
    sigaction(stackSignal(), nullptr, &existing);
    if (existing.sa_handler == SIG_DFL && sem_init(&g_stackTaken, 0, 0) == 0) {
        void* warmUp[1];
        backtrace(warmUp, 1);  // loads the unwinder now, not inside the signal handler
        struct sigaction action {};
        action.sa_handler = takeStack;
        action.sa_flags = SA_RESTART;
        sigemptyset(&action.sa_mask);
        m_canTakeStack = sigaction(stackSignal(), &action, nullptr) == 0;
    }
    m_thread = std::thread([this] { run(); });
}

StallWatch::~StallWatch() {
    if (!m_thread.joinable()) return;
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

bool StallWatch::event(QEvent* event) {
    if (event->type() != askType()) return QObject::event(event);
    QStringList windows;
    for (const QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible()) windows << describe(window);
    const QWidget* modal = QApplication::activeModalWidget();
    {
        const std::lock_guard lock(m_screenMutex);
        m_windows = std::move(windows);
        m_modal = modal ? describe(modal) : QString();
    }
    m_answeredAt.store(SteadyTickCounter().tickCount(), std::memory_order_relaxed);
    m_answered.store(true, std::memory_order_release);
    return true;
}

void StallWatch::run() {
    SteadyTickCounter clock;
    StallRule rule(clock.tickCount());
    std::unique_lock lock(m_mutex);
    while (!m_wake.wait_for(lock, std::chrono::milliseconds(StallRule::kLookMs),
                            [this] { return m_stopping; })) {
        std::optional<std::uint32_t> answeredAt;
        if (m_answered.load(std::memory_order_acquire))
            answeredAt = m_answeredAt.load(std::memory_order_relaxed);
        const StallLook look = rule.look(clock.tickCount(), answeredAt);
        if (look.report == StallLook::Report::Stalled) reportStall(look.stalledMs);
        if (look.report == StallLook::Report::Resumed)
            m_trace.record(QStringLiteral("main_thread_resumed"), {{"stalled_ms", look.stalledMs}});
        if (look.ask) {
            m_answered.store(false, std::memory_order_relaxed);
            QCoreApplication::postEvent(this, new QEvent(askType()));
        }
    }
}

void StallWatch::reportStall(std::uint32_t stalledMs) {
    QVariantList recent;
    for (const QByteArray& line : m_trace.recent()) recent << QJsonDocument::fromJson(line).toVariant();
    QVariantMap fields{{"stalled_ms", stalledMs}, {"stack", mainThreadStack()}, {"recent", recent}};
    {
        const std::lock_guard lock(m_screenMutex);
        fields.insert("windows", m_windows);
        fields.insert("modal", m_modal);
    }
    m_trace.record(QStringLiteral("main_thread_stalled"), fields);
}

QStringList StallWatch::mainThreadStack() {
    if (!m_canTakeStack) return {};
    while (sem_trywait(&g_stackTaken) == 0) {
        // an answer that came too late for the stall before
    }
    // A signal nobody handles ends the program: send it only while the handler is still ours.
    struct sigaction current {};
    if (sigaction(stackSignal(), nullptr, &current) != 0 || current.sa_handler != takeStack) return {};
    if (pthread_kill(m_mainThread, stackSignal()) != 0) return {};
    timespec deadline{};
    clock_gettime(CLOCK_REALTIME, &deadline);
    deadline.tv_sec += 1;
    while (sem_timedwait(&g_stackTaken, &deadline) != 0)
        if (errno != EINTR) return {};  // the main thread could not even take a signal
    // The first frames are the handler's own and the kernel's return from it.
    const int first = std::min(2, g_frameCount);
    return symbolised(g_frames + first, g_frameCount - first);
}

}  // namespace pluvik
