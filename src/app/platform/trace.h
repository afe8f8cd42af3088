#pragma once

#include <QFile>
#include <QString>
#include <QVariantMap>
#include <string_view>

namespace pluvik {

// The event trace read by end-to-end tests and benchmarks. With PLUVIK_TRACE naming a file, every
// notable event is appended as one JSON line {"event": ..., "t_ms": ..., ...}. Without it the trace
// is off and record() returns at once.
class Trace {
public:
    Trace();  // reads PLUVIK_TRACE
    explicit Trace(const QString& path);
    bool enabled() const { return m_file.isOpen(); }
    void record(const QString& event, const QVariantMap& fields = {});

private:
    QFile m_file;
};

// A search whose keyword has characters an engine's encoding lacks (they went to that engine as
// numeric character references): "keyword_references" with the window and the characters. Nothing
// when there are none.
void traceReferences(Trace& trace, const QString& window, std::string_view characters);

}  // namespace pluvik
