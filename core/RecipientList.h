#pragma once
// The recipients offered to the operator: the L_ lines of the mail
// transport's address file, in file order, converted to Windows-1251.

#include <string>
#include <string_view>
#include <vector>

#include "core/Messages.h"
#include "platform/Platform.h"

namespace dorvel::core {

inline constexpr const char* kMailDirectoryVariable = "ZOVOVOD";
inline constexpr const char* kAddressFileName = "LUSERS.NDE";

struct Recipient {
    std::string line;  // Windows-1251, as long as the line read
    bool ticked = false;
};

struct RecipientLoad {
    bool ok = false;
    std::string mailDirectory;  // always ends in a separator when ok
    std::vector<Recipient> recipients;
};

// Finds the mail directory, reads its address file and fills the list. On
// failure its message has been shown and the program is to end. An input/
// output error midway is shown too, but keeps what was read and succeeds.
RecipientLoad LoadRecipients(platform::Platform& platform, Messages& messages);

// The mail directory for a value of the variable: a separator appended
// when it lacks one.
std::string MailDirectoryFrom(std::string_view value);

// The address file's lines, split as the transport writes them; calls
// onRecipient for every line that starts with L_ (still in DOS bytes).
// Exposed for the benchmark and tests. A failed read ends it, keeping the
// lines read before.
template <typename OnRecipient>
platform::Status ReadRecipientLines(platform::ByteSource& source, OnRecipient&& onRecipient);

std::vector<const Recipient*> TickedEntries(const std::vector<Recipient>& recipients);

// The line up to its first blank (a space; a tab does not count), or the
// empty text when it has none.
std::string_view RecipientCode(std::string_view line);

}  // namespace dorvel::core

#include "core/RecipientLines.inl"
