#include "library/RegexMatcher.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <algorithm>

#include "base/TextRules.h"
#include "library/Sample.h"

namespace {

// The Windows-1252 text as UTF-8.
void DecodeWindows1252(std::string_view text, std::string& out) {
    out.clear();
    for (const char c : text)
        AppendUtf8(out, Windows1252Char(static_cast<unsigned char>(c)));
}

// The number of characters in the first bytes of UTF-8 text.
size_t CharactersIn(std::string_view utf8) {
    size_t n = 0;
    for (const char c : utf8)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++n;
    return n;
}

bool IsLimitError(int rc) {
    return rc == PCRE2_ERROR_MATCHLIMIT || rc == PCRE2_ERROR_DEPTHLIMIT || rc == PCRE2_ERROR_HEAPLIMIT ||
           rc == PCRE2_ERROR_JIT_STACKLIMIT;
}

} // namespace

struct CRegexMatcher::Compiled {
    pcre2_code* code = nullptr;
    pcre2_match_data* data = nullptr;
    pcre2_match_context* context = nullptr;
    pcre2_jit_stack* stack = nullptr;
    ~Compiled() {
        pcre2_jit_stack_free(stack);
        pcre2_match_context_free(context);
        pcre2_match_data_free(data);
        pcre2_code_free(code);
    }
};

CRegexMatcher::CRegexMatcher(std::string_view pattern, bool keywordsOnly, bool matchCase)
    : m_keywordsOnly(keywordsOnly) {
    std::string utf8(pattern);
    if (!IsValidUtf8(pattern))
        DecodeWindows1252(pattern, utf8);
    if (utf8.empty()) {
        m_error = "Please enter a regular expression to search for.";
        return;
    }
    pcre2_compile_context* compileContext = pcre2_compile_context_create(nullptr);
    // Line ends in comments and text are CR LF: ^ and $ know both.
    pcre2_set_newline(compileContext, PCRE2_NEWLINE_ANYCRLF);
    const uint32_t options =
        PCRE2_UTF | PCRE2_MATCH_INVALID_UTF | PCRE2_MULTILINE | (matchCase ? 0u : PCRE2_CASELESS);
    int errorCode = 0;
    PCRE2_SIZE errorOffset = 0;
    pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(utf8.data()), utf8.size(), options, &errorCode,
                                     &errorOffset, compileContext);
    pcre2_compile_context_free(compileContext);
    if (!code) {
        PCRE2_UCHAR text[256];
        pcre2_get_error_message(errorCode, text, sizeof text);
        const size_t at = CharactersIn(std::string_view(utf8).substr(0, std::min<size_t>(errorOffset, utf8.size())));
        m_error = "The regular expression is not valid at character " + std::to_string(at + 1) + ": " +
                  reinterpret_cast<const char*>(text) + ".";
        return;
    }
    m_compiled = std::make_unique<Compiled>();
    m_compiled->code = code;
    // Without JIT support the interpreter matches, only slower.
    pcre2_jit_compile(code, PCRE2_JIT_COMPLETE);
    m_compiled->data = pcre2_match_data_create_from_pattern(code, nullptr);
    m_compiled->context = pcre2_match_context_create(nullptr);
    pcre2_set_match_limit(m_compiled->context, kMatchLimit);
    m_compiled->stack = pcre2_jit_stack_create(32 * 1024, 1024 * 1024, nullptr);
    if (m_compiled->stack)
        pcre2_jit_stack_assign(m_compiled->context, nullptr, m_compiled->stack);
}

CRegexMatcher::~CRegexMatcher() = default;
CRegexMatcher::CRegexMatcher(CRegexMatcher&&) noexcept = default;
CRegexMatcher& CRegexMatcher::operator=(CRegexMatcher&&) noexcept = default;

unsigned CRegexMatcher::CountField(std::string_view field) {
    if (!m_compiled || m_ranAway)
        return 0;
    if (!IsValidUtf8(field)) {
        DecodeWindows1252(field, m_decoded);
        field = m_decoded;
    }
    const auto* subject = reinterpret_cast<PCRE2_SPTR>(field.data());
    const size_t length = field.size();
    unsigned count = 0;
    size_t start = 0;
    uint32_t options = 0; // after an empty match: a non-empty one at the same place
    while (start <= length) {
        const int rc = pcre2_match(m_compiled->code, subject, length, start, options, m_compiled->data,
                                   m_compiled->context);
        if (rc == PCRE2_ERROR_NOMATCH) {
            if (options == 0)
                break;
            // Nothing but the empty match there: on by one character.
            options = 0;
            if (start >= length)
                break;
            ++start;
            while (start < length && (static_cast<unsigned char>(field[start]) & 0xC0) == 0x80)
                ++start;
            continue;
        }
        if (rc < 0) {
            m_ranAway = IsLimitError(rc);
            break;
        }
        const PCRE2_SIZE* range = pcre2_get_ovector_pointer(m_compiled->data);
        if (range[1] < range[0] || range[1] < start)
            break; // \K in a look-ahead: the match ends before it starts
        if (range[0] == range[1]) {
            start = range[1];
            options = PCRE2_NOTEMPTY_ATSTART | PCRE2_ANCHORED;
            continue;
        }
        ++count;
        start = range[1];
        options = 0;
    }
    return count;
}

unsigned CRegexMatcher::Count(const CSample& sample) {
    m_ranAway = false;
    if (!m_compiled)
        return 0;
    return CountSearchedFields(sample, m_keywordsOnly ? SearchScope::KeywordsOnly : SearchScope::Everything,
                               [this](std::string_view field) { return CountField(field); });
}

std::string RanAwayMessage(std::string_view title) {
    return "The regular expression was stopped in sample \"" + std::string(title) +
           "\": it needs too many steps to match there (nested repeats such as (a+)+ try every way "
           "to split a long run). The search ended at that sample.";
}

CSearchCounter::CSearchCounter(const SearchOptions& options) {
    if (options.regex)
        m_regex = std::make_unique<CRegexMatcher>(options.text, options.keywordsOnly, options.matchCase);
    else
        m_text = std::make_unique<CSampleMatcher>(options.text, options.keywordsOnly, options.matchCase);
}

const std::string& CSearchCounter::Error() const {
    static const std::string none;
    return m_regex ? m_regex->Error() : none;
}

unsigned CSearchCounter::Count(const CSample& sample) { return m_regex ? m_regex->Count(sample) : m_text->Count(sample); }
