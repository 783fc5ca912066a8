#include "Exceptions.h"

#include "Cp932.h"

#include <cstdio>

namespace {

std::string Replace(std::string text, std::string_view placeholder, const std::string& value)
{
    const auto at = text.find(placeholder);
    if (at != std::string::npos)
        text.replace(at, placeholder.size(), value);
    return text;
}

} // namespace

Exception::Exception(const AnsiString& message) : message_(Cp932ToUtf8(message)) {}

Exception::Exception(Utf8 message) : message_(std::move(message.text)) {}

Exception::~Exception() = default;

AnsiString Exception::Message() const
{
    return Utf8ToCp932(message_);
}

EReadError::EReadError() : Exception(Utf8{"ストリームからの読み込みエラー"}) {}

EFOpenError::EFOpenError(const std::string& path)
    : Exception(Utf8{Replace("ファイル %s は開けません", "%s", path)})
{
}

EFCreateError::EFCreateError(const std::string& path)
    : Exception(Utf8{Replace("ファイル %s を作成できません", "%s", path)})
{
}

EWriteError::EWriteError(const std::string& path)
    : Exception(Utf8{Replace("ファイル %s に書き込めません", "%s", path)})
{
}

EInvalidGraphic::EInvalidGraphic() : Exception(Utf8{"ビットマップイメージが不正です"}) {}

EInvalidGraphicFormat::EInvalidGraphicFormat(const std::string& extension)
    : Exception(Utf8{Replace("不明な拡張子のイメージファイルです (.%s)", "%s", extension)})
{
}

EPictureTooLarge::EPictureTooLarge(long long width, long long height)
    : Exception(Utf8{
          Replace(Replace("画像 %w × %h ピクセルは大きすぎて読み込めません", "%w", std::to_string(width)),
                  "%h", std::to_string(height))})
{
}

EFileTooLarge::EFileTooLarge(const std::string& path)
    : Exception(Utf8{Replace("ファイル %s は大きすぎて読み込めません", "%s", path)})
{
}

EJPEG::EJPEG(int messageCode)
    : Exception(Utf8{Replace("JPEG エラー #%d", "%d", std::to_string(messageCode))}), code_(messageCode)
{
}

EOutOfMemory::EOutOfMemory() : Exception(Utf8{"メモリが不足しています"}) {}
