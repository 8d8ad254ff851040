// The numbering loop of the deleted-files mover on generated names: it ends,
// stays in its folder, keeps the name's ending, and lands on a name no file holds.

#include <cstdint>
#include <string>

#include "FakePlatform.h"
#include "core/DeletedFilesMover.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const char kAlphabet[] = "a.1.09 -$x";
    dorvel::fakes::FakePlatform platform;
    const std::string folder = "/del/";
    std::string name;
    std::string first;
    for (std::size_t i = 0; i < size && i < 64; ++i) {
        if (data[i] == 0xFF) {  // ends a name: that name is taken
            if (first.empty()) first = name.empty() ? "n" : name;
            platform.files[folder + (name.empty() ? "n" : name)] = "taken";
            name.clear();
        } else {
            name += kAlphabet[data[i] % (sizeof kAlphabet - 1)];
        }
    }
    if (first.empty()) first = name.empty() ? "n" : name;
    const std::string target = folder + first;
    const std::string result = dorvel::core::MakeUniqueTarget(target, platform);
    if (platform.inspect(result)) __builtin_trap();
    if (result.rfind(folder, 0) != 0 || result.find('/', folder.size()) != std::string::npos)
        __builtin_trap();
    // A number goes in front of the extension: the name keeps its ending.
    if (!result.ends_with(dorvel::core::ExtensionOf(target))) __builtin_trap();
    return 0;
}
