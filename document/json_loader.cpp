// The document loader: reads the JSON text as a stream of values (json_text.h) straight into
// the document model. Art lists and segment lists, which make up nearly all of a large
// document, are read value by value; every other value (a style, a name, a gradient) is small
// and is gathered into a parsed value first, then read by ValueReader.
#include "document/json_loader.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <istream>
#include <streambuf>
#include <system_error>

#include "document/host_real_range.h"
#include "document/json_segment.h"
#include "document/json_text.h"
#include "document/json_value_reader.h"
#include "document/text_file.h"

#ifdef QUILLMARK_WITH_SIMDJSON
#include "document/json_piece_reader.h"
#include "document/json_segment_worker.h"
#endif

namespace document {

namespace {

using Json = nlohmann::json;

// Segments read aside that were not all plain: the document is read again without reading aside.
struct SegmentsToReadAgain {};

constexpr int16_t kNamedTypeCodes[] = {kGroupArt,     kPathArt,   kCompoundPathArt, kPluginArt, kTextFrameArt,
                                       kPlacedArt,    kRasterArt, kMeshArt,         kSymbolArt};
constexpr std::string_view kNamedTypes[] = {"group", "path", "compound", "plugin", "text",
                                            "placed", "raster", "mesh", "symbol"};

// How an art object was written: the keys it may have depend on it, not on its code.
enum class ArtForm { kUnknown, kGroup, kPath, kCompound, kPlugin, kLeaf };

ArtForm FormOfNamedType(std::string_view type) {
    if (type == "group") return ArtForm::kGroup;
    if (type == "path") return ArtForm::kPath;
    if (type == "compound") return ArtForm::kCompound;
    if (type == "plugin") return ArtForm::kPlugin;
    return ArtForm::kLeaf;
}

bool KeyAllowed(ArtForm form, std::string_view key) {
    for (std::string_view common : {"type", "name", "opacity", "hidden", "bounds"}) {
        if (key == common) return true;
    }
    switch (form) {
        case ArtForm::kGroup: return key == "children";
        case ArtForm::kPath: return key == "segments" || key == "closed" || key == "guide" || key == "style";
        case ArtForm::kCompound: return key == "children" || key == "guide" || key == "style";
        case ArtForm::kPlugin: return key == "pluginName" || key == "style" || key == "result";
        case ArtForm::kLeaf:
        case ArtForm::kUnknown: return false;
    }
    return false;
}

enum class ValueKind { kObject, kArray, kNumber, kString, kBool, kNull };

const char* NameOf(ValueKind kind) {
    switch (kind) {
        case ValueKind::kObject: return "an object";
        case ValueKind::kArray: return "an array";
        case ValueKind::kNumber: return "a number";
        case ValueKind::kString: return "a string";
        case ValueKind::kBool: return "a boolean";
        case ValueKind::kNull: return "null";
    }
    return "a value";
}

Json ToJson(const JsonNumber& number) {
    switch (number.kind) {
        case JsonNumber::kUnsigned: return Json(number.unsignedValue);
        case JsonNumber::kSigned: return Json(number.signedValue);
        case JsonNumber::kReal: break;
    }
    return Json(number.value);
}

// A read-only stream over part of the text, for parsing one value again.
class TextBuffer : public std::streambuf {
public:
    explicit TextBuffer(std::string_view text) {
        char* start = const_cast<char*>(text.data());  // only read: the get area is never written
        setg(start, start, start + text.size());
    }
};

// Gathers one small value, given as events, into a parsed value.
class ValueGatherer {
public:
    bool Active() const { return active_; }
    void Begin() {
        active_ = true;
        value_ = Json();
        open_.clear();
    }
    void Key(std::string_view key) { key_ = key; }
    // Returns true when the value is complete.
    bool Add(Json value) {
        Json* added = Place(std::move(value));
        (void)added;
        return open_.empty();
    }
    void Open(Json container) { open_.push_back(Place(std::move(container))); }
    bool Close() {
        open_.pop_back();
        return open_.empty();
    }
    Json Take() {
        active_ = false;
        return std::move(value_);
    }

private:
    Json* Place(Json value) {
        if (open_.empty()) {
            value_ = std::move(value);
            return &value_;
        }
        Json& parent = *open_.back();
        if (parent.is_array()) {
            parent.push_back(std::move(value));
            return &parent.back();
        }
        Json& member = parent[key_];
        member = std::move(value);
        return &member;
    }

    bool active_ = false;
    Json value_;
    std::vector<Json*> open_;  // containers being filled, innermost last
    std::string key_;
};

// One segment of a path, read from its events without building a parsed value. Anything but a
// valid segment makes it irregular: the segment is then parsed again from its text, and read
// by ValueReader, which says what is wrong.
class SegmentReader {
public:
    bool Active() const { return active_; }
    bool Irregular() const { return irregular_; }
    size_t Start() const { return start_; }

    void Begin(bool isObject, size_t start) {
        active_ = true;
        irregular_ = false;
        isObject_ = isObject;
        start_ = start;
        count_ = 0;
        field_ = kNone;
        inPoint_ = false;
        hasAnchor_ = hasIn_ = hasOut_ = false;
        corner_ = true;
    }

    void StartArray() {
        if (isObject_ && !inPoint_ && (field_ == kAnchor || field_ == kIn || field_ == kOut)) {
            inPoint_ = true;
            count_ = 0;
        } else {
            irregular_ = true;
        }
    }
    void StartObject() { irregular_ = true; }
    void Other() { irregular_ = true; }
    void Key(std::string_view key) {
        if (Is(key, "anchor")) {
            field_ = kAnchor;
        } else if (Is(key, "in")) {
            field_ = kIn;
        } else if (Is(key, "out")) {
            field_ = kOut;
        } else if (Is(key, "corner")) {
            field_ = kCorner;
        } else {
            irregular_ = true;
        }
    }
    void Number(double value) {
        if (isObject_ && !inPoint_) {
            irregular_ = true;
            return;
        }
        if (count_ >= 2 || !RoundsToFiniteReal(value)) {
            irregular_ = true;
            return;
        }
        xy_[count_++] = static_cast<HostReal>(value);
    }
    void Bool(bool value) {
        if (isObject_ && !inPoint_ && field_ == kCorner) {
            corner_ = value;
            field_ = kNone;
        } else {
            irregular_ = true;
        }
    }
    // Returns true when the segment is complete.
    bool EndArray() {
        if (count_ != 2) {
            irregular_ = true;
            return false;
        }
        const RealPoint point{xy_[0], xy_[1]};
        if (!isObject_) {
            active_ = false;
            return true;
        }
        inPoint_ = false;
        switch (field_) {
            case kAnchor:
                anchor_ = point;
                hasAnchor_ = true;
                break;
            case kIn:
                in_ = point;
                hasIn_ = true;
                break;
            case kOut:
                out_ = point;
                hasOut_ = true;
                break;
            default: irregular_ = true; break;
        }
        field_ = kNone;
        return false;
    }
    bool EndObject() {
        if (!hasAnchor_) {
            irregular_ = true;
            return false;
        }
        active_ = false;
        return true;
    }

    PathSegment Segment() const {
        PathSegment segment{};
        if (isObject_) {
            segment.p = anchor_;
            segment.in = hasIn_ ? in_ : anchor_;
            segment.out = hasOut_ ? out_ : anchor_;
            segment.corner = corner_ ? 1 : 0;
        } else {
            segment.p = segment.in = segment.out = {xy_[0], xy_[1]};
            segment.corner = 1;
        }
        return segment;
    }

private:
    enum Field { kNone, kAnchor, kIn, kOut, kCorner };

    // A comparison of a length known when compiled, which becomes a few instructions where the
    // string_view comparison calls memcmp: segments' keys are most of a large document's keys.
    template <size_t N>
    static bool Is(std::string_view key, const char (&name)[N]) {
        return key.size() == N - 1 && std::memcmp(key.data(), name, N - 1) == 0;
    }
    bool active_ = false;
    bool irregular_ = false;
    bool isObject_ = false;
    size_t start_ = 0;
    int count_ = 0;
    HostReal xy_[2] = {};
    Field field_ = kNone;
    bool inPoint_ = false;
    bool hasAnchor_ = false, hasIn_ = false, hasOut_ = false;
    RealPoint anchor_{}, in_{}, out_{};
    bool corner_ = true;
};

// An art object being read.
struct ArtInProgress {
    enum Place { kLayer, kChild, kResult };
    Art* art = nullptr;
    Place place = kLayer;
    size_t index = 0;  // layer or child index
    int level = 1;     // 1 for a layer root
    bool mustBePath = false;
    bool mustBeGroup = false;
    ArtForm form = ArtForm::kUnknown;  // known once "type" is read
    Json type;
    Json fields = Json::object();  // every key but "type" and the streamed ones
    bool hasChildren = false;
    bool hasSegments = false;
    bool hasResult = false;
    struct Member {
        Art* art;
        ArtForm form;
        bool ownStyle;
    };
    std::vector<Member> members;  // the children read so far
};

class StreamLoader final : public ValueReader, public JsonEvents {
public:
    explicit StreamLoader(std::string_view text) : ValueReader(document_), text_(text) {}

    Document Take() {
        if (!finished_) throw DocumentError("invalid JSON: the document ends early");
        return std::move(document_);
    }

    void StartObject(size_t offset) override {
        if (gatherer_.Active()) return gatherer_.Open(Json::object());
        if (segment_.Active()) return SegmentEvent([&] { segment_.StartObject(); });
        BeginValue(ValueKind::kObject, offset);
    }
    void StartArray(size_t offset) override {
        if (gatherer_.Active()) return gatherer_.Open(Json::array());
        if (segment_.Active()) return SegmentEvent([&] { segment_.StartArray(); });
        BeginValue(ValueKind::kArray, offset);
    }
    void Key(std::string_view key) override {
        if (gatherer_.Active()) return gatherer_.Key(key);
        if (segment_.Active()) return SegmentEvent([&] { segment_.Key(key); });
        ReadKey(key);
    }
    void EndObject() override {
        if (gatherer_.Active()) {
            if (gatherer_.Close()) Deliver(gatherer_.Take());
            return;
        }
        if (segment_.Active()) return SegmentEnd(segment_.EndObject());
        if (levels_.back() == Level::kRoot) {
            FinishRoot();
        } else {
            FinishArt();
        }
        Pop();
    }
    void EndArray() override {
        if (gatherer_.Active()) {
            if (gatherer_.Close()) Deliver(gatherer_.Take());
            return;
        }
        if (segment_.Active()) return SegmentEnd(segment_.EndArray());
        if (levels_.back() == Level::kSegments) FinishSegments();
        Pop();
    }
    void Number(const JsonNumber& number) override {
        if (gatherer_.Active()) return Gathered(ToJson(number));
        if (segment_.Active()) return SegmentEvent([&] { segment_.Number(number.value); });
        Scalar(ValueKind::kNumber, [&] { return ToJson(number); });
    }
    void String(std::string_view text) override {
        if (gatherer_.Active()) return Gathered(Json(std::string(text)));
        if (segment_.Active()) return SegmentEvent([&] { segment_.Other(); });
        Scalar(ValueKind::kString, [&] { return Json(std::string(text)); });
    }
    void Bool(bool value) override {
        if (gatherer_.Active()) return Gathered(Json(value));
        if (segment_.Active()) return SegmentEvent([&] { segment_.Bool(value); });
        Scalar(ValueKind::kBool, [&] { return Json(value); });
    }
    void Null() override {
        if (gatherer_.Active()) return Gathered(Json());
        if (segment_.Active()) return SegmentEvent([&] { segment_.Other(); });
        Scalar(ValueKind::kNull, [&] { return Json(); });
    }
    // A segment in its plain form, read whole from its text; any other is walked.
    bool ReadObjectText(const char* text) override {
        if (levels_.empty() || levels_.back() != Level::kSegments || gatherer_.Active() || segment_.Active()) {
            return false;
        }
        PathSegment segment;
        if (json_segment::ReadSegment(text, segment) == nullptr) return false;
        if (++count_.back() <= kMaxSegments) segments_.push_back(segment);
        return true;
    }

    // A path's segments all in plain form (or points), read whole from their text.
    bool ReadArrayText(const char* text) override {
        return AtSegmentsArray() && ReadSegmentsNow(text) != nullptr;
    }

#ifdef QUILLMARK_WITH_SIMDJSON
    // Has paths' segments read on a thread of their own (json_segment_worker.h).
    void ReadSegmentsAside() {
        try {
            worker_ = std::make_unique<SegmentWorker>();
        } catch (const std::system_error&) {
            // No thread to be had: the loader reads them itself.
        }
    }

    // Arrays cut out of the text are a path's segments: its first array is read aside, a second
    // here, after the first. Anywhere else (or too deep) they are not what the walk would make
    // of them, and the document is read again.
    bool CutsSegmentsArrays() const override { return worker_ != nullptr; }
    void CutArray(std::string_view text, bool roomToNest) override {
        if (!roomToNest || !AtSegmentsArray()) throw SegmentsToReadAgain();
        ArtInProgress& art = arts_.back();
        if (!art.hasSegments) {
            art.hasSegments = true;
            worker_->Add(art.art, text);
            return;
        }
        if (ReadSegmentsNow(text.data()) != text.data() + text.size()) throw SegmentsToReadAgain();
    }
#endif

    std::string CurrentPath() const override {
        std::string path = ArtPath();
        if (!levels_.empty()) {
            switch (levels_.back()) {
                case Level::kRoot:
                case Level::kArt: path += Member(key_); break;
                // The value in question is the next element, or inside the segment begun last.
                case Level::kLayers: path += "layers" + Index(count_.back()); break;
                case Level::kChildren: path += ".children" + Index(count_.back()); break;
                case Level::kSegments:
                    path += ".segments" + Index(segment_.Active() ? count_.back() - 1 : count_.back());
                    break;
            }
        }
        if (!path.empty() && path[0] == '.') path.erase(0, 1);
        return path.empty() ? "the document" : path;
    }

protected:
    std::string ArtPath() const override {
        std::string path;
        for (const ArtInProgress& art : arts_) {
            switch (art.place) {
                case ArtInProgress::kLayer: path += "layers" + Index(art.index); break;
                case ArtInProgress::kChild: path += ".children" + Index(art.index); break;
                case ArtInProgress::kResult: path += ".result"; break;
            }
        }
        return path;
    }

private:
    // What the innermost container being streamed is.
    enum class Level { kRoot, kLayers, kArt, kChildren, kSegments };

    // Reads the plain segments array at `text` into the current path, after any read aside;
    // answers one past its ']', or nullptr (the path then left as it was).
    const char* ReadSegmentsNow(const char* text) {
        ArtInProgress& art = arts_.back();
        if (art.hasSegments) SettleSegmentsAside();
        const char* const end = json_segment::ReadSegments(text, kMaxSegments, segments_);
        if (end == nullptr) return nullptr;
        art.hasSegments = true;
        art.art->segments.assign(segments_.begin(), segments_.end());
        return end;
    }

    bool AtSegmentsArray() const {
        return !levels_.empty() && levels_.back() == Level::kArt && key_ == "segments" && !gatherer_.Active();
    }

    // Waits for the segments read aside, so that the loader may touch any path's segments.
    void SettleSegmentsAside() {
#ifdef QUILLMARK_WITH_SIMDJSON
        if (worker_ && !worker_->Finish()) throw SegmentsToReadAgain();
#endif
    }

    void Gathered(Json value) {
        if (gatherer_.Add(std::move(value))) Deliver(gatherer_.Take());
    }

    template <typename Event>
    void SegmentEvent(Event event) {
        event();
        if (segment_.Irregular()) FailSegment();
    }

    void SegmentEnd(bool complete) {
        if (segment_.Irregular()) FailSegment();
        if (!complete) return;
        if (count_.back() <= kMaxSegments) segments_.push_back(segment_.Segment());
    }

    // Parses the segment again from its text and lets ValueReader say what is wrong with it.
    [[noreturn]] void FailSegment() {
        PathScope list(*this, ".segments");
        PathScope item(*this, Index(count_.back() - 1));
        // Read through a window, the loader has no text: the file is read again whole, and that
        // reading says what is wrong.
        if (text_.data() == nullptr) Fail("invalid segment");
        Json segment;
        try {
            TextBuffer buffer(text_.substr(segment_.Start()));
            std::istream in(&buffer);
            in >> segment;
        } catch (const Json::exception&) {
            Fail("invalid segment");  // its syntax is reported instead
        }
        ReadSegment(segment);
        Fail("invalid segment");
    }

    template <typename MakeJson>
    void Scalar(ValueKind kind, MakeJson make) {
        if (BeginValue(kind, 0)) Deliver(make());
    }

    // Starts reading a value in the innermost streamed container. Returns true when the value
    // is a scalar to deliver; containers to gather start the gatherer.
    bool BeginValue(ValueKind kind, size_t offset) {
        if (levels_.empty()) {
            if (finished_ || kind != ValueKind::kObject) Fail(std::string("expected an object, found ") + NameOf(kind));
            Push(Level::kRoot);
            return false;
        }
        switch (levels_.back()) {
            case Level::kRoot:
                if (key_ == "layers") {
                    PathScope scope(*this, ".layers");
                    if (kind != ValueKind::kArray) Fail(std::string("expected an array, found ") + NameOf(kind));
                    if (hasLayers_) SettleSegmentsAside();  // the thread may be writing into what goes
                    hasLayers_ = true;
                    document_.layers.clear();
                    Push(Level::kLayers);
                    return false;
                }
                return Gather(kind);
            case Level::kLayers: {
                const size_t index = count_.back()++;
                if (kind != ValueKind::kObject) {
                    PathScope list(*this, "layers");
                    PathScope item(*this, Index(index));
                    Fail(std::string("expected an art object, found ") + NameOf(kind));
                }
                document_.layers.push_back(std::make_unique<Art>());
                BeginArt(document_.layers.back().get(), ArtInProgress::kLayer, index, 1);
                return false;
            }
            case Level::kArt: return BeginArtValue(kind);
            case Level::kChildren: {
                const size_t index = count_.back()++;
                if (kind != ValueKind::kObject) {
                    PathScope list(*this, ".children");
                    PathScope item(*this, Index(index));
                    Fail(std::string("expected an art object, found ") + NameOf(kind));
                }
                ArtInProgress& parent = arts_.back();
                Art* child = parent.art->Add(std::make_unique<Art>());
                BeginArt(child, ArtInProgress::kChild, index, parent.level + 1);
                arts_.back().mustBePath = arts_[arts_.size() - 2].form == ArtForm::kCompound;
                return false;
            }
            case Level::kSegments: {
                const size_t index = count_.back()++;
                if (kind != ValueKind::kObject && kind != ValueKind::kArray) {
                    PathScope list(*this, ".segments");
                    PathScope item(*this, Index(index));
                    Fail(std::string("expected a segment ([x, y] or an object with \"anchor\"), found ") + NameOf(kind));
                }
                segment_.Begin(kind == ValueKind::kObject, offset);
                return false;
            }
        }
        return false;
    }

    bool Gather(ValueKind kind) {
        if (kind == ValueKind::kObject || kind == ValueKind::kArray) {
            gatherer_.Begin();
            gatherer_.Open(kind == ValueKind::kObject ? Json::object() : Json::array());
            return false;
        }
        return true;
    }

    void Push(Level level) {
        levels_.push_back(level);
        count_.push_back(0);
    }
    void Pop() {
        levels_.pop_back();
        count_.pop_back();
    }

    void BeginArt(Art* art, ArtInProgress::Place place, size_t index, int level) {
        ArtInProgress progress;
        progress.art = art;
        progress.place = place;
        progress.index = index;
        progress.level = level;
        arts_.push_back(std::move(progress));
        Push(Level::kArt);
    }

    void ReadKey(std::string_view key) {
        key_ = key;
        if (levels_.back() == Level::kRoot) {
            if (key != "layers" && key != "gradients" && key != "customColors") {
                Fail("unknown key \"" + key_ + "\" (allowed: layers, gradients, customColors)");
            }
            return;
        }
        ArtInProgress& art = arts_.back();
        if (art.form != ArtForm::kUnknown && !KeyAllowed(art.form, key)) {
            Fail("unknown key \"" + key_ + "\" for art of type " + art.type.dump());
        }
    }

    // A value of an art object's key.
    bool BeginArtValue(ValueKind kind) {
        ArtInProgress& art = arts_.back();
        if (key_ == "children") {
            PathScope scope(*this, ".children");
            if (kind != ValueKind::kArray) Fail(std::string("expected an array of art objects, found ") + NameOf(kind));
            if (art.level >= kMaxArtLevels) Fail("art nested more than " + std::to_string(kMaxArtLevels) + " levels deep");
            if (art.hasChildren) SettleSegmentsAside();  // the thread may be writing into what goes
            art.hasChildren = true;
            art.art->children.clear();
            art.members.clear();
            Push(Level::kChildren);
            return false;
        }
        if (key_ == "segments") {
            if (art.hasSegments) SettleSegmentsAside();
            PathScope scope(*this, ".segments");
            if (kind != ValueKind::kArray) Fail(std::string("expected an array of segments, found ") + NameOf(kind));
            art.hasSegments = true;
            segments_.clear();
            Push(Level::kSegments);
            return false;
        }
        if (key_ == "result") {
            if (kind != ValueKind::kObject) {
                PathScope scope(*this, ".result");
                Fail(std::string("expected an art object, found ") + NameOf(kind));
            }
            if (art.level >= kMaxArtLevels) Fail("art nested more than " + std::to_string(kMaxArtLevels) + " levels deep");
            if (art.hasResult) SettleSegmentsAside();  // the thread may be writing into what goes
            art.hasResult = true;
            art.art->result = std::make_unique<Art>();
            BeginArt(art.art->result.get(), ArtInProgress::kResult, 0, art.level + 1);
            arts_.back().mustBeGroup = true;
            return false;
        }
        return Gather(kind);
    }

    // A complete gathered or scalar value of the innermost object's current key.
    void Deliver(Json value) {
        if (levels_.back() == Level::kRoot) {
            if (key_ == "gradients") {
                ReadGradients(value);
            } else {
                ReadCustomColors(value);
            }
            return;
        }
        ArtInProgress& art = arts_.back();
        if (key_ == "type") {
            ReadType(art, std::move(value));
        } else {
            art.fields[key_] = std::move(value);
        }
    }

    void ReadType(ArtInProgress& progress, Json type) {
        Art& art = *progress.art;
        ArtForm form = ArtForm::kLeaf;
        {
            PathScope scope(*this, ".type");
            if (type.is_string()) {
                const std::string& name = type.get_ref<const std::string&>();
                size_t i = 0;
                while (i < std::size(kNamedTypes) && kNamedTypes[i] != name) ++i;
                if (i == std::size(kNamedTypes)) {
                    Fail("unknown art type \"" + name + "\" (expected group, path, compound, plugin, text, placed, raster, "
                         "mesh, symbol or a whole number)");
                }
                art.type = kNamedTypeCodes[i];
                form = FormOfNamedType(name);
            } else {
                if (!type.is_number()) Fail("expected an art type name or a whole number, found " + TypeName(type));
                art.type = static_cast<int16_t>(ReadWhole(type, INT16_MIN, INT16_MAX));
            }
        }
        progress.form = form;
        progress.type = std::move(type);
        if (progress.mustBePath && form != ArtForm::kPath) Fail("a compound path's members must be paths");
        if (progress.mustBeGroup && form != ArtForm::kGroup) Fail("a plug-in object's result art must be a group");

        // Keys that came before the type.
        auto reject = [&](const std::string& key) {
            Fail("unknown key \"" + key + "\" for art of type " + progress.type.dump());
        };
        for (const auto& item : progress.fields.items()) {
            if (!KeyAllowed(form, item.key())) reject(item.key());
        }
        if (progress.hasChildren && !KeyAllowed(form, "children")) reject("children");
        if (progress.hasSegments && !KeyAllowed(form, "segments")) reject("segments");
        if (progress.hasResult && !KeyAllowed(form, "result")) reject("result");
        // Members read before the compound's type was known.
        if (form == ArtForm::kCompound) {
            for (size_t i = 0; i < progress.members.size(); ++i) {
                if (progress.members[i].form == ArtForm::kPath) continue;
                PathScope list(*this, ".children");
                PathScope item(*this, Index(i));
                Fail("a compound path's members must be paths");
            }
        }
    }

    void FinishSegments() {
        const size_t count = count_.back();
        if (count > kMaxSegments) {
            PathScope scope(*this, ".segments");
            Fail("a path has at most " + std::to_string(kMaxSegments) + " segments, found " + std::to_string(count));
        }
        std::vector<PathSegment>& segments = arts_.back().art->segments;
        segments.assign(segments_.begin(), segments_.end());
    }

    void FinishArt() {
        ArtInProgress& progress = arts_.back();
        Art& art = *progress.art;
        const Json& fields = progress.fields;
        if (progress.form == ArtForm::kUnknown) Fail("missing key \"type\"");

        art.name = progress.place == ArtInProgress::kLayer ? "Layer " + std::to_string(progress.index + 1)
                                                            : DefaultArtName(art.type);
        art.defaultName = true;
        ReadCommon(fields, art);
        const Json* style = Find(fields, "style");
        if (style != nullptr) {
            PathScope scope(*this, ".style");
            art.SetStyle(styles_.Intern(ReadStyle(*style)));
        }
        art.guide = ReadBool(fields, "guide", false);

        switch (progress.form) {
            case ArtForm::kPath:
                if (!progress.hasSegments) Fail("missing key \"segments\"");
                art.closed = ReadBool(fields, "closed", false);
                break;
            case ArtForm::kCompound:
                if (!progress.hasChildren) Fail("missing key \"children\"");
                if (style != nullptr) {
                    for (const ArtInProgress::Member& member : progress.members) {
                        if (!member.ownStyle) member.art->SetStyle(art.SharedStyleOf());
                    }
                }
                break;
            case ArtForm::kPlugin: {
                const Json* pluginName = Find(fields, "pluginName");
                if (pluginName == nullptr) Fail("missing key \"pluginName\"");
                {
                    PathScope scope(*this, ".pluginName");
                    art.pluginName = Expect(*pluginName, Json::value_t::string, "a string").get<std::string>();
                }
                if (!art.result) {
                    art.result = std::make_unique<Art>();
                    art.result->type = kGroupArt;
                    art.result->name = DefaultArtName(kGroupArt);
                    art.result->defaultName = true;
                }
                break;
            }
            default: break;
        }

        const ArtInProgress::Member member{progress.art, progress.form, style != nullptr};
        const bool isChild = progress.place == ArtInProgress::kChild;
        arts_.pop_back();
        if (isChild) arts_.back().members.push_back(member);
    }

    void FinishRoot() {
        if (!hasLayers_) Fail("missing key \"layers\"");
        SettleSegmentsAside();
        CheckNamesResolved();
        document_.Link();
        finished_ = true;
    }

    std::string_view text_;
    Document document_;
    std::vector<Level> levels_;
    std::vector<size_t> count_;  // for each level, the elements begun so far
    std::vector<ArtInProgress> arts_;
    std::string key_;  // the last key of the innermost streamed object
    ValueGatherer gatherer_;
    SegmentReader segment_;
    std::vector<PathSegment> segments_;  // the path being read, moved into the art at its end
    StyleTable styles_;                  // the styles of the art read so far
    bool hasLayers_ = false;
    bool finished_ = false;
#ifdef QUILLMARK_WITH_SIMDJSON
    // Last, so that its thread stops before the document it writes into goes.
    std::unique_ptr<SegmentWorker> worker_;
#endif
};

Document LoadWithPortableReader(std::string_view text) {
    StreamLoader loader(text);
    ReadJsonPortable(text, kMaxJsonNesting, loader);
    return loader.Take();
}

}  // namespace

bool HasFastJsonReader() {
#ifdef QUILLMARK_WITH_SIMDJSON
    return true;
#else
    return false;
#endif
}

Document LoadDocumentText(std::string_view text, size_t readablePadding, JsonReader reader, JsonReader* used,
                          size_t pieceSize) {
    if (used != nullptr) *used = JsonReader::kPortable;
#ifdef QUILLMARK_WITH_SIMDJSON
    if (reader == JsonReader::kFast) {
        std::string padded;
        std::string_view input = text;
        if (readablePadding < kFastReaderPadding) {
            padded.reserve(text.size() + kFastReaderPadding);
            padded.assign(text);
            padded.append(kFastReaderPadding, '\0');
            input = std::string_view(padded.data(), text.size());
        }
        try {
            StreamLoader loader(input);
            if (ReadJsonFast(input, kMaxJsonNesting, pieceSize, loader)) {
                if (used != nullptr) *used = JsonReader::kFast;
                return loader.Take();
            }
        } catch (const DocumentError&) {
            // The portable reader reads the text again and says what is wrong, and where.
        } catch (const simdjson::simdjson_error&) {
            // Likewise for a fault the fast reader reports by exception.
        }
    }
#else
    (void)readablePadding;
    (void)reader;
    (void)pieceSize;
#endif
    return LoadWithPortableReader(text);
}

Document LoadDocumentFromWindow(FileWindow& window, JsonReader* used, bool* readWhole, size_t pieceSize,
                                size_t asideFrom) {
    if (readWhole != nullptr) *readWhole = false;
    if (window.Base() == 0) {
        while (window.Extend(0)) {
        }
    }
    if (window.Base() == 0 && window.Complete()) {
        return LoadDocumentText(window.View(), FileWindow::kPadding, JsonReader::kFast, used, pieceSize);
    }
    JsonReader reader = JsonReader::kFast;
#ifdef QUILLMARK_WITH_SIMDJSON
    try {
        StreamLoader loader{std::string_view()};
        if (window.SizeWhenOpened() >= asideFrom) loader.ReadSegmentsAside();
        if (ReadJsonFastWindowed(window, kMaxJsonNesting, pieceSize, loader)) {
            if (used != nullptr) *used = JsonReader::kFast;
            return loader.Take();
        }
        // Bad syntax, or a value the window cannot hold: the fast reader reads the whole text.
    } catch (const SegmentsToReadAgain&) {
        // Segments of other forms, which only the loader's walk reads: the file is read again
        // from its start, through a window, all of it by the walk.
        FileWindow again(window.Path(), window.Capacity(), window.Chunk());
        return LoadDocumentFromWindow(again, used, readWhole, pieceSize, SIZE_MAX);
    } catch (const DocumentError&) {
        // The loader refused a value: the portable reader says what is wrong, and where.
        reader = JsonReader::kPortable;
    } catch (const simdjson::simdjson_error&) {
        reader = JsonReader::kPortable;
    }
#else
    (void)asideFrom;
#endif
    if (readWhole != nullptr) *readWhole = true;
    const TextFile file(window.Path());
    return LoadDocumentText(file.Text(), file.Padding(), reader, used, pieceSize);
}

Document LoadDocument(const std::string& jsonText) {
    return LoadDocumentText(jsonText, 0, JsonReader::kFast);
}

Document LoadDocumentFile(const std::string& path) {
    try {
        FileWindow window(path, kJsonWindowSize, kJsonWindowSize);
        if (window.Regular()) return LoadDocumentFromWindow(window);
        const TextFile file(path);
        return LoadDocumentText(file.Text(), file.Padding(), JsonReader::kFast);
    } catch (const DocumentError& error) {
        throw DocumentError(path + ": " + error.what());
    }
}

}  // namespace document
