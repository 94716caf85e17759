#include "gui/FailureMessage.h"

#include <QDir>

namespace {

QString pathText(const char* path)
{
    return QDir::toNativeSeparators(QString::fromUtf8(path));
}

// The system's words come in the locale's encoding.
QString reasonText(const char* reason)
{
    return QString::fromLocal8Bit(reason).trimmed();
}

// "what: reason", or what alone when no reason was given.
QString withReason(const QString& what, const char* reason)
{
    const QString why = reasonText(reason);
    return why.isEmpty() ? what : what + QStringLiteral(": ") + why;
}

} // namespace

QString TFailureMessage::text(const PixwrightFailure& failure)
{
    const QString path = pathText(failure.path);
    switch (failure.kind) {
    case PIXWRIGHT_FAILURE_REQUEST:
        switch (failure.code) {
        case PIXWRIGHT_RESULT_NO_SOURCE_PATH:
            return tr("入力画像が指定されていません。");
        case PIXWRIGHT_RESULT_NO_OUTPUT_FOLDER:
            return tr("出力フォルダが指定されていません。");
        case PIXWRIGHT_RESULT_NO_OUTPUT:
            return tr("出力する画像がありません。アルファチャネル付き、無し、のみのどれかを選んでください。");
        case PIXWRIGHT_RESULT_SUFFIX_CLASH:
            return tr("二つの出力のサフィックスが同じです（大文字と小文字は区別しません）。");
        case PIXWRIGHT_RESULT_BAD_OUTPUT_NAME:
            return tr("出力ファイル名を「.」で始めることはできません。");
        default:
            return tr("入力画像か出力フォルダが渡されていません。");
        }
    case PIXWRIGHT_FAILURE_NOT_A_FOLDER:
        return tr("出力フォルダ '%1' はフォルダではありません。").arg(path);
    case PIXWRIGHT_FAILURE_FOLDER_NO_PARENT:
        return tr("出力フォルダ '%1' を作れません: 親フォルダ '%2' がありません。").arg(path, pathText(failure.other));
    case PIXWRIGHT_FAILURE_FOLDER_NOT_MADE:
        return withReason(tr("出力フォルダ '%1' を作れません").arg(path), failure.reason);
    case PIXWRIGHT_FAILURE_BAD_NAME:
        return withReason(tr("'%1' は名前に使えません").arg(path), failure.reason);
    case PIXWRIGHT_FAILURE_SOURCE_NOT_OPENED:
        return withReason(tr("'%1' を開けません").arg(path), failure.reason);
    case PIXWRIGHT_FAILURE_SOURCE_NOT_DECODED:
        return withReason(tr("'%1' を画像として読めません").arg(path), failure.reason);
    case PIXWRIGHT_FAILURE_SOURCE_TOO_LARGE:
        return withReason(tr("'%1' は大きすぎて変換できません").arg(path), failure.reason);
    case PIXWRIGHT_FAILURE_NOT_CUT:
        return tr("'%1' をセルに分けられませんでした。").arg(path);
    case PIXWRIGHT_FAILURE_NOT_CONVERTED:
        return tr("'%1' のセルを変換できませんでした。").arg(path);
    case PIXWRIGHT_FAILURE_NOT_WRITTEN:
        return withReason(tr("'%1' に書き込めません").arg(path), failure.reason);
    case PIXWRIGHT_FAILURE_CANCELLED:
        return tr("変換は中止されました。");
    default:
        return withReason(tr("変換中にエラーが起きました（コード %1）").arg(failure.code), failure.reason);
    }
}
