// The address file's reading and DOS conversion on any bytes: every line
// handed out starts with L_, holds no line end, and converts to a text of
// its own length.

#include <cstdint>
#include <cstring>
#include <string>

#include "core/DosText.h"
#include "core/RecipientList.h"

namespace {

// Hands the input out in pieces whose sizes the input's first byte picks.
class PieceSource final : public dorvel::platform::ByteSource {
public:
    PieceSource(const std::uint8_t* data, std::size_t size, std::size_t piece)
        : data_(data), size_(size), piece_(piece) {}
    dorvel::platform::Result<std::size_t> read(char* buffer, std::size_t size) override {
        const std::size_t n = std::min({size, size_ - at_, piece_});
        std::memcpy(buffer, data_ + at_, n);
        at_ += n;
        return n;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t piece_;
    std::size_t at_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    PieceSource source(data + 1, size - 1, 1 + data[0] % 64);
    std::size_t total = 0;
    (void)dorvel::core::ReadRecipientLines(source, [&](std::string_view line) {
        if (line.size() < 2 || line[0] != 'L' || line[1] != '_') __builtin_trap();
        if (line.find('\n') != std::string_view::npos) __builtin_trap();
        if (dorvel::core::DosToWindows(line).size() != line.size()) __builtin_trap();
        total += line.size();
    });
    if (total > size) __builtin_trap();
    return 0;
}
