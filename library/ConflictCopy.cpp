#include "library/ConflictCopy.h"

#include <string_view>

namespace {

bool AllOf(std::string_view text, std::string_view allowed, size_t min, size_t max) {
    if (text.size() < min || text.size() > max)
        return false;
    for (char c : text)
        if (allowed.find(c) == std::string_view::npos)
            return false;
    return true;
}

constexpr std::string_view kDigits = "0123456789";
constexpr std::string_view kDevice = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

// "<YYYYMMDD>-<HHMMSS>-<device>" as one kind of copy names it.
bool SyncStamp(std::string_view stamp) {
    return stamp.size() > 16 && AllOf(stamp.substr(0, 8), kDigits, 8, 8) && stamp[8] == '-' &&
           AllOf(stamp.substr(9, 6), kDigits, 6, 6) && stamp[15] == '-' && AllOf(stamp.substr(16), kDevice, 1, 64);
}

// A date, or a date and a time: digits with single dashes, dots or blanks between.
bool DateAndTime(std::string_view text) {
    if (text.empty() || !AllOf(text.substr(0, 1), kDigits, 1, 1) || !AllOf(text.substr(text.size() - 1), kDigits, 1, 1))
        return false;
    for (size_t i = 1; i < text.size(); ++i)
        if (kDigits.find(text[i]) == std::string_view::npos && kDigits.find(text[i - 1]) == std::string_view::npos)
            return false;
    return AllOf(text, "0123456789-. _", 6, 40);
}

// The extension (".txt") at the end of rest, which must be all that follows a closing
// mark; npos when something else follows.
bool OnlyExtension(std::string_view rest) {
    return rest.empty() || (rest[0] == '.' && rest.find('.', 1) == std::string_view::npos &&
                            rest.find(' ') == std::string_view::npos);
}

} // namespace

std::string ConflictCopyOriginal(const std::string& fileName) {
    const std::string_view name = fileName;
    // <base>.sync-conflict-<stamp>[.<ext>]
    if (size_t at = name.find(".sync-conflict-"); at != std::string_view::npos && at > 0) {
        const std::string_view after = name.substr(at + 15);
        const size_t dot = after.find('.');
        const std::string_view stamp = after.substr(0, dot);
        const std::string_view ext = dot == std::string_view::npos ? std::string_view() : after.substr(dot);
        if (SyncStamp(stamp) && OnlyExtension(ext))
            return std::string(name.substr(0, at)) + std::string(ext);
    }
    // <base> (... conflicted copy <date>[ <time>])[.<ext>]
    for (std::string_view mark : {std::string_view(" (conflicted copy "), std::string_view("'s conflicted copy "),
                                  std::string_view("\xE2\x80\x99s conflicted copy ")}) {
        const size_t at = name.find(mark);
        if (at == std::string_view::npos)
            continue;
        const size_t close = name.find(')', at + mark.size());
        if (close == std::string_view::npos || !DateAndTime(name.substr(at + mark.size(), close - at - mark.size())) ||
            !OnlyExtension(name.substr(close + 1)))
            continue;
        size_t open = at;
        if (mark[0] != ' ') {
            // "<base> (<who>'s conflicted copy": the base ends where the owner's bracket opens.
            open = name.rfind(" (", at);
            if (open == std::string_view::npos || open == 0 || name.find(')', open) < at)
                continue;
        }
        if (open == 0)
            continue;
        return std::string(name.substr(0, open)) + std::string(name.substr(close + 1));
    }
    return std::string();
}
