#include "platform/Platform.h"

namespace dorvel::platform {

Result<std::string> ReadWholeFile(Platform& platform, const std::string& path, std::size_t limit) {
    auto source = platform.openFile(path);
    if (!source) return source.status();
    std::string contents;
    char buffer[1 << 16];
    for (;;) {
        const auto got = (*source)->read(buffer, sizeof buffer);
        if (!got) return got.status();
        if (*got == 0) return contents;
        // A file that grows while it is read is bounded all the same.
        if (contents.size() + *got > limit) return Status::Failed(kFileTooLarge);
        contents.append(buffer, *got);
    }
}

}  // namespace dorvel::platform
