// Draws the program's own copy-files clip for the Windows progress window,
// for systems whose shell has none: a sheet flying from one folder to the
// other, 34 frames of 272 by 60, as the Linux face paints it. Written as an
// uncompressed 8-bit AVI, the one form every animation control plays
// without a codec. Runs on the build machine: make-copy-clip OUT.avi

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 272;
constexpr int kHeight = 60;
constexpr int kFrames = 34;
constexpr int kMicrosecondsPerFrame = 60'000;

// The palette: the first colour is the background, which the control makes
// transparent (it takes the first pixel's colour for that).
enum Colour : std::uint8_t { Background, FolderEdge, FolderFill, SheetEdge, Sheet, SheetLines };
constexpr std::uint8_t kPalette[][3] = {
    {0xFF, 0x00, 0xFF}, {0x80, 0x60, 0x00}, {0xF0, 0xC8, 0x40},
    {0x40, 0x40, 0x40}, {0xFF, 0xFF, 0xFF}, {0x90, 0x90, 0xC0},
};

struct Frame {
    std::vector<std::uint8_t> pixels = std::vector<std::uint8_t>(kWidth * kHeight, Background);
    void put(int x, int y, Colour c) {
        if (x >= 0 && x < kWidth && y >= 0 && y < kHeight) pixels[y * kWidth + x] = c;
    }
    // A rectangle drawn as the painter draws one: the edge around, the
    // fill inside, width and height counted as the painter counts them.
    void rect(int x, int y, int w, int h, Colour edge, Colour fill) {
        for (int j = y; j <= y + h; ++j) {
            for (int i = x; i <= x + w; ++i) {
                const bool border = i == x || i == x + w || j == y || j == y + h;
                put(i, j, border ? edge : fill);
            }
        }
    }
    void line(int x0, int x1, int y, Colour c) {
        for (int i = x0; i <= x1; ++i) put(i, y, c);
    }
};

void Folder(Frame& f, int x, int y) {
    f.rect(x, y + 6, 44, 30, FolderEdge, FolderFill);
    f.rect(x, y + 2, 16, 6, FolderEdge, FolderFill);
}

Frame Draw(int frame) {
    Frame f;
    Folder(f, 8, kHeight / 2 - 20);
    Folder(f, kWidth - 52, kHeight / 2 - 20);
    const double t = static_cast<double>(frame) / (kFrames - 1);
    const int x = static_cast<int>(std::lround(20 + t * (kWidth - 84)));
    const int y = static_cast<int>(
        std::lround(kHeight / 2.0 - 14 - std::sin(t * 3.14159265358979) * (kHeight / 2.0 - 14)));
    f.rect(x, y, 18, 22, SheetEdge, Sheet);
    for (int l = 0; l < 4; ++l) f.line(x + 3, x + 15, y + 5 + l * 4, SheetLines);
    return f;
}

struct Out {
    std::string bytes;
    void u32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes += static_cast<char>((v >> (8 * i)) & 0xFF);
    }
    void u16(std::uint16_t v) {
        bytes += static_cast<char>(v & 0xFF);
        bytes += static_cast<char>(v >> 8);
    }
    void tag(const char* fourcc) { bytes.append(fourcc, 4); }
    // Opens a chunk; close() fills in its size.
    std::size_t open(const char* fourcc) {
        tag(fourcc);
        u32(0);
        return bytes.size();
    }
    void close(std::size_t start) {
        const auto size = static_cast<std::uint32_t>(bytes.size() - start);
        for (int i = 0; i < 4; ++i)
            bytes[start - 4 + i] = static_cast<char>((size >> (8 * i)) & 0xFF);
        if (size % 2 != 0) bytes += '\0';
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-copy-clip OUT.avi\n");
        return 2;
    }
    constexpr int kStride = (kWidth + 3) / 4 * 4;
    constexpr std::uint32_t kFrameSize = kStride * kHeight;
    constexpr int kColours = sizeof kPalette / sizeof kPalette[0];

    Out avi;
    const auto riff = avi.open("RIFF");
    avi.tag("AVI ");
    const auto hdrl = avi.open("LIST");
    avi.tag("hdrl");
    const auto avih = avi.open("avih");
    avi.u32(kMicrosecondsPerFrame);
    avi.u32(kFrameSize * 1'000'000 / kMicrosecondsPerFrame);  // max bytes per second
    avi.u32(0);
    avi.u32(0x10);  // AVIF_HASINDEX
    avi.u32(kFrames);
    avi.u32(0);
    avi.u32(1);  // streams
    avi.u32(kFrameSize);
    avi.u32(kWidth);
    avi.u32(kHeight);
    for (int i = 0; i < 4; ++i) avi.u32(0);
    avi.close(avih);
    const auto strl = avi.open("LIST");
    avi.tag("strl");
    const auto strh = avi.open("strh");
    avi.tag("vids");
    avi.tag("DIB ");
    avi.u32(0);                      // flags
    avi.u16(0);                      // priority
    avi.u16(0);                      // language
    avi.u32(0);                      // initial frames
    avi.u32(kMicrosecondsPerFrame);  // scale
    avi.u32(1'000'000);              // rate: frames a second = rate / scale
    avi.u32(0);                      // start
    avi.u32(kFrames);                // length
    avi.u32(kFrameSize);             // suggested buffer
    avi.u32(0xFFFFFFFF);             // quality
    avi.u32(0);                      // sample size
    avi.u16(0);
    avi.u16(0);
    avi.u16(kWidth);
    avi.u16(kHeight);
    avi.close(strh);
    const auto strf = avi.open("strf");
    avi.u32(40);
    avi.u32(kWidth);
    avi.u32(kHeight);  // bottom-up
    avi.u16(1);
    avi.u16(8);
    avi.u32(0);  // BI_RGB
    avi.u32(kFrameSize);
    avi.u32(0);
    avi.u32(0);
    avi.u32(kColours);
    avi.u32(kColours);
    for (const auto& c : kPalette) {
        avi.bytes += static_cast<char>(c[2]);
        avi.bytes += static_cast<char>(c[1]);
        avi.bytes += static_cast<char>(c[0]);
        avi.bytes += '\0';
    }
    avi.close(strf);
    avi.close(strl);
    avi.close(hdrl);

    const auto movi = avi.open("LIST");
    const std::size_t moviData = avi.bytes.size();
    avi.tag("movi");
    std::vector<std::uint32_t> offsets;
    for (int frame = 0; frame < kFrames; ++frame) {
        const Frame f = Draw(frame);
        offsets.push_back(static_cast<std::uint32_t>(avi.bytes.size() - moviData));
        const auto chunk = avi.open("00db");
        for (int row = kHeight - 1; row >= 0; --row) {
            avi.bytes.append(reinterpret_cast<const char*>(&f.pixels[row * kWidth]), kWidth);
            avi.bytes.append(kStride - kWidth, '\0');
        }
        avi.close(chunk);
    }
    avi.close(movi);
    const auto idx1 = avi.open("idx1");
    for (const std::uint32_t offset : offsets) {
        avi.tag("00db");
        avi.u32(0x10);  // AVIIF_KEYFRAME
        avi.u32(offset);
        avi.u32(kFrameSize);
    }
    avi.close(idx1);
    avi.close(riff);

    FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr ||
        std::fwrite(avi.bytes.data(), 1, avi.bytes.size(), out) != avi.bytes.size() ||
        std::fclose(out) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
