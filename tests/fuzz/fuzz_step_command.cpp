// Every command line of an Apply, for a path and a user name taken from the
// input and read in one of the ANSI code pages Windows may have: for
// everything the dialog lets through, the tool must read back exactly the
// path, the switches and the name, and no buffer size may make composition
// write past its buffer or hand on a cut command.
//
// Input: path bytes, 0x00, name bytes, 0x00, then two bytes that choose the
// size of a small buffer and one that chooses the code page. Missing parts
// are empty; a missing code page is 932.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "app/app_state.h"
#include "dialog/apply_input.h"
#include "permissions/step_commands.h"
#include "tests/support/code_pages.h"
#include "tests/support/crt_split.h"

namespace {

constexpr size_t kGuardSize = 64;
constexpr unsigned char kGuardByte = 0xA5;
constexpr unsigned char kStaleByte = 0x5A;

// What the tool must see for each step, in the order the steps run; written
// out here rather than read from kPermissionSteps, so a reordered or changed
// table is caught.
struct ExpectedStep {
    const char* action;
    const char* grant;
};
const ExpectedStep kExpectedSteps[kPermissionStepCount] = {
    {"/R", ""}, {"/G", ":R"}, {"/G", ":W"}, {"/G", ":C"}, {"/G", ":F"},
};

// The code pages, each with its lead bytes written out here rather than read
// from the rule under test.
struct CodePage {
    unsigned number;
    LeadByteRule (*rule)();
    bool (*isLead)(unsigned char byte);
};
const CodePage kCodePages[] = {
    {932, test_code_pages::Cp932,
     [](unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }},
    {936, test_code_pages::Cp936, [](unsigned char b) { return b >= 0x81 && b <= 0xFE; }},
    {949, test_code_pages::Cp949, [](unsigned char b) { return b >= 0x81 && b <= 0xFE; }},
    {950, test_code_pages::Cp950, [](unsigned char b) { return b >= 0x81 && b <= 0xFE; }},
    {1252, test_code_pages::Cp1252, [](unsigned char) { return false; }},
    {65001, test_code_pages::Utf8, [](unsigned char) { return false; }},
};

struct Input {
    std::string path;
    std::string name;
    size_t typedNameLength;
    unsigned smallSizeChoice;
    const CodePage* codePage;
    LeadByteRule rule;
};

// The path as the target-path buffer holds it, the name as the user-name
// buffer holds it; the typed length is what the dialog measured in the field.
Input ParseInput(const uint8_t* data, size_t size)
{
    const std::string all(reinterpret_cast<const char*>(data), size);
    Input input;
    size_t pathEnd = all.find('\0');
    input.path = all.substr(0, pathEnd);
    if (input.path.size() > kTargetPathSize - 1)
        input.path.resize(kTargetPathSize - 1);
    std::string rest = pathEnd == std::string::npos ? std::string() : all.substr(pathEnd + 1);
    size_t nameEnd = rest.find('\0');
    std::string typed = rest.substr(0, nameEnd);
    input.typedNameLength = typed.size();
    input.name = typed.substr(0, kMaxUserNameLength);
    std::string choice = nameEnd == std::string::npos ? std::string() : rest.substr(nameEnd + 1);
    input.smallSizeChoice = 0;
    for (size_t i = 0; i < choice.size() && i < 2; ++i)
        input.smallSizeChoice |= static_cast<unsigned>(static_cast<unsigned char>(choice[i]))
                                 << (8 * i);
    size_t codePageChoice = choice.size() > 2 ? static_cast<unsigned char>(choice[2]) : 0;
    input.codePage = &kCodePages[codePageChoice % (sizeof kCodePages / sizeof kCodePages[0])];
    input.rule = input.codePage->rule();
    return input;
}

std::string Hex(const std::string& bytes)
{
    std::string out;
    char digits[4];
    for (unsigned char byte : bytes) {
        snprintf(digits, sizeof digits, "%s%02X", out.empty() ? "" : " ", byte);
        out += digits;
    }
    return out;
}

[[noreturn]] void Fail(const char* what, const Input& input, int step, bool subdirs,
                       const std::string& text, const std::vector<std::string>* split = nullptr)
{
    fprintf(stderr, "code page %u, step %d, subdirectories %s: %s\n", input.codePage->number, step,
            subdirs ? "on" : "off", what);
    fprintf(stderr, "path (%zu bytes): %s\n", input.path.size(), Hex(input.path).c_str());
    fprintf(stderr, "name (%zu bytes, typed %zu): %s\n", input.name.size(), input.typedNameLength,
            Hex(input.name).c_str());
    fprintf(stderr, "text (%zu bytes): %s\n", text.size(), Hex(text).c_str());
    if (split) {
        for (size_t i = 0; i < split->size(); ++i)
            fprintf(stderr, "  argument %zu: [%s]\n", i, Hex((*split)[i]).c_str());
    }
    abort();
}

// A buffer of a given size with guard bytes on both sides; the body starts
// out holding a stale, unterminated string.
class GuardedBuffer {
public:
    explicit GuardedBuffer(size_t size) : size_(size), bytes_(kGuardSize + size + kGuardSize)
    {
        memset(bytes_.data(), kGuardByte, bytes_.size());
        memset(body(), kStaleByte, size_);
    }
    char* body() { return reinterpret_cast<char*>(bytes_.data() + kGuardSize); }
    size_t size() const { return size_; }
    bool GuardsIntact() const
    {
        for (size_t i = 0; i < kGuardSize; ++i) {
            if (bytes_[i] != kGuardByte || bytes_[kGuardSize + size_ + i] != kGuardByte)
                return false;
        }
        return true;
    }
    // The text up to the terminator, or the whole body when there is none.
    std::string Text()
    {
        const void* end = memchr(body(), 0, size_);
        return std::string(body(), end ? static_cast<const char*>(end) - body() : size_);
    }
    bool Terminated() { return memchr(body(), 0, size_) != nullptr; }

private:
    size_t size_;
    std::vector<unsigned char> bytes_;
};

// Composition into a buffer of any size: the whole text when it fits
// together with its terminator, otherwise false and an empty buffer.
template <typename Compose>
void CheckBoundedComposition(const Input& input, int step, bool subdirs, const std::string& whole,
                             size_t bufferSize, Compose compose)
{
    GuardedBuffer buffer(bufferSize);
    bool fits = compose(buffer.body(), buffer.size());
    if (!buffer.GuardsIntact())
        Fail("wrote past a small buffer", input, step, subdirs, whole);
    if (fits != (whole.size() < bufferSize))
        Fail(fits ? "claims to fit a buffer too small for it" : "refused a buffer it fits", input,
             step, subdirs, whole);
    if (bufferSize == 0)
        return;
    if (!buffer.Terminated())
        Fail("left a small buffer unterminated", input, step, subdirs, whole);
    if (fits ? buffer.Text() != whole : buffer.body()[0] != '\0')
        Fail(fits ? "gave other text in a small buffer" : "left a cut text in a small buffer",
             input, step, subdirs, buffer.Text());
}

void CheckStep(const Input& input, bool accepted, int step, bool subdirs)
{
    const PermissionStep& permissionStep = kPermissionSteps[step];
    const char* path = input.path.c_str();
    const char* name = input.name.c_str();

    GuardedBuffer command(kCommandBufferSize);
    bool composed = ComposeStepCommand(command.body(), command.size(), permissionStep, path, name,
                                       subdirs, input.rule);
    if (!command.GuardsIntact())
        Fail("wrote past the command buffer", input, step, subdirs, command.Text());
    if (!command.Terminated())
        Fail("left the command buffer unterminated", input, step, subdirs, command.Text());
    const std::string line = command.Text();

    if (accepted) {
        if (!composed)
            Fail("refused an accepted input", input, step, subdirs, line);
        std::vector<std::string> expected = {"cacls", input.path, "/E", kExpectedSteps[step].action,
                                             input.name + kExpectedSteps[step].grant};
        if (subdirs)
            expected.push_back("/T");
        std::vector<std::string> split = SplitLikeCRuntime(line, input.rule);
        if (split != expected)
            Fail("the tool would read other arguments", input, step, subdirs, line, &split);
    }

    if (composed) {
        auto compose = [&](char* buffer, size_t size) {
            return ComposeStepCommand(buffer, size, permissionStep, path, name, subdirs,
                                      input.rule);
        };
        size_t choice = input.smallSizeChoice % (line.size() + 9);
        for (size_t size : {choice, line.size(), line.size() + 1})
            CheckBoundedComposition(input, step, subdirs, line, size, compose);
    }
}

// Whether the text stops after the first byte of a double-byte character,
// read character by character as the tool's runtime reads it.
bool EndsMidCharacter(const std::string& text, const CodePage& codePage)
{
    size_t i = 0;
    while (i < text.size()) {
        bool lead = codePage.isLead(static_cast<unsigned char>(text[i]));
        if (lead && i + 1 == text.size())
            return true;
        i += lead ? 2 : 1;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const Input input = ParseInput(data, size);

    bool hasQuote =
        input.name.find('"') != std::string::npos || input.path.find('"') != std::string::npos;
    // cacls would read a colon as the start of the right.
    bool hasColon = input.name.find(':') != std::string::npos;
    bool shouldAccept = input.typedNameLength > 0 && input.typedNameLength <= kMaxUserNameLength &&
                        !hasQuote && !hasColon && !EndsMidCharacter(input.name, *input.codePage) &&
                        !EndsMidCharacter(input.path, *input.codePage);
    // Whether the name survived the code page is the dialog's to find out from
    // the field's wide text; these bytes are the name as it stands.
    bool accepted = CheckApplyInput(input.typedNameLength, input.name.c_str(), true,
                                    input.path.c_str(), input.rule) == APPLY_INPUT_OK;
    if (accepted != shouldAccept)
        Fail(accepted ? "CheckApplyInput let through an input it must refuse"
                      : "CheckApplyInput refused a valid input",
             input, -1, false, std::string());

    for (int step = 0; step < kPermissionStepCount; ++step) {
        for (bool subdirs : {false, true})
            CheckStep(input, accepted, step, subdirs);
    }
    return 0;
}
