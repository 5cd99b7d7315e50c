// The values a JSON reader reports, written down one line each, so that two readings compare.
#pragma once

#include <cstdio>
#include <string>

#include "document/json_loader.h"
#include "document/json_text.h"

namespace document::testing {

class EventLog : public JsonEvents {
public:
    void StartObject(size_t offset) override { Add("{@" + std::to_string(offset)); }
    void Key(std::string_view key) override { Add("key " + std::string(key)); }
    void EndObject() override { Add("}"); }
    void StartArray(size_t offset) override { Add("[@" + std::to_string(offset)); }
    void EndArray() override { Add("]"); }
    void Number(const JsonNumber& number) override {
        char text[64];
        std::snprintf(text, sizeof text, "number %d %a %llu %lld", int(number.kind), number.value,
                      static_cast<unsigned long long>(number.unsignedValue), static_cast<long long>(number.signedValue));
        Add(text);
    }
    void String(std::string_view text) override { Add("string " + std::string(text)); }
    void Bool(bool value) override { Add(value ? "true" : "false"); }
    void Null() override { Add("null"); }
    std::string CurrentPath() const override { return ""; }

    std::string Text() const { return log_; }

protected:
    void Add(const std::string& event) { log_ += event + "\n"; }

private:
    std::string log_;
};

// The text followed by the readable bytes the fast reader may look at.
inline std::string Padded(const std::string& text) {
    return text + std::string(64, '\0');
}

inline std::string ReadPortable(const std::string& text, int maxNesting = kMaxJsonNesting) {
    EventLog events;
    ReadJsonPortable(text, maxNesting, events);
    return events.Text();
}

}  // namespace document::testing
