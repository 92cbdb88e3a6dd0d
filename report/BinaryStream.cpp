#include "report/BinaryStream.h"
#include "report/ReportErrors.h"

#include <cmath>
#include <cstring>

namespace report {

void BinaryWriter::u16(std::uint16_t v) {
    u8(std::uint8_t(v));
    u8(std::uint8_t(v >> 8));
}

void BinaryWriter::u32(std::uint32_t v) {
    char bytes[4];
    for (int i = 0; i < 4; ++i)
        bytes[i] = char(v >> (8 * i));
    m_data.append(bytes, 4);
}

void BinaryWriter::u64(std::uint64_t v) {
    char bytes[8];
    for (int i = 0; i < 8; ++i)
        bytes[i] = char(v >> (8 * i));
    m_data.append(bytes, 8);
}

void BinaryWriter::f64(double v) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    u64(bits);
}

void BinaryWriter::string(const QString& s) {
    const QByteArray utf8 = s.toUtf8();
    u32(std::uint32_t(utf8.size()));
    m_data.append(utf8);
}

void BinaryWriter::block(const QByteArray& payload) {
    u32(std::uint32_t(payload.size()));
    m_data.append(payload);
}

void BinaryReader::fail(const QString& what) const {
    throw EReportError(QStringLiteral("%1 is damaged: %2 (at byte %3)")
                           .arg(m_context, what)
                           .arg(m_pos)
                           .toStdString());
}

void BinaryReader::need(qsizetype n) const {
    if (n < 0 || m_data.size() - m_pos < n)
        fail(QStringLiteral("unexpected end of data"));
}

std::uint8_t BinaryReader::u8() {
    need(1);
    return std::uint8_t(m_data[m_pos++]);
}

std::uint16_t BinaryReader::u16() {
    const std::uint16_t lo = u8();
    return std::uint16_t(lo | (std::uint16_t(u8()) << 8));
}

std::uint32_t BinaryReader::u32() {
    need(4);
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= std::uint32_t(std::uint8_t(m_data[m_pos++])) << (8 * i);
    return v;
}

std::uint64_t BinaryReader::u64() {
    need(8);
    std::uint64_t v = 0;
    for (int i = 0; i < 8; ++i)
        v |= std::uint64_t(std::uint8_t(m_data[m_pos++])) << (8 * i);
    return v;
}

double BinaryReader::f64() {
    const std::uint64_t bits = u64();
    double v;
    std::memcpy(&v, &bits, sizeof v);
    if (!std::isfinite(v))
        fail(QStringLiteral("a number is not finite"));
    return v;
}

QByteArray BinaryReader::raw(qsizetype n) {
    need(n);
    QByteArray out = m_data.mid(m_pos, n);
    m_pos += n;
    return out;
}

QString BinaryReader::string() {
    const qsizetype n = qsizetype(u32());
    need(n);
    const QString out = QString::fromUtf8(m_data.constData() + m_pos, n);
    m_pos += n;
    return out;
}

BinaryReader BinaryReader::block() {
    const std::uint32_t n = u32();
    const qsizetype start = m_pos;
    need(qsizetype(n));
    m_pos += qsizetype(n);
    return BinaryReader(m_data.mid(start, n), m_context);
}

std::uint32_t BinaryReader::count(qsizetype minBytes) {
    const std::uint32_t n = u32();
    if (minBytes > 0 && qsizetype(n) > (m_data.size() - m_pos) / minBytes)
        fail(QStringLiteral("a count of %1 exceeds the data that follows").arg(n));
    return n;
}

} // namespace report
