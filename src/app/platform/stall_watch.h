#pragma once

#include <pthread.h>
#include <QObject>
#include <QStringList>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace pluvik {

class Trace;

// A watch on the main thread, from a thread of its own. When the event loop has not turned for
// five seconds (StallRule) it writes "main_thread_stalled" to the trace, once per stall: the main
// thread's stack as it stands, symbolised where the build has symbols, the latest trace lines, the
// windows on screen and the modal dialog; then "main_thread_resumed" with the stall's length. The
// watch looks once a second and the loop answers one posted event per look, so an idle program is
// woken once a second at most. Without a trace there is nowhere to write, and no thread runs.
//
// The stack is taken by a real-time signal the main thread handles itself, so there is one watch
// per process. PLUVIK_TEST_STALL_MS=N (for the tests) holds the main thread N milliseconds, once,
// two seconds after the event loop starts.
class StallWatch : public QObject {
public:
    explicit StallWatch(Trace& trace);  // on the main thread
    ~StallWatch() override;
    StallWatch(const StallWatch&) = delete;
    StallWatch& operator=(const StallWatch&) = delete;

protected:
    bool event(QEvent* event) override;

private:
    void run();
    void reportStall(std::uint32_t stalledMs);
    QStringList mainThreadStack();

    Trace& m_trace;
    const pthread_t m_mainThread;
    bool m_canTakeStack = false;
    // The loop's answer to the open question: when it came, published by the flag.
    std::atomic<bool> m_answered{false};
    std::atomic<std::uint32_t> m_answeredAt{0};
    // What was on screen at the loop's latest answer (a stalled main thread cannot be asked).
    std::mutex m_screenMutex;
    QStringList m_windows;
    QString m_modal;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopping = false;
    std::thread m_thread;
};

}  // namespace pluvik
