#include "formats/richtext/reader.h"

#include "formats/richtext/documentbuilder.h"
#include "formats/richtext/issuelog.h"
#include "formats/richtext/tokenizer.h"
#include "formats/text/windows1252.h"

#include <algorithm>
#include <iterator>
#include <map>

namespace formats::richtext {

namespace {

enum class Destination { Text, FontTable, ColorTable, Skip };

// What a group carries and gives back when it closes.
struct GroupState {
    Destination destination = Destination::Text;
    int font = -1; // -1: the document's default font
    int halfPoints = 24;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int color = 0;
    int unicodeSkip = 1;
};

// Destinations whose contents are not text. Any other group opened with \* is skipped too.
bool isSkippedDestination(std::string_view w)
{
    static constexpr std::string_view words[] = {
        "annotation",
        "atnauthor",
        "atnid",
        "author",
        "bkmkend",
        "bkmkstart",
        "colorschememapping",
        "comment",
        "datastore",
        "doccomm",
        "filetbl",
        "fldinst",
        "footer",
        "footerf",
        "footerl",
        "footerr",
        "footnote",
        "generator",
        "header",
        "headerf",
        "headerl",
        "headerr",
        "info",
        "keywords",
        "latentstyles",
        "listoverridetable",
        "listtable",
        "nonshppict",
        "object",
        "objdata",
        "operator",
        "pict",
        "revtbl",
        "rsidtbl",
        "stylesheet",
        "subject",
        "tc",
        "themedata",
        "title",
        "xe",
    };
    return std::find(std::begin(words), std::end(words), w) != std::end(words);
}

// Groups that show their text even when opened with \*.
bool isTextDestination(std::string_view w)
{
    return w == "fldrslt" || w == "field";
}

bool isUnderline(std::string_view w)
{
    static constexpr std::string_view words[] = {
        "ul",         "uld",       "uldash",     "uldashd", "uldashdd", "uldb",
        "ulhwave",    "ulldash",   "ulth",       "ulthd",   "ulthdash", "ulthdashd",
        "ulthdashdd", "ulthldash", "ululdbwave", "ulw",     "ulwave",
    };
    return std::find(std::begin(words), std::end(words), w) != std::end(words);
}

class Reader {
public:
    Reader(std::string_view input, const Limits& limits)
        : input_(input)
        , limits_(limits)
        , issues_(limits.maxIssues)
        , tokenizer_(input, limits, issues_)
        , builder_(limits.capacity)
    {}

    ReadResult run();

private:
    GroupState& state() { return stack_.back(); }
    void groupStart(const Token& t);
    bool groupEnd();
    void word(const Token& t);
    void formattingWord(const Token& t);
    void symbol(const Token& t);
    void bytes(std::string_view text);
    void byte(std::uint8_t b);
    void unicode(const Token& t);
    void emit(std::u16string_view text);
    void emitUnit(char16_t unit);
    void flushSurrogate();
    void paragraph();
    bool consumeFallback();
    void commitFont();
    void commitColor();
    int clampParameter(const Token& t, int low, int high);
    const CharFormat& format();

    std::string_view input_;
    const Limits& limits_;
    IssueLog issues_;
    Tokenizer tokenizer_;
    DocumentBuilder builder_;

    std::vector<GroupState> stack_{GroupState{}};
    std::size_t excessDepth_ = 0;
    bool starPending_ = false;
    int fallbackLeft_ = 0;
    char16_t highSurrogate_ = 0;
    int defaultFont_ = 0;

    std::map<int, std::u16string> fonts_;
    int fontNumber_ = 0;
    std::u16string fontName_;
    std::vector<std::optional<Color>> colors_;
    Color color_;
    bool colorSet_ = false;

    CharFormat format_;
    bool formatDirty_ = true;
    std::u16string scratch_;
};

ReadResult Reader::run()
{
    ReadResult result;
    if (!input_.starts_with("{\\rtf")) {
        issues_.add({Issue::Kind::NotRichText, 0});
        result.issues = issues_.issues();
        return result;
    }
    result.richText = true;
    bool done = false;
    std::size_t offset = 0;
    while (!done) {
        const Token t = tokenizer_.next();
        offset = t.offset;
        if (t.kind != Token::Kind::Word && t.kind != Token::Kind::End)
            starPending_ = starPending_ && t.kind == Token::Kind::Symbol && t.symbol == '*';
        switch (t.kind) {
        case Token::Kind::End:
            done = true;
            break;
        case Token::Kind::GroupStart:
            groupStart(t);
            break;
        case Token::Kind::GroupEnd:
            done = groupEnd();
            break;
        case Token::Kind::Word:
            if (!consumeFallback())
                word(t);
            break;
        case Token::Kind::Symbol:
            if (!consumeFallback())
                symbol(t);
            break;
        case Token::Kind::Hex:
            if (!consumeFallback())
                byte(t.byte);
            break;
        case Token::Kind::Text:
            bytes(t.chars);
            break;
        case Token::Kind::Binary:
            // Pictures and objects: never text.
            consumeFallback();
            break;
        }
        if (builder_.full() && !done) {
            issues_.add({Issue::Kind::CapacityReached, tokenizer_.offset(), 0,
                         std::int64_t(builder_.characters())});
            done = true;
        }
    }
    flushSurrogate();
    const std::size_t open = stack_.size() - 1 + excessDepth_;
    if (open > 0 && !builder_.full())
        issues_.add({Issue::Kind::UnclosedGroups, offset, std::int64_t(open), 0});

    result.document = builder_.take();
    result.issues = issues_.issues();
    result.issuesDropped = issues_.dropped();
    return result;
}

bool Reader::consumeFallback()
{
    if (fallbackLeft_ == 0)
        return false;
    --fallbackLeft_;
    return true;
}

void Reader::groupStart(const Token& t)
{
    // Fallback text never reaches across a brace.
    fallbackLeft_ = 0;
    if (stack_.size() > limits_.maxGroupDepth) {
        // Reported where the limit is crossed, not for every brace beyond it.
        if (excessDepth_++ == 0)
            issues_.add({Issue::Kind::GroupTooDeep, t.offset,
                         std::int64_t(stack_.size() - 1 + excessDepth_),
                         std::int64_t(limits_.maxGroupDepth)});
        return;
    }
    stack_.push_back(stack_.back());
}

bool Reader::groupEnd()
{
    fallbackLeft_ = 0;
    if (excessDepth_ > 0) {
        --excessDepth_;
        return false;
    }
    const Destination closing = state().destination;
    if (closing == Destination::FontTable && !fontName_.empty())
        commitFont();
    stack_.pop_back();
    formatDirty_ = true;
    // The outermost group ends the document; anything after it is not read.
    return stack_.size() <= 1;
}

void Reader::word(const Token& t)
{
    GroupState& s = state();
    if (s.destination == Destination::Skip)
        return;
    const std::string_view w = t.chars;
    if (starPending_) {
        starPending_ = false;
        if (!isTextDestination(w)) {
            s.destination = Destination::Skip;
            return;
        }
    }
    if (isSkippedDestination(w)) {
        s.destination = Destination::Skip;
        return;
    }
    if (w == "fonttbl") {
        s.destination = Destination::FontTable;
        fontName_.clear();
        return;
    }
    if (w == "colortbl") {
        s.destination = Destination::ColorTable;
        colorSet_ = false;
        color_ = {};
        return;
    }
    switch (s.destination) {
    case Destination::FontTable:
        if (w == "f") {
            fontNumber_ = t.parameter;
            fontName_.clear();
        }
        return;
    case Destination::ColorTable:
        if (w == "red" || w == "green" || w == "blue") {
            const auto v = std::uint8_t(clampParameter(t, 0, 255));
            (w == "red" ? color_.red : w == "green" ? color_.green : color_.blue) = v;
            colorSet_ = true;
        }
        return;
    case Destination::Skip:
        return;
    case Destination::Text:
        formattingWord(t);
        return;
    }
}

void Reader::formattingWord(const Token& t)
{
    GroupState& s = state();
    const std::string_view w = t.chars;
    const bool on = !t.hasParameter || t.parameter != 0;
    if (w == "par" || w == "sect" || w == "page") {
        paragraph();
    } else if (w == "line") {
        emitUnit(LineSeparator);
    } else if (w == "tab") {
        emitUnit(u'\t');
    } else if (w == "u") {
        unicode(t);
    } else if (w == "uc") {
        s.unicodeSkip = clampParameter(t, 0, limits_.maxUnicodeSkip);
    } else if (w == "b") {
        s.bold = on;
        formatDirty_ = true;
    } else if (w == "i") {
        s.italic = on;
        formatDirty_ = true;
    } else if (isUnderline(w)) {
        s.underline = on;
        formatDirty_ = true;
    } else if (w == "ulnone") {
        s.underline = false;
        formatDirty_ = true;
    } else if (w == "fs") {
        s.halfPoints =
            t.hasParameter ? clampParameter(t, limits_.minHalfPoints, limits_.maxHalfPoints) : 24;
        formatDirty_ = true;
    } else if (w == "f") {
        s.font = t.parameter;
        formatDirty_ = true;
    } else if (w == "cf") {
        s.color = t.parameter;
        formatDirty_ = true;
    } else if (w == "plain") {
        const Destination d = s.destination;
        const int skip = s.unicodeSkip;
        s = GroupState{};
        s.destination = d;
        s.unicodeSkip = skip;
        formatDirty_ = true;
    } else if (w == "deff") {
        defaultFont_ = t.parameter;
        formatDirty_ = true;
    } else if (w == "ansicpg") {
        if (t.parameter != 1252)
            issues_.add({Issue::Kind::UnsupportedCodePage, t.offset, t.parameter, 1252});
    } else if (w == "emdash") {
        emitUnit(0x2014);
    } else if (w == "endash") {
        emitUnit(0x2013);
    } else if (w == "bullet") {
        emitUnit(0x2022);
    } else if (w == "lquote") {
        emitUnit(0x2018);
    } else if (w == "rquote") {
        emitUnit(0x2019);
    } else if (w == "ldblquote") {
        emitUnit(0x201C);
    } else if (w == "rdblquote") {
        emitUnit(0x201D);
    } else if (w == "emspace") {
        emitUnit(0x2003);
    } else if (w == "enspace") {
        emitUnit(0x2002);
    }
}

void Reader::symbol(const Token& t)
{
    if (t.symbol == '*') {
        starPending_ = true;
        return;
    }
    switch (state().destination) {
    case Destination::Skip:
    case Destination::ColorTable:
        return;
    case Destination::FontTable:
        if (t.symbol == '\\' || t.symbol == '{' || t.symbol == '}')
            byte(std::uint8_t(t.symbol));
        return;
    case Destination::Text:
        break;
    }
    switch (t.symbol) {
    case '\\':
    case '{':
    case '}':
        emitUnit(char16_t(t.symbol));
        break;
    case '~':
        emitUnit(0x00A0);
        break;
    case '_':
        emitUnit(0x2011);
        break;
    case '\n':
        paragraph();
        break;
    default: // \- optional hyphen, \| \: index marks and unknown symbols show nothing
        break;
    }
}

void Reader::bytes(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && fallbackLeft_ > 0) {
        --fallbackLeft_;
        ++i;
    }
    text.remove_prefix(i);
    if (text.empty())
        return;
    switch (state().destination) {
    case Destination::Skip:
        return;
    case Destination::ColorTable:
        for (char c : text) {
            if (c == ';')
                commitColor();
        }
        return;
    case Destination::FontTable:
        for (char c : text)
            byte(std::uint8_t(c));
        return;
    case Destination::Text:
        break;
    }
    scratch_.clear();
    for (char c : text)
        scratch_.push_back(text::areaCharacter(std::uint8_t(c)));
    emit(scratch_);
}

void Reader::byte(std::uint8_t b)
{
    const char16_t c = text::areaCharacter(b);
    switch (state().destination) {
    case Destination::FontTable:
        if (b == ';')
            commitFont();
        else if (fontName_.size() < limits_.maxFontNameLength)
            fontName_.push_back(c);
        return;
    case Destination::Text:
        emitUnit(c);
        return;
    case Destination::ColorTable:
    case Destination::Skip:
        return;
    }
}

void Reader::unicode(const Token& t)
{
    const int value = clampParameter(t, -32768, 65535);
    emitUnit(char16_t(value < 0 ? value + 65536 : value));
    fallbackLeft_ = state().unicodeSkip;
}

void Reader::emit(std::u16string_view text)
{
    flushSurrogate();
    builder_.text(text, format());
}

void Reader::emitUnit(char16_t unit)
{
    const bool high = unit >= 0xD800 && unit <= 0xDBFF;
    const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
    if (low && highSurrogate_) {
        const char16_t pair[2] = {highSurrogate_, unit};
        highSurrogate_ = 0;
        builder_.text({pair, 2}, format());
        return;
    }
    flushSurrogate();
    if (high) {
        highSurrogate_ = unit;
        return;
    }
    const char16_t c = low ? char16_t(0xFFFD) : unit;
    builder_.text({&c, 1}, format());
}

void Reader::flushSurrogate()
{
    if (!highSurrogate_)
        return;
    highSurrogate_ = 0;
    const char16_t c = 0xFFFD;
    builder_.text({&c, 1}, format());
}

void Reader::paragraph()
{
    flushSurrogate();
    builder_.paragraphBreak();
}

void Reader::commitFont()
{
    auto trimmed = fontName_;
    while (!trimmed.empty() && trimmed.back() == u' ')
        trimmed.pop_back();
    trimmed.erase(0, trimmed.find_first_not_of(u' ') == std::u16string::npos
                         ? trimmed.size()
                         : trimmed.find_first_not_of(u' '));
    fontName_.clear();
    if (fonts_.size() >= limits_.maxFonts && !fonts_.contains(fontNumber_)) {
        issues_.add({Issue::Kind::TooManyFonts, tokenizer_.offset(), fontNumber_,
                     std::int64_t(limits_.maxFonts)});
        return;
    }
    fonts_[fontNumber_] = std::move(trimmed);
    formatDirty_ = true;
}

void Reader::commitColor()
{
    if (colors_.size() >= limits_.maxColors) {
        issues_.add(
            {Issue::Kind::TooManyColors, tokenizer_.offset(), 0, std::int64_t(limits_.maxColors)});
    } else {
        colors_.push_back(colorSet_ ? std::optional<Color>(color_) : std::nullopt);
        formatDirty_ = true;
    }
    color_ = {};
    colorSet_ = false;
}

int Reader::clampParameter(const Token& t, int low, int high)
{
    const int v = std::clamp(t.parameter, low, high);
    if (v != t.parameter)
        issues_.add({Issue::Kind::ParameterOutOfRange, t.offset, t.parameter, v});
    return v;
}

const CharFormat& Reader::format()
{
    if (!formatDirty_)
        return format_;
    const GroupState& s = state();
    auto font = fonts_.find(s.font < 0 ? defaultFont_ : s.font);
    format_.font = font == fonts_.end() ? std::u16string() : font->second;
    format_.halfPoints = s.halfPoints;
    format_.bold = s.bold;
    format_.italic = s.italic;
    format_.underline = s.underline;
    format_.color = s.color >= 0 && std::size_t(s.color) < colors_.size()
                        ? colors_[std::size_t(s.color)]
                        : std::nullopt;
    formatDirty_ = false;
    return format_;
}

} // namespace

ReadResult read(std::string_view input, const Limits& limits)
{
    return Reader(input, limits).run();
}

} // namespace formats::richtext
