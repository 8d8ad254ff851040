#include "ui/qt/PathText.h"

namespace dorvel::ui {
namespace {

constexpr char16_t kEscapeBase = 0xDC00;

// The length of the valid UTF-8 sequence starting at i, or 0.
std::size_t ValidSequence(std::string_view s, std::size_t i, char32_t& code) {
    const auto at = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = at(i);
    std::size_t length = 0;
    char32_t min = 0;
    if (lead < 0x80) {
        code = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, code = lead & 0x1F, min = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, code = lead & 0x0F, min = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, code = lead & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (i + length > s.size()) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if ((at(i + k) & 0xC0) != 0x80) return 0;
        code = (code << 6) | (at(i + k) & 0x3F);
    }
    // Overlong forms, surrogates and values past Unicode are not valid text.
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return length;
}

}  // namespace

QString ShownPath(std::string_view bytes) {
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    for (std::size_t i = 0; i < bytes.size();) {
        char32_t code = 0;
        if (const std::size_t length = ValidSequence(bytes, i, code)) {
            const char32_t one[] = {code};
            out.append(QString::fromUcs4(one, 1));
            i += length;
        } else {
            out.append(
                QChar(static_cast<char16_t>(kEscapeBase + static_cast<unsigned char>(bytes[i]))));
            ++i;
        }
    }
    return out;
}

std::string PathBytes(const QString& shown) {
    std::string out;
    out.reserve(static_cast<std::size_t>(shown.size()));
    for (qsizetype i = 0; i < shown.size(); ++i) {
        const char16_t unit = shown[i].unicode();
        if (unit >= kEscapeBase + 0x80 && unit <= kEscapeBase + 0xFF) {
            out += static_cast<char>(unit - kEscapeBase);
            continue;
        }
        char32_t code = unit;
        if (QChar::isHighSurrogate(unit) && i + 1 < shown.size() &&
            QChar::isLowSurrogate(shown[i + 1].unicode())) {
            code = QChar::surrogateToUcs4(unit, shown[++i].unicode());
        } else if (QChar::isSurrogate(unit)) {
            code = 0xFFFD;  // a lone surrogate typed in is no path byte
        }
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return out;
}

}  // namespace dorvel::ui
