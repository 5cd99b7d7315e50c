#include "shell/file_format.h"

#include <cstring>

#include "shell/records.h"
#include "shell/suite_table.h"
#include "xaml/document.h"

namespace {

constexpr char kFileFormatCaller[] = "AI File Format";
constexpr char kGetParametersSelector[] = "AI Get Parameters";
constexpr char kGoSelector[] = "AI Go";
constexpr char kCheckSelector[] = "AI Check";

constexpr size_t kTitleBufferSize = 100;
constexpr char kExtension[] = "xaml";

struct FormatDescription {
    const char* name;
    const char* title;
    int32_t titleOrder;
    FileFormatHandle PluginGlobals::*handle;
};

constexpr int kFormatCount = 2;
constexpr FormatDescription kFormats[kFormatCount] = {
    {"Windows Presentation Foundation XAML format", "Windows Presentation Foundation XAML", 0,
     &PluginGlobals::wpfFormatHandle},
    {"Windows Presentation Foundation/Everywhere XAML format", "Windows Presentation Foundation/Everywhere XAML", 1,
     &PluginGlobals::wpfeFormatHandle},
};

bool IsSame(const char* identifier, const char* name) {
    return sBasicSuite->IsEqual(identifier, name) != 0;
}

void FreeTitles(char* (&titles)[kFormatCount]) {
    for (int format = kFormatCount - 1; format >= 0; --format) {
        if (titles[format] != nullptr) HostFree(titles[format]);
    }
}

}  // namespace

HostErr RegisterFileFormats(MessageRecord* message) {
    // The host copies each title during its registration call; the buffers go afterwards.
    char* titles[kFormatCount] = {};
    HostErr firstError = kNoErr;
    HostErr error = kNoErr;
    for (int format = 0; format < kFormatCount; ++format) {
        const FormatDescription& description = kFormats[format];
        titles[format] = static_cast<char*>(HostAlloc(kTitleBufferSize));
        if (titles[format] == nullptr) {
            FreeTitles(titles);
            return kOutOfMemoryErr;
        }
        std::strncpy(titles[format], description.title, kTitleBufferSize - 1);
        titles[format][kTitleBufferSize - 1] = '\0';
        ToLengthPrefixed(titles[format]);

        FileFormatRegistration registration{};  // the kind code stays unset
        registration.title = reinterpret_cast<const unsigned char*>(titles[format]);
        registration.titleOrder = description.titleOrder;
        registration.extension = kExtension;
        error = sFileFormat->AddFileFormat(message->self, description.name, &registration, kFileFormatExport,
                                           &(sGlobals->*description.handle));
        if (firstError == kNoErr) firstError = error;
    }
    FreeTitles(titles);
    // Either format missing is a failed start-up, not only the second.
    return error != kNoErr ? error : firstError;
}

HostErr DispatchFileFormat(const char* caller, const char* selector, MessageRecord* message) {
    if (!IsSame(caller, kFileFormatCaller)) return kNoErr;
    // Every message of this caller is a file-format message, which begins with the message record.
    auto* fileFormatMessage = reinterpret_cast<FileFormatMessage*>(message);
    if (IsSame(selector, kGetParametersSelector)) return HandleGetParameters(fileFormatMessage);
    if (IsSame(selector, kGoSelector)) return HandleGo(fileFormatMessage);
    if (IsSame(selector, kCheckSelector)) return HandleCheck(fileFormatMessage);
    return kNoErr;
}

HostErr HandleGetParameters(FileFormatMessage*) {
    // Neither format asks the user anything before writing.
    return kNoErr;
}

HostErr HandleGo(FileFormatMessage* message) {
    if ((message->option & kFileFormatExport) == 0) return kNoErr;

    // The path is read no further than its field. One that fills the field without a
    // terminator was cut short somewhere: writing it would create a file of another name.
    const void* terminator = std::memchr(message->path, '\0', kFileFormatPathSize);
    if (terminator == nullptr) return kBadParameterErr;
    char path[kFileFormatPathSize];
    std::memcpy(path, message->path, static_cast<const char*>(terminator) - message->path + 1);

    // Only the second format's handle selects WPF/E; any other handle, known or not, is WPF.
    const bool everywhere = sGlobals != nullptr && message->format == sGlobals->wpfeFormatHandle;
    return WriteDocument(path, everywhere);
}

HostErr HandleCheck(FileFormatMessage* message) {
    return sGlobals != nullptr && message->format == sGlobals->wpfeFormatHandle ? 1 : 0;
}
