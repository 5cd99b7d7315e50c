// The fast JSON reader: simdjson's On-Demand parser walked depth first with an explicit stack
// (trees may be far deeper than the call stack allows), reporting each value as it is reached.
// It only needs to tell valid text from invalid: on anything it cannot read it stops, and the
// portable reader (json_text.h) reads the text again and says what is wrong, and where.
// A template over the events' type, so that their handlers are inlined into the walk.
#pragma once

#include <simdjson.h>

#include <cmath>
#include <string_view>
#include <vector>

#include "document/json_events.h"

namespace document {

// The padding the fast reader may read past the end of its text.
constexpr size_t kFastReaderPadding = simdjson::SIMDJSON_PADDING;

namespace fast_reader {

namespace ondemand = simdjson::ondemand;

// An object or array being walked; the iterator of the other kind is unused.
struct Container {
    bool isObject;
    bool started = false;  // the iterator points at a member already reported
    ondemand::object_iterator member;
    ondemand::array_iterator element;
};

template <typename Events>
class Walker {
public:
    Walker(std::string_view text, size_t maxNesting, Events& events)
        : text_(text), maxNesting_(maxNesting), events_(events) {}

    bool Walk() {
        // The depth allowance, not the call stack, is what limits nesting here.
        if (parser_.allocate(text_.size(), maxNesting_ + 1) != simdjson::SUCCESS) return false;
        ondemand::document document;
        if (parser_.iterate(text_.data(), text_.size(), text_.size() + kFastReaderPadding).get(document)) return false;
        ondemand::json_type type;
        if (document.type().get(type) || type != ondemand::json_type::object) return false;
        ondemand::object root;
        if (document.get_object().get(root) || !OpenObject(root, 0)) return false;
        stack_.reserve(64);
        while (!stack_.empty()) {
            if (!Step()) return false;
        }
        // After the root object, the location is still in the text only if more follows.
        const char* after = nullptr;
        return document.current_location().get(after) != simdjson::SUCCESS;
    }

private:
    bool OpenObject(ondemand::object& object, size_t offset) {
        if (stack_.size() >= maxNesting_) return false;
        ondemand::object_iterator first;
        if (object.begin().get(first)) return false;
        events_.StartObject(offset);
        stack_.push_back(Container{true, false, first, {}});
        return true;
    }

    // Arrays of numbers (points, colours, matrices) are most arrays: their elements are reported
    // here, and the array becomes a container on the stack only at an element of another kind.
    bool OpenArray(ondemand::array& array, size_t offset) {
        if (stack_.size() >= maxNesting_) return false;
        ondemand::array_iterator element;
        if (array.begin().get(element)) return false;
        events_.StartArray(offset);
        for (; element != end_.element; ++element) {
            ondemand::value value;
            ondemand::json_type type;
            if ((*element).get(value) || value.type().get(type)) return false;
            if (type != ondemand::json_type::number) {
                // Not visited from here, which would nest calls as deep as the arrays nest:
                // the next step visits it.
                stack_.push_back(Container{false, false, {}, element});
                return true;
            }
            if (!ReportNumber(value)) return false;
        }
        events_.EndArray();
        return true;
    }

    // Reports the next member or element of the innermost container, or its end.
    bool Step() {
        Container& top = stack_.back();
        if (top.isObject) {
            if (top.started) ++top.member;
            top.started = true;
            if (top.member == end_.member) {
                stack_.pop_back();
                events_.EndObject();
                return true;
            }
            ondemand::field field;
            if ((*top.member).get(field) || !ReportKey(field)) return false;
            return Visit(field.value());
        }
        if (top.started) ++top.element;
        top.started = true;
        if (top.element == end_.element) {
            stack_.pop_back();
            events_.EndArray();
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
                const size_t offset = size_t(value.raw_json_token().data() - text_.data());
                ondemand::array array;
                return !value.get_array().get(array) && OpenArray(array, offset);
            }
            case ondemand::json_type::object: {
                const size_t offset = size_t(value.raw_json_token().data() - text_.data());
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
    size_t maxNesting_;
    Events& events_;
    ondemand::parser parser_;
    std::vector<Container> stack_;
    const Container end_{false, false, {}, {}};  // the iterators every container ends at
};

}  // namespace fast_reader

// Reads the text with the fast reader (simdjson On-Demand). `text` must be followed by
// kFastReaderPadding readable bytes. Returns false, having reported the values up to the place,
// when the text is not valid JSON or is nested more than `maxNesting` brackets; DocumentError
// from `events` passes through.
template <typename Events>
bool ReadJsonFast(std::string_view text, int maxNesting, Events& events) {
    return fast_reader::Walker<Events>(text, size_t(maxNesting), events).Walk();
}

}  // namespace document
