// Reading the small values of a JSON document (styles, colours, gradients, segments, the common
// keys of art) from their parsed form into the document model, with messages that name the JSON
// path of a bad value. The document loader streams the large parts (art lists, segment lists)
// and hands each small value here once it is complete.
#pragma once

#include <initializer_list>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "document/document.h"

namespace document {

class ValueReader {
public:
    using Json = nlohmann::json;

    explicit ValueReader(Document& document) : document_(document) {}
    virtual ~ValueReader() = default;
    ValueReader(const ValueReader&) = delete;
    ValueReader& operator=(const ValueReader&) = delete;

protected:
    // The JSON path of the art object being read ("layers[0].children[2]"), "" outside art.
    virtual std::string ArtPath() const = 0;

    // Path of the value being read: the art object's path and the keys below it.
    std::string Path() const;
    [[noreturn]] void Fail(const std::string& problem) const;

    // Extends the path for its lifetime.
    class PathScope {
    public:
        PathScope(ValueReader& reader, std::string segment) : reader_(reader) { reader_.local_.push_back(std::move(segment)); }
        ~PathScope() { reader_.local_.pop_back(); }
        PathScope(const PathScope&) = delete;
        PathScope& operator=(const PathScope&) = delete;

    private:
        ValueReader& reader_;
    };
    static std::string Member(const std::string& key);
    static std::string Index(size_t i) { return "[" + std::to_string(i) + "]"; }
    static std::string TypeName(const Json& value);

    const Json& Expect(const Json& value, Json::value_t type, const char* expected);
    const Json& ExpectObject(const Json& value, std::initializer_list<std::string_view> allowed);
    static const Json* Find(const Json& object, const char* key);
    void RejectUnknownKeys(const Json& object, std::initializer_list<std::string_view> allowed);

    HostReal ReadReal(const Json& value);
    HostReal ReadReal(const Json& object, const char* key, HostReal fallback);
    int64_t ReadWhole(const Json& value, int64_t min, int64_t max);
    bool ReadBool(const Json& object, const char* key, bool fallback);
    RealPoint ReadPoint(const Json& value);
    void ReadReals(const Json& value, size_t count, HostReal* out);
    int32_t ReadCode(const Json& value, std::initializer_list<std::string_view> names);

    HostColor ReadColor(const Json& value);
    PathStyle ReadStyle(const Json& value);
    PathSegment ReadSegment(const Json& value);
    void ReadCommon(const Json& object, Art& art);

    // The document's "gradients" and "customColors" objects.
    void ReadGradients(const Json& value);
    void ReadCustomColors(const Json& value);
    // Fails on the first colour that named a gradient or custom colour the document never gave.
    void CheckNamesResolved();

    Document& document_;

private:
    void ReadGradientFill(const Json& object, HostColor& color);
    void ReadStroke(const Json& value, StrokeStyle& stroke);
    void ReadGradient(const Json& value, Gradient& gradient);
    void ReadCustomColor(const Json& value, CustomColor& color);

    // Colours may name resources that come later in the text: a name not yet given gets an
    // object at once, and the place of its first use is kept until the name is given.
    Gradient& GradientNamed(const std::string& name);
    CustomColor& CustomColorNamed(const std::string& name);

    std::vector<std::string> local_;
    std::map<std::string, std::string> unresolvedGradients_;     // name -> message with its place
    std::map<std::string, std::string> unresolvedCustomColors_;  // name -> message with its place
};

}  // namespace document
