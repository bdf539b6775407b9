#pragma once

#include <QByteArray>
#include <initializer_list>

// A request as the program frames it on the serial line: 8 bytes, zero-filled.
inline QByteArray SerialRequest(std::initializer_list<int> bytes) {
    QByteArray out(8, '\0');
    int i = 0;
    for (int b : bytes)
        out[i++] = char(b);
    return out;
}

inline QByteArray Bytes(std::initializer_list<int> bytes) {
    QByteArray out;
    for (int b : bytes)
        out.append(char(b));
    return out;
}

inline int U8(const QByteArray& a, int i) {
    return quint8(a[i]);
}

inline int Big16(const QByteArray& a, int i) {
    return quint8(a[i]) << 8 | quint8(a[i + 1]);
}
