#include "app/screen_text.h"

namespace {

constexpr UINT kOwnTextCodePage = 932;
// A path of 263 bytes and the longest text the program shows after it take
// far fewer units; a caption is a word.
constexpr size_t kMessageTextSize = 1024;
constexpr size_t kCaptionSize = 64;

bool AppendWidened(wchar_t* buffer, size_t size, size_t* length, UINT codePage, const char* text)
{
    if (*length >= size)
        return false;
    int written = MultiByteToWideChar(codePage, 0, text, -1, buffer + *length,
                                      static_cast<int>(size - *length));
    if (written <= 0) {
        buffer[*length] = 0;
        return false;
    }
    *length += static_cast<size_t>(written - 1);
    return true;
}

}  // namespace

bool AppendOwnText(wchar_t* buffer, size_t size, size_t* length, const char* text)
{
    return AppendWidened(buffer, size, length, kOwnTextCodePage, text) ||
           AppendWidened(buffer, size, length, CP_ACP, text);
}

bool AppendSystemText(wchar_t* buffer, size_t size, size_t* length, const char* text)
{
    return AppendWidened(buffer, size, length, CP_ACP, text);
}

void ShowMessage(HWND owner, const char* systemText, const char* ownText, const char* ownCaption,
                 UINT style)
{
    wchar_t text[kMessageTextSize];
    size_t length = 0;
    text[0] = 0;
    if (systemText != nullptr)
        AppendSystemText(text, kMessageTextSize, &length, systemText);
    AppendOwnText(text, kMessageTextSize, &length, ownText);
    wchar_t caption[kCaptionSize];
    size_t captionLength = 0;
    caption[0] = 0;
    AppendOwnText(caption, kCaptionSize, &captionLength, ownCaption);
    MessageBoxW(owner, text, caption, style | MB_OK);
}
