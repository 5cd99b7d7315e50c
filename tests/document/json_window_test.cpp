// The fast reader reading a file through a window that holds some of it and moves on: whatever
// the sizes of the window, of the chunks read into it and of the pieces, it must report what the
// portable reader reports of the whole text and refuse what that one refuses; the loader behind
// it must build the same document, and give the messages of the whole text read at once.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>

#include "document/json_loader.h"
#include "document/json_text.h"
#include "document/json_writer.h"
#include "document/text_file.h"
#include "tests/document/invalid_json_texts.h"
#include "tests/document/json_event_log.h"
#include "tests/document/valid_json_texts.h"

namespace document {
namespace {

namespace fs = std::filesystem;
using testing::EventLog;
using testing::ReadPortable;

class JsonWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HasFastJsonReader()) GTEST_SKIP() << "this build has no fast reader";
        // Of this test and this run: two runs of the suite at once must not share it.
        const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        folder_ = fs::temp_directory_path() / ("quillmark-json-window-" + test + "-" + std::to_string(std::random_device{}()));
        fs::create_directories(folder_);
        path_ = (folder_ / "document.json").string();
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    void Write(const std::string& text) const { std::ofstream(path_, std::ios::binary) << text; }

    bool Read(size_t capacity, size_t chunk, size_t pieceSize, std::string& log) const {
        FileWindow window(path_, capacity, chunk);
        EventLog events;
        const bool read = ReadJsonFastInWindow(window, kMaxJsonNesting, pieceSize, events);
        log = events.Text();
        return read;
    }

    // The document loaded through a window, as JSON; `readWhole` tells whether the file was read
    // again whole.
    // `asideFrom` as LoadDocumentFromWindow takes it.
    std::string LoadInWindow(size_t capacity, size_t chunk, size_t pieceSize, bool& readWhole,
                             size_t asideFrom = kJsonSegmentsAsideFrom) const {
        FileWindow window(path_, capacity, chunk);
        return DocumentToJson(LoadDocumentFromWindow(window, nullptr, &readWhole, pieceSize, asideFrom));
    }

    // The message of loading through a window; empty when the document loads.
    std::string ErrorInWindow(size_t capacity, size_t pieceSize, bool& readWhole,
                              size_t asideFrom = kJsonSegmentsAsideFrom) const {
        try {
            LoadInWindow(capacity, capacity, pieceSize, readWhole, asideFrom);
        } catch (const DocumentError& error) {
            return error.what();
        }
        return "";
    }

    fs::path folder_;
    std::string path_;
};

std::string ErrorReadingWhole(const std::string& text) {
    try {
        LoadDocumentText(text, 0, JsonReader::kFast);
    } catch (const DocumentError& error) {
        return error.what();
    }
    return "";
}

// A document of many paths, in both forms of segment, with names that hold escapes, some lines
// indented: about 100 bytes for each segment.
std::string ManyPaths(int paths) {
    std::string text = "{\"layers\": [{\"type\": \"group\", \"name\": \"a \\\"quoted\\\" [layer]\", \"children\": [\n";
    for (int i = 0; i < paths; ++i) {
        if (i > 0) text += i % 3 == 0 ? ",\n  " : ",";
        text += "{\"type\": \"path\", \"closed\": true, \"name\": \"p" + std::to_string(i) + "\\\\}\", \"segments\": [";
        for (int s = 0; s < 20; ++s) {
            if (s > 0) text += ", ";
            const std::string x = std::to_string(i * 7 + s) + "." + std::to_string(s % 10);
            const std::string y = "-" + std::to_string(s * 13 % 101) + ".25";
            if (s % 4 == 0) {
                text += "[" + x + ", " + y + "]";
            } else {
                text += "{\"anchor\": [" + x + ", " + y + "], \"in\": [" + y + ", " + x + "], \"out\": [1e1, " + x +
                        "], \"corner\": false}";
            }
        }
        text += "]}";
    }
    return text + "\n]}]}\n";
}

TEST_F(JsonWindowTest, ChunksEndingAtEveryPlace) {
    // Windows of every size from a little more than two pieces to the whole text, filled a
    // chunk of every size at a time: the scanner meets the window's end at every byte.
    for (const std::string& text : testing::ValidJsonTexts()) {
        Write(text);
        const std::string expected = ReadPortable(text);
        for (size_t pieceSize : {size_t(1), size_t(5), size_t(16), text.size() + 1}) {
            for (size_t chunk = 1; chunk <= text.size() + 1; ++chunk) {
                const size_t capacity = std::max(2 * pieceSize + 160, chunk);
                std::string log;
                EXPECT_TRUE(Read(capacity, chunk, pieceSize, log)) << pieceSize << " " << chunk << ": " << text;
                EXPECT_EQ(log, expected) << pieceSize << " " << chunk << ": " << text;
            }
        }
    }
}

TEST_F(JsonWindowTest, ALargeDocumentPassesThroughASmallWindow) {
    const std::string text = ManyPaths(300);
    ASSERT_GT(text.size(), size_t(100000));
    Write(text);
    const std::string expected = ReadPortable(text);
    const std::string document = DocumentToJson(LoadDocumentText(text, 0, JsonReader::kPortable));
    for (size_t pieceSize : {size_t(200), size_t(1000), kJsonPieceSize}) {
        for (size_t capacity : {2 * pieceSize + 1200, 8 * pieceSize, kJsonWindowSize}) {
            for (size_t chunk : {size_t(61), size_t(4096), capacity}) {
                SCOPED_TRACE(std::to_string(pieceSize) + " " + std::to_string(capacity) + " " + std::to_string(chunk));
                std::string log;
                EXPECT_TRUE(Read(capacity, chunk, pieceSize, log));
                EXPECT_TRUE(log == expected);
                bool readWhole = true;
                EXPECT_TRUE(LoadInWindow(capacity, chunk, pieceSize, readWhole) == document);
                EXPECT_FALSE(readWhole);
            }
        }
    }
}

TEST_F(JsonWindowTest, AWindowFilledAByteAtATime) {
    const std::string text = ManyPaths(30);
    Write(text);
    std::string log;
    EXPECT_TRUE(Read(1000, 1, 300, log));
    EXPECT_TRUE(log == ReadPortable(text));
}

TEST_F(JsonWindowTest, InvalidTextIsRefusedWhereverTheWindowEnds) {
    std::vector<std::string> cases = testing::InvalidJsonTexts();
    cases.insert(cases.end(), {R"({"layers": [{"type": "group"}]}])", R"({"layers": [{"type": "group"}], )",
                               R"({"layers": [{"a": [1, 2}]}]})", R"({"layers": [1"x"]})", "{\"la\x01yers\": [1]}"});
    for (const std::string& text : cases) {
        Write(text);
        for (size_t pieceSize : {size_t(1), size_t(7), text.size() + 1}) {
            for (size_t chunk = 1; chunk <= text.size() + 1; chunk += 3) {
                std::string log;
                EXPECT_FALSE(Read(2 * pieceSize + 160, chunk, pieceSize, log)) << pieceSize << " " << chunk << ": " << text;
            }
        }
    }
}

TEST_F(JsonWindowTest, FaultsLateInTheFileAreReportedAsWhenReadWhole) {
    const std::string valid = ManyPaths(300);
    const size_t late = valid.size() * 9 / 10;
    const auto replaceAfter = [&](const std::string& from, const std::string& to) {
        std::string text = valid;
        const size_t at = text.find(from, late);
        EXPECT_NE(at, std::string::npos) << from;
        return text.replace(at, from.size(), to);
    };
    const std::string cases[] = {
        replaceAfter("}, {", "}, , {"),                                  // bad syntax: line and column
        replaceAfter("\"corner\": false", "\"corner\": false,"),         // bad syntax in a piece
        replaceAfter("\"closed\"", "\"clozed\""),                        // an unknown key: its path
        replaceAfter("{\"anchor\": [", "{\"anchor\": [1, "),             // a bad segment: its path
        replaceAfter("1e1", "1e99"),                                     // a number beyond a real's range
        valid.substr(0, valid.size() - 3),                               // the file ends early
        valid + "x",                                                     // text after the document
    };
    for (const std::string& text : cases) {
        Write(text);
        const std::string expected = ErrorReadingWhole(text);
        ASSERT_NE(expected, "");
        for (size_t pieceSize : {size_t(300), size_t(5000)}) {
            for (size_t asideFrom : {kJsonSegmentsAsideFrom, size_t(0)}) {
                bool readWhole = false;
                EXPECT_EQ(ErrorInWindow(4 * pieceSize, pieceSize, readWhole, asideFrom), expected);
                EXPECT_TRUE(readWhole);
            }
        }
    }
    EXPECT_NE(ErrorReadingWhole(cases[0]).find("invalid JSON at line "), std::string::npos);
    EXPECT_NE(ErrorReadingWhole(cases[2]).find("layers[0].children["), std::string::npos);
    EXPECT_NE(ErrorReadingWhole(cases[3]).find("].segments["), std::string::npos);
}

// Paths whose segments are all plain: objects of short decimals and whole numbers, and points.
std::string PlainPaths(int paths, int segments) {
    std::string text = "{\"layers\": [{\"type\": \"group\", \"children\": [\n";
    for (int i = 0; i < paths; ++i) {
        text += (i > 0 ? ",\n" : "") + std::string("{\"type\": \"path\", \"segments\": [");
        for (int s = 0; s < segments; ++s) {
            const std::string x = std::to_string(i) + "." + std::to_string(s);
            const std::string y = std::to_string(-s * 3);
            text += s > 0 ? ", " : "";
            text += s % 5 == 0 ? "[" + x + ", " + y + "]"
                               : "{\"anchor\": [" + x + ", " + y + "], \"in\": [" + y + ", 0.5], \"out\": [" + x +
                                     ", " + x + "]" + (s % 2 == 0 ? ", \"corner\": false}" : "}");
        }
        text += "], \"closed\": " + std::string(i % 2 == 0 ? "true" : "false") + "}";
    }
    return text + "\n]}]}\n";
}

// Paths inside groups, compound paths and plug-ins' results, some whose key "segments" is written
// with an escape (their segments are not cut out of the text).
std::string NestedPaths(int paths) {
    std::string text = "{\"layers\": [{\"type\": \"group\", \"children\": [\n";
    for (int i = 0; i < paths; ++i) {
        const std::string key = i % 7 == 3 ? "segm\\u0065nts" : "segments";
        const std::string path = "{\"type\": \"path\", \"" + key + "\": [[" + std::to_string(i) +
                                 ".5, 1], {\"anchor\": [2, " + std::to_string(-i) + "], \"corner\": false}]}";
        text += i > 0 ? ",\n" : "";
        switch (i % 4) {
            case 0: text += path; break;
            case 1: text += "{\"type\": \"group\", \"children\": [" + path + ", {\"type\": \"group\", \"children\": [" + path + "]}]}"; break;
            case 2: text += "{\"type\": \"compound\", \"children\": [" + path + ", " + path + "]}"; break;
            default:
                text += "{\"type\": \"plugin\", \"pluginName\": \"P\", \"result\": {\"type\": \"group\", \"children\": [" +
                        path + "]}}";
                break;
        }
    }
    return text + "\n]}]}\n";
}

TEST_F(JsonWindowTest, SegmentsReadAsideBuildTheSameDocument) {
    // Read aside, on a thread of their own, in many batches; a file with segments of other forms
    // is read again, all of it by the loader's walk; a second "segments" key waits for the first.
    std::string twice = PlainPaths(300, 10);
    twice.replace(twice.rfind("\"segments\""), 0, "\"segments\": [[1.5, 2.5], [3, 4]], ");
    // Art given twice (children, a plug-in's result, layers): the first's segments may still be
    // being read when it goes.
    std::string children = PlainPaths(300, 10);
    children.replace(children.rfind("\n]}]}"), 1, "], \"children\": [");
    std::string result = "{\"layers\": [{\"type\": \"plugin\", \"pluginName\": \"P\", \"result\": " +
                         PlainPaths(300, 10).substr(12, std::string::npos);
    result.replace(result.rfind("]}\n"), 3, ", \"result\": {\"type\": \"group\", \"children\": []}}]}\n");
    std::string layers = PlainPaths(300, 10);
    layers.replace(layers.rfind("]}\n"), 3, "], \"layers\": []}\n");
    for (const std::string& text :
         {PlainPaths(3000, 40), ManyPaths(300), twice, PlainPaths(400, 0), children, result, layers, NestedPaths(400)}) {
        Write(text);
        const std::string expected = DocumentToJson(LoadDocumentText(text, 0, JsonReader::kPortable));
        // Windows smaller than the files: a file the window holds whole is read as a text.
        for (size_t pieceSize : {size_t(1000), size_t(16000)}) {
            bool readWhole = true;
            EXPECT_TRUE(LoadInWindow(4 * pieceSize, 4096, pieceSize, readWhole, 0) == expected) << text.substr(0, 200);
            EXPECT_FALSE(readWhole);
        }
    }
    ASSERT_GT(PlainPaths(3000, 40).size(), size_t(5) << 20);  // batches of 256 KiB: some 20 of them
    // A path of more segments than a path holds is refused as when read whole.
    const std::string tooMany = PlainPaths(2, int(kMaxSegments) + 1);
    Write(tooMany);
    bool readWhole = false;
    const std::string message = ErrorInWindow(64000, 16000, readWhole, 0);
    EXPECT_EQ(message, ErrorReadingWhole(tooMany));
    EXPECT_NE(message.find("at most 32767 segments"), std::string::npos) << message;
}

TEST_F(JsonWindowTest, AValueLargerThanTheWindowHasTheFileReadWhole) {
    const std::string name(20000, 'n');
    std::string text = ManyPaths(20);
    const std::string layerName = "a \\\"quoted\\\" [layer]";
    ASSERT_NE(text.find(layerName), std::string::npos);
    text.replace(text.find(layerName), layerName.size(), name);
    Write(text);
    bool readWhole = false;
    const std::string document = LoadInWindow(4096, 4096, 500, readWhole);
    EXPECT_TRUE(readWhole);
    EXPECT_NE(document.find(name), std::string::npos);
    // A window that can hold it: read on as the name is scanned, when the window is filled in
    // chunks smaller than the name, and when it is filled before the reading starts.
    std::string log;
    EXPECT_TRUE(Read(32768, 61, 500, log));
    EXPECT_TRUE(log == ReadPortable(text));
    EXPECT_EQ(LoadInWindow(kJsonWindowSize, 4096, 500, readWhole), document);
    EXPECT_FALSE(readWhole);
}

// Calls `change` once, at the given key.
class ChangingEvents final : public EventLog {
public:
    ChangingEvents(int atKey, std::function<void()> change) : atKey_(atKey), change_(std::move(change)) {}
    void Key(std::string_view key) override {
        EventLog::Key(key);
        if (--atKey_ == 0) change_();
    }

private:
    int atKey_;
    std::function<void()> change_;
};

TEST_F(JsonWindowTest, AFileThatChangesSizeWhileItIsRead) {
    const std::string text = ManyPaths(100);
    const std::string expected = ReadPortable(text);
    const auto readChanging = [&](std::function<void()> change, std::string& log) {
        Write(text);
        FileWindow window(path_, 4096, 1024);
        ChangingEvents events(50, std::move(change));
        const bool read = ReadJsonFastInWindow(window, kMaxJsonNesting, 500, events);
        log = events.Text();
        return read;
    };
    std::string log;
    // Cut short: the text ends inside the document.
    EXPECT_FALSE(readChanging([&] { fs::resize_file(path_, text.size() / 2); }, log));
    // Grown by white space: still the same document.
    EXPECT_TRUE(readChanging([&] { std::ofstream(path_, std::ios::app) << std::string(10000, ' '); }, log));
    EXPECT_TRUE(log == expected);
    // Grown by more text: text after the document.
    EXPECT_FALSE(readChanging([&] { std::ofstream(path_, std::ios::app) << "[]"; }, log));

    // Cut short after the window's first chunk: the message is that of the file as it is now.
    Write(text);
    FileWindow window(path_, 4096, 4096);
    EXPECT_TRUE(window.Extend(0));
    fs::resize_file(path_, text.size() - 10);
    try {
        LoadDocumentFromWindow(window, nullptr, nullptr, 500);
        ADD_FAILURE() << "a truncated file loaded";
    } catch (const DocumentError& error) {
        EXPECT_EQ(std::string(error.what()), ErrorReadingWhole(text.substr(0, text.size() - 10)));
    }
    // Grown past its size when opened, which is all the window was made to hold: the window
    // moves on to the end of what the file holds now.
    Write(text);
    FileWindow opened(path_, kJsonWindowSize, kJsonWindowSize);
    const std::string larger = ManyPaths(200);
    Write(larger);
    EXPECT_TRUE(DocumentToJson(LoadDocumentFromWindow(opened, nullptr, nullptr, 500)) ==
                DocumentToJson(LoadDocumentText(larger, 0, JsonReader::kFast)));
}

TEST_F(JsonWindowTest, EmptyAndBlankFilesReadAsTheirText) {
    for (const std::string& text : {std::string(), std::string(" \n"), std::string(3 << 20, ' '),
                                    std::string(3 << 20, '\n') + ManyPaths(3)}) {
        Write(text);
        bool readWhole = false;
        EXPECT_EQ(ErrorInWindow(kJsonWindowSize, kJsonPieceSize, readWhole), ErrorReadingWhole(text)) << text.size();
    }
    EXPECT_NE(ErrorReadingWhole(" \n").find("invalid JSON at line 2, column 1"), std::string::npos);
    EXPECT_EQ(ErrorReadingWhole(std::string(3 << 20, '\n') + ManyPaths(3)), "");
}

}  // namespace
}  // namespace document
