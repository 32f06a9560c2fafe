#pragma once

#include "base/TextMark.h"

// The refusals of the patch readers, in the words the window shows.
namespace PatchMessages {
inline constexpr const char* UnknownFormat = K6_TEXT("DataMessages", "パッチの形式が不明です");
inline constexpr const char* Truncated = K6_TEXT("DataMessages", "パッチが途中で切れています");
inline constexpr const char* BrokenRecord =
    K6_TEXT("DataMessages", "パッチのレコードが壊れています");
inline constexpr const char* TooLarge =
    K6_TEXT("DataMessages", "パッチが16MiBを超える位置に書き込みます");
inline constexpr const char* OutOfRange =
    K6_TEXT("DataMessages", "パッチがファイルの範囲外を参照しています");
inline constexpr const char* SourceSizeMismatch =
    K6_TEXT("DataMessages", "パッチの元のファイルの大きさが一致しません");
inline constexpr const char* SourceChecksumMismatch =
    K6_TEXT("DataMessages", "パッチの元のチェックサムが一致しません");
inline constexpr const char* TargetChecksumMismatch =
    K6_TEXT("DataMessages", "パッチの先のチェックサムが一致しません");
inline constexpr const char* PatchChecksumMismatch =
    K6_TEXT("DataMessages", "パッチ自身のチェックサムが一致しません");
} // namespace PatchMessages
