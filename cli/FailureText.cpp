#include "cli/FailureText.h"

#include <cstdlib>
#include <cstring>

namespace cli {

namespace {

bool setAndNotEmpty(const char* value)
{
    return value != nullptr && *value != '\0';
}

// Puts the arguments in place of %1 and %2.
std::string fill(const char* pattern, const std::string& first = std::string(),
                 const std::string& second = std::string())
{
    std::string text;
    for (const char* p = pattern; *p != '\0'; ++p) {
        if (p[0] == '%' && (p[1] == '1' || p[1] == '2')) {
            text += p[1] == '1' ? first : second;
            ++p;
        } else {
            text += *p;
        }
    }
    return text;
}

// "what: reason", or what alone when no reason was given. A reason of
// several lines (a decoder's own messages after its summary) goes on one.
std::string withReason(const std::string& what, const char* reason)
{
    std::string why;
    bool lineBreak = false;
    for (const char* p = reason; *p != '\0'; ++p) {
        if (*p == '\n' || *p == '\r') {
            lineBreak = !why.empty();
            continue;
        }
        if (lineBreak)
            why += "; ";
        lineBreak = false;
        why += *p;
    }
    return why.empty() ? what : what + ": " + why;
}

struct Words {
    const char* noSource;
    const char* noFolder;
    const char* noOutput;
    const char* suffixClash;
    const char* dotName;
    const char* nullArgument;
    const char* notAFolder;
    const char* folderNoParent;
    const char* folderNotMade;
    const char* badName;
    const char* notOpened;
    const char* notDecoded;
    const char* tooLarge;
    const char* notCut;
    const char* notConverted;
    const char* notWritten;
    const char* cancelled;
    const char* other;
};

const Words english{
    "No input picture was given.",
    "No output folder was given.",
    "No output is chosen: choose at least one of with alpha, without alpha and alpha only.",
    "Two outputs have the same suffix (letter case does not count).",
    "An output file name cannot begin with '.'.",
    "No input picture or no output folder was passed.",
    "The output folder '%1' is not a folder.",
    "The output folder '%1' cannot be made: its parent '%2' does not exist",
    "The output folder '%1' cannot be made",
    "'%1' cannot be used as a name",
    "Cannot open '%1'",
    "Cannot read '%1' as a picture",
    "'%1' is too large to convert",
    "'%1' could not be cut into cells.",
    "A cell of '%1' could not be converted.",
    "Cannot write '%1'",
    "The conversion was stopped.",
    "The conversion failed (code %1)",
};

const Words japanese{
    "入力画像が指定されていません。",
    "出力フォルダが指定されていません。",
    "出力する画像がありません。アルファチャネル付き、無し、のみのどれかを選んでください。",
    "二つの出力のサフィックスが同じです（大文字と小文字は区別しません）。",
    "出力ファイル名を「.」で始めることはできません。",
    "入力画像か出力フォルダが渡されていません。",
    "出力フォルダ '%1' はフォルダではありません。",
    "出力フォルダ '%1' を作れません: 親フォルダ '%2' がありません。",
    "出力フォルダ '%1' を作れません",
    "'%1' は名前に使えません",
    "'%1' を開けません",
    "'%1' を画像として読めません",
    "'%1' は大きすぎて変換できません",
    "'%1' をセルに分けられませんでした。",
    "'%1' のセルを変換できませんでした。",
    "'%1' に書き込めません",
    "変換は中止されました。",
    "変換中にエラーが起きました（コード %1）",
};

} // namespace

Language messageLanguage(const char* lcAll, const char* lcMessages, const char* lang)
{
    const char* chosen = setAndNotEmpty(lcAll) ? lcAll : setAndNotEmpty(lcMessages) ? lcMessages : lang;
    return setAndNotEmpty(chosen) && std::strncmp(chosen, "ja", 2) == 0 ? Language::Japanese : Language::English;
}

Language messageLanguageFromEnvironment()
{
    return messageLanguage(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG"));
}

std::string failureText(const PixwrightFailure& failure, Language language)
{
    const Words& w = language == Language::Japanese ? japanese : english;
    const std::string path = failure.path;
    switch (failure.kind) {
    case PIXWRIGHT_FAILURE_REQUEST:
        switch (failure.code) {
        case PIXWRIGHT_RESULT_NO_SOURCE_PATH:
            return w.noSource;
        case PIXWRIGHT_RESULT_NO_OUTPUT_FOLDER:
            return w.noFolder;
        case PIXWRIGHT_RESULT_NO_OUTPUT:
            return w.noOutput;
        case PIXWRIGHT_RESULT_SUFFIX_CLASH:
            return w.suffixClash;
        case PIXWRIGHT_RESULT_BAD_OUTPUT_NAME:
            return w.dotName;
        default:
            return w.nullArgument;
        }
    case PIXWRIGHT_FAILURE_NOT_A_FOLDER:
        return fill(w.notAFolder, path);
    case PIXWRIGHT_FAILURE_FOLDER_NO_PARENT:
        return fill(w.folderNoParent, path, failure.other);
    case PIXWRIGHT_FAILURE_FOLDER_NOT_MADE:
        return withReason(fill(w.folderNotMade, path), failure.reason);
    case PIXWRIGHT_FAILURE_BAD_NAME:
        return withReason(fill(w.badName, path), failure.reason);
    case PIXWRIGHT_FAILURE_SOURCE_NOT_OPENED:
        return withReason(fill(w.notOpened, path), failure.reason);
    case PIXWRIGHT_FAILURE_SOURCE_NOT_DECODED:
        return withReason(fill(w.notDecoded, path), failure.reason);
    case PIXWRIGHT_FAILURE_SOURCE_TOO_LARGE:
        return withReason(fill(w.tooLarge, path), failure.reason);
    case PIXWRIGHT_FAILURE_NOT_CUT:
        return fill(w.notCut, path);
    case PIXWRIGHT_FAILURE_NOT_CONVERTED:
        return fill(w.notConverted, path);
    case PIXWRIGHT_FAILURE_NOT_WRITTEN:
        return withReason(fill(w.notWritten, path), failure.reason);
    case PIXWRIGHT_FAILURE_CANCELLED:
        return w.cancelled;
    default:
        return withReason(fill(w.other, std::to_string(failure.code)), failure.reason);
    }
}

std::string stoppedText(long filesWritten, Language language)
{
    const std::string count = std::to_string(filesWritten);
    if (language == Language::Japanese)
        return "中止しました: " + count + " 個のファイルを書き出しました";
    return "stopped: " + count + (filesWritten == 1 ? " file written" : " files written");
}

} // namespace cli
