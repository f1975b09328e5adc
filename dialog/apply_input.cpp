#include "dialog/apply_input.h"

#include <string.h>

#include "app/code_page.h"

ApplyInputProblem CheckApplyInput(size_t typedNameLength, const char* userName,
                                  const char* targetPath)
{
    if (typedNameLength > kMaxUserNameLength)
        return APPLY_INPUT_NAME_TOO_LONG;
    if (userName[0] == '\0')
        return APPLY_INPUT_NAME_EMPTY;
    // 0x22 is never the trail byte of a code page 932 character, so a plain
    // byte search finds exactly the double quotes.
    if (strchr(userName, '"') != nullptr)
        return APPLY_INPUT_NAME_HAS_QUOTE;
    if (EndsInIncompleteCharacter(userName))
        return APPLY_INPUT_NAME_INCOMPLETE_CHARACTER;
    if (strchr(targetPath, '"') != nullptr)
        return APPLY_INPUT_PATH_HAS_QUOTE;
    if (EndsInIncompleteCharacter(targetPath))
        return APPLY_INPUT_PATH_INCOMPLETE_CHARACTER;
    return APPLY_INPUT_OK;
}

const char* DescribeApplyInputProblem(ApplyInputProblem problem)
{
    switch (problem) {
    case APPLY_INPUT_NAME_EMPTY:
        return "対象ユーザー名を入力してください。";
    case APPLY_INPUT_NAME_TOO_LONG:
        return "対象ユーザー名が長すぎます。254 バイトまでの名前を入力してください。";
    case APPLY_INPUT_NAME_HAS_QUOTE:
        return "対象ユーザー名にダブルクォーテーション (\") は使用できません。";
    case APPLY_INPUT_PATH_HAS_QUOTE:
        return "対象のパスにダブルクォーテーション (\") が含まれているため、"
               "アクセス許可を変更できません。";
    case APPLY_INPUT_NAME_INCOMPLETE_CHARACTER:
        return "対象ユーザー名の末尾の文字が正しくありません。";
    case APPLY_INPUT_PATH_INCOMPLETE_CHARACTER:
        return "対象のパスの末尾の文字が正しくないため、アクセス許可を変更できません。";
    case APPLY_INPUT_OK:
        break;
    }
    return nullptr;
}
