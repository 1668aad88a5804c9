#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "framework/core/MException.h"
#include "framework/storage/MEncoding.h"
#include "framework/storage/MStream.h"
#include "framework/storage/XMLFiles.h"
#include "tests/support/LogCapture.h"
#include "tests/support/ScratchFolder.h"

using namespace corvane;

namespace {

std::string Text(MMemoryStream& stream) {
    return std::string(reinterpret_cast<const char*>(stream.Data()), static_cast<size_t>(stream.Size()));
}

std::string Written(const MXMLItem& root, XMLLayout layout, const std::string& encoding = "utf-8") {
    MMemoryStream stream;
    root.Write(stream, encoding, layout);
    return Text(stream);
}

MXMLItem ParsedFrom(const std::string& text) {
    MMemoryStream stream(const_cast<char*>(text.data()), text.size());
    MXMLItem root;
    root.Parse(stream);
    return root;
}

std::string ParseError(const std::string& text) {
    try {
        ParsedFrom(text);
    } catch (const MException& e) {
        return e.Message();
    }
    return "no error";
}

MXMLItem Example() {
    MXMLItem root("settings");
    root.SetAttribute("Version", "461312");
    root.SetAttribute("Bypass", "1");
    root.AddSubItem("LFOs");
    return root;
}

}  // namespace

TEST(XMLText, WriterLayouts) {
    EXPECT_EQ(
        Written(Example(), XMLLayout::Compact),
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<settings Bypass=\"1\" Version=\"461312\"><LFOs/>\n</settings>\n");
    EXPECT_EQ(Written(Example(), XMLLayout::Indented),
              "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<settings Bypass=\"1\" "
              "Version=\"461312\">\n\t<LFOs/>\n</settings>\n");
    MXMLItem deep("a");
    deep.AddSubItem("b").AddSubItem("c").AddSubItem("d");
    EXPECT_EQ(Written(deep, XMLLayout::Compact),
              "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<a><b><c><d/></c></b>\n</a>\n")
        << "line breaks only after depths 0 and 1";
    MXMLItem unnamed;
    MMemoryStream sink;
    EXPECT_THROW(unnamed.Write(sink, "utf-8", XMLLayout::Compact), MException);
}

TEST(XMLText, EscapingAndLineBreaksRoundTrip) {
    MXMLItem root("r");
    root.SetAttribute("text", "a\"b'c<d>e&f\ng");
    const std::string compact = Written(root, XMLLayout::Compact);
    EXPECT_NE(compact.find("a&quot;b&apos;c&lt;d&gt;e&amp;f&#10;g"), std::string::npos);
    EXPECT_EQ(ParsedFrom(compact).GetAttribute("text"), "a\"b'c<d>e&f\ng");
}

TEST(XMLText, LongTextsBreakInTheIndentedLayout) {
    std::string words;
    for (int i = 0; i < 30; ++i) words += "word" + std::to_string(i) + " ";
    words.pop_back();
    MXMLItem root("r");
    root.SetText(words);
    const std::string written = Written(root, XMLLayout::Indented);
    // Each line runs to the first blank 60 or more characters after its start.
    const size_t firstBlank = words.find(' ', 60);
    EXPECT_NE(written.find("<r>\n\t" + words.substr(0, firstBlank) + "\n\t"), std::string::npos);
    EXPECT_EQ(ParsedFrom(written).Text(), words) << "the layout's breaks read back as blanks";
}

TEST(XMLText, ParserAcceptsItsSubset) {
    const MXMLItem root = ParsedFrom(
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!-- comment --><a x=\"1\" y = \"&lt;2&gt;\">"
        "<b/><![CDATA[<raw & text>]]><c k=\"v\">&#10;t</c></a>");
    EXPECT_EQ(root.Name(), "a");
    EXPECT_EQ(root.GetAttribute("y"), "<2>");
    EXPECT_EQ(root.Text(), "<raw & text>");
    ASSERT_EQ(root.SubItemCount(), 2u);
    EXPECT_EQ(root.SubItem(1).Text(), "\nt");
    EXPECT_EQ(root.SubItem(1).Depth(), 1);
}

TEST(XMLText, ParserErrors) {
    struct Case {
        const char* text;
        const char* message;
    } cases[] = {
        {"<>", "Invalid file contents. No element name found."},
        {"<a =\"1\"/>", "Invalid file contents. Special character found where attribute expected."},
        {"<a b/>", "Invalid file contents. Invalid character found where attribute expected."},
        {"<a b='1'/>", "Invalid file contents. Invalid character found where attribute expected."},
        {"<a/ >", "Invalid file contents. Invalid element finishing sequence."},
        {"<a></b>", "Invalid file contents. Invalid closing element syntax."},
        {"<!DOCTYPE a><a/>", "Invalid file contents. Invalid special element sequence."},
        {"<a><!-- open", "Invalid file contents. No ending delimiter found."},
        {"<a>", "Invalid file contents. No ending delimiter found."},
        {"<?xml version=\"1.0\" encoding=\"klingon\"?><a/>", "No codec found for encoding klingon."},
        {"<?xml version=\"1.0\" encoding=\"utf-8\"?>", "The XML does not contain any elements."},
        {"<!-- only a comment -->", "The XML does not contain any elements."},
        {"just text", "The XML does not contain any elements."},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseError(c.text), c.message) << c.text;
    std::string deep;
    for (int i = 0; i < 5000; ++i) deep += "<a>";
    EXPECT_EQ(ParseError(deep), "Invalid file contents. Elements are nested too deeply.");
    MXMLItem empty;
    MMemoryStream nothing;
    EXPECT_FALSE(empty.Parse(nothing));
}

TEST(XMLText, Encodings) {
    MXMLItem root("r");
    root.SetAttribute("name", "caf\xC3\xA9");
    const std::string utf16 = Written(root, XMLLayout::Compact, "utf-16");
    ASSERT_GE(utf16.size(), 4u);
    EXPECT_EQ(utf16.substr(0, 4), std::string("\xFF\xFE<\0", 4));
    EXPECT_EQ(ParsedFrom(utf16).GetAttribute("name"), "caf\xC3\xA9");
    // The same document without its byte-order mark is refused by the codec.
    EXPECT_EQ(ParseError(utf16.substr(2)), "Invalid file contents. Invalid special element sequence.");
    const std::string latin = Written(root, XMLLayout::Compact, "iso-8859-1");
    EXPECT_NE(latin.find("caf\xE9"), std::string::npos);
    EXPECT_EQ(ParsedFrom(latin).GetAttribute("name"), "caf\xC3\xA9");
    EXPECT_EQ(MEncoding::ForName("")->Encode("caf\xC3\xA9"), "caf?");
    EXPECT_THROW(MEncoding::ForName("utf-32"), MException);
}

TEST(XMLText, LoadWithFallbackTakesBothForms) {
    const MXMLItem original = Example();
    MMemoryStream compressed;
    WriteCompressed(original, compressed, "utf-8");
    EXPECT_EQ(compressed.Data()[0], 0x78) << "an RFC 1950 stream";
    compressed.Seek(0, MStream::FromStart);
    MXMLItem a, b;
    EXPECT_TRUE(LoadWithFallback(a, compressed));
    std::string plain = Written(original, XMLLayout::Compact);
    MMemoryStream plainStream(plain.data(), plain.size());
    EXPECT_TRUE(LoadWithFallback(b, plainStream));
    EXPECT_EQ(Written(a, XMLLayout::Compact), plain);
    EXPECT_EQ(Written(b, XMLLayout::Compact), plain);
}

TEST(Streams, MemoryStreamSharingGrowthAndSeeking) {
    MMemoryStream a;
    a.Write("abc", 3);
    EXPECT_EQ(a.Capacity(), 3u) << "from empty: exactly the size needed";
    a.Write("d", 1);
    EXPECT_EQ(a.Capacity(), 6u) << "then doubling";
    MMemoryStream b(a);
    EXPECT_TRUE(b.SharesBufferWith(a));
    b.Seek(0, MStream::FromEnd);
    b.Write("e", 1);
    EXPECT_FALSE(b.SharesBufferWith(a)) << "copy on write";
    EXPECT_EQ(a.Size(), 4);
    EXPECT_EQ(b.Size(), 5);
    a.Seek(-100, MStream::FromStart);
    EXPECT_EQ(a.Position(), 0);
    a.Seek(100, MStream::FromCurrent);
    EXPECT_EQ(a.Position(), 4);
    EXPECT_THROW(a.Seek(0, 7), MException);

    char owned[4] = {'w', 'x', 'y', 'z'};
    MMemoryStream fixed(owned, 4);
    fixed.Write("AB", 2);
    EXPECT_EQ(owned[1], 'B');
    EXPECT_THROW(fixed.Write("CDE", 3), MException) << "caller-owned memory does not grow";

    char line[8];
    const char text[] = "ab\r\ncdefghijk";
    MMemoryStream lines(const_cast<char*>(text), sizeof text - 1);
    EXPECT_EQ(lines.ReadLine(line, sizeof line), 0);
    EXPECT_STREQ(line, "ab");
    EXPECT_EQ(lines.ReadLine(line, sizeof line), 1);
    EXPECT_STREQ(line, "cdefghi");
}

TEST(Streams, ServicesAStreamLacks) {
    MStream base;
    try {
        base.Write("x", 1);
        FAIL();
    } catch (const MException& e) {
        EXPECT_EQ(e.Message(), "Service \"write to stream\" is not implemented.");
    }
    EXPECT_THROW(base.Size(), MException);
    EXPECT_THROW(base.Seek(0, 3), MException);
}

TEST(Streams, ZLibQualityAndBrokenInput) {
    EXPECT_EQ(MZLibStream::LevelForQuality(1), 0);
    EXPECT_EQ(MZLibStream::LevelForQuality(55), 5);
    EXPECT_EQ(MZLibStream::LevelForQuality(0), 0);
    EXPECT_EQ(MZLibStream::LevelForQuality(100), 9);
    const char junk[] = "this is not zlib";
    MMemoryStream source(const_cast<char*>(junk), sizeof junk - 1);
    MZLibStream inflater(source, false);
    char out[16];
    try {
        inflater.Read(out, sizeof out);
        FAIL();
    } catch (const MException& e) {
        EXPECT_EQ(e.Message(), "Source compressed stream has invalid content.");
    }
}

TEST(Streams, AnUnfinishedCompressingStreamIsReported) {
    sonvera_test::LogCapture log;
    MMemoryStream target;
    {
        MZLibStream zlib(target, true, 100);
        zlib.WriteText("never finished");
    }
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_EQ(log.lines[0], "ZLIB stream has not been terminated.");
}

TEST(Streams, FilesAndTheirMessages) {
    sonvera_test::ScratchFolder folder("sonvera-stream");
    const std::string path = (folder.Path() / "stream.xml").string();
    SaveToFile(Example(), path, "utf-8");
    MXMLItem loaded;
    LoadFromFile(loaded, path);
    EXPECT_EQ(loaded.GetAttribute("Version"), "461312");
    try {
        MStdFileStream missing("/nonexistent/sonvera.xml", MStdFileStream::ForReading);
        FAIL();
    } catch (const MException& e) {
        EXPECT_EQ(e.Message(), "File \"/nonexistent/sonvera.xml\" could not be open. Make sure it exists.");
    }
    try {
        MStdFileStream denied("/nonexistent/sonvera.xml", MStdFileStream::ForWriting);
        FAIL();
    } catch (const MException& e) {
        EXPECT_EQ(e.Message(),
                  "File \"/nonexistent/sonvera.xml\" could not be created. Make sure there is no "
                  "write-protected file already existing.");
    }
}

TEST(BinaryBlocks, PlainAndCompressed) {
    const uint8_t bytes[5] = {0x00, 0xAB, 0x7F, 0x10, 0xFF};
    MXMLItem item("Matrix");
    item.StoreBinary(bytes, 5, false);
    EXPECT_EQ(item.Text(), "00AB7F10FF");
    uint8_t back[5] = {};
    item.LoadBinary(back, 5, false);
    EXPECT_EQ(std::memcmp(back, bytes, 5), 0);
    item.SetText("ab");
    uint8_t partial[3] = {9, 9, 9};
    item.LoadBinary(partial, 3, false);
    EXPECT_EQ(partial[0], 0xAB);
    EXPECT_EQ(partial[1], 9) << "a shorter text fills only the leading bytes";

    item.StoreBinary(bytes, 5, true);
    EXPECT_EQ(item.Text().substr(0, 2), "78");
    item.LoadBinary(back, 5, true);
    EXPECT_EQ(std::memcmp(back, bytes, 5), 0);
    uint8_t longer[6];
    EXPECT_THROW(item.LoadBinary(longer, 6, true), MException) << "too few bytes come out";
    uint8_t shorter[4];
    EXPECT_THROW(item.LoadBinary(shorter, 4, true), MException) << "too many bytes come out";
    item.SetText(item.Text() + "G");
    try {
        item.LoadBinary(back, 5, true);
        FAIL();
    } catch (const MException& e) {
        EXPECT_EQ(e.Message(), "Invalid character to be converted to a number.");
    }
}
