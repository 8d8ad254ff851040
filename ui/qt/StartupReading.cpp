#include "ui/qt/StartupReading.h"

#include <system_error>

namespace dorvel::ui {

std::future<std::unique_ptr<core::StartupReads>> StartReadingAtStart(platform::Platform& platform) {
    auto read = [&platform] { return std::make_unique<core::StartupReads>(platform); };
    try {
        return std::async(std::launch::async, read);
    } catch (const std::system_error&) {
        return std::async(std::launch::deferred, read);
    }
}

}  // namespace dorvel::ui
