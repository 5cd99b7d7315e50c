// An XamlOutput whose text the test can read back.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "xaml/output.h"

class CapturedOutput {
public:
    CapturedOutput() : file_(std::tmpfile()), out_(std::make_unique<XamlOutput>()) { InitOutput(out_.get(), file_); }
    ~CapturedOutput() { std::fclose(file_); }
    CapturedOutput(const CapturedOutput&) = delete;
    CapturedOutput& operator=(const CapturedOutput&) = delete;

    XamlOutput* get() { return out_.get(); }

    // Everything written so far; the capture starts empty again.
    std::string Take() {
        FlushOutput(out_.get());
        std::rewind(file_);
        std::string text;
        char chunk[4096];
        size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, file_)) > 0) text.append(chunk, n);
        std::fclose(file_);
        file_ = std::tmpfile();
        InitOutput(out_.get(), file_);
        return text;
    }

private:
    FILE* file_;
    std::unique_ptr<XamlOutput> out_;
};
