#pragma once

// The one place where core's UTF-8 std::string meets QString.

#include <QString>
#include <QUrl>
#include <string>
#include <string_view>
#include <vector>

namespace pluvik {

inline QString toQ(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

inline std::string toStd(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

// Addresses as core keeps them: fully encoded.
inline std::string encodedAddress(const QUrl& url) {
    return toStd(url.toString(QUrl::FullyEncoded));
}
inline QUrl urlFromEncoded(const std::string& address) {
    return QUrl(toQ(address));
}

// The spellings of an address the engine may show as an untitled page's title (core's hasOwnTitle).
inline std::vector<std::string> addressSpellings(const QUrl& url) {
    return {toStd(url.toString()), toStd(url.toString(QUrl::FullyEncoded)), toStd(url.toDisplayString())};
}

}  // namespace pluvik
