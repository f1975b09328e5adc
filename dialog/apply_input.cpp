#include "dialog/apply_input.h"

#include <string.h>

#include "app/code_page.h"

ApplyInputProblem CheckApplyInput(size_t typedNameLength, const char* userName, bool nameIsExact,
                                  const char* targetPath, const LeadByteRule& rule)
{
    if (typedNameLength > kMaxUserNameLength)
        return APPLY_INPUT_NAME_TOO_LONG;
    if (userName[0] == '\0')
        return APPLY_INPUT_NAME_EMPTY;
    if (!nameIsExact)
        return APPLY_INPUT_NAME_NOT_IN_CODE_PAGE;
    // No trail byte of a double-byte code page is below 0x40, so a plain
    // byte search finds exactly the quotes (0x22) and colons (0x3A).
    if (strchr(userName, '"') != nullptr)
        return APPLY_INPUT_NAME_HAS_QUOTE;
    if (strchr(userName, ':') != nullptr)
        return APPLY_INPUT_NAME_HAS_COLON;
    if (EndsInIncompleteCharacter(userName, rule))
        return APPLY_INPUT_NAME_INCOMPLETE_CHARACTER;
    if (strchr(targetPath, '"') != nullptr)
        return APPLY_INPUT_PATH_HAS_QUOTE;
    if (EndsInIncompleteCharacter(targetPath, rule))
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
