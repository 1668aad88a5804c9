#include "gui/HelpTexts.h"

namespace gui {

std::string PlainHelp(const std::string& help) {
    std::string plain;
    for (size_t i = 0; i < help.size(); ++i) {
        if (help[i] != '<') {
            plain += help[i];
            continue;
        }
        const size_t end = help.find('>', i);
        if (end == std::string::npos) break;
        if (help.compare(i, 3, "<p>") == 0) plain += "\n";  // a paragraph
        i = end;
    }
    return plain;
}

}  // namespace gui
