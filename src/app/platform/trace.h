#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <QVariantMap>
#include <mutex>
#include <string_view>

namespace pluvik {

// The event trace read by end-to-end tests and benchmarks. With PLUVIK_TRACE naming a file, every
// notable event is appended as one JSON line {"event": ..., "t_ms": ..., ...}. Without it the trace
// is off and record() returns at once. Any thread may record: the watch on the main thread writes
// from its own thread while the main thread stands still.
class Trace {
public:
    // How many of the latest lines recent() keeps.
    static constexpr int kRecentLines = 20;

    Trace();  // reads PLUVIK_TRACE
    explicit Trace(const QString& path);
    bool enabled() const { return m_file.isOpen(); }
    void record(const QString& event, const QVariantMap& fields = {});
    // The latest lines recorded, oldest first.
    QList<QByteArray> recent() const;

private:
    mutable std::mutex m_mutex;
    QFile m_file;
    QList<QByteArray> m_recent;
};

// A search whose keyword has characters an engine's encoding lacks (they went to that engine as
// numeric character references): "keyword_references" with the window and the characters. Nothing
// when there are none.
void traceReferences(Trace& trace, const QString& window, std::string_view characters);

}  // namespace pluvik
