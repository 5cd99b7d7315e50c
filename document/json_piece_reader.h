// The fast JSON reader: a document is given to simdjson in pieces, so that the parser's index
// of the text (4 bytes for every bracket, comma, colon and value) only ever covers one piece and
// stays in the cache, instead of covering the whole document in freshly cleared memory.
//
// A document no larger than a piece is read whole. Otherwise the skeleton scanner
// (json_skeleton.h) walks every array and object that does not close within a piece's size,
// reporting their brackets and keys itself; the values inside them that are small are gathered,
// consecutive ones together, into a piece that is copied into a buffer of its own, wrapped in
// brackets that are not reported, and walked by simdjson. Events give offsets in the whole text.
// Whatever the scanner does not accept makes the reader refuse the text, as the parser does.
#pragma once

#include <cstring>
#include <limits>
#include <string_view>
#include <vector>

#include "document/json_fast_reader.h"
#include "document/json_skeleton.h"

namespace document {

namespace fast_reader {

template <typename Events>
class PieceReader {
public:
    PieceReader(std::string_view text, size_t maxNesting, size_t pieceSize, Events& events)
        : text_(text), maxNesting_(maxNesting), pieceSize_(pieceSize), events_(events), walker_(maxNesting, events) {}

    bool Read() {
        using json_skeleton::Extent;
        if (text_.size() <= pieceSize_) return walker_.WalkDocument(text_);
        const size_t root = json_skeleton::SkipWhitespace(text_, 0);
        if (root >= text_.size() || text_[root] != '{' ||
            json_skeleton::FindValueEnd(text_, root, pieceSize_).extent != Extent::kLarge) {
            return walker_.WalkDocument(text_);
        }
        events_.StartObject(root);
        frames_.push_back(Frame{true});
        size_t position = root + 1;
        while (!frames_.empty()) {
            if (!Advance(position)) return false;
        }
        return json_skeleton::SkipWhitespace(text_, position) == text_.size();
    }

private:
    // An array or object the scanner has opened.
    struct Frame {
        bool isObject;
        bool expectingValue = true;  // after its opening bracket or a comma
        bool empty = true;
    };

    // Reads past the next token of the innermost open container: a separator, its end, or
    // one member (key and value) or element.
    bool Advance(size_t& position) {
        using json_skeleton::Extent;
        Frame& frame = frames_.back();
        position = json_skeleton::SkipWhitespace(text_, position);
        if (position >= text_.size()) return false;
        const char c = text_[position];
        const char close = frame.isObject ? '}' : ']';
        if (!frame.expectingValue) {
            if (c == ',') {
                frame.expectingValue = true;
                ++position;
                return true;
            }
            return c == close && Close(position);
        }
        if (frame.empty && c == close) return Close(position);

        const size_t memberStart = position;
        size_t keyEnd = 0;
        if (frame.isObject) {
            if (c != '"') return false;
            bool escaped = false;
            keyEnd = json_skeleton::FindStringEnd(text_, position, escaped);
            if (keyEnd > text_.size()) return false;
            position = json_skeleton::SkipWhitespace(text_, keyEnd);
            if (position >= text_.size() || text_[position] != ':') return false;
            position = json_skeleton::SkipWhitespace(text_, position + 1);
        }
        const json_skeleton::ValueExtent value = json_skeleton::FindValueEnd(text_, position, Limit());
        frame.expectingValue = false;
        frame.empty = false;
        switch (value.extent) {
            case Extent::kInvalid: return false;
            case Extent::kEnds:
                if (!AddToPiece(memberStart, value.end)) return false;
                position = value.end;
                return true;
            case Extent::kLarge: {
                rescanned_ += pieceSize_;
                if (!FlushPiece()) return false;
                if (frame.isObject && !ReportKey(memberStart, keyEnd)) return false;
                if (frames_.size() >= maxNesting_) return false;
                const bool isObject = text_[position] == '{';
                if (isObject) {
                    events_.StartObject(position);
                } else {
                    events_.StartArray(position);
                }
                frames_.push_back(Frame{isObject});
                ++position;
                return true;
            }
        }
        return false;
    }

    // The size from which a value is walked by the scanner. Each container found larger is
    // read again from its start, member by member: containers nested in a row, each larger
    // than a piece, would have the same bytes read once for every level. Once that rereading
    // has cost as much as the text, the rest is cut into pieces no more, whatever their size.
    size_t Limit() const {
        return rescanned_ > text_.size() ? std::numeric_limits<size_t>::max() : pieceSize_;
    }

    bool Close(size_t& position) {
        if (!FlushPiece()) return false;
        const bool isObject = frames_.back().isObject;
        frames_.pop_back();
        if (isObject) {
            events_.EndObject();
        } else {
            events_.EndArray();
        }
        ++position;
        return true;
    }

    // Adds a member or element to the piece being gathered, walking that piece first if the
    // new one would make it larger than a piece.
    bool AddToPiece(size_t start, size_t end) {
        if (pieceOpen_ && end - pieceStart_ > pieceSize_ && !FlushPiece()) return false;
        if (!pieceOpen_) {
            pieceOpen_ = true;
            pieceStart_ = start;
        }
        pieceEnd_ = end;
        return true;
    }

    bool FlushPiece() {
        if (!pieceOpen_) return true;
        pieceOpen_ = false;
        const bool isObject = frames_.back().isObject;
        const size_t length = pieceEnd_ - pieceStart_;
        const std::string_view piece = Wrap(text_.substr(pieceStart_, length), isObject ? '{' : '[', isObject ? '}' : ']');
        // The opening bracket stands one byte before the piece's text.
        return walker_.WalkPiece(piece, isObject, pieceStart_ - 1, frames_.size());
    }

    // A key of an object the scanner opened; `start` is its opening quote, `end` one past its
    // closing quote. Keys with escapes are unescaped by simdjson.
    bool ReportKey(size_t start, size_t end) {
        const std::string_view raw = text_.substr(start + 1, end - start - 2);
        if (raw.find('\\') == std::string_view::npos) {
            for (char c : raw) {
                if (static_cast<unsigned char>(c) < 0x20) return false;
            }
            if (!simdjson::validate_utf8(raw.data(), raw.size())) return false;
            events_.Key(raw);
            return true;
        }
        const std::string_view quoted = Wrap(raw, '"', '"');
        ondemand::document document;
        std::string_view key;
        if (keyParser_.iterate(quoted.data(), quoted.size(), buffer_.size()).get(document) ||
            document.get_string().get(key)) {
            return false;
        }
        events_.Key(key);
        return true;
    }

    // Copies `text` between `open` and `close` into the buffer, followed by the parser's padding.
    std::string_view Wrap(std::string_view text, char open, char close) {
        const size_t size = text.size() + 2;
        if (buffer_.size() < size + kFastReaderPadding) buffer_.resize(size + kFastReaderPadding);
        buffer_[0] = open;
        std::memcpy(buffer_.data() + 1, text.data(), text.size());
        buffer_[size - 1] = close;
        std::memset(buffer_.data() + size, 0, kFastReaderPadding);
        return {buffer_.data(), size};
    }

    std::string_view text_;
    size_t maxNesting_;
    size_t pieceSize_;
    Events& events_;
    Walker<Events> walker_;
    ondemand::parser keyParser_;
    std::vector<Frame> frames_;
    std::vector<char> buffer_;  // the piece being walked
    size_t rescanned_ = 0;  // bytes read to find containers larger than a piece
    bool pieceOpen_ = false;
    size_t pieceStart_ = 0;
    size_t pieceEnd_ = 0;
};

}  // namespace fast_reader

// Reads the text with the fast reader, containers larger than `pieceSize` bytes in pieces of
// about that size. `text` must be followed by kFastReaderPadding readable bytes. Returns false,
// having reported the values up to the place, when the text is not valid JSON or is nested more
// than `maxNesting` brackets; DocumentError from `events` passes through.
template <typename Events>
bool ReadJsonFast(std::string_view text, int maxNesting, size_t pieceSize, Events& events) {
    return fast_reader::PieceReader<Events>(text, size_t(maxNesting), pieceSize, events).Read();
}

}  // namespace document
