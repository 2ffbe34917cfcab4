// Little-endian reads inside one metafile record that never go past its end: a read beyond
// gives zero, and `ok()` then says the record was short.
#pragma once

#include <QByteArrayView>
#include <QString>

#include <bit>
#include <cstdint>

namespace parcelo {

class MetafileRecord {
  public:
    explicit MetafileRecord(QByteArrayView bytes) : bytes_(bytes) {}

    qsizetype size() const { return bytes_.size(); }
    bool has(qsizetype offset, qsizetype count) const {
        return offset >= 0 && count >= 0 && offset <= bytes_.size() &&
               count <= bytes_.size() - offset;
    }
    bool ok() const { return ok_; }

    uint8_t u8(qsizetype offset) const {
        if (!has(offset, 1))
            return fail();
        return static_cast<uint8_t>(bytes_[offset]);
    }
    uint16_t u16(qsizetype offset) const {
        if (!has(offset, 2))
            return fail();
        return static_cast<uint16_t>(u8(offset) | u8(offset + 1) << 8);
    }
    int16_t s16(qsizetype offset) const { return static_cast<int16_t>(u16(offset)); }
    uint32_t u32(qsizetype offset) const {
        if (!has(offset, 4))
            return fail();
        return u16(offset) | static_cast<uint32_t>(u16(offset + 2)) << 16;
    }
    int32_t s32(qsizetype offset) const { return static_cast<int32_t>(u32(offset)); }
    float f32(qsizetype offset) const { return std::bit_cast<float>(u32(offset)); }
    // `count` bytes from `offset`, or an empty view when they are not all there.
    QByteArrayView bytes(qsizetype offset, qsizetype count) const {
        if (!has(offset, count)) {
            fail();
            return {};
        }
        return bytes_.sliced(offset, count);
    }
    QString utf16(qsizetype offset, qsizetype count) const {
        const QByteArrayView data = bytes(offset, count * 2);
        QString text(data.size() / 2, Qt::Uninitialized);
        for (qsizetype i = 0; i < text.size(); ++i)
            text[i] = QChar(static_cast<char16_t>(u16(offset + 2 * i)));
        return text;
    }

  private:
    uint8_t fail() const {
        ok_ = false;
        return 0;
    }

    QByteArrayView bytes_;
    mutable bool ok_ = true;
};

}  // namespace parcelo
