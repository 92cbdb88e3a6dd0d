#pragma once
// Little-endian binary encoding shared by the project and snapshot files.
// The reader checks every length against the bytes that remain, so a damaged
// file ends in an exception, never in a huge allocation or an endless loop.
#include <QByteArray>
#include <QString>
#include <cstdint>

namespace report {

/// Appends fixed-width values and length-prefixed UTF-8 strings to a buffer.
class BinaryWriter {
public:
    void u8(std::uint8_t v) { m_data.append(char(v)); }
    void u16(std::uint16_t v);
    void u32(std::uint32_t v);
    void u64(std::uint64_t v);
    void i32(std::int32_t v) { u32(std::uint32_t(v)); }
    void f64(double v);
    void string(const QString& s);
    void bytes(const QByteArray& b) { m_data.append(b); }
    /// A nested block: its length first, so that a reader can bound it.
    void block(const QByteArray& payload);
    const QByteArray& data() const { return m_data; }
    /// Empties the buffer, keeping its capacity.
    void clear() { m_data.resize(0); }

private:
    QByteArray m_data;
};

/// Reads what BinaryWriter wrote; throws EReportError with `context` and the
/// offset when the data ends early or a value is out of range.
class BinaryReader {
public:
    BinaryReader(const QByteArray& data, QString context, qsizetype offset = 0)
        : m_data(data), m_pos(offset), m_context(std::move(context)) {}
    std::uint8_t u8();
    std::uint16_t u16();
    std::uint32_t u32();
    std::uint64_t u64();
    std::int32_t i32() { return std::int32_t(u32()); }
    /// A finite double; NaN and infinities count as damage.
    double f64();
    QString string();
    QByteArray raw(qsizetype n);
    /// Reads a block written by BinaryWriter::block and returns a reader over it.
    BinaryReader block();
    /// A count of elements that each need at least `minBytes` bytes.
    std::uint32_t count(qsizetype minBytes);
    bool atEnd() const { return m_pos >= m_data.size(); }
    qsizetype pos() const { return m_pos; }
    [[noreturn]] void fail(const QString& what) const;

private:
    void need(qsizetype n) const;
    QByteArray m_data;
    qsizetype m_pos;
    QString m_context;
};

} // namespace report
