#pragma once

// The messages of ECommError, as the operator sees them.
namespace qpane::commx_text {

inline constexpr const char* kAlreadyOpen = "ポートは、すでにオープンされています";
inline constexpr const char* kOpenFailed = "ポートをオープンできませんでした";
inline constexpr const char* kBuffers = "通信用ポートのバッファを準備できませんでした";
inline constexpr const char* kBitRate = "通信速度の設定でエラーが発生しました";
inline constexpr const char* kCharSize = "通信ビット数の設定でエラーが発生しました";
inline constexpr const char* kParity = "通信パリティチェックの設定でエラーが発生しました";
inline constexpr const char* kStopBits = "通信ストップビット数の設定でエラーが発生しました";
inline constexpr const char* kFlowCtrl = "通信フロー制御の設定で失敗しました";
inline constexpr const char* kTimeouts = "通信タイムアウト時間の設定で失敗しました";
inline constexpr const char* kTransThread = "送信用スレッドを生成できませんでした";
inline constexpr const char* kReceiveThread = "受信用スレッドを生成できませんでした";

}  // namespace qpane::commx_text
