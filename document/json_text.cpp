#include "document/json_text.h"

#include <exception>
#include <iterator>
#include <nlohmann/json.hpp>

#include "document/json_loader.h"

namespace document {

std::string AtPosition(std::string_view text, size_t offset) {
    size_t line = 1;
    size_t column = 1;
    for (size_t i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

namespace {

// An input iterator over the text that publishes how far the parser has read, so that events
// can be placed in the text.
class TrackingIterator {
public:
    using iterator_category = std::input_iterator_tag;
    using value_type = char;
    using difference_type = std::ptrdiff_t;
    using pointer = const char*;
    using reference = const char&;

    TrackingIterator(const char* at, const char** readTo) : at_(at), readTo_(readTo) {}
    reference operator*() const { return *at_; }
    TrackingIterator& operator++() {
        *readTo_ = ++at_;
        return *this;
    }
    TrackingIterator operator++(int) {
        TrackingIterator before = *this;
        ++*this;
        return before;
    }
    bool operator==(const TrackingIterator& other) const { return at_ == other.at_; }
    bool operator!=(const TrackingIterator& other) const { return at_ != other.at_; }

private:
    const char* at_;
    const char** readTo_;
};

using Json = nlohmann::json;

// Forwards the parser's values to the events. After the events refuse a value, only syntax and
// nesting are checked; the refusal is reported at the end unless the syntax is wrong.
class PortableReader {
public:
    PortableReader(std::string_view text, int maxNesting, JsonEvents& events)
        : text_(text), maxNesting_(maxNesting), events_(events), readTo_(text.data()) {}

    void Read() {
        TrackingIterator first(text_.data(), &readTo_);
        TrackingIterator last(text_.data() + text_.size(), &readTo_);
        Json::sax_parse(first, last, this);
        if (refusal_) std::rethrow_exception(refusal_);
    }

    bool null() { return Forward([&] { events_.Null(); }); }
    bool boolean(bool value) { return Forward([&] { events_.Bool(value); }); }
    bool number_unsigned(uint64_t value) {
        JsonNumber number;
        number.kind = JsonNumber::kUnsigned;
        number.unsignedValue = value;
        number.value = double(value);
        return Forward([&] { events_.Number(number); });
    }
    bool number_integer(int64_t value) {
        JsonNumber number;
        if (value == 0) {
            // Non-negative integers come as unsigned: this is "-0", a real to keep its sign.
            number.kind = JsonNumber::kReal;
            number.value = -0.0;
        } else {
            number.kind = JsonNumber::kSigned;
            number.signedValue = value;
            number.value = double(value);
        }
        return Forward([&] { events_.Number(number); });
    }
    bool number_float(double value, const std::string&) {
        JsonNumber number;
        number.value = value;
        return Forward([&] { events_.Number(number); });
    }
    bool string(std::string& value) { return Forward([&] { events_.String(value); }); }
    bool binary(Json::binary_t&) { return true; }  // not produced by JSON text
    bool key(std::string& value) { return Forward([&] { events_.Key(value); }); }
    bool start_object(size_t) {
        Nest();
        const size_t offset = Offset();
        return Forward([&] { events_.StartObject(offset); });
    }
    bool end_object() {
        --nesting_;
        return Forward([&] { events_.EndObject(); });
    }
    bool start_array(size_t) {
        Nest();
        const size_t offset = Offset();
        return Forward([&] { events_.StartArray(offset); });
    }
    bool end_array() {
        --nesting_;
        return Forward([&] { events_.EndArray(); });
    }

    bool parse_error(size_t position, const std::string& token, const nlohmann::detail::exception& error) {
        if (error.id == 406) {
            // A number beyond a double's range: the parser names it, the place is ours to give.
            const size_t start = position >= token.size() ? position - token.size() : 0;
            std::string place = refusal_ ? std::string() : events_.CurrentPath() + ": ";
            throw DocumentError(place + "number " + token + " too large for a 32-bit real (at " + AtPosition(text_, start) +
                                ")");
        }
        // The parser's byte counts one past the character where it stopped.
        const size_t offset = position > 0 ? position - 1 : 0;
        std::string reason = error.what();
        const size_t colon = reason.find(": ", reason.find("parse error"));
        if (colon != std::string::npos) reason = reason.substr(colon + 2);
        throw DocumentError("invalid JSON at " + AtPosition(text_, offset) + ": " + reason);
    }

private:
    // The offset of the bracket just read.
    size_t Offset() const { return size_t(readTo_ - text_.data()) - 1; }

    void Nest() {
        if (++nesting_ > maxNesting_) {
            throw DocumentError("JSON nested more than " + std::to_string(maxNesting_) + " levels deep at " +
                                AtPosition(text_, Offset()));
        }
    }

    template <typename Report>
    bool Forward(Report report) {
        if (refusal_) return true;
        try {
            report();
        } catch (const DocumentError&) {
            refusal_ = std::current_exception();
        }
        return true;
    }

    std::string_view text_;
    int maxNesting_;
    JsonEvents& events_;
    const char* readTo_;
    int nesting_ = 0;
    std::exception_ptr refusal_;
};

}  // namespace

void ReadJsonPortable(std::string_view text, int maxNesting, JsonEvents& events) {
    PortableReader(text, maxNesting, events).Read();
}

}  // namespace document
