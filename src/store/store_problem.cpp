#include "store/store_problem.h"

#include <sqlite3.h>

namespace qpane {

std::string storeProblem(int code) {
    switch (code & 0xFF) {
        case SQLITE_FULL:
            return "ディスクがいっぱいです。不要なファイルを削除してディスクに空きを作ってください"
                   "。";
        case SQLITE_READONLY:
            return "結果データベースが読み取り専用です。ファイルとデータフォルダーに書き込みの"
                   "権限を与えてください。";
        case SQLITE_PERM:
            return "結果データベースへのアクセスが許可されていません。ファイルとデータフォルダー"
                   "の権限を確かめてください。";
        case SQLITE_CANTOPEN:
            return "結果データベースまたはその作業用のファイルを開けません。データフォルダーが"
                   "あり、書き込みの権限があることを確かめてください。";
        case SQLITE_IOERR:
            return "ディスクの読み書きでエラーが起きました。ディスクとその接続を確かめてください。";
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return "他のプログラムが結果データベースを使用中です。そのプログラムを終了してくださ"
                   "い。";
        default: return {};
    }
}

bool isWriteFailure(int code) {
    return !storeProblem(code).empty();
}

EDatabaseError storeError(int code, const std::string& engineText) {
    const std::string problem = storeProblem(code);
    return EDatabaseError(problem.empty() ? engineText : problem + "\n" + engineText, code,
                          engineText);
}

bool EDatabaseError::writeFailed() const {
    return isWriteFailure(code_);
}

}  // namespace qpane
