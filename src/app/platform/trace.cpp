#include "platform/trace.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>

#include "platform/qt_text.h"

namespace pluvik {

Trace::Trace() : Trace(qEnvironmentVariable("PLUVIK_TRACE")) {}

Trace::Trace(const QString& path) {
    if (path.isEmpty()) return;
    m_file.setFileName(path);
    // A trace that cannot be opened is simply off: it is a diagnostic aid, never part of the program.
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append)) return;
}

void Trace::record(const QString& event, const QVariantMap& fields) {
    if (!m_file.isOpen()) return;
    QJsonObject line = QJsonObject::fromVariantMap(fields);
    line.insert("event", event);
    line.insert("t_ms", static_cast<double>(QDateTime::currentMSecsSinceEpoch()));
    const QByteArray text = QJsonDocument(line).toJson(QJsonDocument::Compact);
    const std::lock_guard lock(m_mutex);
    m_file.write(text + '\n');
    m_file.flush();
    m_recent.append(text);
    if (m_recent.size() > kRecentLines) m_recent.removeFirst();
}

QList<QByteArray> Trace::recent() const {
    const std::lock_guard lock(m_mutex);
    return m_recent;
}

void traceReferences(Trace& trace, const QString& window, std::string_view characters) {
    if (characters.empty()) return;
    trace.record(QStringLiteral("keyword_references"), {{"window", window}, {"characters", toQ(characters)}});
}

}  // namespace pluvik
