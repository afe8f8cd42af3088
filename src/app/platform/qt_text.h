#pragma once

// The one place where core's UTF-8 std::string meets QString.

#include <QString>
#include <string>
#include <string_view>

namespace pluvik {

inline QString toQ(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

inline std::string toStd(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

}  // namespace pluvik
