#pragma once

#include <QTimer>

namespace pluvik {

// Hands the heap's free memory back to the system once a burst of work is over. The engine's
// threads allocate from arenas of their own, and a search's loads leave megabytes free inside them
// that the C library keeps for the next time: up to a sixth of the main process's anonymous memory
// after a search. Giving it back takes a few milliseconds.
class HeapTrim {
public:
    HeapTrim();
    // Trims once things have been quiet for kQuietMs; a call meanwhile starts the wait again.
    void soon() { m_timer.start(); }

    static constexpr int kQuietMs = 2000;

private:
    QTimer m_timer;
};

}  // namespace pluvik
