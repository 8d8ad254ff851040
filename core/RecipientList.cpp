#include "core/RecipientList.h"
#include "core/Texts.h"

#include "core/DosText.h"
#include "core/PathRules.h"

namespace dorvel::core {

std::string MailDirectoryFrom(std::string_view value) {
    if (value.empty()) return {};
    return PathRules::Host().withSeparator(std::string(value));
}

RecipientLoad LoadRecipients(platform::Platform& platform, Messages& messages) {
    RecipientLoad load;
    const std::string value = platform.environment(kMailDirectoryVariable).value_or({});
    if (value.empty()) {
        messages.error(texts::kSetMailVariable);
        return load;
    }
    load.mailDirectory = MailDirectoryFrom(value);
    const std::string path = load.mailDirectory + kAddressFileName;
    auto source = platform.openFile(path);
    if (!source) {
        messages.error(texts::FileNotFoundText(path));
        return load;
    }
    const auto read = ReadRecipientLines(**source, [&](std::string_view line) {
        load.recipients.push_back(Recipient{DosToWindows(line), false});
    });
    if (!read) messages.platformError(IoErrorText(read.code()));
    load.ok = true;
    return load;
}

std::vector<const Recipient*> TickedEntries(const std::vector<Recipient>& recipients) {
    std::vector<const Recipient*> ticked;
    for (const Recipient& r : recipients) {
        if (r.ticked) ticked.push_back(&r);
    }
    return ticked;
}

std::string_view RecipientCode(std::string_view line) {
    const auto blank = line.find(' ');
    return blank == std::string_view::npos ? std::string_view{} : line.substr(0, blank);
}

}  // namespace dorvel::core
