// The fast JSON reader's walk: simdjson's On-Demand parser walked depth first with an explicit
// stack (trees may be far deeper than the call stack allows), reporting each value as it is
// reached, over a whole document or over one piece of it (json_piece_reader.h).
// It only needs to tell valid text from invalid: on anything it cannot read it stops, and the
// portable reader (json_text.h) reads the text again and says what is wrong, and where.
// A template over the events' type, so that their handlers are inlined into the walk.
#pragma once

#include <simdjson.h>

#include <cmath>
#include <span>
#include <string_view>
#include <vector>

#include "document/json_events.h"
#include "document/json_point.h"
#include "document/json_skeleton.h"

namespace document {

// The padding the fast reader may read past the end of its text.
constexpr size_t kFastReaderPadding = simdjson::SIMDJSON_PADDING;

namespace fast_reader {

namespace ondemand = simdjson::ondemand;

// An array cut out of a piece (json_segment_cuts.h): where the "[]" standing for it is in the
// piece, and its text.
struct PieceCut {
    size_t at;
    std::string_view text;
};

// An object or array being walked; the iterator of the other kind is unused.
struct Container {
    bool isObject;
    bool started = false;  // the iterator points at a member already reported
    bool reported = true;  // false for the brackets a piece is wrapped in
    ondemand::object_iterator member;
    ondemand::array_iterator element;
};

template <typename Events>
class Walker {
public:
    Walker(size_t maxNesting, Events& events) : maxNesting_(maxNesting), events_(events) {}

    // Reads `text`, a whole document whose root must be an object.
    bool WalkDocument(std::string_view text) {
        text_ = text;
        base_ = 0;
        allowance_ = maxNesting_;
        SetCuts({});
        return Walk(true, true);
    }

    // Reads a piece of a document: consecutive values (or members) of one array (or object),
    // wrapped in brackets that are not reported. `base` is the offset in the document of the
    // piece's first byte; `depth` the number of containers the piece is inside of. `cuts`, in
    // the piece's order, are the arrays cut out of it, each handed to the events at its place.
    bool WalkPiece(std::string_view piece, bool isObject, size_t base, size_t depth,
                   std::span<const PieceCut> cuts = {}) {
        text_ = piece;
        base_ = base;
        // The wrapping brackets take the place of the container they stand for.
        allowance_ = maxNesting_ + 1 - depth;
        SetCuts(cuts);
        const bool walked = Walk(isObject, false);
        // A cut not handed over would have been taken for the empty array standing in its place.
        const bool handedOver = nextCut_ == cuts_.size();
        SetCuts({});
        return walked && handedOver;
    }

private:
    bool Walk(bool isObject, bool reported) {
        // The depth allowance, not the call stack, is what limits nesting here.
        if (parser_.capacity() < text_.size() || parser_.max_depth() < maxNesting_ + 2) {
            if (parser_.allocate(text_.size(), maxNesting_ + 2) != simdjson::SUCCESS) return false;
        }
        ondemand::document document;
        if (parser_.iterate(text_.data(), text_.size(), text_.size() + kFastReaderPadding).get(document)) return false;
        ondemand::json_type type;
        if (document.type().get(type)) return false;
        if (isObject) {
            ondemand::object root;
            if (type != ondemand::json_type::object || document.get_object().get(root) ||
                !OpenObject(root, json_skeleton::SkipWhitespace(text_, 0), reported)) {
                return false;
            }
        } else {
            ondemand::array root;
            if (type != ondemand::json_type::array || document.get_array().get(root) || !OpenArray(root, 0, reported)) {
                return false;
            }
        }
        stack_.reserve(64);
        while (!stack_.empty()) {
            if (!Step()) return false;
        }
        // After the root, the location is still in the text only if more follows.
        const char* after = nullptr;
        return document.current_location().get(after) != simdjson::SUCCESS;
    }

    void SetCuts(std::span<const PieceCut> cuts) {
        cuts_ = cuts;
        nextCut_ = 0;
        cutsBefore_ = 0;
        cutBytesBefore_ = 0;
    }

    size_t PositionOf(ondemand::value& value) const { return size_t(value.raw_json_token().data() - text_.data()); }

    // The offset in the document of the value, whose position in the piece comes after the
    // cuts' "[]" of those before it. Values are asked for in the text's order.
    size_t OffsetOf(ondemand::value& value) {
        const size_t position = PositionOf(value);
        if (cutsBefore_ > 0 && cuts_[cutsBefore_ - 1].at >= position) {
            cutsBefore_ = 0;
            cutBytesBefore_ = 0;
        }
        for (; cutsBefore_ < cuts_.size() && cuts_[cutsBefore_].at < position; ++cutsBefore_) {
            cutBytesBefore_ += cuts_[cutsBefore_].text.size() - 2;
        }
        return position + base_ + cutBytesBefore_;
    }

    bool OpenObject(ondemand::object& object, size_t offset, bool reported = true) {
        if (stack_.size() >= allowance_) return false;
        ondemand::object_iterator first;
        if (object.begin().get(first)) return false;
        if (reported) events_.StartObject(offset);
        stack_.push_back(Container{true, false, reported, first, {}});
        return true;
    }

    // Arrays of numbers (points, colours, matrices) are most arrays: their elements are reported
    // here, and the array becomes a container on the stack only at an element of another kind.
    bool OpenArray(ondemand::array& array, size_t offset, bool reported = true) {
        if (stack_.size() >= allowance_) return false;
        ondemand::array_iterator element;
        if (array.begin().get(element)) return false;
        if (reported) events_.StartArray(offset);
        for (; element != end_.element; ++element) {
            ondemand::value value;
            ondemand::json_type type;
            if ((*element).get(value) || value.type().get(type)) return false;
            if (type != ondemand::json_type::number) {
                // Not visited from here, which would nest calls as deep as the arrays nest:
                // the next step visits it.
                stack_.push_back(Container{false, false, reported, {}, element});
                return true;
            }
            if (!ReportNumber(value)) return false;
        }
        if (reported) events_.EndArray();
        return true;
    }

    // Reports the next member or element of the innermost container, or its end.
    bool Step() {
        Container& top = stack_.back();
        if (top.isObject) {
            if (top.started) ++top.member;
            top.started = true;
            if (top.member == end_.member) {
                const bool reported = top.reported;
                stack_.pop_back();
                if (reported) events_.EndObject();
                return true;
            }
            ondemand::field field;
            if ((*top.member).get(field) || !ReportKey(field)) return false;
            return Visit(field.value());
        }
        if (top.started) ++top.element;
        top.started = true;
        if (top.element == end_.element) {
            const bool reported = top.reported;
            stack_.pop_back();
            if (reported) events_.EndArray();
            return true;
        }
        ondemand::value value;
        if ((*top.element).get(value)) return false;
        return Visit(value);
    }

    bool ReportKey(ondemand::field& field) {
        // Keys without escapes are taken as written, sparing the parser's string buffer.
        const char* start = field.key().raw();
        const char* end = start;
        while (*end != '"' && *end != '\\') ++end;
        if (*end == '"') {
            events_.Key(std::string_view(start, size_t(end - start)));
            return true;
        }
        std::string_view key;
        if (field.unescaped_key().get(key)) return false;
        events_.Key(key);
        return true;
    }

    bool Visit(ondemand::value& value) {
        ondemand::json_type type;
        if (value.type().get(type)) return false;
        switch (type) {
            case ondemand::json_type::number: return ReportNumber(value);
            case ondemand::json_type::array: {
                if (nextCut_ < cuts_.size() && PositionOf(value) == cuts_[nextCut_].at) {
                    events_.CutArray(cuts_[nextCut_++].text, stack_.size() + 2 < allowance_);
                    return true;
                }
                // Room for two levels of containers inside it, as for an object.
                if (stack_.size() + 2 < allowance_ && events_.ReadArrayText(value.raw_json_token().data())) return true;
                const size_t offset = OffsetOf(value);
                if (stack_.size() < allowance_ && ReportPoint(value, offset)) return true;
                ondemand::array array;
                return !value.get_array().get(array) && OpenArray(array, offset);
            }
            case ondemand::json_type::object: {
                // An object read from its text is left to the iterator to step over, like a
                // point. Room for the containers inside it is checked as walking it would.
                if (stack_.size() + 1 < allowance_ && events_.ReadObjectText(value.raw_json_token().data())) return true;
                const size_t offset = OffsetOf(value);
                ondemand::object object;
                return !value.get_object().get(object) && OpenObject(object, offset);
            }
            case ondemand::json_type::string: {
                std::string_view text;
                if (value.get_string().get(text)) return false;
                events_.String(text);
                return true;
            }
            case ondemand::json_type::boolean: {
                bool flag = false;
                if (value.get_bool().get(flag)) return false;
                events_.Bool(flag);
                return true;
            }
            case ondemand::json_type::null: {
                bool isNull = false;
                if (value.is_null().get(isNull) || !isNull) return false;
                events_.Null();
                return true;
            }
        }
        return false;
    }

    // A point of two reals (json_point.h), reported from its text. The array is left to the
    // iterator to step over, as it steps over any value not read; its text has been checked.
    bool ReportPoint(ondemand::value& value, size_t offset) {
        JsonNumber x;
        JsonNumber y;
        if (json_point::ReadPoint(value.raw_json_token().data(), x.value, y.value) == nullptr) return false;
        events_.StartArray(offset);
        events_.Number(x);
        events_.Number(y);
        events_.EndArray();
        return true;
    }

    bool ReportNumber(ondemand::value& value) {
        JsonNumber number;
        if (value.get_double().get(number.value)) return false;
        // Only a whole value can have been written as an integer; only then is the token read.
        if (number.value == std::trunc(number.value)) {
            const std::string_view token = value.raw_json_token();
            bool real = false;
            for (char c : token) {
                if (c == '.' || c == 'e' || c == 'E') real = true;
                if (c == ',' || c == ']' || c == '}' || c == ' ' || c == '\n' || c == '\r' || c == '\t') break;
            }
            if (real || std::signbit(number.value)) {
                // "-0" is a real, to keep its sign; other negative integers are signed.
                if (!real && number.value != 0 && value.get_int64().get(number.signedValue) == simdjson::SUCCESS) {
                    number.kind = JsonNumber::kSigned;
                }
            } else if (value.get_uint64().get(number.unsignedValue) == simdjson::SUCCESS) {
                number.kind = JsonNumber::kUnsigned;
            }
            // Integers beyond 64 bits stay reals, as the portable reader reads them.
        }
        events_.Number(number);
        return true;
    }

    std::string_view text_;
    size_t base_ = 0;       // the offset in the document of text_'s first byte
    size_t maxNesting_;
    size_t allowance_ = 0;  // the containers text_'s root and its values may nest
    Events& events_;
    ondemand::parser parser_;
    std::vector<Container> stack_;
    std::span<const PieceCut> cuts_;
    size_t nextCut_ = 0;         // the next cut to hand over
    size_t cutsBefore_ = 0;      // the cuts before the last value whose offset was asked for
    size_t cutBytesBefore_ = 0;  // the bytes those cuts took out
    const Container end_{false, false, true, {}, {}};  // the iterators every container ends at
};

}  // namespace fast_reader

}  // namespace document
