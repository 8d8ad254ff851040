#include "core/Messages.h"

#include "core/PathRules.h"
#include "core/Texts.h"

namespace dorvel::core {

void MessageBoxes::error(const std::string& text) { show(Icon::Stop, texts::kErrorTitle, text); }

void MessageBoxes::information(const std::string& text) {
    show(Icon::Information, texts::kInformationTitle, text);
}

void MessageBoxes::platformError(const std::string& text) {
    show(Icon::Stop, programTitle_, PlatformErrorText(text));
}

std::string PlatformErrorText(std::string_view text) {
    std::string out(text);
    if (!out.empty() && static_cast<unsigned char>(out.back()) > '.') out += '.';
    return out;
}

std::string ProgramTitle(std::string_view executablePath) {
    std::string_view name = PathRules::Host().fileNamePart(executablePath);
    name = name.substr(0, name.find('.'));
    std::string title(name);
    for (std::size_t i = 1; i < title.size(); ++i) {
        if (title[i] >= 'A' && title[i] <= 'Z') title[i] = static_cast<char>(title[i] - 'A' + 'a');
    }
    return title;
}

std::string IoErrorText(int windowsCode) {
    switch (windowsCode) {
        case 2:
            return "File not found";
        case 3:
            return "Invalid filename";
        case 4:
            return "Too many open files";
        case 5:
            return "File access denied";
        case 100:
            return "Read beyond end of file";
        case 101:
            return "Disk full";
        case 106:
            return "Invalid numeric input";
        default:
            return "I/O error " + std::to_string(windowsCode);
    }
}

}  // namespace dorvel::core
