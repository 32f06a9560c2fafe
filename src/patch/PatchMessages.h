#pragma once

// The refusals of the patch readers, in the words the window shows.
namespace PatchMessages {
inline constexpr const char* UnknownFormat = "パッチの形式が不明です";
inline constexpr const char* Truncated = "パッチが途中で切れています";
inline constexpr const char* BrokenRecord = "パッチのレコードが壊れています";
inline constexpr const char* TooLarge = "パッチが16MiBを超える位置に書き込みます";
inline constexpr const char* OutOfRange = "パッチがファイルの範囲外を参照しています";
inline constexpr const char* SourceSizeMismatch = "パッチの元のファイルの大きさが一致しません";
inline constexpr const char* SourceChecksumMismatch = "パッチの元のチェックサムが一致しません";
inline constexpr const char* TargetChecksumMismatch = "パッチの先のチェックサムが一致しません";
inline constexpr const char* PatchChecksumMismatch = "パッチ自身のチェックサムが一致しません";
} // namespace PatchMessages
