#include "core/SettingsFile.h"

#include <array>

#include "core/IntegerText.h"
#include "core/Messages.h"
#include "core/PathRules.h"
#include "platform/formats/CodePages.h"

namespace dorvel::core {
namespace {

constexpr std::string_view kEncodedPrefix = "=?UTF-8?B?";
constexpr std::string_view kEncodedSuffix = "?=";
constexpr std::string_view kBase64 =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string Base64Encode(std::string_view bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        std::uint32_t group = static_cast<std::uint8_t>(bytes[i]) << 16;
        if (i + 1 < bytes.size()) group |= static_cast<std::uint8_t>(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size()) group |= static_cast<std::uint8_t>(bytes[i + 2]);
        out += kBase64[(group >> 18) & 63];
        out += kBase64[(group >> 12) & 63];
        out += i + 1 < bytes.size() ? kBase64[(group >> 6) & 63] : '=';
        out += i + 2 < bytes.size() ? kBase64[group & 63] : '=';
    }
    return out;
}

std::optional<std::string> Base64Decode(std::string_view text) {
    if (text.size() % 4 != 0) return std::nullopt;
    std::string out;
    for (std::size_t i = 0; i < text.size(); i += 4) {
        std::uint32_t group = 0;
        int padding = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            const char c = text[i + k];
            std::uint32_t digit = 0;
            if (c == '=' && i + 4 == text.size() && k >= 2) {
                ++padding;
            } else {
                const auto at = kBase64.find(c);
                if (at == std::string_view::npos || padding > 0) return std::nullopt;
                digit = static_cast<std::uint32_t>(at);
            }
            group = (group << 6) | digit;
        }
        out += static_cast<char>((group >> 16) & 0xFF);
        if (padding < 2) out += static_cast<char>((group >> 8) & 0xFF);
        if (padding < 1) out += static_cast<char>(group & 0xFF);
    }
    return out;
}

bool NeedsEncoding(std::string_view path, std::string_view cp1251) {
    if (path.starts_with(kEncodedPrefix)) return true;
    for (char c : cp1251) {
        if (static_cast<unsigned char>(c) < 0x20) return true;
    }
    if (!path.empty()) {
        const char first = path.front();
        const char last = path.back();
        if (first == ' ' || first == '\t' || last == ' ' || last == '\t') return true;
        if ((first == '"' || first == '\'') && path.size() >= 2 && last == first) return true;
    }
    return false;
}

bool IsEncoded(std::string_view value) {
    return value.starts_with(kEncodedPrefix) && value.ends_with(kEncodedSuffix) &&
           value.size() >= kEncodedPrefix.size() + kEncodedSuffix.size();
}

}  // namespace

std::string EncodePathValue(std::string_view path) {
    const auto cp1251 = platform::Utf8ToCp1251(path);
    if (cp1251 && !NeedsEncoding(path, *cp1251)) return *cp1251;
    return std::string(kEncodedPrefix) + Base64Encode(path) + std::string(kEncodedSuffix);
}

std::string DecodePathValue(std::string_view value) {
    if (IsEncoded(value)) {
        const auto inner = value.substr(
            kEncodedPrefix.size(), value.size() - kEncodedPrefix.size() - kEncodedSuffix.size());
        if (auto decoded = Base64Decode(inner)) return *decoded;
    }
    return platform::Cp1251ToUtf8(value);
}

std::string DefaultMoveDir(const platform::Platform& platform) {
    return PathRules::Host().defaultDeletedFilesFolder(platform.homeFolder());
}

namespace {

std::string ReadSettingsText(platform::Platform& platform, bool& unreadable) {
    auto text = platform::ReadWholeFile(platform, kSettingsPath, kMaxSettingsBytes);
    // A file that is not there is a first start; one that is there but cannot
    // be read must not be overwritten with what little we know.
    unreadable =
        !text && text.code() != platform::kFileNotFound && text.code() != platform::kPathNotFound;
    return text.value_or("");
}

}  // namespace

SettingsFile::SettingsFile(platform::Platform& platform)
    : platform_(platform), profile_(ReadSettingsText(platform, unreadable_)) {}

std::string SettingsFile::readPath(std::string_view section, std::string_view key,
                                   const std::string& fallback) const {
    auto value = profile_.value(section, key);
    if (!value) return fallback;
    // Our own encoded form is read whole; a plain value is cut where the
    // program's buffer always cut it.
    if (!IsEncoded(*value) && value->size() > kMaxValueLength) value->resize(kMaxValueLength);
    return DecodePathValue(*value);
}

std::int32_t SettingsFile::readInteger(std::string_view section, std::string_view key,
                                       std::int32_t fallback) const {
    const auto value = profile_.value(section, key);
    if (!value) return fallback;
    return ParseInteger(std::string_view(*value).substr(0, kMaxValueLength)).value_or(fallback);
}

SettingsRecord SettingsFile::ReadSettings(const SettingsRecord& defaults) const {
    SettingsRecord r;
    r.top = readInteger("Form1", "Top", defaults.top);
    r.left = readInteger("Form1", "Left", defaults.left);
    r.height = readInteger("Form1", "Height", defaults.height);
    r.width = readInteger("Form1", "Width", defaults.width);
    r.windowState = readInteger("Form1", "WindowState", defaults.windowState);
    r.panel1 = readInteger("Form1", "Panel1", defaults.panel1);
    r.letters = readPath("Options", "Letters", defaults.letters);
    r.postMove = readInteger("Options", "PostMove", defaults.postMove ? 1 : 0) != 0;
    r.moveDir = readPath("Options", "MoveDir", defaults.moveDir);
    return r;
}

bool SettingsFile::ReadTick(std::string_view recipientLine) const {
    return readInteger("ListCheck", recipientLine, 0) != 0;
}

void SettingsFile::WriteSettings(const SettingsRecord& record, bool maximised) {
    profile_.setValue("Form1", "Panel1", std::to_string(record.panel1));
    profile_.setValue("Form1", "WindowState", std::to_string(record.windowState));
    if (!maximised) {
        profile_.setValue("Form1", "Top", std::to_string(record.top));
        profile_.setValue("Form1", "Left", std::to_string(record.left));
        profile_.setValue("Form1", "Height", std::to_string(record.height));
        profile_.setValue("Form1", "Width", std::to_string(record.width));
    }
    profile_.setValue("Options", "Letters", EncodePathValue(record.letters));
    profile_.setValue("Options", "MoveDir", EncodePathValue(record.moveDir));
    profile_.setValue("Options", "PostMove", record.postMove ? "1" : "0");
}

void SettingsFile::WriteTick(std::string_view recipientLine, bool ticked) {
    profile_.setValue("ListCheck", recipientLine, ticked ? "1" : "0");
}

void SettingsFile::Save() {
    if (unreadable_ || !platform_.replaceFile(kSettingsPath, profile_.contents())) {
        throw PlatformError(UnableToWriteSettingsText());
    }
}

void SaveAtExit(platform::Platform& platform, const SettingsRecord& record, bool maximised,
                const std::vector<Recipient>& recipients, bool startReadFailed) {
    if (startReadFailed) throw PlatformError(UnableToWriteSettingsText());
    SettingsFile settings(platform);
    settings.WriteSettings(record, maximised);
    for (const Recipient& r : recipients) settings.WriteTick(r.line, r.ticked);
    settings.Save();
}

}  // namespace dorvel::core
