#include "platform/rtl/Exception.h"

#include "platform/rtl/CodePage.h"
#include "platform/rtl/Numbers.h"

namespace rtl {

Exception::Exception(const UnicodeString& message) : Message(message) {}
Exception::~Exception() = default;

const char* Exception::what() const noexcept
{
    try {
        what_ = ToUtf8(Message);
    } catch (...) {
        what_.clear();
    }
    return what_.c_str();
}

void Abort() { throw EAbort(u"Operation aborted"); }

UnicodeString SysErrorMessage(std::uint32_t code)
{
    switch (code) {
    case 0:
        return u"この操作を正しく終了しました。";
    case 1:
        return u"ファンクションが間違っています。";
    case 2:
        return u"指定されたファイルが見つかりません。";
    case 3:
        return u"指定されたパスが見つかりません。";
    case 5:
        return u"アクセスが拒否されました。";
    case 6:
        return u"ハンドルが無効です。";
    case 8:
        return u"このコマンドを実行するのに十分な記憶域がありません。";
    case 15:
        return u"指定されたドライブが見つかりません。";
    case 19:
        return u"メディアは書き込み禁止になっています。";
    case 21:
        return u"デバイスの準備ができていません。";
    case 29:
        return u"システムは指定されたデバイスに書き込めません。";
    case 30:
        return u"システムは指定されたデバイスから読み取れません。";
    case 32:
        return u"プロセスはファイルにアクセスできません。別のプロセスが使用中です。";
    case 80:
        return u"ファイルが存在します。";
    case 87:
        return u"パラメーターが間違っています。";
    case 112:
        return u"ディスクに十分な空き領域がありません。";
    case 123:
        return u"ファイル名、ディレクトリ名、またはボリューム ラベルの構文が間違っています。";
    case 183:
        return u"既に存在するファイルを作成することはできません。";
    case 267:
        return u"ディレクトリ名が無効です。";
    default:
        return u"不明なエラー (" + IntToStr(code) + u")";
    }
}

} // namespace rtl
