#include "platform/qt/text_codec.h"

#include <QFile>

#include <array>
#include <cstdint>

namespace vtome::platform::qt {

namespace {

// Windows-1252 for 0x80..0x9F; the five unassigned bytes map to the C1
// controls of the same value, as the system's own conversion does.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString fromWindows1252(std::string_view bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        text.append(byte >= 0x80 && byte < 0xA0 ? QChar(kWindows1252High[byte - 0x80]) : QChar(byte));
    }
    return text;
}

// The length of the valid UTF-8 character starting at `at`, or 0.
std::size_t utf8Length(std::string_view bytes, std::size_t at) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
    std::size_t length = 0;
    std::uint32_t code = 0;
    std::uint32_t smallest = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, code = lead & 0x1F, smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, code = lead & 0x0F, smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, code = lead & 0x07, smallest = 0x10000;
    } else {
        return 0;
    }
    if (bytes.size() - at < length) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(bytes[at + k]);
        if ((next & 0xC0) != 0x80) return 0;
        code = (code << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and values past Unicode are not UTF-8.
    if (code < smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return length;
}

void appendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

}  // namespace

std::string toShownText(std::string_view bytes) {
    std::string shown;
    appendShownText(shown, bytes);
    return shown;
}

void appendShownText(std::string& shown, std::string_view bytes) {
    const std::size_t start = shown.size();
    shown.reserve(start + bytes.size());
    for (std::size_t at = 0; at < bytes.size();) {
        const char c = bytes[at];
        if (c == '\r') {
            shown += '\n';
            at += at + 1 < bytes.size() && bytes[at + 1] == '\n' ? 2 : 1;
        } else if (static_cast<unsigned char>(c) < 0x80) {
            shown += c;
            ++at;
        } else if (const std::size_t length = utf8Length(bytes, at); length > 0) {
            shown.append(bytes.substr(at, length));
            at += length;
        } else {
            // Not UTF-8 after all: the whole text is Windows-1252.
            shown.resize(start);
            for (std::size_t i = 0; i < bytes.size(); ++i) {
                const auto byte = static_cast<unsigned char>(bytes[i]);
                if (byte == '\r') {
                    shown += '\n';
                    if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
                } else {
                    appendUtf8(shown, byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80] : byte);
                }
            }
            return;
        }
    }
}

bool isValidUtf8(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {
            ++i;
            continue;
        }
        const std::size_t length = utf8Length(bytes, i);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

QString fromBytes(std::string_view bytes) {
    if (isValidUtf8(bytes)) return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return fromWindows1252(bytes);
}

std::string toBytes(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

QString fromBytesAsLines(std::string_view bytes) {
    QString text = fromBytes(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QChar(u'\r'), QChar(u'\n'));
    return text;
}

QString fromPathBytes(std::string_view path) {
    return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

std::string toPathBytes(const QString& path) {
    const QByteArray bytes = QFile::encodeName(path);
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace vtome::platform::qt
