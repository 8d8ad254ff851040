#pragma once
// What a start reads from disk, in the start's order: the settings file, the
// stored letters folder's listing, and the address file with the ticks. The
// main window reads them before it builds its controls, so that the fonts
// can load on another thread meanwhile, and applies them where the start
// reaches each one. Messages met on the way are kept and shown there too.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/FolderListing.h"
#include "core/Messages.h"
#include "core/RecipientList.h"
#include "core/SettingsFile.h"

namespace dorvel::core {

// Messages kept in their order, to be shown later.
class KeptMessages final : public Messages {
public:
    void error(const std::string& text) override { kept_.emplace_back(Kind::Error, text); }
    void information(const std::string& text) override {
        kept_.emplace_back(Kind::Information, text);
    }
    void platformError(const std::string& text) override {
        kept_.emplace_back(Kind::PlatformError, text);
    }
    // Shows them in the order they came, and forgets them.
    void showTo(Messages& messages);

private:
    enum class Kind { Error, Information, PlatformError };
    std::vector<std::pair<Kind, std::string>> kept_;
};

struct StartupReads {
    explicit StartupReads(platform::Platform& platform);

    SettingsFile settings;
    // Said right after the settings are applied: that they cannot be saved.
    KeptMessages settingsMessages;
    // The letters folder the settings name, when it is an existing folder;
    // empty otherwise. It is listed in `listing`, or `listingError` says why
    // it could not be.
    std::string letters;
    FolderListing listing;
    std::optional<std::string> listingError;
    // The recipients with their ticks restored, and what loading them said.
    RecipientLoad recipients;
    KeptMessages recipientMessages;
};

}  // namespace dorvel::core
