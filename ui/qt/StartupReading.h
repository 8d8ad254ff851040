#pragma once
// The start's files are read on a thread of their own while the main window
// builds its controls: the first use of fonts reads the system's font
// configuration, which takes about as long. Font engines belong to the
// thread that loads them, so the controls load theirs where they are used.

#include <future>
#include <memory>

#include "core/StartupReads.h"

namespace dorvel::ui {

// Starts the reads; the result (or what the reading threw) is taken with
// get(). Without a thread to spare, the reads run at get().
std::future<std::unique_ptr<core::StartupReads>> StartReadingAtStart(platform::Platform& platform);

}  // namespace dorvel::ui
