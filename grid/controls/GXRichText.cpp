#include "grid/controls/GXRichText.h"

#include "grid/controls/GXUtf8Chars.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <map>

namespace {

constexpr std::size_t kMaxDepth = 256;     // deeper groups are read as their parent's text
constexpr long kNumberLimit = 1000000000;  // larger parameters are clamped
constexpr int kMaxSkipCount = 16;          // \ucN

struct State {
    GXRichCharFormat format;
    int font = -1;
    int color = 0;
    bool skip = false;        // inside a destination that is not text
    int ucSkip = 1;           // characters after \uN that stand in for it
    int fontTableEntry = -2;  // inside the font table: -1 between entries, else the entry
    bool colorTable = false;
};

class Reader {
public:
    explicit Reader(std::string_view in) : in_(in) {}

    GXRichDocument Read() {
        stack_.push_back(State{});
        doc_.paragraphs.emplace_back();
        while (pos_ < in_.size()) {
            const char c = in_[pos_++];
            if (c == '{') {
                Open();
            } else if (c == '}') {
                Close();
            } else if (c == '\\') {
                ControlWord();
            } else if (c == '\r' || c == '\n') {
                continue;
            } else {
                RawText(c);
            }
        }
        // A trailing empty paragraph (a document ending in \par) is no paragraph of its own.
        if (doc_.paragraphs.size() > 1 && doc_.paragraphs.back().runs.empty())
            doc_.paragraphs.pop_back();
        ResolveFaces();
        return std::move(doc_);
    }

private:
    State& Top() { return stack_.back(); }

    void Open() {
        if (stack_.size() >= kMaxDepth) {
            ++overflow_;
            return;
        }
        State s = Top();
        if (s.fontTableEntry >= -1)
            s.fontTableEntry = -1;  // a group per font entry
        stack_.push_back(s);
        // "{\*" marks a destination a reader may skip.
        if (pos_ + 1 < in_.size() && in_[pos_] == '\\' && in_[pos_ + 1] == '*')
            Top().skip = true;
    }

    void Close() {
        if (overflow_ > 0) {
            --overflow_;
            return;
        }
        if (stack_.size() > 1)
            stack_.pop_back();  // an unmatched brace is ignored
    }

    long Number(bool& has) {
        bool negative = false;
        if (pos_ < in_.size() && in_[pos_] == '-' && pos_ + 1 < in_.size() &&
            in_[pos_ + 1] >= '0' && in_[pos_ + 1] <= '9') {
            negative = true;
            ++pos_;
        }
        long n = 0;
        has = false;
        while (pos_ < in_.size() && in_[pos_] >= '0' && in_[pos_] <= '9') {
            has = true;
            n = std::min(n * 10 + (in_[pos_++] - '0'), kNumberLimit);
        }
        return negative ? -n : n;
    }

    void ControlWord() {
        if (pos_ >= in_.size())
            return;
        const char c = in_[pos_];
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) {
            ++pos_;
            Symbol(c);
            return;
        }
        std::string word;
        while (pos_ < in_.size() && word.size() < 32 &&
               ((in_[pos_] >= 'a' && in_[pos_] <= 'z') || (in_[pos_] >= 'A' && in_[pos_] <= 'Z')))
            word += in_[pos_++];
        while (pos_ < in_.size() &&
               ((in_[pos_] >= 'a' && in_[pos_] <= 'z') || (in_[pos_] >= 'A' && in_[pos_] <= 'Z')))
            ++pos_;  // an over-long word is cut, never stored whole
        bool has = false;
        const long n = Number(has);
        if (pos_ < in_.size() && in_[pos_] == ' ')
            ++pos_;
        Word(word, has, n);
    }

    void Symbol(char c) {
        switch (c) {
            case '\\':
            case '{':
            case '}':
                Text(std::string(1, c));
                break;
            case '~':
                Text("\xC2\xA0");
                break;
            case '\'': {
                int v = 0;
                int digits = 0;
                while (digits < 2 && pos_ < in_.size() &&
                       std::isxdigit(static_cast<unsigned char>(in_[pos_]))) {
                    const char h = in_[pos_++];
                    v = v * 16 + (h <= '9' ? h - '0' : (h | 0x20) - 'a' + 10);
                    ++digits;
                }
                if (digits > 0)
                    Text(GXUtf8Encode(static_cast<char32_t>(v)));  // read as Latin-1
                break;
            }
            case '*':
                Top().skip = true;
                break;
            default:
                break;
        }
    }

    void Word(const std::string& w, bool has, long n) {
        State& s = Top();
        const bool on = !has || n != 0;
        if (w == "fonttbl") {
            s.fontTableEntry = -1;
            s.skip = true;
        } else if (w == "colortbl") {
            s.colorTable = true;
            s.skip = true;
            pendingColor_ = 0;
        } else if (w == "red" || w == "green" || w == "blue") {
            if (s.colorTable) {
                const int shift = w == "red" ? 0 : w == "green" ? 8 : 16;
                pendingColor_ |= static_cast<std::uint32_t>(std::clamp<long>(n, 0, 255)) << shift;
            }
        } else if (w == "f") {
            if (s.fontTableEntry >= -1)
                s.fontTableEntry = static_cast<int>(std::clamp<long>(n, 0, 65535));
            else
                s.font = static_cast<int>(std::clamp<long>(n, 0, 65535));
        } else if (w == "info" || w == "stylesheet" || w == "pict" || w == "header" ||
                   w == "footer" || w == "object" || w == "listtable" || w == "generator") {
            s.skip = true;
        } else if (w == "uc") {
            s.ucSkip = static_cast<int>(std::clamp<long>(n, 0, kMaxSkipCount));
        } else if (w == "u") {
            Unicode(n);  // also in font names
        } else if (w == "line") {
            Text("\n");
        } else if (w == "tab") {
            Text("\t");
        } else if (s.skip) {
            return;
        } else if (w == "b") {
            s.format.bold = on;
        } else if (w == "i") {
            s.format.italic = on;
        } else if (w == "ul") {
            s.format.underline = on;
        } else if (w == "ulnone") {
            s.format.underline = false;
        } else if (w == "strike") {
            s.format.strikeOut = on;
        } else if (w == "fs") {
            s.format.sizeTwips = static_cast<int>(std::clamp<long>(n, 0, 3276)) * 10;
        } else if (w == "cf") {
            s.color = static_cast<int>(std::clamp<long>(n, 0, 65535));
        } else if (w == "plain") {
            s.format = GXRichCharFormat{};
            s.font = -1;
            s.color = 0;
        } else if (w == "pard") {
            doc_.paragraphs.back().align = GXRichAlign::Left;
        } else if (w == "ql" || w == "qj") {
            doc_.paragraphs.back().align = GXRichAlign::Left;
        } else if (w == "qc") {
            doc_.paragraphs.back().align = GXRichAlign::Center;
        } else if (w == "qr") {
            doc_.paragraphs.back().align = GXRichAlign::Right;
        } else if (w == "par") {
            GXRichParagraph next;
            next.align = doc_.paragraphs.back().align;
            if (doc_.paragraphs.size() < 100000)
                doc_.paragraphs.push_back(next);
        }
    }

    // A byte of raw text: a whole UTF-8 sequence when one starts here, else a Latin-1 byte.
    void RawText(char c) {
        const std::size_t n = GXUtf8SeqLen(static_cast<unsigned char>(c));
        if (n > 1 && pos_ - 1 + n <= in_.size()) {
            const std::string_view seq = in_.substr(pos_ - 1, n);
            if (GXSplitUtf8Chars(seq).size() == 1) {
                pos_ += n - 1;
                Text(std::string(seq));
                return;
            }
        }
        Text(GXUtf8Encode(static_cast<unsigned char>(c)));
    }

    void Unicode(long n) {
        long v = n < 0 ? n + 65536 : n;
        if (v < 0 || v > 0xFFFF)
            v = 0xFFFD;
        if (v >= 0xD800 && v <= 0xDBFF) {
            highSurrogate_ = static_cast<char32_t>(v);
        } else if (v >= 0xDC00 && v <= 0xDFFF) {
            if (highSurrogate_)
                Text(GXUtf8Encode(0x10000 + ((highSurrogate_ - 0xD800) << 10) + (v - 0xDC00)));
            highSurrogate_ = 0;
        } else {
            highSurrogate_ = 0;
            Text(GXUtf8Encode(static_cast<char32_t>(v)));
        }
        // The stand-in characters that follow are not text of their own.
        for (int i = 0; i < Top().ucSkip && pos_ < in_.size(); ++i) {
            if (in_[pos_] == '\\' && pos_ + 1 < in_.size() && in_[pos_ + 1] == '\'') {
                pos_ = std::min(in_.size(), pos_ + 4);
            } else if (in_[pos_] == '{' || in_[pos_] == '}' || in_[pos_] == '\\') {
                break;
            } else {
                ++pos_;
            }
        }
    }

    void Text(const std::string& t) {
        State& s = Top();
        if (s.colorTable) {
            if (t == ";") {
                if (colors_.size() < 4096)
                    colors_.push_back(pendingColor_);
                pendingColor_ = 0;
            }
            return;
        }
        if (s.fontTableEntry >= 0) {
            if (t == ";")
                s.fontTableEntry = -1;
            else if (fonts_[s.fontTableEntry].size() < 64)
                fonts_[s.fontTableEntry] += t;
            return;
        }
        if (s.skip)
            return;
        GXRichCharFormat f = s.format;
        f.face = s.font >= 0 ? "\x01" + std::to_string(s.font) : std::string();
        f.color = s.color > 0 ? static_cast<std::uint32_t>(s.color) | 0x80000000u : 0xFFFFFFFFu;
        std::vector<GXRichRun>& runs = doc_.paragraphs.back().runs;
        if (!runs.empty() && runs.back().format == f)
            runs.back().text += t;
        else
            runs.push_back({t, f});
    }

    // Font and colour numbers become faces and colours once both tables are known.
    void ResolveFaces() {
        // The colour table's first entry (the empty one before the first ";") is automatic.
        for (GXRichParagraph& p : doc_.paragraphs) {
            for (GXRichRun& r : p.runs) {
                if (r.format.face.starts_with('\x01')) {
                    const auto it = fonts_.find(std::atoi(r.format.face.c_str() + 1));
                    r.format.face = it == fonts_.end() ? std::string() : it->second;
                    while (!r.format.face.empty() && r.format.face.front() == ' ')
                        r.format.face.erase(0, 1);
                }
                if (r.format.color != 0xFFFFFFFFu) {
                    const std::size_t i = r.format.color & 0xFFFF;
                    r.format.color = i < colors_.size() ? colors_[i] : 0xFFFFFFFFu;
                }
            }
            // Runs that became equal are joined.
            std::vector<GXRichRun> joined;
            for (GXRichRun& r : p.runs) {
                if (!joined.empty() && joined.back().format == r.format)
                    joined.back().text += r.text;
                else
                    joined.push_back(std::move(r));
            }
            p.runs = std::move(joined);
        }
    }

    std::string_view in_;
    std::size_t pos_ = 0;
    std::vector<State> stack_;
    std::size_t overflow_ = 0;
    GXRichDocument doc_;
    std::map<int, std::string> fonts_;
    std::vector<std::uint32_t> colors_;
    std::uint32_t pendingColor_ = 0;
    char32_t highSurrogate_ = 0;
};

void Escape(std::string& out, std::string_view text) {
    for (const std::string& ch : GXSplitUtf8Chars(text)) {
        if (ch == "\\" || ch == "{" || ch == "}") {
            out += '\\';
            out += ch;
        } else if (ch == "\n") {
            out += "\\line ";
        } else if (ch == "\t") {
            out += "\\tab ";
        } else if (ch.size() == 1 && static_cast<unsigned char>(ch[0]) < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\'%02x", static_cast<unsigned char>(ch[0]));
            out += buf;
        } else if (ch.size() == 1 && static_cast<unsigned char>(ch[0]) < 0x80) {
            out += ch;
        } else {
            char32_t cp = GXUtf8Decode(ch);
            auto unit = [&](unsigned u) {
                out += "\\u" + std::to_string(static_cast<std::int16_t>(u)) + "?";
            };
            if (cp >= 0x10000) {
                cp -= 0x10000;
                unit(0xD800 + (cp >> 10));
                unit(0xDC00 + (cp & 0x3FF));
            } else {
                unit(cp);
            }
        }
    }
}

}  // namespace

std::string GXRichDocument::PlainText() const {
    std::string out;
    for (std::size_t i = 0; i < paragraphs.size(); ++i) {
        if (i > 0)
            out += '\n';
        for (const GXRichRun& r : paragraphs[i].runs) out += r.text;
    }
    return out;
}

bool GXRichDocument::Empty() const {
    for (const GXRichParagraph& p : paragraphs)
        for (const GXRichRun& r : p.runs)
            if (!r.text.empty())
                return false;
    return true;
}

GXRichDocument GXReadRichText(std::string_view rtf) {
    return Reader(rtf).Read();
}

std::string GXWriteRichText(const GXRichDocument& doc) {
    std::vector<std::string> fonts;
    std::vector<std::uint32_t> colors;
    auto fontIndex = [&](const std::string& face) {
        const auto it = std::find(fonts.begin(), fonts.end(), face);
        if (it != fonts.end())
            return static_cast<int>(it - fonts.begin());
        fonts.push_back(face);
        return static_cast<int>(fonts.size()) - 1;
    };
    auto colorIndex = [&](std::uint32_t c) {
        const auto it = std::find(colors.begin(), colors.end(), c);
        if (it != colors.end())
            return static_cast<int>(it - colors.begin()) + 1;
        colors.push_back(c);
        return static_cast<int>(colors.size());
    };
    std::string body;
    for (std::size_t i = 0; i < doc.paragraphs.size(); ++i) {
        const GXRichParagraph& p = doc.paragraphs[i];
        body += p.align == GXRichAlign::Center  ? "\\pard\\qc "
                : p.align == GXRichAlign::Right ? "\\pard\\qr "
                                                : "\\pard ";
        for (const GXRichRun& r : p.runs) {
            std::string words;
            if (r.format.bold)
                words += "\\b";
            if (r.format.italic)
                words += "\\i";
            if (r.format.underline)
                words += "\\ul";
            if (r.format.strikeOut)
                words += "\\strike";
            if (!r.format.face.empty())
                words += "\\f" + std::to_string(fontIndex(r.format.face));
            if (r.format.sizeTwips > 0)
                words += "\\fs" + std::to_string(r.format.sizeTwips / 10);
            if (r.format.color != 0xFFFFFFFFu)
                words += "\\cf" + std::to_string(colorIndex(r.format.color & 0xFFFFFF));
            body += "{" + words + (words.empty() ? "" : " ");
            Escape(body, r.text);
            body += "}";
        }
        // The reader takes a final \\par as the end of the last paragraph, so an empty last
        // paragraph gets one of its own.
        if (i + 1 < doc.paragraphs.size() || (i > 0 && p.runs.empty()))
            body += "\\par\n";
    }
    std::string out = "{\\rtf1\\ansi\\uc1";
    if (!fonts.empty()) {
        out += "{\\fonttbl";
        for (std::size_t i = 0; i < fonts.size(); ++i) {
            out += "{\\f" + std::to_string(i) + " ";
            Escape(out, fonts[i]);
            out += ";}";
        }
        out += "}";
    }
    if (!colors.empty()) {
        out += "{\\colortbl;";
        for (std::uint32_t c : colors) {
            char buf[48];
            std::snprintf(buf, sizeof buf, "\\red%u\\green%u\\blue%u;", c & 0xFF, (c >> 8) & 0xFF,
                          (c >> 16) & 0xFF);
            out += buf;
        }
        out += "}";
    }
    out += "\n" + body + "}";
    return out;
}

std::string GXWrapPlainText(std::string_view text) {
    std::string out = "{";
    std::string line;
    bool afterCr = false;
    for (const std::string& ch : GXSplitUtf8Chars(text)) {
        // CR LF, CR and LF each end a line.
        const bool lf = ch == "\n";
        if (lf && afterCr) {
            afterCr = false;
            continue;
        }
        afterCr = ch == "\r";
        if (lf || afterCr) {
            Escape(out, line);
            out += "\\par ";
            line.clear();
        } else {
            line += ch;
        }
    }
    Escape(out, line);
    // The reader takes a final \\par as the end of the last line: an empty last line needs
    // one of its own.
    if (line.empty() && out.size() > 1)
        out += "\\par ";
    return out + "}";
}

std::string GXRichPlainText(std::string_view rtf) {
    return GXReadRichText(rtf).PlainText();
}
