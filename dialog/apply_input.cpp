#include "dialog/apply_input.h"

#include <string.h>

#include "app/code_page.h"

ApplyInputProblem CheckApplyInput(size_t typedNameLength, const char* userName, bool nameIsExact,
                                  const char* targetPath)
{
    if (typedNameLength > kMaxUserNameLength)
        return APPLY_INPUT_NAME_TOO_LONG;
    if (userName[0] == '\0')
        return APPLY_INPUT_NAME_EMPTY;
    if (!nameIsExact)
        return APPLY_INPUT_NAME_NOT_IN_CODE_PAGE;
    // Neither 0x22 nor 0x3A is ever the trail byte of a code page 932
    // character, so a plain byte search finds exactly the quotes and colons.
    if (strchr(userName, '"') != nullptr)
        return APPLY_INPUT_NAME_HAS_QUOTE;
    if (strchr(userName, ':') != nullptr)
        return APPLY_INPUT_NAME_HAS_COLON;
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
    case APPLY_INPUT_NAME_NOT_IN_CODE_PAGE:
        return "対象ユーザー名に、この環境の文字コードで表せない文字が含まれています。";
    case APPLY_INPUT_NAME_HAS_QUOTE:
        return "対象ユーザー名にダブルクォーテーション (\") は使用できません。";
    case APPLY_INPUT_NAME_HAS_COLON:
        return "対象ユーザー名にコロン (:) は使用できません。";
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
