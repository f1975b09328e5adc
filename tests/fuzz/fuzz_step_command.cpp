// Every command line and failure message of an Apply, for a path and a user
// name taken from the input: for everything the dialog lets through, the tool
// must read back exactly the path, the switches and the name, and no buffer
// size may make composition write past its buffer or hand on a cut command.
//
// Input: path bytes, 0x00, name bytes, 0x00, then two bytes that choose the
// size of a small buffer. Missing parts are empty.
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

struct Input {
    std::string path;
    std::string name;
    size_t typedNameLength;
    unsigned smallSizeChoice;
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
    fprintf(stderr, "step %d, subdirectories %s: %s\n", step, subdirs ? "on" : "off", what);
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
    bool composed =
        ComposeStepCommand(command.body(), command.size(), permissionStep, path, name, subdirs);
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
        std::vector<std::string> split = SplitLikeCRuntime(line);
        if (split != expected)
            Fail("the tool would read other arguments", input, step, subdirs, line, &split);
    }

    if (composed) {
        auto compose = [&](char* buffer, size_t size) {
            return ComposeStepCommand(buffer, size, permissionStep, path, name, subdirs);
        };
        size_t choice = input.smallSizeChoice % (line.size() + 9);
        for (size_t size : {choice, line.size(), line.size() + 1})
            CheckBoundedComposition(input, step, subdirs, line, size, compose);
    }

    if (subdirs)
        return;  // the failure message does not depend on it

    GuardedBuffer message(kCommandBufferSize);
    bool reported = ComposeStepFailure(message.body(), message.size(), permissionStep, path);
    const std::string expectedMessage = input.path + permissionStep.failureText;
    if (!message.GuardsIntact())
        Fail("wrote past the message buffer", input, step, subdirs, message.Text());
    if (!reported || message.Text() != expectedMessage)
        Fail("failure message is not the path and the step's text", input, step, subdirs,
             message.Text());
    auto report = [&](char* buffer, size_t size) {
        return ComposeStepFailure(buffer, size, permissionStep, path);
    };
    size_t choice = input.smallSizeChoice % (expectedMessage.size() + 9);
    for (size_t size : {choice, expectedMessage.size(), expectedMessage.size() + 1})
        CheckBoundedComposition(input, step, subdirs, expectedMessage, size, report);
}

// Whether the text stops after the first byte of a double-byte character,
// read character by character as the tool's runtime reads it.
bool EndsMidCharacter(const std::string& text)
{
    size_t i = 0;
    while (i < text.size()) {
        unsigned char byte = static_cast<unsigned char>(text[i]);
        bool lead = (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
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
                        !hasQuote && !hasColon && !EndsMidCharacter(input.name) &&
                        !EndsMidCharacter(input.path);
    // Whether the name survived the code page is the dialog's to find out from
    // the field's wide text; these bytes are the name as it stands.
    bool accepted = CheckApplyInput(input.typedNameLength, input.name.c_str(), true,
                                    input.path.c_str()) == APPLY_INPUT_OK;
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
