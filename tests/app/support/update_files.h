#pragma once

#include <QByteArray>

namespace pluvik::test {

// The package body the test server sends: byte i is i % 251.
inline QByteArray packagePattern(int size) {
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i) bytes[i] = static_cast<char>(i % 251);
    return bytes;
}

// The installed version as the program keeps it: "[软件更新]" / "软件版本=..." in GBK.
inline QByteArray upIni(const char* version) {
    return QByteArray("[\xC8\xED\xBC\xFE\xB8\xFC\xD0\xC2]\r\n\xC8\xED\xBC\xFE\xB0\xE6\xB1\xBE=") + version + "\r\n";
}

}  // namespace pluvik::test
