#include "GifDecoder.h"

#include "ByteReader.h"
#include "PictureLimits.h"

#include <QRgb>

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

namespace PictureDecoders {
namespace {

// The first frame of a GIF: the images up to the first one shown for a while (one with a
// delay), drawn over a transparent screen; images with no delay build a frame together.
class GifFirstFrame {
public:
    explicit GifFirstFrame(const QByteArray& file) : m_bytes(file) {}

    Decoded decode() {
        m_width = m_bytes.u16(6);
        m_height = m_bytes.u16(8);
        if (m_width == 0 || m_height == 0)
            return refused(QStringLiteral("the GIF has an empty screen"));
        const quint8 flags = m_bytes.u8(10);
        qint64 at = 13;
        if (flags & 0x80) {
            m_globalColours = readColourTable(at, flags);
            at += 3 * (qint64(2) << (flags & 7));
        }
        if (const QString bomb = checkExtents(at); !bomb.isEmpty())
            return refused(bomb);

        QImage canvas(m_width, m_height, QImage::Format_ARGB32);
        if (canvas.isNull())
            return refused(QStringLiteral("not enough memory for the picture"));
        canvas.fill(0u);
        int delay = 0;
        int transparent = -1;
        while (m_bytes.has(at, 1)) {
            const quint8 block = m_bytes.u8(at);
            if (block == 0x21) { // extension
                if (m_bytes.u8(at + 1) == 0xf9 && m_bytes.u8(at + 2) >= 4) {
                    const quint8 control = m_bytes.u8(at + 3);
                    delay = m_bytes.u16(at + 4);
                    transparent = (control & 1) ? m_bytes.u8(at + 6) : -1;
                }
                at = skipSubBlocks(at + 2);
            } else if (block == 0x2c) { // image
                const QString error = drawImage(at, transparent, canvas);
                if (!error.isEmpty())
                    return refused(error);
                if (delay > 0)
                    break;
                delay = 0;
                transparent = -1;
            } else { // the trailer, or bytes that are no block: the frame ends here
                break;
            }
        }
        return {canvas, {}};
    }

private:
    std::vector<QRgb> readColourTable(qint64 at, quint8 flags) const {
        const int entries = 2 << (flags & 7);
        std::vector<QRgb> colours;
        for (int i = 0; i < entries && m_bytes.has(at + 3 * i, 3); ++i)
            colours.push_back(qRgb(m_bytes.u8(at + 3 * i), m_bytes.u8(at + 3 * i + 1),
                                   m_bytes.u8(at + 3 * i + 2)));
        return colours;
    }

    // The position after a chain of data sub-blocks and its terminator.
    qint64 skipSubBlocks(qint64 at) const {
        while (m_bytes.has(at, 1) && m_bytes.u8(at) != 0)
            at += 1 + m_bytes.u8(at);
        return at + 1;
    }

    // Refuses a file whose screen, or the area that its screen and images span together, exceeds
    // the GIF pixel limit: readers that grow the screen to hold every image would need it.
    QString checkExtents(qint64 at) const {
        qint64 right = m_width;
        qint64 bottom = m_height;
        if (right * bottom > PictureLimits::kLargestGifScreenPixels)
            return tooLarge(right, bottom);
        while (m_bytes.has(at, 1)) {
            const quint8 block = m_bytes.u8(at);
            if (block == 0x21) {
                at = skipSubBlocks(at + 2);
            } else if (block == 0x2c) {
                right = std::max<qint64>(right, m_bytes.u16(at + 1) + qint64(m_bytes.u16(at + 5)));
                bottom =
                    std::max<qint64>(bottom, m_bytes.u16(at + 3) + qint64(m_bytes.u16(at + 7)));
                const quint8 flags = m_bytes.u8(at + 9);
                at += 10;
                if (flags & 0x80)
                    at += 3 * (qint64(2) << (flags & 7));
                at = skipSubBlocks(at + 1);
            } else {
                break;
            }
        }
        if (right * bottom > PictureLimits::kLargestGifScreenPixels)
            return QStringLiteral("GIF images reach beyond %1 x %2 pixels").arg(right).arg(bottom);
        return {};
    }

    // Decodes the image whose descriptor starts at `at` onto the canvas and moves `at` past it.
    QString drawImage(qint64& at, int transparent, QImage& canvas) {
        const int left = m_bytes.u16(at + 1);
        const int top = m_bytes.u16(at + 3);
        const int width = m_bytes.u16(at + 5);
        const int height = m_bytes.u16(at + 7);
        const quint8 flags = m_bytes.u8(at + 9);
        at += 10;
        std::vector<QRgb> colours = m_globalColours;
        if (flags & 0x80) {
            colours = readColourTable(at, flags);
            at += 3 * (qint64(2) << (flags & 7));
        }
        const int minimumCodeSize = m_bytes.u8(at);
        QByteArray data;
        at += 1;
        while (m_bytes.has(at, 1) && m_bytes.u8(at) != 0) {
            const int length = m_bytes.u8(at);
            const ByteReader rest = m_bytes.from(at + 1); // the last block may be cut short
            data.append(rest.slice(0, std::min<qint64>(length, rest.size())));
            at += 1 + length;
        }
        at += 1;
        if (width == 0 || height == 0)
            return {};
        if (minimumCodeSize < 1 || minimumCodeSize > 11)
            return QStringLiteral("invalid GIF code size %1").arg(minimumCodeSize);
        if (colours.empty()) // no colour table at all: a grey ramp stands in
            for (int i = 0, n = 1 << minimumCodeSize; i < n; ++i)
                colours.push_back(qRgb(i * 255 / std::max(n - 1, 1), i * 255 / std::max(n - 1, 1),
                                       i * 255 / std::max(n - 1, 1)));

        const std::vector<int> rows = rowOrder(height, flags & 0x40);
        qint64 pixel = 0;
        const qint64 pixels = qint64(width) * height;
        QString error;
        auto put = [&](int index) {
            const int x = left + static_cast<int>(pixel % width);
            const int y = top + rows[static_cast<size_t>(pixel / width)];
            ++pixel;
            if (index != transparent) {
                if (index >= static_cast<int>(colours.size())) {
                    error = QStringLiteral("GIF pixel of colour %1 outside its colour table")
                                .arg(index);
                    return false;
                }
                if (x < m_width && y < m_height)
                    reinterpret_cast<QRgb*>(canvas.scanLine(y))[x] =
                        colours[static_cast<size_t>(index)];
            }
            return pixel < pixels; // data past the image's last pixel is not read
        };
        const bool valid = decodeLzw(data, minimumCodeSize, put);
        if (!error.isEmpty())
            return error;
        return valid ? QString() : QStringLiteral("invalid GIF image data");
    }

    static std::vector<int> rowOrder(int height, bool interlaced) {
        std::vector<int> rows;
        rows.reserve(static_cast<size_t>(height));
        if (!interlaced) {
            for (int y = 0; y < height; ++y)
                rows.push_back(y);
            return rows;
        }
        static constexpr int kStart[4] = {0, 4, 2, 1};
        static constexpr int kStep[4] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass)
            for (int y = kStart[pass]; y < height; y += kStep[pass])
                rows.push_back(y);
        return rows;
    }

    // The variable-width codes of GIF image data, least significant bit first.
    class CodeReader {
    public:
        explicit CodeReader(const QByteArray& data) : m_data(data) {}

        // The next code of `size` bits; nothing when the data ends first.
        std::optional<int> next(int size) {
            while (m_buffered < size) {
                if (m_at >= m_data.size())
                    return std::nullopt;
                m_buffer |= quint32(static_cast<uchar>(m_data[m_at++])) << m_buffered;
                m_buffered += 8;
            }
            const int code = static_cast<int>(m_buffer & ((1u << size) - 1));
            m_buffer >>= size;
            m_buffered -= size;
            return code;
        }

    private:
        const QByteArray& m_data;
        quint32 m_buffer = 0;
        int m_buffered = 0;
        qsizetype m_at = 0;
    };

    // The string table of LZW decoding: each code's last index, the code of the string before
    // it and its first index; codes below `clear` stand for their own index.
    struct LzwTable {
        static constexpr int kSize = 4096;
        std::array<quint16, kSize> prefix{};
        std::array<quint8, kSize> suffix{};
        std::array<quint8, kSize> first{};
        std::array<quint8, kSize + 1> stack{};

        explicit LzwTable(int clear) {
            for (int i = 0; i < clear; ++i) {
                suffix[static_cast<size_t>(i)] = static_cast<quint8>(i);
                first[static_cast<size_t>(i)] = static_cast<quint8>(i);
            }
        }
    };

    // LZW decoding of GIF image data, giving each colour index to put, which returns false when
    // it wants no more. False on a code that the table cannot hold yet; data that ends early,
    // with or without its end code, simply ends the image.
    template <typename Put>
    static bool decodeLzw(const QByteArray& data, int minimumCodeSize, Put&& put) {
        const int clear = 1 << minimumCodeSize;
        const int end = clear + 1;
        LzwTable table(clear);
        auto& [prefix, suffix, first, stack] = table;
        int codeSize = minimumCodeSize + 1;
        int next = clear + 2;
        int previous = -1;
        CodeReader codes(data);
        while (const std::optional<int> read = codes.next(codeSize)) {
            const int code = *read;
            if (code == clear) {
                codeSize = minimumCodeSize + 1;
                next = clear + 2;
                previous = -1;
                continue;
            }
            if (code == end)
                return true;
            if (previous < 0) {
                if (code > clear)
                    return false;
                if (!put(code))
                    return true;
                previous = code;
                continue;
            }
            if (code > next || (code == next && next >= LzwTable::kSize))
                return false;
            // Unwind the code's string (for the code being defined: the previous string
            // followed by its own first index).
            size_t depth = 0;
            int walk = code == next ? previous : code;
            if (code == next)
                stack[depth++] = first[static_cast<size_t>(previous)];
            while (walk >= clear) {
                stack[depth++] = suffix[static_cast<size_t>(walk)];
                walk = prefix[static_cast<size_t>(walk)];
            }
            stack[depth++] = static_cast<quint8>(walk);
            const quint8 head = static_cast<quint8>(walk);
            while (depth > 0)
                if (!put(stack[--depth]))
                    return true;
            if (next < LzwTable::kSize) {
                prefix[static_cast<size_t>(next)] = static_cast<quint16>(previous);
                suffix[static_cast<size_t>(next)] = head;
                first[static_cast<size_t>(next)] = first[static_cast<size_t>(previous)];
                ++next;
                if (next == (1 << codeSize) && codeSize < 12)
                    ++codeSize;
            }
            previous = code;
        }
        return true;
    }

    ByteReader m_bytes;
    int m_width = 0;
    int m_height = 0;
    std::vector<QRgb> m_globalColours;
};

} // namespace

Decoded decodeGif(const QByteArray& file) {
    return GifFirstFrame(file).decode();
}

} // namespace PictureDecoders
