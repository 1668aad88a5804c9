// Reading XML text into an element tree: declarations, comments, CDATA,
// elements with double-quoted attributes, text with the six entities.

#include <cstring>
#include <memory>
#include <vector>

#include "framework/core/MException.h"
#include "framework/storage/MEncoding.h"
#include "framework/storage/MStream.h"
#include "framework/storage/MXMLItem.h"

namespace corvane {
namespace {

[[noreturn]] void Fail(const char* reason) { throw MException(std::string("Invalid file contents. ") + reason); }

std::string ReadAll(MStream& stream) {
    std::string bytes;
    char block[4096];
    for (;;) {
        const size_t got = stream.Read(block, sizeof block);
        if (got == 0) break;
        bytes.append(block, got);
        if (bytes.size() > MXMLItem::MaxDocumentBytes) Fail("Document too large.");
    }
    return bytes;
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool IsNameChar(char c) {
    return !IsSpace(c) && c != '<' && c != '>' && c != '/' && c != '=' && c != '"' && c != '\'' && c != '?' &&
           c != '!' && c != '&' && c != '\0';
}

std::string DecodeEntities(const std::string& raw) {
    std::string out;
    out.reserve(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] != '&') {
            out += raw[i];
            continue;
        }
        const size_t end = raw.find(';', i);
        if (end == std::string::npos || end - i > 10) {
            out += raw[i];
            continue;
        }
        const std::string name = raw.substr(i + 1, end - i - 1);
        if (name == "amp")
            out += '&';
        else if (name == "lt")
            out += '<';
        else if (name == "gt")
            out += '>';
        else if (name == "apos")
            out += '\'';
        else if (name == "quot")
            out += '"';
        else if (name.size() > 1 && name[0] == '#') {
            const bool hex = name[1] == 'x' || name[1] == 'X';
            char* stop = nullptr;
            const unsigned long cp = std::strtoul(name.c_str() + (hex ? 2 : 1), &stop, hex ? 16 : 10);
            if (stop == nullptr || *stop != '\0') {
                out += raw.substr(i, end - i + 1);
            } else {
                MEncoding::AppendUtf8(out, static_cast<uint32_t>(cp));
            }
        } else {
            out += raw.substr(i, end - i + 1);  // unknown entities stay as written
        }
        i = end;
    }
    return out;
}

// Text written by the indented layout sits on lines of its own: its line
// breaks and indentation are layout, not content.
std::string CollapseLayout(const std::string& raw) {
    if (raw.find('\n') == std::string::npos) return raw;
    std::string out;
    size_t start = 0;
    while (start <= raw.size()) {
        size_t end = raw.find('\n', start);
        if (end == std::string::npos) end = raw.size();
        size_t a = start, b = end;
        while (a < b && IsSpace(raw[a])) ++a;
        while (b > a && IsSpace(raw[b - 1])) --b;
        if (b > a) {
            if (!out.empty()) out += ' ';
            out.append(raw, a, b - a);
        }
        start = end + 1;
    }
    return out;
}

struct Segment {
    bool cdata;
    std::string text;
};

class Parser {
public:
    Parser(const std::string& text, MXMLItem& root) : s_(text), root_(root) {}

    // Returns false when the text holds no element at all.
    bool Run() {
        std::vector<MXMLItem*> open;
        std::vector<std::vector<Segment>> texts;
        bool rootSeen = false;
        while (i_ < s_.size()) {
            if (s_[i_] != '<') {
                const size_t next = s_.find('<', i_);
                const size_t end = next == std::string::npos ? s_.size() : next;
                if (!open.empty()) texts.back().push_back({false, s_.substr(i_, end - i_)});
                i_ = end;
                continue;
            }
            if (Starts("<?")) {
                Declaration();
            } else if (Starts("<!--")) {
                Skip("-->");
            } else if (Starts("<![CDATA[")) {
                const size_t end = s_.find("]]>", i_ + 9);
                if (end == std::string::npos) Fail("No ending delimiter found.");
                if (!open.empty()) texts.back().push_back({true, s_.substr(i_ + 9, end - i_ - 9)});
                i_ = end + 3;
            } else if (Starts("<!")) {
                Fail("Invalid special element sequence.");
            } else if (Starts("</")) {
                i_ += 2;
                const std::string name = Name();
                SkipSpace();
                if (i_ >= s_.size() || s_[i_] != '>' || open.empty() || open.back()->Name() != name)
                    Fail("Invalid closing element syntax.");
                ++i_;
                open.back()->SetText(FinishText(texts.back()));
                open.pop_back();
                texts.pop_back();
            } else {
                ++i_;
                const std::string name = Name();
                if (name.empty()) Fail("No element name found.");
                MXMLItem* item;
                if (open.empty()) {
                    if (rootSeen) Fail("Invalid element finishing sequence.");  // a second root
                    rootSeen = true;
                    root_.SetName(name);
                    item = &root_;
                } else {
                    if (static_cast<int>(open.size()) >= MXMLItem::MaxDepth) Fail("Elements are nested too deeply.");
                    if (++elements_ > MXMLItem::MaxElements) Fail("Too many elements.");
                    item = &open.back()->AddSubItem(name);
                }
                const bool closed = Attributes(*item);
                if (!closed) {
                    open.push_back(item);
                    texts.emplace_back();
                }
            }
        }
        if (!open.empty()) Fail("No ending delimiter found.");
        return rootSeen;
    }

private:
    bool Starts(const char* prefix) const { return s_.compare(i_, std::strlen(prefix), prefix) == 0; }

    void Skip(const char* terminator) {
        const size_t end = s_.find(terminator, i_);
        if (end == std::string::npos) Fail("No ending delimiter found.");
        i_ = end + std::strlen(terminator);
    }

    void SkipSpace() {
        while (i_ < s_.size() && IsSpace(s_[i_])) ++i_;
    }

    std::string Name() {
        const size_t start = i_;
        while (i_ < s_.size() && IsNameChar(s_[i_])) ++i_;
        return s_.substr(start, i_ - start);
    }

    void Declaration() {
        const size_t end = s_.find("?>", i_);
        if (end == std::string::npos) Fail("No ending delimiter found.");
        const std::string body = s_.substr(i_, end - i_);
        const size_t at = body.find("encoding=\"");
        if (at != std::string::npos) {
            const size_t close = body.find('"', at + 10);
            if (close != std::string::npos) encoding = body.substr(at + 10, close - at - 10);
        }
        i_ = end + 2;
    }

    // Reads attributes up to ">" or "/>"; true for an empty-element tag.
    bool Attributes(MXMLItem& item) {
        pending_.clear();
        for (;;) {
            SkipSpace();
            if (i_ >= s_.size()) Fail("No ending delimiter found.");
            const char c = s_[i_];
            if (c == '>' || c == '/') {
                const bool empty = c == '/';
                if (empty && (i_ + 1 >= s_.size() || s_[i_ + 1] != '>')) Fail("Invalid element finishing sequence.");
                i_ += empty ? 2 : 1;
                item.AdoptAttributes(std::move(pending_));
                pending_ = {};
                return empty;
            }
            const std::string name = Name();
            if (name.empty()) Fail("Special character found where attribute expected.");
            SkipSpace();
            if (i_ >= s_.size() || s_[i_] != '=') Fail("Invalid character found where attribute expected.");
            ++i_;
            SkipSpace();
            if (i_ >= s_.size() || s_[i_] != '"') Fail("Invalid character found where attribute expected.");
            const size_t close = s_.find('"', i_ + 1);
            if (close == std::string::npos) Fail("No ending delimiter found.");
            if (++attributes_ > MXMLItem::MaxAttributes) Fail("Too many attributes.");
            pending_.emplace_back(name, DecodeEntities(s_.substr(i_ + 1, close - i_ - 1)));
            i_ = close + 1;
        }
    }

    // CDATA content is kept out of entity decoding and layout collapsing.
    static std::string FinishText(const std::vector<Segment>& segments) {
        std::string text;
        for (const Segment& segment : segments)
            text += segment.cdata ? segment.text : DecodeEntities(CollapseLayout(segment.text));
        return text;
    }

public:
    std::string encoding;

private:
    const std::string& s_;
    MXMLItem& root_;
    size_t i_ = 0;
    size_t elements_ = 1;  // the root
    size_t attributes_ = 0;
    std::vector<std::pair<std::string, std::string>> pending_;  // the open tag's attributes
};

// The encoding named in an 8-bit declaration, or empty.
std::string DeclaredEncoding(const std::string& bytes) {
    if (bytes.compare(0, 5, "<?xml") != 0) return std::string();
    const std::string declaration = bytes.substr(0, bytes.find("?>"));
    const size_t at = declaration.find("encoding=\"");
    if (at == std::string::npos) return std::string();
    return declaration.substr(at + 10, declaration.find('"', at + 10) - at - 10);
}

// The document as UTF-8 text. UTF-16 goes through its codec's preamble check,
// so a UTF-16 document without its byte-order mark is refused as such.
std::string DecodeDocument(std::string bytes) {
    const std::string declared = DeclaredEncoding(bytes);
    const bool wide =
        (bytes.size() >= 2 &&
         ((static_cast<uint8_t>(bytes[0]) == 0xFF && static_cast<uint8_t>(bytes[1]) == 0xFE) || bytes[1] == '\0')) ||
        declared == "utf-16" || declared == "utf16";
    if (wide) {
        const std::unique_ptr<MEncoding::Codec> codec = MEncoding::ForName("utf-16");
        MMemoryStream source(bytes.data(), bytes.size());
        codec->ReadPreamble(source);
        return codec->Decode(bytes.substr(2));
    }
    // A single-byte encoding named in the declaration converts the whole document.
    if (!declared.empty() && declared != "utf-8" && declared != "utf8")
        return MEncoding::ForName(declared)->Decode(bytes);
    return bytes;
}

}  // namespace

bool MXMLItem::Parse(MStream& stream) {
    Clear();
    SetName(std::string());
    std::string bytes = ReadAll(stream);
    if (bytes.empty()) return false;
    const std::string text = DecodeDocument(std::move(bytes));
    Parser parser(text, *this);
    // Well-formed so far but no element at all (a declaration, a comment, text).
    if (!parser.Run() || Name().empty()) throw MException("The XML does not contain any elements.");
    return true;
}

}  // namespace corvane
