// Runs the writers against the substitute host: the plug-in's suite slots are filled from a
// host that answers from a document, as they are during a real export.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "captured_output.h"
#include "shell/platform.h"
#include "shell/records.h"
#include "shell/suite_table.h"
#include "substitute/host.h"
#include "document/json_loader.h"
#include "xaml/document.h"
#include "xaml/document_state.h"

class WriterTest : public ::testing::Test {
protected:
    void TearDown() override { Release(); }

    // Makes `document` the host's and acquires the suite table from it.
    substitute::Host& Use(substitute::Document document) {
        Release();
        document.Link();
        host_ = std::make_unique<substitute::Host>(std::move(document));
        sBasicSuite = host_->Basic();
        EXPECT_EQ(AcquireSuiteTable(host_->Basic()), kNoErr);
        return *host_;
    }
    substitute::Host& Use(const std::string& json) { return Use(document::LoadDocument(json)); }

    // The document transform of extents whose left is `left` and whose top is `top`.
    void SetTransform(HostReal left, HostReal top) {
        sRealMath->IdentityMatrix(&sDocumentTransform);
        sRealMath->ConcatScale(&sDocumentTransform, 1.0f, -1.0f);
        sRealMath->ConcatTranslate(&sDocumentTransform, -left, top);
    }

    enum class Target { kWpf, kWpfe, kDrawingBrush };

    // Exports the host's document and answers the file's text; `status` receives the answer.
    std::string Export(Target target = Target::kWpf, HostErr* status = nullptr) {
        host_->SetKeyState(kRightShiftKey, target == Target::kDrawingBrush ? int16_t(-32768) : int16_t(0));
        const std::string path = ScratchPath();
        const HostErr result = WriteDocument(path.c_str(), target == Target::kWpfe);
        if (status != nullptr) {
            *status = result;
        } else {
            EXPECT_EQ(result, kNoErr);
        }
        std::stringstream text;
        {
            // Read in text mode, as the file was written: on Windows its CR LF line ends read as
            // line feeds. Closed before the removal, which Windows refuses for an open file.
            std::ifstream in(path);
            text << in.rdbuf();
        }
        std::filesystem::remove(path);
        return text.str();
    }

    // The part of an export between the root element's start tag and its end tag.
    static std::string Body(const std::string& file, Target target = Target::kWpf) {
        size_t begin = 0;
        std::string end = "\n</Canvas>";
        if (target == Target::kWpf) {
            begin = file.find('>', file.find("\n<Canvas Width=")) + 1;
        } else if (target == Target::kWpfe) {
            begin = file.find('>', file.find("xmlns:x=")) + 1;
        } else {
            const std::string open = "<DrawingGroup.Children>";
            begin = file.find(open) + open.size();
            end = "\n          </DrawingGroup.Children>";
        }
        return file.substr(begin, file.rfind(end) - begin);
    }

    static std::string ScratchPath() {
        static int counter;
        return (std::filesystem::temp_directory_path() /
                ("quillmark-writer-" + std::to_string(getpid()) + "-" + std::to_string(++counter) + ".xaml"))
            .string();
    }

    substitute::Host& host() { return *host_; }

private:
    void Release() {
        if (host_ == nullptr) return;
        ReleaseSuiteTable(host_->Basic());
        host_.reset();
    }

    std::unique_ptr<substitute::Host> host_;
};
