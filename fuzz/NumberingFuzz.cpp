// The numbering loop of the deleted-files mover on generated names: it ends,
// stays in its folder, keeps the name's ending, and lands on a name no file holds.

#include <cstdint>
#include <set>
#include <string>

#include "core/DeletedFilesMover.h"

namespace {

class TakenNames final : public dorvel::platform::Platform {
public:
    std::set<std::string> taken;
    bool isFile(const std::string& path) const override { return taken.count(path) > 0; }

    std::optional<std::string> environment(const std::string&) const override { return {}; }
    std::string homeFolder() const override { return "/"; }
    bool isDirectory(const std::string&) const override { return false; }
    std::unique_ptr<dorvel::platform::ByteSource> openForReading(const std::string&) override {
        return {};
    }
    std::optional<std::string> readWholeFile(const std::string&, std::size_t) override {
        return {};
    }
    bool enumerateFolder(const std::string&,
                         const std::function<void(const dorvel::platform::FolderItem&)>&) override {
        return false;
    }
    bool exists(const std::string& path) const override { return isFile(path); }
    std::optional<dorvel::platform::FileDetails> fileDetails(const std::string&) const override {
        return {};
    }
    std::optional<std::string> specialFolder(std::string_view) const override { return {}; }
    int renameNoReplace(const std::string&, const std::string&) override { return 5; }
    bool startDetached(const std::vector<std::string>&, const std::string&) override {
        return false;
    }
    int createDirectory(const std::string&) override { return 5; }
    bool moveNoReplace(const std::string&, const std::string&) override { return false; }
    std::optional<Child> startProcess(const std::vector<std::string>&) override { return {}; }
    bool release(const Child&) override { return true; }
    bool replaceFile(const std::string&, std::string_view) override { return false; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const char kAlphabet[] = "a.1.09 -$x";
    TakenNames platform;
    const std::string folder = "/del/";
    std::string name;
    std::string first;
    for (std::size_t i = 0; i < size && i < 64; ++i) {
        if (data[i] == 0xFF) {  // ends a name: that name is taken
            if (first.empty()) first = name.empty() ? "n" : name;
            platform.taken.insert(folder + (name.empty() ? "n" : name));
            name.clear();
        } else {
            name += kAlphabet[data[i] % (sizeof kAlphabet - 1)];
        }
    }
    if (first.empty()) first = name.empty() ? "n" : name;
    const std::string target = folder + first;
    const std::string result = dorvel::core::MakeUniqueTarget(target, platform);
    if (platform.isFile(result)) __builtin_trap();
    if (result.rfind(folder, 0) != 0 || result.find('/', folder.size()) != std::string::npos)
        __builtin_trap();
    // A number goes in front of the extension: the name keeps its ending.
    if (!result.ends_with(dorvel::core::ExtensionOf(target))) __builtin_trap();
    return 0;
}
