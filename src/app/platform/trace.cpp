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
    m_file.write(QJsonDocument(line).toJson(QJsonDocument::Compact));
    m_file.write("\n");
    m_file.flush();
}

void traceReferences(Trace& trace, const QString& window, std::string_view characters) {
    if (characters.empty()) return;
    trace.record(QStringLiteral("keyword_references"), {{"window", window}, {"characters", toQ(characters)}});
}

}  // namespace pluvik
