// The XML layer: element events with namespace-split names. Expat reads every file, set up so
// that it never loads anything (no external entity, DTD or file, nothing from the network) and
// bounds entity expansion; the common plain file (UTF-8, no DTD of its own, no entity but XML's
// five) is read by a faster parser first (xml_fast_reader.h).
#pragma once

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace document::svg {

struct XmlName {
    std::string_view ns;  // the namespace URI, empty for none
    std::string_view local;
};

struct XmlAttribute {
    XmlName name;
    std::string_view value;
};

// Where the event's element starts, worked out when asked for: the line of every element kept,
// the column only for a message.
class XmlPosition {
public:
    virtual long Line() const = 0;    // from 1
    virtual long Column() const = 0;  // from 1

protected:
    ~XmlPosition() = default;
};

// Receives the document's events. A handler may throw (SvgError, bad_alloc): parsing stops and
// the exception leaves ReadXml.
class XmlHandler {
public:
    virtual ~XmlHandler() = default;
    virtual void StartElement(const XmlName& name, std::span<const XmlAttribute> attributes,
                              const XmlPosition& where) = 0;
    virtual void EndElement() = 0;
    virtual void Text(std::string_view text) = 0;
    // Called before the first event when every name, value and text handed out afterwards
    // stays readable for as long as `owner` lives, so that the handler may keep them without
    // copying them.
    virtual void KeepText(std::shared_ptr<const void> owner) { (void)owner; }
    // The fast parser declined the file after giving some of its events (those before the
    // place it cannot read as expat does): they are void, and the file is read again from its
    // start. The handler must be as if it had been given nothing.
    virtual void Restart() = 0;
};

// Parses `text`; malformed XML and entity expansion beyond the bound throw SvgError with the
// file name, line and column. Text of white space only between elements may or may not be
// reported.
void ReadXml(std::string_view text, const std::string& fileName, XmlHandler& handler);

// Text the reader may write into as it reads it, so that a large file is held once rather than
// as the file's bytes and the parser's copy of them.
struct WritableXml {
    char* data = nullptr;  // `size` bytes and a NUL byte after them
    size_t size = 0;
    // Keeps `data` for as long as the handler keeps the names and values it was given (see
    // KeepText); empty when the text outlives the handler's use of it.
    std::shared_ptr<const void> owner;
    // The bytes as they were before the reader wrote into them: needed when the fast parser
    // declines a file midway (expat then reads it) and for an error's column. May throw.
    std::function<std::string()> readAgain;
};

// The same as ReadXml, reading `text` where it stands: its bytes are changed.
void ReadXmlInPlace(const WritableXml& text, const std::string& fileName, XmlHandler& handler);

// The same with expat alone, the parser that reads every file (ReadXml leaves it the files
// that its faster parser does not take).
void ReadXmlWithExpat(std::string_view text, const std::string& fileName, XmlHandler& handler);

}  // namespace document::svg
