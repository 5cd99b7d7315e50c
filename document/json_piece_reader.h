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
// When the events take them (JsonEvents::CutsSegmentsArrays), the segments arrays of the art in
// a piece are cut out of the copy (json_segment_cuts.h) and handed over by the walk.
#pragma once

#include <cstring>
#include <limits>
#include <string_view>
#include <vector>

#include "document/json_fast_reader.h"
#include "document/json_segment_cuts.h"
#include "document/json_skeleton.h"

namespace document {

namespace fast_reader {

// The whole text in memory: the source of a piece reader that reads text given to it.
class WholeText {
public:
    explicit WholeText(std::string_view text) : text_(text) {}
    std::string_view View() const { return text_; }
    size_t Base() const { return 0; }
    size_t End() const { return text_.size(); }
    bool Complete() const { return true; }
    bool Extend(size_t) { return false; }
    size_t SizeWhenOpened() const { return text_.size(); }

private:
    std::string_view text_;
};

// Reads the text of `Source`: WholeText, or a window over a file (FileWindow, text_file.h) that
// holds only some of it: View() is the text from offset Base() to End(), followed by
// json_skeleton::kReadPastEnd readable bytes; Extend(keepFrom) forgets what lies before
// keepFrom and reads more, false when nothing more came; Complete() tells that End() is the
// end of the text. Offsets are always offsets in the whole text. The reader keeps in the window
// the piece being gathered and the member being read; a member or key that does not fit in the
// window, or a document that is not an object larger than a piece, makes it refuse the text
// unless the source holds the whole text.
template <typename Events, typename Source>
class PieceReader {
public:
    PieceReader(Source& source, size_t maxNesting, size_t pieceSize, Events& events)
        : source_(source),
          maxNesting_(maxNesting),
          pieceSize_(pieceSize),
          events_(events),
          walker_(maxNesting, events),
          cutting_(events.CutsSegmentsArrays()) {}

    bool Read() {
        using json_skeleton::Extent;
        // What the first piece's scan looks at, before anything else in the text.
        Ensure(0, pieceSize_ + kLookAhead);
        const bool whole = source_.Base() == 0 && source_.Complete();
        if (whole && source_.End() <= pieceSize_) return walker_.WalkDocument(source_.View());
        size_t root = 0;
        if (!SkipWhitespace(root, false)) return false;
        if (root >= source_.End() || At(root) != '{' || FindValueEnd(root, pieceSize_).extent != Extent::kLarge) {
            return whole && walker_.WalkDocument(source_.View());
        }
        events_.StartObject(root);
        frames_.push_back(Frame{true});
        size_t position = root + 1;
        while (!frames_.empty()) {
            if (!Advance(position)) return false;
        }
        return SkipWhitespace(position, false) && position == source_.End() && source_.Complete();
    }

private:
    // The bytes the window is filled with past a value's start before it is scanned: a piece
    // and the block of 64 bytes the scanner may read past its limit, with room to spare for
    // the key and separators before the value.
    static constexpr size_t kLookAhead = 1024;

    // An array or object the scanner has opened.
    struct Frame {
        bool isObject;
        bool expectingValue = true;  // after its opening bracket or a comma
        bool empty = true;
    };

    char At(size_t position) const { return source_.View()[position - source_.Base()]; }

    // The offset before which the window may forget the text: the piece being gathered, and
    // the member being read, are kept.
    size_t KeepFrom(size_t memberStart) const { return pieceOpen_ ? pieceStart_ : memberStart; }

    // Reads on until the window holds `length` bytes from `position`, or the text's end.
    void Ensure(size_t position, size_t length) {
        while (!source_.Complete() && source_.End() < position + length) {
            if (!source_.Extend(KeepFrom(keep_))) return;
        }
    }

    // Moves `position` past whitespace, reading on where the window ends. Within a member (after
    // its key) the member is kept in the window; between members the whitespace is forgotten as
    // it is passed. False when the window is too small to go on.
    bool SkipWhitespace(size_t& position, bool inMember) {
        while (true) {
            const size_t base = source_.Base();
            position = json_skeleton::SkipWhitespace(source_.View(), position - base) + base;
            if (position < source_.End() || source_.Complete()) return true;
            if (!inMember) keep_ = position;
            if (!source_.Extend(KeepFrom(keep_)) && !source_.Complete()) return false;
        }
    }

    // The scanner's FindValueEnd with offsets in the whole text, reading on while what the
    // window holds cannot tell where the value ends: a string or a scalar that reaches the
    // window's end, or an array or object that neither closes nor passes the limit within it.
    // kInvalid also when the window cannot hold enough of the value. With `cuts`, the arrays to
    // cut out of a value that ends are listed there, by their offsets in the whole text; the
    // key from `keyStart` to `keyEnd` is the one whose value it is (none for an element).
    json_skeleton::ValueExtent FindValueEnd(size_t start, size_t limit, std::vector<json_skeleton::ArrayCut>* cuts = nullptr,
                                            size_t keyStart = 0, size_t keyEnd = 0) {
        using json_skeleton::Extent;
        while (true) {
            const size_t base = source_.Base();
            json_skeleton::ValueExtent value;
            if (cuts == nullptr) {
                value = json_skeleton::FindValueEnd(source_.View(), start - base, limit);
            } else {
                const std::string_view key = source_.View().substr(keyStart - base, keyEnd - keyStart);
                value = json_skeleton::FindValueEndCuttingSegments(source_.View(), start - base, limit, key, *cuts);
                for (json_skeleton::ArrayCut& cut : *cuts) {
                    cut.start += base;
                    cut.end += base;
                }
            }
            if (value.extent == Extent::kEnds) value.end += base;
            const bool undecided = value.extent == Extent::kInvalid || (value.extent == Extent::kEnds && value.end >= source_.End());
            if (!undecided || source_.Complete()) return value;
            if (!source_.Extend(KeepFrom(keep_)) && !source_.Complete()) return {Extent::kInvalid};
        }
    }

    // FindStringEnd likewise; past the window's end when the window cannot hold the string.
    size_t FindStringEnd(size_t start) {
        while (true) {
            const size_t base = source_.Base();
            bool escaped = false;
            const size_t end = json_skeleton::FindStringEnd(source_.View(), start - base, escaped) + base;
            if (end <= source_.End() || source_.Complete()) return end;
            if (!source_.Extend(KeepFrom(keep_)) && !source_.Complete()) return end;
        }
    }

    // Reads past the next token of the innermost open container: a separator, its end, or
    // one member (key and value) or element.
    bool Advance(size_t& position) {
        using json_skeleton::Extent;
        Frame& frame = frames_.back();
        if (!SkipWhitespace(position, false)) return false;
        if (position >= source_.End()) return false;
        const char c = At(position);
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
        keep_ = memberStart;
        Ensure(memberStart, pieceSize_ + kLookAhead);
        size_t keyEnd = memberStart;
        if (frame.isObject) {
            if (c != '"') return false;
            keyEnd = FindStringEnd(position);
            if (keyEnd > source_.End()) return false;
            position = keyEnd;
            if (!SkipWhitespace(position, true) || position >= source_.End() || At(position) != ':') return false;
            ++position;
            if (!SkipWhitespace(position, true)) return false;
            Ensure(position, pieceSize_ + kLookAhead);
        }
        // The key's text between its quotes; none for an element.
        const size_t keyStart = frame.isObject ? memberStart + 1 : memberStart;
        const size_t keyTextEnd = frame.isObject ? keyEnd - 1 : memberStart;
        const json_skeleton::ValueExtent value =
            FindValueEnd(position, Limit(), cutting_ ? &valueCuts_ : nullptr, keyStart, keyTextEnd);
        frame.expectingValue = false;
        frame.empty = false;
        switch (value.extent) {
            case Extent::kInvalid: return false;
            case Extent::kEnds:
                if (!AddToPiece(memberStart, value.end)) return false;
                if (cutting_) pieceCuts_.insert(pieceCuts_.end(), valueCuts_.begin(), valueCuts_.end());
                position = value.end;
                return true;
            case Extent::kLarge: {
                rescanned_ += pieceSize_;
                if (!FlushPiece()) return false;
                if (frame.isObject && !ReportKey(memberStart, keyEnd)) return false;
                if (frames_.size() >= maxNesting_) return false;
                const bool isObject = At(position) == '{';
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
    // has cost as much as the text, the rest is cut into pieces no more, whatever their size
    // (a window too small for such a rest makes the reader refuse the text).
    size_t Limit() const {
        return rescanned_ > source_.SizeWhenOpened() ? std::numeric_limits<size_t>::max() : pieceSize_;
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
        const std::string_view text = source_.View().substr(pieceStart_ - source_.Base(), length);
        const std::string_view piece = Wrap(text, isObject ? '{' : '[', isObject ? '}' : ']', pieceStart_, pieceCuts_);
        pieceCuts_.clear();
        // The opening bracket stands one byte before the piece's text.
        return walker_.WalkPiece(piece, isObject, pieceStart_ - 1, frames_.size(), walkCuts_);
    }

    // A key of an object the scanner opened; `start` is its opening quote, `end` one past its
    // closing quote. Keys with escapes are unescaped by simdjson.
    bool ReportKey(size_t start, size_t end) {
        const std::string_view raw = source_.View().substr(start + 1 - source_.Base(), end - start - 2);
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
    // The arrays `cuts` (offsets in the whole text, in which `text` starts at `offset`) are each
    // copied as "[]", and listed in walkCuts_ for the walk.
    std::string_view Wrap(std::string_view text, char open, char close, size_t offset = 0,
                          const std::vector<json_skeleton::ArrayCut>& cuts = {}) {
        size_t size = text.size() + 2;
        for (const json_skeleton::ArrayCut& cut : cuts) size -= cut.end - cut.start - 2;
        if (buffer_.size() < size + kFastReaderPadding) buffer_.resize(size + kFastReaderPadding);
        walkCuts_.clear();
        char* out = buffer_.data();
        *out++ = open;
        size_t from = 0;  // in `text`
        for (const json_skeleton::ArrayCut& cut : cuts) {
            const size_t start = cut.start - offset;
            std::memcpy(out, text.data() + from, start - from);
            out += start - from;
            walkCuts_.push_back(PieceCut{size_t(out - buffer_.data()), text.substr(start, cut.end - cut.start)});
            *out++ = '[';
            *out++ = ']';
            from = cut.end - offset;
        }
        std::memcpy(out, text.data() + from, text.size() - from);
        buffer_[size - 1] = close;
        std::memset(buffer_.data() + size, 0, kFastReaderPadding);
        return {buffer_.data(), size};
    }

    Source& source_;
    size_t maxNesting_;
    size_t pieceSize_;
    Events& events_;
    Walker<Events> walker_;
    ondemand::parser keyParser_;
    std::vector<Frame> frames_;
    std::vector<char> buffer_;  // the piece being walked
    const bool cutting_;        // segments arrays are cut out of pieces
    std::vector<json_skeleton::ArrayCut> valueCuts_;  // those of the value last scanned
    std::vector<json_skeleton::ArrayCut> pieceCuts_;  // those of the piece being gathered
    std::vector<PieceCut> walkCuts_;                  // those of the piece being walked
    size_t rescanned_ = 0;  // bytes read to find containers larger than a piece
    size_t keep_ = 0;       // the start of the member being read
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
    fast_reader::WholeText whole(text);
    return fast_reader::PieceReader<Events, fast_reader::WholeText>(whole, size_t(maxNesting), pieceSize, events).Read();
}

// The same over a window on the text of a file (FileWindow, text_file.h) that starts at the
// file's beginning. Also false when the window is too small for the reader (see PieceReader);
// DocumentError from reading the file passes through.
template <typename Events, typename Window>
bool ReadJsonFastWindowed(Window& window, int maxNesting, size_t pieceSize, Events& events) {
    return fast_reader::PieceReader<Events, Window>(window, size_t(maxNesting), pieceSize, events).Read();
}

}  // namespace document
