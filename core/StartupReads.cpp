#include "core/StartupReads.h"

namespace dorvel::core {

void KeptMessages::showTo(Messages& messages) {
    auto kept = std::move(kept_);
    kept_.clear();
    for (const auto& [kind, text] : kept) {
        switch (kind) {
            case Kind::Error:
                messages.error(text);
                break;
            case Kind::Information:
                messages.information(text);
                break;
            case Kind::PlatformError:
                messages.platformError(text);
                break;
        }
    }
}

StartupReads::StartupReads(platform::Platform& platform) : settings(platform), listing(platform) {
    if (settings.readFailed()) settingsMessages.platformError(UnableToWriteSettingsText());
    SettingsRecord noFolder;
    noFolder.letters.clear();
    const std::string stored = settings.ReadSettings(noFolder).letters;
    if (const auto info = platform.inspect(stored); !stored.empty() && info && info->isFolder) {
        letters = stored;
        try {
            listing.setRoot(letters);
        } catch (const PlatformError& e) {
            listingError = e.what();
        }
    }
    recipients = LoadRecipients(platform, recipientMessages);
    // The ticks are restored even after a read error, so that the exit does
    // not write the recipients read so far back as unticked.
    for (Recipient& r : recipients.recipients) r.ticked = settings.ReadTick(r.line);
}

}  // namespace dorvel::core
