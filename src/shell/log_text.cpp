#include "shell/log_text.h"

#include "shell/message_format.h"

namespace {
// Room for the text of a formatted entry beyond its two parts.
constexpr std::size_t kFormatSlack = 32024;
} // namespace

const char* log_tag_name(int kind) {
    switch (kind) {
    case LM_ERROR:
        return "lm_error";
    case LM_NORMAL:
        return "lm_normal";
    case LM_ADVICE:
        return "lm_advice";
    case LM_GREET:
        return "lm_greet";
    default:
        return nullptr;
    }
}

std::string log_stamp_text(std::string_view stamp) {
    std::string out = "\t";
    out += stamp;
    out += '\t';
    return valid_utf8(std::move(out));
}

std::string log_formatted_text(std::string_view format, std::string_view argument) {
    std::string text = format_with_text(format, argument);
    // The limit counts a terminating byte, as the C buffer it stands for did.
    const std::size_t limit = format.size() + argument.size() + kFormatSlack - 1;
    if (text.size() > limit) text.resize(limit);
    return valid_utf8(std::move(text));
}

std::string log_entry_text(std::string_view text) {
    std::string out = " ";
    out += text;
    out += '\n';
    out.append(kLogRuleWidth, '_');
    out += '\n';
    return valid_utf8(std::move(out));
}
