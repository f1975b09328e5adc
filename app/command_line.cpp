#include "app/command_line.h"

namespace {

// The narrow and the wide command line are read by one rule, written once:
// the target is checked by scanning both and comparing what each gives.
template <typename Unit>
bool IsBlank(Unit unit)
{
    return unit >= 0x01 && unit <= 0x20;
}

template <typename Unit>
const Unit* FindTail(const Unit* p)
{
    bool quoted = false;
    for (; *p != 0; ++p) {
        if (*p == '"')
            quoted = !quoted;
        else if (!quoted && IsBlank(*p))
            break;
    }
    while (IsBlank(*p))
        ++p;
    return p;
}

template <typename Unit, typename Stored>
FirstArgumentResult ExtractFirst(const Unit* p, Stored* target, size_t targetSize)
{
    if (*p == 0 || targetSize == 0)
        return FIRST_ARGUMENT_OK;

    bool started = false;
    bool quoted = false;
    size_t length = 0;
    for (; *p != 0; ++p) {
        if (!started) {
            if (IsBlank(*p))
                continue;
            started = true;
            if (*p == '"') {
                quoted = true;
                continue;
            }
        } else if (IsBlank(*p) ? !quoted : (*p == '"' && quoted)) {
            break;
        }
        if (length + 1 >= targetSize) {
            target[0] = 0;
            return FIRST_ARGUMENT_TOO_LONG;
        }
        target[length++] = static_cast<Stored>(*p);
    }
    target[length] = 0;
    return FIRST_ARGUMENT_OK;
}

}  // namespace

// Bytes are compared as unsigned values, so a byte above 0x7F is never a blank.
const char* FindCommandLineTail(const char* commandLine)
{
    return reinterpret_cast<const char*>(
        FindTail(reinterpret_cast<const unsigned char*>(commandLine)));
}

FirstArgumentResult ExtractFirstArgument(const char* source, char* target, size_t targetSize)
{
    return ExtractFirst(reinterpret_cast<const unsigned char*>(source), target, targetSize);
}

const wchar_t* FindWideCommandLineTail(const wchar_t* commandLine)
{
    return FindTail(commandLine);
}

FirstArgumentResult ExtractWideFirstArgument(const wchar_t* source, wchar_t* target,
                                             size_t targetSize)
{
    return ExtractFirst(source, target, targetSize);
}
