#include "common/cp1251.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace vell {

namespace {

// Characters of the bytes 0x80..0xBF; 0xC0..0xFF are U+0410..U+044F.
constexpr std::array<char16_t, 64> kHigh{
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, // B8
};

constexpr char16_t charOf(unsigned char b)
{
    if (b < 0x80)
        return b;
    if (b < 0xC0)
        return kHigh[b - 0x80];
    return char16_t(0x0410 + (b - 0xC0));
}

constexpr std::array<char16_t, 256> makeDecodeTable()
{
    std::array<char16_t, 256> t{};
    for (int b = 0; b < 256; ++b)
        t[b] = charOf(static_cast<unsigned char>(b));
    return t;
}

constexpr std::array<char16_t, 256> kDecode = makeDecodeTable();

// The byte of each character the code page stores, found in two steps: the
// character's upper eight bits choose a block of 256 entries (block 0 holds
// none), its lower eight bits the entry. An entry holds the byte plus one, 0
// where the code page has no such character. Only four blocks hold any.
struct EncodeTable
{
    std::array<std::uint8_t, 256> blockOf{};
    std::array<std::array<std::uint16_t, 256>, 5> blocks{};
};

constexpr EncodeTable makeEncodeTable()
{
    EncodeTable t;
    int used = 1;
    for (int b = 0; b < 256; ++b) {
        const char16_t c = charOf(static_cast<unsigned char>(b));
        std::uint8_t &block = t.blockOf[c >> 8];
        if (block == 0)
            block = std::uint8_t(used++);
        t.blocks[block][c & 0xFF] = std::uint16_t(b + 1);
    }
    return t;
}

constexpr EncodeTable kEncode = makeEncodeTable();

// The byte of the character, or -1 when the code page has none.
inline int byteOf(char16_t u)
{
    if (u < 0x80)
        return u;
    return int(kEncode.blocks[kEncode.blockOf[u >> 8]][u & 0xFF]) - 1;
}

} // namespace

void DecodeCp1251(QByteArrayView bytes, QChar *out)
{
    const auto *in = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i)
        out[i] = QChar(kDecode[in[i]]);
}

QString DecodeCp1251(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    DecodeCp1251(bytes, text.data());
    return text;
}

qsizetype EncodeCp1251(QStringView text, char *out)
{
    const char16_t *in = text.utf16();
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        // Runs of ASCII, the bulk of code, go sixteen characters at a time.
        if (n - i >= 16) {
            char16_t any = 0;
            for (int k = 0; k < 16; ++k)
                any |= in[i + k];
            if (any < 0x80) {
                // Through a buffer of its own, which the compiler knows
                // shares no memory with the text, so the narrowing becomes
                // a few vector instructions.
                char block[16];
                for (int k = 0; k < 16; ++k)
                    block[k] = char(in[i + k]);
                std::memcpy(out + i, block, 16);
                i += 16;
                continue;
            }
        }
        const int b = byteOf(in[i]);
        if (b < 0)
            return i;
        out[i++] = char(b);
    }
    return -1;
}

bool EncodeCp1251(const QString &text, QByteArray &out)
{
    out.resize(text.size());
    return EncodeCp1251(QStringView(text), out.data()) < 0;
}

bool IsCp1251Char(QChar c)
{
    return byteOf(c.unicode()) >= 0;
}

int Cp1251Byte(QChar c)
{
    return byteOf(c.unicode());
}

QString NonCp1251Chars(QStringView text)
{
    QString bad;
    for (const QChar c : text) {
        if (!IsCp1251Char(c) && !bad.contains(c))
            bad.append(c);
    }
    return bad;
}

} // namespace vell
